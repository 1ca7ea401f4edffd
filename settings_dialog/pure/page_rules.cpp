#include "settings_dialog/pure/page_rules.h"

#include <cstring>

#include "resources/settings_ids.h"

namespace {
#define FLD(f) static_cast<uint32_t>(offsetof(SettingsBlock, f)), static_cast<uint16_t>(sizeof(SettingsBlock::f))

const char16_t* const kQualityItems[] = {u"クイック現像（高速）", u"高品質", u"最高品質（低速）"};
const char16_t* const kHistogramItems[] = {u"ポップアップしない", u"詳細表示（ＲＧＢ）", u"詳細表示（明度）",
                                           u"詳細表示（ＲＧＢ分離）"};
const char16_t* const kSplitItems[] = {u"上部に分割表示", u"下部に分割表示", u"右に分割表示", u"左に分割表示"};

constexpr PageBinding Check(int page, int id, uint32_t off, uint16_t w, uint8_t effect = 0, int enableId = 0,
                            uint8_t enableWhen = 1) {
  return {int8_t(page), int16_t(id), BindKind::Check, off, w, 0, 0, 1, 0, 0, NumberRule::Plain, effect,
          int16_t(enableId), enableWhen, nullptr};
}
constexpr PageBinding Mask(int page, int id, uint32_t bit) {
  return {int8_t(page), int16_t(id), BindKind::MaskBit, FLD(enabledImageTypes), bit, 0, 0, 0, 0, NumberRule::Plain,
          kEffectRebuild, 0, 0, nullptr};
}
constexpr PageBinding Number(int page, int id, uint32_t off, uint16_t w, int32_t min, int32_t max, int spin, int limit,
                             NumberRule rule, uint8_t effect = 0, int enableId = 0, uint8_t enableWhen = 1) {
  return {int8_t(page), int16_t(id), BindKind::Number, off, w, 0, min, max, int16_t(spin), int16_t(limit), rule,
          effect, int16_t(enableId), enableWhen, nullptr};
}
constexpr PageBinding Track(int page, int id, uint32_t off, uint16_t w, int32_t min, int32_t max, uint8_t effect = 0,
                            int enableId = 0, uint8_t enableWhen = 1) {
  return {int8_t(page), int16_t(id), BindKind::Trackbar, off, w, 0, min, max, 0, 0, NumberRule::Plain, effect,
          int16_t(enableId), enableWhen, nullptr};
}
constexpr PageBinding Combo(int page, int id, uint32_t off, uint16_t w, const char16_t* const* items, int count,
                            uint8_t effect = 0, int enableId = 0, uint8_t enableWhen = 1) {
  return {int8_t(page), int16_t(id), BindKind::Combo, off, w, 0, 0, count, 0, 0, NumberRule::Plain, effect,
          int16_t(enableId), enableWhen, items};
}
constexpr PageBinding Radio(int page, int id, uint32_t off, uint16_t w, uint32_t value) {
  return {int8_t(page), int16_t(id), BindKind::Radio, off, w, value, 0, 0, 0, 0, NumberRule::Plain, kEffectRedraw, 0,
          0, nullptr};
}
}  // namespace

