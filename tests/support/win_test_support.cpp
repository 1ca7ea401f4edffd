#include "support/win_test_support.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cwchar>
#include <iterator>

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include "resources/resource.h"

namespace testsupport {

ScratchDir::ScratchDir() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static LONG counter = 0;
  wchar_t name[MAX_PATH];
  swprintf(name, MAX_PATH, L"%lsbrn_test_%lu_%ld", base, GetCurrentProcessId(), InterlockedIncrement(&counter));
  path_ = name;
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      std::wstring n = fd.cFileName;
      if (n == L"." || n == L"..") continue;
      std::wstring full = path + L"\\" + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(f, &fd));
    FindClose(f);
  }
  RemoveDirectoryW(path.c_str());
}

namespace {
// "Z:\...\dosdevices\" of the prefix, or empty off Wine.
std::wstring WineDosDevices() {
  using UnixName = char*(CDECL*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* drive = unixName ? unixName(L"C:\\") : nullptr;  // ".../dosdevices/c:/"
  if (!drive) return L"";
  std::string unixPath(drive);
  HeapFree(GetProcessHeap(), 0, drive);
  if (unixPath.size() < 4 || unixPath.compare(unixPath.size() - 3, 3, "c:/") != 0) return L"";
  unixPath.resize(unixPath.size() - 3);
  std::wstring dos = L"Z:";
  for (char c : unixPath) dos += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return dos;
}
}  // namespace

std::wstring MakeWineDrive(std::wstring* folder) {
  const std::wstring devices = WineDosDevices();
  if (devices.empty()) return L"";
  // Drive Q: one that maps anything but a folder of an earlier run (its marker) is left alone.
  const wchar_t kRoot[] = L"Q:\\", kMarker[] = L"Q:\\brannomere-test-drive";
  *folder = devices + L"q:";
  if (GetFileAttributesW(kRoot) != INVALID_FILE_ATTRIBUTES) {
    if (!FileExists(kMarker)) return L"";
    RemoveTree(*folder);
  }
  CreateDirectoryW(folder->c_str(), nullptr);
  return WriteWholeFile(kMarker, "", 0) ? kRoot : L"";
}

std::wstring MakeWineShare(const std::wstring& share, std::wstring* folder) {
  const std::wstring devices = WineDosDevices();
  if (devices.empty()) return L"";
  for (const wchar_t* part : {L"unc", L"unc\\localhost"}) CreateDirectoryW((devices + part).c_str(), nullptr);
  *folder = devices + L"unc\\localhost\\" + share;
  if (!CreateDirectoryW(folder->c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return L"";
  return L"\\\\localhost\\" + share;
}

bool WriteWholeFile(const std::wstring& path, const void* data, size_t size) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD w = 0;
  BOOL ok = WriteFile(h, data, static_cast<DWORD>(size), &w, nullptr);
  CloseHandle(h);
  return ok && w == size;
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>* out) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  GetFileSizeEx(h, &size);
  out->resize(static_cast<size_t>(size.QuadPart));
  DWORD r = 0;
  BOOL ok = out->empty() || ReadFile(h, out->data(), static_cast<DWORD>(out->size()), &r, nullptr);
  CloseHandle(h);
  return ok && (out->empty() || r == out->size());
}

std::vector<uint8_t> MakeCmykJpeg(int width, int height) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &bytes, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
  for (int x = 0; x < width; ++x) {
    const bool red = x < width / 2;  // inverted: 255 is no ink
    row[x * 4 + 0] = red ? 255 : 0;
    row[x * 4 + 1] = 0;
    row[x * 4 + 2] = red ? 0 : 255;
    row[x * 4 + 3] = 255;
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(bytes, bytes + size);
  jpeg_destroy_compress(&info);
  std::free(bytes);
  return out;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ExeFolder() {
  wchar_t p[MAX_PATH];
  GetModuleFileNameW(nullptr, p, MAX_PATH);
  wchar_t* slash = wcsrchr(p, L'\\');
  if (slash) *slash = 0;
  return p;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
  return true;
}

Process::~Process() {
  if (handle) {
    DWORD code;
    if (GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE) Kill();
    CloseHandle(handle);
  }
}

namespace {
// A test program that ran out of time is ended by the test runner, but the program it started is
// not, and its single-instance lock would turn every later start into a hand-over to it. Copies
// started by this test program itself stay (a test may start a second one on purpose).
void EndProgramsLeftByOthers(const std::wstring& exe) {
  const size_t slash = exe.find_last_of(L"\\/");
  const std::wstring name = slash == std::wstring::npos ? exe : exe.substr(slash + 1);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, name.c_str()) != 0 || entry.th32ParentProcessID == GetCurrentProcessId()) continue;
    if (HANDLE left = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(left, 99);
      WaitForSingleObject(left, 10000);
      CloseHandle(left);
    }
  }
  CloseHandle(snapshot);
}
}  // namespace

