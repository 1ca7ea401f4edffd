#include "core/pending_undo_path.h"

wchar_t g_pendingUndoPath[260];
