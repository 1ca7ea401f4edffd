// The navigation pane inside a real main window: Wine's shell namespace in the folder tree,
// folders opened after the idle delay, folder commands on scratch folders and the collection
// tree.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gdiplus.h>
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "browser/collections.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/navigation_pane.h"
#include "core/folder_cache.h"
#include "browser/rebar_bands.h"
#include "browser/shell_tree.h"
#include "browser/status_bar.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "browser/menus.h"
#include "core/image_pipeline.h"
#include "core/key_state.h"
#include "core/data_folders.h"
#include "core/file_system.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/pure/folder_cache_format.h"
#include "core/pure/settings_rules.h"
#include "core/semaphore_lock.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "app/list_load.h"
#include "app/startup.h"
#include "resources/resource.h"
#include "support/program_services.h"
#include "support/program_window_suite.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

HWND Pane() { return g_windowSlots[kSlotNavigationPane]; }
HWND Tree() { return GetDlgItem(Pane(), IDC_FOLDER_TREE); }
HWND Collections() { return GetDlgItem(Pane(), IDC_COLLECTION_TREE); }

HTREEITEM Next(HWND tree, UINT how, HTREEITEM item = nullptr) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

std::wstring Text(HWND tree, HTREEITEM item) {
  wchar_t text[260] = {};
  GetTreeItemText(tree, item, text);
  return text;
}

std::vector<std::wstring> ChildTexts(HWND tree, HTREEITEM parent) {
  std::vector<std::wstring> out;
  for (HTREEITEM c = Next(tree, TVGN_CHILD, parent); c; c = Next(tree, TVGN_NEXT, c)) out.push_back(Text(tree, c));
  return out;
}

HTREEITEM Child(HWND tree, HTREEITEM parent, const std::wstring& text) {
  for (HTREEITEM c = Next(tree, TVGN_CHILD, parent); c; c = Next(tree, TVGN_NEXT, c))
    if (Text(tree, c) == text) return c;
  return nullptr;
}

std::wstring LastComponent(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

std::string Utf8(const std::wstring& w) {
  std::string out(w.size() * 4 + 1, 0);
  out.resize(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], static_cast<int>(out.size()), nullptr, nullptr));
  return out.c_str();
}

void MakeFile(const std::wstring& path) { ASSERT_TRUE(WriteWholeFile(path, "x", 1)); }

// Opens a folder as the start-up and the favourites do: its display path, then a refresh.
HTREEITEM OpenInTree(const std::wstring& folder) {
  wchar_t display[260] = {};
  EXPECT_TRUE(BuildShellDisplayPath(folder.c_str(), display));
  wcscpy(g_startFolder, display);
  SendMessageW(Pane(), WM_COMMAND, kNavRefreshCommand, 0);
  return Next(Tree(), TVGN_CARET);
}

std::wstring CacheFileOf(const std::wstring& folder) {
  wchar_t cacheFolder[260], name[520];
  GetCacheFolder(cacheFolder);
  BuildCacheFileName(reinterpret_cast<char16_t*>(cacheFolder), reinterpret_cast<const char16_t*>(folder.c_str()),
                     false, reinterpret_cast<char16_t*>(name), 520);
  return name;
}

class NavigationPaneTest : public MainWindowSuite {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NO_FATAL_FAILURE(OpenMainWindow([] {
      // The first folder load's start-up completion finds the settings of this version: it does
      // not open the version's settings page, which would wait for a user.
      g_settings.versionNumber = static_cast<float>(ParseVersionNumber(reinterpret_cast<const char16_t*>(g_programVersion), 100));
      g_uiScale = 2;  // the large interface: the tree's text must still match the list's
    }));
    BuildMenuBar(g_hInstance);
    Pump();
  }
  static void TearDownTestSuite() {
    CloseMainWindow();
    g_uiScale = 1;
  }
  void SetUp() override {
    photos_ = dir_->path() + L"\\photos";
    CreateDirectoryW(photos_.c_str(), nullptr);
    CreateDirectoryW((photos_ + L"\\leaf").c_str(), nullptr);
    CreateDirectoryW((dir_->path() + L"\\dest").c_str(), nullptr);
    MakeFile(photos_ + L"\\a.jpg");
    MakeFile(photos_ + L"\\b.jpg");
  }
  std::wstring photos_;
};

