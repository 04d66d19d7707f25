#include "engine/AutoRun.h"

#include <windows.h>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/SettingsFile.h"
#include "base/Handles.h"
#include "engine/RegistrationSupport.h"
#include "engine/RemovalSupport.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::CreatePlainTask;
using lumo::test::DeleteTask;
using lumo::test::LogCapture;
using lumo::test::ReadRunValue;
using lumo::test::RunValueExists;
using lumo::test::TaskExists;
using lumo::test::RegistryValueOverride;
using lumo::test::TempFolder;

const wchar_t kPendantPath[] = L"C:\\Kesto Wallpaper\\kestopendant.exe";
const wchar_t kQuotedPendantPath[] = L"\"C:\\Kesto Wallpaper\\kestopendant.exe\"";

// Stands in for the Task Scheduler: remembers tasks and the calls made.
class FakeTaskStore : public ITaskStore {
 public:
  struct Task {
    Existing kind;
    bool enabled;
    LogonTask definition;
  };
  Existing Find(const std::wstring& name, bool& enabled) override {
    auto found = tasks.find(name);
    if (found == tasks.end()) return Existing::kNone;
    enabled = found->second.enabled;
    return found->second.kind;
  }
  bool Enable(const std::wstring& name) override {
    calls.push_back(L"enable " + name);
    tasks.at(name).enabled = true;
    return true;
  }
  void Delete(const std::wstring& name) override {
    calls.push_back(L"delete " + name);
    tasks.erase(name);
  }
  bool Register(const LogonTask& task) override {
    calls.push_back(L"register " + task.name);
    if (failRegistration) return false;
    tasks[task.name] = Task{Existing::kExecAction, true, task};
    return true;
  }

  std::map<std::wstring, Task> tasks;
  std::vector<std::wstring> calls;
  bool failRegistration = false;
};

AutoRunRequest PendantRequest(const wchar_t* path = kPendantPath) {
  AutoRunRequest request;
  request.enable = 1;
  request.programPath = path;
  request.delaySeconds = 60;
  return request;
}

// Keeps the autorun values of the machine and the user as they were.
class AutoRunTest : public ::testing::Test {
 protected:
  RegistryValueOverride machineValue_{HKEY_LOCAL_MACHINE, kRunKey, kAutoRunTaskName, KEY_WOW64_32KEY};
  RegistryValueOverride userValue_{HKEY_CURRENT_USER, kRunKey, kAutoRunTaskName, KEY_WOW64_32KEY};
  LogCapture log_;
  FakeTaskStore store_;
};

TEST(LogonDelay, MinutesAndSeconds) {
  const struct {
    int seconds;
    const wchar_t* text;
  } cases[] = {{60, L"PT1M0S"}, {90, L"PT1M30S"}, {0, L"PT0M0S"}, {3599, L"PT59M59S"}};
  for (const auto& c : cases) EXPECT_EQ(LogonDelayText(c.seconds), c.text) << c.seconds;
}

TEST_F(AutoRunTest, RegistersTheLogonTaskWithEverySetting) {
  for (const wchar_t* path : {kPendantPath, kQuotedPendantPath}) {
    FakeTaskStore store;
    ASSERT_EQ(EnableAutoRun(PendantRequest(path), &store), 1) << path;
    ASSERT_EQ(store.tasks.count(kAutoRunTaskName), 1u) << path;
    const LogonTask& task = store.tasks.at(kAutoRunTaskName).definition;
    EXPECT_EQ(task.actionPath, kQuotedPendantPath);
    EXPECT_EQ(task.arguments, L"/autorun --from=task");
    EXPECT_EQ(task.workingDirectory, L"");
    EXPECT_EQ(task.delay, L"PT1M0S");
    EXPECT_EQ(task.triggerId, L"Trigger1");
    EXPECT_EQ(task.triggerUserId, SamCompatibleAccountName());
    EXPECT_TRUE(task.runWithHighestPrivileges);
    EXPECT_EQ(task.groupId, L"BUILTIN\\Administrators");
    EXPECT_EQ(task.principalId, AccountName());
    EXPECT_EQ(task.registrationUser, AccountName());
    EXPECT_EQ(task.author, AccountName());
    EXPECT_EQ(task.description, L"Starts kestowp-srv when a user logs on.");
    EXPECT_EQ(task.executionTimeLimit, L"PT0S");
    EXPECT_EQ(log_.Count(std::wstring(L"Add auto run task schedule success, ") + path), 1u);
  }
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kAutoRunTaskName));
}

TEST_F(AutoRunTest, ExistingDisabledProgramTaskIsOnlyEnabled) {
  LogonTask old;
  old.actionPath = L"\"C:\\Old\\kestopendant.exe\"";
  store_.tasks[kAutoRunTaskName] = {ITaskStore::Existing::kExecAction, false, old};
  EXPECT_EQ(EnableAutoRun(PendantRequest(), &store_), 1);
  EXPECT_EQ(store_.calls, std::vector<std::wstring>{L"enable kestowp-srv"});
  EXPECT_TRUE(store_.tasks.at(kAutoRunTaskName).enabled);
  EXPECT_EQ(store_.tasks.at(kAutoRunTaskName).definition.actionPath, old.actionPath);
}

