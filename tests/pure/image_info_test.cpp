#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "metadata/pure/camera_models.h"
#include "metadata/pure/image_info.h"

namespace {

class ImageInfoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildCameraModelIndex(); }
};

std::u16string Field(const ImageInfo& info, int column, bool focal35 = false) {
  const char16_t* text = GetInfoFieldText(info, column, focal35);
  return text ? std::u16string(text) : u"(null)";
}

ImageInfo Filled(uint32_t type, std::u16string text, bool mamiya = false) {
  ImageInfo info{};
  info.fileTypeFlag = type;
  info.previewOffset = info.previewSize = info.thumbOffset = info.thumbSize = 5;
  FillImageInfoRecord(info, &text[0], mamiya);
  return info;
}

TEST_F(ImageInfoTest, ColumnsLieAtTheirOffsets) {
  struct Column {
    int column;
    size_t offset, width;
  } columns[] = {
      {2, 44, 16},  {3, 76, 4},   {4, 84, 16},   {5, 116, 20}, {6, 156, 16}, {7, 188, 32},
      {8, 252, 32}, {9, 316, 2},  {10, 320, 20}, {11, 360, 8}, {12, 376, 8}, {13, 392, 16},
      {14, 424, 8}, {15, 440, 8}, {16, 456, 16}, {17, 488, 128}, {1, 744, 16}, {18, 776, 16},
      {19, 808, 16}, {20, 840, 16}, {21, 872, 4}, {22, 880, 4}, {23, 888, 8},
  };
  ImageInfo info{};
  const char* base = reinterpret_cast<const char*>(&info);
  for (const Column& c : columns) {
    const char* field = reinterpret_cast<const char*>(GetInfoFieldText(info, c.column, false));
    EXPECT_EQ(static_cast<size_t>(field - base), c.offset) << c.column;
  }
  for (int column : {0, 24, -1}) EXPECT_EQ(GetInfoFieldText(info, column, false), nullptr);

  // A record from a damaged cache file: every column is cut inside its width.
  ImageInfo bad;
  memset(&bad, 'A', sizeof bad);
  bad.modelRow = 999;
  ValidateImageInfo(bad);
  EXPECT_EQ(bad.modelRow, 6);
  EXPECT_EQ(bad.orientation, 0);
  for (const Column& c : columns) EXPECT_EQ(Field(bad, c.column).size(), c.width - 1) << c.column;
}

