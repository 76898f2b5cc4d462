// Feeds arbitrary bytes to the stub's archive reader as a self-extracting
// program: the settings header, the archive behind it, every member's data
// located and (when small) decoded to nowhere, as the stub's --test does.
// Reading must never crash, hang or read outside the file, and whatever is
// located must lie inside it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "libs/zipcore/EntryDecoder.h"
#include "sfx/SfxArchive.h"

namespace {

class Discard final : public zipcore::OutputSink {
public:
    bool Write(const std::uint8_t*, std::size_t) override { return true; }
};

// Members larger than this are located but not decoded, so each input stays fast.
constexpr std::uint64_t kDecodeLimit = std::uint64_t(1) << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = memfd_create("program", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (size && write(fd, data, size) != ssize_t(size)) {
        close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    sfx::SfxArchive archive;
    std::string error;
    if (archive.Open(path, &error)) {
        const sfx::SfxSettings& settings = archive.Settings();
        if (settings.caption.size() + settings.defaultDir.size() + settings.commandLine.size() > SFXH_TEXTS_CAPACITY)
            std::abort();
        zipcore::EntryDecoder decoder;
        for (const zipcore::ZipEntry& entry : archive.Entries()) {
            zipcore::EntryData located;
            std::string detail;
            if (!archive.LocateData(entry, &located, &detail))
                continue;
            if (located.size != entry.compressedSize || located.size > size)
                std::abort();
            if (entry.IsDirectory() || entry.uncompressedSize > kDecodeLimit || entry.compressedSize > kDecodeLimit)
                continue;
            Discard sink;
            decoder.Decode(entry, located, "pw", sink, &detail);
        }
    }
    close(fd);
    return 0;
}
