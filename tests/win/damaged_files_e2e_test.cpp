// The real program over a folder of damaged and unusual files: cut camera pictures, headers with
// offsets beyond their file, fuzzing inputs under picture and RAW names, movies cut to their
// first 4 KB and empty files of every listed extension. Every row is paged to with the wheel over
// the pane, every box is answered, and closing the main window then ends the program in
// bounded time with its settings written.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/e2e_start.h"
#include "support/remote_controls.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint16_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  Put16(b, at, static_cast<uint16_t>(v));
  Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// A little-endian TIFF whose first directory, at `ifd`, holds the given (tag, type, count, value)
// entries; values are written in place, so a pointer value points wherever the case wants.
struct Tag {
  uint16_t tag, type;
  uint32_t count, value;
};
Bytes Tiff(const char* prefix, size_t prefixSize, uint32_t ifd, const std::vector<Tag>& tags, uint32_t next) {
  Bytes b(prefix, prefix + prefixSize);
  b.resize(ifd, 0);
  Put16(b, ifd, static_cast<uint16_t>(tags.size()));
  size_t at = ifd + 2;
  for (const Tag& t : tags) {
    Put16(b, at, t.tag);
    Put16(b, at + 2, t.type);
    Put32(b, at + 4, t.count);
    Put32(b, at + 8, t.value);
    at += 12;
  }
  Put32(b, at, next);
  b.resize(at + 64, 0x11);
  return b;
}

std::wstring Widen(const char* s) {
  std::wstring w;
  for (; *s; ++s) w += static_cast<wchar_t>(*s == '/' ? '\\' : *s);
  return w;
}

