#include "actions/pure/action_editor_rules.h"

#include "actions/pure/action_table.h"

namespace {
constexpr int32_t kEditorKinds = 13;
const int32_t kSettingKinds[kEditorKinds] = {0, 2, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0};
const char16_t* const kPathLabels[kEditorKinds] = {
    u"-", u"動作選択", u"対象アプリケーション", u"コピー先フォルダ", u"移動先フォルダ", u"-", u"-",
    u"保存先フォルダ", u"保存先フォルダ", u"保存先フォルダ", u"-", u"-", u"-"};
const char16_t* const kWhatTexts[kEditorKinds] = {
    u"選択ファイルに対して実行した最後のアクションを可能な限り取り消します。",
    u"　[ %s ]　を実行します。",
    u"アプリケーション　[ %s ]　にファイルを転送します。",
    u"フォルダ　[ %s ]　に選択ファイルをコピーします。",
    u"フォルダ　[ %s ]　に選択ファイルを移動します。",
    u"選択ファイルをゴミ箱に移動します。",
    u"選択ファイルを完全に削除します。※削除したファイルは復帰(UNDO)できません。",
    u"選択ファイルをTIFFフォーマットに現像しフォルダ　[ %s ]　に保存します。",
    u"選択ファイルをJPEGフォーマットに現像しフォルダ　[ %s ]　に保存します。",
    u"選択ファイルのサムネイル画像をフォルダ　[ %s ]　に保存します。",
    u"選択ファイルに対してリネームを実行します。",
    u"選択ファイルに対して置換リネーム実行します。",
    u"選択ファイルに対して現在の表示方向でロスレス回転を実行します。"};

#define FOLDER_EXAMPLES                                                                              \
  u"\n\n絶対パスで指定するとそのフォルダに、相対パスで指定すると表示中のフォルダからの位置に" \
  u"なります。\n例)  D:\\backup  → D:\\backup\\ に\n例)  keep  → 表示中のフォルダの keep\\ に"

const char16_t* const kDescriptions[14] = {
    u"■アクションについて\n\n好きなキーにファイル操作や機能を割り振ります。アクションはサムネイル表示、"
    u"ビューア表示のどちらでも動作し、複数のファイルを選択している時は選択した全てのファイルに対して"
    u"実行されます。\nコメントはアクションの覚え書きとして一覧と確認メッセージに表示されます。",
    u"■復帰について\n\n選択ファイルに対して最後に実行したアクションを取り消し、元に戻します。"
    u"ファイル削除は取り消せません。",
    u"■キー割り振りについて\n\n選択した動作(メニューやツールボタンの機能)をキーに割り当てます。",
    u"■転送について\n\n選択ファイルを指定したアプリケーションに渡して起動します。"
    u"「複数選択時は１つにまとめて転送」をチェックすると全てのファイルを一度に渡します。",
    u"■コピーについて\n\n選択ファイルを指定したフォルダにコピーします。" FOLDER_EXAMPLES,
    u"■移動について\n\n選択ファイルを指定したフォルダに移動します。" FOLDER_EXAMPLES,
    u"■ゴミ箱について\n\n選択ファイルをゴミ箱に移動します。",
    u"■削除について\n\n選択ファイルを完全に削除します。削除したファイルは元に戻せません。",
    u"■RAW現像(TIFF保存)について\n\nRAWファイルを現像しTIFFファイルとして指定フォルダに保存します。"
    FOLDER_EXAMPLES,
    u"■RAW現像(JPEG保存)について\n\nRAWファイルを現像しJPEGファイルとして指定フォルダに保存します。"
    FOLDER_EXAMPLES,
    u"■サムネイル保存ついて\n\n選択ファイルのサムネイル画像を指定フォルダに保存します。" FOLDER_EXAMPLES,
    u"■リネームについて\n\nリネーム設定に従って選択ファイルの名前を変更します。",
    u"■置換リネームについて\n\nファイル名の旧文字列を新文字列に置き換えます。",
    u"■ロスレス回転(劣化無し回転)ついて\n\n現在の表示方向に合わせてJPEGファイルの回転情報を書き換えます。"
    u"画質は劣化しません。"};
#undef FOLDER_EXAMPLES

size_t Length(const char16_t* t, size_t limit) {
  size_t n = 0;
  while (n < limit && t[n]) ++n;
  return n;
}

void StoreEntry(char16_t* slot, size_t entryChars, const std::u16string& text) {
  const size_t n = text.size() < entryChars - 1 ? text.size() : entryChars - 1;
  for (size_t i = 0; i < entryChars; ++i) slot[i] = i < n ? text[i] : 0;
}
}  // namespace

