#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "metadata/pure/jpeg_segment_writer.h"
#include "metadata/pure/metadata_reader.h"
#include "tests/support/exif_fixture.h"

using fx::Bytes;

namespace {

std::string Iptc(const Bytes& file) {
  static char buffer[kMetadataTextSize];
  TextBuffer out(buffer, sizeof buffer);
  MemoryByteSource src(file.data(), file.size());
  ReadIptcText(src, out);
  return std::string(buffer, out.length);
}

std::string Comment(const Bytes& file) {
  static char buffer[kJpegCommentSize];
  MemoryByteSource src(file.data(), file.size());
  return ReadJpegCommentBytes(src, buffer, sizeof buffer) ? std::string(buffer) : std::string("<none>");
}

Bytes Block(const std::vector<IptcDataset>& sets) {
  Bytes b;
  EXPECT_TRUE(BuildIptcResourceBlock(sets, b));
  return b;
}

size_t Find(const Bytes& hay, const Bytes& needle) {
  auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
  return it == hay.end() ? std::string::npos : static_cast<size_t>(it - hay.begin());
}

size_t Be16At(const Bytes& b, size_t at) { return size_t(b[at]) << 8 | b[at + 1]; }

const Bytes kApp0 = fx::Segment(0xE0, fx::Text(std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14)));

TEST(JpegSegmentWriter, IptcBlockLayoutAndNewSegment) {
  Bytes block = Block({{25, "abc"}});
  const Bytes expected = {'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0, 0, 0, 0, 0x0F, 0x1C, 0x02, 0x00, 0x00,
                          0x02, 0x00, 0x02, 0x1C, 0x02, 0x19, 0x00, 0x03, 'a', 'b', 'c', 0x00};
  EXPECT_EQ(block, expected);
  EXPECT_EQ(block.size(), 28u);

  // No APP13: a new one right in front of SOS, length = block + 16; the rest untouched.
  const Bytes file = fx::Jpeg({kApp0});
  Bytes out;
  ASSERT_EQ(BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size(), out), SegmentWriteResult::kDone);
  const size_t sos = Find(file, Bytes{0xFF, 0xDA});
  ASSERT_EQ(out.size(), file.size() + 4 + 14 + block.size());
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + sos, out.begin()));
  EXPECT_EQ(out[sos], 0xFF);
  EXPECT_EQ(out[sos + 1], 0xED);
  EXPECT_EQ(Be16At(out, sos + 2), block.size() + 16);
  EXPECT_EQ(memcmp(&out[sos + 4], "Photoshop 3.0", 14), 0);
  EXPECT_TRUE(std::equal(file.begin() + sos, file.end(), out.begin() + sos + 18 + block.size()));
  EXPECT_EQ(Iptc(out), "0\t\n\n02\t\n25\t\n\nabc\t\n");

  // Empty values are left out; an odd record gets its pad byte.
  Bytes two = Block({{5, "T"}, {120, ""}, {120, "cap"}});
  EXPECT_EQ(two.size() % 2, 0u);
  EXPECT_EQ(Be16At(two, 10), 7u + 6u + 8u);

  // TIFF and other files are not JPEGs.
  const Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0};
  EXPECT_EQ(BuildJpegWithIptc(tiff.data(), tiff.size(), block.data(), block.size(), out), SegmentWriteResult::kNotJpeg);
  EXPECT_EQ(BuildJpegWithComment(tiff.data(), tiff.size(), nullptr, 0, out), SegmentWriteResult::kNotJpeg);
  // A block that is not an 8BIM IPTC resource, or is cut, is refused.
  Bytes bad = block;
  bad[5] = 0x0C;
  EXPECT_EQ(BuildJpegWithIptc(file.data(), file.size(), bad.data(), bad.size(), out), SegmentWriteResult::kBadBlock);
  EXPECT_EQ(BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size() - 2, out),
            SegmentWriteResult::kBadBlock);
}

