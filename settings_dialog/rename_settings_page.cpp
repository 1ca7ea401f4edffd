// Page 9: the global rename pattern and replace-rename texts, their typed-text histories, and
// binding them to rename actions as the actions' own settings.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "actions/action_table.h"
#include "actions/batch_rename.h"
#include "actions/pure/action_editor_rules.h"
#include "actions/pure/rename_rules.h"
#include "actions/rename_support.h"
#include "browser/main_window.h"
#include "browser/pure/hot_key_text.h"
#include "browser/tooltips.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "settings_dialog/action_pages.h"
#include "resources/action_pages_ids.h"

namespace {
constexpr int kRenameSlot = 24;
constexpr UINT kQuestionBox = 0x40124;
constexpr int kHistoryEntries = 32;
constexpr int32_t kSequenceMax = 99999999;

const wchar_t* const kPrefixTypeNames[6] = {L"無し", L"指定文字列", L"フォルダ名", L"元ファイル名", L"カメラメーカー名",
                                            L"カメラモデル名"};
const wchar_t* const kDateJoinerNames[2] = {L"-(ハイフン)", L"_(アンダースコア)"};
const wchar_t* const kPrefixJoinerNames[3] = {L"+(無し)", L"-(ハイフン)", L"_(アンダースコア)"};

const int kHelpIds[16] = {IDC_RENAME_PREFIX_TYPE, IDC_RENAME_DATE_JOINER, IDC_RENAME_PREFIX_JOINER,
                          IDC_RENAME_PREFIX_TEXT, IDC_RENAME_NAME_TYPE,   IDC_RENAME_OLD_TEXT,
                          IDC_RENAME_NEW_TEXT,    IDC_RENAME_SEQUENCE,    IDC_RENAME_ACTIONS,
                          IDC_RENAME_BIND,        IDC_RENAME_FETCH,       IDC_RENAME_RELEASE,
                          IDC_REPLACE_ACTIONS,    IDC_REPLACE_BIND,       IDC_REPLACE_FETCH,
                          IDC_REPLACE_RELEASE};
const wchar_t* const kHelpTexts[16] = {
    L"リネーム先頭に付ける文字列(プリフィックス)を指定",
    L"リネームタイプ内のつなぎ文字タイプ\n日時などの区切りの文字列を選びます",
    L"プリフィックスとのつなぎ文字のタイプ",
    L"プリフィックス指定文字列の設定",
    L"リネームタイプを選択",
    L"ファイル名置換の対象文字列",
    L"ファイル名置換の新文字列",
    L"連番リネーム時の開始ナンバーを指定します",
    L"選択したリネームアクションの設定を変更する事ができます",
    L"選択中のリネームアクションに現在のリネーム設定を固定設定として登録します",
    L"選択中のリネームアクションの設定を取得し現在のリネーム設定に上書きします",
    L"選択中のリネームアクションに設定されている固定設定を解除します",
    L"選択した置換リネームアクションの設定を変更する事ができます",
    L"選択中の置換リネームアクションに現在のリネーム設定を固定設定として登録します",
    L"選択中の置換リネームアクションの設定を取得し現在のリネーム設定に上書きします",
    L"選択中の置換リネームアクションに設定されている固定設定を解除します"};

// The eight rename fields as the page found them, to tell at close what changed.
struct RenameFields {
  RenamePattern pattern;
  ReplaceTexts texts;
};
RenameFields RenameSettingsAtOpen;

HWND Page() { return g_windowSlots[kRenameSlot]; }

int Selection(HWND page, int id) { return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0)); }

std::wstring TextOf(HWND page, int id, int limit) {
  std::wstring text(static_cast<size_t>(limit) + 1, L'\0');
  GetDlgItemTextW(page, id, &text[0], limit + 1);
  text.resize(wcslen(text.c_str()));
  return text;
}

