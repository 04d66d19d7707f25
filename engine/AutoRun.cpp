#include "engine/AutoRun.h"

#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>
#define SECURITY_WIN32
#include <secext.h>

#include "app/SettingsFile.h"
#include "app/SmartLogger.h"
#include "base/Handles.h"
#include "base/TextUtil.h"
#include "net/SystemInfo.h"

const wchar_t kAutoRunTaskName[] = L"kestowp-srv";
const wchar_t kAutoRunTaskDescription[] = L"Starts kestowp-srv when a user logs on.";
const wchar_t kAutoRunArguments[] = L"/autorun --from=task";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kProductRunValue[] = L"kestowp";

namespace {

constexpr DWORD kMaxAccountName = 256;
constexpr DWORD kMaxRunValueChars = 260;

// The MinGW headers lack the logon trigger; its layout follows ITrigger.
MIDL_INTERFACE("72dade38-fae4-4b3e-baf4-5d009af02b1c")
LogonTriggerInterface : public ITrigger {
 public:
  virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR* user) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
};
const IID kIidLogonTrigger = {0x72dade38, 0xfae4, 0x4b3e, {0xba, 0xf4, 0x5d, 0x00, 0x9a, 0xf0, 0x2b, 0x1c}};
const IID kIidExecAction = {0x4c3d624d, 0xfd6b, 0x49a3, {0xb9, 0xb7, 0x09, 0xcb, 0x3c, 0xd3, 0xf0, 0x47}};
const IID kIidTaskService = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};
const CLSID kClsidTaskScheduler = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { ::SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return b_; }

 private:
  BSTR b_;
};

class StringVariant {
 public:
  explicit StringVariant(const std::wstring& text) {
    ::VariantInit(&v_);
    v_.vt = VT_BSTR;
    v_.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~StringVariant() { ::VariantClear(&v_); }
  StringVariant(const StringVariant&) = delete;
  StringVariant& operator=(const StringVariant&) = delete;
  const VARIANT& get() const { return v_; }

 private:
  VARIANT v_;
};

VARIANT EmptyVariant() {
  VARIANT v;
  ::VariantInit(&v);
  return v;
}

// COM for the calling thread around one use of the Task Scheduler. A thread
// already in another apartment model can still use it.
class ThreadCom {
 public:
  ThreadCom() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ThreadCom() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ThreadCom(const ThreadCom&) = delete;
  ThreadCom& operator=(const ThreadCom&) = delete;
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

// The local Task Scheduler's root folder, for the current user.
class SystemTaskStore : public ITaskStore {
 public:
  SystemTaskStore() {
    if (!com_.usable()) return;
    // Fails harmlessly when the process has set its security already.
    ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY, RPC_C_IMP_LEVEL_IMPERSONATE,
                           nullptr, EOAC_NONE, nullptr);
    if (FAILED(::CoCreateInstance(kClsidTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kIidTaskService,
                                  service_.putVoid())))
      return;
    const VARIANT empty = EmptyVariant();
    if (FAILED(service_->Connect(empty, empty, empty, empty))) return;
    Bstr rootPath(L"\\");
    if (FAILED(service_->GetFolder(rootPath, root_.put()))) root_.reset();
  }
  bool connected() const { return static_cast<bool>(root_); }

  Existing Find(const std::wstring& name, bool& enabled) override {
    ComRef<IRegisteredTask> task;
    if (!Open(name, task)) return Existing::kNone;
    VARIANT_BOOL isEnabled = VARIANT_FALSE;
    enabled = SUCCEEDED(task->get_Enabled(&isEnabled)) && isEnabled != VARIANT_FALSE;
    return FirstActionRunsProgram(task) ? Existing::kExecAction : Existing::kOtherAction;
  }
  bool Enable(const std::wstring& name) override {
    ComRef<IRegisteredTask> task;
    return Open(name, task) && SUCCEEDED(task->put_Enabled(VARIANT_TRUE));
  }
  void Delete(const std::wstring& name) override {
    if (root_) root_->DeleteTask(Bstr(name), 0);
  }
  bool Register(const LogonTask& task) override;

 private:
  bool Open(const std::wstring& name, ComRef<IRegisteredTask>& task) {
    return root_ && SUCCEEDED(root_->GetTask(Bstr(name), task.put())) && task;
  }
  static bool FirstActionRunsProgram(ComRef<IRegisteredTask>& task) {
    ComRef<ITaskDefinition> definition;
    ComRef<IActionCollection> actions;
    ComRef<IAction> first;
    TASK_ACTION_TYPE type = TASK_ACTION_SHOW_MESSAGE;
    return SUCCEEDED(task->get_Definition(definition.put())) && SUCCEEDED(definition->get_Actions(actions.put())) &&
           SUCCEEDED(actions->get_Item(1, first.put())) && SUCCEEDED(first->get_Type(&type)) &&
           type == TASK_ACTION_EXEC;
  }