TEST(JpegSegmentWriter, ReplacesResource1028AndKeepsTheRest) {
  const Bytes thumb(40, 0x5A);
  Bytes longValue(3000, 'x');
  Bytes oldIptc = fx::IptcRecord(0, Bytes{0, 2});
  fx::Append(oldIptc, fx::IptcRecord(90, fx::Text("\x1b%G"), 1));  // 1:90 coded character set
  fx::Append(oldIptc, fx::IptcRecord(0, Bytes{0, 4}, 1));
  fx::Append(oldIptc, fx::IptcRecord(5, fx::Text("old title")));
  fx::Append(oldIptc, fx::IptcRecord(200, fx::Text("private")));      // not one the tab lists
  fx::Append(oldIptc, fx::IptcRecord(120, longValue));               // shown cut by the reader
  fx::Append(oldIptc, fx::IptcRecord(10, fx::Text("x"), 7));          // a later record
  Bytes resources = fx::Resource8bim(1036, thumb);
  const size_t thumbEnd = resources.size();
  fx::Append(resources, fx::Resource8bim(1028, oldIptc, "nm"));
  fx::Append(resources, fx::Resource8bim(1005, Bytes{1, 2, 3}));
  const Bytes file = fx::Jpeg({kApp0, fx::App13(resources), fx::Segment(0xFE, fx::Text("hi"))});

  // The tab hands back what it showed: the title edited, the caption as the reader cut it.
  Bytes block = Block({{5, "new"}, {120, std::string(2047, 'x')}, {25, "kw"}});
  Bytes out;
  ASSERT_EQ(BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size(), out), SegmentWriteResult::kDone);
  const size_t app13 = Find(file, Bytes{0xFF, 0xED});
  const size_t oldLength = Be16At(file, app13 + 2);
  const size_t oldResource = fx::Resource8bim(1028, oldIptc, "nm").size();

  // The declared UTF-8 (1:90) goes: the values written are in the Windows code page.
  Bytes merged = fx::IptcRecord(0, Bytes{0, 4}, 1);
  fx::Append(merged, fx::IptcRecord(0, Bytes{0, 2}));
  fx::Append(merged, fx::IptcRecord(5, fx::Text("new")));
  fx::Append(merged, fx::IptcRecord(120, longValue));
  fx::Append(merged, fx::IptcRecord(25, fx::Text("kw")));
  fx::Append(merged, fx::IptcRecord(200, fx::Text("private")));
  fx::Append(merged, fx::IptcRecord(10, fx::Text("x"), 7));
  const Bytes newResource = fx::Resource8bim(1028, merged);
  EXPECT_EQ(Be16At(out, app13 + 2), oldLength - oldResource + newResource.size());
  // 1036 before it and 1005 after it byte-identical, the new 1028 in the old one's place.
  const size_t resAt = app13 + 4 + 14;
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + app13 + 2, out.begin()));
  EXPECT_TRUE(std::equal(file.begin() + app13 + 4, file.begin() + resAt + thumbEnd, out.begin() + app13 + 4));
  EXPECT_TRUE(std::equal(newResource.begin(), newResource.end(), out.begin() + resAt + thumbEnd));
  EXPECT_TRUE(std::equal(file.begin() + resAt + thumbEnd + oldResource, file.end(),
                         out.begin() + resAt + thumbEnd + newResource.size()));
  EXPECT_EQ(out.size(), file.size() - oldResource + newResource.size());

  // An edited long value replaces the original.
  Bytes block2 = Block({{120, "short"}});
  Bytes out2;
  ASSERT_EQ(BuildJpegWithIptc(out.data(), out.size(), block2.data(), block2.size(), out2), SegmentWriteResult::kDone);
  EXPECT_EQ(Iptc(out2), "0\t\n\n02\t\n120\t\n\nshort\t\n");
  EXPECT_NE(Find(out2, fx::IptcRecord(200, fx::Text("private"))), std::string::npos);
  EXPECT_EQ(Find(out2, fx::IptcRecord(90, fx::Text("\x1b%G"), 1)), std::string::npos);

  // Only 1036: the block is appended and the length grows by its size.
  const Bytes only = fx::Jpeg({fx::App13(fx::Resource8bim(1036, thumb))});
  ASSERT_EQ(BuildJpegWithIptc(only.data(), only.size(), block2.data(), block2.size(), out), SegmentWriteResult::kDone);
  EXPECT_EQ(Be16At(out, 4), Be16At(only, 4) + block2.size());
  EXPECT_EQ(Iptc(out), "0\t\n\n02\t\n120\t\n\nshort\t\n");

  // A record declaring another set than UTF-8 keeps its declaration under a block in the code
  // page, and its values not edited keep their bytes.
  Bytes latin = fx::IptcRecord(90, fx::Text("\x1b.A"), 1);
  fx::Append(latin, fx::IptcRecord(0, Bytes{0, 4}));
  fx::Append(latin, fx::IptcRecord(5, fx::Text("caf\xe9")));
  fx::Append(latin, fx::IptcRecord(25, fx::Text("old")));
  const Bytes latinFile = fx::Jpeg({fx::App13(fx::Resource8bim(1028, latin))});
  Bytes latinBlock = Block({{5, "caf\xe9"}, {25, "new"}});
  ASSERT_EQ(BuildJpegWithIptc(latinFile.data(), latinFile.size(), latinBlock.data(), latinBlock.size(), out),
            SegmentWriteResult::kDone);
  Bytes latinMerged = fx::IptcRecord(90, fx::Text("\x1b.A"), 1);
  fx::Append(latinMerged, fx::IptcRecord(0, Bytes{0, 4}));
  fx::Append(latinMerged, fx::IptcRecord(5, fx::Text("caf\xe9")));
  fx::Append(latinMerged, fx::IptcRecord(25, fx::Text("new")));
  EXPECT_NE(Find(out, fx::Resource8bim(1028, latinMerged)), std::string::npos);

  // A last resource without its pad byte: the appended one still starts at an even offset.
  Bytes unpadded = fx::Resource8bim(1036, Bytes{1, 2, 3});
  unpadded.pop_back();
  const Bytes odd = fx::Jpeg({fx::App13(unpadded)});
  ASSERT_EQ(BuildJpegWithIptc(odd.data(), odd.size(), block2.data(), block2.size(), out), SegmentWriteResult::kDone);
  EXPECT_EQ(Iptc(out), "0\t\n\n02\t\n120\t\n\nshort\t\n");
}

