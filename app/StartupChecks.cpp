#include "app/StartupChecks.h"

#include "app/CommandParser.h"
#include "app/ParentProcess.h"
#include "app/ProductProfile.h"
#include "app/SmartLogger.h"
#include "base/TextUtil.h"
#include "base/UIThreadWindow.h"
#include "engine/SignerCheck.h"
#include "net/MachineId.h"
#include "net/TextCipher.h"
#include "setupconfig/ArchiveClient.h"

const wchar_t CInstanceMutex::kMutexName[] = L"KestoWallPaperInstaller";
const wchar_t CInstanceMutex::kMainWindowClass[] = L"KestoWallPaperSetupMainWnd";

namespace {

const wchar_t kSilentChannel[] = L"vevivuda";
const wchar_t kHandshakeWord[] = L"quandry";
const wchar_t kMarkerLibrary[] = L"Vodureda.dll";
constexpr int kMachineIdCapacity = 260;  // at most 259 characters

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

std::wstring MachineIdKey() {
  wchar_t id[kMachineIdCapacity] = {};
  lumo::GetMid(id, kMachineIdCapacity);
  return id;
}

bool MarkerLibraryPresent() {
  if (lumo::FileExists(lumo::JoinPath(lumo::DirectoryOf(lumo::ModulePath()), kMarkerLibrary))) return true;
  std::wstring installDir;
  return ReadInstallDir(installDir) && lumo::FileExists(lumo::JoinPath(installDir, kMarkerLibrary));
}

bool LauncherMayRunSilently() {
  if (!MarkerLibraryPresent()) return false;
  const std::wstring parent = GetParentImagePath();
  if (!parent.empty() && IsTrustedSignerFile(parent.c_str())) return true;
  LUMO_LOG(L"parent process = %s", parent.c_str());
  return false;
}

bool WorkingInstanceHasToken(const CCommandParser& parser) {
  std::wstring token;
  if (!parser.GetSwitchValue(L"/CHK", token) || token.empty()) return false;
  return EqualsIgnoringCase(lumo::DecryptText(token, MachineIdKey()), kHandshakeWord);
}

}  // namespace

std::wstring MakeCallToken() { return lumo::EncryptText(kHandshakeWord, MachineIdKey()); }

bool CheckCallAuthorisation() {
  const CCommandParser& parser = *CCommandParser::Instance();
  if (!parser.IsSilent()) return true;
  // Only the product's own channel may uninstall without asking.
  if (!EqualsIgnoringCase(ReadInstallPid(), kSilentChannel)) return false;
  if (!parser.HasSwitch(L"/READYUNINSTALL")) return LauncherMayRunSilently();
  return WorkingInstanceHasToken(parser);
}

CInstanceMutex& CInstanceMutex::Instance() {
  static CInstanceMutex guard;
  return guard;
}

CInstanceMutex::CInstanceMutex() { ::InitializeCriticalSection(&lock_); }

CInstanceMutex::~CInstanceMutex() {
  ReleaseAll();
  ::DeleteCriticalSection(&lock_);
}

bool CInstanceMutex::CheckSingleInstance() {
  HANDLE mutex = ::CreateMutexW(nullptr, TRUE, kMutexName);
  if (!mutex) return true;  // no guard to be had: run unguarded
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    if (HWND running = ::FindWindowW(kMainWindowClass, nullptr)) ::PostMessageW(running, kActivateMessage, 0, 0);
    return false;
  }
  ::EnterCriticalSection(&lock_);
  handles_.push_back(mutex);
  ::LeaveCriticalSection(&lock_);
  return true;
}

void CInstanceMutex::ReleaseAll() {
  std::vector<HANDLE> taken;
  ::EnterCriticalSection(&lock_);
  taken.swap(handles_);
  ::LeaveCriticalSection(&lock_);
  for (HANDLE handle : taken) {
    if (handle) ::CloseHandle(handle);
  }
}

int PreInitCheck() {
  const std::wstring self = lumo::ModulePath();
  if (!IsTrustedSignerFile(self.c_str())) return 2;
  CUIThreadWindow::Create();
  if (!CArchiveLibrary::Instance().Load(lumo::JoinPath(lumo::DirectoryOf(self), L"7z.dll"))) return 3;
  return 0;
}

const wchar_t* PreInitMessage(int code) {
  switch (code) {
    case 1:
      return L"VoduReda.dll文件初始化失败";
    case 2:
      return L"卸载程序已被破坏，请重新下载安装后再进行卸载";
    case 3:
      return L"7z.dll文件破坏，请重新下载安装后进行卸载";
    default:
      return L"";
  }
}
