// Hot-key actions on real files in scratch folders: each action done and undone, compared byte
// for byte; the history lines; the confirmation question; the firing walk through the idle
// loop's scan; faults in the lossless rotation.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <cstdio>

#include <cstring>
#include <string>
#include <vector>

#include "actions/action_dispatch.h"
#include "actions/action_history.h"
#include "actions/action_table.h"
#include "actions/batch_rename.h"
#include "actions/entry_actions.h"
#include "actions/hot_key_scan.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/rebar_bands.h"
#include "browser/status_bar.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/key_state.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/safe_file.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "support/program_services.h"
#include "support/program_window_suite.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

const wchar_t kSamples[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";
struct Sample {
  const wchar_t* source;
  const wchar_t* name;
} const kFiles[] = {
    {L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg", L"a.jpg"},
    {L"2006-08-03-16-29-38-sep-2006-08-03-16-29-38a.jpg", L"b.jpg"},
    {L"f6-exif.jpg", L"r.jpg"},
    {L"2007-01-01-12-00-00-sep-2007-01-01-12-00-00a.jpg", L"p.jpg"},
};

std::vector<uint8_t> Bytes(const std::wstring& path) {
  std::vector<uint8_t> b;
  ReadWholeFile(path, &b);
  return b;
}

int32_t EntryNamed(const wchar_t* name) {
  for (int32_t i = 0; i < g_entryCount; ++i)
    if (_wcsicmp(EntryName(EntryAt(i)), name) == 0) return i;
  return -1;
}

std::wstring HistoryTop() {
  std::wstring text;
  int image = 0;
  if (!ActionHistoryLine(0, &text, &image)) return L"";
  return text + L"#" + std::to_wstring(image);
}

void SetRow(int32_t row, int32_t key, int32_t kind, const std::wstring& path, const std::wstring& comment = L"") {
  ActionEntry& r = *reinterpret_cast<ActionEntry*>(g_settings.actionTable[row].bytes);
  std::memset(&r, 0, sizeof r);
  r.enabled = 1;
  r.targetKey = key;
  r.kind = kind;
  wcsncpy(reinterpret_cast<wchar_t*>(r.path), path.c_str(), 259);
  wcsncpy(reinterpret_cast<wchar_t*>(r.comment), comment.c_str(), 255);
  if (g_settings.actionCount <= row) g_settings.actionCount = row + 1;
}

// Runs an action on one entry as the dispatcher does: the operation, then its history line.
int32_t Act(int32_t entry, int32_t kind, const std::wstring& path, int32_t row = 0) {
  const int32_t result = ExecuteEntryAction(entry, kind, path.c_str(), row, 0);
  AddActionHistoryEntry(entry, kind, row, result);
  return result;
}

class HotKeyActionsTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NO_FATAL_FAILURE(OpenMainWindow([] { g_settings.enabledImageTypes |= 0x2; }));
  }
  static void TearDownTestSuite() { CloseMainWindow(); }
  void SetUp() override {
    // A folder of its own per test, so no thumbnail cache of an earlier test applies.
    static int serial = 0;
    scratch_ = new ScratchDir;
    dest_ = new ScratchDir;
    photos_ = scratch_->path() + L"\\set" + std::to_wstring(++serial);
    ASSERT_TRUE(CreateDirectoryW(photos_.c_str(), nullptr));
    for (const Sample& s : kFiles)
      ASSERT_TRUE(CopyFileW((std::wstring(kSamples) + s.source).c_str(), File(s.name).c_str(), FALSE));
    for (const Sample& s : kFiles) original_.push_back(Bytes(File(s.name)));
    wcscpy(g_currentFolder, photos_.c_str());
    LoadListContents(1, 0, 0);
    ASSERT_TRUE(WaitFor([] { return g_listCount == 4 && g_listReadyFlag == 1 && g_listPassComplete == 1; }, 20000));
    Pump();
    ASSERT_EQ(g_listCount, 4);
    // The thumbnail pass may mark a sample it cannot draw as vanished; the files are there.
    for (int32_t i = 0; i < g_entryCount; ++i) EntryAt(i)->presence = 1;
    std::memset(g_settings.actionTable, 0, sizeof g_settings.actionTable);
    g_settings.actionCount = 0;
  }
  void TearDown() override {
    delete scratch_;
    delete dest_;
  }
  std::wstring File(const std::wstring& name) const { return photos_ + L"\\" + name; }
  ScratchDir* scratch_ = nullptr;
  std::wstring photos_;
  ScratchDir* dest_ = nullptr;
  std::vector<std::vector<uint8_t>> original_;
};