std::vector<std::u16string> ComboItems(HWND page, int id) {
  HWND combo = GetDlgItem(page, id);
  const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  std::vector<std::u16string> items;
  for (int i = 0; i < n; ++i) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    if (length < 0 || length > 1024) {
      items.emplace_back();
      continue;
    }
    std::wstring t(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&t[0]));
    t.resize(wcslen(t.c_str()));
    items.emplace_back(U16(t.c_str()));
  }
  return items;
}

template <size_t N>
void StoreText(char16_t (&field)[N], const std::wstring& text) {
  std::memset(field, 0, sizeof field);
  for (size_t i = 0; i < text.size() && i < N - 1; ++i) field[i] = static_cast<char16_t>(text[i]);
}

template <size_t E, size_t C>
void FillHistory(HWND page, int id, const char16_t (&history)[E][C]) {
  for (size_t i = 0; i < E; ++i) {
    wchar_t entry[C];
    std::memcpy(entry, history[i], sizeof entry);
    entry[C - 1] = 0;
    if (entry[0]) SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
}

void FillNameTypes(HWND page, int32_t dateJoiner) {
  HWND combo = GetDlgItem(page, IDC_RENAME_NAME_TYPE);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (int t = 0; t < 24; ++t)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(RenameNameTypeLabel(t, dateJoiner))));
}

RenameFields CurrentFields() {
  RenameFields f{};
  f.pattern = GlobalRenamePattern();
  f.texts = GlobalReplaceTexts();
  return f;
}

bool PatternDiffers(const RenamePattern& a, const RenamePattern& b) {
  return a.prefixType != b.prefixType || a.nameType != b.nameType || a.dateJoiner != b.dateJoiner ||
         a.prefixJoiner != b.prefixJoiner || a.sequenceStart != b.sequenceStart ||
         std::u16string(a.prefix) != std::u16string(b.prefix);
}

// The p-th action of the kind, in table order, for the combo's selected position p.
int32_t FindActionByKindOrdinal(HWND combo, int32_t kind) {
  const int p = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  if (p < 0) return -1;
  int seen = 0;
  for (int32_t r = 0; r < ActionRowCount(); ++r)
    if (ActionRowAt(r)->kind == kind && seen++ == p) return r;
  return -1;
}

void EnableBindButtons(HWND page, int combo, int32_t kind, int bind, int release, int fetch) {
  const ActionEntry* row = ActionRowAt(FindActionByKindOrdinal(GetDlgItem(page, combo), kind));
  EnableWindow(GetDlgItem(page, bind), row != nullptr);
  EnableWindow(GetDlgItem(page, release), row && row->ownRename);
  EnableWindow(GetDlgItem(page, fetch), row && row->ownRename);
}
void EnableRenameBindButtons(HWND page) {
  EnableBindButtons(page, IDC_RENAME_ACTIONS, 10, IDC_RENAME_BIND, IDC_RENAME_RELEASE, IDC_RENAME_FETCH);
}
void EnableReplaceRenameBindButtons(HWND page) {
  EnableBindButtons(page, IDC_REPLACE_ACTIONS, 11, IDC_REPLACE_BIND, IDC_REPLACE_RELEASE, IDC_REPLACE_FETCH);
}

