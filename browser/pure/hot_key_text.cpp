#include <initializer_list>

#include "browser/pure/hot_key_text.h"

const char16_t kEmptyReplaceTextMessage[] =
    u"置換リネームに必要な置換文字列が設定されていません\n\n リネーム設定で置換文字列の指定をしてください。";

namespace {
const char16_t* const kLongNames[kActionKindCount] = {
    u"復帰(UNDO)", u"キー割り当て", u"アプリーケーション転送", u"コピー",   u"移動",
    u"ゴミ箱",     u"削除",         u"RAW現像(TIFF保存)",      u"RAW現像(JPEG保存)", u"サムネイル保存",
    u"リネーム",   u"置換リネーム", u"ロスレス回転",           u"振分け移動", u"フォルダ統合"};
const char16_t* const kMouseKeyNames[4] = {u"無し", u"マウスホイールボタン", u"マウス拡張Ｘ１ボタン",
                                           u"マウス拡張Ｘ２ボタン"};
}  // namespace

int32_t TargetKeyVirtualKey(int32_t key) {
  if (key >= 4 && key < 30) return 'A' + (key - 4);
  if (key >= 30 && key < kTargetKeyCount) return '0' + (key - 30);
  return 0;
}

std::u16string TargetKeyName(int32_t key) {
  if (key >= 0 && key < 4) return kMouseKeyNames[key];
  const int32_t vk = TargetKeyVirtualKey(key);
  if (!vk) return u"";
  return std::u16string(1, static_cast<char16_t>(vk)) + u"キー";
}

const char16_t* ActionKindLongName(int32_t kind) {
  return (kind >= 0 && kind < kActionKindCount) ? kLongNames[kind] : u"";
}

std::u16string FillPattern(const std::u16string& pattern, std::initializer_list<std::u16string> args) {
  std::u16string out;
  auto arg = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's') {
      if (arg != args.end()) out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::u16string ActionDescriptionLine(int32_t kind, bool askAtRunTime, const std::u16string& detail) {
  const char16_t* folder = nullptr;
  switch (kind) {
    case 1:
      return FillPattern(u"指定動作 [ %s ]\n", {detail});
    case 2:
      return FillPattern(u"転送先アプリケーションは　[ %s ]　です。\n", {detail});
    case 3:
      folder = u"コピー先フォルダは";
      break;
    case 4:
      folder = u"移動先フォルダは";
      break;
    case 7:
    case 8:
    case 9:
      folder = u"保存先フォルダは";
      break;
    case 10:
      return FillPattern(u"リネーム設定 : [ %s ]\n", {detail});
    case 11:
      return FillPattern(u"置換リネーム設定 : ファイル名にある%sします。\n", {detail});
    default:
      return u"";
  }
  return FillPattern(std::u16string(folder) + (askAtRunTime ? u"　[ %s ]　です。　(実行時に変更可)\n" : u"　[ %s ]　です。\n"),
                     {detail});
}

std::u16string ActionQuestionText(int32_t state, int32_t targetKey, int32_t kind, const std::u16string& comment,
                                  const std::u16string& description, bool sameNamedJpg, bool skipAfterRunning) {
  const std::u16string commentLine = comment.empty() ? u"" : FillPattern(u"コメント ： %s\n", {comment});
  const std::u16string jpgLine =
      sameNamedJpg ? FillPattern(u"アクション対象のファイルが RAWデータ であった場合\nリスト中の同名の Jpgファイル "
                                 u"に対しても　[ %s ]　が適用されます。\n\n",
                                 {ActionKindLongName(kind)})
                   : u"";
  const char16_t* pattern =
      state == 2 ? u"%s　[ %s ]　アクションの内容が変更されています。\n%s%s\nアクションを実行してもよろしいですか？  \n\n%s"
                 : u"%s　[ %s ]　アクションが押されました。\n%s%s\nアクションを実行してもよろしいですか？  \n\n%s";
  return FillPattern(pattern, {TargetKeyName(targetKey), ActionKindLongName(kind), commentLine, description, jpgLine}) +
         (skipAfterRunning ? u"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）"
                           : u"※以後この表示はスキップされます。（表示設定で変更可）");
}
