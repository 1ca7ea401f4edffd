#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "metadata/pure/metadata_reader.h"
#include "tests/support/exif_fixture.h"

using fx::Bytes;
using fx::NewIfd;

namespace {

struct Result {
  bool ok;
  std::string text;
};

Result Dump(const Bytes& file) {
  static char buffer[kMetadataTextSize];
  TextBuffer out(buffer, sizeof buffer);
  MemoryByteSource src(file.data(), file.size());
  bool ok = DumpMetadataText(src, "C:\\p\\a.jpg", out);
  return {ok, std::string(buffer, out.length)};
}

Result Summary(const Bytes& file, GpsPosition* gps = nullptr) {
  static char buffer[kMetadataTextSize];
  TextBuffer out(buffer, sizeof buffer);
  GpsPosition local{};
  MemoryByteSource src(file.data(), file.size());
  bool ok = ReadExifSummaryText(src, out, gps ? *gps : local);
  return {ok, std::string(buffer, out.length)};
}

Result Iptc(const Bytes& file) {
  static char buffer[kMetadataTextSize];
  TextBuffer out(buffer, sizeof buffer);
  MemoryByteSource src(file.data(), file.size());
  bool ok = ReadIptcText(src, out);
  return {ok, std::string(buffer, out.length)};
}

// The value of the first line "key\t...".
std::string Line(const std::string& text, const std::string& key) {
  size_t at = text.find("\n" + key + "\t");
  if (at == std::string::npos) return "<missing>";
  at += key.size() + 2;
  return text.substr(at, text.find('\n', at) - at);
}

// A little- or big-endian JPEG whose ExifIFD holds the given directory.
Bytes JpegWithExif(const fx::IfdPtr& exif, bool little = true, const std::string& make = "Canon") {
  auto ifd0 = NewIfd(little);
  ifd0->Ascii(0x010F, make).Sub(0x8769, exif);
  return fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0))});
}

TEST(MetadataDump, LittleEndianJpegGivesTheWholeText) {
  auto exif = NewIfd(true);
  exif->Rational(0x829A, {{1, 250}}).Rational(0x829D, {{28, 10}}).Short(0x8827, {100});
  auto ifd1 = NewIfd(true);
  ifd1->Long(0x0201, {300}).Long(0x0202, {1000});
  auto ifd0 = NewIfd(true);
  ifd0->Ascii(0x010F, "Canon").Ascii(0x0110, "EOS").Short(0x0112, {6}).Sub(0x8769, exif);
  ifd0->next = ifd1;
  Result r = Dump(fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0))}));
  ASSERT_TRUE(r.ok);
  // TIFF header at 12; 0th IFD at 20; the orientation entry is the third: value at 20 + 2 + 24 + 8.
  EXPECT_EQ(r.text,
            "C:\\p\\a.jpg\n"
            "Maker\tCanon\n"
            "Model\tEOS\n"
            "Direction\t6\n"
            "FlipI54\n"
            "\n<---ExifIFD start --->\n"
            "ExposureTime\t1/250\n"
            "FNumber\tF2.8\n"
            "ISO\t100\n"
            "<---ExifIFD end --->\n\n"
            "\n<---1st IFD start --->\n"
            "cg2ofs\t312\n"
            "cg2size\t1000\n"
            "<---1st IFD end --->\n\n");
}

TEST(MetadataDump, OrientationOffsetOnlyForInlineShort) {
  struct Case {
    bool little;
    uint16_t type;
    std::vector<uint16_t> values;
    std::string expected;
  } cases[] = {
      {false, 3, {8}, "Direction\t8\nFlipM54\n"},
      {true, 3, {3, 3}, "Direction\t3\n"},  // two values: no offset line
      {true, 8, {6}, "Direction\t6\n"},     // SSHORT: no offset line
  };
  for (const Case& c : cases) {
    auto ifd0 = NewIfd(c.little);
    ifd0->Ascii(0x010F, "Canon").Ascii(0x0110, "EOS").Short(0x0112, c.values, c.type);
    Result r = Dump(fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0))}));
    EXPECT_NE(r.text.find(c.expected), std::string::npos) << r.text;
    EXPECT_EQ(r.text.find("Flip") != std::string::npos, c.expected.find("Flip") != std::string::npos) << r.text;
  }
}

