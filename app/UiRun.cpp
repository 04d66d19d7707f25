#include "app/UiRun.h"

#include "base/AppModule.h"
#include "base/MessageLoop.h"

int RunUi(MainWindowFactory createMainWindow) {
  lumo::CMessageLoop loop;
  lumo::AppModule().AddMessageLoop(&loop);
  int code = 0;
  std::unique_ptr<IMainWindow> mainWindow = createMainWindow ? createMainWindow() : nullptr;
  if (mainWindow && mainWindow->Window().Create(nullptr, nullptr, L"", WS_POPUP, WS_EX_LAYERED)) {
    code = loop.Run();
  }
  lumo::AppModule().RemoveMessageLoop();
  mainWindow.reset();
  return code;
}
