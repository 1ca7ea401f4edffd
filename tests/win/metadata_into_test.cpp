// The lock-free dump gives the locked dump's text on real files of every size, never reads past a
// file's end, and neither waits for "sema_interp" nor touches the shared buffers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/metadata_reader.h"
#include "tests/support/exif_fixture.h"

namespace {

using fx::Bytes;

const wchar_t kSamples[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";

Bytes ReadWhole(const std::wstring& path) {
  Bytes bytes;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  bytes.resize(got);
  CloseHandle(h);
  return bytes;
}

bool WriteWhole(const std::wstring& path, const Bytes& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return written == bytes.size();
}

// The dump made from the file's bytes in memory: what a reader of the file must give.
std::wstring DumpFromMemory(const std::wstring& path, const Bytes& bytes, bool* ok) {
  char pathText[MAX_PATH * 2];
  WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, pathText, sizeof pathText, nullptr, nullptr);
  static char text[kMetadataTextSize];
  MemoryByteSource source(bytes.data(), bytes.size());
  TextBuffer out(text, sizeof text);
  *ok = DumpMetadataText(source, pathText, out);
  static wchar_t wide[8192];
  MetadataTextToWide(text, wide, 8192);
  return *ok ? std::wstring(wide) : std::wstring();
}

struct Job {
  const wchar_t* path;
  wchar_t text[8192];
  bool ok;
};

DWORD WINAPI DumpOnAnotherThread(void* p) {
  auto* j = static_cast<Job*>(p);
  j->ok = DumpImageMetadataInto(j->path, j->text, 8192);
  return 0;
}

class MetadataIntoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"brn_metadata_into_test";
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override {
    for (const std::wstring& f : made_) DeleteFileW(f.c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring Make(const wchar_t* name, const Bytes& bytes) {
    std::wstring path = folder_ + L"\\" + name;
    EXPECT_TRUE(WriteWhole(path, bytes));
    made_.push_back(path);
    return path;
  }
  std::wstring folder_;
  std::vector<std::wstring> made_;
};

TEST_F(MetadataIntoTest, SameTextAsTheLockedDumpOnFilesOfEverySize) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((std::wstring(kSamples) + L"*").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE) << "the goexif samples are installed by the test set-up";
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(std::wstring(kSamples) + fd.cFileName);
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  ASSERT_GT(files.size(), 20u);

  // Directories far past the read-ahead window and at its edge; a RAF whose preview size is
  // measured up to the end of the file.
  auto exif = fx::NewIfd(true);
  exif->Short(0x8827, {200}).Rational(0x829A, {{1, 125}});
  auto ifd0 = fx::NewIfd(true);
  ifd0->Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 5D").Short(0x0112, {8}).Sub(0x8769, exif);
  auto tiffWithIfdAt = [&](size_t at) {
    Bytes b{'I', 'I', 42, 0};
    fx::Put32(b, static_cast<uint32_t>(at), true);
    b.resize(at, 0);
    fx::WriteIfd(b, *ifd0, 0);
    return b;
  };
  Bytes distant = tiffWithIfdAt(200000);
  Bytes edge = tiffWithIfdAt(65536 - 40);
  ASSERT_GT(edge.size(), 65536u);
  Bytes raf = fx::Raf(fx::Tiff(*ifd0), 200, 150000);
  Bytes sample = ReadWhole(files[0]);
  ASSERT_GT(sample.size(), 100u);
  struct Made {
    const wchar_t* name;
    Bytes bytes;
  } made[] = {
      {L"far.tif", distant},
      {L"far_cut_in_ifd.tif", Bytes(distant.begin(), distant.begin() + 200010)},
      {L"far_cut_before_ifd.tif", Bytes(distant.begin(), distant.begin() + 150000)},
      {L"edge.tif", edge},
      {L"edge_65536.tif", Bytes(edge.begin(), edge.begin() + 65536)},
      {L"edge_65535.tif", Bytes(edge.begin(), edge.begin() + 65535)},
      {L"big.raf", raf},
      {L"big_cut.raf", Bytes(raf.begin(), raf.begin() + 70030)},
      {L"sample_cut.jpg", Bytes(sample.begin(), sample.begin() + sample.size() / 2)},
      {L"empty.jpg", Bytes()},
  };
  for (const Made& m : made) files.push_back(Make(m.name, m.bytes));

  static wchar_t locked[8192], into[8192];
  int filled = 0;
  std::vector<std::wstring> withModel;
  for (const std::wstring& path : files) {
    SCOPED_TRACE(testing::Message() << std::string(path.begin(), path.end()));
    Bytes bytes = ReadWhole(path);
    bool memoryOk = false;
    std::wstring expected = DumpFromMemory(path, bytes, &memoryOk);
    wcscpy(locked, L"stale");
    wcscpy(into, L"stale");
    const bool lockedOk = DumpImageMetadataWide(path.c_str(), locked, 8192);
    const bool intoOk = DumpImageMetadataInto(path.c_str(), into, 8192);
    EXPECT_EQ(intoOk, lockedOk);
    EXPECT_EQ(intoOk, memoryOk);
    EXPECT_EQ(std::wstring(into), std::wstring(locked));
    EXPECT_EQ(std::wstring(into), expected);
    if (bytes.size() >= 65536) ++filled;
    if (path.compare(0, folder_.size(), folder_) == 0 && wcsstr(into, L"Canon EOS 5D"))
      withModel.push_back(path.substr(folder_.size() + 1));
  }
  EXPECT_GE(filled, 5);
  // The directories read past the window; the cut ones are not made up.
  EXPECT_EQ(withModel, (std::vector<std::wstring>{L"far.tif", L"edge.tif", L"big.raf", L"big_cut.raf"}));

  // A small file's head stays on offer for the thumbnail, but nothing past its end.
  const std::wstring& small = files[0];
  ASSERT_TRUE(DumpImageMetadataInto(small.c_str(), into, 8192));
  const uint8_t* head = TakeRecentFileBytes(small.c_str(), 0, sample.size());
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(memcmp(head, sample.data(), sample.size()), 0);
  ASSERT_TRUE(DumpImageMetadataInto(small.c_str(), into, 8192));
  EXPECT_EQ(TakeRecentFileBytes(small.c_str(), 0, sample.size() + 1), nullptr);
}

TEST_F(MetadataIntoTest, NeitherWaitsForTheLockNorTouchesTheSharedBuffers) {
  auto ifd0 = fx::NewIfd(true);
  ifd0->Ascii(0x010F, "Canon").Short(0x0112, {6});
  Bytes iptc = fx::IptcRecord(5, fx::Text("Title"));
  std::wstring path =
      Make(L"shared.jpg", fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0)), fx::App13(fx::Resource8bim(1028, iptc))}));

  HANDLE sema = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  ASSERT_NE(sema, nullptr);
  g_semaphores[kSemaInterp] = sema;
  ASSERT_EQ(WaitForSingleObject(sema, 0), WAIT_OBJECT_0);
  strcpy(g_metadataDumpBuffer, "dump");
  strcpy(g_iptcTextBuffer, "iptc");
  strcpy(g_exifSummaryBuffer, "summary");
  static Job job;
  job.path = path.c_str();
  job.ok = false;
  HANDLE thread = CreateThread(nullptr, 0, DumpOnAnotherThread, &job, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  // The lock is held here all the while.
  EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_TRUE(job.ok);
  EXPECT_NE(wcsstr(job.text, L"\nFlipI"), nullptr) << job.text;
  EXPECT_STREQ(g_metadataDumpBuffer, "dump");
  EXPECT_STREQ(g_iptcTextBuffer, "iptc");
  EXPECT_STREQ(g_exifSummaryBuffer, "summary");

  wchar_t missing[16] = L"x";
  EXPECT_FALSE(DumpImageMetadataInto((folder_ + L"\\none.jpg").c_str(), missing, 16));
  EXPECT_STREQ(missing, L"");

  ReleaseSemaphore(sema, 1, nullptr);
  g_semaphores[kSemaInterp] = nullptr;
  CloseHandle(sema);
}