TEST(MetadataDump, ExifValueFormatting) {
  struct Case {
    const char* name;
    void (*add)(fx::Ifd&);
    const char* key;
    std::string expected;
  } cases[] = {
      {"exposure 1/250", [](fx::Ifd& d) { d.Rational(0x829A, {{1, 250}}); }, "ExposureTime", "1/250"},
      {"exposure 10/25", [](fx::Ifd& d) { d.Rational(0x829A, {{10, 25}}); }, "ExposureTime", "1/2.5"},
      {"exposure 2 s", [](fx::Ifd& d) { d.Rational(0x829A, {{2, 1}}); }, "ExposureTime", "2.0"},
      {"exposure 0/0", [](fx::Ifd& d) { d.Rational(0x829A, {{0, 0}}); }, "ExposureTime", ""},
      {"f-number 4", [](fx::Ifd& d) { d.Rational(0x829D, {{4, 1}}); }, "FNumber", "F4"},
      {"f-number 5.6", [](fx::Ifd& d) { d.Rational(0x829D, {{56, 10}}); }, "FNumber", "F5.6"},
      {"program 2", [](fx::Ifd& d) { d.Short(0x8822, {2}); }, "ExposureProg",
       "\xcc\xdf\xdb\xb8\xde\xd7\xd1" "AE"},
      {"program 10", [](fx::Ifd& d) { d.Short(0x8822, {10}); }, "ExposureProg", "0x0000000a"},
      {"iso three values", [](fx::Ifd& d) { d.Short(0x8827, {100, 200, 300}); }, "ISO", "100, 200"},
      {"iso srational min", [](fx::Ifd& d) { d.Rational(0x8827, {{0x80000000u, 0xFFFFFFFFu}}, 10); }, "ISO",
       "2147483648"},
      {"exif version", [](fx::Ifd& d) { d.Undefined(0x9000, fx::Text("0230")); }, "ExifVer", "02"},
      {"bias 0", [](fx::Ifd& d) { d.Rational(0x9204, {{0, 3}}, 10); }, "ExposureBias", "\x81\x7d" "0"},
      {"bias 2/3", [](fx::Ifd& d) { d.Rational(0x9204, {{2, 3}}, 10); }, "ExposureBias", "+0.7"},
      {"bias -1", [](fx::Ifd& d) { d.Rational(0x9204, {{0xFFFFFFFFu, 1}}, 10); }, "ExposureBias", "-1"},
      {"bias -1/3", [](fx::Ifd& d) { d.Rational(0x9204, {{0xFFFFFFFFu, 3}}, 10); }, "ExposureBias", "-0.3"},
      // Computed in single precision: -13/20 lies just above -0.65 as a float.
      {"bias -13/20", [](fx::Ifd& d) { d.Rational(0x9204, {{uint32_t(-13), 20}}, 10); }, "ExposureBias", "-0.6"},
      {"bias 13/20", [](fx::Ifd& d) { d.Rational(0x9204, {{13, 20}}, 10); }, "ExposureBias", "+0.6"},
      {"bias 1/0", [](fx::Ifd& d) { d.Rational(0x9204, {{1, 0}}, 10); }, "ExposureBias", ""},
      {"metering 0", [](fx::Ifd& d) { d.Short(0x9207, {0}); }, "PhotometryMode", "unknown"},
      {"metering 5", [](fx::Ifd& d) { d.Short(0x9207, {5}); }, "PhotometryMode", "\x95\xaa\x8a\x84\x91\xaa\x8c\xf5"},
      {"flash fired", [](fx::Ifd& d) { d.Short(0x9209, {0x19}); }, "Flash", "On"},
      {"flash off", [](fx::Ifd& d) { d.Short(0x9209, {0x10}); }, "Flash", "Off"},
      {"focal 7.1", [](fx::Ifd& d) { d.Rational(0x920A, {{7109, 1000}}); }, "FocalLength", "7mm"},
      {"focal /0", [](fx::Ifd& d) { d.Rational(0x920A, {{50, 0}}); }, "FocalLength", ""},
      {"rational 3/9", [](fx::Ifd& d) { d.Rational(0xA002, {{3, 9}}); }, "Width2", "1/3"},
      {"rational 2/9", [](fx::Ifd& d) { d.Rational(0xA002, {{2, 9}}); }, "Width2", "2/9"},
      {"srational 1/3", [](fx::Ifd& d) { d.Rational(0xA002, {{1, 3}}, 10); }, "Width2", "0.3"},
      {"slong", [](fx::Ifd& d) { d.Long(0xA002, {0xFFFFFFFEu}, 9); }, "Width2", "-2"},
      {"sbyte", [](fx::Ifd& d) { d.Add(0xA002, 6, 1, {0xFF}); }, "Width2", "-1"},
      {"white balance 1", [](fx::Ifd& d) { d.Short(0xA403, {1}); }, "WhiteBalance",
       "\xcf\xc6\xad\xb1\xd9 \xce\xdc\xb2\xc4\xca\xde\xd7\xdd\xbd"},
      {"exposure mode byte code", [](fx::Ifd& d) { d.Add(0xA402, 1, 1, {2}); }, "ExposureMode",
       "\xb5\xb0\xc4 \xcc\xde\xd7\xb9\xaf\xc4"},
      {"35mm", [](fx::Ifd& d) { d.Short(0xA405, {28}); }, "FL35mm", "28mm"},
      {"count 0", [](fx::Ifd& d) { d.Add(0x8827, 3, 0, {}); }, "ISO", "(oops! data length is 0)"},
      {"undefined without codes", [](fx::Ifd& d) { d.Undefined(0x9003, {1, 2, 3, 4, 5, 6}); }, "DateTime", ""},
      {"ascii real count", [](fx::Ifd& d) { d.Ascii(0x9003, "2020:01:02 03:04:05"); }, "DateTime",
       "2020:01:02 03:04:05"},
      {"inline ascii of four", [](fx::Ifd& d) { d.Add(0x9003, 2, 4, fx::Text("abcd")); }, "DateTime", "abcd"},
  };
  for (const Case& c : cases) {
    auto exif = NewIfd(true);
    c.add(*exif);
    Result r = Dump(JpegWithExif(exif));
    EXPECT_TRUE(r.ok) << c.name;
    EXPECT_EQ(Line(r.text, c.key), c.expected) << c.name << "\n" << r.text;
  }
}

