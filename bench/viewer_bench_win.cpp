// Times the viewer on 20-megapixel camera-sized JPEGs under Wine, stage by stage: the file read,
// the decode, the shrink to the pane's fitted size, the old scaled draw of the whole picture, the
// overlay and the copy to the pane; then the first paint of a picture not yet prepared, the paint
// of a prepared one, and steps through the real render and prefetch threads with the prefetch
// window warm (from the moment the row changes to the final paint of the pane).
// Usage: viewer_bench_win.exe <folder> [steps]; writes <folder>\bench20mp.jpg when it is missing.
#include <windows.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "browser/file_list_pane.h"
#include "core/preview_loader.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/embedded_colour.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/jpeg_scaled.h"
#include "core/raw_develop.h"
#include "core/settings.h"
#include "metadata/pure/camera_models.h"
#include "resources/resource.h"
#include "support/program_services.h"
#include "viewer/fitted_pictures.h"
#include "viewer/viewer_paint.h"
#include "viewer/viewer_threads.h"

using namespace Gdiplus;

namespace {

LARGE_INTEGER g_freq;

double Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(g_freq.QuadPart);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
double Max(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

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

ImageEntry* MakeEntry(const std::wstring& file) {
  auto* e = static_cast<ImageEntry*>(GlobalAlloc(GPTR, sizeof(ImageEntry)));
  wcsncpy(reinterpret_cast<wchar_t*>(e->path), file.c_str(), kEntryPathChars - 1);
  SetEntryNamePointer(e);
  e->cacheIndex = -1;
  e->movieSlot = 255;
  e->presence = kEntryPresent | kEntrySelected;  // every row matches the paging filter
  e->flags = kEntryInfoRead;
  e->info.fileTypeFlag = 0x2;
  e->info.modelRow = static_cast<int16_t>(g_cameraModelIndex[kUnknownModelCode]);
  return e;
}

// Into a block of its own, as the program reads a picture (a zeroed buffer would cost a pass more).
double ReadWholeFile(const std::wstring& file) {
  const double t0 = Now();
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(size.QuadPart));
  DWORD read = 0;
  if (block) ReadFile(h, block, static_cast<DWORD>(size.QuadPart), &read, nullptr);
  CloseHandle(h);
  const double t = Now() - t0;
  if (block) GlobalFree(block);
  return t;
}

std::vector<uint8_t> Pixels(HDC dc, HBITMAP bitmap, int w, int h) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
  GdiFlush();
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), out.data(), &info, DIB_RGB_COLORS);
  for (size_t k = 3; k < out.size(); k += 4) out[k] = 0;  // the unused byte
  return out;
}

HGLOBAL ReadIntoBlock(const std::wstring& file) {
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(size.QuadPart));
  DWORD read = 0;
  ReadFile(h, block, static_cast<DWORD>(size.QuadPart), &read, nullptr);
  CloseHandle(h);
  return block;
}

