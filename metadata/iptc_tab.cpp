// The IPTC tab: the record-2 datasets of the entry in focus as an editable list, its tool strip
// with the templates, the choice and date-time editors, and the write into the JPEG file.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "core/main_window_state.h"
#include "core/idle_requests.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/pure/scramble.h"
#include "core/safe_file.h"
#include "core/write_failure.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "metadata/metadata_hooks.h"
#include "metadata/file_info_window.h"
#include "metadata/image_info_win.h"
#include "metadata/jpeg_writers.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/iptc_text.h"
#include "resources/resource.h"

namespace {
constexpr int kCopy = 244, kAdd = 245, kClearAll = 246, kCopyAll = 247, kPasteAll = 248, kInsertAll = 249,
              kDelete = 250, kPaste = 252;
constexpr int kToolStripHeight = 106;
constexpr size_t kValueChars = 65536;
constexpr uint32_t kJpegTypeFlag = 0x2;
constexpr size_t kMaxTemplateBytes = 4u << 20;
const wchar_t kUnwritableCharacterIptc[] = L"Windowsの文字コードにない文字が含まれているため、IPTC情報を書き出せません。";

uint8_t g_iptcWritable = 0;
// The shown record's values are UTF-8 (its 1:90 says so): they are written back in UTF-8 under
// the same declaration, so the values nobody edited keep their bytes.
bool g_iptcShownUtf8 = false;
// Each value as the tab showed it, with the bytes it came from: a row whose text is still the one
// shown is written with those bytes, so a value nobody edited keeps them even where they do not
// convert back (a Latin-1 letter, UTF-8 in a record that declares nothing).
struct ShownValue {
  int dataset;
  std::wstring text;
  std::string bytes;
};
std::vector<ShownValue> g_iptcShownValues;
uint8_t g_toolStripShown = 0;
std::u16string g_templateText;  // "全コピー" fills it, "全ペースト" reads it
std::u16string g_rowClipboard;  // "コピー" fills it, "ペースト" reads it
HWND g_toolStrip = nullptr;
std::wstring g_dialogValue;     // the value the choice and date-time editors exchange

const wchar_t* Wc(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
std::u16string U(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

HWND List(HWND page) { return GetDlgItem(page, IDC_IPTC_LIST); }

std::wstring CellText(HWND list, int row, int column) {
  std::vector<wchar_t> buffer(kValueChars, 0);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return buffer.data();
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void AppendRow(HWND list, const std::wstring& value, const wchar_t* caption, int dataset) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = count;
  item.pszText = const_cast<wchar_t*>(value.c_str());
  item.lParam = count;
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  SetCell(list, row, 1, caption);
  SetCell(list, row, 2, dataset >= 0 ? std::to_wstring(dataset) : std::wstring());
}

void FillIptcList(HWND list, const std::u16string& text) {
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  if (text.empty()) {
    AppendRow(list, L"", L"IPTC情報が見つかりません", -1);
    return;
  }
  for (const IptcTextEntry& e : ParseIptcText(text))
    AppendRow(list, Wide(e.value), Wc(IptcDatasetTable[FindIptcRowByDataset(e.dataset)].caption), e.dataset);
}

// The list's rows as IptcText, selected rows only when asked.
std::u16string IptcListToText(HWND list, bool selectedOnly) {
  std::vector<IptcTextEntry> entries;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    if (selectedOnly && !(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED)) continue;
    const std::wstring id = CellText(list, row, 2);
    if (id.empty()) continue;  // the "not found" row
    entries.push_back({_wtoi(id.c_str()), U(CellText(list, row, 0))});
  }
  return IptcEntriesToText(entries);
}

void EnableWrite(HWND page, bool on) { EnableWindow(GetDlgItem(page, IDC_TAB_WRITE), on); }

void RefreshToolStrip(HWND page) {
  if (!g_toolStrip) return;
  HWND combo = GetDlgItem(g_toolStrip, IDC_IPTC_ADD_COMBO);
  int selection = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const std::u16string text = IptcListToText(List(page), false);
  int count = 0;
  for (int r = 1; r < kIptcDatasetRows; ++r) {
    const IptcDatasetRow& row = IptcDatasetTable[r];
    if (!row.repeatable && IptcTextHasDataset(text, row.dataset)) continue;
    const int at = static_cast<int>(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wc(row.caption))));
    SendMessageW(combo, CB_SETITEMDATA, at, r);
    ++count;
  }
  if (selection >= count) selection = count - 1;
  if (selection < 0 && count > 0) selection = 0;
  SendMessageW(combo, CB_SETCURSEL, selection, 0);
  CheckDlgButton(g_toolStrip, IDC_IPTC_PASTE_SKIP, g_settings.iptcPasteSkip ? BST_CHECKED : BST_UNCHECKED);
}

