#include "core/movie_probe.h"

#include <dshow.h>
#include <initguid.h>
#include <qedit.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "core/app_globals.h"
#include "core/bounded_call.h"
#include "core/data_folders.h"
#include "core/file_system.h"
#include "core/folder_helpers.h"
#include "core/memory.h"
#include "core/path_utils.h"
#include "core/pure/image_entry.h"
#include "core/safe_file.h"
#include "core/settings.h"
#include "core/sound_drivers.h"
#include "core/pure/movie_rules.h"

// The SDK headers here lack the two filter classes of the editing library.
DEFINE_GUID(kClsidSampleGrabber, 0xC1F400A0, 0x3F08, 0x11d3, 0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37);
DEFINE_GUID(kClsidNullRenderer, 0xC1F400A4, 0x3F08, 0x11d3, 0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37);

namespace {

constexpr DWORD kInProc = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
constexpr DWORD kFrameWaitMs = 10000;
// A probe that has not rendered the file by then is taken as stuck; a frame grab gets its own
// wait for the frame on top.
constexpr DWORD kProbeWaitMs = 10000;
constexpr DWORD kGrabWaitMs = kProbeWaitMs + kFrameWaitMs;

template <class T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

const wchar_t* EntryPathOf(ImageEntry* e) { return reinterpret_cast<const wchar_t*>(e->path); }

// The media detector on a file's first stream; null when it cannot be made or does not take
// the file.
IMediaDet* OpenMediaDetector(const wchar_t* path) {
  LoadSoundDriversOnce();
  IMediaDet* det = nullptr;
  if (FAILED(CoCreateInstance(CLSID_MediaDet, nullptr, kInProc, IID_IMediaDet, reinterpret_cast<void**>(&det))))
    return nullptr;
  BSTR name = SysAllocString(path);
  const bool ok = name && SUCCEEDED(det->put_Filename(name)) && SUCCEEDED(det->put_CurrentStream(0));
  SysFreeString(name);
  if (!ok) Release(det);
  return det;
}

// The first pin of a filter in the given direction that is not connected yet.
IPin* FreePin(IBaseFilter* filter, PIN_DIRECTION wanted) {
  IEnumPins* pins = nullptr;
  if (FAILED(filter->EnumPins(&pins))) return nullptr;
  IPin* pin = nullptr;
  IPin* found = nullptr;
  while (!found && pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION direction;
    IPin* peer = nullptr;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) {
      if (pin->ConnectedTo(&peer) == VFW_E_NOT_CONNECTED) found = pin;
      Release(peer);
    }
    if (found != pin) Release(pin);
  }
  pins->Release();
  return found;
}

// Keeps the first buffer the grabber sees and signals it.
class FrameCatcher : public ISampleGrabberCB {
 public:
  FrameCatcher() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) { InitializeCriticalSection(&lock_); }
  ~FrameCatcher() {
    if (event_) CloseHandle(event_);
    DeleteCriticalSection(&lock_);
  }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
      *out = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the caller's stack and outlives the graph.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SampleCB(double, IMediaSample*) override { return S_OK; }
  STDMETHODIMP BufferCB(double, BYTE* data, long size) override {
    EnterCriticalSection(&lock_);
    if (!got_ && data && size > 0) {
      bytes_.assign(data, data + size);
      got_ = true;
      SetEvent(event_);
    }
    LeaveCriticalSection(&lock_);
    return S_OK;
  }
  bool Wait(DWORD ms) { return event_ && WaitForSingleObject(event_, ms) == WAIT_OBJECT_0; }
  std::vector<uint8_t> Take() {
    EnterCriticalSection(&lock_);
    std::vector<uint8_t> out;
    out.swap(bytes_);
    LeaveCriticalSection(&lock_);
    return out;
  }

 private:
  HANDLE event_;
  CRITICAL_SECTION lock_;
  bool got_ = false;
  std::vector<uint8_t> bytes_;
};

