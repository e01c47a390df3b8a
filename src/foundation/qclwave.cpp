#include "foundation/qclwave.h"

#include <cstring>

#include "foundation/qclprocs.h"

namespace treskel {

namespace {

constexpr int kWaveHeader = 34;  // through the block alignment

}  // namespace

bool QclCheckWave(TStream& stream, TQclWaveInfo& info) {
    uint8_t h[kWaveHeader];
    stream.SetPosition(0);
    const int64_t got = stream.Read(h, sizeof h);
    stream.SetPosition(0);
    info = TQclWaveInfo{};
    if (got < kWaveHeader || std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0 ||
        std::memcmp(h + 12, "fmt ", 4) != 0)
        return false;
    info.pcm = GetU16(h + 20) == 1;
    const uint16_t channels = GetU16(h + 22);
    info.channels = channels == 1   ? TQclWaveChannels::wcMono
                    : channels == 2 ? TQclWaveChannels::wcStereo
                                    : TQclWaveChannels::wcOther;
    info.samplesPerSec = GetU32(h + 24);
    info.blockAlign = GetU16(h + 32);
    return true;
}

TQclWave::TQclWave(const std::string& fileName) { LoadFromFile(fileName); }

TQclWave::~TQclWave() {
    if (data_) QclStopSound();
}

void TQclWave::Assign(TPersistent* source) {
    if (source == nullptr) {
        Clear();
        return;
    }
    if (auto* w = dynamic_cast<TQclWave*>(source)) {
        if (w == this) return;
        auto copy = std::make_unique<TMemoryStream>();
        if (w->data_) copy->WriteBuffer(w->data_->Memory(), w->data_->Size());
        SetData(std::move(copy));
        return;
    }
    TQclObject::Assign(source);
}

void TQclWave::Clear() { SetData(nullptr); }

void TQclWave::SetData(std::unique_ptr<TMemoryStream> data) {
    if (data_) QclStopSound();
    data_ = std::move(data);
    if (data_) data_->SetPosition(0);
    Change();
}

void TQclWave::LoadData(int64_t size, TStream& stream) {
    if (size <= 0) {
        Clear();
        return;
    }
    // Never allocate more than the stream can give.
    if (size > stream.Size() - stream.Position()) throw EReadError("Stream read error");
    auto data = std::make_unique<TMemoryStream>();
    data->SetSize(size);
    stream.ReadBuffer(data->Memory(), size);
    TQclWaveInfo info;
    if (!QclCheckWave(*data, info))
        throw EInvalidWave(std::string(ClassName()) + ": data are not a wave file with a format chunk");
    SetData(std::move(data));
}

void TQclWave::LoadFromStream(TStream& stream) { LoadData(stream.Size() - stream.Position(), stream); }

void TQclWave::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TQclWave::WriteData(TStream& stream, bool withSize) {
    if (!data_) data_ = std::make_unique<TMemoryStream>();
    if (withSize) WriteU32(stream, static_cast<uint32_t>(data_->Size()));
    if (data_->Size() > 0) stream.WriteBuffer(data_->Memory(), data_->Size());
}

void TQclWave::SaveToStream(TStream& stream) { WriteData(stream, false); }

void TQclWave::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

void TQclWave::ReadWithSize(TStream& stream) {
    const uint32_t size = ReadU32(stream);
    LoadData(size, stream);
}

void TQclWave::WriteWithSize(TStream& stream) { WriteData(stream, true); }

void TQclWave::WriteCompressed(TStream& stream) {
    TMemoryStream bytes;
    SaveToStream(bytes);
    QclWriteItemData(stream, bytes, true);
}

void TQclWave::ReadCompressed(TStream& stream) {
    TMemoryStream bytes;
    QclExpandStream(stream, bytes);
    bytes.SetPosition(0);
    LoadFromStream(bytes);
}

}  // namespace treskel
