#include "browser/icon_lists.h"

#include <gdiplus.h>
#include <initializer_list>
#include <vector>

#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "resources/resource.h"

Gdiplus::Bitmap* g_menuIconStrip = nullptr;

namespace {
struct IconListSpec {
  HIMAGELIST* list;
  int normalId, largeId;
  int cellWidth;  // at scale 1
  bool scales;
  UINT flags;
};

const IconListSpec kIconLists[] = {
    {&g_favouriteIcons, IDB_FOLDER_COMBO, IDB_FOLDER_COMBO_LARGE, 16, true, LR_CREATEDIBSECTION},
    {&g_actionKindIcons, IDB_ACTION_KIND_ICONS, IDB_ACTION_KIND_ICONS_LARGE, 16, true, LR_CREATEDIBSECTION},
    {&g_toolboxIcons, IDB_TOOLBOX_DISABLED, IDB_TOOLBOX_DISABLED_LARGE, 16, true, LR_CREATEDIBSECTION},
    {&g_listThreadIcons, IDB_LIST_SORT_MARKS, IDB_LIST_SORT_MARKS, 15, false, LR_LOADMAP3DCOLORS},
    {&g_listThreadMarks, IDB_LIST_CHECK_MARKS, IDB_LIST_CHECK_MARKS, 8, false, 0},
    {&g_bandIcons, IDB_BAND_IMAGES, IDB_BAND_IMAGES_LARGE, 48, true, LR_CREATEDIBSECTION},
    {&g_commandIcons, IDB_COMMAND_ICONS, IDB_COMMAND_ICONS_LARGE, 16, true, LR_CREATEDIBSECTION},
};
const int kButtonBitmapIds[7] = {IDB_BUTTON_CHOOSE_FOLDER, IDB_BUTTON_CHOOSE_FILE, IDB_BUTTON_MOVIE_REWIND,
                                 IDB_BUTTON_MOVIE_PAUSE,   IDB_BUTTON_MOVIE_PLAY,  IDB_BUTTON_MOVIE_REPEAT,
                                 IDB_BUTTON_MOVIE_ONCE};

HBITMAP MakePlaceholder(int w, int h, float points) {
  using namespace Gdiplus;
  Bitmap bitmap(w, h, PixelFormat32bppARGB);
  if (bitmap.GetLastStatus() != Ok) return nullptr;
  {
    Graphics g(&bitmap);
    g.Clear(Color(ColorRefToArgb(g_settings.colorSlots[10])));
    Font preferred(L"ＭＳ Ｐゴシック", points, FontStyleRegular, UnitPoint);
    // GDI+ does not follow font substitutions: fall back to a family that exists.
    Font fallback(FontFamily::GenericSansSerif(), points, FontStyleRegular, UnitPoint);
    const Font& font = preferred.GetLastStatus() == Ok && preferred.IsAvailable() ? preferred : fallback;
    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    format.SetLineAlignment(StringAlignmentCenter);
    SolidBrush brush(Color(ColorRefToArgb(g_settings.colorSlots[6])));
    RectF box(0, 0, static_cast<REAL>(w), static_cast<REAL>(h));
    g.DrawString(L"?", 1, &font, box, &format, &brush);
  }
  HBITMAP out = nullptr;
  bitmap.GetHBITMAP(Color(0), &out);
  return out;
}

// A strip of copies of the image side by side, which the list takes as that many images in one
// call: one add for each image made a large folder's lists take a large share of its opening.
HBITMAP MakeStrip(HBITMAP image, int w, int h, int copies) {
  // 32 bits a pixel like the image, whatever the screen's depth: the copies are exact.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w * copies;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  if (strip && from && to) {
    HGDIOBJ oldFrom = SelectObject(from, image);
    HGDIOBJ oldTo = SelectObject(to, strip);
    BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
    // Doubling what is there already: a few copies make any number.
    for (int have = 1; have < copies; have *= 2) {
      const int more = have < copies - have ? have : copies - have;
      BitBlt(to, have * w, 0, more * w, h, to, 0, 0, SRCCOPY);
    }
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  } else if (strip) {
    DeleteObject(strip);
    strip = nullptr;
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  return strip;
}

// Adds count copies of the image by writing them into the list's own bitmap, when that is a
// 24-bit DIB section: an add, even of a strip, makes the list copy every image on its own (a tenth
// of a second for a thousand rows under Wine). The pixels are what such a copy puts there (the
// colour bytes, the alpha dropped). False, with nothing added, for a list of another kind.
bool FillPlaceholdersInPlace(HIMAGELIST list, HBITMAP image, int w, int h, int count) {
  if (count <= 0 || w <= 0 || h <= 0) return false;
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = w;
  format.bmiHeader.biHeight = -h;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  HDC dc = CreateCompatibleDC(nullptr);
  const int rows = dc ? GetDIBits(dc, image, 0, h, pixels.data(), &format, DIB_RGB_COLORS) : 0;
  if (dc) DeleteDC(dc);
  if (rows != h) return false;
  const int first = ImageList_GetImageCount(list);
  if (!ImageList_SetImageCount(list, first + count)) return false;
  IMAGEINFO info{};
  DIBSECTION dib{};
  bool ok = ImageList_GetImageInfo(list, first, &info) && info.hbmImage && !info.hbmMask &&
            GetObjectW(info.hbmImage, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits &&
            dib.dsBm.bmBitsPixel == 24 && dib.dsBmih.biCompression == BI_RGB;
  if (ok) GdiFlush();  // no drawing into the list's bitmap may be pending
  auto* bits = ok ? static_cast<uint8_t*>(dib.dsBm.bmBits) : nullptr;
  const bool bottomUp = dib.dsBmih.biHeight > 0;
  for (int i = first; ok && i < first + count; ++i) {
    const RECT& r = info.rcImage;
    ok = ImageList_GetImageInfo(list, i, &info) && r.right - r.left == w && r.bottom - r.top == h && r.left >= 0 &&
         r.top >= 0 && r.right <= dib.dsBm.bmWidth && r.bottom <= dib.dsBm.bmHeight;
    for (int y = 0; ok && y < h; ++y) {
      const int row = bottomUp ? dib.dsBm.bmHeight - 1 - (r.top + y) : r.top + y;
      uint8_t* to = bits + static_cast<ptrdiff_t>(row) * dib.dsBm.bmWidthBytes + static_cast<ptrdiff_t>(r.left) * 3;
      const uint8_t* from = pixels.data() + static_cast<size_t>(y) * w * 4;
      for (int x = 0; x < w; ++x, to += 3, from += 4) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
      }
    }
  }
  if (!ok) ImageList_SetImageCount(list, first);
  return ok;
}

void AddPlaceholders(HIMAGELIST list, int w, int h, float points, int count) {
  if (!list) return;
  HBITMAP image = MakePlaceholder(w, h, points);
  if (!image) return;
  if (count > 1 && !g_listThreadStopRequest && FillPlaceholdersInPlace(list, image, w, h, count)) {
    DeleteObject(image);
    return;
  }
  constexpr int kStripImages = 256;
  const int copies = count < kStripImages ? count : kStripImages;
  HBITMAP strip = copies > 1 ? MakeStrip(image, w, h, copies) : nullptr;
  for (int added = 0; added < count;) {
    if (g_listThreadStopRequest) break;
    if (strip && count - added >= copies) {
      if (ImageList_Add(list, strip, nullptr) < 0) break;
      added += copies;
    } else {
      if (ImageList_Add(list, image, nullptr) < 0) break;
      ++added;
    }
  }
  if (strip) DeleteObject(strip);
  DeleteObject(image);
}

void ThumbnailSizes(int* lw, int* lh, int* sw, int* sh) {
  *lw = g_settings.thumbWidth > 0 ? g_settings.thumbWidth : 88;
  *lh = g_settings.thumbHeight > 0 ? g_settings.thumbHeight : 60;
  *sw = g_settings.listThumbWidth > 0 ? g_settings.listThumbWidth : 28;
  *sh = g_settings.listThumbHeight > 0 ? g_settings.listThumbHeight : 20;
}
}  // namespace

