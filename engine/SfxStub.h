// What makes a file fit to stand in front of an archive as the stub of a
// self-extracting program: a listing of the program must find the archive
// behind it (it scans a bounded number of bytes for the first local
// header, TRezEdidiv::MaxScannedBytes), and cutting the program back
// (ConvertZip) cuts where that listing found it. So the stub and the
// settings header together must end within the scan, and the stub must not
// hold a local header signature of its own, which the listing would take
// for the archive's start. Nothing else about the stub is looked at: it is
// only ever copied.
#pragma once

#include <cstdint>
#include <string>

#include "abi/SfxHeader.h"
#include "engine/ZipMstr.h"

namespace engine {

// The longest stub: with the settings header behind it, the first local
// header's first byte is still a byte the listing's scan looks at.
inline constexpr std::int64_t MaxStubSize = TRezEdidiv::MaxScannedBytes - SFXH_SIZE - 1;

enum class StubProblem { None, Unreadable, TooLarge, HoldsSignature };

StubProblem CheckStub(const std::string& path);

// Why a stub was refused, in words for the user.
std::string StubProblemText(StubProblem problem);

}  // namespace engine
