// Feeds arbitrary bytes to UNZDLL.DLL's entry point as an archive: once to
// test every entry and once to extract everything (with folder names and
// overwriting) into a scratch folder, which is emptied after each input.
// The archive lives in a memory file, named through /proc.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "abi/UNZDLL.h"

extern "C" int32_t UnzDllExec(UnzCommandRecord* record);

namespace {

namespace fs = std::filesystem;

int callbacks = 0;

int32_t ZREC_CALL Count(CallbackRecord* r)
{
    ++callbacks;
    // The text must always be terminated inside the record.
    if (std::memchr(r->MessageText, 0, sizeof(r->MessageText)) == nullptr)
        std::abort();
    return 0;
}

// The scratch folder, removed when the process ends.
struct Scratch {
    std::string dir;
    Scratch() : dir(fs::temp_directory_path() / ("unzdll_fuzz." + std::to_string(getpid())))
    {
        fs::create_directories(dir);
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const std::string& ScratchDir()
{
    static Scratch scratch;
    return scratch.dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int fd = memfd_create("archive", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (size && write(fd, data, size) != ssize_t(size)) {
        close(fd);
        return 0;
    }
    char name[ZREC_TEXT_CAPACITY];
    std::snprintf(name, sizeof(name), "/proc/self/fd/%d", fd);
    char password[ZREC_PASSWORD_CAPACITY] = "pw";

    auto record = std::make_unique<UnzCommandRecord>();
    std::memset(record.get(), 0, sizeof(*record));
    record->RecordVersion = ZREC_RECORD_VERSION;
    record->TrailerMark = ZREC_TRAILER_MARK;
    record->CallbackAddress = Count;
    record->ArchiveName = name;
    record->PasswordText = password;
    record->TestOn = -1;
    UnzDllExec(record.get());

    std::string saved = fs::current_path();
    fs::current_path(ScratchDir());
    record->TestOn = 0;
    record->DirNamesOn = -1;
    record->OverwriteOn = -1;
    UnzDllExec(record.get());
    fs::current_path(saved);
    for (const auto& entry : fs::directory_iterator(ScratchDir()))
        fs::remove_all(entry.path());
    close(fd);
    return 0;
}
