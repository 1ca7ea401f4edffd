#include "actions/recycle_restore.h"

#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>
#include <functional>
#include <vector>

#include "actions/pure/recycle_records.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/path_utils.h"

namespace {
constexpr DWORD kLargestBookkeepingFile = 64u << 20;

// Calls the visitor with the on-disk path of every item of the Recycle Bin until it answers
// false.
void WalkRecycleBin(const std::function<bool(const wchar_t*)>& visit) {
  IMalloc* allocator = nullptr;
  LPITEMIDLIST binList = nullptr;
  IShellFolder* desktop = nullptr;
  IShellFolder* bin = nullptr;
  IEnumIDList* items = nullptr;
  if (SUCCEEDED(CoGetMalloc(1, &allocator)) && SUCCEEDED(SHGetFolderLocation(nullptr, CSIDL_BITBUCKET, nullptr, 0, &binList)) &&
      SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
      SUCCEEDED(desktop->BindToObject(binList, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&bin))) &&
      bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items) == S_OK &&
      items) {
    LPITEMIDLIST item = nullptr;
    ULONG fetched = 0;
    bool go = true;
    while (go && items->Next(1, &item, &fetched) == S_OK && fetched == 1) {
      STRRET name{};
      wchar_t path[MAX_PATH] = {};
      if (SUCCEEDED(bin->GetDisplayNameOf(item, SHGDN_FORPARSING, &name)) &&
          SUCCEEDED(StrRetToBufW(&name, item, path, MAX_PATH)))
        go = visit(path);
      allocator->Free(item);
    }
  }
  if (items) items->Release();
  if (bin) bin->Release();
  if (desktop) desktop->Release();
  if (binList && allocator) allocator->Free(binList);
  if (allocator) allocator->Release();
}

bool ReadWhole(const wchar_t* path, std::vector<uint8_t>* out) {
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart >= 0 && size.QuadPart <= kLargestBookkeepingFile;
  if (ok) {
    out->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = out->empty() || (ReadFile(h, out->data(), static_cast<DWORD>(out->size()), &read, nullptr) && read == out->size());
  }
  CloseHandle(h);
  return ok;
}

const wchar_t* NamePart(const wchar_t* path) {
  const wchar_t* slash = wcsrchr(path, L'\\');
  return slash ? slash + 1 : path;
}

bool MoveBack(const wchar_t* from, const wchar_t* to) {
  wchar_t source[MAX_PATH + 2] = {}, target[MAX_PATH + 2] = {};
  if (wcslen(from) >= MAX_PATH || wcslen(to) >= MAX_PATH) return false;
  wcscpy(source, from);
  wcscpy(target, to);
  SHFILEOPSTRUCTW op{};
  op.hwnd = g_hwndMain;
  op.wFunc = FO_MOVE;
  op.pFrom = source;
  op.pTo = target;
  op.fFlags = FOF_SILENT;
  return ShellFileOperationDone(RunShellFileOperationDelayed(&op), op);
}

bool OpensForReading(const wchar_t* path) {
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}
}  // namespace

bool RestoreFromInfo2RecycleBin(const wchar_t* path) {
  if (wcslen(path) < 3 || path[1] != L':') return false;
  const wchar_t drive = static_cast<wchar_t>(FoldLower(path[0]));
  wchar_t info2[MAX_PATH] = {};
  bool found = false;
  WalkRecycleBin([&](const wchar_t* item) {
    const wchar_t* name = NamePart(item);
    if (name[0] == 0 || static_cast<wchar_t>(FoldLower(name[1])) != drive) return true;
    const size_t folder = static_cast<size_t>(name - item);
    if (folder + 6 > MAX_PATH) return false;
    wcsncpy(info2, item, folder);
    wcscat(info2, L"INFO2");
    found = true;
    return false;
  });
  if (!found) return false;
  std::vector<uint8_t> data;
  if (!ReadWhole(info2, &data)) return false;
  const int32_t number = FindInfo2RecordNumber(data.data(), data.size(), U16(path));
  if (number < 0) return false;
  wchar_t copyName[64];
  if (!BuildInfo2CopyName(static_cast<char16_t>(drive), number, U16(path), U16(copyName), 64)) return false;
  wchar_t copyPath[MAX_PATH] = {};
  WalkRecycleBin([&](const wchar_t* item) {
    wchar_t lower[MAX_PATH] = {};
    wcsncpy(lower, NamePart(item), MAX_PATH - 1);
    ToLowerInPlace(U16(lower));
    if (wcscmp(lower, copyName) != 0) return true;
    wcsncpy(copyPath, item, MAX_PATH - 1);
    return false;
  });
  if (!copyPath[0] || !MoveBack(copyPath, path)) return false;
  return OpensForReading(path);
}

bool RestoreFromVistaRecycleBin(const wchar_t* path) {
  wchar_t wanted[MAX_PATH] = {};
  if (wcslen(path) >= MAX_PATH) return false;
  wcscpy(wanted, path);
  ToLowerInPlace(U16(wanted));
  wchar_t copyPath[MAX_PATH] = {}, companion[MAX_PATH] = {};
  uint64_t newest = 0;
  // Every match is looked at: a path deleted twice comes back as its newest deletion.
  WalkRecycleBin([&](const wchar_t* item) {
    const wchar_t* name = NamePart(item);
    if (!IsDollarRName(U16(name))) return true;
    wchar_t dollarI[MAX_PATH] = {};
    wcsncpy(dollarI, item, MAX_PATH - 1);
    dollarI[name - item + 1] = L'I';
    std::vector<uint8_t> data;
    wchar_t recorded[MAX_PATH] = {};
    if (!ReadWhole(dollarI, &data) || !ReadDollarIPath(data.data(), data.size(), U16(recorded), MAX_PATH)) return true;
    ToLowerInPlace(U16(recorded));
    if (wcscmp(recorded, wanted) != 0) return true;
    const uint64_t deleted = DollarIDeletionTime(data.data(), data.size());
    if (copyPath[0] && deleted < newest) return true;
    newest = deleted;
    wcscpy(copyPath, item);
    wcscpy(companion, dollarI);
    return true;
  });
  if (!copyPath[0] || !MoveBack(copyPath, path) || !OpensForReading(path)) return false;
  DeleteFileW(companion);
  return true;
}

bool RestoreFromRecycleBin(const wchar_t* path) {
  return g_osClass < 9 ? RestoreFromInfo2RecycleBin(path) : RestoreFromVistaRecycleBin(path);
}