std::string IptcDeclaring(const Bytes& file, bool* utf8) {
  static char buffer[kMetadataTextSize];
  TextBuffer out(buffer, sizeof buffer);
  MemoryByteSource src(file.data(), file.size());
  ReadIptcText(src, out, utf8);
  return std::string(buffer, out.length);
}

// A record that declares UTF-8 is written back in UTF-8 under its declaration: the values the
// user did not edit keep their bytes, a long one read cut before a whole character included.
TEST(JpegSegmentWriter, Utf8RecordKeepsItsDeclarationAndItsValues) {
  const std::string tokyo = "\xe6\x9d\xb1\xe4\xba\xac", korea = "\xed\x95\x9c\xea\xb5\xad";
  std::string longValue;
  for (int i = 0; i < 1000; ++i) longValue += "\xe3\x81\x82";  // あ: 2,047 bytes end inside one
  Bytes old = fx::IptcRecord(0, Bytes{0, 4}, 1);
  fx::Append(old, fx::IptcRecord(90, fx::Text("\x1b%G"), 1));
  fx::Append(old, fx::IptcRecord(100, fx::Text("uno"), 1));
  fx::Append(old, fx::IptcRecord(0, Bytes{0, 4}));
  fx::Append(old, fx::IptcRecord(5, fx::Text(tokyo)));
  fx::Append(old, fx::IptcRecord(25, fx::Text(korea)));
  fx::Append(old, fx::IptcRecord(120, fx::Text(longValue)));
  const Bytes file = fx::Jpeg({kApp0, fx::App13(fx::Resource8bim(1028, old))});
  bool utf8 = false;
  const std::string shownLong = longValue.substr(0, 2046);
  EXPECT_EQ(IptcDeclaring(file, &utf8), "0\t\n\n04\t\n5\t\n\n" + tokyo + "\t\n25\t\n\n" + korea + "\t\n120\t\n\n" +
                                            shownLong + "\t\n");
  EXPECT_TRUE(utf8);

  // The tab hands back what it showed, the title edited.
  const std::string osaka = "\xe5\xa4\xa7\xe9\x98\xaa";
  Bytes block;
  ASSERT_TRUE(BuildIptcResourceBlock({{5, osaka}, {25, korea}, {120, shownLong}}, block, true));
  Bytes out;
  ASSERT_EQ(BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size(), out), SegmentWriteResult::kDone);
  Bytes merged = fx::IptcRecord(0, Bytes{0, 4}, 1);
  fx::Append(merged, fx::IptcRecord(90, fx::Text("\x1b%G"), 1));  // the block's, in its place by number
  fx::Append(merged, fx::IptcRecord(100, fx::Text("uno"), 1));
  fx::Append(merged, fx::IptcRecord(0, Bytes{0, 4}));  // the file's record version, not the block's
  fx::Append(merged, fx::IptcRecord(5, fx::Text(osaka)));
  fx::Append(merged, fx::IptcRecord(25, fx::Text(korea)));
  fx::Append(merged, fx::IptcRecord(120, fx::Text(longValue)));
  EXPECT_NE(Find(out, fx::Resource8bim(1028, merged)), std::string::npos);
  utf8 = false;
  IptcDeclaring(out, &utf8);
  EXPECT_TRUE(utf8);

  // A block in the code page over it declares nothing; a new record in UTF-8 declares it.
  Bytes plainBlock = Block({{5, "\x91\xe5\x8d\xe3"}});
  ASSERT_EQ(BuildJpegWithIptc(out.data(), out.size(), plainBlock.data(), plainBlock.size(), merged),
            SegmentWriteResult::kDone);
  IptcDeclaring(merged, &utf8);
  EXPECT_FALSE(utf8);
  const Bytes bare = fx::Jpeg({kApp0});
  ASSERT_EQ(BuildJpegWithIptc(bare.data(), bare.size(), block.data(), block.size(), merged), SegmentWriteResult::kDone);
  EXPECT_EQ(IptcDeclaring(merged, &utf8).find("5\t\n\n" + osaka + "\t\n"), 8u);
  EXPECT_TRUE(utf8);

  // The shown length never ends inside a UTF-8 character, and is the plain cut otherwise.
  const uint8_t* v = reinterpret_cast<const uint8_t*>(longValue.data());
  EXPECT_EQ(IptcShownLength(v, longValue.size(), true), 2046u);
  EXPECT_EQ(IptcShownLength(v, longValue.size(), false), 2047u);
  EXPECT_EQ(IptcShownLength(v, 2047, true), 2047u);
  EXPECT_EQ(IptcShownLength(reinterpret_cast<const uint8_t*>("ab\0cd"), 5, true), 2u);
}