// The list thread's workers dump files side by side: each gets the text a lone dump gives.
struct SideBySide {
  const std::vector<std::wstring>* paths;
  const std::vector<std::wstring>* expected;
  int mismatches;
};

DWORD WINAPI DumpAllAgain(void* p) {
  auto* run = static_cast<SideBySide*>(p);
  static thread_local wchar_t text[8192];
  for (int round = 0; round < 5; ++round)
    for (size_t i = 0; i < run->paths->size(); ++i) {
      DumpImageMetadataInto((*run->paths)[i].c_str(), text, 8192);
      if ((*run->expected)[i] != text) ++run->mismatches;
    }
  return 0;
}

TEST_F(MetadataIntoTest, SideBySideDumpsGiveTheTextOfALoneOne) {
  std::vector<std::wstring> paths, expected;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((std::wstring(kSamples) + L"*.jpg").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do paths.push_back(std::wstring(kSamples) + fd.cFileName);
  while (FindNextFileW(find, &fd));
  FindClose(find);
  static wchar_t text[8192];
  for (const std::wstring& path : paths) {
    DumpImageMetadataInto(path.c_str(), text, 8192);
    expected.push_back(text);
  }
  SideBySide runs[4];
  HANDLE threads[4];
  for (int k = 0; k < 4; ++k) {
    runs[k] = {&paths, &expected, 0};
    threads[k] = CreateThread(nullptr, 0, DumpAllAgain, &runs[k], 0, nullptr);
    ASSERT_NE(threads[k], nullptr);
  }
  EXPECT_EQ(WaitForMultipleObjects(4, threads, TRUE, 120000), WAIT_OBJECT_0);
  for (int k = 0; k < 4; ++k) {
    CloseHandle(threads[k]);
    EXPECT_EQ(runs[k].mismatches, 0) << "thread " << k;
  }
}

}  // namespace
