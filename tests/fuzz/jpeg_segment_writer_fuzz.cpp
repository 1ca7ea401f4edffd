// The IPTC and comment writers on arbitrary JPEG bytes: a write either is refused or gives a file
// whose segments all fit their length fields and from which the reader takes back what was written.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "metadata/pure/jpeg_segment_writer.h"
#include "metadata/pure/metadata_reader.h"

namespace {
void CheckSegments(const std::vector<uint8_t>& f) {
  size_t pos = 2;
  while (pos + 4 <= f.size() && f[pos] == 0xFF && f[pos + 1] != 0xDA) {
    if (f[pos + 1] == 0xFF || f[pos + 1] == 0x01 || (f[pos + 1] >= 0xD0 && f[pos + 1] <= 0xD7)) {
      ++pos;
      continue;
    }
    const size_t n = size_t(f[pos + 2]) << 8 | f[pos + 3];
    if (n < 2 || pos + 2 + n > f.size()) abort();
    pos += 2 + n;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000) return 0;
  std::vector<uint8_t> file(data, data + size);
  if (file.size() >= 2) {
    file[0] = 0xFF;
    file[1] = 0xD8;
  }
  static char text[kMetadataTextSize];
  static char comment[kJpegCommentSize];

  std::vector<uint8_t> block, out;
  if (!BuildIptcResourceBlock({{5, "fuzz title"}, {25, "kw"}}, block)) abort();
  if (BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size(), out) == SegmentWriteResult::kDone) {
    CheckSegments(out);
    TextBuffer t(text, sizeof text);
    MemoryByteSource src(out.data(), out.size());
    if (!ReadIptcText(src, t) || !strstr(text, "5\t\n\nfuzz title\t\n")) abort();
  }

  const std::string note = "fuzz comment";
  if (BuildJpegWithComment(file.data(), file.size(), reinterpret_cast<const uint8_t*>(note.data()), note.size(), out) ==
      SegmentWriteResult::kDone) {
    CheckSegments(out);
    MemoryByteSource src(out.data(), out.size());
    if (!ReadJpegCommentBytes(src, comment, sizeof comment) || note != comment) abort();
  }
  return 0;
}