TEST_F(NavigationPaneTest, TreesAndListShareOneFontSize) {
  auto height = [](HWND w) {
    LOGFONTW f{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)), sizeof f, &f);
    return f.lfHeight;
  };
  EXPECT_EQ(height(Tree()), g_settings.listFontSize);
  EXPECT_EQ(height(Collections()), height(GetListControl()));
  EXPECT_EQ(height(Tree()), height(GetListControl()));
}

TEST_F(NavigationPaneTest, TreeShowsTheShellNamespaceAndDisplayPathsOfDrives) {
  SendMessageW(Pane(), WM_COMMAND, kNavRefreshCommand, 0);
  HWND tree = Tree();
  HTREEITEM root = Next(tree, TVGN_ROOT);
  ASSERT_NE(root, nullptr);
  const std::wstring desktop = Text(tree, root);
  EXPECT_FALSE(desktop.empty());
  const std::vector<std::wstring> top = ChildTexts(tree, root);
  ASSERT_FALSE(top.empty());
  std::wstring listed;
  for (const auto& t : top) listed += L"[" + t + L"]";
  printf("desktop [%s], children %s\n", Utf8(desktop).c_str(), Utf8(listed).c_str());

  struct Row {
    const wchar_t* path;
    bool built;
    const wchar_t* tail;
  } rows[] = {
      {L"C:\\windows", true, L"\\windows"},
      {L"C:\\", true, L""},
      {L"c:\\windows\\system32\\", true, L"\\windows\\system32\\"},
      {L"relative\\folder", false, nullptr},
      {L"", false, nullptr},
  };
  for (const Row& r : rows) {
    wchar_t display[260] = {};
    EXPECT_EQ(BuildShellDisplayPath(r.path, display), r.built) << r.path;
    if (!r.built) continue;
    const std::wstring d = display;
    printf("%s -> %s\n", Utf8(r.path).c_str(), Utf8(display).c_str());
    EXPECT_EQ(d.rfind(desktop + L"\\", 0), 0u) << d;
    EXPECT_EQ(d.find(L"\\\\"), std::wstring::npos) << d;
    EXPECT_EQ(d.find(L"C:\\C:"), std::wstring::npos) << d;
    EXPECT_EQ(d.substr(d.size() - wcslen(r.tail)), r.tail) << d;
  }
}

TEST_F(NavigationPaneTest, SelectedFolderOpensAfterTheDelayAndLeafLosesItsButton) {
  HTREEITEM item = OpenInTree(photos_);
  HWND tree = Tree();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(Text(tree, item), L"photos");
  EXPECT_EQ(ComparePaths(g_selectedFolderPath, photos_.c_str()), 0) << g_selectedFolderPath;
  EXPECT_TRUE(g_folderOpenDelay.pending);
  Tick(5);
  EXPECT_NE(ComparePaths(g_currentFolder, photos_.c_str()), 0);
  Tick(20);
  // The first load's rows built within the ticks: its start-up completion runs here and asks
  // for no settings page.
  WaitFor([] { Tick(); return g_listBuilt != 0; }, 20000);
  Tick(3);
  EXPECT_EQ(PendingSettingsPage, -2);
  EXPECT_EQ(ComparePaths(g_currentFolder, photos_.c_str()), 0) << g_currentFolder;
  EXPECT_EQ(g_entryCount, 2);

  UpdateWindow(g_hwndMain);
  Pump();
  SaveScreenshot(ExeFolder() + L"\\navigation_pane.bmp");  // for the eye

  // A folder without sub-folders shows no button after its expansion, and expanding selects it.
  HTREEITEM leaf = Child(tree, item, L"leaf");
  ASSERT_NE(leaf, nullptr);
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(leaf));
  TVITEMW tv{};
  tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
  tv.hItem = leaf;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  EXPECT_EQ(tv.cChildren, 0);
  EXPECT_EQ(Next(tree, TVGN_CARET), leaf);
  EXPECT_EQ(ComparePaths(g_selectedFolderPath, (photos_ + L"\\leaf").c_str()), 0);

  // The display path is what the settings keep; a refresh with it lands on the same folder.
  // A refresh keeps the display path in the settings block; the next start takes it back from
  // there and lands on the same folder.
  const std::wstring saved = g_startFolder;
  SendMessageW(Pane(), WM_COMMAND, kNavRefreshCommand, 0);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(g_settings.lastFolder)), saved);
  g_settings.cleanExit = 1;
  ASSERT_TRUE(SaveSettingsFile());
  wcscpy(g_startFolder, L"デスクトップ\\どこにもない");
  ASSERT_TRUE(LoadSettingsFile());
  EXPECT_EQ(std::wstring(g_startFolder), saved);
  SendMessageW(Pane(), WM_COMMAND, kNavRefreshCommand, 0);
  EXPECT_EQ(Text(tree, Next(tree, TVGN_CARET)), L"leaf");
  Tick(25);
}

