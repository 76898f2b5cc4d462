// The Zip64 extra field: where a member's size, its local header's offset
// or its disk number is too large for its 32-bit (or 16-bit) field, that
// field holds all ones and the real value stands in this extra field.
// One reader for the engine's listing, the libraries and the stub, so all
// three take the same values from the same bytes.
//
// Rules: in a central header the field holds only the values whose fields
// are saturated, in the order uncompressed size, compressed size, local
// header offset, disk. In a local header it holds both sizes whenever it
// holds either (readers that wrote only the saturated one, in that order,
// are read correctly too). Reads only within the given bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zipformat/LittleEndian.h"
#include "zipformat/ZipRecords.h"

namespace fernpack::zip {

// The values a header states, to be completed from the Zip64 field.
struct Zip64Values {
    std::uint64_t Uncompressed = 0;
    std::uint64_t Compressed = 0;
    std::uint64_t Offset = 0;  // central headers only
    std::uint32_t Disk = 0;    // central headers only
};

// The data of the first extra field with identifier `id` in the extra
// block at `extra`; false when there is none whole. A field cut short by
// the block's end ends the search.
inline bool FindExtraField(const std::uint8_t* extra, std::size_t length, std::uint16_t id,
                           const std::uint8_t** data, std::size_t* size)
{
    for (std::size_t pos = 0; length - pos >= 4;) {
        const std::size_t fieldSize = Le16(extra + pos + 2);
        if (fieldSize > length - pos - 4)
            return false;
        if (Le16(extra + pos) == id) {
            *data = extra + pos + 4;
            *size = fieldSize;
            return true;
        }
        pos += 4 + fieldSize;
    }
    return false;
}

// Replaces each saturated value in `v` by the Zip64 field's (`data`,
// `size` bytes). True when every saturated value was found there.
inline bool ApplyZip64Field(const std::uint8_t* data, std::size_t size, Zip64Values& v, bool localHeader)
{
    const bool bigUncompressed = v.Uncompressed == Saturated32;
    const bool bigCompressed = v.Compressed == Saturated32;
    if (localHeader && (bigUncompressed || bigCompressed) && size >= 16) {
        v.Uncompressed = Le64(data);
        v.Compressed = Le64(data + 8);
        return true;
    }
    std::size_t at = 0;
    bool complete = true;
    auto take = [&](std::uint64_t& value) {
        if (at + 8 > size) {
            complete = false;
            return;
        }
        value = Le64(data + at);
        at += 8;
    };
    if (bigUncompressed)
        take(v.Uncompressed);
    if (bigCompressed)
        take(v.Compressed);
    if (!localHeader && v.Offset == Saturated32)
        take(v.Offset);
    if (!localHeader && v.Disk == 0xFFFF) {
        if (at + 4 <= size)
            v.Disk = Le32(data + at);
        else
            complete = false;
    }
    return complete;
}

// Whether a header's values need the Zip64 field at all.
inline bool NeedsZip64Field(const Zip64Values& v, bool localHeader)
{
    return v.Uncompressed == Saturated32 || v.Compressed == Saturated32 ||
           (!localHeader && (v.Offset == Saturated32 || v.Disk == 0xFFFF));
}

}  // namespace fernpack::zip
