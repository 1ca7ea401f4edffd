#pragma once
// The in-memory TIFF that a RAW development hands out: a fixed 1376-byte header (first
// directory, Exif and GPS directories, their values and texts), an optional sRGB ICC
// profile, the 8-bit pixel rows, and 1024 spare zero bytes.
#include <cstdint>

namespace brn {

constexpr uint32_t kRawTiffHeaderSize = 1376;
constexpr uint32_t kRawIccProfileSize = 476;
constexpr uint32_t kRawTiffSpareSize = 1024;
constexpr uint32_t kRawGpsWords = 26;  // the GPS block copied into the header

// What the header describes. Texts are fixed fields that need not be terminated.
struct RawTiffFields {
  uint32_t rows = 0;
  uint32_t columns = 0;
  uint32_t samples = 3;  // 3 (RGB) or 1 (monochrome)
  bool hasProfile = true;
  char description[512] = {};
  char make[64] = {};
  char model[64] = {};
  char artist[64] = {};
  int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  float shutter = 0;       // seconds
  float aperture = 0;      // f-number
  float focalLength = 0;   // mm
  float iso = 0;
  // The decoder's GPS words: 0..25 the block, 29 latitude ref, 30 longitude ref, 31 altitude ref.
  uint32_t gps[32] = {};
};

// Writes the 1376 header bytes (zero-filled first) and returns the profile size P (476 or 0).
uint32_t BuildTiffHeader(const RawTiffFields& fields, uint8_t* header);

// Writes the 476-byte sRGB display profile.
void BuildIccProfile(uint8_t* profile);

// Size of the whole block: header + profile + rows*columns*samples + spare.
// False when it does not fit in 32 bits or the picture is empty.
bool RawTiffBlockSize(uint32_t rows, uint32_t columns, uint32_t samples, bool hasProfile, uint32_t* size);

// Rational numerator for a value stored with denominator 1,000,000 (single precision, truncated).
// Values that are negative, not finite or beyond 32 bits give 0 or the largest numerator.
uint32_t MicroRational(float value);

}  // namespace brn
