// Feeds arbitrary bytes to the listing as an archive file. The listing may
// report messages or raise its file errors, but must never crash, hang, leak
// or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "engine/EngineErrors.h"
#include "engine/ZipMstr.h"
#include "platform/UiServices.h"
#include "tests/support/RecordingUiServices.h"

using namespace engine;

namespace {

std::string ScratchFile()
{
    static const std::string path = [] {
        char name[] = "/tmp/fernpack-fuzz-XXXXXX";
        int fd = ::mkstemp(name);
        if (fd >= 0)
            ::close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fixture::RecordingUiServices ui;
    static platform::ScopedUi scope(ui);
    ui.Messages.clear();

    const std::string path = ScratchFile();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    TRezEdidiv archive;
    int updates = 0;
    archive.OnDirUpdate = [&](TObject*) { ++updates; };
    try {
        archive.SetZipFilename(path);
    } catch (const EFileStreamError&) {
    }
    if (updates != 1)
        __builtin_trap();  // every listing of an existing file ends with one update
    for (const auto& e : archive.Entries) {
        // The 32-bit fields keep what was read (negative from 2 GiB on, -1
        // where a Zip64 field holds the size); the real size is what the
        // room check passed, so it never reaches past the file.
        if (e->FileName.size() > 256 || e->RealCompressedSize() > size)
            __builtin_trap();
    }
    return 0;
}