// A 24-bit frame of the source size scaled into a packed DIB of width x height.
bool ScaleFrame(const std::vector<uint8_t>& pixels, const BITMAPINFOHEADER& source, int width, int height,
                std::vector<uint8_t>* dib) {
  const int sw = source.biWidth, sh = source.biHeight < 0 ? -source.biHeight : source.biHeight;
  if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0 || width > 32767 || height > 32767) return false;
  const size_t sourceStride = (static_cast<size_t>(sw) * 3 + 3) & ~size_t{3};
  if (pixels.size() < sourceStride * sh) return false;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t imageBytes = stride * height;
  if (imageBytes > 0x7FFFFFF0u) return false;
  BITMAPINFO in{};
  in.bmiHeader = source;
  in.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  in.bmiHeader.biCompression = BI_RGB;
  in.bmiHeader.biBitCount = 24;
  in.bmiHeader.biSizeImage = 0;
  BITMAPINFO out{};
  out.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  out.bmiHeader.biWidth = width;
  out.bmiHeader.biHeight = height;
  out.bmiHeader.biPlanes = 1;
  out.bmiHeader.biBitCount = 24;
  out.bmiHeader.biCompression = BI_RGB;
  out.bmiHeader.biSizeImage = static_cast<DWORD>(imageBytes);
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = dc ? CreateDIBSection(dc, &out, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    ok = StretchDIBits(dc, 0, 0, width, height, 0, 0, sw, sh, pixels.data(), &in, DIB_RGB_COLORS, SRCCOPY) != 0;
    GdiFlush();
    if (ok) {
      dib->resize(sizeof(BITMAPINFOHEADER) + imageBytes);
      std::memcpy(dib->data(), &out.bmiHeader, sizeof(BITMAPINFOHEADER));
      std::memcpy(dib->data() + sizeof(BITMAPINFOHEADER), bits, imageBytes);
    }
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  return ok;
}

struct MovieFacts {
  long width = 0, height = 0;
  REFTIME duration = 0;
  bool haveDuration = false;
};

// ReadMovieSizeAndDuration's work, on the calling thread; false when the file cannot be rendered.
bool ProbeMovie(const wchar_t* path, MovieFacts* facts) {
  LoadSoundDriversOnce();
  IGraphBuilder* graph = nullptr;
  IMediaControl* control = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, kInProc, IID_IGraphBuilder,
                              reinterpret_cast<void**>(&graph))) ||
      FAILED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control))) ||
      FAILED(graph->RenderFile(path, nullptr))) {
    Release(control);
    Release(graph);
    return false;
  }
  IBasicVideo* video = nullptr;
  if (SUCCEEDED(graph->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(&video)))) {
    if (FAILED(video->get_VideoWidth(&facts->width)) || FAILED(video->get_VideoHeight(&facts->height)))
      facts->width = facts->height = 0;
    video->Release();
  }
  IMediaPosition* position = nullptr;
  if (SUCCEEDED(graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position)))) {
    facts->haveDuration =
        SUCCEEDED(position->get_Duration(&facts->duration)) && facts->duration >= 0 && facts->duration < 2147483647.0;
    position->Release();
  }
  Release(control);
  Release(graph);
  return true;
}

