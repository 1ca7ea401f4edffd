#include "core/entry_queries.h"

#include <cwchar>

#include "core/image_entry_list.h"
#include "core/pure/image_entry.h"
#include "core/app_globals.h"
#include "core/viewer_thread_state.h"

namespace {
const ImageEntry* Entry(int32_t entry) {
  if (entry < 0 || entry >= g_entryCount || !g_entryPointers) return nullptr;
  return EntryAt(entry);
}
}  // namespace

int32_t GetRowEntry(int32_t row) {
  if (row < 0 || row >= g_listCount || !g_displayOrder) return -1;
  const int32_t entry = g_displayOrder[row];
  return entry < g_entryCount ? entry : -1;
}

bool IsEntryPresent(int32_t entry) {
  const ImageEntry* e = Entry(entry);
  return e && (e->presence & kEntryPresent);
}

bool IsRowEntryPresent(int32_t row) { return IsEntryPresent(GetRowEntry(row)); }

bool IsRawEntry(int32_t entry) {
  const ImageEntry* e = Entry(entry);
  return e && (e->info.fileTypeFlag & kRawTypeMask);
}

bool IsEntryChecked(int32_t entry) {
  const ImageEntry* e = Entry(entry);
  return e && e->checked;
}

bool ReadRowLevelFacts(int32_t row, ImageLevelInputs* facts) {
  const ImageEntry* e = Entry(GetRowEntry(row));
  if (!e) return false;
  facts->developingThisEntry = g_rawViewerState != 3 && ViewerDevelopEntry == e;
  facts->hasFullDevelopment = e->fullLevelSize > 0 || e->levelImages[2] != nullptr;
  facts->fileTypeFlag = e->info.fileTypeFlag;
  facts->previewSize = static_cast<uint32_t>(e->info.previewSize);
  return true;
}

void GetEntryPathText(int32_t entry, bool fullPath, wchar_t* out, int32_t capacity) {
  if (capacity <= 0) return;
  out[0] = 0;
  const ImageEntry* e = Entry(entry);
  if (!e) return;
  const char16_t* text = fullPath || !e->name ? e->path : e->name;
  wcsncpy(out, reinterpret_cast<const wchar_t*>(text), capacity - 1);
  out[capacity - 1] = 0;
}
