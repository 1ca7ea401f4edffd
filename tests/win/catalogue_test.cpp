#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "actions/action_history.h"
#include "browser/collections.h"
#include "browser/folder_dialogs.h"
#include "browser/list_order.h"
#include "browser/list_rows.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "browser/viewer_panes.h"
#include "core/data_folders.h"
#include "core/folder_cache.h"
#include "core/pure/folder_cache_format.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/list_helpers.h"
#include "core/path_utils.h"
#include "core/settings.h"
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
  ASSERT_TRUE(testsupport::WriteWholeFile(path, bytes.data(), bytes.size())) << path.size();
}

class Catalogue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(PrepareEntryLists());
  }
  void SetUp() override {
    SetDefaultSettings();
    UseDataFolder(dataDir_.path());
    g_settings.enabledImageTypes |= 0x2;  // JPG
    g_settings.hideDeletedFiles = 0;
    ReleaseFolderCache();
    g_requestedListSource = 0;
    g_requestedCollection = -1;
  }
  void TearDown() override { ForgetLoadedList(); }
  ScratchDir dataDir_;
  void Load(const std::wstring& folder) {
    wcscpy(g_currentFolder, folder.c_str());
    LoadListContents(1, 0, 0);
  }
  static int FindEntry(const wchar_t* name) {
    for (int i = 0; i < g_entryCount; ++i) {
      if (_wcsicmp(EntryName(EntryAt(i)), name) == 0) return i;
    }
    return -1;
  }

  // A cache file of the folder holding these records (no pixels) and their undo records; the
  // list being left is not cached over it.
  struct CacheBlock {
    std::vector<std::vector<uint8_t>> images, undo;
    std::vector<uint32_t> undoCounts;
    bool damageFirstUndo = false;
    void Publish(const std::wstring& folder) {
      uint32_t undoTotal = 0;
      for (uint32_t c : undoCounts) undoTotal += c;
      CacheLayout layout;
      ASSERT_TRUE(ComputeCacheLayout(static_cast<uint32_t>(images.size()), undoTotal, &layout));
      layout.pixelSize = 0;
      layout.totalSize = layout.fixedSize;
      std::vector<uint8_t> bytes(layout.fixedSize);
      CacheBlockWriter writer(bytes.data(), layout, static_cast<uint32_t>(images.size()));
      writer.SetHeader(u"5.16", U16(folder.c_str()), 0);
      for (size_t i = 0; i < images.size(); ++i)
        writer.AddRow(images[i].data(), undo[i].empty() ? nullptr : undo[i].data(), undoCounts[i], nullptr);
      if (damageFirstUndo) {
        uint32_t inside = 16, huge = 1000000;
        std::memcpy(bytes.data() + kCacheHeaderSize, &inside, 4);
        std::memcpy(bytes.data() + kCacheHeaderSize + 8 * images.size() + kEntryImageUndoCountOffset, &huge, 4);
      }
      wchar_t cacheFolder[kPathChars], name[1024];
      ASSERT_TRUE(GetCacheFolder(cacheFolder));
      CreateDirectoryW(cacheFolder, nullptr);
      ASSERT_TRUE(BuildCacheFileName(U16(cacheFolder), U16(folder.c_str()), false, reinterpret_cast<char16_t*>(name), 1024));
      ASSERT_TRUE(testsupport::WriteWholeFile(name, bytes.data(), bytes.size()));
      g_skipFolderCache = 1;
    }
  };
  static CacheBlock BuildCache(std::vector<ImageEntry>& records) {
    CacheBlock c;
    for (const ImageEntry& r : records) {
      c.images.emplace_back(kEntryImageSize);
      EncodeEntryImage(r, c.images.back().data());
      uint32_t n = r.undoCount > 0 && r.undoRecords ? static_cast<uint32_t>(r.undoCount) : 0;
      const uint8_t* p = reinterpret_cast<const uint8_t*>(r.undoRecords);
      c.undo.emplace_back(p, p + n * sizeof(UndoRecord));
      c.undoCounts.push_back(n);
    }
    return c;
  }
  static ImageEntry RecordOf(const std::wstring& path, bool sameAsFile) {
    ImageEntry e;
    std::memset(&e, 0, sizeof e);
    wcscpy(EntryPath(&e), path.c_str());
    SetEntryNamePointer(&e);
    e.info.fileTypeFlag = 0x2;
    e.flags = kEntryInfoRead | kEntryMoviePaused | kEntryRotated;
    e.histogramPicture = reinterpret_cast<Gdiplus::Bitmap*>(0x1234);  // a stale pointer in the file
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (sameAsFile && GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
      e.info.fileSize = data.nFileSizeLow;
      e.info.fileTimeLow = data.ftLastWriteTime.dwLowDateTime;
      e.info.fileTimeHigh = data.ftLastWriteTime.dwHighDateTime;
    } else {
      e.info.fileSize = 999999;
    }
    return e;
  }
};

TEST_F(Catalogue, FolderLoadListsTypedFilesInOrder) {
  ScratchDir dir;
  MakeFile(dir.File(L"b.jpg"), 10);
  MakeFile(dir.File(L"a.JPG"), 20);
  MakeFile(dir.File(L"notes.txt"), 5);
  CreateDirectoryW(dir.File(L"sub.jpg").c_str(), nullptr);
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 2);
  for (int i = 0; i < g_entryCount; ++i) {
    ImageEntry* e = EntryAt(i);
    EXPECT_EQ(e->presence, kEntryPresent | kEntrySelected);
    EXPECT_EQ(e->cacheIndex, -1);
    EXPECT_EQ(e->movieSlot, 255);
    EXPECT_EQ(e->currentUndo, -1);
    EXPECT_EQ(g_displayOrder[i], i);
    EXPECT_EQ(std::wstring(EntryPath(e)), dir.path() + L"\\" + EntryName(e));
  }
  EXPECT_EQ(EntryAt(FindEntry(L"a.JPG"))->info.fileSize, 20u);
  EXPECT_EQ(std::wstring(g_loadedFolderPath), dir.path());

  // The folder shown already is not loaded again unless forced.
  MakeFile(dir.File(L"c.jpg"), 1);
  LoadListContents(0, 0, 0);
  EXPECT_EQ(g_entryCount, 2);
  LoadListContents(1, 0, 0);
  EXPECT_EQ(g_entryCount, 3);
}