void LoadIconImageLists() {
  const bool large = g_uiScale == 2;
  for (const IconListSpec& s : kIconLists) {
    const int id = large ? s.largeId : s.normalId;
    const int cell = s.scales ? s.cellWidth * g_uiScale : s.cellWidth;
    *s.list = ImageList_LoadImageW(g_hInstance, MAKEINTRESOURCEW(id), cell, 0, CLR_DEFAULT, IMAGE_BITMAP, s.flags);
  }
  HBITMAP strip = LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(large ? IDB_MENU_ICONS_LARGE : IDB_MENU_ICONS));
  if (strip) {
    g_menuIconStrip = Gdiplus::Bitmap::FromHBITMAP(strip, nullptr);
    DeleteObject(strip);
  }
  for (int i = 0; i < 7; ++i) g_buttonBitmaps[i] = LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(kButtonBitmapIds[i]));
}

void FreeIconImageLists() {
  for (HBITMAP& b : g_buttonBitmaps) {
    if (b) DeleteObject(b);
    b = nullptr;
  }
  delete g_menuIconStrip;
  g_menuIconStrip = nullptr;
  for (const IconListSpec& s : kIconLists) {
    if (*s.list) ImageList_Destroy(*s.list);
    *s.list = nullptr;
  }
}

void FreeThumbnailImageLists() {
  for (HIMAGELIST* list : {&g_largeThumbnailList, &g_smallThumbnailList}) {
    if (*list) ImageList_Destroy(*list);
    *list = nullptr;
  }
}

void CreateThumbnailImageLists() {
  FreeThumbnailImageLists();
  int lw, lh, sw, sh;
  ThumbnailSizes(&lw, &lh, &sw, &sh);
  // Room for every placeholder from the start: a list grown a few images at a time copies its
  // whole bitmap on each step, which made a large folder's list take seconds to build.
  g_smallThumbnailList = ImageList_Create(sw, sh, ILC_COLOR24, 2 * g_entryCount, 0);
  AddPlaceholders(g_smallThumbnailList, sw, sh, 6, 2 * g_entryCount);
  if (g_listThreadStopRequest) return;
  g_largeThumbnailList = ImageList_Create(lw, lh, ILC_COLOR24, g_entryCount, 0);
  AddPlaceholders(g_largeThumbnailList, lw, lh, 10, g_entryCount);
}

void DrawThumbnailPlaceholders() {
  int lw, lh, sw, sh;
  ThumbnailSizes(&lw, &lh, &sw, &sh);
  AddPlaceholders(g_smallThumbnailList, sw, sh, 6, 1);
  AddPlaceholders(g_largeThumbnailList, lw, lh, 10, 1);
}
