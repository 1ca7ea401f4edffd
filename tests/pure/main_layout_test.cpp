#include <gtest/gtest.h>

#include "browser/pure/main_layout.h"

namespace {

TEST(WindowPlacement, ClampsSavedRectanglesAndUsesTheFirstStartDefault) {
  struct Case {
    LayoutRect saved;
    int32_t deskW, deskH;
    LayoutRect want;
    bool isDefault;
  } cases[] = {
      {{0, 0, 0, 0}, 1920, 1080, {50, 50, 1820, 980}, true},
      {{10, 10, 0, 500}, 1920, 1080, {50, 50, 1820, 980}, true},
      {{5000, 100, 800, 600}, 1920, 1080, {1856, 100, 800, 600}, false},
      {{100, 3000, 20, 30}, 1920, 1080, {100, 1016, 43, 100}, false},
      {{-40, -5, 800, 600}, 1920, 1080, {0, 0, 800, 600}, false},
      {{0, 0, 0, 0}, 100, 120, {50, 50, 43, 100}, true},  // a tiny desktop keeps the minimum size
  };
  for (const Case& c : cases) {
    bool isDefault = !c.isDefault;
    LayoutRect r = ClampWindowPlacement(c.saved, c.deskW, c.deskH, &isDefault);
    EXPECT_EQ(r, c.want) << c.saved.x << "," << c.saved.y << " " << c.saved.w << "x" << c.saved.h;
    EXPECT_EQ(isDefault, c.isDefault);
  }
}

TEST(WindowPlacement, SizingStopsAtTheMinimumOnTheDraggedEdge) {
  enum { kLeft = 1, kRight, kTop, kTopLeft, kTopRight, kBottom, kBottomLeft, kBottomRight };
  struct Case {
    int32_t edge, nav;
    int32_t l, t, r, b;
    int32_t wl, wt, wr, wb;
  } cases[] = {
      {kLeft, 300, 500, 0, 700, 400, 390, 0, 700, 400},       // width stops at 310
      {kRight, 300, 500, 0, 700, 400, 500, 0, 810, 400},
      {kBottomLeft, 40, 690, 0, 700, 50, 657, 0, 700, 100},  // narrow navigation: 43 wide
      {kTop, 200, 0, 380, 900, 400, 0, 300, 900, 400},
      {kBottomRight, 200, 0, 0, 900, 400, 0, 0, 900, 400},   // large enough: unchanged
  };
  for (const Case& c : cases) {
    int32_t l = c.l, t = c.t, r = c.r, b = c.b;
    ClampSizingRect(&l, &t, &r, &b, c.edge, c.nav);
    EXPECT_EQ(l, c.wl) << "edge " << c.edge;
    EXPECT_EQ(t, c.wt) << "edge " << c.edge;
    EXPECT_EQ(r, c.wr) << "edge " << c.edge;
    EXPECT_EQ(b, c.wb) << "edge " << c.edge;
  }
}

TEST(WindowPlacement, ListSplitterStaysInsideThePane) {
  EXPECT_EQ(ClampListSplit(50, 400), 64);
  EXPECT_EQ(ClampListSplit(500, 400), 336);
  EXPECT_EQ(ClampListSplit(200, 400), 200);
  EXPECT_EQ(ClampListSplit(200, 100), 64);  // a pane smaller than two bars
}

TEST(ViewerPanes, FiveSplitLayouts) {
  struct Case {
    int32_t layout, x, y, w, h, count;
    LayoutRect want[4];
  } cases[] = {
      {0, 5, 6, 1000, 600, 1, {{5, 6, 1000, 600}}},
      {1, 0, 0, 1001, 600, 2, {{0, 0, 500, 600}, {500, 0, 500, 600}}},
      {2, 0, 10, 800, 601, 2, {{0, 10, 800, 300}, {0, 310, 800, 300}}},
      {3, 7, 0, 1000, 500, 3, {{7, 0, 333, 500}, {340, 0, 333, 500}, {673, 0, 333, 500}}},
      {4, 0, 0, 800, 600, 4, {{0, 0, 400, 300}, {400, 0, 400, 300}, {0, 300, 400, 300}, {400, 300, 400, 300}}},
      {9, 0, 0, 10, 10, 1, {{0, 0, 10, 10}}},
      {4, 0, 0, -3, 0, 4, {{0, 0, 0, 0}, {-2, 0, 0, 0}, {0, 0, 0, 0}, {-2, 0, 0, 0}}},
  };
  for (const Case& c : cases) {
    LayoutRect out[kMaxPanes] = {};
    ASSERT_EQ(ComputeViewerPaneRects(c.layout, c.x, c.y, c.w, c.h, out), c.count) << "layout " << c.layout;
    for (int i = 0; i < c.count; ++i) EXPECT_EQ(out[i], c.want[i]) << "layout " << c.layout << " pane " << i;
  }
}

TEST(StatusBar, PartEdgesRunFromTheRight) {
  int32_t e[kStatusPartCount];
  ComputeStatusPartEdges(1000, e);
  const int32_t want[kStatusPartCount] = {239, 294, 349, 404, 504, 624, 684, 784, 884, 984, 1000};
  for (int i = 0; i < kStatusPartCount; ++i) EXPECT_EQ(e[i], want[i]) << i;
  ComputeStatusPartEdges(800, e);
  EXPECT_EQ(e[0], 39);
  ComputeStatusPartEdges(700, e);
  EXPECT_LT(e[0], 0);
}

MainLayoutInput BaseInput() {
  MainLayoutInput in{};
  in.clientW = 1000;
  in.clientH = 700;
  in.rebarH = 60;
  in.statusH = 20;
  in.navigationWidth = 200;
  in.uiScale = 1;
  in.navigationShown = true;
  in.viewMode = 3;
  in.listSplitHeight = 200;
  in.listSplitWidth = 300;
  return in;
}

TEST(MainLayout, PanesAndBarsForEachViewModeAndSplitKind) {
  struct Case {
    const char* name;
    void (*tweak)(MainLayoutInput&);
    LayoutRect fileList, list, panes;
    bool listPlaced, panesPlaced;
  } cases[] = {
      {"list only", [](MainLayoutInput& in) { in.viewMode = 1; }, {200, 60, 800, 620}, {0, 0, 800, 620}, {}, true, false},
      {"viewer only", [](MainLayoutInput& in) { in.viewMode = 2; }, {200, 60, 800, 620}, {}, {0, 0, 800, 620}, false, true},
      {"list on top", [](MainLayoutInput&) {}, {200, 60, 800, 620}, {0, 0, 800, 196}, {0, 200, 800, 420}, true, true},
      {"panes on top", [](MainLayoutInput& in) { in.thumbSplitKind = 1; }, {200, 60, 800, 620}, {0, 200, 800, 420},
       {0, 0, 800, 196}, true, true},
      {"list at right", [](MainLayoutInput& in) { in.thumbSplitKind = 2; }, {200, 60, 800, 620}, {504, 0, 296, 620},
       {0, 0, 500, 620}, true, true},
      {"list at left", [](MainLayoutInput& in) { in.thumbSplitKind = 3; }, {200, 60, 800, 620}, {0, 0, 300, 620},
       {304, 0, 496, 620}, true, true},
      {"tree hidden", [](MainLayoutInput& in) { in.navigationShown = false; }, {0, 60, 1000, 620},
       {0, 0, 1000, 196}, {0, 200, 1000, 420}, true, true},
      {"full screen viewer", [](MainLayoutInput& in) {
         in.navigationShown = false;
         in.fullScreen = true;
         in.viewMode = 2;
         in.rebarH = in.statusH = 0;
       }, {0, 0, 1000, 700}, {}, {0, 0, 1000, 700}, false, true},
  };
  for (const Case& c : cases) {
    MainLayoutInput in = BaseInput();
    c.tweak(in);
    MainLayout o = ComputeMainLayout(in);
    EXPECT_EQ(o.fileListPane, c.fileList) << c.name;
    EXPECT_EQ(o.listPlaced, c.listPlaced) << c.name;
    EXPECT_EQ(o.panesPlaced, c.panesPlaced) << c.name;
    if (c.listPlaced) EXPECT_EQ(o.list, c.list) << c.name;
    if (c.panesPlaced) EXPECT_EQ(o.panes, c.panes) << c.name;
  }
}

TEST(MainLayout, NavigationPaneTabTreeAndDockedInformation) {
  MainLayoutInput in = BaseInput();
  in.dockedHeight = kDockedInfoHeight;
  MainLayout o = ComputeMainLayout(in);
  EXPECT_EQ(o.statusBar, (LayoutRect{0, 680, 1000, 20}));
  EXPECT_EQ(o.rebar, (LayoutRect{0, 0, 1000, 60}));
  EXPECT_EQ(o.navigationPane, (LayoutRect{0, 60, 200, 620}));
  EXPECT_EQ(o.navigationTab, (LayoutRect{0, 0, 196, 22}));
  EXPECT_EQ(o.navigationTree, (LayoutRect{0, 22, 196, 620 - 22 - 280}));
  EXPECT_EQ(o.dockedInfo, (LayoutRect{0, 340, 196, 280}));
  in.uiScale = 2;
  EXPECT_EQ(ComputeMainLayout(in).navigationTab.h, 34);
  // A window smaller than its bars gives empty children, never negative sizes.
  in.clientH = 50;
  o = ComputeMainLayout(in);
  EXPECT_EQ(o.fileListPane.h, 0);
  EXPECT_EQ(o.navigationTree.h, 0);
  EXPECT_GE(o.list.h, 0);
}

}  // namespace