// The tree names a drive by its root, which ends with its separator: its files' paths have one.
TEST_F(Catalogue, FilesAtADrivesRootHaveOneSeparator) {
  std::wstring folder;
  const std::wstring root = testsupport::MakeWineDrive(&folder);
  if (root.empty()) GTEST_SKIP() << "no drive can be made here";
  MakeFile(folder + L"\\a.jpg", 10);
  Load(root);
  ASSERT_EQ(g_entryCount, 1);
  EXPECT_EQ(std::wstring(EntryPath(EntryAt(0))), root + L"a.jpg");
  FreeImageEntries();
  testsupport::RemoveTree(folder);
}

TEST_F(Catalogue, CachedRecordsAreReusedOnlyWhileUnchanged) {
  ScratchDir dir;
  MakeFile(dir.File(L"same.jpg"), 100);
  MakeFile(dir.File(L"changed.jpg"), 100);
  MakeFile(dir.File(L"back.jpg"), 100);
  std::vector<UndoRecord> undo(2);
  std::memset(undo.data(), 0, undo.size() * sizeof(UndoRecord));
  undo[0].kind = 3;
  undo[1].kind = 10;
  std::vector<UndoRecord> gone(1);
  std::memset(gone.data(), 0, sizeof(UndoRecord));
  gone[0].kind = 5;  // to the Recycle Bin, since brought back

  std::vector<ImageEntry> records = {RecordOf(dir.File(L"same.jpg"), true), RecordOf(dir.File(L"changed.jpg"), false),
                                     RecordOf(dir.File(L"back.jpg"), true), RecordOf(dir.File(L"gone.jpg"), false)};
  records[0].undoCount = 2;
  records[0].currentUndo = 1;
  records[0].undoRecords = undo.data();
  records[1].undoCount = 2;
  records[1].currentUndo = 1;
  records[1].undoRecords = undo.data();
  records[2].undoCount = 1;
  records[2].currentUndo = 0;
  records[2].undoRecords = gone.data();
  CacheBlock cache = BuildCache(records);
  cache.Publish(dir.path());

  // The unchanged file is locked: the loader must not need to open it.
  HANDLE lock = CreateFileW(dir.File(L"same.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Load(dir.path());
  CloseHandle(lock);

  ASSERT_EQ(g_entryCount, 4);
  ImageEntry* same = EntryAt(FindEntry(L"same.jpg"));
  EXPECT_EQ(same->cacheIndex, 0);
  EXPECT_EQ(same->undoCount, 2);
  EXPECT_EQ(same->currentUndo, 1);
  ASSERT_NE(same->undoRecords, nullptr);
  EXPECT_NE(same->undoRecords, undo.data());
  EXPECT_EQ(same->undoRecords[1].kind, 10);
  EXPECT_EQ(same->histogramPicture, nullptr);
  EXPECT_EQ(same->flags & (kEntryInfoRead | kEntryThumbFromCache), kEntryInfoRead | kEntryThumbFromCache);
  EXPECT_EQ(same->flags & kEntryMoviePaused, 0);
  EXPECT_EQ(same->presence, kEntryPresent | kEntrySelected);
  EXPECT_EQ(same->name, same->path + (dir.path().size() + 1));

  ImageEntry* changed = EntryAt(FindEntry(L"changed.jpg"));
  EXPECT_EQ(changed->cacheIndex, -1);
  EXPECT_EQ(changed->undoCount, 0);
  EXPECT_EQ(changed->info.fileSize, 100u);
  EXPECT_EQ(changed->flags & kEntryInfoRead, 0);

  ImageEntry* back = EntryAt(FindEntry(L"back.jpg"));
  EXPECT_EQ(back->cacheIndex, 2);
  EXPECT_EQ(back->currentUndo, -1);
  EXPECT_EQ(back->undoRecords[0].kind, 0);

  ImageEntry* vanished = EntryAt(FindEntry(L"gone.jpg"));
  EXPECT_EQ(vanished->presence, kEntryVanished);
}

TEST_F(Catalogue, ReloadsKeepChecksAndRowsAndDeferWhileLoading) {
  ScratchDir dir;
  for (int i = 0; i < 4; ++i) MakeFile(dir.File(L"k" + std::to_wstring(i) + L".jpg"), 1);
  std::vector<ImageEntry> records = {RecordOf(dir.File(L"k1.jpg"), true)};
  CacheBlock cache = BuildCache(records);
  cache.Publish(dir.path());
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 4);
  int k1 = FindEntry(L"k1.jpg");
  EXPECT_EQ(EntryAt(k1)->cacheIndex, 0);

  // Check marks survive the pane's own reload.
  int k2 = FindEntry(L"k2.jpg");
  EntryAt(k2)->checked = 1;
  g_keepCheckMarks = 1;
  g_cursorRow = 2;
  LoadListContents(1, 1, 2);
  EXPECT_EQ(g_keepCheckMarks, 0);
  EXPECT_EQ(g_restoreRow, 2);
  EXPECT_EQ(EntryAt(FindEntry(L"k2.jpg"))->checked, 1);
  EXPECT_EQ(EntryAt(FindEntry(L"k3.jpg"))->checked, 0);

  // Regenerating makes every cached record render again.
  g_listCount = g_entryCount;  // the rows the pane would show: the list being left is cached
  ReloadCurrentList(1);
  EXPECT_EQ(EntryAt(FindEntry(L"k1.jpg"))->cacheIndex, -1);
  EXPECT_NE(EntryAt(FindEntry(L"k1.jpg"))->flags & kEntryRenderAgain, 0);
  EXPECT_EQ(g_regenerateAll, 0);

  // A load asked for while one runs is deferred; a reload is dropped.
  g_listLoading = 1;
  g_deferredLoadPending = 0;
  LoadListContents(1, 1, 0);
  EXPECT_EQ(g_deferredLoadPending, 0);
  LoadListContents(1, 0, 0);
  EXPECT_EQ(g_deferredLoadPending, 1);
  EXPECT_EQ(g_deferredLoadDelay, kDeferredLoadTicks);
  g_listLoading = 0;
  g_deferredLoadPending = 0;
  EXPECT_EQ(g_entryCount, 4);

  // Blocked loads do nothing at all.
  g_listLoadBlocked = 1;
  MakeFile(dir.File(L"k4.jpg"), 1);
  LoadListContents(1, 0, 0);
  EXPECT_EQ(g_entryCount, 4);
  g_listLoadBlocked = 0;

  // The folder watcher's new file comes in selected.
  AddFileEntries(dir.path().c_str(), L"k4.jpg");
  ASSERT_EQ(g_entryCount, 5);
  EXPECT_EQ(EntryAt(4)->presence, kEntryPresent | kEntrySelected);

  wchar_t folded[kPathChars];
  FoldDotDotSegments(L"C:\\a\\b\\..\\c", folded);
  EXPECT_EQ(std::wstring(folded), L"C:\\a\\c");
}

// Every entry's undo records go with it when the list is freed: a folder opened a hundred times
// leaves the process's private bytes where they were.
TEST_F(Catalogue, FolderOpenedAgainAndAgainKeepsItsMemory) {
  ScratchDir dir;
  constexpr int kFiles = 40, kRecords = 8;
  for (int i = 0; i < kFiles; ++i) MakeFile(dir.File(L"u" + std::to_wstring(i) + L".jpg"), 1);
  auto open = [&] {
    g_skipFolderCache = 1;  // no cache file: every load starts from the files
    Load(dir.path());
    ASSERT_EQ(g_entryCount, kFiles);
    for (int i = 0; i < g_entryCount; ++i)
      for (int k = 0; k < kRecords; ++k) AppendEntryUndoRecord(i, 3, L"C:\\copies");
  };
  auto privateBytes = [] {
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof c;
    EXPECT_TRUE(K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c));
    // Wine reports no private bytes (0): the working set, which holds every record written, stands in.
    return static_cast<uint64_t>(c.PrivateUsage ? c.PrivateUsage : c.WorkingSetSize);
  };
  for (int i = 0; i < 10; ++i) open();
  const uint64_t before = privateBytes();
  ASSERT_GT(before, 0u);
  for (int i = 0; i < 100; ++i) open();
  // Kept after every load, the records alone would be 100 x 40 x 8 x 522 bytes (16 MiB).
  const uint64_t after = privateBytes();
  EXPECT_LT(after, before + (4u << 20)) << before << " " << after;
}

