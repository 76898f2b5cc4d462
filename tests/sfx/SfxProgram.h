// Self-extracting programs for the stub's tests, made the way the
// conversion makes them: the built ZIPSFX.BIN, the engine's 256-byte
// settings header and an archive, one after the other. And running such a
// program with arguments and piped answers, in a folder of the test's choice.
#pragma once

#include <cstdint>
#include <string>

#include "TempDir.h"

namespace sfxtest {

// Option bits of the settings header.
inline constexpr std::uint8_t kAskCommandLine = 1;
inline constexpr std::uint8_t kAskFiles = 2;
inline constexpr std::uint8_t kHideOverwrite = 4;
inline constexpr std::uint8_t kOverwriteAlways = 8;
inline constexpr std::uint8_t kOverwriteNever = 16;

struct Settings {
    std::uint8_t bits = 0;
    std::string caption = "Test Program";
    std::string defaultDir;
    std::string commandLine;
};

std::string StubBytes();

// The engine's header for `settings`.
std::string HeaderBytes(const Settings& settings);

// Writes stub + header + `archive` to `path`, executable; returns `path`.
std::string WriteProgram(const std::string& path, const Settings& settings, const std::string& archive);

// Stub + header + the engine's 22-byte empty end record, or the one older
// programs carry, with the fixed directory offset 39,168.
std::string WriteEmptyProgram(const std::string& path, const Settings& settings, bool fixedOffset = false);

struct RunOutput {
    int exitCode = -1;
    std::string text;  // stdout and stderr together
};

// Runs `program` with `arguments` (already quoted for the shell) in the
// folder `cwd`, feeding `input` to its standard input; TMPDIR is `tmpDir`
// when not empty.
RunOutput RunProgram(const std::string& program, const std::string& arguments, const std::string& cwd,
                     const std::string& input = "", const std::string& tmpDir = "");

// Quotes `text` for the shell.
std::string Quote(const std::string& text);

// A small tree under `root`/src: readme.txt, a compressible numbers file,
// random bytes, an empty file and a nested folder. Returns the src path.
std::string MakeSourceTree(const fixture::TempDir& root);

// Zips `folder`'s contents with Info-ZIP zip (extra options `zipOptions`)
// and returns the archive's bytes.
std::string ZipFolder(const std::string& folder, const std::string& zipOptions = "");

bool Exists(const std::string& path);
bool IsSymlink(const std::string& path);

}  // namespace sfxtest
