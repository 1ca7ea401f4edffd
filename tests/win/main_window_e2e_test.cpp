// The real program's main window: first-start placement and its record in the settings file,
// keyboard toggles served by the idle timer, and a screenshot of the empty window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <commctrl.h>
#include <gdiplus.h>
#include <cmath>
#include <string>
#include <vector>

#include "browser/pure/idle_rules.h"
#include "core/pure/scramble.h"
#include "core/pure/settings_block.h"
#include "resources/resource.h"
#include "support/e2e_start.h"
#include "support/gdiplus_session.h"
#include "support/remote_controls.h"
#include "viewer/pure/viewer_geometry.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

// The file-list pane: the child dialog whose list control has id 313.
HWND FileListPane(HWND main) {
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetDlgItem(c, 313)) return c;
  return nullptr;
}

// The window with the keyboard focus in the thread of the window.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

int32_t I32At(const std::vector<uint8_t>& b, size_t offset) {
  int32_t v;
  std::memcpy(&v, b.data() + offset, 4);
  return v;
}

TEST(MainWindowE2E, FirstStartPlacementKeysAndTheStoredRectangle) {
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), cfg = dir.File(L"Brannomere.cfg");
  Process p;
  HWND main = StartAndAgree(p, exe, L"");
  ASSERT_NE(main, nullptr);
  // Start-up ends by giving the focus to the file list once the first list is built; keys
  // pressed before that would be undone by it.
  EXPECT_TRUE(WaitFor([&] { return GetDlgCtrlID(FocusOf(main)) == 313; }, 20000));
  CloseFirstStartSettings(p.id);
  WaitFor([] { return false; }, 300);

  RECT r = ScreenRectOf(main);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 1820);
  EXPECT_EQ(r.bottom - r.top, 980);

  HWND pane = FileListPane(main);
  ASSERT_NE(pane, nullptr);
  auto paneLeft = [&] {
    RECT pr = ScreenRectOf(pane);
    POINT pt{pr.left, pr.top};
    ScreenToClient(main, &pt);
    return pt.x;
  };
  EXPECT_EQ(paneLeft(), 200);

  const std::wstring shot = ExeFolder() + L"\\main_window_empty.bmp";
  EXPECT_TRUE(SaveScreenshot(shot));

  SetForegroundWindow(main);
  // The first Tab puts the focus into the folder tree; from there Tab hides the navigation pane
  // and the file list moves to the left edge; Tab again brings it back.
  EXPECT_TRUE(PressKeyUntil(VK_TAB, [&] { return GetDlgCtrlID(FocusOf(main)) == IDC_FOLDER_TREE; }, 20000));
  EXPECT_EQ(paneLeft(), 200);
  EXPECT_TRUE(PressKeyUntil(VK_TAB, [&] { return paneLeft() == 0; }, 20000));
  EXPECT_TRUE(PressKeyUntil(VK_TAB, [&] { return paneLeft() == 200; }, 20000));

  // Escape: full screen over the whole desktop, and back to the window.
  RECT desk;
  GetWindowRect(GetDesktopWindow(), &desk);
  EXPECT_TRUE(PressKeyUntil(VK_ESCAPE, [&] {
    RECT f = ScreenRectOf(main);
    return f.left == desk.left && f.top == desk.top && f.right == desk.right && f.bottom == desk.bottom;
  }, 20000));
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_TRUE(PressKeyUntil(VK_ESCAPE, [&] {
    RECT f = ScreenRectOf(main);
    return f.left == 50 && f.top == 50 && f.right == 1870 && f.bottom == 1030;
  }, 20000));
  EXPECT_TRUE(WaitFor([&] { return paneLeft() == 200; }, 20000));

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
  std::vector<uint8_t> plain;
  ASSERT_TRUE(ReadWholeFile(cfg, &plain));
  ASSERT_EQ(plain.size(), sizeof(SettingsBlock));
  ScrambleBuffer(plain.data(), plain.size());
  EXPECT_EQ(I32At(plain, 49536), 50);
  EXPECT_EQ(I32At(plain, 49540), 50);
  EXPECT_EQ(I32At(plain, 49544), 1820);
  EXPECT_EQ(I32At(plain, 49548), 980);
  EXPECT_EQ(plain[offsetof(SettingsBlock, cleanExit)], 1);
  EXPECT_EQ(plain[offsetof(SettingsBlock, wasFullScreen)], 0);
}


