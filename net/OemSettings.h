#pragma once
// Settings that a partner build of the product stores enciphered in the
// registry. The program uses them only to point statistics at the partner's host.
#include <windows.h>

#include <map>
#include <string>

class OemSettings {
 public:
  // The cipher key of the stored names and values.
  static const wchar_t kCipherKey[];

  // Chooses the registry keys for the product ("kesto") and reads the
  // settings when the installation is marked as an OEM build. 1 when the
  // product is known, whether or not it is an OEM build.
  int Init(const std::wstring& productKey);

  // The URL with its host replaced by the setting of that name, when this is
  // an OEM build that has one; otherwise the URL unchanged.
  std::wstring RewriteUrl(const std::wstring& name, const std::wstring& url) const;

  bool IsOem() const { return oemFlag_ == 1; }
  const std::map<std::wstring, std::wstring>& Settings() const { return settings_; }

 private:
  void LoadSettings();

  std::wstring productKey_;
  std::map<std::wstring, std::wstring> settings_;
  std::wstring settingsKey_;
  std::wstring markKey_;
  int oemFlag_ = 0;
};

namespace lumo {
// The host part of a URL: after the first "://", up to the next "/" and
// without its port. Empty when there is none. offset receives its position.
std::wstring UrlHost(const std::wstring& url, size_t* offset = nullptr);
}  // namespace lumo
