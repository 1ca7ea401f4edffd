// Search criteria as stored in the settings block, and the tests a file must pass.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "core/pure/settings_records.h"
#include "metadata/pure/iptc_text.h"

#pragma pack(push, 1)
// SYSTEMTIME's bytes: the date pickers and time pickers write whole values into it.
struct SearchTime {
  uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};
static_assert(sizeof(SearchTime) == 16, "");

// The 128 condition bytes at the start of the search section.
struct SearchConditions {
  int32_t modDateKind, modTimeKind, sizeKind, sizeUnit, formatKind, shotDateKind, shotTimeKind;
  int32_t makerKind, modelKind, lensKind, exposureKind, fNumberKind, isoKind, focalKind;
  SearchTime modFrom, modTo, shotFrom, shotTo;
  int32_t sizeFrom, sizeTo;
};
static_assert(sizeof(SearchConditions) == 128, "");
static_assert(offsetof(SearchConditions, modFrom) == 56, "");
static_assert(offsetof(SearchConditions, sizeFrom) == 120, "");
#pragma pack(pop)

// A keyword list has the same bytes as a text history: 16 rows, then the count.
using KeywordList = TextHistory16;

constexpr int kSearchTextChars = 127;
constexpr int32_t kSearchHitLimit = 65534;
constexpr int kIptcSearchRows = 10;
constexpr int kIptcRecordMax = 127;
constexpr int kIptcValueChars = 255;

// Newest first, no duplicate of the new text; an empty text is kept like any other.
void PushSearchHistory(TextHistory16& history, const char16_t* text);
// Upper-cases a copy of the text and splits it at blanks into at most 16 keywords.
void SplitKeywords(KeywordList& list, const char16_t* text);

// Text kinds: 0 no test, 1 any keyword, 2 all, 3 none, 4 not all. The text is upper-cased in
// place; the keywords already are. Kinds outside 0..4 pass.
bool MatchKeywords(int32_t kind, char16_t* text, const KeywordList& keywords);
// Number kinds: 0 no test, 1 equal, 2 not equal, 3 at most, 4 at least, 5 between (inclusive,
// ends in either order). Kinds outside 0..5 pass.
bool CompareNumberCriterion(int32_t kind, float value, float from, float to);
// Date kinds: 1 that day, 2 range (ends included, in either order), 3 range without the year:
// ends included when from < to; from >= to wraps over the year end with both end days outside.
bool MatchDateCriterion(int32_t kind, int year, int month, int day, const SearchTime& from, const SearchTime& to);
// Time kinds: 1 that second, 2 range, as the year-less date range (wraps over midnight when
// from >= to, both ends outside).
bool MatchTimeCriterion(int32_t kind, int hour, int minute, int second, const SearchTime& from,
                        const SearchTime& to);
// Size kinds: 1 "that size", 2 range; the size is divided by the unit as a whole number and
// the lower bound is one unit below the value typed.
bool MatchSizeCriterion(int32_t kind, int32_t unit, uint64_t bytes, int32_t from, int32_t to);
// Format kinds: 1 only the typed extensions, 2 all but them. The path's last extension,
// upper-cased, is looked for as a substring of the upper-cased format text.
bool MatchFormatCriterion(int32_t kind, const char16_t* path, const char16_t* formatText);

// "YYYY:MM:DD HH:MM:SS": false for anything shorter than 19 characters or not numeric there.
bool ParseDumpDateTime(const char16_t* text, int* year, int* month, int* day, int* hour, int* minute,
                       int* second);

// The IPTC datasets of one file, rebuilt for every file.
struct IptcRecordList {
  int32_t count;
  struct Record {
    int32_t dataset;
    char16_t value[kIptcValueChars + 1];
  } records[kIptcRecordMax];
};
// Parses IptcText (number "\t\n\n" value "\t\n" ...) in place. Values are cut to 255 characters.
void ParseIptcRecordList(char16_t* text, IptcRecordList& out);
// The first value of the dataset; null when there is none.
const char16_t* FindIptcValue(const IptcRecordList& list, int32_t dataset);


// Count of "\n" in a collection list (null counts 0).
int32_t CountListLines(const char16_t* list);
// The next line of a list into out (kPathUnits units); false when no line ending in "\n" is
// left. A line longer than 259 characters comes out empty. *cursor moves past it.
bool NextListLine(const char16_t** cursor, char16_t* out);

// " [ %d/%d ] - 検索前準備中" and so on: the dots by tick.
const char16_t* SearchProgressDots(uint32_t tick);

// The matches of one search, exact paths without duplicates, as a collection list text.
class SearchResultList {
 public:
  // False for a duplicate path.
  bool Add(const char16_t* path);
  const std::u16string& Text() const { return text_; }
  void Clear();

 private:
  std::u16string text_;
  std::unordered_set<std::u16string> seen_;
};
