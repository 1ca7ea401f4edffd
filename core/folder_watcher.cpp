#include "core/folder_watcher.h"

#include <cstring>
#include <cwchar>
#include <deque>
#include <string>

#include "core/main_window_state.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/entry_lock.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/list_hooks.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/pure/folder_notify.h"
#include "core/settings.h"

volatile uint8_t g_folderReloadRequest = 0;

namespace {
HANDLE s_folder = nullptr;
HANDLE s_event = nullptr;
OVERLAPPED s_overlapped;
bool s_pending = false;  // a request is outstanding on s_folder
wchar_t s_folderPath[kPathChars];
alignas(DWORD) uint8_t s_buffer[kFolderNotifyBufferSize];
constexpr DWORD kWatchFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                               FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_CREATION;
static_assert(kWatchFilter == 0x5D, "watch filter");

// The program's own renames in the watched folder whose notifications have not been seen yet.
// Names are reused within a batch rename (IMG_002 to IMG_001, then x to IMG_002): a notification
// read after the rename has ended would otherwise send a row to another file.
struct OwnRename {
  std::wstring from, to;
};
SRWLOCK s_ownRenameLock = SRWLOCK_INIT;
constexpr size_t kOwnRenameLimit = 8192;
// Oldest first. Never destroyed: a list thread left running at shut-down may still look.
std::deque<OwnRename>& OwnRenames() {
  static std::deque<OwnRename>* renames = new std::deque<OwnRename>;
  return *renames;
}

// The name part of a path in the watched folder; null for any other path.
const wchar_t* NameInWatchedFolder(const wchar_t* path) {
  const wchar_t* slash = wcsrchr(path, L'\\');
  size_t folder = wcslen(s_folderPath);
  while (folder > 0 && s_folderPath[folder - 1] == L'\\') --folder;
  if (!slash || folder == 0 || size_t(slash - path) != folder || _wcsnicmp(path, s_folderPath, folder) != 0)
    return nullptr;
  return slash + 1;
}

void NoteOwnRename(const wchar_t* from, const wchar_t* to) {
  AcquireSRWLockExclusive(&s_ownRenameLock);
  std::deque<OwnRename>& renames = OwnRenames();
  if (renames.size() >= kOwnRenameLimit) renames.pop_front();
  renames.push_back(OwnRename{from, to});
  ReleaseSRWLockExclusive(&s_ownRenameLock);
}

// True, and forgotten, when the program made this rename itself.
bool TakeOwnRename(const wchar_t* from, const wchar_t* to) {
  AcquireSRWLockExclusive(&s_ownRenameLock);
  bool found = false;
  std::deque<OwnRename>& renames = OwnRenames();
  for (auto it = renames.begin(); it != renames.end(); ++it) {
    if (_wcsicmp(it->from.c_str(), from) == 0 && _wcsicmp(it->to.c_str(), to) == 0) {
      renames.erase(it);
      found = true;
      break;
    }
  }
  ReleaseSRWLockExclusive(&s_ownRenameLock);
  return found;
}

void ForgetOwnRenames() {
  AcquireSRWLockExclusive(&s_ownRenameLock);
  OwnRenames().clear();
  ReleaseSRWLockExclusive(&s_ownRenameLock);
}

// A batch that is dropped still shows which of the program's renames have been seen.
void TakeOwnRenamesIn(const uint8_t* buffer, size_t bytes) {
  wchar_t from[kNotifyNameUnits] = {};
  WalkFolderNotifications(buffer, bytes, [&](const FolderNotifyRecord& record) {
    const wchar_t* name = reinterpret_cast<const wchar_t*>(record.name);
    if (record.action == kNotifyRenamedOld) {
      wcscpy(from, name);
    } else {
      if (record.action == kNotifyRenamedNew && from[0]) TakeOwnRename(from, name);
      from[0] = 0;
    }
    return true;
  });
}

void UpdateRow(int row) {
  if (HWND pane = g_windowSlots[kSlotFileListPane]) SendMessageW(pane, WM_COMMAND, kUpdateEntryRowCommand, row);
  // A viewer pane may be showing the entry: without a repaint it would keep a vanished picture
  // (or the old name) until something else asked for one.
  g_redrawFlag = 1;
}

// The file came back (restored, or written again under its old name): present again, and an
// undo step that said it was recycled or deleted no longer holds.
void ReviveRow(int row) {
  ImageEntry* e = EntryAtRow(row);
  {
    EntryUndoLock lock;
    // An undo of the interface thread that brought the file back has marked it and retires its
    // own record: the one below it stays.
    if (e->presence != kEntryVanished) return;
    SetEntryPresence(e, kEntryPresent);
    if (e->currentUndo != -1) {
      if (e->undoCount > 0 && e->undoRecords) {
        if (e->currentUndo >= 0 && e->currentUndo < e->undoCount) {
          UndoRecord& r = e->undoRecords[e->currentUndo];
          if (r.kind == 5 || r.kind == 6) {
            r.kind = 0;
            --e->currentUndo;
            g_cacheDirty |= 2;
          }
        }
      } else {
        e->currentUndo = -1;
      }
    }
  }
  UpdateRow(row);
}

// A name that appeared or changed: a new file of a listed type gets a row once it is complete;
// a vanished row with that name is present again; a present row stays as it is.
void TakeNameSeen(const wchar_t* name) {
  int row = FindListPositionByName(name);
  if (row >= 0) {
    if (EntryAtRow(row)->presence == kEntryVanished) ReviveRow(row);
    return;
  }
  if (!GetFileTypeFlag(name)) return;  // not a listed type: no need to wait for it
  wchar_t path[kPathChars];
  if (!JoinFolderAndName(s_folderPath, name, path, kPathChars)) return;
  if (!PathExists(path) || !WaitFileStable(path)) return;
  int before = g_entryCount;
  AddFileEntries(s_folderPath, name);
  if (g_entryCount <= before) return;
  Sleep(1);
  g_listHooks.drawThumbnailPlaceholders();
  if (HWND list = GetFileListControl()) g_listHooks.insertListRow(list, g_entryCount - 1);
}

void RenameRow(int row, const wchar_t* newName) {
  ImageEntry* e = EntryAtRow(row);
  wchar_t folder[kPathChars], target[kPathChars], old[kPathChars];
  // The undo text goes with the line itself: the shared one belongs to the interface thread's
  // operations, which may be between filling it and reporting.
  {
    EntryUndoLock lock;
    CopyText(U16(old), kPathChars, U16(EntryPath(e)));
    GetFolderPart(old, folder);
    if (swprintf(target, kPathChars, L"%ls%ls", folder, newName) < 0) return;  // longer than a path
    CopyText(U16(EntryPath(e)), kEntryPathChars, U16(target));
    SetEntryNamePointer(e);
  }
  g_listHooks.addActionHistoryEntry(g_displayOrder[row], 10, -3, 1, old);
  UpdateRow(row);
}

// Applies the records in order; false at an action code that is not known.
bool ApplyBatch(const uint8_t* buffer, size_t bytes) {
  int renamedRow = -1;
  wchar_t renamedFrom[kNotifyNameUnits] = {};
  bool known = true;
  WalkFolderNotifications(buffer, bytes, [&](const FolderNotifyRecord& record) {
    const wchar_t* name = reinterpret_cast<const wchar_t*>(record.name);
    if (!name[0]) return true;
    switch (record.action) {
      case kNotifyAdded:
      case kNotifyModified:
        TakeNameSeen(name);
        break;
      case kNotifyRemoved: {
        int row = FindListPositionByName(name);
        if (row >= 0 && EntryAtRow(row)->presence != kEntryVanished) {
          SetEntryPresence(EntryAtRow(row), kEntryVanished);
          UpdateRow(row);
        }
        break;
      }
      case kNotifyRenamedOld:
        renamedRow = FindListPositionByName(name);
        wcscpy(renamedFrom, name);
        break;
      case kNotifyRenamedNew:
        // Without a row for the old name the file is new to the list (renamed from a type that is
        // not listed, or moved in).
        if (renamedFrom[0] && TakeOwnRename(renamedFrom, name)) {
          // The program's own: its rows already follow it.
        } else if (renamedRow >= 0) {
          RenameRow(renamedRow, name);
        } else {
          TakeNameSeen(name);
        }
        renamedRow = -1;
        renamedFrom[0] = 0;
        break;
      default:
        known = false;
        return false;
    }
    return true;
  });
  return known;
}
}  // namespace

