#include "tests/support/dng_writer.h"

#include <algorithm>
#include <cstring>

namespace brn_test {
namespace {

enum : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kSRational = 10 };

struct Entry {
  uint16_t tag, type;
  uint32_t count;
  std::vector<uint8_t> data;
};

void Le16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Le32(std::vector<uint8_t>& v, uint32_t x) {
  Le16(v, x & 0xFFFF);
  Le16(v, x >> 16);
}

struct Ifd {
  std::vector<Entry> entries;

  void Add(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> data) {
    entries.push_back({tag, type, count, std::move(data)});
  }
  void Shorts(uint16_t tag, std::vector<uint16_t> values) {
    std::vector<uint8_t> d;
    for (uint16_t x : values) Le16(d, x);
    Add(tag, kShort, static_cast<uint32_t>(values.size()), d);
  }
  void Longs(uint16_t tag, std::vector<uint32_t> values) {
    std::vector<uint8_t> d;
    for (uint32_t x : values) Le32(d, x);
    Add(tag, kLong, static_cast<uint32_t>(values.size()), d);
  }
  void Rationals(uint16_t tag, const uint32_t* words, uint32_t count, uint16_t type = kRational) {
    std::vector<uint8_t> d;
    for (uint32_t i = 0; i < 2 * count; ++i) Le32(d, words[i]);
    Add(tag, type, count, d);
  }
  void Bytes(uint16_t tag, std::vector<uint8_t> values) {
    const auto n = static_cast<uint32_t>(values.size());
    Add(tag, kByte, n, std::move(values));
  }
  void Ascii(uint16_t tag, const std::string& text) {
    std::vector<uint8_t> d(text.begin(), text.end());
    d.push_back(0);
    Add(tag, kAscii, static_cast<uint32_t>(d.size()), d);
  }
  void SetLong(uint16_t tag, uint32_t value) {
    for (Entry& e : entries)
      if (e.tag == tag) {
        e.data.clear();
        Le32(e.data, value);
      }
  }
  uint32_t Size() const {
    uint32_t n = 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    for (const Entry& e : entries)
      if (e.data.size() > 4) n += static_cast<uint32_t>((e.data.size() + 1) & ~size_t{1});
    return n;
  }
  // Writes the directory at out.size(), which must be its offset.
  void Write(std::vector<uint8_t>& out) {
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    const auto at = static_cast<uint32_t>(out.size());
    uint32_t extra = at + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
    std::vector<uint8_t> tail;
    Le16(out, static_cast<uint32_t>(entries.size()));
    for (const Entry& e : entries) {
      Le16(out, e.tag);
      Le16(out, e.type);
      Le32(out, e.count);
      if (e.data.size() <= 4) {
        std::vector<uint8_t> v = e.data;
        v.resize(4, 0);
        out.insert(out.end(), v.begin(), v.end());
      } else {
        Le32(out, extra + static_cast<uint32_t>(tail.size()));
        tail.insert(tail.end(), e.data.begin(), e.data.end());
        if (tail.size() & 1) tail.push_back(0);
      }
    }
    Le32(out, 0);
    out.insert(out.end(), tail.begin(), tail.end());
  }
};

// XYZ (D65) to linear sRGB: with it as the colour matrix the camera's channels are sRGB's.
const int32_t kXyzToSrgb[9] = {32406, -15372, -4986, -9689, 18758, 415, 557, -2040, 10570};

}  // namespace