// Writes the damaged folder; returns how many files it holds.
int MakeDamagedFolder(const std::wstring& folder, const std::wstring& movies) {
  int files = 0;
  auto write = [&](const std::wstring& name, const Bytes& b) {
    EXPECT_TRUE(WriteWholeFile(folder + L"\\" + name, b.data(), b.size())) << testing::PrintToString(name);
    ++files;
  };

  // A camera picture cut at several points: inside its Exif block and inside its scan.
  Bytes camera;
  EXPECT_TRUE(ReadWholeFile(L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\sample1.jpg", &camera))
      << "golang-github-rwcarlsen-goexif-dev is not installed";
  // The Exif segment: its TIFF header and its end.
  size_t tiff = 0, exifEnd = 0;
  for (size_t at = 2; at + 10 < camera.size() && camera[at] == 0xFF && camera[at + 1] != 0xDA;) {
    const size_t length = static_cast<size_t>(camera[at + 2]) << 8 | camera[at + 3];
    if (camera[at + 1] == 0xE1 && camera[at + 4] == 'E') {
      tiff = at + 10;
      exifEnd = at + 2 + length;
      break;
    }
    at += 2 + length;
  }
  EXPECT_NE(tiff, 0u) << "no Exif segment in the camera picture";
  if (tiff != 0 && exifEnd < camera.size()) {
    const size_t cuts[] = {3, 40, exifEnd / 2, exifEnd + 20, camera.size() / 2, camera.size() - 3};
    for (size_t cut : cuts) write(L"cut_" + std::to_wstring(cut) + L".jpg", Bytes(camera.begin(), camera.begin() + cut));
    // Its first directory far beyond the file, and a directory that claims 65535 entries.
    Bytes distant = camera;
    Put32(distant, tiff + 4, 0xFFFFFF00u);
    write(L"exif_far.jpg", distant);
    Bytes many = camera;
    Put16(many, tiff + 8, 0xFFFF);
    write(L"exif_many.jpg", many);
  }

  // TIFF and RAW headers whose offsets point beyond the file or back into themselves.
  const char tiffHead[] = {'I', 'I', 42, 0};
  write(L"ifd_empty.tif", Tiff(tiffHead, 4, 8, {}, 0));
  {
    Bytes b = Tiff(tiffHead, 4, 8, {}, 0);
    Put32(b, 4, 0x7FFFFFF0u);
    write(L"head_far.tif", b);
  }
  write(L"strips_far.tif", Tiff(tiffHead, 4, 8,
                                {{256, 4, 1, 60000}, {257, 4, 1, 60000}, {258, 3, 1, 8}, {259, 3, 1, 1},
                                 {262, 3, 1, 1}, {273, 4, 1, 0x7FFFFFF0u}, {278, 4, 1, 60000}, {279, 4, 1, 0x7FFFFFFFu}},
                                0));
  write(L"loop.nef", Tiff(tiffHead, 4, 8,
                          {{271, 2, 18, 0x7FFFFF00u}, {272, 2, 20, 0xFFFFFFF0u}, {330, 4, 3, 8}, {34665, 4, 1, 8}}, 8));
  const char cr2Head[] = {'I', 'I', 42, 0, 16, 0, 0, 0, 'C', 'R', 2, 0, 0, 0, 0, 0};
  write(L"offsets.cr2", Tiff(cr2Head, 16, 16,
                             {{256, 4, 1, 5184}, {257, 4, 1, 3456}, {271, 2, 0x7FFFFFFFu, 200}, {273, 4, 1, 0xFFFFFF00u},
                              {279, 4, 1, 0x00FFFFFFu}, {34665, 4, 1, 0xFFFFFFF0u}},
                             0xFFFFFFF0u));
  write(L"sizes.dng", Tiff(tiffHead, 4, 8,
                           {{254, 4, 1, 0}, {256, 4, 1, 40000}, {257, 4, 1, 40000}, {258, 3, 1, 16}, {259, 3, 1, 1},
                            {262, 3, 1, 32803}, {273, 4, 1, 4096}, {277, 3, 1, 1}, {279, 4, 1, 3200000000u},
                            {50706, 1, 4, 0x00000401}},
                           0));
  {
    Bytes raf(0x100, 0);
    const char magic[] = "FUJIFILMCCD-RAW 0201FF383501";
    for (size_t i = 0; i + 1 < sizeof magic; ++i) raf[i] = static_cast<uint8_t>(magic[i]);
    for (size_t at = 0x54; at < 0x70; at += 4) raf[at] = 0x7F, raf[at + 1] = 0xFF;  // big-endian far offsets
    write(L"offsets.raf", raf);
  }

  // The fuzzers' inputs under picture and RAW names.
  const wchar_t* const kNames[] = {L"jpg", L"tif", L"nef", L"cr2", L"raf", L"mrw", L"crw", L"psd", L"x3f",
                                   L"dng", L"orf", L"arw", L"png", L"gif", L"bmp", L"pef", L"rw2", L"srw"};
  const std::wstring corpus = Widen("Z:" BRN_FUZZ_CORPUS) + L"\\";
  int n = 0;
  WIN32_FIND_DATAW dir;
  HANDLE folders = FindFirstFileW((corpus + L"*").c_str(), &dir);
  EXPECT_NE(folders, INVALID_HANDLE_VALUE) << "no fuzzing corpus";
  if (folders != INVALID_HANDLE_VALUE) {
    do {
      if (!(dir.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || dir.cFileName[0] == L'.') continue;
      const std::wstring sub = corpus + dir.cFileName + L"\\";
      WIN32_FIND_DATAW fd;
      HANDLE find = FindFirstFileW((sub + L"*").c_str(), &fd);
      if (find == INVALID_HANDLE_VALUE) continue;
      int taken = 0;
      do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        Bytes b;
        if (!ReadWholeFile(sub + fd.cFileName, &b)) continue;
        write(L"fuzz_" + std::to_wstring(n) + L"." + kNames[n % (sizeof kNames / sizeof kNames[0])], b);
        ++n;
      } while (++taken < 3 && FindNextFileW(find, &fd));
      FindClose(find);
    } while (FindNextFileW(folders, &dir));
    FindClose(folders);
  }

  // Movies cut to their first 4 KB: a MOV with its index in front, an AVI, an MP4.
  const struct {
    const wchar_t *from, *to;
  } kMovies[] = {{L"front.mov", L"cut.mov"}, {L"clip.avi", L"cut.avi"}, {L"clip.mp4", L"cut.mp4"}};
  for (const auto& m : kMovies) {
    Bytes b;
    EXPECT_TRUE(ReadWholeFile(movies + m.from, &b)) << testing::PrintToString(std::wstring(m.from));
    if (b.size() > 4096) b.resize(4096);
    write(m.to, b);
  }

  // An empty file of every extension the program lists by default.
  const wchar_t* const kListed[] = {L"bmp", L"jpg", L"png", L"gif", L"tif", L"crw", L"cr2", L"nef", L"mrw",
                                    L"pef", L"orf", L"raf", L"sr2", L"arw", L"dng", L"nrw", L"raw", L"rw2",
                                    L"rwl", L"mef", L"x3f", L"psd", L"srw", L"fff", L"dcr", L"avi", L"wmv",
                                    L"mpg", L"mpeg", L"mp4", L"mov", L"flv", L"3gp", L"3g2", L"divx", L"m2ts", L"mts"};
  for (const wchar_t* extension : kListed) write(std::wstring(L"empty.") + extension, Bytes());
  return files;
}

bool IsSettingsDialog(HWND w) {
  wchar_t title[16] = {};
  GetWindowTextW(w, title, 16);
  return std::wstring(title) == L"環境設定";
}

// Answers every message box the program shows (a window of the dialog class with a text
// control); the movie strip, of the same class, has none, and the settings are left to
// their own close.
int AnswerBoxes(DWORD processId) {
  int answered = 0;
  for (HWND w : VisibleTopWindows(processId, L"#32770")) {
    if (!GetDlgItem(w, 0xFFFF) || (!GetDlgItem(w, IDOK) && !GetDlgItem(w, IDCANCEL)) || IsSettingsDialog(w)) continue;
    PostMessageW(w, WM_COMMAND, MAKEWPARAM(GetDlgItem(w, IDOK) ? IDOK : IDCANCEL, BN_CLICKED), 0);
    ++answered;
  }
  return answered;
}

int ShownRow(HWND status) {
  const std::wstring t = StatusPartText(status, 8);
  int row = 0, count = 0;
  return std::swscanf(t.c_str(), L"\tFILE:%d/%d", &row, &count) == 2 ? row : 0;
}

// The program started on a folder of damaged files the test makes, once it lists all of them.
class DamagedFilesE2E : public testing::Test {
 protected:
  void StartOnDamagedFolder() {
    const std::wstring movies = ExeFolder() + L"\\..\\testdata\\movies\\";
    if (!FileExists(movies + L"front.mov")) GTEST_SKIP() << "test movies missing (ffmpeg not installed)";
    const std::wstring exe = CopyProgramInto(dir_), folder = dir_.File(L"damaged");
    cfg_ = dir_.File(L"Brannomere.cfg");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    files_ = MakeDamagedFolder(folder, movies);
    ASSERT_FALSE(HasFailure());
    main_ = StartAndAgree(p_, exe, folder);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitFor([&] { return (status_ = FindDescendant(main_, STATUSCLASSNAMEW)) != nullptr; }, 10000));
  }
  void WaitUntilAllListed() {
    const std::wstring all = L"/" + std::to_wstring(files_);
    ASSERT_TRUE(WaitFor([&] {
      AnswerBoxes(p_.id);
      return StatusPartText(status_, 8).find(all) != std::wstring::npos;
    }, 30000)) << testing::PrintToString(StatusPartText(status_, 8)) << " of " << files_;
  }
  // Closing the main window ends the program within ten seconds and writes the settings.
  void CloseAndExpectTheEnd(bool answerBoxes) {
    DeleteFileW(cfg_.c_str());
    PostMessageW(main_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    const bool ended = answerBoxes ? WaitFor([&] {
      AnswerBoxes(p_.id);
      return p_.WaitExit(0, &code);
    }, 10000) : p_.WaitExit(10000, &code);
    EXPECT_TRUE(ended) << "the program is still running ten seconds after its window was closed";
    if (!ended) p_.Kill();
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(FileExists(cfg_));
  }

  ScratchDir dir_;
  std::wstring cfg_;
  int files_ = 0;
  Process p_;
  HWND main_ = nullptr, status_ = nullptr;
};

TEST_F(DamagedFilesE2E, PagingThroughDamagedFilesThenClosingEndsTheProgram) {
  StartOnDamagedFolder();
  if (IsSkipped() || HasFatalFailure()) return;
  HWND list = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (list = FindDescendant(main_, WC_LISTVIEWW, 313)) != nullptr; }, 10000));
  HWND pane = GetDlgItem(GetParent(list), 301);
  ASSERT_NE(pane, nullptr);
  // A damaged RAW's failure box, shown by a row's thread as the list starts, holds the
  // first-start settings back until it is answered.
  WaitFor([&] {
    AnswerBoxes(p_.id);
    return FindTopWindow(p_.id, L"#32770", L"環境設定") != nullptr;
  }, 60000);
  CloseFirstStartSettings(p_.id);
  WaitUntilAllListed();
  if (HasFatalFailure()) return;

  // Row after row to the last, with the wheel over the first pane (the program steps over the
  // rows of files it found gone); a step the display swallowed while a box had the focus is
  // given again.
  const int files = files_;
  HWND status = status_, main = main_;
  int boxes = 0;
  const RECT r = ScreenRectOf(pane);
  for (int shown = ShownRow(status), steps = 0; shown < files && steps < 3 * files; ++steps) {
    boxes += AnswerBoxes(p_.id);
    SetForegroundWindow(main);
    ReleaseStuckModifiers();
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT wheel{};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    SendInput(1, &wheel, sizeof wheel);
    const int before = shown;
    WaitFor([&] {
      boxes += AnswerBoxes(p_.id);
      return (shown = ShownRow(status)) != before;
    }, 3000);
    // A moment on the row: its picture or movie starts loading.
    WaitFor([&] { return false; }, 150);
  }
  EXPECT_EQ(ShownRow(status), files) << "paging stopped";
  boxes += AnswerBoxes(p_.id);
  std::fprintf(stderr, "note: %d files, %d boxes answered\n", files, boxes);
  CloseAndExpectTheEnd(false);
}

// Closed at once, while the list is still reading the damaged files (a cut movie's probe waits
// for data that never comes): the program still ends within ten seconds with its settings.
TEST_F(DamagedFilesE2E, ClosingWhileTheDamagedFilesAreReadEndsTheProgram) {
  StartOnDamagedFolder();
  if (IsSkipped() || HasFatalFailure()) return;
  WaitUntilAllListed();
  if (HasFatalFailure()) return;
  CloseAndExpectTheEnd(true);
}

}  // namespace