TEST(JpegSegmentWriter, RefusesWhatItCannotParseOrFit) {
  Bytes block = Block({{5, "t"}});
  Bytes out;
  auto build = [&](const Bytes& f) { return BuildJpegWithIptc(f.data(), f.size(), block.data(), block.size(), out); };
  // A resource whose size runs past its segment, a bad name length, junk after the list.
  Bytes r = fx::Resource8bim(1036, Bytes(8, 1));
  Bytes past = r;
  past[11] = 0x40;
  EXPECT_EQ(build(fx::Jpeg({fx::App13(past)})), SegmentWriteResult::kBadResources);
  Bytes name = r;
  name[6] = 0x30;
  EXPECT_EQ(build(fx::Jpeg({fx::App13(name)})), SegmentWriteResult::kBadResources);
  Bytes junk = r;
  fx::Append(junk, fx::Text("junk"));
  EXPECT_EQ(build(fx::Jpeg({fx::App13(junk)})), SegmentWriteResult::kBadResources);
  // Old IPTC records that do not parse.
  Bytes broken = fx::IptcRecord(5, fx::Text("abc"));
  broken.push_back(0x1C);
  EXPECT_EQ(build(fx::Jpeg({fx::App13(fx::Resource8bim(1028, broken))})), SegmentWriteResult::kBadResources);
  // Zero padding after the resources is allowed.
  Bytes padded = r;
  padded.insert(padded.end(), 4, 0);
  EXPECT_EQ(build(fx::Jpeg({fx::App13(padded)})), SegmentWriteResult::kDone);
  // Another program's APP13, a segment past the end, no SOS.
  EXPECT_EQ(build(fx::Jpeg({fx::Segment(0xED, fx::Text("Adobe_CM"))})), SegmentWriteResult::kForeignApp13);
  Bytes cut = fx::Jpeg({kApp0});
  cut.resize(10);
  EXPECT_EQ(build(cut), SegmentWriteResult::kBadStructure);
  EXPECT_EQ(build(Bytes{0xFF, 0xD8, 0xFF, 0xD9}), SegmentWriteResult::kBadStructure);
  EXPECT_EQ(BuildJpegWithComment(cut.data(), cut.size(), nullptr, 0, out), SegmentWriteResult::kBadStructure);

  // Segment size: an APP13 that would pass 65,535 bytes.
  const Bytes big = fx::Jpeg({fx::App13(fx::Resource8bim(1036, Bytes(65000, 1)))});
  std::vector<IptcDataset> sets = {{120, std::string(1000, 'c')}};
  block = Block(sets);
  EXPECT_EQ(build(big), SegmentWriteResult::kTooLarge);
  // A block that cannot fit a segment of its own is refused when built.
  Bytes huge;
  EXPECT_FALSE(BuildIptcResourceBlock({{120, std::string(32000, 'a')}, {105, std::string(33600, 'b')}}, huge));
  EXPECT_TRUE(BuildIptcResourceBlock({{120, std::string(32700, 'a')}, {105, std::string(32700, 'b')}}, huge));
}

