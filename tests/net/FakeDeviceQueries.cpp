#include "net/FakeDeviceQueries.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace lumo::test {

namespace {

constexpr DWORD kSmartGetVersion = 0x00074080;
constexpr DWORD kSmartRcvDriveData = 0x0007C088;
constexpr DWORD kStorageQueryProperty = 0x002D1400;
constexpr DWORD kNdisQueryGlobalStats = 0x00170002;

std::string U32(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

bool AsksOid(const std::string& input, uint32_t oid) { return input == U32(oid); }

class FakeDevice : public lumo::IDevice {
 public:
  FakeDevice(const std::vector<FakeDeviceQueries::DeviceAnswer>& answers, DWORD access)
      : answers_(answers), access_(access) {}
  bool Request(DWORD code, const std::string& input, DWORD replyCapacity, std::string& reply) override {
    for (const auto& answer : answers_) {
      if (answer.code != code || (answer.access != kAnyAccess && answer.access != access_)) continue;
      if (answer.accepts && !answer.accepts(input)) continue;
      reply = answer.reply.substr(0, replyCapacity);
      return true;
    }
    return false;
  }

 private:
  std::vector<FakeDeviceQueries::DeviceAnswer> answers_;
  DWORD access_;
};

std::wstring DrivePath(int drive) { return L"\\\\.\\PhysicalDrive" + std::to_wstring(drive); }

}  // namespace

std::wstring FakeDeviceQueries::Lower(const std::wstring& text) {
  std::wstring lower = text;
  for (auto& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  return lower;
}

void FakeDeviceQueries::Answer(const std::wstring& path, DWORD code, const std::string& reply, DWORD access,
                               std::function<bool(const std::string&)> accepts) {
  DeviceAnswer answer;
  answer.access = access;
  answer.code = code;
  answer.accepts = std::move(accepts);
  answer.reply = reply;
  devices_[Lower(path)].push_back(answer);
}

void FakeDeviceQueries::SmartDrive(int drive, uint8_t deviceMap, const std::string& identify, DWORD access) {
  std::string version(24, '\0');
  version[0] = 1;
  version[3] = static_cast<char>(deviceMap);
  Answer(DrivePath(drive), kSmartGetVersion, version, access);
  Answer(DrivePath(drive), kSmartRcvDriveData, std::string(16, '\0') + identify, access);
}

void FakeDeviceQueries::StorageDescriptor(int drive, const std::string& descriptor) {
  Answer(DrivePath(drive), kStorageQueryProperty, descriptor, 0);
}

void FakeDeviceQueries::NdisAdapter(const std::wstring& service, const std::string& address, int mediumEx,
                                    int medium) {
  const std::wstring path = L"\\\\.\\" + service;
  Answer(path, kNdisQueryGlobalStats, address, kAnyAccess,
         [](const std::string& in) { return AsksOid(in, 0x01010101); });
  if (mediumEx >= 0)
    Answer(path, kNdisQueryGlobalStats, U32(static_cast<uint32_t>(mediumEx)), kAnyAccess,
           [](const std::string& in) { return AsksOid(in, 0x00010213); });
  if (medium >= 0)
    Answer(path, kNdisQueryGlobalStats, U32(static_cast<uint32_t>(medium)), kAnyAccess,
           [](const std::string& in) { return AsksOid(in, 0x00010202); });
}

void FakeDeviceQueries::SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
  keyNames_[Lower(key)] = key;
  keys_[Lower(key)][Lower(name)] = Value{REG_SZ, text, 0};
}

void FakeDeviceQueries::SetNumber(const std::wstring& key, const std::wstring& name, DWORD value) {
  keyNames_[Lower(key)] = key;
  keys_[Lower(key)][Lower(name)] = Value{REG_DWORD, std::wstring(), value};
}

void FakeDeviceQueries::NetworkCard(const std::wstring& service, const std::wstring& driverDesc, DWORD busType,
                                    const std::wstring& lowerRange) {
  const std::wstring cards = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
  const std::wstring classKey =
      L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
  const std::wstring index = std::to_wstring(keys_.size() + 1);
  SetText(cards + index, L"ServiceName", service);
  SetText(classKey + L"00" + index, L"NetCfgInstanceId", service);
  SetText(classKey + L"00" + index, L"DriverDesc", driverDesc);
  SetNumber(classKey + L"00" + index, L"BusType", busType);
  SetText(classKey + L"00" + index + L"\\Ndi\\Interfaces", L"LowerRange", lowerRange);
}

void FakeDeviceQueries::Processor(const char* vendor, uint32_t signature, uint32_t features, const char* brand) {
  std::array<uint32_t, 4> leaf0 = {1, 0, 0, 0};
  std::memcpy(&leaf0[1], vendor, 4);
  std::memcpy(&leaf0[3], vendor + 4, 4);
  std::memcpy(&leaf0[2], vendor + 8, 4);
  cpuid[0] = leaf0;
  cpuid[1] = {signature, 0, 0, features};
  if (brand) {
    cpuid[0x80000000u] = {0x80000004u, 0, 0, 0};
    char text[48] = {};
    std::memcpy(text, brand, std::min(std::strlen(brand), sizeof(text)));
    for (uint32_t i = 0; i < 3; ++i) {
      std::array<uint32_t, 4> regs{};
      std::memcpy(regs.data(), text + 16 * i, 16);
      cpuid[0x80000002u + i] = regs;
    }
  } else {
    cpuid[0x80000000u] = {0x80000001u, 0, 0, 0};
  }
}

std::unique_ptr<lumo::IDevice> FakeDeviceQueries::OpenDevice(const std::wstring& path, DWORD access, DWORD) {
  ++hardwareQueries;
  const auto device = devices_.find(Lower(path));
  if (device == devices_.end()) return nullptr;
  return std::make_unique<FakeDevice>(device->second, access);
}

bool FakeDeviceQueries::SubKeyNames(const std::wstring& key, size_t limit, std::vector<std::wstring>& names) {
  const std::wstring prefix = Lower(key) + L"\\";
  names.clear();
  bool exists = keys_.count(Lower(key)) != 0;
  for (const auto& entry : keyNames_) {
    if (entry.first.compare(0, prefix.size(), prefix) != 0) continue;
    exists = true;
    const std::wstring rest = entry.second.substr(prefix.size());
    const std::wstring child = rest.substr(0, rest.find(L'\\'));
    bool seen = false;
    for (const auto& name : names) seen = seen || Lower(name) == Lower(child);
    if (!seen && names.size() < limit) names.push_back(child);
  }
  return exists;
}

bool FakeDeviceQueries::ReadText(const std::wstring& key, const std::wstring& name, std::wstring& text) {
  const auto k = keys_.find(Lower(key));
  if (k == keys_.end()) return false;
  const auto v = k->second.find(Lower(name));
  if (v == k->second.end() || v->second.type != REG_SZ) return false;
  text = v->second.text;
  return true;
}

bool FakeDeviceQueries::ReadNumber(const std::wstring& key, const std::wstring& name, DWORD& value) {
  const auto k = keys_.find(Lower(key));
  if (k == keys_.end()) return false;
  const auto v = k->second.find(Lower(name));
  if (v == k->second.end() || v->second.type != REG_DWORD) return false;
  value = v->second.number;
  return true;
}

bool FakeDeviceQueries::NetbiosAddress(std::string& address) {
  ++hardwareQueries;
  if (netbios.empty()) return false;
  address = netbios;
  return true;
}

bool FakeDeviceQueries::Cpuid(uint32_t leaf, uint32_t (&regs)[4]) {
  ++hardwareQueries;
  const auto answer = cpuid.find(leaf);
  if (answer == cpuid.end()) return false;
  std::memcpy(regs, answer->second.data(), 16);
  return true;
}

bool FakeDeviceQueries::NewGuid(GUID& out) {
  if (!guidWorks) return false;
  out = guid;
  return true;
}

void FakeDeviceQueries::Wait(DWORD) {
  ++waits;
  if (onWait) onWait();
}

std::string IdentifyData(const std::string& serial, const std::string& model) {
  std::string data(512, '\0');
  auto put = [&](int firstWord, int words, const std::string& text) {
    std::string padded = text;
    padded.resize(static_cast<size_t>(words) * 2, ' ');
    for (int i = 0; i < words; ++i) {
      data[2 * (firstWord + i) + 1] = padded[2 * i];  // high byte: first character
      data[2 * (firstWord + i)] = padded[2 * i + 1];
    }
  };
  put(10, 10, serial);
  put(27, 20, model);
  return data;
}

std::string DescriptorBytes(const std::string& vendor, const std::string& product, const std::string& serial,
                            uint32_t busType, bool removable) {
  std::string bytes(40, '\0');
  auto put32 = [&](size_t offset, uint32_t value) { std::memcpy(&bytes[offset], &value, 4); };
  auto append = [&](size_t field, const std::string& text) {
    put32(field, static_cast<uint32_t>(bytes.size()));
    bytes += text;
    bytes.push_back('\0');
  };
  bytes[10] = removable ? 1 : 0;
  put32(28, busType);
  append(12, vendor);
  append(16, product);
  append(24, serial);
  put32(0, 1);
  put32(4, static_cast<uint32_t>(bytes.size()));
  return bytes;
}

}  // namespace lumo::test
