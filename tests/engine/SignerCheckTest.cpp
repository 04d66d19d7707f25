#include "engine/SignerCheck.h"

#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "support/Sandbox.h"

namespace {

const wchar_t kTestSigner[] = L"Kesto Technology Co., Ltd.";

std::wstring Fixture(const std::wstring& name) {
  return lumo::JoinPath(lumo::DirectoryOf(lumo::ModulePath()), L"fixtures\\signing\\" + name);
}

// Makes the throwaway signing certificate a trusted root of this machine for
// the length of a test, and takes it out again.
class TrustedTestRoot {
 public:
  TrustedTestRoot() {
    const std::string pem = lumo::test::ReadFileBytes(Fixture(L"accepted.crt"));
    DWORD size = 0;
    if (!::CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) return;
    der_.resize(size);
    ::CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der_.data(), &size, nullptr, nullptr);
    store_ = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    added_ = store_ && ::CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der_.data(), size,
                                                           CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  }
  ~TrustedTestRoot() {
    if (added_) {
      const CERT_CONTEXT* found = ::CertCreateCertificateContext(X509_ASN_ENCODING, der_.data(),
                                                                static_cast<DWORD>(der_.size()));
      const CERT_CONTEXT* inStore =
          found ? ::CertFindCertificateInStore(store_, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, found, nullptr)
                : nullptr;
      if (inStore) ::CertDeleteCertificateFromStore(inStore);  // frees inStore
      if (found) ::CertFreeCertificateContext(found);
    }
    if (store_) ::CertCloseStore(store_, 0);
  }
  bool added() const { return added_; }

 private:
  std::vector<BYTE> der_;
  HCERTSTORE store_ = nullptr;
  bool added_ = false;
};

struct SignedCase {
  const wchar_t* file;
  bool trusted;        // passes the trusted-signer check
  bool namedWithRoot;  // passes the named check once the root is trusted
};

class SignerChecks : public ::testing::TestWithParam<SignedCase> {};

TEST_P(SignerChecks, AcceptOnlyTheAcceptedSigner) {
  const std::wstring path = Fixture(GetParam().file);
  ASSERT_TRUE(lumo::FileExists(path)) << GetParam().file;
  EXPECT_EQ(IsTrustedSignerFile(path.c_str()), GetParam().trusted);
  // The test certificate is its own root; the named check wants a trusted
  // chain, so the root is installed for it. (Wine does not report untrusted
  // roots for these signatures; Windows does.)
  TrustedTestRoot root;
  ASSERT_TRUE(root.added());
  EXPECT_EQ(IsSignedBy(path.c_str(), kTestSigner), GetParam().namedWithRoot);
  EXPECT_EQ(IsSignedBy(path.c_str(), L"KESTO technology co., ltd."), GetParam().namedWithRoot);
  EXPECT_FALSE(IsSignedBy(path.c_str(), L"Kesto Technology"));
  EXPECT_EQ(IsTrustedSignerFile(path.c_str()), GetParam().trusted);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SignerChecks,
                         ::testing::Values(SignedCase{L"tiny_program_accepted.exe", true, true},
                                           SignedCase{L"tiny_library_accepted.dll", true, true},
                                           SignedCase{L"tiny_program_unsigned.exe", false, false},
                                           SignedCase{L"tiny_library_unsigned.dll", false, false},
                                           SignedCase{L"tiny_program_wrong.exe", false, false},
                                           SignedCase{L"tiny_library_wrong.dll", false, false}));

TEST(SignerCheck, MissingPathsAndDirectoriesFail) {
  lumo::test::TempFolder folder;
  for (const std::wstring& path : {folder.path(), folder / L"missing.dll"}) {
    EXPECT_FALSE(IsTrustedSignerFile(path.c_str()));
    EXPECT_FALSE(IsSignedBy(path.c_str(), kTestSigner));
  }
  EXPECT_FALSE(IsTrustedSignerFile(nullptr));
  EXPECT_FALSE(IsSignedBy(nullptr, kTestSigner));
  EXPECT_TRUE(IsSignedBy(Fixture(L"tiny_program_unsigned.exe").c_str(), nullptr));  // no name asked for
}

TEST(SignerCheck, TheAcceptedListHoldsThreeEnglishAndFourteenChineseNames) {
  size_t count = 0;
  const wchar_t* const* names = AcceptedSigners(&count);
  ASSERT_EQ(count, 17u);
  size_t chinese = 0;
  for (size_t i = 0; i < count; ++i) chinese += names[i][0] >= 0x4E00 ? 1 : 0;
  EXPECT_EQ(chinese, 14u);
  EXPECT_STREQ(names[0], kTestSigner);
}

TEST(SignerCheck, TheTestBuildOfTheProgramIsSigned) {
  const std::wstring program = lumo::JoinPath(lumo::DirectoryOf(lumo::ModulePath()), L"Uninstall.exe");
  EXPECT_TRUE(IsTrustedSignerFile(program.c_str()));
}

}  // namespace
