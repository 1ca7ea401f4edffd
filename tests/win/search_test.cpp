// The search inside a real main window: the dialog's lists and stored criteria, searches over
// scratch folders and collections with their results collections and questions, stops, and a
// maker search over real camera JPEGs checked against ExifTool.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "browser/collections.h"
#include "browser/drag_drop.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/search_dialog.h"
#include "browser/search_ids.h"
#include "browser/search_thread.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "app/startup.h"
#include "support/program_services.h"
#include "support/program_window_suite.h"
#include "support/win_test_support.h"
#include "tests/support/exif_fixture.h"

using namespace testsupport;

namespace {

const wchar_t kGoexif[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\";

std::function<void(HWND)> g_drive;

void CALLBACK DriveTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = g_windowSlots[kSlotSearch];
  if (!dialog || !g_drive) return;
  KillTimer(nullptr, id);
  auto drive = g_drive;
  g_drive = nullptr;
  drive(dialog);
}

// Runs the modal dialog the way the list command does, handing it to `drive` once it is up.
INT_PTR RunDialog(std::function<void(HWND)> drive) {
  g_drive = std::move(drive);
  UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveTimer);
  INT_PTR result = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_SEARCH), g_hwndMain, SearchDlgProc, -1);
  KillTimer(nullptr, timer);
  return result;
}

void Pick(HWND dialog, int id, int index) {
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

template <class T>
T SettingAt(size_t offset) {
  T value;
  memcpy(&value, reinterpret_cast<const uint8_t*>(&g_settings) + offset, sizeof value);
  return value;
}
std::wstring TextAt(size_t offset) { return reinterpret_cast<const wchar_t*>(reinterpret_cast<const uint8_t*>(&g_settings) + offset); }

void ClearKinds() {
  memset(g_settings.searchConditions, 0, sizeof g_settings.searchConditions);
  g_settings.fileNameSearchFlag = 0;
  g_settings.commentSearchFlag = 0;
  memset(g_settings.iptcSearchWords, 0, sizeof g_settings.iptcSearchWords);
  g_settings.searchMode = 0;
  g_settings.searchCollectionChoice = 0;
  g_settings.searchSubfolders = 1;
  g_searchChoiceName[0] = 0;
}

void SetRoot(const std::wstring& root) {
  memset(g_settings.searchFolder, 0, sizeof g_settings.searchFolder);
  wcscpy(reinterpret_cast<wchar_t*>(g_settings.searchFolder), root.c_str());
}

void SetText(TextHistory16& history, KeywordList* keywords, const char16_t* text) {
  PushSearchHistory(history, text);
  if (keywords) SplitKeywords(*keywords, text);
}

bool SearchDone() { return !g_windowSlots[kSlotSearchProgress] && !g_searchThread; }

// Starts a search on the stored criteria and waits for its end.
void RunSearch() {
  StartSearch();
  ASSERT_TRUE(WaitFor(SearchDone, 120000));
}

std::vector<std::wstring> Lines(const wchar_t* list) {
  std::vector<std::wstring> out;
  std::wstring line;
  for (const wchar_t* p = list; p && *p; ++p) {
    if (*p == L'\n') {
      out.push_back(line);
      line.clear();
    } else {
      line += *p;
    }
  }
  return out;
}

std::vector<std::wstring> CollectionLines(const wchar_t* name) {
  int index = FindCollectionByName(name);
  return index < 0 ? std::vector<std::wstring>{} : Lines(g_collections[index].list);
}

// The answerer also meets the progress window (a dialog too): only message boxes count.
std::vector<std::wstring> Boxes(const BoxAnswerer& answer) {
  std::vector<std::wstring> out;
  for (const auto& box : answer.seen)
    if (box.caption.rfind(L"検索", 0) != 0) out.push_back(box.text);
  return out;
}

std::string Seen(const BoxAnswerer& answer) {
  std::string out;
  for (const auto& box : answer.seen) {
    char text[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, box.text.c_str(), -1, text, sizeof text - 1, nullptr, nullptr);
    out += text;
    out += " | ";
  }
  return out;
}

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

void MakeFile(const std::wstring& path, size_t bytes = 1) {
  std::vector<char> data(bytes, 'x');
  ASSERT_TRUE(WriteWholeFile(path, data.data(), data.size()));
}

void DeleteAllCollections() {
  while (g_collectionCount > 0) DeleteCollection(g_collectionCount - 1);
}

class SearchTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NO_FATAL_FAILURE(OpenMainWindow(LoadCollections));
    BuildMenuBar(g_hInstance);
    Pump();
  }
  static void TearDownTestSuite() { CloseMainWindow(); }
  void SetUp() override {
    ClearKinds();
    DeleteAllCollections();
  }
};

