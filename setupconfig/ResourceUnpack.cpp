#include "setupconfig/ResourceUnpack.h"

#include <objbase.h>
#include <shlobj.h>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "setupconfig/ArchiveClient.h"

namespace lumo {

namespace {
constexpr DWORD kBlockSize = 4096;
}  // namespace

bool WriteNewFile(const std::wstring& path, const void* data, DWORD size) {
  ::DeleteFileW(path.c_str());
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  const BYTE* bytes = static_cast<const BYTE*>(data);
  DWORD done = 0;
  while (bytes && done < size) {
    const DWORD chunk = size - done >= kBlockSize ? kBlockSize : size - done;
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes + done, chunk, &written, nullptr) || written != chunk) return false;
    done += chunk;
  }
  return true;
}

}  // namespace lumo

bool CResourceUnpack::Init(HMODULE module, const wchar_t* name, const wchar_t* type) {
  Reset();
  HRSRC info = ::FindResourceW(module, name, type);
  if (!info) return false;
  HGLOBAL loaded = ::LoadResource(module, info);
  if (!loaded) return false;
  data_ = static_cast<const BYTE*>(::LockResource(loaded));
  size_ = data_ ? ::SizeofResource(module, info) : 0;
  return data_ != nullptr;
}

bool CResourceUnpack::Reset() {
  data_ = nullptr;
  size_ = 0;
  return true;
}

bool CResourceUnpack::WriteToFile(const std::wstring& path) const { return lumo::WriteNewFile(path, data_, size_); }

bool CResourceUnpack::ExtractToTempDir(std::wstring& outDir) const {
  std::wstring archive;
  if (!lumo::MakeTempName(archive)) return false;
  ::DeleteFileW(archive.c_str());  // and once more inside WriteNewFile
  if (!lumo::WriteNewFile(archive, data_, size_)) return false;

  std::wstring dir;
  if (!lumo::MakeTempName(dir)) return false;
  ::SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
  if (CArchiveLibrary::Instance().ExtractArchive(archive, dir, nullptr) != 0) return false;
  outDir = dir;
  ::DeleteFileW(archive.c_str());
  return true;
}
