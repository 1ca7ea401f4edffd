#include "browser/hot_key_scan.h"

#include <windows.h>

#include <string>

#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/pure/hot_key_text.h"
#include "core/app_globals.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "core/standins.h"
#include "settings_dialog/settings_dialog.h"

int32_t g_lastFiredKey = 0;

namespace {
const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
std::u16string U16(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : u""; }

bool IsRowPressed(const HotKeyActionRow& row) {
  if (g_mouseActionKey != 0 && g_mouseActionKey == row.targetKey) {
    g_lastFiredKey = g_mouseActionKey;
    g_mouseActionKey = 0;
    return true;
  }
  const int32_t vk = TargetKeyVirtualKey(row.targetKey);
  if (!vk) return false;
  if (row.kind != 1) return IsKeyJustPressed(vk);
  switch (GetCommandRepeatKind(row.commandIndex)) {
    case 0:
      return IsKeyHeld(vk);
    case 2:
      return IsKeyPressedOrRepeating(vk);
    default:
      return IsKeyJustPressed(vk);
  }
}

std::u16string DescriptionOf(int32_t index, const HotKeyActionRow& row) {
  wchar_t detail[1024] = {};
  const int32_t settingsRow = row.ownRename ? index : -1;
  switch (row.kind) {
    case 1:
      return ActionDescriptionLine(1, false, U16(GetCommandName(row.commandIndex)));
    case 10:
      FormatRenameSettingsText(detail, settingsRow);
      return ActionDescriptionLine(10, false, U16(detail));
    case 11:
      FormatReplaceRenameText(detail, settingsRow);
      return ActionDescriptionLine(11, false, U16(detail));
    default:
      return ActionDescriptionLine(row.kind, row.askAtRunTime == 1, U16(row.path));
  }
}

enum class Outcome { kRun, kEndScan, kRestartScan };

// Confirmation of a row about to fire: the box, and what its answer asks for.
Outcome Confirm(int32_t index, const HotKeyActionRow& row) {
  const bool confirmActions = g_settings.confirmFirstAction != 0;
  const bool skipBuiltIn = g_settings.neverConfirmKeyActions != 0;
  if (!confirmActions || (row.kind == 1 && skipBuiltIn)) return Outcome::kRun;
  if (row.kind == 11 && ReplaceTextIsEmpty(row.ownRename ? index : -1)) {
    ShowAppMessageBox(nullptr, Wide(kEmptyReplaceTextMessage), g_productName, MB_ICONERROR);
    PauseBusy();
    PendingSettingsPage = 9;
    return Outcome::kEndScan;
  }
  const std::u16string description = DescriptionOf(index, row);
  const int32_t key = row.targetKey;
  if (key < 0 || key >= kTargetKeyCount || g_keyActionState[key] == 0) return Outcome::kRun;
  const bool skipAfterRunning = g_settings.confirmAgainAfterCancel != 0;
  const std::u16string text =
      ActionQuestionText(g_keyActionState[key], key, row.kind, U16(row.comment), description, row.sameNamedJpg != 0,
                         skipAfterRunning);
  if (!skipAfterRunning) g_keyActionState[key] = 0;
  switch (ShowConfirmSettingsBox(nullptr, Wide(text), g_productName, 0x40223)) {
    case 7:
      if (skipAfterRunning) g_keyActionState[key] = 0;
      PauseBusy();
      return Outcome::kRun;
    case 6:
      OpenSettingsDialog(g_hwndMain, 8);
      g_mouseActionKey = key;
      return Outcome::kRestartScan;
    default:
      PauseBusy();
      return Outcome::kEndScan;
  }
}
}  // namespace

void RunHotKeyScan(bool currentTarget) {
  for (int32_t index = 0; index < kActionRowCount; ++index) {
    HotKeyActionRow row{};
    if (!ReadActionRow(index, &row) || row.enabled != 1) continue;
    if (!IsRowPressed(row)) continue;
    if (!currentTarget && !CommandRunsWithoutTarget(row.kind, row.commandIndex)) continue;
    const Outcome outcome = Confirm(index, row);
    if (outcome == Outcome::kEndScan) return;
    if (outcome == Outcome::kRestartScan) {
      index = -1;
      continue;
    }
    if (ActionPathKind(row.kind) == 1 && row.askAtRunTime == 1) {
      if (DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(206), g_hwndMain, ActionPathDialogProc, index) == 0) return;
      PauseBusy();
    }
    RestoreSavedFocus();
    if (RunAction(index) == 2) return;
    PauseBusy();
    g_redrawFlag = 1;
  }
}
