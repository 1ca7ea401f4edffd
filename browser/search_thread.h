// The search: its results collection, the progress window and the thread that walks and
// tests the files.
#pragma once
#include <windows.h>
#include <cstdint>

#include "browser/collections.h"

extern HANDLE g_searchThread;
extern volatile int32_t g_searchState;      // 0 running, 1 stop requested, 3 finished
extern volatile int32_t g_searchTotal;      // 2,147,483,647 while counting
extern volatile int32_t g_searchCounted;
extern volatile int32_t g_searchProcessed;
extern volatile int32_t g_searchFound;
extern int32_t g_searchResults;             // index of the results collection
extern uint8_t g_searchCancelled;
extern uint32_t g_searchTick;
// The results collection's name: indexes move whenever the table changes.
extern wchar_t g_searchResultsName[kCollectionNameField];

constexpr UINT_PTR kSearchTimerId = 32761;

// Creates "検索結果N" and opens the progress window, which runs the search.
void StartSearch();
INT_PTR CALLBACK SearchProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void StartSearchThread();
void StopSearchThread();
unsigned __stdcall SearchThreadProc(void*);

// True when the file meets every criterion that is not "全て" (stored criteria).
bool MatchSearchCriteria(const wchar_t* path);