bool Process::Start(const std::wstring& exe, const std::wstring& args) {
  if (exe.size() >= 14 && _wcsicmp(exe.c_str() + exe.size() - 14, L"Brannomere.exe") == 0) EndProgramsLeftByOthers(exe);
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> buf(cmd.begin(), cmd.end());
  buf.push_back(0);
  if (!CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  handle = pi.hProcess;
  id = pi.dwProcessId;
  return true;
}

bool Process::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
  if (WaitForSingleObject(handle, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(handle, exitCode);
  return true;
}

void Process::Kill() {
  TerminateProcess(handle, 99);
  WaitForSingleObject(handle, 10000);
}

namespace {
// Walks the top-level windows of the process in z order until `take` says stop.
void WalkTopWindows(DWORD processId, const std::function<bool(HWND)>& take) {
  struct Args {
    DWORD pid;
    const std::function<bool(HWND)>* take;
  } args{processId, &take};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* a = reinterpret_cast<Args*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (a->pid && pid != a->pid) return TRUE;
        return (*a->take)(w) ? TRUE : FALSE;
      },
      reinterpret_cast<LPARAM>(&args));
}

bool ShownOfClass(HWND w, const std::wstring& className) {
  return IsWindowVisible(w) && (className.empty() || ClassNameOf(w) == className);
}
}  // namespace

HWND FindTopWindowWhere(DWORD processId, const std::function<bool(HWND)>& match) {
  HWND found = nullptr;
  WalkTopWindows(processId, [&](HWND w) {
    if (!match(w)) return true;
    found = w;
    return false;
  });
  return found;
}

std::vector<HWND> TopWindowsWhere(DWORD processId, const std::function<bool(HWND)>& match) {
  std::vector<HWND> found;
  WalkTopWindows(processId, [&](HWND w) {
    if (match(w)) found.push_back(w);
    return true;
  });
  return found;
}

HWND FindTopWindow(DWORD processId, const std::wstring& className, const std::wstring& title) {
  return FindTopWindowWhere(processId, [&](HWND w) {
    return ShownOfClass(w, className) && (title.empty() || WindowText(w) == title);
  });
}

std::vector<HWND> VisibleTopWindows(DWORD processId, const std::wstring& className) {
  return TopWindowsWhere(processId, [&](HWND w) { return ShownOfClass(w, className); });
}

std::wstring WindowText(HWND window) {
  wchar_t buf[4096] = {};
  // WM_GETTEXT works across processes for the standard controls; GetWindowText would not.
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, nullptr);
  return buf;
}

std::wstring ClassNameOf(HWND window) {
  wchar_t buf[256] = {};
  GetClassNameW(window, buf, 256);
  return buf;
}

static thread_local BoxAnswerer* t_answerer = nullptr;
static thread_local HHOOK t_answerHook = nullptr;

static thread_local HWND t_pendingBox = nullptr;
// A window is answered once: a dialog activated again when a box over it closes must not
// receive a second answer (which for the settings dialog would close it again).
static thread_local std::vector<HWND>* t_answered = nullptr;

