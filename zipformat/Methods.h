// The compression methods a ZIP member may be packed with: the numbers the
// libraries read and write, and their names, so that a member that cannot
// be extracted is named by method, by name and number, in the one wording
// every reader (UNZDLL.DLL, the stub) uses. Naming only: what can be
// decoded is the decoders' business.
#pragma once

#include <cstdint>
#include <string>

namespace fernpack::zip {

inline constexpr std::uint16_t MethodStored = 0;
inline constexpr std::uint16_t MethodDeflated = 8;
inline constexpr std::uint16_t MethodDeflate64 = 9;
inline constexpr std::uint16_t MethodBzip2 = 12;
inline constexpr std::uint16_t MethodLzma = 14;
inline constexpr std::uint16_t MethodZstandard = 93;
inline constexpr std::uint16_t MethodXz = 95;
inline constexpr std::uint16_t MethodAes = 99;

inline const char* CompressionMethodName(unsigned method)
{
    switch (method) {
    case 0: return "Stored";
    case 1: return "Shrunk";
    case 2: case 3: case 4: case 5: return "Reduced";
    case 6: return "Imploded";
    case 7: return "Tokenized";
    case 8: return "Deflate";
    case 9: return "Deflate64";
    case 10: return "PKWARE DCL Imploded";
    case 12: return "BZip2";
    case 14: return "LZMA";
    case 16: return "IBM z/OS CMPSC";
    case 18: return "IBM TERSE";
    case 19: return "IBM LZ77 z";
    case 20: case 93: return "Zstandard";
    case 94: return "MP3";
    case 95: return "XZ";
    case 96: return "JPEG";
    case 97: return "WavPack";
    case 98: return "PPMd";
    case 99: return "AES";
    default: return nullptr;
    }
}

// "PPMd compression (method 98) is not supported"
inline std::string UnsupportedMethodText(unsigned method)
{
    const char* name = CompressionMethodName(method);
    return (name ? std::string(name) + " compression (method " : std::string("compression method ")) +
           std::to_string(method) + (name ? ") is not supported" : " is not supported");
}

}  // namespace fernpack::zip