void LayOutIptcTab(HWND page) {
  RECT rc;
  GetClientRect(page, &rc);
  const int W = rc.right, H = rc.bottom;
  const int strip = g_toolStripShown && g_iptcWritable ? kToolStripHeight : 0;
  const int listHeight = H - 18 - strip;
  MoveWindow(List(page), 0, 0, W, listHeight > 0 ? listHeight : 0, TRUE);
  if (g_toolStrip) {
    MoveWindow(g_toolStrip, 0, H - 18 - strip, W, strip, TRUE);
    ShowWindow(g_toolStrip, strip ? SW_SHOW : SW_HIDE);
  }
  MoveWindow(GetDlgItem(page, IDC_TAB_TOGGLE), 0, H - 18, W / 2, 18, TRUE);
  MoveWindow(GetDlgItem(page, IDC_TAB_WRITE), W / 2, H - 18, W / 2, 18, TRUE);
}

void RefreshIptcTab(HWND page) {
  HWND list = List(page);
  int32_t entry;
  const bool changed = TakeFileInfoTarget(kTabIptc, &entry);
  if (entry < 0) {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    g_iptcWritable = 0;
    g_iptcShownUtf8 = false;
    g_iptcShownValues.clear();
    EnableWindow(GetDlgItem(page, IDC_TAB_TOGGLE), FALSE);
    EnableWrite(page, false);
    LayOutIptcTab(page);
    return;
  }
  if (!changed) return;
  ReadIptc(EntryPath(EntryAt(entry)));
  const size_t bytes = strlen(g_iptcTextBuffer);
  g_iptcShownUtf8 = g_iptcTextIsUtf8;
  // Each value is converted by itself, so what a row shows is exactly its bytes' text.
  g_iptcShownValues.clear();
  std::vector<IptcTextEntry> shown;
  for (IptcTextBytes& v : ParseIptcTextBytes(g_iptcTextBuffer)) {
    const std::wstring text = MetadataBytesToWide(v.value.data(), v.value.size(), g_iptcShownUtf8);
    shown.push_back({v.dataset, U(text)});
    g_iptcShownValues.push_back({v.dataset, text, std::move(v.value)});
  }
  FillIptcList(list, g_iptcTextBuffer[0] ? IptcEntriesToText(shown) : std::u16string());
  // A record whose text filled the reader's buffer may be cut: editing it would lose datasets.
  const bool whole = bytes + 64 < kMetadataTextSize;
  g_iptcWritable = (EntryAt(entry)->info.fileTypeFlag & kJpegTypeFlag) && whole;
  RefreshToolStrip(page);
  EnableWindow(GetDlgItem(page, IDC_TAB_TOGGLE), g_iptcWritable);
  EnableWrite(page, false);
  LayOutIptcTab(page);
}

bool ListHasEntries() { return g_entryCount > 0; }

