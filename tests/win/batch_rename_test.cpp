// Renames, media split and merge on real folders: names taken, names given back, nothing left
// under a temporary name.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "actions/batch_rename.h"
#include "actions/media_split.h"
#include "actions/rename_support.h"
#include "core/app_globals.h"
#include "actions/action_history.h"
#include "core/folder_cache.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "support/entry_lists.h"
#include "support/win_test_support.h"

using testsupport::BoxAnswerer;
using testsupport::ForgetLoadedList;
using testsupport::PrepareEntryLists;
using testsupport::ScratchDir;
using testsupport::UseDataFolder;

namespace {

void MakeFile(const std::wstring& path, size_t size) {
  std::string bytes(size, 'x');
  ASSERT_TRUE(testsupport::WriteWholeFile(path, bytes.data(), bytes.size()));
}

// Names in the folder as the file system spells them.
std::set<std::wstring> NamesIn(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) names.insert(found.cFileName);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

bool HasTemporaryName(const std::set<std::wstring>& names) {
  for (const std::wstring& n : names)
    if (n.size() > 5 && iswdigit(n[0]) && iswdigit(n[1]) && iswdigit(n[2]) && iswdigit(n[3]) && n[4] == L'_') return true;
  return false;
}

void SetText(char16_t* field, size_t units, const char16_t* text) {
  std::memset(field, 0, units * sizeof(char16_t));
  for (size_t i = 0; text[i] && i + 1 < units; ++i) field[i] = text[i];
}

class BatchRename : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(PrepareEntryLists());
  }
  void SetUp() override {
    SetDefaultSettings();
    UseDataFolder(dataDir_.path());
    g_settings.enabledImageTypes |= 0x2;
    ReleaseFolderCache();
    g_requestedListSource = 0;
    g_requestedCollection = -1;
  }
  void TearDown() override { ForgetLoadedList(); }
  void Load(const std::wstring& folder) {
    wcscpy(g_currentFolder, folder.c_str());
    g_skipFolderCache = 1;
    LoadListContents(1, 0, 0);
    // The list thread would fill the records under the test's feet.
    StopThumbnailListThread();
    // The rows the file-list pane would show, in entry order.
    g_listCount = g_entryCount;
    for (int i = 0; i < g_entryCount; ++i) g_displayOrder[i] = static_cast<uint16_t>(i);
  }
  static int FindEntry(const wchar_t* name) {
    for (int i = 0; i < g_entryCount; ++i)
      if (_wcsicmp(EntryName(EntryAt(i)), name) == 0) return i;
    return -1;
  }
  static void UsePattern(int prefixType, int nameType, int dateJoiner, int prefixJoiner, const char16_t* prefix) {
    g_settings.renamePrefixType = prefixType;
    g_settings.renameNameType = nameType;
    g_settings.renameDateJoiner = dateJoiner;
    g_settings.renamePrefixJoiner = prefixJoiner;
    SetText(g_settings.renamePrefix, 32, prefix);
    SelectGlobalRenameSettings();
  }
  ScratchDir dataDir_;
};

