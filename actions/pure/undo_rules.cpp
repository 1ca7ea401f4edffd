#include "actions/pure/undo_rules.h"

#include <cstdlib>
#include <cstring>

#include "actions/pure/action_table.h"
#include "core/pure/path_text.h"

std::u16string FormatHistoryLine(int32_t kind, const char16_t* name, int32_t result) {
  static const char16_t* const kResults[3] = {u"NG!", u"OK!", u"Skip!"};
  std::u16string line = ActionKindShortName(kind == -2 ? 14 : kind);
  line += u":";
  line += name ? name : u"";
  line += u"->";
  line += kResults[result >= 0 && result <= 2 ? result : 0];
  return line;
}

int32_t HistoryIconIndex(int32_t kind, int32_t result) {
  const int32_t base = kind == -2 ? 13 : kind;
  return result == 1 ? base : base + 14;
}

bool PushUndoRecord(ImageEntry* entry, int32_t kind, const char16_t* text, size_t units) {
  const int32_t index = (entry->currentUndo < -1 ? -1 : entry->currentUndo) + 1;
  auto* records = static_cast<UndoRecord*>(std::calloc(static_cast<size_t>(index) + 1, sizeof(UndoRecord)));
  if (!records) return false;
  const int32_t keep = entry->undoRecords ? (index < entry->undoCount ? index : entry->undoCount) : 0;
  if (keep > 0) std::memcpy(records, entry->undoRecords, sizeof(UndoRecord) * static_cast<size_t>(keep));
  records[index].kind = static_cast<uint8_t>(kind);
  char16_t* field = records[index].path;
  if (text && units > 0) {
    std::memcpy(field, text, (units < kEntryPathChars ? units : kEntryPathChars) * sizeof(char16_t));
  } else if (text) {
    for (size_t i = 0; i + 1 < kEntryPathChars && text[i]; ++i) field[i] = text[i];
  }
  std::free(entry->undoRecords);
  entry->undoRecords = records;
  entry->currentUndo = index;
  entry->undoCount = index + 1;
  return true;
}

void FreeUndoRecords(ImageEntry* entry) {
  std::free(entry->undoRecords);
  entry->undoRecords = nullptr;
  entry->undoCount = 0;
  entry->currentUndo = -1;
}

const UndoRecord* CurrentUndoRecord(const ImageEntry* entry) {
  if (!entry->undoRecords || entry->currentUndo < 0 || entry->currentUndo >= entry->undoCount) return nullptr;
  return &entry->undoRecords[entry->currentUndo];
}

void PopUndoRecord(ImageEntry* entry) {
  if (!CurrentUndoRecord(entry)) return;
  entry->undoRecords[entry->currentUndo].kind = 0;
  --entry->currentUndo;
}

bool IsEntryFileInPlaceRule(const ImageEntry* entry) {
  const UndoRecord* r = CurrentUndoRecord(entry);
  return !r || !IsFileGoneKind(r->kind);
}

bool AppendFolderSeparator(char16_t* folder, size_t capacity) {
  const size_t n = TextLength(folder);
  if (n == 0 || folder[n - 1] == u'\\') return true;
  if (n + 2 > capacity) return false;
  folder[n] = u'\\';
  folder[n + 1] = 0;
  return true;
}

bool ResolveAgainstImageFolder(const char16_t* imagePath, const char16_t* folder, char16_t* out, size_t capacity) {
  std::u16string joined;
  if (folder[0] && folder[1] == u':') {
    joined = folder;
  } else {
    const size_t n = TextLength(imagePath);
    size_t cut = 0;
    for (size_t i = 0; i < n; ++i)
      if (imagePath[i] == u'\\') cut = i + 1;
    joined.assign(imagePath, cut);
    joined += folder;
  }
  if (joined.size() + 1 > capacity) return false;
  return FoldDotDotSegments(joined.c_str(), out, capacity);
}

bool BuildRenamedProduct(const char16_t* folder, const char16_t* name, const char16_t* extension, char16_t* out,
                         size_t capacity) {
  std::u16string stem = name;
  size_t start = stem.find_last_of(u"\\/");
  start = start == std::u16string::npos ? 0 : start + 1;
  const size_t dot = stem.find_last_of(u'.');
  if (dot != std::u16string::npos && dot >= start) stem.resize(dot);
  const std::u16string full = std::u16string(folder) + stem.substr(start) + extension;
  if (full.size() + 1 > capacity) return false;
  std::memcpy(out, full.c_str(), (full.size() + 1) * sizeof(char16_t));
  return true;
}

