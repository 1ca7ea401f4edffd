// The OLE objects of dragging files out of and dropping files onto the program's panes.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <cstdint>

constexpr UINT DropNotifyMessage = WM_APP + 100;
constexpr UINT RenderFormatMessage = WM_APP + 101;

// Handed to the window as lparam of DropNotifyMessage. Its words carry pointers and handles,
// so they are pointer-sized.
struct DropNotifyBlock {
  POINTL* point;          // screen coordinates, valid during the message only
  DWORD effect;           // the DROPEFFECT bits the window accepts
  DWORD keyState;
  UINT format;            // clipboard format obtained, 0 none
  HANDLE data;            // the medium's handle (an HDROP for CF_HDROP), valid during the message
  IDataObject* dataObject;
};

int32_t StartFileDrag(HWND owner, UINT renderMessage, const UINT* formats, int formatCount, DWORD allowedEffects);
bool RegisterFileDropTarget(HWND window, UINT notifyMessage, const UINT* formats, int formatCount);
void RevokeFileDropTarget(HWND window);
HGLOBAL BuildFileDropBlock(const wchar_t* const* paths, int count);

// The objects themselves, each created with one reference (used by the drag and by tests).
IDataObject* CreateFileDataObject(HWND owner, UINT renderMessage, const UINT* formats, int formatCount);
IDropSource* CreateFileDropSource();
IDropTarget* CreateFileDropTarget(HWND window, UINT notifyMessage, const UINT* formats, int formatCount);

// The file-list pane the drag feedback is given for (noted by the pane when it starts).
extern HWND g_dragListPane;
