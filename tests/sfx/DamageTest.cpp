// Damaged and hostile self-extracting programs: the stub says what is wrong
// and writes nothing outside its target folder, never leaves a partly
// written or unchecked file, never creates a symbolic link and never
// follows one that is already there.
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "SfxProgram.h"
#include "TempDir.h"
#include "PackedData.h"
#include "ZipFixture.h"

using namespace sfxtest;
namespace fs = std::filesystem;

namespace {

// Nothing but `expected` (names relative to `folder`) is in `folder`.
void ExpectOnly(const std::string& folder, std::set<std::string> expected)
{
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        std::string rel = fs::relative(item.path(), folder).string();
        EXPECT_TRUE(expected.erase(rel)) << "unexpected " << rel;
    }
    EXPECT_TRUE(expected.empty()) << "missing " << *expected.begin();
}

class DamagedProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_.Write("src/readme.txt", "Read me first.\n");
        std::string numbers;
        for (int i = 0; i < 5000; ++i)
            numbers += std::to_string(i) + "\n";
        root_.Write("src/numbers.txt", numbers);
        archive_ = ZipFolder(root_ / "src");
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "outside");
    }

    std::string Program(const std::string& bytes)
    {
        const std::string path = root_.Write("work/setup.exe", bytes);
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    RunOutput Run(const std::string& program, const std::string& args)
    {
        return RunProgram(program, args, root_ / "work");
    }

    // The program bytes with one byte of `name`'s data changed.
    std::string WithDamagedData(const std::string& name)
    {
        std::string bytes = StubBytes() + HeaderBytes(Settings{}) + archive_;
        std::size_t at = bytes.find(name, StubBytes().size() + 256);  // the local header's copy
        std::size_t header = at - 30;
        std::size_t data = at + name.size() + std::uint8_t(bytes[header + 28]) + 256 * std::uint8_t(bytes[header + 29]);
        bytes[data + 20] ^= 0x55;
        return bytes;
    }

    fixture::TempDir root_;
    std::string archive_;
};

TEST_F(DamagedProgramTest, ATruncatedProgramIsReportedAndNothingIsWritten)
{
    std::string bytes = StubBytes() + HeaderBytes(Settings{}) + archive_;
    bytes.resize(bytes.size() - archive_.size() / 2);
    RunOutput out = Run(Program(bytes), "--yes -d dest");
    EXPECT_EQ(out.exitCode, 3) << out.text;
    EXPECT_NE(out.text.find("no archive can be read"), std::string::npos) << out.text;
    EXPECT_FALSE(Exists(root_ / "work/dest"));
}

TEST_F(DamagedProgramTest, AMissingOrDamagedSettingsHeaderIsReported)
{
    RunOutput out = Run(Program(StubBytes() + std::string(256, '\0') + archive_), "--list");
    EXPECT_EQ(out.exitCode, 3);
    EXPECT_NE(out.text.find("settings header in front of the archive is missing"), std::string::npos) << out.text;

    std::string header = HeaderBytes(Settings{});
    header[4] = char(200);
    header[5] = char(40);
    header[6] = char(10);  // 7 + 250 bytes of texts: past the header's end
    out = Run(Program(StubBytes() + header + archive_), "--list");
    EXPECT_EQ(out.exitCode, 3);
    EXPECT_NE(out.text.find("texts run past its end"), std::string::npos) << out.text;
}

TEST_F(DamagedProgramTest, AHeaderOfFullTextsIsRead)
{
    Settings s;
    s.caption = std::string(100, 'c');
    s.defaultDir = std::string(100, 'd');
    s.commandLine = std::string(48, ' ') + "x";  // 249 in all, to the header's last byte
    RunOutput out = Run(Program(StubBytes() + HeaderBytes(s) + archive_), "--list");
    EXPECT_EQ(out.exitCode, 0) << out.text;
    EXPECT_NE(out.text.find(s.caption), std::string::npos);
}

TEST_F(DamagedProgramTest, ADamagedMemberIsNotWrittenAndStopsTheCommand)
{
    std::string bytes = WithDamagedData("numbers.txt");
    const std::string program = Program(bytes);
    RunOutput out = Run(program, "--test");
    EXPECT_EQ(out.exitCode, 1) << out.text;
    EXPECT_NE(out.text.find("numbers.txt"), std::string::npos);

    std::string header = HeaderBytes(Settings{0, "", "", "touch|><ran"});
    bytes.replace(StubBytes().size(), 256, header);
    out = Run(Program(bytes), "--yes -d dest");
    EXPECT_EQ(out.exitCode, 1) << out.text;
    EXPECT_NE(out.text.find("command was not run"), std::string::npos) << out.text;
    // Neither the damaged file nor a temporary file is left; the good one is there.
    ExpectOnly(root_ / "work/dest", {"readme.txt"});
}

TEST_F(DamagedProgramTest, HostileNamesAndLinksStayInsideTheTarget)
{
    const std::string absolute = root_ / "outside/absolute.txt";
    const std::string archive = root_ / "hostile.zip";
    ASSERT_EQ(fixture::RunCommand(std::string(PYTHON_EXECUTABLE) + " " + Quote(HOSTILE_ARCHIVE_SCRIPT) + " " +
                                  Quote(archive) + " " + Quote(absolute) + " " + Quote(root_ / "outside")),
              0);
    fs::create_directories(root_ / "work/dest");
    RunOutput out = Run(Program(StubBytes() + HeaderBytes(Settings{}) + fixture::ReadFile(archive)),
                        "--yes -d dest");
    EXPECT_EQ(out.exitCode, 1) << out.text;
    EXPECT_NE(out.text.find("refused"), std::string::npos) << out.text;
    ExpectOnly(root_ / "outside", {});
    ExpectOnly(root_ / "work/dest", {"good.txt", "outlink", "outlink/through.txt"});
    EXPECT_FALSE(IsSymlink(root_ / "work/dest/outlink"));
    EXPECT_FALSE(Exists(root_ / "work/escape.txt"));
    EXPECT_FALSE(Exists(root_ / "escape2.txt"));
}

