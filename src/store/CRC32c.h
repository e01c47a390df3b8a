// CRC-32 of note files: the standard reflected CRC-32 (polynomial
// 0xEDB88320, start 0xFFFFFFFF, final complement).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace treskel {

inline constexpr uint32_t Crc32Start = 0xFFFFFFFFu;

// One step: the byte into the running value.
uint32_t UpdateCrc32(uint8_t value, uint32_t crc);
// Many steps at once; the same result as UpdateCrc32 byte by byte.
uint32_t UpdateCrc32(const void* data, size_t size, uint32_t crc);
inline uint32_t FinishCrc32(uint32_t crc) { return crc ^ 0xFFFFFFFFu; }
inline uint32_t Crc32(const void* data, size_t size) { return FinishCrc32(UpdateCrc32(data, size, Crc32Start)); }

// The CRC-32 of a file's bytes, or 0xFFFFFFFF (-1 in an item record) when
// the file does not exist.
uint32_t FileCrc32(const std::string& fileName);

}  // namespace treskel
