#include "core/pure/path_text.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char16_t kForbidden[] = u":;<>?|*/\"";

bool IsForbidden(char16_t c) {
  for (const char16_t* f = kForbidden; *f; ++f)
    if (*f == c) return true;
  return false;
}

bool ContainsForbidden(const char16_t* begin, const char16_t* end) {
  for (const char16_t* p = begin; p < end; ++p)
    if (IsForbidden(*p)) return true;
  return false;
}

bool ContainsDoubleBackslash(const char16_t* begin, const char16_t* end) {
  for (const char16_t* p = begin; p + 1 < end; ++p)
    if (p[0] == u'\\' && p[1] == u'\\') return true;
  return false;
}

bool HasNoBlankComponentIn(const char16_t* begin, const char16_t* end) {
  const char16_t* start = begin;
  for (const char16_t* p = begin;; ++p) {
    if (p == end || *p == u'\\') {
      if (p > start) {
        bool allSpaces = true;
        for (const char16_t* q = start; q < p; ++q)
          if (*q != u' ') { allSpaces = false; break; }
        if (allSpaces) return false;
      }
      if (p == end) return true;
      start = p + 1;
    }
  }
}

// Zeroed work copy of at most kPathUnits - 1 units.
struct WorkPath {
  char16_t text[kPathUnits];
  size_t length;
  explicit WorkPath(const char16_t* src) {
    std::memset(text, 0, sizeof text);
    length = 0;
    while (src[length] && length < kPathUnits - 1) {
      text[length] = src[length];
      ++length;
    }
  }
};

size_t NameStart(const WorkPath& w) {
  size_t start = 0;
  for (size_t i = 0; i < w.length; ++i)
    if (w.text[i] == u'\\' || w.text[i] == u'/') start = i + 1;
  return start;
}

void CopyRange(char16_t* out, const char16_t* begin, size_t count) {
  std::memcpy(out, begin, count * sizeof(char16_t));
  out[count] = 0;
}

// The part that validity checks look at: after "x:" when the path starts with a drive letter.
// Null when the drive is not followed by '\'.
const char16_t* CheckedPart(const char16_t* lowered, size_t length) {
  if (length >= 2 && lowered[1] == u':' && lowered[0] >= u'a' && lowered[0] <= u'z') {
    const char16_t* rest = lowered + 2;
    if (*rest && *rest != u'\\') return nullptr;
    return rest;
  }
  return lowered;
}

bool ReplaceSubstrings(char16_t* text, size_t capacity, const char16_t* oldText, const char16_t* newText, bool all) {
  const size_t textLen = TextLength(text), oldLen = TextLength(oldText);
  if (textLen == 0 || oldLen == 0) return false;
  if (TextLength(newText) == oldLen && std::char_traits<char16_t>::compare(oldText, newText, oldLen) == 0)
    return false;
  std::u16string lowText(text, textLen), lowOld(oldText, oldLen);
  for (auto& c : lowText) c = FoldLower(c);
  for (auto& c : lowOld) c = FoldLower(c);
  std::u16string result;
  size_t pos = 0;
  bool found = false;
  while (pos + oldLen <= textLen) {
    const size_t hit = lowText.find(lowOld, pos);
    if (hit == std::u16string::npos) break;
    result.append(text + pos, hit - pos);
    result.append(newText);
    pos = hit + oldLen;
    found = true;
    if (!all) break;
  }
  if (!found) return false;
  result.append(text + pos, textLen - pos);
  if (result.size() + 1 > capacity) return false;
  CopyRange(text, result.data(), result.size());
  return true;
}

}  // namespace

size_t TextLength(const char16_t* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

bool CopyText(char16_t* out, size_t capacity, const char16_t* src) {
  if (capacity == 0) return false;
  const size_t n = TextLength(src);
  if (n + 1 > capacity) {
    out[0] = 0;
    return false;
  }
  CopyRange(out, src, n);
  return true;
}

char16_t FoldLower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
    return char16_t(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return char16_t(c + 0x50);
  return c;
}

char16_t FoldUpper(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F) || (c >= 0xFF41 && c <= 0xFF5A))
    return char16_t(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return char16_t(c - 0x50);
  return c;
}