int32_t ActionSettingKind(int32_t kind) { return kind >= 0 && kind < kEditorKinds ? kSettingKinds[kind] : -1; }

bool ActionKindHasColourSwitch(int32_t kind) { return kind >= 3 && kind <= 12; }

const char16_t* ActionPathLabel(int32_t kind) { return kind >= 0 && kind < kEditorKinds ? kPathLabels[kind] : u""; }

std::u16string ActionWhatText(int32_t kind, const std::u16string& field) {
  if (kind < 0 || kind >= kEditorKinds) return u"";
  std::u16string text = kWhatTexts[kind];
  const size_t at = text.find(u"%s");
  if (at != std::u16string::npos) text.replace(at, 2, field);
  return text;
}

const char16_t* ActionDescription(int32_t index) { return kDescriptions[index >= 0 && index < 14 ? index : 0]; }

const char16_t* ActionUndoMark(int32_t kind) {
  if (kind == 0 || kind == 1 || kind == 2 || kind == 6) return u"×";
  if (kind == 5) return u"△";
  return u"◎";
}

const char16_t* ActionFixedTargetText(int32_t kind) {
  switch (kind) {
    case 0: return u"最後のアクションを取消し";
    case 5: return u"ゴミ箱に移動";
    case 6: return u"ファイル削除 ※復帰(UNDO)不可";
    case 12: return u"現在の向きでロスレス(劣化無し)回転";
    default: return nullptr;
  }
}

bool IsEditedActionRowSound(int32_t key, int32_t kind, int32_t command) {
  return key >= 0 && key < kActionKeyCount && kind >= 0 && kind < kEditorKinds && command >= 0 &&
         command < kCommandCount;
}

void NormaliseActionListColumns(int32_t* widths, int32_t* order) {
  static const int32_t kWidths[8] = {100, 85, 291, 48, 48, 110, 150, 0};
  bool seen[8] = {};
  bool orderOk = true;
  for (int i = 0; i < 8; ++i) {
    if (order[i] < 0 || order[i] > 7 || seen[order[i]]) orderOk = false;
    else seen[order[i]] = true;
  }
  if (!orderOk)
    for (int i = 0; i < 8; ++i) order[i] = i;
  bool widthsOk = false;
  for (int i = 0; i < 8; ++i) {
    if (widths[i] < 0 || widths[i] > 4000) {
      widthsOk = false;
      break;
    }
    if (widths[i] > 0) widthsOk = true;
  }
  if (!widthsOk)
    for (int i = 0; i < 8; ++i) widths[i] = kWidths[i];
}

bool PushRenameHistory(char16_t* history, size_t entries, size_t entryChars, const std::u16string& typed,
                       const std::vector<std::u16string>& shown) {
  if (entries == 0 || entryChars < 2) return false;
  const std::u16string text = typed.substr(0, entryChars - 1);
  if (text == std::u16string(history, Length(history, entryChars))) return false;
  for (size_t i = 0; i < entries * entryChars; ++i) history[i] = 0;
  StoreEntry(history, entryChars, text);
  const size_t n = shown.size() < entries - 1 ? shown.size() : entries - 1;
  for (size_t i = 0; i < n; ++i)
    StoreEntry(history + (i + 1) * entryChars, entryChars, shown[i] == text ? std::u16string() : shown[i]);
  return true;
}
