// Index page geometry, paging and texts.
#include <gtest/gtest.h>

#include <string>

#include "core/pure/settings_rules.h"
#include "printing/pure/index_page.h"

namespace {
struct Defaults {
  IndexPrintLayout layout;
  IndexPrintExtras extras;
  Defaults() { FillIndexPrintDefaults(layout, extras); }
};
std::u16string Str(const char16_t* s) { return s; }
}  // namespace

TEST(IndexPage, A4At100DpiPortraitAndLandscape) {
  Defaults d;
  IndexPageGeometry g = ComputeIndexPageGeometry(d.layout);
  EXPECT_NEAR(g.pxPerMm, 3.937, 0.001);
  EXPECT_EQ(g.spacing, 7);
  EXPECT_EQ(g.left, 15);
  EXPECT_EQ(g.caption, 19);
  EXPECT_EQ(g.pageWidth, 826);
  EXPECT_EQ(g.pageHeight, 1169);
  EXPECT_EQ(d.layout.pageWidthPx, 826);
  EXPECT_EQ(g.cellWidth, 153);
  EXPECT_EQ(g.cellHeight, 137);
  EXPECT_EQ(g.rowPitch, 163);
  EXPECT_FLOAT_EQ(d.layout.zoomFactor, 1.0f);

  d.layout.landscape = 1;
  g = ComputeIndexPageGeometry(d.layout);
  EXPECT_EQ(g.pageWidth, 1169);
  EXPECT_EQ(g.pageHeight, 826);

  // A resolution of 0 still makes a page; margins that leave no room give no cell.
  d.layout.printDpi = 0;
  d.layout.marginLeftMm = 1000;
  g = ComputeIndexPageGeometry(d.layout);
  EXPECT_GT(g.pageWidth, 0);
  EXPECT_LE(g.cellWidth, 0);
  // The text and the printed size follow the resolution the page was made at.
  EXPECT_EQ(g.dpi, IndexPrintDpi(d.layout));
  EXPECT_GT(g.dpi, 0);
  d.layout.printDpi = 50000;
  g = ComputeIndexPageGeometry(d.layout);
  EXPECT_EQ(g.dpi, 1200);
  EXPECT_EQ(g.pageWidth, 14031);
}

TEST(IndexPage, FitKeepsTheAspectWithTheOnePercentAllowance) {
  IndexPictureFit f = FitIndexPicture(153, 137, 3000, 2000, true);
  EXPECT_EQ(f.width, 153);
  EXPECT_EQ(f.height, 103);
  EXPECT_EQ(f.offsetX, 0);
  EXPECT_EQ(f.offsetY, 17);
  f = FitIndexPicture(153, 137, 2000, 3000, true);
  EXPECT_EQ(f.height, 137);
  EXPECT_LT(f.width, 153);
  EXPECT_GT(f.offsetX, 0);
  f = FitIndexPicture(153, 137, 3000, 2000, false);
  EXPECT_EQ(f.width, 153);
  EXPECT_EQ(f.height, 137);
  // The allowance never makes the picture larger than its cell.
  f = FitIndexPicture(100, 100, 100, 99, true);
  EXPECT_LE(f.height, 100);
  EXPECT_LE(f.width, 100);
}

TEST(IndexPage, PagesOfTheListWrapAtBothEnds) {
  EXPECT_EQ(IndexLastPage(36, 5, 7), 1);
  EXPECT_EQ(IndexLastPage(35, 5, 7), 0);
  EXPECT_EQ(IndexLastPage(0, 5, 7), 0);
  EXPECT_EQ(IndexLastPage(10, 0, 0), 9);  // a zero count never divides
  EXPECT_EQ(IndexNextPage(1, 1), 0);
  EXPECT_EQ(IndexPreviousPage(0, 1), 1);
  EXPECT_EQ(IndexNextPage(0, 1), 1);
}

TEST(IndexPage, MimeTypesFolderNamesAndInformation) {
  char16_t mime[32];
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"C:\\a\\page.jpg", u"image/jpeg"}, {u"C:\\a\\page.tif", u"image/tiff"},
      {u"C:\\a\\page.tiff", u"image/tiff"}, {u"C:\\a\\page.png", u"image/png"},
      {u"C:\\a\\page.JPG", u"image/jpeg"},   {u"C:\\a\\page", u"image/"},
  };
  for (auto& c : cases) {
    IndexPictureMimeType(c.first, mime, 32);
    EXPECT_EQ(Str(mime), Str(c.second));
  }
  char16_t name[260];
  IndexFolderNameText(u"D:\\photos\\2024", false, name, 260);
  EXPECT_EQ(Str(name), u"2024");
  IndexFolderNameText(u"D:\\photos\\", false, name, 260);
  EXPECT_EQ(Str(name), u"");
  IndexFolderNameText(u"D:\\photos\\2024", true, name, 260);
  EXPECT_EQ(Str(name), u"D:\\photos\\2024");

  Defaults d;
  d.extras.printExposure = 1;
  char16_t info[260];
  IndexInfoTexts t{u"EOS 7D", u"EF50mm", u"2024/01/02 03:04:05", u"1/250", u"F5.6", nullptr};
  BuildIndexInfoText(t, d.extras, info, 260);
  EXPECT_EQ(Str(info), u"1/250 F5.6 ");
  d.extras.printCameraModel = d.extras.printDateTime = 1;
  t.iso = u"400";
  t.model = u"";
  BuildIndexInfoText(t, d.extras, info, 260);
  EXPECT_EQ(Str(info), u"2024/01/02 03:04:05\n1/250 F5.6 ISO400");
  // A text that does not fit is left out, the block stays terminated inside its buffer.
  BuildIndexInfoText(t, d.extras, info, 12);
  EXPECT_EQ(Str(info), u"1/250 F5.6 ");
}

TEST(IndexPage, RepairGivesOldFilesTheirSizes) {
  IndexPrintExtras x{};
  x.infoOffsetXMm = 5;
  RepairIndexPrintExtras(x);
  EXPECT_EQ(x.folderNameSize, 20);
  EXPECT_EQ(x.infoSize, 8);
  EXPECT_EQ(x.infoOffsetXMm, 0);
  EXPECT_EQ(x.infoOffsetYMm, 6);
  x.infoSize = 12;
  x.infoOffsetYMm = 1;
  RepairIndexPrintExtras(x);
  EXPECT_EQ(x.infoSize, 12);
  EXPECT_EQ(x.infoOffsetYMm, 1);
}