HANDLE OpenWatchedFolder(const wchar_t* folder) {
  CloseWatchedFolder();
  if (!folder || !folder[0] || wcslen(folder) >= kPathChars) return nullptr;
  HANDLE h = CreateFileW(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  s_folder = h;
  wcscpy(s_folderPath, folder);
  return h;
}

void CloseWatchedFolder() {
  g_folderReloadRequest = 0;  // a list read afresh has nothing to catch up with
  ForgetOwnRenames();
  if (!s_folder) return;
  if (s_pending) {
    // The next request reuses the buffer and the record: let the cancelled one land first
    // (closing the handle ends it too, should the cancel not reach it).
    CancelIoEx(s_folder, &s_overlapped);
    if (!HasOverlappedIoCompleted(&s_overlapped)) WaitForSingleObject(s_event, 2000);
    s_pending = false;
  }
  CloseHandle(s_folder);
  s_folder = nullptr;
  s_folderPath[0] = 0;
}

void ResetFolderWatchEvent() { s_event = nullptr; }

void ArmFolderWatch() {
  if (!s_folder || s_pending) return;
  if (!s_event) s_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!s_event) return;
  ResetEvent(s_event);  // a cancelled request may have left it signalled
  std::memset(&s_overlapped, 0, sizeof s_overlapped);
  s_overlapped.hEvent = s_event;
  s_pending = ReadDirectoryChangesW(s_folder, s_buffer, sizeof s_buffer, FALSE, kWatchFilter, nullptr, &s_overlapped,
                                    nullptr) != 0;
}

