#include "actions/action_dispatch.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "actions/action_history.h"
#include "actions/action_table.h"
#include "actions/actions_hooks.h"
#include "actions/batch_rename.h"
#include "actions/entry_actions.h"
#include "actions/raw_batch.h"
#include "browser/collections.h"
#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "viewer/movie_player.h"
#include "core/movie_probe.h"
#include "core/window_helpers.h"

namespace {
constexpr uint32_t kRawTypeBits = 0x80DFFFE0u;
constexpr uint32_t kJpegTypeBit = 0x2u;
constexpr uint32_t kMovieTypeBit = 0x1000000u;

HWND ListPane() { return g_windowSlots[kSlotFileListPane]; }

bool RowSelected(HWND list, int32_t row) {
  return list && (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void UpdateRow(int32_t row) {
  if (ListPane()) SendMessageW(ListPane(), WM_COMMAND, kUpdateEntryRowCommand, row);
}

// One entry of the run: the action, its history line and the row's refresh.
int32_t DoEntry(const ActionEntry& action, int32_t rowIndex, int32_t listRow, int32_t jpgFlag) {
  const int32_t entry = g_displayOrder[listRow];
  const int32_t result =
      ExecuteEntryAction(entry, action.kind, reinterpret_cast<const wchar_t*>(action.path), rowIndex, jpgFlag);
  AddActionHistoryEntry(entry, action.kind, rowIndex, result);
  UpdateRow(listRow);
  return result;
}

void SendToMain(int id) { SendMessageW(g_hwndMain, WM_COMMAND, id, 0); }
void SendToList(int id) {
  if (ListPane()) SendMessageW(ListPane(), WM_COMMAND, id, 0);
}

void RunMovieCommand(int32_t code) {
  if (!(g_viewMode & 2)) return;
  HWND controls = g_windowSlots[kSlotMovieControls];
  if (!controls) return;
  const int32_t layout = g_settings.splitLayout;
  const int32_t panes = layout >= 0 && layout < 5 ? g_paneCountByLayout[layout] : 1;
  for (int32_t k = 0; k < panes; ++k) {
    const int32_t row = GetPaneOrderNumber(k);
    if (row < 0 || row >= g_listCount) continue;
    ImageEntry* e = EntryAtRow(row);
    if (!e || !(e->info.fileTypeFlag & kMovieTypeBit) || (e->flags & kEntryMovieNoCodec)) continue;
    const bool loaded = (e->flags & kEntryMovieUsePosition) != 0;
    // The strip acts on its own entry: this pane's movie becomes it first.
    g_movieEntry = g_displayOrder[row];
    if (code == -33) {
      if (loaded) GetMoviePosition(g_movieEntry);
      SaveMovieFrameAsBitmap(e, loaded ? e->moviePosition : g_settings.movieThumbSecond);
      continue;
    }
    int id = 0;
    switch (code) {
      case -28: id = loaded ? 491 : 0; break;
      case -29: id = ((e->flags & kEntryMoviePaused) || !loaded) ? 497 : 490; break;
      case -30: id = (e->flags & kEntryMovieRepeat) ? 498 : 492; break;
      case -31: id = loaded ? 297 : 0; break;
      case -32: id = loaded ? 298 : 0; break;
      default: break;
    }
    if (id) SendMessageW(controls, WM_COMMAND, id, 0);
  }
}
}  // namespace

int32_t FindSameNamedJpeg(int32_t row, int32_t listRow) {
  const ActionEntry* action = ActionRowAt(row);
  if (!action || action->sameNamedJpg != 1 || listRow < 0 || listRow >= g_listCount) return -1;
  ImageEntry* raw = EntryAtRow(listRow);
  if (!raw || !(raw->info.fileTypeFlag & kRawTypeBits)) return -1;
  wchar_t rawStem[kPathChars], rawFolder[kPathChars];
  GetNameWithoutExtension(EntryPath(raw), rawStem);
  GetFolderPart(EntryPath(raw), rawFolder);
  for (int32_t r = 0; r < g_listCount; ++r) {
    ImageEntry* e = EntryAtRow(r);
    if (!e || !(e->info.fileTypeFlag & kJpegTypeBit)) continue;
    wchar_t stem[kPathChars], folder[kPathChars];
    GetNameWithoutExtension(EntryPath(e), stem);
    GetFolderPart(EntryPath(e), folder);
    // A JPG of another folder (a collection) is not this RAW file's companion.
    if (CompareTextNoCase(stem, rawStem) == 0 && ComparePaths(folder, rawFolder) == 0) return r;
  }
  return -1;
}

void TransferToApplication(int32_t row) {
  const ActionEntry* action = ActionRowAt(row);
  HWND list = GetListControl();
  if (!action || !list) return;
  std::vector<int32_t> rows;
  std::wstring args;
  for (int32_t r = 0; r < g_listCount; ++r) {
    if (!RowSelected(list, r)) continue;
    rows.push_back(r);
    args += L"\"" + std::wstring(EntryPath(EntryAtRow(r))) + L"\" ";
    const int32_t jpg = FindSameNamedJpeg(row, r);
    if (jpg >= 0) {
      rows.push_back(jpg);
      args += L"\"" + std::wstring(EntryPath(EntryAtRow(jpg))) + L"\" ";
    }
  }
  if (!args.empty()) args.pop_back();
  const INT_PTR r = reinterpret_cast<INT_PTR>(ShellExecuteW(
      GetShellWindow(), L"open", reinterpret_cast<const wchar_t*>(action->path), args.c_str(), nullptr, SW_SHOWNORMAL));
  int32_t outcome = kActionDone;
  if (r <= 32) {
    ShowAppMessageBox(nullptr, L"アプリケーション転送に失敗しました。", g_productName, MB_ICONERROR);
    outcome = kActionFailed;
  }
  for (int32_t listRow : rows) AddActionHistoryEntry(g_displayOrder[listRow], 2, row, outcome);
}

int32_t RunAction(int32_t row) {
  const ActionEntry* found = ActionRowAt(row);
  if (!found || !IsActionRowSound(*found)) return 0;
  const ActionEntry action = *found;  // a dialog of the run may edit the table
  // Every action starts numbering anew, from its own sequence start or the global one.
  if (action.ownRename) RenameCounter = action.sequenceStart;
  else SelectGlobalRenameSettings();
  if (action.kind == 1) {
    RunBuiltInOperation(GetCommandCode(action.commandIndex));
    return 2;
  }
  if (g_windowSlots[kSlotActionRegister] || g_entryCount <= 0 || g_listCount <= 0 || g_cursorRow < 0) return 0;
  if (action.kind == 7 || action.kind == 8) {
    StartRawDevelopBatch(row);
    return 0;
  }
  // The folder watcher may add rows while the run pumps messages: entries past the count at the
  // start get their mark when they come.
  std::vector<uint8_t> handled(static_cast<size_t>(g_entryCount), 0);
  auto once = [&](int32_t listRow, int32_t jpgFlag) -> int32_t {
    const int32_t entry = g_displayOrder[listRow];
    if (entry < 0 || entry >= g_entryCount) return kActionFailed;
    if (static_cast<size_t>(entry) >= handled.size()) handled.resize(static_cast<size_t>(entry) + 1, 0);
    if (handled[entry]) return -1;  // already done in this run as a companion or a selected row
    handled[entry] = 1;
    return DoEntry(action, row, listRow, jpgFlag);
  };
  if (IsListFocused()) {
    HWND list = GetListControl();
    CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);
    if (action.kind == 2 && action.oneCall == 1) {
      TransferToApplication(row);
    } else {
      for (int32_t r = 0; r < g_listCount; ++r) {
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) {
          const int answer = ShowAppMessageBox(nullptr, L"アクションを中断しますか？", g_productName, 0x40124);
          PauseBusy();
          if (answer == IDYES) break;
        }
        if (!RowSelected(list, r)) continue;
        const int32_t jpg = FindSameNamedJpeg(row, r);
        if (jpg >= 0) once(jpg, 1);
        once(r, 0);
      }
    }
    ReleaseMouseCapture();
    return 1;
  }
  const int32_t paneRow = GetFocusedPaneRow();
  if (paneRow < 0 || paneRow >= g_listCount) {
    ShowAppMessageBox(nullptr, L"画像が選択されていません。", g_productName, MB_ICONINFORMATION);
    return 0;
  }
  const int32_t jpg = FindSameNamedJpeg(row, paneRow);
  if (jpg >= 0 && once(jpg, 1) == kActionFailed) return 0;
  if (once(paneRow, 0) == kActionFailed) return 0;
  ImageEntry* current = g_cursorRow >= 0 && g_cursorRow < g_listCount ? EntryAtRow(g_cursorRow) : nullptr;
  if (current) {
    if ((action.kind == 4 || action.kind == 5 || action.kind == 6) && current->presence == 0) g_nextImageRequest = 1;
    if (action.kind == 3 && g_settings.advanceAfterCopy == 1 && current->presence != 0) g_nextImageRequest = 1;
  }
  return 1;
}

