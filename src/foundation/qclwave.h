// Wave data: the bytes of one RIFF WAVE file held in memory, checked for a
// wave header when loaded, streamed plain or compressed.  Playing is left
// to the users; replacing or freeing the data stops the process's sound.
// No <windows.h>: the sound call lives in qclwaveWin.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/qclclass.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

namespace treskel {

TRESKEL_EXCEPTION(EInvalidWave, Exception);
TRESKEL_EXCEPTION(EErrorCheckingWave, Exception);

enum class TQclWaveChannels : uint8_t { wcMono, wcStereo, wcOther };

struct TQclWaveInfo {
    bool pcm = false;
    TQclWaveChannels channels = TQclWaveChannels::wcOther;
    uint32_t samplesPerSec = 0;
    uint16_t blockAlign = 0;
};

// The header of the wave at the stream's start: "RIFF", size, "WAVE",
// "fmt ", chunk size, then the format fields.  The stream is rewound.
bool QclCheckWave(TStream& stream, TQclWaveInfo& info);
// Stops any sound the process is playing (nothing where there is none).
void QclStopSound();

class TQclWave : public TQclObject {
    TRESKEL_CLASS(TQclWave)
public:
    TQclWave() = default;
    // Loaded from a wave file; EInvalidWave for a file that is not one.
    explicit TQclWave(const std::string& fileName);
    static std::unique_ptr<TQclWave> CreateFromFile(const std::string& fileName) {
        return std::make_unique<TQclWave>(fileName);
    }
    ~TQclWave() override;
    void Assign(TPersistent* source) override;

    bool IsEmpty() const { return !data_ || data_->Size() == 0; }
    // Whether a data stream exists, even an empty one: only then is the
    // form property "Data" written.
    bool HasData() const { return data_ != nullptr; }
    int64_t Size() const { return data_ ? data_->Size() : 0; }
    void Clear();
    // The bytes themselves, or null without data.
    const uint8_t* Memory() const { return data_ ? data_->Memory() : nullptr; }

    virtual void LoadFromFile(const std::string& fileName);
    // From the current position to the end.
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToFile(const std::string& fileName);
    virtual void SaveToStream(TStream& stream);
    // The form property "Data" and the plain wave item: size, then bytes.
    virtual void ReadProp(TStream& stream) { ReadWithSize(stream); }
    virtual void WriteProp(TStream& stream) { WriteWithSize(stream); }
    void ReadWithSize(TStream& stream);
    void WriteWithSize(TStream& stream);
    void ReadCompressed(TStream& stream);
    void WriteCompressed(TStream& stream);

protected:
    // Reads `size` bytes; data that are not a wave raise EInvalidWave and
    // the old data stay.
    void LoadData(int64_t size, TStream& stream);
    void SetData(std::unique_ptr<TMemoryStream> data);
    void WriteData(TStream& stream, bool withSize);

private:
    std::unique_ptr<TMemoryStream> data_;
};

}  // namespace treskel
