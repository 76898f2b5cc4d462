#include "engine/SfxStub.h"

#include <vector>

#include "platform/FileStream.h"
#include "zipformat/LittleEndian.h"
#include "zipformat/ZipRecords.h"

namespace engine {

StubProblem CheckStub(const std::string& path)
{
    platform::FileStream stub;
    if (!stub.Open(path, platform::OpenMode::ReadDenyWrite))
        return StubProblem::Unreadable;
    const std::int64_t size = stub.Size();
    if (size < 0)
        return StubProblem::Unreadable;
    if (size > MaxStubSize)
        return StubProblem::TooLarge;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (stub.ReadAt(0, bytes.data(), size) != size)
        return StubProblem::Unreadable;
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (fernpack::Le32(bytes.data() + i) == fernpack::zip::LocalHeaderSignature)
            return StubProblem::HoldsSignature;
    return StubProblem::None;
}

std::string StubProblemText(StubProblem problem)
{
    switch (problem) {
    case StubProblem::None: return "";
    case StubProblem::Unreadable: return "it cannot be read";
    case StubProblem::TooLarge:
        return "it is larger than " + std::to_string(MaxStubSize) +
               " bytes, so a listing would not find the archive behind it";
    case StubProblem::HoldsSignature:
        return "it holds a ZIP local header signature, which a listing would take for the archive's start";
    }
    return "";
}

}  // namespace engine
