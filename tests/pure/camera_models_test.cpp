#include <gtest/gtest.h>

#include <set>
#include <string>

#include "metadata/pure/camera_models.h"

namespace {

class CameraModels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildCameraModelIndex(); }
};

bool StartsWith(const char16_t* text, const std::u16string& prefix) {
  return std::u16string(text).compare(0, prefix.size(), prefix) == 0;
}

// Row numbers are stored in cache files: the maker blocks must not move.
TEST_F(CameraModels, MakerBlocksKeepTheirRows) {
  struct Block {
    int first, count;
    const char16_t* maker;
    const char16_t* namePrefix;
  } blocks[] = {
      {0, 7, u"unknown", u"?"},      {18, 76, u"Canon", u"Canon "},   {94, 64, u"Nikon", u""},
      {158, 20, u"PENTAX", u"PENTAX "},
      {178, 3, u"RICOH IMAGING COMPANY, LTD.", u"PENTAX "},
      {181, 45, u"OLYMPUS", u""},    {226, 40, u"FujiFilm", u""},     {266, 50, u"Sony", u""},
      {316, 34, u"Panasonic", u"DMC-"}, {350, 1, u"Leica", u"D-LUX4"}, {351, 12, u"KONICA MINOLTA", u""},
      {363, 18, u"SIGMA", u"SIGMA "}, {381, 1, u"POLAROID", u"X530"}, {382, 17, u"SAMSUNG", u""},
  };
  int total = 11;  // the file-format rows
  for (const Block& b : blocks) {
    for (int row = b.first; row < b.first + b.count; ++row) {
      EXPECT_EQ(std::u16string(kCameraModelTable[row].maker), b.maker) << row;
      EXPECT_TRUE(StartsWith(kCameraModelTable[row].model, b.namePrefix)) << row;
    }
    total += b.count;
  }
  EXPECT_EQ(total, kCameraModelRows);

  // One sum over every maker and model name in row order pins the whole order.
  uint32_t hash = 2166136261u;
  for (const CameraModelRecord& r : kCameraModelTable) {
    for (const char16_t* s : {r.maker, r.model}) {
      for (const char16_t* p = s; *p; ++p) hash = (hash ^ *p) * 16777619u;
      hash = (hash ^ 0xFFFFu) * 16777619u;
    }
  }
  EXPECT_EQ(hash, 14229955u) << "row order changed: cache files would read the wrong models";
}

