// Text rules of the navigation pane: display paths of the shell tree, folder targets of the
// folder commands and the search-result collection names.
#pragma once
#include <cstddef>
#include <cstdint>

// Takes the text before the first "\" off `path` into `first` (the whole path when there is
// none). False for an empty path or a component that does not fit into `firstCapacity`.
bool SplitFirstPathComponent(char16_t* path, char16_t* first, size_t firstCapacity);

enum class ShellPathKind { kNone, kDrive, kUnc };
// A drive path gives its root "X:\" and the rest from its third character ("\a\b" or "");
// a UNC path "\\server\share\x" gives the server part "\\server" and the rest after its "\"
// ("share\x"). Anything else (relative paths, "\\" alone) is kNone.
ShellPathKind SplitShellPath(const char16_t* path, char16_t* root, size_t rootCapacity, char16_t* rest,
                             size_t restCapacity);

// Appends `text` to the terminated `out`; false (out unchanged) when it would not fit.
bool AppendBounded(char16_t* out, size_t capacity, const char16_t* text);

// The drive root "X:\" named by a tree item text such as "System (C:)" or "C:"; false when the
// text names no drive letter.
bool DriveRootFromItemText(const char16_t* text, char16_t* out, size_t capacity);

// Recovers a file-system path from a display path whose drive component names its drive
// ("Desktop\My Computer\System (C:)\a\b" -> "C:\a\b"); false when no component does.
bool FileSystemPathFromDisplayPath(const char16_t* display, char16_t* out, size_t capacity);

// Folder delete and rename act only on an absolute folder below a drive root or a share.
bool IsFolderCommandTarget(const char16_t* path);

// `folder` + "\" + `name` into `out`; false when the name is empty or holds "\" or the result
// would reach 260 characters.
bool BuildChildFolderPath(const char16_t* folder, const char16_t* name, char16_t* out, size_t capacity);

// The renamed folder: `oldPath` cut after its last "\" plus `newName`; false when the old
// path holds no "\" or the child rule above refuses.
bool BuildRenamedFolderPath(const char16_t* oldPath, const char16_t* newName, char16_t* out, size_t capacity);

// Collections made by the search carry this four-character prefix ("検索結果").
bool IsSearchResultName(const char16_t* name);
