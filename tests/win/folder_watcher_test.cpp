// The folder watcher on real folders under a real main window: files that another program
// copies in, deletes and renames show up in the entry list and its rows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "actions/batch_rename.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/rebar_bands.h"
#include "core/app_globals.h"
#include "actions/action_history.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/list_helpers.h"
#include "core/list_hooks.h"
#include "core/main_window_state.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "support/program_services.h"
#include "support/program_window_suite.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

const wchar_t kSample[] =
    L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\"
    L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg";

HWND List() { return GetListControl(); }
int ListRows() { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
int Row(const wchar_t* name) { return FindListPositionByName(name); }

int RowsNamed(const wchar_t* name) {
  int n = 0;
  for (int row = 0; row < g_listCount; ++row)
    if (_wcsicmp(EntryName(EntryAtRow(row)), name) == 0) ++n;
  return n;
}

// Pumps this thread's messages for a while: the watcher informs the panes by sent messages.
void PumpFor(DWORD ms) { WaitFor([] { return false; }, ms); }

std::wstring HistoryTop() {
  std::wstring text;
  ActionHistoryLine(0, &text);
  return text;
}
int HistoryCount() {
  HWND combo = g_bandControls[kBandActionHistory];
  return combo ? static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) : 0;
}

class FolderWatcherTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NO_FATAL_FAILURE(OpenMainWindow([] {
      g_settings.enabledImageTypes |= 0x2;
      g_listStyleValue = 1;
    }));
  }
  static void TearDownTestSuite() { CloseMainWindow(); }
  void SetUp() override {
    folder_ = new ScratchDir;
    for (const wchar_t* name : {L"a.jpg", L"b.jpg"})
      ASSERT_TRUE(CopyFileW(kSample, folder_->File(name).c_str(), FALSE));
    g_settings.watchFolder = 1;
    Load();
  }
  void TearDown() override {
    StopThumbnailListThread();
    FreeImageEntries();
    delete folder_;
  }
  void Load() {
    wcscpy(g_currentFolder, folder_->path().c_str());
    g_listReadyFlag = 0;  // still set by the list before: the new thread clears it only once it runs
    LoadListContents(1, 0, 0);
    ASSERT_TRUE(WaitFor([] { return g_listReadyFlag == 1 && g_listCount == g_entryCount; }, 20000));
    Pump();
  }
  std::wstring File(const wchar_t* name) const { return folder_->File(name); }

  ScratchDir* folder_ = nullptr;
};