TEST_F(BatchRename, NumbersOneByOneAndTheUndoDataOfThirtyFiles) {
  ScratchDir dir;
  for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"}) MakeFile(dir.File(name), 10);
  MakeFile(dir.File(L"IMG_002.JPG"), 10);
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 4);
  UsePattern(1, 0, 0, 2, u"IMG");
  EXPECT_EQ(RenameCounter, 1);
  // One entry at a time, as an action runs them: the counter carries on between the calls.
  const int order[] = {FindEntry(L"a.jpg"), FindEntry(L"b.jpg"), FindEntry(L"c.jpg")};
  const wchar_t* want[] = {L"IMG_001.jpg", L"IMG_003.jpg", L"IMG_004.jpg"};
  for (int i = 0; i < 3; ++i) {
    const std::wstring old = EntryPath(EntryAt(order[i]));
    EXPECT_EQ(BatchRenameFiles(order[i], -1, 0), 1);
    EXPECT_EQ(std::wstring(EntryName(EntryAt(order[i]))), want[i]);
    EXPECT_EQ(std::wstring(g_pendingUndoPath), old);
  }
  EXPECT_EQ(NamesIn(dir.path()), (std::set<std::wstring>{L"IMG_001.jpg", L"IMG_002.JPG", L"IMG_003.jpg", L"IMG_004.jpg"}));
  // The name it has already: skipped, with no undo text.
  RenameCounter = 1;
  EXPECT_EQ(BatchRenameFiles(order[0], -1, 0), 2);
  EXPECT_EQ(g_pendingUndoPath[0], 0);
  // The same-named JPG of a RAW file keeps the counter where it was.
  RenameCounter = 10;
  EXPECT_EQ(BatchRenameFiles(order[1], -1, 1), 1);
  EXPECT_EQ(RenameCounter, 10);
  // A prefix with a separator would lead into another folder: the file keeps its name.
  CreateDirectoryW(dir.File(L"IMG").c_str(), nullptr);
  UsePattern(1, 0, 0, 0, u"IMG\\x");
  const std::wstring before = EntryPath(EntryAt(order[2]));
  EXPECT_EQ(BatchRenameFiles(order[2], -1, 0), 2);
  EXPECT_EQ(std::wstring(EntryPath(EntryAt(order[2]))), before);
  EXPECT_TRUE(NamesIn(dir.File(L"IMG")).empty());
  EXPECT_FALSE(HasTemporaryName(NamesIn(dir.path())));
  FreeImageEntries();

  // Thirty files, each renamed on its own; the undo texts take every name back.
  ScratchDir many;
  std::vector<std::wstring> originals;
  for (int i = 0; i < 30; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"DSC%04d.jpg", 30 - i);
    originals.push_back(name);
    MakeFile(many.File(name), 100 + i);
  }
  Load(many.path());
  ASSERT_EQ(g_entryCount, 30);
  UsePattern(0, 1, 0, 0, u"");
  std::vector<std::wstring> undo(30);
  for (int row = 0; row < g_listCount; ++row) {
    const int entry = g_displayOrder[row];
    ASSERT_EQ(BatchRenameFiles(entry, -1, 0), 1) << row << " " << entry << " " << testing::PrintToString(std::wstring(EntryPath(EntryAt(entry)))) << testing::PrintToString(NamesIn(many.path()));
    undo[entry] = g_pendingUndoPath;
  }
  std::set<std::wstring> numbered;
  for (int n = 1; n <= 30; ++n) {
    wchar_t name[16];
    swprintf(name, 16, L"%04d.jpg", n);
    numbered.insert(name);
  }
  EXPECT_EQ(NamesIn(many.path()), numbered);
  for (int entry = 0; entry < 30; ++entry) {
    ASSERT_TRUE(MoveFileW(EntryPath(EntryAt(entry)), undo[entry].c_str())) << entry;
  }
  EXPECT_EQ(NamesIn(many.path()), std::set<std::wstring>(originals.begin(), originals.end()));
}