std::vector<uint8_t> MakeSyntheticDng(const SyntheticDng& s) {
  Ifd main, exif, gps;
  main.Longs(254, {0});
  main.Longs(256, {s.width});
  main.Longs(257, {s.height});
  main.Shorts(258, {16});
  main.Shorts(259, {1});
  main.Shorts(262, {static_cast<uint16_t>(s.monochrome ? 34892 : 32803)});
  main.Ascii(270, s.description);
  main.Ascii(271, s.make);
  main.Ascii(272, s.model);
  main.Longs(273, {0});
  main.Shorts(274, {s.orientation});
  main.Shorts(277, {1});
  main.Longs(278, {s.height});
  main.Longs(279, {s.width * s.height * 2});
  main.Shorts(284, {1});
  main.Ascii(306, s.dateTime);
  main.Ascii(315, s.artist);
  if (!s.monochrome) {
    main.Shorts(33421, {2, 2});
    main.Bytes(33422, {0, 1, 1, 2});
  }
  main.Longs(34665, {0});
  if (s.gps) main.Longs(34853, {0});
  main.Bytes(50706, {1, 4, 0, 0});
  main.Bytes(50707, {1, 1, 0, 0});
  main.Ascii(50708, s.make + " " + s.model);
  main.Longs(50714, {0});
  main.Longs(50717, {4095});
  if (s.defaultScale[0] != s.defaultScale[1] || s.defaultScale[2] != s.defaultScale[3])
    main.Rationals(50718, s.defaultScale, 2);
  if (s.colorMatrix && !s.monochrome) {
    uint32_t m[18];
    for (int i = 0; i < 9; ++i) {
      m[2 * i] = static_cast<uint32_t>(kXyzToSrgb[i]);
      m[2 * i + 1] = 10000;
    }
    main.Rationals(50721, m, 9, kSRational);
    main.Shorts(50778, {21});
  }
  const uint32_t neutral[6] = {1, 1, 1, 1, 1, 1};
  if (!s.monochrome) main.Rationals(50728, neutral, 3);

  exif.Rationals(33434, s.exposure, 1);
  exif.Rationals(33437, s.fnumber, 1);
  exif.Shorts(34855, {s.iso});
  exif.Ascii(36867, s.dateTime);
  exif.Rationals(37386, s.focal, 1);

  if (s.gps) {
    gps.Bytes(0, {2, 2, 0, 0});
    gps.Ascii(1, std::string(1, s.latitudeRef));
    gps.Rationals(2, s.latitude, 3);
    gps.Ascii(3, std::string(1, s.longitudeRef));
    gps.Rationals(4, s.longitude, 3);
    gps.Bytes(5, {s.altitudeRef});
    gps.Rationals(6, s.altitude, 1);
    gps.Rationals(7, s.gpsTime, 3);
    gps.Ascii(18, s.mapDatum);
    gps.Ascii(29, s.gpsDate);
  }

  const uint32_t mainAt = 8, exifAt = mainAt + main.Size(), gpsAt = exifAt + exif.Size();
  const uint32_t stripAt = gpsAt + (s.gps ? gps.Size() : 0);
  main.SetLong(34665, exifAt);
  main.SetLong(34853, gpsAt);
  main.SetLong(273, stripAt);

  std::vector<uint8_t> out = {'I', 'I', 42, 0};
  Le32(out, mainAt);
  main.Write(out);
  exif.Write(out);
  if (s.gps) gps.Write(out);
  if (!s.pixels) return out;
  out.reserve(out.size() + size_t{s.width} * s.height * 2);
  // Scene colours (12-bit linear): warm and bright on the left, blue and dark on the right.
  const uint16_t left[3] = {3000, 1800, 600}, right[3] = {300, 600, 1500};
  for (uint32_t y = 0; y < s.height; ++y) {
    for (uint32_t x = 0; x < s.width; ++x) {
      const int channel =
          s.monochrome ? 1 : (y & 1) == 0 ? ((x & 1) == 0 ? 0 : 1) : ((x & 1) == 0 ? 1 : 2);
      const uint16_t* scene = x < s.width / 2 ? left : right;
      // A faint ramp keeps the histogram from being a single level.
      const uint32_t v = scene[channel] + (y * 64) / (s.height ? s.height : 1);
      Le16(out, std::min<uint32_t>(v, 4095));
    }
  }
  return out;
}

