// Where a thumbnail's time goes: the list thread's steps for every file of a folder, each timed
// with QueryPerformanceCounter. The render steps are done here as the list thread does them (same
// GDI+ calls), so their cost can be told apart; the totals of the real pass come from
// thumbnail_list_bench_win.
// Usage: thumbnail_stages_bench_win.exe <folder of pictures>
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/semaphore_lock.h"
#include "core/pure/thumbnail_geometry.h"
#include "core/settings.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_reader.h"
#include "support/program_services.h"
#include "viewer/sharpen.h"

namespace {

// Level 0 as the thumbnail pass makes it on its locked road, with the lock it holds.
bool BuildThumbnail(ImageEntry* entry) {
  SemaphoreLock lock(kSemaImage);
  return BuildThumbnailUnderLock(entry);
}

enum Stage {
  kWalk, kMetadata, kInfoText, kLevel0, kBoxLarge, kBoxSmall, kHistogram, kHistogramPicture, kHistogramBox,
  kImageList, kStages
};
const char* const kStageNames[kStages] = {
    "folder walk + entries", "metadata dump", "info from text", "level 0 (read, decode, 88x60)", "large box + sharpen",
    "small box + sharpen", "histogram count", "histogram picture", "histogram box", "image list replace"};

LARGE_INTEGER g_frequency;
double g_seconds[kStages];

struct Timer {
  Stage stage;
  LARGE_INTEGER start;
  explicit Timer(Stage s) : stage(s) { QueryPerformanceCounter(&start); }
  ~Timer() {
    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    g_seconds[stage] += static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(g_frequency.QuadPart);
  }
};

HBITMAP RenderBox(Gdiplus::Image* source, const ImageEntry* entry, int width, int height, bool fit, bool noSharpen,
                  int amount) {
  Gdiplus::Bitmap box(width, height, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&box);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighSpeed);
    g.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    ThumbRect r = ComputeThumbnailRect(width, height, entry->info.width, entry->info.height, fit);
    g.DrawImage(source, Gdiplus::Rect(r.x, r.y, r.width, r.height));
  }
  if (amount != 0 && !noSharpen) SharpenBitmap(&box, 1, amount * 10);
  HBITMAP out = nullptr;
  box.GetHBITMAP(Gdiplus::Color(0), &out);
  return out;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) {
    std::fprintf(stderr, "usage: thumbnail_stages_bench_win <folder>\n");
    return 2;
  }
  QueryPerformanceFrequency(&g_frequency);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring program = std::wstring(temp) + L"brn_stage_bench";
  CreateDirectoryW(program.c_str(), nullptr);
  const ULONG_PTR token = testsupport::StartProgramServices(program);
  if (!g_displayOrder) return 1;
  g_settings.enabledImageTypes |= 0x2;
  g_skipFolderCache = 1;
  const SettingsBlock& s = g_settings;

  wcsncpy(g_currentFolder, argv[1], kPathChars - 1);
  {
    Timer t(kWalk);
    ReleaseFolderCache();
    LoadFolderEntries(g_currentFolder);
  }
  HIMAGELIST large = ImageList_Create(s.thumbWidth, s.thumbHeight, ILC_COLOR24, g_entryCount, 0);
  HIMAGELIST small = ImageList_Create(s.listThumbWidth, s.listThumbHeight, ILC_COLOR24, 2 * g_entryCount, 0);
  {
    HDC screen = GetDC(nullptr);
    HBITMAP blank = CreateCompatibleBitmap(screen, s.thumbWidth, s.thumbHeight);
    HBITMAP blankSmall = CreateCompatibleBitmap(screen, s.listThumbWidth, s.listThumbHeight);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < g_entryCount; ++i) {
      ImageList_Add(large, blank, nullptr);
      ImageList_Add(small, blankSmall, nullptr);
      ImageList_Add(small, blankSmall, nullptr);
    }
    DeleteObject(blank);
    DeleteObject(blankSmall);
  }
  static wchar_t text[8192];
  for (int n = 0; n < g_entryCount; ++n) {
    ImageEntry* e = EntryAt(n);
    {
      Timer t(kMetadata);
      DumpImageMetadataWide(EntryPath(e), text, 8192);
    }
    {
      Timer t(kInfoText);
      FillImageInfoFromText(e->info, text, true);
    }
    {
      Timer t(kLevel0);
      if (!BuildThumbnail(e)) continue;
    }
    Gdiplus::Image* source = e->levelImages[kLevelThumbnail];
    HBITMAP big, little, histogram = nullptr;
    {
      Timer t(kBoxLarge);
      big = RenderBox(source, e, s.thumbWidth, s.thumbHeight, s.fitViewThumbs == 1, s.noSharpenViewThumbs != 0,
                      s.viewThumbSharpness);
    }
    {
      Timer t(kBoxSmall);
      little = RenderBox(source, e, s.listThumbWidth, s.listThumbHeight, s.fitListThumbs == 1,
                         s.noSharpenListThumbs != 0, s.listThumbSharpness);
    }
    {
      Timer t(kHistogram);
      Gdiplus::Bitmap reduced(16, 12, PixelFormat24bppRGB);
      {
        Gdiplus::Graphics g(&reduced);
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.DrawImage(source, Gdiplus::Rect(0, 0, 16, 12));
      }
      Gdiplus::Rect all(0, 0, 16, 12);
      Gdiplus::BitmapData data{};
      if (reduced.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) == Gdiplus::Ok) {
        ComputeSmallHistogram(static_cast<const uint8_t*>(data.Scan0), 16, 12, data.Stride, e->info.histogram);
        reduced.UnlockBits(&data);
      }
    }
    Gdiplus::Bitmap* picture;
    {
      Timer t(kHistogramPicture);
      picture = new Gdiplus::Bitmap(32, 16, PixelFormat32bppARGB);
      Gdiplus::Graphics g(picture);
      g.Clear(Gdiplus::Color(s.histogramBackgroundArgb));
      const Gdiplus::ARGB colours[3] = {0xFFFF0000, 0x8000FF00, 0x400000FF};
      for (int channel = 0; channel < 3; ++channel) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(colours[channel])};
        Gdiplus::Rect bars[32];
        int count = 0;
        for (int x = 0; x < 32; ++x) {
          int top = HistogramBarTop(e->info.histogram[channel * 32 + x]);
          if (top < 16) bars[count++] = Gdiplus::Rect(x, top, 1, 16 - top);
        }
        if (count > 0) g.FillRectangles(&brush, bars, count);
      }
    }
    {
      Timer t(kHistogramBox);
      Gdiplus::Bitmap box(s.listThumbWidth, s.listThumbHeight, PixelFormat32bppARGB);
      {
        Gdiplus::Graphics g(&box);
        g.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
        g.DrawImage(picture, Gdiplus::Rect(0, 0, s.listThumbWidth, s.listThumbHeight));
      }
      box.GetHBITMAP(Gdiplus::Color(0), &histogram);
    }
    delete picture;
    {
      Timer t(kImageList);
      ImageList_Replace(large, n, big, nullptr);
      ImageList_Replace(small, 2 * n, little, nullptr);
      ImageList_Replace(small, 2 * n + 1, histogram, nullptr);
    }
    DeleteObject(big);
    DeleteObject(little);
    DeleteObject(histogram);
  }
  double total = 0;
  for (double v : g_seconds) total += v;
  const int files = std::max(1, g_entryCount);
  std::printf("stages over %d files (%.3f s in all, %.3f ms a file):\n", g_entryCount, total, total * 1000 / files);
  for (int i = 0; i < kStages; ++i)
    std::printf("  %-32s %8.3f s  %7.3f ms/file  %5.1f%%\n", kStageNames[i], g_seconds[i], g_seconds[i] * 1000 / files,
                total > 0 ? 100 * g_seconds[i] / total : 0);
  std::fflush(stdout);
  ImageList_Destroy(large);
  ImageList_Destroy(small);
  FreeImageEntries();
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
