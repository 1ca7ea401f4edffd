// Handing the selected pictures (or resized copies of them) to the user's mail program
// through Simple MAPI.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

void SendSelectionByMail(HWND owner);

// One run's attachments: the '?'-separated list and the copy names already used.
struct MailAttachmentList {
  std::vector<char16_t> text;  // kMailListUnits units, zeroed
  std::vector<std::u16string> copyNames;
  MailAttachmentList();
};
// Byte size of the file attached (the copy or the picture's own file); 0 when nothing was.
uint64_t AddMailAttachment(int32_t entry, MailAttachmentList* list);
// True when MAPISendMail of the library answered SUCCESS_SUCCESS. library: null for the
// system's mapi32.dll.
bool SendImagesByMail(const MailAttachmentList& list, int32_t count, const wchar_t* library = nullptr);
