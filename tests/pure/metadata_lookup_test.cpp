#include <gtest/gtest.h>

#include <string>

#include "metadata/pure/image_info.h"
#include "metadata/pure/metadata_lookup.h"

namespace {

const char16_t* kDump =
    u"C:\\pics\\Flip_2019\\Model\\a.jpg\n"
    u"Width\t4000\n"
    u"Maker\tCanon  \n"
    u"\n<---ExifIFD start --->\n"
    u"ISO\t200\n"
    u"Width2\t160\n"
    u"Empty\t\n"
    u"Direction\t6\n"
    u"FlipI1234\n"
    u"<---ExifIFD end --->\n\n"
    u"ISO\t800\n"
    u"XModel\tfake\n"
    u"Last\tno line feed";

TEST(MetadataLookup, GetDumpValue) {
  struct Case {
    const char16_t* key;
    bool found;
    const char16_t* value;
  } cases[] = {
      {u"Width", true, u"4000"},           // not the Width2 line
      {u"Width2", true, u"160"},
      {u"ISO", true, u"200"},              // the first line wins
      {u"Width3", false, u""},
      {u"Empty", false, u""},
      {u"Last", false, u""},               // a value without line feed is not found
      {u"Model", false, u""},              // neither in the path nor inside another key
      {u"Maker", true, u"Canon  "},
      {u"AKeyOfFifteen15", false, u""},    // keys have at most 14 characters
  };
  for (const Case& c : cases) {
    char16_t out[32] = u"junk";
    EXPECT_EQ(GetDumpValue(kDump, c.key, out, 32), c.found) << std::u16string(c.key).size();
    EXPECT_EQ(std::u16string(out), c.value);
  }
  char16_t small[3];
  EXPECT_TRUE(GetDumpValue(kDump, u"Width", small, 3));
  EXPECT_EQ(std::u16string(small), u"40");

  char16_t trimmed[32];
  EXPECT_TRUE(GetDumpValueTrimmed(kDump, u"Maker", trimmed, 32));
  EXPECT_EQ(std::u16string(trimmed), u"Canon");
  EXPECT_TRUE(GetDumpValueTrimmed(u"p\nMaker\t   \n", u"Maker", trimmed, 32));
  EXPECT_EQ(std::u16string(trimmed), u"");
}

TEST(MetadataLookup, FlagAndNumber) {
  struct Case {
    const char16_t* text;
    int flag;
    int32_t number;
  } cases[] = {
      {kDump, 1, 1234},
      {u"p\nDirection\t1\nFlipM98765\n", 2, 98765},
      {u"C:\\Flip_2019\\a.jpg\nWidth\t1\n", 0, 0},  // the path never matches
      {u"p\nFlipM\n", 0, 0},
      {u"p\nFlipM12", 0, 0},
      {u"p\nFlip", 0, 0},
      {u"p\nFlipIabc\n", 1, 0},
  };
  for (const Case& c : cases) {
    int32_t number = -1;
    EXPECT_EQ(GetDumpFlagAndNumber(c.text, u"Flip", &number), c.flag);
    EXPECT_EQ(number, c.number);
  }
}

TEST(MetadataLookup, PsdThumbnailLocation) {
  ImageInfo info{};
  info.thumbOffset = 7;
  info.thumbSize = 8;
  EXPECT_FALSE(ReadPsdThumbnailLocation(u"p\ncg1ofs\t5\n", info));
  EXPECT_EQ(info.thumbOffset, 7);
  EXPECT_EQ(info.thumbSize, 8);
  EXPECT_TRUE(ReadPsdThumbnailLocation(u"p\ncg6ofs\t100\ncg6size\t2000\n", info));
  EXPECT_EQ(info.thumbOffset, 100);
  EXPECT_EQ(info.thumbSize, 2000);
}

TEST(MetadataLookup, ResolveLensName) {
  struct Case {
    int kind;
    const char16_t* text;
    const char16_t* make;
    bool result;
    const char16_t* out;
  } cases[] = {
      {0, u"p\nLens\tX\n", u"", false, u""},
      {2, u"p\nLens\tX\n", u"", false, u""},
      {-1, u"p\nLens\tX\n", u"", false, u""},
      {12, u"p\nLens\tX\n", u"", false, u""},
      {17, u"p\nLens\tLUMIX G 20/F1.7\n", u"", true, u"LUMIX G 20/F1.7"},
      {7, u"p\nLens\tX\n", u"", true, u"X"},  // no Lex3/Lex1: the value stays
      {7, u"p\nLens\t0mm F0\nLex3\t00\nLex1\tB\n", u"", true, u"manual lens"},
      {7, u"p\nLens\t18-55mm F3.5-5.6\nLex3\t00\nLex1\tZ\n", u"", true, u"18-55mm F3.5-5.6"},
      {1, u"p\nLens\t0mm F0\nLex3\t00\nLex1\tB\n", u"NIKON CORPORATION", true, u"manual lens"},
      {4, u"p\nLens\t256\n", u"pentax", true, u"K or M Lens"},
      {1, u"p\nLens\t256\n", u"Apple", true, u"256"},
      {9, u"p\nLens\t0\n", u"", true, u"M-42 or No Lens"},
      {9, u"p\nLens\t99999\n", u"", true, u"99999"},
      {13, u"p\nLens\t0\n", u"", true, u"Minolta AF 28-85mm F3.5-4.5"},
      {8, u"p\nLens\t0\n", u"", true, u"Minolta AF 28-85mm F3.5-4.5"},
      {10, u"p\nLens\t000001000000\n", u"", true, u"Olympus Zuiko Digital ED 50mm F2.0 Macro"},
      {10, u"p\nLens\t000000000000\nExt\t000004000000\n", u"", true, u" +EC-14"},
      {10, u"p\nLens\t0000\n", u"", true, u"0000"},
      {6, u"p\nLens\tEF-S18-55mm\n", u"", true, u"EF-S18-55mm"},
      {6, u"p\nLex3\t1\nLex2\t50\nLex1\t50\n", u"", true, u"EF50mm f/1.8"},
      {6, u"p\nLex3\t0\nLex4\t1\nLex2\t50\nLex1\t50\n", u"", true, u"EF50mm f/1.8"},
      {6, u"p\nLex3\t0\nLex2\t50\nLex1\t50\n", u"", true, u"kept"},
      {6, u"p\nLex2\t50\nLex1\t50\n", u"", true, u"kept"},
      {6, u"p\nLex3\t1\nLex2\t51\nLex1\t50\n", u"", true, u"kept"},
      {9, u"p\nISO\t100\n", u"", false, u""},
      {9, u"p\nLens\t\n", u"", false, u""},
      {6, u"p\nLens\t\n", u"", false, u""},
  };
  for (const Case& c : cases) {
    char16_t out[128] = u"kept";
    EXPECT_EQ(ResolveLensName(c.kind, c.text, out, 128, c.make), c.result) << c.kind;
    EXPECT_EQ(std::u16string(out), c.out) << c.kind;
  }
  // A name longer than the caller's buffer is cut, never written past it.
  char16_t small[6];
  EXPECT_TRUE(ResolveLensName(6, u"p\nLex3\t1\nLex2\t50\nLex1\t50\n", small, 6, u""));
  EXPECT_EQ(std::u16string(small), u"EF50m");
  EXPECT_TRUE(ResolveLensName(10, u"p\nLens\t00000000\nExt\t00001000\n", small, 6, u""));
  EXPECT_EQ(std::u16string(small), u" +EC-");
}

}  // namespace
