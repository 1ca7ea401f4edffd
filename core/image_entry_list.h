// The list of the files of the folder or collection shown: one ImageEntry per file, loaded
// from the folder (or the collection's path list) reusing the records of its thumbnail cache.
#pragma once
#include <windows.h>
#include <atomic>
#include <cstdint>

#include "core/app_globals.h"
#include "core/pure/image_entry.h"

// g_entryPointers holds the entries by entry number, g_displayOrder maps rows to entry numbers.
inline ImageEntry* EntryAt(int number) { return static_cast<ImageEntry*>(g_entryPointers[number]); }
inline ImageEntry* EntryAtRow(int row) { return EntryAt(g_displayOrder[row]); }
inline wchar_t* EntryPath(ImageEntry* e) { return reinterpret_cast<wchar_t*>(e->path); }
inline wchar_t* EntryName(ImageEntry* e) { return reinterpret_cast<wchar_t*>(e->name); }

extern int32_t g_entryCount;
extern int32_t g_listCount;
extern int32_t g_cursorRow;
extern int32_t g_listSource;           // 0 a folder, else the collection g_currentCollection
extern int32_t g_currentCollection;
extern int32_t g_requestedListSource;  // what the next load takes
extern int32_t g_requestedCollection;
extern wchar_t g_currentFolder[kPathChars];
extern std::atomic<uint32_t> g_cacheDirty;  // 1 cursor moved, 2 entries changed; set by several threads
extern int32_t g_savedRow;              // row kept for the folder being left (the cache header's)
extern int32_t g_restoreRow;            // row to select once the list is filled

// Raised whenever the entries are freed: a new list's entries can come back at the old ones'
// addresses, so an entry is known again only by this and its number.
extern std::atomic<uint32_t> g_entryGeneration;

extern uint8_t g_listLoadBlocked;   // set by panes around their own work
extern uint8_t g_listLoading;
extern uint8_t g_keepCheckMarks;    // set by the file-list pane before its own reloads
extern uint8_t g_regenerateAll;
// A load asked for while one ran: the idle loop replays it when the delay has run out.
extern uint8_t g_deferredLoadPending;
extern uint8_t g_deferredLoadForce;
extern int32_t g_deferredLoadDelay;

constexpr int kDeferredLoadTicks = 20;

// Loads the list again (through the program's list load), keeping its state in memory.
void ReloadCurrentList(uint8_t regenerate);
void LoadFolderEntries(const wchar_t* folder);
void LoadCollectionEntries();
// Adds the typed files matching "<folder>\<name>" (the folder watcher's new files).
void AddFileEntries(const wchar_t* folder, const wchar_t* name);
void PumpWhileLoading();
void MarkEntriesForRegeneration(ImageEntry* entry);
void FreeImageEntries();
void ResetImageEntryArrays();
void ReplacePathInCurrentCollection(const wchar_t* oldPath, const wchar_t* newPath);