TEST_F(NavigationPaneTest, ItemsOutsideTheFileSystemOpenNothing) {
  SendMessageW(Pane(), WM_COMMAND, kNavRefreshCommand, 0);
  Tick(25);
  HWND tree = Tree();
  HTREEITEM root = Next(tree, TVGN_ROOT);
  int virtualItems = 0;
  for (HTREEITEM c = Next(tree, TVGN_CHILD, root); c; c = Next(tree, TVGN_NEXT, c)) {
    wchar_t folder[260];
    if (GetShellTreeItemFolder(tree, c, folder)) continue;
    ++virtualItems;
    wcscpy(g_selectedFolderPath, L"unchanged");
    g_folderOpenDelay.pending = false;
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(c));
    EXPECT_STREQ(g_selectedFolderPath, L"unchanged") << Text(tree, c);
    EXPECT_FALSE(g_folderOpenDelay.pending) << Text(tree, c);
    // Expanding it (the Trash under Wine) must not crash either.
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(c));
    SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(c));
    printf("virtual item [%s]\n", Utf8(Text(tree, c)).c_str());
  }
  EXPECT_GT(virtualItems, 0);
  Tick(25);
}

TEST_F(NavigationPaneTest, CopyHereCountsAndLogsTheCopy) {
  OpenInTree(photos_);
  Tick(25);
  ASSERT_EQ(g_entryCount, 2);
  // The viewer shows the first image: the command acts on it.
  const int32_t viewMode = g_viewMode;
  g_viewMode = 2;
  g_cursorRow = 0;
  const std::wstring dest = dir_->path() + L"\\dest";
  wcscpy(g_targetFolder, dest.c_str());
  g_copyCount = 0;
  {
    ImageEntry* shown = EntryAtRow(0);
    ReleaseEntryLevel(shown, kLevelThumbnail, 0);
    SemaphoreLock painting(kSemaImage);
    shown->levelImages[kLevelThumbnail] = new Gdiplus::Bitmap(88, 60, PixelFormat32bppARGB);
    if (!shown->levelImages[kLevelView]) shown->levelImages[kLevelView] = new Gdiplus::Bitmap(8, 8, PixelFormat32bppARGB);
  }
  SendMessageW(Pane(), WM_COMMAND, 162, 0);
  g_viewMode = viewMode;
  const std::wstring name = EntryName(EntryAtRow(0));
  EXPECT_TRUE(FileExists(dest + L"\\" + name));
  EXPECT_TRUE(FileExists(photos_ + L"\\" + name));
  EXPECT_EQ(EntryAtRow(0)->presence, EntryAtRow(1)->presence);
  // Only the view levels are let go: the thumbnail, and so the row of the folder's cache file,
  // stays.
  EXPECT_NE(EntryAtRow(0)->levelImages[kLevelThumbnail], nullptr);
  EXPECT_EQ(EntryAtRow(0)->levelImages[kLevelView], nullptr);
  Tick(2);
  wchar_t text[64] = {};
  SendMessageW(g_statusBar, SB_GETTEXTW, 6, reinterpret_cast<LPARAM>(text));
  std::wstring counters = text;
  for (int part = 0; part < 11 && counters.find(L"COPY") == std::wstring::npos; ++part) {
    SendMessageW(g_statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    counters = text;
  }
  EXPECT_EQ(counters, L"\tCOPY:1");
  ASSERT_NE(g_bandControls[kBandActionHistory], nullptr);
  std::wstring logged;
  ActionHistoryLine(0, &logged);
  ASSERT_GE(logged.size(), 5u);
  EXPECT_EQ(logged.substr(logged.size() - 5), L"->OK!") << logged;

  // A move whose target is not a folder fails and leaves the entry's presence byte alone.
  const uint8_t before = EntryAtRow(1)->presence;
  wcscpy(g_targetFolder, (dir_->path() + L"\\missing\\deeper").c_str());
  EXPECT_EQ(MoveEntryToTargetFolder(g_displayOrder[1]), 0);
  EXPECT_EQ(EntryAtRow(1)->presence, before);
}

TEST_F(NavigationPaneTest, FolderRenameDeleteAndCreate) {
  const std::wstring old = dir_->path() + L"\\renamed-from", renamed = dir_->path() + L"\\renamed-to";
  CreateDirectoryW(old.c_str(), nullptr);
  HTREEITEM item = OpenInTree(old);
  HWND tree = Tree();
  ASSERT_EQ(Text(tree, item), L"renamed-from");
  wchar_t cacheFolder[260];
  ASSERT_TRUE(GetCacheFolder(cacheFolder));
  SHCreateDirectoryExW(nullptr, cacheFolder, nullptr);
  MakeFile(CacheFileOf(old));
  Tick(25);
  g_targetTreeItem = item;
  wcscpy(g_targetFolder, old.c_str());
  SendMessageW(Pane(), WM_COMMAND, 161, 0);
  HWND edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, L"renamed-to");
  SendMessageW(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
  EXPECT_FALSE(PathExists(old.c_str()));
  EXPECT_TRUE(PathExists(renamed.c_str()));
  EXPECT_FALSE(FileExists(CacheFileOf(old)));
  EXPECT_TRUE(FileExists(CacheFileOf(renamed)));
  // It was the shown folder: it stays shown under its new name after the tree rebuild.
  EXPECT_EQ(ComparePaths(g_currentFolder, renamed.c_str()), 0);
  EXPECT_EQ(g_treeRebuildRequest, 1);
  Tick(25);
  EXPECT_EQ(Text(tree, Next(tree, TVGN_CARET)), L"renamed-to");

  // Drive roots are never renamed, and the refused edit gives the keyboard back: no end
  // notification follows that would clear the suspension.
  wcscpy(g_targetFolder, L"C:\\");
  g_targetTreeItem = Next(tree, TVGN_CARET);
  SendMessageW(Pane(), WM_COMMAND, 161, 0);
  EXPECT_EQ(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0), 0);
  EXPECT_EQ(g_renameByCommand, 0);
  EXPECT_EQ(g_labelEditActive, 0);
  ResetKeyStates();
  g_keyHold.injectedKey = 'A';
  PollKeyStates();
  EXPECT_TRUE(IsKeyJustPressed('A'));

  // A new folder with the dialog's default name, then its deletion, both confirmed.
  {
    // OK in the name dialog, then Yes to the question whether to make the folder.
    static BoxAnswerer* answerer;
    BoxAnswerer answer(IDOK);
    answerer = &answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, [](HWND, UINT, UINT_PTR, DWORD) {
      if (answerer && !answerer->seen.empty()) answerer->answer = IDYES;
    });
    wcscpy(g_targetFolder, renamed.c_str());
    SendMessageW(Pane(), WM_COMMAND, 160, 0);
    KillTimer(nullptr, timer);
    answerer = nullptr;
    ASSERT_EQ(answer.seen.size(), 2u);
    EXPECT_EQ(answer.seen[0].caption, L"新規フォルダ作成");
  }
  const std::wstring created = renamed + L"\\新しいフォルダ";
  EXPECT_TRUE(PathExists(created.c_str()));
  {
    BoxAnswerer answer(IDYES);
    wcscpy(g_targetFolder, created.c_str());
    g_skipFolderCache = 0;
    SendMessageW(Pane(), WM_COMMAND, 159, 0);
    EXPECT_FALSE(PathExists(created.c_str()));
    EXPECT_EQ(g_skipFolderCache, 0);  // not the shown folder
    EXPECT_EQ(g_treeRebuildRequest, 1);
    g_treeRebuildRequest = 0;
    const size_t asked = answer.seen.size();
    EXPECT_GE(asked, 1u);
    // Refused targets never reach the shell.
    for (const wchar_t* refused : {L"", L"C:\\", L"C:", L"relative"}) {
      wcscpy(g_targetFolder, refused);
      SendMessageW(Pane(), WM_COMMAND, 159, 0);
    }
    EXPECT_EQ(answer.seen.size(), asked);
    EXPECT_EQ(g_treeRebuildRequest, 0);
  }
  Tick(25);
}

