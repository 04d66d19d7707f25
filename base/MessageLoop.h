#pragma once
#include <windows.h>

#include <vector>

namespace lumo {

class CMessageFilter {
 public:
  // True when the filter took the message; it is then neither translated
  // nor dispatched.
  virtual bool PreTranslateMessage(MSG* msg) = 0;

 protected:
  ~CMessageFilter() = default;
};

class CIdleHandler {
 public:
  // Called while the queue is empty; idleCount counts the calls since the
  // last message that re-armed idle processing. True asks for another call.
  virtual bool OnIdle(int idleCount) = 0;

 protected:
  ~CIdleHandler() = default;
};

class CMessageLoop {
 public:
  void AddMessageFilter(CMessageFilter* filter);
  void RemoveMessageFilter(CMessageFilter* filter);
  void AddIdleHandler(CIdleHandler* handler);
  void RemoveIdleHandler(CIdleHandler* handler);

  // Runs until WM_QUIT and returns its exit code.
  int Run();

  bool PreTranslateMessage(MSG* msg);
  bool OnIdle(int idleCount);
  static bool IsIdleMessage(const MSG& msg);

 private:
  std::vector<CMessageFilter*> filters_;
  std::vector<CIdleHandler*> idleHandlers_;
};

}  // namespace lumo
