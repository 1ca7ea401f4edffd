#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/folder_helpers.h"
#include "core/key_state.h"
#include "core/message_box.h"
#include "core/os_class.h"
#include "core/path_utils.h"
#include "core/safe_file.h"
#include "core/write_failure.h"
#include "core/settings.h"
#include "core/text_replace.h"
#include "core/window_helpers.h"
#include "support/win_test_support.h"

namespace {

using testsupport::ScratchDir;

void Write(const std::wstring& path, const std::string& bytes) {
  ASSERT_TRUE(testsupport::WriteWholeFile(path, bytes.data(), bytes.size()));
}

std::wstring DoubleNul(const std::wstring& path) { return path + L'\0'; }

SHFILEOPSTRUCTW ShellOp(UINT func, const std::wstring& from, const std::wstring& to, FILEOP_FLAGS flags) {
  SHFILEOPSTRUCTW op = {};
  op.wFunc = func;
  op.pFrom = from.c_str();
  op.pTo = to.empty() ? nullptr : to.c_str();
  op.fFlags = flags;
  return op;
}

constexpr FILEOP_FLAGS kQuiet = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;

TEST(ShellFileOperation, CopyMoveDeleteOnRealFolders) {
  ScratchDir tmp;
  const std::wstring a = tmp.File(L"a.jpg"), sub = tmp.File(L"sub");
  Write(a, "12345");
  CreateDirectoryW(sub.c_str(), nullptr);

  std::wstring from = DoubleNul(a), to = DoubleNul(sub);
  SHFILEOPSTRUCTW op = ShellOp(FO_COPY, from, to, kQuiet);
  int r = RunShellFileOperation(&op);
  EXPECT_TRUE(ShellFileOperationDone(r, op)) << r;
  EXPECT_EQ(GetFileSizeOfPath((sub + L"\\a.jpg").c_str()), 5u);
  EXPECT_TRUE(FileExists(a.c_str()));
  EXPECT_EQ(BusyFlag, 0);

  const std::wstring moved = tmp.File(L"b.jpg");
  from = DoubleNul(a);
  to = DoubleNul(moved);
  op = ShellOp(FO_MOVE, from, to, kQuiet);
  r = RunShellFileOperationDelayed(&op);
  EXPECT_TRUE(ShellFileOperationDone(r, op)) << r;
  EXPECT_FALSE(PathExists(a.c_str()));
  EXPECT_TRUE(PathExists(moved.c_str()));

  from = DoubleNul(moved);
  op = ShellOp(FO_DELETE, from, L"", kQuiet);
  r = RunShellFileOperation(&op);
  EXPECT_TRUE(ShellFileOperationDone(r, op)) << r;
  EXPECT_FALSE(PathExists(moved.c_str()));
}

TEST(ShellFileOperation, FailureHoldsBusyAndAbortIsNotDone) {
  ScratchDir tmp;
  std::wstring from = DoubleNul(tmp.File(L"missing.jpg")), to = DoubleNul(tmp.File(L"x"));
  SHFILEOPSTRUCTW op = ShellOp(FO_COPY, from, to, kQuiet);
  LARGE_INTEGER start, end, frequency;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const int r = RunShellFileOperation(&op);
  QueryPerformanceCounter(&end);
  EXPECT_NE(r, 0);
  EXPECT_GE((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart, 195);
  EXPECT_FALSE(ShellFileOperationDone(r, op));
  EXPECT_EQ(BusyFlag, 0);

  struct Case { int result; BOOL aborted; bool done; } cases[] = {{0, FALSE, true}, {0, TRUE, false}, {2, FALSE, false}};
  for (const auto& c : cases) {
    SHFILEOPSTRUCTW o = {};
    o.fAnyOperationsAborted = c.aborted;
    EXPECT_EQ(ShellFileOperationDone(c.result, o), c.done);
  }
}

// Answers the shell's overwrite question with Cancel and notes whether BusyFlag was up meanwhile.
HHOOK g_cancelHook;
bool g_busyDuringQuestion;
LRESULT CALLBACK CancelQuestion(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    g_busyDuringQuestion = BusyFlag != 0;
    PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(g_cancelHook, code, wParam, lParam);
}

TEST(ShellFileOperation, CancelledOverwriteIsReportedAsAborted) {
  ScratchDir tmp;
  const std::wstring a = tmp.File(L"a.jpg"), b = tmp.File(L"b.jpg");
  Write(a, "new");
  Write(b, "old!");
  std::wstring from = DoubleNul(a), to = DoubleNul(b);
  SHFILEOPSTRUCTW op = ShellOp(FO_COPY, from, to, FOF_NOERRORUI | FOF_SILENT);
  g_busyDuringQuestion = false;
  g_cancelHook = SetWindowsHookExW(WH_CBT, CancelQuestion, nullptr, GetCurrentThreadId());
  const int r = RunShellFileOperation(&op);
  UnhookWindowsHookEx(g_cancelHook);
  EXPECT_FALSE(ShellFileOperationDone(r, op)) << r << " aborted=" << op.fAnyOperationsAborted;
  EXPECT_TRUE(g_busyDuringQuestion);
  EXPECT_EQ(GetFileSizeOfPath(b.c_str()), 4u);  // the target kept its bytes
}

TEST(FileSystem, SizesTimesAndFreeSpace) {
  ScratchDir tmp;
  const std::wstring f = tmp.File(L"f.bin");
  Write(f, std::string(1234, 'x'));
  // A writer that lets others read: the queries still answer.
  HANDLE writer = CreateFileW(f.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSizeOfPath(f.c_str()), 1234u);
  FILETIME t = {};
  EXPECT_TRUE(GetFileWriteTime(&t, f.c_str()));
  EXPECT_NE(t.dwHighDateTime, 0u);
  CloseHandle(writer);

  EXPECT_EQ(GetFileSizeOfPath(tmp.path().c_str()), 0u);
  EXPECT_EQ(GetFileSizeOfPath((tmp.File(L"none")).c_str()), 0u);
  EXPECT_FALSE(GetFileWriteTime(&t, (tmp.File(L"none")).c_str()));
  EXPECT_TRUE(PathExists(tmp.path().c_str()));

  // A 5 GiB file (sparse where the file system allows) answers its low 32 bits.
  const std::wstring big = tmp.File(L"big.bin");
  HANDLE h = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = 5LL << 30;
  const bool grown = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  if (grown) EXPECT_EQ(GetFileSizeOfPath(big.c_str()), 1u << 30);

  const uint64_t rootFree = GetFreeDiskSpace(L"C:\\");
  EXPECT_GT(rootFree, 0u);
  const uint64_t deepFree = GetFreeDiskSpace(L"C:\\no\\such\\folder");
  EXPECT_GT(deepFree, 0u);
  EXPECT_LT(deepFree > rootFree ? deepFree - rootFree : rootFree - deepFree, 64ull << 20);
  EXPECT_EQ(GetFreeDiskSpace(L"\\\\nosuchserver\\share\\x"), 0u);
}

// Builds an item-ID list of items with the given byte counts (each filled with its index).
std::vector<BYTE> MakeIdList(std::initializer_list<USHORT> counts) {
  std::vector<BYTE> bytes;
  BYTE fill = 1;
  for (USHORT c : counts) {
    bytes.push_back(BYTE(c & 0xFF));
    bytes.push_back(BYTE(c >> 8));
    bytes.insert(bytes.end(), c - 2, fill++);
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

LPCITEMIDLIST AsList(const std::vector<BYTE>& b) { return reinterpret_cast<LPCITEMIDLIST>(b.data()); }

TEST(ItemIdLists, SizesCopiesAndJoins) {
  const auto two = MakeIdList({20, 30}), empty = MakeIdList({}), one = MakeIdList({12});
  EXPECT_EQ(GetIdListSize(AsList(two)), 52u);
  EXPECT_EQ(GetIdListSize(AsList(empty)), 2u);
  EXPECT_EQ(GetIdListSize(nullptr), 0u);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(NextItemId(AsList(two))), two.data() + 20);

  IMalloc* allocator = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetMalloc(&allocator)));
  LPITEMIDLIST first = CopyItemId(allocator, AsList(two));
  ASSERT_TRUE(first);
  EXPECT_EQ(GetIdListSize(first), 22u);
  EXPECT_EQ(0, memcmp(first, two.data(), 20));

  LPITEMIDLIST copy = JoinItemIdLists(nullptr, AsList(two));
  ASSERT_TRUE(copy);
  EXPECT_EQ(0, memcmp(copy, two.data(), two.size()));
  LPITEMIDLIST joined = JoinItemIdLists(AsList(two), AsList(one));
  ASSERT_TRUE(joined);
  const auto expected = MakeIdList({20, 30, 12});
  EXPECT_EQ(GetIdListSize(joined), expected.size());
  EXPECT_EQ(0, memcmp(joined + 0, expected.data(), 50));  // A's items, then B's item, one terminator
  EXPECT_EQ(reinterpret_cast<BYTE*>(joined)[50], 12);
  allocator->Free(first);
  allocator->Free(copy);
  allocator->Free(joined);
  allocator->Release();
}

TEST(ItemIdLists, RealShellItemsAndNames) {
  ScratchDir tmp;
  const std::wstring file = tmp.File(L"name 1.jpg");
  Write(file, "x");
  CoInitialize(nullptr);
  IShellFolder* desktop = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
  LPITEMIDLIST pidl = nullptr;
  ULONG eaten = 0;
  const HRESULT hr =
      desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(file.c_str()), &eaten, &pidl, nullptr);
  ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr << " " << PathExists(file.c_str());
  EXPECT_EQ(GetIdListSize(pidl), ILGetSize(pidl));  // the shell's own count as the oracle
  wchar_t name[kPathChars];
  ASSERT_EQ(GetShellItemDisplayName(desktop, pidl, SHGDN_FORPARSING, name), 1);
  EXPECT_EQ(CompareTextNoCase(name, file.c_str()), 0);
  ASSERT_TRUE(GetShellItemParentPath(desktop, pidl, name));
  EXPECT_EQ(CompareTextNoCase(name, tmp.path().c_str()), 0);
  CoTaskMemFree(pidl);
  desktop->Release();
  CoUninitialize();
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    frame_ = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(frame_);
  }
  void TearDown() override { DestroyWindow(frame_); }
  HWND frame_ = nullptr;
};

