#include "store/ItemData.h"

#include <chrono>
#include <ctime>
#include <unordered_set>

#include "store/ItemTree.h"
#include "platform/FileSys.h"
#include "platform/SysUtils.h"

namespace treskel {

void TItemData::SetPassword(const std::string& text) {
    Locked = 1;
    Password = text.substr(0, MaxPasswordLength);
}

std::array<uint8_t, ItemDataSize> StoreItemData(const TItemData& d) {
    std::array<uint8_t, ItemDataSize> b{};
    b[0] = d.Expanded;
    b[1] = d.Locked;
    PutU32(&b[2], static_cast<uint32_t>(d.SubCount));
    PutU16(&b[6], d.ImageIndex);
    b[8] = d.ColourIndex;
    b[9] = d.Style;
    b[10] = d.FontSize;
    PutU16(&b[12], d.StateIndex);
    b[14] = d.IsLink;
    PutU32(&b[19], static_cast<uint32_t>(d.Id));
    b[23] = d.Compression;
    PutU32(&b[24], static_cast<uint32_t>(d.Crc));
    const size_t n = std::min<size_t>(d.Password.size(), MaxPasswordLength);
    b[28] = static_cast<uint8_t>(n);
    for (size_t i = 0; i < n; ++i) b[29 + i] = static_cast<uint8_t>(d.Password[i]);
    return b;
}

TItemData LoadItemData(const uint8_t* b) {
    TItemData d;
    d.Expanded = b[0];
    d.Locked = b[1];
    d.SubCount = static_cast<int32_t>(GetU32(&b[2]));
    d.ImageIndex = GetU16(&b[6]);
    d.ColourIndex = b[8];
    d.Style = b[9];
    d.FontSize = b[10];
    d.StateIndex = GetU16(&b[12]);
    d.IsLink = b[14];
    d.Id = static_cast<int32_t>(GetU32(&b[19]));
    d.Compression = b[23];
    d.Crc = static_cast<int32_t>(GetU32(&b[24]));
    // A damaged length byte cannot reach past the 10 characters.
    const size_t n = std::min<size_t>(b[28], MaxPasswordLength);
    d.Password.assign(reinterpret_cast<const char*>(&b[29]), n);
    return d;
}

void WriteItemData(TStream& stream, const TItemData& data) {
    const auto b = StoreItemData(data);
    stream.WriteBuffer(b.data(), ItemDataSize);
}

TItemData ReadItemData(TStream& stream) {
    uint8_t b[ItemDataSize];
    stream.ReadBuffer(b, ItemDataSize);
    return LoadItemData(b);
}

namespace {

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

TTimeStamp DateTimeToTimeStamp(int year, int month, int day, int hour, int minute, int second, int msec) {
    TTimeStamp t;
    t.Time = ((hour * 60 + minute) * 60 + second) * 1000 + msec;
    t.Date = static_cast<int32_t>(DaysFromCivil(year, month, day) - DaysFromCivil(1, 1, 1) + 1);
    return t;
}

TTimeStamp SystemTimeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &secs);
#else
    localtime_r(&secs, &local);
#endif
    return DateTimeToTimeStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                               local.tm_sec, static_cast<int>(ms));
}

int32_t NewItemId(const TTimeStamp& stamp) {
    const std::string digits = IntToStr(static_cast<int64_t>(stamp.Time & stamp.Date));
    const std::string last8 = digits.size() > 8 ? digits.substr(digits.size() - 8) : digits;
    return static_cast<int32_t>(std::stol(last8));
}

}  // namespace treskel
