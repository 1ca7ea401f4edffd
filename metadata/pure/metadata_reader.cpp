// Exif/TIFF directory walking, maker notes and the format front ends of the metadata reader.
// Everything read from the file is checked against the bytes actually read: a damaged file
// gives less text, never a crash, an endless walk or a read outside its buffers.
#include "metadata/pure/metadata_reader.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "metadata/pure/jpeg_segment_writer.h"
#include "metadata/pure/metadata_tables.h"

size_t MemoryByteSource::ReadAt(uint64_t offset, uint8_t* dst, size_t n) {
  if (offset >= size_) return 0;
  size_t left = size_ - static_cast<size_t>(offset);
  if (n > left) n = left;
  memcpy(dst, data_ + offset, n);
  return n;
}

// Zero bytes inside a value are dropped: the text is read as one zero-terminated string.
void TextBuffer::Append(const char* text, size_t n) {
  for (size_t i = 0; i < n && length + 1 < capacity; ++i)
    if (text[i]) data[length++] = text[i];
  if (capacity) data[length < capacity ? length : capacity - 1] = 0;
}

void TextBuffer::Append(const char* text) { Append(text, strlen(text)); }

void TextBuffer::Printf(const char* format, ...) {
  char tmp[512];
  va_list ap;
  va_start(ap, format);
  int n = vsnprintf(tmp, sizeof tmp, format, ap);
  va_end(ap);
  if (n < 0) return;
  Append(tmp, static_cast<size_t>(n) < sizeof tmp ? static_cast<size_t>(n) : sizeof tmp - 1);
}

namespace {

constexpr size_t kBlockSize = 4096;
constexpr int kMaxDepth = 8;
constexpr int kMaxEntries = 20000;        // directory entries per file, all directories together
constexpr int kMaxDirectories = 256;
constexpr size_t kMaxResourceBlock = 64u << 20;

std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string Format(const char* format, ...) {
  char tmp[256];
  va_list ap;
  va_start(ap, format);
  int n = vsnprintf(tmp, sizeof tmp, format, ap);
  va_end(ap);
  if (n < 0) return std::string();
  return std::string(tmp, static_cast<size_t>(n) < sizeof tmp ? static_cast<size_t>(n) : sizeof tmp - 1);
}

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }

// True when the bytes hold the zero-terminated text (the terminator must be inside the bytes).
bool HeaderIs(const uint8_t* p, size_t n, const char* text) {
  size_t len = strlen(text);
  return n > len && memcmp(p, text, len) == 0 && p[len] == 0;
}

size_t TypeSize(uint16_t type) {
  static const uint8_t kSizes[14] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
  return type < 14 ? kSizes[type] : 0;
}

struct Block {
  std::vector<uint8_t> bytes;
  uint64_t fileOffset = 0;
};

// One tag's value as fetched: where its bytes are, how many of them could be read.
struct Value {
  const uint8_t* p = nullptr;
  size_t avail = 0;        // bytes readable at p
  uint16_t type = 0;
  uint32_t count = 0;      // the entry's count
  uint32_t shownCount = 0; // the count after the dump's limit of two values
  bool inlineField = false;
  uint32_t field = 0;      // the entry's 4-byte value-or-offset field
  uint64_t fileOffset = 0; // absolute file position of the value bytes
};

struct Reader;
using Formatter = std::string (*)(Reader&, const Value&);

enum Special : uint8_t {
  kPlain,
  kExifIfd,
  kNikonThm,
  kMakerTag,
  kSubIfd,
  kPanaThm,
  kCg3chk,
  kMakerNote,
  kOlympusEquipment,
  kOlympusCamera,
  kGpsIfd,
  kIptcTag,
};

struct TagDef {
  uint16_t tag;
  const char* key;
  const char* format;
  const CodeText* codes;
  Formatter formatter;
  Special special;
};

enum class Maker { kNone, kCanon, kNikon, kPentax, kSony, kMinolta, kOlympus, kPanasonic };

struct Reader {
  ByteSource& src;
  uint64_t size;
  TextBuffer* out = nullptr;
  GpsPosition* gps = nullptr;
  bool* iptcUtf8 = nullptr;  // set when the IPTC record declares UTF-8 (1:90)
  bool little = false;
  uint64_t exifBase = 0;  // TIFF header of a JPEG/X3F Exif block
  uint64_t rafBase = 0;
  uint64_t mrwBase = 0;
  int64_t adjust = 0;     // added to every out-of-line value offset
  bool inMakerNote = false;
  int variant = 0;
  uint64_t nikonBase = 0;
  Maker maker = Maker::kNone;
  std::set<uint64_t> visited;
  int entries = 0;
  int directories = 0;

  explicit Reader(ByteSource& s) : src(s), size(s.Size()) {}
  uint16_t U16(const uint8_t* p) const { return little ? Le16(p) : Be16(p); }
  uint32_t U32(const uint8_t* p) const { return little ? Le32(p) : Be32(p); }
  void ResetState() {
    adjust = 0;
    inMakerNote = false;
    variant = 0;
    nikonBase = 0;
  }
  bool Read(uint64_t offset, size_t n, Block& b) {
    b.bytes.resize(n);
    b.fileOffset = offset;
    size_t got = offset < size ? src.ReadAt(offset, b.bytes.data(), n) : 0;
    b.bytes.resize(got);
    return got > 0;
  }
  bool ReadExact(uint64_t offset, void* dst, size_t n) {
    return offset < size && src.ReadAt(offset, static_cast<uint8_t*>(dst), n) == n;
  }
  void Put(const std::string& s) { out->Append(s.data(), s.size()); }
  void Put(const char* s) { out->Append(s); }
};

// ---- value formatting ----

std::string LookupCodeText(const CodeText* table, int32_t code) {
  for (const CodeText* row = table; row->text; ++row)
    if (row->code == code) return row->text;
  return Format("0x%08x", static_cast<uint32_t>(code));
}

std::string FormatTagValue(Reader& r, uint16_t type, const uint8_t* p, int mode) {
  switch (type) {
    case 1:
    case 7:
      return Format("%d", p[0]);
    case 6:
      return Format("%d", static_cast<int8_t>(p[0]));
    case 3:
      return Format("%d", r.U16(p));
    case 8:
      return Format("%d", static_cast<int16_t>(r.U16(p)));
    case 4:
    case 9:
      return Format("%ld", static_cast<long>(static_cast<int32_t>(r.U32(p))));
    case 5: {
      int64_t n = r.U32(p), d = r.U32(p + 4);
      if (d == 0) return std::string();
      if (n == 0) return "0";
      if (d == 1) return Format("%lld", static_cast<long long>(n));
      if (n % d == 0) return Format("%lld", static_cast<long long>(n / d));
      if (mode == 1) return Format("%.1f", static_cast<double>(n) / static_cast<double>(d));
      if (d % n != 0) return Format("%lld/%lld", static_cast<long long>(n), static_cast<long long>(d));
      return Format("1/%lld", static_cast<long long>(d / n));
    }
    case 10: {
      int64_t n = static_cast<int32_t>(r.U32(p)), d = static_cast<int32_t>(r.U32(p + 4));
      if (d == 0) return std::string();
      if (n == 0) return "0";
      if (d == 1) return Format("%lld", static_cast<long long>(n));
      if (n % d == 0) return Format("%lld", static_cast<long long>(n / d));
      double x = static_cast<double>(n) / static_cast<double>(d);
      return mode == 1 ? Format("%.2f", x) : Format("%1.1f", x);
    }
    case 11: {
      uint32_t bits = r.U32(p);
      float f;
      memcpy(&f, &bits, 4);
      return Format("%f", static_cast<double>(f));
    }
    case 12: {
      double d;
      memcpy(&d, p, 8);
      return Format("%f", d);
    }
    default:
      return std::string();
  }
}