void RunBuiltInOperation(int32_t code) {
  if (code >= -317 && code <= -300) {
    g_actionsHooks.openSettingsDialog(ListPane() ? ListPane() : g_hwndMain, -code - 300);
    return;
  }
  if (code >= -274 && code <= -271) {
    const int32_t layout = -code - 270;
    SendToList(g_settings.splitLayout == layout ? 435 : 435 + layout);
    return;
  }
  switch (code) {
    case -1: SendToMain(32790); return;
    case -2: SendToMain(32781); return;
    case -3: SendToList(120); return;
    case -4: SendToList(125); return;
    case -5: SendToList(123); return;
    case -6: SendToList(200); return;
    case -7: SendToList(137); return;
    case -8: SendToList(138); return;
    case -9: SendToList(156); return;
    case -10: SendToList(157); return;
    case -11: SendToList(158); return;
    case -12: SendToList(164); return;
    case -13: SendToList(185); return;
    case -14: SendToList(136); return;
    case -15: SendToMain(32792); return;
    case -16: SendToMain(32779); return;
    case -17: SendToMain(104); return;
    case -18: SendToMain(105); return;
    case -19: SendToMain(217); return;
    case -20: SendToMain(216); return;
    case -21: g_navigationToggleRequest = 1; return;
    case -22: g_mailRequest = 1; return;
    case -23: SendToMain(254); return;
    case -24: SendToMain(276); return;
    case -25: SendToMain(280); return;
    case -26: SendToMain(296); return;
    case -27: SelectNavigationTab(g_listSource != 0 ? 0 : 1); return;
    case -270: SendToList(435); return;
    case -28:
    case -29:
    case -30:
    case -31:
    case -32:
    case -33:
      RunMovieCommand(code);
      return;
    default:
      g_keyHold.injectedKey = code;
      return;
  }
}
