#include "setupconfig/ArchiveClient.h"

#include <shlobj.h>

#include <new>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "setupconfig/SevenZip.h"

using namespace sevenzip;

namespace {

HRESULT SeekFile(HANDLE file, int64_t offset, uint32_t origin, uint64_t* newPosition) {
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!::SetFilePointerEx(file, distance, &position, origin)) return HRESULT_FROM_WIN32(::GetLastError());
  if (newPosition) *newPosition = static_cast<uint64_t>(position.QuadPart);
  return S_OK;
}

// Reference counting and interface lookup shared by the client objects.
template <typename Primary, typename... Others>
class ComObject : public Primary, public Others... {
 public:
  virtual ~ComObject() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  HRESULT Answer(void* self, void** out) {
    *out = self;
    AddRef();
    return S_OK;
  }

 private:
  LONG refs_ = 1;
};

class CInFileStream : public ComObject<IInStream, IStreamGetSize> {
 public:
  bool Open(const std::wstring& path) {
    file_.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == kIidSequentialInStream || iid == kIidInStream)
      return Answer(static_cast<IInStream*>(this), out);
    if (iid == kIidStreamGetSize) return Answer(static_cast<IStreamGetSize*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }
  HRESULT STDMETHODCALLTYPE Read(void* data, uint32_t size, uint32_t* processed) override {
    DWORD got = 0;
    const BOOL ok = ::ReadFile(file_.get(), data, size, &got, nullptr);
    if (processed) *processed = got;
    return ok ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
  }
  HRESULT STDMETHODCALLTYPE Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) override {
    return SeekFile(file_.get(), offset, origin, newPosition);
  }
  HRESULT STDMETHODCALLTYPE GetSize(uint64_t* size) override {
    LARGE_INTEGER value;
    if (!::GetFileSizeEx(file_.get(), &value)) return HRESULT_FROM_WIN32(::GetLastError());
    *size = static_cast<uint64_t>(value.QuadPart);
    return S_OK;
  }

 private:
  lumo::UniqueFile file_;
};

class COutFileStream : public ComObject<IOutStream> {
 public:
  bool Create(const std::wstring& path) {
    file_.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
  }
  void SetModificationTime(const FILETIME& time) { ::SetFileTime(file_.get(), nullptr, nullptr, &time); }
  void Close() { file_.reset(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == kIidSequentialOutStream || iid == kIidOutStream)
      return Answer(static_cast<IOutStream*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }
  HRESULT STDMETHODCALLTYPE Write(const void* data, uint32_t size, uint32_t* processed) override {
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file_.get(), data, size, &written, nullptr);
    if (processed) *processed = written;
    return ok ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
  }
  HRESULT STDMETHODCALLTYPE Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) override {
    return SeekFile(file_.get(), offset, origin, newPosition);
  }
  HRESULT STDMETHODCALLTYPE SetSize(uint64_t newSize) override {
    LARGE_INTEGER current{}, zero{}, target;
    target.QuadPart = static_cast<LONGLONG>(newSize);
    if (!::SetFilePointerEx(file_.get(), zero, &current, FILE_CURRENT) ||
        !::SetFilePointerEx(file_.get(), target, nullptr, FILE_BEGIN) || !::SetEndOfFile(file_.get()))
      return HRESULT_FROM_WIN32(::GetLastError());
    ::SetFilePointerEx(file_.get(), current, nullptr, FILE_BEGIN);
    return S_OK;
  }

 private:
  lumo::UniqueFile file_;
};

// No password is defined for the package: a request for one is refused.
class CArchiveOpenCallback : public ComObject<IArchiveOpenCallback, ICryptoGetTextPassword> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == kIidArchiveOpenCallback)
      return Answer(static_cast<IArchiveOpenCallback*>(this), out);
    if (iid == kIidCryptoGetTextPassword) return Answer(static_cast<ICryptoGetTextPassword*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }
  HRESULT STDMETHODCALLTYPE SetTotal(const uint64_t*, const uint64_t*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetCompleted(const uint64_t*, const uint64_t*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR*) override { return E_ABORT; }
};