// The value as n/d with both halves, or false when it is not a readable rational with a non-zero divisor.
bool Rational(Reader& r, const Value& v, size_t index, double* out) {
  if (v.type != 5 && v.type != 10) return false;
  if (index >= v.count || (index + 1) * 8 > v.avail) return false;
  const uint8_t* p = v.p + index * 8;
  double n, d;
  if (v.type == 5) {
    n = r.U32(p);
    d = r.U32(p + 4);
  } else {
    n = static_cast<int32_t>(r.U32(p));
    d = static_cast<int32_t>(r.U32(p + 4));
  }
  if (d == 0) return false;
  *out = n / d;
  return true;
}

bool HasElements(const Value& v, size_t elementSize, size_t n) { return v.count >= n && v.avail >= elementSize * n; }

std::string OrientationText(Reader& r, const Value& v) {
  std::string s;
  size_t sz = TypeSize(v.type);
  if (sz && v.avail >= sz && v.count) s = FormatTagValue(r, v.type, v.p, 1);
  s += "\n";
  // Lossless rotation patches two bytes at this offset: give it only for the one layout it can patch.
  if (v.type == 3 && v.count == 1 && v.inlineField)
    s += Format(r.little ? "FlipI%lld\n" : "FlipM%lld\n", static_cast<long long>(v.fileOffset));
  return s;
}

std::string ExposureTimeText(Reader& r, const Value& v) {
  if (v.type != 5 && v.type != 10) return "\n";
  if (!HasElements(v, 8, 1)) return "\n";
  double n = r.U32(v.p), d = r.U32(v.p + 4);
  if (v.type == 10) {
    n = static_cast<int32_t>(r.U32(v.p));
    d = static_cast<int32_t>(r.U32(v.p + 4));
  }
  if (d == 0 || n == 0) return "\n";
  if (n < d) {
    double q = d / n;
    return Format(q < 3 ? "1/%0.1f\n" : "1/%0.0f\n", q);
  }
  return Format("%0.1f\n", n / d);
}

std::string FNumberText(Reader& r, const Value& v) {
  size_t sz = TypeSize(v.type);
  std::string s = "F";
  if (sz && v.avail >= sz && v.count) s += FormatTagValue(r, v.type, v.p, 1);
  return s + "\n";
}

std::string BiasText(Reader& r, const Value& v) {
  if ((v.type != 5 && v.type != 10) || !HasElements(v, 8, 1)) return "\n";
  float n, d;
  if (v.type == 5) {
    n = static_cast<float>(r.U32(v.p));
    d = static_cast<float>(r.U32(v.p + 4));
  } else {
    n = static_cast<float>(static_cast<int32_t>(r.U32(v.p)));
    d = static_cast<float>(static_cast<int32_t>(r.U32(v.p + 4)));
  }
  if (d == 0) return "\n";
  // Single precision decides the rounding: -13/20 is just above -0.65 as a float and prints -0.6.
  const float x = n / d;
  if (x == 0) return "\x81\x7d" "0\n";  // ± in CP932
  long long tenths = static_cast<long long>(x * 10.0f);
  if (tenths % 10 != 0) return Format(x < 0 ? "%1.1f\n" : "+%1.1f\n", static_cast<double>(x));
  return Format(x < 0 ? "%1.0f\n" : "+%1.0f\n", static_cast<double>(x));
}

std::string FlashText(Reader& r, const Value& v) {
  if (!HasElements(v, 2, 1)) return "\n";
  return (r.U16(v.p) & 1) ? "On\n" : "Off\n";
}

std::string FocalLengthText(Reader& r, const Value& v) {
  double x;
  if (!Rational(r, v, 0, &x)) return "\n";
  return Format("%1.0fmm\n", x);
}

std::string VersionText(Reader&, const Value& v) {
  size_t n = v.shownCount < v.avail ? v.shownCount : v.avail;
  return std::string(reinterpret_cast<const char*>(v.p), n) + "\n";
}

std::string AbsoluteOffsetText(Reader& r, const Value& v) {
  if (!HasElements(v, 4, 1) || TypeSize(v.type) != 4) return "\n";
  return Format("%lld\n", static_cast<long long>(r.U32(v.p) + r.rafBase + r.exifBase));
}

// ---- GPS (summary) formatters: no line feed of their own ----

std::string GpsVersionText(Reader&, const Value& v) {
  if (v.count < 4 || v.avail < 4) return std::string();
  return Format("%d.%d.%d.%d", v.p[0], v.p[1], v.p[2], v.p[3]);
}

std::string GpsReferenceText(Reader& r, const Value& v, bool latitude) {
  if (v.count == 0 || v.avail == 0) return std::string();
  char c = static_cast<char>(v.p[0]);
  if (latitude) {
    if (c == 'N' || c == 'n') { r.gps->south = 0; return "\x96k\x88\xdc"; }  // 北緯
    if (c == 'S' || c == 's') { r.gps->south = 1; return "\x93\xec\x88\xdc"; }  // 南緯
  } else {
    if (c == 'E' || c == 'e') { r.gps->west = 0; return "\x93\x8c\x8co"; }  // 東経
    if (c == 'W' || c == 'w') { r.gps->west = 1; return "\x90\xbc\x8co"; }  // 西経
  }
  return std::string();
}
std::string LatRefText(Reader& r, const Value& v) { return GpsReferenceText(r, v, true); }
std::string LonRefText(Reader& r, const Value& v) { return GpsReferenceText(r, v, false); }

bool Degrees(Reader& r, const Value& v, double* out) {
  double d, m, s;
  if (!Rational(r, v, 0, &d) || !Rational(r, v, 1, &m) || !Rational(r, v, 2, &s)) return false;
  *out = d + m / 60 + s / 3600;
  return true;
}

std::string DmsText(double x) {
  if (!(x > -1e9 && x < 1e9)) return std::string();
  // Split in hundredths of a second so that 44/60 gives 44' 0.00", not 43' 60.00".
  long long hs = llround((x < 0 ? -x : x) * 360000.0);
  int deg = static_cast<int>(hs / 360000);
  int min = static_cast<int>(hs % 360000 / 6000);
  double sec = static_cast<double>(hs % 6000) / 100.0;
  return Format("%s%d\x81\x8b %d' %0.2f\" [DMS]", x < 0 ? "-" : "", deg, min, sec);
}

std::string LatitudeText(Reader& r, const Value& v) {
  double x;
  if (!Degrees(r, v, &x)) return std::string();
  r.gps->latitude = x;
  return DmsText(x);
}
std::string LongitudeText(Reader& r, const Value& v) {
  double x;
  if (!Degrees(r, v, &x)) return std::string();
  r.gps->longitude = x;
  return DmsText(x);
}
std::string DestinationText(Reader& r, const Value& v) {
  double x;
  return Degrees(r, v, &x) ? DmsText(x) : std::string();
}
std::string MetreText(Reader& r, const Value& v) {
  double x;
  return Rational(r, v, 0, &x) ? Format("%0.2fm", x) : std::string();
}
std::string DegreeText(Reader& r, const Value& v) {
  double x;
  return Rational(r, v, 0, &x) ? Format("%0.2f\x81\x8b", x) : std::string();
}
std::string TimeStampText(Reader& r, const Value& v) {
  double h, m, s;
  if (!Rational(r, v, 0, &h) || !Rational(r, v, 1, &m) || !Rational(r, v, 2, &s)) return std::string();
  auto whole = [](double x) { return x > -1e9 && x < 1e9 ? static_cast<int>(x) : 0; };
  return Format("%02d:%02d:%02d", whole(h), whole(m), whole(s));
}
std::string DatumText(Reader& r, const Value& v) {
  size_t n = v.count < v.avail ? v.count : v.avail;
  if (n > 127) n = 127;
  std::string s(reinterpret_cast<const char*>(v.p), n);
  s = s.c_str();
  r.gps->datum = s == "WGS-84" ? 1 : s == "TOKYO" ? 0 : -1;
  return s;
}