const PageBinding kPageBindings[] = {
    // Page 0: image and RAW formats.
    Mask(0, IDC_FMT_BMP, 0x1), Mask(0, IDC_FMT_JPG, 0x2), Mask(0, IDC_FMT_PNG, 0x4), Mask(0, IDC_FMT_GIF, 0x8),
    Mask(0, IDC_FMT_TIFF, 0x10), Mask(0, IDC_FMT_CANON_CRW, 0x20), Mask(0, IDC_FMT_CANON_CR2, 0x40),
    Mask(0, IDC_FMT_NIKON_NEF, 0x80), Mask(0, IDC_FMT_KONICA_MINOLTA_MRW, 0x100), Mask(0, IDC_FMT_PENTAX_PEF, 0x200),
    Mask(0, IDC_FMT_OLYMPUS_ORF, 0x400), Mask(0, IDC_FMT_FUJIFILM_RAF, 0x800), Mask(0, IDC_FMT_SONY_SR2, 0x1000),
    Mask(0, IDC_FMT_SONY_ARW, 0x2000), Mask(0, IDC_FMT_ADOBE_DNG, 0x4000), Mask(0, IDC_FMT_HASSELBLAD_3FR, 0x800000),
    Mask(0, IDC_FMT_NIKON_NRW, 0x8000), Mask(0, IDC_FMT_PANASONIC_LEICA_RAW, 0x10000),
    Mask(0, IDC_FMT_PANASONIC_RW2, 0x20000), Mask(0, IDC_FMT_LEICA_RWL, 0x40000), Mask(0, IDC_FMT_MAMIYA_MEF, 0x80000),
    Mask(0, IDC_FMT_SIGMA_X3F, 0x100000), Mask(0, IDC_FMT_ADOBE_PSD, 0x200000), Mask(0, IDC_FMT_SAMSUNG_SRW, 0x400000),
    Mask(0, IDC_FMT_KODAK_DCR, 0x80000000u),
    Check(0, IDC_FMT_MAMIYA_DEVELOP, FLD(mamiyaThumbsByDevelopment), 0, IDC_FMT_MAMIYA_MEF, 1),
    Radio(0, IDC_RAW_PREVIEW_THUMB, FLD(rawViewingMode), 0), Radio(0, IDC_RAW_PREVIEW_SMALL, FLD(rawViewingMode), 1),
    Radio(0, IDC_RAW_PREVIEW_ALWAYS, FLD(rawViewingMode), 2),
    Combo(0, IDC_RAW_QUALITY_PAGING, FLD(rawDevelopQualities[0]), kQualityItems, 3, 0, IDC_RAW_PREVIEW_THUMB, 0),
    Combo(0, IDC_RAW_QUALITY_KEY, FLD(rawDevelopQualities[1]), kQualityItems, 3),
    Combo(0, IDC_RAW_QUALITY_OUTPUT, FLD(rawDevelopQualities[2]), kQualityItems, 3),
    // Page 1: movies.
    Mask(1, IDC_MOVIE_ENABLE, 0x1000000),
    {1, IDC_MOVIE_EXTENSIONS, BindKind::Text, FLD(movieExtensions), 0, 0, 1024, 0, 1023, NumberRule::Plain,
     kEffectRebuild, 0, 0, nullptr},
    Check(1, IDC_MOVIE_AUTOPLAY, FLD(movieAutoPlay)), Check(1, IDC_MOVIE_REPEAT, FLD(movieRepeatDefault)),
    Check(1, IDC_MOVIE_CONTROL_SHOWN, FLD(movieControlAlwaysShown)),
    Number(1, IDC_MOVIE_CAPTURE_SECOND, FLD(movieThumbSecond), 0, 9999, IDC_MOVIE_CAPTURE_SECOND_SPIN, 4,
           NumberRule::Plain, kEffectRebuild),
    Track(1, IDC_MOVIE_VOLUME, FLD(movieInitialVolume), -127, 0),
    Check(1, IDC_CAPTURE_RESIZE, FLD(captureResize)),
    Number(1, IDC_CAPTURE_LONG_SIDE, FLD(captureLongSide), 0, 32768, IDC_CAPTURE_LONG_SIDE_SPIN, 6,
           NumberRule::ZeroToOne, 0, IDC_CAPTURE_RESIZE, 1),
    Number(1, IDC_CAPTURE_QUALITY, FLD(captureQuality), 0, 100, IDC_CAPTURE_QUALITY_SPIN, 3, NumberRule::Plain),
    // Page 2: display.
    Check(2, IDC_DISP_REDUCED_PAGING, FLD(reducedImageWhilePaging)),
    Check(2, IDC_DISP_INFO_OVERLAY, FLD(infoOnMainScreen)),
    Check(2, IDC_DISP_HISTOGRAM_OVERLAY, FLD(histogramOnMainScreen)),
    Check(2, IDC_DISP_MERGE_DELETE_EMPTY, FLD(subfolderMergeDeleteEmpty)),
    Check(2, IDC_DISP_STOP_AT_ENDS, FLD(stopPagingAtEnds)),
    Check(2, IDC_DISP_DOUBLE_CLICK_LIST, FLD(doubleClickReturnsToList)),
    Check(2, IDC_DISP_NO_ANTIALIAS, FLD(noHighQualityAntialias), kEffectRedraw),
    Check(2, IDC_DISP_LARGE_ICONS, FLD(largeIcons)),
    Check(2, IDC_DISP_CURSOR_RESET, FLD(cursorToFirstRowOnFolderChange)),
    Check(2, IDC_DISP_DOCK_FILE_INFO, FLD(fileInfoDockInTree)),
    Check(2, IDC_DISP_CONFIRM_ACTION, FLD(confirmFirstAction)),
    Check(2, IDC_DISP_CONFIRM_AFTER_CANCEL, FLD(confirmAgainAfterCancel)),
    Check(2, IDC_DISP_CONFIRM_SKIP_KEYS, FLD(neverConfirmKeyActions)),
    Check(2, IDC_DISP_ZOOM_HOLD, FLD(keepZoomWhilePaging)),
    Check(2, IDC_DISP_CONFIRM_REFRESH, FLD(confirmRefresh)),
    Check(2, IDC_DISP_NUMLOCK_ON, FLD(numLockOnAtStart)),
    Check(2, IDC_DISP_PREVIEW_POPUP, FLD(hoverPopupThumbs)),
    Check(2, IDC_DISP_HISTOGRAM_POPUP, FLD(hoverPopupHistograms)),
    Check(2, IDC_DISP_WATCH_FOLDER, FLD(watchFolder)),
    Check(2, IDC_DISP_FOCAL_35MM, FLD(focalLength35mm)),
    Check(2, IDC_DISP_TREE_DROP_MOVES, FLD(treeDropMovesOnSameDrive)),
    Check(2, IDC_DISP_MOVIE_WAITS, FLD(slideshowWaitForMovie)),
    Check(2, IDC_DISP_REVERSE_WHEEL_PAGING, FLD(reverseWheelPaging)),
    Check(2, IDC_DISP_REVERSE_WHEEL_ZOOM, FLD(reverseWheelZoom)),
    Check(2, IDC_DISP_WHEEL_PAGES_ZOOMED, FLD(wheelPagingWhenZoomed)),
    Check(2, IDC_DISP_AUTO_ROTATE, FLD(autoRotateByExif), kEffectRebuild),
    Number(2, IDC_SLIDESHOW_SECONDS, FLD(slideshowWaitSeconds), 0, 999999, IDC_SLIDESHOW_SECONDS_SPIN, 6,
           NumberRule::Plain),
    Combo(2, IDC_HISTOGRAM_POPUP_TYPE, FLD(histogramMode), kHistogramItems, 4),
    Combo(2, IDC_THUMB_SPLIT_POSITION, FLD(thumbnailSplitKind), kSplitItems, 4, kEffectRelayout),
    Track(2, IDC_LOUPE_SIZE, FLD(loupeSize), 50, 250),
    // Page 3: thumbnails.
    Number(3, IDC_LIST_THUMB_WIDTH, FLD(listThumbWidth), 4, 996, IDC_LIST_THUMB_WIDTH_SPIN, 3, NumberRule::Round4,
           kEffectRebuild),
    Number(3, IDC_LIST_THUMB_HEIGHT, FLD(listThumbHeight), 1, 999, IDC_LIST_THUMB_HEIGHT_SPIN, 3,
           NumberRule::ZeroRefused, kEffectRebuild),
    Check(3, IDC_LIST_THUMB_FIT, FLD(fitListThumbs), kEffectRebuild),
    Check(3, IDC_LIST_THUMB_NO_SHARPEN, FLD(noSharpenListThumbs), kEffectRebuild),
    Track(3, IDC_LIST_THUMB_SHARPNESS, FLD(listThumbSharpness), 0, 10, kEffectRebuild, IDC_LIST_THUMB_NO_SHARPEN, 0),
    Number(3, IDC_VIEW_THUMB_WIDTH, FLD(thumbWidth), 4, 996, IDC_VIEW_THUMB_WIDTH_SPIN, 3, NumberRule::Round4,
           kEffectRebuild),
    Number(3, IDC_VIEW_THUMB_HEIGHT, FLD(thumbHeight), 1, 999, IDC_VIEW_THUMB_HEIGHT_SPIN, 3,
           NumberRule::ZeroRefused, kEffectRebuild),
    Check(3, IDC_VIEW_THUMB_FIT, FLD(fitViewThumbs), kEffectRebuild),
    Check(3, IDC_VIEW_THUMB_NO_SHARPEN, FLD(noSharpenViewThumbs), kEffectRebuild),
    Track(3, IDC_VIEW_THUMB_SHARPNESS, FLD(viewThumbSharpness), 0, 10, kEffectRebuild, IDC_VIEW_THUMB_NO_SHARPEN, 0),
    Check(3, IDC_HIGH_RES_THUMBS, FLD(highResolutionThumbs), kEffectRebuild),
    // Page 4: disk cache.
    Number(4, IDC_CACHE_SIZE, FLD(cacheLimitMiB), 0, 999999, IDC_CACHE_SIZE_SPIN, 6, NumberRule::Plain, 0,
           IDC_CACHE_AUTO_DELETE, 1),
    Check(4, IDC_CACHE_AUTO_DELETE, FLD(trimCacheFolder)),
    Check(4, IDC_CACHE_KEEP_COLLECTIONS, FLD(keepCollectionCaches)),
    Check(4, IDC_CACHE_HIDE_DELETED, FLD(hideDeletedFiles)),
};
const int kPageBindingCount = sizeof kPageBindings / sizeof kPageBindings[0];