class CArchiveExtractCallback : public ComObject<IArchiveExtractCallback, ICryptoGetTextPassword> {
 public:
  CArchiveExtractCallback(IInArchive* archive, const std::wstring& outDir, CArchiveLibrary::IObserver* observer)
      : archive_(archive), outDir_(outDir), observer_(observer) {
    if (!outDir_.empty() && outDir_.back() != L'\\') outDir_ += L'\\';
  }
  ~CArchiveExtractCallback() override { CloseOutput(); }

  int FailedItems() const { return failedItems_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == kIidProgress || iid == kIidArchiveExtractCallback)
      return Answer(static_cast<IArchiveExtractCallback*>(this), out);
    if (iid == kIidCryptoGetTextPassword) return Answer(static_cast<ICryptoGetTextPassword*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }
  HRESULT STDMETHODCALLTYPE SetTotal(uint64_t) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetCompleted(const uint64_t*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PrepareOperation(int32_t) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR*) override { return E_ABORT; }

  HRESULT STDMETHODCALLTYPE GetStream(uint32_t index, ISequentialOutStream** stream, int32_t askMode) override;
  HRESULT STDMETHODCALLTYPE SetOperationResult(int32_t result) override;

 private:
  void ReadItem(uint32_t index);
  void CloseOutput() {
    if (output_) {
      output_->Close();
      output_->Release();
      output_ = nullptr;
    }
  }

  IInArchive* archive_;
  std::wstring outDir_;
  CArchiveLibrary::IObserver* observer_;
  COutFileStream* output_ = nullptr;  // our reference to the current file
  std::wstring itemPath_;
  std::wstring fullPath_;  // where the current item lands
  bool itemIsDir_ = false;
  bool hasAttributes_ = false, hasTime_ = false, extracting_ = false;
  DWORD attributes_ = 0;
  FILETIME time_{};
  int failedItems_ = 0;
};

