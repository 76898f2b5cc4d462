#include "AllMethods.h"

#include <iterator>

#include "libs/zipcore/ZipFormat.h"

namespace zipcore {

const MethodTable& AllMethods()
{
    static const MethodEntry entries[] = {
        {kMethodDeflate64, &MakeDeflate64Decoder}, {kMethodBzip2, &MakeBzip2Decoder},
        {kMethodLzma, &MakeLzmaDecoder},           {kMethodXz, &MakeXzDecoder},
        {kMethodZstandard, &MakeZstandardDecoder},
    };
    static const MethodTable table{entries, std::size(entries)};
    return table;
}

}  // namespace zipcore
