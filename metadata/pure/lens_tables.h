#pragma once
#include <cstdint>

struct CanonLensRow {
  uint32_t code;      // (short focal length << 16) | long focal length
  uint16_t lensType;
  const char16_t* name;
};
struct CodedLensRow {
  int32_t code;
  const char16_t* name;
};
struct NikonLensRow {
  const char16_t* lensText;  // as the Nikon lens formatter writes it
  const char16_t* key;       // two hexadecimal digits and one letter
  const char16_t* name;
};
struct KeyedLensRow {
  const char16_t* key;  // eight hexadecimal digits
  const char16_t* name;
};

constexpr int kCanonLensCount = 220;
constexpr int kPentaxLensCount = 166;
constexpr int kMinoltaSonyLensCount = 194;
constexpr int kNikonLensCount = 399;
constexpr int kOlympusLensCount = 78;
constexpr int kOlympusExtenderCount = 3;

extern const CanonLensRow kCanonLenses[kCanonLensCount];
extern const CodedLensRow kPentaxLenses[kPentaxLensCount];
extern const CodedLensRow kMinoltaSonyLenses[kMinoltaSonyLensCount];
extern const NikonLensRow kNikonLenses[kNikonLensCount];
extern const KeyedLensRow kOlympusLenses[kOlympusLensCount];
extern const KeyedLensRow kOlympusExtenders[kOlympusExtenderCount];