// ---- maker-note formatters ----

std::string CanonSettingsText(Reader& r, const Value& v) {
  auto element = [&](size_t i) -> int {
    if (v.type != 3 && v.type != 8) return 0;
    if (i >= v.count || (i + 1) * 2 > v.avail) return 0;
    return r.U16(v.p + i * 2);
  };
  if (v.count <= 24 || (v.type != 3 && v.type != 8)) return "\n";
  return Format("%d\nLex2\t%d\nLex1\t%d\n", element(22), element(23), element(24));
}

std::string CanonFirmwareText(Reader& r, const Value& v) {
  size_t n = v.count < v.avail ? v.count : v.avail;
  for (size_t i = 0; i < 32 && i + 8 <= n; ++i) {
    if (memcmp(v.p + i, "Firmware", 8) == 0) {
      r.adjust += static_cast<int64_t>(i);
      return Format("%d\n", static_cast<int>(i));
    }
  }
  return "\n";
}

std::string CanonByte13Text(Reader&, const Value& v) {
  if (static_cast<uint64_t>(v.count) * TypeSize(v.type) <= 13 || v.avail <= 13) return "\n";
  return Format("%d\n", v.p[13]);
}

std::string NikonIsoText(Reader& r, const Value& v) {
  if (!HasElements(v, 2, 2) || TypeSize(v.type) != 2) return "\n";
  return Format("%d\n", r.U16(v.p + 2));
}

std::string NikonLensTypeText(Reader&, const Value& v) {
  if (!HasElements(v, 1, 1)) return "\n";
  char s[3] = {static_cast<char>('A' + v.p[0]), '\n', 0};
  return s;
}

std::string FirstByteHexText(Reader&, const Value& v) {
  if (!HasElements(v, 1, 1)) return "\n";
  return Format("%02X\n", v.p[0]);
}

std::string NikonLensText(Reader& r, const Value& v) {
  double fmin, fmax, amin, amax;
  if (!Rational(r, v, 0, &fmin) || !Rational(r, v, 1, &fmax) || !Rational(r, v, 2, &amin) ||
      !Rational(r, v, 3, &amax))
    return "\n";
  if (!(fmax < 1e9 && fmax > -1e9 && fmin < 1e9 && fmin > -1e9 && amin < 1e9 && amin > -1e9 && amax < 1e9 &&
        amax > -1e9))
    return "\n";
  std::string s;
  if (fmin == fmax) s = Format("%1.1fmm F%1.1f\n", fmin, amin);
  else if (amin == amax) s = Format("%1.0f-%1.0fmm F%1.1f\n", fmin, fmax, amin);
  else s = Format("%1.0f-%1.0fmm F%1.1f-%1.1f\n", fmin, fmax, amin, amax);
  for (size_t at; (at = s.find(".0")) != std::string::npos;) s.erase(at, 2);
  return s;
}

std::string NikonPreviewOffsetText(Reader& r, const Value& v) {
  if (!HasElements(v, 4, 1) || TypeSize(v.type) != 4) return "\n";
  return Format("%lld\n", static_cast<long long>(r.U32(v.p) + r.nikonBase));
}

std::string Short16Text(Reader& r, const Value& v) {
  if (!HasElements(v, 2, 1)) return "\n";
  return Format("%d\n", r.U16(v.p));
}

std::string Long32Text(Reader& r, const Value& v) {
  if (!HasElements(v, 4, 1)) return "\n";
  return Format("%d\n", static_cast<int32_t>(r.U32(v.p)));
}

std::string MinoltaPreviewOffsetText(Reader& r, const Value& v) {
  if (!HasElements(v, 4, 1) || TypeSize(v.type) != 4) return "\n";
  // Stored relative to the TIFF header that holds the maker note: MRW's or the JPEG's Exif block.
  return Format("%lld\n", static_cast<long long>(r.U32(v.p) + r.mrwBase + r.exifBase));
}

std::string SixBytesHexText(Reader&, const Value& v) {
  if (!HasElements(v, 1, 6)) return "\n";
  return Format("%02X%02X%02X%02X%02X%02X\n", v.p[0], v.p[1], v.p[2], v.p[3], v.p[4], v.p[5]);
}

std::string OlympusPreviewOffsetText(Reader& r, const Value& v) {
  if (!HasElements(v, 4, 1) || TypeSize(v.type) != 4) return "\n";
  // A 32-bit sum read as signed: a value below the adjustment is a negative offset, not a huge one.
  const uint32_t sum = r.U32(v.p) + static_cast<uint32_t>(r.adjust);
  return Format("%d\n", static_cast<int32_t>(sum));
}

// ---- tag tables ----

#define ROW(tag, key) {tag, key, nullptr, nullptr, nullptr, kPlain}
#define FMT(tag, key, f) {tag, key, nullptr, nullptr, f, kPlain}
#define CODES(tag, key, c) {tag, key, nullptr, c, nullptr, kPlain}
#define SPECIAL(tag, key, s) {tag, key, nullptr, nullptr, nullptr, s}
#define END {0, nullptr, nullptr, nullptr, nullptr, kPlain}

const TagDef kExif0thTable[] = {
    ROW(0x0100, "Width"), ROW(0x0101, "Height"), SPECIAL(0x010F, "Maker", kMakerTag), ROW(0x0110, "Model"),
    FMT(0x0112, "Direction", OrientationText), ROW(0x0201, "JPEGInterchangeFormat"),
    ROW(0x0202, "JPEGInterchangeFormatLength"), SPECIAL(0x8769, "ExifIFD", kExifIfd), END};

const TagDef kTiff0thTable[] = {
    ROW(0x0100, "Width"), ROW(0x0101, "Height"), SPECIAL(0x010F, "Maker", kMakerTag), ROW(0x0110, "Model"),
    ROW(0x0111, "cg1ofs"), FMT(0x0112, "Direction", OrientationText), ROW(0x0117, "cg1size"),
    SPECIAL(0x014A, "SubIFD", kSubIfd), ROW(0x0201, "cg4ofs"), ROW(0x0202, "cg4size"),
    SPECIAL(0x8769, "ExifIFD", kExifIfd), ROW(0x9003, "DateTime"), END};

const TagDef kRw20thTable[] = {
    ROW(0x0002, "Width"), ROW(0x0003, "Height"), ROW(0x0017, "ISO"), SPECIAL(0x002E, "PanaThm", kPanaThm),
    SPECIAL(0x010F, "Maker", kMakerTag), ROW(0x0110, "Model"), FMT(0x0112, "Direction", OrientationText),
    SPECIAL(0x8769, "ExifIFD", kExifIfd), END};

const TagDef kExifIfdTable[] = {
    {0x829A, "ExposureTime", "%s", nullptr, ExposureTimeText, kPlain},
    FMT(0x829D, "FNumber", FNumberText),
    CODES(0x8822, "ExposureProg", kExposureProgramCodes),
    ROW(0x8827, "ISO"),
    FMT(0x9000, "ExifVer", VersionText),
    ROW(0x9003, "DateTime"),
    FMT(0x9204, "ExposureBias", BiasText),
    CODES(0x9207, "PhotometryMode", kMeteringCodes),
    FMT(0x9209, "Flash", FlashText),
    FMT(0x920A, "FocalLength", FocalLengthText),
    SPECIAL(0x927C, "MakerNote", kMakerNote),
    ROW(0xA002, "Width2"),
    ROW(0xA003, "Height2"),
    ROW(0xA005, "InteroperabilityIFDPointer"),
    CODES(0xA402, "ExposureMode", kExposureModeCodes),
    CODES(0xA403, "WhiteBalance", kWhiteBalanceCodes),
    {0xA405, "FL35mm", "%smm", nullptr, nullptr, kPlain},
    END};

const TagDef k1stIfdTable[] = {ROW(0x0100, "Width2"), ROW(0x0101, "Height2"),
                               FMT(0x0201, "cg2ofs", AbsoluteOffsetText), ROW(0x0202, "cg2size"), END};
