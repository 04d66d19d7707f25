#include "base/TempName.h"

#include <objbase.h>

#include "base/TextUtil.h"

namespace lumo {

namespace {
constexpr int kTempNameAttempts = 10;

// The temporary directory as the system gives it, up to 1024 characters.
std::wstring LongTempDirectory() {
  wchar_t buffer[1025] = {};
  const DWORD n = ::GetTempPathW(1025, buffer);
  return (n == 0 || n > 1024) ? std::wstring() : std::wstring(buffer, n);
}
}  // namespace

std::wstring GuidTempName(const GUID& g) {
  return Format(L"{%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}.tmp", static_cast<unsigned>(g.Data1), g.Data2,
                g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
}

bool MakeTempName(std::wstring& path, GuidSource newGuid) {
  if (!newGuid) newGuid = &::CoCreateGuid;
  const std::wstring tempDir = LongTempDirectory();
  if (tempDir.empty()) return false;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    GUID guid{};
    if (FAILED(newGuid(&guid))) continue;
    const std::wstring candidate = JoinPath(tempDir, GuidTempName(guid));
    if (::GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) {
      path = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace lumo
