#include "core/thumbnail_decode.h"

#include <wincodec.h>

#include <cstdint>
#include <cstring>

namespace {

// GDI+ picks the decoder for every picture by walking the registered imaging components, which
// under Wine is a run of registry requests to the server costing more than the decode of a small
// JPEG. The same decoder, made from a factory held by the thread, gives the same pixels: GDI+
// copies this decoder's 24-bit output unchanged into its bitmap.
const CLSID kJpegDecoder = {0x9456a480, 0xe88b, 0x43ea, {0x9e, 0x73, 0x0b, 0x2d, 0x9b, 0x71, 0xb1, 0xca}};
const GUID kFormat24bppBgr = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};
constexpr UINT kLargestSide = 32767;

// Nothing runs when a thread ends: a destructor called from the runtime's thread-exit hook hung
// the process's exit. Threads that end with the program keep their reference.
struct ThreadDecoder {
  IClassFactory* factory;
  bool failed;  // no factory to be had on this thread (no COM): GDI+ only
  void Release() {
    if (factory) factory->Release();
    factory = nullptr;
    failed = false;
  }
};
thread_local ThreadDecoder t_decoder = {nullptr, false};

IWICBitmapDecoder* NewDecoder() {
  ThreadDecoder& d = t_decoder;
  if (!d.factory && !d.failed) {
    void* factory = nullptr;
    if (SUCCEEDED(CoGetClassObject(kJpegDecoder, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &factory)) && factory)
      d.factory = static_cast<IClassFactory*>(factory);
    else
      d.failed = true;
  }
  if (!d.factory) return nullptr;
  void* decoder = nullptr;
  if (FAILED(d.factory->CreateInstance(nullptr, __uuidof(IWICBitmapDecoder), &decoder))) return nullptr;
  return static_cast<IWICBitmapDecoder*>(decoder);
}

bool Rewind(IStream* stream) {
  LARGE_INTEGER zero{};
  return SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr));
}

// The frame's pixels into a new bitmap of GDI+'s own format for them.
Gdiplus::Bitmap* CopyFrame(IWICBitmapFrameDecode* frame) {
  WICPixelFormatGUID format;
  UINT width = 0, height = 0;
  if (FAILED(frame->GetPixelFormat(&format)) || std::memcmp(&format, &kFormat24bppBgr, sizeof format) != 0 ||
      FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > kLargestSide ||
      height > kLargestSide)
    return nullptr;
  auto* bitmap = new Gdiplus::Bitmap(static_cast<INT>(width), static_cast<INT>(height), PixelFormat24bppRGB);
  if (bitmap->GetLastStatus() != Gdiplus::Ok) {
    delete bitmap;
    return nullptr;
  }
  Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
    delete bitmap;
    return nullptr;
  }
  const UINT stride = static_cast<UINT>(data.Stride);
  const bool copied = SUCCEEDED(frame->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(data.Scan0)));
  bitmap->UnlockBits(&data);
  if (!copied) {
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}

}  // namespace

Gdiplus::Bitmap* DecodeJpegThumbnail(IStream* stream) {
  if (!stream) return nullptr;
  uint8_t start[2] = {};
  ULONG got = 0;
  if (!Rewind(stream) || FAILED(stream->Read(start, 2, &got)) || got != 2 || start[0] != 0xFF || start[1] != 0xD8 ||
      !Rewind(stream))
    return nullptr;
  IWICBitmapDecoder* decoder = NewDecoder();
  if (!decoder) return nullptr;
  Gdiplus::Bitmap* bitmap = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  if (SUCCEEDED(decoder->Initialize(stream, WICDecodeMetadataCacheOnDemand)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && frame) {
    bitmap = CopyFrame(frame);
    frame->Release();
  }
  decoder->Release();
  if (!bitmap) Rewind(stream);
  return bitmap;
}

void ReleaseThumbnailDecoder() { t_decoder.Release(); }
