#pragma once
#include <windows.h>

#include "base/WindowImpl.h"  // the message-map macros

namespace lumo {

// Base of the program's own modal dialogs: the dialog is built from a
// template resource and its messages go through the message map
// (ProcessWindowMessage, the same macros as CWindowImpl). Unhandled messages
// get the system's default dialog processing.
class CDialogImplBase {
 public:
  HWND m_hWnd = nullptr;

  CDialogImplBase() = default;
  virtual ~CDialogImplBase();
  CDialogImplBase(const CDialogImplBase&) = delete;
  CDialogImplBase& operator=(const CDialogImplBase&) = delete;

  // Runs the dialog of `templateId` from `instance` (null: the application
  // module) until EndDialog; -1 when the dialog could not be created.
  INT_PTR DoModal(HWND owner, UINT templateId, HINSTANCE instance = nullptr);
  BOOL EndDialog(INT_PTR result);
  bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  // Centres the dialog over `over` (null: its owner), or on the work area of
  // the nearest monitor when there is no such window.
  bool CenterWindow(HWND over = nullptr);

  // The object that runs the dialog window `dialog`, null for other windows.
  static CDialogImplBase* FromHandle(HWND dialog);

  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult, DWORD dwMsgMapID) = 0;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// The dialog of template T::IDD.
template <typename T>
class CDialogImpl : public CDialogImplBase {
 public:
  INT_PTR DoModal(HWND owner = ::GetActiveWindow()) {
    return CDialogImplBase::DoModal(owner, T::IDD);
  }
};

}  // namespace lumo
