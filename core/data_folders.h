// The folders the program writes its own files to, below the data folder of the settings.
#pragma once

// Each writes "<data folder>\<name>\" into a 260-character buffer; false (empty text) when the
// path would not fit. The folder is not created here.
bool GetMailFolder(wchar_t* out);
bool GetCacheFolder(wchar_t* out);
bool GetCollectionFolder(wchar_t* out);
bool GetCaptureFolder(wchar_t* out);
