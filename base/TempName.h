#pragma once
#include <windows.h>

#include <string>

namespace lumo {

using GuidSource = HRESULT(WINAPI*)(GUID*);

// "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}.tmp" for the GUID (the third group
// in lower case).
std::wstring GuidTempName(const GUID& guid);
// The first of up to 10 fresh GUID names under the temporary directory that
// does not exist yet. The GUID source is replaceable for tests.
bool MakeTempName(std::wstring& path, GuidSource newGuid = nullptr);

}  // namespace lumo
