// Movie probing and frame capture on movies ffmpeg wrote as cameras do, through the real
// DirectShow of the platform.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/pure/image_entry.h"
#include "core/settings.h"
#include "tests/support/program_services.h"
#include "tests/support/win_test_support.h"
#include "core/movie_probe.h"

using namespace testsupport;

namespace {

std::wstring MovieFolder() { return ExeFolder() + L"\\..\\testdata\\movies\\"; }

struct MovieEntry {
  ImageEntry entry{};
  explicit MovieEntry(const std::wstring& path) {
    entry.info.fileTypeFlag = kFileTypeMovie;
    entry.movieSlot = 255;
    for (size_t i = 0; i < path.size() && i < kEntryPathChars - 1; ++i) entry.path[i] = path[i];
    SetEntryNamePointer(&entry);
  }
};

class MovieProbe : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static ScratchDir program;
    static bool started = false;
    if (!started) StartProgramServices(program.path());
    started = true;
  }
  void SetUp() override {
    if (!FileExists(MovieFolder() + L"clip.avi")) GTEST_SKIP() << "test movies missing (ffmpeg not installed)";
  }
};

// Mean colour of the decoded picture of a BMP block, and its size.
bool DecodeBlock(HGLOBAL block, int* width, int* height, double* meanLuma) {
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) return false;
  Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
  bool ok = bitmap && bitmap->GetLastStatus() == Gdiplus::Ok;
  if (ok) {
    *width = static_cast<int>(bitmap->GetWidth());
    *height = static_cast<int>(bitmap->GetHeight());
    double sum = 0;
    int n = 0;
    for (int y = 0; y < *height; y += 4)
      for (int x = 0; x < *width; x += 4) {
        Gdiplus::Color c;
        bitmap->GetPixel(x, y, &c);
        sum += 0.299 * c.GetR() + 0.587 * c.GetG() + 0.114 * c.GetB();
        ++n;
      }
    *meanLuma = n ? sum / n : 0;
  }
  delete bitmap;
  stream->Release();
  return ok;
}

// The first movies of a session, rendered on several threads at once (a list probing while a
// pane plays): every thread gets the movie's facts and the process lives. Kept first in this
// file, so that its renders are the process's first.
TEST_F(MovieProbe, FirstRendersOnManyThreadsAtOnce) {
  constexpr int kThreads = 16;
  std::vector<std::unique_ptr<MovieEntry>> movies;
  for (int i = 0; i < kThreads; ++i) movies.push_back(std::make_unique<MovieEntry>(MovieFolder() + L"clip.avi"));
  std::atomic<bool> go{false};
  std::vector<char> ok(kThreads, 0);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      while (!go) Sleep(0);
      ok[i] = ReadMovieSizeAndDuration(&movies[i]->entry);
    });
  go = true;
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_TRUE(ok[i]);
    EXPECT_EQ(movies[i]->entry.info.width, 320);
  }
}

TEST_F(MovieProbe, GeneratedMoviesProbeAsTheirSizeAndLength) {
  struct Case {
    const wchar_t* name;
    int width, height, seconds;
  } cases[] = {{L"clip.avi", 320, 240, 7}, {L"clip.mov", 320, 240, 4}, {L"clip.mp4", 176, 144, 3}};
  for (const Case& c : cases) {
    MovieEntry m(MovieFolder() + c.name);
    m.entry.info.width = 7;
    m.entry.movieValue = -5;
    EXPECT_TRUE(ReadMovieSizeAndDuration(&m.entry)) << c.name;
    EXPECT_EQ(m.entry.info.width, c.width) << c.name;
    EXPECT_EQ(m.entry.info.height, c.height) << c.name;
    // ffmpeg may end a stream a frame early or late.
    EXPECT_GE(m.entry.movieValue, c.seconds - 1) << c.name;
    EXPECT_LE(m.entry.movieValue, c.seconds) << c.name;
  }
  // Not a movie: nothing is written into the record.
  ScratchDir dir;
  const std::wstring junk = dir.File(L"junk.avi");
  ASSERT_TRUE(WriteWholeFile(junk, "RIFF\x10\0\0\0AVI junk junk", 20));
  MovieEntry bad(junk);
  bad.entry.info.width = 11;
  bad.entry.info.height = 12;
  bad.entry.movieValue = 13;
  EXPECT_FALSE(ReadMovieSizeAndDuration(&bad.entry));
  EXPECT_EQ(bad.entry.info.width, 11);
  EXPECT_EQ(bad.entry.info.height, 12);
  EXPECT_EQ(bad.entry.movieValue, 13);
}

