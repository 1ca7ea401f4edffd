#include "settings_dialog/color_settings.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "core/window_slots.h"
#include "core/settings.h"
#include "resources/resource.h"
#include "settings_dialog/settings_dialog.h"
#include "resources/settings_ids.h"

uint32_t g_appliedColors[20];
COLORREF CustomColors[16];

namespace {
// The list views of the settings pages that show lists: page slot and control.
constexpr struct { int slot; int control; } kPageLists[] = {{19, 316}, {26, 426}, {27, 442}, {30, 531}, {30, 532}};

// Windows made after the last application would otherwise keep the system colours while the
// slots stay unchanged: remember which controls got them.
HWND g_appliedTrees[2], g_appliedList;

void ColorList(HWND list) {
  const COLORREF* slot = reinterpret_cast<const COLORREF*>(g_settings.colorSlots);
  SendMessageW(list, LVM_SETBKCOLOR, 0, slot[3]);
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, slot[3]);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, slot[6]);
  InvalidateRect(list, nullptr, TRUE);
}

void ColorTree(HWND tree, bool withImages) {
  const COLORREF* slot = reinterpret_cast<const COLORREF*>(g_settings.colorSlots);
  if (withImages) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    if (images) ImageList_SetBkColor(images, slot[1]);
  }
  SendMessageW(tree, TVM_SETBKCOLOR, 0, slot[1]);
  SendMessageW(tree, TVM_SETTEXTCOLOR, 0, slot[2]);
  InvalidateRect(tree, nullptr, TRUE);
}
}  // namespace

void ApplyColorSettings() {
  if (HWND dialog = g_windowSlots[kSlotSettingsDialog]) {
    if (HWND tree = GetDlgItem(dialog, 485)) ColorTree(tree, false);
    for (const auto& page : kPageLists) {
      HWND pageWindow = g_windowSlots[page.slot];
      if (!pageWindow) continue;
      if (HWND list = GetDlgItem(pageWindow, page.control)) ColorList(list);
      InvalidateRect(dialog, nullptr, TRUE);
    }
  }
  HWND nav = g_windowSlots[kSlotNavigationPane];
  HWND trees[2] = {nav ? GetDlgItem(nav, IDC_FOLDER_TREE) : nullptr, nav ? GetDlgItem(nav, IDC_COLLECTION_TREE) : nullptr};
  HWND pane = g_windowSlots[kSlotFileListPane];
  HWND list = pane ? GetDlgItem(pane, IDC_FILE_LIST) : nullptr;
  const bool changed = std::memcmp(g_appliedColors, g_settings.colorSlots, sizeof g_appliedColors) != 0;
  std::memcpy(g_appliedColors, g_settings.colorSlots, sizeof g_appliedColors);
  const bool newWindows = trees[0] != g_appliedTrees[0] || trees[1] != g_appliedTrees[1] || list != g_appliedList;
  if (!changed && !newWindows) return;
  if ((g_viewMode & 2) && pane) InvalidateRect(pane, nullptr, TRUE);
  for (int k = 0; k < 2; ++k) {
    if (trees[k]) ColorTree(trees[k], true);
    g_appliedTrees[k] = trees[k];
  }
  if (list) ColorList(list);
  g_appliedList = list;
}

void ResetColorSettings() { ResetColorSlots(g_settings); }

COLORREF PickColor(HWND owner, COLORREF colour) {
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.lpCustColors = CustomColors;
  cc.rgbResult = colour;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  return ChooseColorW(&cc) ? cc.rgbResult : colour;
}

