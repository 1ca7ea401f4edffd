#include "browser/rebar_bands.h"

#include <commctrl.h>

#include "browser/icon_lists.h"
#include "browser/main_window.h"
#include "browser/pure/command_states.h"
#include "core/app_globals.h"
#include "core/settings.h"

HWND g_bandControls[7];

namespace {
HWND MakeToolbar(HWND parent, int id) {
  HWND tb = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                CCS_NODIVIDER | CCS_NOPARENTALIGN,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_hInstance, nullptr);
  if (!tb) return nullptr;
  SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(tb, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_commandIcons));
  return tb;
}

void AddCommandButtons(HWND tb) {
  TBBUTTON buttons[64];
  int n = 0;
  const int count = g_settings.toolboxButtonCount < 0 ? 0 : (g_settings.toolboxButtonCount > 64 ? 64 : g_settings.toolboxButtonCount);
  for (int i = 0; i < count; ++i) {
    TBBUTTON& b = buttons[n++];
    b = TBBUTTON{};
    const int row = g_settings.toolboxButtons[i] - 1;  // 0 places a separator
    if (row < 0 || row >= kToolbarCommandCount) {
      b.fsStyle = BTNS_SEP;
      continue;
    }
    b.iBitmap = row;
    b.idCommand = kToolbarCommandIds[row];
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
  }
  SendMessageW(tb, TB_ADDBUTTONSW, n, reinterpret_cast<LPARAM>(buttons));
}

HWND MakeCombo(HWND parent, int id) {
  return CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 200, 300,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_hInstance, nullptr);
}
}  // namespace

void CreateRebarBands(HWND mainWindow) {
  g_rebar = CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS |
                                RBS_DBLCLKTOGGLE | CCS_NODIVIDER,
                            0, 0, 0, 0, mainWindow, nullptr, g_hInstance, nullptr);
  if (!g_rebar) return;
  REBARINFO info{sizeof info, RBIM_IMAGELIST, g_bandIcons};
  SendMessageW(g_rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

  g_bandControls[0] = MakeToolbar(g_rebar, 203);
  g_bandControls[1] = MakeCombo(g_rebar, 211);
  g_bandControls[2] = MakeCombo(g_rebar, 212);
  g_bandControls[3] = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, 0, 0, 150,
                                      20, g_rebar, reinterpret_cast<HMENU>(339), g_hInstance, nullptr);
  g_bandControls[4] = MakeCombo(g_rebar, 325);
  g_bandControls[5] = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 16, g_rebar, nullptr,
                                      g_hInstance, nullptr);
  g_bandControls[6] = MakeToolbar(g_rebar, 204);
  if (g_bandControls[6]) AddCommandButtons(g_bandControls[6]);

  for (const BandLayoutRecord& record : g_settings.bandLayout) {
    const int id = record.bandId;
    if (id < 0 || id > 6 || !g_bandControls[id]) continue;
    RECT r{};
    GetWindowRect(g_bandControls[id], &r);
    int height = r.bottom - r.top;
    if (id == 0 || id == 6) {
      DWORD size = static_cast<DWORD>(SendMessageW(g_bandControls[id], TB_GETBUTTONSIZE, 0, 0));
      height = HIWORD(size);
    } else if (id == 1 || id == 2 || id == 4) {
      height = 22;
    }
    REBARBANDINFOW band{};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID | RBBIM_IMAGE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | ((record.breakFlag & 1) ? RBBS_BREAK : 0);
    band.hwndChild = g_bandControls[id];
    band.cxMinChild = 0;
    band.cyMinChild = height > 0 ? height : 20;
    band.cx = record.width;
    band.wID = id;
    band.iImage = id;
    SendMessageW(g_rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  }
}
