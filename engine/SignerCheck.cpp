#include "engine/SignerCheck.h"

#include <windows.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <iterator>

namespace {

// The maker's companies and affiliates whose signatures the product's own
// files carry.
const wchar_t* const kAcceptedSigners[] = {
    L"Kesto Technology Co., Ltd.",
    L"Zeta Network Technology Co., Ltd.",
    L"Brix Software Co., Ltd.",
    L"北京柯斯拓科技有限公司",
    L"上海柯斯拓网络科技有限公司",
    L"深圳柯斯拓信息技术有限公司",
    L"广州柯斯拓软件有限公司",
    L"杭州柯斯拓互动科技有限公司",
    L"北京泽塔网络技术有限公司",
    L"上海泽塔信息科技有限公司",
    L"成都泽塔软件技术有限公司",
    L"南京泽塔数字科技有限公司",
    L"武汉泽塔网络科技有限公司",
    L"北京布瑞克斯科技有限公司",
    L"天津布瑞克斯软件有限公司",
    L"厦门布瑞克斯信息技术有限公司",
    L"西安布瑞克斯网络科技有限公司",
};

constexpr HRESULT kCertExpired = static_cast<HRESULT>(0x800B0101);
constexpr HRESULT kCertUntrustedRoot = static_cast<HRESULT>(0x800B0109);
constexpr DWORD kNameCapacity = 512;

bool FileExistsAt(const wchar_t* path) { return path && ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Windows before Vista has no verification worth asking.
bool IsLegacySystem() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!rtlGetVersion || rtlGetVersion(&info) != 0) return false;
  return info.dwMajorVersion < 6;
}

bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b) {
  return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

// Verifies the file and hands the signer's display name to `accept`; the
// verification state is closed whenever it was opened with an accepted result.
template <typename Accept>
bool VerifySigner(const wchar_t* path, bool allowUntrustedRoot, Accept accept) {
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  WINTRUST_FILE_INFO file{};
  file.cbStruct = sizeof(file);
  file.pcwszFilePath = path;
  WINTRUST_DATA data{};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT | WTD_CACHE_ONLY_URL_RETRIEVAL;

  const HRESULT status = static_cast<HRESULT>(::WinVerifyTrust(nullptr, &action, &data));
  if (status != S_OK && status != kCertExpired && !(allowUntrustedRoot && status == kCertUntrustedRoot)) {
    // A failed verification may still leave state behind on some systems.
    if (data.hWVTStateData) {
      data.dwStateAction = WTD_STATEACTION_CLOSE;
      ::WinVerifyTrust(nullptr, &action, &data);
    }
    return false;
  }

  bool result = false;
  CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(data.hWVTStateData);
  if (provider && provider->csSigners > 0 && provider->pasSigners) {
    const CERT_CHAIN_CONTEXT* chain = provider->pasSigners[0].pChainContext;
    if (chain && chain->cChain > 0 && chain->rgpChain[0] && chain->rgpChain[0]->cElement > 0) {
      const CERT_CONTEXT* certificate = chain->rgpChain[0]->rgpElement[0]->pCertContext;
      wchar_t name[kNameCapacity] = {};
      if (certificate &&
          ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0) <= kNameCapacity - 1 &&
          ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, kNameCapacity) > 1) {
        result = accept(name);
      }
    }
  }
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  ::WinVerifyTrust(nullptr, &action, &data);
  return result;
}

}  // namespace

const wchar_t* const* AcceptedSigners(size_t* count) {
  if (count) *count = std::size(kAcceptedSigners);
  return kAcceptedSigners;
}

bool IsTrustedSignerFile(const wchar_t* path) {
  if (!FileExistsAt(path)) return false;
  if (IsLegacySystem()) return true;
  return VerifySigner(path, true, [](const wchar_t* name) {
    for (const wchar_t* accepted : kAcceptedSigners)
      if (EqualsIgnoringCase(name, accepted)) return true;
    return false;
  });
}

bool IsSignedBy(const wchar_t* path, const wchar_t* signerName) {
  if (!signerName) return true;
  if (!FileExistsAt(path)) return false;
  if (IsLegacySystem()) return true;
  return VerifySigner(path, false, [signerName](const wchar_t* name) { return EqualsIgnoringCase(name, signerName); });
}
