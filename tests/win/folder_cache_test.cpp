// Thumbnail cache files written from a loaded list and read back.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "browser/menus.h"
#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/folder_cache.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/semaphore_lock.h"
#include "core/pure/folder_cache_format.h"
#include "core/safe_file.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/pure/camera_models.h"
#include "tests/support/entry_lists.h"
#include "tests/support/win_test_support.h"

using namespace Gdiplus;
using testsupport::ForgetLoadedList;
using testsupport::BuildThumbnailLocked;
using testsupport::PrepareEntryLists;
using testsupport::ScratchDir;
using testsupport::UseDataFolder;

namespace {

std::vector<uint8_t> BmpBytes(int width, int height) {
  std::vector<uint8_t> b(54 + static_cast<size_t>(width) * 3 * height, 0);
  uint32_t rowBytes = static_cast<uint32_t>(width) * 3;
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &b[54 + y * rowBytes + x * 3];
      p[0] = static_cast<uint8_t>(x * 2);
      p[1] = static_cast<uint8_t>(y * 3);
      p[2] = static_cast<uint8_t>(x + y);
    }
  return b;
}

std::vector<uint8_t> ReadAll(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  testsupport::ReadWholeFile(path, &bytes);
  return bytes;
}

class FolderCache : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GdiplusStartupInput input;
    GdiplusStartup(&token_, &input, nullptr);
    BuildCameraModelIndex();
    ASSERT_TRUE(PrepareEntryLists());
  }
  static void TearDownTestSuite() {
    ReleaseRowCanvases();
    GdiplusShutdown(token_);
  }
  void SetUp() override {
    SetDefaultSettings();
    // A data folder that does not exist yet, as on a fresh installation.
    const std::wstring dataFolder = data_.path() + L"\\user";
    UseDataFolder(dataFolder);
    GetCacheFolder(cacheFolder_);
    wcscpy(g_currentFolder, pics_.path().c_str());
    wcscpy(g_loadedFolderPath, pics_.path().c_str());
    g_listSource = 0;
  }
  void TearDown() override { ForgetLoadedList(); }
  // Three listed pictures, the second with two undo records and no thumbnail, the third turned
  // by its Exif orientation.
  void MakeList() {
    for (int i = 0; i < 3; ++i) {
      std::wstring path = pics_.File(L"p" + std::to_wstring(i) + L".bmp");
      std::vector<uint8_t> bmp = BmpBytes(40 + i * 10, 30);
      testsupport::WriteWholeFile(path, bmp.data(), bmp.size());
    }
    g_settings.enabledImageTypes |= 0x1;
    LoadFolderEntries(pics_.path().c_str());
    ASSERT_EQ(g_entryCount, 3);
    g_listCount = 3;
    for (int i = 0; i < 3; ++i) {
      ImageEntry* e = EntryAt(i);
      e->info.modelRow = static_cast<int16_t>(g_cameraModelIndex[kUnknownModelCode]);
      e->flags |= kEntryInfoRead;
      if (i == 2) e->info.orientation = 6;
      if (i != 1) {
        ASSERT_TRUE(BuildThumbnailLocked(e));
        e->histogramPicture = new Bitmap(32, 16, PixelFormat24bppRGB);
      }
    }
    ImageEntry* e = EntryAt(1);
    e->undoCount = 2;
    e->currentUndo = 1;
    e->undoRecords = static_cast<UndoRecord*>(calloc(2, sizeof(UndoRecord)));
    e->undoRecords[0].kind = 3;
    wcscpy(reinterpret_cast<wchar_t*>(e->undoRecords[1].path), L"C:\\old\\name.bmp");
    e->undoRecords[1].kind = 10;
  }
  std::wstring CacheFile() {
    wchar_t name[1024];
    BuildCacheFileName(reinterpret_cast<const char16_t*>(cacheFolder_), reinterpret_cast<const char16_t*>(g_currentFolder),
                       false, reinterpret_cast<char16_t*>(name), 1024);
    return name;
  }
  void WriteCache() {
    g_cacheDirty = 2;
    g_savedRow = 1;
    BuildFolderCache();
    ASSERT_TRUE(WriteFolderCache());
  }
  static std::vector<uint32_t> ThumbPixels(Image* image) {
    std::vector<uint32_t> out;
    Bitmap* b = static_cast<Bitmap*>(image);
    for (UINT y = 0; y < b->GetHeight(); y += 7)
      for (UINT x = 0; x < b->GetWidth(); x += 5) {
        Color c;
        b->GetPixel(static_cast<INT>(x), static_cast<INT>(y), &c);
        out.push_back(c.GetValue() & 0xFFFFFFu);  // the file keeps 24-bit pixels
      }
    return out;
  }
  static ULONG_PTR token_;
  ScratchDir data_, pics_;
  wchar_t cacheFolder_[kPathChars];
};
ULONG_PTR FolderCache::token_ = 0;

