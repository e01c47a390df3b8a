// The component library's byte coder and the stream items of its
// containers: the LZRW block coder with its run item, compressed streams
// (a total, then length-prefixed blocks), and the plain and compressed
// items for integers, short strings, string lists and bitmap images.
// No <windows.h>: everything here builds natively.  The bitmap items that
// need a TBitmap are in qclprocsWin.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Classes.h"
#include "platform/Streams.h"

namespace treskel {

class TBitmap;
class TQclWave;

// The largest input block, and the work space a block needs on either side:
// the encoder may run a few bytes past the input length before it gives up
// and stores the block.
inline constexpr int kQclLZRWBlock = 32781;
inline constexpr int kQclLZRWWork = kQclLZRWBlock + 6;

// Compresses `sourceLength` (at most kQclLZRWBlock) bytes into `dest`, which
// holds at least sourceLength + 6 bytes; returns the block's length.
uint16_t QclLZRWCompress(const uint8_t* source, uint8_t* dest, uint16_t sourceLength);
// Expands one block into `dest` (kQclLZRWBlock bytes); returns the number of
// bytes written.  A block that would write past the buffer, copy from before
// its start or read past its own end raises Exception "LZRW Error!".
uint16_t QclLZRWExpand(const uint8_t* source, uint8_t* dest, uint16_t sourceLength);
// One step of the encoder's match search (the table has 4096 entries).
bool QclLZRWFindMatch(const uint8_t* source, uint16_t position, uint16_t sourceLength, uint16_t& offset,
                      uint16_t& length, uint16_t* hashTable);

// Writes `count` bytes of `source` as a compressed stream at dest's position.
void QclCompressStream(TStream& source, TStream& dest, int count);
// Reads a compressed stream at source's position, writing what it decodes.
// A stream whose chunks could decode to more than MaxStoredItemSize bytes
// raises Exception "LZRW Error!" before anything is decoded.
void QclExpandStream(TStream& source, TStream& dest);

void QclWriteInteger(TStream& stream, int value);
int QclReadInteger(TStream& stream);
void QclWriteByte(TStream& stream, uint8_t value);
uint8_t QclReadByte(TStream& stream);
// A length byte, then the characters; longer strings are cut at 255.
void QclWriteShortString(TStream& stream, const std::string& s);
std::string QclReadShortString(TStream& stream);

void QclWriteStrings(TStream& stream, const TStrings& strings, bool compressed);
void QclReadStrings(TStream& stream, TStrings& strings, bool compressed);

// The byte part shared by the string, bitmap and wave items: `data` whole,
// plain (4-byte length, then the bytes) or as a compressed stream.
void QclWriteItemData(TStream& stream, TCustomMemoryStream& data, bool compressed);
// Reads it back into `data`, rewound.  A plain length beyond what the
// stream holds raises the stream read error before anything is allocated.
void QclReadItemData(TStream& stream, TMemoryStream& data, bool compressed);

// Wave items: the wave's own plain (size, then bytes) or compressed form.
void QclWriteWave(TStream& stream, TQclWave& wave, bool compressed);
void QclReadWave(TStream& stream, TQclWave& wave, bool compressed);

// Bitmap items (Win32): Depth -1 keeps the bitmap's format, else 2, 16, 256.
void QclWriteBitmap(TStream& stream, TBitmap& bitmap, bool compressed, int depth);
void QclReadBitmap(TStream& stream, TBitmap& bitmap, bool compressed);

}  // namespace treskel
