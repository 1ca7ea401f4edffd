// Helpers for tests that drive real windows under Wine: scratch folders, processes, finding
// windows, answering message boxes, screenshots.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the temporary directory, removed with its contents at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Wine keeps its drives and shares as entries of dosdevices in its prefix: "x:" for drive X and
// unc\server\share for "\\server\share"; a folder made there is one. These give the name to use
// ("Q:\", "\\localhost\share") and the folder to remove with RemoveTree afterwards, or empty
// off Wine or when it cannot be made.
std::wstring MakeWineDrive(std::wstring* folder);
std::wstring MakeWineShare(const std::wstring& share, std::wstring* folder);

bool WriteWholeFile(const std::wstring& path, const void* data, size_t size);
bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>* out);
bool FileExists(const std::wstring& path);
void RemoveTree(const std::wstring& path);
std::wstring ExeFolder();

// A CMYK JPEG, left half red and right half blue (as Adobe writes CMYK, inverted): libjpeg-turbo
// decodes it, but not into 24-bit colour, so the program leaves it to the system's decoder.
std::vector<uint8_t> MakeCmykJpeg(int width, int height);

// Polls until the predicate holds or the time runs out, pumping this thread's messages.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs);

// A started program: its process handle, and a wait for its exit code.
struct Process {
  HANDLE handle = nullptr;
  DWORD id = 0;
  ~Process();
  bool Start(const std::wstring& exe, const std::wstring& args);
  bool WaitExit(DWORD timeoutMs, DWORD* exitCode);
  void Kill();
};

// Top-level visible windows of a process (0: any process) whose class or title match (empty: any).
HWND FindTopWindow(DWORD processId, const std::wstring& className, const std::wstring& title);
// All such windows (shown ones only), in the system's z order.
std::vector<HWND> VisibleTopWindows(DWORD processId, const std::wstring& className);
// The first, or all in z order, of the top-level windows of a process (0: any process), shown or
// hidden, that `match` accepts.
HWND FindTopWindowWhere(DWORD processId, const std::function<bool(HWND)>& match);
std::vector<HWND> TopWindowsWhere(DWORD processId, const std::function<bool(HWND)>& match);
std::wstring WindowText(HWND window);
RECT ScreenRectOf(HWND window);
std::wstring ClassNameOf(HWND window);

// Answers every message box of the calling thread with a button, noting caption and text.
class BoxAnswerer {
 public:
  struct Seen {
    std::wstring caption, text;
    uint8_t busyFlagWhileOpen = 0;
    std::wstring buttons[3];  // texts of buttons 6, 7 and 2 when present
    int defaultId = 0;
  };
  // answer 0: press the box's default button.
  explicit BoxAnswerer(int answer);
  ~BoxAnswerer();
  // A dialog of the test's own that is activated again when a box closes: never answered.
  void Ignore(HWND dialog);
  std::vector<Seen> seen;
  int answer;
  const volatile uint8_t* busyFlag = nullptr;
};

// Answers a message box of another process: finds a "#32770" window of the process, returns its
// text (control 0xFFFF) and presses the button.
bool AnswerForeignBox(DWORD processId, int buttonId, DWORD timeoutMs, std::wstring* caption, std::wstring* text);

// A first start's terms agreed to as a user does it; the main window that opens then, or null.
HWND AgreeToTerms(DWORD processId);

// A first start as a user makes it: the terms agreed to and the main window closed at once, which
// leaves the settings file beside the program for the test to change.
void AgreeAndCloseOnce(const std::wstring& exe);

// A first start of the program (the stored version differs from its own) opens the settings
// dialog at the display page once the list is built; closes it as the user would.
void CloseFirstStartSettings(DWORD processId);

// Input as a user gives it (SendInput): a key held across several of the program's ticks, then
// released and seen released before the next press; the cursor moved to a screen point, the left
// button pressed or released, a click, and keys pressed in order and released in reverse order.
void PressKey(WORD vk);
// The key held until `seen` holds (the program reads keys from its idle timer, which a busy
// machine holds up for longer than any fixed press), then released; pressed again when nothing
// shows after a few seconds, as a program that never saw the last release misses the new press.
// False when nothing showed within the time.
bool PressKeyUntil(WORD vk, const std::function<bool()>& seen, DWORD timeoutMs);
// Lets go of Ctrl, Shift or Alt when the display server still holds one down: it keeps key
// states across processes, and a test that ended mid-press leaves its modifier behind.
void ReleaseStuckModifiers();
void MoveMouseTo(int x, int y);
void MouseButton(bool down);
void ClickAt(int x, int y);
// Clicks at (x, y) of the other program's window `main` until its control `target` has the
// keyboard focus there (a loaded display may deliver a click late, or activate the window only
// at the second); true when it has it.
bool ClickUntilFocused(HWND main, HWND target, int x, int y, DWORD timeoutMs = 20000);
void PressKeys(std::initializer_list<WORD> keys);

// A descendant window of the class (any class when null) and, when not 0, the control id; the
// program's file list (control 313) under its main window.
HWND FindDescendant(HWND parent, const wchar_t* className, int id = 0);
HWND FileListOf(HWND mainWindow);

// The text of a list-view cell of this process (up to 2,047 characters).
std::wstring ListText(HWND list, int row, int column);

// The clipboard's Unicode text, empty when it holds none.
std::wstring ClipboardText();

// Distinct colours in a grid of points (every 7 pixels) over a screen rectangle: a flat fill
// gives 1.
int ColoursOnScreen(const RECT& r);

// A 32-bit DIB section of w x h pixels, its top row first at *bits; null when it cannot be made.
HBITMAP NewDib32(int w, int h, void** bits);

// Saves the whole screen as a 24-bit BMP.
bool SaveScreenshot(const std::wstring& path);

// The direct controls of a window (child dialogs aside) that reach outside `shown` (in the
// window's client coordinates), or whose caption, measured in the control's own font as the
// control draws it, does not fit it: one line per fault, empty when everything shows whole.
std::vector<std::wstring> LayoutFaults(HWND window, const RECT& shown);

}  // namespace testsupport
