// The sub-folder merge: the picture files of the sub-folders move up into the shown folder.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "actions/action_history.h"
#include "actions/media_split.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"

int32_t SubfolderListCount = 0;

namespace {

constexpr int32_t kListedFolders = 32;
constexpr int32_t kMergeKind = -2, kMergeSource = -1;

bool IsDots(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

// Links to other places are not followed: they may lead back up and round.
bool IsPlainFolder(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         !IsDots(found.cFileName);
}

void LowerCopy(const wchar_t* name, wchar_t* out) {
  wcsncpy(out, name, kPathChars - 1);
  out[kPathChars - 1] = 0;
  ToLowerInPlace(U16(out));
}

bool Join(const wchar_t* folder, const wchar_t* name, wchar_t* out) {
  return JoinFolderAndName(folder, name, out, kPathChars);
}

void Append(wchar_t* text, size_t capacity, const wchar_t* more) {
  const size_t used = wcsnlen(text, capacity);
  const size_t n = wcslen(more);
  if (used + n + 1 > capacity) return;
  wmemcpy(text + used, more, n + 1);
}

}  // namespace

bool WalkSubfolders(const wchar_t* folder, int32_t topLevel, wchar_t* text, size_t capacity) {
  if (topLevel) SubfolderListCount = 0;
  wchar_t pattern[kPathChars];
  if (Join(folder, L"*.*", pattern)) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern, &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!IsPlainFolder(found)) continue;
        wchar_t lower[kPathChars], path[kPathChars];
        LowerCopy(found.cFileName, lower);
        if (!Join(folder, lower, path)) continue;
        ++SubfolderListCount;
        if (SubfolderListCount == kListedFolders) {
          Append(text, capacity, L"以下略...");
          Append(text, capacity, L"\n");
          break;
        }
        if (SubfolderListCount < kListedFolders) {
          Append(text, capacity, path);
          Append(text, capacity, L"\n");
        }
        if (g_settings.subfolderMergeAllLevels == 1) WalkSubfolders(path, 0, text, capacity);
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
  }
  return !topLevel || SubfolderListCount != 0;
}

bool MergeSubfolderImages(const wchar_t* target, const wchar_t* folder, int32_t topLevel) {
  wchar_t pattern[kPathChars];
  if (!Join(folder, L"*.*", pattern)) return true;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return true;
  bool result = true;
  int32_t moves = 0;
  do {
    wchar_t lower[kPathChars];
    LowerCopy(found.cFileName, lower);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!IsPlainFolder(found) || !(topLevel || g_settings.subfolderMergeAllLevels == 1)) continue;
      wchar_t path[kPathChars];
      if (!Join(folder, lower, path)) continue;
      result = MergeSubfolderImages(target, path, 0);
      if (!result) break;
      continue;
    }
    if (topLevel || GetFileTypeFlag(lower) == 0) continue;
    wchar_t from[kPathChars + 1] = {}, to[kPathChars + 1] = {};
    if (!Join(folder, found.cFileName, from) || !Join(target, found.cFileName, to)) {
      result = false;
      break;
    }
    if (moves % 16 == 0) PumpMessages(1);
    ++moves;
    wcsncpy(g_scratchPath, found.cFileName, kPathChars);
    // A name already in the target is never replaced: the file stays and the merge stops.
    bool done = false;
    if (!PathExists(to)) {
      SHFILEOPSTRUCTW op{};
      op.hwnd = g_hwndMain;
      op.wFunc = FO_MOVE;
      op.pFrom = from;
      op.pTo = to;
      op.fFlags = FOF_SILENT;
      done = ShellFileOperationDone(RunShellFileOperation(&op), op) && !FileExists(from) && FileExists(to);
    }
    AddActionHistoryEntry(-1, kMergeKind, kMergeSource, done ? kActionDone : kActionFailed);
    if (!done) {
      result = false;
      break;
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return result;
}