// Read and answer the box once its dialog set-up is complete: the default button is only known
// after its initialisation, which runs after activation.
static void CALLBACK AnswerPendingBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND box = t_pendingBox;
  t_pendingBox = nullptr;
  if (!box || !t_answerer || !IsWindow(box)) return;
  for (HWND h : *t_answered)
    if (h == box) return;
  t_answered->push_back(box);
  BoxAnswerer::Seen s;
  s.caption = WindowText(box);
  s.text = WindowText(GetDlgItem(box, 0xFFFF));
  if (t_answerer->busyFlag) s.busyFlagWhileOpen = *t_answerer->busyFlag;
  const int ids[3] = {IDYES, IDNO, IDCANCEL};
  for (int i = 0; i < 3; ++i)
    if (HWND b = GetDlgItem(box, ids[i])) s.buttons[i] = WindowText(b);
  // The default button is the one drawn as default (Wine's boxes don't answer DM_GETDEFID).
  for (int id = IDOK; id <= IDCONTINUE && !s.defaultId; ++id) {
    HWND b = GetDlgItem(box, id);
    if (b && (GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) s.defaultId = id;
  }
  int button = t_answerer->answer ? t_answerer->answer : (s.defaultId ? s.defaultId : IDOK);
  t_answerer->seen.push_back(s);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

static LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && t_answerer) {
    HWND box = reinterpret_cast<HWND>(wParam);
    if (ClassNameOf(box) == L"#32770") {
      t_pendingBox = box;
      SetTimer(nullptr, 0, 30, AnswerPendingBox);
    }
  }
  return CallNextHookEx(t_answerHook, code, wParam, lParam);
}

BoxAnswerer::BoxAnswerer(int a) : answer(a) {
  t_answerer = this;
  t_answered = new std::vector<HWND>;
  t_answerHook = SetWindowsHookExW(WH_CBT, AnswerHook, nullptr, GetCurrentThreadId());
}

void BoxAnswerer::Ignore(HWND dialog) { t_answered->push_back(dialog); }

BoxAnswerer::~BoxAnswerer() {
  UnhookWindowsHookEx(t_answerHook);
  t_answerHook = nullptr;
  t_answerer = nullptr;
  delete t_answered;
  t_answered = nullptr;
}

bool AnswerForeignBox(DWORD processId, int buttonId, DWORD timeoutMs, std::wstring* caption, std::wstring* text) {
  HWND box = nullptr;
  std::wstring c, t;
  // The box is answered only once its caption and text can be read: under load the window
  // may be found while the other process is still setting it up. The program's hover popups are
  // dialogs too (without a caption), and one may be shown above the box.
  bool ready = WaitFor([&] {
    for (HWND w : VisibleTopWindows(processId, L"#32770")) {
      box = w;
      c = WindowText(box);
      t = WindowText(GetDlgItem(box, 0xFFFF));
      if (!c.empty() && !t.empty()) return true;
    }
    return false;
  }, timeoutMs);
  if (!ready) return false;
  if (caption) *caption = c;
  if (text) *text = t;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
  return true;
}

void ReleaseStuckModifiers() {
  for (WORD modifier : {VK_CONTROL, VK_SHIFT, VK_MENU}) {
    if (!(GetAsyncKeyState(modifier) & 0x8000)) continue;
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = modifier;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &up, sizeof up);
  }
}

void PressKey(WORD vk) {
  ReleaseStuckModifiers();  // a modifier left down would turn the key into another command
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &in[0], sizeof(INPUT));
  Sleep(250);
  SendInput(1, &in[1], sizeof(INPUT));
  Sleep(250);
}

bool PressKeyUntil(WORD vk, const std::function<bool()>& seen, DWORD timeoutMs) {
  constexpr DWORD kHoldMs = 3000, kReleasedMs = 500;
  auto send = [vk](bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
  };
  const DWORD start = GetTickCount();
  for (;;) {
    ReleaseStuckModifiers();
    send(false);
    const DWORD spent = GetTickCount() - start;
    const bool held = WaitFor(seen, std::min(kHoldMs, timeoutMs > spent ? timeoutMs - spent : 0));
    send(true);
    // Seen just after the release counts too: a press is not made twice for one slow answer.
    if (held || WaitFor(seen, kReleasedMs)) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
  }
}

