#include "metadata/image_info_win.h"

#include "core/semaphore_lock.h"

#include <cstdio>
#include <vector>

#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/settings.h"
#include "metadata/metadata_reader.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on both sides");

// The list control of the file-list pane.
constexpr int kFileListControlId = 313;

// The shared buffer holds at most 8,191 characters and the terminator.
constexpr size_t kWideTextUnits = 8192;

const char16_t* AsText(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

void CopyShared(const wchar_t* sharedText, std::vector<char16_t>& copy) {
  size_t n = 0;
  while (sharedText && n < kWideTextUnits - 1 && sharedText[n]) ++n;
  copy.assign(AsText(sharedText), AsText(sharedText) + n);  // n is 0 without a buffer
  copy.push_back(0);
}

bool LocalTimeOf(const FILETIME& utc, InfoTime& out) {
  FILETIME local;
  SYSTEMTIME fields;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) return false;
  out = {fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond};
  return true;
}

enum class FileTimeKind { kCreation, kWrite, kAccess };

bool FormatFileTime(const wchar_t* path, FileTimeKind kind, wchar_t* out, size_t outCap) {
  if (outCap == 0) return false;
  out[0] = 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION facts;
  BOOL ok = GetFileInformationByHandle(file, &facts);
  CloseHandle(file);
  if (!ok) return false;
  const FILETIME& chosen = kind == FileTimeKind::kCreation ? facts.ftCreationTime
                           : kind == FileTimeKind::kWrite  ? facts.ftLastWriteTime
                                                           : facts.ftLastAccessTime;
  InfoTime t;
  if (!LocalTimeOf(chosen, t)) return false;
  _snwprintf(out, outCap, L"%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  out[outCap - 1] = 0;
  return true;
}

void FillImageInfoFromOwnText(ImageInfo& info, char16_t* text, bool withTexts) {
  FillImageInfoRecord(info, text, g_settings.mamiyaThumbsByDevelopment != 0);
  if (!withTexts) return;
  InfoTime writeTime;
  const InfoTime* time = nullptr;
  if (info.fileTimeLow != 0 || info.fileTimeHigh != 0) {
    FILETIME utc{info.fileTimeLow, info.fileTimeHigh};
    if (LocalTimeOf(utc, writeTime)) time = &writeTime;
  }
  FillImageInfoTexts(info, text, time);
}
}  // namespace

void FillImageInfoFromText(ImageInfo& info, const wchar_t* sharedText, bool withTexts) {
  std::vector<char16_t> text;
  {
    SemaphoreLock lock(kSemaInterp);
    CopyShared(sharedText, text);
  }
  FillImageInfoFromOwnText(info, text.data(), withTexts);
}

void RereadEntryRecord(int32_t entry) {
  if (entry < 0 || entry >= g_entryCount) return;
  ImageEntry* e = EntryAt(entry);
  if (!e || !(e->flags & kEntryInfoRead)) return;
  std::vector<wchar_t> text(kWideTextUnits, 0);
  WIN32_FILE_ATTRIBUTE_DATA facts;
  if (!GetFileAttributesExW(EntryPath(e), GetFileExInfoStandard, &facts)) return;
  // A file the reader finds nothing in is filled as the list thread fills it, from no text, so
  // its size and date are the new ones; one that cannot be opened now keeps its record.
  if (!DumpImageMetadataInto(EntryPath(e), text.data(), text.size())) {
    HANDLE file = CreateFileW(EntryPath(e), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    CloseHandle(file);
  }
  HWND pane = g_windowSlots[kSlotFileListPane];
  const bool withTexts = pane && GetDlgItem(pane, kFileListControlId);
  // The list thread and its workers write the picture's sizes and histogram into the record under
  // "sema": the copy, the refill and the store are one step under it, or the store would put back
  // what they wrote meanwhile.
  {
    SemaphoreLock lock(kSemaImage);
    ImageInfo fresh = e->info;
    fresh.fileSize = facts.nFileSizeLow;
    fresh.fileTimeLow = facts.ftLastWriteTime.dwLowDateTime;
    fresh.fileTimeHigh = facts.ftLastWriteTime.dwHighDateTime;
    FillImageInfoFromOwnText(fresh, reinterpret_cast<char16_t*>(text.data()), withTexts);
    e->info = fresh;
    g_cacheDirty |= 2;  // the cache file keeps the new record
  }
  // Its size and date in the list are the new ones; drawn outside the lock the row's paint takes.
  RedrawEntryRow(entry);
}

const wchar_t* GetInfoField(const ImageInfo& info, int column) {
  return W(GetInfoFieldText(info, column, g_settings.focalLength35mm != 0));
}

bool FormatFileCreationTime(const wchar_t* path, wchar_t* out, size_t outCap) {
  return FormatFileTime(path, FileTimeKind::kCreation, out, outCap);
}
bool FormatFileWriteTime(const wchar_t* path, wchar_t* out, size_t outCap) {
  return FormatFileTime(path, FileTimeKind::kWrite, out, outCap);
}
bool FormatFileAccessTime(const wchar_t* path, wchar_t* out, size_t outCap) {
  return FormatFileTime(path, FileTimeKind::kAccess, out, outCap);
}

