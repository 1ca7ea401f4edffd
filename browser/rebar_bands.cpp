#include "browser/rebar_bands.h"

#include <commctrl.h>

#include <initializer_list>

#include "browser/menus.h"
#include "core/app_globals.h"
#include "browser/status_bar.h"
#include "browser/viewer_panes.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "core/entry_queries.h"
#include "core/list_helpers.h"
#include "core/path_utils.h"
#include "core/window_helpers.h"
#include "resources/resource.h"

HWND g_hwndRebar;
HWND g_bandControls[kBandCount];

namespace {
REBARBANDINFOW g_bandInfo;
HIMAGELIST g_bandImages, g_folderComboImages, g_toolboxDisabledImages;
HFONT g_rebarFont;

constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                                TBSTYLE_FLAT | TBSTYLE_TOOLTIPS;
constexpr int kToolboxCells = 56, kToolboxCellsLarge = 55;

int Scale() { return g_uiScale == 2 ? 2 : 1; }

HIMAGELIST LoadStrip(int id, int cell) {
  return ImageList_LoadImageW(g_hInstance, MAKEINTRESOURCEW(id), cell, 0, RGB(0xC0, 0xC0, 0xC0), IMAGE_BITMAP,
                              LR_CREATEDIBSECTION);
}

HWND Control(int kind) { return (kind >= 0 && kind < kBandCount) ? g_bandControls[kind] : nullptr; }

HWND CreateBandControl(int kind, HWND parent) {
  switch (kind) {
    case kBandMenuButton: return CreateMenuButtonToolbar(parent);
    case kBandFavourites: return CreateComboBoxExControl(parent, kFavouritesComboId, L"");
    case kBandCacheHistory: return CreateComboBoxExControl(parent, kCacheHistoryComboId, L"");
    case kBandSlider: return CreateSliderControl(parent);
    case kBandActionHistory: {
      HWND combo = CreateComboBoxExControl(parent, kActionHistoryComboId, L"ログ");
      SendMessageW(combo, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(LoadIconW(g_hInstance, MAKEINTRESOURCEW(IDI_APP))));
      return combo;
    }
    case kBandProgress: return CreateProgressControl(parent);
    default: return CreateToolboxToolbar(parent);
  }
}

int BandIndex(int32_t id) { return g_hwndRebar ? int(SendMessageW(g_hwndRebar, RB_IDTOINDEX, id, 0)) : -1; }

// Inserts at the top of a ComboBoxEx; the item keeps the row it stands for.
void InsertComboRow(HWND combo, const wchar_t* text, int image, int row) {
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT | CBEIF_LPARAM;
  item.iItem = 0;
  item.pszText = const_cast<wchar_t*>(text);
  item.iImage = item.iSelectedImage = image;
  item.lParam = row;
  SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int SelectedRow(HWND combo) {
  if (!combo) return -1;
  LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (sel == CB_ERR) return -1;
  return int(SendMessageW(combo, CB_GETITEMDATA, sel, 0));
}
}  // namespace

HWND CreateRebarWindow(HWND mainWindow) {
  int s = Scale();
  return CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, nullptr,
                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_BANDBORDERS |
                             RBS_VARHEIGHT | RBS_AUTOSIZE | CCS_NODIVIDER,
                         0, 0, 0, 17 * s, mainWindow, nullptr, g_hInstance, nullptr);
}

void PrepareBandInfo() {
  g_bandInfo = REBARBANDINFOW{};
  g_bandInfo.cbSize = REBARBANDINFOW_V6_SIZE;
  g_bandInfo.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_IMAGE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID |
                     RBBIM_IDEALSIZE;
  g_bandInfo.fStyle = g_settings.lockBands == 1 ? RBBS_NOGRIPPER : 0;
}

void InsertRebarBand(const wchar_t* text, HWND child, int32_t width, int32_t height, int32_t kind, int32_t position) {
  if (kind < 0 || kind >= kBandCount || !g_hwndRebar) return;
  g_bandInfo.lpText = const_cast<wchar_t*>(text ? text : L"");
  g_bandInfo.hwndChild = child;
  g_bandInfo.cxMinChild = UINT(kBandKinds[kind].minWidth);
  g_bandInfo.cxIdeal = UINT(kBandKinds[kind].idealWidth);
  g_bandInfo.cyMinChild = UINT(height);
  g_bandInfo.cx = UINT(width);
  g_bandInfo.wID = UINT(kind);
  g_bandInfo.iImage = kind;
  SendMessageW(g_hwndRebar, RB_INSERTBANDW, WPARAM(position), reinterpret_cast<LPARAM>(&g_bandInfo));
}

