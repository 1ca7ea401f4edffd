// Shared body of the metadata reader's fuzz targets: every entry point on the input, then the text invariants.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "metadata/pure/metadata_reader.h"

inline void CheckText(const TextBuffer& t) {
  if (t.length >= t.capacity || strlen(t.data) != t.length) abort();
}

inline void RunMetadataReader(const uint8_t* data, size_t size) {
  static char dump[kMetadataTextSize], summary[kMetadataTextSize], iptc[kMetadataTextSize];
  static char comment[kJpegCommentSize];
  MemoryByteSource src(data, size);
  TextBuffer d(dump, sizeof dump), s(summary, sizeof summary), i(iptc, sizeof iptc);
  GpsPosition gps{};
  DumpMetadataText(src, "fuzz", d);
  CheckText(d);
  ReadExifSummaryText(src, s, gps);
  CheckText(s);
  ReadIptcText(src, i);
  CheckText(i);
  if (ReadJpegCommentBytes(src, comment, sizeof comment) && !memchr(comment, 0, sizeof comment)) abort();
}

// Keeps the mutations inside one format family: the input with its magic bytes put back.
inline void RunWithMagic(const uint8_t* data, size_t size, size_t at, const char* magic, size_t magicLength) {
  std::vector<uint8_t> file(data, data + size);
  if (file.size() < at + magicLength) file.resize(at + magicLength, 0);
  memcpy(file.data() + at, magic, magicLength);
  RunMetadataReader(file.data(), file.size());
}
