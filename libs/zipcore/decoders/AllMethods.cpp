#include "AllMethods.h"

#include <iterator>

#include "zipformat/Methods.h"

namespace zipcore {

const MethodTable& AllMethods()
{
    namespace zip = fernpack::zip;
    static const MethodEntry entries[] = {
        {zip::MethodDeflate64, &MakeDeflate64Decoder}, {zip::MethodBzip2, &MakeBzip2Decoder},
        {zip::MethodLzma, &MakeLzmaDecoder},           {zip::MethodXz, &MakeXzDecoder},
        {zip::MethodZstandard, &MakeZstandardDecoder},
    };
    static const MethodTable table{entries, std::size(entries)};
    return table;
}

}  // namespace zipcore
