#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/semaphore_lock.h"
#include "core/settings.h"
#include "metadata/image_info_win.h"
#include "metadata/pure/camera_models.h"

namespace {

class ImageInfoWin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildCameraModelIndex(); }
};

// The fill copies the shared text only while it holds the interpreter lock.
TEST_F(ImageInfoWin, FillWaitsForTheInterpreterLock) {
  HANDLE sema = CreateSemaphoreW(nullptr, 0, 1, nullptr);  // held by "another thread"
  ASSERT_NE(sema, nullptr);
  g_semaphores[kSemaInterp] = sema;
  std::wstring shared = L"C:\\a.jpg\nMaker\tCanon\nModel\tCanon EOS 7D\nDirection\t6\nFlipI1234\n";
  ImageInfo info{};
  info.fileTypeFlag = 0x40;  // CR2
  std::atomic<bool> done{false};
  std::thread worker([&] {
    FillImageInfoFromText(info, shared.c_str(), true);
    done = true;
  });
  Sleep(200);
  EXPECT_FALSE(done.load());
  ReleaseSemaphore(sema, 1, nullptr);
  worker.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(info.modelRow, 26);
  EXPECT_EQ(info.orientation, 6);
  EXPECT_EQ(info.orientationByteOrder, 1);
  EXPECT_EQ(info.orientationOffset, 1234);
  EXPECT_EQ(std::wstring(GetInfoField(info, 9)), L"6");
  EXPECT_EQ(std::wstring(GetInfoField(info, 3)), L"CR2");
  EXPECT_EQ(std::wstring(GetInfoField(info, 5)), L"0000/00/00 00:00:00");
  EXPECT_EQ(WaitForSingleObject(sema, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the lock was given back";
  g_semaphores[kSemaInterp] = nullptr;
  CloseHandle(sema);
}

// The record read again after a write keeps what the list thread wrote into it meanwhile (its
// histogram, under "sema"): the copy, the refill and the store are one step.
TEST_F(ImageInfoWin, RereadKeepsTheListThreadsWrites) {
  const wchar_t kSample[] =
      L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\"
      L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg";
  HANDLE sema = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  ASSERT_NE(sema, nullptr);
  g_semaphores[kSemaImage] = sema;
  ImageEntry entry{};
  wcscpy(EntryPath(&entry), kSample);
  SetEntryNamePointer(&entry);
  entry.info.fileTypeFlag = 0x2;
  entry.flags = kEntryInfoRead;
  void* slots[1] = {&entry};
  void** listed = g_entryPointers;
  const int32_t count = g_entryCount;
  g_entryPointers = slots;
  g_entryCount = 1;
  std::atomic<bool> stop{false};
  std::atomic<int> lost{0};
  std::thread list([&] {
    uint8_t written = 0;
    while (!stop) {
      {
        SemaphoreLock lock(kSemaImage);
        if (entry.info.histogram[0] != written) ++lost;
        entry.info.histogram[0] = ++written;
      }
      Sleep(0);
    }
  });
  for (int i = 0; i < 1000; ++i) RereadEntryRecord(0);
  stop = true;
  list.join();
  g_entryPointers = listed;
  g_entryCount = count;
  g_semaphores[kSemaImage] = nullptr;
  CloseHandle(sema);
  EXPECT_EQ(lost.load(), 0);
  WIN32_FILE_ATTRIBUTE_DATA facts;
  ASSERT_TRUE(GetFileAttributesExW(kSample, GetFileExInfoStandard, &facts));
  EXPECT_EQ(entry.info.fileSize, facts.nFileSizeLow);  // it was read again
}

TEST_F(ImageInfoWin, TextsOnlyWithTheList) {
  ImageInfo info{};
  info.fileTypeFlag = 0x2;
  FillImageInfoFromText(info, L"p\nModel\tX\nWidth\t640\nHeight\t480\n", false);
  EXPECT_EQ(std::wstring(GetInfoField(info, 6)), L"");
  EXPECT_EQ(std::wstring(GetInfoField(info, 8)), L"X");
  FillImageInfoFromText(info, nullptr, true);  // no buffer: a file without metadata
  EXPECT_EQ(info.modelRow, 6);
}

TEST_F(ImageInfoWin, FocalLengthFollowsTheSetting) {
  ImageInfo info{};
  info.modelRow = 26;
  wcscpy(W(info.focalLength), L"50.0mm");
  g_settings.focalLength35mm = 0;
  EXPECT_EQ(std::wstring(GetInfoField(info, 18)), L"50.0mm");
  g_settings.focalLength35mm = 1;
  EXPECT_EQ(std::wstring(GetInfoField(info, 18)), L"80mm");
  g_settings.focalLength35mm = 0;
}

TEST_F(ImageInfoWin, FileTimes) {
  wchar_t out[32] = L"junk";
  EXPECT_FALSE(FormatFileWriteTime(L"C:\\no such folder\\no.jpg", out, 32));
  EXPECT_EQ(std::wstring(out), L"");

  wchar_t folder[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"brn", 0, path);
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SYSTEMTIME noon{2012, 5, 0, 6, 12, 0, 0, 0};
  FILETIME written;
  SystemTimeToFileTime(&noon, &written);
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
  CloseHandle(file);
  // The file's other handle keeps the file open for writing: reading must share with it.
  HANDLE writer = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_TRUE(FormatFileWriteTime(path, out, 32));
  std::wstring text = out;
  ASSERT_EQ(text.size(), 19u);
  EXPECT_EQ(text.substr(0, 9), L"2012/05/0");  // local time stays within a day of noon UTC
  EXPECT_EQ(text[10], L' ');
  EXPECT_TRUE(FormatFileCreationTime(path, out, 32));
  EXPECT_EQ(wcslen(out), 19u);
  EXPECT_TRUE(FormatFileAccessTime(path, out, 5));
  EXPECT_EQ(wcslen(out), 4u);  // cut to the caller's buffer, not past it
  CloseHandle(writer);
  DeleteFileW(path);
}

}  // namespace
