#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/Locks.h"

// The checks that run before any uninstall work.

// Whether this run may go on: every interactive run may; a silent one must
// come from the product's channel and either be started by a trusted parent
// (launcher) or carry the launcher's "/CHK" token (working instance).
bool CheckCallAuthorisation();

// The "/CHK" token the launcher hands to the working instance: the handshake
// word enciphered under this machine's identifier.
std::wstring MakeCallToken();

// Only one installer or uninstaller of the product runs at a time; the
// mutex name is shared with the product's installer.
class CInstanceMutex {
 public:
  static constexpr UINT kActivateMessage = 0x1400;  // WM_ACTIVATE_INSTANCE
  static const wchar_t kMutexName[];
  static const wchar_t kMainWindowClass[];

  static CInstanceMutex& Instance();
  CInstanceMutex();
  virtual ~CInstanceMutex();
  CInstanceMutex(const CInstanceMutex&) = delete;
  CInstanceMutex& operator=(const CInstanceMutex&) = delete;

  // True when this process now holds the guard (or no guard can be made);
  // false when another process holds it, after activating its window.
  bool CheckSingleInstance();
  void ReleaseAll();

 private:
  std::vector<HANDLE> handles_;
  CRITICAL_SECTION lock_;
};

// 0 when the program may load its configuration; 2 when the running
// executable is not signed by an accepted signer; 3 when "7z.dll" cannot be
// loaded from the program's folder. Also creates the UI-thread call window.
int PreInitCheck();
// The text shown for a pre-init code (empty for codes without one).
const wchar_t* PreInitMessage(int code);