TEST_F(HotKeyActionsTest, CopyIsUndoneOnlyWhileTheCopyIsTheActionsOwn) {
  const int32_t a = EntryNamed(L"a.jpg");
  ASSERT_GE(a, 0);
  SetRow(0, 4, 3, dest_->path());
  const std::wstring copy = dest_->File(L"a.jpg");
  ASSERT_EQ(Act(a, 3, dest_->path()), kActionDone);
  EXPECT_EQ(Bytes(copy), original_[0]);
  EXPECT_EQ(HistoryTop(), L"ｺﾋﾟｰ:a.jpg->OK!#3");
  EXPECT_EQ(g_copyCount, 1);
  ImageEntry* e = EntryAt(a);
  ASSERT_EQ(e->undoCount, 1);
  EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(e->undoRecords[0].path)), dest_->path() + L"\\");
  // Undo sends the copy away; the original stays.
  ASSERT_EQ(Act(a, 0, L""), kActionDone);
  EXPECT_FALSE(FileExists(copy));
  EXPECT_EQ(Bytes(File(L"a.jpg")), original_[0]);
  EXPECT_EQ(HistoryTop(), L"復帰(UNDO):a.jpg->OK!#0");
  // A copy the user removed by hand: Skip, and the record is dropped.
  ASSERT_EQ(Act(a, 3, dest_->path()), kActionDone);
  ASSERT_TRUE(DeleteFileW(copy.c_str()));
  EXPECT_EQ(Act(a, 0, L""), kActionSkipped);
  EXPECT_EQ(HistoryTop(), L"復帰(UNDO):a.jpg->Skip!#14");
  EXPECT_EQ(e->currentUndo, -1);
  // A copy replaced by another file is not the action's own: it is left alone.
  ASSERT_EQ(Act(a, 3, dest_->path()), kActionDone);
  ASSERT_TRUE(WriteWholeFile(copy, "changed", 7));
  EXPECT_EQ(Act(a, 0, L""), kActionSkipped);
  EXPECT_EQ(Bytes(copy), std::vector<uint8_t>({'c', 'h', 'a', 'n', 'g', 'e', 'd'}));
  // A relative folder is kept resolved in the record.
  SetRow(1, 5, 3, L"sub");
  ASSERT_EQ(Act(a, 3, L"sub", 1), kActionDone);
  EXPECT_EQ(Bytes(File(L"sub\\a.jpg")), original_[0]);
  EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(e->undoRecords[e->currentUndo].path)),
            photos_ + L"\\sub\\");
  // A failed copy: its line, its failure icon, no record.
  const int32_t before = e->undoCount;
  AddActionHistoryEntry(a, 3, 0, kActionFailed);
  EXPECT_EQ(HistoryTop(), L"ｺﾋﾟｰ:a.jpg->NG!#17");
  EXPECT_EQ(e->undoCount, before);
}