bool BuildUndoProductPath(int32_t kind, const char16_t* recordText, const char16_t* entryPath, char16_t* out,
                          size_t capacity) {
  char16_t folder[kPathUnits] = {};
  size_t n = 0;
  while (n < 252 && recordText[n]) ++n;  // the stamp may follow the terminator
  if (n >= 252) return false;
  std::memcpy(folder, recordText, n * sizeof(char16_t));
  if (!AppendFolderSeparator(folder, kPathUnits)) return false;
  char16_t resolved[kPathUnits] = {};
  if (!ResolveAgainstImageFolder(entryPath, folder, resolved, kPathUnits)) return false;
  char16_t name[kPathUnits] = {};
  GetFileNamePart(entryPath, name);
  if (kind == 3 || kind == 4 || kind == 13) {
    const std::u16string full = std::u16string(resolved) + name;
    if (full.size() + 1 > capacity) return false;
    std::memcpy(out, full.c_str(), (full.size() + 1) * sizeof(char16_t));
    return true;
  }
  return BuildRenamedProduct(resolved, name, kind == 7 ? u".tiff" : u".jpg", out, capacity);
}

namespace {
constexpr size_t kStampAt = 253;
constexpr char16_t kStampMark = 0xF5A7;
}  // namespace

bool StoreProductStamp(char16_t* text, const ProductStamp& s) {
  size_t n = 0;
  while (n < kStampAt && text[n]) ++n;
  if (n >= kStampAt - 1) return false;
  for (size_t i = n; i < kPathUnits; ++i) text[i] = 0;
  text[kStampAt] = kStampMark;
  const uint32_t words[3] = {s.size, s.timeLow, s.timeHigh};
  for (int i = 0; i < 3; ++i) {
    text[kStampAt + 1 + 2 * i] = static_cast<char16_t>(words[i] & 0xFFFF);
    text[kStampAt + 2 + 2 * i] = static_cast<char16_t>(words[i] >> 16);
  }
  return true;
}

bool ReadProductStamp(const char16_t* text, ProductStamp* s) {
  size_t n = 0;
  while (n < kStampAt && text[n]) ++n;
  if (n >= kStampAt - 1 || text[kStampAt] != kStampMark) return false;
  uint32_t words[3];
  for (int i = 0; i < 3; ++i)
    words[i] = static_cast<uint32_t>(text[kStampAt + 1 + 2 * i]) | static_cast<uint32_t>(text[kStampAt + 2 + 2 * i]) << 16;
  s->size = words[0];
  s->timeLow = words[1];
  s->timeHigh = words[2];
  return true;
}

int32_t OrientationCycleIndex(int32_t value) {
  switch (value) {
    case 1: return 0;
    case 6: return 1;
    case 3: return 2;
    case 8: return 3;
    default: return -1;
  }
}

int32_t RotatedOrientation(int32_t value, int32_t quarterTurns) {
  static const int32_t kCycle[4] = {1, 6, 3, 8};
  const int32_t index = OrientationCycleIndex(value);
  if (index < 0) return 0;
  return kCycle[(((index + quarterTurns) % 4) + 4) % 4];
}

bool EncodeOrientation(int32_t value, int32_t byteOrder, uint8_t out[2]) {
  if (value < 0 || value > 0xFFFF) return false;
  if (byteOrder == 1) {
    out[0] = static_cast<uint8_t>(value & 0xFF);
    out[1] = static_cast<uint8_t>(value >> 8);
    return true;
  }
  if (byteOrder == 2) {
    out[0] = static_cast<uint8_t>(value >> 8);
    out[1] = static_cast<uint8_t>(value & 0xFF);
    return true;
  }
  return false;
}

void StoreRotationUndo(char16_t* text, int32_t orientation, int32_t exifTurns, int32_t userTurns) {
  for (size_t i = 0; i < kPathUnits; ++i) text[i] = 0;
  text[0] = static_cast<char16_t>(orientation & 0xFFFF);
  text[1] = static_cast<char16_t>(exifTurns & 0xFFFF);
  text[2] = static_cast<char16_t>(userTurns & 0xFFFF);
}
