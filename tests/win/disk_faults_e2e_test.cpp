// The real program on a small RAM disk of its own (tests/win/small_disk.sh mounts it around the
// test; without root the cases skip): its folder, its settings, cache and collection files, a
// folder of pictures and the files it writes. Each writer meets a full disk, a target another
// process holds open without sharing, and a folder gone between the selection and the action:
// the file it would replace keeps its bytes (or the new file is whole), nothing half-written is
// left beside it, the user is told in the program's words, and the next start finds what was
// saved before.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "actions/pure/action_table.h"
#include "core/pure/folder_cache_format.h"
#include "core/pure/scramble.h"
#include "core/pure/settings_block.h"
#include "resources/resource.h"
#include "support/dng_writer.h"
#include "support/pdf_printer.h"
#include "support/remote_controls.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

const wchar_t kPhoneShot[] =
    L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\has-lens-info.jpg";
constexpr int kMarkCommand = 305, kRotateRightCommand = 326, kFileInfoCommand = 243, kIndexPrintCommand = 32781;
constexpr int kWallpaperCommand = 125, kFolderTree = 302, kCollectionTree = 303, kFileInfoTabs = 305;
constexpr int kIptcTab = 2, kCommentTab = 3, kActionHistoryCombo = 325;

const wchar_t kFull[] = L"ディスクの空き容量が足りません。";
const wchar_t kInUse[] = L"他のプロセスがファイルを使用しています。";
const wchar_t kHeldOrRefused[] = L"他のプロセスがファイルを使用しているか、書き込みが許可されていません。";
const wchar_t kFolderGone[] = L"保存先のフォルダが見つかりません。";
const wchar_t kSettingsLead[] = L"次の設定ファイルを保存できませんでした。";
const wchar_t kCacheLead[] =
    L"次のキャッシュファイルを保存できませんでした。\nこのフォルダのチェックマーク・回転・復帰(UNDO)情報は保存されていません。";
const wchar_t kWallpaperLead[] = L"次の壁紙用の画像を保存できませんでした。";
const wchar_t kSheetLead[] = L"次の画像ファイルを保存できませんでした。";
const wchar_t kRawFailed[] = L"RAW現像に失敗しました。";

enum class Fault { kFullDisk, kHeldOpen, kFolderGone };

std::vector<uint8_t> Bytes(const std::wstring& path) {
  std::vector<uint8_t> b;
  ReadWholeFile(path, &b);
  return b;
}

// Names of files under the folder whose name ends in ".tmp", at any depth.
void FindTemporaries(const std::wstring& folder, std::vector<std::wstring>* found) {
  WIN32_FIND_DATAW fd;
  HANDLE f = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring n = fd.cFileName;
    if (n == L"." || n == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) FindTemporaries(folder + L"\\" + n, found);
    else if (n.size() > 4 && _wcsicmp(n.c_str() + n.size() - 4, L".tmp") == 0) found->push_back(folder + L"\\" + n);
  } while (FindNextFileW(f, &fd));
  FindClose(f);
}

uint64_t FreeBytes(const std::wstring& folder, uint64_t* total = nullptr) {
  ULARGE_INTEGER free{}, all{}, allFree{};
  GetDiskFreeSpaceExW(folder.c_str(), &free, &all, &allFree);
  if (total) *total = all.QuadPart;
  return free.QuadPart;
}

// A message box: a dialog of buttons and labels only, its text in control 0xFFFF. (The program's
// own dialogs, the chooser and the progress window have other controls and labels of that id.)
bool IsMessageBox(HWND w) {
  HWND label = GetDlgItem(w, 0xFFFF);
  if (!label || WindowText(label).empty() || WindowText(w).empty()) return false;
  int children = 0;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), ++children) {
    const std::wstring cls = ClassNameOf(c);
    if (_wcsicmp(cls.c_str(), L"Button") != 0 && _wcsicmp(cls.c_str(), L"Static") != 0) return false;
  }
  return children <= 8;
}

// A message box of the process answered with the button; its text.
bool AnswerBox(DWORD processId, int button, DWORD timeoutMs, std::wstring* text) {
  HWND box = nullptr;
  if (!WaitFor([&] {
        for (HWND w : VisibleTopWindows(processId, L"#32770"))
          if (IsMessageBox(w)) box = w;
        return box != nullptr;
      }, timeoutMs))
    return false;
  *text = WindowText(GetDlgItem(box, 0xFFFF));
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  WaitFor([&] { return !IsWindow(box); }, 5000);
  return true;
}

