// The numbers and names behind the wallpaper, the mail copies and the Exif items of developed
// RAW pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actions/pure/exif_items.h"
#include "actions/pure/export_geometry.h"
#include "actions/pure/mail_list.h"

namespace {

std::string Narrow(const char16_t* t) {
  std::string s;
  for (; *t; ++t) s += *t < 0x80 ? static_cast<char>(*t) : '?';
  return s;
}

const ExifItem* Find(const std::vector<ExifItem>& items, uint32_t tag) {
  for (const auto& i : items)
    if (i.tag == tag) return &i;
  return nullptr;
}
uint32_t U32(const ExifItem& i, size_t at) {
  return i.value[at] | i.value[at + 1] << 8 | i.value[at + 2] << 16 | static_cast<uint32_t>(i.value[at + 3]) << 24;
}
uint32_t U16(const ExifItem& i) { return i.value[0] | i.value[1] << 8; }

}  // namespace

TEST(ExportGeometry, WallpaperFitModesAndDesktopWidth) {
  int32_t w, h;
  WallpaperBitmapSize(1366, 768, &w, &h);
  EXPECT_EQ(w, 1364);
  EXPECT_EQ(h, 768);
  ExportRect r;
  ASSERT_TRUE(WallpaperDestination(4000, 3000, 1920, 1080, 0, &r));
  EXPECT_EQ(r.x, 240);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.width, 1440);
  EXPECT_EQ(r.height, 1080);
  ASSERT_TRUE(WallpaperDestination(4000, 3000, 1920, 1080, 1, &r));
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, -180);
  EXPECT_EQ(r.width, 1920);
  EXPECT_EQ(r.height, 1440);
  ASSERT_TRUE(WallpaperDestination(4000, 3000, 1920, 1080, 2, &r));
  EXPECT_EQ(r.width, 1920);
  EXPECT_EQ(r.height, 1080);
  EXPECT_FALSE(WallpaperDestination(4000, 3000, 1920, 1080, 7, &r));
  // An odd overflow halves toward minus infinity.
  ASSERT_TRUE(WallpaperDestination(1001, 1000, 100, 100, 1, &r));
  EXPECT_EQ(r.width, 100);
  EXPECT_EQ(r.x, 0);
}

TEST(ExportGeometry, MailCopySizesAndCrops) {
  int32_t w, h;
  MailCopySize(3000, 2000, 640, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 426);
  MailCopySize(2000, 3000, 640, &w, &h);
  EXPECT_EQ(w, 424);
  EXPECT_EQ(h, 640);
  // A long side under 4 is taken as 4, never a zero-wide box.
  MailCopySize(3000, 2000, 0, &w, &h);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 2);
  // Orientation 6 or 8: the top and bottom margins trim the width of the turned picture.
  ExportRect a = ExportSourceArea(3000, 4000, 6, 10, 20, 1, 2);
  EXPECT_EQ(a.x, 10);
  EXPECT_EQ(a.y, 1);
  EXPECT_EQ(a.width, 2970);
  EXPECT_EQ(a.height, 3997);
  a = ExportSourceArea(4000, 3000, 1, 10, 20, 1, 2);
  EXPECT_EQ(a.x, 1);
  EXPECT_EQ(a.y, 10);
  EXPECT_EQ(a.width, 3997);
  EXPECT_EQ(a.height, 2970);
  EXPECT_LE(ExportSourceArea(20, 20, 1, 10, 10, 0, 0).height, 0);
}

TEST(ExportGeometry, MailQuestionSwitchesUnitAboveOneMegabyte) {
  EXPECT_EQ(MailSizeQuestion(1048576),
            u"添付画像の合計サイズは1024.0KByteになります。\nこれらを添付したメールを作成しますか？");
  EXPECT_EQ(MailSizeQuestion(1048577),
            u"添付画像の合計サイズは1.00MByteになります。\nこれらを添付したメールを作成しますか？");
  EXPECT_NE(MailSizeQuestion(0).find(u"は0.0KByteに"), std::u16string::npos);
  // Totals beyond 4 GB are not wrapped.
  EXPECT_NE(MailSizeQuestion(5ull << 30).find(u"5120.00MByte"), std::u16string::npos);
}

TEST(MailList, AppendsSplitsAndNeverOverruns) {
  char16_t list[24] = {};
  EXPECT_TRUE(AppendMailAttachment(list, 24, u"C:\\a.jpg"));
  EXPECT_TRUE(AppendMailAttachment(list, 24, u"C:\\b.jpg"));
  EXPECT_EQ(std::u16string(list), u"C:\\a.jpg?C:\\b.jpg?");
  EXPECT_FALSE(AppendMailAttachment(list, 24, u"C:\\c.jpg"));  // 27 units would not fit
  EXPECT_EQ(std::u16string(list), u"C:\\a.jpg?C:\\b.jpg?");
  const auto parts = SplitMailAttachments(list);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[1], u"C:\\b.jpg");
  std::vector<std::u16string> taken;
  EXPECT_EQ(UniqueCopyStem(u"IMG_1", &taken), u"IMG_1");
  EXPECT_EQ(UniqueCopyStem(u"img_1", &taken), u"img_1_2");
  EXPECT_EQ(UniqueCopyStem(u"IMG_1", &taken), u"IMG_1_3");
  EXPECT_EQ(UniqueCopyStem(u"IMG_2", &taken), u"IMG_2");
}

