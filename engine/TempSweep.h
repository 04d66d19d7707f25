#pragma once
#include <string>

// Deletes every file below directory whose extension (from the last ".")
// equals extension, letter case ignored; a file in use is hidden and
// scheduled for deletion at restart. Links are never entered. Refuses a
// drive root or system folder.
void SweepTempFiles(const std::wstring& directory, const std::wstring& extension);
