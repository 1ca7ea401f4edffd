#include "actions/action_table.h"

#include "core/settings.h"

int32_t g_keyActionState[kActionKeyCount];

int32_t ActionRowCount() {
  const int32_t n = g_settings.actionCount;
  return n < 0 ? 0 : n > kActionRowLimit ? kActionRowLimit : n;
}

ActionEntry* ActionRowAt(int32_t row) {
  if (row < 0 || row >= ActionRowCount()) return nullptr;
  return reinterpret_cast<ActionEntry*>(g_settings.actionTable[row].bytes);
}

void RebuildActionKeyTable() {
  auto* rows = reinterpret_cast<ActionEntry*>(g_settings.actionTable);
  int32_t count = g_settings.actionCount;
  SanitizeActionTable(rows, &count);
  g_settings.actionCount = count;
  RebuildActionKeyStates(rows, count, g_keyActionState);
}