TEST_F(BatchRename, WholeListAndFailuresLeaveNoTemporaryName) {
  ScratchDir dir;
  for (int i = 0; i < 30; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"P%02d.jpg", i);
    MakeFile(dir.File(name), 10);
  }
  // Its old name is the date name of P05, and it has no date of its own; it comes last.
  MakeFile(dir.File(L"2023-04-05-06-07-15.jpg"), 10);
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 31);
  const int late = FindEntry(L"2023-04-05-06-07-15.jpg");
  for (int row = 0, at = 0; row < g_listCount; ++row)
    if (row != late) g_displayOrder[at++] = static_cast<uint16_t>(row);
  g_displayOrder[g_listCount - 1] = static_cast<uint16_t>(late);
  for (int i = 0; i < g_entryCount; ++i) {
    ImageEntry* e = EntryAt(i);
    e->info.fileTimeText[0] = 0;
    e->info.fileTimeLow = e->info.fileTimeHigh = 0;  // no last-write time to fall back on
    e->info.dateTime[0] = 0;
  }
  // The first half has dates (files 0..2 in the same second), the second half none.
  for (int i = 0; i < 15; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"P%02d.jpg", i);
    char16_t date[20];
    const int second = i < 3 ? 8 : 10 + i;
    for (int k = 0; k < 19; ++k) date[k] = u"2023/04/05 06:07:00"[k];
    date[17] = char16_t(u'0' + second / 10);
    date[18] = char16_t(u'0' + second % 10);
    date[19] = 0;
    SetText(EntryAt(FindEntry(name))->info.dateTime, 20, date);
  }
  // One file is held open without delete sharing: it cannot move at all.
  HANDLE held = CreateFileW(dir.File(L"P07.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  UsePattern(0, 3, 0, 0, u"");
  EXPECT_EQ(BatchRenameFiles(-1, -1, 0), 1);
  CloseHandle(held);
  EXPECT_EQ(RenameInProgress, 0);

  const std::set<std::wstring> names = NamesIn(dir.path());
  EXPECT_FALSE(HasTemporaryName(names)) << testing::PrintToString(names);
  EXPECT_EQ(names.size(), 31u);
  // Same second: the plain name moved aside to -1, then -2 and -3.
  for (const wchar_t* n : {L"2023-04-05-06-07-08-1.jpg", L"2023-04-05-06-07-08-2.jpg", L"2023-04-05-06-07-08-3.jpg",
                           L"2023-04-05-06-07-14.jpg", L"2023-04-05-06-07-15.jpg", L"P07.jpg", L"P20.jpg",
                           L"2023-04-05-06-07-15_1.jpg"})
    EXPECT_TRUE(names.count(n)) << n;
  EXPECT_FALSE(names.count(L"2023-04-05-06-07-08.jpg"));
  EXPECT_FALSE(names.count(L"2023-04-05-06-07-17.jpg"));
  // Every entry's path is where its file is.
  for (int i = 0; i < g_entryCount; ++i)
    EXPECT_NE(GetFileAttributesW(EntryPath(EntryAt(i))), INVALID_FILE_ATTRIBUTES) << i;
  EXPECT_EQ(std::wstring(EntryName(EntryAt(FindEntry(L"2023-04-05-06-07-08-1.jpg")))), L"2023-04-05-06-07-08-1.jpg");

  // With the "_" joiner and a prefix of the old name.
  UsePattern(3, 9, 1, 2, u"");
  const int p03 = FindEntry(L"2023-04-05-06-07-13.jpg");
  ASSERT_GE(p03, 0);
  EXPECT_EQ(BatchRenameFiles(p03, -1, 0), 1);
  EXPECT_EQ(std::wstring(EntryName(EntryAt(p03))), L"2023-04-05-06-07-13_20230405060713.jpg");
}

// The folder watcher reads the notifications of a rename over the list only after it has
// ended: names the run reused (IMG_002 to IMG_001, then x to IMG_002) must not send a row to
// another file, and no row is added for a name the list has.
TEST_F(BatchRename, NotificationsReadAfterTheRunLeaveTheRowsWhereTheRunPutThem) {
  ScratchDir dir;
  MakeFile(dir.File(L"IMG_002.jpg"), 10);
  MakeFile(dir.File(L"x.jpg"), 20);
  g_settings.watchFolder = 1;
  Load(dir.path());
  // The watch as the list thread keeps it, but owned by this thread (a thread's requests end
  // with it) and read only when the test asks.
  OpenWatchedFolder(dir.path().c_str());
  ArmFolderWatch();
  ASSERT_EQ(g_entryCount, 2);
  const int first = FindEntry(L"IMG_002.jpg"), second = FindEntry(L"x.jpg");
  g_displayOrder[0] = static_cast<uint16_t>(first);
  g_displayOrder[1] = static_cast<uint16_t>(second);
  UsePattern(1, 0, 0, 2, u"IMG");
  ASSERT_EQ(BatchRenameFiles(-1, -1, 0), 1);
  ASSERT_EQ(RenameInProgress, 0);
  ASSERT_EQ(std::wstring(EntryPath(EntryAt(first))), dir.File(L"IMG_001.jpg"));
  ASSERT_EQ(std::wstring(EntryPath(EntryAt(second))), dir.File(L"IMG_002.jpg"));
  const int lines = GetActionHistoryCount();

  // Now the watcher reads what the run did, batch by batch, until nothing more comes.
  int batches = 0;
  for (DWORD quiet = GetTickCount(); GetTickCount() - quiet < 1500; Sleep(10))
    if (ProcessFolderChanges()) {
      ++batches;
      quiet = GetTickCount();
    }
  EXPECT_GT(batches, 0);
  EXPECT_EQ(g_folderReloadRequest, 0);
  EXPECT_EQ(std::wstring(EntryPath(EntryAt(first))), dir.File(L"IMG_001.jpg"));
  EXPECT_EQ(std::wstring(EntryPath(EntryAt(second))), dir.File(L"IMG_002.jpg"));
  EXPECT_EQ(g_entryCount, 2);
  EXPECT_EQ(GetActionHistoryCount(), lines);

  // A rename by another program afterwards is still followed.
  ASSERT_TRUE(MoveFileW(dir.File(L"IMG_002.jpg").c_str(), dir.File(L"y.jpg").c_str()));
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && _wcsicmp(EntryName(EntryAt(second)), L"y.jpg");
       Sleep(10))
    ProcessFolderChanges();
  EXPECT_EQ(std::wstring(EntryPath(EntryAt(second))), dir.File(L"y.jpg"));
  EXPECT_EQ(GetActionHistoryCount(), lines + 1);
}

