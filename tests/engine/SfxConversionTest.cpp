// Self-extracting conversions: the settings header, the stub search, the
// empty mode, byte-exact round trips, and failures that must leave every
// existing file as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <fcntl.h>
#include <unistd.h>

#include "OtherUser.h"
#include "RecordingUiServices.h"
#include "TempDir.h"
#include "ZipFixture.h"
#include "engine/SfxHeader.h"
#include "engine/SfxStub.h"
#include "engine/ZipMstr.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

using namespace engine;

namespace {

using fixture::ReadFile;

class SfxTest : public ::testing::Test {
protected:
    SfxTest() : scope(ui)
    {
        platform::SetInstallFoldersForTesting(dir / "system", dir / "windows");
        z.Unattended = true;
        z.OnMessage = [this](TObject*, std::int32_t code, const std::string& text) {
            messages.push_back(std::to_string(code) + " " + text);
        };
        stubBytes = std::string(3000, 's');
        stub = dir.Write("stubs/ZIPSFX.BIN", stubBytes);
        z.SFXPath = stub;
        archiveBytes = fixture::ZipBuilder()
                           .Add(fixture::Stored("readme.txt", "read me"))
                           .Add(fixture::Stored("dir/data.bin", std::string(5000, 'd')))
                           .Finish()
                           .Bytes();
    }
    ~SfxTest() override { platform::SetInstallFoldersForTesting("/usr/local/lib/fernpack", "/usr/lib/fernpack"); }

    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Pending input, processed after each block copied: the tests' window
    // into a running conversion.
    struct Ui : fixture::RecordingUiServices {
        std::function<void()> OnProcessMessages;
        void ProcessMessages() override
        {
            RecordingUiServices::ProcessMessages();
            if (OnProcessMessages)
                OnProcessMessages();
        }
    } ui;
    platform::ScopedUi scope;
    fixture::TempDir dir;
    TRezEdidiv z;
    std::vector<std::string> messages;
    std::string stubBytes, stub, archiveBytes;
};

}  // namespace

