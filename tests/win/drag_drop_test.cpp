#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <vector>

#include "browser/drag_drop.h"
#include "browser/drag_feedback.h"
#include "core/image_entry_list.h"
#include "core/window_slots.h"
#include "resources/resource.h"

namespace {

// A window that renders CF_HDROP on request and records the drop notifications it gets.
struct Recorder {
  std::vector<WPARAM> steps;
  std::vector<UINT> formats;
  std::vector<std::wstring> firstPaths;
  DWORD acceptEffect = 0;
  bool render = true;
};
Recorder* g_rec = nullptr;

LRESULT CALLBACK OwnerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == RenderFormatMessage) {
    if (g_rec->render && wp == CF_HDROP) {
      const wchar_t* paths[] = {L"C:\\a.jpg", L"C:\\bb.jpg"};
      *reinterpret_cast<HANDLE*>(lp) = BuildFileDropBlock(paths, 2);
    }
    return 0;
  }
  if (m == DropNotifyMessage) {
    auto* block = reinterpret_cast<DropNotifyBlock*>(lp);
    g_rec->steps.push_back(wp);
    g_rec->formats.push_back(block->format);
    wchar_t first[MAX_PATH] = {};
    if (block->data) DragQueryFileW(static_cast<HDROP>(block->data), 0, first, MAX_PATH);
    g_rec->firstPaths.push_back(first);
    block->effect = g_rec->acceptEffect;
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

class DragDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OleInitialize(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BrnDragTest";
    RegisterClassW(&wc);
    window_ = CreateWindowW(L"BrnDragTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr, wc.hInstance, nullptr);
    g_rec = &rec_;
  }
  void TearDown() override {
    DestroyWindow(window_);
    g_rec = nullptr;
  }
  HWND window_;
  Recorder rec_;
};

TEST_F(DragDropTest, DropBlockLayout) {
  const wchar_t* paths[] = {L"abc", L"defgh"};
  HGLOBAL h = BuildFileDropBlock(paths, 2);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 42u);
  auto* df = static_cast<DROPFILES*>(GlobalLock(h));
  EXPECT_EQ(df->pFiles, 20u);
  EXPECT_TRUE(df->fWide);
  const wchar_t* names = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(df) + 20);
  EXPECT_STREQ(names, L"abc");
  EXPECT_STREQ(names + 4, L"defgh");
  EXPECT_EQ(names[10], 0);
  GlobalUnlock(h);
  GlobalFree(h);
  HGLOBAL empty = BuildFileDropBlock(nullptr, 0);
  EXPECT_EQ(GlobalSize(empty), 22u);
  GlobalFree(empty);
}

TEST_F(DragDropTest, DataObjectAnswersOnlyItsFormats) {
  UINT formats[] = {CF_HDROP};
  IDataObject* data = CreateFileDataObject(window_, RenderFormatMessage, formats, 1);
  ASSERT_NE(data, nullptr);
  FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  FORMATETC drop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
  EXPECT_EQ(data->GetData(&text, &m), DV_E_FORMATETC);
  EXPECT_EQ(data->QueryGetData(&drop), S_OK);
  ASSERT_EQ(data->GetData(&drop, &m), S_OK);
  EXPECT_EQ(m.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(GlobalSize(m.hGlobal), 20u + 18u + 20u + 2u);
  ReleaseStgMedium(&m);
  rec_.render = false;
  EXPECT_EQ(data->GetData(&drop, &m), STG_E_MEDIUMFULL);
  EXPECT_EQ(data->GetDataHere(&drop, &m), E_NOTIMPL);
  EXPECT_EQ(data->SetData(&drop, &m, FALSE), E_NOTIMPL);
  EXPECT_EQ(data->DAdvise(&drop, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(data->DUnadvise(0), OLE_E_NOCONNECTION);
  IDropTarget* notTarget = reinterpret_cast<IDropTarget*>(1);
  EXPECT_EQ(data->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&notTarget)), E_NOINTERFACE);
  EXPECT_EQ(notTarget, nullptr);
  EXPECT_EQ(data->Release(), 0u);
}

TEST_F(DragDropTest, EnumeratorCursorAndLifetime) {
  UINT formats[] = {CF_HDROP, CF_UNICODETEXT};
  IDataObject* data = CreateFileDataObject(window_, RenderFormatMessage, formats, 2);
  IEnumFORMATETC* e = reinterpret_cast<IEnumFORMATETC*>(1);
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &e), E_NOTIMPL);
  EXPECT_EQ(e, nullptr);
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_GET, nullptr), E_INVALIDARG);
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &e), S_OK);
  // The enumerator keeps the data object alive.
  EXPECT_GT(data->Release(), 0u);
  FORMATETC got[3];
  ULONG fetched = 9;
  EXPECT_EQ(e->Next(3, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(got[1].cfFormat, CF_UNICODETEXT);
  EXPECT_EQ(e->Next(2, got, nullptr), E_POINTER);
  e->Reset();
  EXPECT_EQ(e->Next(1, got, nullptr), S_OK);
  IEnumFORMATETC* clone = nullptr;
  ASSERT_EQ(e->Clone(&clone), S_OK);
  EXPECT_EQ(clone->Next(1, got, &fetched), S_OK);
  EXPECT_EQ(got[0].cfFormat, CF_UNICODETEXT);  // the clone starts at the same cursor
  EXPECT_EQ(e->Skip(5), S_FALSE);
  EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  clone->Release();
  EXPECT_EQ(e->Release(), 0u);  // the last reference frees the enumerator and the data object
}

TEST_F(DragDropTest, TargetNotifiesTheWindowOnEnterAndDropOnly) {
  UINT formats[] = {CF_HDROP};
  IDropTarget* target = CreateFileDropTarget(window_, DropNotifyMessage, formats, 1);
  IDataObject* data = CreateFileDataObject(window_, RenderFormatMessage, formats, 1);
  POINTL pt{10, 20};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, pt, &effect), S_OK);
  EXPECT_EQ(effect, 0u);  // the window accepted nothing
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragOver(MK_LBUTTON, pt, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));  // left as passed
  EXPECT_EQ(target->DragLeave(), S_OK);
  rec_.acceptEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  EXPECT_EQ(target->Drop(data, MK_LBUTTON, pt, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));  // copy and move both left: move wins
  ASSERT_EQ(rec_.steps, (std::vector<WPARAM>{0, 3}));
  EXPECT_EQ(rec_.formats[1], static_cast<UINT>(CF_HDROP));
  EXPECT_EQ(rec_.firstPaths[1], L"C:\\a.jpg");
  // A source that cannot render still notifies, with no format and no data.
  rec_.render = false;
  target->Drop(data, MK_LBUTTON, pt, nullptr);
  EXPECT_EQ(rec_.formats.back(), 0u);
  EXPECT_EQ(rec_.firstPaths.back(), L"");
  data->Release();
  EXPECT_EQ(target->Release(), 0u);

  EXPECT_TRUE(RegisterFileDropTarget(window_, DropNotifyMessage, formats, 1));
  RevokeFileDropTarget(window_);
}