void ToLowerInPlace(char16_t* text) {
  for (; *text; ++text) *text = FoldLower(*text);
}

void ToUpperInPlace(char16_t* text) {
  for (; *text; ++text) *text = FoldUpper(*text);
}

void GetFileNamePart(const char16_t* path, char16_t* out) {
  WorkPath w(path);
  const size_t start = NameStart(w);
  CopyRange(out, w.text + start, w.length - start);
}

void GetFolderPart(const char16_t* path, char16_t* out) {
  WorkPath w(path);
  CopyRange(out, w.text, NameStart(w));
}

void GetNameWithoutExtension(const char16_t* path, char16_t* out) {
  WorkPath w(path);
  const size_t start = NameStart(w);
  size_t end = w.length;
  for (size_t i = w.length; i > start; --i)
    if (w.text[i - 1] == u'.') { end = i - 1; break; }
  CopyRange(out, w.text + start, end - start);
}

void GetExtension(const char16_t* text, char16_t* out) {
  WorkPath w(text);
  for (size_t i = w.length; i > 0; --i)
    if (w.text[i - 1] == u'.') {
      CopyRange(out, w.text + i, w.length - i);
      return;
    }
  out[0] = 0;
}

void GetDriveRoot(const char16_t* path, char16_t* out) {
  WorkPath w(path);
  for (size_t i = 0; i < w.length; ++i)
    if (w.text[i] == u':') {
      CopyRange(out, w.text, w.length < 3 ? w.length : 3);
      return;
    }
  out[0] = 0;
}

bool RemoveBlanks(char16_t* text) {
  char16_t* dst = text;
  bool removed = false;
  for (const char16_t* src = text; *src; ++src) {
    if (*src == u' ') {
      removed = true;
      continue;
    }
    *dst++ = FoldLower(*src);
  }
  *dst = 0;
  return removed;
}

int CompareTextNoCase(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    const char16_t ca = FoldLower(*a), cb = FoldLower(*b);
    if (ca != cb) return ca > cb ? 1 : -1;
    if (ca == 0) return 0;
  }
}

int ComparePaths(const char16_t* a, const char16_t* b) {
  const size_t n = TextLength(a);
  if (n != TextLength(b)) return -1;
  // Paths of one folder differ near the end: the tail rejects most pairs cheaply.
  if (n > 8 && CompareTextNoCase(a + n - 8, b + n - 8) != 0) return -1;
  return CompareTextNoCase(a, b);
}

bool HasNoBlankPathComponent(const char16_t* path) {
  return HasNoBlankComponentIn(path, path + TextLength(path));
}

namespace {

// Both checks: a lower-cased work copy, the drive rule, then the folder part (all of the text
// for a folder) and, for a file, its name. The name itself may be blank.
bool IsValidPath(const char16_t* path, bool isFile) {
  if (TextLength(path) >= kPathUnits) return false;
  WorkPath w(path);
  ToLowerInPlace(w.text);
  const char16_t* check = CheckedPart(w.text, w.length);
  if (!check) return false;
  const char16_t* end = w.text + w.length;
  const char16_t* name = end;
  if (isFile) {
    name = check;
    for (const char16_t* p = check; p < end; ++p)
      if (*p == u'\\') name = p + 1;
    if (name == end || ContainsForbidden(name, end)) return false;
  }
  return !ContainsForbidden(check, name) && HasNoBlankComponentIn(check, name) && !ContainsDoubleBackslash(check, name);
}

}  // namespace

bool IsValidFolderPath(const char16_t* path) { return IsValidPath(path, false); }

bool IsValidFilePath(const char16_t* path) { return IsValidPath(path, true); }

