// The Windows version class, computed once at start-up into g_osClass (core/app_globals.h).
#pragma once

// 7 and above: ClearType fonts; 9 and above: newer Recycle Bin records and rebar band sizes.
int GetOsClass();