void CArchiveExtractCallback::ReadItem(uint32_t index) {
  PROPVARIANT value;
  ::PropVariantInit(&value);
  itemPath_ = L"[Content]";
  if (SUCCEEDED(archive_->GetProperty(index, kpidPath, &value)) && value.vt == VT_BSTR && value.bstrVal)
    itemPath_ = value.bstrVal;
  ::PropVariantClear(&value);
  hasAttributes_ = SUCCEEDED(archive_->GetProperty(index, kpidAttrib, &value)) && value.vt == VT_UI4;
  if (hasAttributes_) attributes_ = value.ulVal;
  ::PropVariantClear(&value);
  itemIsDir_ = SUCCEEDED(archive_->GetProperty(index, kpidIsDir, &value)) && value.vt == VT_BOOL &&
               value.boolVal != VARIANT_FALSE;
  ::PropVariantClear(&value);
  hasTime_ = SUCCEEDED(archive_->GetProperty(index, kpidMTime, &value)) && value.vt == VT_FILETIME;
  if (hasTime_) time_ = value.filetime;
  ::PropVariantClear(&value);
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::GetStream(uint32_t index, ISequentialOutStream** stream,
                                                              int32_t askMode) {
  if (!stream) return E_POINTER;
  *stream = nullptr;
  extracting_ = false;
  CloseOutput();
  if (askMode != kAskExtract) return S_OK;
  ReadItem(index);

  std::wstring relative;
  if (!NormalizeArchiveItemPath(itemPath_, relative)) return E_FAIL;  // would land outside outDir
  if (observer_ && !observer_->AcceptItem(itemPath_, itemIsDir_)) return S_OK;

  fullPath_ = outDir_ + relative;
  const std::wstring& fullPath = fullPath_;
  const std::wstring parent = lumo::DirectoryOf(fullPath);
  if (!parent.empty()) ::SHCreateDirectoryExW(nullptr, parent.c_str(), nullptr);
  extracting_ = true;
  if (itemIsDir_) {
    ::CreateDirectoryW(fullPath.c_str(), nullptr);
    return S_OK;
  }
  if (::GetFileAttributesW(fullPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
    ::SetFileAttributesW(fullPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::DeleteFileW(fullPath.c_str())) return E_ABORT;
  }
  auto* output = new (std::nothrow) COutFileStream();
  if (!output) return E_OUTOFMEMORY;
  if (!output->Create(fullPath)) {
    output->Release();
    return E_ABORT;
  }
  output_ = output;
  output_->AddRef();
  *stream = output;  // the library's reference
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::SetOperationResult(int32_t result) {
  const bool ok = result == kResultOk;
  if (!ok) ++failedItems_;
  if (output_) {
    if (hasTime_) output_->SetModificationTime(time_);
    CloseOutput();
  }
  if (extracting_ && hasAttributes_) {
    // The high word of 7-Zip's attributes may carry Unix mode bits.
    ::SetFileAttributesW(fullPath_.c_str(), attributes_ & 0x7FFF);
  }
  if (observer_) observer_->OnItemDone(itemPath_, ok);
  return S_OK;
}

// Releases a COM reference at the end of a scope.
template <typename T>
struct Releaser {
  T* object;
  ~Releaser() {
    if (object) object->Release();
  }
};

}  // namespace

bool NormalizeArchiveItemPath(const std::wstring& itemPath, std::wstring& relative) {
  relative = itemPath;
  for (wchar_t& c : relative) {
    if (c == L'/') c = L'\\';
  }
  if (relative.empty() || relative.front() == L'\\' || relative.find(L':') != std::wstring::npos) return false;
  size_t start = 0;
  while (start <= relative.size()) {
    const size_t end = std::min(relative.find(L'\\', start), relative.size());
    const std::wstring part = lumo::Trim(relative.substr(start, end - start));
    // Windows drops trailing dots and blanks, so ".. " and "..." climb as well.
    if (!part.empty() && part.find_first_not_of(L'.') == std::wstring::npos && part.size() >= 2) return false;
    start = end + 1;
  }
  return true;
}

CArchiveLibrary& CArchiveLibrary::Instance() {
  static CArchiveLibrary library;
  return library;
}

bool CArchiveLibrary::Load(const std::wstring& fullPath) {
  if (module_) return true;
  module_ = ::LoadLibraryExW(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module_ != nullptr;
}

int CArchiveLibrary::ExtractArchive(const std::wstring& archivePath, const std::wstring& outDir,
                                    IObserver* observer) {
  if (!lumo::DirectoryExists(outDir)) ::SHCreateDirectoryExW(nullptr, outDir.c_str(), nullptr);
  if (!module_) return -1;
  auto createObject = reinterpret_cast<CreateObjectFn>(
      reinterpret_cast<void*>(::GetProcAddress(module_, "CreateObject")));
  if (!createObject) return -1;

  IInArchive* archive = nullptr;
  if (FAILED(createObject(&kClsid7zFormat, &kIidInArchive, reinterpret_cast<void**>(&archive))) || !archive)
    return -1;
  Releaser<IInArchive> archiveRef{archive};

  auto* input = new (std::nothrow) CInFileStream();
  if (!input) return -1;
  Releaser<CInFileStream> inputRef{input};
  if (!input->Open(archivePath)) return -1;

  auto* openCallback = new (std::nothrow) CArchiveOpenCallback();
  if (!openCallback) return -1;
  Releaser<CArchiveOpenCallback> openRef{openCallback};
  if (archive->Open(input, nullptr, openCallback) != S_OK) return -1;

  auto* extractCallback = new (std::nothrow) CArchiveExtractCallback(archive, outDir, observer);
  if (!extractCallback) {
    archive->Close();
    return -1;
  }
  Releaser<CArchiveExtractCallback> extractRef{extractCallback};
  if (observer) observer->OnStart(archivePath, outDir);
  const HRESULT hr = archive->Extract(nullptr, static_cast<uint32_t>(-1), 0, extractCallback);
  const bool ok = hr == S_OK && extractCallback->FailedItems() == 0;
  if (observer) observer->OnFinish(ok);
  archive->Close();
  return ok ? 0 : -1;
}
