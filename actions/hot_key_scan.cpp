#include "actions/hot_key_scan.h"

#include <windows.h>

#include <string>

#include "actions/action_dispatch.h"
#include "actions/action_path_dialog.h"
#include "actions/action_table.h"
#include "actions/actions_hooks.h"
#include "actions/batch_rename.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/pure/focus_rules.h"
#include "browser/pure/hot_key_text.h"
#include "core/app_globals.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "core/message_box.h"
#include "core/settings.h"

int32_t g_lastFiredKey = 0;

namespace {
const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
std::u16string U16(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : u""; }

std::u16string DescriptionOf(int32_t index, const ActionEntry& row) {
  wchar_t detail[1024] = {};
  const int32_t settingsRow = row.ownRename ? index : -1;
  switch (row.kind) {
    case 1:
      return ActionDescriptionLine(1, false, GetCommandName(row.commandIndex));
    case 10:
      FormatRenameSettingsText(detail, settingsRow);
      return ActionDescriptionLine(10, false, U16(detail));
    case 11:
      FormatReplaceRenameText(detail, settingsRow);
      return ActionDescriptionLine(11, false, U16(detail));
    default:
      return ActionDescriptionLine(row.kind, row.askAtRunTime == 1, row.path);
  }
}

class IdleFiringHost : public ActionFiringHost {
 public:
  explicit IdleFiringHost(bool focus) : focus_(focus) {}

  bool KeyFires(int32_t vk, int32_t repeatKind) override {
    switch (repeatKind) {
      case 0:
        return IsKeyHeld(vk);
      case 2:
        return IsKeyPressedOrRepeating(vk);
      default:
        return IsKeyJustPressed(vk);
    }
  }
  bool BrowsingFocus() override { return focus_; }
  bool CommandAllowedWithoutFocus(int32_t index) override { return IsCommandAllowedWithoutFocus(1, index) != 0; }

  // The description and, while the key's state asks for it, the question.
  FireAnswer Confirm(int32_t index) override {
    const ActionEntry& row = *ActionRowAt(index);
    g_lastFiredKey = row.targetKey;
    if (g_settings.confirmFirstAction != 1 || (row.kind == 1 && g_settings.neverConfirmKeyActions == 1))
      return FireAnswer::kRun;
    if (row.kind == 11 && ReplaceTextIsEmpty(row.ownRename ? index : -1)) {
      ShowAppMessageBox(nullptr, Wide(kEmptyReplaceTextMessage), g_productName, MB_ICONERROR);
      PauseBusy();
      PendingSettingsPage = 9;
      return FireAnswer::kEndWalk;
    }
    const std::u16string description = DescriptionOf(index, row);
    const int32_t key = row.targetKey;
    if (g_keyActionState[key] == 0) return FireAnswer::kRun;
    const bool clearOnYes = g_settings.confirmAgainAfterCancel == 1;
    const std::u16string text = ActionQuestionText(g_keyActionState[key], key, row.kind, row.comment, description,
                                                   row.sameNamedJpg == 1, clearOnYes);
    if (!clearOnYes) g_keyActionState[key] = 0;
    switch (ShowConfirmSettingsBox(g_hwndMain, Wide(text), g_productName, 0x40223)) {
      case 7:
        if (clearOnYes) g_keyActionState[key] = 0;
        PauseBusy();
        return FireAnswer::kRun;
      case 6:
        g_actionsHooks.openSettingsDialog(g_hwndMain, 8);
        g_mouseActionKey = key;
        return FireAnswer::kRestartWalk;
      default:
        PauseBusy();
        return FireAnswer::kEndWalk;
    }
  }

  bool AskFolder(int32_t index) override {
    if (DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(kActionPathDialogTemplate), g_hwndMain,
                        ActionPathInputDialogProc, index) == 0) return false;
    PauseBusy();
    return true;
  }
  int32_t Run(int32_t index) override {
    RestoreSavedFocus();
    return RunAction(index);
  }
  void AfterRun() override {
    PauseBusy();
    g_redrawFlag = 1;
  }

 private:
  bool focus_;
};
}  // namespace

void RunHotKeyScan(bool currentTarget) {
  IdleFiringHost host(currentTarget);
  WalkActionRows(reinterpret_cast<const ActionEntry*>(g_settings.actionTable), ActionRowCount(), &g_mouseActionKey,
                 host);
}
