#include "browser/search_thread.h"

#include <commctrl.h>
#include <process.h>
#include <cwchar>
#include <memory>

#include "browser/caption_favourites.h"
#include "browser/main_window.h"
#include "browser/pure/search_rules.h"
#include "browser/search_dialog.h"
#include "browser/search_ids.h"
#include "browser/toolbar_state.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/image_info.h"
#include "metadata/pure/metadata_lookup.h"
#include "resources/resource.h"

HANDLE g_searchThread = nullptr;
volatile int32_t g_searchState = 3;
volatile int32_t g_searchTotal = 0;
volatile int32_t g_searchCounted = 0;
volatile int32_t g_searchProcessed = 0;
volatile int32_t g_searchFound = 0;
int32_t g_searchResults = -1;
uint8_t g_searchCancelled = 0;
uint32_t g_searchTick = 0;
wchar_t g_searchResultsName[kCollectionNameField] = {};

namespace {

constexpr int32_t kCounting = 2147483647;
constexpr size_t kWideChars = 8192;         // the 16 KB wide copies
constexpr size_t kCommentChars = 65535;

// The thread's view of what to search: fixed before it starts, so the user-interface thread
// never has to be asked.
int32_t g_choiceIndex = 0;  // 0 all collections, k collection k - 1
SearchResultList* g_resultList = nullptr;
bool g_finished = false;

// Buffers of one matching thread; the reader's shared buffers are never read after their lock.
struct MatchContext {
  wchar_t meta[kWideChars];
  char iptcBytes[kMetadataTextSize];
  wchar_t iptc[kWideChars];
  IptcRecordList records;
  char commentBytes[kJpegCommentSize];
  wchar_t comment[kCommentChars + 1];
};

const char16_t* U(const wchar_t* p) { return reinterpret_cast<const char16_t*>(p); }

bool Stopping() { return g_searchState == 1 || g_searchFound >= kSearchHitLimit; }

bool MatchText(int32_t kind, wchar_t* text, const KeywordList& keywords) {
  return MatchKeywords(kind, reinterpret_cast<char16_t*>(text), keywords);
}

bool MatchMetadataText(MatchContext& m, int32_t kind, const char16_t* key, const KeywordList& keywords) {
  if (kind < 1 || kind > 4) return true;
  char16_t value[256];
  if (!GetDumpValue(U(m.meta), key, value, 256)) return false;
  return MatchKeywords(kind, value, keywords);
}

bool MatchLens(MatchContext& m, int32_t kind, uint32_t flag, const KeywordList& keywords) {
  if (kind < 1 || kind > 4) return true;
  int index = -1;
  for (int bit = 0; bit < 32 && index < 0; ++bit)
    if (flag & (1u << bit)) index = bit;
  char16_t maker[256];
  if (!GetDumpValue(U(m.meta), u"Maker", maker, 256)) return false;
  char16_t lens[256] = {};
  if (!ResolveLensName(index, U(m.meta), lens, 256, maker)) return false;
  return MatchKeywords(kind, lens, keywords);
}

bool MatchNumber(MatchContext& m, int32_t kind, const char16_t* key, float (*parse)(const char16_t*),
                 const TextHistory16& from, const TextHistory16& to) {
  if (kind < 1 || kind > 5) return true;
  char16_t value[128];
  if (!GetDumpValue(U(m.meta), key, value, 128)) return false;
  return CompareNumberCriterion(kind, parse(value), from.number, to.number);
}

bool SplitLocalTime(const wchar_t* path, SYSTEMTIME* out) {
  FILETIME written, local;
  return GetFileWriteTime(&written, path) && FileTimeToLocalFileTime(&written, &local) &&
         FileTimeToSystemTime(&local, out);
}

uint64_t FileSize64(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size{};
  uint64_t bytes = GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  CloseHandle(file);
  return bytes;
}

bool MatchWith(MatchContext& m, const wchar_t* path) {
  const SettingsBlock& s = g_settings;
  const SearchConditions& c = SearchConditionsOf();
  if (s.fileNameSearchFlag != 0) {
    wchar_t name[kPathChars];
    GetNameWithoutExtension(path, name);
    if (!MatchText(s.fileNameSearchFlag, name, s.searchFileNamesInput)) return false;
  }
  if (c.modDateKind != 0 || c.modTimeKind != 0) {
    SYSTEMTIME t;
    if (!SplitLocalTime(path, &t)) return false;
    if (!MatchDateCriterion(c.modDateKind, t.wYear, t.wMonth, t.wDay, c.modFrom, c.modTo)) return false;
    if (!MatchTimeCriterion(c.modTimeKind, t.wHour, t.wMinute, t.wSecond, c.modFrom, c.modTo)) return false;
  }
  if (c.sizeKind == 1 || c.sizeKind == 2) {
    if (!MatchSizeCriterion(c.sizeKind, c.sizeUnit, FileSize64(path), c.sizeFrom, c.sizeTo)) return false;
  }
  if (!MatchFormatCriterion(c.formatKind, U(path), s.searchFileTypes.rows[0])) return false;

  if (c.shotDateKind || c.shotTimeKind || c.makerKind || c.modelKind || c.lensKind || c.exposureKind ||
      c.fNumberKind || c.isoKind || c.focalKind) {
    // A private copy taken under "sema_interp": the list thread may refill the shared one.
    if (!DumpImageMetadataWide(path, m.meta, kWideChars)) return false;
    if (c.shotDateKind || c.shotTimeKind) {
      char16_t value[64];
      int year, month, day, hour, minute, second;
      if (!GetDumpValue(U(m.meta), u"DateTime", value, 64) ||
          !ParseDumpDateTime(value, &year, &month, &day, &hour, &minute, &second))
        return false;
      if (!MatchDateCriterion(c.shotDateKind, year, month, day, c.shotFrom, c.shotTo)) return false;
      if (!MatchTimeCriterion(c.shotTimeKind, hour, minute, second, c.shotFrom, c.shotTo)) return false;
    }
    if (!MatchMetadataText(m, c.makerKind, u"Maker", s.searchMakersInput)) return false;
    if (!MatchMetadataText(m, c.modelKind, u"Model", s.searchModelsInput)) return false;
    if (!MatchLens(m, c.lensKind, GetFileTypeFlag(path), s.searchLensesInput)) return false;
    if (!MatchNumber(m, c.exposureKind, u"ExposureTime", ParseFractionText, s.searchShutterFrom, s.searchShutterTo))
      return false;
    if (!MatchNumber(m, c.fNumberKind, u"FNumber", ParseFNumberText, s.searchApertureFrom, s.searchApertureTo))
      return false;
    if (!MatchNumber(m, c.isoKind, u"ISO", ParseNumberText, s.searchIsoFrom, s.searchIsoTo)) return false;
    if (!MatchNumber(m, c.focalKind, u"FocalLength", ParseNumberText, s.searchFocalFrom, s.searchFocalTo))
      return false;
  }

  bool iptc = false;
  for (int r = 0; r < kIptcSearchRows; ++r) iptc |= s.iptcSearchWords[r] != 0;
  if (iptc) {
    m.iptcBytes[0] = 0;
    // Decoded as the IPTC tab shows it, so a keyword it shows is one the search finds.
    bool utf8 = false;
    ReadIptcInto(path, m.iptcBytes, sizeof m.iptcBytes, &utf8);
    MetadataTextToWide(m.iptcBytes, m.iptc, kWideChars, utf8);
    ParseIptcRecordList(reinterpret_cast<char16_t*>(m.iptc), m.records);
    for (int r = 0; r < kIptcSearchRows; ++r) {
      const int32_t kind = s.iptcSearchWords[r];
      if (kind < 1 || kind > 4) continue;
      const int32_t row = s.iptcSearchWords2[r];
      if (row < 0 || row >= kIptcDatasetRows) return false;
      const char16_t* value = FindIptcValue(m.records, IptcDatasetTable[row].dataset);
      if (!value) return false;
      char16_t text[kIptcValueChars + 1];
      wcscpy(reinterpret_cast<wchar_t*>(text), reinterpret_cast<const wchar_t*>(value));
      if (!MatchKeywords(kind, text, s.searchIptcInput[r])) return false;
    }
  }

  if (s.commentSearchFlag != 0) {
    if (!ReadJpegCommentInto(path, m.commentBytes, sizeof m.commentBytes) || !m.commentBytes[0]) return false;
    int bytes = static_cast<int>(strnlen(m.commentBytes, sizeof m.commentBytes - 1));
    int n = MultiByteToWideChar(CP_ACP, 0, m.commentBytes, bytes, m.comment, static_cast<int>(kCommentChars));
    if (n <= 0) return false;
    m.comment[n] = 0;
    if (!MatchText(s.commentSearchFlag, m.comment, s.searchCommentsInput)) return false;
  }
  return true;
}

// Entries of a folder walk: reparse points (loops, other volumes) and paths a 260-character
// buffer cannot hold are passed over by the count and the search alike.
bool JoinPath(const wchar_t* folder, const wchar_t* name, wchar_t* out) {
  return JoinFolderAndName(folder, name, out, kPathChars);
}

bool SkipEntry(const WIN32_FIND_DATAW& fd) {
  if (fd.cFileName[0] == L'.' && (!fd.cFileName[1] || (fd.cFileName[1] == L'.' && !fd.cFileName[2]))) return true;
  return (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

HANDLE FindFirst(const wchar_t* folder, WIN32_FIND_DATAW* fd) {
  wchar_t pattern[kPathChars + 8];
  size_t n = wcslen(folder);
  const bool slash = n > 0 && (folder[n - 1] == L'\\' || folder[n - 1] == L'/');
  swprintf(pattern, kPathChars + 8, slash ? L"%ls*.*" : L"%ls\\*.*", folder);
  return FindFirstFileExW(pattern, FindExInfoBasic, fd, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
}

int32_t CountFolderFiles(const wchar_t* folder, bool reset, bool recurse) {
  if (reset) g_searchCounted = 0;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirst(folder, &fd);
  if (find == INVALID_HANDLE_VALUE) return g_searchCounted;
  do {
    if (SkipEntry(fd)) continue;
    wchar_t path[kPathChars];
    if (!JoinPath(folder, fd.cFileName, path)) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (recurse) CountFolderFiles(path, false, true);
    } else {
      g_searchCounted = g_searchCounted + 1;
    }
  } while (g_searchState != 1 && FindNextFileW(find, &fd));
  FindClose(find);
  return g_searchCounted;
}

void TestAndAdd(MatchContext& m, const wchar_t* path) {
  g_searchProcessed = g_searchProcessed + 1;
  // The results take what a collection takes: a listed type, once.
  if (path[0] && MatchWith(m, path) && GetFileTypeFlag(path) != 0 && g_resultList->Add(U(path)))
    g_searchFound = g_searchFound + 1;
}

void SearchFolder(MatchContext& m, const wchar_t* folder, bool recurse) {
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirst(folder, &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (SkipEntry(fd)) continue;
    wchar_t path[kPathChars];
    if (!JoinPath(folder, fd.cFileName, path)) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (recurse) SearchFolder(m, path, true);
    } else {
      TestAndAdd(m, path);
    }
  } while (!Stopping() && FindNextFileW(find, &fd));
  FindClose(find);
}

bool CollectionWalked(int index) {
  if (g_choiceIndex == 0) return index != g_searchResults;
  return index == g_choiceIndex - 1;
}

int32_t CountCollectionEntries() {
  g_searchCounted = 0;
  if (g_choiceIndex > g_collectionCount) return 0;
  for (int i = 0; i < g_collectionCount; ++i)
    if (CollectionWalked(i)) g_searchCounted = g_searchCounted + CountListLines(U(g_collections[i].list));
  return g_searchCounted;
}

void SearchCollections(MatchContext& m) {
  for (int i = 0; i < g_collectionCount && !Stopping(); ++i) {
    if (!CollectionWalked(i)) continue;
    const char16_t* cursor = U(g_collections[i].list);
    char16_t line[kPathChars];
    while (!Stopping() && NextListLine(&cursor, line)) TestAndAdd(m, reinterpret_cast<const wchar_t*>(line));
  }
}

void SetProgressRange(int32_t total) {
  HWND dialog = g_windowSlots[kSlotSearchProgress];
  if (dialog) SendDlgItemMessageW(dialog, IDC_SEARCH_PROGRESS_BAR, PBM_SETRANGE32, 0, total);
}

HWND NavigationPane() { return g_windowSlots[kSlotNavigationPane]; }

void SetCaptionPrefix() {
  wchar_t prefix[96];
  const int32_t total = g_searchTotal;
  swprintf(prefix, 96, L"[ %d/%d ] 検索中 -", g_searchProcessed, total == kCounting ? g_searchCounted : total);
  UpdateMainCaption(prefix);
}

// After the thread: keep and show the results, or throw them away.
void FinishSearch() {
  if (g_searchFound == 0 && !g_searchCancelled) {
    ShowAppMessageBox(g_hwndMain, L"条件に一致する画像がありませんでした。", g_productName, MB_ICONINFORMATION);
    g_searchCancelled = 1;
  } else if (g_searchFound > 1000 && !g_searchCancelled) {
    wchar_t text[256];
    if (g_searchFound >= kSearchHitLimit)
      wcscpy(text,
             L"検索条件に一致する画像が多い為、全てのファイルをリストに追加する事が出来ません。\nリスト構築には多くの時間が"
             L"かかる場合があります。\n\n続行しますか？");
    else
      swprintf(text, 256,
               L"検索条件に一致する画像が %d 件ありました。\n※環境によりリスト構築に多くの時間がかかる場合があります。\n\n"
               L"続行しますか？",
               static_cast<int>(g_searchFound));
    if (ShowAppMessageBox(g_hwndMain, text, g_productName,
                          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST) != IDYES)
      g_searchCancelled = 1;
  }
  const int index = FindCollectionByName(g_searchResultsName);
  g_searchResults = index;
  if (!g_searchCancelled && index >= 0 && !SetCollectionList(index, reinterpret_cast<const wchar_t*>(
                                                                         g_resultList->Text().c_str())))
    g_searchCancelled = 1;
  delete g_resultList;
  g_resultList = nullptr;
  if (g_searchCancelled || index < 0) {
    if (NavigationPane()) EnableWindow(NavigationPane(), TRUE);
    if (index >= 0) DeleteCollection(index);
  } else {
    if (g_listSource == 0) SelectNavigationTab(1);
    if (NavigationPane()) EnableWindow(NavigationPane(), TRUE);
    UpdateMainCaption(L"");
    g_tempCaption = 0;
    if (HWND pane = NavigationPane()) {
      SendMessageW(pane, WM_COMMAND, kRefreshCommand, 0);
      const int shown = FindCollectionByName(g_searchResultsName);
      if (shown >= 0)
        SendDlgItemMessageW(pane, IDC_COLLECTION_TREE, TVM_SELECTITEM, TVGN_CARET,
                            reinterpret_cast<LPARAM>(g_collections[shown].treeItem));
    }
  }
  UpdateMainCaption(L"");
  UpdateToolbarButtons(16);
}

void Tick(HWND dialog) {
  ++g_searchTick;
  SendDlgItemMessageW(dialog, IDC_SEARCH_PROGRESS_BAR, PBM_SETPOS, g_searchProcessed, 0);
  wchar_t text[160];
  swprintf(text, 160, L"検索 - %d 個見つかりました。", static_cast<int>(g_searchFound));
  SetWindowTextW(dialog, text);
  SetCaptionPrefix();
  const wchar_t* dots = reinterpret_cast<const wchar_t*>(SearchProgressDots(g_searchTick));
  if (g_searchTotal == kCounting)
    swprintf(text, 160, L" [ %d/%d ] - 検索前準備中%ls", static_cast<int>(g_searchProcessed),
             static_cast<int>(g_searchCounted), dots);
  else
    swprintf(text, 160, L" [ %d/%d ] - 画像ファイル検索中%ls", static_cast<int>(g_searchProcessed),
             static_cast<int>(g_searchTotal), dots);
  SetDlgItemTextW(dialog, IDC_SEARCH_PROGRESS_TEXT, text);
  if (g_searchState != 3) return;
  swprintf(text, 160, L"コレクション構築中%ls", dots);
  SetDlgItemTextW(dialog, IDC_SEARCH_PROGRESS_TEXT, text);
  KillTimer(dialog, kSearchTimerId);
  StopSearchThread();
  g_finished = true;
  DestroyWindow(dialog);
  FinishSearch();
}

}  // namespace

bool MatchSearchCriteria(const wchar_t* path) {
  std::unique_ptr<MatchContext> m(new MatchContext);
  return MatchWith(*m, path);
}

unsigned __stdcall SearchThreadProc(void*) {
  std::unique_ptr<MatchContext> m(new MatchContext);
  if (g_settings.searchMode == 1) {
    g_searchTotal = CountCollectionEntries();
    SetProgressRange(g_searchTotal);
    if (g_searchState != 1) SearchCollections(*m);
  } else {
    wchar_t root[kPathChars];
    wmemcpy(root, reinterpret_cast<const wchar_t*>(g_settings.searchFolder), kPathChars);
    root[kPathChars - 1] = 0;
    const bool recurse = g_settings.searchSubfolders == 1;
    g_searchTotal = CountFolderFiles(root, false, recurse);
    SetProgressRange(g_searchTotal);
    if (g_searchState != 1) SearchFolder(*m, root, recurse);
  }
  g_searchState = 3;
  return 0;
}

void StartSearchThread() {
  if (g_searchThread) return;
  // Everything the thread reports starts here, before it exists: a stop asked at once is kept,
  // and a finished state left from the last search cannot end this one.
  g_searchState = 0;
  g_searchTotal = kCounting;
  g_searchCounted = 0;
  g_searchProcessed = 0;
  g_searchFound = 0;
  if (!g_resultList) g_resultList = new SearchResultList;
  g_resultList->Clear();
  unsigned id = 0;
  g_searchThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SearchThreadProc, nullptr, 0, &id));
  if (!g_searchThread) {
    g_searchState = 3;
    return;
  }
  const int performance = g_settings.performance;
  SetThreadPriority(g_searchThread, kThreadPriorityTable[(performance >= 0 && performance < 4) ? performance : 3]);
  PumpMessages(10);
}

