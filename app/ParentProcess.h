#pragma once
#include <string>

// Full path of the parent process's executable (at most 259 characters, short
// names expanded), or empty text when it cannot be found.
std::wstring GetParentImagePath();
