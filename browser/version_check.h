// The start-up check for a newer published version: one small HTTP GET of the version file.
#pragma once
#include <windows.h>
#include <cstdint>

// Fetches the URL ("http://" + host + path) into a new buffer of 2 x limit bytes, zeroed, holding
// the reply from its start (at most limit bytes). True when the reply was read to its end or the
// limit was reached; false (out null) on any failure, a status other than 200, or a host that
// does not end with g_versionHostSuffix (refused before any connection). Free with std::free.
bool HttpGetToBuffer(const wchar_t* userAgent, const wchar_t* url, uint8_t** out, uint32_t limit);

// 1 when the version file (application string 108) names a higher version than this program's;
// the published text is kept in g_publishedVersion.
uint8_t CheckForNewVersion();

// The end of the version server's host name (its domain suffix). Tests point it and the
// version-file address at a server of their own.
extern const wchar_t* g_versionHostSuffix;
