#include "browser/search_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <cstddef>
#include <cwchar>
#include <vector>

#include "browser/icon_lists.h"
#include "browser/main_window.h"
#include "browser/search_ids.h"
#include "browser/search_thread.h"
#include "browser/toolbar_state.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/key_state.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "metadata/pure/image_info.h"

wchar_t g_searchChoiceName[kCollectionNameField] = {};

namespace {

template <class T>
T* At(size_t offset) {
  return reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(&g_settings) + offset);
}
#define SETTING(T, field) At<T>(offsetof(SettingsBlock, field))

const int kIptcKindIds[kIptcSearchRows] = {IDC_SEARCH_IPTC0_KIND, IDC_SEARCH_IPTC1_KIND, IDC_SEARCH_IPTC2_KIND,
                                           IDC_SEARCH_IPTC3_KIND, IDC_SEARCH_IPTC4_KIND, IDC_SEARCH_IPTC5_KIND,
                                           IDC_SEARCH_IPTC6_KIND, IDC_SEARCH_IPTC7_KIND, IDC_SEARCH_IPTC8_KIND,
                                           IDC_SEARCH_IPTC9_KIND};
const int kIptcDatasetIds[kIptcSearchRows] = {
    IDC_SEARCH_IPTC0_DATASET, IDC_SEARCH_IPTC1_DATASET, IDC_SEARCH_IPTC2_DATASET, IDC_SEARCH_IPTC3_DATASET,
    IDC_SEARCH_IPTC4_DATASET, IDC_SEARCH_IPTC5_DATASET, IDC_SEARCH_IPTC6_DATASET, IDC_SEARCH_IPTC7_DATASET,
    IDC_SEARCH_IPTC8_DATASET, IDC_SEARCH_IPTC9_DATASET};
const int kIptcTextIds[kIptcSearchRows] = {IDC_SEARCH_IPTC0_TEXT, IDC_SEARCH_IPTC1_TEXT, IDC_SEARCH_IPTC2_TEXT,
                                           IDC_SEARCH_IPTC3_TEXT, IDC_SEARCH_IPTC4_TEXT, IDC_SEARCH_IPTC5_TEXT,
                                           IDC_SEARCH_IPTC6_TEXT, IDC_SEARCH_IPTC7_TEXT, IDC_SEARCH_IPTC8_TEXT,
                                           IDC_SEARCH_IPTC9_TEXT};

const wchar_t* const kTextKinds[] = {L"全て", L"キーワードのいずれかを含むもののみ", L"キーワードを全て含むもののみ",
                                     L"キーワードのいずれかを含むもの以外", L"キーワードを全てを含むもの以外"};
const wchar_t* const kDateKinds[] = {L"全て", L"指定日のみ", L"日時の範囲を指定", L"日時の範囲を指定（年を無視する）"};
const wchar_t* const kTimeKinds[] = {L"全て", L"指定時刻のみ", L"時刻の範囲を指定"};
const wchar_t* const kSizeKinds[] = {L"全て", L"指定サイズのみ", L"ファイルサイズの範囲を指定"};
const wchar_t* const kSizeUnits[] = {L"Byte", L"KByte", L"MByte"};
const wchar_t* const kFormatKinds[] = {L"全て", L"指定の拡張子のみ", L"指定の拡張子以外"};
const wchar_t* const kMakerKinds[] = {L"全て", L"キーワードのいずれかを含むメーカーのみ", L"キーワードを全て含むメーカーのみ",
                                      L"キーワードのいずれかを含むメーカー以外", L"キーワードを全て含むメーカー以外"};
const wchar_t* const kModelKinds[] = {L"全て", L"キーワードのいずれかを含む機種のみ", L"キーワードを全て含む機種のみ",
                                      L"キーワードのいずれかを含む機種以外", L"キーワードを全てを含む機種以外"};
const wchar_t* const kLensKinds[] = {L"全て", L"キーワードのいずれかを含むレンズのみ", L"キーワードを全て含むレンズのみ",
                                     L"キーワードのいずれかを含むレンズ以外", L"キーワードを全てを含むレンズ以外"};
const wchar_t* const kExposureKinds[] = {L"全て", L"指定のシャッタースピードのみ", L"指定のシャッタースピード以外",
                                         L"指定のシャッタースピード以上", L"指定のシャッタースピード以下",
                                         L"シャッタースピードの範囲指定"};
