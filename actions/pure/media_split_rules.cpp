#include "actions/pure/media_split_rules.h"

#include <string>

#include "core/pure/path_text.h"

namespace {

// The even-out lowers the capacity by at least one file per pass; tiny files could make that
// crawl, so it gives up after this many passes and keeps the assignment of the first.
constexpr int32_t kMaxEvenOutPasses = 4096;

struct Pass {
  int32_t media;
  int64_t total;
  int32_t files;
  bool oversize;
};

Pass RunPass(const MediaSplitItem* items, size_t count, int64_t capacity, int32_t* numbers) {
  Pass p{1, 0, 0, false};
  for (size_t i = 0; i < count; ++i) {
    if (!items[i].present) {
      numbers[i] = 0;
      continue;
    }
    const int64_t size = items[i].size;
    if (size > capacity) {
      if (p.total != 0 || p.oversize) {
        ++p.media;
        p.files = 0;
      }
      p.total = 0;
      numbers[i] = -p.media;
      p.oversize = true;
    } else {
      if (p.total + size > capacity) {
        ++p.media;
        p.files = 0;
        p.total = size;
      } else {
        p.total += size;
      }
      numbers[i] = p.media;
    }
    ++p.files;
  }
  return p;
}

}  // namespace

MediaSplitResult ComputeMediaSplitNumbers(const MediaSplitItem* items, size_t count, int64_t capacity, bool evenOut,
                                          int32_t* numbers) {
  Pass pass = RunPass(items, count, capacity, numbers);
  MediaSplitResult result{pass.media, pass.total, pass.files, pass.oversize, 1};
  if (!evenOut) return result;
  const int32_t media = pass.media;
  int64_t lowering = 0;
  while (pass.media == media && media > 1 && pass.files > media && result.passes < kMaxEvenOutPasses) {
    // The smallest file of the last medium, at most the medium's total; empty files cannot
    // lower anything and are passed over.
    int64_t lower = pass.total;
    int32_t seen = 0;
    for (size_t i = count; i > 0 && seen < pass.files; --i) {
      const MediaSplitItem& item = items[i - 1];
      if (item.present && item.size > 0 && item.size < lower) lower = item.size;
      if (item.present) ++seen;
    }
    if (lower <= 0) break;
    capacity -= lower;
    lowering = lower;
    pass = RunPass(items, count, capacity, numbers);
    ++result.passes;
  }
  if (lowering) {
    pass = RunPass(items, count, capacity + lowering, numbers);
    ++result.passes;
  }
  result.oversize = pass.oversize;
  return result;
}

bool FormatMediaFolder(const char16_t* base, int32_t digits, int32_t number, char16_t* out, size_t capacity) {
  if (digits < 0 || digits > 3) digits = 1;
  std::string n = std::to_string(number);
  if (n.size() < size_t(digits + 1)) n.insert(0, size_t(digits + 1) - n.size(), '0');
  std::u16string text = base;
  text += std::u16string(n.begin(), n.end());
  text += u'\\';
  return CopyText(out, capacity, text.c_str());
}
