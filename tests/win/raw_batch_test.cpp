// The RAW development batch in the program's own windows: synthetic DNG files in a loaded
// folder, developed by the worker one at a time, saved into the action's folder, reported in
// the captions, the progress bar and the action history; abort and the refusal of a second batch.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "actions/action_dispatch.h"
#include "actions/action_history.h"
#include "actions/action_table.h"
#include "actions/entry_actions.h"
#include "actions/raw_batch.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/rebar_bands.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/image_pipeline.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/pure/camera_models.h"
#include "resources/resource.h"
#include "tests/support/dng_writer.h"
#include "tests/support/program_services.h"
#include "tests/support/program_window_suite.h"
#include "tests/support/win_test_support.h"

using namespace testsupport;

namespace {

int RowWithRawFlag() {
  for (int r = 0; r < kCameraModelRows; ++r)
    if ((kCameraModelTable[r].rawFlag & 0xFF) == 1 && kCameraModelTable[r].code != kUnknownModelCode) return r;
  return -1;
}

void SetRow(int32_t row, int32_t kind, const std::wstring& path) {
  ActionEntry& r = *reinterpret_cast<ActionEntry*>(g_settings.actionTable[row].bytes);
  std::memset(&r, 0, sizeof r);
  r.enabled = 1;
  r.targetKey = 0;
  r.kind = kind;
  wcsncpy(reinterpret_cast<wchar_t*>(r.path), path.c_str(), 259);
  if (g_settings.actionCount <= row) g_settings.actionCount = row + 1;
}

// The list load arms the RAW failure box before a test can give the synthetic entries a
// developable model, so a row or pane thread may fail and show it before SetUp disarms it. A box
// on a thread the test does not pump would hold that thread, and every later stop of it, for
// ever: the suite closes such boxes. Boxes of the test's own thread are the test's to answer.
class WorkerRawBoxCloser {
 public:
  WorkerRawBoxCloser() : testThread_(GetCurrentThreadId()), thread_([this] { Run(); }) {}
  ~WorkerRawBoxCloser() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    while (!stop_) {
      for (HWND box : VisibleTopWindows(GetCurrentProcessId(), L"#32770")) {
        if (GetWindowThreadProcessId(box, nullptr) == testThread_) continue;
        if (WindowText(GetDlgItem(box, 0xFFFF)) == L"RAW現像に失敗しました。")
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
      Sleep(50);
    }
  }
  const DWORD testThread_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class RawBatchTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() {
    closer_ = new WorkerRawBoxCloser;
    ASSERT_NO_FATAL_FAILURE(OpenMainWindow([] {
      BuildCameraModelIndex();
      g_settings.enabledImageTypes |= 0x2 | 0x4000;
    }));
  }
  static void TearDownTestSuite() {
    CloseMainWindow();
    delete closer_;
  }
  void SetUp() override {
    static int serial = 0;
    scratch_ = new ScratchDir;
    photos_ = scratch_->path() + L"\\set" + std::to_wstring(++serial);
    ASSERT_TRUE(CreateDirectoryW(photos_.c_str(), nullptr));
    brn_test::SyntheticDng shot;
    shot.width = 96;
    shot.height = 64;
    const auto dng = brn_test::MakeSyntheticDng(shot);
    for (const wchar_t* name : {L"c.dng", L"a.dng", L"b.dng", L"d.dng", L"e.dng"})
      ASSERT_TRUE(WriteWholeFile(File(name), dng.data(), dng.size()));
    wcscpy(g_currentFolder, photos_.c_str());
    LoadListContents(1, 0, 0);
    // Until the entries are given a developable model below, the viewer's development of the
    // shown one fails; that is no finding of this test, so its one error box is disarmed.
    g_rawFailureArmed = 0;
    ASSERT_TRUE(WaitFor([] { return g_listCount == 5 && g_listReadyFlag == 1 && g_listPassComplete == 1; }, 30000));
    Pump();
    const int rawRow = RowWithRawFlag();
    ASSERT_GE(rawRow, 0);
    // The synthetic camera is no model of the table: the entries are given a developable one.
    for (int32_t i = 0; i < g_entryCount; ++i) {
      EntryAt(i)->presence = 1;
      EntryAt(i)->info.modelRow = static_cast<int16_t>(rawRow);
    }
    std::memset(g_settings.actionTable, 0, sizeof g_settings.actionTable);
    g_settings.actionCount = 0;
  }
  void TearDown() override {
    WaitFor([] { return !RawDevelopBatchRunning(); }, 30000);
    delete scratch_;
  }
  std::wstring File(const std::wstring& name) const { return photos_ + L"\\" + name; }
  // Selects the rows of these names in the list, which gets the focus.
  void Select(const std::vector<std::wstring>& names) {
    HWND list = GetListControl();
    ASSERT_NE(list, nullptr);
    g_viewMode |= 1;
    SetForegroundWindow(g_hwndMain);
    SetFocus(list);
    Pump();
    ASSERT_EQ(GetFocus(), list);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    for (int32_t r = 0; r < g_listCount; ++r) {
      if (std::find(names.begin(), names.end(), std::wstring(EntryName(EntryAtRow(r)))) == names.end()) continue;
      item.state = LVIS_SELECTED;
      SendMessageW(list, LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&item));
      g_cursorRow = r;
    }
    Pump();
    int32_t selected = 0;
    for (int32_t r = 0; r < g_listCount; ++r)
      selected += (SendMessageW(list, LVM_GETITEMSTATE, r, LVIS_SELECTED) & LVIS_SELECTED) ? 1 : 0;
    ASSERT_EQ(selected, static_cast<int32_t>(names.size()));
  }
  static WorkerRawBoxCloser* closer_;
  ScratchDir* scratch_ = nullptr;
  std::wstring photos_;
};
WorkerRawBoxCloser* RawBatchTest::closer_ = nullptr;

