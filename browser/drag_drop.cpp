#include "browser/drag_drop.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>

#include "browser/drag_feedback.h"
#include "browser/file_list_pane.h"
#include "browser/list_drop_mark.h"
#include "resources/resource.h"

HWND g_dragListPane = nullptr;

namespace {

// The objects are plain blocks whose first word points at a static function table laid out
// as the interface's vtable: no C++ classes, so the layout is exactly what OLE calls through.
using QueryInterfaceFn = HRESULT(STDMETHODCALLTYPE*)(void*, REFIID, void**);
using RefFn = ULONG(STDMETHODCALLTYPE*)(void*);

FORMATETC MakeFormatEtc(UINT format) {
  FORMATETC f{};
  f.cfFormat = static_cast<CLIPFORMAT>(format);
  f.ptd = nullptr;
  f.dwAspect = DVASPECT_CONTENT;
  f.lindex = -1;
  switch (format) {
    case CF_BITMAP: f.tymed = TYMED_GDI; break;
    case CF_METAFILEPICT: f.tymed = TYMED_MFPICT; break;
    case CF_ENHMETAFILE: f.tymed = TYMED_ENHMF; break;
    default: f.tymed = TYMED_HGLOBAL; break;
  }
  return f;
}

void* AllocZeroed(size_t bytes) { return reinterpret_cast<void*>(GlobalAlloc(GPTR, bytes)); }
void FreeBlock(void* p) {
  if (p) GlobalFree(reinterpret_cast<HGLOBAL>(p));
}

// ---- FileDataObject ----
struct DataObjectVtbl {
  QueryInterfaceFn QueryInterface;
  RefFn AddRef, Release;
  HRESULT(STDMETHODCALLTYPE* GetData)(void*, FORMATETC*, STGMEDIUM*);
  HRESULT(STDMETHODCALLTYPE* GetDataHere)(void*, FORMATETC*, STGMEDIUM*);
  HRESULT(STDMETHODCALLTYPE* QueryGetData)(void*, FORMATETC*);
  HRESULT(STDMETHODCALLTYPE* GetCanonicalFormatEtc)(void*, FORMATETC*, FORMATETC*);
  HRESULT(STDMETHODCALLTYPE* SetData)(void*, FORMATETC*, STGMEDIUM*, BOOL);
  HRESULT(STDMETHODCALLTYPE* EnumFormatEtc)(void*, DWORD, IEnumFORMATETC**);
  HRESULT(STDMETHODCALLTYPE* DAdvise)(void*, FORMATETC*, DWORD, IAdviseSink*, DWORD*);
  HRESULT(STDMETHODCALLTYPE* DUnadvise)(void*, DWORD);
  HRESULT(STDMETHODCALLTYPE* EnumDAdvise)(void*, IEnumSTATDATA**);
};

struct FileDataObject {
  const DataObjectVtbl* vtbl;
  LONG refs;
  LONG formatCount;
  FORMATETC* formats;
  HWND owner;
  UINT renderMessage;
};

// ---- FormatEnumerator ----
struct EnumVtbl {
  QueryInterfaceFn QueryInterface;
  RefFn AddRef, Release;
  HRESULT(STDMETHODCALLTYPE* Next)(void*, ULONG, FORMATETC*, ULONG*);
  HRESULT(STDMETHODCALLTYPE* Skip)(void*, ULONG);
  HRESULT(STDMETHODCALLTYPE* Reset)(void*);
  HRESULT(STDMETHODCALLTYPE* Clone)(void*, IEnumFORMATETC**);
};

struct FormatEnumerator {
  const EnumVtbl* vtbl;
  LONG refs;
  FileDataObject* owner;
  ULONG cursor;
  ULONG count;
  FORMATETC* formats;
};

// ---- FileDropSource ----
struct DropSourceVtbl {
  QueryInterfaceFn QueryInterface;
  RefFn AddRef, Release;
  HRESULT(STDMETHODCALLTYPE* QueryContinueDrag)(void*, BOOL, DWORD);
  HRESULT(STDMETHODCALLTYPE* GiveFeedback)(void*, DWORD);
};

struct FileDropSource {
  const DropSourceVtbl* vtbl;
  LONG refs;
  DWORD startKeys;
  DWORD dragButton;
};

// ---- FileDropTarget ----
struct DropTargetVtbl {
  QueryInterfaceFn QueryInterface;
  RefFn AddRef, Release;
  HRESULT(STDMETHODCALLTYPE* DragEnter)(void*, IDataObject*, DWORD, POINTL, DWORD*);
  HRESULT(STDMETHODCALLTYPE* DragOver)(void*, DWORD, POINTL, DWORD*);
  HRESULT(STDMETHODCALLTYPE* DragLeave)(void*);
  HRESULT(STDMETHODCALLTYPE* Drop)(void*, IDataObject*, DWORD, POINTL, DWORD*);
};

struct FileDropTarget {
  const DropTargetVtbl* vtbl;
  LONG refs;
  HWND window;
  UINT notifyMessage;
  UINT* formats;
  LONG formatCount;
  DropNotifyBlock block;
};

template <typename T>
HRESULT QueryOwn(void* self, REFIID riid, void** out, REFIID own) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, own)) {
    *out = self;
    InterlockedIncrement(&static_cast<T*>(self)->refs);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

// Data object

HRESULT STDMETHODCALLTYPE DataQueryInterface(void* self, REFIID riid, void** out) {
  return QueryOwn<FileDataObject>(self, riid, out, IID_IDataObject);
}
ULONG STDMETHODCALLTYPE DataAddRef(void* self) { return InterlockedIncrement(&static_cast<FileDataObject*>(self)->refs); }
ULONG STDMETHODCALLTYPE DataRelease(void* self) {
  auto* o = static_cast<FileDataObject*>(self);
  LONG n = InterlockedDecrement(&o->refs);
  if (n == 0) {
    FreeBlock(o->formats);
    FreeBlock(o);
  }
  return n;
}

const FORMATETC* FindFormat(const FileDataObject* o, CLIPFORMAT cf) {
  for (LONG i = 0; i < o->formatCount; ++i)
    if (o->formats[i].cfFormat == cf) return &o->formats[i];
  return nullptr;
}

HRESULT STDMETHODCALLTYPE DataGetData(void* self, FORMATETC* format, STGMEDIUM* medium) {
  auto* o = static_cast<FileDataObject*>(self);
  if (!format || !medium) return E_INVALIDARG;
  const FORMATETC* f = FindFormat(o, format->cfFormat);
  if (!f) return DV_E_FORMATETC;
  HANDLE handle = nullptr;
  SendMessageW(o->owner, o->renderMessage, f->cfFormat, reinterpret_cast<LPARAM>(&handle));
  if (!handle) return STG_E_MEDIUMFULL;
  medium->tymed = f->tymed;
  medium->hGlobal = reinterpret_cast<HGLOBAL>(handle);
  medium->pUnkForRelease = nullptr;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE DataNotImpl2(void*, FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE DataQueryGetData(void* self, FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  return FindFormat(static_cast<FileDataObject*>(self), format->cfFormat) ? S_OK : DV_E_FORMATETC;
}
HRESULT STDMETHODCALLTYPE DataCanonical(void*, FORMATETC*, FORMATETC*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE DataSetData(void*, FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE DataEnumFormatEtc(void* self, DWORD direction, IEnumFORMATETC** out);
HRESULT STDMETHODCALLTYPE DataDAdvise(void*, FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT STDMETHODCALLTYPE DataDUnadvise(void*, DWORD) { return OLE_E_NOCONNECTION; }
HRESULT STDMETHODCALLTYPE DataEnumDAdvise(void*, IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

const DataObjectVtbl kDataObjectVtbl = {DataQueryInterface, DataAddRef,      DataRelease,    DataGetData,
                                        DataNotImpl2,       DataQueryGetData, DataCanonical, DataSetData,
                                        DataEnumFormatEtc,  DataDAdvise,     DataDUnadvise,  DataEnumDAdvise};

// Enumerator

HRESULT STDMETHODCALLTYPE EnumQueryInterface(void* self, REFIID riid, void** out) {
  return QueryOwn<FormatEnumerator>(self, riid, out, IID_IEnumFORMATETC);
}
ULONG STDMETHODCALLTYPE EnumAddRef(void* self) {
  auto* e = static_cast<FormatEnumerator*>(self);
  DataAddRef(e->owner);  // the data object lives as long as any enumerator
  return InterlockedIncrement(&e->refs);
}
ULONG STDMETHODCALLTYPE EnumRelease(void* self) {
  auto* e = static_cast<FormatEnumerator*>(self);
  FileDataObject* owner = e->owner;
  LONG n = InterlockedDecrement(&e->refs);
  if (n == 0) {
    FreeBlock(e->formats);
    FreeBlock(e);
  }
  DataRelease(owner);
  return n;
}
HRESULT STDMETHODCALLTYPE EnumNext(void* self, ULONG n, FORMATETC* out, ULONG* fetched) {
  auto* e = static_cast<FormatEnumerator*>(self);
  if (fetched) *fetched = 0;
  if (!out || (!fetched && n != 1)) return E_POINTER;
  ULONG copied = 0;
  while (copied < n && e->cursor < e->count) out[copied++] = e->formats[e->cursor++];
  if (fetched) *fetched = copied;
  return copied == n ? S_OK : S_FALSE;
}
HRESULT STDMETHODCALLTYPE EnumSkip(void* self, ULONG n) {
  auto* e = static_cast<FormatEnumerator*>(self);
  if (n > e->count - e->cursor) {
    e->cursor = e->count;
    return S_FALSE;
  }
  e->cursor += n;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE EnumReset(void* self) {
  static_cast<FormatEnumerator*>(self)->cursor = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE EnumClone(void* self, IEnumFORMATETC** out);

const EnumVtbl kEnumVtbl = {EnumQueryInterface, EnumAddRef, EnumRelease, EnumNext, EnumSkip, EnumReset, EnumClone};

// A new enumerator over the data object's formats, with one reference (which holds the data object).
FormatEnumerator* NewEnumerator(FileDataObject* owner, const FORMATETC* formats, ULONG count, ULONG cursor) {
  auto* e = static_cast<FormatEnumerator*>(AllocZeroed(sizeof(FormatEnumerator)));
  if (!e) return nullptr;
  e->vtbl = &kEnumVtbl;
  e->owner = owner;
  e->cursor = cursor;
  if (count) {
    e->formats = static_cast<FORMATETC*>(AllocZeroed(sizeof(FORMATETC) * count));
    if (e->formats) {
      std::memcpy(e->formats, formats, sizeof(FORMATETC) * count);
      e->count = count;
    }
  }
  if (e->cursor > e->count) e->cursor = e->count;
  EnumAddRef(e);
  return e;
}

HRESULT STDMETHODCALLTYPE EnumClone(void* self, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  auto* e = static_cast<FormatEnumerator*>(self);
  FormatEnumerator* c = NewEnumerator(e->owner, e->formats, e->count, e->cursor);
  *out = reinterpret_cast<IEnumFORMATETC*>(c);
  return c ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE DataEnumFormatEtc(void* self, DWORD direction, IEnumFORMATETC** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  auto* o = static_cast<FileDataObject*>(self);
  FormatEnumerator* e = NewEnumerator(o, o->formats, static_cast<ULONG>(o->formatCount), 0);
  *out = reinterpret_cast<IEnumFORMATETC*>(e);
  return e ? S_OK : E_OUTOFMEMORY;
}

// Drop source

HRESULT STDMETHODCALLTYPE SourceQueryInterface(void* self, REFIID riid, void** out) {
  return QueryOwn<FileDropSource>(self, riid, out, IID_IDropSource);
}
ULONG STDMETHODCALLTYPE SourceAddRef(void* self) { return InterlockedIncrement(&static_cast<FileDropSource*>(self)->refs); }
ULONG STDMETHODCALLTYPE SourceRelease(void* self) {
  auto* s = static_cast<FileDropSource*>(self);
  LONG n = InterlockedDecrement(&s->refs);
  if (n == 0) FreeBlock(s);
  return n;
}
HRESULT STDMETHODCALLTYPE SourceQueryContinueDrag(void* self, BOOL, DWORD keyState) {
  auto* s = static_cast<FileDropSource*>(self);
  POINT p;
  GetCursorPos(&p);
  TrackFileDrag(g_dragListPane, p.x, p.y);
  // Escape does not end a drag: only releasing the button does.
  if (keyState & s->dragButton) return S_OK;
  return FinishFileDrag(g_dragListPane) ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
}
HRESULT STDMETHODCALLTYPE SourceGiveFeedback(void*, DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

const DropSourceVtbl kDropSourceVtbl = {SourceQueryInterface, SourceAddRef, SourceRelease, SourceQueryContinueDrag,
                                        SourceGiveFeedback};

// Drop target

HRESULT STDMETHODCALLTYPE TargetQueryInterface(void* self, REFIID riid, void** out) {
  return QueryOwn<FileDropTarget>(self, riid, out, IID_IDropTarget);
}
ULONG STDMETHODCALLTYPE TargetAddRef(void* self) { return InterlockedIncrement(&static_cast<FileDropTarget*>(self)->refs); }
ULONG STDMETHODCALLTYPE TargetRelease(void* self) {
  auto* t = static_cast<FileDropTarget*>(self);
  LONG n = InterlockedDecrement(&t->refs);
  if (n == 0) {
    FreeBlock(t->formats);
    FreeBlock(t);
  }
  return n;
}

HRESULT NotifyDrop(FileDropTarget* t, WPARAM step, IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  UINT chosen = 0;
  for (LONG i = 0; i < t->formatCount && data; ++i) {
    FORMATETC f = MakeFormatEtc(t->formats[i]);
    if (data->QueryGetData(&f) == S_OK) {
      chosen = t->formats[i];
      break;
    }
  }
  STGMEDIUM medium{};
  bool haveMedium = false;
  if (chosen) {
    FORMATETC f = MakeFormatEtc(chosen);
    haveMedium = data->GetData(&f, &medium) == S_OK;
    if (!haveMedium) chosen = 0;
  }
  t->block.point = &point;
  t->block.keyState = keyState;
  t->block.format = chosen;
  t->block.data = haveMedium ? medium.hGlobal : nullptr;
  t->block.dataObject = data;
  SendMessageW(t->window, t->notifyMessage, step, reinterpret_cast<LPARAM>(&t->block));
  t->block.point = nullptr;
  t->block.data = nullptr;
  if (haveMedium) ReleaseStgMedium(&medium);
  if (effect) {
    *effect &= t->block.effect;
    if ((*effect & DROPEFFECT_COPY) && (*effect & DROPEFFECT_MOVE)) {
      *effect &= ~DROPEFFECT_COPY;
      t->block.effect &= ~DROPEFFECT_COPY;
    }
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TargetDragEnter(void* self, IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) {
  return NotifyDrop(static_cast<FileDropTarget*>(self), 0, data, keys, pt, effect);
}
HRESULT STDMETHODCALLTYPE TargetDragOver(void*, DWORD, POINTL, DWORD*) { return S_OK; }
HRESULT STDMETHODCALLTYPE TargetDragLeave(void*) { return S_OK; }
HRESULT STDMETHODCALLTYPE TargetDrop(void* self, IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) {
  return NotifyDrop(static_cast<FileDropTarget*>(self), 3, data, keys, pt, effect);
}

const DropTargetVtbl kDropTargetVtbl = {TargetQueryInterface, TargetAddRef,    TargetRelease,
                                        TargetDragEnter,      TargetDragOver,  TargetDragLeave,
                                        TargetDrop};

DWORD CurrentKeyState() {
  DWORD k = 0;
  if (GetKeyState(VK_LBUTTON) < 0) k |= MK_LBUTTON;
  if (GetKeyState(VK_RBUTTON) < 0) k |= MK_RBUTTON;
  if (GetKeyState(VK_SHIFT) < 0) k |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) k |= MK_CONTROL;
  if (GetKeyState(VK_MBUTTON) < 0) k |= MK_MBUTTON;
  if (GetKeyState(VK_MENU) < 0) k |= MK_ALT;
  return k;
}

}  // namespace

IDataObject* CreateFileDataObject(HWND owner, UINT renderMessage, const UINT* formats, int formatCount) {
  if (formatCount < 0) return nullptr;
  auto* o = static_cast<FileDataObject*>(AllocZeroed(sizeof(FileDataObject)));
  if (!o) return nullptr;
  o->vtbl = &kDataObjectVtbl;
  o->owner = owner;
  o->renderMessage = renderMessage;
  if (formatCount) {
    o->formats = static_cast<FORMATETC*>(AllocZeroed(sizeof(FORMATETC) * formatCount));
    if (!o->formats) {
      FreeBlock(o);
      return nullptr;
    }
    for (int i = 0; i < formatCount; ++i) o->formats[i] = MakeFormatEtc(formats[i]);
    o->formatCount = formatCount;
  }
  DataAddRef(o);
  return reinterpret_cast<IDataObject*>(o);
}

IDropSource* CreateFileDropSource() {
  auto* s = static_cast<FileDropSource*>(AllocZeroed(sizeof(FileDropSource)));
  if (!s) return nullptr;
  s->vtbl = &kDropSourceVtbl;
  s->startKeys = CurrentKeyState();
  s->dragButton = (s->startKeys & MK_RBUTTON) ? MK_RBUTTON : MK_LBUTTON;
  SourceAddRef(s);
  return reinterpret_cast<IDropSource*>(s);
}

IDropTarget* CreateFileDropTarget(HWND window, UINT notifyMessage, const UINT* formats, int formatCount) {
  if (formatCount < 0) return nullptr;
  auto* t = static_cast<FileDropTarget*>(AllocZeroed(sizeof(FileDropTarget)));
  if (!t) return nullptr;
  t->vtbl = &kDropTargetVtbl;
  t->window = window;
  t->notifyMessage = notifyMessage;
  if (formatCount) {
    t->formats = static_cast<UINT*>(AllocZeroed(sizeof(UINT) * formatCount));
    if (!t->formats) {
      FreeBlock(t);
      return nullptr;
    }
    std::memcpy(t->formats, formats, sizeof(UINT) * formatCount);
    t->formatCount = formatCount;
  }
  TargetAddRef(t);
  return reinterpret_cast<IDropTarget*>(t);
}

int32_t StartFileDrag(HWND owner, UINT renderMessage, const UINT* formats, int formatCount, DWORD allowedEffects) {
  IDataObject* data = CreateFileDataObject(owner, renderMessage, formats, formatCount);
  if (!data) return -1;
  IDropSource* source = CreateFileDropSource();
  if (!source) {
    data->Release();
    return -1;
  }
  OpenDragPopups(owner);
  DWORD effect = 0;
  HRESULT hr = DoDragDrop(data, source, allowedEffects, &effect);
  // A drop the program handled itself ends the drag without an OLE Drop to reset the flag.
  g_internalDropHandled = 0;
  SetListDropRow(GetDlgItem(owner, IDC_FILE_LIST), -1);
  g_dragActive = 0;
  g_treeSelectionFrozen = 0;
  data->Release();
  source->Release();
  return hr == DRAGDROP_S_DROP ? static_cast<int32_t>(effect) : -1;
}

bool RegisterFileDropTarget(HWND window, UINT notifyMessage, const UINT* formats, int formatCount) {
  IDropTarget* target = CreateFileDropTarget(window, notifyMessage, formats, formatCount);
  if (!target) return false;
  // OLE keeps its own reference while registered; ours goes once registration is settled.
  bool ok = RegisterDragDrop(window, target) == S_OK;
  target->Release();
  return ok;
}

void RevokeFileDropTarget(HWND window) { RevokeDragDrop(window); }

HGLOBAL BuildFileDropBlock(const wchar_t* const* paths, int count) {
  size_t bytes = sizeof(DROPFILES) + 2;
  for (int i = 0; i < count; ++i) bytes += 2 * (wcslen(paths[i]) + 1);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, bytes);
  if (!h) return nullptr;
  auto* df = static_cast<DROPFILES*>(GlobalLock(h));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = TRUE;
  wchar_t* out = reinterpret_cast<wchar_t*>(df + 1);
  for (int i = 0; i < count; ++i) {
    size_t n = wcslen(paths[i]);
    std::memcpy(out, paths[i], 2 * n);
    out += n + 1;
  }
  GlobalUnlock(h);
  return h;
}
