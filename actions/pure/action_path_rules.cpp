#include "actions/pure/action_path_rules.h"

#include "core/pure/path_text.h"

const char16_t* ActionPathQuestionPhrase(int32_t kind) {
  switch (kind) {
    case 2: return u"の転送先アプリケーションを";
    case 3: return u"のコピー先フォルダを";
    case 4: return u"の移動先フォルダを";
    case 7:
    case 8:
    case 9: return u"の保存先フォルダを";
    default: return u"";
  }
}

ActionPathResult FinishActionPath(const char16_t* typed, int32_t kind, char16_t* out, int capacity) {
  const size_t n = TextLength(typed);
  if (n == 0) {
    out[0] = 0;
    return ActionPathResult::kOk;
  }
  const bool addSlash = kind != 2 && typed[n - 1] != u'\\';
  if (n + (addSlash ? 1 : 0) + 1 > static_cast<size_t>(capacity)) return ActionPathResult::kTooLong;
  if (typed[0] == u'\\') return ActionPathResult::kLeadingBackslash;
  for (size_t i = 0; i < n; ++i) out[i] = typed[i];
  size_t end = n;
  if (addSlash) out[end++] = u'\\';
  out[end] = 0;
  return ActionPathResult::kOk;
}

bool IsActionFolderKind(int32_t kind) { return kind == 3 || kind == 4 || kind == 7 || kind == 8 || kind == 9; }

const char16_t* ActionFolderEmptyText(int32_t kind) {
  return kind == 3 ? u"ファイルコピー先フォルダが入力されていません。"
         : kind == 4 ? u"ファイル移動先フォルダが入力されていません。"
                     : u"ファイル保存先フォルダが入力されていません。";
}

const char16_t* ActionFolderInvalidText(int32_t kind) {
  return kind == 3 ? u"ファイルコピー先フォルダが不正です。"
         : kind == 4 ? u"ファイル移動先フォルダが不正です。"
                     : u"ファイル保存先フォルダが不正です。";
}
