#pragma once
#include <windows.h>

#include <string>

// Takes a resource out of a loaded module: as a file, or, for an archive
// resource, extracted into a fresh temporary directory.
class CResourceUnpack {
 public:
  CResourceUnpack() = default;
  virtual ~CResourceUnpack() = default;

  bool Init(HMODULE module, const wchar_t* name, const wchar_t* type);
  bool Reset();
  // Replaces any file at path with the raw resource bytes.
  bool WriteToFile(const std::wstring& path) const;
  // Extracts the archive resource into a new temporary directory.
  bool ExtractToTempDir(std::wstring& outDir) const;

  const void* Data() const { return data_; }
  DWORD Size() const { return size_; }

 private:
  const BYTE* data_ = nullptr;  // inside the loaded image; never freed
  DWORD size_ = 0;
};

#include "base/TempName.h"

namespace lumo {
// Writes bytes into a file created new (after deleting any old one), in
// 4096-byte blocks and then the remainder.
bool WriteNewFile(const std::wstring& path, const void* data, DWORD size);
}  // namespace lumo
