// The entry's picture levels made from real files through GDI+.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "core/preview_loader.h"
#include "core/app_globals.h"
#include "core/embedded_colour.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "resources/resource.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/semaphore_lock.h"
#include "core/jpeg_scaled.h"
#include "core/memory.h"
#include "core/range_read.h"
#include "core/row_picture_store.h"
#include "core/spare_memory.h"
#include "core/settings.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/camera_models.h"
#include "tests/support/dng_writer.h"
#include "tests/support/entry_lists.h"
#include "tests/support/gdiplus_session.h"
#include "tests/support/win_test_support.h"

using namespace Gdiplus;
using testsupport::BoxAnswerer;
using testsupport::BuildThumbnailLocked;
using testsupport::DeleteFileEntry;
using testsupport::NewFileEntry;
using testsupport::EncodedBytes;
using testsupport::EncoderFor;
using testsupport::ScratchDir;

namespace {

// A picture whose top-left quarter is red and the rest blue, encoded by GDI+.
std::vector<uint8_t> MakePicture(int width, int height, const wchar_t* mime) {
  Bitmap bitmap(width, height, PixelFormat24bppRGB);
  {
    Graphics g(&bitmap);
    SolidBrush blue(Color(255, 0, 0, 255)), red(Color(255, 255, 0, 0));
    g.FillRectangle(&blue, 0, 0, width, height);
    g.FillRectangle(&red, 0, 0, width / 2, height / 2);
  }
  CLSID clsid;
  EXPECT_TRUE(EncoderFor(mime, &clsid));
  return EncodedBytes(bitmap, clsid);
}

int RowWithRawFlag() {
  for (int r = 0; r < kCameraModelRows; ++r)
    if ((kCameraModelTable[r].rawFlag & 0xFF) == 1 && kCameraModelTable[r].code != kUnknownModelCode) return r;
  return -1;
}

int RowWithViewMargins() {
  for (int r = 0; r < kCameraModelRows; ++r)
    if (kCameraModelTable[r].viewMargins.top == 24 && kCameraModelTable[r].viewMargins.bottom == 24) return r;
  return -1;
}

int g_allocations = 0;
HGLOBAL WINAPI CountingAlloc(UINT flags, SIZE_T bytes) {
  ++g_allocations;
  return GlobalAlloc(flags, bytes);
}

Color PixelAt(Image* image, int x, int y) {
  Color c;
  static_cast<Bitmap*>(image)->GetPixel(x, y, &c);
  return c;
}

class ImagePipeline : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GdiplusStartupInput input;
    GdiplusStartup(&token_, &input, nullptr);
    BuildCameraModelIndex();
  }
  static void TearDownTestSuite() { GdiplusShutdown(token_); }
  void SetUp() override {
    SetDefaultSettings();
    g_settings.autoRotateByExif = 1;
    g_rawFailureArmed = 1;
  }
  void TearDown() override {
    for (ImageEntry* e : entries_) DeleteFileEntry(e);
  }
  ImageEntry* NewEntry(const std::wstring& path, uint32_t type, int modelRow = -1) {
    ImageEntry* e = NewFileEntry(path, type, modelRow);
    entries_.push_back(e);
    return e;
  }
  std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    std::wstring path = dir_.File(name);
    EXPECT_TRUE(testsupport::WriteWholeFile(path, bytes.data(), bytes.size()));
    return path;
  }
  static ULONG_PTR token_;
  ScratchDir dir_;
  std::vector<ImageEntry*> entries_;
};
ULONG_PTR ImagePipeline::token_ = 0;

