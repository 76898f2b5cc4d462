// Feeds arbitrary bytes to ZIPDLL.DLL's entry point as an existing archive:
// once adding a small file to it (every member it keeps is copied byte for
// byte, so its whole directory is read and checked) and once deleting
// members from it. The archive is a real file in a scratch folder, since
// the writer locks it, maps it and replaces it through a temporary file
// beside it; the folder is emptied after each input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "abi/ZIPDLL.h"

extern "C" int32_t ZipDllExec(ZipCommandRecord* record);

namespace {

namespace fs = std::filesystem;

int32_t ZREC_CALL Check(CallbackRecord* r)
{
    // The text must always be terminated inside the record.
    if (std::memchr(r->MessageText, 0, sizeof(r->MessageText)) == nullptr)
        std::abort();
    return 0;
}

// The scratch folder and the file added, removed when the process ends.
struct Scratch {
    std::string dir, archive, source;
    Scratch() : dir(fs::temp_directory_path() / ("zipdll_fuzz." + std::to_string(getpid())))
    {
        fs::create_directories(dir + "/work");
        archive = dir + "/work/a.zip";
        source = dir + "/new.txt";
        std::FILE* f = std::fopen(source.c_str(), "wb");
        std::fputs("a new member, added beside whatever the archive holds\n", f);
        std::fclose(f);
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const Scratch& Files()
{
    static Scratch scratch;
    return scratch;
}

void WriteArchive(const uint8_t* data, size_t size)
{
    const int fd = open(Files().archive.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        std::abort();
    if (size && write(fd, data, size) != ssize_t(size))
        std::abort();
    close(fd);
}

void Run(bool remove, const char* filePattern)
{
    char name[ZREC_TEXT_CAPACITY];
    std::snprintf(name, sizeof name, "%s", Files().archive.c_str());
    char pattern[ZREC_TEXT_CAPACITY];
    std::snprintf(pattern, sizeof pattern, "%s", filePattern);
    char password[ZREC_PASSWORD_CAPACITY] = "pw";

    auto record = std::make_unique<ZipCommandRecord>();
    std::memset(record.get(), 0, sizeof(*record));
    record->RecordVersion = ZREC_RECORD_VERSION;
    record->TrailerMark = ZREC_TRAILER_MARK;
    record->CallbackAddress = Check;
    record->ArchiveName = name;
    record->PasswordText = password;
    record->CompressionLevel = 1;
    record->NoDirNames = ZREC_TRUE;
    record->AddOn = remove ? 0 : -1;
    record->DeleteOn = remove ? ZREC_TRUE : ZREC_FALSE;
    record->SpecCount = 1;
    record->SpecTexts[0] = pattern;
    ZipDllExec(record.get());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteArchive(data, size);
    Run(false, Files().source.c_str());
    WriteArchive(data, size);
    Run(true, "*a*");
    for (const auto& entry : fs::directory_iterator(Files().dir + "/work"))
        fs::remove_all(entry.path());
    return 0;
}