void WriteIptc(HWND page) {
  const int32_t entry = FileInfoShownEntry[kTabIptc].entry;
  const wchar_t* path = FileInfoShownEntry[kTabIptc].path;
  // Only into the file the list showed: after the list changed or the file was renamed it is not
  // known any more. The edits stay in the list.
  if (!ListHasEntries() || entry < 0 || entry >= g_entryCount || wcscmp(path, EntryPath(EntryAt(entry))) != 0) {
    ShowMessageBox(page, L"ファイル一覧が更新されたため、IPTC情報を書き出せませんでした。", g_productName, 0x30);
    return;
  }
  HWND list = List(page);
  std::vector<IptcDataset> sets;
  std::vector<bool> taken(g_iptcShownValues.size(), false);
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    const int r = FindIptcRowByCaption(U(CellText(list, row, 1)));
    const std::wstring value = CellText(list, row, 0);
    if (r < 0 || value.empty()) continue;
    const uint8_t dataset = IptcDatasetTable[r].dataset;
    size_t same = 0;
    while (same < taken.size() && (taken[same] || g_iptcShownValues[same].dataset != dataset ||
                                   g_iptcShownValues[same].text != value))
      ++same;
    if (same < taken.size()) {
      taken[same] = true;
      sets.push_back({dataset, g_iptcShownValues[same].bytes});
      continue;
    }
    std::string bytes;
    if (!WideToMetadataBytes(value.c_str(), value.size(), g_iptcShownUtf8, bytes)) {
      ShowMessageBox(page, kUnwritableCharacterIptc, g_productName, 0x30);
      return;  // the edits stay in the list
    }
    sets.push_back({dataset, bytes});
  }
  std::vector<uint8_t> block;
  if (!BuildIptcResourceBlock(sets, block, g_iptcShownUtf8)) {
    ShowMessageBox(page, L"IPTC情報が大きすぎるため書き出せません。", g_productName, 0x30);
    return;
  }
  if (!WriteJpegIptc(path, block.data(), static_cast<uint32_t>(block.size()))) {
    const std::wstring text =
        g_lastSegmentWrite == SegmentWriteResult::kTooLarge
            ? L"IPTC情報が大きすぎるため書き出せません。"
            : WriteFailureText(L"IPTC情報を書き出せませんでした。", path,
                               g_lastSegmentWrite == SegmentWriteResult::kIoFailed ? LastWriteError() : 0);
    ShowMessageBox(page, text.c_str(), g_productName, 0x30);
    return;  // the edits stay in the list
  }
  RereadEntryRecord(entry);
  MarkFileInfoTabStale(kTabIptc);
  FileInfoRefreshFlag = 1;
  EnableWrite(page, false);
}

void JoinTexts(HWND page, const std::u16string& other) {
  std::u16string a = IptcListToText(List(page), false), b = other;
  MarkIptcDuplicates(a, b, g_settings.iptcPasteSkip != 0);
  FillIptcList(List(page), a + b);
  EnableWrite(page, true);
}

void InsertAll(HWND page) {
  const std::vector<IptcTextEntry> present = ParseIptcText(IptcListToText(List(page), false));
  HWND list = List(page);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (int r = 1; r < kIptcDatasetRows; ++r) {
    const IptcDatasetRow& row = IptcDatasetTable[r];
    bool found = false;
    for (const IptcTextEntry& e : present) {
      if (e.dataset != row.dataset) continue;
      AppendRow(list, Wide(e.value), Wc(row.caption), row.dataset);
      found = true;
      if (!row.repeatable) break;
    }
    if (!found || row.repeatable) AppendRow(list, L"", Wc(row.caption), row.dataset);
  }
  EnableWrite(page, true);
}

void DeleteSelected(HWND page) {
  HWND list = List(page);
  for (int row = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) - 1; row >= 0; --row)
    if (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED)
      SendMessageW(list, LVM_DELETEITEM, row, 0);
  EnableWrite(page, true);
}

void CopySelected(HWND page) {
  HWND list = List(page);
  std::wstring lines;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    if (!(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED)) continue;
    lines += CellText(list, row, 1) + L"\t" + CellText(list, row, 0) + L"\n";
  }
  CopyTextToClipboard(lines.c_str());
  g_rowClipboard = IptcListToText(list, true);
}

void SaveTemplate(HWND page) {
  wchar_t file[1024] = {}, chosen[260] = {};
  if (!ChooseSaveFile(page, L".iptc Files {*.iptc}\0*.iptc\0", L"セーブファイル選択", file, chosen, L"iptc")) return;
  std::vector<uint8_t> bytes = MakeIptcTemplate(IptcListToText(List(page), false));
  ScrambleBuffer(bytes.data(), bytes.size());
  if (!WriteFileReplacing(chosen, bytes.data(), static_cast<uint32_t>(bytes.size())))
    ShowMessageBox(page, L"テンプレートを保存できませんでした。", g_productName, 0x30);
}

void LoadTemplate(HWND page) {
  wchar_t file[1024] = {}, chosen[260] = {};
  if (!ChooseOpenFile(page, L".iptc Files {*.iptc}\0*.iptc\0", L"ロードファイル選択", file, chosen)) return;
  HANDLE h = CreateFileW(chosen, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size{};
  std::vector<uint8_t> bytes;
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart > 0 && static_cast<uint64_t>(size.QuadPart) <= kMaxTemplateBytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
  }
  CloseHandle(h);
  if (!ok) return;
  ScrambleBuffer(bytes.data(), bytes.size());
  std::u16string text;
  if (ParseIptcTemplate(bytes.data(), bytes.size(), text)) FillIptcList(List(page), text);
}

