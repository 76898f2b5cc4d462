// Every compression method the core decodes beyond stored and deflate:
// Deflate64 (our own inflater), BZip2 (libbz2), LZMA and XZ (liblzma) and
// Zstandard (libzstd). UNZDLL.DLL hands this table to its entry decoder;
// linking it brings those libraries along (library zipcore_methods).
#pragma once

#include "MethodDecoder.h"

namespace zipcore {

const MethodTable& AllMethods();

// The factories behind the table, one per method.
std::unique_ptr<MethodDecoder> MakeDeflate64Decoder();
std::unique_ptr<MethodDecoder> MakeBzip2Decoder();
std::unique_ptr<MethodDecoder> MakeLzmaDecoder();
std::unique_ptr<MethodDecoder> MakeXzDecoder();
std::unique_ptr<MethodDecoder> MakeZstandardDecoder();

}  // namespace zipcore
