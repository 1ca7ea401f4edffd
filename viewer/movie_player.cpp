#include "viewer/movie_player.h"

#include <commctrl.h>
#include <dshow.h>

#include <cwchar>
#include <memory>
#include <string>

#include "core/image_lists.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/bounded_call.h"
#include "core/entry_queries.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/semaphore_lock.h"
#include "core/sound_drivers.h"
#include "core/pure/movie_rules.h"
#include "core/settings.h"
#include "resources/resource.h"
#include "viewer/movie_ids.h"
#include "viewer/viewer_hooks.h"
#include "core/main_window_state.h"
#include "core/pane_state.h"

MovieSlot g_movieSlots[kMovieSlotCount] = {{-1, nullptr, nullptr, nullptr}, {-1, nullptr, nullptr, nullptr},
                                           {-1, nullptr, nullptr, nullptr}, {-1, nullptr, nullptr, nullptr},
                                           {-1, nullptr, nullptr, nullptr}, {-1, nullptr, nullptr, nullptr},
                                           {-1, nullptr, nullptr, nullptr}, {-1, nullptr, nullptr, nullptr}};
int32_t g_movieEntry = -1;
uint8_t g_moviePositionDragging = 0;
uint8_t g_movieVolumeDragging = 0;
uint16_t g_movieFlagsBeforeSeek = kEntryMoviePaused;

namespace {

constexpr uint16_t kNotOpenBits = kEntryMovieOpen | kEntryMoviePaused | kEntryMovieUsePosition;

// "sema_mov" for a scope. The video-window calls send messages to the pane's thread, so a
// waiter keeps answering messages sent to its own windows: the user-interface thread waiting
// here never blocks a render thread that is inside put_Owner. Posted messages stay queued.
class MovieLock : public SemaphoreLock {
 public:
  MovieLock() : SemaphoreLock(kSemaMovie) {}
};

template <class T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// The entry of a number inside the current entries, else null.
ImageEntry* MovieEntry(int32_t number) {
  if (number < 0 || number >= g_entryCount || !g_entryPointers) return nullptr;
  return EntryAt(number);
}

bool IsPlayableMovie(const ImageEntry* e) {
  return e && e->info.fileTypeFlag == kFileTypeMovie && !(e->flags & kEntryMovieNoCodec);
}

// The open slot of an entry (its graph exists), else null. Call with the lock held.
MovieSlot* OpenSlot(const ImageEntry* e, int32_t number) {
  if (!e || !(e->flags & kEntryMovieOpen) || e->movieSlot >= kMovieSlotCount) return nullptr;
  MovieSlot& s = g_movieSlots[e->movieSlot];
  return s.graph && s.entry == number ? &s : nullptr;
}

void PutVolume(IGraphBuilder* graph, int32_t volume, bool balance) {
  IBasicAudio* audio = nullptr;
  if (FAILED(graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio)))) return;
  if (balance) audio->put_Balance(0);
  audio->put_Volume(MovieVolumeToDirectShow(volume));
  audio->Release();
}

void FitVideoWindow(IVideoWindow* video, HWND pane) {
  RECT r{};
  if (video && pane && GetClientRect(pane, &r)) video->SetWindowPosition(0, 0, r.right, r.bottom);
}

// Stops and frees a slot's objects. The video window first leaves the pane, hidden, so that it
// never lingers as a child of a window that outlives the graph.
void CloseSlot(MovieSlot& s) {
  if (s.mediaControl) s.mediaControl->Stop();
  if (s.videoWindow) {
    s.videoWindow->put_Visible(OAFALSE);
    s.videoWindow->put_Owner(0);
  }
  Release(s.videoWindow);
  Release(s.mediaControl);
  Release(s.graph);
  s.entry = -1;
}

// The render thread has no COM of its own; one initialisation serves it for its life.
void EnsureCom() {
  static thread_local bool done = false;
  if (done) return;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // a thread that has COM already keeps its own
  done = true;
}

HWND Strip() { return g_windowSlots[kSlotMovieControls]; }

void SetTextIfChanged(HWND control, const wchar_t* text) {
  wchar_t shown[32];
  if (!control) return;
  GetWindowTextW(control, shown, 32);
  if (wcscmp(shown, text) != 0) SetWindowTextW(control, text);
}

