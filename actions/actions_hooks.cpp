#include "actions/actions_hooks.h"

ActionsHooks g_actionsHooks;
