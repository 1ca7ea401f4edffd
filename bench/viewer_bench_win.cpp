// Times the viewer on a 20-megapixel camera-sized JPEG: the first paint of a picture not yet
// prepared (decode of the view image and the fitted paint) and the paint of a prepared one
// (what a step to the next prefetched picture costs after the render thread wakes).
// Usage: viewer_bench_win.exe <folder>; writes <folder>\bench20mp.jpg when it is missing.
#include <windows.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/settings.h"
#include "metadata/pure/camera_models.h"
#include "support/program_services.h"
#include "viewer/viewer_paint.h"

using namespace Gdiplus;

namespace {

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

// A picture with camera-like detail (smooth gradients and fine noise), saved at quality 90.
bool WriteBenchJpeg(const std::wstring& path, int w, int h) {
  Bitmap bitmap(w, h, PixelFormat24bppRGB);
  Rect all(0, 0, w, h);
  BitmapData data;
  if (bitmap.LockBits(&all, ImageLockModeWrite, PixelFormat24bppRGB, &data) != Ok) return false;
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = static_cast<uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = static_cast<int>((seed >> 24) & 31) - 16;
      row[x * 3] = static_cast<uint8_t>(std::clamp(x * 255 / w + noise, 0, 255));
      row[x * 3 + 1] = static_cast<uint8_t>(std::clamp(y * 255 / h + noise, 0, 255));
      row[x * 3 + 2] = static_cast<uint8_t>(std::clamp(((x ^ y) & 255) + noise, 0, 255));
    }
  }
  bitmap.UnlockBits(&data);
  UINT count = 0, size = 0;
  GetImageEncodersSize(&count, &size);
  std::vector<uint8_t> buffer(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  GetImageEncoders(count, size, codecs);
  EncoderParameters params;
  ULONG quality = 90;
  params.Count = 1;
  params.Parameter[0].Guid = EncoderQuality;
  params.Parameter[0].Type = EncoderParameterValueTypeLong;
  params.Parameter[0].NumberOfValues = 1;
  params.Parameter[0].Value = &quality;
  for (UINT i = 0; i < count; ++i)
    if (std::wstring(codecs[i].MimeType) == L"image/jpeg") return bitmap.Save(path.c_str(), &codecs[i].Clsid, &params) == Ok;
  return false;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 1;
  const std::wstring folder = argv[1], file = folder + L"\\bench20mp.jpg";
  testsupport::StartProgramServices(folder);
  BuildCameraModelIndex();
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES && !WriteBenchJpeg(file, 5472, 3648)) return 2;

  HWND pane = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 800, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!pane) return 4;
  HDC dc = GetDC(pane);

  auto* e = new ImageEntry();
  std::memset(e, 0, sizeof *e);
  wcsncpy(reinterpret_cast<wchar_t*>(e->path), file.c_str(), kEntryPathChars - 1);
  SetEntryNamePointer(e);
  e->cacheIndex = -1;
  e->presence = kEntryPresent | kEntrySelected;
  e->flags = kEntryInfoRead;
  e->info.fileTypeFlag = 0x2;
  e->info.modelRow = static_cast<int16_t>(g_cameraModelIndex[kUnknownModelCode]);
  g_entryPointers[0] = e;
  g_displayOrder[0] = 0;
  g_entryCount = g_listCount = 1;
  g_cursorRow = 0;
  g_viewMode = 2;
  g_settings.noHighQualityAntialias = 1;

  LARGE_INTEGER f, t0, t1, t2;
  QueryPerformanceFrequency(&f);
  std::vector<double> first, decode, prepared;
  for (int i = 0; i < 5; ++i) {
    ReleaseEntryLevel(e, kLevelView, 0);
    QueryPerformanceCounter(&t0);
    DecodeViewImage(e);
    QueryPerformanceCounter(&t1);
    const int result = PaintViewerPane(dc, pane, 0, 0, 0);
    GdiFlush();
    QueryPerformanceCounter(&t2);
    if (result != 1) {
      std::printf("paint result %d (pane %p dc %p mode %d presence %d, view image %d, list %d, cursor %d)\n", result, (void*)pane, (void*)dc, g_viewMode, e->presence, e->levelImages[kLevelView] != nullptr, g_listCount, g_cursorRow);
      return 3;
    }
    decode.push_back(Ms(t0, t1, f));
    first.push_back(Ms(t0, t2, f));
  }
  for (int i = 0; i < 30; ++i) {
    QueryPerformanceCounter(&t0);
    PaintViewerPane(dc, pane, 0, 0, 0);
    GdiFlush();
    QueryPerformanceCounter(&t1);
    prepared.push_back(Ms(t0, t1, f));
  }
  g_settings.noHighQualityAntialias = 0;
  std::vector<double> quality;
  for (int i = 0; i < 10; ++i) {
    QueryPerformanceCounter(&t0);
    PaintViewerPane(dc, pane, 0, 0, 0);
    GdiFlush();
    QueryPerformanceCounter(&t1);
    quality.push_back(Ms(t0, t1, f));
  }
  for (auto* v : {&first, &decode, &prepared, &quality}) std::sort(v->begin(), v->end());
  std::printf("picture: 5472 x 3648 JPEG, pane 1200 x 800\n");
  std::printf("first paint (not prepared): median %.1f ms (of which decode %.1f ms)\n", first[first.size() / 2],
              decode[decode.size() / 2]);
  std::printf("paint of a prepared picture: median %.1f ms, best %.1f ms (fast interpolation)\n",
              prepared[prepared.size() / 2], prepared[0]);
  std::printf("paint of a prepared picture: median %.1f ms (high-quality bicubic)\n", quality[quality.size() / 2]);
  ReleaseDC(pane, dc);
  DestroyWindow(pane);
  return 0;
}
