#include "browser/pure/list_pane_rules.h"

#include <initializer_list>

namespace {
size_t Length(const char16_t* s) {
  size_t n = 0;
  while (s && s[n]) ++n;
  return n;
}

// Appends text to out at *used, never past capacity - 1.
void Put(char16_t* out, size_t capacity, size_t* used, const char16_t* text) {
  for (size_t k = 0; text && text[k] && *used + 1 < capacity; ++k) out[(*used)++] = text[k];
  out[*used] = 0;
}

bool Empty(const char16_t* s) { return !s || !s[0]; }

constexpr int kGrip = 4;
constexpr int kMinimumSplit = 64;
}  // namespace

bool ListColumnRightAligned(int column) { return column == 4 || column == 23; }

int ListCellColorIndex(int column, int row, int32_t mediaNumber, int actionIndex) {
  if (column == 23) {
    if (mediaNumber == 0) return 3;
    if (mediaNumber < 0) return 9;
    return (mediaNumber % 2 == 0) ? 7 : 8;
  }
  if (actionIndex >= 0 && actionIndex < kColorSlotCount) return actionIndex;
  return (row % 2 == 0) ? 4 : 5;
}

int ThumbnailLabelColorIndex(int actionIndex) {
  return (actionIndex >= 0 && actionIndex < kColorSlotCount) ? actionIndex : 6;
}

void SplitRenameName(const char16_t* name, char16_t* base, char16_t* extension, size_t capacity) {
  if (!capacity) return;
  size_t n = Length(name), dot = n;
  for (size_t k = n; k > 0; --k)
    if (name[k - 1] == u'.') {
      dot = k - 1;
      break;
    }
  size_t used = 0;
  base[0] = 0;
  for (size_t k = 0; k < dot && used + 1 < capacity; ++k) base[used++] = name[k];
  base[used] = 0;
  used = 0;
  extension[0] = 0;
  Put(extension, capacity, &used, dot < n ? name + dot : u"");
}

bool JoinRenamePath(const char16_t* folder, const char16_t* name, char16_t* out, size_t capacity) {
  size_t total = Length(folder) + Length(name);
  if (total >= 260 || total >= capacity) return false;
  size_t used = 0;
  out[0] = 0;
  Put(out, capacity, &used, folder);
  Put(out, capacity, &used, name);
  return true;
}

void BuildHoverText(const char16_t* const f[kListColumnCount], char16_t* out, size_t capacity) {
  if (!capacity) return;
  size_t used = 0;
  out[0] = 0;
  auto line = [&](const char16_t* label, const char16_t* value, bool last) {
    Put(out, capacity, &used, label);
    Put(out, capacity, &used, value);
    if (!last) Put(out, capacity, &used, u"\n");
  };
  Put(out, capacity, &used, u"File : ");
  line(nullptr, f[0], false);
  line(f[6], Empty(f[6]) ? nullptr : u" Pixel", false);
  line(Empty(f[10]) ? nullptr : u"Date : ", f[10], false);
  for (int c : {8, 11, 12, 13}) line(nullptr, f[c], false);
  line(Empty(f[14]) ? nullptr : u"ISO", f[14], false);
  line(Empty(f[15]) ? nullptr : u"Ev", f[15], false);
  line(nullptr, f[18], false);
  line(nullptr, f[17], false);
  line(Empty(f[21]) ? nullptr : u"Flash : ", f[21], true);
  while (used > 0 && out[used - 1] == u'\n') out[--used] = 0;
}

bool IsOnSplitterGrip(int kind, int width, int height, int splitHeight, int splitWidth, int x, int y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  if (kind == 0 || kind == 1) return y >= splitHeight - kGrip && y < splitHeight;
  int left = kind == 2 ? width - splitWidth : kind == 3 ? splitWidth : -1;
  if (left < 0) return false;
  return x >= left && x < left + kGrip;
}

bool DragSplitter(int kind, int width, int height, int lastX, int lastY, int x, int y, int32_t* splitHeight,
                  int32_t* splitWidth) {
  int32_t* value;
  int extent, next;
  if (kind == 2 || kind == 3) {
    value = splitWidth;
    extent = width;
    next = *value + (kind == 2 ? lastX - x : x - lastX);
  } else {
    value = splitHeight;
    extent = height;
    next = *value + (y - lastY);
  }
  int high = extent - kMinimumSplit;
  if (next < kMinimumSplit || next > high) {
    *value = next < kMinimumSplit ? kMinimumSplit : (high < kMinimumSplit ? kMinimumSplit : high);
    return false;
  }
  *value = next;
  return true;
}

int StepUserRotation(int rotation, int delta, bool reset) {
  if (reset) return 0;
  int r = rotation + delta;
  if (r < 0) return 3;
  if (r >= 4) return 0;
  return r;
}

int NextSplitLayout(int layout) { return (layout >= 0 && layout < 4) ? layout + 1 : 0; }
