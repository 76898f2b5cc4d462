// unzdrive: loads UNZDLL.DLL with dlopen, fills an UnzCommandRecord from the
// command line, calls UnzDllExec and prints every callback, one per line:
//   BEGIN <size> <name> | STEP | END | MSG <code> <text>
// then "STEPS <n>" and "COUNT <n>". For tests and benchmarks.
//
//   unzdrive [options] ARCHIVE [PATTERN...]
//     -t test   -d folder names   -o overwrite   -f freshen   -u update
//     -v verbose   -T trace   -p PASSWORD   -C DIR (change to DIR first)
//     -q quiet (no BEGIN/STEP/END lines)   -x N (answer -1 to callback N)
//     --lib PATH   --record-version N   --trailer N   --pattern-count N
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

#include "abi/UNZDLL.h"

namespace {

bool quiet = false;
long cancelAt = -1;
long callbacks = 0;
long steps = 0;
int sentinel = 0;  // Caller points here; every callback must hand it back

int32_t ZREC_CALL PrintCallback(CallbackRecord* r)
{
    ++callbacks;
    if (r->Caller != &sentinel)
        std::printf("BADCALLER\n");
    switch (r->ActionCode) {
    case ZCB_FILE_BEGIN:
        if (!quiet)
            std::printf("BEGIN %d %s\n", r->FileSize, r->MessageText);
        break;
    case ZCB_FILE_STEP:
        ++steps;
        if (!quiet)
            std::printf("STEP\n");
        break;
    case ZCB_BATCH_END:
        if (!quiet)
            std::printf("END\n");
        break;
    default:
        std::printf("MSG %d %s\n", r->ErrorCode, r->MessageText);
        break;
    }
    return callbacks == cancelAt ? -1 : 0;
}

std::string OwnFolder()
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return ".";
    path[n] = '\0';
    std::string s(path);
    return s.substr(0, s.rfind('/'));
}

}  // namespace

int main(int argc, char** argv)
{
    auto record = std::make_unique<UnzCommandRecord>();
    std::memset(record.get(), 0, sizeof(*record));
    record->Caller = &sentinel;
    record->RecordVersion = ZREC_RECORD_VERSION;
    record->CallbackAddress = PrintCallback;
    record->Reserved40 = -1;
    record->TrailerMark = ZREC_TRAILER_MARK;
    std::string lib = OwnFolder() + "/UNZDLL.DLL";
    std::string password, dir;
    long specCountOverride = -1;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "missing value after %s\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "-t") record->TestOn = -1;
        else if (a == "-d") record->DirNamesOn = -1;
        else if (a == "-o") record->OverwriteOn = -1;
        else if (a == "-f") record->FreshenOn = -1;
        else if (a == "-u") record->UpdateOn = -1;
        else if (a == "-v") record->VerboseOn = -1;
        else if (a == "-T") record->TraceOn = record->VerboseOn = -1;
        else if (a == "-q") quiet = true;
        else if (a == "-p") password = next();
        else if (a == "-C") dir = next();
        else if (a == "-x") cancelAt = std::atol(next().c_str());
        else if (a == "--lib") lib = next();
        else if (a == "--record-version") record->RecordVersion = std::atoi(next().c_str());
        else if (a == "--trailer") record->TrailerMark = std::atoi(next().c_str());
        else if (a == "--pattern-count") specCountOverride = std::atol(next().c_str());
        else args.push_back(a);
    }
    if (args.empty()) {
        std::fprintf(stderr, "usage: unzdrive [options] ARCHIVE [PATTERN...]\n");
        return 2;
    }
    if (args.size() - 1 > ZREC_MAX_SPECS) {
        std::fprintf(stderr, "at most %d patterns\n", ZREC_MAX_SPECS);
        return 2;
    }
    // The caller's buffers have fixed capacities; texts are cut to fit.
    std::vector<std::unique_ptr<char[]>> buffers;
    auto text = [&](const std::string& s, std::size_t capacity) {
        buffers.push_back(std::make_unique<char[]>(capacity));
        std::strncpy(buffers.back().get(), s.c_str(), capacity - 1);
        return buffers.back().get();
    };
    record->ArchiveName = text(args[0], ZREC_TEXT_CAPACITY);
    record->PasswordText = text(password, ZREC_PASSWORD_CAPACITY);
    for (std::size_t i = 1; i < args.size(); ++i)
        record->SpecTexts[record->SpecCount++] = text(args[i], ZREC_TEXT_CAPACITY);
    if (specCountOverride >= 0)
        record->SpecCount = int32_t(specCountOverride);

    void* handle = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "cannot load %s: %s\n", lib.c_str(), dlerror());
        return 3;
    }
    auto exec = reinterpret_cast<UnzDllExecFunction>(dlsym(handle, "UnzDllExec"));
    auto version = reinterpret_cast<GetUnzDllVersionFunction>(dlsym(handle, "GetUnzDllVersion"));
    if (!exec || !version) {
        std::fprintf(stderr, "entry points missing in %s\n", lib.c_str());
        return 3;
    }
    if (!dir.empty() && chdir(dir.c_str()) != 0) {
        std::perror(dir.c_str());
        return 2;
    }
    int32_t count = exec(record.get());
    std::printf("STEPS %ld\nCOUNT %d\n", steps, count);
    std::fflush(stdout);
    dlclose(handle);
    return 0;
}