const wchar_t* const kFNumberKinds[] = {L"全て", L"指定のF値のみ", L"指定のF値以外", L"指定のF値以下", L"指定のF値以上",
                                        L"F値の範囲指定"};
const wchar_t* const kIsoKinds[] = {L"全て", L"指定のISOのみ", L"指定のISO以外", L"指定のISO以下", L"指定のISO以上",
                                    L"ISOの範囲指定"};
const wchar_t* const kFocalKinds[] = {L"全て", L"指定の焦点距離のみ", L"指定の焦点距離以外", L"指定の焦点距離以下",
                                      L"指定の焦点距離以上", L"焦点距離の範囲指定"};

struct KindControl {
  int id;
  int32_t* field;
  const wchar_t* const* items;
  int count;
};

std::vector<KindControl> KindControls() {
  uint8_t* c = reinterpret_cast<uint8_t*>(&SearchConditionsOf());
#define CONDITION(name) reinterpret_cast<int32_t*>(c + offsetof(SearchConditions, name))
  std::vector<KindControl> v = {
      {IDC_SEARCH_FILENAME_KIND, SETTING(int32_t, fileNameSearchFlag), kTextKinds, 5},
      {IDC_SEARCH_MODDATE_KIND, CONDITION(modDateKind), kDateKinds, 4},
      {IDC_SEARCH_MODTIME_KIND, CONDITION(modTimeKind), kTimeKinds, 3},
      {IDC_SEARCH_SIZE_KIND, CONDITION(sizeKind), kSizeKinds, 3},
      {IDC_SEARCH_SIZE_UNIT, CONDITION(sizeUnit), kSizeUnits, 3},
      {IDC_SEARCH_FORMAT_KIND, CONDITION(formatKind), kFormatKinds, 3},
      {IDC_SEARCH_SHOTDATE_KIND, CONDITION(shotDateKind), kDateKinds, 4},
      {IDC_SEARCH_SHOTTIME_KIND, CONDITION(shotTimeKind), kTimeKinds, 3},
      {IDC_SEARCH_MAKER_KIND, CONDITION(makerKind), kMakerKinds, 5},
      {IDC_SEARCH_MODEL_KIND, CONDITION(modelKind), kModelKinds, 5},
      {IDC_SEARCH_LENS_KIND, CONDITION(lensKind), kLensKinds, 5},
      {IDC_SEARCH_EXPOSURE_KIND, CONDITION(exposureKind), kExposureKinds, 6},
      {IDC_SEARCH_FNUMBER_KIND, CONDITION(fNumberKind), kFNumberKinds, 6},
      {IDC_SEARCH_ISO_KIND, CONDITION(isoKind), kIsoKinds, 6},
      {IDC_SEARCH_FOCAL_KIND, CONDITION(focalKind), kFocalKinds, 6},
      {IDC_SEARCH_COMMENT_KIND, SETTING(int32_t, commentSearchFlag), kTextKinds, 5},
  };
  for (int r = 0; r < kIptcSearchRows; ++r) {
    v.push_back({kIptcKindIds[r], SETTING(int32_t, iptcSearchWords) + r, kTextKinds, 5});
    v.push_back({kIptcDatasetIds[r], SETTING(int32_t, iptcSearchWords2) + r, nullptr, kIptcDatasetRows});
  }
#undef CONDITION
  return v;
}

// Parsers of the number fields: the value of entry 0 goes into the history's number.
enum Parser { kNoParse, kFraction, kFNumber, kNumber };

struct TextControl {
  int id;
  TextHistory16* history;
  KeywordList* keywords;
  Parser parser;
};

