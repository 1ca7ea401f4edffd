#include "core/list_hooks.h"

ListHooks g_listHooks;
