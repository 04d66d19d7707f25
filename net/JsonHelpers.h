#pragma once
#include <memory>
#include <string>

#include <cjson/cJSON.h>

namespace lumo {

// Member lookup for the JSON the program reads. JsonGetInt and JsonGetString
// ignore ASCII letter case in member names; JsonGetStringW matches exactly.

// The member's value when it is a JSON number (fractions cut toward zero,
// out-of-range values clamped); defaultValue otherwise, also for a null
// object or a null or empty name.
int JsonGetInt(const cJSON* object, const char* name, int defaultValue);
// The member's UTF-8 text when it is a JSON string; defaultValue otherwise.
std::string JsonGetString(const cJSON* object, const char* name, const std::string& defaultValue);
// The member's string value as UTF-16; empty when missing or not a string.
std::wstring JsonGetStringW(const cJSON* object, const char* name);

struct JsonDeleter {
  void operator()(cJSON* item) const { cJSON_Delete(item); }
};
using UniqueJson = std::unique_ptr<cJSON, JsonDeleter>;

// Parses UTF-8 text; null when it is not JSON.
UniqueJson JsonParse(const std::string& utf8);
// Without formatting white space; empty when printing fails.
std::string JsonPrint(const cJSON* item);

}  // namespace lumo
