#pragma once
#include "base/SimpleBind.h"
#include "base/WindowImpl.h"

// A hidden window on the UI thread through which worker threads run a call on
// that thread and wait for it to finish.
class CUIThreadWindow : public lumo::CWindowImpl<CUIThreadWindow> {
 public:
  static constexpr UINT kCallMessage = 3002;

  // Creates the process-wide window on the calling thread; true when it exists.
  static bool Create();
  // Runs call->Invoke() on the window's thread and returns after it ran.
  // Skipped when the window has not been created.
  static void CallOnUIThread(ISimpleBind* call);
  static CUIThreadWindow* Instance();

  BEGIN_MSG_MAP(CUIThreadWindow)
    MESSAGE_HANDLER(kCallMessage, OnCall)
  END_MSG_MAP()

 private:
  LRESULT OnCall(UINT, WPARAM wParam, LPARAM, BOOL& handled);
};
