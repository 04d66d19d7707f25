#include "net/JsonHelpers.h"

#include <cstring>

#include "net/Utf8.h"

namespace lumo {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Folds only A-Z, whatever the C runtime locale says about other bytes.
bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
  }
  return *a == *b;
}

const cJSON* FindMember(const cJSON* object, const char* name, bool ignoreCase) {
  if (object == nullptr || name == nullptr || !cJSON_IsObject(object)) return nullptr;
  for (const cJSON* member = object->child; member != nullptr; member = member->next) {
    if (member->string == nullptr) continue;
    if (ignoreCase ? EqualsIgnoringAsciiCase(member->string, name) : std::strcmp(member->string, name) == 0) {
      return member;
    }
  }
  return nullptr;
}

}  // namespace

int JsonGetInt(const cJSON* object, const char* name, int defaultValue) {
  if (name == nullptr || *name == '\0') return defaultValue;
  const cJSON* member = FindMember(object, name, true);
  // cJSON keeps a clamped, truncated copy of every number in valueint.
  return cJSON_IsNumber(member) ? member->valueint : defaultValue;
}

std::string JsonGetString(const cJSON* object, const char* name, const std::string& defaultValue) {
  const cJSON* member = FindMember(object, name, true);
  if (!cJSON_IsString(member) || member->valuestring == nullptr) return defaultValue;
  return member->valuestring;
}

std::wstring JsonGetStringW(const cJSON* object, const char* name) {
  const cJSON* member = FindMember(object, name, false);
  if (!cJSON_IsString(member) || member->valuestring == nullptr) return std::wstring();
  return WideFromUtf8(member->valuestring);
}

UniqueJson JsonParse(const std::string& utf8) {
  return UniqueJson(cJSON_ParseWithLength(utf8.data(), utf8.size()));
}

std::string JsonPrint(const cJSON* item) {
  if (item == nullptr) return std::string();
  char* text = cJSON_PrintUnformatted(item);
  if (text == nullptr) return std::string();
  std::string out(text);
  cJSON_free(text);
  return out;
}

}  // namespace lumo