// History lines from the newest, without their icons.
std::vector<std::wstring> HistoryLines(size_t count) {
  std::vector<std::wstring> lines;
  std::wstring text;
  for (size_t i = 0; i < count && ActionHistoryLine(static_cast<int>(i), &text); ++i) lines.push_back(text);
  return lines;
}

// Runs the batch one message at a time, so that every state between two messages is seen.
template <typename Note>
void PumpBatchNoting(HWND dialog, Note note) {
  const DWORD start = GetTickCount();
  while ((RawDevelopBatchRunning() || IsWindow(dialog)) && GetTickCount() - start < 60000) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      Sleep(5);
    }
    note();
  }
}

// Developed into the pictures' own folder: the camera's JPEG of a RAW+JPEG pair stays byte for
// byte and its RAW file's line says not done; undo takes back only a product still as made.
TEST_F(RawBatchTest, NeverReplacesAFileAndUndoTakesBackOnlyItsOwnProduct) {
  SetRow(0, 8, photos_ + L"\\");
  const std::string camera = "the camera's own JPEG";
  ASSERT_TRUE(WriteWholeFile(File(L"a.jpg"), camera.data(), camera.size()));
  Select({L"a.dng", L"b.dng", L"d.dng"});
  BoxAnswerer none(IDNO);
  ASSERT_EQ(StartRawDevelopBatch(0), 1);
  ASSERT_TRUE(WaitFor([] { return !RawDevelopBatchRunning(); }, 60000));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(File(L"a.jpg"), &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), camera);
  const std::vector<std::wstring> lines = HistoryLines(3);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].substr(lines[2].find(L':')), L":a.dng->Skip!");
  EXPECT_EQ(lines[1].substr(lines[1].find(L':')), L":b.dng->OK!");
  EXPECT_EQ(lines[0].substr(lines[0].find(L':')), L":d.dng->OK!");
  auto entryOf = [](const wchar_t* name) {
    for (int32_t i = 0; i < g_entryCount; ++i)
      if (std::wstring(EntryName(EntryAt(i))) == name) return i;
    return -1;
  };
  const int32_t a = entryOf(L"a.dng"), b = entryOf(L"b.dng"), d = entryOf(L"d.dng");
  ASSERT_GE(a, 0);
  EXPECT_EQ(EntryAt(a)->undoCount, 0);
  // b.jpg is replaced by another file of that name: its undo leaves that file alone.
  ASSERT_TRUE(FileExists(File(L"b.jpg")));
  const std::string other = "another picture saved over the development";
  ASSERT_TRUE(DeleteFileW(File(L"b.jpg").c_str()));
  ASSERT_TRUE(WriteWholeFile(File(L"b.jpg"), other.data(), other.size()));
  EXPECT_EQ(ExecuteEntryAction(b, 0, L"", -1, 0), kActionSkipped);
  ASSERT_TRUE(ReadWholeFile(File(L"b.jpg"), &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), other);
  // d.jpg as it was made goes.
  ASSERT_TRUE(FileExists(File(L"d.jpg")));
  EXPECT_EQ(ExecuteEntryAction(d, 0, L"", -1, 0), kActionDone);
  EXPECT_FALSE(FileExists(File(L"d.jpg")));
}