TEST_F(Catalogue, HideDeletedDropsRecordsOfMissingFiles) {
  ScratchDir dir;
  MakeFile(dir.File(L"here.jpg"), 1);
  std::vector<ImageEntry> records = {RecordOf(dir.File(L"here.jpg"), true), RecordOf(dir.File(L"gone.jpg"), false)};
  CacheBlock cache = BuildCache(records);
  for (uint8_t hide : {0, 1}) {
    cache.Publish(dir.path());
    g_settings.hideDeletedFiles = hide;
    Load(dir.path());
    EXPECT_EQ(g_entryCount, hide ? 1 : 2);
    EXPECT_EQ(FindEntry(L"gone.jpg") >= 0, hide == 0);
  }
}

TEST_F(Catalogue, RecordsOfAMovedFolderTakeTheNewPath) {
  ScratchDir dir;
  MakeFile(dir.File(L"p.jpg"), 7);
  std::vector<ImageEntry> records = {RecordOf(dir.File(L"p.jpg"), true)};
  wcscpy(EntryPath(&records[0]), L"Z:\\old\\place\\p.jpg");
  SetEntryNamePointer(&records[0]);
  CacheBlock cache = BuildCache(records);
  cache.Publish(dir.path());
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 1);
  EXPECT_EQ(std::wstring(EntryPath(EntryAt(0))), dir.File(L"p.jpg"));
  EXPECT_EQ(std::wstring(EntryName(EntryAt(0))), L"p.jpg");
  EXPECT_EQ(EntryAt(0)->cacheIndex, 0);
}

TEST_F(Catalogue, DamagedCacheViewIsBounded) {
  ScratchDir dir;
  MakeFile(dir.File(L"a.jpg"), 3);
  std::vector<ImageEntry> records = {RecordOf(dir.File(L"a.jpg"), true)};
  records[0].undoCount = 1000000;
  records[0].currentUndo = 5;
  CacheBlock cache = BuildCache(records);
  cache.damageFirstUndo = true;  // undo records "inside" the header, far too many of them
  cache.Publish(dir.path());
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 1);
  EXPECT_EQ(EntryAt(0)->undoCount, 0);
  EXPECT_EQ(EntryAt(0)->currentUndo, -1);
}