// ---- editors ----

// Index of the value among the choices: urgency its digit, object cycle its letter.
int ChoiceIndex(IptcEditorKind kind, const std::wstring& value) {
  if (kind == kIptcUrgency) {
    const int v = _wtoi(value.c_str());
    return v >= 0 && v <= 9 ? v : 0;
  }
  const size_t at = std::wstring(L"abc").find(value.empty() ? L'?' : value[0]);
  return at == std::wstring::npos ? 0 : static_cast<int>(at);
}

INT_PTR CALLBACK IptcChoiceDialogProcImpl(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}  // namespace

INT_PTR CALLBACK IptcChoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return IptcChoiceDialogProcImpl(dialog, message, wParam, lParam);
}

namespace {
RECT g_editorRect;  // screen rectangle of the value cell the editor opens over

// Opens the popup over the value cell, 16 pixels tall, with the editor filling its client area.
// The frame takes part of those 16 pixels and a combo box's field is as tall as its font needs,
// so the popup grows until the editor's real height fits.
void PlaceEditorPopup(HWND dialog, HWND editor, int editorHeight) {
  const int width = g_editorRect.right - g_editorRect.left;
  MoveWindow(dialog, g_editorRect.left, g_editorRect.top, width, 16, FALSE);
  RECT client{};
  GetClientRect(dialog, &client);
  MoveWindow(editor, 0, 0, client.right, editorHeight, FALSE);
  RECT shown{};
  GetWindowRect(editor, &shown);
  const int missing = (shown.bottom - shown.top) - client.bottom;
  if (missing > 0) MoveWindow(dialog, g_editorRect.left, g_editorRect.top, width, 16 + missing, FALSE);
}

INT_PTR CALLBACK IptcChoiceDialogProcImpl(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND combo = GetDlgItem(dialog, IDC_IPTC_CHOICE_COMBO);
  switch (message) {
    case WM_INITDIALOG: {
      const int kind = LOWORD(lParam), initial = HIWORD(lParam);
      for (int i = 0; i < (kind == kIptcUrgency ? 10 : 3); ++i) {
        wchar_t text[2] = {static_cast<wchar_t>(kind == kIptcUrgency ? L'0' + i : L'a' + i), 0};
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      }
      SendMessageW(combo, CB_SETCURSEL, initial, 0);
      PlaceEditorPopup(dialog, combo, 200);  // the list drops 200 pixels; the closed box keeps its field height
      SetFocus(combo);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || (LOWORD(wParam) == IDC_IPTC_CHOICE_COMBO && HIWORD(wParam) == CBN_KILLFOCUS)) {
        EndDialog(dialog, SendMessageW(combo, CB_GETCURSEL, 0, 0));
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, -1);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
}  // namespace

INT_PTR CALLBACK IptcDateTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND picker = GetDlgItem(dialog, IDC_IPTC_PICKER);
  switch (message) {
    case WM_INITDIALOG: {
      const int value = _wtoi(g_dialogValue.c_str());
      SYSTEMTIME t{};
      if (lParam == 1) {
        SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyMMdd"));
        t.wYear = static_cast<WORD>(value / 10000 % 10000);
        t.wMonth = static_cast<WORD>(value / 100 % 100);
        t.wDay = static_cast<WORD>(value % 100);
      } else {
        SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HHmmss"));
        t.wYear = 2009;
        t.wMonth = 1;
        t.wDay = 1;
        t.wHour = static_cast<WORD>(value / 10000 % 100);
        t.wMinute = static_cast<WORD>(value / 100 % 100);
        t.wSecond = static_cast<WORD>(value % 100);
      }
      if (t.wYear >= 1601 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 && t.wDay <= 31 && t.wHour < 24 &&
          t.wMinute < 60 && t.wSecond < 60)
        SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
      PlaceEditorPopup(dialog, picker, 16);
      SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
      SetFocus(picker);
      return FALSE;
    }
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->idFrom == IDC_IPTC_PICKER && hdr->code == NM_KILLFOCUS)
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        SYSTEMTIME t{};
        if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) == GDT_VALID) {
          wchar_t text[16];
          if (GetWindowLongPtrW(dialog, GWLP_USERDATA) == 1) swprintf(text, 16, L"%04u%02u%02u", t.wYear, t.wMonth, t.wDay);
          else swprintf(text, 16, L"%02u%02u%02u", t.wHour, t.wMinute, t.wSecond);
          g_dialogValue = text;
        }
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, -1);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

