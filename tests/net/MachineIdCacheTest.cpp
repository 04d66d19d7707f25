// The identifiers through their registry caches, and on this machine.
#include "net/MachineId.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <regex>

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "base/TextUtil.h"
#include "net/BrixMid2.h"
#include "net/FakeDeviceQueries.h"
#include "net/Md5.h"
#include "net/RegistrySnapshot.h"
#include "support/Sandbox.h"

namespace {

using lumo::test::DescriptorBytes;
using lumo::test::FakeDeviceQueries;
using lumo::test::ReadRegistryText;
using lumo::test::RegistryValueExists;
using lumo::test::WriteRegistryText;
using lumo::test::WriteRegistryValue;

const std::wstring kMidKey = L"Software\\Quorra2\\Zazoru";
const std::wstring kMid2Key = L"SOFTWARE\\ComQuorra";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string ValidMid2(const std::string& body, uint8_t flags) {
  char digits[3];
  std::snprintf(digits, sizeof(digits), "%02x", flags);
  std::string id = body + digits;
  std::snprintf(digits, sizeof(digits), "%02x", lumo::Crc8(id.data(), id.size()));
  return id + digits;
}

// A machine with a wired card, a disk and a processor.
void FullMachine(FakeDeviceQueries& machine) {
  machine.Processor("GenuineIntel", 0x906EA, 0xBFEBFBFF, "Intel(R) Core(TM) i7");
  machine.NetworkCard(L"{ETH}");
  machine.NdisAdapter(L"{ETH}", std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6), 14);
  machine.StorageDescriptor(0, DescriptorBytes("ATA", "Disk", "SERIAL1", 11));
}

// The cache keys are the test's while it runs; they start empty and are put
// back (or removed) afterwards.
class MachineIdCaches : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* path : {L"Software\\Quorra2", L"Software\\Quorra2\\Zazoru", L"SOFTWARE\\ComQuorra"})
      snapshots_.push_back(std::make_unique<lumo::test::RegistrySnapshot>(path));
    lumo::test::ClearRegistryValues(kMidKey);
    lumo::test::ClearRegistryValues(kMid2Key);
  }
  void TearDown() override {
    while (!snapshots_.empty()) snapshots_.pop_back();  // children first
  }

  static std::string Stored(const std::wstring& key, const wchar_t* name) {
    std::wstring text;
    return ReadRegistryText(key, name, text) ? Narrow(text) : std::string("<none>");
  }

  std::vector<std::unique_ptr<lumo::test::RegistrySnapshot>> snapshots_;
};

// --- mid ---

TEST_F(MachineIdCaches, MidIsCachedWithItsCheckInThe32BitView) {
  FakeDeviceQueries machine;
  FullMachine(machine);
  const std::string mid = lumo::ComputeMid(machine);
  EXPECT_EQ(mid, lumo::Md5Hex(lumo::MidSourceText(machine)));
  EXPECT_EQ(Stored(kMidKey, L"mid"), mid + lumo::Md5Hex(mid));
  EXPECT_FALSE(RegistryValueExists(kMidKey, L"mid", KEY_WOW64_64KEY));
  EXPECT_FALSE(RegistryValueExists(kMidKey, L"mid_old"));

  // Later runs take the cache, whatever the hardware says now.
  FakeDeviceQueries other;
  other.Processor("AuthenticAMD", 1, 2, "other");
  EXPECT_EQ(lumo::ComputeMid(other), mid);
  EXPECT_EQ(other.hardwareQueries, 0);
}

TEST_F(MachineIdCaches, MidFromNoSourceAtAllIsNotKept) {
  FakeDeviceQueries nothing;
  EXPECT_EQ(lumo::ComputeMid(nothing), lumo::Md5Hex("Mid2Failed"));
  EXPECT_FALSE(RegistryValueExists(kMidKey, L"mid"));
}

class DamagedMidCache : public MachineIdCaches, public ::testing::WithParamInterface<std::string> {};

