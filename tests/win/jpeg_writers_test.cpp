// The IPTC and comment writers on real files: round trips through the reader, kept file facts,
// and a failure at every I/O step leaving the original byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/safe_file.h"
#include "metadata/jpeg_writers.h"
#include "metadata/metadata_reader.h"
#include "tests/support/exif_fixture.h"
#include "tests/support/win_test_support.h"

namespace {

using fx::Bytes;
using testsupport::ReadWholeFile;
using testsupport::ScratchDir;
using testsupport::WriteWholeFile;

Bytes Sample() {
  return fx::Jpeg({fx::App13(fx::Resource8bim(1036, Bytes(30, 7))), fx::Segment(0xFE, fx::Text("hello"))});
}

Bytes IptcBlock(const std::string& caption) {
  Bytes block;
  EXPECT_TRUE(BuildIptcResourceBlock({{120, caption}}, block));
  return block;
}

uint64_t Ticks(const FILETIME& t) { return uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

bool Times(const std::wstring& path, FILETIME* created, FILETIME* written) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileTime(h, created, nullptr, written);
  CloseHandle(h);
  return ok;
}

size_t FilesIn(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  size_t n = 0;
  if (f == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileW(f, &fd));
  FindClose(f);
  return n;
}

TEST(JpegWriters, RoundTripsKeepFileFacts) {
  ScratchDir dir;
  const std::wstring path = dir.File(L"a.jpg");
  const Bytes original = Sample();
  ASSERT_TRUE(WriteWholeFile(path, original.data(), original.size()));
  // An old creation time and the hidden bit must survive the rewrite.
  FILETIME old{};
  old.dwHighDateTime = 0x01C00000;
  HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SetFileTime(h, &old, nullptr, nullptr);
  CloseHandle(h);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  // Wine on a Unix file system keeps no creation time of its own; check it only where it holds.
  FILETIME set{}, unused{};
  ASSERT_TRUE(Times(path, &set, &unused));
  const bool creationKept = Ticks(set) == Ticks(old);

  const Bytes block = IptcBlock("caption");
  EXPECT_EQ(WriteJpegIptc(path.c_str(), block.data(), uint32_t(block.size())), int32_t(block.size()));
  ASSERT_TRUE(ReadIptc(path.c_str()));
  EXPECT_STREQ(g_iptcTextBuffer, "0\t\n\n02\t\n120\t\n\ncaption\t\n");
  ASSERT_TRUE(WriteJpegComment(path.c_str(), L"\u65e5\u672c\u8a9e"));  // 日本語
  ASSERT_TRUE(ReadJpegComment(path.c_str()));
  wchar_t wide[64];
  MetadataTextToWide(g_jpegCommentBuffer, wide, 64);
  if (GetACP() == 932) EXPECT_STREQ(wide, L"\u65e5\u672c\u8a9e");
  ASSERT_TRUE(WriteJpegComment(path.c_str(), L""));
  ASSERT_TRUE(ReadJpegComment(path.c_str()));
  EXPECT_STREQ(g_jpegCommentBuffer, "");

  FILETIME created{}, written{};
  ASSERT_TRUE(Times(path, &created, &written));
  if (creationKept) EXPECT_EQ(Ticks(created), Ticks(old));
  EXPECT_GT(Ticks(written), Ticks(old));
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(FilesIn(dir.path()), 1u);  // no temporary file left behind
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);

  // Too long a comment is refused by its converted size, not its character count.
  Bytes before;
  ASSERT_TRUE(ReadWholeFile(path, &before));
  std::wstring longText(65533 / 2 + 1, L'\u3042');  // two bytes each in CP932, one in CP1252 (as '?')
  const size_t bytes = AnsiByteLength(longText.c_str());
  EXPECT_EQ(WriteJpegComment(path.c_str(), longText.c_str()), bytes <= kMaxCommentBytes);
  if (bytes > kMaxCommentBytes) EXPECT_EQ(g_lastSegmentWrite, SegmentWriteResult::kTooLarge);
  std::wstring ascii(65534, L'a');
  EXPECT_FALSE(WriteJpegComment(path.c_str(), ascii.c_str()));
  EXPECT_EQ(g_lastSegmentWrite, SegmentWriteResult::kTooLarge);
  ascii.pop_back();
  EXPECT_TRUE(WriteJpegComment(path.c_str(), ascii.c_str()));
}