TEST_F(ImagePipeline, ThumbnailIs88x60ArgbTurnedByOrientation) {
  const std::wstring path = Write(L"a.bmp", MakePicture(200, 100, L"image/bmp"));
  struct Case {
    int orientation, autoRotate, userTurns, exifTurns, width, height;
  } cases[] = {
      {1, 1, 0, 0, 88, 60}, {6, 1, 0, 1, 60, 88}, {3, 1, 0, 2, 88, 60}, {8, 1, 0, 3, 60, 88},
      {6, 0, 0, 0, 88, 60},  // auto-rotation off
      {3, 1, 3, 2, 60, 88},  // user 3 + Exif 2: one quarter turn
      {2, 1, 0, 0, 88, 60},
  };
  for (const Case& c : cases) {
    g_settings.autoRotateByExif = static_cast<uint8_t>(c.autoRotate);
    ImageEntry* e = NewEntry(path, 0x1);  // BMP
    e->info.orientation = static_cast<int8_t>(c.orientation);
    e->userRotation = static_cast<int8_t>(c.userTurns);
    e->exifRotation = 2;  // stale value: a thumbnail always sets it
    ASSERT_TRUE(BuildThumbnailLocked(e)) << c.orientation;
    Image* t = e->levelImages[kLevelThumbnail];
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(e->exifRotation, c.exifTurns) << c.orientation;
    EXPECT_EQ(t->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(static_cast<int>(t->GetWidth()), c.width) << c.orientation;
    EXPECT_EQ(static_cast<int>(t->GetHeight()), c.height) << c.orientation;
    // Where the red corner went: clockwise turns move it top-left -> top-right -> bottom-right.
    int turns = (c.userTurns + c.exifTurns) % 4;
    int x = (turns == 1 || turns == 2) ? c.width - 3 : 2;
    int y = (turns == 2 || turns == 3) ? c.height - 3 : 2;
    Color corner = PixelAt(t, x, y);
    EXPECT_GT(corner.GetR(), 200) << c.orientation << " turns " << turns;
    EXPECT_LT(corner.GetB(), 60);
    EXPECT_EQ(e->levelBlocks[kLevelThumbnail], nullptr);  // only the bitmap stays
    EXPECT_EQ(e->levelStreams[kLevelThumbnail], nullptr);
    EXPECT_EQ(e->info.width, 200);
    EXPECT_EQ(e->info.height, 100);
    EXPECT_STREQ(reinterpret_cast<wchar_t*>(e->info.pixelSize), L"200*100");
  }
}

TEST_F(ImagePipeline, MrwPreviewGetsJpegStartMarker) {
  std::vector<uint8_t> jpeg = MakePicture(64, 48, L"image/jpeg");
  ASSERT_EQ(jpeg[0], 0xFF);
  std::vector<uint8_t> file(100, 0x11);
  std::vector<uint8_t> damaged = jpeg;
  damaged[0] = 0x00;
  damaged[1] = 0x4D;
  file.insert(file.end(), damaged.begin(), damaged.end());
  const std::wstring path = Write(L"a.mrw", file);
  ImageEntry* e = NewEntry(path, 0x100);
  e->info.thumbOffset = e->info.previewOffset = 100;
  e->info.thumbSize = e->info.previewSize = static_cast<int32_t>(jpeg.size());
  EXPECT_TRUE(BuildThumbnailLocked(e));
  EXPECT_TRUE(DecodeViewImage(e));
  EXPECT_EQ(e->levelImages[kLevelView]->GetWidth(), 64u);

  const std::wstring out = dir_.File(L"preview.jpg");
  ASSERT_TRUE(ExportEmbeddedPreview(e, out.c_str()));
  std::vector<uint8_t> written;
  ASSERT_TRUE(testsupport::ReadWholeFile(out, &written));
  EXPECT_EQ(written, jpeg);
  // An existing target (the camera's own JPEG of a pair) is never replaced.
  EXPECT_FALSE(ExportEmbeddedPreview(e, out.c_str()));
  EXPECT_FALSE(ExportEmbeddedPreview(e, path.c_str()));
  ASSERT_TRUE(testsupport::ReadWholeFile(path, &written));
  EXPECT_EQ(written, file);
}

TEST_F(ImagePipeline, PreviewIsTurnedCroppedAndReadOnlyWhenWhole) {
  const std::vector<uint8_t> jpeg = MakePicture(80, 40, L"image/jpeg");
  const int32_t size = static_cast<int32_t>(jpeg.size());
  struct Case {
    uint32_t type;
    int modelRow, pictureHeight, orientation;
    bool damaged;
    int width, height;  // of the preview, 0 when there is none
  } cases[] = {
      {0x2, -1, 40, 6, false, 40, 80},    // turned a quarter clockwise
      {0x100, -1, 40, 1, true, 80, 40},   // MRW: start marker restored
      {0x2, -1, 40, 1, true, 0, 0},       // any other damaged JPEG stays damaged
      {0x2, RowWithViewMargins(), 100, 1, false, 80, 52},
      {0x2, RowWithViewMargins(), 40, 1, false, 80, 40},  // margins wider than the picture
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> picture = c.pictureHeight == 40 ? jpeg : MakePicture(80, c.pictureHeight, L"image/jpeg");
    ASSERT_GT(picture.size(), 2u);
    if (c.damaged) picture[0] = 0x00, picture[1] = 0x4D;
    std::vector<uint8_t> bytes(100 + picture.size(), 0x11);
    std::copy(picture.begin(), picture.end(), bytes.begin() + 100);
    const std::wstring casePath = Write(L"case.jpg", bytes);
    ImageEntry* e = NewEntry(casePath, c.type, c.modelRow);
    e->info.orientation = static_cast<int8_t>(c.orientation);
    e->info.previewOffset = 100;
    e->info.previewSize = static_cast<int32_t>(picture.size());
    e->exifRotation = c.orientation == 6 ? 1 : 0;  // as level 0 leaves it
    Image* image = reinterpret_cast<Image*>(1);
    HGLOBAL block = reinterpret_cast<HGLOBAL>(1);
    bool ok = LoadPreviewBitmap(nullptr, e, &image, &block);
    SCOPED_TRACE(c.type);
    if (c.width == 0) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(image, nullptr);
      EXPECT_EQ(block, nullptr);  // freed with its stream
      continue;
    }
    ASSERT_TRUE(ok);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<int>(image->GetWidth()), c.width);
    EXPECT_EQ(static_cast<int>(image->GetHeight()), c.height);
    if (c.orientation == 6) {  // the red top-left quarter is now top-right
      Color corner = PixelAt(image, c.width - 3, 2);
      EXPECT_GT(corner.GetR(), 200);
      EXPECT_LT(PixelAt(image, 2, 2).GetR(), 60);
    }
    delete image;
    FreeGlobal(block);
  }

  // A range running past the end of the file (or a file cut short) fails before any block is
  // allocated.
  g_globalAllocFn = CountingAlloc;
  g_allocations = 0;
  std::vector<uint8_t> file(100 + size / 2, 0x11);
  std::copy(jpeg.begin(), jpeg.begin() + size / 2, file.begin() + 100);
  ImageEntry* cut = NewEntry(Write(L"cut.jpg", file), 0x2);
  cut->info.previewOffset = 100;
  cut->info.previewSize = size;
  Image* image = nullptr;
  HGLOBAL block = nullptr;
  EXPECT_FALSE(LoadPreviewBitmap(nullptr, cut, &image, &block));
  cut->info.previewSize = 0x7FFFFFF0;
  EXPECT_FALSE(LoadPreviewBitmap(nullptr, cut, &image, &block));
  ImageEntry* empty = NewEntry(Write(L"empty.jpg", {}), 0x2);
  EXPECT_FALSE(LoadPreviewBitmap(nullptr, empty, &image, &block));
  g_globalAllocFn = GlobalAlloc;
  EXPECT_EQ(g_allocations, 0);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(block, nullptr);
}

TEST_F(ImagePipeline, UnreadableSourcesMarkTheEntryVanished) {
  const std::wstring good = Write(L"g.bmp", MakePicture(40, 30, L"image/bmp"));
  const std::wstring junk = Write(L"j.bmp", std::vector<uint8_t>(500, 0x42));
  struct Case {
    std::wstring path;
    int32_t offset, size;
  } cases[] = {
      {dir_.File(L"missing.bmp"), 0, 0},
      {junk, 0, 0},          // GDI+ cannot decode it
      {good, 1 << 30, 100},  // seek beyond the end: short read
      {good, 10, 1 << 20},   // range running past the end
      {good, -5, 10},
  };
  for (const Case& c : cases) {
    ImageEntry* e = NewEntry(c.path, 0x1);
    e->info.thumbOffset = e->info.previewOffset = c.offset;
    e->info.thumbSize = e->info.previewSize = c.size;
    EXPECT_FALSE(BuildThumbnailLocked(e)) << c.offset;
    // Only the file that is gone has vanished; the others are there but unreadable.
    EXPECT_EQ(e->presence, &c == &cases[0] ? kEntryVanished : kEntryPresent) << c.offset;
    EXPECT_EQ(e->levelImages[kLevelThumbnail], nullptr);
    EXPECT_EQ(e->levelBlocks[kLevelThumbnail], nullptr);
    e->presence = kEntryPresent;
    if (c.path == junk) {
      // A file that is there but cannot be decoded is viewed as unreadable and stays listed.
      EXPECT_TRUE(DecodeViewImage(e));
      EXPECT_EQ(e->presence, kEntryPresent);
      EXPECT_NE(e->levelImages[kLevelView], nullptr);
      ReleaseEntryLevel(e, kLevelView, 0);
    } else {
      EXPECT_FALSE(DecodeViewImage(e));
      EXPECT_EQ(e->presence, kEntryVanished);
    }
  }
  // The head-of-file range (256 KiB from the start) of a smaller file is the whole file.
  ImageEntry* small = NewEntry(good, 0x1);
  small->info.thumbSize = 262144;
  EXPECT_TRUE(BuildThumbnailLocked(small));
  EXPECT_EQ(small->presence, kEntryPresent);
}

HGLOBAL WINAPI FailingAlloc(UINT, SIZE_T) { return nullptr; }