// Reads the first file of that name below the folder.
bool FindAndReadFile(const std::wstring& folder, const std::wstring& name, std::vector<uint8_t>* out) {
  if (ReadWholeFile(folder + L"\\" + name, out)) return true;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    const std::wstring sub = fd.cFileName;
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && sub != L"." && sub != L"..")
      found = FindAndReadFile(folder + L"\\" + sub, name, out);
  } while (!found && FindNextFileW(find, &fd));
  FindClose(find);
  return found;
}

std::wstring ByteSizeText(int64_t bytes) {
  char text[64];
  const int n = FormatByteSizeText(text, sizeof text, bytes);
  return std::wstring(text, text + n);
}

// The camera JPEGs of the goexif package, by name.
std::vector<std::wstring> SampleJpegs() {
  const std::wstring folder = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";
  std::vector<std::wstring> out;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((folder + L"*.jpg").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return out;
  do {
    out.push_back(folder + fd.cFileName);
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  std::sort(out.begin(), out.end());
  return out;
}

// Opens the list's popup with a right click on the row, then its collections submenu with the
// keys a user would press (the twelfth item: 画像をコレクションに追加); returns the submenu
// window, null when it did not open.
HWND OpenCollectionsSubmenu(DWORD processId, HWND list, int row) {
  const RECT r = ListRowRect(list, row);
  const LPARAM at = MAKELPARAM(r.left + 40, (r.top + r.bottom) / 2);
  HWND popup = nullptr;
  // A popup opened while an activation change is still under way is cancelled by it: once more.
  for (int attempt = 0; attempt < 2 && !popup; ++attempt) {
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(list, WM_RBUTTONUP, 0, at);
    WaitFor([&] { return (popup = FindOpenPopupMenu(processId)) != nullptr; }, 10000);
  }
  if (!popup) return nullptr;
  PostMenuKey(popup, VK_DOWN, 12);
  PostMenuKey(popup, VK_RIGHT);
  HWND submenu = nullptr;
  WaitFor([&] {
    for (HWND w : FindOpenPopupMenus(processId))
      if (w != popup) submenu = w;
    return submenu != nullptr;
  }, 10000);
  return submenu;
}

// The program on a folder of 20 camera pictures, read from outside as a user sees it: the
// status bar's counters and information line, the position slider, the caption, the tool
// popup and a new collection.
TEST(MainWindowE2E, AFolderOfCameraPicturesAsTheUserSeesIt) {
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), photos = dir.File(L"photos");
  ASSERT_TRUE(CreateDirectoryW(photos.c_str(), nullptr));
  std::vector<std::wstring> samples = SampleJpegs();
  ASSERT_GE(samples.size(), 20u) << "the goexif sample pictures are missing";
  samples.resize(20);
  int64_t totalBytes = 0;
  std::vector<std::pair<std::wstring, int64_t>> files;
  for (const std::wstring& src : samples) {
    const std::wstring name = src.substr(src.rfind(L'\\') + 1);
    ASSERT_TRUE(CopyFileW(src.c_str(), (photos + L"\\" + name).c_str(), FALSE));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(src.c_str(), GetFileExInfoStandard, &data));
    files.push_back({name, static_cast<int64_t>(data.nFileSizeLow)});
    totalBytes += data.nFileSizeLow;
  }

  Process p;
  HWND main = StartAndAgree(p, exe, photos);
  ASSERT_NE(main, nullptr);
  HWND status = nullptr, slider = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (status = FindDescendant(main, STATUSCLASSNAMEW)) != nullptr; }, 10000));
  ASSERT_TRUE(WaitFor([&] { return (slider = FindDescendant(main, TRACKBAR_CLASSW, 339)) != nullptr; }, 10000));

  // The list is loaded and the first row is current.
  EXPECT_TRUE(WaitFor([&] { return StatusPartText(status, 8) == L"\tFILE:1/20"; }, 60000))
      << "status part 8: " << testing::PrintToString(StatusPartText(status, 8));
  EXPECT_EQ(StatusPartText(status, 6), L"\tSEL:1");
  EXPECT_EQ(StatusPartText(status, 9), L"\tTOTAL:" + ByteSizeText(totalBytes));
  CloseFirstStartSettings(p.id);
  // The list thread's count, posted as it goes, fills the progress bar by the end of its pass.
  HWND progress = FindDescendant(main, PROGRESS_CLASSW);
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(WaitFor([&] { return SendMessageW(progress, PBM_GETPOS, 0, 0) == 100; }, 60000))
      << SendMessageW(progress, PBM_GETPOS, 0, 0);

  // The information line names the current file and, once its metadata is read, its camera.
  std::wstring line, name;
  EXPECT_TRUE(WaitFor([&] {
    line = StatusPartText(status, 0);
    if (line.compare(0, 7, L"FILE : ") != 0) return false;
    const size_t end = line.find(L"  ", 7);
    if (end == std::wstring::npos) return false;
    name = line.substr(7, end - 7);
    return line.size() > end + 2 && line[end + 2] != L' ';
  }, 60000)) << testing::PrintToString(line);
  auto file = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.first == name; });
  ASSERT_NE(file, files.end()) << testing::PrintToString(name);
  EXPECT_EQ(StatusPartText(status, 7), L"\tSIZE:" + ByteSizeText(file->second));

  // The slider covers every row and stands on the current one.
  const TrackbarState track = ReadTrackbar(slider);
  EXPECT_EQ(track.min, 1);
  EXPECT_EQ(track.max, 20);
  EXPECT_EQ(track.pos, 1);

  // The caption names the program and the folder shown.
  const std::wstring caption = WindowText(main);
  EXPECT_EQ(caption.compare(0, 10, L"Brannomere"), 0) << testing::PrintToString(caption);
  EXPECT_NE(caption.find(photos), std::wstring::npos) << testing::PrintToString(caption);

  // Command 205 (the menu button of the rebar) opens the tool popup.
  PostMessageW(main, WM_COMMAND, 205, 0);
  HWND popup = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (popup = FindOpenPopupMenu(p.id)) != nullptr; }, 10000));
  if (popup) {
    const RECT r = ScreenRectOf(popup);
    EXPECT_GT(r.bottom - r.top, 100);  // eight items and two separators, not an empty menu
    PostMessageW(main, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return FindOpenPopupMenu(p.id) == nullptr; }, 10000));
  }

  // The collections submenu of the list popup says "なし" while there is no collection.
  HWND list = FindDescendant(main, WC_LISTVIEWW, 313);
  ASSERT_NE(list, nullptr);
  HWND listPane = GetParent(list);
  HWND submenu = OpenCollectionsSubmenu(p.id, list, 0);
  ASSERT_NE(submenu, nullptr);
  const RECT emptyMenu = ScreenRectOf(submenu);
  PostMessageW(listPane, WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return FindOpenPopupMenu(p.id) == nullptr; }, 10000));

  // A new collection through its name dialog appears in the collection tree.
  HWND collectionTree = FindDescendant(main, WC_TREEVIEWW, 303);
  ASSERT_NE(collectionTree, nullptr);
  HWND navigation = GetParent(collectionTree);
  const std::wstring collection = L"E2E旅行の写真二〇〇四年から二〇〇九年まで";
  PostMessageW(navigation, WM_COMMAND, 267, 0);
  HWND nameDialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (nameDialog = FindTopWindow(p.id, L"#32770", L"新規コレクション作成")) != nullptr; },
                      10000));
  HWND edit = FindDescendant(nameDialog, L"Edit");
  ASSERT_NE(edit, nullptr);
  SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(collection.c_str()), SMTO_NORMAL, 5000, nullptr);
  PostMessageW(nameDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  std::vector<std::wstring> texts;
  EXPECT_TRUE(WaitFor([&] {
    texts = TreeTexts(collectionTree);
    return std::find(texts.begin(), texts.end(), collection) != texts.end();
  }, 10000)) << testing::PrintToString(texts.size());

  // The submenu now lists the collection: one item as before, as wide as its long name (a menu
  // of another process cannot be read under Wine, so its size stands for its text). Picking it
  // adds the current picture to the collection.
  submenu = OpenCollectionsSubmenu(p.id, list, 0);
  ASSERT_NE(submenu, nullptr);
  const RECT named = ScreenRectOf(submenu);
  EXPECT_GT((named.right - named.left) - (emptyMenu.right - emptyMenu.left), 100);
  EXPECT_EQ(named.bottom - named.top, emptyMenu.bottom - emptyMenu.top);
  PostMenuKey(submenu, VK_RETURN);
  EXPECT_TRUE(WaitFor([&] { return FindOpenPopupMenu(p.id) == nullptr; }, 10000));
  WaitFor([] { return false; }, 500);

  // The header shows sort marks and the rows their check marks: both image lists are
  // attached. A click on the first column sorts by it and marks it.
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_NE(SendMessageW(header, HDM_GETIMAGELIST, 0, 0), 0);
  EXPECT_NE(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_STATE, 0), 0);
  const RECT column = HeaderItemRect(header, 0);
  const LPARAM at = MAKELPARAM((column.left + column.right) / 2, (column.top + column.bottom) / 2);
  PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(header, WM_LBUTTONUP, 0, at);
  int format = 0, image = -1;
  EXPECT_TRUE(WaitFor([&] { return HeaderItemFormat(header, 0, &format, &image) && (format & HDF_IMAGE); }, 10000))
      << format;
  EXPECT_TRUE(image == 0 || image == 1) << image;

  const std::wstring shot = ExeFolder() + L"\\main_window_folder.bmp";
  EXPECT_TRUE(SaveScreenshot(shot));

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);

  // The collection's file holds the picture that was current.
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(FindAndReadFile(dir.path(), collection + L".co", &bytes));
  const std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  EXPECT_NE(wide.find(L"photos\\" + name), std::wstring::npos);
}