TEST(ExifItems, ColumnRules) {
  EXPECT_EQ(ExifDateText(u"2013/05/17 09:05:00"), u"2013:05:17 09:05:00");
  EXPECT_EQ(ExifDateText(u"2013/05/17 09:05"), u"2013/05/17 09:05");
  uint32_t n, d;
  ExposureTimeRational(u"1/250", &n, &d);
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(d, 250u);
  ExposureTimeRational(u"1/3", &n, &d);
  EXPECT_EQ(d, 3u);
  ExposureTimeRational(u"4", &n, &d);
  EXPECT_EQ(n, 40u);
  EXPECT_EQ(d, 10u);
  ExposureTimeRational(u"0.5", &n, &d);
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(TenthsOf(LeadingNumber(u"5.6")), 56);
  EXPECT_EQ(TenthsOf(LeadingNumber(u"2.8")), 28);
  EXPECT_EQ(TenthsOf(LeadingNumber(u"+0.7")), 7);
  EXPECT_EQ(TenthsOf(LeadingNumber(u"-1.3")), -13);
  EXPECT_EQ(TenthsOf(LeadingNumber(u"4.99")), 49);
  EXPECT_EQ(ExposureProgramCode(u"ﾏﾆｭｱﾙ"), 1);
  EXPECT_EQ(ExposureProgramCode(u"av"), 65535);
  EXPECT_EQ(MeteringModeCode(u"その他"), 7);
  EXPECT_EQ(MeteringModeCode(u"部分測光"), 6);
  EXPECT_EQ(MeteringModeCode(u"spot"), 65535);
  EXPECT_EQ(LeadingWholeNumber(u"-12x"), -12);
  EXPECT_EQ(LeadingWholeNumber(u"x"), 0);
}

TEST(ExifItems, SeventeenRowsInOrderAndEmptyTextsLeftOut) {
  ExifSourceTexts t;
  t.fileDate = u"2013/05/17 09:05:00";
  t.maker = u"Canon";
  t.model = u"Canon EOS 5D";
  t.orientation = u"6";
  t.shotDate = u"2013/05/16 08:00:01";
  t.exposureTime = u"1/250";
  t.fNumber = u"F5.6";
  t.program = u"Av";
  t.iso = u"400";
  t.bias = u"+0.7";
  t.metering = u"その他";
  t.focalLength = u"50mm";
  t.flash = u"On";
  t.software = u"Tavelund Brannomere Ver1.0";
  t.width = 4368;
  t.height = 2912;
  t.orientationApplied = true;
  const auto convert = [](const char16_t* s) { return Narrow(s); };
  auto items = BuildExifItems(t, convert);
  const uint32_t order[] = {0x0100, 0x0101, 0x010F, 0x0110, 0x0112, 0x0132, 0x9003, 0x829A, 0x829D,
                            0x8822, 0x8827, 0x9000, 0x9204, 0x9207, 0x9209, 0x920A, 0x0131};
  ASSERT_EQ(items.size(), 17u);
  for (size_t i = 0; i < 17; ++i) EXPECT_EQ(items[i].tag, order[i]) << i;
  EXPECT_EQ(U16(*Find(items, 0x0100)), 4368u);
  EXPECT_EQ(U16(*Find(items, 0x0112)), 1u);  // the development turned it upright
  const ExifItem& date = *Find(items, 0x0132);
  EXPECT_EQ(date.value.size(), 20u);
  EXPECT_STREQ(reinterpret_cast<const char*>(date.value.data()), "2013:05:17 09:05:00");
  EXPECT_EQ(Find(items, 0x010F)->value.size(), 6u);  // "Canon" and its terminator
  EXPECT_EQ(U32(*Find(items, 0x829D), 0), 56u);
  EXPECT_EQ(U32(*Find(items, 0x829D), 4), 10u);
  EXPECT_EQ(Find(items, 0x9204)->type, kExifSRational);
  EXPECT_EQ(U32(*Find(items, 0x9204), 0), 7u);
  EXPECT_EQ(U16(*Find(items, 0x9207)), 7u);
  EXPECT_EQ(U16(*Find(items, 0x9209)), 1u);
  EXPECT_EQ(U32(*Find(items, 0x920A), 0), 50u);
  EXPECT_EQ(U32(*Find(items, 0x920A), 4), 1u);
  EXPECT_EQ(U16(*Find(items, 0x8822)), 3u);
  EXPECT_EQ(std::string(Find(items, 0x9000)->value.begin(), Find(items, 0x9000)->value.end()), "0210");

  // Unknown orientation and empty texts: left out; the version and the software always stay.
  ExifSourceTexts none;
  none.software = u"S";
  items = BuildExifItems(none, convert);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].tag, 0x9000u);
  EXPECT_EQ(items[1].tag, 0x0131u);
  none.flash = u"Off";
  none.bias = u"0";
  none.orientation = u"8";
  items = BuildExifItems(none, convert);
  EXPECT_EQ(U16(*Find(items, 0x9209)), 0u);
  EXPECT_EQ(U32(*Find(items, 0x9204), 0), 0u);
  EXPECT_EQ(U16(*Find(items, 0x0112)), 8u);  // not turned: the camera's value stays
}