void Show(HWND dialog, int id, bool shown) {
  if (HWND c = GetDlgItem(dialog, id)) ShowWindow(c, shown ? SW_SHOWNA : SW_HIDE);
}
void Enable(HWND dialog, int id, bool enabled) {
  if (HWND c = GetDlgItem(dialog, id)) EnableWindow(c, enabled);
}

void HideStrip() {
  g_movieEntry = -1;
  if (HWND d = Strip()) ShowWindow(d, SW_HIDE);
  g_moviePositionDragging = 0;
  g_movieVolumeDragging = 0;
}

void RequestRedraw() { g_redrawFlag = 1; }

void CloseToStill(int32_t number, ImageEntry* e) {
  ClearEntryFlags(e, kEntryMovieUsePosition);
  ReleaseMovieSlot(number);
  RequestRedraw();
}

void Rewind(int32_t number, ImageEntry* e) {
  e->moviePosition = 0;
  ApplyMoviePosition(number);
  UpdateMovieTimeText(number);
}

const int kTooltipIds[7] = {IDC_MOVIE_REWIND, IDC_MOVIE_PAUSE, IDC_MOVIE_PLAY, IDC_MOVIE_REPEAT_ON,
                            IDC_MOVIE_REPEAT_OFF, IDC_MOVIE_POSITION, IDC_MOVIE_VOLUME_BAR};
const wchar_t* const kTooltipTexts[7] = {L"切替/先頭", L"ポーズ", L"再生", L"リピートON", L"リピートOFF", L"再生位置",
                                         L"ボリューム"};

void LayoutStrip(HWND dialog, int cw) {
  const struct {
    int id, x, w;
  } places[] = {{IDC_MOVIE_POSITION, 102, cw - 249},
                {IDC_MOVIE_LENGTH, cw - 149, 40},
                {IDC_MOVIE_SPEAKER, cw - 105, 14},
                {IDC_MOVIE_VOLUME_BAR, cw - 91, 91}};
  for (const auto& p : places) {
    HWND c = GetDlgItem(dialog, p.id);
    const int h = p.id == IDC_MOVIE_SPEAKER ? 14 : 17;
    if (c) MoveWindow(c, p.x, 3, p.w > 0 ? p.w : 0, h, TRUE);
  }
}

void OnStripCommand(int id) {
  const int32_t number = g_movieEntry;
  ImageEntry* e = MovieEntry(number);
  if (!e) return;
  const bool requested = (e->flags & kEntryMovieUsePosition) != 0;
  switch (id) {
    case IDC_MOVIE_SKIP_FORWARD:
    case IDC_MOVIE_SKIP_BACK:
      if (!requested) return;
      GetMoviePosition(number);
      e->moviePosition =
          MovieSkipPosition(e->moviePosition, e->movieValue, id == IDC_MOVIE_SKIP_FORWARD ? 1 : -1);
      ApplyMoviePosition(number);
      return;
    case IDC_MOVIE_REWIND:
      if (requested) CloseToStill(number, e);
      return;
    case IDC_MOVIE_PAUSE:
      if (requested) {
        MovieLock lock;
        if (MovieSlot* s = OpenSlot(e, number)) {
          s->mediaControl->Pause();
          SetEntryFlags(e, kEntryMoviePaused);
        }
      } else {
        SetEntryFlags(e, kEntryMovieUsePosition);
        RequestRedraw();
      }
      return;
    case IDC_MOVIE_PLAY:
      if (!requested) {
        SetEntryFlags(e, kEntryMovieUsePosition);
        RequestRedraw();
      }
      {
        MovieLock lock;
        if (MovieSlot* s = OpenSlot(e, number)) {
          s->mediaControl->Run();
          ClearEntryFlags(e, kEntryMoviePaused);
        }
      }
      return;
    case IDC_MOVIE_REPEAT_ON:
    case IDC_MOVIE_REPEAT_OFF:
      if (id == IDC_MOVIE_REPEAT_ON) SetEntryFlags(e, kEntryMovieRepeat);
      else ClearEntryFlags(e, kEntryMovieRepeat);
      g_cacheDirty |= 2;
      return;
    default:
      return;
  }
}