bool ClickUntilFocused(HWND main, HWND target, int x, int y, DWORD timeoutMs) {
  const DWORD thread = GetWindowThreadProcessId(target, nullptr);
  auto focused = [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus == target;
  };
  const DWORD start = GetTickCount();
  while (!focused()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    SetForegroundWindow(main);
    ClickAt(x, y);
    WaitFor(focused, 2000);
  }
  return true;
}

HWND FindDescendant(HWND parent, const wchar_t* className, int id) {
  struct Args {
    const wchar_t* cls;
    int id;
    HWND found;
  } a{className, id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM l) -> BOOL {
        Args* a = reinterpret_cast<Args*>(l);
        if ((!a->cls || ClassNameOf(w) == a->cls) && (a->id == 0 || GetDlgCtrlID(w) == a->id)) {
          a->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&a));
  return a.found;
}

HWND AgreeToTerms(DWORD processId) {
  HWND terms = nullptr, main = nullptr;
  if (!WaitFor([&] { return (terms = FindTopWindow(processId, L"#32770", L"")) != nullptr; }, 30000)) return nullptr;
  PostMessageW(terms, WM_COMMAND, MAKEWPARAM(IDC_TERMS_AGREE, BN_CLICKED), 0);
  WaitFor([&] { return (main = FindTopWindow(processId, L"BRANNOMERE", L"")) != nullptr; }, 30000);
  return main;
}

void AgreeAndCloseOnce(const std::wstring& exe) {
  Process p;
  ASSERT_TRUE(p.Start(exe, L""));
  HWND main = AgreeToTerms(p.id);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));
}

void CloseFirstStartSettings(DWORD processId) {
  HWND settings = nullptr;
  // It opens only once the first list is built, which a busy machine can take most of a minute
  // over; a test that went on without it would find the dialog holding the program's idle loop.
  EXPECT_TRUE(WaitFor([&] { return (settings = FindTopWindow(processId, L"#32770", L"環境設定")) != nullptr; }, 60000));
  if (!settings) return;
  PostMessageW(settings, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(settings); }, 10000));
  // Closing stores and applies the settings and gives the activation back to the main window;
  // a popup opened before that settles is cancelled by it.
  WaitFor([&] {
    HWND front = GetForegroundWindow();
    DWORD owner = 0;
    if (front) GetWindowThreadProcessId(front, &owner);
    return owner == processId;
  }, 5000);
  if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
    WaitForInputIdle(process, 5000);
    CloseHandle(process);
  }
  WaitFor([] { return false; }, 1000);
}

