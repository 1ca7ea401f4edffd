#include "actions/image_encoders.h"

#include <gdiplus.h>

#include <cwchar>
#include <memory>

int GetEncoderClsid(const wchar_t* mime, CLSID* clsid) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || count == 0 || bytes == 0) return -1;
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[bytes]);
  if (!buffer) return -1;
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return -1;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mime) == 0) {
      *clsid = codecs[i].Clsid;
      return static_cast<int>(i);
    }
  }
  return -1;
}