namespace {
struct ColorSample {
  int id;
  const wchar_t* name;
  int backSlot, textSlot;
  bool editsText;
  int check;  // 0: none
};
const ColorSample kSamples[20] = {
    {IDC_COLOR_MAIN_TEXT, L"メイン画面文字", 19, 0, true, 0},
    {IDC_COLOR_TREE_BACK, L"フォルダツリー背景", 1, 2, false, 0},
    {IDC_COLOR_TREE_TEXT, L"フォルダツリー文字", 1, 2, true, 0},
    {IDC_COLOR_LIST_BACK, L"画像リスト背景", 3, 6, false, 0},
    {IDC_COLOR_LIST_ITEM1, L"画像リスト項目１", 4, 6, false, 0},
    {IDC_COLOR_LIST_ITEM2, L"画像リスト項目２", 5, 6, false, 0},
    {IDC_COLOR_LIST_TEXT, L"画像リスト文字", 3, 6, true, 0},
    {IDC_COLOR_SPLIT_ITEM1, L"ファイル分割　項目１", 7, 6, false, 0},
    {IDC_COLOR_SPLIT_ITEM2, L"ファイル分割　項目２", 8, 6, false, 0},
    {IDC_COLOR_ERROR, L"エラー", 9, 6, false, 0},
    {IDC_COLOR_HISTOGRAM_BACK, L"ヒストグラム背景色", 10, 6, false, 0},
    {IDC_COLOR_ACTION_COPY, L"アクション[コピー]", 11, 6, false, IDC_COLOR_ENABLE_COPY},
    {IDC_COLOR_ACTION_MOVE, L"アクション[移動]", 12, 6, false, IDC_COLOR_ENABLE_MOVE},
    {IDC_COLOR_ACTION_DELETE, L"アクション[消去]", 13, 6, false, IDC_COLOR_ENABLE_DELETE},
    {IDC_COLOR_ACTION_RAW_TIFF, L"アクション[RAW現像TIFF]", 14, 6, false, IDC_COLOR_ENABLE_RAW_TIFF},
    {IDC_COLOR_ACTION_RAW_JPEG, L"アクション[RAW現像JPEG]", 15, 6, false, IDC_COLOR_ENABLE_RAW_JPEG},
    {IDC_COLOR_ACTION_THUMB_SAVE, L"アクション[サムネイル保存]", 16, 6, false, IDC_COLOR_ENABLE_THUMB_SAVE},
    {IDC_COLOR_ACTION_RENAME, L"アクション[リネーム]", 17, 6, false, IDC_COLOR_ENABLE_RENAME},
    {IDC_COLOR_ACTION_ROTATE, L"アクション[ロスレス回転]", 18, 6, false, IDC_COLOR_ENABLE_ROTATE},
    {IDC_COLOR_MAIN_BACK, L"メイン画面背景", 19, 0, false, 0},
};

COLORREF& Slot(int i) { return reinterpret_cast<COLORREF*>(g_settings.colorSlots)[i]; }

void SetChecks(HWND page) {
  for (const ColorSample& s : kSamples)
    if (s.check) CheckDlgButton(page, s.check, g_settings.colorSlotEnabled[s.backSlot] ? BST_CHECKED : BST_UNCHECKED);
}
}  // namespace

INT_PTR CALLBACK ColorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[21] = page;
      HWND alpha = GetDlgItem(page, IDC_HISTOGRAM_ALPHA);
      SendMessageW(alpha, TBM_SETTIC, 0, 0);
      SendMessageW(alpha, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
      SendMessageW(alpha, TBM_SETPOS, TRUE, g_settings.histogramBackgroundAlpha);
      for (const ColorSample& s : kSamples) {
        wchar_t text[64] = L"";
        for (int k = 0; k < 15; ++k) wcscat(text, L"\u3000");
        wcscat(text, s.name);
        for (int k = 0; k < 15; ++k) wcscat(text, L"\u3000");
        SetDlgItemTextW(page, s.id, text);
      }
      SetChecks(page);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      for (const ColorSample& s : kSamples) {
        if (s.id != id) continue;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, Slot(s.textSlot));
        const bool off = s.check && !g_settings.colorSlotEnabled[s.backSlot];
        SetBkColor(dc, Slot(off ? 4 : s.backSlot));
        SetBkMode(dc, OPAQUE);
        // The sample's own background is painted here: the result brush is the null one.
        RECT r;
        GetClientRect(reinterpret_cast<HWND>(lParam), &r);
        HBRUSH fill = CreateSolidBrush(Slot(off ? 4 : s.backSlot));
        FillRect(dc, &r, fill);
        DeleteObject(fill);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      }
      return FALSE;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_HISTOGRAM_ALPHA))
        g_settings.histogramBackgroundAlpha =
            static_cast<int32_t>(SendDlgItemMessageW(page, IDC_HISTOGRAM_ALPHA, TBM_GETPOS, 0, 0));
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDC_COLOR_RESET && HIWORD(wParam) == BN_CLICKED) {
        ResetColorSettings();
        SetChecks(page);
        g_settings.histogramBackgroundAlpha = 128;
        SendDlgItemMessageW(page, IDC_HISTOGRAM_ALPHA, TBM_SETPOS, TRUE, 128);
        ApplyColorSettings();
        InvalidateRect(page, nullptr, TRUE);
        return TRUE;
      }
      for (const ColorSample& s : kSamples) {
        if (s.check && id == s.check && HIWORD(wParam) == BN_CLICKED) {
          g_settings.colorSlotEnabled[s.backSlot] = IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0;
          InvalidateRect(page, nullptr, TRUE);
          return TRUE;
        }
        if (id == s.id && HIWORD(wParam) == STN_CLICKED) {
          COLORREF& slot = Slot(s.editsText ? s.textSlot : s.backSlot);
          slot = PickColor(page, slot);
          ApplyColorSettings();
          InvalidateRect(page, nullptr, TRUE);
          return TRUE;
        }
      }
      return TRUE;
    }
    case WM_NOTIFY:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 6, wParam);
    case WM_DESTROY: {
      const uint32_t argb = HistogramBackgroundArgb(g_settings);
      if (argb != g_settings.histogramBackgroundArgb) {
        g_settings.histogramBackgroundArgb = argb;
        ThumbnailRebuildFlag = 1;
      }
      g_windowSlots[21] = nullptr;
      return FALSE;
    }
  }
  return FALSE;
}
