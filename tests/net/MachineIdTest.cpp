// The rules that pick and format the hardware texts, on recorded answers.
#include "net/MachineId.h"

#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "net/FakeDeviceQueries.h"
#include "net/Sha1.h"

namespace {

using lumo::test::DescriptorBytes;
using lumo::test::FakeDeviceQueries;
using lumo::test::IdentifyData;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kSmartRcvDriveData = 0x0007C088;
constexpr DWORD kScsiMiniport = 0x0004D008;

std::string Mac(const char* bytes) { return std::string(bytes, 6); }

TEST(Crc8, HasTheOneWireCheckValue) {
  EXPECT_EQ(lumo::Crc8("123456789", 9), 0xA1);
  EXPECT_EQ(lumo::Crc8("", 0), 0x00);
}

TEST(Mid2Check, AcceptsOnlyFortyFourDigitsWithTheirCheckByte) {
  std::string id = std::string(40, 'a') + "21";
  char check[3];
  std::snprintf(check, sizeof(check), "%02x", lumo::Crc8(id.data(), 42));
  id += check;
  EXPECT_TRUE(lumo::IsValidMid2(id));
  std::string wrongCheck = id;
  wrongCheck[43] = wrongCheck[43] == '0' ? '1' : '0';
  EXPECT_FALSE(lumo::IsValidMid2(wrongCheck));
  EXPECT_FALSE(lumo::IsValidMid2(id.substr(0, 43)));
  EXPECT_FALSE(lumo::IsValidMid2(id + "0"));
  std::string notHex = id;
  notHex[0] = 'g';
  EXPECT_FALSE(lumo::IsValidMid2(notHex));
}

// --- CPU texts ---

class CpuTexts : public ::testing::TestWithParam<const char*> {};

TEST_P(CpuTexts, CountTheMisspeltVendorAsIntel) {
  FakeDeviceQueries machine;
  machine.Processor(GetParam(), 0x906EA, 0xBFEBFBFF, "  Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz");
  EXPECT_EQ(lumo::FormatMidCpuText(machine), "GenuineIntel:bfebfbff");
  EXPECT_EQ(lumo::FormatMid2CpuText(machine), "GenuineIntel,906ea,Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz");
}

INSTANTIATE_TEST_SUITE_P(Vendors, CpuTexts, ::testing::Values("GenuineIntel", "GenuineIotel"));

TEST(CpuTexts, MissingLeavesGiveEmptyParts) {
  FakeDeviceQueries machine;
  machine.Processor("AuthenticAMD", 0x800F82, 0x178BFBFF, nullptr);  // no brand leaves
  EXPECT_EQ(lumo::FormatMid2CpuText(machine), "AuthenticAMD,800f82,");
  machine.cpuid[0][0] = 0;  // leaf 1 not there either
  EXPECT_EQ(lumo::FormatMid2CpuText(machine), "AuthenticAMD,0,");
  EXPECT_EQ(lumo::FormatMidCpuText(machine), "AuthenticAMD:00000000");
  FakeDeviceQueries none;
  EXPECT_EQ(lumo::FormatMidCpuText(none), "");
  EXPECT_EQ(lumo::FormatMid2CpuText(none), "");
}

// --- mid disk ---

TEST(MidDisk, SmartIdentifyOfTheFirstAnsweringDriveWins) {
  FakeDeviceQueries machine;
  machine.SmartDrive(1, 0x03, IdentifyData("WD-WCC4E0123456", "WDC WD10EZEX"), kReadWrite);
  machine.SmartDrive(2, 0x03, IdentifyData("SECOND", "OTHER"), kReadWrite);
  std::string text;
  ASSERT_TRUE(lumo::MidDiskText(machine, text));
  EXPECT_EQ(text, "WD-WCC4E0123456");  // trailing blanks cut
}

TEST(MidDisk, PacketDevicesAreAskedWithIdentifyPacket) {
  FakeDeviceQueries machine;
  std::string version(24, '\0');
  version[3] = 0x10;  // drive 0 is an ATAPI device
  machine.Answer(L"\\\\.\\PhysicalDrive0", 0x00074080, version, kReadWrite);
  machine.Answer(L"\\\\.\\PhysicalDrive0", kSmartRcvDriveData, std::string(16, '\0') + IdentifyData("ATAPI1", ""),
                 kReadWrite, [](const std::string& in) { return in.size() == 32 && uint8_t(in[10]) == 0xA1; });
  std::string text;
  ASSERT_TRUE(lumo::MidDiskText(machine, text));
  EXPECT_EQ(text, "ATAPI1");
}

TEST(MidDisk, ScsiMiniportComesBeforeTheDescriptor) {
  FakeDeviceQueries machine;
  machine.SmartDrive(0, 0x00, IdentifyData("NOMAP", ""), kReadWrite);  // empty map: no answer
  machine.Answer(L"\\\\.\\Scsi1:", kScsiMiniport, std::string(44, '\0') + IdentifyData("SCSI-SERIAL", ""),
                 kReadWrite, [](const std::string& in) {
                   return in.size() == 60 && in.compare(4, 8, "SCSIDISK") == 0 && in[40] == 1;  // target 1
                 });
  machine.StorageDescriptor(0, DescriptorBytes("ATA", "Disk", "3132333435363738", 11));
  std::string text;
  ASSERT_TRUE(lumo::MidDiskText(machine, text));
  EXPECT_EQ(text, "SCSI-SERIAL");
}

TEST(MidDisk, DescriptorOfTheFirstDriveThatAnswersIsDecoded) {
  FakeDeviceQueries machine;
  machine.StorageDescriptor(2, DescriptorBytes("ATA", "Disk", "3132333435363738", 11));
  machine.StorageDescriptor(5, DescriptorBytes("ATA", "Disk", "3939393939393939", 11));
  std::string text;
  ASSERT_TRUE(lumo::MidDiskText(machine, text));
  EXPECT_EQ(text, "21436587");
}

TEST(MidDisk, NoAnswerAtAll) {
  FakeDeviceQueries machine;
  std::string text;
  EXPECT_FALSE(lumo::MidDiskText(machine, text));
}

struct SerialCase {
  const char* raw;
  const char* expected;
};

class MidStorageSerial : public ::testing::TestWithParam<SerialCase> {};

TEST_P(MidStorageSerial, DecodesHexPairsThenSwaps) {
  EXPECT_EQ(lumo::DecodeMidStorageSerial(GetParam().raw), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Serials, MidStorageSerial,
    ::testing::Values(SerialCase{"3132333435363738", "21436587"},
                      SerialCase{"3 3 3132", "0021"},         // a blank counts as "0"
                      SerialCase{"WD-WX41", "DWW-4X1"},      // not hex: the text itself, swapped
                      SerialCase{"01023132", "10201323"},    // not printable once decoded
                      SerialCase{"31320000", "21"},          // a zero ends the text
                      SerialCase{"", ""}));

// --- mid MAC ---

TEST(MidMac, SmallestPermanentAddressOfTheNetworkCards) {
  FakeDeviceQueries machine;
  machine.NetworkCard(L"{B}");
  machine.NetworkCard(L"{A}");
  machine.NdisAdapter(L"{B}", Mac("\x00\x1A\x2B\x3C\x4D\x5E"));
  machine.NdisAdapter(L"{A}", Mac("\xA0\x1A\x2B\x3C\x4D\x5E"));
  machine.netbios = Mac("\x00\x00\x00\x00\x00\x01");
  std::string text;
  ASSERT_TRUE(lumo::MidMacText(machine, text));
  EXPECT_EQ(text, "001A2B3C4D5E");
}

TEST(MidMac, NetbiosWhenNoCardAnswers) {
  FakeDeviceQueries machine;
  machine.NetworkCard(L"{A}");  // its driver does not answer
  machine.netbios = Mac("\x52\x54\x00\xAB\xCD\xEF");
  std::string text;
  ASSERT_TRUE(lumo::MidMacText(machine, text));
  EXPECT_EQ(text, "525400ABCDEF");
}

TEST(MidSource, JoinsCpuDiskAndMac) {
  FakeDeviceQueries machine;
  machine.Processor("GenuineIntel", 0x906EA, 0xBFEBFBFF, "x");
  machine.StorageDescriptor(0, DescriptorBytes("ATA", "Disk", "S1", 11));
  machine.netbios = Mac("\x52\x54\x00\xAB\xCD\xEF");
  EXPECT_EQ(lumo::MidSourceText(machine), "GenuineIntel:bfebfbff1S525400ABCDEF");
  FakeDeviceQueries empty;
  EXPECT_EQ(lumo::MidSourceText(empty), "");
}

// --- mid2 MAC ---

enum class Kind { kWired, kWireless, kRejected };

struct MediumCase {
  const char* name;
  int mediumEx, medium;  // -1: the query fails
  const wchar_t* driverDesc;
  const wchar_t* lowerRange;
  Kind expected;
};

class Mid2Medium : public ::testing::TestWithParam<MediumCase> {
 protected:
  // Adapter A under test has the lowest address; W is a plain wired card.
  static std::string Pick(const MediumCase& c, bool withWiredCard) {
    FakeDeviceQueries machine;
    machine.NetworkCard(L"{A}", c.driverDesc, 5, c.lowerRange);
    machine.NdisAdapter(L"{A}", Mac("\x00\x00\x00\x00\x00\x0A"), c.mediumEx, c.medium);
    if (withWiredCard) {
      machine.NetworkCard(L"{W}");
      machine.NdisAdapter(L"{W}", Mac("\xFF\x00\x00\x00\x00\x0B"), 14);
    }
    return lumo::Mid2MacText(machine);
  }
};

TEST_P(Mid2Medium, ClassifiesTheAdapter) {
  const auto& c = GetParam();
  const std::string alone = Pick(c, false), beside = Pick(c, true);
  switch (c.expected) {
    case Kind::kWired:
      EXPECT_EQ(alone, "00000000000A");
      EXPECT_EQ(beside, "00000000000A");
      break;
    case Kind::kWireless:  // used alone, but a wired card wins
      EXPECT_EQ(alone, "00000000000A");
      EXPECT_EQ(beside, "FF000000000B");
      break;
    case Kind::kRejected:
      EXPECT_EQ(alone, "");
      EXPECT_EQ(beside, "FF000000000B");
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Media, Mid2Medium,
    ::testing::Values(
        MediumCase{"ExWlan", 1, -1, L"Ethernet", L"ethernet", Kind::kWireless},
        MediumCase{"ExNative80211", 9, -1, L"Ethernet", L"ethernet", Kind::kWireless},
        MediumCase{"Ex8023", 14, -1, L"Ethernet", L"ethernet", Kind::kWired},
        MediumCase{"Ex8023WirelessDriver", 14, -1, L"Intel Wireless-AC 9560", L"ethernet", Kind::kWireless},
        MediumCase{"Ex8023WlanRange", 14, -1, L"Adapter", L"ndis5,WLAN", Kind::kWireless},
        MediumCase{"Ex8023VwifiRange", 14, -1, L"Adapter", L"vwifi", Kind::kWireless},
        MediumCase{"ExOther", 8, 0, L"Ethernet", L"ethernet", Kind::kRejected},
        MediumCase{"ExZeroLegacyUnspecified", 0, 0, L"Ethernet", L"ethernet", Kind::kWired},
        MediumCase{"LegacyWlan", -1, 1, L"Ethernet", L"ethernet", Kind::kWireless},
        MediumCase{"LegacyBluetooth", -1, 10, L"Ethernet", L"ethernet", Kind::kRejected},
        MediumCase{"LegacyUnknown", -1, 5, L"Wireless", L"ethernet", Kind::kWired},
        MediumCase{"NoAnswerKeepsRegistry", -1, -1, L"Wireless LAN", L"ethernet", Kind::kWireless},
        MediumCase{"NoAnswerWired", -1, -1, L"Ethernet", L"ethernet", Kind::kWired}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Mid2Mac, WiredWinsEvenWhenTheWirelessAddressSortsLower) {
  FakeDeviceQueries machine;
  machine.NetworkCard(L"{WIFI}", L"Wireless Network Adapter");
  machine.NdisAdapter(L"{WIFI}", Mac("\x00\x11\x22\x33\x44\x55"), 9);
  machine.NetworkCard(L"{ETH2}");
  machine.NdisAdapter(L"{ETH2}", Mac("\xC0\x00\x00\x00\x00\x02"), 14);
  machine.NetworkCard(L"{ETH1}");
  machine.NdisAdapter(L"{ETH1}", Mac("\xB0\x00\x00\x00\x00\x01"), 14);
  EXPECT_EQ(lumo::Mid2MacText(machine), "B00000000001");
}

TEST(Mid2Mac, AdaptersOffThePciBusAreSkipped) {
  FakeDeviceQueries machine;
  machine.NetworkCard(L"{VIRTUAL}", L"Hyper-V Virtual Ethernet Adapter", 0);
  machine.NdisAdapter(L"{VIRTUAL}", Mac("\x00\x15\x5D\x00\x00\x01"), 14);
  EXPECT_EQ(lumo::Mid2MacText(machine), "");
}

TEST(Mid2Mac, WithoutTheClassKeyEveryCardCounts) {
  FakeDeviceQueries machine;
  machine.SetText(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\7", L"ServiceName", L"{X}");
  machine.NdisAdapter(L"{X}", Mac("\x00\x15\x5D\x00\x00\x01"));
  EXPECT_EQ(lumo::Mid2MacText(machine), "00155D000001");
}

TEST(Mid2Mac, AdapterListWhenNoDriverAnswers) {
  FakeDeviceQueries machine;
  machine.NetworkCard(L"{ETH}");
  machine.NetworkCard(L"{WIFI}");
  machine.NetworkCard(L"{WLAN}");
  machine.NetworkCard(L"{USB}", L"USB Ethernet", 15);  // not PCI: not in the list
  machine.adapters = {
      {L"{wifi}", L"Realtek WiFi Adapter", 6, Mac("\x00\x00\x00\x00\x00\x01")},
      {L"{WLAN}", L"Intel Dual Band", 71, Mac("\x00\x00\x00\x00\x00\x02")},
      {L"{USB}", L"USB Ethernet", 6, Mac("\x00\x00\x00\x00\x00\x03")},
      {L"{ETH}", L"Intel Ethernet", 6, Mac("\x90\x00\x00\x00\x00\x04")},
      {L"{ETH}", L"Loopback-ish", 24, Mac("\x00\x00\x00\x00\x00\x05")},
  };
  EXPECT_EQ(lumo::Mid2MacText(machine), "900000000004");
  machine.adapters.erase(machine.adapters.begin() + 3);  // only wireless ones left
  EXPECT_EQ(lumo::Mid2MacText(machine), "000000000001");
}

// --- mid2 disk ---

TEST(Mid2Disk, SkipsRemovableAndVirtualDrivesAndUsesIdentify) {
  FakeDeviceQueries machine;
  machine.StorageDescriptor(0, DescriptorBytes("", "USB Stick", "USB1", 7));
  machine.StorageDescriptor(1, DescriptorBytes("", "Card", "CARD1", 11, true));
  machine.StorageDescriptor(2, DescriptorBytes("Msft", "Virtual Disk", "VHD1", 14));
  machine.StorageDescriptor(3, DescriptorBytes("ATA", "Disk", "DESC3", 11));
  machine.SmartDrive(3, 0x0F, IdentifyData("  S3Z9NB0K123456", "Samsung SSD 860 EVO 500GB"), kReadWrite);
  EXPECT_EQ(lumo::Mid2DiskText(machine), "S3Z9NB0K123456Samsung SSD 860 EVO 500GB");
}

TEST(Mid2Disk, DescriptorWhenIdentifyGivesNoSerial) {
  FakeDeviceQueries machine;
  machine.StorageDescriptor(0, DescriptorBytes(" WDC ", "WD10EZEX-08WN4A0 ", "WD-WCC6Y1234567", 11));
  machine.SmartDrive(0, 0x01, IdentifyData("", "WDC"), kReadWrite);
  EXPECT_EQ(lumo::Mid2DiskText(machine), "WD-WCC6Y1234567WDCWD10EZEX-08WN4A0");
}

TEST(Mid2Disk, OffsetsOutsideTheDescriptorSkipTheDrive) {
  FakeDeviceQueries machine;
  std::string broken = DescriptorBytes("ATA", "Disk", "BAD", 11);
  const uint32_t outside = 5000;
  std::memcpy(&broken[24], &outside, 4);  // the serial's offset
  machine.StorageDescriptor(0, broken);
  machine.StorageDescriptor(1, DescriptorBytes("ATA", "Disk", "GOOD", 11));
  EXPECT_EQ(lumo::Mid2DiskText(machine), "GOODATADisk");
}

TEST(Mid2Disk, SerialBytesAreSwappedOnWindows7AndOlder) {
  FakeDeviceQueries machine;
  machine.StorageDescriptor(0, DescriptorBytes("", "Disk", "2020202020202020202020205744572d43435936", 11));
  machine.windowsMajor = 6;
  machine.windowsMinor = 1;
  EXPECT_EQ(lumo::Mid2DiskText(machine), "DW-WCC6YDisk");
  machine.windowsMinor = 2;
  EXPECT_EQ(lumo::Mid2DiskText(machine), "WDW-CCY6Disk");
}

struct Mid2SerialCase {
  const char* raw;
  bool swap;
  const char* expected;
};

class Mid2StorageSerial : public ::testing::TestWithParam<Mid2SerialCase> {};

TEST_P(Mid2StorageSerial, Decodes) {
  EXPECT_EQ(lumo::DecodeMid2StorageSerial(GetParam().raw, GetParam().swap), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Serials, Mid2StorageSerial,
    ::testing::Values(Mid2SerialCase{"2020202020202020202020205744572d43435936", false, "WDW-CCY6"},
                      Mid2SerialCase{"2020202020202020202020205744572d43435936", true, "DW-WCC6Y"},
                      Mid2SerialCase{"  S3Z9NB0K  ", false, "S3Z9NB0K"},
                      Mid2SerialCase{"3S9ZBNK0", true, "S3Z9NB0K"},
                      // 47 characters at most.
                      Mid2SerialCase{"ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ", false,
                                     "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFG"}));

// --- the identifier itself ---

std::string WithCheck(const std::string& body, uint8_t flags) {
  char digits[3];
  std::snprintf(digits, sizeof(digits), "%02x", flags);
  std::string id = body + digits;
  std::snprintf(digits, sizeof(digits), "%02x", lumo::Crc8(id.data(), id.size()));
  return id + digits;
}

TEST(Mid2Id, HardwareBodyIsTheSha1OfMacDiskAndCpu) {
  FakeDeviceQueries machine;
  lumo::Mid2Sources sources{"001A2B3C4D5E", "S1Disk", "GenuineIntel,906ea,x"};
  const auto id = lumo::MakeMid2Id(machine, sources, true);
  EXPECT_TRUE(id.hardware);
  EXPECT_EQ(id.text, WithCheck(lumo::Sha1Hex("001A2B3C4D5ES1DiskGenuineIntel,906ea,x"), 0x2B));
  EXPECT_TRUE(lumo::IsValidMid2(id.text));

  const auto limited = lumo::MakeMid2Id(machine, lumo::Mid2Sources{"", "S1Disk", ""}, false);
  EXPECT_EQ(limited.text, WithCheck("eeeeeeee" + lumo::Sha1Hex("S1Disk").substr(8), 0x22));
}

TEST(Mid2Id, RandomFallbackKeepsItsPrefixWithoutElevation) {
  FakeDeviceQueries machine;
  const auto id = lumo::MakeMid2Id(machine, lumo::Mid2Sources{"", "", "GenuineIntel,1,"}, false);
  EXPECT_FALSE(id.hardware);
  EXPECT_EQ(id.text, WithCheck("ffffffff0403020106050807090a0b0c0d0e0f10", 0x10));
}

TEST(Mid2Id, ZerosWhenNoGuidCanBeMade) {
  FakeDeviceQueries machine;
  machine.guidWorks = false;
  EXPECT_EQ(lumo::MakeMid2Id(machine, lumo::Mid2Sources{"", "", "cpu"}, true).text,
            WithCheck(std::string(40, '0'), 0x08));
  EXPECT_EQ(lumo::MakeMid2Id(machine, lumo::Mid2Sources{}, false).text,
            WithCheck("eeeeeeee" + std::string(32, '0'), 0x00));
}

}  // namespace
