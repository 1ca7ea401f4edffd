// Rebuilds a JPEG file's bytes with a new IPTC image resource (APP13 "Photoshop 3.0", 8BIM 1028)
// or a new comment (COM). The caller reads the whole file, builds the new image here and
// replaces the file with it; nothing here touches a file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class SegmentWriteResult {
  kDone,
  kNotJpeg,        // no SOI; a TIFF's IPTC is not written either
  kBadStructure,   // a segment runs past the file, or no SOS before EOI / the end
  kForeignApp13,   // the first APP13 is not a Photoshop resource segment
  kBadResources,   // the 8BIM list or the old IPTC records do not parse to their end
  kBadBlock,       // the resource block handed in is not an 8BIM 1028 resource
  kTooLarge,       // the segment's 16-bit length field would overflow
  kIoFailed,       // the file could not be read or replaced (set by the file side)
};

constexpr size_t kMaxSegmentLength = 65535;          // the length field, which counts itself
constexpr size_t kMaxCommentBytes = kMaxSegmentLength - 2;
// Longest value the reader shows whole; a longer one (or one holding a zero byte) is shown cut.
constexpr size_t kIptcShownValueLimit = 2047;
// The bytes of a value the reader shows: up to its first zero byte and the limit, in UTF-8 never
// inside a character, so the shown text converts back to the same bytes.
size_t IptcShownLength(const uint8_t* value, size_t n, bool utf8);
// A coded character set (1:90) value that declares UTF-8: ESC % G.
bool IsUtf8Declaration(const uint8_t* value, size_t n);

// The resource block as the IPTC tab hands it over: "8BIM", 04 04, 00 00, size N (big-endian),
// 1C 02 00 00 02 00 02, then each dataset; a pad byte when N is odd. Datasets are (number, value
// bytes of the ANSI code page, or of UTF-8 with utf8 set: then the record declares it with 1:90
// in front of 2:00). False when the block would not fit into an APP13 segment of its own.
struct IptcDataset {
  uint8_t number;
  std::string value;
};
bool BuildIptcResourceBlock(const std::vector<IptcDataset>& datasets, std::vector<uint8_t>& block,
                            bool utf8 = false);

// New file bytes with the IPTC block placed: an existing resource 1028 of the first APP13 is
// replaced (its record-1 datasets, its record version, unknown record-2 datasets, datasets of
// later records and values the reader could not show whole are kept; the coded character set is the block's, none
// when it declares none), else the block is appended to that APP13's resources, else a new APP13
// goes in front of SOS.
SegmentWriteResult BuildJpegWithIptc(const uint8_t* file, size_t size, const uint8_t* block, size_t blockLength,
                                     std::vector<uint8_t>& out);

// New file bytes with the first COM segment replaced by the text, or a COM segment inserted in
// front of SOS when there is none.
SegmentWriteResult BuildJpegWithComment(const uint8_t* file, size_t size, const uint8_t* text, size_t textLength,
                                        std::vector<uint8_t>& out);

// The IPTC record of a resource's data joined with new record-2 datasets (see BuildJpegWithIptc).
// False when either does not parse to its end (zero padding allowed).
bool MergeIptcRecords(const uint8_t* oldData, size_t oldLength, const uint8_t* newData, size_t newLength,
                      std::vector<uint8_t>& out);
