// The rules the stub itself must keep, whatever it carries: small enough to
// sit inside the listing's scan, free of the bytes that scan looks for, and
// loadable with nothing but the C and C++ runtimes and zlib. Its options
// and exit codes are documented and kept.
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "SfxProgram.h"
#include "TempDir.h"

using namespace sfxtest;

TEST(StubRules, FitsBeforeTheListingScanAndHoldsNoLocalHeaderSignature)
{
    const std::string stub = StubBytes();
    EXPECT_LE(stub.size(), 59000u);
    EXPECT_EQ(stub.find(std::string("PK\x03\x04", 4)), std::string::npos);
}

// The build-time check itself: it must fail the build (and remove the file)
// for a stub too long or holding the signature at any byte offset, and must
// not be fooled by the signature's hex digits straddling two bytes.
TEST(StubRules, TheBuildCheckRefusesBadStubs)
{
    fixture::TempDir dir;
    auto check = [&](const std::string& bytes, int limit) {
        const std::string path = dir.Write("stub.bin", bytes);
        std::string output;
        int rc = fixture::RunCommand(std::string(CMAKE_EXECUTABLE) + " -DSTUB=" + Quote(path) +
                                         " -DLIMIT=" + std::to_string(limit) + " -P " + Quote(CHECK_STUB_SCRIPT) +
                                         " 2>&1",
                                     &output);
        EXPECT_EQ(rc == 0, Exists(path)) << output;
        return rc == 0;
    };
    const std::string signature("PK\x03\x04", 4);
    EXPECT_TRUE(check(std::string(100, 'x'), 100));
    EXPECT_FALSE(check(std::string(101, 'x'), 100));
    EXPECT_FALSE(check(signature + std::string(50, 'x'), 100));
    EXPECT_FALSE(check(std::string(51, 'x') + signature, 100));
    // Bytes 05 04 B0 30 4F read "0504b0304f" in hex: no signature in them.
    EXPECT_TRUE(check(std::string("\x05\x04\xb0\x30\x4f", 5) + std::string(40, 'x'), 100));
}

TEST(StubRules, NeedsOnlyTheRuntimesAndZlibToStart)
{
    std::string dynamic;
    ASSERT_EQ(fixture::RunCommand("readelf -dW " + Quote(ZIPSFX_PATH), &dynamic), 0);
    const std::set<std::string> allowed = {"libc.so.6", "libstdc++.so.6", "libgcc_s.so.1", "libm.so.6",
                                           "libz.so.1"};
    std::istringstream lines(dynamic);
    std::string line;
    int needed = 0;
    while (std::getline(lines, line)) {
        // No run path: it would let a program load libraries from wherever it was saved.
        EXPECT_EQ(line.find("RPATH"), std::string::npos) << line;
        EXPECT_EQ(line.find("RUNPATH"), std::string::npos) << line;
        auto open = line.find("Shared library: [");
        if (open == std::string::npos)
            continue;
        std::string name = line.substr(open + 17, line.find(']', open) - open - 17);
        EXPECT_TRUE(allowed.count(name)) << "unexpected load-time library " << name;
        ++needed;
    }
    EXPECT_GT(needed, 0);
}

TEST(StubRules, HelpDocumentsTheOptionsAndExitCodes)
{
    fixture::TempDir dir;
    RunOutput out = RunProgram(ZIPSFX_PATH, "--help", dir.Path());
    EXPECT_EQ(out.exitCode, 0);
    for (const char* text : {"--yes", "-d", "--list", "--test", "Exit codes", "0  done", "3  this program is damaged",
                             "7  cancelled"})
        EXPECT_NE(out.text.find(text), std::string::npos) << text;
}

TEST(StubRules, WrongOptionsAreAUsageError)
{
    fixture::TempDir dir;
    EXPECT_EQ(RunProgram(ZIPSFX_PATH, "--frobnicate", dir.Path()).exitCode, 2);
    EXPECT_EQ(RunProgram(ZIPSFX_PATH, "-d", dir.Path()).exitCode, 2);
    EXPECT_EQ(RunProgram(ZIPSFX_PATH, "--list --test", dir.Path()).exitCode, 2);
}

TEST(StubRules, TheBareStubSaysItCarriesNoArchive)
{
    fixture::TempDir dir;
    RunOutput out = RunProgram(ZIPSFX_PATH, "--yes -d out", dir.Path());
    EXPECT_EQ(out.exitCode, 3);
    EXPECT_NE(out.text.find("no archive"), std::string::npos) << out.text;
    EXPECT_FALSE(Exists(dir / "out"));
}
