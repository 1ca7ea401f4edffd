// The Exif and TIFF items written into a developed RAW picture, built from the entry's column
// texts. The encoders keep none of the camera's data by themselves, so these 17 rows are it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum ExifFieldType : uint16_t { kExifAscii = 2, kExifShort = 3, kExifRational = 5, kExifUndefined = 7, kExifSRational = 10 };

struct ExifItem {
  uint32_t tag;
  uint16_t type;
  std::vector<uint8_t> value;  // little-endian, as GDI+ takes a property item's value
};

struct ExifSourceTexts {
  const char16_t* fileDate = u"";      // column 5
  const char16_t* maker = u"";         // column 7
  const char16_t* model = u"";         // column 8
  const char16_t* orientation = u"";   // column 9
  const char16_t* shotDate = u"";      // column 10
  const char16_t* exposureTime = u"";  // column 11
  const char16_t* fNumber = u"";       // column 12
  const char16_t* program = u"";       // column 13
  const char16_t* iso = u"";           // column 14
  const char16_t* bias = u"";          // column 15
  const char16_t* metering = u"";      // column 16
  const char16_t* focalLength = u"";   // the focal length as the list column shows it, with its "mm"
  const char16_t* flash = u"";         // column 21
  const char16_t* software = u"";
  // Size of the developed picture; 0 leaves both items out.
  int32_t width = 0, height = 0;
  // The development turned the picture upright: a known orientation is written as 1.
  bool orientationApplied = false;
};

// Multibyte text of the ANSI code page (no terminator); the Windows layer converts.
using ToMultibyte = std::function<std::string(const char16_t*)>;

std::vector<ExifItem> BuildExifItems(const ExifSourceTexts& texts, const ToMultibyte& convert);

// The rules of single columns, for their own tests.
int32_t LeadingWholeNumber(const char16_t* text);
double LeadingNumber(const char16_t* text);
// YYYY/MM/DD HH:MM:SS becomes YYYY:MM:DD HH:MM:SS; other lengths stay as they are.
std::u16string ExifDateText(const char16_t* text);
void ExposureTimeRational(const char16_t* text, uint32_t* numerator, uint32_t* denominator);
// Tenths truncated: F5.6 -> 56, +0.7 -> 7, -1.3 -> -13 (rounded to the nearest thousandth first,
// so 5.6 stored as 5.5999999 is never 55 on any build).
int32_t TenthsOf(double value);
uint16_t ExposureProgramCode(const char16_t* text);
uint16_t MeteringModeCode(const char16_t* text);
