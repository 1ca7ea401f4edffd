// A stand-in for the mail program's Simple MAPI, for tests only: MAPISendMail writes what it
// was given to the file named by BRN_FAKE_MAPI_LOG and answers SUCCESS_SUCCESS. Wine's own
// mapi32 answers success without a mail program, so it could not show what was sent.
#include <windows.h>
#include <mapi.h>

#include <cstdio>

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                                                           FLAGS flags, ULONG reserved) {
  char logPath[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("BRN_FAKE_MAPI_LOG", logPath, MAX_PATH)) return MAPI_E_FAILURE;
  FILE* log = std::fopen(logPath, "ab");
  if (!log) return MAPI_E_FAILURE;
  std::fprintf(log, "session=%llu ui=%llu flags=%lu reserved=%lu\n", static_cast<unsigned long long>(session),
               static_cast<unsigned long long>(uiParam), static_cast<unsigned long>(flags),
               static_cast<unsigned long>(reserved));
  if (message) {
    std::fprintf(log, "subject=[%s] note=[%s] recipients=%lu files=%lu\n",
                 message->lpszSubject ? message->lpszSubject : "(null)",
                 message->lpszNoteText ? message->lpszNoteText : "(null)", static_cast<unsigned long>(message->nRecipCount),
                 static_cast<unsigned long>(message->nFileCount));
    for (ULONG i = 0; i < message->nFileCount && message->lpFiles; ++i) {
      const MapiFileDesc& f = message->lpFiles[i];
      std::fprintf(log, "file=%s|pos=%lu|name=%s|type=%s\n", f.lpszPathName ? f.lpszPathName : "(null)",
                   static_cast<unsigned long>(f.nPosition), f.lpszFileName ? f.lpszFileName : "(null)",
                   f.lpFileType ? "set" : "(null)");
    }
  }
  std::fclose(log);
  return SUCCESS_SUCCESS;
}