// A drop onto the collection tree: the collection under the cursor takes the selection, added
// (270) or, with Ctrl, moved out of the shown one (269); the shown one takes nothing. Hidden with
// its pane, which shrinks to nothing while the tree keeps its size, the tree takes no drop.
TEST_F(DragDropTest, DropOnTheCollectionTreeOnlyWhereTheTreeIsShown) {
  static std::vector<WPARAM> commands;
  commands.clear();
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_COMMAND) commands.push_back(LOWORD(wp));
    return DefWindowProcW(w, m, wp, lp);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BrnDragNav";
  RegisterClassW(&wc);
  HWND host = CreateWindowW(L"BrnDragTest", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr,
                            wc.hInstance, nullptr);
  HWND nav = CreateWindowW(L"BrnDragNav", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 300, host, nullptr, wc.hInstance,
                           nullptr);
  HWND tree = CreateWindowW(WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 300, nav,
                            reinterpret_cast<HMENU>(IDC_COLLECTION_TREE), wc.hInstance, nullptr);
  ASSERT_NE(tree, nullptr);
  HTREEITEM items[2];
  for (int k = 0; k < 2; ++k) {
    TVINSERTSTRUCTW insert{};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(k ? L"travel" : L"shown");
    insert.item.lParam = k;
    items[k] = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  SetForegroundWindow(host);
  HWND savedNav = g_windowSlots[kSlotNavigationPane];
  g_windowSlots[kSlotNavigationPane] = nav;
  const int32_t source = g_listSource, collection = g_currentCollection;
  g_listSource = 1;
  g_currentCollection = 0;
  g_dragTargetTree = IDC_COLLECTION_TREE;
  auto cursorOn = [&](int k) {
    RECT r{};
    *reinterpret_cast<HTREEITEM*>(&r) = items[k];
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    POINT p{r.left + 3, (r.top + r.bottom) / 2};
    ClientToScreen(tree, &p);
    SetCursorPos(p.x, p.y);
  };
  struct Case {
    int item;
    bool shown;
    uint8_t moves;
    int result;
    std::vector<WPARAM> sent;
  } cases[] = {{1, true, 0, 1, {270}}, {1, true, 1, 2, {269}}, {0, true, 0, 0, {}},
               {1, false, 0, 0, {}},   {1, false, 1, 0, {}}};
  for (const Case& c : cases) {
    MoveWindow(nav, 0, 0, c.shown ? 200 : 0, c.shown ? 300 : 0, TRUE);
    cursorOn(c.item);
    commands.clear();
    UpdateDropFeedback(nullptr, nullptr, tree);
    EXPECT_EQ(g_dropTargetValid, c.result ? 1 : 0) << c.item << c.shown;
    g_dragMoves = c.moves;
    EXPECT_EQ(FinishFileDrag(nullptr), c.result) << c.item << c.shown;
    EXPECT_EQ(commands, c.sent) << c.item << c.shown;
  }
  g_dragMoves = 0;
  g_dropTargetValid = 0;
  g_dragTargetTree = IDC_FOLDER_TREE;
  g_listSource = source;
  g_currentCollection = collection;
  g_windowSlots[kSlotNavigationPane] = savedNav;
  DestroyWindow(host);
}

}  // namespace
