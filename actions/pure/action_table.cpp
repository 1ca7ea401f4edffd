#include "actions/pure/action_table.h"

#include "browser/pure/hot_key_text.h"
#include "core/pure/catalogue_rules.h"

const CommandRow kCommandTable[kCommandCount] = {
    {u"前の画像へ(←)", -20, 2},
    {u"次の画像へ(→)", -19, 2},
    {u"メイン画面/サムネイル画面切替(ENTER)", 13, 1},
    {u"フルスクリーン/ウインドウ切替(ESC)", 27, 1},
    {u"アクションターゲット切替(テンキー0)", 96, 1},
    {u"画像ロックON/OFF(テンキー.(ピリオド))", 110, 1},
    {u"表示タイプ切替(SPACE)", 32, 1},
    {u"サムネイル分割表示の切替(F11)", 122, 1},
    {u"マルチスクリーン分割(F12)", 123, 1},
    {u"ファイルツリー表示 ON/OFF(TAB)", -21, 1},
    {u"ビューフォーカス反時計回り(PageUp)", 33, 2},
    {u"ビューフォーカス時計回り(PageDown)", 34, 2},
    {u"等倍表示(CTRL)", 18, 0},
    {u"拡大×２表示(SHIFT)", 16, 0},
    {u"グリッドON/OFF(無変換キー)", 29, 1},
    {u"最新の情報に更新(F5)", 116, 1},
    {u"選択画像だけ閲覧", -3, 1},
    {u"ゴミ箱を空にする", -5, 1},
    {u"RAW現像(変換キー)", 28, 1},
    {u"ルーペモード切替(_)", 226, 1},
    {u"壁紙に設定", -4, 1},
    {u"現在のフォルダをエクスプローラで開く", -9, 1},
    {u"フォルダのプロパティ", -10, 1},
    {u"ファイルのプロパティ", -11, 1},
    {u"お気に入りフォルダに登録", -12, 1},
    {u"キャッシュクリア", -13, 1},
    {u"選択項目の情報をクリップボードにコピー", -14, 1},
    {u"画像左に90度回転(<キー)", 188, 1},
    {u"画像右に90度回転(>キー)", 190, 1},
    {u"画像回転情報に従い回転(/キー)", 191, 1},
    {u"露出補正＋(+キー)", 107, 2},
    {u"露出補正－(-キー)", 109, 2},
    {u"露出補正リセット(*キー)", 106, 1},
    {u"スライドショー(F1)", 112, 1},
    {u"チェックマークを付ける(F2)", 113, 1},
    {u"チェックマークを外す(F3)", 114, 1},
    {u"チェックマークを付けた画像にジャンプ(F4)", 115, 1},
    {u"選択ファイルのチェックマークを反転", -6, 1},
    {u"チェックマーク画像を全選択", -7, 1},
    {u"チェックマーク画像以外を全選択", -8, 1},
    {u"メディア容量分割計算(F6)", 117, 1},
    {u"メディア容量に振分け実行(F7)", 118, 1},
    {u"サブフォルダ画像統合(F8)", 119, 1},
    {u"インデックス印刷", -2, 1},
    {u"カラーマネジメント設定", -1, 1},
    {u"環境設定を開く → 最後に開いたタブ(F9)", 120, 1},
    {u"画像スクロール → 上\u3000(テンキー８)", 104, 0},
    {u"画像スクロール → 右上(テンキー９)", 105, 0},
    {u"画像スクロール → 右\u3000(テンキー６)", 102, 0},
    {u"画像スクロール → 右下(テンキー３)", 99, 0},
    {u"画像スクロール → 下\u3000(テンキー２)", 98, 0},
    {u"画像スクロール → 左下(テンキー１)", 97, 0},
    {u"画像スクロール → 左\u3000(テンキー４)", 100, 0},
    {u"画像スクロール → 左上(テンキー７)", 103, 0},
    {u"画像スクロール → 中央リセット(テンキー５)", 101, 1},
    {u"環境設定を開く → 画像ファイル設定", -300, 1},
    {u"環境設定を開く → 動画ファイル設定", -301, 1},
    {u"環境設定を開く → 表示設定", -302, 1},
    {u"環境設定を開く → サムネイル設定", -303, 1},
    {u"環境設定を開く → キャッシュ設定", -304, 1},
    {u"環境設定を開く → ビューフォーカス設定", -305, 1},
    {u"環境設定を開く → カラー設定", -306, 1},
    {u"環境設定を開く → フォント設定", -307, 1},
    {u"環境設定を開く → アクション設定", -308, 1},
    {u"環境設定を開く → リネーム設定", -309, 1},
    {u"環境設定を開く → メディア容量分割設定", -310, 1},
    {u"環境設定を開く → お気に入り設定", -311, 1},
    {u"環境設定を開く → リスト項目設定", -312, 1},
    {u"環境設定を開く → パフォーマンス設定", -313, 1},
    {u"環境設定を開く → 壁紙設定", -314, 1},
    {u"環境設定を開く → メール添付画像設定", -315, 1},
    {u"ヘルプを開く", -15, 1},
    {u"キー操作一覧を開く", -16, 1},
    {u"バージョン情報を開く", -17, 1},
    {u"アプリケーションの終了", -18, 1},
    {u"スクリーン分割 → １画面", -270, 1},
    {u"スクリーン分割 → ２画面（横分割）", -271, 1},
    {u"スクリーン分割 → ２画面（縦分割）", -272, 1},
    {u"スクリーン分割 → ３画面", -273, 1},
    {u"スクリーン分割 → ４画面", -274, 1},
    {u"環境設定を開く → ツールBOX ボタン設定", -316, 1},
    {u"画像添付メールを作成", -22, 1},
    {u"ファイル付帯情報＆編集", -23, 1},
    {u"画像検索", -24, 1},
    {u"新規コレクション作成", -25, 1},
    {u"画像をコレクションから外す", -26, 1},
    {u"フォルダ・コレクション切替", -27, 1},
    {u"ムービー\u3000切替/先頭", -28, 1},
    {u"ムービー\u3000再生/ポーズ", -29, 1},
    {u"ムービー\u3000リピートON/OFF", -30, 1},
    {u"ムービー\u3000早送り", -31, 2},
    {u"ムービー\u3000巻き戻し", -32, 2},
    {u"ムービー\u3000キャプチャ", -33, 2},
    {u"環境設定を開く → GPS撮影位置推測設定", -317, 1},
};