// Only a file that is gone is marked vanished: short of memory the file is still there, and a
// movie without a frame (no codec to render it) is still listed as present.
TEST_F(ImagePipeline, NoMemoryAndFramelessMoviesAreNotVanished) {
  const std::wstring good = Write(L"m.bmp", MakePicture(40, 30, L"image/bmp"));
  ImageEntry* e = NewEntry(good, 0x1);
  ReleaseSpareMemory();  // a block kept from an earlier picture would need no allocation
  g_globalAllocFn = FailingAlloc;
  EXPECT_FALSE(DecodeViewImage(e));
  g_globalAllocFn = GlobalAlloc;
  ResetMemoryPressure();
  EXPECT_EQ(e->presence, kEntryPresent);
  EXPECT_TRUE(DecodeViewImage(e));  // the next try reads it

  const std::wstring clip = Write(L"clip.avi", std::vector<uint8_t>(64, 0x11));
  ImageEntry* movie = NewEntry(clip, kFileTypeMovie);
  EXPECT_FALSE(BuildThumbnailLocked(movie));
  EXPECT_EQ(movie->presence, kEntryPresent);
  ImageEntry* gone = NewEntry(dir_.File(L"gone.avi"), kFileTypeMovie);
  EXPECT_FALSE(BuildThumbnailLocked(gone));
  EXPECT_EQ(gone->presence, kEntryVanished);
}

// A full development whose picture could not be decoded keeps its block and stream; the next
// attempt opens a new stream and lets go of the old one.
TEST_F(ImagePipeline, FullDevelopmentLetsGoOfAStaleStream) {
  const int row = RowWithRawFlag();
  ASSERT_GE(row, 0);
  ImageEntry* e = NewEntry(dir_.File(L"x.dng"), 0x4000, row);
  HGLOBAL junk = GlobalAlloc(GMEM_FIXED, 64);
  ASSERT_NE(junk, nullptr);
  std::memset(junk, 0x42, 64);
  e->levelBlocks[kLevelFull] = junk;
  e->fullLevelSize = 64;
  DevelopFullImage(e, 2);
  ASSERT_EQ(e->levelImages[kLevelFull], nullptr);
  IStream* first = e->levelStreams[kLevelFull];
  ASSERT_NE(first, nullptr);
  first->AddRef();
  DevelopFullImage(e, 2);
  EXPECT_NE(e->levelStreams[kLevelFull], nullptr);
  EXPECT_EQ(first->Release(), 0u);  // nobody else holds it any more
  EXPECT_EQ(e->levelBlocks[kLevelFull], junk);
}

TEST_F(ImagePipeline, ReleasedViewImageDecodesAgainFromItsBlock) {
  const std::wstring path = Write(L"v.bmp", MakePicture(120, 80, L"image/bmp"));
  ImageEntry* e = NewEntry(path, 0x1);
  ASSERT_TRUE(DecodeViewImage(e));
  ASSERT_NE(e->levelBlocks[kLevelView], nullptr);
  ReleaseEntryLevel(e, kLevelView, 1);
  EXPECT_EQ(e->levelImages[kLevelView], nullptr);
  EXPECT_NE(e->levelBlocks[kLevelView], nullptr);
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  ASSERT_TRUE(DecodeViewImage(e));  // from the kept block, without the file
  EXPECT_EQ(e->levelImages[kLevelView]->GetWidth(), 120u);
  ReleaseEntryLevel(e, kLevelView, 0);
  EXPECT_EQ(e->levelImages[kLevelView], nullptr);
  EXPECT_EQ(e->levelBlocks[kLevelView], nullptr);
  EXPECT_EQ(e->levelStreams[kLevelView], nullptr);

  e->fullLevelSize = 1234;
  e->levelBlocks[kLevelFull] = GlobalAlloc(GMEM_FIXED, 16);
  e->flags = kEntryWantFullDevelopment | kEntryDevelopmentCleared | kEntryInfoRead;
  ReleaseEntryLevel(e, kLevelFull, 0);
  EXPECT_EQ(e->levelBlocks[kLevelFull], nullptr);
  EXPECT_EQ(e->fullLevelSize, 0);
  EXPECT_EQ(e->flags, kEntryInfoRead);
}