TEST_F(FolderWatcherTest, FileCopiedInByTheShellAppearsOnceComplete) {
  ASSERT_EQ(g_entryCount, 2);
  std::wstring from = std::wstring(kSample) + L'\0', to = File(L"new.jpg") + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;
  ASSERT_EQ(SHFileOperationW(&op), 0);
  ASSERT_TRUE(WaitFor([] { return Row(L"new.jpg") >= 0; }, 10000));
  PumpFor(1500);  // later notifications of the same file add nothing
  EXPECT_EQ(RowsNamed(L"new.jpg"), 1);
  EXPECT_EQ(g_entryCount, 3);
  EXPECT_EQ(ListRows(), 3);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(File(L"new.jpg").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(EntryAtRow(Row(L"new.jpg"))->info.fileSize, data.nFileSizeLow);

  // A file that another program is still writing gets its row only once it is complete.
  std::atomic<bool> writing{true};
  std::thread writer([&] {
    HANDLE f = CreateFileW(File(L"grow.jpg").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    std::vector<char> chunk(1000, 'x');
    for (int i = 0; i < 60; ++i) {
      DWORD written;
      WriteFile(f, chunk.data(), DWORD(chunk.size()), &written, nullptr);
      Sleep(20);
    }
    CloseHandle(f);
    writing = false;
  });
  bool earlyRow = false;
  while (writing) {
    Pump();
    if (Row(L"grow.jpg") >= 0) earlyRow = true;
    Sleep(5);
  }
  writer.join();
  EXPECT_FALSE(earlyRow);
  ASSERT_TRUE(WaitFor([] { return Row(L"grow.jpg") >= 0; }, 10000));
  PumpFor(1000);
  EXPECT_EQ(RowsNamed(L"grow.jpg"), 1);
  EXPECT_EQ(EntryAtRow(Row(L"grow.jpg"))->info.fileSize, 60000u);

  // A type that is not listed is ignored; with watching off nothing is taken.
  ASSERT_TRUE(WriteWholeFile(File(L"notes.txt"), "text", 4));
  g_settings.watchFolder = 0;
  ASSERT_TRUE(CopyFileW(kSample, File(L"off.jpg").c_str(), FALSE));
  PumpFor(1000);
  EXPECT_EQ(Row(L"off.jpg"), -1);
  EXPECT_EQ(g_entryCount, 4);
  g_settings.watchFolder = 1;
  // The watch stayed armed: the next change of that file brings it in.
  HANDLE touch = CreateFileW(File(L"off.jpg").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  SetFileTime(touch, nullptr, nullptr, &now);
  CloseHandle(touch);
  EXPECT_TRUE(WaitFor([] { return Row(L"off.jpg") >= 0; }, 10000));
}

TEST_F(FolderWatcherTest, DeleteMarksTheRowAndTheFileComingBackRevivesIt) {
  int row = Row(L"a.jpg");
  ASSERT_GE(row, 0);
  ImageEntry* e = EntryAtRow(row);
  // Its last undo step says it went to the Recycle Bin.
  e->undoRecords = static_cast<UndoRecord*>(std::calloc(2, sizeof(UndoRecord)));
  e->undoCount = 2;
  e->undoRecords[0].kind = 3;
  e->undoRecords[1].kind = 5;
  e->currentUndo = 1;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(File(L"a.jpg"), &bytes));
  // The idle timer does not run here: the repaint asked for stays asked for.
  g_redrawFlag = 0;
  ASSERT_TRUE(DeleteFileW(File(L"a.jpg").c_str()));
  ASSERT_TRUE(WaitFor([&] { return e->presence == kEntryVanished; }, 10000));
  EXPECT_EQ(Row(L"a.jpg"), row);  // the row stays, marked
  EXPECT_EQ(ListRows(), 2);
  // A viewer pane showing the picture is repainted, not left showing a file that is gone.
  EXPECT_TRUE(WaitFor([] { return g_redrawFlag == 1; }, 5000));

  g_redrawFlag = 0;
  ASSERT_TRUE(WriteWholeFile(File(L"a.jpg"), bytes.data(), bytes.size()));
  ASSERT_TRUE(WaitFor([&] { return e->presence != kEntryVanished; }, 10000));
  EXPECT_TRUE(WaitFor([] { return g_redrawFlag == 1; }, 5000));
  EXPECT_EQ(e->undoRecords[1].kind, 0);
  EXPECT_EQ(e->currentUndo, 0);
  EXPECT_EQ(g_entryCount, 2);
  EXPECT_EQ(ListRows(), 2);
}

TEST_F(FolderWatcherTest, RenamesByAnotherProgramAreFollowedButNotTheProgramsOwn) {
  int row = Row(L"b.jpg");
  ASSERT_GE(row, 0);
  ImageEntry* e = EntryAtRow(row);
  int lines = HistoryCount();
  ASSERT_TRUE(MoveFileW(File(L"b.jpg").c_str(), File(L"b2.jpg").c_str()));
  ASSERT_TRUE(WaitFor([&] { return _wcsicmp(EntryName(e), L"b2.jpg") == 0; }, 10000));
  EXPECT_EQ(std::wstring(EntryPath(e)), File(L"b2.jpg"));
  EXPECT_EQ(Row(L"b2.jpg"), row);
  // The history line follows the new path (its owner is told by a sent message).
  EXPECT_TRUE(WaitFor([&] { return HistoryCount() == lines + 1; }, 5000));
  // Its undo record holds the old path, and the interface thread's own undo text is left alone.
  ASSERT_TRUE(WaitFor([&] { return e->currentUndo >= 0; }, 5000));
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(e->undoRecords[e->currentUndo].path)), File(L"b.jpg"));
  EXPECT_EQ(e->undoRecords[e->currentUndo].kind, 10);
  EXPECT_EQ(g_pendingUndoPath[0], 0);
  std::wstring top = HistoryTop();
  ASSERT_NE(top.find(L':'), std::wstring::npos) << top.size();
  EXPECT_EQ(top.substr(top.find(L':')), L":b2.jpg->OK!");
  EXPECT_EQ(ListRows(), 2);

  // While the program renames files itself the watcher leaves them alone.
  RenameInProgress = 1;
  ASSERT_TRUE(MoveFileW(File(L"b2.jpg").c_str(), File(L"b3.jpg").c_str()));
  PumpFor(700);
  ASSERT_TRUE(MoveFileW(File(L"b3.jpg").c_str(), File(L"b2.jpg").c_str()));
  PumpFor(700);
  RenameInProgress = 0;
  EXPECT_STREQ(EntryName(e), L"b2.jpg");
  EXPECT_EQ(HistoryCount(), lines + 1);

  // Renamed from a type that is not listed: a new row.
  ASSERT_TRUE(CopyFileW(kSample, File(L"c.tmp").c_str(), FALSE));
  PumpFor(300);
  ASSERT_TRUE(MoveFileW(File(L"c.tmp").c_str(), File(L"c.jpg").c_str()));
  ASSERT_TRUE(WaitFor([] { return Row(L"c.jpg") >= 0; }, 10000));
  PumpFor(500);
  EXPECT_EQ(RowsNamed(L"c.jpg"), 1);
  EXPECT_EQ(ListRows(), 3);
}