TEST_F(BatchRename, ReplaceRename) {
  ScratchDir dir;
  MakeFile(dir.File(L"xabcx.jpg"), 10);
  MakeFile(dir.File(L"plain.jpg"), 10);
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 2);
  SetText(g_settings.replaceRenameOld, 128, u"abc");
  SetText(g_settings.replaceRenameNew, 128, u"ABC");
  EXPECT_FALSE(ReplaceTextIsEmpty(-1));
  wchar_t text[512];
  FormatReplaceRenameText(text, -1);
  EXPECT_STREQ(text, L"旧文字列 [ abc ] を 新文字列 [ ABC ] に置換リネーム");
  // Case only: the shell calls the target taken, the rename goes ahead all the same.
  EXPECT_EQ(ReplaceRenameFiles(-1, -1), 1);
  EXPECT_EQ(NamesIn(dir.path()), (std::set<std::wstring>{L"xABCx.jpg", L"plain.jpg"}));
  EXPECT_EQ(g_pendingUndoPath[0], 0);
  // Replacing again gives the very same name: nothing to do.
  const int x = FindEntry(L"xABCx.jpg");
  EXPECT_EQ(ReplaceRenameFiles(x, -1), 2);
  EXPECT_EQ(g_pendingUndoPath[0], 0);
  SetText(g_settings.replaceRenameNew, 128, u"abc");
  SetText(g_settings.replaceRenameOld, 128, u"abc");
  EXPECT_EQ(ReplaceRenameFiles(-1, -1), 2);
  // A colon in the new text: the box, and the run stops with 0.
  SetText(g_settings.replaceRenameNew, 128, u"a:b");
  {
    BoxAnswerer ok(IDOK);
    EXPECT_EQ(ReplaceRenameFiles(-1, -1), 0);
    ASSERT_EQ(ok.seen.size(), 1u);
    EXPECT_EQ(ok.seen[0].text, L"置換ファイル名が不正です。\nファイル名に使用できない文字列が含まれていないか確認してください。");
  }
  EXPECT_EQ(RenameInProgress, 0);
  // A separator would move the file into another folder: refused the same way.
  CreateDirectoryW(dir.File(L"xsub").c_str(), nullptr);
  SetText(g_settings.replaceRenameNew, 128, u"sub\\");
  {
    BoxAnswerer ok(IDOK);
    EXPECT_EQ(ReplaceRenameFiles(-1, -1), 0);
    EXPECT_EQ(ok.seen.size(), 1u);
  }
  // An ordinary one-entry replace hands its old path to the history.
  SetText(g_settings.replaceRenameNew, 128, u"_trip_");
  EXPECT_EQ(ReplaceRenameFiles(x, -1), 1);
  EXPECT_EQ(std::wstring(EntryName(EntryAt(x))), L"x_trip_x.jpg");
  EXPECT_EQ(std::wstring(g_pendingUndoPath), dir.File(L"xABCx.jpg"));
  g_settings.replaceRenameOld[0] = 0;
  EXPECT_TRUE(ReplaceTextIsEmpty(-1));
}