TEST(MetadataDump, MakeUsesItsWholeCount) {
  auto exif = NewIfd(false);
  Result r = Dump(JpegWithExif(exif, false, "NIKON CORPORATION"));
  EXPECT_EQ(Line(r.text, "Maker"), "NIKON CORPORATION");
}

TEST(MetadataSummary, GpsDirectory) {
  auto gpsDir = NewIfd(false);
  gpsDir->Add(0x00, 1, 4, {2, 2, 0, 0})
      .Ascii(0x01, "N")
      .Rational(0x02, {{35, 1}, {39, 1}, {2958, 100}})
      .Ascii(0x03, "W")
      .Rational(0x04, {{139, 1}, {44, 1}, {0, 1}})
      .Add(0x05, 1, 1, {1})
      .Rational(0x06, {{12345, 100}})
      .Rational(0x07, {{13, 1}, {3, 1}, {4217, 100}})
      .Ascii(0x0A, "3")
      .Short(0x0C, {75})
      .Rational(0x0F, {{9050, 100}})
      .Short(0x0E, {'T'})
      .Ascii(0x12, "WGS-84")
      .Rational(0x14, {{1, 0}, {0, 1}, {0, 1}});
  auto ifd0 = NewIfd(false);
  ifd0->Ascii(0x010F, "Canon").Sub(0x8825, gpsDir);
  GpsPosition gps{};
  Result r = Summary(fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0))}), &gps);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.text,
            "0\t\n\n2.2.0.0\t\n"
            "1\t\n\n\x96k\x88\xdc\t\n"
            "2\t\n\n35\x81\x8b 39' 29.58\" [DMS]\t\n"
            "3\t\n\n\x90\xbc\x8co\t\n"
            "4\t\n\n139\x81\x8b 44' 0.00\" [DMS]\t\n"
            "5\t\n\n\x8a\x43\x94\xb2\x8a\xee\x8f\x80(\x95\x89\x92l)\t\n"
            "6\t\n\n123.45m\t\n"
            "7\t\n\n13:03:42\t\n"
            "10\t\n\n3\t\n"
            "12\t\n\nKm/h\t\n"
            "15\t\n\n90.50\x81\x8b\t\n"
            "14\t\n\n\x90^\x95\xfb\x88\xca\t\n"
            "18\t\n\nWGS-84\t\n"
            "20\t\n\n\t\n");
  EXPECT_NEAR(gps.latitude, 35.658217, 1e-6);
  EXPECT_NEAR(gps.longitude, 139.733333, 1e-6);
  EXPECT_EQ(gps.south, 0);
  EXPECT_EQ(gps.west, 1);
  EXPECT_EQ(gps.datum, 1);
}

TEST(MetadataSummary, FormatsWithoutGpsData) {
  auto tiff = fx::Tiff(*NewIfd(true));
  EXPECT_TRUE(Summary(tiff).ok);
  EXPECT_EQ(Summary(tiff).text, "");
  Bytes orf = fx::Tiff(*NewIfd(false), Bytes{'M', 'M', 'O', 'R'});
  EXPECT_FALSE(Summary(orf).ok);
  EXPECT_TRUE(Dump(orf).ok);
  EXPECT_FALSE(Iptc(orf).ok);
}

// ---- maker notes ----

Bytes NikonLens(bool little, double fmin, double fmax, double amin, double amax) {
  auto note = NewIfd(little);
  auto r = [](double x) { return std::pair<uint32_t, uint32_t>(uint32_t(x * 10 + 0.5), 10); };
  note->Rational(0x0084, {r(fmin), r(fmax), r(amin), r(amax)});
  auto exif = NewIfd(true);
  exif->Note(note, fx::Text(std::string("Nikon\0\x02\x10\0\0", 10)), fx::NoteBase::kInnerTiff);
  return JpegWithExif(exif, true, "NIKON CORPORATION");
}

TEST(MakerNotes, NikonLensTexts) {
  struct Case {
    double fmin, fmax, amin, amax;
    const char* expected;
  } cases[] = {
      {50, 50, 1.4, 1.4, "50mm F1.4"},
      {18, 55, 3.5, 5.6, "18-55mm F3.5-5.6"},
      {24, 70, 2.8, 2.8, "24-70mm F2.8"},
      {35, 35, 2.0, 2.0, "35mm F2"},
      {10, 100, 4, 4, "10-100mm F4"},
  };
  for (const Case& c : cases) {
    Result r = Dump(NikonLens(false, c.fmin, c.fmax, c.amin, c.amax));
    EXPECT_EQ(Line(r.text, "Lens"), c.expected) << r.text;
  }
  auto note = NewIfd(false);
  note->Rational(0x0084, {{18, 1}, {55, 0}, {35, 10}, {56, 10}});
  auto exif = NewIfd(true);
  exif->Note(note, fx::Text(std::string("Nikon\0\x02\x10\0\0", 10)), fx::NoteBase::kInnerTiff);
  EXPECT_EQ(Line(Dump(JpegWithExif(exif, true, "NIKON")).text, "Lens"), "");
}

