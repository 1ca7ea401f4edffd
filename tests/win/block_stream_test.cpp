#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/block_stream.h"
#include "core/raw_develop.h"

namespace {

HGLOBAL BlockOf(const std::vector<uint8_t>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes.size());
  if (block) std::memcpy(block, bytes.data(), bytes.size());
  return block;
}

std::vector<uint8_t> Bytes(int count) {
  std::vector<uint8_t> v(count);
  for (int i = 0; i < count; ++i) v[i] = static_cast<uint8_t>(i * 7 + 1);
  return v;
}

LARGE_INTEGER By(int64_t n) {
  LARGE_INTEGER m;
  m.QuadPart = n;
  return m;
}

TEST(BlockStream, ReadsStopAtTheEndWhateverTheSeeksBefore) {
  const std::vector<uint8_t> data = Bytes(100);
  HGLOBAL block = BlockOf(data);
  ASSERT_NE(block, nullptr);
  IStream* s = brn::NewBlockStream(block, false);
  ASSERT_NE(s, nullptr);
  uint8_t buffer[64];
  ULONG got = 0;
  ULARGE_INTEGER at{};
  ASSERT_EQ(s->Seek(By(90), STREAM_SEEK_SET, &at), S_OK);
  EXPECT_EQ(s->Read(buffer, 64, &got), S_OK);
  EXPECT_EQ(got, 10u);
  EXPECT_EQ(0, std::memcmp(buffer, data.data() + 90, 10));
  // A segment length that runs past the data: the decoder skips beyond the end, then reads.
  ASSERT_EQ(s->Seek(By(1366), STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 1466u);
  got = 99;
  EXPECT_EQ(s->Read(buffer, 64, &got), S_OK);
  EXPECT_EQ(got, 0u);
  // Before the start is refused and the position stays.
  EXPECT_NE(s->Seek(By(-2000), STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 1466u);
  ASSERT_EQ(s->Seek(By(-4), STREAM_SEEK_END, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 96u);
  STATSTG stat{};
  ASSERT_EQ(s->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, GlobalSize(block));
  ULONG wrote = 5;
  EXPECT_TRUE(FAILED(s->Write(buffer, 4, &wrote)));
  EXPECT_EQ(wrote, 0u);
  EXPECT_EQ(data, std::vector<uint8_t>(static_cast<uint8_t*>(block), static_cast<uint8_t*>(block) + 100));
  // A clone starts where its source stands and moves on its own.
  IStream* c = nullptr;
  ASSERT_EQ(s->Clone(&c), S_OK);
  EXPECT_EQ(c->Read(buffer, 8, &got), S_OK);
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(0, std::memcmp(buffer, data.data() + 96, 4));
  ASSERT_EQ(s->Seek(By(0), STREAM_SEEK_CUR, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 96u);
  s->Release();
  c->Release();
  EXPECT_NE(GlobalFree(block), block) << "the caller's block stays the caller's";
  EXPECT_EQ(brn::NewBlockStream(nullptr, false), nullptr);
}

// Camera files cut short after their Exif segment, whose following segment claims more bytes
// than are left: decoding them over a block ends without reading beyond it.
TEST(BlockStream, PicturesCutShortDecodeWithoutReadingPastTheBlock) {
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
  const char* kCut[] = {
      "/usr/share/gocode/src/github.com/rwcarlsen/goexif/exif/samples/2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg",
      "/usr/share/gocode/src/github.com/rwcarlsen/goexif/exif/samples/2007-01-01-12-00-00-sep-2007-01-01-12-00-00a.jpg",
  };
  int tried = 0;
  for (const char* unixPath : kCut) {
    std::string path = std::string("Z:") + unixPath;
    std::ifstream in(path, std::ios::binary);
    if (!in) continue;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100u);
    for (int round = 0; round < 20; ++round) {
      HGLOBAL block = BlockOf(bytes);
      brn::MemoryStreamHolder holder;
      ASSERT_EQ(brn::OpenMemoryStream(&holder, block, false), S_OK);
      {
        Gdiplus::Bitmap picture(holder.stream, TRUE);
        EXPECT_TRUE(picture.GetLastStatus() != Gdiplus::Ok || picture.GetWidth() > 0);
      }
      holder.stream->Release();
      GlobalFree(block);
      ++tried;
    }
  }
  EXPECT_GT(tried, 0) << "the goexif samples are installed by the test set-up";
  // A stream that owns its block frees it with its last reference.
  HGLOBAL owned = BlockOf(Bytes(32));
  brn::MemoryStreamHolder holder;
  ASSERT_EQ(brn::OpenMemoryStream(&holder, owned, true), S_OK);
  IStream* clone = nullptr;
  ASSERT_EQ(holder.stream->Clone(&clone), S_OK);
  holder.stream->Release();
  uint8_t first = 0;
  ULONG got = 0;
  ASSERT_EQ(clone->Seek(By(0), STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(clone->Read(&first, 1, &got), S_OK);
  EXPECT_EQ(first, 1);
  clone->Release();
  Gdiplus::GdiplusShutdown(token);
}

}  // namespace
