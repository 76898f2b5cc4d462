#include "UnzDllHarness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace unztest {

namespace {

Result* current = nullptr;
long cancelAt = -1;
int callerTag = 0;

std::int32_t ZREC_CALL Record(CallbackRecord* r)
{
    Callback cb;
    cb.action = r->ActionCode;
    cb.error = r->ErrorCode;
    cb.size = r->FileSize;
    cb.text = r->MessageText;
    if (r->Caller != &callerTag)
        current->callerOk = false;
    current->callbacks.push_back(cb);
    return long(current->callbacks.size()) == cancelAt ? -1 : 0;
}

UnzDllExecFunction Entry()
{
    static UnzDllExecFunction exec = [] {
        void* handle = dlopen(UNZDLL_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            throw std::runtime_error(dlerror());
        return reinterpret_cast<UnzDllExecFunction>(dlsym(handle, "UnzDllExec"));
    }();
    return exec;
}

// This process's scratch folder, removed when the process ends.
struct Scratch {
    std::string dir;
    Scratch() : dir(fs::temp_directory_path() / ("unzdll_tests." + std::to_string(getpid())))
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const std::string& Root()
{
    static Scratch scratch;
    return scratch.dir;
}

}  // namespace

std::vector<Callback> Result::Messages(bool errorsOnly) const
{
    std::vector<Callback> out;
    for (const auto& cb : callbacks)
        if (cb.action >= ZCB_MESSAGE && (!errorsOnly || cb.error > 0))
            out.push_back(cb);
    return out;
}

int Result::Count(int action) const
{
    return int(std::count_if(callbacks.begin(), callbacks.end(), [&](const Callback& c) { return c.action == action; }));
}

std::string Result::Dump() const
{
    std::ostringstream s;
    s << "count " << count << "\n";
    for (const auto& cb : callbacks)
        if (cb.action != ZCB_FILE_STEP)
            s << cb.action << " " << cb.error << " " << cb.size << " " << cb.text << "\n";
    return s.str();
}

const std::string& ArchiveDir()
{
    // Made once per build tree and shared by every test process (ctest runs
    // each test on its own); a lock keeps parallel runs from racing, and a
    // newer script (or archive builder module) makes them again.
    static std::string dir = [] {
        std::string d = std::string(ARCHIVES_DIR);
        fs::create_directories(d);
        int lock = open((d + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
        flock(lock, LOCK_EX);
        std::string stamp = d + "/.complete";
        bool fresh = fs::exists(stamp) && fs::last_write_time(stamp) >= fs::last_write_time(MAKE_ARCHIVES_SCRIPT) &&
                     fs::last_write_time(stamp) >= fs::last_write_time(ZIPBYTES_MODULE);
        if (!fresh) {
            fs::remove_all(d);
            fs::create_directories(d);
            std::string cmd = std::string(PYTHON_EXECUTABLE) + " " + MAKE_ARCHIVES_SCRIPT + " " + d;
            if (std::system(cmd.c_str()) != 0) {
                close(lock);
                throw std::runtime_error("make_archives.py failed");
            }
            WriteFile(stamp, "");
        }
        close(lock);
        return d;
    }();
    return dir;
}

std::string Archive(const std::string& name) { return ArchiveDir() + "/" + name; }

const std::string& Password()
{
    static std::string p = "s3cret pass";
    return p;
}

Result Exec(const std::string& archive, const std::string& target, const Options& o)
{
    auto record = std::make_unique<UnzCommandRecord>();
    std::memset(record.get(), 0, sizeof(*record));
    record->Caller = &callerTag;
    record->RecordVersion = ZREC_RECORD_VERSION;
    record->CallbackAddress = Record;
    record->TraceOn = o.trace ? -1 : 0;
    record->VerboseOn = (o.verbose || o.trace) ? -1 : 0;
    record->TestOn = o.test ? -1 : 0;
    record->Reserved40 = -1;
    record->UpdateOn = o.update ? -1 : 0;
    record->FreshenOn = o.freshen ? -1 : 0;
    record->DirNamesOn = o.dirNames ? -1 : 0;
    record->OverwriteOn = o.overwrite ? -1 : 0;
    record->TrailerMark = ZREC_TRAILER_MARK;
    // Buffers of exactly the caller's capacities, so reading past them shows.
    auto archiveBuf = std::make_unique<char[]>(ZREC_TEXT_CAPACITY);
    std::strncpy(archiveBuf.get(), archive.c_str(), ZREC_TEXT_CAPACITY - 1);
    auto passwordBuf = std::make_unique<char[]>(ZREC_PASSWORD_CAPACITY);
    std::strncpy(passwordBuf.get(), o.password.c_str(), ZREC_PASSWORD_CAPACITY - 1);
    record->ArchiveName = archiveBuf.get();
    record->PasswordText = passwordBuf.get();
    std::vector<std::unique_ptr<char[]>> specs;
    for (const auto& s : o.specs) {
        specs.push_back(std::make_unique<char[]>(ZREC_TEXT_CAPACITY));
        std::strncpy(specs.back().get(), s.c_str(), ZREC_TEXT_CAPACITY - 1);
        record->SpecTexts[record->SpecCount++] = specs.back().get();
    }
    if (o.tweak)
        o.tweak(*record);

    Result result;
    current = &result;
    cancelAt = o.cancelAt;
    std::string saved = fs::current_path();
    if (!target.empty())
        fs::current_path(target);
    result.count = Entry()(record.get());
    fs::current_path(saved);
    current = nullptr;
    return result;
}

std::string FreshDir(const std::string& name)
{
    std::string d = Root() + "/" + name;
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

std::vector<std::pair<std::string, std::string>> ReadTree(const std::string& root)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it)
        if (it->is_regular_file() && !it->is_symlink())
            out.emplace_back(fs::relative(it->path(), root).string(), ReadFile(it->path()));
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> ListAll(const std::string& root)
{
    std::vector<std::string> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it)
        out.push_back(fs::relative(it->path(), root).string());
    std::sort(out.begin(), out.end());
    return out;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& path, const std::string& data)
{
    std::ofstream f(path, std::ios::binary);
    f << data;
}

std::string Shell(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

}  // namespace unztest