TEST(MakerNotes, BigEndianNikonInsideLittleEndianExif) {
  auto preview = NewIfd(false);
  preview->Long(0x0201, {100}).Long(0x0202, {2000});
  auto note = NewIfd(false);
  note->Short(0x0002, {0, 400}).Sub(0x0011, preview).Add(0x0083, 1, 1, {6});
  note->Rational(0x0084, {{180, 10}, {550, 10}, {35, 10}, {56, 10}}).Add(0x008B, 7, 4, {0x4a, 1, 2, 3});
  auto exif = NewIfd(true);
  exif->Rational(0x829D, {{8, 1}});
  exif->Note(note, fx::Text(std::string("Nikon\0\x02\x10\0\0", 10)), fx::NoteBase::kInnerTiff);
  exif->Short(0xA002, {640}).Short(0xA003, {480});
  Bytes file = JpegWithExif(exif, true, "NIKON CORPORATION");
  Result r = Dump(file);
  // The maker note's TIFF header: search it in the file to know where the preview offset is based.
  size_t inner = std::string(file.begin(), file.end()).find(std::string("Nikon\0\x02\x10\0\0MM", 12)) + 10;
  EXPECT_NE(r.text.find("\n<---MakerNote start --->\nISO\t400\n\n<---NikonThmIFD start --->\ncg3ofs\t" +
                        std::to_string(inner + 100) + "\ncg3size\t2000\n<---NikonThmIFD end --->\n\nLex1\tG\n"
                        "Lens\t18-55mm F3.5-5.6\nLex3\t4A\n<---MakerNote end --->\n\nWidth2\t640\nHeight2\t480\n"),
            std::string::npos)
      << r.text;
}

TEST(MakerNotes, CanonNoteMovedBySoftware) {
  // The note now lies 50 bytes after the place its offsets were written for; its footer says so.
  auto note = NewIfd(true);
  std::vector<uint16_t> settings(25, 0);
  settings[22] = 65535, settings[23] = 18600, settings[24] = 6200;
  note->Short(0x0001, settings).Ascii(0x0007, "Firmware Version 1.00").Ascii(0x0095, "Lens name");
  for (bool footer : {true, false}) {
    auto exif = NewIfd(false);
    exif->Note(note, {}, fx::NoteBase::kTiff, 50, footer);
    Result r = Dump(JpegWithExif(exif, false));
    if (footer) {
      EXPECT_NE(r.text.find("Lex3\t65535\nLex2\t18600\nLex1\t6200\nFw\t0\nLens\tLens name\n"), std::string::npos)
          << r.text;
    } else {
      EXPECT_NE(Line(r.text, "Lens"), "Lens name") << r.text;  // read 50 bytes early
    }
  }
}

TEST(MakerNotes, PerMakerDirectoriesAndValues) {
  struct Case {
    const char* name;
    const char* make;
    fx::IfdPtr (*note)();
    const char* header;
    size_t headerLength;
    fx::NoteBase base;
    const char* expected;  // the maker-note section's lines
  } cases[] = {
      {"canon", "Canon",
       [] {
         auto n = NewIfd(true);
         std::vector<uint16_t> settings(25, 0);
         settings[22] = 1, settings[23] = 50, settings[24] = 50;
         n->Short(0x0001, settings).Ascii(0x0007, "Firmware Version 1.0.1");
         fx::Bytes info(20, 0);
         info[13] = 42;
         n->Undefined(0x000D, info).Ascii(0x0095, "EF50mm f/1.8 II");
         return n;
       },
       "", 0, fx::NoteBase::kTiff, "Lex3\t1\nLex2\t50\nLex1\t50\nFw\t0\nLex4\t42\nLens\tEF50mm f/1.8 II\n"},
      {"canon short settings", "Canon",
       [] {
         auto n = NewIfd(true);
         n->Short(0x0001, {1, 2, 3});
         return n;
       },
       "", 0, fx::NoteBase::kTiff, "Lex3\t\n"},
      {"pentax", "PENTAX Corporation",
       [] {
         auto n = NewIfd(false);
         n->Long(0x0003, {5000}).Long(0x0004, {777}).Short(0x003F, {0x0317});
         return n;
       },
       "AOC\0MM", 6, fx::NoteBase::kTiff, "cg3size\t5000\ncg3ofs\t777\nLens\t791\n"},
      {"sony", "SONY",
       [] {
         auto n = NewIfd(true);
         n->Long(0xB027, {65535});
         return n;
       },
       "SONY DSC \0\0\0", 12, fx::NoteBase::kTiff, "Lens\t65535\n"},
      {"minolta", "KONICA MINOLTA",
       [] {
         auto n = NewIfd(false);
         n->Long(0x0088, {1000}).Long(0x0089, {300}).Long(0x010C, {25});
         return n;
       },
       "", 0, fx::NoteBase::kTiff, "cg1ofs\t1012\ncg1size\t300\nLens\t25\n"},
      {"panasonic", "Panasonic",
       [] {
         auto n = NewIfd(true);
         n->Short(0x0017, {200}).Ascii(0x0051, "LUMIX G VARIO 14-42");
         return n;
       },
       "Panasonic\0\0\0", 12, fx::NoteBase::kTiff, "ISO\t200\nLens\tLUMIX G VARIO 14-42\n"},
      {"olympus new", "OLYMPUS IMAGING CORP.  ",
       [] {
         auto equipment = NewIfd(true);
         equipment->Add(0x0201, 1, 6, {0, 1, 0x10, 0, 0, 0}).Add(0x0301, 1, 6, {0, 4, 0, 0, 0, 0});
         auto n = NewIfd(true);
         n->Sub(0x2010, equipment, 13);
         return n;
       },
       "OLYMPUS\0II\x03\0", 12, fx::NoteBase::kNoteStart,
       "\n<---OlympusThmIFD2 start --->\nLens\t000110000000\nExt\t000400000000\n<---OlympusThmIFD2 end --->\n\n"},
      {"olympus old", "OLYMPUS OPTICAL CO.,LTD",
       [] {
         auto equipment = NewIfd(true);
         equipment->Add(0x0201, 1, 6, {0, 1, 2, 0, 0, 0});
         auto n = NewIfd(true);
         n->Sub(0x2010, equipment, 13);
         return n;
       },
       "OLYMP\0\x01\0", 8, fx::NoteBase::kTiff,
       "\n<---OlympusThmIFD2 start --->\nLens\t000102000000\n<---OlympusThmIFD2 end --->\n\n"},
      {"unknown maker", "Kodak",
       [] {
         auto n = NewIfd(true);
         n->Short(0x0001, {1});
         return n;
       },
       "", 0, fx::NoteBase::kTiff, nullptr},
  };
  for (const Case& c : cases) {
    auto exif = NewIfd(true);
    exif->Note(c.note(), fx::Bytes(c.header, c.header + c.headerLength), c.base);
    Result r = Dump(JpegWithExif(exif, true, c.make));
    if (!c.expected) {
      EXPECT_EQ(r.text.find("MakerNote"), std::string::npos) << c.name;
      continue;
    }
    std::string section = std::string("\n<---MakerNote start --->\n") + c.expected + "<---MakerNote end --->\n\n";
    EXPECT_NE(r.text.find(section), std::string::npos) << c.name << "\n" << r.text;
  }
}

