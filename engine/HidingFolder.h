#pragma once
#include <string>

// Files in use cannot be deleted, but they can be renamed: they are moved
// out of the installation into a hidden folder on the same drive and
// deleted from there at the next restart.

// The hiding folder for a path: the user's temporary directory on the drive
// of the Windows folder, else "X:\.temp" (made hidden when created here).
std::wstring HidingFolderFor(const std::wstring& path);
// "{GUID}.tmp" names inside the folder; empty when the folder's path is too
// long or ten fresh names all exist.
std::wstring NewHiddenName(const std::wstring& hidingFolder);
// Renames the path into its drive's hiding folder; true with the new name.
bool MoveToHiding(const std::wstring& path, std::wstring& hiddenName);