void OnPositionScroll(int code) {
  const int32_t number = g_movieEntry;
  ImageEntry* e = MovieEntry(number);
  if (!e) return;
  if (code == TB_PAGEUP || code == TB_PAGEDOWN || code == TB_THUMBTRACK) {
    MovieLock lock;
    if (MovieSlot* s = OpenSlot(e, number)) {
      if (!(e->flags & kEntryMoviePaused)) {
        s->mediaControl->Pause();
        g_movieFlagsBeforeSeek = e->flags;
        SetEntryFlags(e, kEntryMoviePaused);
      }
      g_moviePositionDragging = 1;
    }
  } else if (code == TB_ENDTRACK) {
    {
      MovieLock lock;
      if (MovieSlot* s = OpenSlot(e, number)) {
        if (e->flags & kEntryMoviePaused) {
          if (!(g_movieFlagsBeforeSeek & kEntryMoviePaused)) {
            s->mediaControl->Run();
            ClearEntryFlags(e, kEntryMoviePaused);
          } else {
            s->mediaControl->Pause();
          }
        }
        g_movieFlagsBeforeSeek = kEntryMoviePaused;
      }
    }
    g_moviePositionDragging = 0;
  }
}

void OnVolumeScroll(int code) {
  if (code == TB_PAGEUP || code == TB_PAGEDOWN || code == TB_THUMBTRACK) {
    g_movieVolumeDragging = 1;
    g_cacheDirty |= 2;
  } else if (code == TB_ENDTRACK) {
    g_movieVolumeDragging = 0;
  }
}

// A movie that the probe took but whose graph never finishes rendering (a file cut short after
// it was listed) is given up after this, as the probe gives up.
constexpr DWORD kRenderWaitMs = 10000;

// The graph of a file with its media control, rendered. Outside "sema_mov": rendering a damaged
// file may take long, and a page-away must not wait for it to close the other movies.
bool RenderMovieGraph(const wchar_t* path, IGraphBuilder** graph, IMediaControl** control) {
  LoadSoundDriversOnce();
  if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                 IID_IGraphBuilder, reinterpret_cast<void**>(graph))) &&
      SUCCEEDED((*graph)->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control))) &&
      SUCCEEDED((*graph)->RenderFile(path, nullptr)))
    return true;
  Release(*control);
  Release(*graph);
  return false;
}

// What a bounded render hands over; a graph that nobody took (its render came back too late)
// is released with it.
struct RenderedGraph {
  IGraphBuilder* graph = nullptr;
  IMediaControl* control = nullptr;
  ~RenderedGraph() {
    Release(control);
    Release(graph);
  }
};

}  // namespace

void OpenMovieInPane(HWND pane, int32_t number) {
  ImageEntry* e = MovieEntry(number);
  if (!e || (e->flags & (kEntryMovieNoCodec | kEntryMovieOpen))) return;
  EnsureCom();
  {
    MovieLock lock;
    int spare = 0;
    while (spare < kMovieSlotCount && g_movieSlots[spare].graph) ++spare;
    if (spare == kMovieSlotCount) return;
  }
  auto rendered = std::make_shared<RenderedGraph>();
  const std::wstring path = reinterpret_cast<const wchar_t*>(e->path);
  bool stuck = false;
  if (!RunBounded(kRenderWaitMs, [=] { return RenderMovieGraph(path.c_str(), &rendered->graph, &rendered->control); },
                  &stuck)) {
    // One that never came back is not tried again, and the pane's thread goes on to paint it
    // as a movie without a codec.
    if (stuck) {
      SetEntryFlags(e, kEntryMovieNoCodec);
      RequestRedraw();
    }
    return;
  }
  IGraphBuilder* graph = rendered->graph;
  IMediaControl* control = rendered->control;
  rendered->graph = nullptr;
  rendered->control = nullptr;
  MovieLock lock;
  // The slots may have changed while the lock was not held. A page-away meanwhile is seen by
  // the painter after this, which closes the movie again.
  int slot = 0;
  while (slot < kMovieSlotCount && g_movieSlots[slot].graph) ++slot;
  if (slot == kMovieSlotCount || lock.gaveUp()) {
    Release(control);
    Release(graph);
    return;
  }
  MovieSlot& s = g_movieSlots[slot];
  e->movieSlot = static_cast<uint8_t>(slot);
  s.entry = number;
  s.graph = graph;
  s.mediaControl = control;
  PutVolume(s.graph, e->volume, true);
  if (SUCCEEDED(s.graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&s.videoWindow)))) {
    // A movie with no picture (sound only) has no window to place.
    if (SUCCEEDED(s.videoWindow->put_Owner(reinterpret_cast<OAHWND>(pane)))) {
      s.videoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
      FitVideoWindow(s.videoWindow, pane);
      s.videoWindow->SetWindowForeground(OATRUE);
      s.videoWindow->put_Visible(OATRUE);
    }
  }
  s.mediaControl->Run();
  SetEntryFlags(e, kEntryMovieOpen);
}