// Old "OLYMP\0" notes keep the equipment and camera-settings directories as the tags' own out-of-line data;
// their values count from the Exif TIFF header. New notes hold offsets counted from the note's start.
TEST(MakerNotes, OlympusOutOfLineDirectoriesAndSignedPreviewOffset) {
  // Directory bytes for position at (relative to the TIFF header): two entries, six-byte values after it.
  auto equipmentAt = [](uint32_t at) {
    Bytes b;
    fx::Put16(b, 2, true);
    const uint16_t tags[] = {0x0201, 0x0301};
    for (int i = 0; i < 2; ++i) {
      fx::Put16(b, tags[i], true), fx::Put16(b, 1, true), fx::Put32(b, 6, true);
      fx::Put32(b, at + 30 + 6 * i, true);
    }
    fx::Put32(b, 0, true);
    fx::Append(b, {0, 1, 2, 0, 0, 0, 0, 4, 0, 0, 0, 0});
    return b;
  };
  auto cameraSettings = [](uint32_t offset) {
    Bytes b;
    fx::Put16(b, 2, true);
    fx::Put16(b, 0x0101, true), fx::Put16(b, 4, true), fx::Put32(b, 1, true), fx::Put32(b, offset, true);
    fx::Put16(b, 0x0102, true), fx::Put16(b, 4, true), fx::Put32(b, 1, true), fx::Put32(b, 999, true);
    fx::Put32(b, 0, true);
    return b;
  };
  auto note = NewIfd(true);
  note->Undefined(0x2010, Bytes(42, 0xA1)).Undefined(0x2020, Bytes(30, 0xA2));
  auto exif = NewIfd(true);
  exif->Note(note, fx::Bytes{'O', 'L', 'Y', 'M', 'P', 0, 1, 0}, fx::NoteBase::kTiff);
  auto ifd0 = NewIfd(true);
  ifd0->Ascii(0x010F, "OLYMPUS OPTICAL CO.,LTD").Sub(0x8769, exif);
  Bytes tiff = fx::Tiff(*ifd0);
  auto find = [&](uint8_t fill, size_t n) {
    const Bytes pattern(n, fill);
    return size_t(std::search(tiff.begin(), tiff.end(), pattern.begin(), pattern.end()) - tiff.begin());
  };
  auto place = [&](uint8_t fill, size_t n, const Bytes& bytes) {
    size_t at = find(fill, n);
    ASSERT_LE(at + bytes.size(), tiff.size());
    std::copy(bytes.begin(), bytes.end(), tiff.begin() + long(at));
  };
  place(0xA1, 42, equipmentAt(uint32_t(find(0xA1, 42))));
  place(0xA2, 30, cameraSettings(0xFFFFFD56u));  // stored as -682
  Result r = Dump(fx::Jpeg({fx::ExifApp1(tiff)}));
  EXPECT_NE(r.text.find("\n<---OlympusThmIFD2 start --->\nLens\t000102000000\nExt\t000400000000\n"
                        "<---OlympusThmIFD2 end --->\n\n"),
            std::string::npos)
      << r.text;
  EXPECT_NE(r.text.find("\n<---OlympusThmIFD start --->\ncg4ofs\t-682\ncg4size\t999\n<---OlympusThmIFD end --->"),
            std::string::npos)
      << r.text;

  // New note: the camera-settings offset plus the note's position, as a signed 32-bit number.
  auto settings = NewIfd(true);
  settings->Long(0x0101, {0}).Long(0x0102, {5000});
  auto newNote = NewIfd(true);
  newNote->Sub(0x2020, settings, 13);
  auto exif2 = NewIfd(true);
  exif2->Note(newNote, fx::Bytes{'O', 'L', 'Y', 'M', 'P', 'U', 'S', 0, 'I', 'I', 3, 0}, fx::NoteBase::kNoteStart);
  auto ifd0b = NewIfd(true);
  ifd0b->Ascii(0x010F, "OLYMPUS IMAGING CORP.").Sub(0x8769, exif2);
  Bytes file = fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0b))});
  const std::string head("OLYMPUS\0II", 10);
  uint32_t noteAt = uint32_t(std::string(file.begin(), file.end()).find(head));
  // Find the settings directory's 0x0101 entry and make its value 682 short of the note's position.
  for (size_t i = noteAt; i + 12 <= file.size(); ++i) {
    if (file[i] == 0x01 && file[i + 1] == 0x01 && file[i + 2] == 4 && file[i + 3] == 0 && file[i + 4] == 1) {
      fx::Patch32(file, i + 8, uint32_t(0) - noteAt - 682, true);
      break;
    }
  }
  r = Dump(file);
  EXPECT_EQ(Line(r.text, "cg4ofs"), "-682") << r.text;
  EXPECT_EQ(Line(r.text, "cg4size"), "5000") << r.text;
}

