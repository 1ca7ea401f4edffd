#include "core/pure/catalogue_rules.h"

#include <algorithm>
#include <cstdio>

#include "core/pure/path_text.h"

namespace {

bool SameUnits(const char16_t* a, const char16_t* b, size_t n, bool ignoreCase) {
  for (size_t i = 0; i < n; ++i) {
    if (ignoreCase ? FoldLower(a[i]) != FoldLower(b[i]) : a[i] != b[i]) return false;
  }
  return true;
}

std::vector<std::u16string> Lines(const char16_t* text) {
  std::vector<std::u16string> out;
  if (!text) return out;
  const char16_t* start = text;
  for (const char16_t* p = text;; ++p) {
    if (*p == u'\n' || *p == 0) {
      if (p > start || *p == u'\n') out.emplace_back(start, p);
      if (*p == 0) break;
      start = p + 1;
    }
  }
  return out;
}

}  // namespace

bool ContainsLine(const char16_t* list, const char16_t* line, bool ignoreCase) {
  if (!list || !line || !line[0]) return false;
  size_t n = TextLength(line);
  const char16_t* p = list;
  while (*p) {
    const char16_t* end = p;
    while (*end && *end != u'\n') ++end;
    if (static_cast<size_t>(end - p) == n && SameUnits(p, line, n, ignoreCase)) return true;
    p = *end ? end + 1 : end;
  }
  return false;
}

size_t RemoveLine(char16_t* list, const char16_t* line) {
  if (!list || !line || !line[0]) return 0;
  size_t n = TextLength(line), removed = 0;
  char16_t* out = list;
  const char16_t* p = list;
  while (*p) {
    const char16_t* end = p;
    while (*end && *end != u'\n') ++end;
    const char16_t* next = *end ? end + 1 : end;
    if (static_cast<size_t>(end - p) == n && SameUnits(p, line, n, true)) {
      ++removed;
    } else {
      while (p < next) *out++ = *p++;
    }
    p = next;
  }
  *out = 0;
  return removed;
}

bool ReplaceLine(const char16_t* list, const char16_t* oldLine, const char16_t* newLine, std::u16string* out) {
  out->clear();
  if (!list || !oldLine || !oldLine[0]) return false;
  size_t n = TextLength(oldLine);
  bool any = false;
  const char16_t* p = list;
  while (*p) {
    const char16_t* end = p;
    while (*end && *end != u'\n') ++end;
    if (static_cast<size_t>(end - p) == n && SameUnits(p, oldLine, n, true)) {
      out->append(newLine);
      any = true;
    } else {
      out->append(p, end);
    }
    if (*end) out->push_back(u'\n');
    p = *end ? end + 1 : end;
  }
  return any;
}

bool SameLineSet(const char16_t* a, const char16_t* b) {
  std::vector<std::u16string> la = Lines(a), lb = Lines(b);
  if (la.size() != lb.size()) return false;
  std::sort(la.begin(), la.end());
  std::sort(lb.begin(), lb.end());
  return la == lb;
}

std::vector<uint8_t> EncodeCollectionFile(const char16_t* list) {
  std::vector<uint8_t> out;
  if (!list || !list[0]) return out;
  size_t n = TextLength(list);
  out.reserve((n + 1) * 2);
  for (size_t i = 0; i <= n; ++i) {
    out.push_back(static_cast<uint8_t>(list[i]));
    out.push_back(static_cast<uint8_t>(list[i] >> 8));
  }
  return out;
}

std::u16string DecodeCollectionFile(const uint8_t* data, size_t size) {
  std::u16string text;
  if (!data) return text;
  size_t units = size / 2;
  text.reserve(units + 1);
  for (size_t i = 0; i < units; ++i) {
    char16_t c = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  std::u16string out;
  out.reserve(text.size() + 1);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    size_t len = end - start;
    if (len > 0 && len < kPathUnits) {
      out.append(text, start, len);
      out.push_back(u'\n');
    }
    start = end + 1;
  }
  return out;
}

bool IsValidCollectionName(const char16_t* name) {
  if (!name) return false;
  size_t n = TextLength(name);
  if (n == 0 || n > kCollectionNameChars) return false;
  for (size_t i = 0; i < n; ++i) {
    char16_t c = name[i];
    if (c < 0x20) return false;
    for (const char16_t* bad = u"\\/:*?\"<>|"; *bad; ++bad) {
      if (c == *bad) return false;
    }
  }
  if (name[n - 1] == u'.' || name[n - 1] == u' ') return false;  // also "." and ".."
  return true;
}

int FindNextFlaggedRow(int* position, int direction, int n, int count, const RowTest& selected) {
  int pos = *position, met = 0, last = -1;
  for (int step = 1; step <= count; ++step) {
    pos = direction ? pos + 1 : pos - 1;
    if (pos >= count) pos = 0;
    if (pos < 0) pos = count - 1;
    if (selected(pos)) {
      ++met;
      last = pos;
      if (met == n) {
        *position = pos;
        return step - 1;
      }
    }
  }
  *position = last;
  return count;
}

int FindNextMatchingRow(int* position, int direction, int n, int count, const RowTest& selected, bool stopAtEnds) {
  if (!stopAtEnds) return FindNextFlaggedRow(position, direction, n, count, selected);
  int pos = *position, met = 0, last = -1, steps = 0;
  bool turned = false;
  if (pos < -1) pos = -1;
  if (pos > count) pos = count;
  while (true) {
    int next = direction ? pos + 1 : pos - 1;
    if (next >= count || next < 0 || steps >= count) {
      if (turned) {
        *position = last;
        return count - 1;
      }
      turned = true;
      direction = !direction;
      steps = 0;
      continue;
    }
    pos = next;
    ++steps;
    if (selected(pos)) {
      ++met;
      last = pos;
      if (met == n) {
        *position = pos;
        return steps - 1;
      }
    }
  }
}

