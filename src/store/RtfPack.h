// The RTF object packer: the hexadecimal payload of "objdata" groups and
// of Windows metafile pictures ("\pict\wmet") becomes the bytes it spells,
// behind a 4-byte count, and back.  Everything else is copied as it is.
// Both read from the input's position to its end and write at the output's
// position.
#pragma once

#include "platform/Streams.h"

namespace treskel {

// A group that cannot be packed so that it unpacks again: the note is not
// saved at this level.  A conversion error, as a bad hexadecimal pair is.
TRESKEL_EXCEPTION(ERtfPackError, EConvertError);

void PackRtfObjects(TStream& input, TStream& output);
// Raises Exception("File is corrupt!") when a packed group is cut off or
// counts more bytes than follow.
void UnpackRtfObjects(TStream& input, TStream& output);

}  // namespace treskel
