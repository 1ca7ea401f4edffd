// Arbitrary UTF-16 text through every path rule: no read or write outside the buffers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/pure/data_folder.h"
#include "core/pure/file_types.h"
#include "core/pure/path_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // First byte splits the input into two texts (a path and a replacement pair or setting).
  if (size < 1) return 0;
  const size_t units = (size - 1) / 2;
  std::vector<char16_t> all(units + 2, 0);
  std::memcpy(all.data(), data + 1, units * 2);
  const size_t cut = units ? data[0] % (units + 1) : 0;
  std::vector<char16_t> a(all.begin(), all.begin() + cut), b(all.begin() + cut, all.begin() + units);
  a.push_back(0);
  b.push_back(0);

  char16_t out[kPathUnits];
  for (auto split : {GetFileNamePart, GetFolderPart, GetNameWithoutExtension, GetExtension, GetDriveRoot}) {
    split(a.data(), out);
    split(b.data(), out);
  }
  ComparePaths(a.data(), b.data());
  IsValidFolderPath(a.data());
  IsValidFilePath(a.data());
  IsValidItemName(b.data());
  FoldDotDotSegments(a.data(), out, kPathUnits);
  BuildDataFolderPath(a.data(), b.data(), u"cache", out, kPathUnits);

  std::vector<char16_t> text(kPathUnits, 0);
  std::memcpy(text.data(), a.data(), std::min<size_t>(a.size() - 1, kPathUnits - 1) * 2);
  const size_t half = (b.size() - 1) / 2;
  std::vector<char16_t> oldText(b.begin(), b.begin() + half), newText(b.begin() + half, b.end());
  oldText.push_back(0);
  ReplaceAllSubstrings(text.data(), kPathUnits, oldText.data(), newText.data());
  ReplaceFirstSubstring(text.data(), kPathUnits, oldText.data(), newText.data());
  RemoveBlanks(text.data());

  std::vector<char16_t> list(kMovieListChars, u'a');
  std::memcpy(list.data(), b.data(), std::min<size_t>(b.size(), kMovieListChars) * 2);
  MovieExtensionTable table;
  ParseMovieExtensionList(list.data(), table);
  ClassifyFileName(a.data(), 0xFFFFFFFFu, table);
  return 0;
}