TEST_F(FolderCache, FileSizesTablesAndRoundTrip) {
  MakeList();
  std::vector<uint32_t> turned = ThumbPixels(EntryAt(2)->levelImages[kLevelThumbnail]);
  WriteCache();
  const std::wstring file = CacheFile();
  EXPECT_NE(file.find(L"\xFF1A\xFFE5"), std::wstring::npos);  // "C：￥..."
  std::vector<uint8_t> bytes = ReadAll(file);
  ASSERT_EQ(bytes.size(), 6488u + 3 * 17376u);
  CacheView view;
  ASSERT_TRUE(OpenCacheView(bytes.data(), bytes.size(), 5.16, true, &view));
  EXPECT_EQ(view.fixedSize, 6488u);
  EXPECT_EQ(view.restoreRow, 1);
  EXPECT_NE(view.PixelBlock(0), nullptr);
  EXPECT_EQ(view.PixelBlock(1), nullptr);  // no thumbnail: its share of the tail stays zero
  EXPECT_NE(view.PixelBlock(2), nullptr);

  // Reload: records, undo history and the thumbnails come back from the file alone.
  FreeImageEntries();
  g_settings.cursorToFirstRowOnFolderChange = 0;
  ASSERT_TRUE(LoadFolderCache());
  EXPECT_EQ(g_savedRow, 1);
  EXPECT_EQ(g_loadedCache.count, 3);
  LoadFolderEntries(pics_.path().c_str());
  ASSERT_EQ(g_entryCount, 3);
  ImageEntry* undone = nullptr;
  for (int i = 0; i < 3; ++i) {
    ImageEntry* e = EntryAt(i);
    EXPECT_NE(e->presence & kEntryPresent, 0);
    EXPECT_GE(e->cacheIndex, 0);
    if (e->undoCount) undone = e;
  }
  ASSERT_NE(undone, nullptr);
  EXPECT_EQ(undone->undoCount, 2);
  EXPECT_EQ(undone->currentUndo, 1);
  EXPECT_EQ(undone->undoRecords[1].kind, 10);
  EXPECT_STREQ(reinterpret_cast<wchar_t*>(undone->undoRecords[1].path), L"C:\\old\\name.bmp");
  ImageEntry* third = EntryAt(2);
  ASSERT_EQ(third->info.orientation, 6);
  wcscpy(reinterpret_cast<wchar_t*>(third->path), pics_.File(L"gone.bmp").c_str());  // the file is not read
  ASSERT_TRUE(BuildThumbnailLocked(third));
  EXPECT_EQ(third->levelImages[kLevelThumbnail]->GetWidth(), 60u);
  EXPECT_EQ(ThumbPixels(third->levelImages[kLevelThumbnail]), turned);

  g_settings.cursorToFirstRowOnFolderChange = 1;
  ASSERT_TRUE(LoadFolderCache());
  EXPECT_EQ(g_savedRow, 0);
}

// Marks and turns come back from the file. Before the first load of a session nothing is listed
// and the file named is the one of the folder about to be shown: it stays. A folder left empty
// loses its file.
TEST_F(FolderCache, MarksAndTurnsOutliveTheSessionAndAnEmptiedFolderLosesItsFile) {
  MakeList();
  EntryAt(0)->checked = 1;
  EntryAt(1)->userRotation = 3;
  EntryAt(1)->undoRecords[1].kind = 6;  // deleted, and since put back
  WriteCache();
  const std::wstring file = CacheFile();
  FreeImageEntries();
  g_loadedFolderPath[0] = 0;
  g_cacheDirty = 0;
  BuildFolderCache();
  EXPECT_FALSE(WriteFolderCache());
  ASSERT_TRUE(testsupport::FileExists(file));
  ASSERT_TRUE(LoadFolderCache());
  LoadFolderEntries(pics_.path().c_str());
  ASSERT_EQ(g_entryCount, 3);
  EXPECT_EQ(EntryAt(0)->checked, 1);
  EXPECT_EQ(EntryAt(1)->userRotation, 3);
  EXPECT_EQ(EntryAt(2)->checked, 0);
  EXPECT_EQ(EntryAt(2)->userRotation, 0);
  // The delete step no longer counts, and the file must learn it.
  EXPECT_EQ(EntryAt(1)->currentUndo, 0);
  EXPECT_EQ(g_cacheDirty & 2, 2u);

  FreeImageEntries();
  wcscpy(g_loadedFolderPath, pics_.path().c_str());
  BuildFolderCache();
  EXPECT_FALSE(testsupport::FileExists(file));
}