TEST_F(ImageInfoTest, ModelRowAndPreviewRanges) {
  struct Case {
    const char* name;
    uint32_t type;
    const char16_t* text;
    bool mamiya;
    int row;
    int32_t thumbOffset, thumbSize, previewOffset, previewSize;
  } cases[] = {
      {"jpeg with model", kFileTypeJpg,
       u"p\nMaker\tCanon\nModel\tCanon EOS 7D \ncg2ofs\t300\ncg2size\t4000\n", false, 7, 300, 4000, 5, 5},
      {"jpeg without model keeps ranges", kFileTypeJpg, u"p\ncg2ofs\t300\n", false, 6, 5, 5, 5, 5},
      {"jpeg with photoshop thumbnail", kFileTypeJpg,
       u"p\nModel\tX\ncg6ofs\t70\ncg6size\t80\ncg2ofs\t300\ncg2size\t4000\n", false, 7, 70, 80, 5, 5},
      {"cr2", 0x40, u"p\nMaker\tCanon\nModel\tCanon EOS 7D\ncg2ofs\t10\ncg2size\t20\ncg1ofs\t1000\ncg1size\t9000, 1\n",
       false, 26, 10, 20, 1000, 9000},
      {"cr2 without first-ifd thumbnail", 0x40, u"p\nMaker\tCanon\nModel\tCanon EOS 7D\ncg1ofs\t1000\ncg1size\t9000\n",
       false, 26, 1000, 9000, 1000, 9000},
      {"unknown model, no photoshop thumbnail", 0x80, u"p\nMaker\tNIKON\nModel\tNIKON Z 9\ncg3ofs\t1\n", false, 6, 0,
       0, 0, 0},
      {"unknown model with photoshop thumbnail", 0x80, u"p\nMaker\tNIKON\nModel\tNIKON Z 9\ncg6ofs\t1\ncg6size\t2\n",
       false, 6, 1, 2, 5, 5},
      {"x3f without model", kFileTypeX3f, u"p\ncg3ofs\t1\n", false, 15, 5, 5, 5, 5},
      {"x3f with model", kFileTypeX3f, u"p\nMaker\tSIGMA\nModel\tSIGMA DP1\ncg2ofs\t1\ncg2size\t2\ncg3ofs\t3\ncg3size\t4\n",
       false, 363, 1, 2, 3, 4},
      {"psd", kFileTypePsd, u"p\ncg6ofs\t40\ncg6size\t50\n", false, 9, 40, 50, 40, 50},
      {"mef, mamiya thumbnails off", kFileTypeMef, u"p\n", false, 14, 0, 262144, 5, 5},
      {"mef, mamiya thumbnails on", kFileTypeMef, u"p\n", true, 14, 5, 5, 5, 5},
      {"3fr with one preview", kFileType3fr, u"p\nModel\tH3D\ncg1ofs\t100\ncg1size\t200\n", false, 16, 0, 200, 0, 200},
      {"3fr without previews", kFileType3fr, u"p\nModel\tH3D\ncg1ofs\t0\ncg1size\t0\n", false, 16, 0, 4194304, 0, 4194304},
      {"movie", kFileTypeMovie, u"p\n", false, 17, 5, 5, 5, 5},
      {"dcr", kFileTypeDcr, u"p\n", false, 12, 5, 5, 5, 5},
      {"crw", kFileTypeCrw, u"p\ncg1ofs\t26\ncg1size\t27\n", false, 11, 26, 27, 26, 27},
  };
  for (const Case& c : cases) {
    ImageInfo info = Filled(c.type, c.text, c.mamiya);
    EXPECT_EQ(info.modelRow, c.row) << c.name;
    EXPECT_EQ(info.thumbOffset, c.thumbOffset) << c.name;
    EXPECT_EQ(info.thumbSize, c.thumbSize) << c.name;
    EXPECT_EQ(info.previewOffset, c.previewOffset) << c.name;
    EXPECT_EQ(info.previewSize, c.previewSize) << c.name;
  }
  ImageInfo info = Filled(kFileTypeJpg, u"p\nMaker\tCanon  \nModel\tCanon EOS 7D  \n");
  EXPECT_EQ(Field(info, 7), u"Canon");
  EXPECT_EQ(Field(info, 8), u"Canon EOS 7D");
}

TEST_F(ImageInfoTest, Orientation) {
  struct Case {
    const char16_t* text;
    int orientation, byteOrder, offset;
  } cases[] = {
      {u"p\nModel\tX\nDirection\t6\nFlipI1234\n", 6, 1, 1234},
      {u"p\nModel\tX\nDirection\t3\nFlipM77\n", 3, 2, 77},
      {u"p\nModel\tX\nDirection\t9\n", 8, 0, 0},
      {u"p\nModel\tX\nDirection\t-1\n", 0, 0, 0},
      {u"p\nDirection\t6\nFlipI40\n", 6, 1, 40},  // no model: turned all the same
      {u"C:\\FlipM99\\a.jpg\nModel\tX\n", 4, 0, 0},
  };
  for (const Case& c : cases) {
    ImageInfo info{};
    info.fileTypeFlag = kFileTypeJpg;
    info.orientation = 4;  // an absent Direction keeps the earlier value
    std::u16string text = c.text;
    FillImageInfoRecord(info, &text[0], false);
    EXPECT_EQ(info.orientation, c.orientation);
    EXPECT_EQ(info.orientationByteOrder, c.byteOrder);
    EXPECT_EQ(info.orientationOffset, c.offset);
    FillImageInfoTexts(info, text.c_str(), nullptr);
    EXPECT_EQ(Field(info, 9), c.orientation ? std::u16string(1, u'0' + c.orientation) : u"");
  }
}

