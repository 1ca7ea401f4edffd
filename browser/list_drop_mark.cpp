#include "browser/list_drop_mark.h"

#include <commctrl.h>

#include "browser/file_list_pane.h"
#include "core/image_entry_list.h"

namespace {
int g_dropRow = -1;
constexpr int kFrame = 2, kBar = 4;

bool RowBounds(HWND list, int row, RECT* r) {
  r->left = LVIR_BOUNDS;
  return SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(r)) != 0;
}

void InvalidateRow(HWND list, int row) {
  RECT r;
  if (row < 0 || !RowBounds(list, row, &r)) return;
  // The bar stands just outside the row's leading edge.
  InflateRect(&r, kBar + 1, kBar + 1);
  InvalidateRect(list, &r, TRUE);
}
}  // namespace

int ListDropRow() { return g_dropRow; }

void SetListDropRow(HWND list, int row) {
  if (row >= g_listCount) row = -1;
  if (row == g_dropRow) return;
  const int old = g_dropRow;
  g_dropRow = row;
  if (!list) return;
  InvalidateRow(list, old);
  InvalidateRow(list, row);
}

void DrawListDropMark(HWND list) {
  if (g_dropRow < 0 || g_dropRow >= g_listCount) return;
  RECT r;
  if (!RowBounds(list, g_dropRow, &r)) return;
  HDC dc = GetDC(list);
  if (!dc) return;
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  // A frame around the row and a bar on its leading edge (left in the thumbnail style, top in the
  // detail style): released here, the dragged rows are put in front of this one.
  for (int k = 0; k < kFrame; ++k) {
    RECT f = {r.left + k, r.top + k, r.right - k, r.bottom - k};
    FrameRect(dc, &f, brush);
  }
  RECT bar = g_reportViewFlag ? RECT{r.left, r.top - kBar / 2, r.right, r.top + kBar / 2}
                              : RECT{r.left - kBar / 2, r.top, r.left + kBar / 2, r.bottom};
  FillRect(dc, &bar, brush);
  ReleaseDC(list, dc);
}
