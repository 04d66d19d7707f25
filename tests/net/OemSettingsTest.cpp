#include "net/OemSettings.h"

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include "net/RegistrySnapshot.h"
#include "net/TextCipher.h"

namespace {

using lumo::test::RegistrySnapshot;
using lumo::test::WriteRegistryText;
using lumo::test::WriteRegistryValue;

const std::wstring kAppPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestowp.exe";
const std::wstring kConfigPath = kAppPath + L"\\oemconfig";

std::wstring Cipher(const std::wstring& text) { return lumo::EncryptText(text, OemSettings::kCipherKey); }

// The product's App Paths key and its "oemconfig" subkey belong to the test
// while it runs and are put back afterwards.
class OemSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<RegistrySnapshot>(kAppPath);
    config_ = std::make_unique<RegistrySnapshot>(kConfigPath);
    // Start from no mark and no settings; the snapshots bring back what was there.
    lumo::test::DeleteRegistryValue(kAppPath, L"oem_f");
    lumo::test::ClearRegistryValues(kConfigPath);
  }
  void TearDown() override {
    config_.reset();
    app_.reset();
  }

  static void Mark(const std::wstring& value) { WriteRegistryText(kAppPath, L"oem_f", value); }
  static void Setting(const std::wstring& name, const std::wstring& value) {
    WriteRegistryText(kConfigPath, Cipher(name).c_str(), Cipher(value));
  }

  std::unique_ptr<RegistrySnapshot> app_, config_;
};

TEST_F(OemSettingsTest, KnowsOnlyTheKestoProduct) {
  OemSettings settings;
  EXPECT_EQ(settings.Init(L"kesto"), 1);  // known even without the OEM mark
  EXPECT_FALSE(settings.IsOem());
  OemSettings other;
  EXPECT_EQ(other.Init(L"brix"), 0);
  EXPECT_EQ(other.RewriteUrl(L"statis", L"http://a.example/dot"), L"http://a.example/dot");
}

TEST_F(OemSettingsTest, ReadsEncipheredSettingsOfAnOemBuild) {
  Mark(L"1");
  Setting(L"statis", L"oem.example.net");
  Setting(L"other", L"value two");
  // Not usable: a name that deciphers to nothing, a value that is not
  // Base64, a number.
  WriteRegistryText(kConfigPath, L"", Cipher(L"lost"));
  WriteRegistryText(kConfigPath, Cipher(L"broken").c_str(), L"-not-base64-");
  const DWORD number = 7;
  WriteRegistryValue(kConfigPath, Cipher(L"number").c_str(), REG_DWORD, &number, sizeof(number));

  OemSettings settings;
  ASSERT_EQ(settings.Init(L"kesto"), 1);
  EXPECT_TRUE(settings.IsOem());
  const std::map<std::wstring, std::wstring> expected = {{L"other", L"value two"},
                                                          {L"statis", L"oem.example.net"}};
  EXPECT_EQ(settings.Settings(), expected);
  EXPECT_EQ(settings.RewriteUrl(L"statis", L"http://stat.kesto.example:8080/dot?e=1"),
            L"http://oem.example.net:8080/dot?e=1");
  EXPECT_EQ(settings.RewriteUrl(L"unknown", L"http://stat.kesto.example/dot"), L"http://stat.kesto.example/dot");
}

TEST_F(OemSettingsTest, IgnoresValuesOfTheWrongShape) {
  Mark(L"1");
  Setting(L"statis", L"oem.example.net");
  // An odd byte count is no UTF-16 text. (Text without its NUL cannot be
  // made here: the registry of the test system adds one.)
  const std::wstring odd = Cipher(L"abc");
  WriteRegistryValue(kConfigPath, Cipher(L"odd").c_str(), REG_SZ, odd.c_str(),
                     static_cast<DWORD>(odd.size() * 2 + 1));
  WriteRegistryValue(kConfigPath, Cipher(L"binary").c_str(), REG_BINARY, odd.c_str(),
                     static_cast<DWORD>((odd.size() + 1) * 2));
  OemSettings settings;
  settings.Init(L"kesto");
  EXPECT_EQ(settings.Settings().size(), 1u);
  EXPECT_EQ(settings.Settings().count(L"statis"), 1u);
}

struct MarkCase {
  const char* name;
  const wchar_t* mark;  // null: no "oem_f" value
  DWORD type;
  bool oem;
};

class OemMark : public OemSettingsTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(OemMark, DecidesWhetherUrlsAreRewritten) {
  const auto& c = GetParam();
  if (c.mark && c.type == REG_SZ) Mark(c.mark);
  if (c.mark && c.type == REG_DWORD) {
    const DWORD one = 1;
    WriteRegistryValue(kAppPath, L"oem_f", REG_DWORD, &one, sizeof(one));
  }
  Setting(L"statis", L"oem.example.net");

  OemSettings settings;
  ASSERT_EQ(settings.Init(L"kesto"), 1);
  EXPECT_EQ(settings.IsOem(), c.oem);
  EXPECT_EQ(settings.RewriteUrl(L"statis", L"http://stat.kesto.example/dot"),
            c.oem ? L"http://oem.example.net/dot" : L"http://stat.kesto.example/dot");
}

INSTANTIATE_TEST_SUITE_P(Marks, OemMark,
                         ::testing::Values(MarkCase{"absent", nullptr, REG_SZ, false},
                                           MarkCase{"zero", L"0", REG_SZ, false},
                                           MarkCase{"empty", L"", REG_SZ, false},
                                           MarkCase{"padded", L"1 ", REG_SZ, false},
                                           MarkCase{"number", L"1", REG_DWORD, false},
                                           MarkCase{"one", L"1", REG_SZ, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct UrlCase {
  const wchar_t* url;
  const wchar_t* expected;
};

class UrlRewrite : public OemSettingsTest, public ::testing::WithParamInterface<UrlCase> {};

TEST_P(UrlRewrite, ReplacesOnlyTheHost) {
  Mark(L"1");
  Setting(L"statis", L"oem.example.net");
  OemSettings settings;
  settings.Init(L"kesto");
  EXPECT_EQ(settings.RewriteUrl(L"statis", GetParam().url), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, UrlRewrite,
    ::testing::Values(UrlCase{L"http://s.example/dot?a=1", L"http://oem.example.net/dot?a=1"},
                      UrlCase{L"http://s.example", L"http://oem.example.net"},
                      UrlCase{L"https://s.example:443/dot", L"https://oem.example.net:443/dot"},
                      // The host's letters elsewhere in the URL are not the host.
                      UrlCase{L"http://dot/dot?from=dot", L"http://oem.example.net/dot?from=dot"},
                      // No host to replace.
                      UrlCase{L"://s.example/dot", L"://s.example/dot"},
                      UrlCase{L"http://", L"http://"},
                      UrlCase{L"s.example/dot", L"s.example/dot"},
                      UrlCase{L"http:///dot", L"http:///dot"}));

}  // namespace