const TagDef k2ndIfdTable[] = {FMT(0x0201, "cg4ofs", AbsoluteOffsetText), ROW(0x0202, "cg4size"), END};
const TagDef* const kSubIfd0Table = k1stIfdTable;  // the same keys
const TagDef kSubIfd1Table[] = {ROW(0x0100, "Width2"), ROW(0x0101, "Height2"), ROW(0x0111, "cg5ofs"),
                                ROW(0x0117, "cg5size"), END};

const TagDef kIptcOnlyTable[] = {SPECIAL(0x83BB, "IPTC", kIptcTag), END};

const TagDef kGpsTable[] = {
    FMT(0x00, "GPS_00", GpsVersionText),
    FMT(0x01, "GPS_01", LatRefText),
    FMT(0x02, "GPS_02", LatitudeText),
    FMT(0x03, "GPS_03", LonRefText),
    FMT(0x04, "GPS_04", LongitudeText),
    CODES(0x05, "GPS_05", kAltitudeRefCodes),
    FMT(0x06, "GPS_06", MetreText),
    FMT(0x07, "GPS_07", TimeStampText),
    ROW(0x08, "GPS_08"),
    ROW(0x09, "GPS_09"),
    {0x0A, "GPS_10", "%s", nullptr, nullptr, kPlain},
    FMT(0x0B, "GPS_11", MetreText),
    CODES(0x0C, "GPS_12", kSpeedUnitCodes),
    FMT(0x0D, "GPS_13", MetreText),
    CODES(0x0E, "GPS_14", kBearingRefCodes),
    FMT(0x0F, "GPS_15", DegreeText),
    CODES(0x10, "GPS_16", kBearingRefCodes),
    FMT(0x11, "GPS_17", DegreeText),
    FMT(0x12, "GPS_18", DatumText),
    ROW(0x13, "GPS_19"),
    FMT(0x14, "GPS_20", DestinationText),
    ROW(0x15, "GPS_21"),
    FMT(0x16, "GPS_22", DestinationText),
    CODES(0x17, "GPS_23", kBearingRefCodes),
    FMT(0x18, "GPS_24", DegreeText),
    CODES(0x19, "GPS_25", kSpeedUnitCodes),
    FMT(0x1A, "GPS_26", MetreText),
    ROW(0x1B, "GPS_27"),
    ROW(0x1C, "GPS_28"),
    ROW(0x1D, "GPS_29"),
    CODES(0x1E, "GPS_30", kDifferentialCodes),
    END};

const TagDef kCanonTable[] = {FMT(0x0001, "Lex3", CanonSettingsText), FMT(0x0007, "Fw", CanonFirmwareText),
                              FMT(0x000D, "Lex4", CanonByte13Text), ROW(0x0095, "Lens"), END};
const TagDef kNikonTable[] = {FMT(0x0002, "ISO", NikonIsoText), SPECIAL(0x0011, "NikonThmIFD", kNikonThm),
                              FMT(0x0083, "Lex1", NikonLensTypeText), FMT(0x0084, "Lens", NikonLensText),
                              FMT(0x008B, "Lex3", FirstByteHexText), END};
const TagDef kNikonPreviewTable[] = {FMT(0x0201, "cg3ofs", NikonPreviewOffsetText), ROW(0x0202, "cg3size"), END};
const TagDef kPentaxTable[] = {ROW(0x0004, "cg3ofs"), ROW(0x0003, "cg3size"), FMT(0x003F, "Lens", Short16Text), END};
const TagDef kMinoltaTable[] = {FMT(0x0088, "cg1ofs", MinoltaPreviewOffsetText), ROW(0x0089, "cg1size"),
                                FMT(0x010C, "Lens", Long32Text), END};
const TagDef kSonyTable[] = {FMT(0xB027, "Lens", Long32Text), END};
const TagDef kOlympusTable[] = {SPECIAL(0x0100, "cg3chk", kCg3chk),
                                SPECIAL(0x2010, "OlympusThmIFD2", kOlympusEquipment),
                                SPECIAL(0x2020, "OlympusThmIFD", kOlympusCamera), END};
const TagDef kOlympusEquipmentTable[] = {FMT(0x0201, "Lens", SixBytesHexText), FMT(0x0301, "Ext", SixBytesHexText),
                                         END};
const TagDef kOlympusCameraTable[] = {FMT(0x0101, "cg4ofs", OlympusPreviewOffsetText), ROW(0x0102, "cg4size"), END};
const TagDef kPanasonicTable[] = {ROW(0x0017, "ISO"), ROW(0x0051, "Lens"), END};

#undef ROW
#undef FMT
#undef CODES
#undef SPECIAL
#undef END

struct MakerRow {
  const char* prefix;
  Maker maker;
};
const MakerRow kMakerTable[] = {
    {"Canon", Maker::kCanon},
    {"NIKON", Maker::kNikon},
    {"PENTAX", Maker::kPentax},
    {"SONY", Maker::kSony},
    {"KONICA MINOLTA", Maker::kMinolta},
    {"Minolta Co., Ltd", Maker::kMinolta},
    {"Konica Minolta Camera, Inc.", Maker::kMinolta},
    {"OLYMPUS IMAGING CORP.", Maker::kOlympus},
    {"OLYMPUS OPTICAL CO.,LTD", Maker::kOlympus},
    {"OLYMPUS CORPORATION", Maker::kOlympus},
    {"Panasonic", Maker::kPanasonic},
};

const TagDef* FindTagDef(const TagDef* table, uint16_t tag) {
  for (const TagDef* row = table; row->key; ++row)
    if (row->tag == tag) return row;
  return nullptr;
}

// ---- directory walking ----

std::string ValueText(Reader& r, const TagDef& row, const Value& v, size_t limit) {
  std::string text;
  if (v.type == 2) {
    size_t n = v.count < v.avail ? v.count : v.avail;
    const uint8_t* end = static_cast<const uint8_t*>(memchr(v.p, 0, n));
    text.assign(reinterpret_cast<const char*>(v.p), end ? static_cast<size_t>(end - v.p) : n);
  } else if (!(v.type == 7 && !row.codes)) {
    size_t sz = TypeSize(v.type);
    size_t n = v.count < limit ? v.count : limit;
    for (size_t i = 0; sz && i < n && (i + 1) * sz <= v.avail; ++i) {
      const uint8_t* p = v.p + i * sz;
      if (i) text += ", ";
      if (row.codes) {
        int32_t code = 0;
        if (v.type == 3 || v.type == 8) code = r.U16(p);
        else if (v.type == 4 || v.type == 9) code = static_cast<int32_t>(r.U32(p));
        else if (v.type == 1 || v.type == 6) code = p[0];
        text += LookupCodeText(row.codes, code);
      } else {
        text += FormatTagValue(r, v.type, p, 0);
      }
    }
  }
  if (row.format) {
    std::string f = row.format;
    size_t at = f.find("%s");
    if (at != std::string::npos) f.replace(at, 2, text);
    return f;
  }
  return text;
}

void PrintTagEntry(Reader& r, const TagDef& row, const Value& v) {
  if (v.type >= 15) return;
  if (v.count == 0) {
    r.out->Printf("%s\t(oops! data length is 0)\n", row.key);
    return;
  }
  r.Put(row.key);
  r.Put("\t");
  if (row.formatter) r.Put(row.formatter(r, v));
  else r.Put(ValueText(r, row, v, 2) + "\n");
}

void PrintSummaryEntry(Reader& r, const TagDef& row, const Value& v) {
  if (v.type >= 15 || v.count == 0) return;
  r.out->Printf("%d\t\n\n", row.tag);
  if (row.formatter) r.Put(row.formatter(r, v));
  else r.Put(ValueText(r, row, v, static_cast<size_t>(-1)));
  r.Put("\t\n");
}