TEST_F(SearchTest, DialogListsEnablingAndCriteriaKeptAfterCancel) {
  CreateCollection(L"旅行");
  g_settings.searchCollectionChoice = 1;
  // Kept beside the test program for the eye.
  std::wstring shot = ExeFolder() + L"\\search_dialog.bmp";
  INT_PTR result = RunDialog([&](HWND d) {
    // First opening: every kind "全て", the value controls off.
    wchar_t text[128];
    SendDlgItemMessageW(d, IDC_SEARCH_MAKER_KIND, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"キーワードのいずれかを含むメーカーのみ");
    EXPECT_EQ(SendDlgItemMessageW(d, IDC_SEARCH_EXPOSURE_KIND, CB_GETCOUNT, 0, 0), 6);
    SendDlgItemMessageW(d, IDC_SEARCH_EXPOSURE_KIND, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"指定のシャッタースピード以上");
    EXPECT_EQ(SendDlgItemMessageW(d, IDC_SEARCH_IPTC4_DATASET, CB_GETCOUNT, 0, 0), 33);
    SendDlgItemMessageW(d, IDC_SEARCH_COLLECTION, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"旅行");
    EXPECT_FALSE(Enabled(d, IDC_SEARCH_MAKER_TEXT));
    EXPECT_FALSE(Enabled(d, IDC_SEARCH_MODDATE_FROM));
    // "指定日のみ" enables the first picker only, a range both.
    Pick(d, IDC_SEARCH_MODDATE_KIND, 1);
    EXPECT_TRUE(Enabled(d, IDC_SEARCH_MODDATE_FROM));
    EXPECT_FALSE(Enabled(d, IDC_SEARCH_MODDATE_TO));
    Pick(d, IDC_SEARCH_MODDATE_KIND, 2);
    EXPECT_TRUE(Enabled(d, IDC_SEARCH_MODDATE_TO));
    // Only kind 5 enables the "to" field of a number row.
    Pick(d, IDC_SEARCH_ISO_KIND, 4);
    EXPECT_TRUE(Enabled(d, IDC_SEARCH_ISO_FROM));
    EXPECT_FALSE(Enabled(d, IDC_SEARCH_ISO_TO));
    Pick(d, IDC_SEARCH_ISO_KIND, 5);
    EXPECT_TRUE(Enabled(d, IDC_SEARCH_ISO_TO));
    Pick(d, IDC_SEARCH_MAKER_KIND, 1);
    EXPECT_TRUE(Enabled(d, IDC_SEARCH_MAKER_TEXT));
    SetDlgItemTextW(d, IDC_SEARCH_MAKER_TEXT, L"canon  nikon");
    SetDlgItemTextW(d, IDC_SEARCH_ISO_FROM, L"400");
    SetDlgItemTextW(d, IDC_SEARCH_ISO_TO, L"100");
    SetDlgItemTextW(d, IDC_SEARCH_SIZE_FROM, L"10");
    // A folder dropped on the root edit becomes its text.
    const wchar_t* dropped[] = {L"C:\\dropped\\folder"};
    SendDlgItemMessageW(d, IDC_SEARCH_ROOT, WM_DROPFILES, reinterpret_cast<WPARAM>(BuildFileDropBlock(dropped, 1)), 0);
    GetDlgItemTextW(d, IDC_SEARCH_ROOT, text, 128);
    EXPECT_STREQ(text, L"C:\\dropped\\folder");
    EXPECT_NE(GetWindowLongW(GetDlgItem(d, IDC_SEARCH_ROOT), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    // Collection mode; the choice stays when another list changes.
    SendMessageW(d, WM_COMMAND, IDC_SEARCH_MODE_COLLECTION, 0);
    EXPECT_TRUE(Enabled(d, IDC_SEARCH_COLLECTION));
    EXPECT_FALSE(Enabled(d, IDC_SEARCH_ROOT));
    EXPECT_EQ(SendDlgItemMessageW(d, IDC_SEARCH_COLLECTION, CB_GETCURSEL, 0, 0), 1);
    Pick(d, IDC_SEARCH_FOCAL_KIND, 3);
    EXPECT_EQ(SendDlgItemMessageW(d, IDC_SEARCH_COLLECTION, CB_GETCURSEL, 0, 0), 1);
    // The modal loop shows the dialog only once its queue is empty; the timer came first.
    ShowWindow(d, SW_SHOW);
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 10; ++i) {
      Pump();
      Sleep(30);
    }
    SaveScreenshot(shot);
    SendMessageW(d, WM_COMMAND, IDC_SEARCH_CANCEL, 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(g_windowSlots[kSlotSearch], nullptr);
  // Cancel keeps every edit, at its place in the block.
  EXPECT_EQ(SettingAt<int32_t>(120052), 1);    // maker kind
  EXPECT_EQ(SettingAt<int32_t>(120072), 5);    // ISO kind
  EXPECT_EQ(SettingAt<int32_t>(120076), 3);    // focal-length kind
  EXPECT_EQ(SettingAt<int32_t>(120024), 2);    // modification-date kind
  EXPECT_EQ(SettingAt<int32_t>(120144), 10);   // size from
  EXPECT_EQ(TextAt(124252), L"canon  nikon");  // maker history, entry 0
  EXPECT_EQ(TextAt(128352 + 256), L"");        // keyword 1 of three: the empty middle one
  EXPECT_EQ(TextAt(128352 + 512), L"NIKON");
  EXPECT_EQ(SettingAt<int32_t>(128352 + 4096), 3);
  EXPECT_EQ(SettingAt<float>(165252 + 4096), 400.0f);  // ISO from, parsed
  EXPECT_EQ(SettingAt<float>(169352 + 4096), 100.0f);
  EXPECT_EQ(SettingAt<uint8_t>(182452), 1);    // collection mode
  EXPECT_EQ(SettingAt<int32_t>(182456), 1);    // collection choice
  EXPECT_EQ(std::wstring(g_searchChoiceName), L"旅行");
  // The date picker's whole value arrived (never zero once stored).
  EXPECT_NE(SettingAt<uint16_t>(120080), 0);

  // The reset clears the kinds only; texts stay in their fields.
  RunDialog([&](HWND d) {
    SendMessageW(d, WM_COMMAND, IDC_SEARCH_RESET, 0);
    EXPECT_EQ(SendDlgItemMessageW(d, IDC_SEARCH_MAKER_KIND, CB_GETCURSEL, 0, 0), 0);
    wchar_t text[128];
    GetDlgItemTextW(d, IDC_SEARCH_MAKER_TEXT, text, 128);
    EXPECT_STREQ(text, L"canon  nikon");
    SendMessageW(d, WM_COMMAND, IDC_SEARCH_CANCEL, 0);
  });
  EXPECT_EQ(SettingAt<int32_t>(120052), 0);
  EXPECT_EQ(SettingAt<int32_t>(120072), 0);

  // An invalid root in folder mode: the message, and the dialog stays.
  RunDialog([&](HWND d) {
    SendMessageW(d, WM_COMMAND, IDC_SEARCH_MODE_FOLDER, 0);
    SetDlgItemTextW(d, IDC_SEARCH_ROOT, L"c:\\a|b");
    {
      BoxAnswerer answer(IDOK);
      SendMessageW(d, WM_COMMAND, IDC_SEARCH_START, 0);
      ASSERT_EQ(Boxes(answer).size(), 1u) << Seen(answer);
      EXPECT_EQ(Boxes(answer)[0], L"検索ルートパスが不正です。\n正しい検索ルートパスを入力してください。");
    }
    EXPECT_EQ(g_windowSlots[kSlotSearch], d);
    SendMessageW(d, WM_COMMAND, IDC_SEARCH_CANCEL, 0);
  });
  EXPECT_NE(TextAt(181652), L"c:\\a|b");
}

TEST_F(SearchTest, FolderSearchResultsNamesNoMatchFormatsAndSizes) {
  const std::wstring root = dir_->File(L"plain");
  CreateDirectoryW(root.c_str(), nullptr);
  CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
  MakeFile(root + L"\\a.jpg", 9 * 1024);
  MakeFile(root + L"\\b.tif", 10 * 1024);
  MakeFile(root + L"\\c.png", 11 * 1024);
  MakeFile(root + L"\\notes.txt", 10 * 1024);
  MakeFile(root + L"\\sub\\d.jpg", 8 * 1024);
  SetRoot(root + L"\\");

  // Everything of a listed type, sub-folders included, into "検索結果1", then "検索結果2".
  RunSearch();
  std::vector<std::wstring> first = CollectionLines(L"検索結果1");
  EXPECT_EQ(first.size(), 4u);
  EXPECT_EQ(std::count(first.begin(), first.end(), root + L"\\sub\\d.jpg"), 1);
  EXPECT_EQ(g_searchProcessed, 5);
  EXPECT_EQ(g_listSource, 1);  // the results are shown
  g_settings.searchSubfolders = 0;
  RunSearch();
  EXPECT_EQ(CollectionLines(L"検索結果2").size(), 3u);
  EXPECT_EQ(g_collectionCount, 2);

  // Nothing matches: the message, and no collection left behind.
  g_settings.fileNameSearchFlag = 1;
  SetText(g_settings.searchFileNames, &g_settings.searchFileNamesInput, u"zzz");
  {
    BoxAnswerer answer(IDOK);
    RunSearch();
    ASSERT_EQ(Boxes(answer).size(), 1u) << Seen(answer);
    EXPECT_EQ(Boxes(answer)[0], L"条件に一致する画像がありませんでした。");
  }
  EXPECT_EQ(g_collectionCount, 2);
  EXPECT_EQ(FindCollectionByName(L"検索結果3"), -1);
  g_settings.fileNameSearchFlag = 0;

  // Formats "JPG TIF".
  SearchConditions& c = SearchConditionsOf();
  c.formatKind = 1;
  SetText(g_settings.searchFileTypes, nullptr, u"JPG TIF");
  RunSearch();
  std::vector<std::wstring> formats = CollectionLines(L"検索結果3");
  std::set<std::wstring> names;
  for (auto& p : formats) names.insert(NameOf(p));
  EXPECT_EQ(names, (std::set<std::wstring>{L"a.jpg", L"b.tif"}));
  c.formatKind = 0;

  // "指定サイズのみ" 10 KByte: the 9 KB and 10 KB files.
  c.sizeKind = 1;
  c.sizeUnit = 1;
  c.sizeFrom = 10;
  RunSearch();
  names.clear();
  for (auto& p : CollectionLines(L"検索結果4")) names.insert(NameOf(p));
  EXPECT_EQ(names, (std::set<std::wstring>{L"a.jpg", L"b.tif"}));
}

TEST_F(SearchTest, ManyMatchesAskWithTheCountAndAStopEndsCleanly) {
  const std::wstring root = dir_->File(L"many");
  CreateDirectoryW(root.c_str(), nullptr);
  for (int i = 0; i < 1000; ++i) MakeFile(root + L"\\p" + std::to_wstring(i) + L".jpg");
  SetRoot(root);
  {
    BoxAnswerer answer(IDYES);
    RunSearch();
    EXPECT_TRUE(Boxes(answer).empty()) << Seen(answer);  // exactly 1,000: no question
  }
  EXPECT_EQ(CollectionLines(L"検索結果1").size(), 1000u);
  MakeFile(root + L"\\p1000.jpg");
  {
    BoxAnswerer answer(IDNO);
    RunSearch();
    ASSERT_EQ(Boxes(answer).size(), 1u) << Seen(answer);
    EXPECT_EQ(Boxes(answer)[0],
              L"検索条件に一致する画像が 1001 件ありました。\n※環境によりリスト構築に多くの時間がかかる場合があります。"
              L"\n\n続行しますか？");
  }
  EXPECT_EQ(FindCollectionByName(L"検索結果2"), -1);  // "No" throws the results away

  // A stop right after the start, while the tree is still being counted.
  for (int d = 0; d < 30; ++d) {
    std::wstring sub = root + L"\\d" + std::to_wstring(d);
    CreateDirectoryW(sub.c_str(), nullptr);
    for (int i = 0; i < 60; ++i) MakeFile(sub + L"\\q" + std::to_wstring(i) + L".jpg");
  }
  {
    BoxAnswerer answer(IDYES);
    StartSearch();
    HWND progress = g_windowSlots[kSlotSearchProgress];
    ASSERT_NE(progress, nullptr);
    const bool counting = g_searchTotal == 2147483647;
    SendMessageW(progress, WM_COMMAND, IDC_SEARCH_STOP, 0);
    ASSERT_TRUE(WaitFor(SearchDone, 60000));
    EXPECT_TRUE(Boxes(answer).empty()) << Seen(answer);
    if (counting) {
      EXPECT_EQ(g_searchProcessed, 0);
    }
  }
  EXPECT_EQ(g_searchState, 3);
  EXPECT_EQ(FindCollectionByName(L"検索結果2"), -1);
  EXPECT_TRUE(IsWindowEnabled(g_windowSlots[kSlotNavigationPane]));
}

// An IPTC value is matched as the IPTC tab shows it: UTF-8 where the record declares it (1:90),
// the Windows code page where it declares nothing.
TEST_F(SearchTest, IptcValuesAreMatchedInTheTextTheirRecordDeclares) {
  const std::wstring root = dir_->File(L"iptc");
  CreateDirectoryW(root.c_str(), nullptr);
  fx::Bytes utf8 = fx::IptcRecord(90, fx::Text("\x1b%G"), 1);
  fx::Append(utf8, fx::IptcRecord(5, fx::Text("\xe6\x9d\xb1\xe4\xba\xac\xe5\xa1\x94")));  // 東京塔
  fx::Append(utf8, fx::IptcRecord(120, fx::Text("\xed\x95\x9c\xea\xb5\xad")));  // 한국, outside CP932
  const fx::Bytes declared = fx::Jpeg({fx::App13(fx::Resource8bim(1028, utf8))});
  ASSERT_TRUE(WriteWholeFile(root + L"\\utf8.jpg", declared.data(), declared.size()));
  const fx::Bytes plain =
      fx::Jpeg({fx::App13(fx::Resource8bim(1028, fx::IptcRecord(5, fx::Text("\x93\x8c\x8b\x9e"))))});  // 東京
  ASSERT_TRUE(WriteWholeFile(root + L"\\cp932.jpg", plain.data(), plain.size()));
  auto rowOf = [](int32_t dataset) {
    for (int32_t r = 0; r < kIptcDatasetRows; ++r)
      if (IptcDatasetTable[r].dataset == dataset) return r;
    return -1;
  };
  g_settings.iptcSearchWords[0] = 1;
  g_settings.iptcSearchWords2[0] = rowOf(5);
  ASSERT_GE(g_settings.iptcSearchWords2[0], 0);
  SetText(g_settings.searchIptc[0], &g_settings.searchIptcInput[0], u"東京");
  EXPECT_TRUE(MatchSearchCriteria((root + L"\\utf8.jpg").c_str()));
  EXPECT_TRUE(MatchSearchCriteria((root + L"\\cp932.jpg").c_str()));
  g_settings.iptcSearchWords2[0] = rowOf(120);
  SetText(g_settings.searchIptc[0], &g_settings.searchIptcInput[0], u"한국");
  EXPECT_TRUE(MatchSearchCriteria((root + L"\\utf8.jpg").c_str()));
  EXPECT_FALSE(MatchSearchCriteria((root + L"\\cp932.jpg").c_str()));  // it has no caption
}

TEST_F(SearchTest, CollectionsSearchedByNameWhileTheTableIsHeld) {
  const std::wstring root = dir_->File(L"coll");
  CreateDirectoryW(root.c_str(), nullptr);
  for (const wchar_t* n : {L"x.jpg", L"y.jpg", L"z.jpg"}) MakeFile(root + L"\\" + n);
  CreateCollection(L"夏");
  SetCollectionList(FindCollectionByName(L"夏"), (root + L"\\x.jpg\n" + root + L"\\y.jpg\n" + root + L"\\gone.jpg\n").c_str());
  CreateCollection(L"冬");
  SetCollectionList(FindCollectionByName(L"冬"), (root + L"\\z.jpg\n").c_str());
  g_settings.searchMode = 1;
  // The choice is the collection's name: creating "検索結果1" re-sorts the table first.
  wcscpy(g_searchChoiceName, L"夏");
  g_settings.searchCollectionChoice = FindCollectionByName(L"夏") + 1;
  StartSearch();
  ASSERT_NE(g_windowSlots[kSlotSearchProgress], nullptr);
  EXPECT_EQ(CreateCollection(L"途中"), -2);  // the table is held while the search runs
  ASSERT_TRUE(WaitFor(SearchDone, 60000));
  EXPECT_EQ(g_searchProcessed, 3);
  std::set<std::wstring> names;
  for (auto& p : CollectionLines(L"検索結果1")) names.insert(NameOf(p));
  // Every criterion "全て": a listed path passes even when its file is gone.
  EXPECT_EQ(names, (std::set<std::wstring>{L"x.jpg", L"y.jpg", L"gone.jpg"}));
  // All collections: every list but the new results' own (the first results are searched
  // too: their paths come again, and are listed once).
  g_searchChoiceName[0] = 0;
  g_settings.searchCollectionChoice = 0;
  RunSearch();
  EXPECT_EQ(g_searchProcessed, 7);
  EXPECT_EQ(CollectionLines(L"検索結果2").size(), 4u);
  EXPECT_GE(CreateCollection(L"途中"), 0);

  // With 256 collections there is no room for results: the user is told, nothing starts.
  for (int i = g_collectionCount; i < kMaxCollections; ++i) CreateCollection((L"c" + std::to_wstring(i)).c_str());
  ASSERT_EQ(g_collectionCount, kMaxCollections);
  {
    BoxAnswerer answer(IDOK);
    StartSearch();
    ASSERT_EQ(Boxes(answer).size(), 1u) << Seen(answer);
    EXPECT_NE(Boxes(answer)[0].find(L"256"), std::wstring::npos);
  }
  EXPECT_EQ(g_windowSlots[kSlotSearchProgress], nullptr);
  EXPECT_EQ(g_collectionCount, kMaxCollections);
}

// The ExifTool oracle: Wine starts a Unix program given by its Unix path (without a waitable
// handle), so the names go to a file that appears, complete, when ExifTool is done.
std::string UnixPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!toUnix) return "";
  char* unix = toUnix(path.c_str());
  std::string out = unix ? unix : "";
  if (unix) HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

std::set<std::wstring> ExifToolNames(const std::wstring& windowsFolder, const std::string& condition) {
  std::set<std::wstring> names;
  const std::string folder = UnixPath(windowsFolder);
  const std::wstring done = windowsFolder + L"\\exiftool.txt";
  DeleteFileW(done.c_str());
  if (folder.empty()) return names;
  const std::string shell = "/bin/sh -c \"exiftool -q -q -if '" + condition + "' -p '$FileName' -ext jpg '" + folder +
                            "' > '" + folder + "/exiftool.tmp'; mv '" + folder + "/exiftool.tmp' '" + folder +
                            "/exiftool.txt'\"";
  std::vector<wchar_t> line(shell.begin(), shell.end());
  line.push_back(0);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return names;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  if (!WaitFor([&] { return FileExists(done); }, 60000)) return names;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(done, &bytes)) return names;
  std::string text(bytes.begin(), bytes.end());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(start, end - start);
    if (!name.empty()) names.insert(std::wstring(name.begin(), name.end()));
    start = end + 1;
  }
  DeleteFileW(done.c_str());
  return names;
}

TEST_F(SearchTest, MakerSearchOverCameraJpegsAgreesWithExifTool) {
  // The samples beside a folder of their own (the corrupt ones stay out).
  const std::wstring root = dir_->File(L"camera");
  CreateDirectoryW(root.c_str(), nullptr);
  int copied = CopyFileW((std::wstring(kGoexif) + L"sample1.jpg").c_str(), (root + L"\\sample1.jpg").c_str(), FALSE);
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((std::wstring(kGoexif) + L"samples\\*.jpg").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    copied += CopyFileW((std::wstring(kGoexif) + L"samples\\" + fd.cFileName).c_str(),
                        (root + L"\\" + fd.cFileName).c_str(), FALSE) ? 1 : 0;
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  ASSERT_GE(copied, 50);
  // Most samples are the first 35 KB of a camera JPEG, cut inside a segment; ExifTool reads
  // none of such a file, so each copy is closed at its last whole segment with an EOI marker.
  find = FindFirstFileW((root + L"\\*.jpg").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    std::vector<uint8_t> d;
    const std::wstring path = root + L"\\" + fd.cFileName;
    ASSERT_TRUE(ReadWholeFile(path, &d));
    size_t pos = 2;
    while (pos + 4 <= d.size() && d[pos] == 0xFF && d[pos + 1] != 0xDA) {
      const size_t n = static_cast<size_t>(d[pos + 2]) << 8 | d[pos + 3];
      if (pos + 2 + n > d.size()) {
        d.resize(pos);
        d.push_back(0xFF);
        d.push_back(0xD9);
        ASSERT_TRUE(WriteWholeFile(path, d.data(), d.size()));
        break;
      }
      pos += 2 + n;
    }
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  SetRoot(root);
  struct Case {
    int kind;
    const char16_t* keywords;
    const char* condition;
  } cases[] = {
      {1, u"nikon", "$Make =~ /nikon/i"},
      {1, u"canon kodak", "$Make =~ /canon|kodak/i"},
      {2, u"corp nikon", "$Make =~ /nikon/i and $Make =~ /corp/i"},
      {3, u"nikon canon", "$Make =~ /\\S/ and $Make !~ /nikon|canon/i"},
  };
  bool first = true;
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.condition));
    std::set<std::wstring> expected = ExifToolNames(root, k.condition);
    ASSERT_FALSE(expected.empty()) << "ExifTool gave no answer";
    if (first) {
      // The first one as a user runs it: the main window's search button, the dialog filled in.
      first = false;
      ASSERT_NE(g_windowSlots[kSlotFileListPane], nullptr);
      bool drove = false;
      g_drive = [&](HWND d) {
        drove = true;
        SendMessageW(d, WM_COMMAND, IDC_SEARCH_MODE_FOLDER, 0);
        SetDlgItemTextW(d, IDC_SEARCH_ROOT, root.c_str());
        Pick(d, IDC_SEARCH_MAKER_KIND, k.kind);
        SetDlgItemTextW(d, IDC_SEARCH_MAKER_TEXT, reinterpret_cast<const wchar_t*>(k.keywords));
        SendMessageW(d, WM_COMMAND, IDC_SEARCH_START, 0);
      };
      UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveTimer);
      SendMessageW(g_hwndMain, WM_COMMAND, 276, 0);
      KillTimer(nullptr, timer);
      EXPECT_TRUE(drove);
      ASSERT_TRUE(WaitFor(SearchDone, 120000));
      EXPECT_EQ(SearchConditionsOf().makerKind, k.kind);
    } else {
      SearchConditionsOf().makerKind = k.kind;
      SetText(g_settings.searchMakers, &g_settings.searchMakersInput, k.keywords);
      BoxAnswerer answer(IDOK);
      RunSearch();
      EXPECT_TRUE(Boxes(answer).empty()) << Seen(answer);
    }
    std::set<std::wstring> found;
    const int index = FindCollectionByName(g_searchResultsName);
    if (index >= 0) {
      for (auto& p : Lines(g_collections[index].list)) found.insert(NameOf(p));
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(g_searchProcessed, copied);
  }
}

}  // namespace