// A collection's file held by another program while the program starts, and let go before it
// closes, keeps its paths.
TEST(MainWindowE2E, ACollectionHeldAtStartKeepsItsFile) {
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), file = dir.File(L"user\\collection\\held.co");
  ASSERT_NO_FATAL_FAILURE(AgreeAndCloseOnce(exe));
  CreateDirectoryW(dir.File(L"user").c_str(), nullptr);
  CreateDirectoryW(dir.File(L"user\\collection").c_str(), nullptr);
  ASSERT_TRUE(WriteWholeFile(file, L"C:\\a.jpg\n", 20));
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  Process p;
  ASSERT_TRUE(p.Start(exe, L""));
  HWND main = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (main = FindTopWindow(p.id, L"BRANNOMERE", L"")) != nullptr; }, 30000));
  CloseHandle(held);
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(20000, &code));
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(file, &bytes) && bytes.size() == 20);
}

// ---- The viewer on a folder of camera pictures ----
namespace viewer_e2e {

// Text of a status-bar part of another process, read through a buffer in that process.
std::wstring StatusPartText(HANDLE process, HWND status, int part) {
  const SIZE_T bytes = 2048 * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote) return L"<no buffer>";
  std::vector<wchar_t> local(2048, 0);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 3000, &result);
  SIZE_T read = 0;
  ReadProcessMemory(process, remote, local.data(), bytes - sizeof(wchar_t), &read);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return std::wstring(local.data());
}