// Fetches an entry's value: inline in the entry, or one read of at most a block at base + offset + adjustment.
// False when the out-of-line bytes cannot be read: the tag is then skipped.
bool FetchValue(Reader& r, const uint8_t* entry, uint64_t entryFileOffset, uint64_t base, Block& scratch, Value& v) {
  v.type = r.U16(entry + 2);
  v.count = r.U32(entry + 4);
  v.shownCount = v.count < 2 ? v.count : 2;
  v.field = r.U32(entry + 8);
  uint64_t total = static_cast<uint64_t>(v.count) * TypeSize(v.type);
  if (v.type > 13 || total < 5) {
    v.inlineField = true;
    v.p = entry + 8;
    v.avail = 4;
    v.fileOffset = entryFileOffset + 8;
    return true;
  }
  v.inlineField = false;
  int64_t at = static_cast<int64_t>(base) + v.field + r.adjust;
  if (at < 0 || static_cast<uint64_t>(at) >= r.size) return false;
  size_t want = total < kBlockSize ? static_cast<size_t>(total) : kBlockSize;
  if (!r.Read(static_cast<uint64_t>(at), want, scratch)) return false;
  v.p = scratch.bytes.data();
  v.avail = scratch.bytes.size();
  v.fileOffset = static_cast<uint64_t>(at);
  return true;
}

uint32_t DumpSubIfd(Reader& r, const char* name, uint64_t fileOffset, const TagDef* table, uint64_t base, int depth);
void EnterMakerNote(Reader& r, const Value& v, uint64_t walkBase, int depth);

// Starts a directory walk: false when the directory was already walked in this file or the budget is spent.
bool ClaimDirectory(Reader& r, uint64_t fileOffset, int depth) {
  if (depth > kMaxDepth || r.directories >= kMaxDirectories) return false;
  if (!r.visited.insert(fileOffset).second) return false;
  ++r.directories;
  return true;
}

// The full-dump walker. Returns the link after the entries, 0 when the walk ran past the block.
uint32_t WalkIfd(Reader& r, const char* section, const Block& blk, size_t dirPos, uint64_t base, const TagDef* table,
                 int depth) {
  if (!ClaimDirectory(r, blk.fileOffset + dirPos, depth)) return 0;
  const uint8_t* data = blk.bytes.data();
  size_t len = blk.bytes.size();
  if (dirPos > len || len - dirPos < 2) return 0;
  uint32_t count = r.U16(data + dirPos);
  if (r.inMakerNote && count >= 256) {
    r.little = !r.little;
    count = r.U16(data + dirPos);
  }
  size_t pos = dirPos + 2;
  Block scratch;
  for (uint32_t i = 0; i < count; ++i, pos += 12) {
    if (pos > len || len - pos < 12) return 0;
    if (++r.entries > kMaxEntries) return 0;
    const uint8_t* e = data + pos;
    const TagDef* row = FindTagDef(table, r.U16(e));
    if (!row) continue;
    Value v;
    if (!FetchValue(r, e, blk.fileOffset + pos, base, scratch, v)) continue;
    switch (row->special) {
      case kExifIfd:
        if (v.inlineField) {
          DumpSubIfd(r, "ExifIFD", base + r.U32(v.p), kExifIfdTable, base, depth + 1);
          continue;
        }
        break;
      case kNikonThm:
        if (v.inlineField) {
          r.nikonBase = base;
          DumpSubIfd(r, "NikonThmIFD", base + r.U32(v.p), kNikonPreviewTable, base, depth + 1);
          continue;
        }
        break;
      case kMakerTag:
        if (!v.inlineField) {
          r.maker = Maker::kNone;
          for (const MakerRow& m : kMakerTable) {
            size_t n = strlen(m.prefix);
            if (v.avail >= n && v.count >= n && memcmp(v.p, m.prefix, n) == 0) {
              r.maker = m.maker;
              break;
            }
          }
        }
        break;
      case kSubIfd:
        if (!v.inlineField) {
          if (v.avail < 8 || TypeSize(v.type) != 4) continue;
          uint32_t first = r.U32(v.p), second = r.U32(v.p + 4);
          DumpSubIfd(r, "SubIFD-0", first, kSubIfd0Table, 0, depth + 1);
          if (second) DumpSubIfd(r, "SubIFD-1", second, kSubIfd1Table, 0, depth + 1);
          continue;
        }
        break;
      case kPanaThm:
        if (!v.inlineField) {
          r.out->Printf("cg1ofs\t%d\n", static_cast<int>(v.field));
          r.out->Printf("cg1size\t%d\n", static_cast<int>(v.count));
          continue;
        }
        break;
      case kCg3chk:
        if (!v.inlineField) {
          r.out->Printf("cg3ofs\t%lld\ncg3size\t%d\n", static_cast<long long>(v.fileOffset), static_cast<int>(v.count));
          continue;
        }
        break;
      case kMakerNote:
        if (!v.inlineField) {
          EnterMakerNote(r, v, base, depth + 1);
          continue;
        }
        break;
      case kOlympusEquipment:
      case kOlympusCamera: {
        if (v.avail < 4) continue;
        // Older notes keep the directory itself as the tag's out-of-line data; newer ones hold an offset.
        uint64_t start;
        if (r.adjust) start = r.U32(v.p) + static_cast<uint64_t>(r.adjust);
        else if (!v.inlineField) start = v.fileOffset;
        else start = base + r.U32(v.p);
        if (row->special == kOlympusEquipment) {
          DumpSubIfd(r, "OlympusThmIFD2", start, kOlympusEquipmentTable, base, depth + 1);
        } else {
          DumpSubIfd(r, "OlympusThmIFD", start, kOlympusCameraTable, base, depth + 1);
          r.adjust = 0;
        }
        continue;
      }
      default:
        break;
    }
    PrintTagEntry(r, *row, v);
  }
  if (pos > len || len - pos < 4) return 0;
  uint32_t link = r.U32(data + pos);
  if (strcmp(section, "0th IFD") == 0 && link) {
    uint32_t next = DumpSubIfd(r, "1st IFD", base + link, k1stIfdTable, base, depth + 1);
    if (next) DumpSubIfd(r, "2nd IFD", base + next, k2ndIfdTable, base, depth + 1);
    return link;
  }
  return link;
}

uint32_t DumpSubIfd(Reader& r, const char* name, uint64_t fileOffset, const TagDef* table, uint64_t base, int depth) {
  r.out->Printf("\n<---%s start --->\n", name);
  uint32_t link = 0;
  Block blk;
  if (fileOffset < r.size && r.Read(fileOffset, kBlockSize, blk)) link = WalkIfd(r, name, blk, 0, base, table, depth);
  r.out->Printf("<---%s end --->\n\n", name);
  return link;
}