TEST_F(CameraModels, NamedRows) {
  struct Row {
    int row;
    const char16_t* maker;
    const char16_t* model;
    int code, a, b;
    float crop;
    int raw;
    CameraMargins thumb, view;
  } rows[] = {
      {7, u"JPG", u"EXIF JPG Format", 165, 2, 0, 0, 0, {7, 7, 0, 0}, {0, 0, 0, 0}},
      {8, u"TIF", u"TIFF Format", 166, 9, 9, 0, 0, {7, 7, 0, 0}, {0, 0, 0, 0}},
      {9, u"Adobe", u"PSD Format", 173, 6, 6, 1, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {10, u"Adobe", u"DNG Format", 168, 5, 5, 0, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {11, u"Canon", u"CRW Format", 167, 1, 1, 1.6f, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {12, u"Kodak", u"DCR Format", 213, 9, 9, 0, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {13, u"Panasonic", u"RAW Format", 169, 5, 5, 1, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {14, u"MAMIYA", u"MEF Format", 170, 9, 9, 0.714f, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {15, u"SIGMA", u"X3F Format", 171, 9, 9, 1.7f, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {16, u"Hasselblad", u"3F RAW Format", 172, 1, 5, 1, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {17, u"", u"Video Format", 174, 6, 6, 1, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {18, u"Canon", u"Canon EOS-1D Mark IV", 0, 2, 1, 1.3f, 1, {7, 7, 0, 0}, {0, 0, 0, 0}},
      {26, u"Canon", u"Canon EOS 7D", 8, 2, 1, 1.6f, 1, {7, 7, 0, 0}, {0, 0, 0, 0}},
      {64, u"Canon", u"Canon PowerShot S100", 251, 2, 1, 4.615f, 0, {7, 7, 0, 0}, {0, 0, 0, 0}},
      {94, u"Nikon", u"NIKON D3X", 37, 3, 2, 1, 1, {0, -2, 0, 0}, {0, 0, 0, 0}},
      {109, u"Nikon", u"NIKON D80", 52, 3, 2, 1.5f, 1, {-4, 4, 0, 6}, {0, 0, 0, 0}},
      {158, u"PENTAX", u"PENTAX K-5", 194, 2, 4, 1.5f, 1, {7, 6, 0, 0}, {0, 0, 0, 0}},
      {181, u"OLYMPUS", u"E-5", 195, 2, 4, 2, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {226, u"FujiFilm", u"FinePix S5Pro", 103, 2, 1, 1.5f, 1, {7, 7, 0, 0}, {0, 0, 0, 0}},
      {280, u"Sony", u"DSLR-A100", 132, 2, 4, 1.5f, 1, {7, 7, 0, 0}, {24, 24, 0, 0}},
      {316, u"Panasonic", u"DMC-G10", 136, 1, 1, 2, 1, {7, 7, 0, 0}, {0, 0, 0, 0}},
      {351, u"KONICA MINOLTA", u"ALPHA-7 DIGITAL", 147, 1, 1, 1.5f, 1, {27, 28, 0, 0}, {27, 28, 0, 0}},
      {363, u"SIGMA", u"SIGMA DP1", 155, 2, 3, 1.686f, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {382, u"SAMSUNG", u"NX10", 162, 2, 2, 1.5f, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  auto same = [](const CameraMargins& a, const CameraMargins& b) {
    return a.top == b.top && a.bottom == b.bottom && a.left == b.left && a.right == b.right;
  };
  for (const Row& r : rows) {
    const CameraModelRecord& t = kCameraModelTable[r.row];
    EXPECT_EQ(std::u16string(t.maker), r.maker) << r.row;
    EXPECT_EQ(std::u16string(t.model), r.model) << r.row;
    EXPECT_EQ(t.code, r.code) << r.row;
    EXPECT_EQ(t.thumbPreview, r.a) << r.row;
    EXPECT_EQ(t.viewPreview, r.b) << r.row;
    EXPECT_FLOAT_EQ(t.cropFactor, r.crop) << r.row;
    EXPECT_EQ(t.rawFlag, r.raw) << r.row;
    EXPECT_TRUE(same(t.thumbMargins, r.thumb)) << r.row;
    EXPECT_TRUE(same(t.viewMargins, r.view)) << r.row;
  }
}

TEST_F(CameraModels, FlagAndMarginCounts) {
  int noRaw = 0, nikonPro = 0, nikonEntry = 0, sonyView = 0, minolta = 0;
  for (int row = 18; row < kCameraModelRows; ++row) {
    const CameraModelRecord& r = kCameraModelTable[row];
    const CameraMargins& t = r.thumbMargins;
    const CameraMargins& v = r.viewMargins;
    noRaw += (r.rawFlag & 0xFF) == 0;
    nikonPro += t.top == 0 && t.bottom == -2 && t.left == 0 && t.right == 0;
    nikonEntry += t.top == 0 && t.bottom == -4 && t.left == 0 && t.right == 6;
    sonyView += v.top == 24 && v.bottom == 24;
    minolta += t.top == 27 && t.bottom == 28 && v.top == 27 && v.bottom == 28;
  }
  EXPECT_EQ(noRaw, 149);
  EXPECT_EQ(nikonPro, 25);
  EXPECT_EQ(nikonEntry, 7);
  EXPECT_EQ(sonyView, 30);
  EXPECT_EQ(minolta, 12);
  for (int row : {64, 93, 132, 157, 174, 180}) EXPECT_EQ(kCameraModelTable[row].rawFlag, 0) << row;
  for (int row : {63, 131, 173}) EXPECT_EQ(kCameraModelTable[row].rawFlag, 1) << row;
}

TEST_F(CameraModels, CodesAndIndex) {
  std::set<int> codes;
  for (int row = 7; row < kCameraModelRows; ++row) {
    int code = kCameraModelTable[row].code;
    EXPECT_TRUE(code >= 0 && code < kCameraModelCodes) << row;
    EXPECT_NE(code, kUnknownModelCode) << row;
    EXPECT_TRUE(codes.insert(code).second) << "code used twice: " << code;
    EXPECT_EQ(g_cameraModelIndex[code], row);
  }
  EXPECT_EQ(g_cameraModelIndex[kUnknownModelCode], 6);
  for (int code = 0; code < kCameraModelCodes; ++code) {
    if (!codes.count(code) && code != kUnknownModelCode) EXPECT_EQ(g_cameraModelIndex[code], 0) << code;
  }
  EXPECT_EQ(RowForModelCode(-5), 6);
  EXPECT_EQ(RowForModelCode(400), 6);
  EXPECT_EQ(&CameraRowChecked(399), &kCameraModelTable[6]);
  EXPECT_EQ(&CameraRowChecked(-1), &kCameraModelTable[6]);
  EXPECT_EQ(&CameraRowChecked(26), &kCameraModelTable[26]);
  EXPECT_EQ(std::u16string(g_cameraModelNameIndex[26]), u"canoneos7d");
}

TEST_F(CameraModels, Lookup) {
  struct Case {
    const char16_t* model;
    const char16_t* maker;
    int code;
  } cases[] = {
      {u"Canon EOS 7D", u"Canon", 8},
      {u"CanonEOS7D", u"Canon", 8},
      {u"canon eos 7d", u"CANON INC.", 8},
      {u"Canon EOS 7D", u"NIKON", 181},
      {u"PENTAX K-3", u"RICOH IMAGING COMPANY, LTD.", kCameraModelTable[178].code},
      {u"PENTAX K-3", u"PENTAX Corporation", kCameraModelTable[178].code},
      {u"PENTAX K-3", u"Pa", 181},
      {u"DMC-G10", u"Panasonic", 136},
      {u"X530", u"Polaroid", kCameraModelTable[381].code},
      {u"NX10", u"SAMSUNG", 162},
      {u"SIGMA DP1", u"SIGMA", 155},
      {u"DSLR-A100", u"SONY", 132},
      {u"DSLR-A100", u"Sx", 181},
      {u"D-LUX4", u"Leica Camera AG", kCameraModelTable[350].code},
      {u"DYNAX 5D", u"Minolta Co., Ltd.", kCameraModelTable[355].code},
      {u"E-5", u"OLYMPUS IMAGING CORP.", 195},
      {u"X-T1", u"FUJIFILM", kCameraModelTable[264].code},
      {u"EXIF JPG Format", u"", 165},  // an empty maker searches the file-format rows
      {u"DNG Format", u"Apple", 168},
      {u"", u"Canon", 181},
      {u"Canon EOS 7D                    ", u"Canon", 181},  // 32 characters
      {u"Canon EOS 7D                   ", u"Canon", 8},     // 31
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LookupCameraModel(c.model, c.maker), c.code) << std::u16string(c.model).size();
  }
}

}  // namespace
