#include "browser/pure/search_rules.h"

#include <cstring>

#include "core/pure/catalogue_rules.h"
#include "core/pure/path_text.h"

namespace {

constexpr int kRows = 16;
constexpr int kRowChars = 128;

// Copies at most 127 characters and terminates the row.
void SetRow(char16_t* row, const char16_t* text) {
  int n = 0;
  for (; text && text[n] && n < kSearchTextChars; ++n) row[n] = text[n];
  for (int k = n; k < kRowChars; ++k) row[k] = 0;
}

bool SameRow(const char16_t* row, const char16_t* text) {
  for (int k = 0; k < kRowChars; ++k) {
    char16_t t = k < kSearchTextChars ? text[k] : 0;
    if (row[k] != t) return false;
    if (!t) return true;
  }
  return true;
}

bool Contains(const char16_t* text, const char16_t* word) {
  if (!word[0]) return true;
  for (const char16_t* p = text; *p; ++p) {
    size_t i = 0;
    while (word[i] && p[i] == word[i]) ++i;
    if (!word[i]) return true;
  }
  return false;
}

int32_t DateKey(int year, int month, int day) { return year * 65536 + month * 256 + day; }

// Range without the year or over midnight: inclusive when from < to; otherwise it wraps and
// both end points lie outside (from = to is every value but that one).
bool InCycle(int32_t value, int32_t from, int32_t to) {
  if (from < to) return from <= value && value <= to;
  return value < to || value > from;
}

int ReadDigits(const char16_t* p, int count, bool* ok) {
  int v = 0;
  for (int i = 0; i < count; ++i) {
    if (p[i] < u'0' || p[i] > u'9') {
      *ok = false;
      return 0;
    }
    v = v * 10 + (p[i] - u'0');
  }
  return v;
}

}  // namespace

void PushSearchHistory(TextHistory16& history, const char16_t* text) {
  char16_t copy[kRowChars];
  SetRow(copy, text ? text : u"");
  for (int i = 0; i < kRows - 1; ++i) {
    if (SameRow(history.rows[i], copy)) {
      for (int k = i; k < kRows - 1; ++k) std::memcpy(history.rows[k], history.rows[k + 1], sizeof history.rows[k]);
      break;
    }
  }
  for (int k = kRows - 2; k >= 0; --k) std::memcpy(history.rows[k + 1], history.rows[k], sizeof history.rows[k]);
  std::memcpy(history.rows[0], copy, sizeof copy);
}

void SplitKeywords(KeywordList& list, const char16_t* text) {
  std::memset(&list, 0, sizeof list);
  char16_t upper[kRowChars];
  SetRow(upper, text ? text : u"");
  ToUpperInPlace(upper);
  int word = 0, length = 0;
  for (int i = 0; upper[i]; ++i) {
    if (upper[i] == u' ') {
      if (word + 1 >= kRows) break;
      ++word;
      length = 0;
      continue;
    }
    if (length < kSearchTextChars) list.rows[word][length++] = upper[i];
    list.count = word + 1;
  }
}

bool MatchKeywords(int32_t kind, char16_t* text, const KeywordList& keywords) {
  if (kind < 1 || kind > 4) return true;
  ToUpperInPlace(text);
  int32_t n = keywords.count;
  if (n < 0) n = 0;
  if (n > kRows) n = kRows;
  int found = 0;
  for (int i = 0; i < n; ++i) {
    char16_t word[kRowChars];
    std::memcpy(word, keywords.rows[i], sizeof word);
    word[kRowChars - 1] = 0;
    found += Contains(text, word) ? 1 : 0;
  }
  switch (kind) {
    case 1: return found > 0;
    case 2: return found == n;
    case 3: return found == 0;
    default: return found < n;
  }
}

bool CompareNumberCriterion(int32_t kind, float value, float from, float to) {
  switch (kind) {
    case 1: return value == from;
    case 2: return value != from;
    case 3: return value <= from;
    case 4: return value >= from;
    case 5: {
      float lo = from < to ? from : to, hi = from < to ? to : from;
      return lo <= value && value <= hi;
    }
    default: return true;
  }
}

bool MatchDateCriterion(int32_t kind, int year, int month, int day, const SearchTime& from, const SearchTime& to) {
  switch (kind) {
    case 1: return year == from.year && month == from.month && day == from.day;
    case 2: {
      int32_t a = DateKey(from.year, from.month, from.day), b = DateKey(to.year, to.month, to.day);
      int32_t v = DateKey(year, month, day);
      return (a < b ? a : b) <= v && v <= (a < b ? b : a);
    }
    case 3: return InCycle(month * 256 + day, from.month * 256 + from.day, to.month * 256 + to.day);
    default: return true;
  }
}

