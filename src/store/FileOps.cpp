#include "store/FileOps.h"

#include "platform/FileSys.h"

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

TFileOps& DefaultFileOps() {
    static TFileOps ops;
    return ops;
}

}  // namespace treskel