TEST_F(ImageInfoTest, ColumnTexts) {
  struct Case {
    const char* name;
    uint32_t type;
    const char16_t* text;
    int column;
    const char16_t* expected;
  } cases[] = {
      {"first pair larger", kFileTypeJpg, u"p\nWidth\t4000\nHeight\t3000\nWidth2\t160\nHeight2\t120\n", 6, u"4000*3000"},
      {"second pair larger", kFileTypeJpg, u"p\nWidth\t160\nHeight\t120\nWidth2\t4000\nHeight2\t3000\n", 6, u"4000*3000"},
      {"equal pairs give the second", kFileTypeJpg, u"p\nWidth\t0160\nHeight\t120\nWidth2\t160\nHeight2\t120\n", 6, u"160*120"},
      {"first pair only", kFileTypeJpg, u"p\nWidth\t640\nHeight\t480\n", 6, u"640*480"},
      {"second pair only", kFileTypeJpg, u"p\nWidth2\t640\nHeight2\t480\n", 6, u"640*480"},
      {"no size keeps the column", kFileTypeJpg, u"p\n", 6, u"old"},
      {"dcr ignores its second pair", kFileTypeDcr, u"p\nWidth\t160\nHeight\t120\nWidth2\t4000\nHeight2\t3000\n", 6, u"160*120"},
      {"movie", kFileTypeMovie, u"p\nWidth\t1\nHeight\t1\n", 6, u"1920*1080"},
      {"date", kFileTypeJpg, u"p\nDateTime\t2012:05:06 07:08:09\n", 10, u"2012/05/06 07:08:09"},
      {"date without colons", kFileTypeJpg, u"p\nDateTime\t2012-05-06\n", 10, u"2012-05-06"},
      {"short date", kFileTypeJpg, u"p\nDateTime\t2012:\n", 10, u"2012:"},
      {"date absent", kFileTypeJpg, u"p\n", 10, u"old"},
      {"type name", kFileTypeJpg, u"p\n", 3, u"JPG"},
      {"type name of the highest bit", kFileTypeDcr, u"p\n", 3, u"DCR"},
      {"no type bit", 0, u"p\n", 3, u"old"},
      {"size", kFileTypeJpg, u"p\n", 4, u"1KB"},
      {"zero time", kFileTypeJpg, u"p\n", 5, u"0000/00/00 00:00:00"},
      {"exposure", kFileTypeJpg, u"p\nExposureTime\t1/250\n", 11, u"1/250"},
      {"absent key empties", kFileTypeJpg, u"p\n", 11, u""},
      {"iso: the exif line comes first", kFileTypeJpg, u"p\nISO\t200\nISO\t6400\n", 14, u"200"},
      {"long value is cut", kFileTypeJpg, u"p\nExifVer\t0230XYZ\n", 22, u"023"},
      {"lens of a jpeg from a nikon", kFileTypeJpg,
       u"p\nMaker\tNIKON CORPORATION\nLens\t0mm F0\nLex3\t00\nLex1\tB\n", 17, u"manual lens"},
      {"no lens for a bmp", 0x1, u"p\nLens\tX\n", 17, u""},
      {"focal length", kFileTypeJpg, u"p\nFocalLength\t50.0mm\n", 18, u"50.0mm"},
      {"35 mm focal length", kFileTypeJpg, u"p\nFL35mm\t80mm\n", 1, u"80mm"},
      {"white balance", kFileTypeJpg, u"p\nWhiteBalance\tAuto\n", 20, u"Auto"},
  };
  for (const Case& c : cases) {
    ImageInfo info{};
    info.fileTypeFlag = c.type;
    info.fileSize = 2047;
    info.width = 1920;
    info.height = 1080;
    for (int column = 1; column <= 23; ++column) {
      char16_t* text = const_cast<char16_t*>(GetInfoFieldText(info, column, false));
      text[0] = u'o', text[1] = 0;
    }
    memcpy(info.pixelSize, u"old", 8);
    memcpy(info.dateTime, u"old", 8);
    memcpy(info.fileTypeName, u"old", 8);
    std::u16string text = c.text;
    FillImageInfoRecord(info, &text[0], false);
    FillImageInfoTexts(info, text.c_str(), nullptr);
    EXPECT_EQ(Field(info, c.column), c.expected) << c.name;
  }
  ImageInfo info{};
  info.fileTypeFlag = kFileTypeJpg;
  info.fileSize = 1023;
  InfoTime time{2012, 5, 6, 7, 8, 9};
  FillImageInfoTexts(info, u"p\n", &time);
  EXPECT_EQ(Field(info, 4), u"0KB");
  EXPECT_EQ(Field(info, 5), u"2012/05/06 07:08:09");
}

