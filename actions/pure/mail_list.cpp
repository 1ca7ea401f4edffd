#include "actions/pure/mail_list.h"

#include "core/pure/path_text.h"

bool AppendMailAttachment(char16_t* list, size_t capacity, const char16_t* path) {
  const size_t used = TextLength(list), add = TextLength(path);
  if (add == 0 || used + add + 2 > capacity) return false;
  for (size_t i = 0; i < add; ++i) list[used + i] = path[i];
  list[used + add] = u'?';
  list[used + add + 1] = 0;
  return true;
}

std::vector<std::u16string> SplitMailAttachments(const char16_t* list) {
  std::vector<std::u16string> out;
  std::u16string current;
  for (const char16_t* p = list; p && *p; ++p) {
    if (*p == u'?') {
      if (!current.empty()) out.push_back(current);
      current.clear();
    } else {
      current += *p;
    }
  }
  return out;
}

std::u16string UniqueCopyStem(const std::u16string& stem, std::vector<std::u16string>* taken) {
  std::u16string name = stem;
  for (int n = 2;; ++n) {
    bool used = false;
    for (const auto& t : *taken) used = used || CompareTextNoCase(t.c_str(), name.c_str()) == 0;
    if (!used) break;
    std::u16string suffix;
    for (int v = n; v > 0; v /= 10) suffix.insert(suffix.begin(), static_cast<char16_t>(u'0' + v % 10));
    name = stem + u"_" + suffix;
  }
  taken->push_back(name);
  return name;
}