// ---- front ends ----

TEST(MetadataFrontEnds, TiffWithSubDirectories) {
  auto sub0 = NewIfd(true);
  sub0->Long(0x0100, {160}).Long(0x0101, {120}).Long(0x0201, {5000}).Long(0x0202, {600});
  auto sub1 = NewIfd(true);
  sub1->Long(0x0111, {9000}).Long(0x0117, {700});
  auto exif = NewIfd(true);
  exif->Short(0x8827, {200});
  auto ifd0 = NewIfd(true);
  ifd0->Long(0x0100, {4000}).Ascii(0x010F, "Canon").Long(0x0111, {123}).Short(0x0112, {1}).Long(0x0117, {456});
  size_t subAt = ifd0->entries.size();
  ifd0->Long(0x014A, {0, 0}).Sub(0x8769, exif).Ascii(0x9003, "2021:02:03 04:05:06");
  // The SubIFD offsets are absolute: append the two directories, then patch the tag's two values.
  Bytes file = fx::Tiff(*ifd0);
  uint32_t a = uint32_t(file.size());
  fx::WriteIfd(file, *sub0, 0);
  uint32_t b = uint32_t(file.size());
  fx::WriteIfd(file, *sub1, 0);
  size_t values = file[8 + 2 + subAt * 12 + 8];
  fx::Patch32(file, values, a, true);
  fx::Patch32(file, values + 4, b, true);
  Result r = Dump(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.text,
            "C:\\p\\a.jpg\nWidth\t4000\nMaker\tCanon\ncg1ofs\t123\nDirection\t1\nFlipI54\ncg1size\t456\n"
            "\n<---SubIFD-0 start --->\nWidth2\t160\nHeight2\t120\ncg2ofs\t5000\ncg2size\t600\n<---SubIFD-0 end --->\n\n"
            "\n<---SubIFD-1 start --->\ncg5ofs\t9000\ncg5size\t700\n<---SubIFD-1 end --->\n\n"
            "\n<---ExifIFD start --->\nISO\t200\n<---ExifIFD end --->\n\n"
            "DateTime\t2021:02:03 04:05:06\n");
}

TEST(MetadataFrontEnds, Rw2PreviewAndIso) {
  auto ifd0 = NewIfd(true);
  ifd0->Short(0x0002, {3000}).Short(0x0017, {400}).Raw(0x002E, 7, 5000, 4096).Ascii(0x010F, "Panasonic");
  Bytes file = fx::Tiff(*ifd0, Bytes{'I', 'I', 0x55, 0});
  file.resize(9100, 0);
  Result r = Dump(file);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.text, "C:\\p\\a.jpg\nWidth\t3000\nISO\t400\ncg1ofs\t4096\ncg1size\t5000\nMaker\tPanasonic\n");
}

TEST(MetadataFrontEnds, JpegSegments) {
  auto ifd0 = NewIfd(true);
  ifd0->Ascii(0x010F, "Canon");
  Bytes exif = fx::ExifApp1(fx::Tiff(*ifd0));
  Bytes thumb(100, 0xAB);
  Bytes resources = fx::Resource8bim(1005, {1, 2}, "ab");
  fx::Append(resources, fx::Resource8bim(1036, thumb));
  Bytes app13 = fx::App13(resources);
  Bytes xmp = fx::Segment(0xE1, fx::Text("http://ns.adobe.com/xap/1.0/\0"));
  struct Case {
    const char* name;
    Bytes file;
    bool ok;
    const char* contains;
  } cases[] = {
      {"xmp first", fx::Jpeg({xmp, exif}), false, nullptr},
      {"exif then xmp", fx::Jpeg({exif, xmp}), true, "Maker\tCanon\n"},
      {"exif then thumbnail", fx::Jpeg({exif, app13, fx::Segment(0xFE, fx::Text("x"))}), true, nullptr},
      {"fill bytes", [&] { Bytes b{0xFF, 0xD8, 0xFF, 0xFF}; fx::Append(b, exif); return b; }(), true, "Maker"},
      {"no scan", [&] { Bytes b{0xFF, 0xD8}; fx::Append(b, exif); return b; }(), true, "Maker"},
      {"short length", Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x01, 0xFF, 0xE1}, false, nullptr},
      {"no marker prefix", [&] { Bytes b{0xFF, 0xD8, 0x00}; fx::Append(b, exif); return b; }(), false, nullptr},
      {"eoi first", [&] { Bytes b{0xFF, 0xD8, 0xFF, 0xD9}; fx::Append(b, exif); return b; }(), false, nullptr},
      {"truncated app1", Bytes(exif.begin(), exif.begin() + 20), false, nullptr},
  };
  for (const Case& c : cases) {
    Result r = Dump(c.file);
    EXPECT_EQ(r.ok, c.ok) << c.name;
    if (c.contains) EXPECT_NE(r.text.find(c.contains), std::string::npos) << c.name;
  }
  // APP13 after the Exif block: the thumbnail locator and nothing after it is read.
  Bytes file = cases[2].file;
  size_t at = std::string(file.begin(), file.end()).find("8BIM\x04\x0c");
  Result r = Dump(file);
  EXPECT_EQ(Line(r.text, "cg6ofs"), std::to_string(at + 40));
  EXPECT_EQ(Line(r.text, "cg6size"), "72");
}

