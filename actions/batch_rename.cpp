// The batch rename: every file first moves to a temporary "0000_" name so that a new name never
// meets an old one still waiting its turn, then takes its new name. A file that cannot take its
// new name goes back to its old one; one that can do neither is reported under the temporary
// name it keeps, so nothing is left there unseen.
#include "actions/batch_rename.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "actions/action_history.h"
#include "actions/pure/rename_rules.h"
#include "actions/rename_support.h"
#include "browser/main_window.h"
#include "browser/rebar_bands.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "metadata/image_info_win.h"

int32_t RenameCounter = 1;
uint8_t RenameInProgress = 0;

namespace {

constexpr int32_t kRenameKind = 10;
constexpr int32_t kMaxTemporaryAttempts = 100000;

RenamePattern PatternOf(int32_t row) {
  RenamePattern p{};
  if (!ActionRowRename(row, &p, nullptr)) p = GlobalRenamePattern();
  NormaliseRenamePattern(p);
  return p;
}

struct Item {
  int32_t entry, row;
  wchar_t oldPath[kPathChars];
  bool atTemporary;
};

// The history line of an entry that has just been renamed again.
void RemoveRenameLine(const wchar_t* name) {
  HWND combo = g_bandControls[kBandActionHistory];
  if (!combo) return;
  std::wstring line = std::wstring(L"ﾘﾈｰﾑ:") + name + L"->OK!";
  const LRESULT at = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(line.c_str()));
  if (at != CB_ERR) SendMessageW(combo, CBEM_DELETEITEM, at, 0);
}

// Existence as the rename sees it; a list entry holding the plain date name moves to the
// name with 1 and keeps an undo record of that move.
class FolderProbe : public NameProbe {
 public:
  bool Exists(const char16_t* path) override { return PathExists(reinterpret_cast<const wchar_t*>(path)); }
  void PlainDateNameTaken(const char16_t* plain, const char16_t* first) override {
    const wchar_t* plainPath = reinterpret_cast<const wchar_t*>(plain);
    const wchar_t* firstPath = reinterpret_cast<const wchar_t*>(first);
    for (int32_t row = 0; row < g_listCount; ++row) {
      const int32_t number = g_displayOrder[row];
      ImageEntry* e = EntryAt(number);
      if (!e || ComparePaths(EntryPath(e), plainPath) != 0) continue;
      wchar_t before[kPathChars];
      wcsncpy(before, EntryPath(e), kPathChars);
      if (!MoveOwnFile(before, firstPath)) return;
      RemoveRenameLine(EntryName(e));
      SetEntryPath(e, firstPath);
      wcsncpy(g_pendingUndoPath, before, kPathChars);
      AddActionHistoryEntry(number, kRenameKind, -3, kActionDone);
      g_pendingUndoPath[0] = 0;
      SendEntryRowUpdate(row);
      return;
    }
  }
};

// Pass one: the first free "NNNN_name" of the file's folder.
bool MoveToTemporaryName(ImageEntry* e, int32_t* counter) {
  wchar_t folder[kPathChars], temporary[kPathChars];
  if (!FolderOfPath(EntryPath(e), folder)) return false;
  for (int32_t attempt = 0; attempt < kMaxTemporaryAttempts; ++attempt) {
    const int n = swprintf(temporary, kPathChars, L"%ls\\%04d_%ls", folder, (*counter)++, EntryName(e));
    if (n < 0 || n >= static_cast<int>(kPathChars)) return false;
    if (PathExists(temporary)) continue;
    if (!MoveOwnFile(EntryPath(e), temporary)) return false;
    SetEntryPath(e, temporary);
    if (g_renameTemporaryReached) g_renameTemporaryReached(temporary);
    return true;
  }
  return false;
}

// The prefix of one file, joiner included.
std::wstring PrefixOf(const RenamePattern& p, ImageEntry* e, const wchar_t* oldPath) {
  wchar_t text[kPathChars] = {};
  switch (p.prefixType) {
    case 1:
      wcsncpy(text, reinterpret_cast<const wchar_t*>(p.prefix), 31);
      break;
    case 2: {
      wchar_t folder[kPathChars];
      if (FolderOfPath(oldPath, folder)) CleanPrefixText(U16(folder), U16(text), kPathChars);
      break;
    }
    case 3:
      GetNameWithoutExtension(oldPath, text);
      break;
    case 4:
    case 5:
      if (const wchar_t* field = GetInfoField(e->info, p.prefixType == 4 ? 7 : 8))
        CleanPrefixText(U16(field), U16(text), kPathChars);
      break;
    default:
      break;
  }
  std::wstring prefix = text;
  if (!prefix.empty()) prefix += reinterpret_cast<const wchar_t*>(RenamePrefixJoinerText(p.prefixJoiner));
  return prefix;
}

