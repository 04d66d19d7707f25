#include "net/SystemInfo.h"

#include <windows.h>

#include <regex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/TextUtil.h"
#include "support/Sandbox.h"

namespace {

// A version block of this program's resources, as GetFileVersionInfo would
// hand it out (VerQueryValue may write past the resource, hence the room).
std::vector<BYTE> OwnVersionBlock(int id) {
  HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(16));
  if (!resource) return {};
  const DWORD size = ::SizeofResource(nullptr, resource);
  const BYTE* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, resource)));
  std::vector<BYTE> block(bytes, bytes + size);
  block.resize(size * 2 + 16);
  return block;
}

struct VersionCase {
  int block;
  bool preferStringTable;
  const wchar_t* expected;
};

class VersionTextRules : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTextRules, PicksStringTableOrFixedVersion) {
  const auto block = OwnVersionBlock(GetParam().block);
  ASSERT_FALSE(block.empty());
  std::wstring version;
  ASSERT_TRUE(lumo::VersionTextFromBlock(block.data(), GetParam().preferStringTable, version));
  EXPECT_EQ(version, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, VersionTextRules,
    ::testing::Values(
        // 32-bit Windows 10: "7, 6, 5, 4" loses its blanks, commas become dots.
        VersionCase{1, true, L"7.6.5.4"},
        // 64-bit Windows or Windows 8.1: the fixed numbers, whatever the strings say.
        VersionCase{1, false, L"1.2.3.4"},
        // Blanks only: the fixed numbers.
        VersionCase{2, true, L"5.6.7.8"},
        // The first translation without a FileVersion string is passed over.
        VersionCase{3, true, L"3.1.4.15"},
        VersionCase{3, false, L"9.9.9.9"}));

TEST(FileVersionText, ReadsThisProgramsFixedVersionUnder64BitWindows) {
  // This test program is 64-bit, so Windows is too: the fixed version counts.
  std::wstring version;
  ASSERT_TRUE(lumo::GetFileVersionText(lumo::ModulePath(), version));
  EXPECT_EQ(version, L"1.2.3.4");
}

TEST(FileVersionText, ReadsASystemLibrary) {
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  std::wstring version;
  ASSERT_TRUE(lumo::GetFileVersionText(lumo::JoinPath(system, L"kernel32.dll"), version));
  EXPECT_TRUE(std::regex_match(version, std::wregex(LR"(\d+\.\d+\.\d+\.\d+)"))) << version;
}

TEST(FileVersionText, FailsWithoutAVersionResource) {
  lumo::test::TempFolder temp;
  ASSERT_TRUE(lumo::test::WriteFileBytes(temp / L"plain.exe", "MZ not really"));
  std::wstring version = L"unchanged";
  EXPECT_FALSE(lumo::GetFileVersionText(temp / L"plain.exe", version));
  EXPECT_FALSE(lumo::GetFileVersionText(temp / L"missing.exe", version));
  EXPECT_EQ(version, L"unchanged");
}

TEST(Windows10Version, CountsVersion10AndThePreviewNumbering) {
  EXPECT_TRUE(lumo::IsWindows10Version(10, 0));
  EXPECT_TRUE(lumo::IsWindows10Version(6, 4));
  EXPECT_FALSE(lumo::IsWindows10Version(6, 3));
  EXPECT_FALSE(lumo::IsWindows10Version(6, 1));
  EXPECT_FALSE(lumo::IsWindows10Version(9, 9));
}

struct BitnessCase {
  bool haveNativeInfo;
  WORD architecture;
  USHORT nativeMachine;
  bool expected;
};

class SystemBitness : public ::testing::TestWithParam<BitnessCase> {};

TEST_P(SystemBitness, FollowsTheNativeProcessor) {
  const auto& c = GetParam();
  EXPECT_EQ(lumo::Is64BitArchitecture(c.haveNativeInfo, c.architecture, c.nativeMachine), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, SystemBitness,
    ::testing::Values(BitnessCase{true, PROCESSOR_ARCHITECTURE_AMD64, 0, true},
                      BitnessCase{true, PROCESSOR_ARCHITECTURE_IA64, 0, true},
                      BitnessCase{true, 12 /* ARM64 */, 0, true},
                      BitnessCase{true, PROCESSOR_ARCHITECTURE_INTEL, 0, false},
                      // x86 process on ARM64 Windows: the native processor reads as x86.
                      BitnessCase{true, PROCESSOR_ARCHITECTURE_INTEL, 0xAA64, true},
                      BitnessCase{true, PROCESSOR_ARCHITECTURE_INTEL, 0x014C, false},
                      BitnessCase{false, PROCESSOR_ARCHITECTURE_AMD64, 0xAA64, false}));

TEST(SystemBitness, A64BitProcessRunsOn64BitWindows) { EXPECT_TRUE(lumo::IsSystem64Bit()); }

TEST(OSVersionCheck, NeverReportsLessThanTheKernelSays) {
  const COSVersionCheck* check = COSVersionCheck::instance();
  ASSERT_NE(check, nullptr);
  const OSVERSIONINFOEXW& version = check->Version();
  EXPECT_EQ(version.dwOSVersionInfoSize, 284u);
  EXPECT_TRUE(check->Source() == 0 || check->Source() == 1);

  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtlGetVersion, nullptr);
  OSVERSIONINFOEXW kernel{};
  kernel.dwOSVersionInfoSize = sizeof(kernel);
  ASSERT_EQ(rtlGetVersion(&kernel), 0);
  EXPECT_GE(version.dwMajorVersion * 10 + version.dwMinorVersion, kernel.dwMajorVersion * 10 + kernel.dwMinorVersion);
}

// A type whose construction is slow, to let callers meet while it is built.
struct SlowToBuild : static_singleton_base<SlowToBuild> {
  SlowToBuild() {
    ::InterlockedIncrement(&built);
    ::Sleep(50);
  }
  static volatile LONG built;
};
volatile LONG SlowToBuild::built = 0;

TEST(StaticSingleton, ConcurrentFirstCallersShareOneObject) {
  std::vector<SlowToBuild*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&seen, i] { seen[i] = SlowToBuild::instance(); });
  for (auto& thread : threads) thread.join();
  ASSERT_NE(seen[0], nullptr);
  for (SlowToBuild* object : seen) EXPECT_EQ(object, seen[0]);
  EXPECT_EQ(SlowToBuild::built, 1);
}

}  // namespace
