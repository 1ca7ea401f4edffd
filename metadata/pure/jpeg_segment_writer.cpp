#include "metadata/pure/jpeg_segment_writer.h"

#include <cstring>

namespace {

// Record-2 datasets the IPTC tab lists and rewrites; every other dataset passes through untouched.
const uint8_t kEditedDatasets[] = {0,  5,  7,  10, 15, 20, 22, 25, 26, 27,  30,  35,  40,  55,  60,  65,  70,
                                   75, 80, 85, 90, 92, 95, 100, 101, 103, 105, 110, 115, 116, 118, 120, 122};
const char kPhotoshop[] = "Photoshop 3.0";  // with its terminator: 14 bytes

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}
void PutBe16(uint8_t* p, size_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

struct Segment {
  size_t marker;  // position of the marker's 0xFF
  uint16_t code;  // 0xFFxx
  size_t length;  // length field value (0 for SOS)
};

// Finds the segments in front of SOS. False when a length runs past the file or no SOS comes.
bool ScanSegments(const uint8_t* f, size_t size, std::vector<Segment>& out) {
  if (size < 4 || f[0] != 0xFF || f[1] != 0xD8) return false;
  size_t pos = 2;
  for (;;) {
    if (pos + 2 > size || f[pos] != 0xFF) return false;
    while (f[pos + 1] == 0xFF) {  // fill bytes
      if (++pos + 2 > size) return false;
    }
    const uint16_t code = static_cast<uint16_t>(0xFF00 | f[pos + 1]);
    if (code == 0xFFDA) {
      out.push_back({pos, code, 0});
      return true;
    }
    if (code == 0xFFD9) return false;
    // A marker without a length before the scan is not a JPEG the metadata reader can walk: what
    // was written there could never be read back, so such a file is not written to.
    if (code == 0xFF01 || (code >= 0xFFD0 && code <= 0xFFD7)) return false;
    if (pos + 4 > size) return false;
    const size_t length = Be16(f + pos + 2);
    if (length < 2 || length > size - pos - 2) return false;
    out.push_back({pos, code, length});
    pos += 2 + length;
  }
}

// Splices [at, at + removed) of the file out and the insert in.
void Splice(const uint8_t* f, size_t size, size_t at, size_t removed, const uint8_t* insert, size_t insertLength,
            std::vector<uint8_t>& out) {
  out.clear();
  out.reserve(size - removed + insertLength);
  out.insert(out.end(), f, f + at);
  out.insert(out.end(), insert, insert + insertLength);
  out.insert(out.end(), f + at + removed, f + size);
}

struct Dataset {
  size_t start, end;  // raw bytes, tag to the end of the value
  uint8_t record, number;
  bool extended;
  size_t valueAt, valueLength;
};

// Splits an IPTC record into its datasets; only zero bytes may follow the last one.
bool ParseDatasets(const uint8_t* d, size_t n, std::vector<Dataset>& out) {
  size_t pos = 0;
  while (pos < n && d[pos] == 0x1C) {
    if (n - pos < 5) return false;
    Dataset s{pos, 0, d[pos + 1], d[pos + 2], false, 0, 0};
    size_t length = Be16(d + pos + 3);
    pos += 5;
    if (length & 0x8000) {
      const size_t lengthBytes = length & 0x7FFF;
      if (lengthBytes > 4 || n - pos < lengthBytes) return false;
      uint64_t big = 0;
      for (size_t i = 0; i < lengthBytes; ++i) big = big << 8 | d[pos + i];
      pos += lengthBytes;
      if (big > n - pos) return false;
      length = static_cast<size_t>(big);
      s.extended = true;
    }
    if (length > n - pos) return false;
    s.valueAt = pos;
    s.valueLength = length;
    pos += length;
    s.end = pos;
    out.push_back(s);
  }
  for (; pos < n; ++pos)
    if (d[pos] != 0) return false;
  return true;
}

bool IsEdited(const Dataset& s) {
  return s.record == 2 && !s.extended && memchr(kEditedDatasets, s.number, sizeof kEditedDatasets) != nullptr;
}

struct Resource {
  size_t start, dataAt, size, end;  // end: after the pad byte (or at the segment's end)
  uint16_t id;
};

// Walks the 8BIM resources of [begin, end). False unless every resource lies wholly inside and the
// walk reaches the end (zero padding after the last one allowed). padMissing: the last resource
// ends at an odd offset without its pad byte.
bool ParseResources(const uint8_t* f, size_t begin, size_t end, std::vector<Resource>& out, size_t* listEnd,
                    bool* padMissing) {
  size_t pos = begin;
  *padMissing = false;
  while (end - pos >= 4 && memcmp(f + pos, "8BIM", 4) == 0) {
    if (end - pos < 12) return false;
    Resource r{pos, 0, 0, 0, Be16(f + pos + 4)};
    const size_t nameField = (1u + f[pos + 6] + 1u) & ~size_t(1);
    if (end - pos < 6 + nameField + 4) return false;
    const size_t sizeAt = pos + 6 + nameField;
    r.size = Be32(f + sizeAt);
    r.dataAt = sizeAt + 4;
    if (r.size > end - r.dataAt) return false;
    r.end = r.dataAt + r.size;
    if (r.size & 1) {
      if (r.end == end) *padMissing = true;
      else ++r.end;
    }
    out.push_back(r);
    pos = r.end;
  }
  *listEnd = pos;
  for (; pos < end; ++pos)
    if (f[pos] != 0) return false;
  return true;
}

bool CheckBlock(const uint8_t* block, size_t length) {
  if (length < 12 || memcmp(block, "8BIM\x04\x04\0\0", 8) != 0) return false;
  const size_t n = Be32(block + 8);
  return n <= length - 12 && ((n + 1) & ~size_t(1)) == length - 12;
}

const uint8_t kUtf8Declaration[] = {0x1C, 0x01, 90, 0x00, 0x03, 0x1B, '%', 'G'};

}  // namespace