void EnterMakerNote(Reader& r, const Value& v, uint64_t walkBase, int depth) {
  if (r.maker == Maker::kNone) return;
  const bool savedLittle = r.little;
  const uint64_t m = v.fileOffset;
  const uint8_t* p = v.p;
  const size_t n = v.avail;
  const TagDef* table = nullptr;
  uint64_t dir = m, base = walkBase;
  switch (r.maker) {
    case Maker::kCanon: {
      table = kCanonTable;
      // Software that moves the maker note leaves its old position in an 8-byte footer
      // ("II*\0" and the offset); values are then found by that distance.
      uint8_t footer[8];
      if (v.count >= 8 && r.ReadExact(m + v.count - 8, footer, 8) &&
          (memcmp(footer, "II*\0", 4) == 0 || memcmp(footer, "MM\0*", 4) == 0)) {
        uint32_t original = footer[0] == 'I' ? Le32(footer + 4) : Be32(footer + 4);
        r.adjust = static_cast<int64_t>(m) - static_cast<int64_t>(walkBase) - static_cast<int64_t>(original);
      }
      break;
    }
    case Maker::kNikon:
      table = kNikonTable;
      r.adjust = 0;
      r.variant = HeaderIs(p, n, "Nikon") ? 0 : 1;
      if (r.variant == 0) {
        // A TIFF header of its own at +10; older notes ("Nikon\0" 1.0) have their directory at +8 instead.
        if (n >= 18 && (memcmp(p + 10, "MM", 2) == 0 || memcmp(p + 10, "II", 2) == 0)) {
          r.little = p[10] == 'I';
          base = m + 10;
          dir = base + r.U32(p + 14);
        } else {
          dir = m + 8;
        }
      }
      break;
    case Maker::kSony:
      table = kSonyTable;
      r.variant = HeaderIs(p, n, "SONY DSC ") ? 0 : 1;
      if (r.variant == 0) dir = m + 12;
      break;
    case Maker::kMinolta:
      table = kMinoltaTable;
      break;
    case Maker::kPentax:
      table = kPentaxTable;
      dir = m + 6;
      break;
    case Maker::kOlympus:
      table = kOlympusTable;
      r.variant = HeaderIs(p, n, "OLYMP") ? 0 : 1;
      if (r.variant == 0) {
        dir = m + 8;
        r.adjust = 0;
      } else {
        // "OLYMPUS\0II": offsets count from the maker note's first byte.
        dir = m + 12;
        base = 0;
        r.adjust = static_cast<int64_t>(m);
      }
      break;
    case Maker::kPanasonic:
      table = kPanasonicTable;
      dir = m + 12;
      break;
    case Maker::kNone:
      return;
  }
  r.inMakerNote = true;
  DumpSubIfd(r, "MakerNote", dir, table, base, depth);
  r.inMakerNote = false;
  r.little = savedLittle;
}

// Checks a TIFF header inside the block at hdr (setting the byte order) and walks its 0th IFD.
bool WalkTiffHeader(Reader& r, const Block& blk, size_t hdr, uint64_t base, const TagDef* table) {
  const uint8_t* d = blk.bytes.data();
  size_t len = blk.bytes.size();
  if (hdr > len || len - hdr < 8) return false;
  if (memcmp(d + hdr, "II", 2) == 0) r.little = true;
  else if (memcmp(d + hdr, "MM", 2) == 0) r.little = false;
  else return false;
  if (r.U16(d + hdr + 2) != 42) return false;
  r.ResetState();
  uint64_t ifd = r.U32(d + hdr + 4);
  if (ifd > len - hdr) return true;  // a valid header whose directory lies outside the block
  WalkIfd(r, "0th IFD", blk, hdr + static_cast<size_t>(ifd), base, table, 0);
  return true;
}

// ---- summary and IPTC walkers ----

void ReadSummarySubIfd(Reader& r, uint64_t fileOffset, uint64_t base) {
  Block blk;
  if (fileOffset >= r.size || !r.Read(fileOffset, kBlockSize, blk)) return;
  if (!ClaimDirectory(r, fileOffset, 1)) return;
  const uint8_t* d = blk.bytes.data();
  size_t len = blk.bytes.size();
  if (len < 2) return;
  uint32_t count = r.U16(d);
  Block scratch;
  for (uint32_t i = 0; i < count; ++i) {
    size_t pos = 2 + static_cast<size_t>(i) * 12;
    if (pos + 12 > len || ++r.entries > kMaxEntries) return;
    const TagDef* row = FindTagDef(kGpsTable, r.U16(d + pos));
    if (!row) continue;
    Value v;
    if (!FetchValue(r, d + pos, fileOffset + pos, base, scratch, v)) continue;
    PrintSummaryEntry(r, *row, v);
  }
}

void WalkSummaryIfd(Reader& r, const Block& blk, size_t dirPos, uint64_t base) {
  const uint8_t* d = blk.bytes.data();
  size_t len = blk.bytes.size();
  if (dirPos > len || len - dirPos < 2) return;
  uint32_t count = r.U16(d + dirPos);
  for (uint32_t i = 0; i < count; ++i) {
    size_t pos = dirPos + 2 + static_cast<size_t>(i) * 12;
    if (pos + 12 > len) return;
    const uint8_t* e = d + pos;
    if (r.U16(e) != 0x8825) continue;
    uint16_t type = r.U16(e + 2);
    uint64_t total = static_cast<uint64_t>(r.U32(e + 4)) * TypeSize(type);
    if (type <= 13 && total >= 5) continue;  // a pointer must be inline
    ReadSummarySubIfd(r, base + r.U32(e + 8), base);
    return;
  }
}

const uint8_t kIptcDatasets[] = {0,  5,  7,  10, 15, 20, 22, 25, 26, 27,  30,  35,  40,  55,  60,  65,  70,
                                 75, 80, 85, 90, 92, 95, 100, 101, 103, 105, 110, 115, 116, 118, 120, 122};

void ParseIptcRecords(const uint8_t* d, size_t len, TextBuffer& out, bool* utf8) {
  size_t pos = 0;
  bool declared = false;
  while (pos + 5 <= len && d[pos] == 0x1C) {
    uint8_t record = d[pos + 1], dataset = d[pos + 2];
    uint32_t n = Be16(d + pos + 3);
    pos += 5;
    if (n & 0x8000) {  // extended dataset: its length is in the next (n & 0x7FFF) bytes; not one of ours
      size_t lenBytes = n & 0x7FFF;
      if (lenBytes > 4 || len - pos < lenBytes) return;
      uint64_t size = 0;
      for (size_t i = 0; i < lenBytes; ++i) size = size << 8 | d[pos + i];
      pos += lenBytes;
      if (size > len - pos) return;
      pos += static_cast<size_t>(size);
      continue;
    }
    if (n > len - pos) return;
    const uint8_t* value = d + pos;
    pos += n;
    if (record == 1 && dataset == 90) {
      declared = IsUtf8Declaration(value, n);
      if (utf8) *utf8 = declared;
    }
    if (record != 2 || !memchr(kIptcDatasets, dataset, sizeof kIptcDatasets)) continue;
    out.Printf("%d\t\n\n", dataset);
    if (dataset == 0) {
      int number = n >= 2 ? Be16(value) : n == 1 ? value[0] : 0;
      out.Printf("%02d", number);
    } else {
      out.Append(reinterpret_cast<const char*>(value), IptcShownLength(value, n, declared));
    }
    out.Append("\t\n");
  }
}

// Walks the 8BIM image resources of [start, start + length): resource 1036 writes the thumbnail locator,
// resource 1028 is parsed as IPTC records into iptc.
void Walk8bim(Reader& r, uint64_t start, uint64_t length, bool thumbnail, TextBuffer* iptc) {
  uint64_t pos = 0;
  for (int guard = 0; guard < 100000 && pos + 12 <= length; ++guard) {
    uint8_t h[8];
    if (!r.ReadExact(start + pos, h, 8) || memcmp(h, "8BIM", 4) != 0) return;
    uint16_t id = Be16(h + 4);
    uint64_t nameField = (1u + h[6] + 1u) & ~1u;  // Pascal name padded to an even length
    uint64_t sizeAt = pos + 6 + nameField;
    uint8_t s4[4];
    if (sizeAt + 4 > length || !r.ReadExact(start + sizeAt, s4, 4)) return;
    uint64_t size = Be32(s4);
    uint64_t dataAt = sizeAt + 4;
    if (size > length - dataAt) return;
    if (thumbnail && id == 1036 && size >= 28) {
      r.out->Printf("cg6ofs\t%lld\n", static_cast<long long>(start + dataAt + 28));
      r.out->Printf("cg6size\t%lld\n", static_cast<long long>(size - 28));
    }
    if (iptc && id == 1028 && size > 0 && size <= kMaxResourceBlock) {
      std::vector<uint8_t> data(static_cast<size_t>(size));
      if (r.ReadExact(start + dataAt, data.data(), data.size()))
        ParseIptcRecords(data.data(), data.size(), *iptc, r.iptcUtf8);
    }
    pos = (dataAt + size + 1) & ~uint64_t(1);
  }
}

