#include "actions/media_split.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "actions/action_history.h"
#include "actions/pure/media_split_rules.h"
#include "actions/rename_support.h"
#include "browser/main_window.h"
#include "browser/status_bar.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"

int32_t MediaCount = 1;

namespace {

constexpr int32_t kMediaMoveKind = 13, kMediaSplitSource = -2;

// The whole size of the file; the record's 32-bit size when the file cannot be asked.
int64_t FileSizeOf(ImageEntry* e) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(EntryPath(e), GetFileExInfoStandard, &data))
    return static_cast<int64_t>(uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
  return static_cast<int64_t>(e->info.fileSize);
}

void SetMediumText(ImageEntry* e, int32_t number) {
  char16_t* text = e->info.mediaNumber;
  const size_t capacity = sizeof e->info.mediaNumber / sizeof text[0];
  std::memset(text, 0, sizeof e->info.mediaNumber);
  if (number == 0) return;
  char digits[16];
  snprintf(digits, sizeof digits, "No.%d", number < 0 ? -number : number);
  for (size_t i = 0; digits[i] && i + 1 < capacity; ++i) text[i] = static_cast<char16_t>(digits[i]);
}

// "<current folder>\<parent name><MediaFolderName>" into a 260-character buffer.
bool MediaFolderBase(wchar_t* out) {
  const wchar_t* parent = L"";
  if (g_settings.mediaFolderParentPrefix) {
    parent = g_currentFolder;
    for (const wchar_t* p = g_currentFolder; *p && p < g_currentFolder + kPathChars; ++p)
      if (*p == L'\\' || *p == L':') parent = p + 1;
  }
  wchar_t name[64];
  std::memcpy(name, g_settings.mediaFolderName, sizeof name);
  name[63] = 0;
  wchar_t leaf[kPathChars];
  const int n = swprintf(leaf, kPathChars, L"%ls%ls", parent, name);
  return n > 0 && n < kPathChars && JoinFolderAndName(g_currentFolder, leaf, out, kPathChars);
}

bool MediaFolder(const wchar_t* base, int32_t number, wchar_t* out) {
  return FormatMediaFolder(U16(base), g_settings.mediaFolderDigits, number, U16(out), kPathChars);
}

}  // namespace

int32_t ComputeMediaSplit(int32_t* mediaCount, int64_t* lastMediumBytes) {
  const int32_t rows = g_displayOrder ? g_listCount : 0;
  std::vector<MediaSplitItem> items(rows > 0 ? rows : 0);
  std::vector<int32_t> numbers(items.size(), 0);
  for (int32_t row = 0; row < rows; ++row) {
    ImageEntry* e = EntryAtRow(row);
    items[row].present = e && (e->presence & kEntryPresent);
    items[row].size = items[row].present ? FileSizeOf(e) : 0;
  }
  const uint64_t capacity = g_settings.mediaSplitSize;
  const MediaSplitResult result =
      ComputeMediaSplitNumbers(items.data(), items.size(), capacity > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(capacity),
                               g_settings.mediaSplitEven != 0, numbers.data());
  HWND list = GetListControl();
  for (int32_t row = 0; row < rows; ++row) {
    ImageEntry* e = EntryAtRow(row);
    if (!e) continue;
    e->mediaNumber = numbers[row];
    SetMediumText(e, numbers[row]);
    if (list) SendMessageW(list, LVM_REDRAWITEMS, row, row);
  }
  if (result.oversize)
    ShowAppMessageBox(nullptr,
                      L"分割サイズよりファイルサイズの大きいファイルがありました。\n分割ファイルより大きいファイルはメディア分割＃の項目の色がエラー色を示しているのでチェックしてください。",
                      g_productName, MB_ICONWARNING);
  *mediaCount = result.mediaCount;
  *lastMediumBytes = result.lastMediumBytes;
  return result.filesInLast;
}

void MoveEntriesToMediaFolders() {
  wchar_t base[kPathChars], folder[kPathChars];
  if (!MediaFolderBase(base)) return;
  for (int32_t n = 1; n <= MediaCount; ++n)
    if (!MediaFolder(base, n, folder) || !EnsureFolderExists(folder, 1)) return;

  // Only the entries the split numbered leave the list; the others stay as they are.
  const int32_t rows = g_displayOrder ? g_listCount : 0;
  std::vector<uint8_t> moving(rows > 0 ? rows : 0, 0), presence(moving.size(), 0);
  for (int32_t row = 0; row < rows; ++row) {
    const int32_t number = g_displayOrder[row];
    ImageEntry* e = number < g_entryCount ? EntryAt(number) : nullptr;
    if (!e || e->mediaNumber == 0 || !IsEntryFileInPlace(number)) continue;
    moving[row] = 1;
    presence[row] = e->presence;
    e->presence = 0;
  }
  PumpMessages(1);
  for (int32_t row = 0; row < rows; ++row)
    if (moving[row]) ReleaseCachedImages(g_displayOrder[row], 0);

  int32_t moved = 0;
  for (int32_t row = 0; row < rows; ++row) {
    if (!moving[row]) continue;
    const int32_t number = g_displayOrder[row];
    ImageEntry* e = EntryAt(number);
    if (moved++ % 16 == 0) PumpMessages(1);
    const int32_t medium = e->mediaNumber < 0 ? -e->mediaNumber : e->mediaNumber;
    wchar_t from[kPathChars + 1] = {}, to[kPathChars + 1] = {};
    bool done = false;
    if (MediaFolder(base, medium, folder)) {
      wcsncpy(g_scratchPath, folder, kPathChars);
      wcsncpy(from, EntryPath(e), kPathChars - 1);
      const int n = swprintf(to, kPathChars, L"%ls%ls", folder, EntryName(e));
      if (n > 0 && n < kPathChars && !PathExists(to)) {
        SHFILEOPSTRUCTW op{};
        op.hwnd = g_hwndMain;
        op.wFunc = FO_MOVE;
        op.pFrom = from;
        op.pTo = to;
        op.fFlags = FOF_SILENT;
        done = ShellFileOperationDone(RunShellFileOperation(&op), op) && !FileExists(from) && FileExists(to);
      }
    }
    if (done) {
      ++g_moveCount;
      UpdateStatusCounters(4);
    } else {
      e->presence = presence[row];
    }
    AddActionHistoryEntry(number, kMediaMoveKind, kMediaSplitSource, done ? kActionDone : kActionFailed);
    SendEntryRowUpdate(row);
  }
}
