#include "engine/UninstallTask.h"

#include <cwchar>

#include "app/SmartLogger.h"
#include "app/StartupChecks.h"
#include "base/Handles.h"
#include "base/TextUtil.h"

namespace {

CUninstallTask g_task;  // built before the entry point, gone at process exit

const wchar_t kGameCenterKey[] = L"SOFTWARE\\BrixGameCenter";

// Missing keys and values read as empty text (at most 259 characters).
std::wstring ReadGameCenterValue(const wchar_t* name) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGameCenterKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return std::wstring();
  wchar_t buffer[261] = {};
  DWORD type = 0, bytes = 259 * sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::wstring();
  buffer[bytes / sizeof(wchar_t)] = L'\0';
  return buffer;
}

}  // namespace

CUninstallTask::CUninstallTask() : engine_(config_) {}

IUninstallTask* CUninstallTask::Instance() { return &g_task; }
CUninstallTask& CUninstallTask::Object() { return g_task; }

int __stdcall CUninstallTask::PreInitCheck() { return ::PreInitCheck(); }

bool __stdcall CUninstallTask::InitConfig(HMODULE module, UINT resourceId, const wchar_t* resourceType,
                                          const wchar_t* projectName) {
  return config_.LoadFromResource(module, resourceId, resourceType, projectName) != 0;
}

void __stdcall CUninstallTask::StartUninstall(IUninstallCallback* callback) { engine_.Start(callback); }

void __stdcall CUninstallTask::WriteLog(const wchar_t* text) {
  if (text) CSmartLogger::Instance().LogText(text);
}

bool __stdcall CUninstallTask::IsGameCenterUnplayed() { return ReadGameCenterValue(L"Played").empty(); }

void __stdcall CUninstallTask::SetUninstallGameCenter(int choice) {
  if (engine_.GameCenterFlag()) engine_.SetGameCenterChoice(choice);
}

bool __stdcall CUninstallTask::IsGameCenterFromProduct() {
  std::wstring vendor = ReadGameCenterValue(L"VendorID");
  if (!vendor.empty()) ::CharLowerBuffW(&vendor[0], static_cast<DWORD>(vendor.size()));
  const bool fromProduct = vendor.find(L"lumo") != std::wstring::npos;
  engine_.SetGameCenterFlag(fromProduct ? 1 : 0);
  return fromProduct;
}

void __stdcall CUninstallTask::SetRemoveUserData(int remove) { engine_.SetRemoveUserData(remove); }

void __stdcall CUninstallTask::SetInstallDir(const wchar_t* dir) { engine_.SetInstallDir(dir); }

int __stdcall CUninstallTask::GetInstallDir(wchar_t* buffer, int capacity) {
  const std::wstring& dir = engine_.InstallDir();
  if (!buffer || dir.empty() || capacity <= 0 || dir.size() >= static_cast<size_t>(capacity)) return 0;
  std::wmemcpy(buffer, dir.c_str(), dir.size() + 1);
  return 1;
}

void __stdcall CUninstallTask::DetachCallback() { engine_.DetachCallback(); }
