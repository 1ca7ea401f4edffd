#include "browser/pure/list_sort.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/pure/path_text.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Leading blanks, a sign, digits and a fraction; nothing readable gives 0.
double ReadDecimal(const char16_t* p) {
  while (*p == u' ' || *p == u'\t') ++p;
  double sign = 1;
  if (*p == u'+' || *p == u'-') sign = (*p++ == u'-') ? -1 : 1;
  double v = 0;
  while (IsDigit(*p)) v = v * 10 + (*p++ - u'0');
  if (*p == u'.') {
    double scale = 0.1;
    for (++p; IsDigit(*p); ++p, scale /= 10) v += (*p - u'0') * scale;
  }
  return sign * v;
}

void WriteNumberKey(double value, char16_t* out) {
  // Products like 2.8 x 100 land a hair below the whole number.
  double t = value + (value >= 0 ? 1e-7 : -1e-7);
  long long n = static_cast<long long>(std::trunc(t));
  if (n > INT_MAX) n = INT_MAX;
  if (n < INT_MIN) n = INT_MIN;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%010d", static_cast<int>(n));
  size_t i = 0;
  for (; buf[i]; ++i) out[i] = static_cast<char16_t>(buf[i]);
  out[i] = 0;
}

}  // namespace

int CompareLogical(const char16_t* a, const char16_t* b) {
  while (*a && *b) {
    if (IsDigit(*a) && IsDigit(*b)) {
      while (*a == u'0' && IsDigit(a[1])) ++a;
      while (*b == u'0' && IsDigit(b[1])) ++b;
      size_t la = 0, lb = 0;
      while (IsDigit(a[la])) ++la;
      while (IsDigit(b[lb])) ++lb;
      if (la != lb) return la < lb ? -1 : 1;
      for (size_t i = 0; i < la; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
      }
      a += la;
      b += lb;
      continue;
    }
    char16_t ca = FoldLower(*a), cb = FoldLower(*b);
    if (ca != cb) return ca < cb ? -1 : 1;
    ++a;
    ++b;
  }
  return *a ? 1 : (*b ? -1 : 0);
}

void MakeSortKey(int column, const char16_t* text, char16_t* out) {
  out[0] = 0;
  if (column == 0 || !text || !text[0]) return;
  char16_t t[kSortKeyUnits];
  size_t len = 0;
  while (len < kSortKeyUnits - 1 && text[len]) {
    t[len] = text[len];
    ++len;
  }
  t[len] = 0;
  switch (column) {
    case 4:    // "%dKB"
    case 17:   // lens: its leading focal length
    case 18: { // "%dmm"
      if (len <= 2) return;
      t[len - 2] = 0;
      WriteNumberKey(std::trunc(ReadDecimal(t)), out);
      return;
    }
    case 6: {  // width*height
      size_t star = 0;
      while (star < len && t[star] != u'*') ++star;
      if (star == len) break;
      t[star] = 0;
      double w = std::trunc(ReadDecimal(t)), h = std::trunc(ReadDecimal(t + star + 1));
      WriteNumberKey(w * h, out);
      return;
    }
    case 11: {  // "1/250" or seconds
      double seconds;
      if (len >= 2 && t[1] == u'/') {
        double denominator = ReadDecimal(t + 2);
        if (denominator == 0) return;
        seconds = 1.0 / denominator;
      } else {
        seconds = ReadDecimal(t);
      }
      WriteNumberKey(seconds * 100000.0, out);
      return;
    }
    case 12:  // "F2.8"
      if (len < 2) return;
      WriteNumberKey(ReadDecimal(t + 1) * 100.0, out);
      return;
    case 14:
      WriteNumberKey(std::trunc(ReadDecimal(t)), out);
      return;
    case 15: {
      double bias = t[0] == u'±' ? 0.0 : ReadDecimal(t);
      WriteNumberKey((bias + 100.0) * 100.0, out);
      return;
    }
    default:
      break;
  }
  for (size_t i = 0; i <= len; ++i) out[i] = t[i];
}

void SortDisplayOrder(uint16_t* order, size_t n, int column, bool descending,
                      const std::function<const char16_t*(uint16_t entry)>& textOf,
                      const std::function<const char16_t*(uint16_t entry)>& nameOf, NameCompare compareNames) {
  struct Row {
    uint16_t entry;
    std::u16string key;
    const char16_t* name;
  };
  std::vector<Row> rows(n);
  char16_t key[kSortKeyUnits];
  for (size_t i = 0; i < n; ++i) {
    rows[i].entry = order[i];
    MakeSortKey(column, column == 0 ? nullptr : textOf(order[i]), key);
    rows[i].key = key;
    rows[i].name = nameOf(order[i]);
    if (!rows[i].name) rows[i].name = u"";
  }
  // Introsort: already ordered rows cannot make the recursion deep.
  std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    int c = column == 0 ? 0 : CompareTextNoCase(a.key.c_str(), b.key.c_str());
    if (c == 0) c = compareNames(a.name, b.name);
    return descending ? c > 0 : c < 0;
  });
  for (size_t i = 0; i < n; ++i) order[i] = rows[i].entry;
}

size_t MoveDraggedRows(uint16_t* order, size_t count, const int* draggedRows, size_t draggedCount, size_t dropRow,
                       size_t* movedCount) {
  std::vector<uint16_t> moved;
  std::vector<bool> isMoved(65536, false);
  for (size_t i = 0; i < draggedCount; ++i) {
    int row = draggedRows[i];
    if (row < 0 || static_cast<size_t>(row) >= count || isMoved[order[row]]) continue;
    isMoved[order[row]] = true;
    moved.push_back(order[row]);
  }
  if (dropRow > count) dropRow = count;
  size_t insertion = dropRow;
  std::vector<uint16_t> rest;
  rest.reserve(count);
  for (size_t j = 0; j < count; ++j) {
    if (isMoved[order[j]]) {
      if (j < dropRow) --insertion;
    } else {
      rest.push_back(order[j]);
    }
  }
  if (movedCount) *movedCount = moved.size();
  if (moved.empty()) return dropRow;
  size_t o = 0;
  for (size_t j = 0; j < insertion; ++j) order[o++] = rest[j];
  for (uint16_t e : moved) order[o++] = e;
  for (size_t j = insertion; j < rest.size(); ++j) order[o++] = rest[j];
  return insertion;
}