void ReleaseMovieSlot(int32_t number) {
  if (number == -1) return;
  ImageEntry* e = MovieEntry(number);
  if (!e) return;
  MovieLock lock;
  // A graph whose user never came back from DirectShow is left to the process exit.
  if (!(e->flags & kEntryMovieOpen) || lock.gaveUp()) return;
  if (MovieSlot* s = OpenSlot(e, number)) CloseSlot(*s);
  e->movieSlot = 255;
  ClearEntryFlags(e, kNotOpenBits);
  e->moviePosition = 0;
}

void ReleaseAllMovieSlots() {
  for (int slot = 0; slot < kMovieSlotCount; ++slot) {
    int32_t number;
    {
      MovieLock lock;
      if (!g_movieSlots[slot].graph || lock.gaveUp()) continue;
      number = g_movieSlots[slot].entry;
      // A slot whose entry is gone from the list is closed on its own.
      ImageEntry* e = MovieEntry(number);
      if (!e || e->movieSlot != slot) {
        CloseSlot(g_movieSlots[slot]);
        continue;
      }
    }
    ReleaseMovieSlot(number);
  }
}

void ResetMovieSlots() {
  MovieLock lock;
  for (MovieSlot& s : g_movieSlots) s.entry = -1;
}

int32_t GetMovieSlotEntry(int32_t slot) {
  if (slot < 0 || slot >= kMovieSlotCount) return -1;
  MovieLock lock;
  return g_movieSlots[slot].graph ? g_movieSlots[slot].entry : -1;
}

void ResizeMovieWindow(int32_t number, HWND pane) {
  ImageEntry* e = MovieEntry(number);
  if (!e) return;
  MovieLock lock;
  if (MovieSlot* s = OpenSlot(e, number)) FitVideoWindow(s->videoWindow, pane);
}

void AttachMovieWindowToPane(int32_t row) {
  if (row == -1) return;
  const int32_t number = GetRowEntry(row);
  ImageEntry* e = MovieEntry(number);
  if (!e) return;
  MovieLock lock;
  const int32_t panes = CurrentPaneCount();
  int32_t pane = 0;
  while (pane < panes && GetRowEntry(GetPaneOrderNumber(pane)) != number) ++pane;
  if (pane == panes) return;
  MovieSlot* s = OpenSlot(e, number);
  HWND window = GetPaneControl(pane);
  if (!s || !s->videoWindow || !window) return;
  s->videoWindow->put_Owner(reinterpret_cast<OAHWND>(window));
  s->videoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
  s->videoWindow->SetWindowForeground(OATRUE);
  s->videoWindow->put_Visible(OATRUE);
  FitVideoWindow(s->videoWindow, window);
}

void GetMoviePosition(int32_t number) {
  ImageEntry* e = MovieEntry(number);
  if (!IsPlayableMovie(e)) return;
  MovieLock lock;
  MovieSlot* s = OpenSlot(e, number);
  IMediaPosition* position = nullptr;
  if (!s || FAILED(s->graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position)))) return;
  REFTIME now = 0;
  if (SUCCEEDED(position->get_CurrentPosition(&now)) && now >= 0) e->moviePosition = now;
  position->Release();
}

void ApplyMoviePosition(int32_t number) {
  ImageEntry* e = MovieEntry(number);
  if (!IsPlayableMovie(e)) return;
  MovieLock lock;
  MovieSlot* s = OpenSlot(e, number);
  IMediaPosition* position = nullptr;
  if (!s || FAILED(s->graph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position)))) return;
  position->put_CurrentPosition(e->moviePosition);
  position->Release();
  // A paused movie shows the new frame and stays paused.
  s->mediaControl->Run();
  if (e->flags & kEntryMoviePaused) s->mediaControl->Pause();
}

void ApplyMovieVolume(int32_t number) {
  ImageEntry* e = MovieEntry(number);
  if (!IsPlayableMovie(e)) return;
  MovieLock lock;
  if (MovieSlot* s = OpenSlot(e, number)) PutVolume(s->graph, e->volume, false);
}

