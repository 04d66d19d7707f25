#pragma once
// The two machine identifiers every request carries:
//  mid  - 32 lowercase hex digits, MD5 of a CPU, disk-serial and MAC text;
//  mid2 - 44 lowercase hex digits, SHA-1 of another hardware text (or a
//         random body), a flags byte and a CRC-8 check byte.
// Each is worked out once per process and cached in HKLM (32-bit view) so
// that a machine keeps its identifiers across installations.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/DeviceQueries.h"

namespace lumo {

extern const wchar_t kMidCacheKey[];   // "Software\Quorra2\Zazoru": "mid", "mid_old"
extern const wchar_t kMid2CacheKey[];  // "SOFTWARE\ComQuorra": "m2", "m2_old"

// mid2 flags byte.
enum Mid2Flags : uint8_t {
  kMid2Mac = 0x01,
  kMid2Disk = 0x02,
  kMid2Cpu = 0x08,
  kMid2Random = 0x10,
  kMid2Hardware = 0x20,
};

// CRC-8 of the 1-Wire bus: reflected polynomial 0x8C, start 0, no final XOR.
uint8_t Crc8(const void* data, size_t size);
// 44 hex digits whose last two are the CRC-8 of the first 42.
bool IsValidMid2(const std::string& id);

// --- mid ---
std::string FormatMidCpuText(IDeviceQueries& queries);  // "GenuineIntel:bfebfbff"
// False when no disk method answered; text may still be empty when one did.
bool MidDiskText(IDeviceQueries& queries, std::string& text);
bool MidMacText(IDeviceQueries& queries, std::string& text);
std::string MidSourceText(IDeviceQueries& queries);  // CPU + disk + MAC
// A storage descriptor's serial: hex pairs decoded when they give text, then
// every two characters swapped.
std::string DecodeMidStorageSerial(const std::string& raw);

// --- mid2 ---
std::string FormatMid2CpuText(IDeviceQueries& queries);  // "GenuineIntel,906ea,Intel(R) Core(TM) ..."
std::string Mid2MacText(IDeviceQueries& queries);
std::string Mid2DiskText(IDeviceQueries& queries);
// 40 hex digits become 20 bytes; swapPairs for Windows 7 and older.
std::string DecodeMid2StorageSerial(const std::string& raw, bool swapPairs);

struct Mid2Sources {
  std::string mac, disk, cpu;
  uint8_t Set() const;
};
// Fills the sources named in wanted that are still empty.
void CollectMid2Sources(IDeviceQueries& queries, uint8_t wanted, Mid2Sources& sources);

struct Mid2Id {
  std::string text;       // 44 characters
  bool hardware = false;  // false: random or zero body
};
Mid2Id MakeMid2Id(IDeviceQueries& queries, const Mid2Sources& sources, bool elevated);

// The identifiers from a given set of queries, through the registry caches.
std::string ComputeMid(IDeviceQueries& queries);
std::string ComputeMid2(IDeviceQueries& queries);

// Once per process, from the machine itself.
std::string ProcessMid();
std::string ProcessMid2();

// mid as 8-bit text; nothing is written when capacity is below 33 (32 digits
// and the NUL). Returns 1 when written.
int GetMidA(char* buffer, size_t capacity);
// mid as UTF-16 text, cut to capacity - 1. 0 for a null buffer or no room.
int GetMid(wchar_t* buffer, int capacity);

}  // namespace lumo