void StopSearchThread() {
  if (!g_searchThread) return;
  // At shut-down a search that does not stop in time is left running with its handle.
  if (!WaitWorkerStopped(&g_searchState)) {
    g_searchThread = nullptr;
    return;
  }
  Sleep(1);
  CloseHandle(g_searchThread);
  g_searchThread = nullptr;
}

INT_PTR CALLBACK SearchProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotSearchProgress] = dialog;
      g_finished = false;
      UpdateToolbarButtons(16);
      g_searchCancelled = 0;
      if (NavigationPane()) EnableWindow(NavigationPane(), FALSE);
      g_searchTotal = kCounting;
      g_searchProcessed = g_searchFound = 0;
      SendDlgItemMessageW(dialog, IDC_SEARCH_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
      SendDlgItemMessageW(dialog, IDC_SEARCH_PROGRESS_BAR, PBM_SETPOS, 0, 0);
      StartSearchThread();
      SetTimer(dialog, kSearchTimerId, 100, nullptr);
      return TRUE;
    case WM_TIMER:
      if (wParam == kSearchTimerId) Tick(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SEARCH_STOP) {
        g_searchCancelled = 1;
        SendMessageW(dialog, WM_CLOSE, 0, 0);
      }
      return TRUE;
    case WM_CLOSE:
      if (g_searchThread) RequestWorkerStop(&g_searchState);
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        SendMessageW(g_hwndMain, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      // Slot 44 goes before anything else: collection commands wait for it.
      g_windowSlots[kSlotSearchProgress] = nullptr;
      if (!g_finished) {
        // Destroyed with its owner while the thread runs: stop it and drop the partial results.
        KillTimer(dialog, kSearchTimerId);
        if (g_searchThread) RequestWorkerStop(&g_searchState);
        StopSearchThread();
        delete g_resultList;
        g_resultList = nullptr;
        const int index = FindCollectionByName(g_searchResultsName);
        if (index >= 0) DeleteCollection(index);
        if (NavigationPane()) EnableWindow(NavigationPane(), TRUE);
        UpdateMainCaption(L"");
        g_finished = true;
      }
      return TRUE;
  }
  return FALSE;
}