// ---- JPEG segments ----

enum class Scan { kContinue, kStop };

// Calls visit(marker, data offset, data length) for every segment before SOS. Any other marker, even one
// that is not a known segment (damaged files), is skipped by its length, so later segments are still found;
// fill bytes before a marker are skipped.
template <typename Visit>
void ScanJpeg(Reader& r, Visit visit) {
  uint64_t pos = 2;
  for (;;) {
    uint8_t m[2];
    if (!r.ReadExact(pos, m, 2)) return;
    while (m[0] == 0xFF && m[1] == 0xFF) {
      ++pos;
      if (!r.ReadExact(pos, m, 2)) return;
    }
    pos += 2;
    uint16_t marker = Be16(m);
    if (marker == 0xFFDA) return;
    uint8_t l[2];
    if (!r.ReadExact(pos, l, 2)) return;
    uint16_t length = Be16(l);
    if (length < 2) return;
    if (visit(marker, pos + 2, static_cast<size_t>(length - 2)) == Scan::kStop) return;
    pos += length;
    if (pos > r.size) return;
  }
}

bool ReadSegment(Reader& r, uint64_t at, size_t n, Block& b) {
  b.bytes.resize(n);
  b.fileOffset = at;
  return n == 0 || r.ReadExact(at, b.bytes.data(), n);
}

bool StartsWith(const Block& b, const char* text, size_t n) {
  return b.bytes.size() >= n && memcmp(b.bytes.data(), text, n) == 0;
}

bool DumpJpeg(Reader& r) {
  bool exif = false;
  ScanJpeg(r, [&](uint16_t marker, uint64_t at, size_t n) {
    if (marker == 0xFFE1) {
      Block seg;
      if (!ReadSegment(r, at, n, seg) || !StartsWith(seg, "Exif\0", 5)) return Scan::kStop;
      r.exifBase = at + 6;
      if (!WalkTiffHeader(r, seg, 6, at + 6, kExif0thTable)) return Scan::kStop;
      exif = true;
    } else if (marker == 0xFFED) {
      bool saved = r.little;
      r.little = false;
      uint8_t head[14];
      if (n < 14 || !r.ReadExact(at, head, 14) || memcmp(head, "Photoshop 3.0\0", 14) != 0) {
        r.little = saved;
        return Scan::kStop;
      }
      Walk8bim(r, at + 14, n - 14, true, nullptr);
      if (exif) return Scan::kStop;
      r.little = saved;
    }
    return Scan::kContinue;
  });
  return exif;
}

// ---- other front ends ----

bool DumpTiff(Reader& r, const TagDef* table) {
  uint8_t o[4];
  if (!r.ReadExact(4, o, 4)) return false;
  Block blk;
  uint32_t ifd = r.U32(o);
  if (ifd >= r.size || !r.Read(ifd, kBlockSize, blk)) return false;
  r.ResetState();
  WalkIfd(r, "0th IFD", blk, 0, 0, table, 0);
  return true;
}

// Looks for the JPEG record (0x2007) in a CIFF heap; sub-heaps are searched the same way.
bool SearchCiffHeap(Reader& r, uint64_t start, uint64_t length, int depth) {
  if (depth > kMaxDepth || length < 4 || !ClaimDirectory(r, start, 0)) return false;
  uint8_t b[4];
  if (!r.ReadExact(start + length - 4, b, 4)) return false;
  uint64_t dir = Le32(b);
  if (dir > length - 4 || length - 4 - dir < 2) return false;
  uint8_t c[2];
  if (!r.ReadExact(start + dir, c, 2)) return false;
  uint32_t count = Le16(c);
  for (uint32_t i = 0; i < count; ++i) {
    uint64_t e = dir + 2 + uint64_t(i) * 10;
    uint8_t ent[10];
    if (e + 10 > length - 4 || !r.ReadExact(start + e, ent, 10)) return false;
    if (++r.entries > kMaxEntries) return false;
    uint16_t tag = Le16(ent);
    if (tag & 0x4000) continue;
    uint64_t size = Le32(ent + 2), offset = Le32(ent + 6);
    if (offset > length || size > length - offset) continue;
    uint16_t kind = tag & 0xFF00;
    if (kind == 0x2800 || kind == 0x3000) {
      SearchCiffHeap(r, start + offset, size, depth + 1);
    } else if (tag == 0x2007) {
      r.out->Printf("cg1ofs\t%lld\n", static_cast<long long>(start + offset));
      r.out->Printf("cg1size\t%lld\n", static_cast<long long>(size));
      return true;
    }
  }
  return false;
}

bool DumpCrw(Reader& r) {
  uint8_t h[4];
  if (!r.ReadExact(2, h, 4)) return false;
  uint64_t start = Le32(h);
  if (start >= r.size) return false;
  return SearchCiffHeap(r, start, r.size - start, 0);
}

bool DumpRaf(Reader& r) {
  Block blk;
  if (!ReadSegment(r, 2, kBlockSize, blk) || !StartsWith(blk, "JIFILMCCD-RAW", 13)) return false;
  const uint8_t* d = blk.bytes.data();
  for (size_t i = 0; i + 6 <= blk.bytes.size(); ++i) {
    if (memcmp(d + i, "Exif\0\0", 6) != 0) continue;
    uint64_t base = 2 + i + 6;
    r.rafBase = base;
    uint64_t jpeg = base - 12;
    // The preview is taken as 2 MB from the JPEG's start, but never past the end of the file.
    uint64_t size = r.size - jpeg < 0x200000 ? r.size - jpeg : 0x200000;
    r.out->Printf("cg1ofs\t%lld\n", static_cast<long long>(jpeg));
    r.out->Printf("cg1size\t%lld\n", static_cast<long long>(size));
    Block tiff;
    if (!r.Read(base, kBlockSize, tiff)) return false;
    WalkTiffHeader(r, tiff, 0, base, kExif0thTable);
    return true;
  }
  return false;
}

bool DumpMrw(Reader& r) {
  Block blk;
  if (!ReadSegment(r, 2, 142, blk) || !StartsWith(blk, "RM", 2)) return false;
  const uint8_t* d = blk.bytes.data();
  uint64_t base;
  if (memcmp(d + 138, "MM", 2) == 0) base = 140;
  else if (memcmp(d + 46, "MM", 2) == 0) base = 48;
  else return false;
  r.mrwBase = base;
  Block tiff;
  if (!r.Read(base, kBlockSize, tiff)) return false;
  return WalkTiffHeader(r, tiff, 0, base, kExif0thTable);
}

bool DumpX3f(Reader& r) {
  if (r.size < 16) return false;
  uint8_t b[12];
  if (!r.ReadExact(r.size - 4, b, 4)) return false;
  uint64_t dir = Le32(b);
  if (!r.ReadExact(dir, b, 12) || memcmp(b, "SECd", 4) != 0) return false;
  uint64_t count = Le32(b + 8);
  if (count > (r.size - dir - 12) / 12) return false;
  bool any = false;
  for (uint64_t i = 0; i < count; ++i) {
    if (!r.ReadExact(dir + 12 + i * 12, b, 12)) break;
    uint64_t offset = Le32(b), length = Le32(b + 4);
    if (memcmp(b + 8, "IMA2", 4) != 0 && memcmp(b + 8, "IMAG", 4) != 0) continue;
    uint8_t h[6];
    if (!r.ReadExact(offset + 28, h, 6) || h[0] != 0xFF || h[1] != 0xD8 || h[2] != 0xFF || h[3] != 0xE1) break;
    size_t l = Be16(h + 4);
    if (l < 8) break;
    Block seg;
    uint64_t p = offset + 28 + 6;
    if (!ReadSegment(r, p, l - 2, seg) || !StartsWith(seg, "Exif\0", 5)) break;
    r.exifBase = p + 6;
    if (!WalkTiffHeader(r, seg, 6, p + 6, kExif0thTable)) break;
    r.out->Printf("cg3ofs\t%lld\ncg3size\t%lld\n", static_cast<long long>(offset + 28), static_cast<long long>(length));
    any = true;
  }
  return any;
}