void DeleteRebarBand(int index) {
  if (g_hwndRebar) SendMessageW(g_hwndRebar, RB_DELETEBAND, index, 0);
}

HWND CreateRebarBands(HWND rebarOrMainWindow) {
  wchar_t className[64] = {};
  GetClassNameW(rebarOrMainWindow, className, 64);
  HWND rebar = lstrcmpiW(className, REBARCLASSNAMEW) == 0 ? rebarOrMainWindow : CreateRebarWindow(rebarOrMainWindow);
  if (!rebar) return nullptr;
  g_hwndRebar = rebar;
  int s = Scale();
  if (!g_bandImages) g_bandImages = LoadStrip(s == 2 ? IDB_BAND_IMAGES_LARGE : IDB_BAND_IMAGES, 48 * s);
  REBARINFO bar{};
  bar.cbSize = sizeof bar;
  bar.fMask = RBIM_IMAGELIST;
  bar.himl = g_bandImages;
  SendMessageW(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&bar));

  PrepareBandInfo();
  BandPlacement plan[kBandCount];
  int count = PlanBands(g_settings.bandLayout, plan);
  for (int i = 0; i < count; ++i) {
    const BandPlacement& band = plan[i];
    if (band.newRow)
      g_bandInfo.fStyle |= RBBS_BREAK;
    else
      g_bandInfo.fStyle &= ~RBBS_BREAK;
    HWND child = CreateBandControl(band.kind, rebar);
    g_bandControls[band.kind] = child;
    InsertRebarBand(L"", child, band.width, BandHeight(band.kind, s, g_osClass), band.kind, -1);
    if (band.kind == kBandFavourites) FillFavouritesCombo();
  }

  if (g_rebarFont) DeleteObject(g_rebarFont);
  g_rebarFont = CreateUiFont(nullptr, W(g_settings.listFontFace), 12 * s, g_settings.listFontBold);
  SendMessageW(rebar, WM_SETFONT, reinterpret_cast<WPARAM>(g_rebarFont), TRUE);
  for (int kind : {kBandFavourites, kBandCacheHistory, kBandActionHistory})
    if (HWND combo = Control(kind)) SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(g_rebarFont), TRUE);
  return rebar;
}

void RebuildToolboxBand() {
  int index = BandIndex(kBandToolbox);
  if (index < 0) return;
  REBARBANDINFOW old{};
  old.cbSize = REBARBANDINFOW_V6_SIZE;
  old.fMask = RBBIM_STYLE | RBBIM_SIZE;
  SendMessageW(g_hwndRebar, RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&old));
  DeleteRebarBand(index);
  g_bandControls[kBandToolbox] = nullptr;  // the rebar destroyed it with its band
  PrepareBandInfo();
  g_bandInfo.fStyle |= old.fStyle & RBBS_BREAK;
  HWND toolbar = CreateToolboxToolbar(g_hwndRebar);
  g_bandControls[kBandToolbox] = toolbar;
  InsertRebarBand(L"", toolbar, int32_t(old.cx), BandHeight(kBandToolbox, Scale(), g_osClass), kBandToolbox, index);
}

void SetRebarBandText(int32_t bandId, const wchar_t* text) {
  int index = BandIndex(bandId);
  if (index < 0) return;
  REBARBANDINFOW info{};
  info.cbSize = REBARBANDINFOW_V6_SIZE;
  info.fMask = RBBIM_TEXT;
  info.lpText = const_cast<wchar_t*>(text);
  SendMessageW(g_hwndRebar, RB_SETBANDINFOW, index, reinterpret_cast<LPARAM>(&info));
}

HWND CreateMenuButtonToolbar(HWND parent) {
  int s = Scale();
  TBBUTTON button{};
  button.iBitmap = 0;
  button.idCommand = kToolMenuCommand;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_BUTTON;
  return CreateToolbarEx(parent, kToolbarStyle, kMenuButtonToolbarId, 1, g_hInstance,
                         s == 2 ? IDB_MENU_BUTTON_LARGE : IDB_MENU_BUTTON, &button, 1, 0, 0, 12 * s, 16 * s,
                         sizeof(TBBUTTON));
}