TEST(JpegSegmentWriter, CommentSegment) {
  const Bytes file = fx::Jpeg({kApp0, fx::Segment(0xFE, fx::Text("first")), fx::Segment(0xFE, fx::Text("second"))});
  Bytes out;
  const std::string text = "\x93\xfa\x96\x7b";  // CP932 bytes
  ASSERT_EQ(BuildJpegWithComment(file.data(), file.size(), reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                 out),
            SegmentWriteResult::kDone);
  EXPECT_EQ(Comment(out), text);
  EXPECT_NE(Find(out, fx::Segment(0xFE, fx::Text("second"))), std::string::npos);
  EXPECT_EQ(Find(out, fx::Text("first")), std::string::npos);
  EXPECT_EQ(out.size(), file.size() - 5 + text.size());

  // Empty comment: FF FE 00 02, inserted in front of SOS when there is none.
  const Bytes plain = fx::Jpeg({kApp0});
  ASSERT_EQ(BuildJpegWithComment(plain.data(), plain.size(), nullptr, 0, out), SegmentWriteResult::kDone);
  const size_t sos = Find(plain, Bytes{0xFF, 0xDA});
  EXPECT_EQ(Bytes(out.begin() + sos, out.begin() + sos + 6), (Bytes{0xFF, 0xFE, 0x00, 0x02, 0xFF, 0xDA}));
  EXPECT_EQ(Comment(out), "");

  // 65,533 bytes fit, one more does not.
  const std::string longest(kMaxCommentBytes, 'z');
  ASSERT_EQ(BuildJpegWithComment(plain.data(), plain.size(), reinterpret_cast<const uint8_t*>(longest.data()),
                                 longest.size(), out),
            SegmentWriteResult::kDone);
  EXPECT_EQ(Be16At(out, sos + 2), 65535u);
  EXPECT_EQ(Comment(out), longest);
  EXPECT_EQ(BuildJpegWithComment(plain.data(), plain.size(), reinterpret_cast<const uint8_t*>(longest.data()),
                                 longest.size() + 1, out),
            SegmentWriteResult::kTooLarge);
}