namespace {
// Label edit of a row whose editor is a choice or a picker: the dialog over the value cell.
void EditWithDialog(HWND page, int row, IptcEditorKind kind) {
  HWND list = List(page);
  const std::wstring old = CellText(list, row, 0);
  RECT cell{};
  cell.top = 0;
  cell.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  RECT client;
  GetClientRect(list, &client);
  if (cell.right > client.right) cell.right = client.right;
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&cell), 2);
  g_editorRect = cell;
  SetCell(list, row, 0, L"");
  INT_PTR result;
  if (kind == kIptcUrgency || kind == kIptcObjectCycle) {
    result = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_IPTC_CHOICE), page, IptcChoiceDialogProc,
                             MAKELPARAM(kind, ChoiceIndex(kind, old)));
    if (result >= 0) {
      wchar_t text[2] = {static_cast<wchar_t>(kind == kIptcUrgency ? L'0' + result : L'a' + result), 0};
      SetCell(list, row, 0, text);
      EnableWrite(page, true);
      return;
    }
  } else {
    g_dialogValue = old;
    result = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_IPTC_DATE_TIME), page, IptcDateTimeDialogProc,
                             kind == kIptcDate ? 1 : 2);
    if (result == 1 && g_dialogValue != old) {
      SetCell(list, row, 0, g_dialogValue);
      EnableWrite(page, true);
      return;
    }
  }
  SetCell(list, row, 0, old);
}

std::wstring g_labelBeforeEdit;

BOOL OnBeginLabelEdit(HWND page, const NMLVDISPINFOW* info) {
  if (!g_iptcWritable) return TRUE;
  HWND list = List(page);
  const int r = FindIptcRowByDataset(_wtoi(CellText(list, info->item.iItem, 2).c_str()));
  if (r < 0 || CellText(list, info->item.iItem, 2).empty()) return TRUE;
  const IptcDatasetRow& row = IptcDatasetTable[r];
  if (row.editor != kIptcFreeText) {
    PostMessageW(page, WM_APP + 1, info->item.iItem, row.editor);
    return TRUE;
  }
  g_labelBeforeEdit = CellText(list, info->item.iItem, 0);
  HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
  // Never cut a longer value the file already holds.
  size_t limit = static_cast<size_t>(row.maxLength);
  if (g_labelBeforeEdit.size() > limit) limit = g_labelBeforeEdit.size();
  if (edit) SendMessageW(edit, EM_LIMITTEXT, limit, 0);
  return FALSE;
}

void OnEndLabelEdit(HWND page, const NMLVDISPINFOW* info) {
  CloseIme(page);
  if (!info->item.pszText) return;
  const std::wstring text = info->item.pszText;
  if (text.size() == g_labelBeforeEdit.size() &&
      CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), -1, g_labelBeforeEdit.c_str(), -1) == CSTR_EQUAL)
    return;
  SetCell(List(page), info->item.iItem, 0, text);
  EnableWrite(page, true);
}
}  // namespace

