#include "metadata/image_info_win.h"

#include <cstdio>
#include <vector>

#include "metadata/pure/wide_text.h"

namespace brn {
namespace {

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR and char16_t share their layout");

// The shared buffer holds at most 8,191 characters and the terminator.
constexpr size_t kWideTextUnits = 8192;

const char16_t* AsText(const WCHAR* text) { return reinterpret_cast<const char16_t*>(text); }

void CopyShared(const WCHAR* sharedText, std::vector<char16_t>& copy) {
  size_t n = 0;
  while (n < kWideTextUnits - 1 && sharedText[n]) ++n;
  copy.assign(AsText(sharedText), AsText(sharedText) + n);
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

bool FormatFileTime(const WCHAR* path, FileTimeKind kind, WCHAR* out, size_t outCap) {
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

}  // namespace

void FillImageInfoFromMetadata(ImageInfo& info, const WCHAR* sharedText, bool withTexts,
                               bool mamiyaThumbByDevelopment) {
  std::vector<char16_t> text;
  HANDLE lock = OpenSemaphoreW(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, L"sema_interp");
  if (lock) WaitForSingleObject(lock, INFINITE);
  CopyShared(sharedText, text);
  if (lock) {
    ReleaseSemaphore(lock, 1, nullptr);
    CloseHandle(lock);
  }
  FillImageInfoRecord(info, text.data(), mamiyaThumbByDevelopment);
  if (!withTexts) return;
  InfoTime writeTime;
  const InfoTime* time = nullptr;
  if (info.fileTimeLow != 0 || info.fileTimeHigh != 0) {
    FILETIME utc{info.fileTimeLow, info.fileTimeHigh};
    if (LocalTimeOf(utc, writeTime)) time = &writeTime;
  }
  FillImageInfoTexts(info, text.data(), time);
}

const WCHAR* GetInfoField(const ImageInfo& info, int column, bool focal35Display) {
  return reinterpret_cast<const WCHAR*>(GetInfoFieldText(info, column, focal35Display));
}

bool FormatFileCreationTime(const WCHAR* path, WCHAR* out, size_t outCap) {
  return FormatFileTime(path, FileTimeKind::kCreation, out, outCap);
}
bool FormatFileWriteTime(const WCHAR* path, WCHAR* out, size_t outCap) {
  return FormatFileTime(path, FileTimeKind::kWrite, out, outCap);
}
bool FormatFileAccessTime(const WCHAR* path, WCHAR* out, size_t outCap) {
  return FormatFileTime(path, FileTimeKind::kAccess, out, outCap);
}

}  // namespace brn