// A row turned by 180 degrees and left before the list thread drew it again still has its picture
// at the old turn: undoing the new turn would store it upside down, so no pixels are stored. A
// row whose pixels came from the file keeps them whatever its turn.
TEST_F(FolderCache, RowTurnedBeforeItsRedrawStoresNoPixelsOfItsOwn) {
  MakeList();
  EntryAt(0)->userRotation = 2;
  EntryAt(0)->flags |= kEntryRenderAgain;  // as the turn command leaves it
  WriteCache();
  std::vector<uint8_t> bytes = ReadAll(CacheFile());
  CacheView view;
  ASSERT_TRUE(OpenCacheView(bytes.data(), bytes.size(), 5.16, true, &view));
  EXPECT_EQ(view.PixelBlock(0), nullptr);
  ASSERT_NE(view.PixelBlock(2), nullptr);
  const std::vector<uint8_t> upright(view.PixelBlock(2), view.PixelBlock(2) + kCachePixelBlockSize);

  FreeImageEntries();
  ASSERT_TRUE(LoadFolderCache());
  LoadFolderEntries(pics_.path().c_str());
  ASSERT_EQ(g_entryCount, 3);
  g_listCount = 3;
  ImageEntry* third = EntryAt(2);
  ASSERT_GE(third->cacheIndex, 0);
  third->userRotation = 2;
  third->flags |= kEntryRenderAgain;
  WriteCache();
  bytes = ReadAll(CacheFile());
  ASSERT_TRUE(OpenCacheView(bytes.data(), bytes.size(), 5.16, true, &view));
  ASSERT_NE(view.PixelBlock(2), nullptr);
  EXPECT_TRUE(std::equal(upright.begin(), upright.end(), view.PixelBlock(2)));
}

// A data folder on a share (the program started from one): its cache is kept, read and cleared there.
TEST_F(FolderCache, CacheOnAShareIsKeptAndCleared) {
  std::wstring local;
  const std::wstring share = testsupport::MakeWineShare(L"brn" + std::to_wstring(GetCurrentProcessId()), &local);
  if (share.empty()) GTEST_SKIP() << "no share of this machine can be made here";
  wcscpy(reinterpret_cast<wchar_t*>(g_settings.dataFolder), share.c_str());
  ASSERT_TRUE(GetCacheFolder(cacheFolder_));
  MakeList();
  WriteCache();
  FreeImageEntries();
  ASSERT_TRUE(LoadFolderCache());
  EXPECT_EQ(g_loadedCache.count, 3);
  testsupport::BoxAnswerer yes(IDYES);
  ConfirmAndClearDiskCache(nullptr);
  EXPECT_FALSE(testsupport::FileExists(CacheFile()));
  testsupport::RemoveTree(local);
}

// A histogram picture that cannot be read back stores zeros, never the bytes of the row before.
TEST_F(FolderCache, UnreadableHistogramStoresZeros) {
  MakeList();
  Bitmap* coloured = new Bitmap(32, 16, PixelFormat32bppARGB);
  {
    Graphics g(coloured);
    g.Clear(Color(0xFF102030));
  }
  delete EntryAt(0)->histogramPicture;
  EntryAt(0)->histogramPicture = coloured;
  delete EntryAt(2)->histogramPicture;
  EntryAt(2)->histogramPicture = new Bitmap(8, 8, PixelFormat24bppRGB);  // too small to lock 32 x 16
  WriteCache();
  std::vector<uint8_t> bytes = ReadAll(CacheFile());
  CacheView view;
  ASSERT_TRUE(OpenCacheView(bytes.data(), bytes.size(), 5.16, true, &view));
  const uint8_t* first = view.PixelBlock(0);
  const uint8_t* third = view.PixelBlock(2);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(first[kCacheThumbBytes], 0x30);  // B, G, R of the coloured histogram
  int nonZero = 0;
  for (uint32_t i = 0; i < kCacheHistogramBytes; ++i) nonZero += third[kCacheThumbBytes + i] != 0;
  EXPECT_EQ(nonZero, 0);
}

