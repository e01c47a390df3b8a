// The file operations that saving goes through.  The default ones are the
// platform's; tests put in their own to make any step fail.
#pragma once

#include <memory>
#include <string>

#include "platform/Streams.h"

namespace treskel {

class TFileOps {
public:
    virtual ~TFileOps() = default;
    virtual std::unique_ptr<TStream> Create(const std::string& name);
    virtual std::unique_ptr<TStream> OpenRead(const std::string& name);
    // Forces what was written to the stream out to the disk.
    virtual void Flush(TStream& stream);
    // Moves `source` over `dest`; false on failure.
    virtual bool Replace(const std::string& source, const std::string& dest);
    // Moves `source` to `dest` in one step, never by copying, so that the
    // file is under one of the two names at every moment; false, with
    // nothing moved, when `dest` exists or the move fails.
    virtual bool Move(const std::string& source, const std::string& dest);
    virtual bool Delete(const std::string& name);
    // Makes a new empty file for passing data, under a name no other file
    // has, and returns the name; the caller deletes the file.  Raises
    // EFCreateError when none can be made.
    virtual std::string NewTempFile();
};

TFileOps& DefaultFileOps();

// Writes `size` bytes as the file `name`: under a temporary name first
// (`name` + ".tmp"), flushed, then moved over the old file, which stays
// as it was until the new one is whole.  Raises the file error on failure,
// with the temporary file gone.
void WriteWholeFile(TFileOps& ops, const std::string& name, const void* data, size_t size);

}  // namespace treskel