// The date part for a date name type: its own source, else the last-write column.
bool DatePartOf(const RenamePattern& p, ImageEntry* e, wchar_t* out) {
  wchar_t date[64] = {};
  switch (RenameDateSource(p.nameType)) {
    case 1:
      if (const wchar_t* field = GetInfoField(e->info, 10)) wcsncpy(date, field, 63);
      break;
    case 2:
      FormatFileCreationTime(EntryPath(e), date, 64);
      break;
    default:
      if (const wchar_t* field = GetInfoField(e->info, 5)) wcsncpy(date, field, 63);
      break;
  }
  if (BuildDateNamePart(U16(date), p.nameType, p.dateJoiner, U16(out), kPathChars)) return true;
  date[0] = 0;
  if (const wchar_t* field = GetInfoField(e->info, 5)) wcsncpy(date, field, 63);
  return BuildDateNamePart(U16(date), p.nameType, p.dateJoiner, U16(out), kPathChars);
}

// Pass two for one file: the new path, or false when it cannot have one.
bool ChooseNewPath(const RenamePattern& p, ImageEntry* e, const wchar_t* oldPath, FolderProbe& probe, wchar_t* out) {
  wchar_t folder[kPathChars];
  if (!FolderOfPath(EntryPath(e), folder)) return false;
  const std::wstring prefix = PrefixOf(p, e, oldPath);
  const char16_t* extension = ExtensionOf(U16(EntryName(e)));
  if (p.nameType <= 2) {
    if (!ChooseNumberName(U16(folder), U16(prefix.c_str()), p.nameType, extension, &RenameCounter, probe, U16(out)))
      return false;
  } else {
    wchar_t date[kPathChars];
    if (!DatePartOf(p, e, date)) return false;
    const std::wstring stem = prefix + date;
    if (!ChooseDateName(U16(folder), U16(stem.c_str()), RenameDateJoinerText(p.dateJoiner), extension, probe, U16(out)))
      return false;
  }
  // One valid name in the same folder: a prefix with a separator must not lead elsewhere.
  return IsValidItemName(out + wcslen(folder) + 1);
}

}  // namespace

int32_t BatchRenameFiles(int32_t entry, int32_t row, int32_t jpgFlag) {
  g_pendingUndoPath[0] = 0;
  RenameInProgress = 1;
  int32_t result = kActionSkipped;
  const RenamePattern pattern = PatternOf(row);
  const bool allRows = entry == -1;

  std::vector<Item> items;
  for (const RangeItem& r : RenameRange(entry)) {
    Item item{};
    item.entry = r.entry;
    item.row = r.row;
    items.push_back(item);
  }

  int32_t temporaryCounter = 0;
  for (Item& item : items) {
    ImageEntry* e = EntryAt(item.entry);
    if (!FileExists(EntryPath(e))) continue;
    wcsncpy(item.oldPath, EntryPath(e), kPathChars);
    item.atTemporary = MoveToTemporaryName(e, &temporaryCounter);
  }

  FolderProbe probe;
  for (Item& item : items) {
    if (!item.atTemporary) continue;
    ImageEntry* e = EntryAt(item.entry);
    if (!FileExists(EntryPath(e))) continue;
    wchar_t newPath[kPathChars] = {};
    const bool named = ChooseNewPath(pattern, e, item.oldPath, probe, newPath) && MoveOwnFile(EntryPath(e), newPath);
    if (!named) {
      // Back to the old name, or to a free name beside it when that has been taken meanwhile.
      if (!ReturnFromTemporaryName(e, item.oldPath)) {
        wchar_t temporary[kPathChars];
        wcsncpy(temporary, EntryPath(e), kPathChars);
        ReportLeftAtTemporaryName(e, item.entry, item.row, kRenameKind, item.oldPath, temporary, allRows);
        if (!allRows) result = kActionFailed;
        continue;
      }
      if (wcscmp(EntryPath(e), item.oldPath) == 0) continue;
    } else {
      SetEntryPath(e, newPath);
      if (pattern.nameType <= 2 && !jpgFlag) ++RenameCounter;
    }
    if (!allRows) {
      if (wcscmp(EntryPath(e), item.oldPath) != 0) {
        wcsncpy(g_pendingUndoPath, item.oldPath, kPathChars);
        result = kActionDone;
      }
    } else {
      wcsncpy(g_pendingUndoPath, item.oldPath, kPathChars);
      AddActionHistoryEntry(item.entry, kRenameKind, -3, kActionDone);
      g_pendingUndoPath[0] = 0;
      SendEntryRowUpdate(item.row);
      result = kActionDone;
    }
    Sleep(1);
  }
  RenameInProgress = 0;
  return result;
}

void FormatRenameSettingsText(wchar_t* out, int32_t row) {
  if (!FormatRenamePattern(PatternOf(row), U16(out), kRenameTextChars)) out[0] = 0;
}

void SelectGlobalRenameSettings() {
  RenamePattern p = GlobalRenamePattern();
  NormaliseRenamePattern(p);
  RenameCounter = p.sequenceStart;
}

const wchar_t* RenamePrefixTypeName(int32_t prefixType) {
  return reinterpret_cast<const wchar_t*>(RenamePrefixTypeLabel(prefixType));
}

const wchar_t* RenameNameTypeText(int32_t nameType, int32_t dateJoiner) {
  return reinterpret_cast<const wchar_t*>(RenameNameTypeLabel(nameType, dateJoiner));
}
