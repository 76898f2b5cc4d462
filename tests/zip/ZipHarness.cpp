#include "ZipHarness.h"

#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <stdexcept>
#include <unistd.h>

#include "TempDir.h"

namespace ziptest {

namespace {

struct Libraries {
    Libraries()
    {
        zip = dlopen(ZIP_LIBRARY_DIR "/ZIPDLL.DLL", RTLD_NOW | RTLD_LOCAL);
        unz = dlopen(ZIP_LIBRARY_DIR "/UNZDLL.DLL", RTLD_NOW | RTLD_LOCAL);
        if (!zip || !unz)
            throw std::runtime_error(std::string("cannot load the libraries: ") + dlerror());
        zipExec = reinterpret_cast<ZipDllExecFunction>(dlsym(zip, "ZipDllExec"));
        zipVersion = reinterpret_cast<GetZipDllVersionFunction>(dlsym(zip, "GetZipDllVersion"));
        unzExec = reinterpret_cast<UnzDllExecFunction>(dlsym(unz, "UnzDllExec"));
        if (!zipExec || !zipVersion || !unzExec)
            throw std::runtime_error("entry points missing");
    }
    void* zip;
    void* unz;
    ZipDllExecFunction zipExec;
    GetZipDllVersionFunction zipVersion;
    UnzDllExecFunction unzExec;
};

Libraries& Libs()
{
    static Libraries libs;
    return libs;
}

}  // namespace

int32_t ZREC_CALL RecordForTests(CallbackRecord* record)
{
    auto* log = static_cast<CallLog*>(record->Caller);
    if (!log)
        return 0;
    if (std::this_thread::get_id() != log->caller)
        log->foreignThread = true;
    if (log->cancelAt > 0 && log->calls >= log->cancelAt)
        ++log->callsAfterCancel;
    ++log->calls;
    log->events.push_back({record->ActionCode, record->ErrorCode, record->FileSize, record->MessageText});
    if (log->onEvent)
        log->onEvent(log->events.back());
    return log->cancelAt > 0 && log->calls >= log->cancelAt ? -1 : 0;
}

namespace {

int32_t Flag(bool on) { return on ? ZREC_TRUE : ZREC_FALSE; }

}  // namespace

int CallLog::Count(int action) const
{
    int n = 0;
    for (const auto& e : events)
        n += e.action == action;
    return n;
}

std::vector<std::string> CallLog::Messages(bool errorsOnly) const
{
    std::vector<std::string> out;
    for (const auto& e : events)
        if (e.action >= ZCB_MESSAGE && (!errorsOnly || e.code > 0))
            out.push_back(std::to_string(e.code) + ": " + e.text);
    return out;
}

bool CallLog::HasMessage(const std::string& part) const
{
    for (const auto& e : events)
        if (e.action >= ZCB_MESSAGE && e.text.find(part) != std::string::npos)
            return true;
    return false;
}

int RunZip(const ZipCall& call, CallLog* log)
{
    CallLog local;
    if (!log)
        log = &local;
    log->caller = std::this_thread::get_id();
    auto record = std::make_unique<ZipCommandRecord>();
    std::memset(record.get(), 0, sizeof(ZipCommandRecord));
    record->Caller = log;
    record->RecordVersion = ZREC_RECORD_VERSION;
    record->CallbackAddress = &RecordForTests;
    record->PasswordText = call.password.c_str();
    record->EncryptOn = Flag(call.encrypt);
    record->HiddenFilesOn = Flag(call.hidden);
    record->StdinOn = Flag(call.fromStdin);
    record->Reserved44 = -1;
    record->Reserved56 = -1;
    record->VerboseOn = Flag(call.verbose);
    record->CompressionLevel = call.level;
    record->NoDirNames = Flag(!call.dirNames);
    record->RecurseOn = Flag(call.recurse);
    record->AddOn = Flag(!call.remove);
    record->ForceDosOn = Flag(call.forceDos);
    record->MoveOn = Flag(call.move);
    record->DeleteOn = Flag(call.remove);
    record->UpdateOn = Flag(call.update);
    record->FreshenOn = Flag(call.freshen);
    record->ZipTimeOn = Flag(call.zipTime);
    record->ArchiveName = call.archive.c_str();
    record->TrailerMark = ZREC_TRAILER_MARK;
    for (const auto& fileSpec : call.specs)
        record->SpecTexts[record->SpecCount++] = fileSpec.c_str();
    return Libs().zipExec(record.get());
}

int ExecZip(ZipCommandRecord* record) { return Libs().zipExec(record); }
int ZipVersion() { return Libs().zipVersion(); }

int RunUnzip(const std::string& archive, const std::string& targetDir, bool test, const std::string& password,
             CallLog* log)
{
    CallLog local;
    if (!log)
        log = &local;
    auto record = std::make_unique<UnzCommandRecord>();
    std::memset(record.get(), 0, sizeof(UnzCommandRecord));
    record->Caller = log;
    record->RecordVersion = ZREC_RECORD_VERSION;
    record->CallbackAddress = &RecordForTests;
    record->PasswordText = password.c_str();
    record->TestOn = Flag(test);
    record->Reserved40 = -1;
    record->DirNamesOn = ZREC_TRUE;
    record->OverwriteOn = ZREC_TRUE;
    record->ArchiveName = archive.c_str();
    record->TrailerMark = ZREC_TRAILER_MARK;
    char saved[4096];
    if (!getcwd(saved, sizeof(saved)) || chdir(targetDir.c_str()) != 0)
        return -1;
    int count = Libs().unzExec(record.get());
    if (chdir(saved) != 0)
        return -1;
    return count;
}

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

bool SevenZipTestOk(const std::string& archive, const std::string& password)
{
    std::string output;
    return fixture::RunCommand("7zz t -p" + Quote(password) + " " + Quote(archive) + " 2>&1", &output) == 0 &&
           output.find("Everything is Ok") != std::string::npos;
}

bool PythonTestOk(const std::string& archive, const std::string& password)
{
    std::string output;
    return fixture::RunCommand("python3 -c 'import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); "
                               "z.setpassword(sys.argv[2].encode()); "
                               "sys.exit(0 if z.testzip() is None else 1)' " +
                                   Quote(archive) + " " + Quote(password) + " 2>&1",
                               &output) == 0;
}

std::vector<std::string> PythonNames(const std::string& archive)
{
    std::string output;
    fixture::RunCommand("python3 -c 'import sys,zipfile; "
                        "[print(n) for n in zipfile.ZipFile(sys.argv[1]).namelist()]' " +
                            Quote(archive),
                        &output);
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < output.size()) {
        std::size_t nl = output.find('\n', pos);
        if (nl == std::string::npos)
            nl = output.size();
        names.push_back(output.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return names;
}

std::string TextData(std::size_t size, unsigned seed)
{
    static const char* words[] = {"archive ", "member ", "deflate ", "header ", "central ", "folder ",
                                  "progress ", "stream ", "fern ", "pack\n"};
    std::string out;
    unsigned x = seed * 2654435761u + 1;
    while (out.size() < size) {
        x = x * 1103515245u + 12345u;
        out += words[(x >> 16) % 10];
    }
    out.resize(size);
    return out;
}

std::string NoiseData(std::size_t size, unsigned seed)
{
    std::string out(size, '\0');
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ull + 7;
    for (std::size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        out[i] = char(x >> 24);
    }
    return out;
}

bool SameFile(const std::string& a, const std::string& b) { return fixture::ReadFile(a) == fixture::ReadFile(b); }

std::vector<std::string> StrayFiles(const std::string& dir)
{
    std::vector<std::string> out;
    DIR* d = opendir(dir.c_str());
    if (!d)
        return out;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.find(".fernpack-") == 0 || name.find(".tmp") != std::string::npos)
            out.push_back(name);
    }
    closedir(d);
    return out;
}

}  // namespace ziptest