const OwnControl kOwnPageControls[] = {
    {1, IDC_MOVIE_EXT_RESET}, {1, IDC_CAPTURE_OPEN_FOLDER}, {1, IDC_MOVIE_CAPTURE_SECOND_SPIN},
    {1, IDC_CAPTURE_LONG_SIDE_SPIN}, {1, IDC_CAPTURE_QUALITY_SPIN}, {2, IDC_SLIDESHOW_SECONDS_SPIN},
    {3, IDC_LIST_THUMB_WIDTH_SPIN}, {3, IDC_LIST_THUMB_HEIGHT_SPIN}, {3, IDC_VIEW_THUMB_WIDTH_SPIN},
    {3, IDC_VIEW_THUMB_HEIGHT_SPIN}, {3, IDC_LIST_THUMB_DEFAULTS}, {3, IDC_VIEW_THUMB_DEFAULTS},
    {4, IDC_CACHE_SIZE_SPIN}, {4, IDC_DATA_FOLDER}, {4, IDC_DATA_FOLDER_BROWSE}, {4, IDC_CACHE_CLEAR},
    {4, IDC_CACHE_EXCLUDED_LIST}, {4, IDC_CACHE_EXCLUDED_CAPTION},
};
const int kOwnPageControlCount = sizeof kOwnPageControls / sizeof kOwnPageControls[0];