// GrabFrameThroughSampleGrabber's work, on the calling thread.
bool GrabFrameInGraph(const wchar_t* path, double seconds, int width, int height, std::vector<uint8_t>* dib) {
  if (!path || !dib || width <= 0 || height <= 0) return false;
  LoadSoundDriversOnce();
  IGraphBuilder* graph = nullptr;
  IBaseFilter *grabberFilter = nullptr, *sink = nullptr, *source = nullptr;
  ISampleGrabber* grabber = nullptr;
  IPin *out = nullptr, *in = nullptr;
  IMediaControl* control = nullptr;
  IMediaPosition* position = nullptr;
  FrameCatcher catcher;
  bool ok = false;
  do {
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, kInProc, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))))
      break;
    if (FAILED(CoCreateInstance(kClsidSampleGrabber, nullptr, kInProc, IID_IBaseFilter,
                                reinterpret_cast<void**>(&grabberFilter))) ||
        FAILED(grabberFilter->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(&grabber))))
      break;
    AM_MEDIA_TYPE wanted{};
    wanted.majortype = MEDIATYPE_Video;
    wanted.subtype = MEDIASUBTYPE_RGB24;
    wanted.formattype = FORMAT_VideoInfo;
    if (FAILED(grabber->SetMediaType(&wanted)) || FAILED(graph->AddFilter(grabberFilter, L"Frame grabber")))
      break;
    if (FAILED(CoCreateInstance(kClsidNullRenderer, nullptr, kInProc, IID_IBaseFilter,
                                reinterpret_cast<void**>(&sink))) ||
        FAILED(graph->AddFilter(sink, L"Frame sink")))
      break;
    if (FAILED(graph->AddSourceFilter(path, L"Movie", &source))) break;
    // The source's output reaches the grabber through whatever splitter and decoder the graph
    // finds; the grabber then feeds a renderer that shows nothing.
    if (!(out = FreePin(source, PINDIR_OUTPUT)) || !(in = FreePin(grabberFilter, PINDIR_INPUT)) ||
        FAILED(graph->Connect(out, in)))
      break;
    Release(out);
    Release(in);
    if (!(out = FreePin(grabberFilter, PINDIR_OUTPUT)) || !(in = FreePin(sink, PINDIR_INPUT)) ||
        FAILED(graph->Connect(out, in)))
      break;
    AM_MEDIA_TYPE got{};
    if (FAILED(grabber->GetConnectedMediaType(&got))) break;
    BITMAPINFOHEADER header{};
    const bool usable = got.formattype == FORMAT_VideoInfo && got.pbFormat &&
                        got.cbFormat >= sizeof(VIDEOINFOHEADER) && got.subtype == MEDIASUBTYPE_RGB24;
    if (usable) header = reinterpret_cast<VIDEOINFOHEADER*>(got.pbFormat)->bmiHeader;
    if (got.cbFormat && got.pbFormat) CoTaskMemFree(got.pbFormat);
    if (got.pUnk) got.pUnk->Release();
    if (!usable || header.biBitCount != 24) break;
    if (FAILED(grabber->SetBufferSamples(FALSE)) || FAILED(grabber->SetOneShot(FALSE)) ||
        FAILED(grabber->SetCallback(&catcher, 1)))
      break;
    if (FAILED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)))) break;
    if (seconds > 0 && SUCCEEDED(graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position))))
      position->put_CurrentPosition(seconds);
    // Pausing prerolls the graph: the first frame from the position passes the grabber.
    const HRESULT paused = control->Pause();
    if (FAILED(paused)) break;
    const bool caught = catcher.Wait(kFrameWaitMs);
    control->Stop();
    grabber->SetCallback(nullptr, 1);
    if (!caught) break;
    ok = ScaleFrame(catcher.Take(), header, width, height, dib);
  } while (false);
  if (grabber && !ok) grabber->SetCallback(nullptr, 1);
  Release(position);
  Release(control);
  Release(out);
  Release(in);
  Release(source);
  Release(sink);
  Release(grabber);
  Release(grabberFilter);
  Release(graph);
  return ok;
}

// The DIB at width x height from the media detector, or through the sample grabber when the
// detector gives none (Wine's detector does not grab frames).
bool FrameDib(const wchar_t* path, double t, int width, int height, std::vector<uint8_t>* dib) {
  if (width <= 0 || height <= 0) return false;
  if (IMediaDet* det = OpenMediaDetector(path)) {
    long size = 0;
    bool ok = SUCCEEDED(det->GetBitmapBits(t, &size, nullptr, width, height)) && size > 40;
    if (ok) {
      dib->assign(static_cast<size_t>(size), 0);
      ok = SUCCEEDED(det->GetBitmapBits(t, &size, reinterpret_cast<char*>(dib->data()), width, height));
    }
    det->Release();
    if (ok) return true;
  }
  return GrabFrameInGraph(path, t, width, height, dib);
}

}  // namespace

bool ReadMovieSizeAndDuration(ImageEntry* entry) {
  if (!entry) return false;
  auto facts = std::make_shared<MovieFacts>();
  const std::wstring path = EntryPathOf(entry);
  if (!RunBounded(kProbeWaitMs, [=] { return ProbeMovie(path.c_str(), facts.get()); })) return false;
  long width = facts->width, height = facts->height;
  // The record keeps 16-bit sides: a size it cannot hold counts as unknown.
  if (width > 0 && height > 0 && width <= 32767 && height <= 32767) {
    entry->info.width = static_cast<int16_t>(width);
    entry->info.height = static_cast<int16_t>(height);
  } else {
    width = height = 0;
  }
  if (facts->haveDuration) entry->movieValue = static_cast<int32_t>(facts->duration);
  return width > 0 && height > 0;
}