TEST_F(RawBatchTest, SelectedRawFilesDevelopInEntryOrderIntoTheActionsFolder) {
  SetRow(0, 7, L"develop\\");
  Select({L"c.dng", L"a.dng", L"e.dng"});
  BoxAnswerer yes(IDYES);  // the new folder develop\ is made
  const int32_t historyBefore = GetActionHistoryCount();
  const DWORD t0 = GetTickCount();
  ASSERT_EQ(RunAction(0), 0);  // the batch runs on; the action itself reports nothing
  const DWORD t1 = GetTickCount();
  EXPECT_EQ(g_rawBatchDone, 0);
  (void)t1;
  HWND dialog = g_windowSlots[kSlotRawProgress];
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(g_windowSlots[kSlotNavigationPane]));
  // A second batch is refused while this one runs.
  EXPECT_EQ(StartRawDevelopBatch(0), 0);
  std::vector<std::wstring> captions, mains, names;
  std::vector<int> bars;
  auto note = [&] {
    if (!IsWindow(dialog)) return;
    const std::wstring c = WindowText(dialog);
    if (captions.empty() || captions.back() != c) {
      captions.push_back(c);
      mains.push_back(WindowText(g_hwndMain));
      bars.push_back(static_cast<int>(SendDlgItemMessageW(dialog, IDC_RAW_BATCH_BAR, PBM_GETPOS, 0, 0)));
    }
    if (g_rawBatchEntry && (names.empty() || names.back() != EntryName(g_rawBatchEntry)))
      names.push_back(EntryName(g_rawBatchEntry));
  };
  PumpBatchNoting(dialog, note);
  ASSERT_FALSE(RawDevelopBatchRunning());
  // Entry numbers follow the load order (by name here), not the order the rows were picked.
  EXPECT_EQ(names, (std::vector<std::wstring>{L"a.dng", L"c.dng", L"e.dng"}));
  std::string seen;
  for (const auto& c : captions) seen += std::to_string(c.size()) + ":" + std::string(c.begin(), c.begin() + std::min<size_t>(5, c.size())) + " ";
  ASSERT_GE(captions.size(), 3u) << seen;
  EXPECT_EQ(captions[0], L"[0/3] RAW現像");
  EXPECT_EQ(captions[1], L"[1/3] RAW現像");
  EXPECT_EQ(bars[1], 0);
  EXPECT_EQ(captions[2], L"[2/3] RAW現像");
  EXPECT_EQ(mains[1].rfind(L"[1/3] ", 0), 0u) << mains[1];
  EXPECT_EQ(WindowText(g_hwndMain).find(L"["), std::wstring::npos);
  EXPECT_TRUE(IsWindowEnabled(g_windowSlots[kSlotNavigationPane]));
  EXPECT_EQ(g_windowSlots[kSlotRawProgress], nullptr);
  for (const wchar_t* name : {L"a", L"c", L"e"}) {
    const std::wstring out = File(std::wstring(L"develop\\") + name + L".tiff");
    ASSERT_TRUE(FileExists(out)) << name;
    Gdiplus::Bitmap saved(out.c_str());
    EXPECT_EQ(saved.GetLastStatus(), Gdiplus::Ok);
    EXPECT_GT(saved.GetWidth(), 0u);
  }
  EXPECT_FALSE(FileExists(File(L"develop\\b.tiff")));
  EXPECT_EQ(GetActionHistoryCount() - historyBefore, 3);
  // The listed entries got the undo records; their own pictures were never touched.
  for (int32_t i = 0; i < g_entryCount; ++i) {
    ImageEntry* e = EntryAt(i);
    const bool chosen = std::wstring(EntryName(e)) != L"b.dng" && std::wstring(EntryName(e)) != L"d.dng";
    EXPECT_EQ(e->undoCount, chosen ? 1 : 0) << EntryName(e);
  }
  // Undo of one of them removes its developed picture.
  ASSERT_EQ(g_rawBatchCopies, nullptr);
}