void StartSearch() {
  if (g_windowSlots[kSlotSearchProgress] || g_searchThread) return;
  int index = -1;
  for (int n = 1; n <= kMaxCollections + 1; ++n) {
    wchar_t name[kCollectionNameField];
    swprintf(name, kCollectionNameField, L"検索結果%d", n);
    index = CreateCollection(name);
    if (index == -1) continue;
    if (index >= 0) wcscpy(g_searchResultsName, name);
    break;
  }
  if (index < 0) {
    ShowAppMessageBox(g_hwndMain,
                      L"コレクションの数が上限（256個）に達している為、検索結果を作成できません。\n不要なコレクションを"
                      L"削除してから再度実行してください。",
                      g_productName, MB_ICONINFORMATION);
    return;
  }
  g_searchResults = index;
  // The chosen collection is found again by its name: creating the results re-sorted the table.
  const int32_t choice = g_settings.searchCollectionChoice;
  g_choiceIndex = 0;
  if (g_searchChoiceName[0]) {
    const int chosen = FindCollectionByName(g_searchChoiceName);
    g_choiceIndex = chosen >= 0 ? chosen + 1 : g_collectionCount + 1;  // gone: nothing to walk
  } else if (choice > 0) {
    g_choiceIndex = choice;
  }
  if (g_choiceIndex >= 1 && g_choiceIndex <= g_collectionCount) g_settings.searchCollectionChoice = g_choiceIndex;
  CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_SEARCH_PROGRESS), g_hwndMain, SearchProgressDlgProc, 0);
}
