#include "metadata/pure/list_column_captions.h"

namespace {
const char16_t* const kCaptions[kListColumnCount][kCaptionSetCount] = {
    {u"ﾌｧｲﾙ名", u"filename", u"ﾌｧｲﾙ", u"file"},
    {u"ﾋｽﾄｸﾞﾗﾑ", u"histogram", u"ﾋｽﾄｸﾞﾗﾑ", u"his"},
    {u"ｽﾃｰﾀｽ", u"Status", u"ｽﾃｰﾀｽ", u"Status"},
    {u"ﾌｫｰﾏｯﾄ", u"Format", u"ﾌｫｰﾏｯﾄ", u"FMT"},
    {u"ﾌｧｲﾙｻｲｽﾞ", u"Filesize", u"ｻｲｽﾞ", u"Size"},
    {u"更新日時", u"UpdateTime", u"更新日時", u"Date"},
    {u"画像ｻｲｽﾞ", u"ImageSize", u"画像ｻｲｽﾞ", u"ImgSize"},
    {u"ﾒｰｶｰ", u"Maker", u"ﾒｰｶｰ", u"Maker"},
    {u"機種", u"Model", u"機種", u"Mdl"},
    {u"縦横", u"Orientation ", u"縦横", u"Ori"},
    {u"撮影日時", u"DateTime", u"撮影日時", u"Date"},
    {u"ｼｬｯﾀｰｽﾋﾟｰﾄﾞ", u"ShutterSpeed", u"SS", u"SS"},
    {u"F値", u"FNumber", u"FNum", u"FNum"},
    {u"露出ﾌﾟﾛｸﾞﾗﾑ", u"ExposureProgram", u"露出Prg", u"ExpPrg"},
    {u"ISO感度", u"ISO", u"ISO", u"ISO"},
    {u"露出補正", u"ExposureBias", u"Ev", u"Ev"},
    {u"測光ﾓｰﾄﾞ", u"MeteringMode", u"MMode", u"MMode"},
    {u"レンズ", u"Lens", u"ﾚﾝｽﾞ", u"lens"},
    {u"焦点距離", u"FocalLength", u"mm", u"mm"},
    {u"露出ﾓｰﾄﾞ", u"ExposureMode", u"ExpMode", u"ExpMode"},
    {u"ﾎﾜｲﾄﾊﾞﾗﾝｽ", u"WhiteBalance", u"WB", u"WB"},
    {u"ﾌﾗｯｼｭ", u"Flash", u"ﾌﾗｯｼｭ", u"Flash"},
    {u"Exifﾊﾞｰｼﾞｮﾝ", u"ExifVersion", u"ExifVer", u"ExifVer"},
    {u"ﾒﾃﾞｨｱ分割#", u"Media#", u"ﾒﾃﾞｨｱ#", u"Media#"},
};
}  // namespace

const char16_t* ListColumnCaption(int column, int set) {
  if (column < 0 || column >= kListColumnCount || set < 0 || set >= kCaptionSetCount) return nullptr;
  return kCaptions[column][set];
}

const char16_t* ListColumnCaptionForStyle(int column, int32_t style,
                                          const char16_t (*custom)[kCustomCaptionChars]) {
  if (column < 0 || column >= kListColumnCount) return nullptr;
  if (style == kCustomCaptionStyle) {
    const char16_t* own = custom ? custom[column] : nullptr;
    bool terminated = false;
    for (int k = 0; own && k < kCustomCaptionChars && !terminated; ++k) terminated = own[k] == 0;
    return own && own[0] && terminated ? own : kCaptions[column][0];
  }
  return kCaptions[column][style >= 0 && style < kCaptionSetCount ? style : 0];
}