TEST_F(HotKeyActionsTest, MoveRecycleAndDeleteWithTheirUndo) {
  const int32_t a = EntryNamed(L"a.jpg"), b = EntryNamed(L"b.jpg");
  SetRow(0, 4, 4, dest_->path());
  ASSERT_EQ(Act(a, 4, dest_->path()), kActionDone);
  EXPECT_FALSE(FileExists(File(L"a.jpg")));
  EXPECT_EQ(Bytes(dest_->File(L"a.jpg")), original_[0]);
  EXPECT_EQ(EntryAt(a)->presence, 0);
  EXPECT_FALSE(IsEntryFileInPlace(a));
  EXPECT_EQ(Act(a, 4, dest_->path()), kActionFailed);  // gone from the list's folder
  ASSERT_EQ(Act(a, 0, L""), kActionDone);
  EXPECT_EQ(Bytes(File(L"a.jpg")), original_[0]);
  EXPECT_FALSE(FileExists(dest_->File(L"a.jpg")));
  EXPECT_EQ(EntryAt(a)->presence, 3);
  EXPECT_TRUE(IsEntryFileInPlace(a));
  // An undo of a move never replaces a file that took the old place meanwhile.
  ASSERT_EQ(Act(a, 4, dest_->path()), kActionDone);
  ASSERT_TRUE(WriteWholeFile(File(L"a.jpg"), "new", 3));
  EXPECT_EQ(Act(a, 0, L""), kActionFailed);
  EXPECT_EQ(Bytes(dest_->File(L"a.jpg")), original_[0]);
  EXPECT_EQ(Bytes(File(L"a.jpg")).size(), 3u);

  // Recycle: gone from the folder; what the undo does depends on the Recycle Bin (below).
  ASSERT_EQ(Act(b, 5, L""), kActionDone);
  EXPECT_FALSE(FileExists(File(L"b.jpg")));
  EXPECT_EQ(EntryAt(b)->presence, 0);
  const int32_t restored = Act(b, 0, L"");
  if (restored == kActionDone) {
    EXPECT_EQ(Bytes(File(L"b.jpg")), original_[1]);
  } else {
    // Wine keeps its bin as the XDG trash, without INFO2 or $I records: the undo reports
    // failure and keeps its record for a later try.
    EXPECT_EQ(restored, kActionFailed);
    EXPECT_FALSE(IsEntryFileInPlace(b));
    EXPECT_EQ(HistoryTop(), L"復帰(UNDO):b.jpg->NG!#14");
  }
  // Delete for good: no record, nothing to undo.
  const int32_t p = EntryNamed(L"p.jpg");
  ASSERT_EQ(Act(p, 6, L""), kActionDone);
  EXPECT_FALSE(FileExists(File(L"p.jpg")));
  EXPECT_EQ(EntryAt(p)->undoCount, 0);
  EXPECT_EQ(HistoryTop(), L"削除:p.jpg->OK!#6");
  EXPECT_EQ(Act(p, 0, L""), kActionSkipped);
}

// An undo retires its record only while that is still the current one: when the folder watcher
// retired it meanwhile (the file came back) or pushed a rename above it, the record below stays.
TEST_F(HotKeyActionsTest, UndoRetiresOnlyTheRecordItUndid) {
  const int32_t a = EntryNamed(L"a.jpg");
  AppendEntryUndoRecord(a, 3, dest_->path().c_str());
  AppendEntryUndoRecord(a, 5, L"");
  UndoRecord r;
  int32_t index = -1;
  ASSERT_TRUE(CopyCurrentUndoRecord(a, &r, &index));
  EXPECT_EQ(index, 1);
  ASSERT_TRUE(RetireUndoRecord(a, index, r));
  EXPECT_FALSE(RetireUndoRecord(a, index, r));  // retired already: the copy below stays
  EXPECT_EQ(EntryAt(a)->currentUndo, 0);
  EXPECT_EQ(EntryAt(a)->undoRecords[0].kind, 3);
  ASSERT_TRUE(CopyCurrentUndoRecord(a, &r, &index));
  AppendEntryUndoRecord(a, 10, File(L"old.jpg").c_str());  // pushed meanwhile
  EXPECT_FALSE(RetireUndoRecord(a, index, r));
  EXPECT_EQ(EntryAt(a)->currentUndo, 1);
  EXPECT_EQ(EntryAt(a)->undoRecords[0].kind, 3);
}

TEST_F(HotKeyActionsTest, RenameUndoAndThreeActionsThenOneUndo) {
  const int32_t a = EntryNamed(L"a.jpg");
  ImageEntry* e = EntryAt(a);
  // A rename as the renamers report it: the old path left in g_pendingUndoPath.
  const std::wstring renamed = File(L"renamed.jpg");
  wcscpy(g_pendingUndoPath, EntryPath(e));
  ASSERT_TRUE(MoveOwnFile(EntryPath(e), renamed.c_str()));
  wcscpy(EntryPath(e), renamed.c_str());
  SetEntryNamePointer(e);
  AddActionHistoryEntry(a, 10, -3, kActionDone);
  EXPECT_EQ(HistoryTop(), L"ﾘﾈｰﾑ:renamed.jpg->OK!#10");
  ASSERT_EQ(Act(a, 0, L""), kActionDone);
  EXPECT_EQ(Bytes(File(L"a.jpg")), original_[0]);
  EXPECT_FALSE(FileExists(renamed));
  EXPECT_EQ(std::wstring(EntryName(e)), L"a.jpg");

  const int32_t b = EntryNamed(L"b.jpg");
  ImageEntry* eb = EntryAt(b);
  const int32_t lines = GetActionHistoryCount();
  for (int i = 0; i < 3; ++i) {
    const std::wstring folder = dest_->File(L"d" + std::to_wstring(i));
    SetRow(i, 4 + i, 3, folder);
    ASSERT_EQ(Act(b, 3, folder, i), kActionDone);
  }
  ASSERT_EQ(Act(b, 0, L""), kActionDone);
  EXPECT_EQ(GetActionHistoryCount(), lines + 4);
  EXPECT_EQ(eb->currentUndo, 1);  // two records left to undo
  EXPECT_FALSE(FileExists(dest_->File(L"d2\\b.jpg")));
  EXPECT_TRUE(FileExists(dest_->File(L"d1\\b.jpg")));
}

