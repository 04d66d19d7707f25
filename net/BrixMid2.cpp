#include "net/BrixMid2.h"

#include <cwchar>
#include <string>

#include "net/MachineId.h"

const IID IID_IExtend = {0x191FF683, 0x45BC, 0x472E, {0xAA, 0xFF, 0x2F, 0x9E, 0x2B, 0x43, 0x4B, 0x56}};
const IID IID_INewMID = {0x88D6FFD4, 0x88B6, 0x4943, {0xAF, 0x29, 0xC5, 0xCA, 0x67, 0xBA, 0xFC, 0xD1}};

CBrixMID2::CBrixMID2() : id_{} {}

HRESULT STDMETHODCALLTYPE CBrixMID2::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_INewMID)) {
    *object = static_cast<INewMID*>(this);
    return S_OK;
  }
  if (::IsEqualIID(iid, IID_IExtend)) {
    *object = static_cast<IExtend*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CBrixMID2::GetID(wchar_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return E_INVALIDARG;
  {
    _BaseModule::CAutoLocker locked(&lock_);
    if (!computed_) {
      const std::string id = lumo::ProcessMid2();
      if (id.empty() || id.size() > 49) return E_FAIL;
      for (size_t i = 0; i < id.size(); ++i) id_[i] = static_cast<wchar_t>(id[i]);
      id_[id.size()] = L'\0';
      computed_ = true;
    }
  }
  const size_t length = std::wcslen(id_);
  const size_t copy = length < static_cast<size_t>(capacity) ? length : static_cast<size_t>(capacity) - 1;
  std::wmemcpy(buffer, id_, copy);
  buffer[copy] = L'\0';
  return copy < length ? HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) : S_OK;
}

HRESULT GetMid2(wchar_t* buffer, int capacity) {
  if (!buffer || capacity < 50) return E_INVALIDARG;
  CBrixMID2* object = CBrixMID2::instance();
  if (!object) return E_OUTOFMEMORY;
  return static_cast<INewMID*>(object)->GetID(buffer, capacity);
}