bool MatchTimeCriterion(int32_t kind, int hour, int minute, int second, const SearchTime& from,
                        const SearchTime& to) {
  switch (kind) {
    case 1: return hour == from.hour && minute == from.minute && second == from.second;
    case 2:
      return InCycle(hour * 65536 + minute * 256 + second, from.hour * 65536 + from.minute * 256 + from.second,
                     to.hour * 65536 + to.minute * 256 + to.second);
    default: return true;
  }
}

bool MatchSizeCriterion(int32_t kind, int32_t unit, uint64_t bytes, int32_t from, int32_t to) {
  if (kind != 1 && kind != 2) return true;
  const uint64_t divisor = unit == 2 ? 1048576u : unit == 1 ? 1024u : 1u;
  const int64_t size = static_cast<int64_t>(bytes / divisor);
  int64_t lo = from, hi = from;
  if (kind == 2) {
    lo = from < to ? from : to;
    hi = from < to ? to : from;
  }
  return lo - 1 <= size && size <= hi;
}

bool MatchFormatCriterion(int32_t kind, const char16_t* path, const char16_t* formatText) {
  if (kind != 1 && kind != 2) return true;
  char16_t ext[kPathUnits];
  GetExtension(path, ext);
  ToUpperInPlace(ext);
  char16_t format[kRowChars];
  SetRow(format, formatText);
  ToUpperInPlace(format);
  const bool found = Contains(format, ext);
  return kind == 1 ? found : !found;
}

bool ParseDumpDateTime(const char16_t* text, int* year, int* month, int* day, int* hour, int* minute,
                       int* second) {
  for (int i = 0; i < 19; ++i)
    if (!text[i]) return false;
  bool ok = true;
  *year = ReadDigits(text, 4, &ok);
  *month = ReadDigits(text + 5, 2, &ok);
  *day = ReadDigits(text + 8, 2, &ok);
  *hour = ReadDigits(text + 11, 2, &ok);
  *minute = ReadDigits(text + 14, 2, &ok);
  *second = ReadDigits(text + 17, 2, &ok);
  return ok;
}

void ParseIptcRecordList(char16_t* text, IptcRecordList& out) {
  out.count = 0;
  char16_t* p = text;
  while (out.count < kIptcRecordMax) {
    // The number ends at "\t\n\n", its value at the next "\t\n" or the end of the text.
    char16_t* number = nullptr;
    if (!SplitAtSeparator(&p, &number, 0)) return;
    while (*number == u'\n' || *number == u'\r') ++number;
    if (!*number) return;
    bool blank = false;
    int32_t dataset = 0;
    bool digits = true;
    for (char16_t* q = number; *q; ++q) {
      if (*q == u' ') blank = true;
      else if (*q >= u'0' && *q <= u'9' && dataset <= 255) dataset = dataset * 10 + (*q - u'0');
      else digits = false;
    }
    char16_t* value = nullptr;
    const bool more = SplitAtSeparator(&p, &value, 1);
    if (!more) value = p;
    if (!blank && digits && dataset <= 255) {
      IptcRecordList::Record& r = out.records[out.count++];
      r.dataset = dataset;
      size_t n = 0;
      while (value[n] && n < static_cast<size_t>(kIptcValueChars)) ++n;
      std::memcpy(r.value, value, n * sizeof(char16_t));
      r.value[n] = 0;
    }
    if (!more) return;
  }
}

const char16_t* FindIptcValue(const IptcRecordList& list, int32_t dataset) {
  for (int32_t i = 0; i < list.count && i < kIptcRecordMax; ++i)
    if (list.records[i].dataset == dataset) return list.records[i].value;
  return nullptr;
}

int32_t CountListLines(const char16_t* list) {
  int32_t n = 0;
  for (const char16_t* p = list; p && *p; ++p) n += *p == u'\n';
  return n;
}

bool NextListLine(const char16_t** cursor, char16_t* out) {
  const char16_t* p = *cursor;
  if (!p) return false;
  const char16_t* end = p;
  while (*end && *end != u'\n') ++end;
  if (*end != u'\n') return false;
  size_t n = static_cast<size_t>(end - p);
  std::memset(out, 0, kPathUnits * sizeof(char16_t));
  // A cut path would name another file: a line too long for a path buffer is passed over empty.
  if (n <= kPathUnits - 1) std::memcpy(out, p, n * sizeof(char16_t));
  *cursor = end + 1;
  return true;
}

const char16_t* SearchProgressDots(uint32_t tick) {
  static const char16_t* const kDots[4] = {u"   ", u".  ", u".. ", u"..."};
  return kDots[tick % 4];
}

bool SearchResultList::Add(const char16_t* path) {
  std::u16string key(path);
  if (!seen_.insert(key).second) return false;
  text_ += key;
  text_ += u'\n';
  return true;
}

void SearchResultList::Clear() {
  text_.clear();
  seen_.clear();
}