// A new collection sorted in front of the one shown: a reload (after a drop) still lists it.
TEST_F(NavigationPaneTest, AReSortKeepsTheRequestedCollection) {
  const std::wstring a = photos_ + L"\\a.jpg";
  ASSERT_TRUE(AddFileToCollection(CreateCollection(L"2nd"), a.c_str()));
  wcscpy(g_currentFolder, photos_.c_str());
  g_requestedListSource = 1;
  g_requestedCollection = 0;
  LoadListContents(1, 0, 0);
  CreateCollection(L"1st");
  ReloadCurrentList(0);
  EXPECT_TRUE(g_entryCount == 1 && EntryPath(EntryAt(0)) == a);
  while (g_collectionCount > 0) DeleteCollection(0);
  SelectNavigationTab(0);
  Tick(25);
}

// A folder picked in the tree while list loads are refused waits for them: the folder commands
// never act on a folder that is not listed.
TEST_F(NavigationPaneTest, APickWaitsWhileLoadsAreRefused) {
  OpenInTree(dir_->path());
  Tick(25);
  wcscpy(g_selectedFolderPath, photos_.c_str());
  RequestDelayedFolderOpen(0, 0);
  g_listLoadBlocked = 1;
  Tick(25);
  EXPECT_EQ(ComparePaths(g_currentFolder, dir_->path().c_str()), 0) << g_currentFolder;
  g_listLoadBlocked = 0;
  Tick(25);
  EXPECT_EQ(ComparePaths(g_loadedFolderPath, photos_.c_str()), 0) << g_loadedFolderPath;
}