bool GrabFrameThroughSampleGrabber(const wchar_t* path, double seconds, int width, int height,
                                   std::vector<uint8_t>* dib) {
  if (!path || !dib) return false;
  auto frame = std::make_shared<std::vector<uint8_t>>();
  const std::wstring file = path;
  if (!RunBounded(kGrabWaitMs, [=] { return GrabFrameInGraph(file.c_str(), seconds, width, height, frame.get()); }))
    return false;
  dib->swap(*frame);
  return true;
}

HGLOBAL GrabMovieFrame(ImageEntry* entry, int second, int width, int height) {
  // A movie the probe could not render gives no frame either (and would only be waited for).
  if (!entry || (entry->flags & kEntryMovieNoCodec) || width <= 0 || height <= 0) return nullptr;
  auto frame = std::make_shared<std::vector<uint8_t>>();
  const std::wstring path = EntryPathOf(entry);
  const double t = MovieFrameTime(second, entry->movieValue);
  bool stuck = false;
  if (!RunBounded(kGrabWaitMs, [=] { return FrameDib(path.c_str(), t, width, height, frame.get()); }, &stuck)) {
    // One that never came back is not tried again: the pane shows it as having no codec.
    if (stuck) SetEntryFlags(entry, kEntryMovieNoCodec);
    return nullptr;
  }
  const std::vector<uint8_t>& dib = *frame;
  uint8_t header[14];
  if (!BuildBmpFileHeader(dib.data(), dib.size(), header)) return nullptr;
  HGLOBAL block = AllocGlobal(GMEM_FIXED, static_cast<uint32_t>(14 + dib.size()));
  if (!block) return nullptr;
  uint8_t* bytes = static_cast<uint8_t*>(GlobalLock(block));
  if (!bytes) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(bytes, header, 14);
  std::memcpy(bytes + 14, dib.data(), dib.size());
  GlobalUnlock(block);
  return block;
}

bool SaveMovieFrameAsBitmap(ImageEntry* entry, double seconds) {
  if (!entry) return false;
  int32_t width = 0, height = 0;
  if (!MovieCaptureSize(entry->info.width, entry->info.height, g_settings.captureResize == 1,
                        g_settings.captureLongSide, &width, &height))
    return false;
  const double t = MovieFrameTime(seconds, entry->movieValue);
  wchar_t folder[kPathChars], name[kPathChars], path[kPathChars];
  GetNameWithoutExtension(EntryPathOf(entry), name);
  if (!GetCaptureFolder(folder) || !EnsureFolderExists(folder, 0)) return false;
  path[0] = 0;
  for (int n = 1; n < 100000; ++n) {
    const int written = swprintf(path, kPathChars, L"%ls%ls-%d%ls", folder, name, n, L".bmp");
    if (written <= 0 || written >= static_cast<int>(kPathChars)) return false;
    if (!PathExists(path)) break;
    path[0] = 0;
  }
  if (!path[0]) return false;
  const std::wstring movie = EntryPathOf(entry), target = path;
  const bool written = RunBounded(kGrabWaitMs, [=] {
    IMediaDet* det = OpenMediaDetector(movie.c_str());
    if (!det) return false;
    BSTR name = SysAllocString(target.c_str());
    const HRESULT hr = name ? det->WriteBitmapBits(t, width, height, name) : E_OUTOFMEMORY;
    SysFreeString(name);
    det->Release();
    return SUCCEEDED(hr);
  });
  if (written && FileExists(path)) return true;
  DeleteFileW(path);
  // The detector could not write it: the same frame through the grabber, written safely.
  std::vector<uint8_t> dib;
  uint8_t header[14];
  if (!GrabFrameThroughSampleGrabber(EntryPathOf(entry), t, width, height, &dib) ||
      !BuildBmpFileHeader(dib.data(), dib.size(), header))
    return false;
  std::vector<uint8_t> file(header, header + 14);
  file.insert(file.end(), dib.begin(), dib.end());
  return WriteFileReplacing(path, file.data(), static_cast<uint32_t>(file.size()));
}
