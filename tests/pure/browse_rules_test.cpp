#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "browser/pure/command_states.h"
#include "browser/pure/idle_rules.h"
#include "viewer/pure/pane_rules.h"

namespace {

TEST(Wheel, StepsPagesAndZooms) {
  struct Case {
    int32_t delta;
    bool zoom, pagingWhenZoomed, reverseZoom, reversePaging;
    WheelAction want;
  } cases[] = {
      {-120, false, false, false, false, WheelAction::kNextImage},
      {120, false, false, false, false, WheelAction::kPreviousImage},
      {10, false, false, false, false, WheelAction::kNone},
      {-19, true, false, false, false, WheelAction::kNone},
      {-20, false, false, false, false, WheelAction::kNextImage},
      {-120, false, false, false, true, WheelAction::kPreviousImage},
      {120, true, false, false, false, WheelAction::kMagnifyLess},
      {-120, true, false, false, false, WheelAction::kMagnifyMore},
      {-120, true, false, true, false, WheelAction::kMagnifyLess},
      {-120, true, true, false, false, WheelAction::kNextImage},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecideWheelAction(c.delta, c.zoom, c.pagingWhenZoomed, c.reverseZoom, c.reversePaging), c.want)
        << c.delta << " zoom " << c.zoom;
}

TEST(PaneZones, EdgeAndHistogramZones) {
  struct Case {
    int32_t h, zone;
  } heights[] = {{200, 50}, {255, 63}, {256, 64}, {400, 64}, {800, 100}, {1200, 128}, {0, 0}};
  for (const Case& c : heights) EXPECT_EQ(PaneEdgeZoneHeight(c.h), c.zone) << c.h;
  EXPECT_TRUE(IsInPaneEdgeZone(10, 49, 300, 200));
  EXPECT_FALSE(IsInPaneEdgeZone(10, 50, 300, 200));
  EXPECT_TRUE(IsInPaneEdgeZone(10, 151, 300, 200));
  EXPECT_FALSE(IsInPaneEdgeZone(0, 10, 300, 200));  // on the edge is outside the pane
  EXPECT_FALSE(IsInPaneEdgeZone(10, 10, 0, 0));
  EXPECT_FALSE(IsInHistogramZone(290, 170, 300, 200));  // exactly 10 from the right
  EXPECT_TRUE(IsInHistogramZone(289, 170, 300, 200));
  EXPECT_FALSE(IsInHistogramZone(226, 170, 300, 200));
  EXPECT_TRUE(IsInHistogramZone(227, 159, 300, 200));
  EXPECT_FALSE(IsInHistogramZone(227, 158, 300, 200));
}

TEST(ZoomPoint, PicturePixelUnderTheCursor) {
  float x = -1, y = -1;
  // 2000x1000 picture in a 400x400 pane: fills the width, scale 5, margin 100 above.
  ASSERT_TRUE(ComputeZoomPointUnderCursor(2000, 1000, 400, 400, 200, 200, &x, &y));
  EXPECT_FLOAT_EQ(x, 1000);
  EXPECT_FLOAT_EQ(y, 500);
  ASSERT_TRUE(ComputeZoomPointUnderCursor(1000, 2000, 400, 400, 100, 0, &x, &y));
  EXPECT_FLOAT_EQ(x, 0);
  EXPECT_FLOAT_EQ(y, 0);
  EXPECT_FALSE(ComputeZoomPointUnderCursor(1000, 2000, 0, 400, 1, 1, &x, &y));
  EXPECT_FALSE(ComputeZoomPointUnderCursor(0, 2000, 400, 400, 1, 1, &x, &y));
}

TEST(IdleArithmetic, EasingExposureAndScrollVelocity) {
  EXPECT_FLOAT_EQ(EaseTowards(0, 100), 7);
  EXPECT_EQ(ClampExposureShift(176 + 16), 192);
  EXPECT_EQ(ClampExposureShift(192 + 16), 192);
  EXPECT_EQ(ClampExposureShift(-300), -192);

  bool none[kScrollKeyCount] = {};
  float vx = 50, vy = -50;
  UpdateScrollVelocities(none, &vx, &vy);
  EXPECT_NEAR(vx, 50 * std::pow(0.94, 8), 1e-3);
  EXPECT_NEAR(vy, -50 * std::pow(0.94, 8), 1e-3);

  // Numeric 6 held: x climbs towards 100 while the other seven keys' decay pulls it back.
  bool right[kScrollKeyCount] = {};
  right[3] = true;
  vx = vy = 0;
  for (int i = 0; i < 200; ++i) UpdateScrollVelocities(right, &vx, &vy);
  EXPECT_GT(vx, 10);
  EXPECT_LT(vx, 100);
  EXPECT_FLOAT_EQ(vy, 0);

  EXPECT_FALSE(ScrollVelocityMoves(1.9f, -1.9f));
  EXPECT_TRUE(ScrollVelocityMoves(2.0f, 0));
  EXPECT_TRUE(ScrollVelocityMoves(0, -2.5f));
}

TEST(IdleArithmetic, OnlyTheLastFolderRequestLoadsAfterTheDelay) {
  FolderOpenDelay d;
  int loads = 0, lastArg = 0;
  auto tick = [&](bool loading) {
    if (TickFolderOpenDelay(&d, loading)) {
      ++loads;
      lastArg = d.args[0];
    }
  };
  for (int request = 1; request <= 3; ++request) {
    RequestFolderOpen(&d, request, 0);
    for (int i = 0; i < 5; ++i) tick(false);
  }
  EXPECT_EQ(loads, 0);
  for (int i = 0; i < 14; ++i) tick(false);
  EXPECT_EQ(loads, 0);
  tick(false);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(lastArg, 3);
  for (int i = 0; i < 40; ++i) tick(false);
  EXPECT_EQ(loads, 1);

  // Asked for while a load runs: the count waits for the load to end.
  RequestFolderOpen(&d, 4, 0);
  for (int i = 0; i < 50; ++i) tick(true);
  EXPECT_EQ(loads, 1);
  for (int i = 0; i < 20; ++i) tick(false);
  EXPECT_EQ(loads, 2);
  EXPECT_EQ(lastArg, 4);
}

TEST(ByteSize, Texts) {
  struct Case {
    int64_t n;
    const char* text;
  } cases[] = {{0, "0Byte"},          {1023, "1023Byte"},        {1024, "1.00KB"},
               {1048575, "1024.00KB"}, {1048576, "1.00MB"},      {1073741823, "1024.00MB"},
               {1073741824, "1.00GB"}, {5368709120LL, "5.00GB"}, {-5, "-5Byte"}};
  for (const Case& c : cases) {
    char out[32];
    int n = FormatByteSizeText(out, sizeof out, c.n);
    EXPECT_STREQ(out, c.text) << c.n;
    EXPECT_EQ(n, static_cast<int>(std::strlen(c.text)));
  }
  char tiny[4];
  EXPECT_EQ(FormatByteSizeText(tiny, sizeof tiny, 123456), 3);
  EXPECT_STREQ(tiny, "120");
}

int32_t Enabled(const int32_t wanted[], int32_t id) { return wanted[ToolbarCommandIndex(id)]; }

TEST(CommandStates, EnableTable) {
  int32_t wanted[kToolbarCommandCount];
  // Empty list: exactly the twenty buttons of the empty-list table.
  for (int32_t& w : wanted) w = 1;
  CommandStateInput in{};
  ComputeWantedCommandStates(in, wanted);
  const int32_t emptyOn[] = {328, 302, 334, 303, 309, 336, 333, 340, 338, 254,
                             276, 280, 281, 282, 283, 284, 287, 288, 292, 294};
  int on = 0;
  for (int32_t w : wanted) on += w;
  EXPECT_EQ(on, 20);
  for (int32_t id : emptyOn) EXPECT_EQ(Enabled(wanted, id), 1) << id;

  // Index print open: only the two settings buttons.
  in.indexPrintOpen = true;
  in.listHasRows = true;
  ComputeWantedCommandStates(in, wanted);
  on = 0;
  for (int32_t w : wanted) on += w;
  EXPECT_EQ(on, 2);
  EXPECT_EQ(Enabled(wanted, 336), 1);
  EXPECT_EQ(Enabled(wanted, 333), 1);
  in.rawProgressOpen = true;
  ComputeWantedCommandStates(in, wanted);
  on = 0;
  for (int32_t w : wanted) on += w;
  EXPECT_EQ(on, 0);

  // A list with a cursor row and targets: rows, selection checks and search.
  CommandStateInput rows{};
  rows.listHasRows = rows.hasCursorRow = rows.canCheck = rows.canUncheck = true;
  rows.fileActionTarget = rows.pictureTarget = true;
  rows.searchOpen = true;
  for (int32_t& w : wanted) w = 0;
  wanted[ToolbarCommandIndex(240)] = 1;
  ComputeWantedCommandStates(rows, wanted);
  EXPECT_EQ(Enabled(wanted, 305), 1);
  EXPECT_EQ(Enabled(wanted, 308), 1);
  EXPECT_EQ(Enabled(wanted, 276), 0);
  EXPECT_EQ(Enabled(wanted, 291), 1);
  EXPECT_EQ(Enabled(wanted, 326), 0);  // not fully loaded
  EXPECT_EQ(Enabled(wanted, 225), 0);  // viewer hidden
  EXPECT_EQ(Enabled(wanted, 240), 1);
  EXPECT_EQ(Enabled(wanted, 337), 0);
  rows.listFullyLoaded = rows.viewerShown = rows.pictureIsRaw = true;
  ComputeWantedCommandStates(rows, wanted);
  EXPECT_EQ(Enabled(wanted, 326), 1);
  EXPECT_EQ(Enabled(wanted, 225), 1);
  EXPECT_EQ(Enabled(wanted, 337), 1);
  EXPECT_EQ(Enabled(wanted, 335), 1);
  // The keys on the tree: the file actions have no row, the turns and the others still do.
  rows.fileActionTarget = false;
  ComputeWantedCommandStates(rows, wanted);
  for (int32_t id : {240, 285, 286, 291, 295}) EXPECT_EQ(Enabled(wanted, id), 0) << id;
  for (int32_t id : {289, 290, 556, 310, 326, 327}) EXPECT_EQ(Enabled(wanted, id), 1) << id;
  rows.pictureTarget = false;
  ComputeWantedCommandStates(rows, wanted);
  for (int32_t id : {289, 290, 556, 310, 326, 327}) EXPECT_EQ(Enabled(wanted, id), 0) << id;
  EXPECT_EQ(ToolbarCommandIndex(999), -1);
}

}  // namespace
