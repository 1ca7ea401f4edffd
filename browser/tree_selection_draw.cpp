#include "browser/tree_selection_draw.h"

#include "browser/pure/readable_text.h"

LRESULT DrawTreeItemReadable(NMTVCUSTOMDRAW* draw) {
  if (!draw) return CDRF_DODEFAULT;
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      // The tree draws an unfocused selection on the light button-face fill but keeps the
      // tree's own text colour, which the colour settings make light.
      if ((draw->nmcd.uItemState & CDIS_SELECTED) && GetFocus() != draw->nmcd.hdr.hwndFrom)
        draw->clrText = ReadableTextColour(draw->clrTextBk, draw->clrText, GetSysColor(COLOR_BTNTEXT), RGB(255, 255, 255));
      return CDRF_DODEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}