TEST(JpegWriters, TiffAndRefusalsLeaveTheFile) {
  ScratchDir dir;
  // A TIFF or a little-endian ORF with IPTC: read into the buffer, never written, and a success
  // (also when read-only); a big-endian ORF is neither read nor a success.
  const Bytes block = IptcBlock("x");
  Bytes after;
  const struct {
    bool little;
    Bytes magic;
    int32_t result;
  } kinds[] = {{true, {}, 1}, {false, {}, 1}, {true, {'I', 'I', 'R', 'O'}, 1}, {false, {'M', 'M', 'O', 'R'}, 0}};
  for (const auto& kind : kinds) {
    SCOPED_TRACE(std::string(kind.magic.begin(), kind.magic.end()) + (kind.little ? " little" : " big"));
    auto ifd = fx::NewIfd(kind.little);
    ifd->Undefined(0x83BB, fx::IptcRecord(5, fx::Text("Tiff title")));
    const Bytes tiff = fx::Tiff(*ifd, kind.magic);
    const std::wstring tiffPath = dir.File(L"t.tif");
    ASSERT_TRUE(WriteWholeFile(tiffPath, tiff.data(), tiff.size()));
    for (DWORD attributes : {DWORD(FILE_ATTRIBUTE_NORMAL), DWORD(FILE_ATTRIBUTE_READONLY)}) {
      SetFileAttributesW(tiffPath.c_str(), attributes);
      strcpy(g_iptcTextBuffer, "old");
      EXPECT_EQ(WriteJpegIptc(tiffPath.c_str(), block.data(), uint32_t(block.size())), kind.result);
      EXPECT_STREQ(g_iptcTextBuffer, kind.result ? "5\t\n\nTiff title\t\n" : "");
    }
    SetFileAttributesW(tiffPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(WriteJpegComment(tiffPath.c_str(), L"x"));
    ASSERT_TRUE(ReadWholeFile(tiffPath, &after));
    EXPECT_EQ(after, tiff);
  }

  // A read-only JPEG and a missing file.
  const std::wstring path = dir.File(L"r.jpg");
  const Bytes original = Sample();
  ASSERT_TRUE(WriteWholeFile(path, original.data(), original.size()));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(WriteJpegComment(path.c_str(), L"x"));
  EXPECT_EQ(WriteJpegIptc(path.c_str(), block.data(), uint32_t(block.size())), 0);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(ReadWholeFile(path, &after));
  EXPECT_EQ(after, original);
  EXPECT_FALSE(WriteJpegComment(dir.File(L"none.jpg").c_str(), L"x"));
  EXPECT_EQ(WriteJpegIptc(dir.File(L"none.jpg").c_str(), block.data(), uint32_t(block.size())), 0);
}

TEST(JpegWriters, FailureAtEveryStepKeepsTheOriginal) {
  ScratchDir dir;
  const std::wstring path = dir.File(L"f.jpg");
  const Bytes original = Sample();
  ASSERT_TRUE(WriteWholeFile(path, original.data(), original.size()));
  const Bytes block = IptcBlock("fault");
  for (int writer = 0; writer < 2; ++writer) {
    for (int step = 1; step <= 7; ++step) {
      SCOPED_TRACE(testing::Message() << "writer " << writer << " step " << step);
      // Steps 1-3 fail the reading, 4-7 the replacement.
      g_segmentReadFaultStep = step <= 3 ? step : 0;
      g_safeFileFaultStep = step > 3 ? step - 3 : 0;
      const bool ok = writer == 0 ? WriteJpegIptc(path.c_str(), block.data(), uint32_t(block.size())) != 0
                                  : WriteJpegComment(path.c_str(), L"fault");
      g_segmentReadFaultStep = g_safeFileFaultStep = 0;
      EXPECT_FALSE(ok);
      EXPECT_EQ(g_lastSegmentWrite, SegmentWriteResult::kIoFailed);
      Bytes after;
      ASSERT_TRUE(ReadWholeFile(path, &after));
      EXPECT_EQ(after, original);
      EXPECT_EQ(FilesIn(dir.path()), 1u);
    }
  }
  // Without faults both succeed.
  EXPECT_NE(WriteJpegIptc(path.c_str(), block.data(), uint32_t(block.size())), 0);
  EXPECT_TRUE(WriteJpegComment(path.c_str(), L"fault"));
}

}  // namespace
