// The GPS tab's rows from an ExifSummaryText.
#include <gtest/gtest.h>

#include <string>

#include "metadata/pure/gps_tags.h"

namespace {

TEST(GpsTags, RowsOfASummary) {
  ASSERT_EQ(std::u16string(FindGpsTagLabel(0)), u"GPSタグのバージョン");
  ASSERT_EQ(std::u16string(FindGpsTagLabel(18)), u"測位に用いた地図データ");
  ASSERT_EQ(std::u16string(FindGpsTagLabel(30)), u"GPS補正測位");
  for (int tag = 0; tag < kGpsTagLabelCount; ++tag) EXPECT_EQ(GpsTagLabels[tag].tag, tag);
  EXPECT_EQ(FindGpsTagLabel(31), nullptr);

  const std::u16string text =
      u"0\t\n\n2.2.0.0\t\n"
      u"1\t\n\nN\t\n"
      u"2\t\n\n35° 39' 29.58\" [DMS]\t\n"
      u"7 \t\n\ndropped\t\n"    // a head with a space
      u"31\t\n\nunknown\t\n"    // a tag without a label
      u"x\t\n\nnot a number\t\n"
      u"\n18\t\n\nWGS-84\t\n"
      u"29\t\n\n2013:05:03";    // the last value may lack its end
  const auto rows = ParseGpsSummaryRows(text);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].tag, 0);
  EXPECT_EQ(rows[0].value, u"2.2.0.0");
  EXPECT_EQ(rows[2].value, u"35° 39' 29.58\" [DMS]");
  EXPECT_EQ(std::u16string(rows[2].label), u"緯度");
  EXPECT_EQ(rows[3].tag, 18);
  EXPECT_EQ(rows[3].value, u"WGS-84");
  EXPECT_EQ(rows[4].value, u"2013:05:03");
  EXPECT_TRUE(ParseGpsSummaryRows(u"").empty());
  EXPECT_TRUE(ParseGpsSummaryRows(u"2\t\n").empty());
}

}  // namespace
