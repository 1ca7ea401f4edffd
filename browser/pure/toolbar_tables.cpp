#include "browser/pure/toolbar_tables.h"

const ToolbarCommandRow kToolbarCommandTable[kToolbarRows] = {
    {0, 0, 0},     {38, 328, 1}, {39, 302, 1}, {5, 334, 1},  {40, 304, 1}, {12, 331, 0}, {32, 225, 1},
    {24, 226, 1},  {41, 337, 0}, {42, 326, 0}, {43, 327, 0}, {44, 310, 0}, {45, 332, 0}, {8, 305, 0},
    {9, 308, 0},   {46, 306, 0}, {11, 303, 0}, {47, 335, 0}, {48, 307, 0}, {49, 309, 0}, {10, 336, 0},
    {50, 333, 0},  {29, 340, 1}, {30, 338, 0}, {51, 216, 0}, {52, 217, 0}, {34, 240, 0}, {35, 254, 0},
    {37, 276, 0},  {36, 280, 0}, {20, 281, 0}, {16, 282, 0}, {1, 283, 0},  {2, 284, 0},  {28, 285, 0},
    {22, 286, 0},  {13, 287, 0}, {27, 288, 0}, {26, 289, 0}, {7, 290, 0},  {3, 291, 0},  {4, 292, 0},
    {19, 294, 0},  {6, 295, 0},  {54, 556, 0},
};

const int32_t kToolbarCommandIds[kToolbarCommands] = {
    328, 302, 334, 304, 331, 225, 226, 337, 326, 327, 310, 332, 305, 308, 306, 303, 335, 307, 309, 336, 333, 340,
    338, 216, 217, 240, 254, 276, 280, 281, 282, 283, 284, 285, 286, 287, 288, 289, 290, 291, 292, 294, 295, 556,
};

#define SAME(t) {t, t}
const TooltipTextPair kCommandTooltipTexts[kToolbarCommands] = {
    {u"フルスクリーン表示(ESC)", u"ウインドウ表示(ESC)"},
    {u"フォルダツリー消去(TAB)", u"フォルダツリー表示(TAB)"},
    {u"サムネイル画面に切替(ENTER)", u"メイン画面に切替(ENTER)"},
    {u"グリッド表示('無変換'ｷｰ)", u"グリッド消去('無変換'ｷｰ)"},
    SAME(u"表示タイプ切替(SPACE)"),
    {u"等倍、拡大保持モード('/'ｷｰ)", u"等倍、拡大保持モード解除('/'ｷｰ)"},
    {u"ルーペモード('_'ｷｰ)", u"ルーペモード解除('_'ｷｰ)"},
    {u"RAW現像('変換'ｷｰ)", u"RAW現像データの解放('変換'ｷｰ)"},
    SAME(u"画像右に９０度回転('>'ｷｰ)"),
    SAME(u"画像左に９０度回転('<'ｷｰ)"),
    SAME(u"画像の回転情報に従い画像を回転('?'ｷｰ)"),
    {u"スライドショー(F1)", u"スライドショー停止(F1)"},
    SAME(u"チェックマークを付ける(F2)"),
    SAME(u"チェックマークを外す(F3)"),
    SAME(u"チェックマークを付けた画像にジャンプ(F4)"),
    SAME(u"最新の情報に更新(F5)"),
    SAME(u"メディア容量分割計算(F6)"),
    SAME(u"メディア容量に振分け実行(F7)"),
    SAME(u"サブフォルダ画像統合(F8)"),
    SAME(u"環境設定を開く(F9)"),
    SAME(u"アクション設定を開く(F10)"),
    SAME(u"サムネイル分割表示(F11)"),
    SAME(u"マルチスクリーン分割(F12)"),
    SAME(u"前の画像(←)"),
    SAME(u"次の画像(→)"),
    SAME(u"画像添付メールを作成"),
    SAME(u"ファイル付帯情報＆編集"),
    SAME(u"条件検索"),
    SAME(u"新規コレクション作成"),
    SAME(u"お気に入りに追加"),
    SAME(u"キヤッシュクリア"),
    SAME(u"カラーマネジメント設定"),
    SAME(u"インデックス印刷"),
    SAME(u"表示の方向でロスレス回転"),
    SAME(u"壁紙に設定"),
    SAME(u"フォルダをエクスプローラで開く"),
    SAME(u"フォルダのプロパティ"),
    SAME(u"ファイルのプロパティ"),
    SAME(u"選択項目の情報をクリップボードにコピー"),
    SAME(u"選択ファイルをゴミ箱へ"),
    SAME(u"ゴミ箱を空にする"),
    SAME(u"ヘルプを見る"),
    SAME(u"選択ファイルのアクション復帰(UNDO)"),
    SAME(u"GPS撮影位置推測"),
};

int FindCommandIndex(int32_t id, const int32_t* ids, int count) {
  for (int i = 0; i < count; ++i)
    if (ids[i] == id) return i;
  return -1;
}

int ToolboxRows(const int32_t* slots, int32_t count, int32_t out[kToolboxSlots]) {
  if (count > kToolboxSlots) count = kToolboxSlots;
  int n = 0;
  for (int i = 0; i < count; ++i)
    if (slots[i] >= 0 && slots[i] < kToolbarRows) out[n++] = slots[i];
  return n;
}

const BandKindInfo kBandKinds[kBandCount] = {{14, 14}, {152, 352}, {152, 352}, {102, 152},
                                             {152, 352}, {77, 102}, {560, 660}};

int32_t BandHeight(int kind, int s, int osClass) {
  int32_t combo = 17 * s + (osClass >= 9 ? 10 : 5);
  switch (kind) {
    case 0: return 17 * s + 4;
    case 3: return 17 * s + 3;
    case 5: return 17 * s - 3;
    case 6: return 17 * s + 5;
    default: return combo;
  }
}

int PlanBands(const BandLayoutRecord records[kBandCount], BandPlacement out[kBandCount]) {
  bool placed[kBandCount] = {};
  int n = 0;
  for (int i = 0; i < kBandCount; ++i) {
    int32_t kind = records[i].bandId;
    if (kind < 0 || kind >= kBandCount || placed[kind]) continue;
    placed[kind] = true;
    out[n++] = {kind, records[i].breakFlag != 0, records[i].width};
  }
  return n;
}

const char16_t kNowProcessingText[] = u"\tNow Processing...";

const char16_t* ImageLevelText(const ImageLevelInputs& in) {
  if (in.viewMode == 1) return u"\tThumbnail";
  if (in.developingThisEntry) return kNowProcessingText;
  if (in.hasFullDevelopment && (in.fileTypeFlag & kRawTypeMask)) return u"\tOriginal RAW";
  if (in.previewSize != 0) return u"\tThumbnail";
  return u"\tOriginal";
}
