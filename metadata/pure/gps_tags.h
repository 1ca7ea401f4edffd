// The GPS tab's rows: Japanese labels of the Exif GPS tags and the rows of an ExifSummaryText.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct GpsTagLabel {
  uint8_t tag;
  const char16_t* label;
};
constexpr int kGpsTagLabelCount = 31;
extern const GpsTagLabel GpsTagLabels[kGpsTagLabelCount];

// The label of a GPS tag, null for a tag without one.
const char16_t* FindGpsTagLabel(int tag);

struct GpsSummaryRow {
  int tag;
  std::u16string value;
  const char16_t* label;
};
// Per entry a head cut at "\t\n\n" and a value cut at "\t\n"; a head holding a space drops its
// entry, and so does a tag without a label.
std::vector<GpsSummaryRow> ParseGpsSummaryRows(const std::u16string& text);