TEST_F(DamagedProgramTest, LinksAlreadyInTheTargetAreNeverFollowed)
{
    const std::string dest = root_ / "work/dest";
    fs::create_directories(dest);
    root_.Write("outside/target.txt", "precious\n");
    // A folder link out of the target, and a file link in place of a member.
    root_.Write("src/sub/inner.txt", "inner\n");
    const std::string archive = ZipFolder(root_ / "src");
    fs::create_directory_symlink(root_ / "outside", dest + "/sub");
    fs::create_symlink(root_ / "outside/target.txt", dest + "/readme.txt");

    Settings s;
    s.bits = kOverwriteAlways;
    RunOutput out = Run(Program(StubBytes() + HeaderBytes(s) + archive), "--yes -d dest");
    EXPECT_EQ(out.exitCode, 1) << out.text;
    EXPECT_NE(out.text.find("symbolic link"), std::string::npos) << out.text;
    ExpectOnly(root_ / "outside", {"target.txt"});
    EXPECT_EQ(fixture::ReadFile(root_ / "outside/target.txt"), "precious\n");
    // The link itself was replaced by the member, not written through.
    EXPECT_FALSE(IsSymlink(dest + "/readme.txt"));
    EXPECT_EQ(fixture::ReadFile(dest + "/readme.txt"), "Read me first.\n");
    EXPECT_TRUE(IsSymlink(dest + "/sub"));
}

TEST_F(DamagedProgramTest, ControlCharactersInNamesNeverReachTheTerminal)
{
    fixture::ZipBuilder zip;
    zip.Add(fixture::Stored("\x1b]0;owned\x07\x1b[2Jname.txt", "data\n")).Finish();
    Settings s;
    s.caption = "Setup\x1b[31m";
    RunOutput out = Run(Program(StubBytes() + HeaderBytes(s) + zip.Bytes()), "--yes -d dest");
    EXPECT_EQ(out.text.find('\x1b'), std::string::npos) << out.text;
    EXPECT_EQ(out.text.find('\x07'), std::string::npos) << out.text;
    // Shown as the window and fernpack-cli show them.
    EXPECT_NE(out.text.find("\\x1b]0;owned\\x07\\x1b[2Jname.txt"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("Setup\\x1b[31m"), std::string::npos) << out.text;
}

TEST_F(DamagedProgramTest, NamesThatDifferAndSharedDataWriteNothing)
{
    // A local header that says README.txt under a directory entry that says
    // .profile; fifty directory entries over one member's data.
    fixture::Member renamed = fixture::Stored("README.txt", "harmless\n");
    renamed.CentralName = ".profile";
    fixture::ZipBuilder zip;
    zip.Add(renamed).Add(fixture::Stored("bomb", std::string(50000, 'z'))).Add(fixture::Stored("good.txt", "g"));
    for (int i = 1; i < 50; ++i)
        zip.Alias(1, "bomb" + std::to_string(i));
    const std::string program = Program(StubBytes() + HeaderBytes(Settings{}) + zip.Finish().Bytes());

    RunOutput out = Run(program, "--yes -d dest");
    EXPECT_EQ(out.exitCode, 1) << out.text;
    EXPECT_NE(out.text.find("local and central names differ"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("probable zip bomb"), std::string::npos) << out.text;
    ExpectOnly(root_ / "work/dest", {"good.txt"});

    out = Run(program, "--test");
    EXPECT_EQ(out.exitCode, 1) << out.text;
    EXPECT_NE(out.text.find("local and central names differ"), std::string::npos) << out.text;
}

}  // namespace

// The stub carries stored and deflate only: a member packed otherwise is
// named with its method and skipped, never written even in part, the rest
// is extracted, and the exit code is the damaged-program one.
TEST_F(DamagedProgramTest, AMemberInAnotherMethodIsNamedAndSkipped)
{
    const std::string text(5000, 'b');
    fixture::ZipBuilder zip;
    zip.Add(fixture::Stored("first.txt", "first\n"))
        .Add(fixture::Packed("packed.bz2", text, 12, fixture::Bzip2Pack(text)))
        .Add(fixture::Stored("last.txt", "last\n"))
        .Finish();
    Settings settings;
    settings.commandLine = "true";
    const std::string program = Program(StubBytes() + HeaderBytes(settings) + zip.Bytes());
    RunOutput out = Run(program, "--yes -d dest");
    EXPECT_EQ(out.exitCode, 3) << out.text;
    EXPECT_NE(out.text.find("packed.bz2: BZip2 compression (method 12) is not supported"), std::string::npos)
        << out.text;
    EXPECT_NE(out.text.find("The command was not run"), std::string::npos) << out.text;
    ExpectOnly(root_ / "work/dest", {"first.txt", "last.txt"});

    out = Run(program, "--test");
    EXPECT_EQ(out.exitCode, 3) << out.text;
    EXPECT_NE(out.text.find("BZip2 compression (method 12)"), std::string::npos) << out.text;
}
