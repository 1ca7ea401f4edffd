#include "browser/pure/nav_rules.h"

#include "core/pure/path_text.h"

namespace {
bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool CopyRange(const char16_t* begin, size_t count, char16_t* out, size_t capacity) {
  if (count + 1 > capacity) return false;
  for (size_t i = 0; i < count; ++i) out[i] = begin[i];
  out[count] = 0;
  return true;
}
}  // namespace

bool SplitFirstPathComponent(char16_t* path, char16_t* first, size_t firstCapacity) {
  if (!path || !path[0]) return false;
  size_t cut = 0;
  while (path[cut] && path[cut] != u'\\') ++cut;
  if (!CopyRange(path, cut, first, firstCapacity)) return false;
  if (!path[cut]) {
    path[0] = 0;
    return true;
  }
  size_t i = 0;
  for (size_t j = cut + 1;; ++i, ++j) {
    path[i] = path[j];
    if (!path[j]) break;
  }
  return true;
}

ShellPathKind SplitShellPath(const char16_t* path, char16_t* root, size_t rootCapacity, char16_t* rest,
                             size_t restCapacity) {
  if (!path) return ShellPathKind::kNone;
  const size_t length = TextLength(path);
  if (length >= 2 && IsDriveLetter(path[0]) && path[1] == u':' && (length == 2 || path[2] == u'\\')) {
    const char16_t r[4] = {path[0], u':', u'\\', 0};
    if (!CopyText(root, rootCapacity, r)) return ShellPathKind::kNone;
    // A trailing "\" of the root adds no component.
    const char16_t* tail = path + 2;
    if (tail[0] == u'\\' && !tail[1]) tail += 1;
    if (!CopyText(rest, restCapacity, tail)) return ShellPathKind::kNone;
    return ShellPathKind::kDrive;
  }
  if (length > 2 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'\\') {
    size_t cut = 2;
    while (cut < length && cut < kPathUnits && path[cut] != u'\\') ++cut;
    if (!CopyRange(path, cut, root, rootCapacity)) return ShellPathKind::kNone;
    if (!CopyText(rest, restCapacity, cut < length ? path + cut + 1 : u"")) return ShellPathKind::kNone;
    return ShellPathKind::kUnc;
  }
  return ShellPathKind::kNone;
}

bool AppendBounded(char16_t* out, size_t capacity, const char16_t* text) {
  const size_t have = TextLength(out), add = TextLength(text);
  if (have + add + 1 > capacity) return false;
  for (size_t i = 0; i <= add; ++i) out[have + i] = text[i];
  return true;
}

bool DriveRootFromItemText(const char16_t* text, char16_t* out, size_t capacity) {
  if (!text) return false;
  for (size_t i = 1; text[i]; ++i)
    if (text[i] == u':' && IsDriveLetter(text[i - 1]) && (i == 1 || !IsDriveLetter(text[i - 2]))) {
      const char16_t r[4] = {text[i - 1], u':', u'\\', 0};
      return CopyText(out, capacity, r);
    }
  return false;
}

bool FileSystemPathFromDisplayPath(const char16_t* display, char16_t* out, size_t capacity) {
  if (!display || !out || capacity == 0) return false;
  char16_t work[kPathUnits * 2], component[kPathUnits * 2];
  if (!CopyText(work, sizeof work / sizeof work[0], display)) return false;
  bool found = false;
  out[0] = 0;
  while (SplitFirstPathComponent(work, component, sizeof component / sizeof component[0])) {
    if (!found) {
      found = DriveRootFromItemText(component, out, capacity);
      continue;
    }
    const size_t have = TextLength(out);
    if (have && out[have - 1] != u'\\' && !AppendBounded(out, capacity, u"\\")) return false;
    if (!AppendBounded(out, capacity, component)) return false;
  }
  if (!found) out[0] = 0;
  return found;
}

bool IsFolderCommandTarget(const char16_t* path) {
  if (!path) return false;
  const size_t length = TextLength(path);
  if (length >= kPathUnits) return false;
  if (length > 3 && IsDriveLetter(path[0]) && path[1] == u':' && path[2] == u'\\') return true;
  if (length > 2 && path[0] == u'\\' && path[1] == u'\\') {
    // Below "\\server\share": at least three non-empty components.
    int components = 0;
    bool inComponent = false;
    for (size_t i = 2; i < length; ++i) {
      if (path[i] == u'\\') inComponent = false;
      else if (!inComponent) inComponent = true, ++components;
    }
    return components >= 3;
  }
  return false;
}

bool BuildChildFolderPath(const char16_t* folder, const char16_t* name, char16_t* out, size_t capacity) {
  if (!folder || !name || !name[0]) return false;
  for (const char16_t* p = name; *p; ++p)
    if (*p == u'\\') return false;
  const size_t f = TextLength(folder), n = TextLength(name);
  const bool slash = f == 0 || folder[f - 1] != u'\\';
  const size_t total = f + (slash ? 1 : 0) + n;
  if (total >= kPathUnits || total + 1 > capacity) return false;
  size_t k = 0;
  for (size_t i = 0; i < f; ++i) out[k++] = folder[i];
  if (slash) out[k++] = u'\\';
  for (size_t i = 0; i < n; ++i) out[k++] = name[i];
  out[k] = 0;
  return true;
}

bool BuildRenamedFolderPath(const char16_t* oldPath, const char16_t* newName, char16_t* out, size_t capacity) {
  if (!oldPath) return false;
  size_t cut = TextLength(oldPath);
  while (cut > 0 && oldPath[cut - 1] != u'\\') --cut;
  if (cut == 0) return false;
  char16_t parent[kPathUnits];
  if (!CopyRange(oldPath, cut, parent, kPathUnits)) return false;
  return BuildChildFolderPath(parent, newName, out, capacity);
}

bool IsSearchResultName(const char16_t* name) {
  static const char16_t kPrefix[] = u"検索結果";
  if (!name) return false;
  for (size_t i = 0; kPrefix[i]; ++i)
    if (name[i] != kPrefix[i]) return false;
  return true;
}