std::vector<TextControl> TextControls() {
  std::vector<TextControl> v = {
      {IDC_SEARCH_FILENAME_TEXT, SETTING(TextHistory16, searchFileNames), SETTING(KeywordList, searchFileNamesInput), kNoParse},
      {IDC_SEARCH_FORMAT_TEXT, SETTING(TextHistory16, searchFileTypes), nullptr, kNoParse},
      {IDC_SEARCH_MAKER_TEXT, SETTING(TextHistory16, searchMakers), SETTING(KeywordList, searchMakersInput), kNoParse},
      {IDC_SEARCH_MODEL_TEXT, SETTING(TextHistory16, searchModels), SETTING(KeywordList, searchModelsInput), kNoParse},
      {IDC_SEARCH_LENS_TEXT, SETTING(TextHistory16, searchLenses), SETTING(KeywordList, searchLensesInput), kNoParse},
      {IDC_SEARCH_EXPOSURE_FROM, SETTING(TextHistory16, searchShutterFrom), nullptr, kFraction},
      {IDC_SEARCH_EXPOSURE_TO, SETTING(TextHistory16, searchShutterTo), nullptr, kFraction},
      {IDC_SEARCH_FNUMBER_FROM, SETTING(TextHistory16, searchApertureFrom), nullptr, kFNumber},
      {IDC_SEARCH_FNUMBER_TO, SETTING(TextHistory16, searchApertureTo), nullptr, kFNumber},
      {IDC_SEARCH_ISO_FROM, SETTING(TextHistory16, searchIsoFrom), nullptr, kNumber},
      {IDC_SEARCH_ISO_TO, SETTING(TextHistory16, searchIsoTo), nullptr, kNumber},
      {IDC_SEARCH_FOCAL_FROM, SETTING(TextHistory16, searchFocalFrom), nullptr, kNumber},
      {IDC_SEARCH_FOCAL_TO, SETTING(TextHistory16, searchFocalTo), nullptr, kNumber},
      {IDC_SEARCH_COMMENT_TEXT, SETTING(TextHistory16, searchComments), SETTING(KeywordList, searchCommentsInput), kNoParse},
  };
  for (int r = 0; r < kIptcSearchRows; ++r)
    v.push_back({kIptcTextIds[r], SETTING(TextHistory16, searchIptc) + r, SETTING(KeywordList, searchIptcInput) + r,
                 kNoParse});
  return v;
}

struct PickerPair {
  int dateId, timeId;
  SearchTime* value;
};

std::vector<PickerPair> Pickers() {
  SearchConditions& c = SearchConditionsOf();
  return {{IDC_SEARCH_MODDATE_FROM, IDC_SEARCH_MODTIME_FROM, &c.modFrom},
          {IDC_SEARCH_MODDATE_TO, IDC_SEARCH_MODTIME_TO, &c.modTo},
          {IDC_SEARCH_SHOTDATE_FROM, IDC_SEARCH_SHOTTIME_FROM, &c.shotFrom},
          {IDC_SEARCH_SHOTDATE_TO, IDC_SEARCH_SHOTTIME_TO, &c.shotTo}};
}

INT_PTR g_dialogResult = 0;
WNDPROC g_rootEditProc = nullptr;

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

int CollectionItems(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageW(dialog, IDC_SEARCH_COLLECTION, CB_GETCOUNT, 0, 0));
}

// Kinds, dataset rows and the collection choice from the lists.
void ReadKinds(HWND dialog) {
  for (const KindControl& k : KindControls()) {
    LRESULT sel = SendDlgItemMessageW(dialog, k.id, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) *k.field = static_cast<int32_t>(sel);
  }
  LRESULT sel = SendDlgItemMessageW(dialog, IDC_SEARCH_COLLECTION, CB_GETCURSEL, 0, 0);
  if (sel != CB_ERR) g_settings.searchCollectionChoice = static_cast<int32_t>(sel);
}

