#include "browser/status_bar.h"

#include <commctrl.h>
#include <cwchar>
#include <vector>

#include "browser/main_window.h"
#include "browser/pure/idle_rules.h"
#include "browser/pure/main_layout.h"
#include "browser/pure/status_sums.h"
#include "browser/toolbar_state.h"
#include "core/app_globals.h"
#include "core/entry_queries.h"
#include "core/image_entry_list.h"
#include "core/settings.h"


namespace {
wchar_t* Pending(int part) { return g_statusTexts + part * kStatusPartChars; }
wchar_t* Shown(int part) { return g_statusTextsShown + part * kStatusPartChars; }

void SendPartNow(int part, const wchar_t* text) {
  if (g_statusBar) SendMessageW(g_statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text));
}
}  // namespace

void CreateStatusBar(HWND parent, HINSTANCE instance) {
  g_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP | CCS_BOTTOM,
                                0, 0, 0, 0, parent, nullptr, instance, nullptr);
  for (int32_t& e : g_statusPartEdges) e = 0;
  if (g_statusBar) SendMessageW(g_statusBar, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(g_statusPartEdges));
}

void SetStatusPartEdges(int32_t clientWidth) {
  ComputeStatusPartEdges(clientWidth, g_statusPartEdges);
  int edges[kStatusPartCount];
  for (int i = 0; i < kStatusPartCount; ++i) edges[i] = g_statusPartEdges[i];
  if (g_statusBar) SendMessageW(g_statusBar, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(edges));
}

void PushStatusTexts() {
  if (!g_statusTexts || !g_statusTextsShown) return;
  if (wcscmp(Pending(5), Shown(5)) != 0) UpdateToolbarButtons(8);
  for (int part = 0; part < kStatusPartCount; ++part) {
    if (wcscmp(Pending(part), Shown(part)) == 0) continue;
    wcscpy(Shown(part), Pending(part));
    SendPartNow(part, Shown(part));
  }
}

int FormatByteSize(wchar_t* out, int64_t bytes) {
  char text[64];
  int n = FormatByteSizeText(text, sizeof text, bytes);
  for (int i = 0; i <= n; ++i) out[i] = static_cast<unsigned char>(text[i]);
  return n;
}

void UpdateStatusCounters(uint32_t flags) {
  wchar_t text[128], size[64];
  const HWND list = GetListControl();
  const int rows = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  const bool hasCursor = rows > 0 && g_cursorRow >= 0;
  if (flags & (0x40 | 0x80 | 0x200)) {
    std::vector<StatusRow> facts(rows > 0 ? rows : 0);
    const bool listShown = (g_viewMode & 1) != 0;
    for (int row = 0; row < rows; ++row) {
      StatusRow& f = facts[row];
      f.selected = listShown && (SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED);
      const int32_t entry = GetRowEntry(row);
      if (entry < 0) continue;
      const ImageEntry* e = EntryAt(entry);
      f.presence = e->presence;
      f.size = e->info.fileSize;
    }
    const StatusSums sums = SumStatusRows(facts.data(), rows, listShown, hasCursor ? g_cursorRow : -1);
    const int32_t selected = sums.selected;
    const int64_t selectedBytes = sums.selectedBytes, totalBytes = sums.totalBytes;
    if (flags & 0x40) {
      swprintf(text, 128, L"\tSEL:%d", selected);
      SetStatusPartText(6, text);
    }
    if (flags & 0x80) {
      FormatByteSize(size, selectedBytes);
      swprintf(text, 128, L"\tSIZE:%ls", size);
      SetStatusPartText(7, text);
    }
    if (flags & 0x200) {
      FormatByteSize(size, totalBytes);
      swprintf(text, 128, L"\tTOTAL:%ls", size);
      SetStatusPartText(9, text);
    }
  }
  if (flags & 0x100) {
    const int position = hasCursor ? g_cursorRow + 1 : 0, count = hasCursor ? g_listCount : 0;
    swprintf(text, 128, L"\tFILE:%d/%d", position, count);
    SetStatusPartText(8, text);
    swprintf(text, 128, L"%03d/%03d", position, count);
    SetRebarBandText(3, text);
  }
  if (flags & 2) {
    swprintf(text, 128, L"\tCOPY:%d", g_copyCount);
    SetStatusPartText(1, text);
  }
  if (flags & 4) {
    swprintf(text, 128, L"\tMOVE:%d", g_moveCount);
    SendPartNow(2, text);
    SetStatusPartText(2, text);
  }
  if (flags & 8) {
    swprintf(text, 128, L"\tDEL:%d", g_deleteCount);
    SendPartNow(3, text);
    SetStatusPartText(3, text);
  }
}
