#include "core/embedded_colour.h"

#include <icm.h>

#include <vector>

#include "core/pure/jpeg_picture.h"

namespace {

// LCS_sRGB, which wingdi.h spells as a multi-character constant.
constexpr DWORD kSrgbColourSpace = 0x73524742;

// The system's sRGB profile, opened once per conversion.
HPROFILE OpenSrgbProfile() {
  wchar_t path[MAX_PATH] = {};
  if (!SrgbProfilePath(path)) return nullptr;
  PROFILE p{};
  p.dwType = PROFILE_FILENAME;
  p.pProfileData = path;
  p.cbDataSize = static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t));
  return OpenColorProfileW(&p, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

bool Convert(std::vector<uint8_t>& profile, Gdiplus::Bitmap* bitmap) {
  PROFILE source{};
  source.dwType = PROFILE_MEMBUFFER;
  source.pProfileData = profile.data();
  source.cbDataSize = static_cast<DWORD>(profile.size());
  HPROFILE profiles[2] = {OpenColorProfileW(&source, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING), nullptr};
  if (!profiles[0]) return false;
  bool done = false;
  profiles[1] = OpenSrgbProfile();
  if (profiles[1]) {
    DWORD intents[2] = {INTENT_PERCEPTUAL, INTENT_PERCEPTUAL};
    if (HTRANSFORM t = CreateMultiProfileTransform(profiles, 2, intents, 2, BEST_MODE, INDEX_DONT_CARE)) {
      const UINT w = bitmap->GetWidth(), h = bitmap->GetHeight();
      Gdiplus::Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
      Gdiplus::BitmapData bits{};
      if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB,
                           &bits) == Gdiplus::Ok) {
        // 24-bit rows in memory are blue, green, red: the DIB order ICM calls RGB triplets.
        if (bits.Stride > 0)
          done = TranslateBitmapBits(t, bits.Scan0, BM_RGBTRIPLETS, w, h, static_cast<DWORD>(bits.Stride), bits.Scan0,
                                     BM_RGBTRIPLETS, static_cast<DWORD>(bits.Stride), nullptr, 0) != FALSE;
        bitmap->UnlockBits(&bits);
      }
      DeleteColorTransform(t);
    }
    CloseColorProfile(profiles[1]);
  }
  CloseColorProfile(profiles[0]);
  return done;
}

}  // namespace

bool SrgbProfilePath(wchar_t (&path)[MAX_PATH]) {
  DWORD size = sizeof path;
  path[0] = 0;
  return GetStandardColorSpaceProfileW(nullptr, kSrgbColourSpace, path, &size) && path[0];
}

bool ApplyEmbeddedJpegColour(bool embeddedColour, const uint8_t* bytes, size_t size, Gdiplus::Bitmap* bitmap) {
  if (!embeddedColour || !bitmap || !bytes) return false;
  std::vector<uint8_t> profile;
  // A profile is at least its 128-byte header and tag count.
  if (!FindJpegIccProfile(bytes, size, &profile) || profile.size() < 132) return false;
  return Convert(profile, bitmap);
}

bool ApplyEmbeddedJpegColourBlock(bool embeddedColour, HGLOBAL block, Gdiplus::Bitmap* bitmap) {
  if (!embeddedColour || !block) return false;
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
  if (!bytes) return false;
  const bool done = ApplyEmbeddedJpegColour(true, bytes, GlobalSize(block), bitmap);
  GlobalUnlock(block);
  return done;
}
