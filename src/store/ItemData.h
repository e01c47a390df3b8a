// The item record that every node of a treskel carries, its 39-byte stored
// form, and new item ids.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Streams.h"

namespace treskel {

class TItemTree;

inline constexpr int ItemDataSize = 39;
inline constexpr int MaxPasswordLength = 10;

// Counts the objects of a type alive in the process: tests see by it that
// every one made is freed, and freed once.
template <class T>
struct TAliveCount {
    TAliveCount() { ++count; }
    TAliveCount(const TAliveCount&) { ++count; }
    TAliveCount& operator=(const TAliveCount&) = default;
    ~TAliveCount() { --count; }
    static inline std::atomic<int> count{0};
};

struct TItemData {
    uint8_t Expanded = 0;     // refreshed from the node when written
    uint8_t Locked = 0;
    int32_t SubCount = 0;     // refreshed from the node when written
    uint16_t ImageIndex = 0;  // refreshed from the node when written
    uint8_t ColourIndex = 0;  // 0..15 into the main window's colour table
    uint8_t Style = 0;        // bit 0 bold, 1 italic, 2 underline, 3 strikeout
    uint8_t FontSize = 0;
    uint16_t StateIndex = 0;  // refreshed from the node when written
    uint8_t IsLink = 0;
    int32_t Id = 0;           // names the note file; a link holds its origin's
    uint8_t Compression = 0;  // level 0, 1 or 2 of the note
    int32_t Crc = -1;         // CRC-32 of the note file as last saved
    std::string Password;     // at most 10 characters
    TAliveCount<TItemData> Alive;

    // Locks the item with the first 10 characters of `text`.
    void SetPassword(const std::string& text);
};

// Stored form, little-endian; reserved bytes are written as zeros.
std::array<uint8_t, ItemDataSize> StoreItemData(const TItemData& data);
TItemData LoadItemData(const uint8_t* bytes);
void WriteItemData(TStream& stream, const TItemData& data);
TItemData ReadItemData(TStream& stream);

// A moment as the id formula sees it.
struct TTimeStamp {
    int32_t Time = 0;  // milliseconds since midnight
    int32_t Date = 0;  // days since 1 January 0001, that day counting as 1
};
using TItemClock = std::function<TTimeStamp()>;

TTimeStamp SystemTimeStamp();
TTimeStamp DateTimeToTimeStamp(int year, int month, int day, int hour, int minute, int second, int msec);

// The id formula: the last 8 decimal digits of Time AND Date.
int32_t NewItemId(const TTimeStamp& stamp);

}  // namespace treskel
