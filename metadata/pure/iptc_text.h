// The IPTC tab's dataset table and its text form IptcText: a line feed, then per dataset its
// number in decimal, "\t\n\n", the value and "\t\n".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum IptcEditorKind : int32_t { kIptcFreeText = 0, kIptcUrgency = 1, kIptcObjectCycle = 2, kIptcDate = 4, kIptcTime = 5 };

struct IptcDatasetRow {
  uint8_t record, dataset;
  int32_t repeatable;
  IptcEditorKind editor;
  int32_t maxLength;
  const char16_t* caption;
};
constexpr int kIptcDatasetRows = 33;  // row 0, the record version, is never listed
extern const IptcDatasetRow IptcDatasetTable[kIptcDatasetRows];

// Table row 1..32 of a dataset number or of a caption; -1 when none.
int FindIptcRowByDataset(int dataset);
int FindIptcRowByCaption(const std::u16string& caption);

struct IptcTextEntry {
  int dataset;
  std::u16string value;
};
// The entries of an IptcText in order; entries marked dropped (a space in the head) and datasets
// outside the table rows 1..32 are left out.
std::vector<IptcTextEntry> ParseIptcText(const std::u16string& text);
// The same entries of the reader's multibyte text, each value the file's bytes as shown.
struct IptcTextBytes {
  int dataset;
  std::string value;
};
std::vector<IptcTextBytes> ParseIptcTextBytes(const std::string& text);
std::u16string IptcEntriesToText(const std::vector<IptcTextEntry>& entries);
// "\n<dataset>\t\n\n" occurs in the text.
bool IptcTextHasDataset(const std::u16string& text, int dataset);

// Before a and b are joined: each non-repeatable dataset present in both is marked dropped in b
// (skip on) or in a (skip off), by turning the tab of its "\t\n\n" into a space.
void MarkIptcDuplicates(std::u16string& a, std::u16string& b, bool skipIdentical);

// A template file's bytes after unscrambling: "IPTC" and IptcText in UTF-16LE. False when it does
// not begin with "IPTC"; a trailing odd byte is ignored.
bool ParseIptcTemplate(const uint8_t* bytes, size_t length, std::u16string& text);
std::vector<uint8_t> MakeIptcTemplate(const std::u16string& text);