bool IsMoviePlaybackComplete(int32_t number) {
  ImageEntry* e = MovieEntry(number);
  if (!IsPlayableMovie(e)) return false;
  MovieLock lock;
  MovieSlot* s = OpenSlot(e, number);
  IMediaEvent* events = nullptr;
  if (!s || FAILED(s->graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events)))) return false;
  long code = 0;
  LONG_PTR first = 0, second = 0;
  bool complete = false;
  if (SUCCEEDED(events->GetEvent(&code, &first, &second, 1))) {
    complete = code == EC_COMPLETE;
    events->FreeEventParams(code, first, second);
  }
  events->Release();
  return complete;
}

void UpdateMovieTimeText(int32_t number) {
  ImageEntry* e = MovieEntry(number);
  HWND dialog = Strip();
  if (!e || !dialog) return;
  const int32_t k = MoviePositionScale(e->movieValue);
  const int32_t duration = e->movieValue > 0 ? e->movieValue : 0;
  const int64_t top = static_cast<int64_t>(duration) * k;
  // The range message of a pair of 16-bit ends cannot carry a long movie's range.
  HWND bar = GetDlgItem(dialog, IDC_MOVIE_POSITION);
  SendMessageW(bar, TBM_SETRANGEMIN, FALSE, 0);
  SendMessageW(bar, TBM_SETRANGEMAX, FALSE, static_cast<LPARAM>(top < 0x7FFFFFFF ? top : 0x7FFFFFFF));
  const double step = e->moviePosition * k;
  SendMessageW(bar, TBM_SETPOS, TRUE, static_cast<LPARAM>(step > 0 && step < 2147483647.0 ? step : 0));
  char16_t text[16];
  FormatMovieTime(e->moviePosition > 0 && e->moviePosition < 2147483647.0 ? static_cast<int32_t>(e->moviePosition) : 0,
                  text, 16);
  SetTextIfChanged(GetDlgItem(dialog, IDC_MOVIE_TIME), reinterpret_cast<wchar_t*>(text));
  FormatMovieTime(duration, text, 16);
  SetTextIfChanged(GetDlgItem(dialog, IDC_MOVIE_LENGTH), reinterpret_cast<wchar_t*>(text));
}

