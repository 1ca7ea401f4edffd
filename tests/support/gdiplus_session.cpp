#include "support/gdiplus_session.h"

#include <cstring>
#include <cwchar>

namespace testsupport {

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
  if (ok_) Gdiplus::GdiplusShutdown(token_);
}

void GdiplusEnvironment::SetUp() {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

void GdiplusEnvironment::TearDown() { Gdiplus::GdiplusShutdown(token_); }

bool EncoderFor(const wchar_t* mime, CLSID* out) {
  UINT count = 0, bytes = 0;
  Gdiplus::GetImageEncodersSize(&count, &bytes);
  std::vector<uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, bytes, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, mime) == 0) {
      *out = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

std::vector<uint8_t> EncodedBytes(Gdiplus::Image& image, const CLSID& encoder) {
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  EXPECT_EQ(image.Save(stream, &encoder, nullptr), Gdiplus::Ok);
  HGLOBAL block = nullptr;
  GetHGlobalFromStream(stream, &block);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  std::memcpy(bytes.data(), GlobalLock(block), bytes.size());
  GlobalUnlock(block);
  stream->Release();
  return bytes;
}

}  // namespace testsupport