struct MeanColour {
  double r = 0, g = 0, b = 0, spread = 0;  // spread: mean absolute deviation, channels summed
};

// Mean colour of a screen rectangle (from the screen as Xvfb shows it).
MeanColour ScreenMean(RECT r) {
  MeanColour m;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return m;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP dib = NewDib32(w, h, &bits);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const uint8_t* p = static_cast<const uint8_t*>(bits);
  const double n = static_cast<double>(w) * h;
  for (int i = 0; i < w * h; ++i) {
    m.b += p[i * 4];
    m.g += p[i * 4 + 1];
    m.r += p[i * 4 + 2];
  }
  m.r /= n;
  m.g /= n;
  m.b /= n;
  for (int i = 0; i < w * h; ++i)
    m.spread += std::fabs(p[i * 4] - m.b) + std::fabs(p[i * 4 + 1] - m.g) + std::fabs(p[i * 4 + 2] - m.r);
  m.spread /= n;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return m;
}

// A JPEG of the given size: left half orange, right half blue, with a dark band to give it
// structure; its mean is the two halves' average.
bool WriteTwoColourJpeg(const std::wstring& path, int w, int h) {
  using namespace Gdiplus;
  Bitmap bitmap(w, h, PixelFormat24bppRGB);
  {
    Graphics g(&bitmap);
    SolidBrush orange(Color(255, 230, 120, 20)), blue(Color(255, 20, 60, 210));
    g.FillRectangle(&orange, 0, 0, w / 2, h);
    g.FillRectangle(&blue, w / 2, 0, w - w / 2, h);
  }
  CLSID jpeg;
  return testsupport::EncoderFor(L"image/jpeg", &jpeg) && bitmap.Save(path.c_str(), &jpeg, nullptr) == Ok;
}

