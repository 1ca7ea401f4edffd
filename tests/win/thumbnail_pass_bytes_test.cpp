// The thumbnail pass over a folder of camera JPEGs makes the same pictures and cache file as it
// did before it was made faster: digests of the cache file's pixel blocks, of what the pass
// measured and of the list images, recorded from the earlier pass on this platform. Recorded
// again when JPEGs came to be decoded by libjpeg-turbo (an eighth of a whole picture for its
// thumbnail): its pixels differ from the system decoder's by its rounding of the colour
// upsampling (within a mean of 1 per channel, which the pipeline's tests check), nothing else.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/pure/folder_cache_format.h"
#include "core/pure/thumbnail_geometry.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/camera_models.h"
#include "tests/support/entry_lists.h"
#include "tests/support/win_test_support.h"

namespace {

const wchar_t kSamples[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif";

uint64_t Fnv(uint64_t h, const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// The pixels of one image of the list, drawn into a 32-bit bitmap cleared to a fixed colour.
uint64_t ListImageDigest(HIMAGELIST list, int index, int w, int h) {
  void* bits = nullptr;
  HBITMAP dib = testsupport::NewDib32(w, h, &bits);
  if (!dib) return 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dib);
  std::memset(bits, 0x5A, static_cast<size_t>(w) * h * 4);
  ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
  GdiFlush();
  uint64_t digest = Fnv(1469598103934665603ull, bits, static_cast<size_t>(w) * h * 4);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(dib);
  return digest;
}

void CopySamples(const std::wstring& to, int* copied) {
  *copied = 0;
  for (const std::wstring& from : {std::wstring(kSamples) + L"\\samples", std::wstring(kSamples)}) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((from + L"\\*.jpg").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (CopyFileW((from + L"\\" + fd.cFileName).c_str(), (to + L"\\" + fd.cFileName).c_str(), TRUE)) ++*copied;
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
}

}  // namespace

TEST(ThumbnailPassBytes, CacheFileAndListImagesAreUnchanged) {
  testsupport::ScratchDir data, pics;
  int copied = 0;
  CopySamples(pics.path(), &copied);
  if (copied < 20) GTEST_SKIP() << "the goexif camera samples are not installed";

  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  const HRESULT com = CoInitialize(nullptr);
  BuildCameraModelIndex();
  ASSERT_TRUE(testsupport::PrepareEntryLists());
  SetDefaultSettings();
  g_settings.enabledImageTypes |= 0x2;
  const std::wstring dataFolder = data.path() + L"\\user";
  testsupport::UseDataFolder(dataFolder);
  wcscpy(g_currentFolder, pics.path().c_str());
  wcscpy(g_loadedFolderPath, pics.path().c_str());
  g_listSource = 0;

  LoadFolderEntries(pics.path().c_str());
  ASSERT_EQ(g_entryCount, copied);
  g_listCount = g_entryCount;
  const int n = g_entryCount;
  HIMAGELIST large = ImageList_Create(88, 60, ILC_COLOR24, n, 0);
  HIMAGELIST small = ImageList_Create(28, 20, ILC_COLOR24, 2 * n, 0);
  ImageList_SetImageCount(large, n);
  ImageList_SetImageCount(small, 2 * n);
  static wchar_t text[8192];
  for (int i = 0; i < n; ++i) {
    ImageEntry* e = EntryAt(i);
    DumpImageMetadataWide(EntryPath(e), text, 8192);
    FillImageInfoFromText(e->info, text, true);
    e->flags |= kEntryInfoRead;
    RenderEntryThumbnail(small, large, e, i);
  }
  g_cacheDirty = 2;
  g_savedRow = 0;
  BuildFolderCache();
  ASSERT_TRUE(WriteFolderCache());
  wchar_t cacheFolder[kPathChars], cacheName[1024];
  ASSERT_TRUE(GetCacheFolder(cacheFolder));
  BuildCacheFileName(reinterpret_cast<const char16_t*>(cacheFolder), reinterpret_cast<const char16_t*>(g_currentFolder),
                     false, reinterpret_cast<char16_t*>(cacheName), 1024);
  std::vector<uint8_t> file;
  ASSERT_TRUE(testsupport::ReadWholeFile(cacheName, &file));
  CacheView view;
  ASSERT_TRUE(OpenCacheView(file.data(), file.size(), 5.16, true, &view));
  ASSERT_EQ(view.count, static_cast<uint32_t>(n));

  // Rows by name: the walk's order depends on the file system, the pictures do not.
  std::vector<std::pair<std::u16string, uint64_t>> rows;
  int withPixels = 0;
  for (int row = 0; row < n; ++row) {
    const ImageEntry* e = EntryAt(g_displayOrder[row]);
    uint64_t h = 1469598103934665603ull;
    if (const uint8_t* pixels = view.PixelBlock(static_cast<uint32_t>(row))) {
      h = Fnv(h, pixels, kCachePixelBlockSize);
      ++withPixels;
    }
    h = Fnv(h, &e->info.width, sizeof e->info.width);
    h = Fnv(h, &e->info.height, sizeof e->info.height);
    h = Fnv(h, e->info.histogram, sizeof e->info.histogram);
    // The size text up to its end: the old pass left stack bytes after it.
    h = Fnv(h, e->info.pixelSize, sizeof(char16_t) * std::char_traits<char16_t>::length(e->info.pixelSize));
    h = Fnv(h, &e->exifRotation, sizeof e->exifRotation);
    const uint64_t images[3] = {ListImageDigest(large, g_displayOrder[row], 88, 60),
                                ListImageDigest(small, 2 * g_displayOrder[row], 28, 20),
                                ListImageDigest(small, 2 * g_displayOrder[row] + 1, 28, 20)};
    h = Fnv(h, images, sizeof images);
    rows.emplace_back(e->name, h);
  }
  std::sort(rows.begin(), rows.end());
  uint64_t all = 1469598103934665603ull;
  for (const auto& r : rows) all = Fnv(all, &r.second, sizeof r.second);
  std::printf("rows %d, with pixels %d, digest %016" PRIx64 "\n", n, withPixels, all);
  EXPECT_GT(withPixels, 10);
  EXPECT_EQ(all, 0x55fb209d6d351fe6ull) << "the pass made other pictures or another cache file than before";

  // The folder again from its cache file: every row from its record and drawn from the file's
  // pixels alone, as the pass draws it, the same list images; its entries are finished after.
  FreeImageEntries();
  ASSERT_TRUE(LoadFolderCache());
  LoadFolderEntries(pics.path().c_str());
  ASSERT_EQ(g_entryCount, n);
  ImageList_Destroy(large);
  ImageList_Destroy(small);
  large = ImageList_Create(88, 60, ILC_COLOR24, n, 0);
  small = ImageList_Create(28, 20, ILC_COLOR24, 2 * n, 0);
  ImageList_SetImageCount(large, n);
  ImageList_SetImageCount(small, 2 * n);
  std::vector<std::pair<std::u16string, uint64_t>> cachedRows;
  std::vector<int> drawnFromPixels;
  int turned = 0;
  for (int i = 0; i < n; ++i) {
    ImageEntry* e = EntryAt(i);
    if (e->cacheIndex < 0) continue;
    if (DrawCachedRow(small, large, e, i)) {
      drawnFromPixels.push_back(i);
      turned += e->exifRotation != 0;
    } else {
      RenderEntryThumbnail(small, large, e, i);
    }
    const uint64_t images[3] = {ListImageDigest(large, i, 88, 60), ListImageDigest(small, 2 * i, 28, 20),
                                ListImageDigest(small, 2 * i + 1, 28, 20)};
    cachedRows.emplace_back(e->name, Fnv(1469598103934665603ull, images, sizeof images));
  }
  std::sort(cachedRows.begin(), cachedRows.end());
  uint64_t cachedAll = 1469598103934665603ull;
  for (const auto& r : cachedRows) cachedAll = Fnv(cachedAll, &r.second, sizeof r.second);
  std::printf("rows from the cache %zu (%zu from its pixels, %d turned), digest %016" PRIx64 "\n", cachedRows.size(),
              drawnFromPixels.size(), turned, cachedAll);
  EXPECT_EQ(cachedRows.size(), static_cast<size_t>(n));
  EXPECT_GT(drawnFromPixels.size(), 40u);
  EXPECT_GT(turned, 0);
  EXPECT_EQ(cachedAll, 0x1f530fe8ac02db52ull) << "rows from the cache file show other pictures than before";
  // The viewer asking for such a row before the pass has finished it gets its level 0 and
  // histogram picture at once (a RAW picture is developed only with level 0).
  ASSERT_FALSE(drawnFromPixels.empty());
  const int asked = drawnFromPixels.front();
  drawnFromPixels.erase(drawnFromPixels.begin());
  const int listCount = g_listCount;
  g_listCount = n;
  int askedRow = 0;
  while (askedRow < n && g_displayOrder[askedRow] != asked) ++askedRow;
  ASSERT_LT(askedRow, n);
  EXPECT_EQ(EntryAt(asked)->levelImages[kLevelThumbnail], nullptr);
  EXPECT_TRUE(PrepareEntryForView(askedRow, 1));
  EXPECT_NE(EntryAt(asked)->levelImages[kLevelThumbnail], nullptr);
  EXPECT_NE(EntryAt(asked)->histogramPicture, nullptr);
  EXPECT_NE(EntryAt(asked)->levelImages[kLevelView], nullptr);
  g_listCount = listCount;
  for (int i : drawnFromPixels) {
    ImageEntry* e = EntryAt(i);
    EXPECT_EQ(e->levelImages[kLevelThumbnail], nullptr);
    FinishCachedRow(e);
    EXPECT_NE(e->levelImages[kLevelThumbnail], nullptr);
    EXPECT_NE(e->histogramPicture, nullptr);
  }

  testsupport::ForgetLoadedList();
  ImageList_Destroy(large);
  ImageList_Destroy(small);
  ReleaseRowCanvases();
  if (SUCCEEDED(com)) CoUninitialize();
  Gdiplus::GdiplusShutdown(token);
}

// The boxes are drawn by the program's own scaler: the same pixels as GDI+ drawing the picture
// into a cleared bitmap at low quality, for pictures with see-through pixels, boxes smaller and
// larger than the picture and rectangles reaching outside the box. The program's turns and
// histogram pictures are GDI+'s too.
TEST(ThumbnailPassBytes, BoxScalerDrawsWhatGdiplusDrew) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  struct Case {
    int sw, sh, bw, bh;
    ThumbRect r;
  };
  const Case cases[] = {{88, 60, 88, 60, {0, 0, 88, 60}},   {88, 60, 88, 60, {0, 1, 88, 58}},
                        {88, 60, 28, 20, {2, 0, 24, 20}},   {32, 16, 28, 20, {0, 0, 28, 20}},
                        {60, 88, 88, 60, {23, 0, 41, 60}},  {7, 5, 40, 30, {-3, 2, 50, 31}},
                        {88, 60, 160, 120, {0, 7, 160, 107}}};
  uint32_t seed = 12345;
  for (const Case& c : cases) {
    std::vector<uint32_t> source(static_cast<size_t>(c.sw) * c.sh);
    for (uint32_t& w : source) {
      seed = seed * 1103515245u + 12345u;
      w = seed;
      if ((seed >> 8) % 3 == 0) w |= 0xFF000000u;  // most pixels opaque, some see-through
    }
    Gdiplus::Bitmap picture(c.sw, c.sh, c.sw * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(source.data()));
    Gdiplus::Bitmap box(c.bw, c.bh, PixelFormat32bppARGB);
    {
      Gdiplus::Graphics g(&box);
      g.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
      g.DrawImage(&picture, Gdiplus::Rect(c.r.x, c.r.y, c.r.width, c.r.height));
    }
    std::vector<uint32_t> drawn(static_cast<size_t>(c.bw) * c.bh), ours(drawn.size());
    Gdiplus::Rect all(0, 0, c.bw, c.bh);
    Gdiplus::BitmapData data{};
    ASSERT_EQ(box.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data), Gdiplus::Ok);
    for (int y = 0; y < c.bh; ++y)
      std::memcpy(&drawn[static_cast<size_t>(y) * c.bw], static_cast<uint8_t*>(data.Scan0) + y * data.Stride,
                  static_cast<size_t>(c.bw) * 4);
    box.UnlockBits(&data);
    ScaleIntoBox(source.data(), c.sw, c.sh, ours.data(), c.bw, c.bh, c.r);
    int differing = 0;
    for (size_t i = 0; i < ours.size(); ++i) differing += ours[i] != drawn[i];
    EXPECT_EQ(differing, 0) << c.sw << "x" << c.sh << " into " << c.bw << "x" << c.bh << " at " << c.r.x << ","
                            << c.r.y << " " << c.r.width << "x" << c.r.height;
  }
  // A picture turned by the program as the system turns it.
  std::vector<uint32_t> source(7 * 5), turned(source.size());
  for (size_t i = 0; i < source.size(); ++i) source[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u);
  for (int turns = 1; turns < 4; ++turns) {
    Gdiplus::Bitmap picture(7, 5, 7 * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(source.data()));
    const Gdiplus::RotateFlipType kinds[4] = {Gdiplus::RotateNoneFlipNone, Gdiplus::Rotate90FlipNone,
                                              Gdiplus::Rotate180FlipNone, Gdiplus::Rotate270FlipNone};
    ASSERT_EQ(picture.RotateFlip(kinds[turns]), Gdiplus::Ok);
    TurnWords(source.data(), 7, 5, turns, turned.data());
    const int w = turns & 1 ? 5 : 7, h = turns & 1 ? 7 : 5;
    ASSERT_EQ(picture.GetWidth(), static_cast<UINT>(w));
    int differing = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        Gdiplus::Color c;
        picture.GetPixel(x, y, &c);
        differing += c.GetValue() != turned[static_cast<size_t>(y) * w + x];
      }
    EXPECT_EQ(differing, 0) << turns << " quarter turns";
  }
  // Histogram pictures over backgrounds of every kind of alpha, columns of every height.
  const uint32_t backgrounds[] = {0x80202020u, 0xFF102030u, 0x00000000u, 0x01FFFFFFu, 0x3F9A7B5Cu, 0xFEFEFEFEu};
  for (uint32_t background : backgrounds) {
    uint8_t bins[96];
    for (uint8_t& bin : bins) bin = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16) % 20;
    Gdiplus::Bitmap picture(32, 16, PixelFormat32bppARGB);
    {
      Gdiplus::Graphics g(&picture);
      g.Clear(Gdiplus::Color(background));
      const Gdiplus::ARGB colours[3] = {0xFFFF0000, 0x8000FF00, 0x400000FF};
      for (int channel = 0; channel < 3; ++channel) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(colours[channel])};
        for (int x = 0; x < 32; ++x)
          if (HistogramBarTop(bins[channel * 32 + x]) < 16)
            g.FillRectangle(&brush, x, HistogramBarTop(bins[channel * 32 + x]), 1, 16 - HistogramBarTop(bins[channel * 32 + x]));
      }
    }
    uint32_t ours[32 * 16];
    DrawHistogramWords(bins, background, ours);
    int differing = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x) {
        Gdiplus::Color c;
        picture.GetPixel(x, y, &c);
        differing += c.GetValue() != ours[y * 32 + x];
      }
    EXPECT_EQ(differing, 0) << std::hex << background;
  }
  Gdiplus::GdiplusShutdown(token);
}