// A thumbnail rendered for an entry from the cache keeps the entry's counts and takes the cached
// histogram picture as long as it was drawn over the background now set; an entry without
// cached pixels is counted afresh.
TEST_F(FolderCache, CachedHistogramPictureIsTakenOverTheSameBackground) {
  MakeList();
  Bitmap* marked = new Bitmap(32, 16, PixelFormat32bppARGB);
  {
    Graphics g(marked);
    g.Clear(Color(0xFF102030));
  }
  marked->SetPixel(31, 15, Color(0xFF030201));  // a pixel no histogram draws
  delete EntryAt(0)->histogramPicture;
  EntryAt(0)->histogramPicture = marked;
  WriteCache();
  FreeImageEntries();
  ASSERT_TRUE(LoadFolderCache());
  LoadFolderEntries(pics_.path().c_str());
  ImageEntry *cached = nullptr, *uncached = nullptr;
  for (int i = 0; i < g_entryCount; ++i) {
    ImageEntry* e = EntryAt(i);
    std::memset(e->info.histogram, 0, sizeof e->info.histogram);
    if (LoadedCacheHistogram(e->cacheIndex)) {
      if (e->name[1] == u'0') cached = e;
    } else {
      uncached = e;
    }
  }
  ASSERT_NE(cached, nullptr);
  ASSERT_NE(uncached, nullptr);
  HIMAGELIST large = ImageList_Create(88, 60, ILC_COLOR24, 4, 0), small = ImageList_Create(28, 20, ILC_COLOR24, 4, 0);
  HBITMAP blank = CreateBitmap(88, 60, 1, 32, nullptr);
  ImageList_Add(large, blank, nullptr);
  ImageList_Add(small, blank, nullptr);
  ImageList_Add(small, blank, nullptr);
  auto pixel = [](Bitmap* b, int x, int y) {
    Color c;
    b->GetPixel(x, y, &c);
    return c.GetValue();
  };
  g_settings.histogramBackgroundArgb = 0xFF102030;
  ASSERT_TRUE(RenderEntryThumbnail(small, large, cached, 0));
  EXPECT_EQ(pixel(cached->histogramPicture, 31, 15), 0xFF030201u);
  EXPECT_EQ(pixel(cached->histogramPicture, 0, 0), 0xFF102030u);
  int counted = 0;
  for (uint8_t bin : cached->info.histogram) counted += bin;
  EXPECT_EQ(counted, 0);  // not measured again
  g_settings.histogramBackgroundArgb = 0xFF405060;  // changed since: drawn from the counts
  ASSERT_TRUE(RenderEntryThumbnail(small, large, cached, 0));
  EXPECT_EQ(pixel(cached->histogramPicture, 31, 15), 0xFF405060u);
  uncached->levelImages[kLevelThumbnail] = new Bitmap(88, 60, PixelFormat32bppARGB);
  ASSERT_TRUE(RenderEntryThumbnail(small, large, uncached, 0));
  for (uint8_t bin : uncached->info.histogram) counted += bin;
  EXPECT_EQ(counted, 3 * 96);  // 192 pixels a channel, halved
  DeleteObject(blank);
  ImageList_Destroy(large);
  ImageList_Destroy(small);
}

// A cache file that cannot be replaced loses the marks, turns and undo steps of the folder: the
// user is told which file and why. A folder with nothing of the user's and no file yet goes
// quietly: only the thumbnails' time is lost.
TEST_F(FolderCache, AWriteThatLosesTheUsersMarksIsTold) {
  MakeList();
  WriteCache();
  const std::wstring file = CacheFile();
  const std::vector<uint8_t> before = ReadAll(file);
  EntryAt(0)->checked = 1;
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  g_cacheDirty = 2;
  BuildFolderCache();
  {
    testsupport::BoxAnswerer answer(IDOK);
    EXPECT_FALSE(WriteFolderCache());
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text.rfind(L"次のキャッシュファイルを保存できませんでした。", 0), 0u);
    EXPECT_NE(answer.seen[0].text.find(L"\n" + file + L"\n\n"), std::wstring::npos)
        << testing::PrintToString(answer.seen[0].text);
  }
  CloseHandle(held);
  EXPECT_EQ(ReadAll(file), before);

  ASSERT_TRUE(DeleteFileW(file.c_str()));
  EntryAt(0)->checked = 0;
  EntryAt(1)->undoCount = 0;
  g_cacheDirty = 2;
  BuildFolderCache();
  g_safeFileFaultStep = 2;
  {
    testsupport::BoxAnswerer answer(IDOK);
    EXPECT_FALSE(WriteFolderCache());
    EXPECT_TRUE(answer.seen.empty());
  }
  g_safeFileFaultStep = 0;
  EXPECT_FALSE(testsupport::FileExists(file));
}

