#include <windows.h>

#include "app/StartUp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  return RunUninstaller(instance, commandLine, nullptr);
}