bool ParseTypedNumber(const char16_t* text, int32_t* out) {
  if (!text || !text[0]) return false;
  int64_t v = 0;
  for (int i = 0; text[i] >= u'0' && text[i] <= u'9'; ++i) {
    v = v * 10 + (text[i] - u'0');
    if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
  }
  *out = static_cast<int32_t>(v);
  return true;
}

bool ApplyNumberRule(const PageBinding& b, int32_t typed, int32_t* stored) {
  if (b.rule == NumberRule::ZeroRefused && typed == 0) return false;
  int32_t v = typed;
  if (b.rule == NumberRule::ZeroToOne && v == 0) v = 1;
  if (v < b.min) v = b.min;
  if (v > b.max) v = b.max;
  if (b.rule == NumberRule::Round4) v = v / 4 * 4;
  *stored = v;
  return true;
}

void NormaliseDataFolderText(const char16_t* typed, char16_t* out) {
  char16_t text[260];
  int n = 0;
  while (n < 259 && typed[n]) {
    text[n] = typed[n];
    ++n;
  }
  text[n] = 0;
  if (n == 0) {
    std::memcpy(out, u".\\user", 7 * sizeof(char16_t));
    return;
  }
  // A drive path and a share (\\server\share\...) are whole paths, kept as typed: the share
  // without its first backslash would name a folder of the drive.
  if ((n >= 2 && text[1] == u':') || (text[0] == u'\\' && text[1] == u'\\')) {
    std::memcpy(out, text, (n + 1) * sizeof(char16_t));
    return;
  }
  if (text[n - 1] == u'\\') text[--n] = 0;
  const int from = text[0] == u'\\' ? 1 : 0;
  std::memcpy(out, text + from, (n - from + 1) * sizeof(char16_t));
}

int32_t ReadBoundField(const SettingsBlock& s, const PageBinding& b) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&s) + b.offset;
  if (b.width == 1) return *p;
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

void WriteBoundField(SettingsBlock& s, const PageBinding& b, int32_t v) {
  uint8_t* p = reinterpret_cast<uint8_t*>(&s) + b.offset;
  if (b.width == 1)
    *p = static_cast<uint8_t>(v);
  else
    std::memcpy(p, &v, 4);
}

bool BoundFieldDiffers(const SettingsBlock& a, const SettingsBlock& b, const PageBinding& binding) {
  const uint8_t* pa = reinterpret_cast<const uint8_t*>(&a) + binding.offset;
  const uint8_t* pb = reinterpret_cast<const uint8_t*>(&b) + binding.offset;
  if (binding.kind != BindKind::Text) return std::memcmp(pa, pb, binding.width) != 0;
  // A text is its characters up to the terminator: what lies behind it is left from longer typing.
  for (int32_t i = 0; i < binding.max; ++i) {
    char16_t ca, cb;
    std::memcpy(&ca, pa + 2 * i, 2);
    std::memcpy(&cb, pb + 2 * i, 2);
    if (ca != cb) return true;
    if (ca == 0) return false;
  }
  return false;
}
