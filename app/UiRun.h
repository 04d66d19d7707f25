#pragma once
#include <memory>

#include "base/WindowImpl.h"

// The working instance's conductor window. It is created hidden and decides
// itself when to show; it posts WM_QUIT when it closes.
class IMainWindow {
 public:
  virtual ~IMainWindow() = default;
  virtual lumo::CWindowImplBase& Window() = 0;
};

using MainWindowFactory = std::unique_ptr<IMainWindow> (*)();

// Runs the main window's message loop; returns the quit code, or 0 when there
// is no window to run.
int RunUi(MainWindowFactory createMainWindow);