INT_PTR CALLBACK IptcTemplateBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM) {
  HWND page = GetParent(bar);
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kRefreshCommand:
          RefreshToolStrip(page);
          return TRUE;
        case IDC_IPTC_ADD: {
          HWND combo = GetDlgItem(bar, IDC_IPTC_ADD_COMBO);
          const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
          if (at >= 0) SendMessageW(page, WM_COMMAND, MAKEWPARAM(kAdd, SendMessageW(combo, CB_GETITEMDATA, at, 0)), 0);
          return TRUE;
        }
        case IDC_IPTC_CLEAR_ALL: SendMessageW(page, WM_COMMAND, kClearAll, 0); return TRUE;
        case IDC_IPTC_COPY_ALL: SendMessageW(page, WM_COMMAND, kCopyAll, 0); return TRUE;
        case IDC_IPTC_PASTE_ALL: SendMessageW(page, WM_COMMAND, kPasteAll, 0); return TRUE;
        case IDC_IPTC_INSERT_ALL: SendMessageW(page, WM_COMMAND, kInsertAll, 0); return TRUE;
        case IDC_IPTC_SAVE_TEMPLATE:
          if (g_iptcWritable) SaveTemplate(page);
          return TRUE;
        case IDC_IPTC_LOAD_TEMPLATE:
          if (g_iptcWritable) LoadTemplate(page);
          return TRUE;
        case IDC_IPTC_PASTE_SKIP:
          g_settings.iptcPasteSkip = IsDlgButtonChecked(bar, IDC_IPTC_PASTE_SKIP) == BST_CHECKED;
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK IptcTabProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = List(page);
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlotInfoTabIptc] = page;
      g_toolStrip = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_IPTC_TOOL_STRIP), page, IptcTemplateBarProc, 0);
      g_rowClipboard.clear();
      const wchar_t* captions[] = {L"内容", L"タグ", L"ID"};
      const int order[] = {2, 1, 0};
      SetUpInfoList(list, captions, g_settings.iptcTabColumnWidths, 3, order);
      EnableWrite(page, false);
      return TRUE;
    }
    case WM_SIZE:
      LayOutIptcTab(page);
      return TRUE;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_MEASUREITEM:
      return g_metadataHooks.measureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      return g_metadataHooks.drawOwnerMenuItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_DESTROY:
      g_rowClipboard.clear();
      for (int c = 0; c < 3; ++c)
        g_settings.iptcTabColumnWidths[c] = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
      g_toolStrip = nullptr;
      if (g_windowSlots[kSlotInfoTabIptc] == page) g_windowSlots[kSlotInfoTabIptc] = nullptr;
      return TRUE;
    case WM_APP + 1:
      EditWithDialog(page, static_cast<int>(wParam), static_cast<IptcEditorKind>(lParam));
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->idFrom != IDC_IPTC_LIST) return TRUE;
      if (hdr->code == LVN_BEGINLABELEDITW) {
        SetWindowLongPtrW(page, DWLP_MSGRESULT, OnBeginLabelEdit(page, reinterpret_cast<const NMLVDISPINFOW*>(lParam)));
      } else if (hdr->code == LVN_ENDLABELEDITW) {
        OnEndLabelEdit(page, reinterpret_cast<const NMLVDISPINFOW*>(lParam));
        SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);  // the cell was set here
      } else if (hdr->code == NM_RCLICK) {
        POINT p;
        GetCursorPos(&p);
        TrackPopupMenu(g_metadataHooks.infoTabPopup(17), TPM_LEFTBUTTON, p.x, p.y, 0, page, nullptr);
      }
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == kRefreshCommand) {
        RefreshIptcTab(page);
        return TRUE;
      }
      if (id == IDC_TAB_TOGGLE) {
        g_toolStripShown = !g_toolStripShown;
        LayOutIptcTab(page);
        return TRUE;
      }
      if (!g_iptcWritable) return TRUE;
      switch (id) {
        case IDC_TAB_WRITE:
          WriteIptc(page);
          return TRUE;
        case kCopy:
          CopySelected(page);
          return TRUE;
        case kCopyAll:
          g_templateText = IptcListToText(list, false);
          return TRUE;
      }
      if (!ListHasEntries()) return TRUE;
      switch (id) {
        case kAdd: {
          const int r = HIWORD(wParam);
          if (r < 1 || r >= kIptcDatasetRows) return TRUE;
          // The "not found" row goes when the first dataset comes.
          if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1 && CellText(list, 0, 2).empty())
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
          AppendRow(list, L"", Wc(IptcDatasetTable[r].caption), IptcDatasetTable[r].dataset);
          RefreshToolStrip(page);
          EnableWrite(page, true);
          return TRUE;
        }
        case kClearAll:
          SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
          RefreshToolStrip(page);
          EnableWrite(page, true);
          return TRUE;
        case kPasteAll:
          JoinTexts(page, g_templateText);
          return TRUE;
        case kPaste:
          JoinTexts(page, g_rowClipboard);
          return TRUE;
        case kInsertAll:
          InsertAll(page);
          return TRUE;
        case kDelete:
          DeleteSelected(page);
          return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}
