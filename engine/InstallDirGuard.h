#pragma once
#include <string>
#include <vector>

// An uninstaller must never delete outside its product. These checks keep the
// destructive file steps away from drive roots and the system's own folders.

// The system's own folders: the Windows folder and its system folders, both
// program-files roots, ProgramData, the Users root, the user's profile,
// desktop, documents, application data and temporary folder.
std::vector<std::wstring> SystemProtectedFolders();

// Why removal below this directory is refused, or empty when it is allowed:
// an empty path, a drive root, one of the protected folders or a folder that
// contains one, or anything inside the Windows folder (protected[0] when the
// list comes from SystemProtectedFolders).
std::wstring ProtectionReason(const std::wstring& directory, const std::vector<std::wstring>& protectedFolders);
// ProtectionReason against the system's folders is not empty.
bool IsProtectedFolder(const std::wstring& directory);

// Full path without trailing "\" (a drive root keeps its "\"), as the system
// would resolve it; the comparisons below ignore letter case.
std::wstring NormalizedPath(const std::wstring& path);
bool PathsEqual(const std::wstring& a, const std::wstring& b);
// True when path lies strictly below directory.
bool IsStrictlyInside(const std::wstring& path, const std::wstring& directory);