// The editor lists the mail, information and search commands after the first block and the
// settings pages together.
const int32_t kCommandDisplayOrder[kCommandCount] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
    24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 81, 82, 83,
    45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68,
    69, 70, 80, 93, 71, 72, 73, 74, 75, 76, 77, 78, 79, 84, 85, 86, 87, 88, 89, 90, 91, 92,
};

namespace {
const int32_t kPathKinds[14] = {0, 0, 2, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1};
const int32_t kColorSlots[15] = {20, 20, 20, 11, 12, 13, 13, 14, 15, 16, 17, 17, 18, 12, 12};

template <size_t N>
int32_t Terminate(char16_t (&text)[N]) {
  size_t i = 0;
  while (i < N && text[i]) ++i;
  if (i < N) {
    bool dirty = false;
    for (size_t j = i; j < N; ++j) dirty |= text[j] != 0;
    if (!dirty) return 0;
    for (size_t j = i; j < N; ++j) text[j] = 0;
    return 1;
  }
  text[N - 1] = 0;
  return 1;
}
}  // namespace

const char16_t* ActionKindShortName(int32_t kind) {
  return kind >= 0 && kind < kActionKindCount ? kActionKindNames[kind] : u"";
}
int32_t ActionPathKind(int32_t kind) { return kind >= 0 && kind <= kLastActionKind ? kPathKinds[kind] : -1; }
int32_t ActionKindColorSlot(int32_t kind) { return kind >= 0 && kind < 15 ? kColorSlots[kind] : 20; }

const char16_t* GetCommandName(int32_t index) {
  return index >= 0 && index < kCommandCount ? kCommandTable[index].name : u"";
}
int32_t GetCommandCode(int32_t index) { return index >= 0 && index < kCommandCount ? kCommandTable[index].code : 0; }
int32_t GetCommandRepeatKind(int32_t index) {
  return index >= 0 && index < kCommandCount ? kCommandTable[index].repeatKind : 1;
}

bool IsActionRowSound(const ActionEntry& row) {
  if (row.targetKey < 0 || row.targetKey >= kActionKeyCount) return false;
  if (row.kind < 0 || row.kind > kLastActionKind) return false;
  if (row.kind == 1 && (row.commandIndex < 0 || row.commandIndex >= kCommandCount)) return false;
  return true;
}

int32_t SanitizeActionTable(ActionEntry* rows, int32_t* count) {
  int32_t changed = 0;
  if (*count < 0 || *count > kActionRowLimit) {
    *count = *count < 0 ? 0 : kActionRowLimit;
    ++changed;
  }
  for (int32_t i = 0; i < *count; ++i) {
    ActionEntry& r = rows[i];
    int32_t c = Terminate(r.path) + Terminate(r.comment) + Terminate(r.prefixText) + Terminate(r.replaceOld) +
                Terminate(r.replaceNew);
    if (!IsActionRowSound(r) && r.enabled == 1) {
      r.enabled = 0;
      ++c;
    }
    changed += c ? 1 : 0;
  }
  return changed;
}

void RebuildActionKeyStates(const ActionEntry* rows, int32_t count, int32_t* states) {
  for (int32_t k = 0; k < kActionKeyCount; ++k) states[k] = 0;
  if (count < 0) count = 0;
  if (count > kActionRowLimit) count = kActionRowLimit;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t key = rows[i].targetKey;
    if (key >= 0 && key < kActionKeyCount) states[key] = 1;
  }
}

void WalkActionRows(const ActionEntry* rows, int32_t count, int32_t* pendingKey, ActionFiringHost& host) {
  if (count > kActionRowLimit) count = kActionRowLimit;
  const bool focus = host.BrowsingFocus();
  for (int32_t i = 0; i < count; ++i) {
    const ActionEntry& row = rows[i];
    if (row.enabled != 1 || !IsActionRowSound(row)) continue;
    bool fires = false;
    if (*pendingKey != 0 && row.targetKey == *pendingKey) {
      fires = true;
      *pendingKey = 0;
    } else {
      const int32_t vk = TargetKeyVirtualKey(row.targetKey);
      if (vk) fires = host.KeyFires(vk, row.kind == 1 ? GetCommandRepeatKind(row.commandIndex) : -1);
    }
    if (!fires) continue;
    if (!focus && !(row.kind == 1 && host.CommandAllowedWithoutFocus(row.commandIndex))) continue;
    const FireAnswer answer = host.Confirm(i);
    if (answer == FireAnswer::kEndWalk) break;
    if (answer == FireAnswer::kRestartWalk) {
      i = -1;
      continue;
    }
    if (ActionPathKind(row.kind) == 1 && row.askAtRunTime == 1 && !host.AskFolder(i)) break;
    if (host.Run(i) == 2) break;
    host.AfterRun();
  }
  // A mouse key no row took must not fire a row at some later tick.
  *pendingKey = 0;
}
