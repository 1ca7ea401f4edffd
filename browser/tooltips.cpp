#include "browser/tooltips.h"

#include <commctrl.h>
#include <cwchar>

#include "browser/focus_queries.h"
#include "browser/main_window.h"
#include "browser/slideshow.h"
#include "core/app_globals.h"
#include "browser/viewer_panes.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "core/entry_queries.h"
#include "core/list_helpers.h"

HWND TooltipWindow;

namespace {
TOOLINFOW SharedToolInfo;
constexpr int kTipChars = 80;
}  // namespace

void CreateTooltipWindow(HINSTANCE instance) {
  if (TooltipWindow) DestroyTooltipWindow();
  TooltipWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (TooltipWindow) SendMessageW(TooltipWindow, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
  SharedToolInfo = TOOLINFOW{};
  SharedToolInfo.cbSize = TTTOOLINFOW_V2_SIZE;
  SharedToolInfo.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
}

void DestroyTooltipWindow() {
  if (TooltipWindow) SendMessageW(TooltipWindow, WM_CLOSE, 0, 0);
  TooltipWindow = nullptr;
}

BOOL AddControlTooltip(HWND dialog, HWND windowUnderCursor, const int* ids, const wchar_t* const* texts, int count) {
  if (!TooltipWindow || !windowUnderCursor) return FALSE;
  for (int i = 0; i < count; ++i) {
    if (GetDlgItem(dialog, ids[i]) != windowUnderCursor) continue;
    TOOLINFOW probe{};
    probe.cbSize = TTTOOLINFOW_V2_SIZE;
    probe.hwnd = dialog;
    probe.uId = reinterpret_cast<UINT_PTR>(windowUnderCursor);
    // WM_SETCURSOR comes with every mouse move: register each control once.
    if (SendMessageW(TooltipWindow, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&probe))) return FALSE;
    SharedToolInfo.hwnd = dialog;
    SharedToolInfo.uId = reinterpret_cast<UINT_PTR>(windowUnderCursor);
    SharedToolInfo.lpszText = const_cast<wchar_t*>(texts[i]);
    SendMessageW(TooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&SharedToolInfo));
    return FALSE;
  }
  return FALSE;
}

bool IsCommandToggledOn(int commandId) {
  switch (commandId) {
    case 328: return FullScreenFlag != 0;
    case 302: return g_treeHidden != 0;
    case 334: return IsListFocused();
    case 304: return g_gridShown != 0;
    case 225: return g_settings.keepZoomWhilePaging != 0;
    case 226: return g_settings.loupeEnabled != 0;
    case 332: return SlideshowRunning != 0;
    case 337: {
      if (g_listCount <= 0 || g_cursorRow < 0 || g_cursorRow >= g_listCount) return false;
      ImageLevelInputs facts{};
      if (!ReadRowLevelFacts(GetCurrentPictureRow(), &facts)) return false;
      return facts.hasFullDevelopment && (facts.fileTypeFlag & kRawTypeMask) != 0;
    }
  }
  return false;
}

bool GetCommandTooltipText(int commandId, const int32_t* ids, const TooltipTextPair* pairs, int count, wchar_t* out) {
  int i = FindCommandIndex(commandId, ids, count);
  if (i < 0) return false;
  const char16_t* text = IsCommandToggledOn(commandId) ? pairs[i].toggled : pairs[i].normal;
  wcsncpy(out, reinterpret_cast<const wchar_t*>(text), kTipChars - 1);
  out[kTipChars - 1] = 0;
  return true;
}

BOOL AnswerToolbarTooltip(NMHDR* header) {
  if (header->code != TTN_GETDISPINFOW) return FALSE;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  info->hinst = g_hInstance;
  if (!GetCommandTooltipText(int(header->idFrom), kToolbarCommandIds, kCommandTooltipTexts, kToolbarCommands,
                             info->szText))
    return FALSE;
  info->lpszText = info->szText;
  return TRUE;
}