TEST_F(HotKeyActionsTest, LosslessRotationWritesTheValueAndUndoRestoresTheFile) {
  const int32_t r = EntryNamed(L"r.jpg");
  ImageEntry* e = EntryAt(r);
  const std::wstring path = File(L"r.jpg");
  ASSERT_GT(e->info.orientationOffset, 0);
  ASSERT_EQ(e->info.orientation, 6);
  const int32_t at = e->info.orientationOffset;
  const bool big = e->info.orientationByteOrder == 2;
  e->userRotation = 1;
  ASSERT_EQ(Act(r, 12, L"", -1), kActionDone);
  std::vector<uint8_t> now = Bytes(path);
  EXPECT_EQ(now[at + (big ? 1 : 0)], 3);
  EXPECT_EQ(now[at + (big ? 0 : 1)], 0);
  now[at + (big ? 1 : 0)] = 6;
  EXPECT_EQ(now, original_[2]);  // nothing else changed
  EXPECT_EQ(e->info.orientation, 3);
  EXPECT_EQ(e->userRotation, 0);
  EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(e->info.orientationText)), L"3");
  EXPECT_EQ(HistoryTop(), L"ﾛｽﾚｽ回転:r.jpg->OK!#12");
  ASSERT_EQ(Act(r, 0, L""), kActionDone);
  EXPECT_EQ(Bytes(path), original_[2]);
  EXPECT_EQ(e->info.orientation, 6);

  // Faults: the file must stay byte-identical and the entry unchanged.
  auto expectUntouched = [&](const char* what) {
    e->userRotation = 1;
    EXPECT_EQ(ExecuteEntryAction(r, 12, L"", -1, 0), kActionFailed) << what;
    EXPECT_EQ(Bytes(path), original_[2]) << what;
    EXPECT_EQ(e->info.orientation, 6) << what;
    EXPECT_EQ(e->userRotation, 1) << what;
  };
  // The value in the file is no longer the one read.
  {
    std::vector<uint8_t> other = original_[2];
    other[at + (big ? 1 : 0)] = 8;
    ASSERT_TRUE(WriteWholeFile(path, other.data(), other.size()));
    e->userRotation = 1;
    EXPECT_EQ(ExecuteEntryAction(r, 12, L"", -1, 0), kActionFailed);
    EXPECT_EQ(Bytes(path), other);
    ASSERT_TRUE(WriteWholeFile(path, original_[2].data(), original_[2].size()));
  }
  // Reading fails: another program holds the file without sharing.
  {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    e->userRotation = 1;
    EXPECT_EQ(ExecuteEntryAction(r, 12, L"", -1, 0), kActionFailed);
    CloseHandle(h);
    EXPECT_EQ(Bytes(path), original_[2]);
  }
  // Written in place: the same file afterwards with its attributes, and no copy is made (none
  // could be: a temporary file cannot be created).
  {
    auto identity = [&path](BY_HANDLE_FILE_INFORMATION* info) {
      HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
      const bool ok = h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, info);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
      return ok;
    };
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    BY_HANDLE_FILE_INFORMATION before{}, after{};
    ASSERT_TRUE(identity(&before));
    g_safeFileFaultStep = 1;
    e->userRotation = 1;
    EXPECT_EQ(Act(r, 12, L"", -1), kActionDone);
    g_safeFileFaultStep = 0;
    ASSERT_TRUE(identity(&after));
    EXPECT_EQ(after.nFileIndexLow, before.nFileIndexLow);
    EXPECT_EQ(after.nFileIndexHigh, before.nFileIndexHigh);
    EXPECT_EQ(after.dwFileAttributes, before.dwFileAttributes);
    EXPECT_EQ(e->info.orientation, 3);
    EXPECT_EQ(Act(r, 0, L""), kActionDone);
    EXPECT_EQ(Bytes(path), original_[2]);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  // A folder named like a temporary file stays as it was: nothing is made beside the file.
  {
    wchar_t temp[300];
    swprintf(temp, 300, L"%ls.%04x.tmp", path.c_str(), static_cast<unsigned>(GetCurrentProcessId() & 0xFFFF));
    ASSERT_TRUE(CreateDirectoryW(temp, nullptr));
    e->userRotation = 1;
    EXPECT_EQ(Act(r, 12, L"", -1), kActionDone);
    EXPECT_EQ(e->info.orientation, 3);
    EXPECT_EQ(Act(r, 0, L""), kActionDone);
    EXPECT_EQ(Bytes(path), original_[2]);
    EXPECT_TRUE(GetFileAttributesW(temp) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(RemoveDirectoryW(temp));
  }
  // Opening for writing fails: the file is read-only.
  {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    expectUntouched("read-only");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  // An unknown byte order writes nothing.
  {
    const uint8_t order = e->info.orientationByteOrder;
    e->info.orientationByteOrder = 0;
    expectUntouched("byte order");
    e->info.orientationByteOrder = order;
  }
}

// The folder watcher (on the list thread) follows a rename by another program between a
// rotation and the rotation's history line: each undo record keeps its own text.
TEST_F(HotKeyActionsTest, RenameNoticedBetweenARotationAndItsLineKeepsBothUndoTexts) {
  g_settings.watchFolder = 1;
  const int32_t r = EntryNamed(L"r.jpg"), a = EntryNamed(L"a.jpg");
  ImageEntry* rotated = EntryAt(r);
  ImageEntry* renamed = EntryAt(a);
  rotated->userRotation = 1;
  ASSERT_EQ(ExecuteEntryAction(r, 12, L"", -1, 0), kActionDone);
  ASSERT_TRUE(MoveFileW(File(L"a.jpg").c_str(), File(L"a2.jpg").c_str()));
  ASSERT_TRUE(WaitFor([&] { return renamed->currentUndo >= 0; }, 10000));
  EXPECT_STREQ(EntryName(renamed), L"a2.jpg");
  AddActionHistoryEntry(r, 12, -1, kActionDone);

  ASSERT_EQ(Act(r, 0, L""), kActionDone);
  EXPECT_EQ(Bytes(File(L"r.jpg")), original_[2]);
  EXPECT_EQ(rotated->info.orientation, 6);
  ASSERT_EQ(Act(a, 0, L""), kActionDone);
  EXPECT_EQ(Bytes(File(L"a.jpg")), original_[0]);
  EXPECT_STREQ(EntryName(renamed), L"a.jpg");

  // A rotation record that holds a path (a damaged cache file) writes nothing into the file.
  AppendEntryUndoRecord(r, 12, File(L"a.jpg").c_str());
  EXPECT_EQ(Act(r, 0, L""), kActionFailed);
  EXPECT_EQ(Bytes(File(L"r.jpg")), original_[2]);
}

TEST_F(HotKeyActionsTest, SavedPreviewNeverReplacesAFileAndItsUndoRemovesOnlyItsOwn) {
  // The whole JPEG stands for its own embedded preview, so the saved file is known byte for byte.
  const int32_t withPreview = EntryNamed(L"a.jpg");
  EntryAt(withPreview)->info.previewOffset = 0;
  EntryAt(withPreview)->info.previewSize = static_cast<int32_t>(original_[0].size());
  ImageEntry* e = EntryAt(withPreview);
  std::wstring stem = EntryName(e);
  stem = stem.substr(0, stem.find_last_of(L'.'));
  SetRow(0, 4, 9, dest_->path());
  const std::wstring product = dest_->File(stem + L".jpg");
  ASSERT_EQ(Act(withPreview, 9, dest_->path()), kActionDone);
  const std::vector<uint8_t> made = Bytes(product);
  EXPECT_EQ(made, original_[0]);
  EXPECT_EQ(HistoryTop(), L"ｻﾑﾈｲﾙ保存:a.jpg->OK!#9");
  // A second save finds the name taken: Skip, the file as it was.
  EXPECT_EQ(Act(withPreview, 9, dest_->path()), kActionSkipped);
  EXPECT_EQ(Bytes(product), made);
  ASSERT_EQ(Act(withPreview, 0, L""), kActionDone);
  EXPECT_FALSE(FileExists(product));
  // A file of the same name that the action did not make is never taken by the undo.
  ASSERT_TRUE(WriteWholeFile(product, "camera", 6));
  EXPECT_EQ(Act(withPreview, 9, dest_->path()), kActionSkipped);
  EXPECT_EQ(Bytes(product).size(), 6u);
}

// A rename action on the global rename settings numbers from their sequence start each time,
// not from where the last run or the start-up left the counter.
TEST_F(HotKeyActionsTest, RenameOnTheGlobalSettingsNumbersFromTheirStart) {
  const int32_t a = EntryNamed(L"a.jpg");
  HWND list = GetListControl();
  ASSERT_NE(list, nullptr);
  int32_t row = -1;
  for (int32_t r = 0; r < g_listCount; ++r)
    if (g_displayOrder[r] == a) row = r;
  ASSERT_GE(row, 0);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  g_cursorRow = row;
  g_viewMode |= 1;
  SetForegroundWindow(g_hwndMain);
  SetFocus(list);
  Pump();
  ASSERT_EQ(GetFocus(), list);
  g_settings.renamePrefixType = 1;
  g_settings.renameNameType = 0;
  g_settings.renamePrefixJoiner = 2;
  std::memset(g_settings.renamePrefix, 0, sizeof g_settings.renamePrefix);
  for (int i = 0; i < 3; ++i) g_settings.renamePrefix[i] = u"IMG"[i];
  g_settings.renameSequenceStart = 7;
  RenameCounter = 1;
  SetRow(0, 4, 10, L"");
  ASSERT_EQ(RunAction(0), 1);
  EXPECT_EQ(std::wstring(EntryName(EntryAt(a))), L"IMG_007.jpg");
  EXPECT_TRUE(FileExists(File(L"IMG_007.jpg")));
  // Again: the same number, so the file keeps its name.
  ASSERT_EQ(RunAction(0), 1);
  EXPECT_EQ(std::wstring(EntryName(EntryAt(a))), L"IMG_007.jpg");
  EXPECT_EQ(HistoryTop(), L"ﾘﾈｰﾑ:IMG_007.jpg->Skip!#24");
}

TEST_F(HotKeyActionsTest, BuiltInCommandsReplayTheirKeyOrRaiseTheirRequest) {
  SetRow(0, 4, 1, L"");
  ActionEntry& row = *reinterpret_cast<ActionEntry*>(g_settings.actionTable[0].bytes);
  row.commandIndex = 15;  // "最新の情報に更新(F5)"
  g_keyHold.injectedKey = -1;
  EXPECT_EQ(RunAction(0), 2);
  EXPECT_EQ(g_keyHold.injectedKey, VK_F5);
  g_keyHold.injectedKey = -1;
  row.commandIndex = 9;  // the folder tree on and off
  g_navigationToggleRequest = 0;
  EXPECT_EQ(RunAction(0), 2);
  EXPECT_EQ(g_navigationToggleRequest, 1);
  g_navigationToggleRequest = 0;
  EXPECT_EQ(g_keyHold.injectedKey, -1);
  // A command index the table does not have is never run.
  row.commandIndex = 94;
  EXPECT_EQ(RunAction(0), 0);
  EXPECT_EQ(g_keyHold.injectedKey, -1);
}

TEST_F(HotKeyActionsTest, HandToAnApplicationReportsAFailedStart) {
  const int32_t a = EntryNamed(L"a.jpg");
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring app = std::wstring(system) + L"\\attrib.exe";
  SetRow(0, 4, 2, app);
  EXPECT_EQ(Act(a, 2, app), kActionDone);
  EXPECT_EQ(HistoryTop(), L"ｱﾌﾟﾘｹｰｼｮﾝ転送:a.jpg->OK!#2");
  EXPECT_EQ(EntryAt(a)->undoCount, 0);  // nothing to take back
  BoxAnswerer ok(IDOK);
  EXPECT_EQ(Act(a, 2, dest_->File(L"missing.exe")), kActionFailed);
  ASSERT_EQ(ok.seen.size(), 1u);
  EXPECT_EQ(ok.seen[0].text, L"アプリケーション転送に失敗しました。");
  EXPECT_EQ(HistoryTop(), L"ｱﾌﾟﾘｹｰｼｮﾝ転送:a.jpg->NG!#16");
  EXPECT_EQ(Bytes(File(L"a.jpg")), original_[0]);
}

// After the question's "yes" and after the folder asked at run time the list gets the focus back
// before the action runs; a replace-rename row with texts of its own runs without the global text.
TEST_F(HotKeyActionsTest, ScanGivesTheFocusBackAfterItsDialogsAndReadsTheRowsOwnReplaceText) {
  const int32_t a = EntryNamed(L"a.jpg");
  HWND list = GetListControl();
  ASSERT_NE(list, nullptr);
  int32_t row = -1;
  for (int32_t r = 0; r < g_listCount; ++r)
    if (g_displayOrder[r] == a) row = r;
  ASSERT_GE(row, 0);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  g_cursorRow = row;
  g_viewMode |= 1;
  SetForegroundWindow(g_hwndMain);
  // focus: where the keyboard focus is when the scan runs (a dialog of an earlier step has it).
  auto scan = [&](HWND focus) {
    std::memset(g_keyHold.counters, 0, sizeof g_keyHold.counters);
    g_keyHold.counters['A'] = 1;
    LastBrowseFocusWindow = list;  // as the idle loop noted it before the dialog took the focus
    FocusRestoreWindow = nullptr;
    SetFocus(focus);
    RunHotKeyScan(true);
    Pump();
    return GetFocus();
  };
  // The folder asked at run time, taken with OK.
  const std::wstring d1 = dest_->File(L"one");
  SetRow(0, 4, 3, d1);
  ActionRowAt(0)->askAtRunTime = 1;
  RebuildActionKeyTable();
  g_settings.confirmFirstAction = 0;
  {
    BoxAnswerer ok(IDOK);  // takes the folder as it stands
    EXPECT_EQ(scan(g_hwndMain), list);
  }
  EXPECT_EQ(Bytes(d1 + L"\\a.jpg"), original_[0]);
  // The question answered "yes".
  const std::wstring d2 = dest_->File(L"two");
  SetRow(0, 4, 3, d2);
  RebuildActionKeyTable();
  g_settings.confirmFirstAction = 1;
  g_keyActionState[4] = 1;
  {
    BoxAnswerer yes(IDNO);  // the relabelled "はい(&Y)"
    EXPECT_EQ(scan(g_hwndMain), list);
    EXPECT_EQ(yes.seen.size(), 1u);
  }
  EXPECT_EQ(Bytes(d2 + L"\\a.jpg"), original_[0]);
  // Replace-rename with the row's own texts while the global old text is empty.
  SetRow(0, 4, 11, L"");
  ActionEntry& rename = *ActionRowAt(0);
  rename.ownRename = 1;
  wcscpy(reinterpret_cast<wchar_t*>(rename.replaceOld), L"a");
  wcscpy(reinterpret_cast<wchar_t*>(rename.replaceNew), L"q");
  g_settings.replaceRenameOld[0] = 0;
  RebuildActionKeyTable();
  g_keyActionState[4] = 0;
  PendingSettingsPage = -2;
  {
    BoxAnswerer none(IDOK);
    scan(list);  // no dialog: the scan runs with the list's focus, as the idle loop runs it
    EXPECT_TRUE(none.seen.empty()) << none.seen[0].text;
  }
  EXPECT_EQ(PendingSettingsPage, -2);
  EXPECT_TRUE(FileExists(File(L"q.jpg")));
}

TEST_F(HotKeyActionsTest, ScanAsksWithTheExactQuestionAndRunsBothRowsOfAKey) {
  const int32_t a = EntryNamed(L"a.jpg");
  HWND list = GetListControl();
  ASSERT_NE(list, nullptr);
  int32_t row = -1;
  for (int32_t r = 0; r < g_listCount; ++r)
    if (g_displayOrder[r] == a) row = r;
  ASSERT_GE(row, 0);
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  g_cursorRow = row;
  g_viewMode |= 1;
  SetForegroundWindow(g_hwndMain);
  SetFocus(list);
  Pump();
  ASSERT_EQ(GetFocus(), list);
  const std::wstring d1 = dest_->File(L"one"), d2 = dest_->File(L"two");
  SetRow(0, 4, 3, d1, L"選別");
  SetRow(1, 4, 3, d2);
  SetRow(2, 0, 3, dest_->File(L"never"));
  RebuildActionKeyTable();
  g_settings.confirmFirstAction = 1;
  g_settings.confirmAgainAfterCancel = 1;
  auto pressA = [] {
    std::memset(g_keyHold.counters, 0, sizeof g_keyHold.counters);
    g_keyHold.counters['A'] = 1;
  };
  {
    BoxAnswerer cancel(IDCANCEL);
    pressA();
    RunHotKeyScan(true);
    ASSERT_EQ(cancel.seen.size(), 1u);
    EXPECT_EQ(cancel.seen[0].text,
              L"Aキー　[ コピー ]　アクションが押されました。\nコメント ： 選別\nコピー先フォルダは　[ " + d1 +
                  L" ]　です。\n\nアクションを実行してもよろしいですか？  \n\n"
                  L"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）");
    EXPECT_EQ(cancel.seen[0].buttons[1], L"はい(&Y)");
  }
  EXPECT_FALSE(FileExists(d1 + L"\\a.jpg"));
  EXPECT_EQ(g_keyActionState[4], 1);  // still asked next time
  {
    BoxAnswerer yes(IDNO);  // the relabelled "はい(&Y)"
    pressA();
    FocusRestoreWindow = list;  // the browsing control the idle loop would have remembered
    RunHotKeyScan(true);
    EXPECT_EQ(yes.seen.size(), 1u);  // the key's state is cleared by the first yes
  }
  EXPECT_EQ(g_keyActionState[4], 0);
  EXPECT_EQ(Bytes(d1 + L"\\a.jpg"), original_[0]);
  EXPECT_EQ(Bytes(d2 + L"\\a.jpg"), original_[0]);
  EXPECT_FALSE(FileExists(dest_->File(L"never")));
  EXPECT_EQ(HistoryTop(), L"ｺﾋﾟｰ:a.jpg->OK!#3");
  // A built-in command first on the key ends the walk: the copy after it does not run.
  ActionEntry& first = *reinterpret_cast<ActionEntry*>(g_settings.actionTable[0].bytes);
  first.kind = 1;
  first.commandIndex = 25;  // cache clear, sent to the list pane
  const int32_t lines = GetActionHistoryCount();
  BoxAnswerer any(IDNO);
  pressA();
  RunHotKeyScan(true);
  EXPECT_EQ(GetActionHistoryCount(), lines);
}

// Esc held during the walk over the selected rows asks whether to stop; after the answer the
// program pauses busy and hands the focus back to the browsing control, and "yes" ends the walk
// before the row is done.
TEST_F(HotKeyActionsTest, EscDuringTheWalkAsksThenPausesAndYesStopsIt) {
  HWND list = GetListControl();
  ASSERT_NE(list, nullptr);
  LVITEMW item{};
  item.state = item.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  g_cursorRow = 0;
  g_viewMode |= 1;
  SetForegroundWindow(g_hwndMain);
  SetFocus(list);
  Pump();
  ASSERT_EQ(GetFocus(), list);
  const std::wstring d1 = dest_->File(L"one");
  SetRow(0, 4, 3, d1);
  LastBrowseFocusWindow = list;
  FocusRestoreWindow = nullptr;
  // Esc held as the walk sees it; its key message is taken away, so that no window acts on it.
  keybd_event(VK_ESCAPE, 0, 0, 0);
  MSG key;
  ASSERT_TRUE(WaitFor([&] {
    while (PeekMessageW(&key, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
  }, 2000));
  std::vector<BoxAnswerer::Seen> seen;
  {
    BoxAnswerer yes(IDYES);
    RunAction(0);
    seen = yes.seen;
  }
  keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
  Pump();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, L"アクションを中断しますか？");
  EXPECT_EQ(FocusRestoreWindow, list);  // set by the busy pause
  EXPECT_FALSE(FileExists(d1 + L"\\a.jpg"));
  EXPECT_FALSE(FileExists(d1 + L"\\b.jpg"));
}

}  // namespace