void SetPicker(HWND dialog, int id, const SearchTime& value) {
  SYSTEMTIME st;
  static_assert(sizeof st == sizeof value, "");
  memcpy(&st, &value, sizeof st);
  SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void ReadPickers(HWND dialog) {
  for (const PickerPair& p : Pickers()) {
    SYSTEMTIME date{}, time{};
    if (SendDlgItemMessageW(dialog, p.dateId, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) != GDT_VALID)
      continue;
    if (SendDlgItemMessageW(dialog, p.timeId, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_VALID) {
      date.wHour = time.wHour;
      date.wMinute = time.wMinute;
      date.wSecond = time.wSecond;
      date.wMilliseconds = time.wMilliseconds;
    }
    memcpy(p.value, &date, sizeof date);
  }
}

float ParseWith(Parser parser, const char16_t* text) {
  switch (parser) {
    case kFraction: return ParseFractionText(text);
    case kFNumber: return ParseFNumberText(text);
    case kNumber: return ParseNumberText(text);
    default: return 0;
  }
}

// Texts, their histories and keywords, the numbers and the sizes, as the dialog closes.
void ReadTexts(HWND dialog) {
  for (const TextControl& t : TextControls()) {
    wchar_t text[kSearchTextChars + 1] = {};
    GetDlgItemTextW(dialog, t.id, text, kSearchTextChars + 1);
    PushSearchHistory(*t.history, U16(text));
    if (t.keywords) SplitKeywords(*t.keywords, U16(text));
    if (t.parser != kNoParse) t.history->number = ParseWith(t.parser, t.history->rows[0]);
  }
  SearchConditions& c = SearchConditionsOf();
  BOOL ok = FALSE;
  int v = static_cast<int>(GetDlgItemInt(dialog, IDC_SEARCH_SIZE_FROM, &ok, TRUE));
  if (ok) c.sizeFrom = v;
  v = static_cast<int>(GetDlgItemInt(dialog, IDC_SEARCH_SIZE_TO, &ok, TRUE));
  if (ok) c.sizeTo = v;
}

void FillList(HWND dialog, int id, const wchar_t* const* items, int count) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < count; ++i) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

void FillTextList(HWND dialog, const TextControl& t) {
  HWND list = GetDlgItem(dialog, t.id);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  SendMessageW(list, CB_LIMITTEXT, kSearchTextChars, 0);
  for (int i = 0; i < 16; ++i) {
    wchar_t row[128];
    memcpy(row, t.history->rows[i], sizeof row);
    row[127] = 0;
    if (!row[0]) break;
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
  }
  wchar_t first[128];
  memcpy(first, t.history->rows[0], sizeof first);
  first[127] = 0;
  SetWindowTextW(list, first);
}

void InitDialog(HWND dialog) {
  g_windowSlots[kSlotSearch] = dialog;
  g_dialogResult = 0;
  UpdateToolbarButtons(16);
  HWND edit = GetDlgItem(dialog, IDC_SEARCH_ROOT);
  g_rootEditProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchRootEditProc)));
  SendMessageW(edit, EM_LIMITTEXT, kPathChars - 1, 0);
  SearchConditions& c = SearchConditionsOf();
  InitUpDownControl(GetDlgItem(dialog, IDC_SEARCH_SIZE_FROM_SPIN), GetDlgItem(dialog, IDC_SEARCH_SIZE_FROM), 0,
                    2147483647, c.sizeFrom);
  InitUpDownControl(GetDlgItem(dialog, IDC_SEARCH_SIZE_TO_SPIN), GetDlgItem(dialog, IDC_SEARCH_SIZE_TO), 0,
                    2147483647, c.sizeTo);
  for (const PickerPair& p : Pickers()) {
    SetPicker(dialog, p.dateId, *p.value);
    SetPicker(dialog, p.timeId, *p.value);
  }
  for (const KindControl& k : KindControls()) {
    if (k.items) {
      FillList(dialog, k.id, k.items, k.count);
      continue;
    }
    HWND list = GetDlgItem(dialog, k.id);
    for (const IptcDatasetRow& d : IptcDatasetTable)
      SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(d.caption)));
  }
  for (const TextControl& t : TextControls()) FillTextList(dialog, t);
  if (g_buttonBitmaps[0])
    SendDlgItemMessageW(dialog, IDC_SEARCH_BROWSE, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(g_buttonBitmaps[0]));
  g_settings.searchFolder[kPathChars - 1] = 0;
  SetWindowTextW(edit, reinterpret_cast<const wchar_t*>(g_settings.searchFolder));
  CheckDlgButton(dialog, IDC_SEARCH_SUBFOLDERS, g_settings.searchSubfolders == 1 ? BST_CHECKED : BST_UNCHECKED);
  HWND choice = GetDlgItem(dialog, IDC_SEARCH_COLLECTION);
  SendMessageW(choice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"コレクション全体"));
  for (int i = 0; g_collections && i < g_collectionCount; ++i)
    SendMessageW(choice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_collections[i].name));
  const bool collections = g_settings.searchMode == 1;
  CheckDlgButton(dialog, IDC_SEARCH_MODE_FOLDER, collections ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(dialog, IDC_SEARCH_MODE_COLLECTION, collections ? BST_CHECKED : BST_UNCHECKED);
  ApplySearchCriteriaToDialog(dialog);
}

void SetMode(HWND dialog, uint8_t mode) {
  g_settings.searchMode = mode;
  CheckDlgButton(dialog, IDC_SEARCH_MODE_FOLDER, mode == 0 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_SEARCH_MODE_COLLECTION, mode == 1 ? BST_CHECKED : BST_UNCHECKED);
  ApplySearchCriteriaToDialog(dialog);
}