HWND Pane(HWND main, int k) {
  HWND list = FileListPane(main);
  return list ? GetDlgItem(list, 301 + k) : nullptr;
}

// The program started on a folder of pictures past its first dialogs: its status bar and its first
// viewer pane.
void StartViewer(Process& p, const std::wstring& exe, const std::wstring& pictures, HWND* main, HWND* status,
                 HWND* pane0) {
  *main = StartAndAgree(p, exe, pictures);
  ASSERT_NE(*main, nullptr);
  *status = FindWindowExW(*main, nullptr, L"msctls_statusbar32", nullptr);
  ASSERT_NE(*status, nullptr);
  ASSERT_TRUE(WaitFor([&] { return (*pane0 = Pane(*main, 0)) != nullptr; }, 10000));
  CloseFirstStartSettings(p.id);
}

}  // namespace viewer_e2e

TEST(MainWindowE2E, ViewerShowsCameraPicturesInEveryLayout) {
  using namespace viewer_e2e;
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir);
  const std::wstring pictures = dir.File(L"pictures");
  ASSERT_TRUE(CreateDirectoryW(pictures.c_str(), nullptr));
  // The generated picture sorts first; camera JPEGs from the goexif package follow.
  ASSERT_TRUE(WriteTwoColourJpeg(pictures + L"\\000_big.jpg", 4000, 3000));
  // Whole camera pictures of the goexif package (most of its samples keep only their Exif
  // header and thumbnail, which the viewer cannot show beyond the thumbnail).
  const std::wstring exif = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif";
  const wchar_t* const kCameraFiles[] = {L"\\sample1.jpg", L"\\samples\\has-lens-info.jpg",
                                         L"\\samples\\geodegrees_as_string.jpg", L"\\samples\\f6-exif.jpg"};
  int copied = 0;
  for (const wchar_t* name : kCameraFiles) {
    const std::wstring from = exif + name;
    const std::wstring to = pictures + L"\\" + from.substr(from.find_last_of(L'\\') + 1);
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) ++copied;
  }
  ASSERT_EQ(copied, 4) << "golang-github-rwcarlsen-goexif-dev is not installed";

  Process p;
  HWND main = nullptr, status = nullptr, pane0 = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartViewer(p, exe, pictures, &main, &status, &pane0));

  // The first picture: the status bar reads the fit mode and the level, and the pane shows
  // the picture's colours (its mean over the fitted rectangle), not a flat fill.
  EXPECT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 4) == L"\tFIT MODE"; }, 30000))
      << "part 4: " << testing::PrintToString(StatusPartText(p.handle, status, 4));
  EXPECT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 5) == L"\tOriginal"; }, 10000))
      << "part 5: " << testing::PrintToString(StatusPartText(p.handle, status, 5));
  RECT client;
  GetClientRect(pane0, &client);
  const PaneRect fit = FitPictureRect(4000, 3000, client.right, client.bottom);
  POINT origin{0, 0};
  ClientToScreen(pane0, &origin);
  // The information lines sit at the top and bottom: the middle band is picture only.
  RECT band{origin.x + fit.x, origin.y + fit.y + fit.h / 4, origin.x + fit.x + fit.w, origin.y + fit.y + fit.h * 3 / 4};
  MeanColour shown;
  const bool matched = WaitFor([&] {
    shown = ScreenMean(band);
    return std::fabs(shown.r - 125) < 14 && std::fabs(shown.g - 90) < 14 && std::fabs(shown.b - 115) < 14;
  }, 20000);
  EXPECT_TRUE(matched) << "mean " << shown.r << "," << shown.g << "," << shown.b;
  EXPECT_GT(shown.spread, 20.0);  // two colours, not one fill
  SaveScreenshot(ExeFolder() + L"\\viewer_layout0.bmp");

  // Paging to the next picture (a camera JPEG) changes what the pane shows.
  SetForegroundWindow(main);
  SetFocus(pane0);
  PostMessageW(FileListPane(main), WM_RBUTTONDOWN, 0, MAKELPARAM(client.right / 2, client.bottom / 2));
  const MeanColour first = shown;
  EXPECT_TRUE(WaitFor([&] {
    MeanColour now = ScreenMean(band);
    return std::fabs(now.r - first.r) + std::fabs(now.g - first.g) + std::fabs(now.b - first.b) > 20 &&
           StatusPartText(p.handle, status, 4) == L"\tFIT MODE";
  }, 20000));

  // Every split layout: each pane of the layout shows a picture (not the background).
  for (int layout = 1; layout <= 4; ++layout) {
    PostMessageW(main, WM_COMMAND, 338, 0);  // the next split layout
    const int panes = layout == 4 ? 4 : (layout == 3 ? 3 : 2);
    bool all = WaitFor([&] {
      for (int k = 0; k < panes; ++k) {
        HWND pane = Pane(main, k);
        if (!pane || !IsWindowVisible(pane)) return false;
        RECT r = ScreenRectOf(pane);
        InflateRect(&r, -(r.right - r.left) / 4, -(r.bottom - r.top) / 4);
        if (ScreenMean(r).spread < 8.0) return false;
      }
      return true;
    }, 30000);
    EXPECT_TRUE(all) << "layout " << layout;
    WaitFor([] { return false; }, 1500);  // settled, for the eye
    SaveScreenshot(ExeFolder() + L"\\viewer_layout" + std::to_wstring(layout) + L".bmp");
  }

  ExpectCleanExit(p, main);
}