TEST_F(ImageInfoTest, FocalLengthIn35mmTerms) {
  struct Case {
    const char* name;
    int row;
    const char16_t* maker;
    const char16_t* model;
    const char16_t* focal35;
    const char16_t* focal;
    const char16_t* expected;
  } cases[] = {
      {"35 mm value given", 26, u"Canon", u"Canon EOS 7D", u"80mm", u"50.0mm", u"80mm"},
      {"crop of the row", 26, u"Canon", u"Canon EOS 7D", u"0mm", u"50.0mm", u"80mm"},
      {"jpeg row, crop by name", 7, u"Canon", u"Canon EOS 7D", u"", u"50mm", u"80mm"},
      {"no crop known", 7, u"Apple", u"iPhone", u"", u"50mm", u"50mm *"},
      {"no crop, no focal length", 7, u"Apple", u"iPhone", u"", u"", u""},
      {"empty focal length", 26, u"Canon", u"Canon EOS 7D", u"", u"", u""},
      {"row out of range", 999, u"Canon", u"Canon EOS 7D", u"", u"50mm", u"80mm"},
      {"fraction truncated", 94 + 15, u"Nikon", u"NIKON D80", u"", u"35mm", u"52mm"},
  };
  for (const Case& c : cases) {
    ImageInfo info{};
    info.modelRow = static_cast<int16_t>(c.row);
    memcpy(info.maker, c.maker, (std::u16string(c.maker).size() + 1) * 2);
    memcpy(info.model, c.model, (std::u16string(c.model).size() + 1) * 2);
    memcpy(info.focalLength35, c.focal35, (std::u16string(c.focal35).size() + 1) * 2);
    memcpy(info.focalLength, c.focal, (std::u16string(c.focal).size() + 1) * 2);
    EXPECT_EQ(Field(info, 18, true), c.expected) << c.name;
    EXPECT_EQ(Field(info, 18, false), c.focal) << c.name;
  }
}

TEST_F(ImageInfoTest, FocalLengthTextIsPerThread) {
  ImageInfo a{}, b{};
  a.modelRow = b.modelRow = 26;
  memcpy(a.focalLength, u"50mm", 10);
  memcpy(b.focalLength, u"100mm", 12);
  const char16_t* mine = GetInfoFieldText(a, 18, true);
  std::u16string other;
  std::thread([&] { other = GetInfoFieldText(b, 18, true); }).join();
  EXPECT_EQ(std::u16string(mine), u"80mm");
  EXPECT_EQ(other, u"160mm");
}

TEST_F(ImageInfoTest, NumberParsers) {
  struct Case {
    const char16_t* text;
    float number, fNumber, fraction;
  } cases[] = {
      {u"1/250", 1, 1, 0.004f},
      {u"1.5", 1.5f, 1.5f, 1.5f},
      {u"10/3", 10, 10, 10},
      {u"F2.8", 0, 2.8f, 0},
      {u"f 2.8", 0, 2.8f, 0},
      {u"2.8", 2.8f, 2.8f, 2.8f},
      {u" 5 0 mm", 50, 50, 50},
      {u"-0.7", -0.7f, -0.7f, -0.7f},
      {u"1/0", 1, 1, 0},
      {u"", 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(ParseNumberText(c.text), c.number);
    EXPECT_FLOAT_EQ(ParseFNumberText(c.text), c.fNumber);
    EXPECT_FLOAT_EQ(ParseFractionText(c.text), c.fraction);
  }
  std::u16string longText(300, u'9');
  EXPECT_GT(ParseNumberText(longText.c_str()), 1e30f);
}

}  // namespace