// A pane draws every level under "sema": a developed picture is not freed while one draws it.
TEST_F(ImagePipeline, DevelopedPictureWaitsForThePaneDrawingIt) {
  HANDLE sema = CreateSemaphoreW(nullptr, 1, 1, nullptr), raw = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  g_semaphores[kSemaImage] = sema;
  g_semaphores[kSemaRaw] = raw;
  ImageEntry* e = NewEntry(Write(L"f.bmp", MakePicture(8, 8, L"image/bmp")), 0x1);
  e->levelImages[kLevelFull] = new Gdiplus::Bitmap(8, 8, PixelFormat24bppRGB);
  ASSERT_EQ(WaitForSingleObject(sema, 0), WAIT_OBJECT_0);  // the pane drawing
  HANDLE freeing = CreateThread(nullptr, 0, [](void* entry) -> DWORD {
    ReleaseEntryLevel(static_cast<ImageEntry*>(entry), kLevelFull, 0);
    return 0;
  }, e, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(freeing, 300), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_NE(e->levelImages[kLevelFull], nullptr);
  ReleaseSemaphore(sema, 1, nullptr);
  EXPECT_EQ(WaitForSingleObject(freeing, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(e->levelImages[kLevelFull], nullptr);
  CloseHandle(freeing);
  g_semaphores[kSemaImage] = g_semaphores[kSemaRaw] = nullptr;
  CloseHandle(sema);
  CloseHandle(raw);
}

TEST_F(ImagePipeline, RawFailureBoxOncePerListLoadAndNotUnderTheSemaphore) {
  int rawRow = RowWithRawFlag();
  ASSERT_GE(rawRow, 0);
  const std::wstring path = Write(L"bad.dng", std::vector<uint8_t>(4096, 0x5A));
  HANDLE sema = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  g_semaphores[kSemaImage] = sema;
  {
    BoxAnswerer answer(IDOK);
    for (int i = 0; i < 3; ++i) {
      ImageEntry* e = NewEntry(path, 0x4000, rawRow);  // DNG without an embedded thumbnail
      EXPECT_FALSE(BuildThumbnailLocked(e));
    }
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text, L"RAW現像に失敗しました。");
    g_rawFailureArmed = 1;  // the next list load
    HGLOBAL block = nullptr;
    EXPECT_TRUE(DevelopRawEighthSize(NewEntry(path, 0x4000, rawRow), &block));
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(answer.seen.size(), 2u);
    g_rawFailureArmed = 1;
    {
      RawFailureBoxHold hold;  // as the thumbnail renderer holds it around its locked stretch
      EXPECT_TRUE(DevelopRawEighthSize(NewEntry(path, 0x4000, rawRow), &block));
      EXPECT_EQ(answer.seen.size(), 2u);
    }
    EXPECT_EQ(answer.seen.size(), 3u);
    // An unknown model is never developed, and says so without a box.
    EXPECT_FALSE(DevelopRawEighthSize(NewEntry(path, 0x4000), &block));
    EXPECT_EQ(answer.seen.size(), 3u);
  }
  // The semaphore came back after every path.
  EXPECT_EQ(WaitForSingleObject(sema, 0), WAIT_OBJECT_0);
  ReleaseSemaphore(sema, 1, nullptr);
  g_semaphores[kSemaImage] = nullptr;
  CloseHandle(sema);
}

}  // namespace

TEST_F(ImagePipeline, CachedImagesReleasedOutsideTheSelectedWindow) {
  constexpr int kRows = 10;
  void* pointers[kRows];
  uint16_t order[kRows];
  void** savedPointers = g_entryPointers;
  uint16_t* savedOrder = g_displayOrder;
  const int32_t savedEntries = g_entryCount, savedList = g_listCount, savedRequested = g_paneRequested[0];
  g_entryPointers = pointers;
  g_displayOrder = order;
  g_entryCount = g_listCount = kRows;
  g_paneRequested[0] = 9;  // the single pane shows row 9
  auto fill = [&](auto selected) {
    for (ImageEntry* e : entries_) DeleteFileEntry(e);
    entries_.clear();
    for (int i = 0; i < kRows; ++i) {
      ImageEntry* e = NewEntry(L"C:\\x.jpg", 0x1);
      e->presence = selected(i) ? kEntryPresent | kEntrySelected : kEntryPresent;
      e->levelImages[kLevelThumbnail] = new Bitmap(2, 2);
      e->levelImages[kLevelView] = new Bitmap(2, 2);
      pointers[i] = e;
      order[i] = static_cast<uint16_t>(kRows - 1 - i);  // rows run backwards through the entries
    }
  };
  auto viewRows = [&] {
    std::string rows;
    for (int r = 0; r < kRows; ++r) rows += EntryAtRow(r)->levelImages[kLevelView] ? '1' : '.';
    return rows;
  };

  fill([](int) { return true; });
  ReleaseCachedImages(5, 1);
  EXPECT_EQ(viewRows(), "....111..1");  // the window 4..6 and the pane's row stay
  for (ImageEntry* e : entries_) EXPECT_NE(e->levelImages[kLevelThumbnail], nullptr);

  fill([](int i) { return i == 1 || i == 4 || i == 8; });
  ReleaseCachedImages(4, 2);  // fewer selected rows than the window holds
  EXPECT_EQ(viewRows(), "1111111111");

  ReleaseCachedImages(3, 0);  // by entry number: entry 3 is row 6
  EXPECT_EQ(viewRows(), "111111.111");

  ReleaseCachedImages(-1, 0);
  for (ImageEntry* e : entries_) EXPECT_EQ(e->levelImages[kLevelThumbnail], nullptr);

  g_entryPointers = savedPointers;
  g_displayOrder = savedOrder;
  g_entryCount = savedEntries;
  g_listCount = savedList;
  g_paneRequested[0] = savedRequested;
}

// The goexif camera samples are cut after their Exif segment (the picture itself stripped): the
// preview is then their Exif thumbnail. Entries are filled as the list thread fills them.
TEST_F(ImagePipeline, PreviewOfEveryCameraSample) {
  const std::wstring dir = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";
  struct Known {
    const wchar_t* name;
    int width, height;
  } known[] = {
      {L"f1-exif.jpg", 40, 80},  // a whole JPEG: its own picture
      {L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg", 160, 120},
      {L"2007-08-15-14-42-46-sep-2007-08-15-14-42-46a.jpg", 120, 160},
      {L"2011-05-07-13-02-49-sep-2011-05-07-13-02-49a.jpg", 320, 240},
      {L"2012-12-19-21-38-40-sep-temple_square1.jpg", 800, 480},
  };
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((dir + L"*.jpg").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  static wchar_t text[8192];
  int files = 0, checked = 0;
  do {
        const std::wstring path = dir + found.cFileName;
    const std::string name(path.begin() + static_cast<std::ptrdiff_t>(dir.size()), path.end());  // ASCII names
    ImageEntry* e = NewEntry(path, kFileTypeJpg);
    DumpImageMetadataWide(path.c_str(), text, 8192);
    FillImageInfoFromText(e->info, text, false);
    Image* image = nullptr;
    HGLOBAL block = nullptr;
    // This one is cut inside its tables and keeps no thumbnail: nothing to show.
    const bool none = name == "FailedHash-NoDate-sep-remembory.jpg";
    EXPECT_EQ(LoadPreviewBitmap(nullptr, e, &image, &block), !none) << name;
    ++files;
    if (!image) continue;
    EXPECT_NE(block, nullptr);
    EXPECT_GE(image->GetWidth(), 40u) << name;
    EXPECT_GE(image->GetHeight(), 40u) << name;
    for (const Known& k : known) {
      if (_wcsicmp(k.name, found.cFileName) != 0) continue;
      EXPECT_EQ(static_cast<int>(image->GetWidth()), k.width) << name;
      EXPECT_EQ(static_cast<int>(image->GetHeight()), k.height) << name;
      ++checked;
    }
    delete image;
    FreeGlobal(block);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  EXPECT_GE(files, 50);
  EXPECT_EQ(checked, 5);

  // A cut JPEG without an Exif thumbnail has nothing to show, and never reaches the decoder.
  std::vector<uint8_t> cut = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0, 0xFF, 0xE2, 0x40, 0x00, 1, 2};
  ImageEntry* bare = NewEntry(Write(L"cut.jpg", cut), kFileTypeJpg);
  Image* image = reinterpret_cast<Image*>(1);
  HGLOBAL block = reinterpret_cast<HGLOBAL>(1);
  EXPECT_FALSE(LoadPreviewBitmap(nullptr, bare, &image, &block));
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(block, nullptr);
}

namespace {
// Mean and largest difference per channel of two 24-bit pictures of one size; false when the
// sizes differ or one cannot be read.
bool Differ(Bitmap* a, Bitmap* b, double* mean, int* largest) {
  const int w = static_cast<int>(a->GetWidth()), h = static_cast<int>(a->GetHeight());
  if (w != static_cast<int>(b->GetWidth()) || h != static_cast<int>(b->GetHeight())) return false;
  Rect all(0, 0, w, h);
  BitmapData da{}, db{};
  if (a->LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &da) != Ok) return false;
  if (b->LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &db) != Ok) {
    a->UnlockBits(&da);
    return false;
  }
  double sum = 0;
  *largest = 0;
  for (int y = 0; y < h; ++y) {
    const uint8_t* pa = static_cast<const uint8_t*>(da.Scan0) + static_cast<ptrdiff_t>(y) * da.Stride;
    const uint8_t* pb = static_cast<const uint8_t*>(db.Scan0) + static_cast<ptrdiff_t>(y) * db.Stride;
    for (int x = 0; x < w * 3; ++x) {
      const int d = std::abs(static_cast<int>(pa[x]) - static_cast<int>(pb[x]));
      sum += d;
      *largest = std::max(*largest, d);
    }
  }
  a->UnlockBits(&da);
  b->UnlockBits(&db);
  *mean = sum / (static_cast<double>(w) * h * 3);
  return true;
}

Bitmap* SystemDecode(const std::vector<uint8_t>& bytes) {
  IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (!stream) return nullptr;
  auto* bitmap = new Bitmap(stream, FALSE);
  stream->Release();
  if (bitmap->GetLastStatus() != Ok) {
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}
}  // namespace

// JPEGs are decoded by libjpeg-turbo: whole, the pictures of the camera samples are the system
// decoder's within its rounding; reduced, no smaller than asked; and a file it refuses (damaged,
// cut short) shows as it did through the system decoder.
TEST_F(ImagePipeline, JpegsDecodedByTurboMatchTheSystemAndDamagedOnesStillShow) {
  const std::wstring dir = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((dir + L"*.jpg").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  int compared = 0;
  double worstMean = 0;
  int worst = 0;
  std::vector<std::vector<uint8_t>> samples;
  do {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(testsupport::ReadWholeFile(dir + found.cFileName, &bytes));
    std::unique_ptr<Bitmap> system(SystemDecode(bytes));
    ScaledJpeg turbo;
    if (!DecodeJpegScaled(bytes.data(), bytes.size(), 0, 0, JpegNeed::kCover, &turbo)) continue;
    std::unique_ptr<Bitmap> decoded(turbo.bitmap);
    EXPECT_EQ(turbo.reduction, 1);
    if (!system) continue;
    double mean = 0;
    int largest = 0;
    ASSERT_TRUE(Differ(system.get(), decoded.get(), &mean, &largest)) << found.cFileName;
    EXPECT_LE(mean, 1.0) << found.cFileName;
    EXPECT_LE(largest, 64) << found.cFileName;  // a few pixels at sharp colour edges (chroma upsampling)
    worstMean = std::max(worstMean, mean);
    worst = std::max(worst, largest);
    ++compared;
    if (samples.size() < 8 && bytes.size() > 4000) samples.push_back(bytes);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::printf("compared %d, worst mean %.3f, largest %d\n", compared, worstMean, worst);
  EXPECT_GE(compared, 5);

  // Reduced: 800 x 600 for a 200 x 150 box is a quarter, the red quarter where it was.
  const std::vector<uint8_t> jpeg = MakePicture(800, 600, L"image/jpeg");
  ScaledJpeg quarter;
  ASSERT_TRUE(DecodeJpegScaled(jpeg.data(), jpeg.size(), 200, 150, JpegNeed::kCover, &quarter));
  std::unique_ptr<Bitmap> small(quarter.bitmap);
  EXPECT_EQ(quarter.reduction, 4);
  EXPECT_EQ(quarter.width, 800);
  EXPECT_EQ(small->GetWidth(), 200u);
  EXPECT_EQ(small->GetHeight(), 150u);
  EXPECT_GT(PixelAt(small.get(), 20, 20).GetR(), 200);
  EXPECT_GT(PixelAt(small.get(), 180, 130).GetB(), 200);
  ScaledJpeg fitted;
  ASSERT_TRUE(DecodeJpegScaled(jpeg.data(), jpeg.size(), 300, 100, JpegNeed::kFitInside, &fitted));  // 133 x 100
  delete fitted.bitmap;
  EXPECT_EQ(fitted.reduction, 4);

  // Damaged: cut short, a broken scan, broken tables, CMYK-like garbage after the start marker.
  samples.push_back(jpeg);
  int shown = 0, cases = 0;
  for (size_t s = 0; s < samples.size(); ++s) {
    const std::vector<uint8_t>& good = samples[s];
    std::vector<std::vector<uint8_t>> damaged;
    damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 8));
    std::vector<uint8_t> scan = good;
    for (size_t k = scan.size() * 3 / 4; k < scan.size() * 3 / 4 + 64 && k + 2 < scan.size(); ++k) scan[k] = 0xFF;
    damaged.push_back(scan);
    std::vector<uint8_t> tables = good;
    for (size_t k = 4; k < 400 && k < tables.size(); k += 7) tables[k] ^= 0x5A;
    damaged.push_back(tables);
    for (const std::vector<uint8_t>& bytes : damaged) {
      ++cases;
      std::unique_ptr<Bitmap> system(SystemDecode(bytes));
      const std::wstring path = Write(L"damaged" + std::to_wstring(cases) + L".jpg", bytes);
      ImageEntry* e = NewEntry(path, kFileTypeJpg);
      e->info.thumbOffset = e->info.previewOffset = 0;
      e->info.thumbSize = e->info.previewSize = static_cast<int32_t>(bytes.size());
      const bool thumb = BuildThumbnailLocked(e);
      EXPECT_TRUE(DecodeViewImage(e));  // at worst the picture of unreadable files
      if (system) {
        // What the system decoder showed still shows, whole.
        EXPECT_TRUE(thumb) << s << " " << cases;
        ASSERT_NE(e->levelImages[kLevelView], nullptr);
        EXPECT_EQ(e->levelImages[kLevelView]->GetWidth(), system->GetWidth()) << s << " " << cases;
        ++shown;
      }
    }
  }
  std::printf("damaged cases %d, shown by the system %d\n", cases, shown);
  EXPECT_GT(shown, 0);
}

namespace {
// Bytes let through a few at a time, up to a stop.
class Trickle : public ArrivingBytes {
 public:
  Trickle(size_t step, size_t stop) : step_(step), stop_(stop) {}
  size_t WaitFor(size_t count) override {
    there_ = std::min(std::max(there_, std::min(count, there_ + step_)), stop_);
    return there_;
  }

 private:
  size_t step_, stop_, there_ = 0;
};

int g_allocFailures = 0;
HGLOBAL WINAPI FailingOnce(UINT flags, SIZE_T bytes) {
  return g_allocFailures-- > 0 ? nullptr : GlobalAlloc(flags, bytes);
}

bool SamePixels(Bitmap* a, Bitmap* b) {
  double mean = 0;
  int largest = 0;
  return Differ(a, b, &mean, &largest) && largest == 0;
}
}  // namespace

// A JPEG decoded as its bytes arrive gives the pixels of the one decoded from them all, whole and
// reduced; bytes that stop short fail it. The range read beside the decode holds the bytes the
// plain read gives, and memory kept for the next picture is taken again and given back.
TEST_F(ImagePipeline, ArrivingJpegBytesAndKeptMemoryGiveTheSamePictures) {
  const std::vector<uint8_t> jpeg = MakePicture(800, 600, L"image/jpeg");
  for (int need : {0, 200}) {
    ScaledJpeg whole, arriving;
    ASSERT_TRUE(DecodeJpegScaled(jpeg.data(), jpeg.size(), need, need, JpegNeed::kFitInside, &whole));
    std::unique_ptr<Bitmap> a(whole.bitmap);
    Trickle trickle(37, jpeg.size());
    ASSERT_TRUE(DecodeArrivingJpegScaled(jpeg.data(), jpeg.size(), &trickle, need, need, JpegNeed::kFitInside,
                                         &arriving));
    std::unique_ptr<Bitmap> b(arriving.bitmap);
    EXPECT_EQ(arriving.reduction, whole.reduction);
    EXPECT_TRUE(SamePixels(a.get(), b.get())) << need;
  }
  Trickle cut(4096, jpeg.size() / 2);
  ScaledJpeg none;
  EXPECT_FALSE(DecodeArrivingJpegScaled(jpeg.data(), jpeg.size(), &cut, 0, 0, JpegNeed::kFitInside, &none));

  std::vector<uint8_t> bytes(1500000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 977);
  const std::wstring path = Write(L"range.bin", bytes);
  for (int32_t offset : {0, 1000}) {
    const int32_t size = offset == 0 ? 0 : 1200000;
    RangeReader reader;
    ASSERT_TRUE(reader.Start(path.c_str(), 0x100, offset, size));  // MRW: the start marker
    HGLOBAL block = reader.Finish();
    HGLOBAL plain = ReadPathRange(path.c_str(), 0x100, offset, size);
    ASSERT_NE(block, nullptr);
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(GlobalSize(block), GlobalSize(plain));
    EXPECT_EQ(std::memcmp(block, plain, GlobalSize(block)), 0);
    EXPECT_EQ(static_cast<uint8_t*>(static_cast<void*>(block))[1], 0xD8);
    GiveBackReadBlock(block);
    GlobalFree(plain);
  }
  RangeReader outside;
  EXPECT_FALSE(outside.Start(path.c_str(), 0, 1000000, 600000));
  // A block is exactly the next range; memory kept from a picture over twice the size of the next
  // is not handed to it (it would hold the large one's pages) and goes back.
  ReleaseSpareMemory();
  HGLOBAL large = TakeReadBlock(4u << 20);
  ASSERT_NE(large, nullptr);
  GiveBackReadBlock(large);
  HGLOBAL small = TakeReadBlock(1u << 20);
  ASSERT_NE(small, nullptr);
  EXPECT_NE(small, large);
  EXPECT_EQ(GlobalSize(small), 1u << 20);
  EXPECT_EQ(SpareMemoryBytes(), 0u);
  GiveBackReadBlock(small);
  size_t largeCapacity = 0, smallCapacity = 0;
  void* largeCopy = TakeSpareMemory(SpareKind::kFittedCopy, 4u << 20, &largeCapacity);
  ASSERT_NE(largeCopy, nullptr);
  GiveBackSpareMemory(SpareKind::kFittedCopy, largeCopy, largeCapacity);
  void* smallCopy = TakeSpareMemory(SpareKind::kFittedCopy, 100000, &smallCapacity);
  ASSERT_NE(smallCopy, nullptr);
  EXPECT_NE(smallCopy, largeCopy);
  EXPECT_LT(smallCapacity, largeCapacity / 2);
  GiveBackSpareMemory(SpareKind::kFittedCopy, smallCopy, smallCapacity);
  ReleaseSpareMemory();

  size_t capacity = 0;
  void* memory = TakeSpareMemory(SpareKind::kFittedCopy, 300000, &capacity);
  ASSERT_NE(memory, nullptr);
  EXPECT_GE(capacity, 300000u);
  GiveBackSpareMemory(SpareKind::kFittedCopy, memory, capacity);
  size_t again = 0;
  EXPECT_EQ(TakeSpareMemory(SpareKind::kFittedCopy, 200000, &again), memory);  // the pages touched before
  GiveBackSpareMemory(SpareKind::kFittedCopy, memory, again);
  EXPECT_GT(SpareMemoryBytes(), 0u);
  // An allocation that fails gives back the kept memory and tries once more.
  g_allocFailures = 1;
  g_globalAllocFn = FailingOnce;
  HGLOBAL got = AllocGlobal(GMEM_FIXED, 64);
  g_globalAllocFn = GlobalAlloc;
  EXPECT_NE(got, nullptr);
  GlobalFree(got);
  EXPECT_EQ(SpareMemoryBytes(), 0u);
}

// The rows' small pictures lie in a store that is used again: a folder's worth made a second time
// takes no more of it, and each picture holds the pixels it was made of, opaque.
TEST_F(ImagePipeline, RowPicturesReuseTheirStoreWithTheSamePixels) {
  std::vector<uint8_t> bgr(kThumbWidth * kThumbHeight * 3);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 13);
  std::vector<std::unique_ptr<Bitmap>> rows;
  uint64_t first = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 300; ++i) rows.emplace_back(RowPictureOfBgr(bgr.data(), kThumbWidth, kThumbHeight));
    if (pass == 0) first = RowPictureStoreBytes();
    rows.clear();
  }
  EXPECT_GT(first, 0u);
  EXPECT_EQ(RowPictureStoreBytes(), first);
  std::unique_ptr<Bitmap> row(RowPictureOfBgr(bgr.data(), kThumbWidth, kThumbHeight));
  ASSERT_NE(row, nullptr);
  Color c;
  row->GetPixel(5, 7, &c);
  const uint8_t* p = &bgr[(7 * kThumbWidth + 5) * 3];
  EXPECT_EQ(c.GetValue(), 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]);
  row.reset();
  EXPECT_TRUE(ReleaseEmptyRowPictureChunks());
  EXPECT_EQ(RowPictureStoreBytes(), 0u);
}

