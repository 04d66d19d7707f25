#pragma once
#include <memory>
#include <string>

// The product's start at logon: a Task Scheduler logon task, a Run value
// where the task cannot be created, and the "auto_run" switch of config.set.

extern const wchar_t kAutoRunTaskName[];         // "kestowp-srv", also the fallback Run value
extern const wchar_t kAutoRunTaskDescription[];  // the default description
extern const wchar_t kAutoRunArguments[];        // "/autorun --from=task"
extern const wchar_t kRunKey[];                  // "Software\Microsoft\Windows\CurrentVersion\Run"
extern const wchar_t kProductRunValue[];         // "kestowp"

struct AutoRunRequest {
  int enable = 1;
  const wchar_t* programPath = nullptr;
  const wchar_t* taskName = nullptr;     // null: kAutoRunTaskName
  const wchar_t* description = nullptr;  // null: kAutoRunTaskDescription
  int delaySeconds = 0;
};

// Everything the logon task is registered with.
struct LogonTask {
  std::wstring name;
  std::wstring author;
  std::wstring description;
  std::wstring triggerId;
  std::wstring triggerUserId;  // the SAM-compatible account name
  std::wstring delay;          // "PT%dM%dS"
  std::wstring actionPath;     // quoted
  std::wstring workingDirectory;
  std::wstring arguments;
  std::wstring principalId;
  std::wstring groupId;
  bool runWithHighestPrivileges = true;
  std::wstring executionTimeLimit;
  std::wstring registrationUser;  // the account name
};

// The Task Scheduler calls the logon task needs; the tests stand in for it.
class ITaskStore {
 public:
  virtual ~ITaskStore() = default;
  enum class Existing { kNone, kExecAction, kOtherAction };
  virtual Existing Find(const std::wstring& name, bool& enabled) = 0;
  virtual bool Enable(const std::wstring& name) = 0;
  virtual void Delete(const std::wstring& name) = 0;
  virtual bool Register(const LogonTask& task) = 0;
};

// The local Task Scheduler's root folder for the calling thread; null when
// it cannot be reached.
std::unique_ptr<ITaskStore> OpenSystemTaskStore();

// The account name and the SAM-compatible name ("DOMAIN\user"); each read
// once per process.
const std::wstring& AccountName();
const std::wstring& SamCompatibleAccountName();

// "PT1M0S" for 60 seconds.
std::wstring LogonDelayText(int delaySeconds);
// The program path without one leading and one trailing quote, in quotes.
std::wstring QuotedProgramPath(const wchar_t* programPath);
LogonTask MakeLogonTask(const std::wstring& name, const std::wstring& quotedPath, const std::wstring& description,
                        int delaySeconds);

// An existing task whose first action runs a program is only enabled; any
// other task of that name is replaced. 1 on success, else 0.
int CreateLogonTask(ITaskStore& store, const LogonTask& task);
// Through the system's Task Scheduler; 0 when it cannot be reached.
int CreateLogonTask(const LogonTask& task);

// 1 on success, 0 on failure. With enable 0: removes the task and both Run
// values of its name and returns 1. store null: the system's Task Scheduler.
int EnableAutoRun(const AutoRunRequest& request, ITaskStore* store = nullptr);
// 1 when the deletion was requested, 0 when the Task Scheduler could not be reached.
int RemoveAutoRunTask(const wchar_t* taskName);
// Deletes the value from the Run key of the user, then of the machine; 1.
int RemoveAutoRunValues(const wchar_t* valueName);
// The machine's Run value: "<quoted path> <arguments>", rewritten only when
// it differs (ignoring case). 1 unless the Run key cannot be opened or created.
int WriteAutoRunValue(const std::wstring& valueName, const std::wstring& quotedPath, const std::wstring& arguments);

// Step 15: the settings switch off, the Run values, the task and the
// product's own Run value in both registry views.
void RemoveAutoRun(const std::wstring& installDir);