TEST_F(FolderCache, CursorOnlyRewritesTheHeaderAndOldVersionsAreIgnored) {
  MakeList();
  WriteCache();
  const std::wstring file = CacheFile();
  std::vector<uint8_t> before = ReadAll(file);
  g_cacheDirty = 1;
  g_savedRow = 7;  // clamped to the last row
  BuildFolderCache();
  EXPECT_FALSE(WriteFolderCache());
  std::vector<uint8_t> after = ReadAll(file);
  ASSERT_EQ(after.size(), before.size());
  int32_t row;
  std::memcpy(&row, &after[536], 4);
  EXPECT_EQ(row, 2);
  std::memcpy(&after[536], &before[536], 4);
  EXPECT_EQ(after, before);

  for (const char16_t* version : {u"5.15", u"5.16", u"5.2", u"4.99", u""}) {
    std::vector<uint8_t> bytes = before;
    std::memset(bytes.data(), 0, 16);
    for (int i = 0; version[i]; ++i) std::memcpy(&bytes[i * 2], &version[i], 2);
    testsupport::WriteWholeFile(file, bytes.data(), bytes.size());
    bool accepted = std::u16string(version) == u"5.16" || std::u16string(version) == u"5.2";
    EXPECT_EQ(LoadFolderCache(), accepted) << static_cast<int>(version[0]);
  }
}

TEST_F(FolderCache, DamagedFilesAreIgnored) {
  MakeList();
  WriteCache();
  const std::wstring file = CacheFile();
  const std::vector<uint8_t> good = ReadAll(file);
  auto patch = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
    std::memcpy(&b[at], &v, 4);
    return b;
  };
  const size_t records = 548 + 8 * 3;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 300)},
      {"fixed part cut", std::vector<uint8_t>(good.begin(), good.begin() + 3000)},
      {"count huge", patch(good, 540, 65535)},
      {"count negative", patch(good, 540, 0x80000000u)},
      {"fixed size beyond file", patch(good, 544, 0x7FFFFFFFu)},
      {"fixed size too small", patch(good, 544, 600)},
      {"undo offset outside", patch(good, 548 + 4, 0xFFFFFFF0u)},
      {"undo count huge", patch(good, records + 1624 + 1552, 0x7FFFFFFFu)},
      {"pixel offset outside", patch(good, 548 + 12, static_cast<uint32_t>(good.size()) - 100)},
      {"pixel offset in the records", patch(good, 548 + 12, 600)},
  };
  // The good file's block, let go, is read into again: what it held must not pass for the file.
  ASSERT_TRUE(LoadFolderCache());
  for (const Case& c : cases) {
    testsupport::WriteWholeFile(file, c.bytes.data(), c.bytes.size());
    EXPECT_FALSE(LoadFolderCache()) << c.what;
    EXPECT_EQ(g_loadedCache.count, 0) << c.what;
    EXPECT_EQ(LoadedCacheThumbnail(0), nullptr);
  }
  testsupport::WriteWholeFile(file, good.data(), good.size());
  ASSERT_TRUE(LoadFolderCache());
  EXPECT_EQ(g_loadedCache.size, good.size());
  EXPECT_EQ(std::memcmp(g_loadedCache.block, good.data(), good.size()), 0);
}

