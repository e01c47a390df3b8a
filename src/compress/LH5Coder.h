// Stream-to-stream -lh5- coding behind the LH5Compression component.
#pragma once

#include <cstdint>

#include "platform/Streams.h"

namespace treskel {

// Where a coder reports how far it has come; a progress bar adapts to it.
class TCodingProgress {
public:
    virtual ~TCodingProgress() = default;
    virtual void SetMax(int64_t max) = 0;
    virtual void SetPosition(int64_t position) = 0;
};

inline constexpr const char* SFileCorrupt = "File is corrupt!";

namespace lh5 {

// Writes the 4-byte size and the bit stream of the `size` bytes that `in`
// holds from its position.
void Encode(TStream& in, int64_t size, TStream& out, TCodingProgress* progress);

// Decodes the stream that `in` holds in its next `budget` bytes into `out`;
// never reads more than `budget` bytes.  Leaves `in` just after the last
// byte the stream used.  Raises Exception(SFileCorrupt) for a damaged or
// cut-off stream.
void Decode(TStream& in, int64_t budget, TStream& out, TCodingProgress* progress);

}  // namespace lh5
}  // namespace treskel