TEST_F(AutoRunTest, ExistingTaskOfAnotherKindIsReplaced) {
  store_.tasks[kAutoRunTaskName] = {ITaskStore::Existing::kOtherAction, true, LogonTask{}};
  EXPECT_EQ(EnableAutoRun(PendantRequest(), &store_), 1);
  EXPECT_EQ(store_.calls, (std::vector<std::wstring>{L"delete kestowp-srv", L"register kestowp-srv"}));
  EXPECT_EQ(store_.tasks.at(kAutoRunTaskName).definition.actionPath, kQuotedPendantPath);
}

TEST_F(AutoRunTest, TaskThatCannotBeCreatedFallsBackToTheMachineRunValue) {
  store_.failRegistration = true;
  machineValue_.SetString(L"\"C:\\Elsewhere\\old.exe\"");
  EXPECT_EQ(EnableAutoRun(PendantRequest(kQuotedPendantPath), &store_), 1);
  std::wstring value;
  ASSERT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kAutoRunTaskName, value));
  EXPECT_EQ(value, std::wstring(kQuotedPendantPath) + L" /autorun --from=task");
  EXPECT_EQ(log_.Count(std::wstring(L"Add auto run register, ") + kQuotedPendantPath), 1u);
}

TEST_F(AutoRunTest, MissingProgramPathCreatesNothing) {
  AutoRunRequest request = PendantRequest();
  request.programPath = nullptr;
  EXPECT_EQ(EnableAutoRun(request, &store_), 0);
  EXPECT_TRUE(store_.calls.empty());
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kAutoRunTaskName));
}

TEST_F(AutoRunTest, DisablingRemovesTheTaskAndBothRunValues) {
  store_.tasks[kAutoRunTaskName] = {ITaskStore::Existing::kExecAction, true, LogonTask{}};
  machineValue_.SetString(L"x");
  userValue_.SetString(L"x");
  AutoRunRequest request = PendantRequest();
  request.enable = 0;
  EXPECT_EQ(EnableAutoRun(request, &store_), 1);
  EXPECT_TRUE(store_.tasks.empty());
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kAutoRunTaskName));
  EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, KEY_WOW64_32KEY, kAutoRunTaskName));
}

// Wine's Task Scheduler cannot make logon triggers, so there the Run value
// must take the task's place; on Windows the task itself is checked.
TEST_F(AutoRunTest, SystemTaskSchedulerGetsTheTaskOrTheRunValueTakesItsPlace) {
  ASSERT_EQ(EnableAutoRun(PendantRequest()), 1);
  std::unique_ptr<ITaskStore> scheduler = OpenSystemTaskStore();
  bool enabled = false;
  const bool taskCreated =
      scheduler && scheduler->Find(kAutoRunTaskName, enabled) != ITaskStore::Existing::kNone;
  if (taskCreated) {
    EXPECT_EQ(scheduler->Find(kAutoRunTaskName, enabled), ITaskStore::Existing::kExecAction);
    EXPECT_TRUE(enabled);
    scheduler->Delete(kAutoRunTaskName);
  } else {
    std::wstring value;
    ASSERT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kAutoRunTaskName, value));
    EXPECT_EQ(value, std::wstring(kQuotedPendantPath) + L" /autorun --from=task");
  }
}

// The uninstall's autorun step, with and without anything to remove.
class AutoRunRemovalTest : public AutoRunTest, public ::testing::WithParamInterface<bool> {
 protected:
  RegistryValueOverride product32_{HKEY_LOCAL_MACHINE, kRunKey, kProductRunValue, KEY_WOW64_32KEY};
  RegistryValueOverride product64_{HKEY_LOCAL_MACHINE, kRunKey, kProductRunValue, KEY_WOW64_64KEY};
  TempFolder installDir_;
  void TearDown() override {
    if (GetParam()) DeleteTask(kAutoRunTaskName);
  }
};

TEST_P(AutoRunRemovalTest, LeavesNoEntryAndLogsBothResults) {
  const bool entriesExist = GetParam();
  const std::wstring settings = InstallSettingsPath(installDir_.path());
  ASSERT_TRUE(WriteSetting(settings, L"auto_run", L"open", L"1"));
  if (entriesExist) {
    machineValue_.SetString(L"x");
    userValue_.SetString(L"x");
    product32_.SetString(L"x");
    product64_.SetString(L"x");
    ASSERT_TRUE(CreatePlainTask(kAutoRunTaskName));
    ASSERT_TRUE(TaskExists(kAutoRunTaskName));
  }
  RemoveAutoRun(installDir_.path());
  EXPECT_EQ(ReadSetting(settings, L"auto_run", L"open", L"", 8), L"0");
  EXPECT_FALSE(TaskExists(kAutoRunTaskName));
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kAutoRunTaskName));
  EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, KEY_WOW64_32KEY, kAutoRunTaskName));
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, kProductRunValue));
  EXPECT_FALSE(RunValueExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, kProductRunValue));
  EXPECT_EQ(log_.Count(L"Delete AutoRun Registry, ret = 1"), 1u);
  EXPECT_EQ(log_.Count(L"Delete AutoRun Task Schedule, ret = 1"), 1u);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutEntries, AutoRunRemovalTest, ::testing::Bool());

}  // namespace