TEST(MetadataFrontEnds, IptcAndComment) {
  Bytes records = fx::IptcRecord(0, {0, 4});
  fx::Append(records, fx::IptcRecord(5, fx::Text("Title")));
  fx::Append(records, fx::IptcRecord(6, fx::Text("skipped")));
  fx::Append(records, fx::IptcRecord(120, fx::Text("\x93\xfa\x96{")));  // 日本 in CP932
  fx::Append(records, fx::IptcRecord(25, fx::Text("kw"), 1));
  fx::Append(records, fx::Bytes{0x1C, 2, 25, 0x80, 0x02, 0x00, 0x03, 'a', 'b', 'c'});  // extended: skipped
  fx::Append(records, fx::IptcRecord(25, fx::Text("last")));
  const std::string expected = "0\t\n\n04\t\n5\t\n\nTitle\t\n120\t\n\n\x93\xfa\x96{\t\n25\t\n\nlast\t\n";
  Bytes jpeg = fx::Jpeg({fx::App13(fx::Resource8bim(1028, records)), fx::Segment(0xFE, fx::Text("hello"))});
  EXPECT_EQ(Iptc(jpeg).text, expected);
  EXPECT_TRUE(Iptc(jpeg).ok);
  // A dataset longer than its resource ends the parse.
  Bytes bad = fx::IptcRecord(5, fx::Text("Title"));
  bad[4] = 200;
  EXPECT_EQ(Iptc(fx::Jpeg({fx::App13(fx::Resource8bim(1028, bad))})).text, "");
  EXPECT_FALSE(Iptc(fx::Jpeg({fx::Segment(0xFE, fx::Text("c"))})).ok);

  // TIFF: tag 0x83BB out of line.
  auto ifd0 = NewIfd(false);
  ifd0->Undefined(0x83BB, records);
  EXPECT_EQ(Iptc(fx::Tiff(*ifd0)).text, expected);

  // PSD: colour-mode data skipped by its length, resources read with their 32-bit length.
  Bytes res = fx::Resource8bim(1028, records);
  fx::Append(res, fx::Resource8bim(1036, Bytes(40, 1)));
  Bytes psd = fx::Psd(res, 3);
  size_t resAt = 26 + 4 + 3 + 4;
  EXPECT_EQ(Iptc(psd).text, expected);
  Result d = Dump(psd);
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(Line(d.text, "cg6ofs"), std::to_string(resAt + fx::Resource8bim(1028, records).size() + 12 + 28));
  EXPECT_EQ(Line(d.text, "cg6size"), "12");

  static char comment[kJpegCommentSize];
  MemoryByteSource src(jpeg.data(), jpeg.size());
  EXPECT_TRUE(ReadJpegCommentBytes(src, comment, sizeof comment));
  EXPECT_STREQ(comment, "hello");
  // A marker that is no known segment (as in damaged files) is skipped by its length; the comment after it
  // is still found. A length that runs past the file ends the scan.
  Bytes junk{0xFF, 0xD8, 0x12, 0x34, 0x00, 0x06, 1, 2, 3, 4, 0xFF, 0xD0, 0x00, 0x02};
  fx::Append(junk, fx::Segment(0xFE, fx::Text("after")));
  MemoryByteSource src3(junk.data(), junk.size());
  EXPECT_TRUE(ReadJpegCommentBytes(src3, comment, sizeof comment));
  EXPECT_STREQ(comment, "after");
  Bytes unknownThenExif{0xFF, 0xD8, 0xFF, 0x01, 0x00, 0x04, 9, 9};
  fx::Append(unknownThenExif, fx::ExifApp1(fx::Tiff(*ifd0)));
  EXPECT_TRUE(Dump(unknownThenExif).ok);
  Bytes pastEnd{0xFF, 0xD8, 0x12, 0x34, 0x40, 0x00};
  fx::Append(pastEnd, fx::Segment(0xFE, fx::Text("hidden")));
  MemoryByteSource src4(pastEnd.data(), pastEnd.size());
  EXPECT_FALSE(ReadJpegCommentBytes(src4, comment, sizeof comment));
  Bytes noComment = fx::Jpeg({});
  MemoryByteSource src2(noComment.data(), noComment.size());
  EXPECT_FALSE(ReadJpegCommentBytes(src2, comment, sizeof comment));
  EXPECT_STREQ(comment, "");
}