// The view image of a JPEG is decoded at the reduction the viewer's pane allows, turned as the
// file says; a zoomed pane gets it whole, and a zoom already on decodes it whole at once.
TEST_F(ImagePipeline, ViewImageIsDecodedForThePaneAndWholeForZoom) {
  HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  HWND pane = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 150, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VIEWER_PANE1)), nullptr, nullptr);
  ASSERT_NE(pane, nullptr);
  g_windowSlots[kSlotFileListPane] = parent;
  g_settings.splitLayout = 0;
  const std::wstring path = Write(L"view.jpg", MakePicture(800, 600, L"image/jpeg"));
  ImageEntry* e = NewEntry(path, kFileTypeJpg);
  e->info.orientation = 6;
  ASSERT_TRUE(DecodeViewImage(e));
  Image* view = e->levelImages[kLevelView];
  EXPECT_EQ(e->viewReduction, 4);
  EXPECT_EQ(view->GetWidth(), 150u);  // a quarter, turned upright
  EXPECT_EQ(view->GetHeight(), 200u);
  EXPECT_GT(PixelAt(view, 140, 10).GetR(), 200);  // the red quarter now top-right
  EXPECT_TRUE(DecodeWholeViewImage(e));
  EXPECT_EQ(e->viewReduction, 1);
  EXPECT_EQ(e->levelImages[kLevelView]->GetWidth(), 600u);
  EXPECT_GT(PixelAt(e->levelImages[kLevelView], 590, 10).GetR(), 200);
  ReleaseEntryLevel(e, kLevelView, 0);
  EXPECT_EQ(e->viewReduction, 0);
  g_zoomMode = 1;
  EXPECT_TRUE(DecodeViewImage(e));
  g_zoomMode = 0;
  EXPECT_EQ(e->viewReduction, 1);
  EXPECT_EQ(e->levelImages[kLevelView]->GetHeight(), 800u);
  g_windowSlots[kSlotFileListPane] = nullptr;
  DestroyWindow(parent);
}