TEST_F(Catalogue, CollectionLoadListsMissingFilesAsPresent) {
  ScratchDir dir;
  MakeFile(dir.File(L"x.jpg"), 5);
  LoadCollections();
  int index = CreateCollection(L"col");
  ASSERT_GE(index, 0);
  std::wstring list = dir.File(L"x.jpg") + L"\n" + dir.File(L"missing.jpg") + L"\n" + dir.File(L"t.txt") + L"\n";
  ASSERT_TRUE(SetCollectionList(index, list.c_str()));
  g_requestedListSource = 1;
  g_requestedCollection = index;
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 2);
  EXPECT_EQ(EntryAt(0)->info.fileSize, 5u);
  EXPECT_EQ(EntryAt(1)->presence, kEntryPresent | kEntrySelected);
  EXPECT_EQ(EntryAt(1)->info.fileSize, 0u);
  FreeCollections();
  g_listSource = 0;
}

TEST_F(Catalogue, LoadStopsAtTheListLimit) {
  // Records of vanished files fill the list almost to its limit; the folder scan adds up to it.
  ScratchDir dir;
  const int cached = kMaxEntries - 4;
  for (int i = 0; i < 10; ++i) MakeFile(dir.File(L"new" + std::to_wstring(i) + L".jpg"), 1);
  std::vector<ImageEntry> records(cached);
  for (int i = 0; i < cached; ++i) records[i] = RecordOf(dir.File(L"old" + std::to_wstring(i) + L".jpg"), false);
  CacheBlock cache = BuildCache(records);
  records.clear();
  cache.Publish(dir.path());
  Load(dir.path());
  EXPECT_EQ(g_entryCount, kMaxEntries);
  int present = 0;
  for (int i = 0; i < g_entryCount; ++i) present += EntryAt(i)->presence != kEntryVanished ? 1 : 0;
  EXPECT_EQ(present, 4);
  EXPECT_EQ(g_displayOrder[kMaxEntries - 1], kMaxEntries - 1);

  // A collection of more paths than the list holds.
  ReleaseFolderCache();
  LoadCollections();
  int index = CreateCollection(L"big");
  std::wstring list;
  for (int i = 0; i < kMaxEntries + 6; ++i) list += dir.File(L"m" + std::to_wstring(i) + L".jpg") + L"\n";
  ASSERT_TRUE(SetCollectionList(index, list.c_str()));
  g_requestedListSource = 1;
  g_requestedCollection = index;
  Load(dir.path());
  EXPECT_EQ(g_entryCount, kMaxEntries);
  FreeCollections();
  g_listSource = 0;
}

// A window with the file list (control 313) in slot 0, the way the file-list pane holds it.
class ListWindow {
 public:
  ListWindow() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    pane_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 400, 300, pane_,
                            reinterpret_cast<HMENU>(313), nullptr, nullptr);
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 100;
    col.pszText = const_cast<wchar_t*>(L"c");
    for (int i = 0; i < 24; ++i) SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    g_windowSlots[kSlotFileListPane] = pane_;
  }
  ~ListWindow() {
    g_windowSlots[kSlotFileListPane] = nullptr;
    DestroyWindow(pane_);
  }
  HWND list() const { return list_; }
  bool Selected(int row) const {
    return (SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  }
  int Focused() const {
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  }

 private:
  HWND pane_ = nullptr, list_ = nullptr;
};

