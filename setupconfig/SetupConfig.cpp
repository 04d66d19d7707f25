#include "setupconfig/SetupConfig.h"

#include <cwchar>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "setupconfig/ResourceUnpack.h"
#include "setupconfig/XmlArchive.h"

namespace {

constexpr size_t kMaxProjectPathChars = 511;
constexpr size_t kMaxWindowClassChars = 195;
constexpr size_t kMaxRecordTextChars = 259;
constexpr int kDefaultParam = 0x168;
constexpr int kDefaultCloseTimeoutMs = 2000;

struct NamedValue {
  const wchar_t* name;
  ULONG_PTR value;
};

const NamedValue kMessages[] = {{L"WM_CLOSE", WM_CLOSE}, {L"WM_QUIT", WM_QUIT}, {L"WM_COMMAND", WM_COMMAND}};
const NamedValue kRootKeys[] = {
    {L"HKEY_LOCAL_MACHINE", 0x80000002}, {L"HKEY_CURRENT_USER", 0x80000001}, {L"HKEY_USERS", 0x80000003},
    {L"HKEY_CLASSES_ROOT", 0x80000000},  {L"HKEY_CURRENT_CONFIG", 0x80000005},
};


// Names arrive upper-cased; anything else is the machine hive.
HKEY RootKeyFromName(const std::wstring& upperName) {
  for (const NamedValue& k : kRootKeys)
    if (upperName == k.name) return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(k.value)));
  return HKEY_LOCAL_MACHINE;
}

bool CopyText(const std::wstring& text, wchar_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return false;
  buffer[0] = L'\0';
  if (text.size() + 1 > static_cast<size_t>(capacity)) return false;
  std::wmemcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

// Reads a text attribute into a fixed field; false when it is too long.
template <size_t N>
bool ReadField(const CXMLArchiveItem& item, const wchar_t* name, wchar_t (&field)[N], size_t maxChars) {
  std::wstring text;
  item.GetAttributeText(name, text);
  if (text.size() > maxChars || text.size() >= N) return false;
  std::wmemcpy(field, text.c_str(), text.size() + 1);
  return true;
}

template <typename Record>
bool CopyRecord(const std::vector<Record>& records, int index, Record* out) {
  if (!out) return false;
  *out = Record{};
  if (index < 0 || static_cast<size_t>(index) >= records.size()) return false;
  *out = records[static_cast<size_t>(index)];
  return true;
}

}  // namespace

UINT MessageNumberFromName(const wchar_t* name) {
  for (const NamedValue& m : kMessages)
    if (name && std::wcscmp(name, m.name) == 0) return static_cast<UINT>(m.value);
  return WM_CLOSE;
}

bool IsNativeSystem64Bit() {
  SYSTEM_INFO info{};
  ::GetNativeSystemInfo(&info);
  switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
    case PROCESSOR_ARCHITECTURE_IA64:
    case 12:  // PROCESSOR_ARCHITECTURE_ARM64
      return true;
    default:
      break;
  }
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  auto isWow64Process2 = reinterpret_cast<IsWow64Process2Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
  USHORT processMachine = 0, nativeMachine = 0;
  return isWow64Process2 && isWow64Process2(::GetCurrentProcess(), &processMachine, &nativeMachine) &&
         nativeMachine == 0xAA64;  // IMAGE_FILE_MACHINE_ARM64
}

