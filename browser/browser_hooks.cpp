#include "browser/browser_hooks.h"

BrowserHooks g_browserHooks;