TEST(MetadataFrontEnds, RawContainers) {
  auto ifd0 = NewIfd(false);
  ifd0->Ascii(0x010F, "Model X").Short(0x0112, {1});
  Bytes tiff = fx::Tiff(*ifd0);

  // CRW: a heap with the JPEG record at heap offset 4, directory at the end.
  Bytes crw{'I', 'I', 26, 0, 0, 0};
  fx::Append(crw, fx::Text("HEAPCCDR"));
  crw.resize(26, 0);
  Bytes heap(4, 0);
  fx::Append(heap, Bytes(10, 0x55));  // the JPEG record
  size_t dir = heap.size();
  fx::Put16(heap, 2, true);
  fx::Put16(heap, 0x4001, true), fx::Put32(heap, 0, true), fx::Put32(heap, 0, true);
  fx::Put16(heap, 0x2007, true), fx::Put32(heap, 10, true), fx::Put32(heap, 4, true);
  fx::Put32(heap, uint32_t(dir), true);
  fx::Append(crw, heap);
  Result r = Dump(crw);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.text, "C:\\p\\a.jpg\ncg1ofs\t30\ncg1size\t10\n");
  crw[crw.size() - 4] = 0xF0;  // directory offset outside the heap
  EXPECT_FALSE(Dump(crw).ok);

  // RAF: magic, then a JPEG whose Exif block holds the TIFF header.
  size_t jpegAt = 100;
  Bytes raf = fx::Raf(tiff, jpegAt, 5000);
  r = Dump(raf);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(Line(r.text, "cg1ofs"), std::to_string(jpegAt));
  EXPECT_EQ(Line(r.text, "cg1size"), std::to_string(5000 - jpegAt));  // never past the end of the file
  EXPECT_EQ(Line(r.text, "Maker"), "Model X");
  EXPECT_NE(r.text.find("FlipM" + std::to_string(jpegAt + 12 + 8 + 2 + 12 + 8) + "\n"), std::string::npos);

  // MRW: the TIFF header at 48.
  Bytes mrw{0, 'M', 'R', 'M'};
  mrw.resize(48, 0);
  fx::Append(mrw, tiff);
  mrw.resize(200, 0);
  r = Dump(mrw);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(Line(r.text, "Maker"), "Model X");

  // X3F: an IMA2 section with a JPEG and its Exif block, the section directory at the end.
  fx::X3f x = fx::X3fWithExif(tiff);
  Bytes& x3f = x.bytes;
  size_t section = x.section, sectionLength = x.length, dirAt = x.directory;
  r = Dump(x3f);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(Line(r.text, "Maker"), "Model X");
  EXPECT_NE(r.text.find("cg3ofs\t" + std::to_string(section + 28) + "\ncg3size\t" + std::to_string(sectionLength) +
                        "\n"),
            std::string::npos);
  x3f[dirAt + 8] = 0xFF;  // a section count the file cannot hold
  EXPECT_FALSE(Dump(x3f).ok);
}

// ---- damaged input ----

TEST(MetadataRobustness, LoopsAndBadOffsets) {
  // A 0th IFD whose ExifIFD pointer and link both lead back to itself.
  Bytes loop = fx::Tiff(*[] {
    auto d = NewIfd(true);
    d->Long(0x8769, {8}).Ascii(0x010F, "Canon");
    return d;
  }());
  fx::Patch32(loop, 8 + 2 + 2 * 12, 8, true);
  Result r = Dump(loop);
  EXPECT_TRUE(r.ok);
  EXPECT_LT(r.text.size(), 400u);

  // A maker note whose sub-directory points at the maker note itself.
  auto note = NewIfd(false);
  note->Long(0x0011, {8});
  auto exif = NewIfd(true);
  exif->Note(note, fx::Text(std::string("Nikon\0\x02\x10\0\0", 10)), fx::NoteBase::kInnerTiff);
  r = Dump(JpegWithExif(exif, true, "NIKON"));
  EXPECT_EQ(r.text.find("cg3ofs"), std::string::npos);

  // Huge counts and offsets past the end: the tag is skipped, never printed with stale bytes.
  auto bad = NewIfd(true);
  bad->Ascii(0x010F, "Canon").Raw(0x0110, 2, 0xFFFFFFFFu, 0xFFFFFFF0u).Raw(0x8827, 3, 0x80000000u, 40);
  r = Dump(fx::Tiff(*bad));
  EXPECT_EQ(Line(r.text, "Model"), "<missing>");
  EXPECT_EQ(Line(r.text, "ISO"), "<missing>");

  // A directory whose entries run past the data.
  Bytes cut = fx::Tiff(*[] {
    auto d = NewIfd(true);
    d->Short(0x0100, {1}).Short(0x0101, {2}).Short(0x0112, {3});
    return d;
  }());
  cut.resize(8 + 2 + 12 + 6);
  r = Dump(cut);
  EXPECT_EQ(r.text, "C:\\p\\a.jpg\nWidth\t1\n");
}

TEST(MetadataRobustness, TextIsCutAtTheBuffer) {
  auto d = NewIfd(true);
  std::string big(4000, 'x');
  d->Ascii(0x010F, big).Ascii(0x0110, big).Ascii(0x9003, big);
  Result r = Dump(fx::Tiff(*d));
  EXPECT_EQ(r.text.size(), kMetadataTextSize - 1);
  static char small[16];
  TextBuffer t(small, sizeof small);
  t.Append("0123456789");
  t.Printf("%s", "abcdefghij");
  EXPECT_STREQ(small, "0123456789abcde");
}

}  // namespace