void Browse(HWND dialog) {
  wchar_t start[kPathChars] = {}, chosen[kPathChars] = {};
  GetDlgItemTextW(dialog, IDC_SEARCH_ROOT, start, kPathChars);
  if (!IsValidFolderPath(start)) start[0] = 0;
  if (ChooseFolder(dialog, start, chosen)) SetDlgItemTextW(dialog, IDC_SEARCH_ROOT, chosen);
}

void Start(HWND dialog) {
  if (g_settings.searchMode != 1) {
    wchar_t root[kPathChars] = {};
    GetDlgItemTextW(dialog, IDC_SEARCH_ROOT, root, kPathChars);
    if (!root[0] || !IsValidFolderPath(root)) {
      ShowAppMessageBox(dialog, L"検索ルートパスが不正です。\n正しい検索ルートパスを入力してください。", g_productName,
                        MB_ICONERROR);
      return;
    }
    wmemset(reinterpret_cast<wchar_t*>(g_settings.searchFolder), 0, kPathChars);
    wcscpy(reinterpret_cast<wchar_t*>(g_settings.searchFolder), root);
  }
  g_dialogResult = 1;
  SendMessageW(dialog, WM_CLOSE, 0, 0);
}

void ResetKinds(HWND dialog) {
  for (const KindControl& k : KindControls())
    if (k.items) *k.field = 0;
  ApplySearchCriteriaToDialog(dialog);
}

void Close(HWND dialog) {
  ReadKinds(dialog);
  ReadPickers(dialog);
  ReadTexts(dialog);
  const int32_t choice = g_settings.searchCollectionChoice;
  g_searchChoiceName[0] = 0;
  if (choice >= 1 && choice <= g_collectionCount && g_collections)
    wcscpy(g_searchChoiceName, g_collections[choice - 1].name);
  HWND edit = GetDlgItem(dialog, IDC_SEARCH_ROOT);
  if (g_rootEditProc) SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_rootEditProc));
  EndDialog(dialog, g_dialogResult);
  g_windowSlots[kSlotSearch] = nullptr;
  UpdateToolbarButtons(16);
}

}  // namespace

SearchConditions& SearchConditionsOf() { return *SETTING(SearchConditions, searchConditions); }

void ApplySearchCriteriaToDialog(HWND dialog) {
  for (const KindControl& k : KindControls()) {
    int count = static_cast<int>(SendDlgItemMessageW(dialog, k.id, CB_GETCOUNT, 0, 0));
    int v = *k.field;
    SendDlgItemMessageW(dialog, k.id, CB_SETCURSEL, (v >= 0 && v < count) ? v : 0, 0);
  }
  const SearchConditions& c = SearchConditionsOf();
  Enable(dialog, IDC_SEARCH_MODDATE_FROM, c.modDateKind > 0);
  Enable(dialog, IDC_SEARCH_MODDATE_TO, c.modDateKind > 1);
  Enable(dialog, IDC_SEARCH_MODTIME_FROM, c.modTimeKind > 0);
  Enable(dialog, IDC_SEARCH_MODTIME_TO, c.modTimeKind > 1);
  Enable(dialog, IDC_SEARCH_SHOTDATE_FROM, c.shotDateKind > 0);
  Enable(dialog, IDC_SEARCH_SHOTDATE_TO, c.shotDateKind > 1);
  Enable(dialog, IDC_SEARCH_SHOTTIME_FROM, c.shotTimeKind > 0);
  Enable(dialog, IDC_SEARCH_SHOTTIME_TO, c.shotTimeKind > 1);
  Enable(dialog, IDC_SEARCH_SIZE_FROM, c.sizeKind > 0);
  Enable(dialog, IDC_SEARCH_SIZE_FROM_SPIN, c.sizeKind > 0);
  Enable(dialog, IDC_SEARCH_SIZE_UNIT, c.sizeKind > 0);
  Enable(dialog, IDC_SEARCH_SIZE_TO, c.sizeKind > 1);
  Enable(dialog, IDC_SEARCH_SIZE_TO_SPIN, c.sizeKind > 1);
  Enable(dialog, IDC_SEARCH_FILENAME_TEXT, g_settings.fileNameSearchFlag > 0);
  Enable(dialog, IDC_SEARCH_FORMAT_TEXT, c.formatKind > 0);
  Enable(dialog, IDC_SEARCH_MAKER_TEXT, c.makerKind > 0);
  Enable(dialog, IDC_SEARCH_MODEL_TEXT, c.modelKind > 0);
  Enable(dialog, IDC_SEARCH_LENS_TEXT, c.lensKind > 0);
  Enable(dialog, IDC_SEARCH_EXPOSURE_FROM, c.exposureKind > 0);
  Enable(dialog, IDC_SEARCH_FNUMBER_FROM, c.fNumberKind > 0);
  Enable(dialog, IDC_SEARCH_ISO_FROM, c.isoKind > 0);
  Enable(dialog, IDC_SEARCH_FOCAL_FROM, c.focalKind > 0);
  Enable(dialog, IDC_SEARCH_EXPOSURE_TO, c.exposureKind > 4);
  Enable(dialog, IDC_SEARCH_FNUMBER_TO, c.fNumberKind > 4);
  Enable(dialog, IDC_SEARCH_ISO_TO, c.isoKind > 4);
  Enable(dialog, IDC_SEARCH_FOCAL_TO, c.focalKind > 4);
  Enable(dialog, IDC_SEARCH_COMMENT_TEXT, g_settings.commentSearchFlag > 0);
  for (int r = 0; r < kIptcSearchRows; ++r) {
    Enable(dialog, kIptcTextIds[r], g_settings.iptcSearchWords[r] > 0);
    Enable(dialog, kIptcDatasetIds[r], g_settings.iptcSearchWords[r] > 0);
  }
  int items = CollectionItems(dialog);
  int32_t& choice = *SETTING(int32_t, searchCollectionChoice);
  if (choice < 0 || choice > items - 1) choice = 0;
  SendDlgItemMessageW(dialog, IDC_SEARCH_COLLECTION, CB_SETCURSEL, choice, 0);
  const bool folder = g_settings.searchMode != 1;
  Enable(dialog, IDC_SEARCH_SUBFOLDERS, folder);
  Enable(dialog, IDC_SEARCH_ROOT, folder);
  Enable(dialog, IDC_SEARCH_BROWSE, folder);
  Enable(dialog, IDC_SEARCH_SET_CURRENT, folder);
  Enable(dialog, IDC_SEARCH_COLLECTION, !folder);
}

