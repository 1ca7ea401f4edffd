// The metadata entry points on real files with wide (Japanese) paths, the shared buffers and the lock.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/app_globals.h"
#include "metadata/metadata_reader.h"
#include "tests/support/exif_fixture.h"

namespace {

using fx::Bytes;

class MetadataEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // A Japanese folder and file name; Wine without an installed ja_JP locale cannot create such
    // names on the Unix side, so it falls back to plain ones there.
    folder_ = std::wstring(temp) + L"\u5199\u771f_\u30c6\u30b9\u30c8";  // 写真_テスト
    std::wstring name = L"\\\u753b\u50cf.jpg";                          // 画像.jpg
    if (!CreateDirectoryW(folder_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      folder_ = std::wstring(temp) + L"brn_metadata_test";
      name = L"\\image.jpg";
      ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    path_ = folder_ + name;

    auto gps = fx::NewIfd(true);
    gps->Ascii(1, "S").Rational(2, {{35, 1}, {39, 1}, {2958, 100}}).Ascii(3, "E").Rational(4, {{139, 1}, {0, 1}, {0, 1}});
    auto exif = fx::NewIfd(true);
    exif->Short(0x8822, {2}).Short(0x8827, {400});
    auto ifd0 = fx::NewIfd(true);
    ifd0->Ascii(0x010F, "Canon").Short(0x0112, {6}).Sub(0x8769, exif).Sub(0x8825, gps);
    Bytes iptc = fx::IptcRecord(5, fx::Text("Title"));
    Bytes file = fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0)), fx::App13(fx::Resource8bim(1028, iptc)),
                           fx::Segment(0xFE, fx::Text("hello"))});
    HANDLE h = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD written = 0;
    WriteFile(h, file.data(), DWORD(file.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, file.size());
  }
  void TearDown() override {
    DeleteFileW(path_.c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring folder_, path_;
};

TEST_F(MetadataEntryTest, ReadsEverySectionThroughWidePaths) {
  static wchar_t wide[8192];
  ASSERT_TRUE(DumpImageMetadataWide(path_.c_str(), wide, 8192));
  char expected[MAX_PATH * 2];
  WideCharToMultiByte(CP_ACP, 0, path_.c_str(), -1, expected, sizeof expected, nullptr, nullptr);
  std::string dump = g_metadataDumpBuffer;
  EXPECT_EQ(dump.substr(0, dump.find('\n')), expected);
  EXPECT_NE(dump.find("\nISO\t400\n"), std::string::npos) << dump;

  // The orientation locator points at the value in the file.
  size_t at = dump.find("\nFlipI");
  ASSERT_NE(at, std::string::npos);
  long offset = atol(dump.c_str() + at + 6);
  HANDLE h = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  uint8_t value[2] = {};
  DWORD got = 0;
  SetFilePointer(h, offset, nullptr, FILE_BEGIN);
  ReadFile(h, value, 2, &got, nullptr);
  CloseHandle(h);
  EXPECT_EQ(value[0] | value[1] << 8, 6);

  std::wstring w = wide;
  EXPECT_EQ(w.substr(0, w.find(L'\n')), path_);
  if (GetACP() == 932)
    EXPECT_NE(w.find(L"ExposureProg\t\uff8c\uff9f\uff9b\uff78\uff9e\uff97\uff91AE\n"), std::wstring::npos);  // ﾌﾟﾛｸﾞﾗﾑAE

  GpsPosition gps{};
  ASSERT_TRUE(ReadExifSummary(path_.c_str(), &gps));
  EXPECT_NEAR(gps.latitude, 35.658217, 1e-6);
  EXPECT_EQ(gps.south, 1);
  EXPECT_EQ(gps.longitude, 139.0);

  g_iptcTextIsUtf8 = true;
  ASSERT_TRUE(ReadIptc(path_.c_str()));
  EXPECT_STREQ(g_iptcTextBuffer, "5\t\n\nTitle\t\n");
  EXPECT_FALSE(g_iptcTextIsUtf8);  // no 1:90 in this record
  ASSERT_TRUE(ReadJpegComment(path_.c_str()));
  EXPECT_STREQ(g_jpegCommentBuffer, "hello");

  // The dump empties the other two texts.
  DumpImageMetadataWide(path_.c_str(), wide, 8192);
  EXPECT_STREQ(g_iptcTextBuffer, "");
}

TEST_F(MetadataEntryTest, MissingFileGivesFalse) {
  std::wstring missing = folder_ + L"\\none.jpg";
  GpsPosition gps{};
  EXPECT_FALSE(ReadExifSummary(missing.c_str(), &gps));
  EXPECT_FALSE(ReadIptc(missing.c_str()));
  EXPECT_FALSE(ReadJpegComment(missing.c_str()));
  wchar_t wide[16] = L"x";
  EXPECT_FALSE(DumpImageMetadataWide(missing.c_str(), wide, 16));
  EXPECT_STREQ(wide, L"");
}

TEST_F(MetadataEntryTest, EntryPointsWaitForTheInterpreterLock) {
  HANDLE sema = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  ASSERT_NE(sema, nullptr);
  g_semaphores[kSemaInterp] = sema;
  ASSERT_EQ(WaitForSingleObject(sema, 0), WAIT_OBJECT_0);
  struct Job {
    const wchar_t* path;
    LONG done;
  } job{path_.c_str(), 0};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* p) -> DWORD {
        auto* j = static_cast<Job*>(p);
        static wchar_t wide[8192];
        DumpImageMetadataWide(j->path, wide, 8192);
        InterlockedExchange(&j->done, 1);
        return 0;
      },
      &job, 0, nullptr);
  Sleep(200);
  EXPECT_EQ(job.done, 0);
  ReleaseSemaphore(sema, 1, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(job.done, 1);
  CloseHandle(thread);
  g_semaphores[kSemaInterp] = nullptr;
  CloseHandle(sema);
}

TEST(MetadataText, WideCopyIsBounded) {
  std::string longText(9000, 'a');
  static wchar_t wide[16384];
  wide[8191] = L'x';
  MetadataTextToWide(longText.c_str(), wide, 16384);
  EXPECT_EQ(wcslen(wide), 8191u);
  wchar_t small[8];
  MetadataTextToWide("abcdefghijk", small, 8);
  EXPECT_STREQ(small, L"abcdefg");
  MetadataTextToWide("\xe6\x9d\xb1\xe4\xba\xac", small, 8, true);  // UTF-8
  EXPECT_STREQ(small, L"\u6771\u4eac");
}

}  // namespace