// The decode taken apart: the GDI+ picture made over the program's stream, its first draw, and
// the same file decoded by the imaging component straight to BGR pixels.
void DecodeStages(const std::wstring& file, std::vector<double>* gdiplusLoad, std::vector<double>* firstDraw,
                  std::vector<double>* wic) {
  HGLOBAL block = ReadIntoBlock(file);
  brn::MemoryStreamHolder holder;
  if (FAILED(brn::OpenMemoryStream(&holder, block, true)) || !holder.stream) return;
  double t0 = Now();
  Image* image = new Image(holder.stream, TRUE);
  gdiplusLoad->push_back(Now() - t0);
  Bitmap target(1, 1, PixelFormat32bppARGB);
  {
    Graphics g(&target);
    t0 = Now();
    g.DrawImage(image, Rect(0, 0, 1, 1), 0, 0, 1, 1, UnitPixel);
    firstDraw->push_back(Now() - t0);
  }
  delete image;
  LARGE_INTEGER zero{};
  holder.stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  IWICImagingFactory* factory = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)))) {
    t0 = Now();
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    IWICBitmapSource* bgr = nullptr;
    UINT w = 0, h = 0;
    if (SUCCEEDED(factory->CreateDecoderFromStream(holder.stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->QueryInterface(IID_PPV_ARGS(&bgr))) && SUCCEEDED(bgr->GetSize(&w, &h))) {
      const UINT stride = (w * 3 + 3) & ~3u;
      std::vector<uint8_t> pixels(static_cast<size_t>(stride) * h);
      if (SUCCEEDED(bgr->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data())))
        wic->push_back(Now() - t0);
    }
    // A decoder that can scale while decoding (the JPEG decoder's reduced inverse transform)
    // offers it through IWICBitmapSourceTransform.
    static const GUID kSourceTransform = {0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};
    IUnknown* transform = nullptr;
    static bool told = false;
    if (!told && frame) {
      told = true;
      const bool offered = SUCCEEDED(frame->QueryInterface(kSourceTransform, reinterpret_cast<void**>(&transform))) && transform;
      std::printf("decoder offers scaled decoding: %s\n", offered ? "yes" : "no");
      if (transform) transform->Release();
    }
    if (bgr) bgr->Release();
    if (converter) converter->Release();
    if (frame) frame->Release();
    if (decoder) decoder->Release();
    factory->Release();
  }
  holder.stream->Release();
}

}  // namespace