#ifndef _WIN32
std::string RunShell(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

Bytes ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& b) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

struct Seg {
  uint8_t marker;
  Bytes bytes;
};
// The segments before SOS, then everything from SOS on as one piece (marker 0xDA).
std::vector<Seg> Segments(const Bytes& f) {
  std::vector<Seg> out;
  size_t pos = 2;
  while (pos + 4 <= f.size() && f[pos] == 0xFF && f[pos + 1] != 0xDA) {
    const size_t n = Be16At(f, pos + 2);
    out.push_back({f[pos + 1], Bytes(f.begin() + pos, f.begin() + pos + 2 + n)});
    pos += 2 + n;
  }
  out.push_back({0xDA, Bytes(f.begin() + pos, f.end())});
  return out;
}

// Real camera files: after each write every other segment and the picture data are the same
// bytes, our reader and ExifTool read the written fields back; files cut before their scan are
// refused.
TEST(JpegSegmentWriter, CameraSamples) {
  const std::string list = RunShell("dpkg -L golang-github-rwcarlsen-goexif-dev 2>/dev/null | grep -i '\\.jpg$'");
  const bool exiftool = !RunShell("command -v exiftool").empty();
  int written = 0, refused = 0;
  size_t at = 0;
  while (at < list.size()) {
    size_t end = list.find('\n', at);
    if (end == std::string::npos) end = list.size();
    const std::string path = list.substr(at, end - at);
    at = end + 1;
    if (path.empty()) continue;
    SCOPED_TRACE(path);
    const Bytes file = ReadAll(path);
    Bytes block = Block({{120, "caption \x83\x65\x83\x58\x83\x67"}, {25, "one"}, {25, "two"}});
    const std::string comment = "written comment";
    Bytes withIptc, both;
    SegmentWriteResult r = BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size(), withIptc);
    if (r != SegmentWriteResult::kDone) {
      EXPECT_TRUE(r == SegmentWriteResult::kBadStructure || r == SegmentWriteResult::kBadResources) << int(r);
      ++refused;
      continue;
    }
    ASSERT_EQ(BuildJpegWithComment(withIptc.data(), withIptc.size(), reinterpret_cast<const uint8_t*>(comment.data()),
                                   comment.size(), both),
              SegmentWriteResult::kDone);
    ++written;
    EXPECT_EQ(Comment(both), comment);
    const std::string iptc = Iptc(both);
    EXPECT_NE(iptc.find("120\t\n\ncaption \x83\x65\x83\x58\x83\x67\t\n"), std::string::npos) << iptc;
    EXPECT_NE(iptc.find("25\t\n\none\t\n25\t\n\ntwo\t\n"), std::string::npos) << iptc;
    // Segment by segment: everything but the first APP13 and the first COM is unchanged.
    std::vector<Seg> before = Segments(file), after = Segments(both);
    auto strip = [](std::vector<Seg> s) {
      std::vector<Seg> out;
      bool app13 = false, com = false;
      for (Seg& x : s) {
        if (x.marker == 0xED && !app13) { app13 = true; continue; }
        if (x.marker == 0xFE && !com) { com = true; continue; }
        out.push_back(std::move(x));
      }
      return out;
    };
    before = strip(before);
    after = strip(after);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(before[i].bytes == after[i].bytes) << i;
    if (exiftool) {
      const std::string tmp = "/tmp/brn_segment_writer_sample.jpg";
      // ExifTool's full reading before and after: only the written groups may differ.
      auto others = [](const std::string& all) {
        std::string kept;
        size_t at = 0;
        while (at < all.size()) {
          size_t end = all.find('\n', at);
          if (end == std::string::npos) end = all.size();
          const std::string line = all.substr(at, end - at);
          at = end + 1;
          if (line.rfind("[System]", 0) == 0 || line.rfind("[File]", 0) == 0 || line.rfind("[IPTC]", 0) == 0 ||
              line.rfind("[ExifTool]", 0) == 0 || line.rfind("[Composite]", 0) == 0)
            continue;
          kept += line + "\n";
        }
        return kept;
      };
      WriteAll(tmp, file);
      const std::string before = others(RunShell("exiftool -a -G1 " + tmp + " 2>&1"));
      WriteAll(tmp, both);
      EXPECT_EQ(before, others(RunShell("exiftool -a -G1 " + tmp + " 2>&1")));
      const std::string e = RunShell("exiftool -charset iptc=cp932 -S -IPTC:all -Comment " + tmp + " 2>&1");
      EXPECT_NE(e.find("Comment: written comment"), std::string::npos) << e;
      EXPECT_NE(e.find("Keywords: one, two"), std::string::npos) << e;
      EXPECT_NE(e.find("Caption-Abstract: caption"), std::string::npos) << e;
      std::remove(tmp.c_str());
    }
  }
  EXPECT_GE(written, 10) << "golang-github-rwcarlsen-goexif-dev is not installed";
  EXPECT_GE(refused, 40);
}

