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

// A transform from the profile to the system's sRGB; null when the system cannot use the profile.
HTRANSFORM MakeTransform(std::vector<uint8_t>& profile) {
  PROFILE source{};
  source.dwType = PROFILE_MEMBUFFER;
  source.pProfileData = profile.data();
  source.cbDataSize = static_cast<DWORD>(profile.size());
  HPROFILE profiles[2] = {OpenColorProfileW(&source, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING), nullptr};
  if (!profiles[0]) return nullptr;
  HTRANSFORM t = nullptr;
  profiles[1] = OpenSrgbProfile();
  if (profiles[1]) {
    DWORD intents[2] = {INTENT_PERCEPTUAL, INTENT_PERCEPTUAL};
    t = CreateMultiProfileTransform(profiles, 2, intents, 2, BEST_MODE, INDEX_DONT_CARE);
    CloseColorProfile(profiles[1]);
  }
  CloseColorProfile(profiles[0]);
  return t;
}

bool Translate(HTRANSFORM t, Gdiplus::Bitmap* bitmap) {
  const UINT w = bitmap->GetWidth(), h = bitmap->GetHeight();
  Gdiplus::Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
  Gdiplus::BitmapData bits{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &bits) !=
      Gdiplus::Ok)
    return false;
  bool done = false;
  // 24-bit rows in memory are blue, green, red: the DIB order ICM calls RGB triplets.
  if (bits.Stride > 0)
    done = TranslateBitmapBits(t, bits.Scan0, BM_RGBTRIPLETS, w, h, static_cast<DWORD>(bits.Stride), bits.Scan0,
                               BM_RGBTRIPLETS, static_cast<DWORD>(bits.Stride), nullptr, 0) != FALSE;
  bitmap->UnlockBits(&bits);
  return done;
}

bool Convert(std::vector<uint8_t>& profile, Gdiplus::Bitmap* bitmap) {
  HTRANSFORM t = MakeTransform(profile);
  if (!t) return false;
  const bool done = Translate(t, bitmap);
  DeleteColorTransform(t);
  return done;
}

// The profile in the JPEG's bytes; false without one (a profile is at least its 128-byte header
// and tag count).
bool ProfileOf(const uint8_t* bytes, size_t size, std::vector<uint8_t>* profile) {
  return bytes && FindJpegIccProfile(bytes, size, profile) && profile->size() >= 132;
}

// The transform kept on this thread and the profile it converts from. Making one costs
// milliseconds, far more than converting a thumbnail, and a folder's pictures mostly share their
// profile. A plain pointer: nothing may run at a thread's exit, so the thread lets it go itself.
struct KeptTransform {
  std::vector<uint8_t> profile;
  HTRANSFORM transform = nullptr;
};
thread_local KeptTransform* t_kept = nullptr;

}  // namespace

bool SrgbProfilePath(wchar_t (&path)[MAX_PATH]) {
  DWORD size = sizeof path;
  path[0] = 0;
  return GetStandardColorSpaceProfileW(nullptr, kSrgbColourSpace, path, &size) && path[0];
}

bool ApplyEmbeddedJpegColour(bool embeddedColour, const uint8_t* bytes, size_t size, Gdiplus::Bitmap* bitmap) {
  if (!embeddedColour || !bitmap) return false;
  std::vector<uint8_t> profile;
  return ProfileOf(bytes, size, &profile) && Convert(profile, bitmap);
}

bool ApplyEmbeddedJpegColourBlock(bool embeddedColour, HGLOBAL block, Gdiplus::Bitmap* bitmap) {
  if (!embeddedColour || !block) return false;
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
  if (!bytes) return false;
  const bool done = ApplyEmbeddedJpegColour(true, bytes, GlobalSize(block), bitmap);
  GlobalUnlock(block);
  return done;
}

bool ApplyEmbeddedJpegColourKept(HGLOBAL block, Gdiplus::Bitmap* bitmap) {
  if (!block || !bitmap) return false;
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
  std::vector<uint8_t> profile;
  const bool found = ProfileOf(bytes, bytes ? GlobalSize(block) : 0, &profile);
  if (bytes) GlobalUnlock(block);
  if (!found) return false;
  if (!t_kept) t_kept = new KeptTransform;
  if (!t_kept->transform || t_kept->profile != profile) {
    HTRANSFORM made = MakeTransform(profile);
    if (!made) return false;
    if (t_kept->transform) DeleteColorTransform(t_kept->transform);
    t_kept->transform = made;
    t_kept->profile.swap(profile);
  }
  return Translate(t_kept->transform, bitmap);
}

void ReleaseKeptColourTransform() {
  if (!t_kept) return;
  if (t_kept->transform) DeleteColorTransform(t_kept->transform);
  delete t_kept;
  t_kept = nullptr;
}