std::vector<uint8_t> MakeSyntheticCine(uint32_t width, uint32_t height, uint32_t seconds) {
  // Header (44 bytes), bitmap header at 44, setup block at 84, image offset table after it.
  const uint32_t head = 44, setup = 84, table = setup + 792 + 4 + 12 + 4 + 72 + 4 + 8 + 4 + 668 + 4;
  const uint32_t pixels = table + 8 + 8;
  std::vector<uint8_t> v(pixels + size_t{width} * height * 2, 0);
  auto put32 = [&](uint32_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
  };
  auto put16 = [&](uint32_t at, uint32_t x) {
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
  };
  v[0] = 'C';
  v[1] = 'I';
  put16(2, head);
  put16(4, 2);        // version
  put32(20, 1);       // one frame
  put32(24, head);
  put32(28, setup);
  put32(32, table);
  put32(36, 0);       // fraction of the trigger time
  put32(40, seconds);
  put32(head + 4, width);
  put32(head + 8, height);
  put16(head + 12, 1);
  put16(head + 14, 16);  // bits per site
  put32(setup + 792, 4642);  // model number
  put32(setup + 792 + 4 + 12, 3);  // colour filter pattern
  const uint32_t rotation = setup + 792 + 4 + 12 + 4 + 72;
  put32(rotation, 180);
  const float one = 1.0f;
  std::memcpy(&v[rotation + 4], &one, 4);  // white balance multipliers
  std::memcpy(&v[rotation + 8], &one, 4);
  put32(rotation + 12, 12);  // significant bits
  put32(table, pixels - 8);  // the frame: 8 bytes of annotation, then the sites
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) put16(pixels + (y * width + x) * 2, x < width / 2 ? 3000 : 600);
  return v;
}

std::vector<uint8_t> MakeSyntheticX3f(uint32_t width, uint32_t height, uint32_t seconds) {
  std::vector<uint8_t> v;
  auto four = [&](const char* t) { v.insert(v.end(), t, t + 4); };
  four("FOVb");
  Le32(v, 0x00020000);  // version 2.0
  v.resize(v.size() + 16, 0x42);  // unique identifier
  Le32(v, 0), Le32(v, width), Le32(v, height), Le32(v, 0);  // mark bits, size, rotation
  // Properties: name/value pairs of UTF-16 texts.
  const std::pair<std::string, std::string> props[] = {
      {"CAMMANUF", "SIGMA"}, {"CAMMODEL", "SD10"}, {"TIME", std::to_string(seconds)}, {"ISO", "100"}};
  std::vector<uint16_t> text;
  std::vector<uint32_t> offsets;
  for (const auto& p : props) {
    for (const std::string* t : {&p.first, &p.second}) {
      offsets.push_back(static_cast<uint32_t>(text.size()));
      text.insert(text.end(), t->begin(), t->end());
      text.push_back(0);
    }
  }
  text.push_back(0);
  const uint32_t propAt = static_cast<uint32_t>(v.size());
  four("SECp");
  Le32(v, 0x00020000);
  Le32(v, 4), Le32(v, 0), Le32(v, 0), Le32(v, static_cast<uint32_t>(text.size()));
  for (uint32_t o : offsets) Le32(v, o);
  for (uint16_t c : text) Le16(v, c);
  const uint32_t propSize = static_cast<uint32_t>(v.size()) - propAt;
  const uint32_t imageAt = static_cast<uint32_t>(v.size());
  four("SECi");
  Le32(v, 0x00020000);
  Le32(v, 3), Le32(v, 6), Le32(v, width), Le32(v, height), Le32(v, width * 4);  // raw, 10-bit, rows as words
  // The table the words' 10-bit indices map to: differences to the previous column's value,
  // per colour. Entries 1-3 start a row (warm and bright), 4-6 step to the right half's values.
  const uint16_t left[3] = {6000, 4000, 1500}, right[3] = {700, 900, 2500};
  std::vector<uint16_t> table(1024, 0);
  for (int c = 0; c < 3; ++c) {
    table[1 + c] = left[c];
    table[4 + c] = static_cast<uint16_t>(right[c] - left[c]);
  }
  for (uint16_t x : table) Le16(v, x);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x)
      Le32(v, x == 0 ? (1u | 2u << 10 | 3u << 20) : x == width / 2 ? (4u | 5u << 10 | 6u << 20) : 0u);
  const uint32_t imageSize = static_cast<uint32_t>(v.size()) - imageAt;
  const uint32_t directory = static_cast<uint32_t>(v.size());
  four("SECd");
  Le32(v, 0x00020000);
  Le32(v, 2);
  Le32(v, propAt), Le32(v, propSize), four("PROP");
  Le32(v, imageAt), Le32(v, imageSize), four("IMA2");
  Le32(v, directory);
  return v;
}

}  // namespace brn_test