bool UpdateMovieControls() {
  HWND dialog = Strip();
  if (!dialog || g_panningActive || !(g_viewMode & 2) || g_listCount <= 0) {
    HideStrip();
    return false;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT first{};
  if (!GetClientRect(GetPaneControl(0), &first)) {
    HideStrip();
    return false;
  }
  const int w = first.right, h = first.bottom;
  const int32_t panes = CurrentPaneCount();
  // While a trackbar is dragged the strip stays with its movie wherever the cursor goes: the
  // end of the drag has to reach the movie that the drag paused.
  const bool dragging = (g_moviePositionDragging || g_movieVolumeDragging) && g_movieEntry != -1;
  for (int32_t k = 0; k < panes; ++k) {
    const int32_t number = GetRowEntry(GetPaneOrderNumber(k));
    ImageEntry* e = MovieEntry(number);
    HWND pane = GetPaneControl(k);
    if (!IsPlayableMovie(e) || !pane) continue;
    if (IsMoviePlaybackComplete(number)) {
      if (e->flags & kEntryMovieRepeat) {
        Rewind(number, e);
      } else if (!g_settings.movieAutoPlay) {
        CloseToStill(number, e);
      } else {
        Rewind(number, e);
        MovieLock lock;
        if (MovieSlot* s = OpenSlot(e, number)) {
          s->mediaControl->Pause();
          SetEntryFlags(e, kEntryMoviePaused);
        }
      }
      continue;
    }
    POINT p = cursor;
    ScreenToClient(pane, &p);
    const bool overStrip = p.x > 0 && p.x < w && p.y > h - kMovieStripHeight && p.y < h;
    if (dragging ? number != g_movieEntry : !overStrip && !(panes == 1 && g_settings.movieControlAlwaysShown == 1))
      continue;

    RECT r{};
    GetWindowRect(pane, &r);
    MoveWindow(dialog, r.left, r.bottom - kMovieStripHeight, w + 1, kMovieStripHeight, TRUE);
    const bool repeat = (e->flags & kEntryMovieRepeat) != 0;
    Show(dialog, IDC_MOVIE_REPEAT_ON, !repeat);
    Show(dialog, IDC_MOVIE_REPEAT_OFF, repeat);
    const bool requested = (e->flags & kEntryMovieUsePosition) != 0;
    Enable(dialog, IDC_MOVIE_POSITION, requested);
    Enable(dialog, IDC_MOVIE_REWIND, requested);
    const bool playing = requested && !(e->flags & kEntryMoviePaused);
    Show(dialog, IDC_MOVIE_PLAY, !playing);
    Show(dialog, IDC_MOVIE_PAUSE, playing);
    if (!IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNOACTIVATE);
    const int32_t scale = MoviePositionScale(e->movieValue);
    if (!g_moviePositionDragging) {
      GetMoviePosition(number);
    } else {
      e->moviePosition =
          static_cast<double>(SendMessageW(GetDlgItem(dialog, IDC_MOVIE_POSITION), TBM_GETPOS, 0, 0)) / scale;
      ApplyMoviePosition(number);
    }
    g_movieEntry = number;
    UpdateMovieTimeText(number);
    if (g_movieVolumeDragging) {
      const LRESULT volume = SendMessageW(GetDlgItem(dialog, IDC_MOVIE_VOLUME_BAR), TBM_GETPOS, 0, 0);
      e->volume = static_cast<int8_t>(volume < -127 ? -127 : volume > 0 ? 0 : volume);
      ApplyMovieVolume(number);
    } else {
      SendMessageW(GetDlgItem(dialog, IDC_MOVIE_VOLUME_BAR), TBM_SETPOS, TRUE, e->volume);
    }
    return true;
  }
  HideStrip();
  return false;
}

BOOL ShowMovieControlTooltip(HWND dialog, HWND windowUnderCursor, const int* ids, const wchar_t* const* texts,
                             int count) {
  g_viewerHooks.addControlTooltip(dialog, windowUnderCursor, ids, texts, count);
  return FALSE;
}

INT_PTR CALLBACK MovieControlDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      if (!g_windowSlots[kSlotMovieControls]) g_windowSlots[kSlotMovieControls] = dialog;
      HWND position = GetDlgItem(dialog, IDC_MOVIE_POSITION), volume = GetDlgItem(dialog, IDC_MOVIE_VOLUME_BAR);
      SendMessageW(position, TBM_SETTIC, 0, 0);
      SendMessageW(volume, TBM_SETTIC, 0, 0);
      SendMessageW(volume, TBM_SETRANGE, FALSE, 0xFF81);  // -127 .. 0 as two 16-bit ends
      SendMessageW(volume, TBM_SETPOS, TRUE, 0);
      const int faces[5][2] = {{IDC_MOVIE_REWIND, 2}, {IDC_MOVIE_PAUSE, 3}, {IDC_MOVIE_PLAY, 4},
                               {IDC_MOVIE_REPEAT_ON, 5}, {IDC_MOVIE_REPEAT_OFF, 6}};
      for (const auto& f : faces)
        if (g_buttonBitmaps[f[1]])
          SendDlgItemMessageW(dialog, f[0], BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(g_buttonBitmaps[f[1]]));
      // The speaker symbol lives as long as the program, like the button faces.
      static HBITMAP speaker = LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(IDB_BUTTON_MOVIE_SPEAKER));
      if (speaker) SendDlgItemMessageW(dialog, IDC_MOVIE_SPEAKER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(speaker));
      return TRUE;
    }
    case WM_SETCURSOR:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, FALSE);
      return ShowMovieControlTooltip(dialog, reinterpret_cast<HWND>(wParam), kTooltipIds, kTooltipTexts, 7);
    case WM_SIZE:
      LayoutStrip(dialog, LOWORD(lParam));
      return FALSE;
    case WM_COMMAND:
      OnStripCommand(LOWORD(wParam));
      return FALSE;
    case WM_HSCROLL: {
      HWND bar = reinterpret_cast<HWND>(lParam);
      if (bar && bar == GetDlgItem(dialog, IDC_MOVIE_VOLUME_BAR)) OnVolumeScroll(LOWORD(wParam));
      else if (bar && bar == GetDlgItem(dialog, IDC_MOVIE_POSITION)) OnPositionScroll(LOWORD(wParam));
      return FALSE;
    }
    case WM_CLOSE:
      // A modeless strip: ending it means destroying it.
      DestroyWindow(dialog);
      if (g_windowSlots[kSlotMovieControls] == dialog) g_windowSlots[kSlotMovieControls] = nullptr;
      return FALSE;
    case WM_DESTROY:
      if (g_windowSlots[kSlotMovieControls] == dialog) g_windowSlots[kSlotMovieControls] = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}