TEST_P(DamagedMidCache, IsRecomputedAndKeptAsOld) {
  WriteRegistryText(kMidKey, L"mid", Wide(GetParam()));
  FakeDeviceQueries machine;
  FullMachine(machine);
  const std::string mid = lumo::ComputeMid(machine);
  EXPECT_EQ(mid, lumo::Md5Hex(lumo::MidSourceText(machine)));
  EXPECT_EQ(Stored(kMidKey, L"mid"), mid + lumo::Md5Hex(mid));
  EXPECT_EQ(Stored(kMidKey, L"mid_old"), GetParam());
}

const std::string kSomeMid = "0123456789abcdef0123456789abcdef";
INSTANTIATE_TEST_SUITE_P(
    Values, DamagedMidCache,
    ::testing::Values((kSomeMid + lumo::Md5Hex(kSomeMid)).substr(1),   // 63 characters
                      kSomeMid + lumo::Md5Hex(kSomeMid) + "0",          // 65 characters
                      kSomeMid + lumo::Md5Hex("something else"),         // wrong check
                      "zz" + kSomeMid.substr(2) + lumo::Md5Hex("zz" + kSomeMid.substr(2))));  // not hex

// --- mid2 ---

TEST_F(MachineIdCaches, Mid2IsCachedInThe32BitView) {
  FakeDeviceQueries machine;
  FullMachine(machine);
  const std::string id = lumo::ComputeMid2(machine);
  ASSERT_TRUE(lumo::IsValidMid2(id)) << id;
  EXPECT_EQ(id.substr(40, 2), "2b");  // MAC, disk and CPU, hashed
  EXPECT_EQ(Stored(kMid2Key, L"m2"), id);
  EXPECT_FALSE(RegistryValueExists(kMid2Key, L"m2", KEY_WOW64_64KEY));
  EXPECT_FALSE(RegistryValueExists(kMid2Key, L"m2_old"));
  EXPECT_EQ(machine.waits, 0);  // every source was there at once

  // The same hardware next time: the cache stands, nothing is rewritten.
  FakeDeviceQueries again;
  FullMachine(again);
  EXPECT_EQ(lumo::ComputeMid2(again), id);
  EXPECT_FALSE(RegistryValueExists(kMid2Key, L"m2_old"));
}

struct BadM2 {
  const char* name;
  DWORD type;
  std::string text;  // for string types
};

class DamagedMid2Cache : public MachineIdCaches, public ::testing::WithParamInterface<BadM2> {};

TEST_P(DamagedMid2Cache, IsRecomputedAndKeptAsOld) {
  const auto& bad = GetParam();
  const DWORD number = 0x1234;
  if (bad.type == REG_DWORD)
    WriteRegistryValue(kMid2Key, L"m2", REG_DWORD, &number, sizeof(number));
  else
    WriteRegistryValue(kMid2Key, L"m2", bad.type, Wide(bad.text).c_str(),
                       static_cast<DWORD>((bad.text.size() + 1) * sizeof(wchar_t)));
  FakeDeviceQueries machine;
  FullMachine(machine);
  machine.elevation = 0;  // even a limited process replaces a broken cache
  const std::string id = lumo::ComputeMid2(machine);
  ASSERT_TRUE(lumo::IsValidMid2(id));
  EXPECT_EQ(id.substr(0, 8), "eeeeeeee");
  EXPECT_EQ(Stored(kMid2Key, L"m2"), id);

  lumo::UniqueHkey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMid2Key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()),
            ERROR_SUCCESS);
  DWORD type = 0, bytes = 0;
  ASSERT_EQ(::RegQueryValueExW(key.get(), L"m2_old", nullptr, &type, nullptr, &bytes), ERROR_SUCCESS);
  EXPECT_EQ(type, bad.type);
  if (bad.type != REG_SZ) return;
  EXPECT_EQ(Stored(kMid2Key, L"m2_old"), bad.text);
}

const std::string kGoodM2 = ValidMid2(std::string(40, 'a'), 0x2B);
std::string WrongCheck() {
  std::string id = kGoodM2;
  id[43] = id[43] == '0' ? '1' : '0';
  return id;
}