HTREEITEM AddTreeItem(HWND tree, HTREEITEM parent, const wchar_t* text) {
  TVINSERTSTRUCTW ins = {};
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = const_cast<wchar_t*>(text);
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

TEST_F(WindowTest, TreeItemPaths) {
  HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 150, frame_,
                              reinterpret_cast<HMENU>(302), nullptr, nullptr);
  ASSERT_TRUE(tree);
  HTREEITEM top = AddTreeItem(tree, TVI_ROOT, L"デスクトップ");
  HTREEITEM drive = AddTreeItem(tree, top, L"C:");
  HTREEITEM pics = AddTreeItem(tree, drive, L"Pics");
  HTREEITEM old = AddTreeItem(tree, pics, L"Old");
  const std::wstring longName(200, L'n');
  HTREEITEM long1 = AddTreeItem(tree, old, longName.c_str());
  HTREEITEM long2 = AddTreeItem(tree, long1, longName.c_str());

  struct Case { HTREEITEM item; int result; const wchar_t* want; } cases[] = {
      {old, 0, L"C:\\Pics\\Old"}, {drive, 0, L"C:"}, {long2, -1, nullptr},
  };
  g_windowSlots[kSlotNavigationPane] = frame_;
  for (const auto& c : cases) {
    wchar_t out[kPathChars + 1];
    out[kPathChars] = L'!';
    EXPECT_EQ(GetTreeItemPath(c.item, out), c.result);
    if (c.want) EXPECT_STREQ(out, c.want);
    EXPECT_EQ(out[kPathChars], L'!');
  }
  wchar_t text[kPathChars];
  EXPECT_EQ(GetTreeItemText(pics, text), 0);
  EXPECT_STREQ(text, L"Pics");
  g_windowSlots[kSlotNavigationPane] = nullptr;
  EXPECT_EQ(GetTreeItemText(pics, text), -1);
  EXPECT_STREQ(text, L"");
}