TEST_F(RawBatchTest, AbortDiscardsTheEntryUnderWayAndEndsTheBatch) {
  SetRow(0, 8, L"develop\\");
  Select({L"a.dng", L"b.dng", L"c.dng", L"d.dng", L"e.dng"});
  BoxAnswerer yes(IDYES);
  ASSERT_EQ(StartRawDevelopBatch(0), 1);
  HWND dialog = g_windowSlots[kSlotRawProgress];
  ASSERT_NE(dialog, nullptr);
  // "中止" while the first entry develops.
  SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(g_rawBatchAbort, 1);
  ASSERT_TRUE(WaitFor([&] { return !RawDevelopBatchRunning() && !IsWindow(dialog); }, 60000));
  EXPECT_FALSE(FileExists(File(L"develop\\a.jpg")));
  EXPECT_FALSE(FileExists(File(L"develop\\b.jpg")));
  EXPECT_EQ(WindowText(g_hwndMain).find(L"["), std::wstring::npos);
  for (int32_t i = 0; i < g_entryCount; ++i) EXPECT_EQ(EntryAt(i)->undoCount, 0);
  // Kind 8 without abort writes JPEG files.
  Select({L"b.dng"});
  ASSERT_EQ(StartRawDevelopBatch(0), 1);
  ASSERT_TRUE(WaitFor([] { return !RawDevelopBatchRunning(); }, 60000));
  EXPECT_TRUE(FileExists(File(L"develop\\b.jpg")));
}

// A chosen file that has vanished is passed over: it is never put under way (whose failed
// development would show its error box), gets no history line and leaves no product.
TEST_F(RawBatchTest, AVanishedFileIsSkippedNotDeveloped) {
  SetRow(0, 8, L"develop\\");
  Select({L"b.dng", L"c.dng", L"d.dng"});
  ImageEntry* gone = nullptr;
  for (int32_t i = 0; i < g_entryCount; ++i)
    if (std::wstring(EntryName(EntryAt(i))) == L"c.dng") gone = EntryAt(i);
  ASSERT_NE(gone, nullptr);
  ASSERT_TRUE(DeleteFileW(File(L"c.dng").c_str()));
  gone->presence = kEntryVanished;
  BoxAnswerer yes(IDYES);
  const int32_t historyBefore = GetActionHistoryCount();
  ASSERT_EQ(StartRawDevelopBatch(0), 1);
  HWND dialog = g_windowSlots[kSlotRawProgress];
  ASSERT_NE(dialog, nullptr);
  std::vector<std::wstring> names;
  PumpBatchNoting(dialog, [&] {
    if (g_rawBatchEntry && (names.empty() || names.back() != EntryName(g_rawBatchEntry)))
      names.push_back(EntryName(g_rawBatchEntry));
  });
  ASSERT_FALSE(RawDevelopBatchRunning());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"b.dng", L"d.dng"}));
  EXPECT_TRUE(FileExists(File(L"develop\\b.jpg")));
  EXPECT_TRUE(FileExists(File(L"develop\\d.jpg")));
  EXPECT_FALSE(FileExists(File(L"develop\\c.jpg")));
  EXPECT_EQ(GetActionHistoryCount() - historyBefore, 2);
  EXPECT_EQ(gone->undoCount, 0);
}

TEST(RawBatchPath, ExtensionOfTheNameOnly) {
  wchar_t out[260];
  EXPECT_TRUE(RawBatchOutputPath(L"C:\\p\\develop\\", L"IMG_0001.CR2", 7, out));
  EXPECT_STREQ(out, L"C:\\p\\develop\\IMG_0001.tiff");
  EXPECT_TRUE(RawBatchOutputPath(L"C:\\p.q\\", L"IMG_0001.CR2", 8, out));
  EXPECT_STREQ(out, L"C:\\p.q\\IMG_0001.jpg");
  EXPECT_FALSE(RawBatchOutputPath(L"C:\\p.q\\", L"NOEXT", 8, out));
  EXPECT_FALSE(RawBatchOutputPath(L"C:\\p\\", L"a.cr2", 3, out));
  EXPECT_FALSE(RawBatchOutputPath(std::wstring(250, L'x').c_str(), L"abcdefgh.cr2", 7, out));
}

}  // namespace