INSTANTIATE_TEST_SUITE_P(
    Values, DamagedMid2Cache,
    ::testing::Values(BadM2{"WrongCheck", REG_SZ, WrongCheck()},
                      BadM2{"TooShort", REG_SZ, kGoodM2.substr(1)},
                      BadM2{"TooLong", REG_SZ, kGoodM2 + "0"},
                      BadM2{"Number", REG_DWORD, ""},
                      BadM2{"MultiString", REG_MULTI_SZ, kGoodM2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MachineIdCaches, LimitedProcessTakesAValidCacheWithoutAskingTheHardware) {
  const std::string cached = ValidMid2("0123456789" + std::string(30, 'b'), 0x2B);
  WriteRegistryText(kMid2Key, L"m2", Wide(cached));
  FakeDeviceQueries machine;
  FullMachine(machine);
  machine.elevation = 0;
  EXPECT_EQ(lumo::ComputeMid2(machine), cached);
  EXPECT_EQ(machine.hardwareQueries, 0);
  EXPECT_FALSE(RegistryValueExists(kMid2Key, L"m2_old"));
}

TEST_F(MachineIdCaches, LimitedProcessWithoutCacheMarksItsBody) {
  FakeDeviceQueries machine;
  FullMachine(machine);
  machine.elevation = 0;
  const std::string id = lumo::ComputeMid2(machine);
  EXPECT_EQ(id.substr(0, 8), "eeeeeeee");
  EXPECT_TRUE(lumo::IsValidMid2(id));
}

TEST_F(MachineIdCaches, ChangedHardwareReplacesTheCache) {
  const std::string cached = ValidMid2("0123456789" + std::string(30, 'b'), 0x2B);
  WriteRegistryText(kMid2Key, L"m2", Wide(cached));
  FakeDeviceQueries machine;
  FullMachine(machine);
  const std::string id = lumo::ComputeMid2(machine);
  EXPECT_NE(id, cached);
  EXPECT_EQ(Stored(kMid2Key, L"m2"), id);
  EXPECT_EQ(Stored(kMid2Key, L"m2_old"), cached);
}

TEST_F(MachineIdCaches, RandomCacheStandsWhenNoHardwareTextIsFound) {
  const std::string cached = ValidMid2("ffffffff" + std::string(32, 'c'), 0x10);
  WriteRegistryText(kMid2Key, L"m2", Wide(cached));
  FakeDeviceQueries machine;
  machine.Processor("GenuineIntel", 1, 2, "cpu");
  EXPECT_EQ(lumo::ComputeMid2(machine), cached);
  EXPECT_FALSE(RegistryValueExists(kMid2Key, L"m2_old"));
}

TEST_F(MachineIdCaches, RandomFallbackIsKeptForTheMachine) {
  FakeDeviceQueries machine;
  machine.Processor("GenuineIntel", 1, 2, "cpu");
  const std::string id = lumo::ComputeMid2(machine);
  EXPECT_EQ(id, ValidMid2("ffffffff0403020106050807090a0b0c0d0e0f10", 0x10));
  EXPECT_EQ(machine.waits, 1);  // one more look for late drivers first
  EXPECT_EQ(Stored(kMid2Key, L"m2"), id);
}

TEST_F(MachineIdCaches, ASourceThatTurnsUpLateCounts) {
  FakeDeviceQueries machine;
  machine.Processor("GenuineIntel", 1, 2, "cpu");
  machine.NetworkCard(L"{ETH}");
  machine.NdisAdapter(L"{ETH}", std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6), 14);
  machine.onWait = [&machine] { machine.StorageDescriptor(0, DescriptorBytes("ATA", "Disk", "LATE", 11)); };
  const std::string id = lumo::ComputeMid2(machine);
  EXPECT_EQ(machine.waits, 1);
  EXPECT_EQ(id.substr(40, 2), "2b");
}

// --- this machine ---

TEST_F(MachineIdCaches, ThisMachinesIdentifiersAreWellFormed) {
  wchar_t mid[64] = {};
  ASSERT_NE(lumo::GetMid(mid, 64), 0);
  EXPECT_TRUE(std::regex_match(mid, std::wregex(L"[0-9a-f]{32}"))) << mid;
  wchar_t cut[8] = {};
  ASSERT_NE(lumo::GetMid(cut, 8), 0);
  EXPECT_EQ(std::wstring(cut), std::wstring(mid).substr(0, 7));
  EXPECT_EQ(lumo::GetMid(nullptr, 64), 0);
  EXPECT_EQ(lumo::GetMid(mid, 0), 0);

  char narrow[40] = "untouched";
  EXPECT_EQ(lumo::GetMidA(narrow, 32), 0);  // no room for the NUL
  EXPECT_STREQ(narrow, "untouched");
  ASSERT_EQ(lumo::GetMidA(narrow, 33), 1);
  EXPECT_EQ(Wide(narrow), mid);

  wchar_t mid2[50] = {};
  ASSERT_EQ(GetMid2(mid2, 50), S_OK);
  EXPECT_TRUE(std::regex_match(mid2, std::wregex(L"[0-9a-f]{44}"))) << mid2;
  EXPECT_TRUE(lumo::IsValidMid2(Narrow(mid2)));

  wchar_t shortBuffer[10] = {};
  EXPECT_EQ(static_cast<INewMID*>(CBrixMID2::instance())->GetID(shortBuffer, 10),
            HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::wstring(shortBuffer), std::wstring(mid2).substr(0, 9));
}

TEST_F(MachineIdCaches, ThisMachinesIdentifiersAreCached) {
  const std::string mid = lumo::ComputeMid(lumo::SystemDeviceQueries());
  const std::string mid2 = lumo::ComputeMid2(lumo::SystemDeviceQueries());
  EXPECT_EQ(Stored(kMidKey, L"mid"), mid + lumo::Md5Hex(mid));
  EXPECT_EQ(Stored(kMid2Key, L"m2"), mid2);
  EXPECT_EQ(lumo::ComputeMid(lumo::SystemDeviceQueries()), mid);
  EXPECT_EQ(lumo::ComputeMid2(lumo::SystemDeviceQueries()), mid2);
}

// Run only as the child of the next test.
TEST(MachineIdChild, DISABLED_WritesItsIdentifiers) {
  wchar_t out[MAX_PATH] = {};
  ASSERT_NE(::GetEnvironmentVariableW(L"LUMO_MID_OUT", out, MAX_PATH), 0u);
  wchar_t mid[64] = {}, mid2[64] = {};
  ASSERT_NE(lumo::GetMid(mid, 64), 0);
  ASSERT_EQ(GetMid2(mid2, 64), S_OK);
  ASSERT_TRUE(lumo::test::WriteFileBytes(out, Narrow(mid) + "\n" + Narrow(mid2)));
}

TEST_F(MachineIdCaches, AnotherProcessGetsTheSameIdentifiers) {
  const std::string mid = lumo::ComputeMid(lumo::SystemDeviceQueries());
  const std::string mid2 = lumo::ComputeMid2(lumo::SystemDeviceQueries());

  lumo::test::TempFolder temp;
  const std::wstring out = temp / L"ids.txt";
  ::SetEnvironmentVariableW(L"LUMO_MID_OUT", out.c_str());
  std::wstring command = L"\"" + lumo::ModulePath() +
                         L"\" --gtest_also_run_disabled_tests --gtest_filter=MachineIdChild.DISABLED_WritesItsIdentifiers";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
  ::SetEnvironmentVariableW(L"LUMO_MID_OUT", nullptr);
  ASSERT_TRUE(started);
  lumo::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
  ASSERT_EQ(::WaitForSingleObject(processHandle.get(), 120000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(processHandle.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(lumo::test::ReadFileBytes(out), mid + "\n" + mid2);
}

}  // namespace
