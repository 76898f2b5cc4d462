#include "SfxProgram.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>

#include <sys/stat.h>

#include "engine/SfxHeader.h"

namespace sfxtest {

using namespace engine;

std::string StubBytes()
{
    static const std::string stub = fixture::ReadFile(ZIPSFX_PATH);
    if (stub.empty())
        throw std::runtime_error("cannot read " ZIPSFX_PATH);
    return stub;
}

std::string HeaderBytes(const Settings& s)
{
    SFXOpts options;
    options.Set(SFXOptsEnum::SFXAskCmdLine, s.bits & kAskCommandLine);
    options.Set(SFXOptsEnum::SFXAskFiles, s.bits & kAskFiles);
    options.Set(SFXOptsEnum::SFXHideOverWriteBox, s.bits & kHideOverwrite);
    OvrOpts mode = (s.bits & kOverwriteAlways) ? OvrOpts::OvrAlways
                   : (s.bits & kOverwriteNever) ? OvrOpts::OvrNever
                                                : OvrOpts::OvrConfirm;
    auto header = BuildSfxHeader(options, mode, s.caption, s.defaultDir, s.commandLine);
    return std::string(reinterpret_cast<const char*>(header.data()), header.size());
}

std::string WriteProgram(const std::string& path, const Settings& settings, const std::string& archive)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    std::string bytes = StubBytes() + HeaderBytes(settings) + archive;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    chmod(path.c_str(), 0755);
    return path;
}

std::string WriteEmptyProgram(const std::string& path, const Settings& settings, bool fixedOffset)
{
    auto record = EmptyEndRecord();
    if (fixedOffset) {
        record[16] = 0x00;
        record[17] = 0x99;
    }
    return WriteProgram(path, settings, std::string(reinterpret_cast<const char*>(record.data()), record.size()));
}

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

RunOutput RunProgram(const std::string& program, const std::string& arguments, const std::string& cwd,
                     const std::string& input, const std::string& tmpDir)
{
    static int counter = 0;
    std::string inputFile = std::filesystem::temp_directory_path().string() + "/fernpack-sfx-input-" +
                            std::to_string(::getpid()) + "-" + std::to_string(++counter);
    {
        std::FILE* f = std::fopen(inputFile.c_str(), "wb");
        std::fwrite(input.data(), 1, input.size(), f);
        std::fclose(f);
    }
    std::string command = "cd " + Quote(cwd) + " && ";
    if (!tmpDir.empty())
        command += "TMPDIR=" + Quote(tmpDir) + " ";
    command += Quote(program) + " " + arguments + " < " + Quote(inputFile) + " 2>&1";
    RunOutput out;
    out.exitCode = fixture::RunCommand(command, &out.text);
    std::remove(inputFile.c_str());
    return out;
}

std::string MakeSourceTree(const fixture::TempDir& root)
{
    std::string numbers;
    for (int i = 0; i < 20000; ++i)
        numbers += std::to_string(i) + "\n";
    std::mt19937 rng(7);
    std::string random(70000, '\0');
    for (char& c : random)
        c = char(rng());
    root.Write("src/readme.txt", "Read me first.\n");
    root.Write("src/docs/numbers.txt", numbers);
    root.Write("src/docs/deep/leaf.txt", "leaf\n");
    root.Write("src/bin/random.bin", random);
    root.Write("src/empty.txt", "");
    return root / "src";
}

std::string ZipFolder(const std::string& folder, const std::string& zipOptions)
{
    std::string archive = folder + ".zip";
    std::remove(archive.c_str());
    std::string output;
    int rc = fixture::RunCommand("cd " + Quote(folder) + " && zip -qr -X " + zipOptions + " " + Quote(archive) + " .",
                                 &output);
    if (rc != 0)
        throw std::runtime_error("zip failed: " + output);
    return fixture::ReadFile(archive);
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool IsSymlink(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace sfxtest
