// The entry list as the panes, the status bar and the list thread see it: row and entry
// queries, the list thread's next-row request, and the rows the viewer panes are asked to show.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <vector>

#include "browser/pure/toolbar_tables.h"
#include "browser/viewer_panes.h"
#include "core/entry_queries.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/list_helpers.h"
#include "actions/actions_hooks.h"
#include "browser/browser_hooks.h"
#include "core/list_hooks.h"
#include "core/pipeline_hooks.h"
#include "metadata/metadata_hooks.h"
#include "viewer/viewer_hooks.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"

namespace {

class EntryWiringTest : public ::testing::Test {
 protected:
  static constexpr int kRows = 4;
  void SetUp() override {
    savedPointers_ = g_entryPointers;
    savedOrder_ = g_displayOrder;
    savedEntries_ = g_entryCount;
    savedList_ = g_listCount;
    savedCursor_ = g_cursorRow;
    savedLayout_ = g_settings.splitLayout;
    const wchar_t* paths[kRows] = {L"C:\\a\\one.jpg", L"C:\\a\\two.nef", L"C:\\a\\three.jpg", L"C:\\a\\four.jpg"};
    const uint32_t types[kRows] = {0x2, 0x40, 0x2, 0x2};
    for (int i = 0; i < kRows; ++i) {
      ImageEntry* e = new ImageEntry{};
      wcscpy(reinterpret_cast<wchar_t*>(e->path), paths[i]);
      SetEntryNamePointer(e);
      e->info.fileTypeFlag = types[i];
      e->info.fileSize = 1000u * (i + 1);
      e->presence = kEntryPresent;
      e->flags = kEntryInfoRead;
      entries_[i] = e;
      pointers_[i] = e;
      order_[i] = static_cast<uint16_t>(kRows - 1 - i);  // rows run backwards through the entries
    }
    g_entryPointers = pointers_;
    g_displayOrder = order_;
    g_entryCount = g_listCount = kRows;
    g_settings.splitLayout = 0;
  }
  void TearDown() override {
    for (ImageEntry* e : entries_) delete e;
    g_entryPointers = savedPointers_;
    g_displayOrder = savedOrder_;
    g_entryCount = savedEntries_;
    g_listCount = savedList_;
    g_cursorRow = savedCursor_;
    g_settings.splitLayout = savedLayout_;
    g_listNextRowRequest = -1;
    for (int k = 0; k < 4; ++k) g_paneEntry[k] = g_paneRequested[k] = -1;
  }
  ImageEntry* entries_[kRows];
  void* pointers_[kRows];
  uint16_t order_[kRows];
  void** savedPointers_;
  uint16_t* savedOrder_;
  int32_t savedEntries_, savedList_, savedCursor_, savedLayout_;
};

TEST_F(EntryWiringTest, RowsAndEntriesAnswerWithinTheListOnly) {
  EXPECT_EQ(GetRowEntry(0), 3);
  EXPECT_EQ(GetRowEntry(3), 0);
  EXPECT_EQ(GetRowEntry(-1), -1);
  EXPECT_EQ(GetRowEntry(kRows), -1);
  g_listCount = 2;  // rows past the list count are not shown, whatever the order array holds
  EXPECT_EQ(GetRowEntry(2), -1);
  g_listCount = kRows;

  entries_[1]->presence = kEntryVanished;
  entries_[2]->presence = kEntryPresent | kEntrySelected;
  EXPECT_FALSE(IsEntryPresent(1));
  EXPECT_TRUE(IsEntryPresent(2));
  EXPECT_FALSE(IsEntryPresent(kRows));
  EXPECT_FALSE(IsRowEntryPresent(2));  // row 2 is entry 1
  EXPECT_TRUE(IsRowEntryPresent(1));

  EXPECT_TRUE(IsRawEntry(1));
  EXPECT_FALSE(IsRawEntry(0));
  EXPECT_FALSE(IsRawEntry(-1));
  entries_[3]->checked = 1;
  EXPECT_TRUE(IsEntryChecked(3));
  EXPECT_FALSE(IsEntryChecked(2));

  wchar_t text[16];
  GetEntryPathText(0, false, text, 16);
  EXPECT_STREQ(text, L"one.jpg");
  GetEntryPathText(0, true, text, 16);
  EXPECT_STREQ(text, L"C:\\a\\one.jpg");
  GetEntryPathText(0, true, text, 5);  // cut, still terminated
  EXPECT_STREQ(text, L"C:\\a");
  GetEntryPathText(9, true, text, 16);
  EXPECT_STREQ(text, L"");

  // Row 2 shows the RAW entry 1: its full development makes it "Original RAW".
  ImageLevelInputs facts{};
  entries_[1]->fullLevelSize = 4096;
  ASSERT_TRUE(ReadRowLevelFacts(2, &facts));
  facts.viewMode = 2;
  EXPECT_EQ(std::u16string(ImageLevelText(facts)), u"\tOriginal RAW");
  entries_[0]->info.previewSize = 512;
  ASSERT_TRUE(ReadRowLevelFacts(3, &facts));
  facts.viewMode = 2;
  EXPECT_EQ(std::u16string(ImageLevelText(facts)), u"\tThumbnail");
  EXPECT_FALSE(ReadRowLevelFacts(kRows, &facts));
}

TEST_F(EntryWiringTest, AViewOfAnUnreadEntryAsksTheListThreadForItsRow) {
  entries_[1]->flags = 0;  // row 2: metadata not read yet
  entries_[0]->flags = 0;  // row 3
  g_listNextRowRequest = -1;
  EXPECT_FALSE(PrepareEntryForView(2, 0));
  EXPECT_EQ(g_listNextRowRequest, 2);
  // A request not yet served is not overwritten by a later one.
  EXPECT_FALSE(PrepareEntryForView(3, 0));
  EXPECT_EQ(g_listNextRowRequest, 2);
  // Rows outside the list ask nothing.
  g_listNextRowRequest = -1;
  EXPECT_FALSE(PrepareEntryForView(kRows, 0));
  EXPECT_EQ(g_listNextRowRequest, -1);
}

TEST_F(EntryWiringTest, ThePanesShowTheRowsTheCursorAsksFor) {
  g_cursorRow = 2;
  AssignPaneEntries();
  EXPECT_EQ(GetPaneOrderNumber(0), 2);
  g_cursorRow = 1;
  AssignPaneEntries();
  EXPECT_EQ(GetPaneOrderNumber(0), 1);
  // A locked pane keeps its row whatever the cursor asks.
  g_paneEntry[0] = 3;
  g_cursorRow = 0;
  AssignPaneEntries();
  EXPECT_EQ(GetPaneOrderNumber(0), 3);
  // A lock on a vanished entry's row is dropped.
  entries_[0]->presence = kEntryVanished;  // row 3
  AssignPaneEntries();
  EXPECT_EQ(g_paneEntry[0], -1);
  EXPECT_EQ(GetPaneOrderNumber(0), 0);
}

// A member the program never installs would only fail when first called, perhaps on a rare path
// (a rename seen by the folder watcher): every member of every hook record is set before the
// first test, by the installer the program runs at start-up.
template <class Record>
void ExpectEveryMemberInstalled(const Record& record, const char* name) {
  static_assert(sizeof(Record) % sizeof(void*) == 0, "a hook record holds function pointers only");
  const auto* members = reinterpret_cast<const void* const*>(&record);
  for (size_t i = 0; i < sizeof(Record) / sizeof(void*); ++i) EXPECT_NE(members[i], nullptr) << name << " member " << i;
}

TEST(ProgramHooks, EveryMemberIsInstalled) {
  ExpectEveryMemberInstalled(g_pipelineHooks, "PipelineHooks");
  ExpectEveryMemberInstalled(g_listHooks, "ListHooks");
  ExpectEveryMemberInstalled(g_metadataHooks, "MetadataHooks");
  ExpectEveryMemberInstalled(g_viewerHooks, "ViewerHooks");
  ExpectEveryMemberInstalled(g_browserHooks, "BrowserHooks");
  ExpectEveryMemberInstalled(g_actionsHooks, "ActionsHooks");
}

}  // namespace