LRESULT CALLBACK SearchRootEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    wchar_t path[kPathChars] = {};
    if (DragQueryFileW(drop, 0, path, kPathChars) > 0) SetWindowTextW(edit, path);
    DragFinish(drop);
    return 0;
  }
  return CallWindowProcW(g_rootEditProc, edit, message, wParam, lParam);
}

INT_PTR CALLBACK SearchDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if ((id >= IDC_SEARCH_MODDATE_KIND && id <= IDC_SEARCH_SIZE_UNIT) ||
          (id >= IDC_SEARCH_COMMENT_KIND && id <= IDC_SEARCH_IPTC9_DATASET)) {
        if (HIWORD(wParam) == CBN_SELCHANGE) SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
        return TRUE;
      }
      switch (id) {
        case kRefreshCommand:
          ReadKinds(dialog);
          ApplySearchCriteriaToDialog(dialog);
          return TRUE;
        case IDC_SEARCH_SUBFOLDERS:
          g_settings.searchSubfolders = IsDlgButtonChecked(dialog, IDC_SEARCH_SUBFOLDERS) == BST_CHECKED ? 1 : 0;
          return TRUE;
        case IDC_SEARCH_BROWSE: Browse(dialog); return TRUE;
        case IDC_SEARCH_MODE_FOLDER: SetMode(dialog, 0); return TRUE;
        case IDC_SEARCH_MODE_COLLECTION: SetMode(dialog, 1); return TRUE;
        case IDC_SEARCH_START: Start(dialog); return TRUE;
        case IDC_SEARCH_CANCEL: SendMessageW(dialog, WM_CLOSE, 0, 0); return TRUE;
        case IDC_SEARCH_RESET: ResetKinds(dialog); return TRUE;
        case IDC_SEARCH_SET_CURRENT:
          SetDlgItemTextW(dialog, IDC_SEARCH_ROOT, g_currentFolder);
          return TRUE;
      }
      return FALSE;
    }
    case WM_CLOSE:
      Close(dialog);
      return TRUE;
  }
  return FALSE;
}

void RunSearchCommand() {
  if (g_windowSlots[kSlotSearch] || g_windowSlots[kSlotSearchProgress]) return;
  g_keyHold.pollingSuspended = 1;
  const INT_PTR result = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_SEARCH), g_hwndMain, SearchDlgProc, -1);
  if (result == 1) StartSearch();
  g_keyHold.pollingSuspended = 0;
  PauseBusy();
}