// The watcher's rename line (list thread) and the interface thread's own lines push onto one
// entry's undo list at the same moment, and the interface thread reads the row's action text
// meanwhile: every push is kept, none frees another's records, and the lines all arrive.
TEST_F(FolderWatcherTest, WatcherAndInterfacePushesShareOneUndoList) {
  constexpr int kEach = 300;
  const int entry = g_displayOrder[Row(L"a.jpg")];
  ImageEntry* e = EntryAt(entry);
  ClearEntryUndoList(entry);
  const int lines = HistoryCount(), counted = GetActionHistoryCount();
  const std::wstring fromWatcher = File(L"watcher.jpg"), fromInterface = File(L"interface.jpg");
  std::atomic<bool> go{false}, done{false};
  std::thread watcher([&] {
    while (!go) Sleep(0);
    for (int i = 0; i < kEach; ++i) g_listHooks.addActionHistoryEntry(entry, 10, -3, kActionDone, fromWatcher.c_str());
    done = true;
  });
  go = true;
  for (int i = 0; i < kEach; ++i) {
    AddActionHistoryEntryWithUndo(entry, 10, -3, kActionDone, fromInterface.c_str());
    Pump();  // the watcher's lines reach the drop-down through this thread
    AppendEntryUndoRecord(entry, 10, fromInterface.c_str());  // as the watcher goes on from its line
    SetEntryActionText(entry);
  }
  while (!done) Pump();
  watcher.join();
  Pump();
  ASSERT_EQ(e->undoCount, 3 * kEach);
  EXPECT_EQ(e->currentUndo, 3 * kEach - 1);
  int watcherRecords = 0, interfaceRecords = 0;
  for (int i = 0; i < e->undoCount; ++i) {
    const std::wstring text = reinterpret_cast<const wchar_t*>(e->undoRecords[i].path);
    EXPECT_EQ(e->undoRecords[i].kind, 10) << i;
    watcherRecords += text == fromWatcher;
    interfaceRecords += text == fromInterface;
  }
  EXPECT_EQ(watcherRecords, kEach);
  EXPECT_EQ(interfaceRecords, 2 * kEach);
  EXPECT_EQ(GetActionHistoryCount(), counted + 2 * kEach);
  EXPECT_EQ(HistoryCount(), lines + 2 * kEach);
  ClearEntryUndoList(entry);
}

TEST_F(FolderWatcherTest, ThousandsAddedAtOnceEndInOneReload) {
  constexpr int kFiles = 2000;
  for (int i = 0; i < kFiles; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"n%04d.jpg", i);
    ASSERT_TRUE(WriteWholeFile(File(name), "x", 1));
  }
  int reloads = 0;
  DWORD quietSince = GetTickCount(), start = GetTickCount();
  while (GetTickCount() - start < 120000) {
    Pump();
    if (g_folderReloadRequest) {
      ++reloads;
      Tick();  // the idle loop serves the request
      quietSince = GetTickCount();
    }
    if (g_entryCount == kFiles + 2 && g_listReadyFlag && GetTickCount() - quietSince > 3000) break;
    Sleep(5);
  }
  EXPECT_EQ(reloads, 1);
  EXPECT_EQ(g_entryCount, kFiles + 2);
  EXPECT_EQ(ListRows(), kFiles + 2);
  int missing = 0;
  for (int i = 0; i < kFiles; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"n%04d.jpg", i);
    if (RowsNamed(name) != 1) ++missing;
  }
  EXPECT_EQ(missing, 0);
}

TEST(WaitFileStable, TwoReadingsApartMustAgree) {
  ScratchDir dir;
  std::wstring path = dir.File(L"f.jpg");
  EXPECT_TRUE(WaitFileStable(dir.File(L"none.jpg").c_str()));  // gone: nothing to wait for

  // Created empty and growing: not stable until the writer stops.
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0,
                         nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  std::atomic<DWORD> stopped{0};
  std::thread writer([&] {
    Sleep(30);
    for (int i = 0; i < 40; ++i) {
      DWORD written;
      WriteFile(f, "0123456789", 10, &written, nullptr);
      Sleep(20);
    }
    stopped = GetTickCount();
  });
  EXPECT_TRUE(WaitFileStable(path.c_str()));
  DWORD returned = GetTickCount();
  writer.join();
  EXPECT_GE(returned, stopped.load());
  CloseHandle(f);

  // A file that cannot be opened is not stable.
  HANDLE locked = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(WaitFileStable(path.c_str()));
  CloseHandle(locked);

  // Still growing after six seconds: not stable, and the wait ends.
  f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr);
  std::atomic<bool> run{true};
  std::thread grower([&] {
    while (run) {
      DWORD written;
      WriteFile(f, "x", 1, &written, nullptr);
      Sleep(10);
    }
  });
  DWORD begin = GetTickCount();
  EXPECT_FALSE(WaitFileStable(path.c_str()));
  EXPECT_LT(GetTickCount() - begin, 8000u);
  run = false;
  grower.join();
  CloseHandle(f);
}

}  // namespace