// A block ExifTool made with the coded character set UTF-8: after a write of values in the
// Windows code page another program reads them as such, and the other envelope datasets stay.
TEST(JpegSegmentWriter, NoUtf8DeclarationOverCodePageValues) {
  if (RunShell("command -v exiftool").empty()) GTEST_SKIP() << "exiftool is not installed";
  const std::string plain = "/tmp/brn_iptc_plain.jpg", tagged = "/tmp/brn_iptc_utf8.jpg";
  WriteAll(plain, fx::Jpeg({kApp0}));
  std::remove(tagged.c_str());
  RunShell("exiftool -q -o " + tagged + " -IPTC:CodedCharacterSet=UTF8 -IPTC:Destination=desk " +
           "-IPTC:ObjectName=\xe6\x9d\xb1\xe4\xba\xac " + plain + " 2>&1");
  const Bytes file = ReadAll(tagged);
  ASSERT_NE(Find(file, fx::IptcRecord(90, fx::Text("\x1b%G"), 1)), std::string::npos);
  // The tab hands its values over in CP932: 大阪.
  const Bytes block = Block({{5, "\x91\xe5\x8d\xe3"}});
  Bytes out;
  ASSERT_EQ(BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size(), out), SegmentWriteResult::kDone);
  WriteAll(tagged, out);
  const std::string e = RunShell("exiftool -S -IPTC:all " + tagged + " 2>&1");
  EXPECT_EQ(e.find("CodedCharacterSet"), std::string::npos) << e;
  EXPECT_NE(e.find("Destination: desk"), std::string::npos) << e;
  // Read as the undeclared bytes they are and taken in the code page: 大阪 again.
  EXPECT_EQ(RunShell("exiftool -charset iptc=Latin -charset Latin -b -IPTC:ObjectName " + tagged +
                     " | iconv -f CP932 -t UTF-8"),
            "\xe5\xa4\xa7\xe9\x98\xaa");
  std::remove(plain.c_str());
  std::remove(tagged.c_str());
}

