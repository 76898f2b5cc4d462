// The CryptoProvider backed by OpenSSL's libcrypto, linked directly. Kept in
// its own library (zipcore_openssl) so that programs which must not depend
// on libcrypto at load time can link the core without it.
#pragma once

#include "CryptoProvider.h"

namespace zipcore {

// A process-wide provider; never null.
CryptoProvider& OpensslCrypto();

}  // namespace zipcore