HWND CreateToolboxToolbar(HWND parent) {
  int s = Scale();
  int32_t rows[kToolboxSlots];
  int count = ToolboxRows(g_settings.toolboxButtons, g_settings.toolboxButtonCount, rows);
  TBBUTTON buttons[kToolboxSlots] = {};
  for (int i = 0; i < count; ++i) {
    const ToolbarCommandRow& r = kToolbarCommandTable[rows[i]];
    buttons[i].iBitmap = rows[i] == 0 ? 0 : r.image;
    buttons[i].idCommand = r.id;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = rows[i] == 0 ? BTNS_SEP : r.checkStyle ? BTNS_CHECK : BTNS_BUTTON;
  }
  HWND toolbar = CreateToolbarEx(parent, kToolbarStyle, kToolboxId, s == 2 ? kToolboxCellsLarge : kToolboxCells,
                                 g_hInstance, s == 2 ? IDB_TOOLBOX_LARGE : IDB_TOOLBOX, buttons, count, 0, 0, 16 * s,
                                 16 * s, sizeof(TBBUTTON));
  if (toolbar) {
    if (!g_toolboxDisabledImages)
      g_toolboxDisabledImages = LoadStrip(s == 2 ? IDB_TOOLBOX_DISABLED_LARGE : IDB_TOOLBOX_DISABLED, 16 * s);
    SendMessageW(toolbar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(g_toolboxDisabledImages));
  }
  return toolbar;
}

HWND CreateComboBoxExControl(HWND parent, int id, const wchar_t* text) {
  HWND combo = CreateWindowExW(0, WC_COMBOBOXEXW, text, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 100,
                               500, parent, reinterpret_cast<HMENU>(INT_PTR(id)), g_hInstance, nullptr);
  if (combo && id != kActionHistoryComboId) {
    if (!g_folderComboImages) g_folderComboImages = LoadStrip(IDB_FOLDER_COMBO, 16);
    SendMessageW(combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_folderComboImages));
  }
  return combo;
}

HWND CreateSliderControl(HWND parent) {
  HWND slider = CreateWindowExW(0, TRACKBAR_CLASSW, L"スライダー", WS_CHILD | WS_VISIBLE | TBS_NOTICKS | TBS_TOOLTIPS, 0, 0,
                                100, 17 * Scale(), parent, reinterpret_cast<HMENU>(INT_PTR(kSliderId)), g_hInstance,
                                nullptr);
  SendMessageW(slider, TBM_SETPOS, TRUE, 0);
  return slider;
}

HWND CreateProgressControl(HWND parent) {
  HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"プログレス", WS_CHILD | WS_VISIBLE, 0, 0, 100, 17 * Scale(), parent,
                             reinterpret_cast<HMENU>(INT_PTR(kProgressId)), g_hInstance, nullptr);
  SendMessageW(bar, PBM_SETSTEP, 1, 0);
  SendMessageW(bar, PBM_SETPOS, 0, 0);
  return bar;
}

void FillFavouritesCombo() {
  HWND combo = Control(kBandFavourites);
  if (!combo) return;
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  int items = 0;
  for (int row = 127; row >= 0; --row) {
    const FavouriteFolderRow& f = g_settings.favouriteFolders[row];
    if (!f.path[0]) continue;
    InsertComboRow(combo, W(f.path), 0, row);
    ++items;
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  EnableWindow(combo, items > 0);
}

void FillCacheHistoryCombo() {
  g_cacheHistoryCount = g_cacheHistory ? ListCacheFiles(g_cacheHistory, kCacheHistoryRows) : 0;
  if (g_cacheHistoryCount < 0) g_cacheHistoryCount = 0;
  if (g_cacheHistoryCount > kCacheHistoryRows) g_cacheHistoryCount = kCacheHistoryRows;
  HWND combo = Control(kBandCacheHistory);
  if (!combo) return;
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (int row = g_cacheHistoryCount - 1; row >= 0; --row) InsertComboRow(combo, g_cacheHistory[row].folder, 1, row);
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  EnableWindow(combo, g_cacheHistoryCount != 0);
}

int GetSelectedFavouriteRow() { return SelectedRow(Control(kBandFavourites)); }
int GetSelectedCacheHistoryRow() { return SelectedRow(Control(kBandCacheHistory)); }

void ShowImageLevelStatus(int32_t row) {
  const char16_t* text = nullptr;
  if (row == GetPaneOrderNumber(g_focusedPane)) {
    if (row == -1 || g_entryCount <= 0) return;
    ImageLevelInputs facts{};
    if (g_viewMode == 1) {
      facts.viewMode = 1;
      text = ImageLevelText(facts);
    } else if (ReadRowLevelFacts(row, &facts)) {
      facts.viewMode = g_viewMode;
      text = ImageLevelText(facts);
    } else {
      return;
    }
    SetStatusPartText(5, reinterpret_cast<const wchar_t*>(text));
  }
  static const HCURSOR busy = LoadCursorW(nullptr, IDC_APPSTARTING);
  bool processing = text == kNowProcessingText;
  if (processing) {
    if (GetCursor() != busy) SetCursor(busy);
  } else if (GetCursor() == busy) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
}