size_t IptcShownLength(const uint8_t* value, size_t n, bool utf8) {
  size_t m = n < kIptcShownValueLimit ? n : kIptcShownValueLimit;
  if (const void* z = memchr(value, 0, m)) return static_cast<size_t>(static_cast<const uint8_t*>(z) - value);
  if (utf8 && m < n)
    while (m > 0 && (value[m] & 0xC0) == 0x80) --m;  // the cut character goes whole
  return m;
}

bool IsUtf8Declaration(const uint8_t* value, size_t n) { return n == 3 && memcmp(value, "\x1b%G", 3) == 0; }

bool BuildIptcResourceBlock(const std::vector<IptcDataset>& datasets, std::vector<uint8_t>& block, bool utf8) {
  block.assign({'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0, 0, 0, 0, 0});
  if (utf8) block.insert(block.end(), kUtf8Declaration, kUtf8Declaration + sizeof kUtf8Declaration);
  block.insert(block.end(), {0x1C, 0x02, 0x00, 0x00, 0x02, 0x00, 0x02});
  for (const IptcDataset& s : datasets) {
    if (s.value.empty()) continue;
    if (s.value.size() > 0x7FFF || block.size() + 5 + s.value.size() > kMaxSegmentLength) return false;
    const uint8_t head[5] = {0x1C, 0x02, s.number, static_cast<uint8_t>(s.value.size() >> 8),
                             static_cast<uint8_t>(s.value.size())};
    block.insert(block.end(), head, head + 5);
    block.insert(block.end(), s.value.begin(), s.value.end());
  }
  const size_t n = block.size() - 12;
  block[8] = static_cast<uint8_t>(n >> 24);
  block[9] = static_cast<uint8_t>(n >> 16);
  block[10] = static_cast<uint8_t>(n >> 8);
  block[11] = static_cast<uint8_t>(n);
  if (n & 1) block.push_back(0);
  // A new APP13 adds 16 bytes (length field and signature) around the block.
  return block.size() + 16 <= kMaxSegmentLength;
}

bool MergeIptcRecords(const uint8_t* oldData, size_t oldLength, const uint8_t* newData, size_t newLength,
                      std::vector<uint8_t>& out) {
  std::vector<Dataset> olds, news;
  if (!ParseDatasets(oldData, oldLength, olds) || !ParseDatasets(newData, newLength, news)) return false;
  out.clear();
  auto copy = [&out](const uint8_t* base, const Dataset& s) { out.insert(out.end(), base + s.start, base + s.end); };
  auto isCharset = [](const Dataset& s) { return s.record == 1 && s.number == 90; };
  // The values are compared in the character set the old record declared.
  bool oldUtf8 = false;
  for (const Dataset& s : olds)
    if (isCharset(s)) oldUtf8 = IsUtf8Declaration(oldData + s.valueAt, s.valueLength);
  // The coded character set is the new block's: the old one would declare a character set the
  // new values may not use. The other envelope datasets stay, the new 1:90 in its place by number.
  // A block in the code page declares nothing; over a record declaring another set than UTF-8 the
  // old declaration stays, as the values the user did not edit are still in that set.
  const Dataset* charset = nullptr;
  for (const Dataset& s : news)
    if (isCharset(s)) charset = &s;
  const bool keepOldCharset = !charset && !oldUtf8;
  for (const Dataset& s : olds) {
    if (s.record >= 2 || (isCharset(s) && !keepOldCharset)) continue;
    if (charset && s.record == 1 && s.number > 90) {
      copy(newData, *charset);
      charset = nullptr;
    }
    copy(oldData, s);
  }
  if (charset) copy(newData, *charset);
  std::vector<bool> used(olds.size(), false);
  for (const Dataset& s : news) {
    if (s.record != 2) continue;
    // The record version is nobody's edit: the file's stays.
    if (s.number == 0) {
      size_t i = 0;
      while (i < olds.size() && !(IsEdited(olds[i]) && olds[i].number == 0)) ++i;
      if (i < olds.size()) {
        used[i] = true;
        copy(oldData, olds[i]);
        continue;
      }
    }
    // A value the reader could only show cut comes back as that cut text: keep the original.
    bool kept = false;
    for (size_t i = 0; i < olds.size() && !kept; ++i) {
      const Dataset& o = olds[i];
      if (used[i] || !IsEdited(o) || o.number != s.number || o.number == 0) continue;
      const uint8_t* v = oldData + o.valueAt;
      const size_t shown = IptcShownLength(v, o.valueLength, oldUtf8);
      if (shown == o.valueLength || shown != s.valueLength || memcmp(v, newData + s.valueAt, shown) != 0) continue;
      used[i] = kept = true;
      copy(oldData, o);
    }
    if (!kept) copy(newData, s);
  }
  for (const Dataset& s : olds)
    if (s.record == 2 && !IsEdited(s)) copy(oldData, s);
  for (const Dataset& s : olds)
    if (s.record > 2) copy(oldData, s);
  return true;
}

SegmentWriteResult BuildJpegWithIptc(const uint8_t* f, size_t size, const uint8_t* block, size_t blockLength,
                                     std::vector<uint8_t>& out) {
  if (size < 2 || f[0] != 0xFF || f[1] != 0xD8) return SegmentWriteResult::kNotJpeg;
  if (!CheckBlock(block, blockLength)) return SegmentWriteResult::kBadBlock;
  std::vector<Segment> segments;
  if (!ScanSegments(f, size, segments)) return SegmentWriteResult::kBadStructure;
  for (const Segment& s : segments) {
    if (s.code == 0xFFDA) {
      if (blockLength + 16 > kMaxSegmentLength) return SegmentWriteResult::kTooLarge;
      std::vector<uint8_t> seg(4 + 14);
      seg[0] = 0xFF;
      seg[1] = 0xED;
      PutBe16(&seg[2], blockLength + 16);
      memcpy(&seg[4], kPhotoshop, 14);
      seg.insert(seg.end(), block, block + blockLength);
      Splice(f, size, s.marker, 0, seg.data(), seg.size(), out);
      return SegmentWriteResult::kDone;
    }
    if (s.code != 0xFFED) continue;
    const size_t dataAt = s.marker + 4, dataEnd = s.marker + 2 + s.length;
    if (dataEnd - dataAt < 14 || memcmp(f + dataAt, kPhotoshop, 14) != 0) return SegmentWriteResult::kForeignApp13;
    std::vector<Resource> resources;
    size_t listEnd = 0;
    bool padMissing = false;
    if (!ParseResources(f, dataAt + 14, dataEnd, resources, &listEnd, &padMissing))
      return SegmentWriteResult::kBadResources;
    std::vector<uint8_t> insert;
    size_t at = listEnd, removed = 0;
    const Resource* old = nullptr;
    for (const Resource& r : resources)
      if (r.id == 1028) {
        old = &r;
        break;
      }
    if (old) {
      std::vector<uint8_t> records;
      if (!MergeIptcRecords(f + old->dataAt, old->size, block + 12, Be32(block + 8), records))
        return SegmentWriteResult::kBadResources;
      insert.assign(block, block + 8);
      const size_t n = records.size();
      const uint8_t sizeBytes[4] = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                                    static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
      insert.insert(insert.end(), sizeBytes, sizeBytes + 4);
      insert.insert(insert.end(), records.begin(), records.end());
      if (n & 1) insert.push_back(0);
      at = old->start;
      removed = old->end - old->start;
      // The replaced resource was the last one and had no pad byte: the new one carries its own.
    } else {
      if (padMissing) insert.push_back(0);  // keep the appended resource at an even offset
      insert.insert(insert.end(), block, block + blockLength);
    }
    const size_t newLength = s.length - removed + insert.size();
    if (newLength > kMaxSegmentLength) return SegmentWriteResult::kTooLarge;
    Splice(f, size, at, removed, insert.data(), insert.size(), out);
    PutBe16(&out[s.marker + 2], newLength);
    return SegmentWriteResult::kDone;
  }
  return SegmentWriteResult::kBadStructure;
}

SegmentWriteResult BuildJpegWithComment(const uint8_t* f, size_t size, const uint8_t* text, size_t textLength,
                                        std::vector<uint8_t>& out) {
  if (size < 2 || f[0] != 0xFF || f[1] != 0xD8) return SegmentWriteResult::kNotJpeg;
  if (textLength > kMaxCommentBytes) return SegmentWriteResult::kTooLarge;
  std::vector<Segment> segments;
  if (!ScanSegments(f, size, segments)) return SegmentWriteResult::kBadStructure;
  std::vector<uint8_t> seg(4);
  seg[0] = 0xFF;
  seg[1] = 0xFE;
  PutBe16(&seg[2], textLength + 2);
  seg.insert(seg.end(), text, text + textLength);
  for (const Segment& s : segments) {
    if (s.code == 0xFFFE) {
      Splice(f, size, s.marker, s.length + 2, seg.data(), seg.size(), out);
      return SegmentWriteResult::kDone;
    }
    if (s.code == 0xFFDA) {
      Splice(f, size, s.marker, 0, seg.data(), seg.size(), out);
      return SegmentWriteResult::kDone;
    }
  }
  return SegmentWriteResult::kBadStructure;
}