// A file held open at its temporary name can take neither its new name nor its old one: it is
// reported under the name it keeps, by a history line in a run over the list and by the result
// of a one-file run.
HANDLE g_heldAtTemporary = INVALID_HANDLE_VALUE;
void HoldAtTemporary(const wchar_t* path) {
  const size_t n = wcslen(path);
  if (n > 6 && _wcsicmp(path + n - 6, L"_b.jpg") == 0)
    g_heldAtTemporary = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
void ReleaseHeldFile() {
  g_renameTemporaryReached = nullptr;
  if (g_heldAtTemporary != INVALID_HANDLE_VALUE) CloseHandle(g_heldAtTemporary);
  g_heldAtTemporary = INVALID_HANDLE_VALUE;
}

TEST_F(BatchRename, AFileLeftUnderItsTemporaryNameIsReportedThere) {
  ScratchDir dir;
  MakeFile(dir.File(L"a.jpg"), 10);
  MakeFile(dir.File(L"b.jpg"), 10);
  Load(dir.path());
  const int b = FindEntry(L"b.jpg");
  ASSERT_GE(b, 0);
  UsePattern(1, 0, 0, 2, u"IMG");
  int32_t lines = GetActionHistoryCount();
  g_renameTemporaryReached = HoldAtTemporary;
  EXPECT_EQ(BatchRenameFiles(-1, -1, 0), 1);
  const bool held = g_heldAtTemporary != INVALID_HANDLE_VALUE;
  ReleaseHeldFile();
  ASSERT_TRUE(held);
  std::wstring left = EntryName(EntryAt(b));
  EXPECT_TRUE(HasTemporaryName({left})) << left;
  EXPECT_TRUE(NamesIn(dir.path()).count(left)) << left;
  EXPECT_EQ(GetActionHistoryCount() - lines, 2);  // the renamed a.jpg and the file left
  EXPECT_EQ(EntryAt(b)->undoCount, 0);
  // One file: the run reports the failure, the entry follows the file.
  g_renameTemporaryReached = HoldAtTemporary;
  EXPECT_EQ(BatchRenameFiles(b, -1, 0), 0);
  ReleaseHeldFile();
  left = EntryName(EntryAt(b));
  EXPECT_TRUE(NamesIn(dir.path()).count(left)) << left;

  // A change of letter case goes through a temporary name too.
  MakeFile(dir.File(L"xabcx_b.jpg"), 10);
  FreeImageEntries();
  Load(dir.path());
  const int x = FindEntry(L"xabcx_b.jpg");
  ASSERT_GE(x, 0);
  SetText(g_settings.replaceRenameOld, 128, u"abc");
  SetText(g_settings.replaceRenameNew, 128, u"ABC");
  g_renameTemporaryReached = HoldAtTemporary;
  EXPECT_EQ(ReplaceRenameFiles(x, -1), 0);
  ReleaseHeldFile();
  left = EntryName(EntryAt(x));
  EXPECT_TRUE(HasTemporaryName({left})) << left;
  EXPECT_TRUE(NamesIn(dir.path()).count(left)) << left;
  lines = GetActionHistoryCount();
  SetText(g_settings.replaceRenameOld, 128, u"xabcx");
  SetText(g_settings.replaceRenameNew, 128, u"XABCX");
  g_renameTemporaryReached = HoldAtTemporary;
  ReplaceRenameFiles(-1, -1);
  ReleaseHeldFile();
  EXPECT_EQ(GetActionHistoryCount() - lines, 1);
  EXPECT_TRUE(NamesIn(dir.path()).count(EntryName(EntryAt(x))));
}

TEST_F(BatchRename, MediaSplitNumbersAndMoves) {
  ScratchDir dir;
  MakeFile(dir.File(L"a.jpg"), 600000);
  MakeFile(dir.File(L"b.jpg"), 500000);
  MakeFile(dir.File(L"c.jpg"), 400000);
  MakeFile(dir.File(L"d.jpg"), 10);
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 4);
  EntryAt(FindEntry(L"d.jpg"))->presence = 0;  // gone: no number, not moved
  g_settings.mediaSplitSize = 1000000;
  int32_t media = 0;
  int64_t bytes = 0;
  {
    BoxAnswerer none(IDOK);
    EXPECT_EQ(ComputeMediaSplit(&media, &bytes), 2);
    EXPECT_TRUE(none.seen.empty());
  }
  EXPECT_EQ(media, 2);
  EXPECT_EQ(bytes, 900000);
  const wchar_t* texts[] = {L"No.1", L"No.2", L"No.2", L""};
  const int numbers[] = {1, 2, 2, 0};
  for (int row = 0; row < 4; ++row) {
    ImageEntry* e = EntryAtRow(row);
    EXPECT_EQ(e->mediaNumber, numbers[row]);
    EXPECT_EQ(std::u16string(e->info.mediaNumber), std::u16string(reinterpret_cast<const char16_t*>(texts[row])));
  }
  MediaCount = media;
  {
    BoxAnswerer yes(IDYES);  // both folders are missing: asked for each
    MoveEntriesToMediaFolders();
    EXPECT_EQ(yes.seen.size(), 2u);
  }
  EXPECT_EQ(NamesIn(dir.File(L"media01")), (std::set<std::wstring>{L"a.jpg"}));
  EXPECT_EQ(NamesIn(dir.File(L"media02")), (std::set<std::wstring>{L"b.jpg", L"c.jpg"}));
  EXPECT_TRUE(testsupport::FileExists(dir.File(L"d.jpg")));
  EXPECT_EQ(EntryAt(FindEntry(L"a.jpg"))->presence, 0);
  FreeImageEntries();

  // An oversize file first: -1, the next counted with medium 1, one warning.
  ScratchDir big;
  MakeFile(big.File(L"a.jpg"), 1500000);
  MakeFile(big.File(L"b.jpg"), 100);
  Load(big.path());
  {
    BoxAnswerer ok(IDOK);
    ComputeMediaSplit(&media, &bytes);
    EXPECT_EQ(ok.seen.size(), 1u);
  }
  EXPECT_EQ(EntryAtRow(0)->mediaNumber, -1);
  EXPECT_EQ(std::u16string(EntryAtRow(0)->info.mediaNumber), u"No.1");
  EXPECT_EQ(EntryAtRow(1)->mediaNumber, 1);
  EXPECT_EQ(media, 1);
  // A folder the user declines stops before any file moves.
  MediaCount = 1;
  g_settings.mediaFolderParentPrefix = 1;
  {
    BoxAnswerer no(IDNO);
    MoveEntriesToMediaFolders();
    EXPECT_EQ(no.seen.size(), 1u);
  }
  EXPECT_EQ(NamesIn(big.path()), (std::set<std::wstring>{L"a.jpg", L"b.jpg"}));
  MediaCount = 1;
}

