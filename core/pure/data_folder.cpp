#include "core/pure/data_folder.h"

#include <string>

#include "core/pure/path_text.h"

namespace {

void AppendFolder(std::u16string& path, const char16_t* folder) {
  if (!*folder) return;
  if (!path.empty() && path.back() != u'\\') path += u'\\';
  path += folder;
}

}  // namespace

bool BuildDataFolderPath(const char16_t* programFolder, const char16_t* setting, const char16_t* leaf, char16_t* out,
                         size_t capacity) {
  const bool absolute = (setting[0] && setting[1] == u':') || (setting[0] == u'\\' && setting[1] == u'\\');
  std::u16string path;
  if (!absolute) AppendFolder(path, programFolder);
  AppendFolder(path, setting);
  AppendFolder(path, leaf);
  path += u'\\';
  return FoldDotDotSegments(path.c_str(), out, capacity);
}