using Reasons = std::vector<const wchar_t*>;

// The failure box as the program words it: the lead, the file and one of the reasons.
void ExpectFailureBox(const std::wstring& text, const std::wstring& lead, const std::wstring& path,
                      const Reasons& reasons) {
  bool matched = false;
  for (const wchar_t* r : reasons) matched = matched || text == lead + L"\n" + path + L"\n\n" + r;
  EXPECT_TRUE(matched) << testing::PrintToString(text);
}

// The top line of the program's action history (its extended combo box in the rebar).
std::wstring HistoryTop(HWND main) {
  HWND combo = FindDescendant(main, L"ComboBoxEx32", kActionHistoryCombo);
  return combo ? ComboBoxExItemText(combo, 0) : L"";
}

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class DiskFaultsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring unixDisk = Env(L"BRN_SMALL_DISK");
    disk_ = unixDisk.empty() ? L"" : DosPath(unixDisk);
    uint64_t total = 0;
    if (disk_.empty() || !FileExists(disk_ + L"\\.small-disk")) GTEST_SKIP() << "no small disk mounted (needs root)";
    FreeBytes(disk_, &total);
    // Never fill a real disk.
    if (total == 0 || total > (64ull << 20)) GTEST_SKIP() << "the disk at " << unixDisk.size() << " is not small";
    program_ = disk_ + L"\\program";
    photos_ = disk_ + L"\\photos";
    exe_ = program_ + L"\\Brannomere.exe";
    cfg_ = program_ + L"\\Brannomere.cfg";
    trip_ = program_ + L"\\user\\collection\\Trip.co";
    wallpaper_ = program_ + L"\\BG__Brannomere__.bmp";
    sheet_ = program_ + L"\\sheet.jpg";
    ClearDisk();
    ASSERT_TRUE(CreateDirectoryW(photos_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((photos_ + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((disk_ + L"\\develop").c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(kPhoneShot, (photos_ + L"\\a.jpg").c_str(), FALSE));
    const auto dng = brn_test::MakeSyntheticDng(brn_test::SyntheticDng{});
    ASSERT_TRUE(WriteWholeFile(photos_ + L"\\b.dng", dng.data(), dng.size()));
    ASSERT_TRUE(CreateDirectoryW((program_ + L"\\user").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((program_ + L"\\user\\collection").c_str(), nullptr));
    const std::wstring list = photos_ + L"\\a.jpg\n";
    ASSERT_TRUE(WriteWholeFile(trip_, list.c_str(), (list.size() + 1) * sizeof(wchar_t)));
    wchar_t cache[1024];
    ASSERT_TRUE(BuildCacheFileName(reinterpret_cast<const char16_t*>((program_ + L"\\user\\cache\\").c_str()),
                                   reinterpret_cast<const char16_t*>(photos_.c_str()), false,
                                   reinterpret_cast<char16_t*>(cache), 1024));
    cache_ = cache;

    ASSERT_NO_FATAL_FAILURE(AgreeAndCloseOnce(exe_));
    std::vector<uint8_t> block = Bytes(cfg_);
    ASSERT_EQ(block.size(), sizeof(SettingsBlock));
    ScrambleBuffer(block.data(), block.size());
    auto* settings = reinterpret_cast<SettingsBlock*>(block.data());
    settings->wallpaperFolder = 0;  // beside the program
    settings->enabledImageTypes |= 0x2 | 0x4000;
    settings->watchFolder = 0;  // the folder that goes away is not noticed before the action
    settings->confirmFirstAction = 0;
    // L turns the picture in its file, R develops the RAW file into the develop folder.
    const struct { char key; int32_t kind; std::wstring folder; } keys[] = {{'L', 12, L""},
                                                                          {'R', 7, disk_ + L"\\develop\\"}};
    settings->actionCount = 0;
    for (const auto& k : keys) {
      ActionEntry& row = reinterpret_cast<ActionEntry*>(settings->actionTable)[settings->actionCount++];
      std::memset(&row, 0, sizeof row);
      row.enabled = 1;
      row.targetKey = 4 + (k.key - 'A');
      row.kind = k.kind;
      wcsncpy(reinterpret_cast<wchar_t*>(row.path), k.folder.c_str(), 259);
    }
    ScrambleBuffer(block.data(), block.size());
    ASSERT_TRUE(WriteWholeFile(cfg_, block.data(), block.size()));

    // A session on a disk with room: a.jpg marked, the wallpaper and an index sheet written.
    ASSERT_NO_FATAL_FAILURE(Start(false));
    ASSERT_NO_FATAL_FAILURE(SelectRow(0));
    PostMessageW(main_, WM_COMMAND, kMarkCommand, 0);
    ASSERT_TRUE(WaitFor([&] { return Marked(0); }, 5000));
    std::wstring text;
    SetWallpaper(&text);
    ASSERT_TRUE(WaitFor([&] { return Bytes(wallpaper_).size() > 54; }, 15000)) << testing::PrintToString(text);
    SaveSheet(&text);
    ASSERT_TRUE(WaitFor([&] { return Bytes(sheet_).size() > 2; }, 15000)) << testing::PrintToString(text);
    ASSERT_NO_FATAL_FAILURE(Close({}));
    ASSERT_TRUE(FileExists(cache_));
  }

  void TearDown() override {
    for (HANDLE h : held_) CloseHandle(h);
    held_.clear();
    if (process_.handle) process_.Kill();
    if (!disk_.empty()) DeleteFileW((disk_ + L"\\filler.bin").c_str());
  }

  // Everything on the disk but the program's two links and the marker.
  void ClearDisk() {
    DeleteFileW((disk_ + L"\\filler.bin").c_str());
    RemoveTree(photos_);
    RemoveTree(photos_ + L".away");
    RemoveTree(disk_ + L"\\develop");
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((program_ + L"\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return;
    do {
      const std::wstring n = fd.cFileName;
      if (n == L"." || n == L".." || n == L"Brannomere.exe" || n == L"rawdecoder.dll") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(program_ + L"\\" + n);
      else DeleteFileW((program_ + L"\\" + n).c_str());
    } while (FindNextFileW(f, &fd));
    FindClose(f);
  }

  // The program on the picture folder, its two rows listed and read. After a close that could
  // not save the settings the start asks whether to go back to the last folder: yes.
  void Start(bool askedBack) {
    ASSERT_TRUE(process_.Start(exe_, L"\"" + photos_ + L"\""));
    if (askedBack) {
      std::wstring question;
      ASSERT_TRUE(AnswerBox(process_.id, IDYES, 30000, &question));
      EXPECT_EQ(question.rfind(L"前回正常に終了しなかった可能性があります。", 0), 0u) << testing::PrintToString(question);
    }
    ASSERT_TRUE(WaitFor([&] { return (main_ = FindTopWindow(process_.id, L"BRANNOMERE", L"")) != nullptr; }, 30000));
    ASSERT_TRUE(WaitFor([&] {
      list_ = FileListOf(main_);
      return list_ && SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0) == 2 && !ListCellText(list_, 1, 4).empty();
    }, 60000));
    ASSERT_EQ(ListCellText(list_, 0, 0), L"a.jpg");
    WaitFor([] { return false; }, 1000);
  }

  // Closes the program, answering its boxes; their texts in order.
  void Close(std::vector<std::wstring> expectedLeads, std::vector<std::wstring>* texts = nullptr) {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    std::vector<std::wstring> seen;
    DWORD code = 1;
    bool ended = false;
    WaitFor([&] {
      std::wstring text;
      if (AnswerBox(process_.id, IDOK, 200, &text)) seen.push_back(text);
      return ended = process_.WaitExit(0, &code);
    }, 60000);
    ASSERT_TRUE(ended) << "the program did not end";
    CloseHandle(process_.handle);
    process_.handle = nullptr;
    ASSERT_EQ(seen.size(), expectedLeads.size()) << testing::PrintToString(seen);
    for (size_t k = 0; k < seen.size(); ++k)
      EXPECT_EQ(seen[k].rfind(expectedLeads[k], 0), 0u) << testing::PrintToString(seen[k]);
    if (texts) *texts = seen;
  }

  // The row alone selected, and the list focused by a click on its name (its icon is the check
  // box); selected from outside when the display does not pass the click on.
  void SelectRow(int row) {
    SetForegroundWindow(main_);
    SetListRowState(list_, -1, 0, LVIS_SELECTED);
    const POINT at = Centre(ListItemScreenRect(list_, row, LVIR_LABEL));
    // A hot key acts on the list's selection only while the list has the keys (else on the
    // current pane's picture): the click must give them, not only select the row.
    ASSERT_TRUE(ClickUntilFocused(main_, list_, at.x, at.y));
    if (!(SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED))
      SetListRowState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_EQ(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0), 1);
  }

  bool Marked(int row) {
    return (SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
           INDEXTOSTATEIMAGEMASK(2);
  }

  // The wallpaper command on the selected row with its question answered "はい(&Y)"; the box that
  // follows, if any.
  bool SetWallpaper(std::wstring* box) {
    const FILETIME before = WriteTime(wallpaper_);
    PostMessageW(GetParent(list_), WM_COMMAND, kWallpaperCommand, 0);
    std::wstring question;
    EXPECT_TRUE(AnswerBox(process_.id, IDNO, 15000, &question));
    EXPECT_EQ(question, L"現在選択の画像を壁紙に設定しますか？");
    return BoxOrWritten(wallpaper_, before, box);
  }

  static FILETIME WriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
  }
  // Waits for the program's box (answered, true) or for the file to be written anew (false).
  bool BoxOrWritten(const std::wstring& file, const FILETIME& before, std::wstring* box) {
    bool told = false;
    WaitFor([&] {
      if (AnswerBox(process_.id, IDOK, 100, box)) return told = true;
      const FILETIME now = WriteTime(file);
      return CompareFileTime(&before, &now) != 0;
    }, 30000);  // a desktop-sized picture takes a while to make
    return told;
  }

  // The index print dialog's save into sheet.jpg beside the program, the chooser answered as a
  // user does (a file already there replaced); the box that follows, if any. The dialog is closed.
  bool SaveSheet(std::wstring* box) {
    PostMessageW(main_, WM_COMMAND, kIndexPrintCommand, 0);
    HWND dialog = nullptr, chooser = nullptr;
    EXPECT_TRUE(WaitFor([&] {
      for (HWND w : VisibleTopWindows(process_.id, L"#32770"))
        if (GetDlgItem(w, IDC_IP_PAGE_TEXT)) dialog = w;
      return dialog != nullptr;
    }, 20000));
    if (!dialog) return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_IP_SAVE, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return (chooser = FindTopWindow(process_.id, L"#32770", L"セーブファイル選択")); }, 20000));
    if (!chooser) return false;
    HWND name = GetDlgItem(chooser, edt1);
    if (!name) name = GetDlgItem(chooser, cmb13);
    EXPECT_NE(name, nullptr);
    SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sheet_.c_str()), SMTO_NORMAL, 5000, nullptr);
    const bool replacing = FileExists(sheet_);
    const FILETIME before = WriteTime(sheet_);
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // The chooser's own question when the file is there, then the program's box.
    std::wstring question;
    if (replacing) EXPECT_TRUE(AnswerBox(process_.id, IDYES, 15000, &question));
    const bool told = BoxOrWritten(sheet_, before, box);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    WaitFor([&] { return !IsWindow(dialog); }, 10000);
    return told;
  }

  // The File Information window's tab, and the page holding the control (ids repeat across the
  // pages: the class tells them apart).
  HWND InfoPage(int tab, const wchar_t* controlClass, int control) {
    HWND info = nullptr, tabs = nullptr, page = nullptr;
    if (!FindDescendant(main_, WC_TABCONTROLW, kFileInfoTabs) && !FindTopWindow(process_.id, L"#32770", L"File Information"))
      PostMessageW(main_, WM_COMMAND, kFileInfoCommand, 0);
    EXPECT_TRUE(WaitFor([&] {
      info = FindTopWindow(process_.id, L"#32770", L"File Information");
      if (!info) info = main_;
      tabs = FindDescendant(info, WC_TABCONTROLW, kFileInfoTabs);
      return tabs && IsWindowVisible(tabs);
    }, 30000));
    if (!tabs) return nullptr;
    SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, tab, 0, SMTO_NORMAL, 5000, nullptr);
    EXPECT_TRUE(WaitFor([&] {
      HWND c = FindDescendant(info, controlClass, control);
      page = c ? GetParent(c) : nullptr;
      return c && IsWindowVisible(c);
    }, 10000));
    WaitFor([] { return false; }, 1000);  // the tab reads the file it shows
    return page;
  }

  // The comment and the IPTC record written into a.jpg; the boxes.
  void WriteComment(std::wstring* box) {
    HWND page = InfoPage(kCommentTab, L"Edit", IDC_COMMENT_EDIT);
    ASSERT_NE(page, nullptr);
    SendMessageTimeoutW(GetDlgItem(page, IDC_COMMENT_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"disk test"),
                        SMTO_NORMAL, 5000, nullptr);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_TAB_WRITE, BN_CLICKED), 0);
    EXPECT_TRUE(AnswerBox(process_.id, IDOK, 15000, box));
  }
  void WriteIptc(std::wstring* box) {
    HWND page = InfoPage(kIptcTab, WC_LISTVIEWW, IDC_IPTC_LIST);
    ASSERT_NE(page, nullptr);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_TAB_WRITE, BN_CLICKED), 0);
    EXPECT_TRUE(AnswerBox(process_.id, IDOK, 15000, box));
  }

  // The key of an action on the row; the history line it leaves (or a box, into *box).
  std::wstring RunKey(int row, WORD key, const std::wstring& name, std::wstring* box) {
    SelectRow(row);
    const std::wstring before = HistoryTop(main_);
    PressKey(key);
    std::wstring line;
    WaitFor([&] {
      line = HistoryTop(main_);
      if (line != before && line.find(L":" + name + L"->") != std::wstring::npos) return true;
      return AnswerBox(process_.id, IDOK, 100, box);
    }, 30000);
    return line != before ? line : L"";
  }

  // Opens the picture folder's sub-folder by a click in the tree.
  void LeaveForSubFolder() {
    HWND tree = FindDescendant(main_, nullptr, kFolderTree);
    ASSERT_NE(tree, nullptr);
    HTREEITEM shown = nullptr, sub = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      shown = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
      if (!shown) return false;
      SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(shown));
      sub = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(shown)));
      return sub != nullptr;
    }, 15000));
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(sub));
    const POINT at = Centre(TreeItemScreenRect(tree, sub));
    SetForegroundWindow(main_);
    ClickAt(at.x, at.y);
  }

  void Fill() {
    HANDLE f = CreateFileW((disk_ + L"\\filler.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    std::vector<char> block(1 << 16, 'f');
    for (DWORD size = static_cast<DWORD>(block.size()); size > 0;) {
      DWORD done = 0;
      if (!WriteFile(f, block.data(), size, &done, nullptr) || done < size) size /= 2;
    }
    CloseHandle(f);
    ASSERT_LT(FreeBytes(disk_), 4096u);
  }

  void Hold(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << testing::PrintToString(path);
    held_.push_back(h);
  }

  void ExpectNoTemporaries() {
    std::vector<std::wstring> found;
    FindTemporaries(disk_, &found);
    EXPECT_TRUE(found.empty()) << testing::PrintToString(found);
  }

  // The whole round for one fault: a second session makes a mark (b.dng) and a turn (a.jpg),
  // the fault comes, every writer runs, the program closes; then the fault goes and the files and
  // a third start show what was saved.
  void RunRound(Fault fault) {
    ASSERT_NO_FATAL_FAILURE(Start(false));
    EXPECT_TRUE(Marked(0));
    ASSERT_NO_FATAL_FAILURE(SelectRow(1));
    PostMessageW(main_, WM_COMMAND, kMarkCommand, 0);
    ASSERT_TRUE(WaitFor([&] { return Marked(1); }, 5000));
    ASSERT_NO_FATAL_FAILURE(SelectRow(0));
    PostMessageW(main_, WM_COMMAND, kRotateRightCommand, 0);
    WaitFor([] { return false; }, 1000);

    // What the disk holds now, after the start's own save of the settings.
    const std::wstring a = photos_ + L"\\a.jpg", b = photos_ + L"\\b.dng";
    const std::vector<uint8_t> cfg = Bytes(cfg_), cache = Bytes(cache_), trip = Bytes(trip_), jpeg = Bytes(a),
                               raw = Bytes(b), wallpaper = Bytes(wallpaper_), sheet = Bytes(sheet_);
    ASSERT_EQ(cfg.size(), sizeof(SettingsBlock));
    ASSERT_GT(cache.size(), kCacheHeaderSize);

    Reasons reasons{kFull}, replaceReasons{kFull};
    switch (fault) {
      case Fault::kFullDisk:
        ASSERT_NO_FATAL_FAILURE(Fill());
        break;
      case Fault::kHeldOpen:
        // a.jpg is held while it is written into, and let go before the wallpaper is made of it.
        for (const std::wstring& p : {cfg_, cache_, trip_, b, wallpaper_, sheet_, a}) ASSERT_NO_FATAL_FAILURE(Hold(p));
        reasons = {kInUse};
        replaceReasons = {kHeldOrRefused, kInUse};
        break;
      case Fault::kFolderGone:
        ASSERT_TRUE(MoveFileW(photos_.c_str(), (photos_ + L".away").c_str()));
        // The data folders go too: the program makes them again.
        RemoveTree(program_ + L"\\user");
        reasons = {kFolderGone};
        break;
    }

    std::wstring box;
    WriteComment(&box);
    ExpectFailureBox(box, L"コメントを書き出せませんでした。", a, reasons);
    WriteIptc(&box);
    ExpectFailureBox(box, L"IPTC情報を書き出せませんでした。", a, reasons);
    ExpectNoTemporaries();

    // The turn: a two-byte write in place needs no room; a copy of the file does.
    box.clear();
    const std::wstring turned = RunKey(0, 'L', L"a.jpg", &box);
    EXPECT_TRUE(box.empty()) << testing::PrintToString(box);
    bool turnedInFile = false;
    std::fprintf(stderr, "note: the turn: %s\n", EndsWith(turned, L"->OK!") ? "written in place" : "not written");
    if (fault == Fault::kFolderGone) {
      EXPECT_TRUE(EndsWith(turned, L"->Skip!") || EndsWith(turned, L"->NG!")) << testing::PrintToString(turned);
    } else if (EndsWith(turned, L"->OK!")) {
      turnedInFile = true;
      EXPECT_EQ(fault, Fault::kFullDisk);
      const std::vector<uint8_t> now = Bytes(a);
      ASSERT_EQ(now.size(), jpeg.size());
      int changed = 0;
      for (size_t k = 0; k < now.size(); ++k) changed += now[k] != jpeg[k];
      EXPECT_EQ(changed, 1);  // the orientation value 6 became 3; its high byte stays 0
    } else {
      EXPECT_TRUE(EndsWith(turned, L"->NG!")) << testing::PrintToString(turned);
    }
    ExpectNoTemporaries();
    if (fault == Fault::kHeldOpen) {
      CloseHandle(held_.back());
      held_.pop_back();
    }

    // The development: its picture cannot be saved (history "NG!"), or the RAW file cannot be
    // read at all (the box).
    box.clear();
    const std::wstring developed = RunKey(1, 'R', L"b.dng", &box);
    EXPECT_TRUE(WaitFor([&] { return FindTopWindow(process_.id, L"", L"[1/1] RAW現像") == nullptr; }, 60000));
    if (fault == Fault::kFullDisk) EXPECT_TRUE(EndsWith(developed, L"->NG!")) << testing::PrintToString(developed);
    else if (fault == Fault::kHeldOpen) EXPECT_EQ(box, kRawFailed) << testing::PrintToString(developed);
    else EXPECT_TRUE(box == kRawFailed || EndsWith(developed, L"->Skip!")) << testing::PrintToString(box + developed);
    EXPECT_FALSE(FileExists(disk_ + L"\\develop\\b.tiff"));
    ExpectNoTemporaries();

    // The wallpaper of a.jpg and the index sheet beside the program.
    box.clear();
    ASSERT_NO_FATAL_FAILURE(SelectRow(0));
    const bool wallpaperTold = SetWallpaper(&box);
    if (fault == Fault::kFolderGone) {
      std::fprintf(stderr, "note: the wallpaper of a picture gone: %s\n", wallpaperTold ? "told" : "made from memory");
      // Made from the picture still held, or the picture said to be gone.
      if (wallpaperTold) ExpectFailureBox(box, L"次の画像を壁紙に設定できませんでした。", a, {L"ファイルが見つかりません。"});
      else EXPECT_TRUE(WaitFor([&] { return Bytes(wallpaper_).size() == wallpaper.size(); }, 10000));
    } else {
      EXPECT_TRUE(wallpaperTold);
      ExpectFailureBox(box, kWallpaperLead, wallpaper_, replaceReasons);
    }
    box.clear();
    const bool sheetTold = SaveSheet(&box);
    if (fault == Fault::kFolderGone) {
      EXPECT_FALSE(sheetTold) << testing::PrintToString(box);  // made from the thumbnails held
      const std::vector<uint8_t> now = Bytes(sheet_);
      ASSERT_GT(now.size(), 4u);
      EXPECT_TRUE(now[0] == 0xFF && now[1] == 0xD8 && now[now.size() - 2] == 0xFF && now.back() == 0xD9);
    } else {
      EXPECT_TRUE(sheetTold);
      ExpectFailureBox(box, kSheetLead, sheet_, replaceReasons);
    }
    ExpectNoTemporaries();

    // Leaving the folder writes its cache file (the mark of b.dng would be lost without a word),
    // and so does the close in it; the close writes the settings and, last, the collections.
    std::vector<std::wstring> closing;
    const std::wstring collectionLead = L"次のコレクションを保存できませんでした。\nTrip";
    if (fault == Fault::kFullDisk) {
      LeaveForSubFolder();
      EXPECT_TRUE(AnswerBox(process_.id, IDOK, 30000, &box));
      ExpectFailureBox(box, kCacheLead, cache_, replaceReasons);
      ASSERT_TRUE(WaitFor([&] { return SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0) == 0; }, 30000));
      ASSERT_NO_FATAL_FAILURE(Close({kSettingsLead, collectionLead}, &closing));
    } else if (fault == Fault::kHeldOpen) {
      ASSERT_NO_FATAL_FAILURE(Close({kSettingsLead, kCacheLead, collectionLead}, &closing));
      ExpectFailureBox(closing[1], kCacheLead, cache_, replaceReasons);
    } else {
      ASSERT_NO_FATAL_FAILURE(Close({}));
    }
    if (!closing.empty()) {
      ExpectFailureBox(closing[0], kSettingsLead, cfg_, replaceReasons);
      bool named = false;
      for (const wchar_t* r : replaceReasons) named = named || closing.back() == collectionLead + L"\n\n" + r;
      EXPECT_TRUE(named) << testing::PrintToString(closing.back());
    }

    for (HANDLE h : held_) CloseHandle(h);
    held_.clear();
    DeleteFileW((disk_ + L"\\filler.bin").c_str());
    if (fault == Fault::kFolderGone) {
      ASSERT_TRUE(MoveFileW((photos_ + L".away").c_str(), photos_.c_str()));
      // Written again into the folders made anew.
      EXPECT_EQ(Bytes(trip_), trip);
      EXPECT_GT(Bytes(cache_).size(), kCacheHeaderSize);
    } else {
      EXPECT_EQ(Bytes(cfg_), cfg);
      EXPECT_EQ(Bytes(cache_), cache);
      EXPECT_EQ(Bytes(trip_), trip);
      EXPECT_EQ(Bytes(wallpaper_), wallpaper);
      EXPECT_EQ(Bytes(sheet_), sheet);
    }
    if (!turnedInFile) EXPECT_EQ(Bytes(a), jpeg);
    EXPECT_EQ(Bytes(b), raw);
    ExpectNoTemporaries();

    // The next start: the settings, the marks and the collection as last saved.
    ASSERT_NO_FATAL_FAILURE(Start(fault != Fault::kFolderGone));
    // a.jpg turned in its file is another file than the one its mark was saved with.
    EXPECT_EQ(Marked(0), !turnedInFile);
    EXPECT_EQ(Marked(1), fault == Fault::kFolderGone);  // kept when its cache file could be written
    const std::vector<std::wstring> collections = TreeTexts(FindDescendant(main_, WC_TREEVIEWW, kCollectionTree));
    EXPECT_NE(std::find(collections.begin(), collections.end(), L"Trip"), collections.end())
        << testing::PrintToString(collections.size());
    ASSERT_NO_FATAL_FAILURE(Close({}));
  }

  std::wstring disk_, program_, photos_, exe_, cfg_, cache_, trip_, wallpaper_, sheet_;
  Process process_;
  HWND main_ = nullptr, list_ = nullptr;
  std::vector<HANDLE> held_;
};

TEST_F(DiskFaultsE2E, AFullDiskKeepsEveryFileAndSaysSo) { RunRound(Fault::kFullDisk); }

TEST_F(DiskFaultsE2E, FilesHeldOpenByAnotherProgramAreKeptAndNamed) { RunRound(Fault::kHeldOpen); }

TEST_F(DiskFaultsE2E, AFolderGoneBeforeTheActionIsToldOrMadeAgain) { RunRound(Fault::kFolderGone); }

}  // namespace