int PagingTarget(int row, int direction, int found, int searchResult, int count, bool stopAtEnds) {
  // A result of count - 1 means the search ran to the far end without a row.
  if (searchResult == count - 1 || found < 0) return row;
  if (stopAtEnds && (direction ? found <= row : found >= row)) return row;
  return found;
}

int AdjustRowForPanes(int row, bool stopAtEnds, int paneCount, int count, const RowTest& selected) {
  if (!stopAtEnds || paneCount <= 1) return row;
  int marked = 0;
  for (int r = 0; r < count; ++r) marked += selected(r) ? 1 : 0;
  if (paneCount >= marked) return row;
  auto after = [&](int from) {
    int k = 0;
    for (int r = from + 1; r < count; ++r) k += selected(r) ? 1 : 0;
    return k;
  };
  while (after(row) < paneCount - 1) {
    int prev = row - 1;
    while (prev >= 0 && !selected(prev)) --prev;
    if (prev < 0) break;
    row = prev;
  }
  return row;
}

int PaneOrderNumber(const int* shownRows, const int* requestedRows, int paneCount, int k) {
  if (k < 0 || k >= paneCount || paneCount > 4) return -1;
  int table[4];
  for (int s = 0; s < paneCount; ++s) table[s] = shownRows[s];
  int r = 0;
  for (int s = 0; s < paneCount; ++s) {
    if (table[s] != -1) continue;
    while (r < paneCount) {
      int v = requestedRows[r++];
      bool shown = false;
      for (int t = 0; t < paneCount; ++t) shown = shown || (v != -1 && table[t] == v);
      if (v == -1 || !shown) {
        table[s] = v;
        break;
      }
    }
  }
  return table[k];
}

bool SplitAtSeparator(char16_t** text, char16_t** head, int index) {
  const char16_t* sep = index == 0 ? u"\t\n\n" : u"\t\n";
  size_t sepLen = index == 0 ? 3 : 2;
  for (char16_t* p = *text; *p; ++p) {
    size_t i = 0;
    while (i < sepLen && p[i] == sep[i]) ++i;
    if (i == sepLen) {
      *head = *text;
      p[0] = 0;
      p[1] = 0;
      *text = p + sepLen;
      return true;
    }
  }
  return false;
}

void FormatProgressText(int processed, int count, char16_t* out) {
  char buf[32];
  if (count <= 0) {
    std::snprintf(buf, sizeof buf, "***/***");
  } else {
    std::snprintf(buf, sizeof buf, "%03d/%03d", processed, count);
  }
  size_t i = 0;
  for (; buf[i]; ++i) out[i] = static_cast<char16_t>(buf[i]);
  out[i] = 0;
}

int ProgressPercent(int processed, int count) {
  // One entry would divide by zero: the bar is full once it is done.
  int span = std::max(count - 1, 1);
  return static_cast<int>(static_cast<float>(processed) / static_cast<float>(span) * 100.0f);
}

int StepPercent(uint32_t steps) {
  return static_cast<int>(static_cast<float>(steps % 1000) / 999.0f * 100.0f);
}

const char16_t* const kActionKindNames[kActionKindCount] = {
    u"復帰(UNDO)", u"ｷｰ割り当て", u"ｱﾌﾟﾘｹｰｼｮﾝ転送", u"ｺﾋﾟｰ", u"移動", u"ｺﾞﾐ箱", u"削除", u"RAW現像(TIFF保存)",
    u"RAW現像(JPEG保存)", u"ｻﾑﾈｲﾙ保存", u"ﾘﾈｰﾑ", u"置換ﾘﾈｰﾑ", u"ﾛｽﾚｽ回転", u"振分け移動", u"ﾌｫﾙﾀﾞ統合"};

bool ActionTextStaysOnVanished(int kind) { return kind == 4 || kind == 5 || kind == 6 || kind == 13 || kind == 14; }

int ActionKindIcon(int kind) {
  static const int kIcons[kActionKindCount] = {20, 20, 20, 11, 12, 13, 13, 14, 15, 16, 17, 17, 18, 12, 12};
  return kind >= 0 && kind < kActionKindCount ? kIcons[kind] : -1;
}

const char16_t* EntryActionText(int undoCount, int currentKind, bool vanished) {
  if (undoCount <= 0 || currentKind < 0 || currentKind >= kActionKindCount) return nullptr;
  if (vanished && !ActionTextStaysOnVanished(currentKind)) return nullptr;
  return kActionKindNames[currentKind];
}

int EntryActionStateIcon(int undoCount, int currentKind, bool vanished, const uint8_t* iconEnabled) {
  bool hasCurrent = currentKind >= 0 && currentKind < kActionKindCount;
  if (undoCount <= 0) return vanished ? 9 : -1;
  if (vanished && (!hasCurrent || !ActionTextStaysOnVanished(currentKind))) return 9;
  if (!hasCurrent) return -1;
  int icon = ActionKindIcon(currentKind);
  // Icon 20 has no colour slot and so no switch; the table holds the 20 slots' switches.
  return (!iconEnabled || icon >= 20 || iconEnabled[icon]) ? icon : -1;
}