// The image-resource block of a PSD file: [start, start + length).
bool PsdResources(Reader& r, uint64_t* start, uint64_t* length) {
  uint8_t h[30];
  if (!r.ReadExact(0, h, 30) || memcmp(h, "8BPS", 4) != 0) return false;
  uint64_t colourModeLength = Be32(h + 26);
  uint64_t at = 30 + colourModeLength;
  uint8_t l[4];
  if (!r.ReadExact(at, l, 4)) return false;
  *start = at + 4;
  *length = Be32(l);
  if (*start > r.size || *length > r.size - *start) return false;
  return true;
}

bool DumpPsd(Reader& r) {
  uint64_t start, length;
  if (!PsdResources(r, &start, &length)) return false;
  Walk8bim(r, start, length, true, nullptr);
  return true;
}

// ---- format dispatch ----

enum class Format2 { kNone, kTiff, kOrfBig, kRw2, kCrw, kJpeg, kRaf, kMrw, kPsd, kX3f };

Format2 Recognise(Reader& r) {
  uint8_t h[14] = {};
  size_t got = r.src.ReadAt(0, h, sizeof h);
  if (got < 2) return Format2::kNone;
  if (h[0] == 'I' && h[1] == 'I') {
    r.little = true;
    if (got < 4) return Format2::kNone;
    uint16_t v = Le16(h + 2);
    if (v == 0x55) return Format2::kRw2;
    if (v == 42 || memcmp(h + 2, "RO", 2) == 0 || memcmp(h + 2, "RS", 2) == 0) return Format2::kTiff;
    if (got >= 14 && memcmp(h + 6, "HEAPCCDR", 8) == 0) return Format2::kCrw;
    return Format2::kNone;
  }
  if (h[0] == 'M' && h[1] == 'M') {
    r.little = false;
    if (got < 4) return Format2::kNone;
    if (memcmp(h + 2, "OR", 2) == 0) return Format2::kOrfBig;
    if (Be16(h + 2) == 42) return Format2::kTiff;
    return Format2::kNone;
  }
  if (h[0] == 0xFF && h[1] == 0xD8) return Format2::kJpeg;
  if (h[0] == 'F' && h[1] == 'U') return Format2::kRaf;
  if (h[0] == 0x00 && h[1] == 0x4D) return Format2::kMrw;
  if (h[0] == '8' && h[1] == 'B') {
    r.little = false;
    return Format2::kPsd;
  }
  if (h[0] == 'F' && h[1] == 'O') return Format2::kX3f;
  return Format2::kNone;
}

}  // namespace

bool DumpMetadataText(ByteSource& file, const char* pathMultibyte, TextBuffer& out) {
  out.Clear();
  out.Append(pathMultibyte, strnlen(pathMultibyte, 8192));
  out.Append("\n");
  Reader r(file);
  r.out = &out;
  switch (Recognise(r)) {
    case Format2::kRw2: return DumpTiff(r, kRw20thTable);
    case Format2::kTiff:
    case Format2::kOrfBig: return DumpTiff(r, kTiff0thTable);
    case Format2::kCrw: return DumpCrw(r);
    case Format2::kJpeg: return DumpJpeg(r);
    case Format2::kRaf: return DumpRaf(r);
    case Format2::kMrw: return DumpMrw(r);
    case Format2::kPsd: return DumpPsd(r);
    case Format2::kX3f: return DumpX3f(r);
    case Format2::kNone: break;
  }
  return false;
}

bool ReadExifSummaryText(ByteSource& file, TextBuffer& out, GpsPosition& gps) {
  out.Clear();
  Reader r(file);
  r.out = &out;
  r.gps = &gps;
  // Positions without a datum tag are taken as WGS-84: GPS receivers work in it, and phone
  // pictures (which mostly leave the tag out) would land some 400 m off as Tokyo datum.
  gps.datum = 1;
  switch (Recognise(r)) {
    case Format2::kTiff: return true;
    case Format2::kJpeg: {
      bool result = false;
      ScanJpeg(r, [&](uint16_t marker, uint64_t at, size_t n) {
        if (marker != 0xFFE1) return Scan::kContinue;
        Block seg;
        if (!ReadSegment(r, at, n, seg) || !StartsWith(seg, "Exif\0", 5) || seg.bytes.size() < 14) return Scan::kStop;
        const uint8_t* d = seg.bytes.data() + 6;
        if (memcmp(d, "II", 2) == 0) r.little = true;
        else if (memcmp(d, "MM", 2) == 0) r.little = false;
        else return Scan::kStop;
        if (r.U16(d + 2) != 42) return Scan::kStop;
        r.ResetState();
        uint64_t ifd = r.U32(d + 4);
        if (ifd <= seg.bytes.size() - 6) WalkSummaryIfd(r, seg, 6 + static_cast<size_t>(ifd), at + 6);
        result = true;
        return Scan::kContinue;
      });
      return result;
    }
    default: return false;
  }
}

bool ReadIptcText(ByteSource& file, TextBuffer& out, bool* declaresUtf8) {
  out.Clear();
  Reader r(file);
  r.out = &out;
  if (declaresUtf8) *declaresUtf8 = false;
  r.iptcUtf8 = declaresUtf8;
  switch (Recognise(r)) {
    case Format2::kTiff: {
      uint8_t o[4];
      if (!r.ReadExact(4, o, 4)) return false;
      Block blk;
      uint32_t ifd = r.U32(o);
      if (ifd >= r.size || !r.Read(ifd, kBlockSize, blk)) return false;
      const uint8_t* d = blk.bytes.data();
      size_t len = blk.bytes.size();
      if (len < 2) return true;
      uint32_t count = r.U16(d);
      for (uint32_t i = 0; i < count; ++i) {
        size_t pos = 2 + static_cast<size_t>(i) * 12;
        if (pos + 12 > len) break;
        if (!FindTagDef(kIptcOnlyTable, r.U16(d + pos))) continue;
        Value v;
        Block scratch;
        if (!FetchValue(r, d + pos, ifd + pos, 0, scratch, v) || v.inlineField) continue;
        ParseIptcRecords(v.p, v.avail, out, r.iptcUtf8);
      }
      return true;
    }
    case Format2::kJpeg: {
      bool result = false;
      ScanJpeg(r, [&](uint16_t marker, uint64_t at, size_t n) {
        if (marker != 0xFFED) return Scan::kContinue;
        uint8_t head[14];
        if (n >= 14 && r.ReadExact(at, head, 14) && memcmp(head, "Photoshop 3.0\0", 14) == 0) {
          Walk8bim(r, at + 14, n - 14, false, &out);
          result = true;
        }
        return Scan::kStop;
      });
      return result;
    }
    case Format2::kPsd: {
      uint64_t start, length;
      if (!PsdResources(r, &start, &length)) return false;
      Walk8bim(r, start, length, false, &out);
      return true;
    }
    default: return false;
  }
}

bool ReadJpegCommentBytes(ByteSource& file, char* out, size_t capacity, size_t* length) {
  if (length) *length = 0;
  if (capacity < 2) return false;
  out[0] = out[1] = 0;
  Reader r(file);
  if (Recognise(r) != Format2::kJpeg) return false;
  bool found = false;
  ScanJpeg(r, [&](uint16_t marker, uint64_t at, size_t n) {
    if (marker != 0xFFFE) return Scan::kContinue;
    if (n < capacity && r.ReadExact(at, out, n)) {
      out[n] = 0;
      if (length) *length = n;
      found = true;
    } else {
      out[0] = 0;
    }
    return Scan::kStop;
  });
  return found;
}