TEST_F(BatchRename, SubfolderWalkAndMerge) {
  ScratchDir dir;
  CreateDirectoryW(dir.File(L"Sub1").c_str(), nullptr);
  CreateDirectoryW(dir.File(L"Sub1\\deep").c_str(), nullptr);
  CreateDirectoryW(dir.File(L"sub2").c_str(), nullptr);
  MakeFile(dir.File(L"top.jpg"), 5);
  MakeFile(dir.File(L"Sub1\\A.jpg"), 5);
  MakeFile(dir.File(L"Sub1\\notes.txt"), 5);
  MakeFile(dir.File(L"Sub1\\deep\\c.jpg"), 5);
  g_settings.subfolderMergeAllLevels = 0;
  wchar_t text[16640] = L"head\n";
  EXPECT_TRUE(WalkSubfolders(dir.path().c_str(), 1, text, 16640));
  std::wstring listed = text;
  EXPECT_NE(listed.find(dir.path() + L"\\sub1\n"), std::wstring::npos);
  EXPECT_NE(listed.find(dir.path() + L"\\sub2\n"), std::wstring::npos);
  EXPECT_EQ(listed.find(L"deep"), std::wstring::npos);
  EXPECT_EQ(SubfolderListCount, 2);

  EXPECT_TRUE(MergeSubfolderImages(dir.path().c_str(), dir.path().c_str(), 1));
  EXPECT_EQ(NamesIn(dir.path()), (std::set<std::wstring>{L"top.jpg", L"A.jpg", L"Sub1", L"sub2"}));
  EXPECT_EQ(NamesIn(dir.File(L"Sub1")), (std::set<std::wstring>{L"notes.txt", L"deep"}));

  // All levels, with a name that is taken in the folder: that file stays and the merge fails.
  g_settings.subfolderMergeAllLevels = 1;
  MakeFile(dir.File(L"sub2\\top.jpg"), 7);
  EXPECT_FALSE(MergeSubfolderImages(dir.path().c_str(), dir.path().c_str(), 1));
  EXPECT_TRUE(testsupport::FileExists(dir.File(L"sub2\\top.jpg")));
  std::vector<uint8_t> kept;
  ASSERT_TRUE(testsupport::ReadWholeFile(dir.File(L"top.jpg"), &kept));
  EXPECT_EQ(kept.size(), 5u);
  DeleteFileW(dir.File(L"sub2\\top.jpg").c_str());
  EXPECT_TRUE(MergeSubfolderImages(dir.path().c_str(), dir.path().c_str(), 1));
  EXPECT_TRUE(testsupport::FileExists(dir.File(L"c.jpg")));

  // Forty sub-folders: 31 paths, then the mark.
  ScratchDir wide;
  for (int i = 0; i < 40; ++i) CreateDirectoryW(wide.File(L"F" + std::to_wstring(100 + i)).c_str(), nullptr);
  text[0] = 0;
  g_settings.subfolderMergeAllLevels = 0;
  EXPECT_TRUE(WalkSubfolders(wide.path().c_str(), 1, text, 16640));
  listed = text;
  size_t lines = 0;
  for (wchar_t c : listed) lines += c == L'\n';
  EXPECT_EQ(lines, 32u);
  EXPECT_NE(listed.find(L"以下略...\n"), std::wstring::npos);
  ScratchDir empty;
  EXPECT_FALSE(WalkSubfolders(empty.path().c_str(), 1, text, 16640));
}

}  // namespace