// Paging with the wheel over the picture, the list ends as walls (the default): down steps to
// the last picture and stays there, up steps back to the first and stays there.
TEST(MainWindowE2E, WheelPagingStopsAtTheListEnds) {
  using namespace viewer_e2e;
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir);
  const std::wstring pictures = dir.File(L"pictures");
  ASSERT_TRUE(CreateDirectoryW(pictures.c_str(), nullptr));
  for (int i = 1; i <= 4; ++i)
    ASSERT_TRUE(WriteTwoColourJpeg(pictures + L"\\" + std::to_wstring(i) + L".jpg", 320 + 40 * i, 240));

  Process p;
  HWND main = nullptr, status = nullptr, pane0 = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartViewer(p, exe, pictures, &main, &status, &pane0));
  ASSERT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 4) == L"\tFIT MODE"; }, 30000));
  auto position = [&] { return StatusPartText(p.handle, status, 8); };
  ASSERT_TRUE(WaitFor([&] { return position() == L"\tFILE:1/4"; }, 20000)) << testing::PrintToString(position());

  const RECT r = ScreenRectOf(pane0);
  SetForegroundWindow(main);
  ReleaseStuckModifiers();  // a held Ctrl would make the wheel a zoom step
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const std::vector<std::wstring> expected = {L"\tFILE:2/4", L"\tFILE:3/4", L"\tFILE:4/4", L"\tFILE:4/4",
                                              L"\tFILE:4/4", L"\tFILE:3/4", L"\tFILE:2/4", L"\tFILE:1/4",
                                              L"\tFILE:1/4", L"\tFILE:1/4"};
  // One notch, then the status bar's position once it shows the step expected of it (a busy
  // machine serves a notch late). A notch at a wall leaves nothing to wait for: it is given a
  // moment, and a program that turned round there shows it at the next step.
  auto turn = [&](int notches, const std::wstring& step) {
    const bool moves = position() != step;
    INPUT wheel{};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    SendInput(1, &wheel, sizeof wheel);
    WaitFor([&] { return moves && position() == step; }, moves ? 20000 : 700);
    return position();
  };
  std::vector<std::wstring> seen;
  for (size_t i = 0; i < expected.size(); ++i) seen.push_back(turn(i < 5 ? -1 : 1, expected[i]));
  EXPECT_EQ(seen, expected) << testing::PrintToString(seen);

  ExpectCleanExit(p, main);
}

