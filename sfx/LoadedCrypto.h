// The WinZip AES primitives for the self-extractor, taken from OpenSSL's
// libcrypto loaded with dlopen when the first AES entry needs them. The stub
// therefore starts on machines without libcrypto; only AES entries then
// fail, with a reason that names the missing library.
#pragma once

#include <string>

#include "libs/zipcore/CryptoProvider.h"

namespace sfx {

// The provider, or nullptr (with the reason in `error`) when libcrypto
// cannot be loaded or lacks a function. Loaded once per process.
zipcore::CryptoProvider* LoadedCrypto(std::string* error);

}  // namespace sfx