bool ProcessFolderChanges() {
  if (!s_folder || !s_pending || !s_event) return false;
  if (WaitForSingleObject(s_event, 0) != WAIT_OBJECT_0) return false;
  DWORD bytes = 0;
  if (!GetOverlappedResult(s_folder, &s_overlapped, &bytes, FALSE)) {
    if (GetLastError() == ERROR_IO_INCOMPLETE) return false;  // still pending
    bytes = 0;
  }
  s_pending = false;
  bool applied = false;
  if (!g_settings.watchFolder || g_listHooks.renameInProgress() || g_batchFileOpActive || g_folderReloadRequest) {
    // Dropped: the program's own renames, or a reload that will read everything anyway.
    if (bytes > 0 && bytes <= sizeof s_buffer) TakeOwnRenamesIn(s_buffer, bytes);
  } else if (bytes == 0 || bytes > sizeof s_buffer) {
    // The system's buffer overflowed (or the request failed): the changes are unknown.
    g_folderReloadRequest = 1;
  } else {
    applied = ApplyBatch(s_buffer, bytes);
  }
  ArmFolderWatch();
  return applied;
}

bool WaitFileStable(const wchar_t* path) {
  bool measured = false;
  DWORD previous = 0;
  for (int i = 0; i < 60; ++i) {
    if (!PathExists(path)) return true;
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(f, nullptr);
    CloseHandle(f);
    // Two readings that agree: a file just created empty may still be growing.
    if (measured && size == previous) return true;
    measured = true;
    previous = size;
    Sleep(100);
  }
  return false;
}

void ServeFolderReloadRequest() {
  if (!g_folderReloadRequest || BusyFlag || g_listLoading) return;
  g_folderReloadRequest = 0;
  ReloadCurrentList(0);
}

bool MoveOwnFile(const wchar_t* from, const wchar_t* to) {
  const wchar_t* fromName = s_folder ? NameInWatchedFolder(from) : nullptr;
  const wchar_t* toName = fromName ? NameInWatchedFolder(to) : nullptr;
  // Noted before the move: the list thread may read its notification before MoveFileW returns.
  if (toName) NoteOwnRename(fromName, toName);
  if (MoveFileW(from, to)) return true;
  const DWORD error = GetLastError();
  if (toName) TakeOwnRename(fromName, toName);
  SetLastError(error);
  return false;
}
