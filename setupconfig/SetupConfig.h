#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "setupconfig/UninstallRootDirList.h"

// A top-level window to close before files are touched.
struct CloseProgramRecord {
  wchar_t windowClass[200];
  UINT message;
  UINT wParam;
  UINT lParam;
  UINT timeoutMs;
};

// An uninstall (or install) hook of the product.
struct ProgramRecord {
  wchar_t fileName[260];
  wchar_t type[260];
  wchar_t funcName[260];
  wchar_t para[260];
  wchar_t cmdline[260];
  wchar_t signType[260];
  int waitTime;
  int sync;
};

// A DLL entry point called through rundll to unregister the product.
struct RundllRecord {
  wchar_t fileName[260];
  wchar_t entry[260];
  wchar_t cmdline[260];
  int waitTime;
};

// The setup project shared with the product's installer: what to close,
// call and delete. Text getters clear the buffer and return false when the
// text does not fit; record getters zero the record first.
class ISetupConfig {
 public:
  virtual int LoadFromResource(HMODULE module, UINT resourceId, const wchar_t* resourceType,
                               const wchar_t* projectName) = 0;
  virtual int GetMinimizeSpace() = 0;
  virtual IUninstallRootDirList* GetRootDirList() = 0;
  virtual bool GetVersion(wchar_t* buffer, int capacity) = 0;
  virtual bool GetMainApp(wchar_t* buffer, int capacity) = 0;
  virtual HKEY GetRegRootKey() = 0;
  virtual bool GetRegSubKey(wchar_t* buffer, int capacity) = 0;
  virtual bool GetRegValueName(wchar_t* buffer, int capacity) = 0;
  virtual int GetCloseProgramCount() = 0;
  virtual bool GetCloseProgram(int index, CloseProgramRecord* record) = 0;
  virtual bool GetCheckFile(int index, wchar_t* buffer, int capacity) = 0;
  virtual int GetCheckFileCount() = 0;
  virtual bool GetInstProgram(int index, ProgramRecord* record) = 0;
  virtual int GetInstProgramCount() = 0;
  virtual bool GetUninstProgram(int index, ProgramRecord* record) = 0;
  virtual int GetUninstProgramCount() = 0;
  virtual int GetFileCount() = 0;

 protected:
  ~ISetupConfig() = default;
};

class CSetupConfig : public ISetupConfig {
 public:
  using SystemBitnessQuery = bool (*)();
  explicit CSetupConfig(SystemBitnessQuery is64BitSystem = nullptr);

  int LoadFromResource(HMODULE module, UINT resourceId, const wchar_t* resourceType,
                       const wchar_t* projectName) override;
  int GetMinimizeSpace() override { return minimizeSpace_; }
  IUninstallRootDirList* GetRootDirList() override { return &rootDirList_; }
  bool GetVersion(wchar_t* buffer, int capacity) override;
  bool GetMainApp(wchar_t* buffer, int capacity) override;
  HKEY GetRegRootKey() override { return regRootKey_; }
  bool GetRegSubKey(wchar_t* buffer, int capacity) override;
  bool GetRegValueName(wchar_t* buffer, int capacity) override;
  int GetCloseProgramCount() override { return static_cast<int>(closePrograms_.size()); }
  bool GetCloseProgram(int index, CloseProgramRecord* record) override;
  bool GetCheckFile(int index, wchar_t* buffer, int capacity) override;
  int GetCheckFileCount() override { return static_cast<int>(checkFiles_.size()); }
  bool GetInstProgram(int index, ProgramRecord* record) override;
  int GetInstProgramCount() override { return static_cast<int>(instPrograms_.size()); }
  bool GetUninstProgram(int index, ProgramRecord* record) override;
  int GetUninstProgramCount() override { return static_cast<int>(uninstPrograms_.size()); }
  int GetFileCount() override { return fileCount_; }
  virtual ~CSetupConfig();

  // Loads an extracted project file; false when it cannot be used.
  bool LoadProject(const std::wstring& path);
  const std::vector<RundllRecord>& RundllItems() const { return rundllItems_; }
  const std::vector<ProgramRecord>& UninstallPrograms() const { return uninstPrograms_; }
  const std::wstring& ExtractionDirectory() const { return extractionDir_; }
  const std::wstring& RootDirListPath() const { return rootDirListPath_; }
  const std::wstring& FileListPath() const { return fileListPath_; }

 private:
  void ReadCloseProgramList(const class CXMLArchive& archive);
  void ReadRundllList(const class CXMLArchive& archive);
  void ReadUninstallProgramList(const class CXMLArchive& archive);
  void RemoveExtractionDirectory();

  SystemBitnessQuery is64BitSystem_;
  std::vector<CloseProgramRecord> closePrograms_;
  std::vector<std::wstring> checkFiles_;
  std::vector<ProgramRecord> instPrograms_;
  std::vector<ProgramRecord> uninstPrograms_;
  std::vector<RundllRecord> rundllItems_;
  int minimizeSpace_ = 100;
  HKEY regRootKey_ = HKEY_LOCAL_MACHINE;
  std::wstring regSubKey_;
  std::wstring regValueName_;
  std::wstring version_;
  std::wstring mainApp_;
  std::wstring rootDirListPath_;
  std::wstring extractionDir_;
  std::wstring fileListPath_;
  int fileCount_ = 200;
  CUninstallRootDirList rootDirList_;
};

// The message a close-program item names: "WM_CLOSE", "WM_QUIT" or
// "WM_COMMAND", matched exactly; anything else (or none) closes.
UINT MessageNumberFromName(const wchar_t* name);
// The native processor is 64-bit (x64, IA-64, ARM64), whatever this process is.
bool IsNativeSystem64Bit();
// Removes a directory tree, clearing read-only attributes on the way.
void RemoveDirectoryTree(const std::wstring& dir);