  ThreadCom com_;  // first member: released last
  ComRef<ITaskService> service_;
  ComRef<ITaskFolder> root_;
};

bool DescribeRegistration(ITaskDefinition* definition, const LogonTask& task) {
  ComRef<IRegistrationInfo> info;
  return SUCCEEDED(definition->get_RegistrationInfo(info.put())) && SUCCEEDED(info->put_Author(Bstr(task.author))) &&
         SUCCEEDED(info->put_Description(Bstr(task.description)));
}

bool AddLogonTrigger(ITaskDefinition* definition, const LogonTask& task) {
  ComRef<ITriggerCollection> triggers;
  ComRef<ITrigger> trigger;
  ComRef<LogonTriggerInterface> logon;
  if (FAILED(definition->get_Triggers(triggers.put())) || FAILED(triggers->Create(TASK_TRIGGER_LOGON, trigger.put())) ||
      FAILED(trigger->QueryInterface(kIidLogonTrigger, logon.putVoid())))
    return false;
  logon->put_Enabled(VARIANT_TRUE);
  logon->put_Id(Bstr(task.triggerId));
  logon->put_UserId(Bstr(task.triggerUserId));
  return SUCCEEDED(logon->put_Delay(Bstr(task.delay)));
}

bool AddProgramAction(ITaskDefinition* definition, const LogonTask& task) {
  ComRef<IActionCollection> actions;
  ComRef<IAction> action;
  ComRef<IExecAction> exec;
  return SUCCEEDED(definition->get_Actions(actions.put())) && SUCCEEDED(actions->Create(TASK_ACTION_EXEC, action.put())) &&
         SUCCEEDED(action->QueryInterface(kIidExecAction, exec.putVoid())) &&
         SUCCEEDED(exec->put_Path(Bstr(task.actionPath))) &&
         SUCCEEDED(exec->put_WorkingDirectory(Bstr(task.workingDirectory))) &&
         SUCCEEDED(exec->put_Arguments(Bstr(task.arguments)));
}

bool SetPrincipal(ITaskDefinition* definition, const LogonTask& task) {
  ComRef<IPrincipal> principal;
  return SUCCEEDED(definition->get_Principal(principal.put())) && SUCCEEDED(principal->put_Id(Bstr(task.principalId))) &&
         SUCCEEDED(principal->put_GroupId(Bstr(task.groupId))) &&
         SUCCEEDED(principal->put_RunLevel(task.runWithHighestPrivileges ? TASK_RUNLEVEL_HIGHEST : TASK_RUNLEVEL_LUA));
}

bool SetBatteryAndTimeSettings(ITaskDefinition* definition, const LogonTask& task) {
  ComRef<ITaskSettings> settings;
  if (FAILED(definition->get_Settings(settings.put()))) return false;
  settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
  settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
  settings->put_AllowHardTerminate(VARIANT_FALSE);
  settings->put_ExecutionTimeLimit(Bstr(task.executionTimeLimit));
  ComRef<IIdleSettings> idle;
  if (SUCCEEDED(settings->get_IdleSettings(idle.put())) && idle) idle->put_StopOnIdleEnd(VARIANT_FALSE);
  return true;
}

bool SystemTaskStore::Register(const LogonTask& task) {
  ComRef<ITaskDefinition> definition;
  if (!root_ || FAILED(service_->NewTask(0, definition.put()))) return false;
  if (!DescribeRegistration(definition.get(), task) || !AddLogonTrigger(definition.get(), task) ||
      !AddProgramAction(definition.get(), task) || !SetPrincipal(definition.get(), task) ||
      !SetBatteryAndTimeSettings(definition.get(), task))
    return false;
  const StringVariant user(task.registrationUser);
  const StringVariant noSecurityDescriptor(L"");
  ComRef<IRegisteredTask> registered;
  return SUCCEEDED(root_->RegisterTaskDefinition(Bstr(task.name), definition.get(), TASK_CREATE_OR_UPDATE, user.get(),
                                                 EmptyVariant(), TASK_LOGON_INTERACTIVE_TOKEN,
                                                 noSecurityDescriptor.get(), registered.put()));
}

bool OpenRunKey(HKEY root, REGSAM access, lumo::UniqueHkey& key) {
  return ::RegOpenKeyExW(root, kRunKey, 0, access, key.put()) == ERROR_SUCCESS;
}

void DeleteRunValue(HKEY root, REGSAM view, const wchar_t* name) {
  lumo::UniqueHkey key;
  if (OpenRunKey(root, KEY_ALL_ACCESS | view, key)) ::RegDeleteValueW(key.get(), name);
}

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The current text of a string value of at most 260 characters; empty when
// missing, longer or not text, so that it is rewritten.
std::wstring ReadShortString(HKEY key, const std::wstring& name) {
  wchar_t buffer[kMaxRunValueChars + 1] = {};
  DWORD type = 0;
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  std::wstring text(buffer, size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::wstring ReadAccountName() {
  wchar_t name[kMaxAccountName + 1] = {};
  DWORD size = kMaxAccountName + 1;
  return ::GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

std::wstring ReadSamCompatibleName() {
  wchar_t name[kMaxAccountName + 1] = {};
  ULONG size = kMaxAccountName + 1;
  return ::GetUserNameExW(NameSamCompatible, name, &size) ? std::wstring(name) : std::wstring();
}

}  // namespace

const std::wstring& AccountName() {
  static const std::wstring name = ReadAccountName();
  return name;
}

const std::wstring& SamCompatibleAccountName() {
  static const std::wstring name = ReadSamCompatibleName();
  return name;
}

std::wstring LogonDelayText(int delaySeconds) {
  return lumo::Format(L"PT%dM%dS", delaySeconds / 60, delaySeconds % 60);
}

std::wstring QuotedProgramPath(const wchar_t* programPath) {
  std::wstring path = programPath ? programPath : L"";
  if (!path.empty() && path.front() == L'"') path.erase(0, 1);
  if (!path.empty() && path.back() == L'"') path.pop_back();
  return L"\"" + path + L"\"";
}

LogonTask MakeLogonTask(const std::wstring& name, const std::wstring& quotedPath, const std::wstring& description,
                        int delaySeconds) {
  LogonTask task;
  task.name = name;
  task.author = AccountName();
  task.description = description;
  task.triggerId = L"Trigger1";
  task.triggerUserId = SamCompatibleAccountName();
  task.delay = LogonDelayText(delaySeconds);
  task.actionPath = quotedPath;
  task.arguments = kAutoRunArguments;
  task.principalId = AccountName();
  task.groupId = L"BUILTIN\\Administrators";
  task.runWithHighestPrivileges = true;
  task.executionTimeLimit = L"PT0S";
  task.registrationUser = AccountName();
  return task;
}

int CreateLogonTask(ITaskStore& store, const LogonTask& task) {
  bool enabled = false;
  if (store.Find(task.name, enabled) == ITaskStore::Existing::kExecAction) {
    if (!enabled) store.Enable(task.name);
    return 1;
  }
  store.Delete(task.name);
  return store.Register(task) ? 1 : 0;
}

std::unique_ptr<ITaskStore> OpenSystemTaskStore() {
  auto store = std::make_unique<SystemTaskStore>();
  if (!store->connected()) return nullptr;
  return store;
}

int CreateLogonTask(const LogonTask& task) {
  SystemTaskStore store;
  return store.connected() ? CreateLogonTask(store, task) : 0;
}

int RemoveAutoRunTask(const wchar_t* taskName) {
  SystemTaskStore store;
  if (!store.connected()) return 0;
  store.Delete(taskName ? taskName : kAutoRunTaskName);
  return 1;
}

int RemoveAutoRunValues(const wchar_t* valueName) {
  DeleteRunValue(HKEY_CURRENT_USER, KEY_WOW64_32KEY, valueName);
  DeleteRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, valueName);
  return 1;
}

int WriteAutoRunValue(const std::wstring& valueName, const std::wstring& quotedPath, const std::wstring& arguments) {
  // Created when missing, so that autorun does not depend on another
  // program having made the Run key before.
  lumo::UniqueHkey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0,
                        KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_WOW64_32KEY, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
    return 0;
  const std::wstring data = quotedPath + L" " + arguments;
  if (!EqualsIgnoringCase(ReadShortString(key.get(), valueName), data)) {
    ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  }
  return 1;
}

int EnableAutoRun(const AutoRunRequest& request, ITaskStore* store) {
  const std::wstring name = request.taskName ? request.taskName : kAutoRunTaskName;
  if (!request.enable) {
    if (store) {
      store->Delete(name);
    } else {
      RemoveAutoRunTask(name.c_str());
    }
    RemoveAutoRunValues(name.c_str());
    return 1;
  }
  if (!request.programPath) return 0;
  const std::wstring quotedPath = QuotedProgramPath(request.programPath);
  const LogonTask task = MakeLogonTask(name, quotedPath, request.description ? request.description : kAutoRunTaskDescription,
                                       request.delaySeconds);
  if (store ? CreateLogonTask(*store, task) : CreateLogonTask(task)) {
    LUMO_LOG(L"Add auto run task schedule success, %s", request.programPath);
    return 1;
  }
  const int written = WriteAutoRunValue(name, quotedPath, kAutoRunArguments);
  LUMO_LOG(L"Add auto run register, %s", request.programPath);
  return written;
}

void RemoveAutoRun(const std::wstring& installDir) {
  // Without a directory the switch would land in the Windows folder.
  if (!installDir.empty()) WriteSetting(InstallSettingsPath(installDir), L"auto_run", L"open", L"0");
  LUMO_LOG(L"Delete AutoRun Registry, ret = %d", RemoveAutoRunValues(kAutoRunTaskName));
  LUMO_LOG(L"Delete AutoRun Task Schedule, ret = %d", RemoveAutoRunTask(kAutoRunTaskName));
  DeleteRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kProductRunValue);
  if (lumo::IsSystem64Bit()) DeleteRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kProductRunValue);
}