TEST_F(WindowTest, HitTestsCaptureClipboardAndFonts) {
  RECT r;
  GetWindowRect(frame_, &r);
  struct Case { LONG x, y; bool inside; } cases[] = {
      {r.left, r.top + 5, false}, {r.left + 5, r.top, false}, {r.left + 1, r.top + 1, true},
      {r.right - 1, r.bottom - 1, true}, {r.right, r.bottom - 1, false}, {r.left - 1, r.top + 5, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPointInWindow(frame_, POINT{c.x, c.y}), c.inside) << c.x << "," << c.y;

  CaptureMouseWithCursor(nullptr, IDC_WAIT);
  EXPECT_EQ(g_mouseCaptured, 0);
  EXPECT_EQ(g_captureCursor, IDC_WAIT);
  CaptureMouseWithCursor(frame_, IDC_SIZEWE);
  EXPECT_EQ(g_mouseCaptured, 1);
  EXPECT_EQ(GetCapture(), frame_);
  CaptureMouseWithCursor(nullptr, IDC_WAIT);  // a second request changes nothing
  EXPECT_EQ(g_captureCursor, IDC_SIZEWE);
  ReleaseMouseCapture();
  EXPECT_EQ(g_mouseCaptured, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  ReleaseMouseCapture();

  for (const wchar_t* text : {L"", L"C:\\写真\\a.jpg\r\nC:\\b.jpg"}) {
    CopyTextToClipboard(text);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_TRUE(data);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(data)), text);
    GlobalUnlock(data);
    CloseClipboard();
  }

  struct FontCase { uint8_t bold; int osClass; LONG weight; BYTE quality; } fonts[] = {
      {1, 7, FW_BOLD, CLEARTYPE_QUALITY}, {2, 10, FW_NORMAL, CLEARTYPE_QUALITY}, {0, 6, FW_NORMAL, PROOF_QUALITY},
  };
  const int savedClass = g_osClass;
  for (const auto& f : fonts) {
    g_osClass = f.osClass;
    HFONT font = CreateUiFont(nullptr, L"Tahoma", -12, f.bold);
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, f.weight);
    EXPECT_EQ(lf.lfQuality, f.quality);
    DeleteObject(font);
  }
  g_osClass = savedClass;

  HWND buddy = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 60, 20, frame_, nullptr, nullptr, nullptr);
  HWND upDown = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD, 0, 0, 16, 20, frame_, nullptr, nullptr, nullptr);
  InitUpDownControl(upDown, buddy, -5, 70000, 65536);
  int low = 0, high = 0;
  SendMessageW(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, -5);
  EXPECT_EQ(high, 70000);
  EXPECT_EQ(SendMessageW(upDown, UDM_GETPOS32, 0, 0), 65536);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)), buddy);
  CloseIme(frame_);  // no input context under Wine without an IME: must simply do nothing
  EXPECT_GE(GetOsClass(), 9);
}

