#include "core/pure/window_counts.h"

const int32_t g_paneCountByLayout[5] = {1, 2, 2, 3, 4};

int32_t PaneCountOfLayout(int32_t layout) {
  return (layout >= 0 && layout < 5) ? g_paneCountByLayout[layout] : 1;
}
