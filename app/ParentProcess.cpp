#include "app/ParentProcess.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include "base/Handles.h"

namespace {

using NtQueryInformationProcessFn = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// The parent id is the last field of the basic information record.
bool QueryParentId(DWORD& parentId) {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  auto query = ntdll ? reinterpret_cast<NtQueryInformationProcessFn>(
                           reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryInformationProcess")))
                     : nullptr;
  if (!query) return false;
  lumo::UniqueHandle self(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, ::GetCurrentProcessId()));
  if (!self) return false;
  struct {
    PVOID reserved1;
    PVOID pebBaseAddress;
    PVOID reserved2[2];
    ULONG_PTR uniqueProcessId;
    ULONG_PTR inheritedFromUniqueProcessId;
  } info{};
  if (query(self.get(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0) return false;
  parentId = static_cast<DWORD>(info.inheritedFromUniqueProcessId);
  return parentId != static_cast<DWORD>(-1);
}

}  // namespace

DWORD GetParentProcessId() {
  DWORD parentId = 0;
  return QueryParentId(parentId) ? parentId : static_cast<DWORD>(-1);
}

std::wstring GetParentImagePath() {
  DWORD parentId = 0;
  if (!QueryParentId(parentId)) return std::wstring();
  lumo::UniqueHandle parent(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, parentId));
  if (!parent) return std::wstring();
  wchar_t name[1024] = {};
  if (!::GetModuleFileNameExW(parent.get(), nullptr, name, 1024)) return std::wstring();
  std::wstring path = name;
  if (path.find(L'~') != std::wstring::npos) {
    wchar_t longName[1024] = {};
    const DWORD n = ::GetLongPathNameW(path.c_str(), longName, 1024);
    if (n >= 1 && n <= 1023) path = longName;
  }
  if (path.size() > 259) path.resize(259);
  return path;
}