// The cursor resting on a pane's small histogram brings up the large one over the picture's
// bottom right after a moment; a folder that empties blanks the pane instead of leaving the last
// picture on it.
TEST(MainWindowE2E, LargeHistogramOnHoverAndAnEmptiedFolderBlanksThePane) {
  using namespace viewer_e2e;
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir);
  const std::wstring pictures = dir.File(L"pictures"), picture = pictures + L"\\000_big.jpg";
  ASSERT_TRUE(CreateDirectoryW(pictures.c_str(), nullptr));
  ASSERT_TRUE(WriteTwoColourJpeg(picture, 4000, 3000));

  Process p;
  HWND main = nullptr, status = nullptr, pane0 = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartViewer(p, exe, pictures, &main, &status, &pane0));
  ASSERT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 4) == L"\tFIT MODE"; }, 30000));
  RECT client;
  GetClientRect(pane0, &client);
  POINT origin{0, 0};
  ClientToScreen(pane0, &origin);
  const int w = client.right, h = client.bottom;
  ASSERT_GT(w, 300);
  ASSERT_GT(h, 120);
  const PaneRect fit = FitPictureRect(4000, 3000, w, h);
  // The picture's orange half, away from the information lines and the centre.
  const RECT orangeBand{origin.x + fit.x + fit.w / 8, origin.y + fit.y + fit.h / 3, origin.x + fit.x + fit.w * 3 / 8,
                        origin.y + fit.y + fit.h * 2 / 3};
  auto orange = [](const MeanColour& m) { return m.r > 170 && m.b < 90; };
  MeanColour shown;
  ASSERT_TRUE(WaitFor([&] { return orange(shown = ScreenMean(orangeBand)); }, 20000))
      << "mean " << shown.r << "," << shown.g << "," << shown.b;

  // The large histogram's place (262 x 70 at 10 pixels from the right and bottom edges), left of
  // the small one: its frame and bars stand out from what was there before.
  const RECT large{origin.x + w - 272, origin.y + h - 80, origin.x + w - 80, origin.y + h - 10};
  WaitFor([] { return false; }, 1000);
  const MeanColour before = ScreenMean(large);
  auto differs = [&](const MeanColour& m) {
    return m.spread > before.spread + 10 || std::fabs(m.r - before.r) + std::fabs(m.g - before.g) + std::fabs(m.b - before.b) > 30;
  };
  // The pointer rests on the small histogram, and moves keep coming as they do from a hand: one
  // move read before the pointer's new place reached the program would otherwise be all it got.
  auto moveTo = [&](POINT to) {
    SetCursorPos(to.x, to.y);
    ScreenToClient(FileListPane(main), &to);
    PostMessageW(FileListPane(main), WM_MOUSEMOVE, 0, MAKELPARAM(to.x, to.y));
  };
  const POINT zone{origin.x + w - 40, origin.y + h - 25};
  DWORD moved = GetTickCount();
  moveTo(zone);
  const bool covered = WaitFor([&] {
    if (GetTickCount() - moved > 1000) {
      moved = GetTickCount();
      moveTo(zone);
    }
    return differs(shown = ScreenMean(large));
  }, 20000);
  if (!covered) SaveScreenshot(ExeFolder() + L"\\viewer_histogram_failed.bmp");
  EXPECT_TRUE(covered) << "spread " << before.spread << " -> " << shown.spread;
  SaveScreenshot(ExeFolder() + L"\\viewer_large_histogram.bmp");

  // Off the small histogram the large one goes; then the folder empties: its row is marked gone
  // and the pane shows its background alone where the picture was, with nothing else to repaint it.
  moveTo(POINT{origin.x + w / 2, origin.y + h / 2});
  EXPECT_TRUE(WaitFor([&] { return !differs(shown = ScreenMean(large)); }, 20000))
      << "spread " << before.spread << " -> " << shown.spread;
  ASSERT_TRUE(DeleteFileW(picture.c_str()));
  const bool blanked = WaitFor([&] {
    shown = ScreenMean(orangeBand);
    return shown.spread < 3 && !orange(shown);
  }, 20000);
  if (!blanked) SaveScreenshot(ExeFolder() + L"\\viewer_blank_failed.bmp");
  EXPECT_TRUE(blanked) << "mean " << shown.r << "," << shown.g << "," << shown.b << " spread " << shown.spread;

  ExpectCleanExit(p, main);
}