// The hover popup, the information window's preview and the index print ask the preview for the
// size they show it at: a JPEG is decoded no larger, turned as the file says; margins keep it
// whole; and one libjpeg-turbo cannot give in 24-bit colour (CMYK) still shows whole through the
// system's decoder.
TEST_F(ImagePipeline, PreviewsAreDecodedForTheirSizeAndCmykByTheSystem) {
  const std::vector<uint8_t> good = MakePicture(800, 600, L"image/jpeg");
  const std::vector<uint8_t> cmyk = testsupport::MakeCmykJpeg(800, 600);
  std::unique_ptr<Bitmap> system(SystemDecode(cmyk));
  ASSERT_NE(system, nullptr) << "the system decoder does not read CMYK JPEGs";
  ScaledJpeg refused;
  ASSERT_FALSE(DecodeJpegScaled(cmyk.data(), cmyk.size(), 256, 256, JpegNeed::kFitInside, &refused));
  struct Case {
    const std::vector<uint8_t>* bytes;
    int orientation, needWidth, needHeight;
    JpegNeed how;
    int modelRow, width, height;
  } cases[] = {
      {&good, 1, 256, 256, JpegNeed::kFitInside, -1, 400, 300},  // a quarter (200 x 150) would be smaller
      {&good, 6, 256, 256, JpegNeed::kFitInside, -1, 300, 400},  // the need is upright
      {&good, 6, 150, 100, JpegNeed::kCover, -1, 150, 200},
      {&good, 1, 0, 0, JpegNeed::kFitInside, -1, 800, 600},
      {&good, 1, 256, 256, JpegNeed::kFitInside, RowWithViewMargins(), 800, 552},
      {&cmyk, 1, 256, 256, JpegNeed::kFitInside, -1, 800, 600},
      {&cmyk, 6, 256, 256, JpegNeed::kFitInside, -1, 600, 800},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    ImageEntry* e = NewEntry(Write(L"p" + std::to_wstring(n++) + L".jpg", *c.bytes), kFileTypeJpg, c.modelRow);
    e->info.previewSize = static_cast<int32_t>(c.bytes->size());
    e->exifRotation = c.orientation == 6 ? 1 : 0;
    Image* image = nullptr;
    HGLOBAL block = nullptr;
    ASSERT_TRUE(LoadPreviewBitmap(nullptr, e, &image, &block, c.needWidth, c.needHeight, c.how));
    EXPECT_EQ(static_cast<int>(image->GetWidth()), c.width);
    EXPECT_EQ(static_cast<int>(image->GetHeight()), c.height);
    if (c.bytes == &good) {  // the red quarter top-left, or top-right once turned
      EXPECT_GT(PixelAt(image, c.orientation == 6 ? c.width - 4 : 4, 4).GetR(), 200);
      EXPECT_GT(PixelAt(image, c.orientation == 6 ? 4 : c.width - 4, c.height - 4).GetB(), 200);
    }
    delete image;
    FreeGlobal(block);
  }
}