// With "icc": the bench picture with the system's sRGB profile embedded (an APP2 segment after
// its start marker) and embedded colour management on, so every decode takes the managed road.
bool WriteProfiledCopy(const std::wstring& from, const std::wstring& to) {
  wchar_t path[MAX_PATH] = {};
  std::vector<uint8_t> profile, jpeg;
  auto read = [](const wchar_t* name, std::vector<uint8_t>* bytes) {
    HANDLE h = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bytes->resize(GetFileSize(h, nullptr));
    DWORD got = 0;
    const bool ok = ReadFile(h, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) && got == bytes->size();
    CloseHandle(h);
    return ok;
  };
  if (!SrgbProfilePath(path) || !read(path, &profile) ||
      !read(from.c_str(), &jpeg) || jpeg.size() < 2 || profile.size() > 65000)
    return false;
  std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  const size_t length = 16 + profile.size();
  out.insert(out.end(), {0xFF, 0xE2, uint8_t(length >> 8), uint8_t(length)});
  const char tag[] = "ICC_PROFILE";
  out.insert(out.end(), tag, tag + 12);
  out.insert(out.end(), {1, 1});
  out.insert(out.end(), profile.begin(), profile.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  HANDLE h = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr) && written == out.size();
  CloseHandle(h);
  return ok;
}

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 1;
  QueryPerformanceFrequency(&g_freq);
  const std::wstring folder = argv[1], plain = folder + L"\\bench20mp.jpg";
  const int steps = argc > 2 ? std::max(2, _wtoi(argv[2])) : 12;
  const bool icc = argc > 3 && wcscmp(argv[3], L"icc") == 0;
  const std::wstring file = icc ? folder + L"\\bench20mp_icc.jpg" : plain;
  testsupport::StartProgramServices(folder);
  BuildCameraModelIndex();
  if (GetFileAttributesW(plain.c_str()) == INVALID_FILE_ATTRIBUTES && !WriteBenchJpeg(plain, 5472, 3648)) return 2;
  if (icc && !WriteProfiledCopy(plain, file)) return 2;

  // One pane of 1200 x 800 inside a stand-in for the file-list pane, as the threads find it.
  const int W = 1200, H = 800;
  HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, W, H, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  HWND pane = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, W, H, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VIEWER_PANE1)), GetModuleHandleW(nullptr),
                              nullptr);
  if (!parent || !pane) return 4;
  g_windowSlots[kSlotFileListPane] = parent;
  HDC dc = GetDCEx(pane, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  g_panelDcs[0] = dc;

  std::vector<std::wstring> files;
  for (int i = 0; i < steps; ++i) {
    wchar_t name[64];
    swprintf(name, 64, icc ? L"\\bench20mp_icc_%02d.jpg" : L"\\bench20mp_%02d.jpg", i);
    files.push_back(folder + name);
    if (GetFileAttributesW(files.back().c_str()) == INVALID_FILE_ATTRIBUTES)
      CopyFileW(file.c_str(), files.back().c_str(), TRUE);
  }
  for (int i = 0; i < steps; ++i) {
    g_entryPointers[i] = MakeEntry(files[static_cast<size_t>(i)]);
    g_displayOrder[i] = static_cast<uint16_t>(i);
  }
  g_entryCount = g_listCount = steps;
  g_cursorRow = 0;
  g_viewMode = 2;
  g_settings.splitLayout = 0;
  if (icc) g_settings.colorMatchSetup.flags &= ~1u;  // CMS_DISABLEICM off: embedded colour management
  for (int k = 0; k < 4; ++k) {
    g_paneEntry[k] = -1;
    g_paneRequested[k] = k == 0 ? 0 : -1;
  }
  ImageEntry* e = EntryAt(0);

  // ---- Stages, on the calling thread ----
  std::vector<double> read, decode, shrink, oldFast, oldQuality, oldMirrored, fitted, overlay, blit, first, prepared;
  double copyDifference = -1;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, W, H);
  HGDIOBJ old = SelectObject(mem, bmp);
  std::vector<double> gdiplusLoad, firstDraw, wic;
  for (int i = 0; i < 3; ++i) DecodeStages(files[0], &gdiplusLoad, &firstDraw, &wic);
  // libjpeg-turbo alone, from bytes in memory, at the reduction the pane is decoded at (what
  // tjbench's scaled decode measures), into the 24-bit bitmap the program keeps.
  std::vector<double> jpegOnly;
  int jpegW = 0, jpegH = 0;
  if (HGLOBAL bytes = ReadIntoBlock(files[0])) {
    for (int i = 0; i < 5; ++i) {
      ScaledJpeg jpeg;
      const double t0 = Now();
      if (DecodeJpegBlockScaled(bytes, W, H, JpegNeed::kFitInside, &jpeg)) jpegOnly.push_back(Now() - t0);
      if (jpeg.bitmap) {
        jpegW = static_cast<int>(jpeg.bitmap->GetWidth());
        jpegH = static_cast<int>(jpeg.bitmap->GetHeight());
      }
      delete jpeg.bitmap;
    }
    GlobalFree(bytes);
  }
  for (int i = 0; i < 5; ++i) {
    read.push_back(ReadWholeFile(files[0]));
    ReleaseEntryLevel(e, kLevelView, 0);
    double t0 = Now();
    DecodeViewImage(e);
    decode.push_back(Now() - t0);
    Image* picture = e->levelImages[kLevelView];
    if (!picture) return 3;
    const PaneRect fit = FitPictureRect(static_cast<float>(picture->GetWidth()), static_cast<float>(picture->GetHeight()), W, H);
    ForgetFittedPictures(picture);
    t0 = Now();
    MakeFittedPicture(picture, fit.w, fit.h);
    shrink.push_back(Now() - t0);
    Graphics g(mem);
    for (int q = 0; q < 2; ++q) {
      g.SetInterpolationMode(q ? InterpolationModeHighQualityBicubic : InterpolationModeLowQuality);
      t0 = Now();
      g.DrawImage(picture, Rect(fit.x, fit.y, fit.w, fit.h), 0, 0, static_cast<INT>(picture->GetWidth()),
                  static_cast<INT>(picture->GetHeight()), UnitPixel);
      g.Flush(FlushIntentionSync);
      (q ? oldQuality : oldFast).push_back(Now() - t0);
    }
    {
      // The scaled draw the painter made before (edge pixels mirrored), timed and compared with the copy.
      ImageAttributes edges;
      edges.SetWrapMode(WrapModeTileFlipXY);
      g.Clear(Color(0xFF000000));
      t0 = Now();
      g.DrawImage(picture, Rect(fit.x, fit.y, fit.w, fit.h), 0, 0, static_cast<INT>(picture->GetWidth()),
                  static_cast<INT>(picture->GetHeight()), UnitPixel, &edges);
      g.Flush(FlushIntentionSync);
      oldMirrored.push_back(Now() - t0);
      if (i == 0) {
        std::vector<uint8_t> a = Pixels(mem, bmp, W, H);
        g.Clear(Color(0xFF000000));
        g.Flush(FlushIntentionSync);
        DrawFittedPicture(mem, fit.x, fit.y, picture, fit.w, fit.h);
        std::vector<uint8_t> b = Pixels(mem, bmp, W, H);
        double sum = 0;
        for (size_t k = 0; k < a.size(); ++k) sum += std::abs(static_cast<int>(a[k]) - static_cast<int>(b[k]));
        copyDifference = sum / static_cast<double>(a.size());
      }
    }
    t0 = Now();
    PaneRect at{};
    DrawImageFitted(&g, picture, W, H, &at);
    g.Flush(FlushIntentionSync);
    fitted.push_back(Now() - t0);
    t0 = Now();
    DrawInfoOverlay(&g, e, W, H, 0, 0, fit);
    g.Flush(FlushIntentionSync);
    overlay.push_back(Now() - t0);
    t0 = Now();
    BitBlt(dc, 0, 0, W, H, mem, 0, 0, SRCCOPY);
    GdiFlush();
    blit.push_back(Now() - t0);
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  for (int i = 0; i < 5; ++i) {
    ReleaseEntryLevel(e, kLevelView, 0);
    const double t0 = Now();
    DecodeViewImage(e);
    const int result = PaintViewerPane(dc, pane, 0, 0, 0);
    GdiFlush();
    first.push_back(Now() - t0);
    if (result != kPaneFinal) {
      std::printf("paint result %d\n", result);
      return 3;
    }
  }
  for (int i = 0; i < 20; ++i) {
    const double t0 = Now();
    PaintViewerPane(dc, pane, 0, 0, 0);
    GdiFlush();
    prepared.push_back(Now() - t0);
  }
  // The hover popup's preview, fitted into 256 x 256, beside the whole preview it decoded before.
  std::vector<double> hover, hoverWhole;
  for (int i = 0; i < 5; ++i) {
    for (int whole = 0; whole < 2; ++whole) {
      Image* preview = nullptr;
      HGLOBAL previewBlock = nullptr;
      const double t0 = Now();
      const bool ok = whole ? LoadPreviewBitmap(nullptr, e, &preview, &previewBlock)
                            : LoadPreviewBitmap(nullptr, e, &preview, &previewBlock, 256, 256, JpegNeed::kFitInside);
      (whole ? hoverWhole : hover).push_back(Now() - t0);
      delete preview;
      if (previewBlock) GlobalFree(previewBlock);
      if (!ok) return 3;
    }
  }
  std::printf("picture: 5472 x 3648 JPEG, pane %d x %d (medians of 5; paints of 20)\n", W, H);
  std::printf("  hover preview        %7.1f ms  (whole: %.1f ms)\n", Median(hover), Median(hoverWhole));
  std::printf("  read file            %7.1f ms\n", Median(read));
  std::printf("  decode (with read)   %7.1f ms\n", Median(decode));
  std::printf("    libjpeg-turbo from memory to %d x %d %7.1f ms\n", jpegW, jpegH, Median(jpegOnly));
  std::printf("    GDI+ picture from the stream %7.1f ms, its first draw %.1f ms\n", Median(gdiplusLoad), Median(firstDraw));
  std::printf("    imaging component decode to BGR %7.1f ms\n", Median(wic));
  std::printf("  shrink to fit        %7.1f ms  (once per picture, prefetch thread)\n", Median(shrink));
  std::printf("  GDI+ scaled draw     %7.1f ms low quality, %.1f ms high-quality bicubic (whole picture)\n",
              Median(oldFast), Median(oldQuality));
  std::printf("  GDI+ scaled draw with mirrored edges (the painter's draw without a copy) %.1f ms;\n"
              "    the shrunk copy differs from it by %.2f per channel\n",
              Median(oldMirrored), copyDifference);
  std::printf("  fitted draw as built (the copy) %.1f ms\n", Median(fitted));
  std::printf("  overlay              %7.1f ms\n", Median(overlay));
  std::printf("  copy to the pane     %7.1f ms\n", Median(blit));
  std::printf("first paint (not prepared): median %.1f ms\n", Median(first));
  std::printf("paint of a prepared picture: median %.1f ms, max %.1f ms\n", Median(prepared), Max(prepared));

  // ---- Steps through the real threads, the prefetch window warm ----
  ReleaseEntryLevel(e, kLevelView, 0);
  StartViewerThreads();
  auto paintedFinal = [](int row, double timeoutMs) {
    const double end = Now() + timeoutMs;
    while (!(RenderedRow == row && PaneLastResult[0] == kPaneFinal && g_paneRepaintRequest == 0)) {
      if (Now() > end) return false;
      SwitchToThread();
    }
    return true;
  };
  // Warm: the row's picture decoded by the prefetch thread, and its fitted copy made (waited for
  // a while: a build without copies never makes one).
  auto warm = [&](int row, double timeoutMs) {
    const double end = Now() + timeoutMs;
    double copyEnd = 0;
    for (;;) {
      ImageEntry* r = EntryAt(row);
      Image* p = r->levelImages[kLevelView];
      if (p) {
        const PaneRect fit = FitPictureRect(static_cast<float>(p->GetWidth()), static_cast<float>(p->GetHeight()), W, H);
        if (HasFittedPicture(p, fit.w, fit.h)) return true;
        if (copyEnd == 0) copyEnd = Now() + 2000;
        if (Now() > copyEnd) return false;
      }
      if (Now() > end) return false;
      Sleep(5);
    }
  };
  std::vector<double> stepMs, warmWaits;
  int warmMisses = 0;
  const double c0 = Now();
  PaneLastResult[0] = 0;
  g_paneRepaintRequest = 1;
  const bool firstShown = paintedFinal(0, 60000);
  const double cold = Now() - c0;
  for (int row = 1; row < steps && firstShown; ++row) {
    const double w0 = Now();
    if (!warm(row, 60000)) ++warmMisses;
    warmWaits.push_back(Now() - w0);
    const double t0 = Now();
    PaneLastResult[0] = 0;
    g_cursorRow = row;
    g_paneRequested[0] = row;
    g_paneRepaintRequest = 1;
    if (!paintedFinal(row, 60000)) break;
    stepMs.push_back(Now() - t0);
  }
  StopViewerThreads();
  std::printf("threads: first picture shown %.1f ms after the request (cold)\n", cold);
  std::printf("threads: step to a prefetched picture: median %.1f ms, max %.1f ms over %zu steps (%d without a fitted copy)\n",
              Median(stepMs), Max(stepMs), stepMs.size(), warmMisses);
  std::printf("threads: steps (wait for warm / step):");
  for (size_t i = 0; i < stepMs.size(); ++i) std::printf(" %.0f/%.1f", warmWaits[i], stepMs[i]);
  std::printf("\n");
  std::printf("fitted copies held: %.1f MB of %.0f MB\n", static_cast<double>(FittedPictureBytes()) / 1048576.0,
              static_cast<double>(FittedPictureBudget()) / 1048576.0);
  std::printf("result: first_ms=%.1f prepared_ms=%.1f step_ms=%.1f decode_ms=%.1f\n", Median(first), Median(prepared),
              Median(stepMs), Median(decode));
  ReleaseDC(pane, dc);
  DestroyWindow(parent);
  return 0;
}
