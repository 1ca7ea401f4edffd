#include <windows.h>

#include "core/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  return RunApplication(instance, commandLine, showCommand);
}
