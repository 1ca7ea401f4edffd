// The real program: the wallpaper command writes the desktop-sized bitmap and sets it as the
// wallpaper; a key bound to "RAW development to TIFF" develops the selected DNG files one by
// one, showing "[n/3] RAW現像" in the progress window's caption.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/pure/action_table.h"
#include "core/pure/settings_block.h"
#include "support/dng_writer.h"
#include "support/e2e_start.h"
#include "support/gdiplus_session.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

// A 640 x 480 JPEG, red on the left and blue on the right.
bool WritePicture(const std::wstring& path) {
  GdiplusSession gdiplus;
  if (!gdiplus.ok()) return false;
  Gdiplus::Bitmap bitmap(640, 480, PixelFormat24bppRGB);
  Gdiplus::Graphics g(&bitmap);
  Gdiplus::SolidBrush blue(Gdiplus::Color(255, 0, 0, 255)), red(Gdiplus::Color(255, 255, 0, 0));
  g.FillRectangle(&blue, 0, 0, 640, 480);
  g.FillRectangle(&red, 0, 0, 320, 480);
  CLSID jpeg;
  return EncoderFor(L"image/jpeg", &jpeg) && bitmap.Save(path.c_str(), &jpeg, nullptr) == Gdiplus::Ok;
}

// Selects every row of the program's list through a record in its process.
void SelectAll(DWORD processId, HWND list) {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return;
  void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
  if (remote) {
    LVITEMW item{};
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    SIZE_T done = 0;
    WriteProcessMemory(process, remote, &item, sizeof item, &done);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
}

// The caption of the program's last top-level window in z order whose caption ends with "RAW現像".
std::wstring ProgressCaption(DWORD processId) {
  std::wstring caption;
  TopWindowsWhere(processId, [&](HWND w) {
    const std::wstring t = WindowText(w);
    if (t.size() > 5 && t.compare(t.size() - 5, 5, L"RAW現像") == 0) caption = t;
    return false;
  });
  return caption;
}

TEST(ExportE2E, WallpaperCommandAndRawDevelopmentBatch) {
  ScratchDir dir, photos;
  // The RAW module is found beside the program, as in an installed copy.
  const std::wstring exe = CopyProgramInto(dir, true), cfg = dir.File(L"Brannomere.cfg");
  ASSERT_TRUE(WritePicture(photos.File(L"a.jpg")));
  brn_test::SyntheticDng shot;
  shot.width = 1200;
  shot.height = 800;
  shot.make = "Canon";
  shot.model = "Canon EOS 5D Mark II";
  const auto dng = brn_test::MakeSyntheticDng(shot);
  // An existing output folder: no question before the batch.
  ASSERT_TRUE(CreateDirectoryW(photos.File(L"develop").c_str(), nullptr));
  for (const wchar_t* name : {L"b.dng", L"c.dng", L"d.dng"})
    ASSERT_TRUE(WriteWholeFile(photos.File(name), dng.data(), dng.size()));
  ASSERT_NO_FATAL_FAILURE(AgreeAndCloseOnce(exe));
  ASSERT_TRUE(ChangeSettingsFile(cfg, [&](SettingsBlock& settings) {
    settings.wallpaperFolder = 0;  // beside the program
    settings.enabledImageTypes |= 0x2 | 0x4000;
    settings.actionCount = 1;
    settings.confirmFirstAction = 0;
    auto* rows = reinterpret_cast<ActionEntry*>(settings.actionTable);
    std::memset(rows, 0, sizeof(ActionEntry));
    rows[0].enabled = 1;
    rows[0].targetKey = 4 + ('R' - 'A');
    rows[0].kind = 7;
    wcscpy(reinterpret_cast<wchar_t*>(rows[0].path), L"develop\\");
  }));

  Process p;
  HWND main = nullptr, list = nullptr;
  ASSERT_TRUE(StartAgain(p, exe, photos.path(), 4, &main, &list));
  WaitFor([] { return false; }, 1000);
  RECT r = ScreenRectOf(list);
  // The first thumbnail (a.jpg): selected, the list focused.
  ASSERT_TRUE(ClickUntilFocused(main, list, r.left + 30, r.top + 30));

  // Wallpaper: the pane's command, its question answered "はい(&Y)".
  PostMessageW(GetParent(list), WM_COMMAND, 125, 0);
  std::wstring caption, text;
  ASSERT_TRUE(AnswerForeignBox(p.id, 7, 15000, &caption, &text));
  EXPECT_EQ(text, L"現在選択の画像を壁紙に設定しますか？");
  const std::wstring wallpaper = dir.File(L"BG__Brannomere__.bmp");
  ASSERT_TRUE(WaitFor([&] { return FileExists(wallpaper); }, 15000)) << [&] {
    std::string names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(dir.File(L"*").c_str(), &fd);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &fd)) {
      for (const wchar_t* c = fd.cFileName; *c; ++c) names += *c < 128 ? static_cast<char>(*c) : '?';
      names += ' ';
    }
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return names;
  }();
  std::vector<uint8_t> bmp;
  ASSERT_TRUE(WaitFor([&] { return ReadWholeFile(wallpaper, &bmp) && bmp.size() > 54; }, 5000));
  int32_t width = 0, height = 0;
  std::memcpy(&width, &bmp[18], 4);
  std::memcpy(&height, &bmp[22], 4);
  RECT desk{};
  GetClientRect(GetDesktopWindow(), &desk);
  EXPECT_EQ(width, desk.right / 4 * 4);
  EXPECT_EQ(height < 0 ? -height : height, desk.bottom);
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value;
  EXPECT_TRUE(WaitFor([&] {
    size = sizeof value;
    return RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr, value,
                        &size) == ERROR_SUCCESS &&
           _wcsicmp(value, wallpaper.c_str()) == 0;
  }, 5000))
      << "registry: " << value;

  // RAW batch: every row selected, the key of the kind-7 action.
  ASSERT_TRUE(ClickUntilFocused(main, list, r.left + 30, r.top + 30));  // again after the question
  SelectAll(p.id, list);
  std::vector<std::wstring> seen;
  auto progress = [&] {
    const std::wstring c = ProgressCaption(p.id);
    if (!c.empty() && (seen.empty() || seen.back() != c)) seen.push_back(c);
    return c;
  };
  EXPECT_TRUE(PressKeyUntil('R', [&] { return !progress().empty() || FileExists(photos.File(L"develop\\b.tiff")); },
                            30000));
  const bool done = WaitFor([&] {
    return progress().empty() && FileExists(photos.File(L"develop\\b.tiff")) &&
           FileExists(photos.File(L"develop\\c.tiff")) && FileExists(photos.File(L"develop\\d.tiff"));
  }, 90000);
  EXPECT_TRUE(done) << "captions seen: " << seen.size();
  bool sawSecond = false;
  for (const auto& c : seen) sawSecond = sawSecond || c == L"[1/3] RAW現像";
  EXPECT_TRUE(sawSecond) << "captions seen: " << seen.size();
  EXPECT_FALSE(FileExists(photos.File(L"develop\\a.tiff")));  // the JPEG is no RAW file
  EXPECT_EQ(WindowText(main).find(L"RAW"), std::wstring::npos);
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(20000, &code));
}

}  // namespace
