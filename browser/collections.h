// Named collections: ordered path lists browsed like folders, one ".co" file each.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

constexpr int kMaxCollections = 256;
constexpr int kCollectionNameField = 66;
constexpr UINT kCollectionsChangedCommand = 268;

struct CollectionRecord {
  wchar_t name[kCollectionNameField];
  wchar_t* list;  // fixed global block: every path followed by U+000A, then U+0000; null when empty
  HTREEITEM treeItem;
  uint8_t unread;  // its file is there but was not read: it is never written over
};

extern CollectionRecord* g_collections;
extern int32_t g_collectionCount;
extern uint8_t g_collectionReloadPending;
extern uint8_t g_skipCollectionOrderOnce;
extern wchar_t g_collectionNameText[128];

void LoadCollections();
void SaveCollections();
// The new index; -1 when the exact name exists, or a file of the name that is not loaded (past
// the 256 the table holds); -2 when the table is full or the name empty;
// -3 when the name cannot be a file name (the user has been told).
int CreateCollection(const wchar_t* name);
void RenameCollection(int index, const wchar_t* newName);
void DeleteCollection(int index);
// True when appended; false for a duplicate, a bad index, an unlisted type or no memory.
bool AddFileToCollection(int index, const wchar_t* path);
void AddSelectionToCollection(int index);
void RemoveSelectionFromCollection(int index);
void KeepCollectionOrder();
// The navigation pane's name for the same step.
inline void StoreCollectionOrder() { KeepCollectionOrder(); }
void SelectNavigationTab(int tab);
// Index of the collection with exactly this name, -1 none (indexes move when the table changes).
int FindCollectionByName(const wchar_t* name);
// The list of the collection shown, null when there is none.
const wchar_t* CurrentCollectionList();
// Replaces the list of a collection by a copy of the text (empty text: no list). False, list
// unchanged, when memory runs out.
bool SetCollectionList(int index, const wchar_t* text);
void SortCollectionsByName(CollectionRecord* records, int first, int last);
void FreeCollections();
INT_PTR CALLBACK CollectionNameDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
