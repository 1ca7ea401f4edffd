// The action list page, the action register dialog and the rename settings page in a real
// settings dialog: rows map to actions through their id column whatever the sort, the register
// dialog checks what it writes, and the rename page keeps its histories and describes every
// pattern.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "actions/action_table.h"
#include "actions/batch_rename.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/settings.h"
#include "settings_dialog/action_pages.h"
#include "resources/action_pages_ids.h"
#include "settings_dialog/settings_dialog.h"
#include "support/settings_page_frame.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {
// Each step returns true when done; a step that is not yet possible is tried again.
void RunDialog(int page, std::vector<ModalStep> steps) {
  const size_t total = steps.size();
  EXPECT_EQ(RunSettingsDialog(page, std::move(steps), 50), total) << "steps run";
}

constexpr int kActionSlot = 19, kRenameSlot = 24;
int KeyOf(char letter) { return 4 + (letter - 'A'); }
HWND Register() { return g_windowSlots[kSlotActionRegister]; }
void Close() { PostMessageW(g_windowSlots[kSlotSettingsDialog], WM_CLOSE, 0, 0); }
HWND List() { return GetDlgItem(SettingsPage(kActionSlot), IDC_ACTION_LIST); }
int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
std::wstring Text(HWND w, int id) {
  wchar_t t[2048] = L"";
  GetDlgItemTextW(w, id, t, 2048);
  return t;
}
std::wstring ComboItem(HWND w, int id, int item) {
  wchar_t t[600] = L"";
  if (SendDlgItemMessageW(w, id, CB_GETLBTEXTLEN, item, 0) < 600) SendDlgItemMessageW(w, id, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(t));
  return t;
}
void Pick(HWND w, int id, int item) {
  SendDlgItemMessageW(w, id, CB_SETCURSEL, item, 0);
  SendMessageW(w, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(w, id)));
}
// Keys into an edit, or the edit of a combo box, over its whole text.
void TypeOver(HWND w, int id, const wchar_t* keys) {
  HWND edit = GetDlgItem(w, id);
  if (HWND inner = FindWindowExW(edit, nullptr, L"Edit", nullptr)) edit = inner;
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (const wchar_t* k = keys; *k; ++k) SendMessageW(edit, WM_CHAR, *k, 1);
}
void SelectRow(HWND list, int row) {
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}
void ClickColumn(HWND page, HWND list, int column) {
  NMLISTVIEW n{};
  n.hdr.hwndFrom = list;
  n.hdr.idFrom = IDC_ACTION_LIST;
  n.hdr.code = LVN_COLUMNCLICK;
  n.iItem = -1;
  n.iSubItem = column;
  SendMessageW(page, WM_NOTIFY, IDC_ACTION_LIST, reinterpret_cast<LPARAM>(&n));
}
int StateImage(HWND list, int row) {
  return static_cast<int>((SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

// A message box of this thread (caption the product name), null when none is open.
HWND OpenBox() {
  struct Find {
    HWND found = nullptr;
  } f;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM p) {
        wchar_t caption[128] = L"";
        GetWindowTextW(w, caption, 128);
        if (IsWindowVisible(w) && std::wstring(caption) == g_productName && GetDlgItem(w, 0xFFFF)) {
          reinterpret_cast<Find*>(p)->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.found;
}
// Answers the open box with the button and keeps its text; false while none is open.
bool Answer(int button, std::wstring* text) {
  HWND box = OpenBox();
  if (!box) return false;
  if (text) *text = Text(box, 0xFFFF);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return true;
}

ActionEntry* Seed(int index, int kind, char key) {
  ActionEntry* a = reinterpret_cast<ActionEntry*>(g_settings.actionTable[index].bytes);
  std::memset(a, 0, sizeof *a);
  a->enabled = 1;
  a->kind = kind;
  a->targetKey = KeyOf(key);
  if (g_settings.actionCount < index + 1) g_settings.actionCount = index + 1;
  return a;
}

class ActionPagesTest : public SettingsPageFrame {
 protected:
  void SetUp() override {
    SettingsPageFrame::SetUp();
    NormaliseAfterCollections(g_settings);
    FillMissingSentinelSections(g_settings);
    g_settings.actionCount = 0;
    std::memset(g_keyActionState, 0, sizeof g_keyActionState);
  }
};

TEST_F(ActionPagesTest, ListShowsTheActionsAndStoresThemInTheOrderShown) {
  ActionEntry* copy = Seed(0, 3, 'X');
  wcscpy(W(copy->path), L"keep\\");
  copy->askAtRunTime = 1;
  Seed(1, 10, 'B')->enabled = 0;
  ActionEntry* command = Seed(2, 1, 'A');
  command->commandIndex = 5;
  wcscpy(W(command->comment), L"memo");
  g_settings.colorSlotEnabled[ActionKindColorSlot(3)] = 0;
  wchar_t rename[600];
  FormatRenameSettingsText(rename, -1);
  std::vector<std::wstring> ids, cells;
  int uncheckedBefore = -1;
  RunDialog(8, {
      [&] { return Rows(List()) == 3; },
      [&] {
        HWND list = List();
        cells = {ListText(list, 0, 2), ListText(list, 1, 2), ListText(list, 2, 2), ListText(list, 0, 3), ListText(list, 2, 3),
                 ListText(list, 0, 4), ListText(list, 1, 4), ListText(list, 2, 6), ListText(list, 1, 0), ListText(list, 0, 5)};
        uncheckedBefore = StateImage(list, 1);
        ClickColumn(SettingsPage(kActionSlot), list, 1);  // "対象キー": A, B, X
        for (int r = 0; r < 3; ++r) ids.push_back(ListText(list, r, 7));
        // The first row shown is action 2: unchecking it disables that action.
        LVITEMW item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(1);
        SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        return true;
      },
      [&] {
        // Page 8 is already shown: selecting it again would refill the list in table order.
        UpdateWindow(g_windowSlots[kSlotSettingsDialog]);
        SaveScreenshot(ExeFolder() + L"\\action_list_page.bmp");
        Close();
        return true;
      },
  });
  ASSERT_EQ(cells.size(), 10u);
  EXPECT_EQ(cells[0], L"(実行時に変更可) keep\\");
  EXPECT_EQ(cells[1], std::wstring(L"[ ") + rename + L" ]");
  EXPECT_EQ(cells[2], W(GetCommandName(5)));
  EXPECT_EQ(cells[3], L"◎");
  EXPECT_EQ(cells[4], L"×");
  EXPECT_EQ(cells[5], L"×");  // the copy colour switched off
  EXPECT_EQ(cells[6], L"○");
  EXPECT_EQ(cells[7], L"memo");
  EXPECT_EQ(cells[8], L"ﾘﾈｰﾑ");
  EXPECT_EQ(cells[9], L"しない");
  EXPECT_EQ(uncheckedBefore, 1);
  EXPECT_EQ(ids, (std::vector<std::wstring>{L"2", L"1", L"0"}));
  // The table is stored as shown: the command, the rename, the copy.
  ASSERT_EQ(g_settings.actionCount, 3);
  EXPECT_EQ(ActionRowAt(0)->kind, 1);
  EXPECT_EQ(ActionRowAt(0)->enabled, 0);
  EXPECT_STREQ(W(ActionRowAt(0)->comment), L"memo");
  EXPECT_EQ(ActionRowAt(1)->kind, 10);
  EXPECT_EQ(ActionRowAt(1)->enabled, 0);
  EXPECT_EQ(ActionRowAt(2)->kind, 3);
  EXPECT_EQ(ActionRowAt(2)->enabled, 1);
  Reload();
  EXPECT_EQ(reinterpret_cast<ActionEntry*>(g_settings.actionTable[0].bytes)->kind, 1);
}

TEST_F(ActionPagesTest, RegisterDialogChecksWhatItWrites) {
  ActionEntry* copy = Seed(0, 3, 'C');
  wcscpy(W(copy->path), L"c:\\x\\");
  wcscpy(W(copy->comment), L"first");
  std::wstring duplicate, tooLong, warning, prefilledPath, prefilledComment, title;
  int prefilledKey = -1, prefilledKind = -1;
  bool stillOpenAfterNo = false;
  const std::wstring longPath = L"a\\" + std::wstring(257, L'b');  // 259 characters
  auto openAdd = [&] {
    SelectRow(List(), 0);
    PostMessageW(GetDlgItem(SettingsPage(kActionSlot), IDC_ACTION_ADD), BM_CLICK, 0, 0);
    return true;
  };
  RunDialog(8, {
      [&] { return Rows(List()) == 1; },
      openAdd,
      [&] { return Register() != nullptr; },
      [&] {
        HWND d = Register();
        prefilledKey = static_cast<int>(SendDlgItemMessageW(d, IDC_REGISTER_KEY, CB_GETCURSEL, 0, 0));
        prefilledKind = static_cast<int>(SendDlgItemMessageW(d, IDC_REGISTER_KIND, CB_GETCURSEL, 0, 0));
        prefilledPath = Text(d, IDC_REGISTER_PATH);
        prefilledComment = Text(d, IDC_REGISTER_COMMENT);
        title = Text(d, IDC_REGISTER_TITLE);
        SaveScreenshot(ExeFolder() + L"\\action_register_dialog.bmp");
        PostMessageW(d, WM_COMMAND, IDOK, 0);
        return true;
      },
      [&] { return Answer(IDOK, &duplicate); },
      [&] {
        // Delete on D: the warning answered No keeps the dialog open.
        HWND d = Register();
        Pick(d, IDC_REGISTER_KEY, KeyOf('D'));
        Pick(d, IDC_REGISTER_KIND, 6);
        PostMessageW(d, WM_COMMAND, IDOK, 0);
        return true;
      },
      [&] { return Answer(IDNO, &warning); },
      [&] {
        stillOpenAfterNo = Register() != nullptr;
        HWND d = Register();
        // A copy folder asked at run time: a path too long for the row once '\' is added is refused.
        Pick(d, IDC_REGISTER_KIND, 3);
        CheckDlgButton(d, IDC_REGISTER_ASK_AT_RUN, BST_CHECKED);
        SetDlgItemTextW(d, IDC_REGISTER_PATH, longPath.c_str());
        PostMessageW(d, WM_COMMAND, IDOK, 0);
        return true;
      },
      [&] { return Answer(IDOK, &tooLong); },
      [&] {
        HWND d = Register();
        SetDlgItemTextW(d, IDC_REGISTER_PATH, L"keep\\copy");
        SetDlgItemTextW(d, IDC_REGISTER_COMMENT, L"second");
        PostMessageW(d, WM_COMMAND, IDOK, 0);
        return true;
      },
      [&] { return Register() == nullptr && Rows(List()) == 2; },
      [&] {
        Close();
        return true;
      },
  });
  EXPECT_EQ(prefilledKey, KeyOf('C'));
  EXPECT_EQ(prefilledKind, 3);
  EXPECT_EQ(prefilledPath, L"c:\\x\\");
  EXPECT_EQ(prefilledComment, L"first");
  EXPECT_EQ(title, L"Cキー を押すと フォルダ　[ c:\\x\\ ]　に選択ファイルをコピーします。");
  EXPECT_EQ(duplicate, L"対象キーは既に使用されています。\n対象キーを別のキーに変更してください。");
  EXPECT_NE(warning.find(L"アクション“削除”が選択されています。"), std::wstring::npos);
  EXPECT_TRUE(stillOpenAfterNo);
  EXPECT_EQ(tooLong, L"フォルダ名が長すぎます。\n短いパスを入力してください。");
  ASSERT_EQ(g_settings.actionCount, 2);
  const ActionEntry* added = ActionRowAt(1);
  EXPECT_EQ(added->targetKey, KeyOf('D'));
  EXPECT_EQ(added->kind, 3);
  EXPECT_EQ(added->enabled, 1);
  EXPECT_EQ(added->askAtRunTime, 1);
  EXPECT_STREQ(W(added->path), L"keep\\copy\\");
  EXPECT_STREQ(W(added->comment), L"second");
  EXPECT_EQ(g_keyActionState[KeyOf('D')], 2);
  EXPECT_STREQ(W(ActionRowAt(0)->path), L"c:\\x\\");
}

// The pattern descriptions as the rename page's choices give them.
std::wstring NameLabel(int type, int joiner) {
  static const wchar_t* const kLayouts[] = {L"YYYY-MM-DD-HH-MM-SS", L"YY-MM-DD-HH-MM-SS", L"MM-DD-HH-MM-SS",
                                            L"YYYYMMDD-HHMMSS",     L"YYMMDD-HHMMSS",     L"MMDD-HHMMSS",
                                            L"YYYYMMDDHHMMSS"};
  static const wchar_t* const kSources[] = {L"EXIF撮影日時 (", L"ﾌｧｲﾙ作成日時 (", L"ﾌｧｲﾙ更新日時 ("};
  if (type < 3) return L"連番 (" + std::to_wstring(3 + type) + L"桁)";
  std::wstring layout = kLayouts[(type - 3) % 7];
  if (joiner == 1)
    for (wchar_t& c : layout)
      if (c == L'-') c = L'_';
  return kSources[(type - 3) / 7] + layout + L")";
}

// A change of the name or the prefix type shows the fields again: what was typed into the replace
// texts and the sequence start stays.
TEST_F(ActionPagesTest, RenamePageKeepsWhatWasTypedThroughAChangeOfType) {
  std::wstring shown;
  RunDialog(9, {
      [&] { return SettingsPage(kRenameSlot) != nullptr; },
      [&] {
        HWND p = SettingsPage(kRenameSlot);
        TypeOver(p, IDC_RENAME_OLD_TEXT, L"DSC_");
        TypeOver(p, IDC_RENAME_NEW_TEXT, L"旅_");
        TypeOver(p, IDC_RENAME_SEQUENCE, L"5");
        Pick(p, IDC_RENAME_NAME_TYPE, 1);
        Pick(p, IDC_RENAME_PREFIX_TYPE, 2);
        shown = Text(p, IDC_RENAME_OLD_TEXT) + L"|" + Text(p, IDC_RENAME_NEW_TEXT) + L"|" + Text(p, IDC_RENAME_SEQUENCE);
        Close();
        return true;
      },
  });
  EXPECT_EQ(shown, L"DSC_|旅_|5");
  Reload();
  EXPECT_EQ(g_settings.renameSequenceStart, 5);
}

TEST_F(ActionPagesTest, RenamePageKeepsHistoriesBindsActionsAndDescribesEveryPattern) {
  g_settings.renamePrefixType = 1;
  wcscpy(W(g_settings.renamePrefix), L"IMG");
  wcscpy(W(g_settings.renameHistoryPrefix[0]), L"IMG");
  wcscpy(W(g_settings.renameHistoryPrefix[1]), L"ABC");
  Seed(0, 10, 'R');
  Seed(1, 11, 'T');
  int historyShown = -1, namesAfterJoiner = -1;
  bool sequenceOffForDates = true, bindEnabledBefore = false;
  std::wstring bindQuestion, comboAfterBind, underscoreName;
  std::vector<std::wstring> descriptions, expected;
  static const wchar_t* const kPrefixNames[] = {L"", L"ABC", L"フォルダ名", L"元ファイル名", L"カメラメーカー名",
                                                L"カメラモデル名"};
  static const wchar_t* const kJoiners[] = {L"+", L"-", L"_"};
  RunDialog(9, {
      [&] { return SettingsPage(kRenameSlot) != nullptr; },
      [&] {
        HWND p = SettingsPage(kRenameSlot);
        historyShown = static_cast<int>(SendDlgItemMessageW(p, IDC_RENAME_PREFIX_TEXT, CB_GETCOUNT, 0, 0));
        bindEnabledBefore = IsWindowEnabled(GetDlgItem(p, IDC_RENAME_BIND));
        SetDlgItemTextW(p, IDC_RENAME_PREFIX_TEXT, L"ABC");
        PostMessageW(p, WM_COMMAND, MAKEWPARAM(IDC_RENAME_BIND, BN_CLICKED), 0);
        return true;
      },
      [&] { return Answer(IDYES, &bindQuestion); },
      [&] {
        HWND p = SettingsPage(kRenameSlot);
        comboAfterBind = Text(p, IDC_RENAME_ACTIONS);
        Pick(p, IDC_RENAME_NAME_TYPE, 5);
        sequenceOffForDates = !IsWindowEnabled(GetDlgItem(p, IDC_RENAME_SEQUENCE));
        Pick(p, IDC_RENAME_DATE_JOINER, 1);
        namesAfterJoiner = static_cast<int>(SendDlgItemMessageW(p, IDC_RENAME_NAME_TYPE, CB_GETCOUNT, 0, 0));
        underscoreName = ComboItem(p, IDC_RENAME_NAME_TYPE, 3);
        SelectSettingsPage(9);
        UpdateWindow(g_windowSlots[kSlotSettingsDialog]);
        SaveScreenshot(ExeFolder() + L"\\rename_settings_page.bmp");
        // Every prefix type, name type and joiner as chosen on the page and then described.
        for (int joiner = 0; joiner < 2; ++joiner)
          for (int prefix = 0; prefix < 6; ++prefix)
            for (int name = 0; name < 24; ++name) {
              const int prefixJoiner = (prefix + name) % 3;
              Pick(p, IDC_RENAME_DATE_JOINER, joiner);
              Pick(p, IDC_RENAME_PREFIX_TYPE, prefix);
              Pick(p, IDC_RENAME_PREFIX_JOINER, prefixJoiner);
              Pick(p, IDC_RENAME_NAME_TYPE, name);
              CommitRenameSettings();
              wchar_t text[600];
              FormatRenameSettingsText(text, -1);
              descriptions.push_back(text);
              expected.push_back(prefix == 0 ? NameLabel(name, joiner)
                                             : kPrefixNames[prefix] + std::wstring(kJoiners[prefixJoiner]) +
                                                   NameLabel(name, joiner));
            }
        Pick(p, IDC_RENAME_PREFIX_TYPE, 1);
        Close();
        return true;
      },
  });
  EXPECT_EQ(historyShown, 2);
  EXPECT_TRUE(bindEnabledBefore);
  EXPECT_NE(bindQuestion.find(L"リネーム設定 : [ ABC+連番 (3桁) ]"), std::wstring::npos) << bindQuestion.size();
  EXPECT_EQ(comboAfterBind, L"Rキー : (固定設定)　ABC+連番 (3桁)");
  EXPECT_TRUE(sequenceOffForDates);
  EXPECT_EQ(namesAfterJoiner, 24);
  EXPECT_EQ(underscoreName, L"EXIF撮影日時 (YYYY_MM_DD_HH_MM_SS)");
  EXPECT_EQ(descriptions, expected);
  // The typed prefix went first, the one shown before followed, its old place blanked.
  EXPECT_STREQ(W(g_settings.renameHistoryPrefix[0]), L"ABC");
  EXPECT_STREQ(W(g_settings.renameHistoryPrefix[1]), L"IMG");
  EXPECT_STREQ(W(g_settings.renameHistoryPrefix[2]), L"");
  const ActionEntry* bound = ActionRowAt(0);
  EXPECT_EQ(bound->ownRename, 1);
  EXPECT_STREQ(W(bound->prefixText), L"ABC");
  // Only the pattern changed: the rename key asks again, the replace-rename key does not.
  EXPECT_EQ(g_keyActionState[KeyOf('R')], 2);
  EXPECT_EQ(g_keyActionState[KeyOf('T')], 0);
  Reload();
  EXPECT_EQ(g_settings.renamePrefixType, 1);
  EXPECT_STREQ(W(g_settings.renamePrefix), L"ABC");
}

}  // namespace