TEST_F(Catalogue, SortKeepsSelectionAndDraggedRowsMove) {
  ScratchDir dir;
  const wchar_t* iso[10] = {L"400", L"", L"3200", L"100", L"800", L"1600", L"200", L"50", L"6400", L"125"};
  for (int i = 0; i < 10; ++i) MakeFile(dir.File(L"IMG_" + std::to_wstring(i) + L".jpg"), 1);
  Load(dir.path());
  ASSERT_EQ(g_entryCount, 10);
  for (int i = 0; i < 10; ++i) {
    ImageEntry* e = EntryAt(i);
    int n = _wtoi(EntryName(e) + 4);
    wcscpy(reinterpret_cast<wchar_t*>(e->info.iso), iso[n]);
  }
  ListWindow window;
  FillThumbnailList(window.list(), g_entryCount);
  ASSERT_EQ(g_listCount, 10);

  // Select the rows of 3200 and 50, then sort by ISO descending.
  int r3200 = -1, r50 = -1;
  for (int r = 0; r < 10; ++r) {
    if (wcscmp(reinterpret_cast<wchar_t*>(EntryAtRow(r)->info.iso), L"3200") == 0) r3200 = r;
    if (wcscmp(reinterpret_cast<wchar_t*>(EntryAtRow(r)->info.iso), L"50") == 0) r50 = r;
  }
  ClearListSelection(window.list());
  LVITEMW item = {};
  item.state = item.stateMask = LVIS_SELECTED;
  SendMessageW(window.list(), LVM_SETITEMSTATE, r3200, reinterpret_cast<LPARAM>(&item));
  SendMessageW(window.list(), LVM_SETITEMSTATE, r50, reinterpret_cast<LPARAM>(&item));
  SortListByColumn(window.list(), 14, 1);
  std::vector<std::wstring> order;
  for (int r = 0; r < 10; ++r) order.push_back(reinterpret_cast<wchar_t*>(EntryAtRow(r)->info.iso));
  EXPECT_EQ(order, (std::vector<std::wstring>{L"6400", L"3200", L"1600", L"800", L"400", L"200", L"125", L"100",
                                              L"50", L""}));
  EXPECT_TRUE(window.Selected(1));
  EXPECT_TRUE(window.Selected(8));
  EXPECT_FALSE(window.Selected(0));
  EXPECT_EQ(window.Focused(), 1);
  EXPECT_NE(g_cacheDirty & 2, 0u);

  // Identity order, then drag rows 2 and 8 onto row 5.
  for (int i = 0; i < 10; ++i) g_displayOrder[i] = static_cast<uint16_t>(i);
  HWND dragged = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
  for (int i = 0; i < 2; ++i) {
    LVITEMW row = {};
    row.mask = LVIF_PARAM;
    row.iItem = i;
    row.lParam = i == 0 ? 2 : 8;
    SendMessageW(dragged, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
  }
  MoveDraggedRows(window.list(), dragged, 5);
  DestroyWindow(dragged);
  std::vector<int> moved(g_displayOrder, g_displayOrder + 10);
  EXPECT_EQ(moved, (std::vector<int>{0, 1, 3, 4, 2, 8, 5, 6, 7, 9}));
  for (int r = 0; r < 10; ++r) EXPECT_EQ(window.Selected(r), r == 4 || r == 5) << r;
  EXPECT_EQ(window.Focused(), 5);

  // A remembered row beyond the list selects the last row.
  SendMessageW(window.list(), LVM_DELETEALLITEMS, 0, 0);
  g_restoreRow = 40;
  FillThumbnailList(window.list(), 10);
  EXPECT_EQ(g_restoreRow, 9);
  EXPECT_TRUE(window.Selected(9));

  // Filled and sorted with its drawing held off, the hidden list stays hidden; the sort mark
  // comes off again, also when another thread asks.
  EXPECT_EQ(GetWindowLongW(window.list(), GWL_STYLE) & WS_VISIBLE, 0);
  auto marked = [&] {
    HDITEMW column = {};
    column.mask = HDI_FORMAT;
    SendMessageW(ListView_GetHeader(window.list()), HDM_GETITEMW, 14, reinterpret_cast<LPARAM>(&column));
    return (column.fmt & HDF_IMAGE) != 0;
  };
  SortListByColumn(window.list(), 14, 1);
  ASSERT_TRUE(marked());
  std::atomic<bool> cleared{false};
  std::thread other([&] {
    ClearHeaderSortMarks(window.list());
    cleared = true;
  });
  for (MSG msg; !cleared; Sleep(1))
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  other.join();
  EXPECT_FALSE(marked());
  EXPECT_EQ(SendMessageW(window.list(), LVM_GETITEMCOUNT, 0, 0), 10);
}

TEST_F(Catalogue, SelectionTransfersBetweenListAndEntries) {
  ScratchDir dir;
  for (int i = 0; i < 5; ++i) MakeFile(dir.File(L"s" + std::to_wstring(i) + L".jpg"), 1);
  Load(dir.path());
  ListWindow window;
  FillThumbnailList(window.list(), g_entryCount);
  ClearListSelection(window.list());
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  for (int r : {1, 2, 4}) {
    item.state = r == 2 ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
    SendMessageW(window.list(), LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_TRUE(TransferListSelection(true));
  EXPECT_EQ(g_cursorRow, 2);
  for (int r = 0; r < 5; ++r) EXPECT_EQ((EntryAtRow(r)->presence & kEntrySelected) != 0, r == 1 || r == 2 || r == 4);

  // Paging steps through the selected rows only.
  int pos = 2;
  FindNextFlaggedEntry(&pos, 1, 1);
  EXPECT_EQ(pos, 4);
  g_settings.stopPagingAtEnds = 1;
  pos = 2;
  FindNextMatchingEntry(&pos, 1, 2);
  EXPECT_EQ(pos, 2);

  g_cursorRow = 3;
  EXPECT_TRUE(TransferListSelection(false));
  for (int r = 0; r < 5; ++r) EXPECT_EQ(window.Selected(r), r == 3);
  for (int r = 0; r < 5; ++r) EXPECT_NE(EntryAtRow(r)->presence & kEntrySelected, 0);

  EXPECT_EQ(FindListPositionByName(L"S3.JPG"), 3);
  EXPECT_EQ(GetFirstSelectedRow(window.list()), 3);
}

TEST_F(Catalogue, ViewSwitchTogglesListAndPictures) {
  ScratchDir dir;
  for (int i = 0; i < 3; ++i) MakeFile(dir.File(L"v" + std::to_wstring(i) + L".jpg"), 1);
  Load(dir.path());
  ListWindow window;
  FillThumbnailList(window.list(), g_entryCount);
  g_cursorRow = 1;
  g_viewMode = 1;
  g_paneEntry[0] = 1;
  ToggleListViewerMode(0);
  EXPECT_EQ(g_viewMode, 2);
  EXPECT_EQ(g_lastViewMode, 2);
  ToggleListViewerMode(0);
  EXPECT_EQ(g_viewMode, 1);
  EXPECT_EQ(g_paneEntry[0], -1);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(window.Selected(r), r == 1);

  // Asked by the list thread: both views become the remembered single view.
  g_viewMode = 3;
  g_listThreadAskedSwitch = 1;
  ToggleListViewerMode(0);
  EXPECT_EQ(g_viewMode, 1);
  EXPECT_EQ(g_listThreadAskedSwitch, 0);
  g_viewMode = 3;
}

TEST_F(Catalogue, RowNumbersReadExactly) {
  ListWindow window;
  const wchar_t* cells[] = {L" 7", L"07", L"12ab", L"", L"7"};
  for (int r = 0; r < 5; ++r) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(cells[r]);
    SendMessageW(window.list(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_EQ(FindRowByNumber(window.list(), 7, 0), 4);
  EXPECT_EQ(FindRowByNumber(window.list(), 8, 0), -1);
  EXPECT_EQ(GetRowNumber(window.list(), 2, 0), 12);
  EXPECT_EQ(GetRowNumber(window.list(), 3, 0), -1);
  EXPECT_EQ(GetSelectedRowNumber(window.list(), 0), -1);
}

class Collections : public Catalogue {
 protected:
  void SetUp() override {
    Catalogue::SetUp();
    wcscpy(W(g_settings.dataFolder), data_.path().c_str());
    CreateDirectoryW(data_.File(L"collection").c_str(), nullptr);
    CreateDirectoryW(data_.File(L"cache").c_str(), nullptr);
    g_listSource = 0;
    LoadCollections();
  }
  void TearDown() override {
    FreeCollections();
    Catalogue::TearDown();
  }
  std::vector<uint8_t> FileBytes(const std::wstring& name) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(testsupport::ReadWholeFile(data_.File(L"collection\\" + name), &bytes)) << name.size();
    return bytes;
  }
  ScratchDir data_;
};

TEST_F(Collections, FilesRoundTripByteExact) {
  int trip = CreateCollection(L"Trip");
  int empty = CreateCollection(L"a.b");
  ASSERT_EQ(trip, 0);
  ASSERT_EQ(empty, 1);
  EXPECT_TRUE(AddFileToCollection(trip, L"C:\\p\\a.jpg.jpg"));
  EXPECT_TRUE(AddFileToCollection(trip, L"C:\\p\\a.jpg"));     // not inside the longer path
  EXPECT_FALSE(AddFileToCollection(trip, L"C:\\p\\a.jpg"));    // duplicate
  EXPECT_FALSE(AddFileToCollection(trip, L"C:\\p\\read.txt")); // unlisted type
  EXPECT_FALSE(AddFileToCollection(5, L"C:\\p\\b.jpg"));       // no such collection
  EXPECT_TRUE(AddFileToCollection(trip, L"D:\\写真\\b.jpg"));
  SaveCollections();

  std::wstring text = L"C:\\p\\a.jpg.jpg\nC:\\p\\a.jpg\nD:\\写真\\b.jpg\n";
  std::vector<uint8_t> expected(reinterpret_cast<const uint8_t*>(text.c_str()),
                                reinterpret_cast<const uint8_t*>(text.c_str()) + (text.size() + 1) * 2);
  EXPECT_EQ(FileBytes(L"Trip.co"), expected);
  EXPECT_EQ(FileBytes(L"a.b.co").size(), 0u);

  {
    // Another program holds the file: it keeps its bytes, and the box says why.
    HANDLE held = CreateFileW(data_.File(L"collection\\Trip.co").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    AddFileToCollection(trip, L"C:\\p\\c.jpg");
    testsupport::BoxAnswerer answer(IDOK);
    SaveCollections();
    CloseHandle(held);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text.rfind(L"次のコレクションを保存できませんでした。\nTrip\n\n", 0), 0u)
        << testing::PrintToString(answer.seen[0].text);
    EXPECT_EQ(FileBytes(L"Trip.co"), expected);
  }

  LoadCollections();
  ASSERT_EQ(g_collectionCount, 2);
  int t = FindCollectionByName(L"Trip");
  ASSERT_GE(t, 0);
  EXPECT_EQ(std::wstring(g_collections[t].list), text);
  int ab = FindCollectionByName(L"a.b");
  ASSERT_GE(ab, 0);
  EXPECT_EQ(g_collections[ab].list, nullptr);
  SaveCollections();
  EXPECT_EQ(FileBytes(L"Trip.co"), expected);
}

TEST_F(Collections, NamesAndLimits) {
  EXPECT_EQ(CreateCollection(L""), -2);
  EXPECT_EQ(CreateCollection(L"Trip"), 0);
  EXPECT_EQ(CreateCollection(L"Trip"), -1);
  {
    // Another case of a name would share its file: refused as an unusable name.
    BoxAnswerer answer(IDOK);
    EXPECT_EQ(CreateCollection(L"a/b"), -2);
    EXPECT_EQ(CreateCollection(L".."), -2);
    EXPECT_EQ(CreateCollection(L"trip"), -2);
    EXPECT_EQ(CreateCollection(L"\xFF34rip"), 1);  // full-width: another name
    EXPECT_EQ(CreateCollection(L"\xFF54RIP"), -2);
    ASSERT_EQ(answer.seen.size(), 4u);
    EXPECT_EQ(answer.seen[2].text, answer.seen[0].text);
    EXPECT_EQ(answer.seen[3].text, answer.seen[0].text);
  }
  EXPECT_EQ(g_collectionCount, 2);
  // A table read from a disk that tells case apart may still hold two such names.
  wcscpy(g_collections[1].name, L"trip");
  AddFileToCollection(0, L"C:\\upper.jpg");
  AddFileToCollection(1, L"C:\\lower.jpg");
  {
    // One file holds one of the two: the other is reported, never written over it.
    BoxAnswerer answer(IDOK);
    SaveCollections();
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_NE(answer.seen[0].text.find(L"trip"), std::wstring::npos);
  }
  std::wstring upper = L"C:\\upper.jpg\n";
  EXPECT_EQ(FileBytes(L"Trip.co").size(), (upper.size() + 1) * 2);
  for (int i = 2; i < kMaxCollections; ++i) EXPECT_EQ(CreateCollection((L"c" + std::to_wstring(i)).c_str()), i);
  EXPECT_EQ(CreateCollection(L"one more"), -2);
  EXPECT_EQ(g_collectionCount, kMaxCollections);
}

TEST_F(Collections, RenameAndDeleteActOnBothFiles) {
  int a = CreateCollection(L"A");
  CreateCollection(L"B");
  AddFileToCollection(a, L"C:\\x.jpg");
  SaveCollections();
  std::wstring cacheA = data_.File(L"cache\\Lib\xFF1A" L"A.cac");
  MakeFile(cacheA, 4);

  RenameCollection(a, L"B");  // taken: nothing happens
  EXPECT_TRUE(testsupport::FileExists(data_.File(L"collection\\A.co")));
  RenameCollection(a, L"A2");
  EXPECT_EQ(std::wstring(g_collections[a].name), L"A2");
  EXPECT_FALSE(testsupport::FileExists(data_.File(L"collection\\A.co")));
  EXPECT_TRUE(testsupport::FileExists(data_.File(L"collection\\A2.co")));
  EXPECT_FALSE(testsupport::FileExists(cacheA));
  EXPECT_TRUE(testsupport::FileExists(data_.File(L"cache\\Lib\xFF1A" L"A2.cac")));

  g_currentCollection = 1;
  DeleteCollection(a);
  EXPECT_EQ(g_collectionCount, 1);
  EXPECT_EQ(g_currentCollection, 0);
  EXPECT_EQ(std::wstring(g_collections[0].name), L"B");
  EXPECT_FALSE(testsupport::FileExists(data_.File(L"collection\\A2.co")));
  EXPECT_FALSE(testsupport::FileExists(data_.File(L"cache\\Lib\xFF1A" L"A2.cac")));
  DeleteCollection(0);
  EXPECT_EQ(g_currentCollection, -1);
}

// A rename to another case of another collection's name is refused; to another case of its own
// name the file follows, so that the next start lists the new name; a file that cannot be moved
// is reported and the collection keeps its name and its file.
TEST_F(Collections, RenamesKeepOneFilePerCollection) {
  int trip = CreateCollection(L"Trip");
  int other = CreateCollection(L"Other");
  AddFileToCollection(trip, L"C:\\t.jpg");
  AddFileToCollection(other, L"C:\\o.jpg");
  SaveCollections();
  const std::wstring otherFile = data_.File(L"collection\\Other.co");
  {
    BoxAnswerer answer(IDOK);
    RenameCollection(other, L"TRIP");
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text, L"コレクション名に使用できない名前です。\n次の文字は使えません。\n\\ / : * ? \" < > |");
  }
  EXPECT_EQ(std::wstring(g_collections[other].name), L"Other");
  EXPECT_TRUE(testsupport::FileExists(otherFile));

  MakeFile(data_.File(L"cache\\Lib\xFF1A" L"Trip.cac"), 4);
  RenameCollection(trip, L"tRIP");
  EXPECT_EQ(std::wstring(g_collections[trip].name), L"tRIP");
  auto namesOnDisk = [&](const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileW(find, &fd));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
  };
  EXPECT_EQ(namesOnDisk(data_.File(L"collection\\*").c_str()),
            (std::vector<std::wstring>{L".", L"..", L"Other.co", L"tRIP.co"}));
  EXPECT_EQ(namesOnDisk(data_.File(L"cache\\*.cac").c_str()), std::vector<std::wstring>{L"Lib\xFF1AtRIP.cac"});
  SaveCollections();
  LoadCollections();
  ASSERT_EQ(g_collectionCount, 2);
  trip = FindCollectionByName(L"tRIP");
  ASSERT_GE(trip, 0);
  EXPECT_EQ(std::wstring(g_collections[trip].list), L"C:\\t.jpg\n");
  EXPECT_EQ(FindCollectionByName(L"Trip"), -1);

  // Held open by another program without leave to move it.
  other = FindCollectionByName(L"Other");
  HANDLE held = CreateFileW(otherFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    BoxAnswerer answer(IDOK);
    RenameCollection(other, L"Renamed");
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text, L"次のコレクションの名前を変更できませんでした。\nOther");
  }
  CloseHandle(held);
  EXPECT_EQ(std::wstring(g_collections[other].name), L"Other");
  EXPECT_TRUE(testsupport::FileExists(otherFile));
  EXPECT_FALSE(testsupport::FileExists(data_.File(L"collection\\Renamed.co")));
  // A collection of this session has no file yet: its rename needs none.
  int fresh = CreateCollection(L"new");
  RenameCollection(fresh, L"newer");
  EXPECT_EQ(std::wstring(g_collections[fresh].name), L"newer");
}

// A file held by another program at start-up, or too big to read, is never written over; what
// was added to its collection meanwhile is reported.
TEST_F(Collections, AFileThatCouldNotBeReadIsNeverWrittenOver) {
  AddFileToCollection(CreateCollection(L"held"), L"C:\\a.jpg");
  SaveCollections();
  const std::vector<uint8_t> held = FileBytes(L"held.co");
  HANDLE big = CreateFileW(data_.File(L"collection\\big.co").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = (64 << 20) + 2;
  ASSERT_TRUE(SetFilePointerEx(big, end, nullptr, FILE_BEGIN) && SetEndOfFile(big) && CloseHandle(big));
  HANDLE lock = CreateFileW(data_.File(L"collection\\held.co").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  LoadCollections();
  CloseHandle(lock);
  AddFileToCollection(FindCollectionByName(L"held"), L"C:\\new.jpg");
  BoxAnswerer answer(IDOK);
  SaveCollections();
  ASSERT_EQ(answer.seen.size(), 1u);
  EXPECT_EQ(answer.seen[0].text, L"次のコレクションを保存できませんでした。\nheld");
  EXPECT_EQ(FileBytes(L"held.co"), held);
  EXPECT_EQ(FileBytes(L"big.co").size(), (64u << 20) + 2);
}

// Past 256 files some are not loaded: no new or renamed collection takes such a file's name.
TEST_F(Collections, AnUnloadedFileKeepsItsName) {
  for (int i = 0; i <= kMaxCollections; ++i)
    ASSERT_TRUE(testsupport::WriteWholeFile(data_.File(L"collection\\c" + std::to_wstring(1000 + i) + L".co"), "ab", 2));
  LoadCollections();
  int unloaded = 1000;
  while (FindCollectionByName((L"c" + std::to_wstring(unloaded)).c_str()) >= 0) ++unloaded;
  const std::wstring name = L"c" + std::to_wstring(unloaded);
  DeleteCollection(0);
  EXPECT_EQ(CreateCollection(name.c_str()), -1);
  BoxAnswerer answer(IDOK);
  RenameCollection(CreateCollection(L"fresh"), name.c_str());
  EXPECT_EQ(answer.seen.size(), 1u);
  SaveCollections();
  EXPECT_EQ(FileBytes(name + L".co"), (std::vector<uint8_t>{'a', 'b'}));
}

// Deleting the collection shown lists the one now current; a later reload takes it too.
TEST_F(Collections, DeletingTheShownCollectionListsTheOneNowCurrent) {
  ScratchDir dir;
  for (const wchar_t* n : {L"A", L"B", L"C"}) {
    MakeFile(dir.File(std::wstring(n) + L".jpg"), 1);
    AddFileToCollection(CreateCollection(n), dir.File(std::wstring(n) + L".jpg").c_str());
  }
  auto listed = [] { return g_entryCount == 1 ? std::wstring(EntryName(EntryAt(0))) : std::wstring(); };
  g_requestedListSource = 1;
  g_requestedCollection = 1;
  Load(dir.path());
  DeleteCollection(1);
  EXPECT_EQ(listed(), L"C.jpg");
  DeleteCollection(0);
  ReloadCurrentList(0);
  EXPECT_EQ(listed(), L"C.jpg");
  g_listSource = g_requestedListSource = 0;
}

TEST_F(Collections, OrderIsKeptOnlyForTheSameRows) {
  ScratchDir dir;
  for (const wchar_t* n : {L"1.jpg", L"2.jpg", L"3.jpg"}) MakeFile(dir.File(n), 1);
  int c = CreateCollection(L"order");
  for (const wchar_t* n : {L"1.jpg", L"2.jpg", L"3.jpg"}) ASSERT_TRUE(AddFileToCollection(c, dir.File(n).c_str()));
  g_requestedListSource = 1;
  g_requestedCollection = c;
  Load(dir.path());
  ListWindow window;
  FillThumbnailList(window.list(), g_entryCount);
  g_displayOrder[0] = 2;
  g_displayOrder[2] = 0;
  KeepCollectionOrder();
  std::wstring reordered = dir.File(L"3.jpg") + L"\n" + dir.File(L"2.jpg") + L"\n" + dir.File(L"1.jpg") + L"\n";
  EXPECT_EQ(std::wstring(g_collections[c].list), reordered);

  // A list whose rows differ from the collection (a path of the same length swapped in) stays.
  std::wstring other = dir.File(L"3.jpg") + L"\n" + dir.File(L"2.jpg") + L"\n" + dir.File(L"9.jpg") + L"\n";
  ASSERT_TRUE(SetCollectionList(c, other.c_str()));
  KeepCollectionOrder();
  EXPECT_EQ(std::wstring(g_collections[c].list), other);

  g_skipCollectionOrderOnce = 1;
  ASSERT_TRUE(SetCollectionList(c, reordered.c_str()));
  g_displayOrder[0] = 0;
  g_displayOrder[2] = 2;
  KeepCollectionOrder();
  EXPECT_EQ(std::wstring(g_collections[c].list), reordered);
  EXPECT_EQ(g_skipCollectionOrderOnce, 0);

  // Removing the selection removes whole lines only.
  g_viewMode = 1;
  ClearListSelection(window.list());
  LVITEMW item = {};
  item.state = item.stateMask = LVIS_SELECTED;
  SendMessageW(window.list(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  RemoveSelectionFromCollection(c);
  EXPECT_EQ(std::wstring(g_collections[c].list), dir.File(L"3.jpg") + L"\n" + dir.File(L"2.jpg") + L"\n");
  AddSelectionToCollection(c);
  EXPECT_EQ(std::wstring(g_collections[c].list), reordered);

  ReplacePathInCurrentCollection(dir.File(L"2.jpg").c_str(), dir.File(L"22.jpg").c_str());
  EXPECT_EQ(std::wstring(g_collections[c].list),
            dir.File(L"3.jpg") + L"\n" + dir.File(L"22.jpg") + L"\n" + dir.File(L"1.jpg") + L"\n");
  g_listSource = 0;
  g_currentCollection = -1;
}

TEST(FolderDialogs, NewFolderAndMergeOptions) {
  SetDefaultSettings();
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kNewFolderDialog), nullptr,
                                   NewFolderDlgProc, 0);
  ASSERT_NE(dialog, nullptr);
  wchar_t text[64];
  GetDlgItemTextW(dialog, 425, text, 64);
  EXPECT_EQ(std::wstring(text), L"新しいフォルダ");
  SetDlgItemTextW(dialog, 425, L"");
  SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  testsupport::WaitFor([] { return false; }, 50);
  EXPECT_EQ(g_windowSlots[36], dialog);
  SetDlgItemTextW(dialog, 425, L"RAW");
  SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  testsupport::WaitFor([] { return g_windowSlots[36] == nullptr; }, 1000);
  EXPECT_EQ(g_windowSlots[36], nullptr);
  EXPECT_EQ(std::wstring(g_newFolderNameText), L"RAW");
  DestroyWindow(dialog);

  dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kSubfolderMergeDialog), nullptr,
                              SubfolderMergeDlgProc, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 406), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 311), BST_CHECKED);
  SendMessageW(dialog, WM_COMMAND, 407, 0);
  EXPECT_EQ(g_settings.subfolderMergeAllLevels, 1);
  EXPECT_EQ(IsDlgButtonChecked(dialog, 406), BST_UNCHECKED);
  CheckDlgButton(dialog, 311, BST_UNCHECKED);
  SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  testsupport::WaitFor([] { return g_windowSlots[35] == nullptr; }, 1000);
  DestroyWindow(dialog);
  EXPECT_EQ(g_settings.subfolderMergeDeleteEmpty, 0);
  EXPECT_EQ(g_settings.subfolderMergeAllLevels, 1);
}

}  // namespace