TEST(SfxHeader, LayoutAndOptionBits)
{
    EXPECT_EQ(SfxOptionBits(SFXOpts{SFXOptsEnum::SFXAskCmdLine, SFXOptsEnum::SFXAskFiles,
                                    SFXOptsEnum::SFXHideOverWriteBox},
                            OvrOpts::OvrNever),
              23);
    EXPECT_EQ(SfxOptionBits(SFXOpts{}, OvrOpts::OvrConfirm), 0);
    EXPECT_EQ(SfxOptionBits(SFXOpts{SFXOptsEnum::SFXAskFiles}, OvrOpts::OvrAlways), 10);

    auto h = BuildSfxHeader(SFXOpts{}, OvrOpts::OvrConfirm, "", "", "");
    EXPECT_EQ(std::string(h.begin(), h.begin() + 3), "MPU");
    EXPECT_TRUE(std::all_of(h.begin() + 3, h.end(), [](std::uint8_t b) { return b == 0; }));

    h = BuildSfxHeader(SFXOpts{}, OvrOpts::OvrAlways, std::string(100, 'c'), std::string(100, 'd'),
                       std::string(48, 'e') + "!");
    EXPECT_EQ(h[4], 100);
    EXPECT_EQ(h[5], 100);
    EXPECT_EQ(h[6], 49);
    EXPECT_EQ(h[7], 'c');
    EXPECT_EQ(h[107], 'd');
    EXPECT_EQ(h[207], 'e');
    EXPECT_EQ(h[255], '!');  // 249 characters fill the header to its last byte

    const auto end = EmptyEndRecord();
    EXPECT_EQ(std::string(end.begin(), end.end()), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

TEST_F(SfxTest, ConvertsAndConvertsBackByteForByte)
{
    const std::string zip = dir.Write("Archive.Zip", archiveBytes);
    z.SFXCaption = "My caption";
    z.SFXCommandLine = "notepad|><readme.txt";
    z.SFXOptions = SFXOpts{SFXOptsEnum::SFXAskFiles};
    z.SetZipFilename(zip);
    ASSERT_EQ(z.ConvertSFX(), 0);
    const std::string exe = dir / "Archive.exe";
    EXPECT_EQ(z.ZipFilename(), exe);
    EXPECT_FALSE(platform::FileExists(zip));
    const std::string program = ReadFile(exe);
    ASSERT_EQ(program.size(), stubBytes.size() + 256 + archiveBytes.size());
    EXPECT_EQ(program.substr(0, stubBytes.size()), stubBytes);
    EXPECT_EQ(program.substr(stubBytes.size(), 3), "MPU");
    EXPECT_EQ(program[stubBytes.size() + 3], 2);
    EXPECT_EQ(program.substr(stubBytes.size() + 7, 10), "My caption");
    EXPECT_EQ(program.substr(stubBytes.size() + 256), archiveBytes);
    EXPECT_EQ(z.EntryCount(), 2);
    EXPECT_EQ(z.FirstHeaderOffset, static_cast<std::int32_t>(stubBytes.size() + 256));
    struct stat st;
    ASSERT_EQ(::stat(exe.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    EXPECT_TRUE(messages.empty());

    ASSERT_EQ(z.ConvertZip(), 0);
    EXPECT_EQ(z.ZipFilename(), dir / "Archive.zip");
    EXPECT_EQ(ReadFile(dir / "Archive.zip"), archiveBytes);
    EXPECT_FALSE(platform::FileExists(exe));
    EXPECT_EQ(z.EntryCount(), 2);
    EXPECT_EQ(Files(), (std::vector<std::string>{"Archive.zip", "stubs"}));
}

TEST_F(SfxTest, TextLimitIs249)
{
    z.SetZipFilename(dir.Write("a.zip", archiveBytes));
    z.SFXCaption = std::string(100, 'c');
    z.SFXDefaultDir = std::string(100, 'd');
    z.SFXCommandLine = std::string(50, 'e');
    EXPECT_EQ(z.ConvertSFX(), -3);
    EXPECT_EQ(messages, std::vector<std::string>{"801 Error - The total size of the 3 text properties exceeds 249!\r\n"
                                                 "SFXCaption + SFXDefaultDir + SFXCommandLine = 250"});
    z.SFXCommandLine.pop_back();
    EXPECT_EQ(z.ConvertSFX(), 0);
    EXPECT_EQ(ReadFile(dir / "a.exe")[stubBytes.size() + 255], 'e');
}

TEST_F(SfxTest, WrongOrMissingInputs)
{
    z.SetZipFilename(dir / "none.zip");
    EXPECT_EQ(z.ConvertSFX(), -3);
    EXPECT_EQ(z.ConvertZip(), -3);
    z.SetZipFilename(dir.Write("noext", archiveBytes));
    EXPECT_EQ(z.ConvertSFX(), -3);
    EXPECT_EQ(z.ConvertZip(), -3);
    // A program in which no member header was found.
    z.SetZipFilename(dir.Write("plain.exe", std::string(500, 'x')));
    EXPECT_EQ(z.ConvertZip(), -3);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "102 Error - no zip file specified", "807 Error - no .EXE filename specified",
                            "803 Error: input file is not a zip file", "902 Error: input file is not an .EXE file",
                            "1036 No valid zip entries found 1", "903 Error determining the type of SFX archive"}));
    EXPECT_EQ(Files(), (std::vector<std::string>{"noext", "plain.exe", "stubs"}));
}

TEST_F(SfxTest, StubSearchOrder)
{
    z.SetZipFilename(dir.Write("a.zip", archiveBytes));
    // Any file named by SFXPath is the stub.
    z.SFXPath = dir.Write("stubs/other-name", "OTHER");
    ASSERT_EQ(z.ConvertSFX(), 0);
    EXPECT_EQ(ReadFile(dir / "a.exe").substr(0, 5), "OTHER");

    // Nothing anywhere: the last candidate tried stays in SFXPath. A stub in
    // the current folder (where an extraction may have put an archive's
    // own "ZIPSFX.BIN") is never taken.
    ASSERT_EQ(z.ConvertZip(), 0);
    dir.Write("cwd/ZIPSFX.BIN", "PLANTED");
    const std::string before = platform::GetCurrentDir();
    ASSERT_TRUE(platform::SetCurrentDir(dir / "cwd"));
    z.SFXPath.clear();
    EXPECT_EQ(z.ConvertSFX(), -3);
    EXPECT_EQ(messages.back(), "802 Error - ZIPSFX.BIN not found");
    EXPECT_EQ(z.SFXPath, dir / "windows/ZIPSFX.BIN");
    z.SetDLLDirectory(dir / "dlls");
    EXPECT_EQ(z.ConvertSFX(), -3);
    EXPECT_EQ(z.SFXPath, dir / "dlls/ZIPSFX.BIN");
    platform::SetCurrentDir(before);

    // Found in the second install folder.
    dir.Write("windows/ZIPSFX.BIN", "WINDOWS");
    z.SFXPath.clear();
    ASSERT_EQ(z.ConvertSFX(), 0);
    EXPECT_EQ(z.SFXPath, dir / "windows/ZIPSFX.BIN");
    ASSERT_EQ(z.ConvertZip(), 0);
    // The system folder comes before it.
    dir.Write("system/ZIPSFX.BIN", "SYSTEM");
    z.SFXPath.clear();
    ASSERT_EQ(z.ConvertSFX(), 0);
    EXPECT_EQ(z.SFXPath, dir / "system/ZIPSFX.BIN");
}

TEST_F(SfxTest, EmptyModeWritesStubHeaderAndEndRecord)
{
    const std::string exe = dir / "new.exe";
    z.SetZipFilename(exe);
    z.CreatingEmptySfx = true;
    ASSERT_EQ(z.ConvertSFX(), 0);
    z.CreatingEmptySfx = false;
    EXPECT_EQ(z.ZipFilename(), exe);
    const std::string program = ReadFile(exe);
    ASSERT_EQ(program.size(), stubBytes.size() + 256 + 22);
    const auto end = EmptyEndRecord();
    EXPECT_EQ(program.substr(program.size() - 22), std::string(end.begin(), end.end()));
    // Tools that read the program find a sound empty archive behind the
    // stub (unzip only warns of the stub in front, as for every program).
    std::string out;
    if (fixture::RunCommand("command -v unzip >/dev/null") == 0) {
        EXPECT_EQ(fixture::RunCommand("unzip -l " + exe + " 2>&1", &out), 1);
        EXPECT_NE(out.find("zipfile is empty"), std::string::npos) << out;
        EXPECT_EQ(out.find("error"), std::string::npos) << out;
    }
    if (fixture::RunCommand("command -v 7zz >/dev/null") == 0) {
        EXPECT_EQ(fixture::RunCommand("7zz l " + exe + " 2>&1", &out), 0);
        EXPECT_NE(out.find("Offset = " + std::to_string(stubBytes.size() + 256)), std::string::npos) << out;
    }
}

TEST_F(SfxTest, FailedConversionKeepsAFileThatHadTheOutputName)
{
    const std::string zip = dir.Write("a.zip", archiveBytes);
    const std::string exe = dir.Write("a.exe", "precious program");
    z.SetZipFilename(zip);
    // A writer holds the archive: it cannot be opened for the copy.
    const int fd = ::open(zip.c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(z.ConvertSFX(), -3);
    ::close(fd);
    EXPECT_EQ(messages.back(), "806 Error in ConvertSFX");
    EXPECT_EQ(ReadFile(exe), "precious program");
    EXPECT_EQ(ReadFile(zip), archiveBytes);
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.exe", "a.zip", "stubs"}));

    // On success an existing file of the output name is replaced.
    EXPECT_EQ(z.ConvertSFX(), 0);
    EXPECT_EQ(ReadFile(exe).size(), stubBytes.size() + 256 + archiveBytes.size());

    // Converting back fails the same way and keeps an existing a.zip.
    dir.Write("a.zip", "precious archive");
    const int lock = ::open(exe.c_str(), O_RDWR);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    EXPECT_EQ(z.ConvertZip(), -3);
    ::close(lock);
    EXPECT_EQ(messages.back(), "805 Error in ConvertZip");
    EXPECT_EQ(ReadFile(dir / "a.zip"), "precious archive");
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.exe", "a.zip", "stubs"}));
}

TEST_F(SfxTest, CopyingLetsPendingInputThrough)
{
    archiveBytes = fixture::ZipBuilder().Add(fixture::Stored("big", std::string(100000, 'b'))).Finish().Bytes();
    z.SetZipFilename(dir.Write("a.zip", archiveBytes));
    ui.ProcessMessagesCalls = 0;
    ASSERT_EQ(z.ConvertSFX(), 0);
    // One stub block, then one per 8,192 bytes of archive (the last short).
    EXPECT_EQ(ui.ProcessMessagesCalls, 1 + static_cast<int>(archiveBytes.size() / 8192 + 1));
}

namespace {

// Reads of one file fail with EIO from an offset on, as a damaged disk's would.
struct ReadFaultScope {
    static inline struct stat file;
    static inline off_t from = 0;
    ReadFaultScope(const std::string& path, off_t offset)
    {
        EXPECT_EQ(::stat(path.c_str(), &file), 0);
        from = offset;
        platform::SetReadFaultForTesting([](int fd) {
            struct stat st;
            return ::fstat(fd, &st) == 0 && st.st_dev == file.st_dev && st.st_ino == file.st_ino &&
                   ::lseek(fd, 0, SEEK_CUR) >= from;
        });
    }
    ~ReadFaultScope() { platform::SetReadFaultForTesting(nullptr); }
};

}  // namespace

TEST_F(SfxTest, ReadErrorsFailTheConversionAndKeepTheInput)
{
    archiveBytes = fixture::ZipBuilder().Add(fixture::Stored("big", std::string(100000, 'b'))).Finish().Bytes();
    const std::string zip = dir.Write("a.zip", archiveBytes);
    z.SetZipFilename(zip);
    {
        ReadFaultScope fault(zip, 3 * 8192);
        EXPECT_EQ(z.ConvertSFX(), -3);
    }
    EXPECT_EQ(messages.back(), "806 Error in ConvertSFX");
    EXPECT_EQ(ReadFile(zip), archiveBytes);
    EXPECT_EQ(z.ZipFilename(), zip);
    {
        ReadFaultScope fault(stub, 0);  // the stub cannot be read at all
        EXPECT_EQ(z.ConvertSFX(), -3);
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.zip", "stubs"}));

    ASSERT_EQ(z.ConvertSFX(), 0);
    const std::string exe = dir / "a.exe";
    const std::string program = ReadFile(exe);
    messages.clear();
    {
        ReadFaultScope fault(exe, 5 * 8192);
        EXPECT_EQ(z.ConvertZip(), -3);
    }
    EXPECT_EQ(messages, std::vector<std::string>{"805 Error in ConvertZip"});
    EXPECT_EQ(ReadFile(exe), program);
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.exe", "stubs"}));
}

TEST_F(SfxTest, AnInputThatChangesUnderTheCopyFailsTheSizeCheck)
{
    archiveBytes = fixture::ZipBuilder().Add(fixture::Stored("big", std::string(50000, 'b'))).Finish().Bytes();
    const std::string zip = dir.Write("a.zip", archiveBytes);
    z.SetZipFilename(zip);
    // Cut short by another program after the first block of the archive was
    // copied: every byte left is copied, but the program would lack the rest.
    int blocks = 0;
    ui.OnProcessMessages = [&] {
        if (++blocks == 2) {
            ASSERT_EQ(::truncate(zip.c_str(), 20000), 0);
        }
    };
    EXPECT_EQ(z.ConvertSFX(), -9);
    EXPECT_EQ(messages.back(), "806 Error in ConvertSFX");
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.zip", "stubs"}));
}

TEST_F(SfxTest, OutputIsUnnamedUntilItIsComplete)
{
    archiveBytes = fixture::ZipBuilder().Add(fixture::Stored("big", std::string(50000, 'b'))).Finish().Bytes();
    z.SetZipFilename(dir.Write("a.zip", archiveBytes));
    // A conversion killed at any point leaves nothing behind: while it
    // copies, its output has no name in the folder.
    int looks = 0;
    ui.OnProcessMessages = [&] {
        ++looks;
        for (const auto& name : Files())
            EXPECT_NE(name[0], '.') << name;
    };
    ASSERT_EQ(z.ConvertSFX(), 0);
    ASSERT_EQ(z.ConvertZip(), 0);
    EXPECT_GT(looks, 2);
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.zip", "stubs"}));
    // The finished file carries no mark of a temporary file.
    EXPECT_LT(::getxattr((dir / "a.zip").c_str(), "user.fernpack.temporary", nullptr, 0), 0);
}

TEST_F(SfxTest, BlocksOfZerosAreSkippedYetCopiedExactly)
{
    // A stub that ends in zeros and a stored member of zeros: whole 8,192-byte
    // blocks of them become holes, the copies still read back byte for byte.
    stubBytes = "stub" + std::string(20000, '\0');
    stub = dir.Write("stubs/ZIPSFX.BIN", stubBytes);
    archiveBytes = fixture::ZipBuilder()
                       .Add(fixture::Stored("empty.img", std::string(100000, '\0')))
                       .Add(fixture::Stored("after.txt", "after"))
                       .Finish()
                       .Bytes();
    const std::string zip = dir.Write("zeros.zip", archiveBytes);
    z.SetZipFilename(zip);
    ASSERT_EQ(z.ConvertSFX(), 0);
    const std::string program = ReadFile(dir / "zeros.exe");
    EXPECT_EQ(program.substr(0, stubBytes.size()), stubBytes);
    EXPECT_EQ(program.substr(stubBytes.size() + 256), archiveBytes);
    ASSERT_EQ(z.ConvertZip(), 0);
    EXPECT_EQ(ReadFile(dir / "zeros.zip"), archiveBytes);
    EXPECT_TRUE(messages.empty());
}

// A stub is taken only when a listing of the program will find the archive
// behind it, and cutting the program back will cut there: short enough for
// the listing's scan, and without a local header signature of its own.
// Anything else is refused before a file is made or deleted.
TEST_F(SfxTest, OnlyAStubTheListingFindsPastIsTaken)
{
    const std::string signature("PK\x03\x04", 4);
    const struct {
        std::string bytes;
        const char* why;  // empty: taken
    } stubs[] = {
        {std::string(MaxStubSize, 's'), ""},
        {std::string(MaxStubSize, 'P'), ""},  // no byte of it counts twice
        {std::string(MaxStubSize + 1, 's'), "it is larger than 59743 bytes"},
        {std::string(1000, 's') + signature + std::string(1000, 's'), "it holds a ZIP local header signature"},
        {signature, "it holds a ZIP local header signature"},
        {std::string(200000, 'x'), "it is larger than 59743 bytes"},
    };
    for (const auto& s : stubs) {
        SCOPED_TRACE(s.bytes.size());
        fixture::TempDir here;
        z.SFXPath = here.Write("ZIPSFX.BIN", s.bytes);
        const std::string zip = here.Write("a.zip", archiveBytes);
        z.SetZipFilename(zip);
        messages.clear();
        const std::int32_t result = z.ConvertSFX();
        if (*s.why == '\0') {
            ASSERT_EQ(result, 0) << testing::PrintToString(messages);
            EXPECT_EQ(z.EntryCount(), 2);
            EXPECT_EQ(z.FirstHeaderOffset, static_cast<std::int32_t>(s.bytes.size() + 256));
            ASSERT_EQ(z.ConvertZip(), 0);
            EXPECT_EQ(ReadFile(zip), archiveBytes);
            continue;
        }
        EXPECT_EQ(result, -3);
        ASSERT_EQ(messages.size(), 1u);
        const std::string refusal = "808 Error - cannot use this file as ZIPSFX.BIN: " + z.SFXPath + ": " + s.why;
        EXPECT_EQ(messages[0].rfind(refusal, 0), 0u) << messages[0];
        EXPECT_EQ(ReadFile(zip), archiveBytes);
        EXPECT_FALSE(platform::FileExists(here / "a.exe"));
    }
}

// A file its user may not write is neither converted nor deleted.
TEST_F(SfxTest, AReadOnlyFileIsNotConverted)
{
    fixture::OpenToEveryone(dir.Path());
    const std::string zip = dir.Write("ro.zip", archiveBytes);
    z.SetZipFilename(zip);
    ASSERT_EQ(z.ConvertSFX(), 0);
    const std::string exe = dir / "ro.exe";
    const std::string program = ReadFile(exe);
    const std::string plain = dir.Write("plain.zip", archiveBytes);
    for (const std::string& file : {exe, plain})
        ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    messages.clear();
    {
        fixture::OtherUser user;
        if (!user.Reason().empty())
            GTEST_SKIP() << user.Reason();
        z.SetZipFilename(exe);
        EXPECT_EQ(z.ConvertZip(), -3);
        z.SetZipFilename(plain);
        EXPECT_EQ(z.ConvertSFX(), -3);
    }
    const std::string refusal = "105 Error - the file is read-only, so it was left as it is: ";
    EXPECT_EQ(messages, (std::vector<std::string>{refusal + exe, refusal + plain}));
    EXPECT_EQ(ReadFile(exe), program);
    EXPECT_EQ(ReadFile(plain), archiveBytes);
    EXPECT_EQ(Files(), (std::vector<std::string>{"plain.zip", "ro.exe", "stubs"}));
}