TEST_F(NavigationPaneTest, CollectionTreeOrderRenameLimitAndBulkDelete) {
  for (const wchar_t* name : {L"検索結果10", L"旅行", L"検索結果2", L"検索結果1"}) CreateCollection(name);
  HWND tree = Collections();
  HTREEITEM root = Next(tree, TVGN_ROOT);
  EXPECT_EQ(Text(tree, root), L"コレクション");
  std::vector<std::wstring> names = ChildTexts(tree, root);
  ASSERT_EQ(names.size(), 4u);
  auto at = [&](const wchar_t* n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
  EXPECT_LT(at(L"検索結果1"), at(L"検索結果2"));
  EXPECT_LT(at(L"検索結果2"), at(L"検索結果10"));

  HTREEITEM first = Next(tree, TVGN_CHILD, root);
  SetFocus(tree);
  HWND edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(first)));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 64);
  SendMessageW(tree, TVM_ENDEDITLABELNOW, TRUE, 0);
  EXPECT_EQ(g_labelEditActive, 0);

  {
    BoxAnswerer answer(IDYES);
    SendMessageW(Pane(), WM_COMMAND, 299, 0);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text, L"検索結果 3項目を一括削除します。\n\n削除してよろしいですか？");
  }
  EXPECT_EQ(g_collectionCount, 1);
  EXPECT_EQ(ChildTexts(tree, Next(tree, TVGN_ROOT)), std::vector<std::wstring>{L"旅行"});
  {
    BoxAnswerer answer(IDOK);
    SendMessageW(Pane(), WM_COMMAND, 299, 0);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text, L"削除該当の項目はありません。");
  }
  EXPECT_EQ(g_collectionCount, 1);
  {
    BoxAnswerer answer(IDYES);
    g_targetCollection = 0;
    SendMessageW(Pane(), WM_COMMAND, 271, 0);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text.rfind(L"コレクション[ 旅行 ]を削除します。\n", 0), 0u);
  }
  EXPECT_EQ(g_collectionCount, 0);
}
}  // namespace
