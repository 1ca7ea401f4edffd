#include "core/pure/file_types.h"

#include <cstring>

#include "core/pure/path_text.h"

namespace {

struct BuiltInType {
  char16_t extension[4];
  uint32_t flag;
};

const BuiltInType kBuiltInTypes[] = {
    {u"bmp", 0x1},      {u"jpg", 0x2},      {u"png", 0x4},      {u"gif", 0x8},       {u"tif", 0x10},
    {u"crw", 0x20},     {u"cr2", 0x40},     {u"nef", 0x80},     {u"mrw", 0x100},     {u"pef", 0x200},
    {u"orf", 0x400},    {u"raf", 0x800},    {u"sr2", 0x1000},   {u"arw", 0x2000},    {u"dng", 0x4000},
    {u"nrw", 0x8000},   {u"raw", 0x10000},  {u"rw2", 0x20000},  {u"rwl", 0x40000},   {u"mef", 0x80000},
    {u"x3f", 0x100000}, {u"psd", 0x200000}, {u"srw", 0x400000}, {u"fff", 0x800000},  {u"dcr", 0x80000000u},
};

bool SameUnits(const char16_t* a, const char16_t* b, size_t n) { return std::memcmp(a, b, n * sizeof(char16_t)) == 0; }

}  // namespace

void ParseMovieExtensionList(const char16_t* list, MovieExtensionTable& table) {
  std::memset(&table, 0, sizeof table);
  // Drop blanks of both widths and treat the full-width semicolon as ';'.
  char16_t work[kMovieListChars];
  size_t n = 0;
  for (size_t i = 0; i < kMovieListChars - 1 && list[i]; ++i) {
    const char16_t c = list[i];
    if (c == u' ' || c == u'\u3000') continue;
    work[n++] = c == u'\uFF1B' ? u';' : FoldLower(c);
  }
  size_t start = 0;
  for (size_t i = 0; i <= n && table.count < kMovieExtensionMax; ++i) {
    if (i < n && work[i] != u';') continue;
    const size_t len = i - start;
    // A segment closed by ';' counts even when empty (";;" names files without an extension);
    // the open tail after the last ';' only when it holds something.
    if (len < kMovieExtensionChars && (len >= 1 || i < n)) {
      std::memcpy(table.entries[table.count], work + start, len * sizeof(char16_t));
      ++table.count;
    }
    start = i + 1;
  }
}

uint32_t MatchMovieExtension(const char16_t* name, const MovieExtensionTable& table) {
  char16_t ext[kPathUnits];
  GetExtension(name, ext);
  const size_t len = TextLength(ext);
  if (len >= kMovieExtensionChars) return 0;
  ToLowerInPlace(ext);
  for (int32_t i = 0; i < table.count && i < kMovieExtensionMax; ++i)
    if (SameUnits(table.entries[i], ext, len + 1)) return kMovieTypeFlag;
  return 0;
}

uint32_t ClassifyFileName(const char16_t* name, uint32_t enabledTypes, const MovieExtensionTable& table) {
  const size_t n = TextLength(name);
  if (n >= 4) {
    char16_t tail[4];
    for (int i = 0; i < 4; ++i) tail[i] = FoldLower(name[n - 4 + i]);
    if (tail[0] == u'.') {
      for (const auto& t : kBuiltInTypes)
        if ((enabledTypes & t.flag) && SameUnits(tail + 1, t.extension, 3)) return t.flag;
    } else if (n >= 5 && name[n - 5] == u'.') {
      // Listed even when JPEG or TIFF files are switched off.
      if (SameUnits(tail, u"jpeg", 4)) return 0x2;
      if (SameUnits(tail, u"tiff", 4)) return 0x10;
    }
  }
  return (enabledTypes & kMovieTypeFlag) ? MatchMovieExtension(name, table) : 0;
}