// A record ExifTool wrote in UTF-8, one value edited through the tab's road (shown, handed back
// in UTF-8): every other value keeps its bytes and ExifTool reads each one right.
TEST(JpegSegmentWriter, Utf8RecordOfExifToolEditedOnce) {
  if (RunShell("command -v exiftool").empty()) GTEST_SKIP() << "exiftool is not installed";
  const std::string plain = "/tmp/brn_iptc_plain8.jpg", tagged = "/tmp/brn_iptc_utf8_edit.jpg";
  WriteAll(plain, fx::Jpeg({kApp0}));
  std::remove(tagged.c_str());
  // 東京, 札幌 and 名古屋, 한국의 사진 (not in the Windows code page), 写真家.
  RunShell("exiftool -q -o " + tagged + " -codedcharacterset=utf8 -IPTC:ObjectName=\xe6\x9d\xb1\xe4\xba\xac " +
           "-IPTC:Keywords=\xe6\x9c\xad\xe5\xb9\x8c -IPTC:Keywords=\xe5\x90\x8d\xe5\x8f\xa4\xe5\xb1\x8b " +
           "'-IPTC:Caption-Abstract=\xed\x95\x9c\xea\xb5\xad\xec\x9d\x98 \xec\x82\xac\xec\xa7\x84' " +
           "-IPTC:By-line=\xe5\x86\x99\xe7\x9c\x9f\xe5\xae\xb6 " + plain + " 2>&1");
  const Bytes file = ReadAll(tagged);
  bool utf8 = false;
  std::vector<IptcDataset> sets;
  const std::string text = IptcDeclaring(file, &utf8);
  ASSERT_TRUE(utf8);
  // The text's datasets as the tab lists them; the version row is not one.
  size_t at = 0;
  while ((at = text.find("\t\n\n", at)) != std::string::npos) {
    const size_t head = text.rfind('\n', at - 1) + 1, end = text.find("\t\n", at + 3);
    const int number = std::stoi(text.substr(head, at - head));
    if (number != 0) sets.push_back({uint8_t(number), text.substr(at + 3, end - at - 3)});
    at = end;
  }
  ASSERT_EQ(sets.size(), 5u) << text;
  for (IptcDataset& s : sets)
    if (s.number == 80) s.value = "\xe7\xb7\xa8\xe9\x9b\x86\xe8\x80\x85";  // 編集者
  Bytes block, out;
  ASSERT_TRUE(BuildIptcResourceBlock(sets, block, true));
  ASSERT_EQ(BuildJpegWithIptc(file.data(), file.size(), block.data(), block.size(), out), SegmentWriteResult::kDone);
  for (const IptcDataset& s : sets)
    if (s.number != 80) EXPECT_NE(Find(out, fx::IptcRecord(s.number, fx::Text(s.value))), std::string::npos) << s.value;
  WriteAll(tagged, out);
  const std::string e = RunShell("exiftool -S -IPTC:all " + tagged + " 2>&1");
  EXPECT_NE(e.find("CodedCharacterSet: UTF8"), std::string::npos) << e;
  EXPECT_NE(e.find("ObjectName: \xe6\x9d\xb1\xe4\xba\xac\n"), std::string::npos) << e;
  EXPECT_NE(e.find("Keywords: \xe6\x9c\xad\xe5\xb9\x8c, \xe5\x90\x8d\xe5\x8f\xa4\xe5\xb1\x8b\n"), std::string::npos)
      << e;
  EXPECT_NE(e.find("Caption-Abstract: \xed\x95\x9c\xea\xb5\xad\xec\x9d\x98 \xec\x82\xac\xec\xa7\x84\n"),
            std::string::npos)
      << e;
  EXPECT_NE(e.find("By-line: \xe7\xb7\xa8\xe9\x9b\x86\xe8\x80\x85\n"), std::string::npos) << e;
  EXPECT_EQ(e.find("Warning"), std::string::npos) << e;
  std::remove(plain.c_str());
  std::remove(tagged.c_str());
}
#endif

}  // namespace
