#include "browser/main_window.h"

#include <cwchar>

#include "core/app_globals.h"
#include "core/settings.h"
#include "browser/window_slots.h"
#include "resources/resource.h"

HWND g_mainWindow = nullptr;
uint8_t g_fullScreen = 0;

void CollectWindowSettings() {
  if (!g_mainWindow || !IsWindow(g_mainWindow)) return;
  g_settings.wasMaximized = IsZoomed(g_mainWindow) ? 1 : 0;
  g_settings.wasFullScreen = g_fullScreen;
  if (!IsIconic(g_mainWindow) && g_settings.wasMaximized != 1 && g_settings.wasFullScreen != 1) {
    RECT r;
    GetWindowRect(g_mainWindow, &r);
    g_settings.windowLeft = r.left;
    g_settings.windowTop = r.top;
    g_settings.windowWidth = r.right - r.left;
    g_settings.windowHeight = r.bottom - r.top;
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      g_mainWindow = window;
      if (g_settings.windowWidth > 0 && g_settings.windowHeight > 0)
        MoveWindow(window, g_settings.windowLeft, g_settings.windowTop, g_settings.windowWidth,
                   g_settings.windowHeight, FALSE);
      else
        MoveWindow(window, 50, 50, 1820, 980, FALSE);
      return 0;
    case WM_CLOSE:
      g_settings.cleanExit = 1;
      SaveSettingsFile();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      g_mainWindow = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = g_windowClassName;
  return RegisterClassExW(&wc);
}

uint8_t CreateMainWindow(HINSTANCE instance, int showCommand) {
  wchar_t title[256];
  swprintf(title, 256, L"%ls Ver%ls", g_productName, g_programVersion);
  HWND window = CreateWindowExW(0, g_windowClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 0;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return 1;
}
