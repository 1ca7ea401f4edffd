#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "settings_dialog/pure/page_rules.h"
#include "resources/settings_ids.h"
#include "viewer/pure/view_focus_points.h"

namespace {
const PageBinding& Binding(int page, int id) {
  for (int i = 0; i < kPageBindingCount; ++i)
    if (kPageBindings[i].page == page && kPageBindings[i].id == id) return kPageBindings[i];
  static PageBinding none{};
  ADD_FAILURE() << id;
  return none;
}

std::u16string Folder(const char16_t* typed) {
  char16_t out[260];
  NormaliseDataFolderText(typed, out);
  return out;
}

TEST(SettingsPageRules, DataFolderTextAsStoredAtClose) {
  EXPECT_EQ(Folder(u""), u".\\user");
  EXPECT_EQ(Folder(u"\\x\\"), u"x");
  EXPECT_EQ(Folder(u"C:\\cache\\"), u"C:\\cache\\");  // a drive path keeps its backslash
  EXPECT_EQ(Folder(u"data\\cache"), u"data\\cache");
  EXPECT_EQ(Folder(u"\\"), u"");
  EXPECT_EQ(Folder(u"\\\\server\\share\\cache"), u"\\\\server\\share\\cache");  // a share keeps both
  EXPECT_EQ(Folder(u"\\\\server\\share\\"), u"\\\\server\\share\\");
}

TEST(SettingsPageRules, TypedNumbersFollowTheUpDownRanges) {
  int32_t v = -1;
  EXPECT_FALSE(ParseTypedNumber(u"", &v));
  ASSERT_TRUE(ParseTypedNumber(u"12ab", &v));
  EXPECT_EQ(v, 12);
  ASSERT_TRUE(ParseTypedNumber(u"x", &v));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(ParseTypedNumber(u"99999999999", &v));  // no overflow
  EXPECT_EQ(v, 0x7FFFFFFF);

  const PageBinding& width = Binding(3, IDC_VIEW_THUMB_WIDTH);
  int32_t out = 0;
  ASSERT_TRUE(ApplyNumberRule(width, 90, &out));
  EXPECT_EQ(out, 88);
  ASSERT_TRUE(ApplyNumberRule(width, 3, &out));
  EXPECT_EQ(out, 4);
  const PageBinding& height = Binding(3, IDC_LIST_THUMB_HEIGHT);
  EXPECT_FALSE(ApplyNumberRule(height, 0, &out));
  const PageBinding& longSide = Binding(1, IDC_CAPTURE_LONG_SIDE);
  ASSERT_TRUE(ApplyNumberRule(longSide, 0, &out));
  EXPECT_EQ(out, 1);
}

TEST(SettingsPageRules, BoundFieldsReadAndWriteTheirBytesOnly) {
  static SettingsBlock a{}, b{};
  const PageBinding& mask = Binding(0, IDC_FMT_KODAK_DCR);
  WriteBoundField(a, mask, static_cast<int32_t>(0x81FFFFFFu));
  EXPECT_EQ(a.enabledImageTypes, 0x81FFFFFFu);
  const PageBinding& check = Binding(2, IDC_DISP_ZOOM_HOLD);
  WriteBoundField(a, check, 1);
  EXPECT_EQ(a.keepZoomWhilePaging, 1);
  EXPECT_EQ(a.confirmRefresh, 0);
  EXPECT_TRUE(BoundFieldDiffers(a, b, check));
  EXPECT_FALSE(BoundFieldDiffers(a, b, Binding(2, IDC_DISP_CONFIRM_REFRESH)));
  // The extension list is its text: typing on and deleting back leaves characters behind the
  // terminator that make no difference.
  const PageBinding& extensions = Binding(1, IDC_MOVIE_EXTENSIONS);
  const char16_t typed[] = u"avi;mp4;x", back[] = u"avi;mp4";
  std::memcpy(a.movieExtensions, typed, sizeof typed);
  a.movieExtensions[7] = 0;
  std::memcpy(b.movieExtensions, back, sizeof back);
  EXPECT_FALSE(BoundFieldDiffers(a, b, extensions));
  b.movieExtensions[6] = u'3';
  EXPECT_TRUE(BoundFieldDiffers(a, b, extensions));
  for (int i = 0; i < kPageBindingCount; ++i) {
    const PageBinding& k = kPageBindings[i];
    EXPECT_LE(k.offset + k.width, sizeof(SettingsBlock)) << k.id;
    EXPECT_TRUE(k.kind == BindKind::Text || k.width == 1 || k.width == 4) << k.id;
    if (k.kind == BindKind::Text) EXPECT_LE(k.max * 2u, k.width) << k.id;  // the text fits its field
  }
}

TEST(ViewFocusPoints, CirclesAndPlacement) {
  BuildViewFocusPointTables();
  EXPECT_EQ(ViewFocusPointCounts[5], 18);
  EXPECT_FLOAT_EQ(ViewFocusPointTable[5][17].x, ViewFocusPointTable[5][1].x);
  EXPECT_NEAR(ViewFocusPointTable[5][17].y, 0.0f, 1e-6);
  EXPECT_NEAR(ViewFocusPointTable[4][3].x, 1.0f, 1e-6);  // 90 degrees: the right edge
  EXPECT_NEAR(ViewFocusPointTable[4][3].y, 0.5f, 1e-6);
  int32_t x, y;
  PlaceFocusPoint({1, 1}, 300, 200, &x, &y);
  EXPECT_EQ(x, 268);
  EXPECT_EQ(y, 168);
  PlaceFocusPoint({1, 1}, 40, 64, &x, &y);  // smaller than the margins
  EXPECT_EQ(x, 8);
  EXPECT_EQ(y, 32);
}
}  // namespace