// A file held by another program when the folder is opened is not in the list: the block built
// from the list when it is left never replaces it. A damaged file is replaced.
TEST_F(FolderCache, AFileThatCouldNotBeReadIsNotReplaced) {
  MakeList();
  EntryAt(0)->checked = 1;
  WriteCache();
  const std::vector<uint8_t> good = ReadAll(CacheFile());
  FreeImageEntries();
  HANDLE lock = CreateFileW(CacheFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(LoadFolderCache());
  CloseHandle(lock);
  LoadFolderEntries(pics_.path().c_str());
  g_listCount = g_entryCount;
  g_cacheDirty = 2;
  BuildFolderCache();
  EXPECT_FALSE(WriteFolderCache());
  EXPECT_EQ(ReadAll(CacheFile()), good);
  testsupport::WriteWholeFile(CacheFile(), good.data(), 300);
  EXPECT_FALSE(LoadFolderCache());
  WriteCache();
}

TEST_F(FolderCache, TrimListAndCleanUp) {
  EnsureFolderExists(cacheFolder_, 0);
  std::wstring folder(cacheFolder_);
  auto make = [&](const std::wstring& name, int age) {
    std::vector<uint8_t> bytes(1000, 1);
    testsupport::WriteWholeFile(folder + name, bytes.data(), bytes.size());
    HANDLE h = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME t;
    ULARGE_INTEGER v;
    v.QuadPart = 130000000000000000ull + static_cast<uint64_t>(1000 - age) * 10000000ull;
    t.dwLowDateTime = v.LowPart;
    t.dwHighDateTime = v.HighPart;
    SetFileTime(h, nullptr, nullptr, &t);
    CloseHandle(h);
  };
  for (int i = 0; i < 130; ++i) make(L"C\xFF1A\xFFE5" L"f" + std::to_wstring(i) + L".cac", i);
  make(L"Lib\xFF1A" L"old.cac", 999);
  make(L"\xFFE5\xFFE5server\xFFE5share.cac", 500);

  std::vector<CacheHistoryRow> rows(kCacheHistoryRows + 5);
  int n = ListCacheFiles(rows.data(), static_cast<int>(rows.size()));
  ASSERT_EQ(n, kCacheHistoryRows);
  EXPECT_STREQ(rows[0].folder, L"C:\\f0");  // newest first, across all files
  EXPECT_STREQ(rows[127].folder, L"C:\\f127");

  // Trimming to three files' worth spares the collection cache and passes over a locked file.
  HANDLE locked = CreateFileW((folder + L"C\xFF1A\xFFE5" L"f129.cac").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  g_settings.trimCacheFolder = 1;
  g_settings.keepCollectionCaches = 1;
  TrimCacheFolder(3000);
  CloseHandle(locked);
  EXPECT_TRUE(testsupport::FileExists(folder + L"Lib\xFF1A" L"old.cac"));
  EXPECT_TRUE(testsupport::FileExists(folder + L"C\xFF1A\xFFE5" L"f129.cac"));
  EXPECT_TRUE(testsupport::FileExists(folder + L"C\xFF1A\xFFE5" L"f0.cac"));
  EXPECT_FALSE(testsupport::FileExists(folder + L"C\xFF1A\xFFE5" L"f1.cac"));
  EXPECT_EQ(ListCacheFiles(rows.data(), 128), 2);

  {
    testsupport::BoxAnswerer no(IDNO);
    ConfirmAndClearDiskCache(nullptr);
    ASSERT_EQ(no.seen.size(), 1u);
    EXPECT_EQ(no.seen[0].text, L"キャッシュデータを全て削除します。\n実行しますか？");
  }
  EXPECT_EQ(ListCacheFiles(rows.data(), 128), 2);
  // A deep folder's cache file, whose path is longer than 260 characters, goes all the same.
  const std::wstring deep = L"\\\\?\\" + folder + L"C\xFF1A\xFFE5" + std::wstring(230, L'd') + L".cac";
  ASSERT_TRUE(testsupport::WriteWholeFile(deep, "x", 1));
  {
    testsupport::BoxAnswerer yes(IDYES);
    ConfirmAndClearDiskCache(nullptr);
  }
  EXPECT_EQ(ListCacheFiles(rows.data(), 128), 0);
  EXPECT_EQ(GetFileAttributesW(deep.c_str()), INVALID_FILE_ATTRIBUTES);

  // Empty sub-folders go; one holding a file stays and its error is reported.
  std::wstring root = pics_.path();
  CreateDirectoryW((root + L"\\a").c_str(), nullptr);
  CreateDirectoryW((root + L"\\a\\b").c_str(), nullptr);
  CreateDirectoryW((root + L"\\full").c_str(), nullptr);
  testsupport::WriteWholeFile(root + L"\\full\\x.bin", "x", 1);
  EXPECT_NE(RemoveEmptySubfolders(root.c_str(), true), 0u);
  EXPECT_FALSE(testsupport::FileExists(root + L"\\a"));
  EXPECT_TRUE(testsupport::FileExists(root + L"\\full\\x.bin"));
  DeleteFileW((root + L"\\full\\x.bin").c_str());
  EXPECT_EQ(RemoveEmptySubfolders(root.c_str(), true), 0u);
  EXPECT_TRUE(testsupport::FileExists(root));
}

}  // namespace