TEST_F(MovieProbe, FrameGrabGivesADecodableBitmapOfTheAskedSize) {
  MovieEntry m(MovieFolder() + L"clip.avi");
  ASSERT_TRUE(ReadMovieSizeAndDuration(&m.entry));
  HGLOBAL block = GrabMovieFrame(&m.entry, 5, 88, 60);
  ASSERT_NE(block, nullptr) << "no frame through DirectShow";
  // The file header: "BM", the whole size, the pixel offset behind the 40-byte header.
  const uint8_t* bytes = static_cast<const uint8_t*>(GlobalLock(block));
  uint32_t size, offset;
  std::memcpy(&size, bytes + 2, 4);
  std::memcpy(&offset, bytes + 10, 4);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(size, GlobalSize(block));
  EXPECT_EQ(offset, 54u);
  GlobalUnlock(block);
  int w = 0, h = 0;
  double luma = 0;
  ASSERT_TRUE(DecodeBlock(block, &w, &h, &luma));
  EXPECT_EQ(w, 88);
  EXPECT_EQ(h, 60);
  // The test pattern is colourful, not a black or blank frame.
  EXPECT_GT(luma, 30.0);
  EXPECT_LT(luma, 230.0);
  GlobalFree(block);

  // Seconds past the end are taken from the last whole second; a zero side gives nothing.
  block = GrabMovieFrame(&m.entry, 500, 32, 24);
  EXPECT_NE(block, nullptr);
  if (block) GlobalFree(block);
  EXPECT_EQ(GrabMovieFrame(&m.entry, 1, 0, 24), nullptr);
  MovieEntry h264(MovieFolder() + L"clip.mp4");
  ASSERT_TRUE(ReadMovieSizeAndDuration(&h264.entry));
  block = GrabMovieFrame(&h264.entry, 1, h264.entry.info.width, h264.entry.info.height);
  ASSERT_NE(block, nullptr) << "no frame of the H.264 movie";
  ASSERT_TRUE(DecodeBlock(block, &w, &h, &luma));
  EXPECT_EQ(w, 176);
  EXPECT_EQ(h, 144);
  GlobalFree(block);
}

TEST_F(MovieProbe, CapturesAreNumberedBitmapsInTheCaptureFolder) {
  ScratchDir data;
  const std::wstring copy = data.File(L"clip.avi");
  ASSERT_TRUE(CopyFileW((MovieFolder() + L"clip.avi").c_str(), copy.c_str(), FALSE));
  // An absolute data folder keeps the captures in the scratch folder.
  std::memset(g_settings.dataFolder, 0, sizeof g_settings.dataFolder);
  for (size_t i = 0; i < data.path().size(); ++i) g_settings.dataFolder[i] = data.path()[i];
  g_settings.captureResize = 1;
  g_settings.captureLongSide = 160;
  wchar_t folder[260];
  ASSERT_TRUE(GetCaptureFolder(folder));
  const std::wstring first = std::wstring(folder) + L"clip-1.bmp", second = std::wstring(folder) + L"clip-2.bmp";

  MovieEntry m(copy);
  ASSERT_TRUE(ReadMovieSizeAndDuration(&m.entry));
  ASSERT_TRUE(SaveMovieFrameAsBitmap(&m.entry, 5.0));
  ASSERT_TRUE(FileExists(first));
  ASSERT_TRUE(SaveMovieFrameAsBitmap(&m.entry, 2.5));
  ASSERT_TRUE(FileExists(second));
  std::vector<uint8_t> file;
  ASSERT_TRUE(ReadWholeFile(first, &file));
  ASSERT_GT(file.size(), 54u);
  int32_t w, h;
  uint32_t size;
  std::memcpy(&size, file.data() + 2, 4);
  std::memcpy(&w, file.data() + 18, 4);
  std::memcpy(&h, file.data() + 22, 4);
  EXPECT_EQ(size, file.size());
  EXPECT_EQ(w, 160);  // 320 x 240 fitted into a 160 box
  EXPECT_EQ(h, 120);
  // A freed number is used again.
  ASSERT_TRUE(DeleteFileW(first.c_str()));
  ASSERT_TRUE(SaveMovieFrameAsBitmap(&m.entry, 1.0));
  EXPECT_TRUE(FileExists(first));
  EXPECT_FALSE(FileExists(std::wstring(folder) + L"clip-3.bmp"));
  // A movie without a known size is not captured.
  m.entry.info.width = 0;
  EXPECT_FALSE(SaveMovieFrameAsBitmap(&m.entry, 1.0));
  RemoveTree(std::wstring(folder));
}

}  // namespace