void RebuildActionCombo(HWND page, int id, int32_t kind) {
  HWND combo = GetDlgItem(page, id);
  int keep = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  keep = keep < 0 ? 0 : keep > 65535 ? 65535 : keep;
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (int32_t r = 0; r < ActionRowCount(); ++r) {
    const ActionEntry& a = *ActionRowAt(r);
    if (a.kind != kind) continue;
    std::wstring text = W(TargetKeyName(a.targetKey).c_str());
    if (a.ownRename) {
      wchar_t description[kRenameTextChars];
      if (kind == 10) FormatRenameSettingsText(description, r);
      else FormatReplaceRenameText(description, r);
      text += L" : (固定設定)　";
      text += description;
    } else {
      text += kind == 10 ? L" : 現在のリネーム設定に準ずる" : L" : 現在の置換リネーム設定に準ずる";
    }
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  EnableWindow(combo, SendMessageW(combo, CB_GETCOUNT, 0, 0) > 0);
  SendMessageW(combo, CB_SETCURSEL, keep, 0);
}

// The texts and the sequence start as typed so far: a refresh writes these edits from the fields,
// so a change of the name or prefix type would otherwise put back what was there before. Their
// histories wait for the commit.
void KeepTypedTexts(HWND page) {
  const std::wstring sequence = TextOf(page, IDC_RENAME_SEQUENCE, 15);
  if (!sequence.empty()) {
    const long value = wcstol(sequence.c_str(), nullptr, 10);
    g_settings.renameSequenceStart = value < 0 ? 0 : value > kSequenceMax ? kSequenceMax : static_cast<int32_t>(value);
  }
  StoreText(g_settings.replaceRenameOld, TextOf(page, IDC_RENAME_OLD_TEXT, 127));
  StoreText(g_settings.replaceRenameNew, TextOf(page, IDC_RENAME_NEW_TEXT, 127));
}

void Refresh(HWND page) {
  const int32_t type = g_settings.renamePrefixType;
  if (type == 1) {
    wchar_t prefix[32];
    std::memcpy(prefix, g_settings.renamePrefix, sizeof prefix);
    prefix[31] = 0;
    SetDlgItemTextW(page, IDC_RENAME_PREFIX_TEXT, prefix);
  } else {
    SetDlgItemTextW(page, IDC_RENAME_PREFIX_TEXT, type >= 2 && type <= 5 ? kPrefixTypeNames[type] : L"");
  }
  EnableWindow(GetDlgItem(page, IDC_RENAME_PREFIX_TEXT), type == 1);
  wchar_t text[128];
  std::memcpy(text, g_settings.replaceRenameOld, sizeof text);
  text[127] = 0;
  SetDlgItemTextW(page, IDC_RENAME_OLD_TEXT, text);
  std::memcpy(text, g_settings.replaceRenameNew, sizeof text);
  text[127] = 0;
  SetDlgItemTextW(page, IDC_RENAME_NEW_TEXT, text);
  SetDlgItemTextW(page, IDC_RENAME_SEQUENCE, std::to_wstring(g_settings.renameSequenceStart).c_str());
  const int nameType = Selection(page, IDC_RENAME_NAME_TYPE);
  if (nameType >= 0) g_settings.renameNameType = nameType;
  EnableWindow(GetDlgItem(page, IDC_RENAME_SEQUENCE), g_settings.renameNameType >= 0 && g_settings.renameNameType <= 2);
  RebuildActionCombo(page, IDC_RENAME_ACTIONS, 10);
  RebuildActionCombo(page, IDC_REPLACE_ACTIONS, 11);
  EnableRenameBindButtons(page);
  EnableReplaceRenameBindButtons(page);
}

void SelectPatternCombos(HWND page) {
  SendDlgItemMessageW(page, IDC_RENAME_PREFIX_TYPE, CB_SETCURSEL, g_settings.renamePrefixType, 0);
  SendDlgItemMessageW(page, IDC_RENAME_NAME_TYPE, CB_SETCURSEL, g_settings.renameNameType, 0);
  SendDlgItemMessageW(page, IDC_RENAME_DATE_JOINER, CB_SETCURSEL, g_settings.renameDateJoiner, 0);
  SendDlgItemMessageW(page, IDC_RENAME_PREFIX_JOINER, CB_SETCURSEL, g_settings.renamePrefixJoiner, 0);
}

bool Ask(HWND page, const wchar_t* format, const wchar_t* description) {
  wchar_t text[kRenameTextChars + 512];
  swprintf(text, kRenameTextChars + 512, format, description);
  return ShowMessageBox(page, text, g_productName, kQuestionBox) == IDYES;
}

void Bind(HWND page, int id) {
  const bool rename = id == IDC_RENAME_BIND || id == IDC_RENAME_FETCH || id == IDC_RENAME_RELEASE;
  const int32_t r =
      FindActionByKindOrdinal(GetDlgItem(page, rename ? IDC_RENAME_ACTIONS : IDC_REPLACE_ACTIONS), rename ? 10 : 11);
  ActionEntry* row = ActionRowAt(r);
  if (!row) return;
  wchar_t description[kRenameTextChars];
  auto describe = [&](int32_t which) {
    if (rename) FormatRenameSettingsText(description, which);
    else FormatReplaceRenameText(description, which);
  };
  bool yes = false;
  if (id == IDC_RENAME_BIND || id == IDC_REPLACE_BIND) {
    CommitRenameSettings();
    describe(-1);
    const wchar_t* format =
        rename ? (row->ownRename
                      ? L"現在のリネーム設定をアクションに上書き登録します。\n\nリネーム設定 : [ %ls ] \nをアクションに登録します。\n\nよろしいですか？"
                      : L"現在のリネーム設定をアクションに登録します。\n\nリネーム設定 : [ %ls ] \nをアクションに登録します。\n\nよろしいですか？")
               : (row->ownRename
                      ? L"現在のリネーム設定をアクションに上書き登録します。\n\n置換リネーム設定 : [ %ls ] \nをアクションに登録します。\n\nよろしいですか？"
                      : L"現在の置換リネーム設定をアクションに登録します。\n\n置換リネーム設定 : [ %ls ] \nをアクションに登録します。\n\nよろしいですか？");
    if ((yes = Ask(page, format, description))) {
      if (rename) {
        row->prefixType = g_settings.renamePrefixType;
        row->nameType = g_settings.renameNameType;
        row->dateJoiner = g_settings.renameDateJoiner;
        row->prefixJoiner = g_settings.renamePrefixJoiner;
        row->sequenceStart = g_settings.renameSequenceStart;
        std::memcpy(row->prefixText, g_settings.renamePrefix, sizeof row->prefixText);
      } else {
        std::memcpy(row->replaceOld, g_settings.replaceRenameOld, sizeof row->replaceOld);
        std::memcpy(row->replaceNew, g_settings.replaceRenameNew, sizeof row->replaceNew);
      }
      row->ownRename = 1;
    }
  } else if (!row->ownRename) {
    return;
  } else if (id == IDC_RENAME_FETCH || id == IDC_REPLACE_FETCH) {
    describe(r);
    const wchar_t* format =
        rename ? L"アクションに登録されているリネーム設定を取得します。\n\nリネーム設定 : [ %ls ] \nを現在の設定に上書きします。\n\nよろしいですか？"
               : L"アクションに登録されている置換リネーム設定を取得します。\n\n置換リネーム設定 : [ %ls ] \nを現在の設定に上書きします。\n\nよろしいですか？";
    if ((yes = Ask(page, format, description))) {
      CommitRenameSettings();
      if (rename) {
        RenamePattern p{};
        ActionRowRename(r, &p, nullptr);
        NormaliseRenamePattern(p);
        g_settings.renamePrefixType = p.prefixType;
        g_settings.renameNameType = p.nameType;
        g_settings.renameDateJoiner = p.dateJoiner;
        g_settings.renamePrefixJoiner = p.prefixJoiner;
        g_settings.renameSequenceStart = p.sequenceStart;
        std::memcpy(g_settings.renamePrefix, p.prefix, sizeof g_settings.renamePrefix);
        SelectPatternCombos(page);
      } else {
        std::memcpy(g_settings.replaceRenameOld, row->replaceOld, sizeof g_settings.replaceRenameOld);
        std::memcpy(g_settings.replaceRenameNew, row->replaceNew, sizeof g_settings.replaceRenameNew);
        g_settings.replaceRenameOld[127] = g_settings.replaceRenameNew[127] = 0;
      }
    }
  } else {
    describe(r);
    const wchar_t* format =
        rename ? L"アクションに登録されているリネーム設定を解除します。\n\nリネーム設定 : [ %ls ] \nを解除します。\n\nよろしいですか？"
               : L"アクションに登録されている置換リネーム設定を解除します。\n\n置換リネーム設定 : [ %ls ] \nを解除します。\n\nよろしいですか？";
    if ((yes = Ask(page, format, description))) row->ownRename = 0;
  }
  if (yes) Refresh(page);
}

void Init(HWND page) {
  g_windowSlots[kRenameSlot] = page;
  if (g_settings.renameSequenceStart < 0 || g_settings.renameSequenceStart > kSequenceMax)
    g_settings.renameSequenceStart = 1;
  InitUpDownControl(GetDlgItem(page, IDC_RENAME_SEQUENCE_SPIN), GetDlgItem(page, IDC_RENAME_SEQUENCE), 0, kSequenceMax,
                    g_settings.renameSequenceStart);
  for (const wchar_t* name : kPrefixTypeNames)
    SendDlgItemMessageW(page, IDC_RENAME_PREFIX_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  FillNameTypes(page, g_settings.renameDateJoiner == 1 ? 1 : 0);
  for (const wchar_t* name : kDateJoinerNames)
    SendDlgItemMessageW(page, IDC_RENAME_DATE_JOINER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  for (const wchar_t* name : kPrefixJoinerNames)
    SendDlgItemMessageW(page, IDC_RENAME_PREFIX_JOINER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  SelectPatternCombos(page);
  SendDlgItemMessageW(page, IDC_RENAME_PREFIX_TEXT, CB_LIMITTEXT, 31, 0);
  SendDlgItemMessageW(page, IDC_RENAME_OLD_TEXT, CB_LIMITTEXT, 127, 0);
  SendDlgItemMessageW(page, IDC_RENAME_NEW_TEXT, CB_LIMITTEXT, 127, 0);
  SendDlgItemMessageW(page, IDC_RENAME_SEQUENCE, EM_LIMITTEXT, 7, 0);
  FillHistory(page, IDC_RENAME_PREFIX_TEXT, g_settings.renameHistoryPrefix);
  FillHistory(page, IDC_RENAME_OLD_TEXT, g_settings.renameHistoryOld);
  FillHistory(page, IDC_RENAME_NEW_TEXT, g_settings.renameHistoryNew);
  SendMessageW(page, WM_COMMAND, kRefreshCommand, 0);
  RenameSettingsAtOpen = CurrentFields();
}

void Close() {
  CommitRenameSettings();
  g_windowSlots[kRenameSlot] = nullptr;
  const RenameFields now = CurrentFields();
  const bool patternChanged = PatternDiffers(now.pattern, RenameSettingsAtOpen.pattern);
  const bool textsChanged =
      std::u16string(now.texts.oldText) != std::u16string(RenameSettingsAtOpen.texts.oldText) ||
      std::u16string(now.texts.newText) != std::u16string(RenameSettingsAtOpen.texts.newText);
  for (int32_t r = 0; r < ActionRowCount(); ++r) {
    const ActionEntry& a = *ActionRowAt(r);
    if (a.targetKey < 0 || a.targetKey >= kActionKeyCount) continue;
    if ((a.kind == 10 && patternChanged) || (a.kind == 11 && textsChanged)) g_keyActionState[a.targetKey] = 2;
  }
}
}  // namespace

void CommitRenameSettings() {
  HWND page = Page();
  if (!page) return;
  if (g_settings.renamePrefixType == 1) {
    const std::wstring prefix = TextOf(page, IDC_RENAME_PREFIX_TEXT, 31);
    StoreText(g_settings.renamePrefix, prefix);
    PushRenameHistory(&g_settings.renameHistoryPrefix[0][0], kHistoryEntries, 32, U16(prefix.c_str()),
                      ComboItems(page, IDC_RENAME_PREFIX_TEXT));
  }
  KeepTypedTexts(page);
  PushRenameHistory(&g_settings.renameHistoryOld[0][0], kHistoryEntries, 128, g_settings.replaceRenameOld,
                    ComboItems(page, IDC_RENAME_OLD_TEXT));
  PushRenameHistory(&g_settings.renameHistoryNew[0][0], kHistoryEntries, 128, g_settings.replaceRenameNew,
                    ComboItems(page, IDC_RENAME_NEW_TEXT));
  const int nameType = Selection(page, IDC_RENAME_NAME_TYPE);
  const int dateJoiner = Selection(page, IDC_RENAME_DATE_JOINER);
  const int prefixJoiner = Selection(page, IDC_RENAME_PREFIX_JOINER);
  if (nameType >= 0) g_settings.renameNameType = nameType;
  if (dateJoiner >= 0) g_settings.renameDateJoiner = dateJoiner;
  if (prefixJoiner >= 0) g_settings.renamePrefixJoiner = prefixJoiner;
}

INT_PTR CALLBACK RenameSettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Init(page);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (id == kRefreshCommand && lParam == 0) {
        Refresh(page);
        return TRUE;
      }
      switch (id) {
        case IDC_RENAME_PREFIX_TYPE:
          if (code == CBN_SELCHANGE) {
            if (g_settings.renamePrefixType == 1) StoreText(g_settings.renamePrefix, TextOf(page, IDC_RENAME_PREFIX_TEXT, 31));
            const int type = Selection(page, IDC_RENAME_PREFIX_TYPE);
            if (type >= 0) g_settings.renamePrefixType = type;
            KeepTypedTexts(page);
            Refresh(page);
          }
          break;
        case IDC_RENAME_NAME_TYPE:
          if (code == CBN_SELCHANGE) {
            KeepTypedTexts(page);
            Refresh(page);
          }
          break;
        case IDC_RENAME_DATE_JOINER:
          if (code == CBN_SELCHANGE) {
            const int nameType = Selection(page, IDC_RENAME_NAME_TYPE);
            const int joiner = Selection(page, IDC_RENAME_DATE_JOINER);
            if (nameType >= 0) g_settings.renameNameType = nameType;
            if (joiner >= 0) g_settings.renameDateJoiner = joiner;
            FillNameTypes(page, g_settings.renameDateJoiner == 1 ? 1 : 0);
            SendDlgItemMessageW(page, IDC_RENAME_NAME_TYPE, CB_SETCURSEL, g_settings.renameNameType, 0);
          }
          break;
        case IDC_RENAME_PREFIX_JOINER:
          if (code == CBN_SELCHANGE) {
            const int joiner = Selection(page, IDC_RENAME_PREFIX_JOINER);
            if (joiner >= 0) g_settings.renamePrefixJoiner = joiner;
          }
          break;
        case IDC_RENAME_ACTIONS:
          EnableRenameBindButtons(page);
          break;
        case IDC_REPLACE_ACTIONS:
          EnableReplaceRenameBindButtons(page);
          break;
        case IDC_RENAME_BIND: case IDC_RENAME_FETCH: case IDC_RENAME_RELEASE:
        case IDC_REPLACE_BIND: case IDC_REPLACE_FETCH: case IDC_REPLACE_RELEASE:
          if (code == BN_CLICKED) Bind(page, id);
          break;
      }
      return TRUE;
    }
    case WM_SETCURSOR:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
      return AddControlTooltip(page, reinterpret_cast<HWND>(wParam), kHelpIds, kHelpTexts, 16);
    case WM_DESTROY:
      Close();
      return FALSE;
  }
  return FALSE;
}
