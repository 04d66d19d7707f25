#pragma once
// The few interfaces of 7-Zip's archive library that the unpacker uses,
// declared after its published layout: IUnknown-based, __stdcall methods,
// identifiers {23170F69-40C1-278A-0000-00gg00nn0000} (group gg, number nn).
#include <windows.h>
#include <objbase.h>
#include <propidl.h>

#include <cstdint>

namespace sevenzip {

constexpr GUID MakeIid(unsigned char group, unsigned char number) {
  return GUID{0x23170F69, 0x40C1, 0x278A, {0, 0, 0, group, 0, number, 0, 0}};
}

// The 7z format handler and the input-archive interface, as CreateObject wants them.
inline constexpr GUID kClsid7zFormat = {0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};
inline constexpr GUID kIidInArchive = MakeIid(6, 0x60);
inline constexpr GUID kIidProgress = MakeIid(0, 0x05);
inline constexpr GUID kIidSequentialInStream = MakeIid(3, 0x01);
inline constexpr GUID kIidSequentialOutStream = MakeIid(3, 0x02);
inline constexpr GUID kIidInStream = MakeIid(3, 0x03);
inline constexpr GUID kIidOutStream = MakeIid(3, 0x04);
inline constexpr GUID kIidStreamGetSize = MakeIid(3, 0x06);
inline constexpr GUID kIidCryptoGetTextPassword = MakeIid(5, 0x10);
inline constexpr GUID kIidArchiveOpenCallback = MakeIid(6, 0x10);
inline constexpr GUID kIidArchiveExtractCallback = MakeIid(6, 0x20);

enum PropId : PROPID { kpidPath = 3, kpidIsDir = 6, kpidAttrib = 9, kpidMTime = 12 };
enum AskMode : int32_t { kAskExtract = 0, kAskTest = 1, kAskSkip = 2 };
enum OperationResult : int32_t { kResultOk = 0 };

struct ISequentialInStream : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Read(void* data, uint32_t size, uint32_t* processed) = 0;
};
struct ISequentialOutStream : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Write(const void* data, uint32_t size, uint32_t* processed) = 0;
};
struct IInStream : ISequentialInStream {
  virtual HRESULT STDMETHODCALLTYPE Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) = 0;
};
struct IOutStream : ISequentialOutStream {
  virtual HRESULT STDMETHODCALLTYPE Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSize(uint64_t newSize) = 0;
};
struct IStreamGetSize : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSize(uint64_t* size) = 0;
};
struct IProgress : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetTotal(uint64_t total) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCompleted(const uint64_t* completed) = 0;
};
struct ICryptoGetTextPassword : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) = 0;
};
struct IArchiveOpenCallback : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetTotal(const uint64_t* files, const uint64_t* bytes) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCompleted(const uint64_t* files, const uint64_t* bytes) = 0;
};
struct IArchiveExtractCallback : IProgress {
  virtual HRESULT STDMETHODCALLTYPE GetStream(uint32_t index, ISequentialOutStream** stream, int32_t askMode) = 0;
  virtual HRESULT STDMETHODCALLTYPE PrepareOperation(int32_t askMode) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetOperationResult(int32_t result) = 0;
};
struct IInArchive : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Open(IInStream* stream, const uint64_t* maxCheckStart,
                                         IArchiveOpenCallback* callback) = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNumberOfItems(uint32_t* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProperty(uint32_t index, PROPID id, PROPVARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE Extract(const uint32_t* indices, uint32_t count, int32_t testMode,
                                            IArchiveExtractCallback* callback) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetArchiveProperty(PROPID id, PROPVARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNumberOfProperties(uint32_t* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPropertyInfo(uint32_t index, BSTR* name, PROPID* id, VARTYPE* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNumberOfArchiveProperties(uint32_t* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetArchivePropertyInfo(uint32_t index, BSTR* name, PROPID* id,
                                                           VARTYPE* type) = 0;
};

using CreateObjectFn = HRESULT(WINAPI*)(const GUID* clsid, const GUID* iid, void** object);

}  // namespace sevenzip
