#pragma once
bool ReplaceAllInPath(wchar_t* path, const wchar_t* oldText, const wchar_t* newText);