TEST_F(WindowTest, KeyPollingPausesWhileFocusIsInsideTheInfoWindow) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, frame_, nullptr, nullptr, nullptr);
  ResetKeyStates();
  g_windowSlots[kSlotFileInfo] = frame_;
  SetFocus(edit);
  EXPECT_TRUE(IsFocusInFileInfoWindow());
  g_keyHold.injectedKey = 'Q';
  PollKeyStates();
  EXPECT_EQ(g_keyHold.counters['Q'], 0);
  EXPECT_EQ(g_keyHold.injectedKey, 'Q');  // still pending

  SetFocus(frame_);  // the window itself having the focus does not count
  EXPECT_FALSE(IsFocusInFileInfoWindow());
  PollKeyStates();
  EXPECT_TRUE(IsKeyJustPressed('Q'));
  EXPECT_TRUE(IsKeyPressedOrRepeating('Q'));
  g_keyHold.pollingSuspended = 1;
  EXPECT_FALSE(IsKeyHeld('Q'));
  g_keyHold.pollingSuspended = 0;
  g_windowSlots[kSlotFileInfo] = nullptr;
  EXPECT_FALSE(IsFocusInFileInfoWindow());
  EXPECT_FALSE(IsFocusInIndexPrintDialog());
}

TEST(DataFolders, FromTheSetting) {
  wcscpy(g_programFolder, L"C:\\Tools\\Viewer");
  struct Case { const wchar_t* setting; bool (*get)(wchar_t*); const wchar_t* want; } cases[] = {
      {L".\\user", GetCacheFolder, L"C:\\Tools\\Viewer\\user\\cache\\"},
      {L".\\user", GetMailFolder, L"C:\\Tools\\Viewer\\user\\mail\\"},
      {L"D:\\data", GetCollectionFolder, L"D:\\data\\collection\\"},
      {L"..\\shared", GetCaptureFolder, L"C:\\Tools\\shared\\capture\\"},
      {L"\\\\server\\share", GetCacheFolder, L"\\\\server\\share\\cache\\"},
  };
  for (const auto& c : cases) {
    wcscpy(W(g_settings.dataFolder), c.setting);
    wchar_t out[kPathChars];
    ASSERT_TRUE(c.get(out));
    EXPECT_STREQ(out, c.want);
  }
  // A damaged setting without a terminator never reads past its field.
  for (auto& ch : g_settings.dataFolder) ch = u'a';
  wchar_t out[kPathChars];
  EXPECT_FALSE(GetCacheFolder(out));
  EXPECT_STREQ(out, L"");
}

