#include "settings_dialog/pure/later_page_rules.h"

#include <cstdint>

#include "core/pure/path_text.h"

const char16_t* const kMediaPresetTexts[kMediaPresetCount] = {
    u"任意指定の容量", u"1.44MB FD (1,457,664 Byte) ", u"650MB CD-R (681,984,000 Byte) ",
    u"700MB CD-R (737,280,000 Byte)", u"4.7GB DVD-R (4,700,000,000 Byte)"};
const int64_t kMediaPresetSizes[kMediaPresetCount] = {0, 1457664, 681984000, 737280000, 4700000000LL};

int MediaPresetForSize(int64_t size) {
  for (int i = 1; i < kMediaPresetCount; ++i)
    if (kMediaPresetSizes[i] == size) return i;
  return 0;
}

int64_t LeadingDigits64(const char16_t* text) {
  int64_t v = 0;
  for (; text && *text >= u'0' && *text <= u'9'; ++text) {
    const int d = *text - u'0';
    if (v > (INT64_MAX - d) / 10) break;
    v = v * 10 + d;
  }
  return v;
}

bool ParseSignedDecimal(const char16_t* text, int32_t* out) {
  if (!text || !*text) return false;
  bool negative = false;
  if (*text == u'-' || *text == u'+') negative = *text++ == u'-';
  if (!*text) return false;
  int64_t v = 0;
  for (; *text; ++text) {
    if (*text < u'0' || *text > u'9') return false;
    v = v * 10 + (*text - u'0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

bool AcceptColumnCaption(const char16_t* typed, const char16_t* previous) {
  const size_t n = TextLength(typed);
  if (n < 1 || n > 31) return false;
  return ComparePaths(typed, previous) != 0;
}

const ToolboxKind kToolboxKindTable[kToolboxKinds] = {
    {53, u"セパレータ"},
    {38, u"フルスクリーン/ウインドウ切替(ESC)"},
    {39, u"フォルダツリー表示(TAB)"},
    {5, u"サムネイル/メイン画面切替(ENTER)"},
    {40, u"グリッド表示('無変換'ｷｰ)"},
    {12, u"表示タイプ切替(SPACE)"},
    {32, u"等倍、拡大保持モード('/'ｷｰ)"},
    {24, u"ルーペモード('_'ｷｰ)"},
    {41, u"RAW現像('変換'ｷｰ)"},
    {42, u"画像右に９０度回転('>'ｷｰ)"},
    {43, u"画像左に９０度回転('<'ｷｰ)"},
    {44, u"画像の回転情報に従い画像を回転('?'ｷｰ)"},
    {45, u"スライドショー(F1)"},
    {8, u"チェックマークを付ける(F2)"},
    {9, u"チェックマークを外す(F3)"},
    {46, u"チェックマークを付けた画像にジャンプ(F4)"},
    {11, u"最新の情報に更新(F5)"},
    {47, u"メディア容量分割計算(F6)"},
    {48, u"メディア容量に振分け実行(F7)"},
    {49, u"サブフォルダ画像統合(F8)"},
    {10, u"環境設定を開く(F9)"},
    {50, u"アクション設定を開く(F10)"},
    {29, u"サムネイル分割表示(F11)"},
    {30, u"マルチスクリーン分割(F12)"},
    {51, u"前の画像(←)"},
    {52, u"次の画像(→)"},
    {34, u"画像添付メールを作成"},
    {35, u"ファイル付帯情報＆編集"},
    {37, u"条件検索"},
    {36, u"新規コレクション作成"},
    {20, u"お気に入りに追加"},
    {16, u"キヤッシュクリア"},
    {1, u"カラーマネジメント設定"},
    {2, u"インデックス印刷"},
    {28, u"表示の方向でロスレス回転"},
    {22, u"壁紙に設定"},
    {13, u"フォルダをエクスプローラで開く"},
    {27, u"フォルダのプロパティ"},
    {26, u"ファイルのプロパティ"},
    {7, u"選択項目の情報をクリップボードにコピー"},
    {3, u"選択ファイルをゴミ箱へ"},
    {4, u"ゴミ箱を空にする"},
    {19, u"ヘルプを見る"},
    {6, u"選択ファイルのアクション復帰(UNDO)"},
    {54, u"GPS撮影位置推測"},
};

void ResetToolboxMarks(int32_t marks[kToolboxSlotCount]) {
  for (int i = 0; i < kToolboxSlotCount; ++i) marks[i] = -1;
  marks[0] = 1;
}

namespace {
int ClampCount(int32_t count) { return count < 0 ? 0 : count > kToolboxMaxUsed ? kToolboxMaxUsed : count; }
}  // namespace

int AddToolboxKinds(int32_t buttons[kToolboxSlotCount], int32_t* count, const int32_t* kinds, int kindCount) {
  int used = ClampCount(*count), added = 0;
  for (int i = 0; i < kindCount && used < kToolboxMaxUsed; ++i) {
    if (kinds[i] < 0 || kinds[i] >= kToolboxKinds) continue;
    buttons[used++] = kinds[i];
    ++added;
  }
  *count = used;
  return added;
}

void RemoveToolboxPositions(int32_t buttons[kToolboxSlotCount], int32_t* count, const int* positions, int n) {
  const int used = ClampCount(*count);
  for (int i = 0; i < n; ++i)
    if (positions[i] >= 0 && positions[i] < used) buttons[positions[i]] = -1;
  int kept = 0;
  for (int i = 0; i < used; ++i)
    if (buttons[i] != -1) buttons[kept++] = buttons[i];
  for (int i = kept; i < used; ++i) buttons[i] = 0;
  *count = kept;
}

void MoveToolboxUp(int32_t buttons[kToolboxSlotCount], int32_t count, const int* positions, int n,
                   int32_t marks[kToolboxSlotCount]) {
  for (int i = 0; i < kToolboxSlotCount; ++i) marks[i] = -1;
  const int used = ClampCount(count);
  // A position that cannot move (the top, or the row above it stayed) stays: a block at the
  // top keeps its order instead of rotating.
  int floor = 0;
  for (int k = 0; k < n; ++k) {
    const int i = positions[k];
    if (i < 0 || i >= used) continue;
    if (i <= floor) {
      marks[i] = 1;
      floor = i + 1;
      continue;
    }
    const int32_t t = buttons[i - 1];
    buttons[i - 1] = buttons[i];
    buttons[i] = t;
    marks[i - 1] = 1;
  }
}

void MoveToolboxDown(int32_t buttons[kToolboxSlotCount], int32_t count, const int* positions, int n,
                     int32_t marks[kToolboxSlotCount]) {
  for (int i = 0; i < kToolboxSlotCount; ++i) marks[i] = -1;
  const int used = ClampCount(count);
  int ceiling = used - 1;
  for (int k = n - 1; k >= 0; --k) {
    const int i = positions[k];
    if (i < 0 || i >= used) continue;
    if (i >= ceiling) {
      marks[i] = 1;
      ceiling = i - 1;
      continue;
    }
    const int32_t t = buttons[i + 1];
    buttons[i + 1] = buttons[i];
    buttons[i] = t;
    marks[i + 1] = 1;
  }
}

int AvailableToolboxKinds(const int32_t* buttons, int32_t count, int32_t out[kToolboxKinds]) {
  const int used = ClampCount(count);
  int n = 0;
  for (int kind = 0; kind < kToolboxKinds; ++kind) {
    bool inUse = false;
    for (int i = 0; kind != 0 && i < used && !inUse; ++i) inUse = buttons[i] == kind;
    if (!inUse) out[n++] = kind;
  }
  return n;
}