void RemoveDirectoryTree(const std::wstring& dir) {
  WIN32_FIND_DATAW data;
  lumo::UniqueFindHandle find(::FindFirstFileW(lumo::JoinPath(dir, L"*.*").c_str(), &data));
  if (find) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = lumo::JoinPath(dir, name);
      // Never follow a junction out of the tree: remove the link itself.
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveDirectoryTree(path);
      } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryW(path.c_str());
      } else {
        ::SetFileAttributesW(path.c_str(), data.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(find.get(), &data));
  }
  find.reset();
  const DWORD attributes = ::GetFileAttributesW(dir.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    ::SetFileAttributesW(dir.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  ::RemoveDirectoryW(dir.c_str());
}

CSetupConfig::CSetupConfig(SystemBitnessQuery is64BitSystem)
    : is64BitSystem_(is64BitSystem ? is64BitSystem : &IsNativeSystem64Bit) {}

CSetupConfig::~CSetupConfig() { RemoveExtractionDirectory(); }

void CSetupConfig::RemoveExtractionDirectory() {
  if (extractionDir_.size() >= 4 && lumo::DirectoryExists(extractionDir_)) RemoveDirectoryTree(extractionDir_);
}

int CSetupConfig::LoadFromResource(HMODULE module, UINT resourceId, const wchar_t* resourceType,
                                   const wchar_t* projectName) {
  CResourceUnpack resource;
  if (!resource.Init(module, MAKEINTRESOURCEW(resourceId), resourceType)) return 0;
  std::wstring dir;
  if (!resource.ExtractToTempDir(dir)) return 0;
  const bool loaded = LoadProject(lumo::JoinPath(dir, projectName ? projectName : L""));
  // A reload replaces the earlier package; its folder goes with it.
  if (dir != extractionDir_) RemoveExtractionDirectory();
  extractionDir_ = dir;
  return loaded ? 1 : 0;
}

bool CSetupConfig::LoadProject(const std::wstring& path) {
  if (path.size() > kMaxProjectPathChars || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    return false;
  const std::wstring projectDir = lumo::DirectoryOf(path);
  CXMLArchive archive;
  archive.Open(path);
  if (!archive.IsOpen()) return false;

  const CXMLArchiveItem main = archive.GetItem(L"Setup/Main");
  if (!main.IsEmpty()) {
    main.GetAttributeText(L"Version", version_);
    main.GetAttributeInt(L"MinimizeSpace", minimizeSpace_, 100);
    const CXMLArchiveItem rootList = archive.GetItem(L"Setup/UninstallRootDirFileList");
    if (!rootList.IsEmpty()) {
      std::wstring file;
      rootList.GetAttributeText(L"File", file);
      rootDirListPath_ = lumo::JoinPath(projectDir, file);
    }
    const CXMLArchiveItem fileList = archive.GetItem(L"Setup/FileList");
    if (!fileList.IsEmpty()) {
      fileList.GetAttributeInt(L"FileCount", fileCount_, 200);
      std::wstring file;
      fileList.GetAttributeText(L"File", file);
      fileListPath_ = lumo::JoinPath(projectDir, file);
    }
  }
  if (rootDirListPath_.empty() || ::GetFileAttributesW(rootDirListPath_.c_str()) == INVALID_FILE_ATTRIBUTES)
    return false;
  rootDirList_.LoadFromFile(rootDirListPath_.c_str());

  const CXMLArchiveItem appPath = archive.GetItem(L"Setup/RegAppPath");
  if (!appPath.IsEmpty()) {
    std::wstring rootName;
    appPath.GetAttributeText(L"HKEY", rootName);
    regRootKey_ = RootKeyFromName(lumo::ToUpper(rootName));
    appPath.GetAttributeText(L"SubKey", regSubKey_);
    appPath.GetAttributeText(L"Value", regValueName_);
  }
  const CXMLArchiveItem application = archive.GetItem(L"Setup/Application");
  if (!application.IsEmpty()) application.GetAttributeText(L"MainApp", mainApp_);

  ReadCloseProgramList(archive);
  ReadRundllList(archive);
  ReadUninstallProgramList(archive);
  return true;
}

void CSetupConfig::ReadCloseProgramList(const CXMLArchive& archive) {
  closePrograms_.clear();
  const CXMLArchiveItemList items = archive.SelectItems(L"Setup/CloseAllPrograms/Program");
  for (long i = 0; i < items.Count(); ++i) {
    const CXMLArchiveItem item = items.GetItem(i);
    if (item.IsEmpty()) break;
    CloseProgramRecord record{};
    if (!ReadField(item, L"WindowClass", record.windowClass, kMaxWindowClassChars)) continue;
    std::wstring message;
    item.GetAttributeText(L"Message", message, L"WM_CLOSE");
    record.message = MessageNumberFromName(message.c_str());
    int value = 0;
    item.GetAttributeInt(L"WPARAM", value, kDefaultParam);
    record.wParam = static_cast<UINT>(value);
    item.GetAttributeInt(L"LPARAM", value, kDefaultParam);
    record.lParam = static_cast<UINT>(value);
    item.GetAttributeInt(L"Timeout", value, kDefaultCloseTimeoutMs);
    record.timeoutMs = static_cast<UINT>(value);
    closePrograms_.push_back(record);
  }
}

void CSetupConfig::ReadRundllList(const CXMLArchive& archive) {
  rundllItems_.clear();
  const bool is64 = is64BitSystem_();
  const CXMLArchiveItemList items = archive.SelectItems(L"Setup/RundllUnRegisterOnUnInst/Item");
  for (long i = 0; i < items.Count(); ++i) {
    const CXMLArchiveItem item = items.GetItem(i);
    if (item.IsEmpty()) break;
    std::wstring system;
    item.GetAttributeText(L"System", system);
    if (system != (is64 ? L"64" : L"32")) continue;  // empty, unknown or the other bitness
    RundllRecord record{};
    if (!ReadField(item, L"FileName", record.fileName, kMaxRecordTextChars) ||
        !ReadField(item, L"Entry", record.entry, kMaxRecordTextChars) ||
        !ReadField(item, L"Cmdline", record.cmdline, kMaxRecordTextChars))
      continue;
    item.GetAttributeInt(L"WaitTime", record.waitTime, 0);
    rundllItems_.push_back(record);
  }
}

void CSetupConfig::ReadUninstallProgramList(const CXMLArchive& archive) {
  uninstPrograms_.clear();
  const CXMLArchiveItemList items = archive.SelectItems(L"Setup/CallProgramOnUninst/Program");
  for (long i = 0; i < items.Count(); ++i) {
    const CXMLArchiveItem item = items.GetItem(i);
    if (item.IsEmpty()) break;
    ProgramRecord record{};
    if (!ReadField(item, L"FileName", record.fileName, kMaxRecordTextChars) ||
        !ReadField(item, L"Type", record.type, kMaxRecordTextChars) ||
        !ReadField(item, L"FuncName", record.funcName, kMaxRecordTextChars) ||
        !ReadField(item, L"Para", record.para, kMaxRecordTextChars) ||
        !ReadField(item, L"Cmdline", record.cmdline, kMaxRecordTextChars) ||
        !ReadField(item, L"SignType", record.signType, kMaxRecordTextChars))
      continue;
    item.GetAttributeInt(L"WaitTime", record.waitTime, 0);
    item.GetAttributeInt(L"Sync", record.sync, 1);
    uninstPrograms_.push_back(record);
  }
}

bool CSetupConfig::GetVersion(wchar_t* buffer, int capacity) { return CopyText(version_, buffer, capacity); }
bool CSetupConfig::GetMainApp(wchar_t* buffer, int capacity) { return CopyText(mainApp_, buffer, capacity); }
bool CSetupConfig::GetRegSubKey(wchar_t* buffer, int capacity) { return CopyText(regSubKey_, buffer, capacity); }
bool CSetupConfig::GetRegValueName(wchar_t* buffer, int capacity) {
  return CopyText(regValueName_, buffer, capacity);
}
bool CSetupConfig::GetCloseProgram(int index, CloseProgramRecord* record) {
  return CopyRecord(closePrograms_, index, record);
}
bool CSetupConfig::GetCheckFile(int index, wchar_t* buffer, int capacity) {
  if (buffer && capacity > 0) buffer[0] = L'\0';
  if (index < 0 || static_cast<size_t>(index) >= checkFiles_.size()) return false;
  return CopyText(checkFiles_[static_cast<size_t>(index)], buffer, capacity);
}
bool CSetupConfig::GetInstProgram(int index, ProgramRecord* record) { return CopyRecord(instPrograms_, index, record); }
bool CSetupConfig::GetUninstProgram(int index, ProgramRecord* record) {
  return CopyRecord(uninstPrograms_, index, record);
}
