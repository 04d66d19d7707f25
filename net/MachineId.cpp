#include "net/MachineId.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <vector>

#include "base/Handles.h"
#include "base/Locks.h"
#include "base/TextUtil.h"
#include "net/HexText.h"
#include "net/Md5.h"
#include "net/Sha1.h"

namespace lumo {

const wchar_t kMidCacheKey[] = L"Software\\Quorra2\\Zazoru";
const wchar_t kMid2CacheKey[] = L"SOFTWARE\\ComQuorra";

namespace {

constexpr DWORD kSmartGetVersion = 0x00074080;
constexpr DWORD kSmartRcvDriveData = 0x0007C088;
constexpr DWORD kScsiMiniport = 0x0004D008;
constexpr DWORD kScsiMiniportIdentify = 0x001B0501;
constexpr DWORD kStorageQueryProperty = 0x002D1400;
constexpr DWORD kNdisQueryGlobalStats = 0x00170002;
constexpr DWORD kOidPermanentAddress = 0x01010101;
constexpr DWORD kOidPhysicalMedium = 0x00010202;
constexpr DWORD kOidPhysicalMediumEx = 0x00010213;
constexpr uint8_t kIdentifyDevice = 0xEC;
constexpr uint8_t kIdentifyPacketDevice = 0xA1;
constexpr size_t kIdentifySize = 512;
constexpr size_t kCmdOutHeader = 16;  // cBufferSize + DRIVERSTATUS
constexpr int kMaxDrives = 16;

constexpr wchar_t kNetworkCards[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr wchar_t kNetClass[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

constexpr char kRandomPrefix[] = "ffffffff";

// --- little helpers over bytes and text ---

uint32_t ReadU32(const std::string& bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

void PutU32(std::string& bytes, size_t offset, uint32_t value) { std::memcpy(&bytes[offset], &value, 4); }

std::string U32Bytes(uint32_t value) {
  std::string bytes(4, '\0');
  PutU32(bytes, 0, value);
  return bytes;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string TrimRight(std::string text) {
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

std::string TrimBoth(const std::string& text) {
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return TrimRight(text.substr(first));
}

std::string CutAtNul(const std::string& text) { return text.substr(0, std::strlen(text.c_str())); }

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

bool StartsWithRandomPrefix(const std::string& text) {
  return text.size() >= 8 && _strnicmp(text.c_str(), kRandomPrefix, 8) == 0;
}

std::wstring LowerW(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool ContainsNoCase(const std::wstring& text, const wchar_t* part) {
  return LowerW(text).find(LowerW(part)) != std::wstring::npos;
}

std::string HexByte(uint8_t value) {
  char text[3];
  std::snprintf(text, sizeof(text), "%02x", value);
  return text;
}

std::string MacText(const std::string& address) {
  char text[13];
  const auto* b = reinterpret_cast<const uint8_t*>(address.data());
  std::snprintf(text, sizeof(text), "%02X%02X%02X%02X%02X%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
  return text;
}

std::string Narrow(const std::wstring& text) {
  // Device and registry texts here are ASCII; others become "?".
  std::string narrow;
  for (wchar_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}

// --- ATA IDENTIFY ---

// Words of IDENTIFY data as text: every word high byte first, as the drive
// stores the characters.
std::string IdentifyText(const uint8_t* identify, int firstWord, int lastWord) {
  std::string text;
  for (int word = firstWord; word <= lastWord; ++word) {
    const char high = static_cast<char>(identify[2 * word + 1]);
    const char low = static_cast<char>(identify[2 * word]);
    if (!high) break;
    text.push_back(high);
    if (!low) break;
    text.push_back(low);
  }
  return text;
}

// SENDCMDINPARAMS without its one-byte buffer.
std::string IdentifyCommand(int drive, uint8_t command) {
  std::string in(32, '\0');
  PutU32(in, 0, kIdentifySize);
  in[5] = 1;                                                       // sector count
  in[6] = 1;                                                       // sector number
  in[9] = static_cast<char>(0xA0 | ((drive & 1) << 4));            // drive/head
  in[10] = static_cast<char>(command);
  in[12] = static_cast<char>(drive);
  return in;
}

// SMART_GET_VERSION then IDENTIFY; identify receives the 512 data bytes.
// mapRule: the IDE device map must be non-zero and picks the command.
bool SmartIdentify(IDevice& device, int drive, bool mapRule, DWORD replyCapacity, std::string& identify) {
  std::string version;
  if (!device.Request(kSmartGetVersion, std::string(), 24, version) || version.size() < 4) return false;
  uint8_t command = kIdentifyDevice;
  if (mapRule) {
    const uint8_t map = static_cast<uint8_t>(version[3]);
    if (map == 0) return false;
    if (((map >> drive) & 0x10) != 0) command = kIdentifyPacketDevice;
  }
  std::string reply;
  if (!device.Request(kSmartRcvDriveData, IdentifyCommand(drive, command), replyCapacity, reply) ||
      reply.size() < kCmdOutHeader + kIdentifySize)
    return false;
  identify = reply.substr(kCmdOutHeader, kIdentifySize);
  return true;
}

std::wstring DrivePath(int drive) { return Format(L"\\\\.\\PhysicalDrive%d", drive); }

// --- storage descriptor ---

std::string StoragePropertyQuery() { return std::string(12, '\0'); }  // device property, standard query

// Fields of the storage device descriptor that hold string offsets.
constexpr size_t kVendorOffset = 12;
constexpr size_t kProductOffset = 16;
constexpr size_t kSerialOffset = 24;

struct Descriptor {
  std::string bytes;
  size_t limit = 0;  // reported size, bounded by what came back
  // STORAGE_DEVICE_DESCRIPTOR up to and including BusType.
  bool Valid() const { return limit >= 32; }
  bool Removable() const { return bytes[10] != 0; }
  uint32_t BusType() const { return ReadU32(bytes, 28); }
  // The NUL-terminated text at a descriptor offset; 0 is "none". False when
  // the offset lies outside the descriptor.
  bool Text(size_t offsetField, std::string& text) const {
    const uint32_t offset = ReadU32(bytes, offsetField);
    text.clear();
    if (offset == 0) return true;
    if (offset >= limit) return false;
    const char* begin = bytes.data() + offset;
    text.assign(begin, strnlen(begin, limit - offset));
    return true;
  }
};

bool QueryDescriptor(IDevice& device, DWORD capacity, Descriptor& descriptor) {
  if (!device.Request(kStorageQueryProperty, StoragePropertyQuery(), capacity, descriptor.bytes)) return false;
  descriptor.limit = std::min<size_t>(ReadU32(descriptor.bytes, 4), descriptor.bytes.size());
  return descriptor.Valid();
}

int HexValue(char c) {
  if (c == ' ') return 0;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string SwapPairs(std::string text) {
  for (size_t i = 0; i + 1 < text.size(); i += 2) std::swap(text[i], text[i + 1]);
  return text;
}

// --- network adapters ---

std::string PermanentAddress(IDevice& device) {
  std::string reply;
  if (!device.Request(kNdisQueryGlobalStats, U32Bytes(kOidPermanentAddress), 256, reply) || reply.size() < 6)
    return std::string();
  return MacText(reply);
}

bool QueryMedium(IDevice& device, DWORD oid, uint32_t& medium) {
  std::string reply;
  if (!device.Request(kNdisQueryGlobalStats, U32Bytes(oid), 256, reply) || reply.size() < 4) return false;
  medium = ReadU32(reply, 0);
  return true;
}

enum class Medium { kWired, kWireless, kRejected };

// The driver's word on the medium; registryWireless is the verdict from the class key.
Medium PhysicalMedium(IDevice& device, bool registryWireless) {
  const Medium registry = registryWireless ? Medium::kWireless : Medium::kWired;
  uint32_t medium = 0;
  if (QueryMedium(device, kOidPhysicalMediumEx, medium) && medium != 0) {
    if (medium == 1 || medium == 9) return Medium::kWireless;
    if (medium == 14) return registry;
    return Medium::kRejected;
  }
  if (!QueryMedium(device, kOidPhysicalMedium, medium)) return registry;
  switch (medium) {
    case 1: case 9:
      return Medium::kWireless;
    case 2: case 3: case 7: case 8: case 10: case 12: case 16: case 17: case 18:
      return Medium::kRejected;
    default:
      return Medium::kWired;
  }
}

void KeepSmallest(std::string& best, const std::string& candidate) {
  if (candidate.empty()) return;
  if (best.empty() || std::strcmp(candidate.c_str(), best.c_str()) < 0) best = candidate;
}

std::wstring SubKey(const std::wstring& key, const std::wstring& name) { return key + L"\\" + name; }

// --- the registry caches (HKLM, 32-bit view) ---

struct StoredValue {
  bool found = false;
  DWORD type = REG_NONE;
  std::string bytes;
  // The text of a string value that ends in its NUL.
  bool Text(std::string& text) const {
    if (!found || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    if (bytes.size() < 2 || bytes.size() % 2 || bytes[bytes.size() - 1] || bytes[bytes.size() - 2]) return false;
    const std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2 - 1);
    if (wide.find(L'\0') != std::wstring::npos) return false;
    text = Narrow(wide);
    return true;
  }
};

StoredValue ReadStored(const wchar_t* keyPath, const wchar_t* name) {
  StoredValue value;
  UniqueHkey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) !=
      ERROR_SUCCESS)
    return value;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS ||
      bytes > 65536)
    return value;
  value.bytes.resize(bytes);
  if (::RegQueryValueExW(key.get(), name, nullptr, &value.type,
                         reinterpret_cast<BYTE*>(bytes ? &value.bytes[0] : nullptr), &bytes) != ERROR_SUCCESS)
    return value;
  value.bytes.resize(bytes);
  value.found = true;
  return value;
}

// Write failures are ignored: a process without rights keeps its answer in memory.
void WriteStored(HKEY key, const wchar_t* name, DWORD type, const std::string& bytes) {
  ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

void WriteText(HKEY key, const wchar_t* name, const std::string& text) {
  std::wstring wide(text.begin(), text.end());
  WriteStored(key, name, REG_SZ,
              std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t)));
}

// Writes value, first moving a different previous one to oldName.
void StoreWithOld(const wchar_t* keyPath, const wchar_t* name, const wchar_t* oldName,
                  const StoredValue& previous, const std::string& value) {
  UniqueHkey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
    return;
  std::string previousText;
  if (previous.found && !(previous.Text(previousText) && EqualNoCase(previousText, value)))
    WriteStored(key.get(), oldName, previous.type, previous.bytes);
  WriteText(key.get(), name, value);
}

bool AllHex(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string Lower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string CpuVendor(IDeviceQueries& queries, uint32_t& maxLeaf, bool& ok) {
  uint32_t regs[4] = {};
  ok = queries.Cpuid(0, regs);
  if (!ok) return std::string();
  maxLeaf = regs[0];
  char vendor[13] = {};
  std::memcpy(vendor, &regs[1], 4);
  std::memcpy(vendor + 4, &regs[3], 4);
  std::memcpy(vendor + 8, &regs[2], 4);
  std::string text = vendor;
  // Some processors report a misspelt vendor; they must count as Intel.
  if (text == "GenuineIotel") text = "GenuineIntel";
  return text;
}

}  // namespace

uint8_t Crc8(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  uint8_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint8_t>((crc >> 1) ^ 0x8C) : (crc >> 1);
  }
  return crc;
}

bool IsValidMid2(const std::string& id) {
  if (id.size() != 44 || !AllHex(id)) return false;
  return std::strtoul(id.substr(42).c_str(), nullptr, 16) == Crc8(id.data(), 42);
}

// --- mid ---

std::string FormatMidCpuText(IDeviceQueries& queries) {
  uint32_t maxLeaf = 0;
  bool ok = false;
  const std::string vendor = CpuVendor(queries, maxLeaf, ok);
  if (!ok) return std::string();
  uint32_t regs[4] = {};
  if (maxLeaf < 1 || !queries.Cpuid(1, regs)) regs[3] = 0;
  char text[128];
  std::snprintf(text, sizeof(text), "%s:%08x", vendor.c_str(), regs[3]);
  return text;
}

std::string DecodeMidStorageSerial(const std::string& raw) {
  std::string decoded;
  bool ok = raw.size() % 2 == 0;
  for (size_t i = 0; ok && i + 1 < raw.size(); i += 2) {
    const int high = HexValue(raw[i]), low = HexValue(raw[i + 1]);
    if (high < 0 || low < 0) {
      ok = false;
      break;
    }
    const int c = high * 16 + low;
    if (c == 0) break;  // the text ends here
    if (!std::isprint(c)) ok = false;
    else decoded.push_back(static_cast<char>(c));
  }
  if (!ok) {
    decoded.clear();
    for (char c : raw)
      if (std::isprint(static_cast<unsigned char>(c))) decoded.push_back(c);
  }
  return SwapPairs(decoded);
}

bool MidDiskText(IDeviceQueries& queries, std::string& text) {
  const DWORD readWrite = GENERIC_READ | GENERIC_WRITE;
  const DWORD shareRw = FILE_SHARE_READ | FILE_SHARE_WRITE;
  std::string identify;
  // 1: SMART IDENTIFY as an administrator.
  for (int drive = 0; drive < kMaxDrives; ++drive) {
    auto device = queries.OpenDevice(DrivePath(drive), readWrite, shareRw);
    if (device && SmartIdentify(*device, drive, true, 528, identify)) {
      text = TrimRight(IdentifyText(reinterpret_cast<const uint8_t*>(identify.data()), 10, 19));
      return true;
    }
  }
  // 2: IDENTIFY through the SCSI miniport of the controller.
  for (int controller = 0; controller < kMaxDrives; ++controller) {
    auto device = queries.OpenDevice(Format(L"\\\\.\\Scsi%d:", controller), readWrite, shareRw);
    if (!device) continue;
    for (int target = 0; target < 2; ++target) {
      std::string in(28, '\0');
      PutU32(in, 0, 28);
      std::memcpy(&in[4], "SCSIDISK", 8);
      PutU32(in, 12, 10000);
      PutU32(in, 16, kScsiMiniportIdentify);
      PutU32(in, 24, 529);
      in += IdentifyCommand(target, kIdentifyDevice);
      std::string reply;
      if (!device->Request(kScsiMiniport, in, 557, reply) || reply.size() < 28 + kCmdOutHeader + kIdentifySize)
        continue;
      text = TrimRight(IdentifyText(reinterpret_cast<const uint8_t*>(reply.data()) + 28 + kCmdOutHeader, 10, 19));
      return true;
    }
  }
  // 3: the storage descriptor, which needs no rights.
  for (int drive = 0; drive < kMaxDrives; ++drive) {
    auto device = queries.OpenDevice(DrivePath(drive), 0, shareRw);
    Descriptor descriptor;
    if (!device || !QueryDescriptor(*device, 10000, descriptor)) continue;
    std::string serial;
    descriptor.Text(kSerialOffset, serial);
    text = TrimRight(DecodeMidStorageSerial(serial));
    return true;
  }
  // 4: SMART IDENTIFY once more, sharing delete access too.
  for (int drive = 0; drive < kMaxDrives; ++drive) {
    auto device = queries.OpenDevice(DrivePath(drive), readWrite, shareRw | FILE_SHARE_DELETE);
    if (device && SmartIdentify(*device, drive, false, 545, identify)) {
      text = TrimRight(IdentifyText(reinterpret_cast<const uint8_t*>(identify.data()), 10, 19));
      return true;
    }
  }
  return false;
}

bool MidMacText(IDeviceQueries& queries, std::string& text) {
  std::vector<std::wstring> cards;
  std::string best;
  if (queries.SubKeyNames(kNetworkCards, SIZE_MAX, cards)) {
    for (const auto& card : cards) {
      std::wstring service;
      if (!queries.ReadText(SubKey(kNetworkCards, card), L"ServiceName", service) || service.empty()) continue;
      auto device = queries.OpenDevice(L"\\\\.\\" + service, GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE);
      if (device) KeepSmallest(best, PermanentAddress(*device));
    }
  }
  if (best.empty()) {
    std::string address;
    if (queries.NetbiosAddress(address) && address.size() >= 6) best = MacText(address);
  }
  if (best.empty()) return false;
  text = best;
  return true;
}

std::string MidSourceText(IDeviceQueries& queries) {
  std::string source = queries.MidCpuText();
  std::string part;
  if (MidDiskText(queries, part)) source += part;
  part.clear();
  if (MidMacText(queries, part)) source += part;
  return source;
}

std::string ComputeMid(IDeviceQueries& queries) {
  const StoredValue previous = ReadStored(kMidCacheKey, L"mid");
  std::string cached;
  if (previous.Text(cached) && cached.size() == 64) {
    const std::string id = cached.substr(0, 32);
    if (AllHex(id) && EqualNoCase(Md5Hex(id), cached.substr(32))) return Lower(id);
  }
  std::string source = MidSourceText(queries);
  const bool failed = source.empty();
  if (failed) source = "Mid2Failed";  // an answer, but not one to keep
  const std::string mid = Md5Hex(source);
  if (!failed) StoreWithOld(kMidCacheKey, L"mid", L"mid_old", previous, mid + Md5Hex(mid));
  return mid;
}

// --- mid2 ---

std::string FormatMid2CpuText(IDeviceQueries& queries) {
  uint32_t maxLeaf = 0;
  bool ok = false;
  const std::string vendor = TrimBoth(CpuVendor(queries, maxLeaf, ok));
  if (!ok) return std::string();
  uint32_t regs[4] = {};
  uint32_t signature = 0;
  if (maxLeaf >= 1 && queries.Cpuid(1, regs)) signature = regs[0];
  std::string brand;
  if (queries.Cpuid(0x80000000u, regs) && regs[0] >= 0x80000004u) {
    char text[49] = {};
    for (uint32_t leaf = 0; leaf < 3; ++leaf) {
      if (!queries.Cpuid(0x80000002u + leaf, regs)) break;
      std::memcpy(text + leaf * 16, regs, 16);
    }
    brand = TrimBoth(text);
  }
  char text[256];
  std::snprintf(text, sizeof(text), "%s,%x,%s", vendor.c_str(), signature, brand.c_str());
  return text;
}

std::string Mid2MacText(IDeviceQueries& queries) {
  std::vector<std::wstring> classKeys;
  const bool classOpened = queries.SubKeyNames(kNetClass, 256, classKeys);
  std::string wired, wireless;

  // A: the network cards, asked through their drivers.
  std::vector<std::wstring> cards;
  if (queries.SubKeyNames(kNetworkCards, 100, cards)) {
    for (const auto& card : cards) {
      std::wstring service;
      if (!queries.ReadText(SubKey(kNetworkCards, card), L"ServiceName", service) || service.empty()) continue;
      bool physical = !classOpened;  // without the class key nothing can be ruled out
      bool registryWireless = false;
      for (const auto& classKey : classKeys) {
        const std::wstring path = SubKey(kNetClass, classKey);
        std::wstring instance;
        if (!queries.ReadText(path, L"NetCfgInstanceId", instance) || _wcsicmp(instance.c_str(), service.c_str()))
          continue;
        DWORD bus = 0;
        physical = queries.ReadNumber(path, L"BusType", bus) && bus == 5;
        if (physical) {
          std::wstring description, lowerRange;
          registryWireless = queries.ReadText(path, L"DriverDesc", description) &&
                             ContainsNoCase(description, L"Wireless");
          if (!registryWireless && queries.ReadText(SubKey(path, L"NDI\\Interfaces"), L"LowerRange", lowerRange))
            registryWireless = ContainsNoCase(lowerRange, L"wlan") || ContainsNoCase(lowerRange, L"vwifi");
        }
        break;
      }
      if (!physical) continue;
      auto device = queries.OpenDevice(L"\\\\.\\" + service, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
      if (!device) continue;
      const Medium medium = PhysicalMedium(*device, registryWireless);
      if (medium == Medium::kRejected) continue;
      KeepSmallest(medium == Medium::kWired ? wired : wireless, PermanentAddress(*device));
    }
  }
  if (!wired.empty()) return wired;
  if (!wireless.empty()) return wireless;

  // B: the system's adapter list, limited to adapters on the PCI bus.
  std::vector<std::wstring> pciAdapters;
  for (const auto& classKey : classKeys) {
    const std::wstring path = SubKey(kNetClass, classKey);
    DWORD bus = 0;
    std::wstring instance;
    if (queries.ReadNumber(path, L"BusType", bus) && bus == 5 && queries.ReadText(path, L"NetCfgInstanceId", instance))
      pciAdapters.push_back(instance);
  }
  for (const auto& adapter : queries.Adapters()) {
    if (adapter.address.size() != 6) continue;
    const bool listed = std::any_of(pciAdapters.begin(), pciAdapters.end(), [&](const std::wstring& id) {
      return _wcsicmp(id.c_str(), adapter.name.c_str()) == 0;
    });
    if (!listed) continue;
    bool isWireless;
    if (adapter.type == 71) isWireless = true;
    else if (adapter.type == 6)
      isWireless = ContainsNoCase(adapter.description, L"wifi") || ContainsNoCase(adapter.description, L"wireless");
    else
      continue;
    KeepSmallest(isWireless ? wireless : wired, MacText(adapter.address));
  }
  return wired.empty() ? wireless : wired;
}

std::string DecodeMid2StorageSerial(const std::string& raw, bool swapPairs) {
  std::string serial = raw.substr(0, 47);
  if (raw.size() == 40 && AllHex(raw)) {
    serial.clear();
    for (size_t i = 0; i < 40; i += 2)
      serial.push_back(static_cast<char>(HexValue(raw[i]) * 16 + HexValue(raw[i + 1])));
  }
  if (swapPairs) serial = SwapPairs(serial);
  return TrimBoth(CutAtNul(serial));
}

std::string Mid2DiskText(IDeviceQueries& queries) {
  DWORD major = 0, minor = 0;
  queries.WindowsVersion(major, minor);
  const bool swapPairs = major < 6 || (major == 6 && minor <= 1);
  const DWORD shareRw = FILE_SHARE_READ | FILE_SHARE_WRITE;
  for (int drive = 0; drive < kMaxDrives; ++drive) {
    Descriptor descriptor;
    {
      auto device = queries.OpenDevice(DrivePath(drive), 0, shareRw);
      if (!device || !QueryDescriptor(*device, 1000, descriptor)) continue;
    }
    // Drives that come and go, and virtual ones, do not identify a machine.
    const uint32_t bus = descriptor.BusType();
    if (descriptor.Removable() || bus == 1 || bus == 4 || bus == 7 || bus == 10 || bus == 14 || bus == 15)
      continue;
    if (auto device = queries.OpenDevice(DrivePath(drive), GENERIC_READ | GENERIC_WRITE, shareRw)) {
      std::string identify;
      if (SmartIdentify(*device, drive, false, 528, identify)) {
        const auto* data = reinterpret_cast<const uint8_t*>(identify.data());
        const std::string serial = TrimBoth(IdentifyText(data, 10, 19));
        if (!serial.empty()) return serial + TrimBoth(IdentifyText(data, 27, 46));
      }
    }
    std::string vendor, product, serial;
    if (!descriptor.Text(kVendorOffset, vendor) || !descriptor.Text(kProductOffset, product) ||
        !descriptor.Text(kSerialOffset, serial))
      continue;
    serial = DecodeMid2StorageSerial(serial, swapPairs);
    if (!serial.empty()) return serial + TrimBoth(TrimBoth(vendor) + product);
  }
  return std::string();
}

uint8_t Mid2Sources::Set() const {
  return static_cast<uint8_t>((mac.empty() ? 0 : kMid2Mac) | (disk.empty() ? 0 : kMid2Disk) |
                              (cpu.empty() ? 0 : kMid2Cpu));
}

void CollectMid2Sources(IDeviceQueries& queries, uint8_t wanted, Mid2Sources& sources) {
  if ((wanted & kMid2Mac) && sources.mac.empty()) sources.mac = Mid2MacText(queries);
  if ((wanted & kMid2Disk) && sources.disk.empty()) sources.disk = Mid2DiskText(queries);
  if ((wanted & kMid2Cpu) && sources.cpu.empty()) sources.cpu = queries.Mid2CpuText();
}

Mid2Id MakeMid2Id(IDeviceQueries& queries, const Mid2Sources& sources, bool elevated) {
  Mid2Id id;
  const uint8_t set = sources.Set();
  std::string body;
  uint8_t flags = 0;
  if (set & (kMid2Mac | kMid2Disk)) {
    body = Sha1Hex(sources.mac + sources.disk + sources.cpu);
    flags = static_cast<uint8_t>(set | kMid2Hardware);
    id.hardware = true;
  } else {
    GUID guid{};
    if (queries.NewGuid(guid)) {
      body = kRandomPrefix + LowerHex(reinterpret_cast<const uint8_t*>(&guid), sizeof(guid));
      flags = kMid2Random;
    } else {
      flags = set;
    }
  }
  if (body.empty()) body.assign(40, '0');
  // Without elevation the hardware cannot be read in full; mark such bodies.
  if (!elevated && !StartsWithRandomPrefix(body)) body.replace(0, 8, "eeeeeeee");
  body += HexByte(flags);
  id.text = body + HexByte(Crc8(body.data(), body.size()));
  return id;
}

std::string ComputeMid2(IDeviceQueries& queries) {
  bool elevated = true;
  DWORD major = 0, minor = 0;
  queries.WindowsVersion(major, minor);
  if (major >= 6) {
    const int elevation = queries.TokenElevation();
    if (elevation >= 0) elevated = elevation == 1;
  }

  const StoredValue stored = ReadStored(kMid2CacheKey, L"m2");
  std::string cache;
  const bool valid = stored.Text(cache) && IsValidMid2(cache);
  const bool cachedIsRandom = valid && StartsWithRandomPrefix(cache);
  if (valid && !elevated) return cache;

  auto store = [&](const std::string& id) {
    StoreWithOld(kMid2CacheKey, L"m2", L"m2_old", stored, id);
    return id;
  };

  Mid2Sources sources;
  CollectMid2Sources(queries, kMid2Mac | kMid2Disk | kMid2Cpu, sources);
  const uint8_t set = sources.Set();
  const bool hasMacOrDisk = (set & (kMid2Mac | kMid2Disk)) != 0;
  bool haveId = false;
  Mid2Id id;
  if (hasMacOrDisk && valid) {
    id = MakeMid2Id(queries, sources, elevated);
    if (!id.hardware || EqualNoCase(id.text, cache)) return cache;
    haveId = true;
  } else if (!hasMacOrDisk && valid && cachedIsRandom) {
    return cache;
  }

  const uint8_t both = kMid2Mac | kMid2Disk;
  if ((set & both) != both) {
    // Drivers may still be starting; give them a moment.
    queries.Wait(500);
    CollectMid2Sources(queries, static_cast<uint8_t>(~set), sources);
    if (sources.Set() == set && haveId) return store(id.text);
  } else if (haveId) {
    return store(id.text);
  }
  id = MakeMid2Id(queries, sources, elevated);
  if (!id.hardware && valid && cachedIsRandom) return cache;
  return store(id.text);
}

// --- once per process ---

std::string ProcessMid() {
  static _BaseModule::CCriticalSection lock;
  static std::string mid;
  _BaseModule::CAutoLocker locked(&lock);
  if (mid.empty()) mid = ComputeMid(SystemDeviceQueries());
  return mid;
}

std::string ProcessMid2() {
  static _BaseModule::CCriticalSection lock;
  static wchar_t buffer[50];  // the process's answer, as the object interface hands it out
  _BaseModule::CAutoLocker locked(&lock);
  if (!buffer[0]) {
    const std::string id = ComputeMid2(SystemDeviceQueries());
    for (size_t i = 0; i < id.size() && i < 49; ++i) buffer[i] = static_cast<wchar_t>(id[i]);
  }
  return Narrow(buffer);
}

int GetMidA(char* buffer, size_t capacity) {
  if (!buffer || capacity < 33) return 0;
  const std::string mid = ProcessMid();
  std::memcpy(buffer, mid.c_str(), mid.size() + 1);
  return 1;
}

int GetMid(wchar_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return 0;
  const std::string mid = ProcessMid();
  wchar_t wide[64] = {};
  const int chars = ::MultiByteToWideChar(CP_THREAD_ACP, 0, mid.c_str(), -1, wide, 64);
  if (chars <= 0) return 0;
  const int copy = std::min(chars - 1, capacity - 1);
  std::wmemcpy(buffer, wide, copy);
  buffer[copy] = L'\0';
  return 1;
}

}  // namespace lumo
