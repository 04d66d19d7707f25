#include "engine/RegistrationSupport.h"

#include <oleauto.h>
#include <shlobj.h>
#include <taskschd.h>

#include <initializer_list>
#include <memory>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "engine/AutoRun.h"
#include "engine/FileRemoval.h"
#include "engine/Registrations.h"
#include "engine/RemovalSupport.h"
#include "support/Sandbox.h"

namespace lumo::test {

namespace {

bool KeyExists32(HKEY root, const std::wstring& subKey) {
  lumo::UniqueHkey key;
  return ::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.put()) == ERROR_SUCCESS;
}

lumo::UniqueServiceHandle OpenServiceToDelete(const std::wstring& name) {
  lumo::UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  return lumo::UniqueServiceHandle(manager ? ::OpenServiceW(manager.get(), name.c_str(), SERVICE_ALL_ACCESS) : nullptr);
}

}  // namespace

ScopedShellItem::ScopedShellItem(std::wstring path) : path_(std::move(path)), existedBefore_(PathExists(path_)) {}

ScopedShellItem::~ScopedShellItem() {
  // A shell reading a new shortcut may hold it for a moment.
  for (int attempt = 0; attempt < 50 && !existedBefore_ && PathExists(path_); ++attempt) {
    lumo::test::RemoveTree(path_);
    if (PathExists(path_)) ::Sleep(100);
  }
}

bool GoneOrScheduled(const std::wstring& path, const PendingRenames& pending) {
  if (!PathExists(path)) return true;
  for (const std::wstring& scheduled : pending.Added())
    if (EqualsNoCase(scheduled, path)) return true;
  return false;
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, std::wstring subKey)
    : root_(root), subKey_(std::move(subKey)), existedBefore_(KeyExists32(root_, subKey_)) {}

ScopedRegistryKey::~ScopedRegistryKey() {
  if (!existedBefore_) DeleteRegistryTree32(root_, subKey_);
}

bool ScopedRegistryKey::Create() {
  const wchar_t data[] = L"x";
  lumo::UniqueHkey child;
  if (::RegCreateKeyExW(root_, (subKey_ + L"\\file_list").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                        nullptr, child.put(), nullptr) != ERROR_SUCCESS)
    return false;
  ::RegSetValueExW(child.get(), L"0", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data));
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS)
    return false;
  return ::RegSetValueExW(key.get(), L"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data)) ==
         ERROR_SUCCESS;
}

bool ScopedRegistryKey::exists() const { return KeyExists32(root_, subKey_); }

ScopedTestService::ScopedTestService(const wchar_t* name) : name_(name), existedBefore_(ServiceExists(name)) {}

ScopedTestService::~ScopedTestService() {
  if (existedBefore_) return;
  lumo::UniqueServiceHandle service = OpenServiceToDelete(name_);
  if (service) ::DeleteService(service.get());
}

bool ScopedTestService::Create() {
  lumo::UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  const std::wstring program = L"\"" + SigningFixture(L"tiny_program_accepted.exe") + L"\"";
  lumo::UniqueServiceHandle service(
      manager ? ::CreateServiceW(manager.get(), name_.c_str(), name_.c_str(), SERVICE_ALL_ACCESS,
                                 SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                 program.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)
              : nullptr);
  return service.valid();
}

bool ServiceExists(const wchar_t* name) {
  lumo::UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  lumo::UniqueServiceHandle service(manager ? ::OpenServiceW(manager.get(), name, SERVICE_QUERY_STATUS) : nullptr);
  return service.valid();
}

std::wstring InSpecialFolder(int csidl, const wchar_t* name) { return lumo::JoinPath(SpecialFolderPath(csidl), name); }

bool MakeShortcut(const std::wstring& path) {
  lumo::ScopedComInit com;
  IShellLinkW* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* file = nullptr;
  const bool saved = SUCCEEDED(link->SetPath(lumo::ModulePath().c_str())) &&
                     SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                     SUCCEEDED(file->Save(path.c_str(), TRUE));
  if (file) file->Release();
  link->Release();
  return saved && PathExists(path);
}

bool ReadRunValue(HKEY root, REGSAM view, const wchar_t* name, std::wstring& text) {
  lumo::UniqueHkey key;
  if (::RegOpenKeyExW(root, kRunKey, 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS) return false;
  wchar_t buffer[512] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  if (::RegGetValueW(key.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return false;
  text = buffer;
  return true;
}

bool RunValueExists(HKEY root, REGSAM view, const wchar_t* name) {
  std::wstring ignored;
  return ReadRunValue(root, view, name, ignored);
}

bool CreatePlainTask(const wchar_t* name) {
  lumo::ScopedComInit com;
  ITaskService* service = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                reinterpret_cast<void**>(&service))))
    return false;
  VARIANT empty;
  ::VariantInit(&empty);
  ITaskFolder* root = nullptr;
  ITaskDefinition* definition = nullptr;
  IActionCollection* actions = nullptr;
  IAction* action = nullptr;
  IRegisteredTask* registered = nullptr;
  BSTR rootPath = ::SysAllocString(L"\\");
  BSTR taskName = ::SysAllocString(name);
  const bool created = SUCCEEDED(service->Connect(empty, empty, empty, empty)) &&
                       SUCCEEDED(service->GetFolder(rootPath, &root)) && SUCCEEDED(service->NewTask(0, &definition)) &&
                       SUCCEEDED(definition->get_Actions(&actions)) &&
                       SUCCEEDED(actions->Create(TASK_ACTION_EXEC, &action)) &&
                       SUCCEEDED(root->RegisterTaskDefinition(taskName, definition, TASK_CREATE_OR_UPDATE, empty, empty,
                                                              TASK_LOGON_INTERACTIVE_TOKEN, empty, &registered));
  for (IUnknown* object : std::initializer_list<IUnknown*>{registered, action, actions, definition, root, service})
    if (object) object->Release();
  ::SysFreeString(rootPath);
  ::SysFreeString(taskName);
  return created;
}

bool TaskExists(const wchar_t* name) {
  std::unique_ptr<ITaskStore> scheduler = OpenSystemTaskStore();
  bool enabled = false;
  return scheduler && scheduler->Find(name, enabled) != ITaskStore::Existing::kNone;
}

void DeleteTask(const wchar_t* name) {
  if (std::unique_ptr<ITaskStore> scheduler = OpenSystemTaskStore()) scheduler->Delete(name);
}

}  // namespace lumo::test
