#pragma once
#include <windows.h>

#include <functional>
#include <vector>
#include <string>

#include "support/Sandbox.h"

namespace lumo::test {

// bin\fixtures\hooks\<name>: the stand-in programs and libraries.
std::wstring HookFixture(const std::wstring& name);
// Copies a hook fixture to target, creating the folders on the way.
bool PlaceFixture(const std::wstring& name, const std::wstring& target);
// What a stand-in recorded in "<path>.log" (UTF-16 lines); empty when none.
std::wstring RecordOf(const std::wstring& path);
// Polls until the condition holds; false when it never did within a generous
// bound (a hung fixture must not hang the test run).
bool WaitUntil(const std::function<bool()>& condition);
// Whether a process with this image path runs (letter case ignored).
bool IsPathRunning(const std::wstring& path);
// The program's log file as text (UTF-16 or UTF-8 as written).
std::wstring ReadLogText(const std::wstring& path);

// A program the test starts; ended by the object when it still runs.
class RunningProgram {
 public:
  RunningProgram(const std::wstring& path, const std::wstring& arguments);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  bool started() const { return process_.hProcess != nullptr; }
  bool Running() const;
  // Waits (bounded) for the end; STILL_ACTIVE when it did not end.
  DWORD ExitCode() const;
  DWORD id() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_{};
};

// A recorder copy that records its start and stays running.
class StayingProgram : public RunningProgram {
 public:
  explicit StayingProgram(const std::wstring& path);
  bool ready() const { return ready_; }

 private:
  bool ready_ = false;
};

// Creates an HKLM key (32-bit view) with text values for the length of a
// test; removes the values and every key it had to create.
class ScopedHookKey {
 public:
  explicit ScopedHookKey(const std::wstring& subKey);
  ~ScopedHookKey();
  ScopedHookKey(const ScopedHookKey&) = delete;
  ScopedHookKey& operator=(const ScopedHookKey&) = delete;
  bool SetText(const std::wstring& name, const std::wstring& value);

 private:
  std::wstring subKey_;
  std::wstring firstCreated_;  // the outermost key this object created
  std::vector<std::wstring> names_;
};

}  // namespace lumo::test