void MoveMouseTo(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>(x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = static_cast<LONG>(y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  Sleep(40);
}

void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
  Sleep(100);
}

void ClickAt(int x, int y) {
  SetCursorPos(x, y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
  Sleep(300);
}

void PressKeys(std::initializer_list<WORD> keys) {
  auto key = [](WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
    Sleep(150);
  };
  // Held a while: the program polls some keys from its idle timer rather than reading messages.
  for (WORD k : keys) key(k, false);
  Sleep(500);
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) key(*it, true);
}

HWND FileListOf(HWND mainWindow) { return FindDescendant(mainWindow, L"SysListView32", 313); }

std::wstring ListText(HWND list, int row, int column) {
  wchar_t text[2048] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 2048;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

int ColoursOnScreen(const RECT& r) {
  HDC screen = GetDC(nullptr);
  std::vector<COLORREF> seen;
  for (int y = r.top + 4; y < r.bottom; y += 7)
    for (int x = r.left + 4; x < r.right; x += 7) {
      const COLORREF c = GetPixel(screen, x, y);
      if (c != CLR_INVALID && std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
    }
  ReleaseDC(nullptr, screen);
  return static_cast<int>(seen.size());
}

HBITMAP NewDib32(int w, int h, void** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  *bits = nullptr;
  return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

bool SaveScreenshot(const std::wstring& path) {
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DWORD stride = ((w * 3 + 3) & ~3u), imageSize = stride * h;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + imageSize;
  std::vector<uint8_t> file(fh.bfSize);
  memcpy(file.data(), &fh, sizeof fh);
  memcpy(file.data() + sizeof fh, &bi.bmiHeader, sizeof bi.bmiHeader);
  memcpy(file.data() + fh.bfOffBits, bits, imageSize);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return WriteWholeFile(path, file.data(), file.size());
}

namespace {
// The caption's drawn size in the control's font with the control's own text flags; false when
// the control shows no text of its own.
bool CaptionFits(HWND control, const RECT& client, std::wstring* why) {
  static const wchar_t kBlanks[] = L" \u3000\r\n\t";
  std::wstring text = WindowText(control);
  if (text.find_first_not_of(kBlanks) == std::wstring::npos) return true;
  const std::wstring cls = ClassNameOf(control);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  // Blanks after the text never show; centred text keeps its middle in place, so blanks padding
  // both of its ends may run past the edges.
  text.erase(text.find_last_not_of(kBlanks) + 1);
  const bool button = _wcsicmp(cls.c_str(), L"Button") == 0;
  const bool centred = button ? ((style & BS_CENTER) == BS_CENTER || (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON)
                              : (style & SS_TYPEMASK) == SS_CENTER;
  if (centred) text.erase(0, text.find_first_not_of(kBlanks));
  int extraWidth = 0, extraHeight = 0;
  UINT flags = DT_CALCRECT | DT_EXPANDTABS;
  if (button) {
    if (style & (BS_BITMAP | BS_ICON)) return true;
    const LONG type = style & BS_TYPEMASK;
    flags |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
      extraWidth = 8;  // the raised edge and the focus frame on both sides
      extraHeight = 4;
    } else if (type == BS_GROUPBOX) {
      extraWidth = 20;  // the frame's corner left of the caption and its end right of it
    } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
               type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON) {
      extraWidth = 13 + 4;  // the box and the gap before the text
    } else {
      return true;
    }
  } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
    const LONG type = style & SS_TYPEMASK;
    if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE || (style & SS_CENTERIMAGE)) flags |= DT_SINGLELINE;
    else if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) flags |= DT_WORDBREAK;
    else return true;
    if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
    if (style & SS_EDITCONTROL) flags |= DT_EDITCONTROL;
  } else {
    return true;
  }
  const int width = client.right - client.left - extraWidth, height = client.bottom - client.top - extraHeight;
  HDC dc = GetDC(control);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  RECT r{0, 0, width > 0 ? width : 1, 0};
  DrawTextW(dc, text.c_str(), -1, &r, flags);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  if (r.right <= width && r.bottom <= height) return true;
  *why = L"caption needs " + std::to_wstring(r.right + extraWidth) + L"x" + std::to_wstring(r.bottom + extraHeight) +
         L", has " + std::to_wstring(client.right - client.left) + L"x" + std::to_wstring(client.bottom - client.top);
  return false;
}
}  // namespace

std::vector<std::wstring> LayoutFaults(HWND window, const RECT& shown) {
  std::vector<std::wstring> faults;
  const std::wstring where = WindowText(window);
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (ClassNameOf(c) == L"#32770") continue;
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    if (r.right <= r.left || r.bottom <= r.top) continue;  // a placeholder of no size
    const std::wstring name = where + L": control " + std::to_wstring(GetDlgCtrlID(c)) + L" \"" + WindowText(c) + L"\" ";
    if (r.left < shown.left || r.top < shown.top || r.right > shown.right || r.bottom > shown.bottom)
      faults.push_back(name + L"at " + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"-" +
                       std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom) + L" outside " +
                       std::to_wstring(shown.left) + L"," + std::to_wstring(shown.top) + L"-" +
                       std::to_wstring(shown.right) + L"," + std::to_wstring(shown.bottom));
    RECT client;
    GetClientRect(c, &client);
    std::wstring why;
    if (!CaptionFits(c, client, &why)) faults.push_back(name + why);
  }
  return faults;
}

RECT ScreenRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

}  // namespace testsupport
