// The check every archive a test writes goes through: three readers that
// are not ours must each find it sound. Python's zipfile
// (`python3 -m zipfile -t`), Info-ZIP's `unzip -t` and 7-Zip's `7zz t`.
#pragma once

#include <string>

namespace fixture {

// "" when all three find `archive` sound; otherwise one line per reader
// that did not, with what it said. With a `password` (members encrypted
// with AES, which zipfile and unzip cannot decrypt), 7zz tests the data
// with it, and zipfile and unzip must still read the whole directory.
std::string PeerCheck(const std::string& archive, const std::string& password = "");

}  // namespace fixture