namespace {
void Be32(std::vector<uint8_t>& b, uint32_t v) {
  b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}
void BeXyz(std::vector<uint8_t>& b, double x, double y, double z) {
  b.insert(b.end(), {'X', 'Y', 'Z', ' ', 0, 0, 0, 0});
  for (double v : {x, y, z}) Be32(b, static_cast<uint32_t>(v * 65536 + 0.5));
}

// An Adobe RGB (1998) compatible display profile: its primaries adapted to D50, gamma 563/256.
std::vector<uint8_t> WideGamutProfile() {
  std::vector<std::vector<uint8_t>> data(5);
  const char text[] = "Wide RGB";
  data[0] = {'d', 'e', 's', 'c', 0, 0, 0, 0};
  Be32(data[0], sizeof text);
  data[0].insert(data[0].end(), text, text + sizeof text);
  data[0].resize(data[0].size() + 4 + 4 + 2 + 1 + 67, 0);
  BeXyz(data[1], 0.9642, 1.0, 0.8249);
  BeXyz(data[2], 0.60974, 0.31111, 0.01947);
  BeXyz(data[3], 0.20528, 0.62567, 0.06087);
  BeXyz(data[4], 0.14919, 0.06322, 0.74457);
  std::vector<uint8_t> curve = {'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0, 0, 1, 0x02, 0x33, 0, 0};
  data.push_back(curve);
  const char* sigs[] = {"desc", "wtpt", "rXYZ", "gXYZ", "bXYZ", "rTRC", "gTRC", "bTRC"};
  const uint32_t table = 128 + 4 + 8 * 12;
  std::vector<uint32_t> at;
  uint32_t next = table;
  for (auto& d : data) {
    while (d.size() % 4) d.push_back(0);
    at.push_back(next);
    next += static_cast<uint32_t>(d.size());
  }
  std::vector<uint8_t> p;
  Be32(p, next);
  Be32(p, 0);
  Be32(p, 0x02100000);
  for (const char* four : {"mntr", "RGB ", "XYZ "}) p.insert(p.end(), four, four + 4);
  p.resize(36, 0);
  p.insert(p.end(), {'a', 'c', 's', 'p'});
  p.resize(68, 0);
  Be32(p, 0xF6D6), Be32(p, 0x10000), Be32(p, 0xD32D);
  p.resize(128, 0);
  Be32(p, 8);
  for (int i = 0; i < 8; ++i) {
    const size_t d = i < 5 ? i : 5;
    p.insert(p.end(), sigs[i], sigs[i] + 4);
    Be32(p, at[d]);
    Be32(p, static_cast<uint32_t>(data[d].size()));
  }
  for (auto& d : data) p.insert(p.end(), d.begin(), d.end());
  return p;
}

// A JPEG of three upright bands, mid grey, a dull green (60, 160, 60) and orange (200, 120, 40),
// carrying the profile in one APP2 segment after its start marker.
std::vector<uint8_t> ProfiledJpeg(const std::vector<uint8_t>& profile) {
  Bitmap bitmap(96, 32, PixelFormat24bppRGB);
  {
    Graphics g(&bitmap);
    SolidBrush grey(Color(255, 128, 128, 128)), green(Color(255, 60, 160, 60)), orange(Color(255, 200, 120, 40));
    g.FillRectangle(&grey, 0, 0, 32, 32);
    g.FillRectangle(&green, 32, 0, 32, 32);
    g.FillRectangle(&orange, 64, 0, 32, 32);
  }
  CLSID clsid;
  EXPECT_TRUE(EncoderFor(L"image/jpeg", &clsid));
  const std::vector<uint8_t> encoded = EncodedBytes(bitmap, clsid);
  std::vector<uint8_t> bytes(encoded.begin(), encoded.begin() + 2);
  if (!profile.empty()) {
    bytes.insert(bytes.end(), {0xFF, 0xE2, uint8_t((16 + profile.size()) >> 8), uint8_t(16 + profile.size())});
    const char tag[] = "ICC_PROFILE";
    bytes.insert(bytes.end(), tag, tag + 12);
    bytes.insert(bytes.end(), {1, 1});
    bytes.insert(bytes.end(), profile.begin(), profile.end());
  }
  bytes.insert(bytes.end(), encoded.begin() + 2, encoded.end());
  return bytes;
}
}  // namespace

// A JPEG that embeds a profile shows converted from it to sRGB when embedded colour management
// is on (the setup's CMS_DISABLEICM clear), by the system's colour management, on the view and
// the whole-picture roads alike: a wide-gamut green loses its red, an orange gains red and loses
// blue (its channels taken in their order), greys stay. With the setting
// off, without a profile or with a damaged one, the colours are the decoder's. The thumbnail,
// made on the locked road or aside, shows the colours of the view either way.
TEST_F(ImagePipeline, EmbeddedProfileAppliedWhenColourManagementIsOn) {
  const std::vector<uint8_t> wide = ProfiledJpeg(WideGamutProfile());
  std::vector<uint8_t> junk(300, 0x5A);
  const std::vector<uint8_t> damaged = ProfiledJpeg(junk), plain = ProfiledJpeg({});
  struct Seen {
    Color grey, green, orange;
  };
  // The three bands' middles: x 16, 48 and 80 of the 96 x 32 picture, stretched into 88 x 60.
  auto bands = [](Image* image, int y, const int (&x)[3]) {
    Seen seen{};
    if (image) seen = {PixelAt(image, x[0], y), PixelAt(image, x[1], y), PixelAt(image, x[2], y)};
    return seen;
  };
  auto sameColours = [](const Seen& a, const Seen& b, const char* road) {
    for (auto pick : {&Seen::grey, &Seen::green, &Seen::orange}) {
      const Color &x = a.*pick, &y = b.*pick;
      EXPECT_NEAR(x.GetR(), y.GetR(), 2) << road;
      EXPECT_NEAR(x.GetG(), y.GetG(), 2) << road;
      EXPECT_NEAR(x.GetB(), y.GetB(), 2) << road;
    }
  };
  auto view = [&](const std::vector<uint8_t>& bytes, bool managed) {
    g_settings.colorMatchSetup.flags = managed ? 0x30 : 0x31;
    ImageEntry* e = NewEntry(Write(L"profiled.jpg", bytes), kFileTypeJpg);
    EXPECT_TRUE(DecodeViewImage(e));
    const Seen seen = bands(e->levelImages[kLevelView], 16, {16, 48, 80});
    ReleaseEntryLevel(e, kLevelView, 0);
    EXPECT_TRUE(BuildThumbnailLocked(e));
    sameColours(bands(e->levelImages[kLevelThumbnail], 30, {15, 44, 73}), seen, "locked");
    ReleaseEntryLevel(e, kLevelThumbnail, 0);
    PictureSizes sizes;
    std::unique_ptr<Bitmap> aside(MakeThumbnailAside(e, &sizes));
    EXPECT_NE(aside, nullptr);
    sameColours(bands(aside.get(), 30, {15, 44, 73}), seen, "aside");
    return seen;
  };
  const Seen off = view(wide, false), on = view(wide, true);
  EXPECT_NEAR(off.green.GetR(), 60, 8);
  EXPECT_LT(on.green.GetR() + 30, off.green.GetR()) << int(on.green.GetR());
  EXPECT_NEAR(on.green.GetG(), off.green.GetG(), 10);
  EXPECT_GT(on.orange.GetR(), off.orange.GetR() + 12) << int(on.orange.GetR());
  EXPECT_LT(on.orange.GetB() + 6, off.orange.GetB()) << int(on.orange.GetB());
  EXPECT_GT(on.orange.GetB(), 12) << int(on.orange.GetB());
  EXPECT_NEAR(on.grey.GetR(), off.grey.GetR(), 4);
  EXPECT_NEAR(on.grey.GetB(), off.grey.GetB(), 4);
  for (const std::vector<uint8_t>* other : {&damaged, &plain}) {
    const Seen a = view(*other, true);
    EXPECT_EQ(a.green.GetValue(), off.green.GetValue());
    EXPECT_EQ(a.grey.GetValue(), off.grey.GetValue());
    EXPECT_EQ(a.orange.GetValue(), off.orange.GetValue());
  }
  // A camera JPEG's embedded thumbnail carries no profile: the file's converts it, as the view.
  g_settings.colorMatchSetup.flags = 0x30;
  std::vector<uint8_t> camera = wide;
  camera.insert(camera.end(), plain.begin(), plain.end());
  ImageEntry* c = NewEntry(Write(L"camera.jpg", camera), kFileTypeJpg);
  c->info.thumbOffset = static_cast<int32_t>(wide.size());
  c->info.thumbSize = static_cast<int32_t>(plain.size());
  EXPECT_TRUE(BuildThumbnailLocked(c));
  sameColours(bands(c->levelImages[kLevelThumbnail], 30, {15, 44, 73}), on, "embedded thumbnail");
  // The whole-picture road (a stream) decides the same way.
  IStream* stream = SHCreateMemStream(wide.data(), static_cast<UINT>(wide.size()));
  ASSERT_NE(stream, nullptr);
  std::unique_ptr<Image> managed(DecodePictureStream(stream, true)), unmanaged(DecodePictureStream(stream, false));
  stream->Release();
  ASSERT_TRUE(managed && unmanaged);
  EXPECT_EQ(PixelAt(managed.get(), 80, 16).GetValue(), on.orange.GetValue());
  EXPECT_EQ(PixelAt(unmanaged.get(), 80, 16).GetValue(), off.orange.GetValue());
}

// An X3F file without an embedded picture gets its thumbnail and its view image from development
// (three colours at every site: whole size in every mode).
TEST_F(ImagePipeline, X3fWithoutEmbeddedPictureIsDeveloped) {
  g_rawFailureArmed = 0;  // a failed development shows no box
  const std::wstring path = Write(L"scene.x3f", brn_test::MakeSyntheticX3f(64, 48, 1600000000u));
  ImageEntry* e = NewEntry(path, 0x100000, g_cameraModelIndex[171]);  // X3F, the X3F model row
  ASSERT_TRUE(BuildThumbnailLocked(e));
  Image* thumb = e->levelImages[kLevelThumbnail];
  ASSERT_NE(thumb, nullptr);
  EXPECT_GT(PixelAt(thumb, 10, 30).GetR(), PixelAt(thumb, 10, 30).GetB());  // the warm left half
  EXPECT_GT(PixelAt(thumb, 78, 30).GetB(), PixelAt(thumb, 78, 30).GetR());
  ASSERT_TRUE(DecodeViewImage(e));
  Image* view = e->levelImages[kLevelView];
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetWidth(), 64u);
  EXPECT_EQ(view->GetHeight(), 48u);
  EXPECT_GT(PixelAt(view, 10, 20).GetR(), PixelAt(view, 10, 20).GetB());
}
