#include "browser/version_check.h"

#include <wininet.h>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "core/app_globals.h"
#include "core/pure/settings_rules.h"

const wchar_t* g_versionHostSuffix = L".example";

namespace {
constexpr DWORD kTimeoutMs = 5000;
constexpr DWORD kChunkBytes = 2048;
constexpr int kPartChars = 128;  // host and path each fit 127 characters

bool EndsWithNoCase(const wchar_t* text, const wchar_t* tail) {
  size_t n = wcslen(text), m = wcslen(tail);
  return m > 0 && n >= m && _wcsicmp(text + n - m, tail) == 0;
}

struct InternetHandles {
  HINTERNET session = nullptr, connection = nullptr, request = nullptr;
  ~InternetHandles() {
    if (request) InternetCloseHandle(request);
    if (connection) InternetCloseHandle(connection);
    if (session) InternetCloseHandle(session);
  }
};
}  // namespace

bool HttpGetToBuffer(const wchar_t* userAgent, const wchar_t* url, uint8_t** out, uint32_t limit) {
  *out = nullptr;
  if (!url || limit == 0 || _wcsnicmp(url, L"http://", 7) != 0) return false;
  wchar_t host[kPartChars] = {}, path[kPartChars] = {}, extra[kPartChars] = {};
  URL_COMPONENTSW parts;
  std::memset(&parts, 0, sizeof parts);
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = kPartChars;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = kPartChars;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = kPartChars;
  if (!InternetCrackUrlW(url, 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP) return false;
  // Only the maker's server is asked: any other host is refused before a connection is made.
  if (!g_versionHostSuffix || !EndsWithNoCase(host, g_versionHostSuffix)) return false;
  wchar_t object[kPartChars];
  if (swprintf(object, kPartChars, L"%ls%ls", path, extra) < 0) return false;

  InternetHandles h;
  h.session = InternetOpenW(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!h.session) return false;
  DWORD timeout = kTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_CONTROL_SEND_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                       INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(h.session, option, &timeout, sizeof timeout);
  }
  h.connection = InternetConnectW(h.session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  if (!h.connection) return false;
  // Always from the server: a cached copy could hide a new version.
  h.request = HttpOpenRequestW(h.connection, L"GET", object[0] ? object : nullptr, nullptr, nullptr, nullptr,
                               INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
  if (!h.request) return false;
  if (!HttpSendRequestW(h.request, nullptr, 0, nullptr, 0)) return false;
  DWORD status = 0, statusSize = sizeof status;
  if (!HttpQueryInfoW(h.request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr) ||
      status != 200) {
    return false;
  }

  uint8_t* buffer = static_cast<uint8_t*>(std::calloc(2, limit));
  if (!buffer) return false;
  uint32_t total = 0;
  while (total < limit) {
    // Never more than fits: a long reply ends at the limit with what was read kept.
    DWORD want = limit - total < kChunkBytes ? limit - total : kChunkBytes;
    DWORD got = 0;
    if (!InternetReadFile(h.request, buffer + total, want, &got)) {
      std::free(buffer);
      return false;
    }
    if (got == 0) break;
    total += got;
  }
  *out = buffer;
  return true;
}

uint8_t CheckForNewVersion() {
  uint8_t* reply = nullptr;
  if (!g_versionFileUrl || !HttpGetToBuffer(g_productName, g_versionFileUrl, &reply, 1024)) return 0;
  wchar_t text[6] = {};
  int n = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(reply), 5, text, 5);
  text[n > 0 ? n : 0] = 0;
  std::free(reply);
  // The file's line end is not part of the version the notice shows.
  for (wchar_t* p = text; *p; ++p) {
    if (*p < L' ') {
      *p = 0;
      break;
    }
  }
  wcscpy(g_publishedVersion, text);
  const double published = ParseVersionNumber(reinterpret_cast<const char16_t*>(text), 5);
  const double running =
      g_programVersion ? ParseVersionNumber(reinterpret_cast<const char16_t*>(g_programVersion), 100) : 0;
  return published > running ? 1 : 0;
}