bool IsValidItemName(const char16_t* name) {
  const size_t n = TextLength(name);
  if (n == 0 || n >= kPathUnits) return false;
  if ((n == 1 && name[0] == u'.') || (n == 2 && name[0] == u'.' && name[1] == u'.')) return false;
  for (const char16_t* p = name; *p; ++p)
    if (*p == u'\\' || IsForbidden(*p)) return false;
  return true;
}

bool FoldDotDotSegments(const char16_t* source, char16_t* destination, size_t capacity) {
  const size_t n = TextLength(source);
  // The root is kept as it is and never climbed out of: "X:\", "\\server\share\" or "\".
  size_t root = 0;
  bool rooted = false;
  if (n >= 2 && source[0] == u'\\' && source[1] == u'\\') {
    size_t i = 2, seps = 0;
    while (i < n && seps < 2) {
      if (source[i] == u'\\') ++seps;
      ++i;
    }
    root = i;
    rooted = true;
  } else if (n >= 2 && source[1] == u':') {
    root = (n >= 3 && source[2] == u'\\') ? 3 : 2;
    rooted = root == 3;
  } else if (n >= 1 && source[0] == u'\\') {
    root = 1;
    rooted = true;
  }
  // Segments are the pieces followed by '\'; the tail after the last '\' is kept unchanged.
  std::vector<std::u16string> segments;
  size_t start = root;
  for (size_t i = root; i < n; ++i) {
    if (source[i] != u'\\') continue;
    std::u16string seg(source + start, i - start);
    start = i + 1;
    if (seg == u".") continue;
    if (seg == u"..") {
      if (!segments.empty() && segments.back() != u"..") segments.pop_back();
      else if (!rooted) segments.push_back(seg);
      continue;
    }
    segments.push_back(std::move(seg));
  }
  std::u16string out(source, root);
  for (const auto& seg : segments) {
    out += seg;
    out += u'\\';
  }
  out.append(source + start, n - start);
  return CopyText(destination, capacity, out.c_str());
}

void StripTrailingBackslash(char16_t* path) {
  const size_t n = TextLength(path);
  if (n > 1 && path[n - 1] == u'\\') path[n - 1] = 0;
}

bool JoinFolderAndName(const char16_t* folder, const char16_t* name, char16_t* out, size_t capacity) {
  std::u16string joined(folder, TextLength(folder));
  if (!joined.empty() && joined.back() != u'\\' && joined.back() != u'/') joined += u'\\';
  joined.append(name, TextLength(name));
  return CopyText(out, capacity, joined.c_str());
}

bool MakeLongPath(const char16_t* path, char16_t* out, size_t capacity) {
  const auto separator = [](char16_t c) { return c == u'\\' || c == u'/'; };
  std::u16string text(path, TextLength(path));
  std::u16string prefix;
  size_t from = 0;
  if (text.size() >= 3 && text[1] == u':' && separator(text[2])) {
    prefix = u"\\\\?\\";
  } else if (text.size() >= 3 && separator(text[0]) && separator(text[1]) &&
             !((text[2] == u'?' || text[2] == u'.') && (text.size() == 3 || separator(text[3])))) {
    // "\\server\share" loses its two leading separators to "UNC\".
    prefix = u"\\\\?\\UNC\\";
    from = 2;
  } else {
    return CopyText(out, capacity, path);
  }
  std::u16string result = prefix;
  for (size_t i = from; i < text.size(); ++i) result += text[i] == u'/' ? u'\\' : text[i];
  return CopyText(out, capacity, result.c_str());
}

bool ReplaceFirstSubstring(char16_t* text, size_t capacity, const char16_t* oldText, const char16_t* newText) {
  return ReplaceSubstrings(text, capacity, oldText, newText, false);
}

bool ReplaceAllSubstrings(char16_t* text, size_t capacity, const char16_t* oldText, const char16_t* newText) {
  return ReplaceSubstrings(text, capacity, oldText, newText, true);
}
