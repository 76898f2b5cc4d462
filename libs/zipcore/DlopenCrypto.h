// A CryptoProvider over OpenSSL's libcrypto loaded with dlopen on first use,
// for programs that must start (and stay small) without libcrypto, such as
// the self-extractor stub: only an archive with AES entries loads it, and a
// machine without libcrypto loses only those entries, with a reason that
// names the missing library. Needs the OpenSSL headers to build, never the
// library to link.
#pragma once

#include <string>

#include "CryptoProvider.h"

namespace zipcore {

// The process-wide provider, or nullptr (with the reason in `error`, when
// given) when libcrypto cannot be loaded or lacks a function. Loaded once.
CryptoProvider* DlopenCrypto(std::string* error = nullptr);

}  // namespace zipcore