// A zoomed picture and the view-focus tour: Page Down moves the shown part to the next point of
// the pattern (the top-right corner of pattern 0), Page Up walks back past the centre.
TEST(MainWindowE2E, ViewFocusKeysMoveTheZoomedPicture) {
  using namespace viewer_e2e;
  GdiplusSession gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir);
  const std::wstring pictures = dir.File(L"pictures");
  ASSERT_TRUE(CreateDirectoryW(pictures.c_str(), nullptr));
  // Left half orange, right half blue: at x1.0 a pane shows only one of them near a side.
  ASSERT_TRUE(WriteTwoColourJpeg(pictures + L"\\000_big.jpg", 4000, 3000));

  Process p;
  HWND main = nullptr, status = nullptr, pane0 = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartViewer(p, exe, pictures, &main, &status, &pane0));
  ASSERT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 4) == L"\tFIT MODE"; }, 30000));

  RECT r = ScreenRectOf(pane0);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  auto blue = [](const MeanColour& m) { return m.b > 150 && m.r < 90; };
  auto orange = [](const MeanColour& m) { return m.r > 170 && m.b < 90; };

  // The wheel over the pane gives it the keyboard focus; the zoom hold (command 225) switches
  // zoom on, centred on the point under the cursor (the picture's middle).
  SetForegroundWindow(main);
  ReleaseStuckModifiers();  // a held Ctrl would make the wheel a zoom step
  SetCursorPos(cx, cy);
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = static_cast<DWORD>(WHEEL_DELTA);
  SendInput(1, &wheel, sizeof wheel);
  WaitFor([] { return false; }, 500);
  PostMessageW(main, WM_COMMAND, 225, 0);
  ASSERT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 4).rfind(L"\tZOOM", 0) == 0; }, 20000))
      << "part 4: " << testing::PrintToString(StatusPartText(p.handle, status, 4));
  // The middle band of the pane as it is laid out now: the information lines lie above and below.
  r = ScreenRectOf(pane0);
  RECT band{r.left + 8, r.top + (r.bottom - r.top) / 4, r.right - 8, r.bottom - (r.bottom - r.top) / 4};
  MeanColour shown;
  EXPECT_TRUE(WaitFor([&] {
    shown = ScreenMean(band);
    return !blue(shown) && !orange(shown) && shown.spread > 40;
  }, 20000)) << "centre: mean " << shown.r << "," << shown.g << "," << shown.b;

  PressKey(VK_NEXT);
  const bool movedRight = WaitFor([&] { return blue(shown = ScreenMean(band)); }, 20000);
  if (!movedRight) SaveScreenshot(ExeFolder() + L"\\viewer_focus_failed.bmp");
  EXPECT_TRUE(movedRight) << "after Page Down: mean " << shown.r << "," << shown.g << "," << shown.b;
  SaveScreenshot(ExeFolder() + L"\\viewer_focus_next.bmp");
  PressKey(VK_PRIOR);  // back to the centre
  PressKey(VK_PRIOR);  // and on to the last point, the top-left corner
  EXPECT_TRUE(WaitFor([&] { return orange(shown = ScreenMean(band)); }, 20000))
      << "after Page Up twice: mean " << shown.r << "," << shown.g << "," << shown.b;

  ExpectCleanExit(p, main);
}

}  // namespace
