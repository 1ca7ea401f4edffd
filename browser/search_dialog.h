// The search dialog: the criteria and where to look, kept in the settings block.
#pragma once
#include <windows.h>

#include "browser/collections.h"
#include "browser/pure/search_rules.h"

// The condition words of the search section, read through their names.
SearchConditions& SearchConditionsOf();

INT_PTR CALLBACK SearchDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SearchRootEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
void ApplySearchCriteriaToDialog(HWND dialog);
// The file-list pane's search command: the dialog, then the search when it ended with 1.
void RunSearchCommand();

// The name of the collection chosen when the dialog closed (empty: all collections), so that
// the choice survives a re-sorted collection table.
extern wchar_t g_searchChoiceName[kCollectionNameField];
