// A CryptoProvider over OpenSSL's libcrypto loaded with dlopen on first use,
// for programs that must start (and stay small) without libcrypto, such as
// the self-extractor stub: only an archive with AES entries loads it. Needs
// the OpenSSL headers to build, never the library to link.
#pragma once

#include "CryptoProvider.h"

namespace zipcore {

// The process-wide provider, or nullptr when libcrypto cannot be loaded
// (AES entries are then reported as unsupported).
CryptoProvider* DlopenCrypto();

}  // namespace zipcore