TEST(Folders, EnsureFolderExistsCreatesEveryLevel) {
  ScratchDir tmp;
  const std::wstring deep = tmp.File(L"x\\y\\z");
  EXPECT_EQ(EnsureFolderExists(deep.c_str(), 0), 1);
  EXPECT_TRUE(GetFileAttributesW(deep.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(EnsureFolderExists((deep + L"\\").c_str(), 1), 1);  // exists: no question
  const std::wstring file = tmp.File(L"plain");
  Write(file, "x");
  EXPECT_EQ(EnsureFolderExists((file + L"\\sub").c_str(), 0), 0);
  const std::wstring tooLong = tmp.path() + L"\\" + std::wstring(300, L'q');
  EXPECT_EQ(EnsureFolderExists(tooLong.c_str(), 0), 0);
}

std::vector<uint8_t> Contents(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  testsupport::ReadWholeFile(path, &bytes);
  return bytes;
}

size_t FilesIn(const ScratchDir& dir) {
  size_t n = 0;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(dir.File(L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do n += wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..");
  while (FindNextFileW(find, &found));
  FindClose(find);
  return n;
}

// The temporary names the writer would try first are taken by the user's file and a folder: they
// stay as they were, whether the replacement succeeds or fails.
TEST(SafeFile, NamesTakenByTheUsersFilesAreLeftAlone) {
  ScratchDir tmp;
  const std::wstring target = tmp.File(L"photo.jpg");
  Write(target, "old");
  wchar_t taken[2][300];
  const unsigned pid = static_cast<unsigned>(GetCurrentProcessId() & 0xFFFF);
  swprintf(taken[0], 300, L"%ls.%04x.tmp", target.c_str(), pid);
  swprintf(taken[1], 300, L"%ls.%04x-1.tmp", target.c_str(), pid);
  Write(taken[0], "the user's first");
  ASSERT_TRUE(CreateDirectoryW(taken[1], nullptr));
  const std::vector<uint8_t> first = Contents(taken[0]);

  EXPECT_TRUE(WriteFileReplacing(target.c_str(), "new bytes", 9));
  EXPECT_EQ(Contents(target), std::vector<uint8_t>({'n', 'e', 'w', ' ', 'b', 'y', 't', 'e', 's'}));
  EXPECT_EQ(Contents(taken[0]), first);
  EXPECT_TRUE(GetFileAttributesW(taken[1]) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(FilesIn(tmp), 3u);  // nothing of the writer's left behind

  // A failed write removes only its own temporary file.
  for (int step : {2, 3, 4}) {
    g_safeFileFaultStep = step;
    EXPECT_FALSE(WriteFileReplacing(target.c_str(), "lost", 4)) << step;
    g_safeFileFaultStep = 0;
    EXPECT_EQ(Contents(target).size(), 9u) << step;
    EXPECT_EQ(Contents(taken[0]), first) << step;
    EXPECT_EQ(FilesIn(tmp), 3u) << step;
  }

  // A new file beside them, and one whose name is taken.
  const std::wstring fresh = tmp.File(L"fresh.jpg");
  wchar_t freshTaken[300];
  swprintf(freshTaken, 300, L"%ls.%04x.tmp", fresh.c_str(), pid);
  Write(freshTaken, "mine");
  EXPECT_TRUE(WriteNewFile(fresh.c_str(), "abc", 3));
  EXPECT_EQ(Contents(fresh).size(), 3u);
  EXPECT_EQ(Contents(freshTaken), std::vector<uint8_t>({'m', 'i', 'n', 'e'}));
  EXPECT_FALSE(WriteNewFile(fresh.c_str(), "x", 1));
  EXPECT_EQ(Contents(fresh).size(), 3u);
}

TEST(SafeFile, AFailedWriteSaysWhyAndTheBoxNamesTheFile) {
  ScratchDir tmp;
  const std::wstring target = tmp.File(L"photo.jpg");
  Write(target, "old");
  g_safeFileFaultStep = 2;  // the disk takes half the bytes
  EXPECT_FALSE(WriteFileReplacing(target.c_str(), "lost", 4));
  g_safeFileFaultStep = 0;
  EXPECT_EQ(LastWriteError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_TRUE(WriteFileReplacing(target.c_str(), "new", 3));
  EXPECT_EQ(LastWriteError(), 0u);
  // Held open by another program without sharing: the replacing move is refused.
  HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFileReplacing(target.c_str(), "lost", 4));
  const DWORD refused = LastWriteError();
  CloseHandle(held);
  EXPECT_TRUE(refused == ERROR_ACCESS_DENIED || refused == ERROR_SHARING_VIOLATION) << refused;
  EXPECT_EQ(Contents(target).size(), 3u);
  EXPECT_FALSE(WriteNewFile(tmp.File(L"gone\\sheet.jpg").c_str(), "x", 1));
  EXPECT_EQ(LastWriteError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(WriteFailureText(L"保存できませんでした。", L"\\\\?\\C:\\a.cac", ERROR_DISK_FULL),
            L"保存できませんでした。\nC:\\a.cac\n\nディスクの空き容量が足りません。");
  EXPECT_EQ(WriteFailureText(L"保存できませんでした。", L"C:\\a.jpg", 0), L"保存できませんでした。\nC:\\a.jpg");
}

// Presses OK in the first window that activates (a chooser), Cancel in any later one (an error box).
HHOOK g_pressHook;
int g_activations;
LRESULT CALLBACK PressOk(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE)
    PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, g_activations++ == 0 ? IDOK : IDCANCEL, 0);
  return CallNextHookEx(g_pressHook, code, wParam, lParam);
}

template <typename F>
uint8_t AnswerChooser(F&& open) {
  g_activations = 0;
  g_pressHook = SetWindowsHookExW(WH_CBT, PressOk, nullptr, GetCurrentThreadId());
  const uint8_t result = open();
  UnhookWindowsHookEx(g_pressHook);
  return result;
}

TEST(Folders, ChoosersAcceptTheirAnswer) {
  ScratchDir tmp;
  const std::wstring existing = tmp.File(L"old.txt"), fresh = tmp.File(L"new.txt");
  Write(existing, "x");
  const wchar_t filter[] = L"Text\0*.txt\0\0";
  wchar_t buffer[1024], out[kPathChars];

  wcscpy(buffer, fresh.c_str());
  out[0] = 0;
  EXPECT_EQ(AnswerChooser([&] { return ChooseSaveFile(nullptr, filter, L"save", buffer, out, L"txt"); }), 1);
  EXPECT_EQ(CompareTextNoCase(out, fresh.c_str()), 0);  // a new name is accepted

  wcscpy(buffer, existing.c_str());
  out[0] = 0;
  EXPECT_EQ(AnswerChooser([&] { return ChooseOpenFile(nullptr, filter, L"open", buffer, out); }), 1);
  EXPECT_EQ(CompareTextNoCase(out, existing.c_str()), 0);

  CoInitialize(nullptr);
  wchar_t initial[kPathChars];
  wcscpy(initial, tmp.path().c_str());
  out[0] = 0;
  EXPECT_EQ(AnswerChooser([&] { return ChooseFolder(nullptr, initial, out); }), 1);
  EXPECT_EQ(CompareTextNoCase(out, tmp.path().c_str()), 0);  // opened on the initial folder
  CoUninitialize();
}

TEST(TextAndTypes, WideFaces) {
  wchar_t path[kPathChars] = L"\"C:\\My Pics\\a.jpg\"";
  EXPECT_TRUE(ReplaceAllInPath(path, L"\"", L""));
  EXPECT_STREQ(path, L"C:\\My Pics\\a.jpg");
  std::wstring filled(250, L'a');
  wcscpy(path, filled.c_str());
  EXPECT_FALSE(ReplaceAllInPath(path, L"aaaaa", L"bbbbbb"));
  EXPECT_STREQ(path, filled.c_str());

  wcscpy(W(g_settings.movieExtensions), L"ＡＶＩ；avi ；　MP4；;;");
  g_settings.enabledImageTypes = 0x81FFFFFF;
  ParseUserExtensions();
  struct Case { const wchar_t* name; uint32_t want; } cases[] = {
      {L"C:\\v\\clip.MP4", 0x1000000}, {L"clip.avi", 0x1000000}, {L"noext", 0x1000000},  // ";;" lists it
      {L"a.NEF", 0x80}, {L"a.JPEG", 0x2},
  };
  for (const auto& c : cases) EXPECT_EQ(GetFileTypeFlag(c.name), c.want);
  EXPECT_EQ(MatchUserExtension(L"a.mp4"), 0x1000000u);
}

}  // namespace
