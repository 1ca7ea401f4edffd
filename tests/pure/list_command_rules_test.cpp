#include "browser/pure/list_command_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ListCommandRules, DeleteQuestionNamesWhatHappensNextTime) {
  std::u16string once = DeleteQuestionText(false), again = DeleteQuestionText(true);
  const std::u16string head = u"DELキー [ ファイル削除 ] が押されました\nファイル削除実行しますか？\n\n";
  EXPECT_EQ(once, head + u"※以後この表示はスキップされます。（表示設定で変更可）");
  EXPECT_EQ(again, head + u"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）");
}

TEST(ListCommandRules, FolderDropsMoveOnTheSameDriveOnlyWhenAsked) {
  // Setting on: same drive moves, Ctrl copies.
  EXPECT_TRUE(FolderDropMoves(true, false, u"C:\\", u"c:\\", false));
  EXPECT_FALSE(FolderDropMoves(true, false, u"C:\\", u"C:\\", true));
  // Another drive copies; Ctrl moves.
  EXPECT_FALSE(FolderDropMoves(true, false, u"D:\\", u"C:\\", false));
  EXPECT_TRUE(FolderDropMoves(true, false, u"D:\\", u"C:\\", true));
  // Setting off: copy, Ctrl moves.
  EXPECT_FALSE(FolderDropMoves(false, false, u"C:\\", u"C:\\", false));
  EXPECT_TRUE(FolderDropMoves(false, false, u"C:\\", u"C:\\", true));
  // UNC paths have no drive root: two servers are never the same drive.
  EXPECT_FALSE(FolderDropMoves(true, false, u"", u"", false));
  EXPECT_FALSE(FolderDropMoves(true, false, u"", u"C:\\", false));
  // The folder shown is no move target.
  EXPECT_FALSE(FolderDropMoves(true, true, u"C:\\", u"C:\\", false));
  EXPECT_FALSE(FolderDropMoves(true, false, u"C:\\x", u"C:\\", false));
}

TEST(ListCommandRules, PopupGeometry) {
  EXPECT_EQ(DragListWidth(40), 100);
  EXPECT_EQ(DragListWidth(100), 100);
  EXPECT_EQ(DragListWidth(180), 180);
  EXPECT_EQ(DragListWidth(400), 255);
  EXPECT_EQ(DragListWidth(-5), 100);
  int left = 0, bottom = 0;
  PreviewPopupCorner(100, 400, 1024, &left, &bottom);
  EXPECT_EQ(left, 108);
  EXPECT_EQ(bottom, 398);
  PreviewPopupCorner(1000, 10, 1024, &left, &bottom);  // top right corner: stays on the desktop
  EXPECT_EQ(left, 1024 - 258);
  EXPECT_EQ(bottom, 258);
  EXPECT_EQ(NextPopupAlpha(-64, 255), 0);
  EXPECT_EQ(NextPopupAlpha(0, 255), 24);
  EXPECT_EQ(NextPopupAlpha(250, 255), 255);
  EXPECT_EQ(NextPopupAlpha(180, 192), 192);
  int w = 0, h = 0;
  FitInsideSquare(4000, 3000, 256, &w, &h);
  EXPECT_EQ(w, 256);
  EXPECT_EQ(h, 192);
  FitInsideSquare(3000, 4000, 256, &w, &h);
  EXPECT_EQ(w, 192);
  EXPECT_EQ(h, 256);
  FitInsideSquare(10000, 1, 256, &w, &h);
  EXPECT_EQ(h, 1);
}

TEST(ListCommandRules, HistogramCountsRespectTheRowStride) {
  // 3 x 2 pixels, rows padded to 12 bytes; the padding holds bytes that must not count.
  const int w = 3, h = 2, stride = 12;
  std::vector<uint8_t> pixels(stride * h, 0xEE);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &pixels[y * stride + 3 * x];
      p[0] = 10;         // blue
      p[1] = 20;         // green
      p[2] = x == 0 ? 200 : 30;  // red
    }
  static int32_t bins[3][256];
  CountPopupHistogram(pixels.data(), w, h, stride, bins);
  const int32_t full = static_cast<int32_t>(6 * (4096.0f / 6));
  EXPECT_EQ(bins[2][10], full);
  EXPECT_EQ(bins[1][20], full);
  EXPECT_EQ(bins[0][200], static_cast<int32_t>(2 * (4096.0f / 6)));
  EXPECT_EQ(bins[0][30], static_cast<int32_t>(4 * (4096.0f / 6)));
  EXPECT_EQ(bins[0][0xEE] + bins[1][0xEE] + bins[2][0xEE], 0);
  CountPopupHistogram(pixels.data(), w, h, 5, bins);  // a stride shorter than a row: nothing
  EXPECT_EQ(bins[2][10], 0);
}

}  // namespace
