#include "store/FileOps.h"

#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/FileSys.h"
#include "platform/SysUtils.h"

namespace treskel {

std::unique_ptr<TStream> TFileOps::Create(const std::string& name) { return std::make_unique<TFileStream>(name, fmCreate); }

std::unique_ptr<TStream> TFileOps::OpenRead(const std::string& name) {
    return std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyWrite);
}

void TFileOps::Flush(TStream& stream) {
    if (auto* h = dynamic_cast<THandleStream*>(&stream)) h->Flush();
}

bool TFileOps::Replace(const std::string& source, const std::string& dest) { return ReplaceFile(source, dest); }

bool TFileOps::Move(const std::string& source, const std::string& dest) { return RenameFile(source, dest); }

bool TFileOps::Delete(const std::string& name) { return DeleteFile(name); }

std::string TFileOps::NewTempFile() {
    static std::atomic<uint32_t> counter{0};
    const std::string dir = TempDirectory();
    const auto stamp = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = dir + "trk" + IntToHex(stamp ^ (counter++ * 2654435761u), 8) + ".tmp";
        if (FileExists(name)) continue;
        TFileStream made(name, fmCreate);
        return name;
    }
    throw EFCreateError("Cannot create a temporary file in " + dir + ".");
}

void WriteWholeFile(TFileOps& ops, const std::string& name, const void* data, size_t size) {
    const std::string tempName = name + ".tmp";
    try {
        {
            std::unique_ptr<TStream> out = ops.Create(tempName);
            out->WriteBuffer(data, static_cast<int64_t>(size));
            ops.Flush(*out);
        }
        if (!ops.Replace(tempName, name)) throw EFCreateError("Cannot create file " + name + ". " + LastFileError());
    } catch (...) {
        ops.Delete(tempName);
        throw;
    }
}

TFileOps& DefaultFileOps() {
    static TFileOps ops;
    return ops;
}

}  // namespace treskel
