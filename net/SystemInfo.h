#pragma once
// What the program asks about the machine: file versions, the bitness of
// Windows and its true version.
#include <windows.h>

#include <string>

#include "net/StaticSingleton.h"

namespace lumo {

// The version text of an executable ("1.2.3.4"). False when the file has no
// usable version resource.
bool GetFileVersionText(const std::wstring& path, std::wstring& version);

// Whether Windows itself is 64-bit (also for a 32-bit process on ARM64).
bool IsSystem64Bit();

// The rules behind the two services, apart from the system calls.
bool IsWindows10Version(DWORD major, DWORD minor);  // 10 and later, or 6.4 (its previews)
// block: a version resource as GetFileVersionInfo returns it. With
// preferStringTable the first translation's "FileVersion" string wins when it
// holds more than separators and blanks.
bool VersionTextFromBlock(const void* block, bool preferStringTable, std::wstring& version);
// nativeMachine: what IsWow64Process2 reported, or 0 when it is missing or failed.
bool Is64BitArchitecture(bool haveNativeInfo, WORD processorArchitecture, USHORT nativeMachine);

}  // namespace lumo

// The true Windows version, corrected for compatibility shims by the version
// of the kernel file.
class COSVersionCheck : public static_singleton_base<COSVersionCheck> {
 public:
  COSVersionCheck();
  virtual ~COSVersionCheck() = default;
  COSVersionCheck(const COSVersionCheck&) = delete;
  COSVersionCheck& operator=(const COSVersionCheck&) = delete;

  const OSVERSIONINFOEXW& Version() const { return version_; }
  // 1: major, minor and build come from the kernel file; 0: from the system calls.
  LONG Source() const { return source_; }

 private:
  OSVERSIONINFOEXW version_;
  LONG source_ = -1;
};
