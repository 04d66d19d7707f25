#pragma once
// The component behind the second machine identifier. It is an object with
// COM-shaped interfaces but no reference counting: one instance per process,
// never freed.
#include <windows.h>
#include <unknwn.h>

#include "base/Locks.h"
#include "net/StaticSingleton.h"

extern const IID IID_IExtend;  // {191FF683-45BC-472E-AAFF-2F9E2B434B56}
extern const IID IID_INewMID;  // {88D6FFD4-88B6-4943-AF29-C5CA67BAFCD1}

// Extension slots kept for callers of the component family; all unused here.
class IExtend {
 public:
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend3(DWORD_PTR a, DWORD_PTR b) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend4(DWORD_PTR a, DWORD_PTR b) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend5(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend6(DWORD_PTR a, DWORD_PTR b) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend7(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend8(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend9(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extend10(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c, DWORD_PTR d) = 0;

 protected:
  ~IExtend() = default;
};

class CEmptyExtendImpl : public IExtend {
 public:
  HRESULT STDMETHODCALLTYPE Extend3(DWORD_PTR, DWORD_PTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Extend4(DWORD_PTR, DWORD_PTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Extend5(DWORD_PTR, DWORD_PTR, DWORD_PTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Extend6(DWORD_PTR, DWORD_PTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Extend7(DWORD_PTR, DWORD_PTR, DWORD_PTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Extend8(DWORD_PTR, DWORD_PTR, DWORD_PTR) override { return E_NOTIMPL; }
  // The three-argument form is the four-argument one without its option.
  HRESULT STDMETHODCALLTYPE Extend9(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c) override {
    return Extend10(a, 0, b, c);
  }
  HRESULT STDMETHODCALLTYPE Extend10(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) override { return E_NOTIMPL; }

 protected:
  ~CEmptyExtendImpl() = default;
};

class INewMID {
 public:
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
  // The identifier into buffer (capacity in UTF-16 units, NUL included).
  // HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) when it had to be cut.
  virtual HRESULT STDMETHODCALLTYPE GetID(wchar_t* buffer, int capacity) = 0;

 protected:
  ~INewMID() = default;
};

class CBrixMID2 : public CEmptyExtendImpl, public INewMID, public static_singleton_base<CBrixMID2> {
 public:
  CBrixMID2();
  virtual ~CBrixMID2() = default;
  CBrixMID2(const CBrixMID2&) = delete;
  CBrixMID2& operator=(const CBrixMID2&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  // Not counted: the object lives until the process ends.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetID(wchar_t* buffer, int capacity) override;

 private:
  _BaseModule::CCriticalSection lock_;
  bool computed_ = false;
  wchar_t id_[50];
};

// The process's mid2 through the component. E_INVALIDARG for a null buffer
// or a capacity below 50.
HRESULT GetMid2(wchar_t* buffer, int capacity);
