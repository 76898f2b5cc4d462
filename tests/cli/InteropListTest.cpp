// Archives written by real clients (zip, Python's zipfile) list the same
// names, sizes and CRCs that unzip's zipinfo mode reports.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "CliRunner.h"

namespace {

struct Row {
    std::string Name, Compressed, Uncompressed, Crc;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r)
{
    return os << r.Name << " " << r.Compressed << " " << r.Uncompressed << " " << r.Crc;
}

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::string AfterColon(const std::string& line)
{
    std::string v = Trim(line.substr(line.find(':') + 1));
    const auto space = v.find(' ');
    return space == std::string::npos ? v : v.substr(0, space);
}

std::vector<Row> ZipinfoRows(const std::string& archive)
{
    std::string out;
    EXPECT_EQ(fixture::RunCommand("unzip -Zv " + ShellQuote(archive), &out), 0);
    std::vector<Row> rows;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Central directory entry #", 0) == 0) {
            std::getline(in, line);  // dashes
            std::getline(in, line);  // blank
            std::getline(in, line);
            if (line.find("There are an extra") != std::string::npos) {
                // A data descriptor stands before this member's header.
                std::getline(in, line);  // blank
                std::getline(in, line);
            }
            rows.push_back(Row{line.substr(2), "", "", ""});
        } else if (line.find("32-bit CRC value (hex):") != std::string::npos) {
            rows.back().Crc = AfterColon(line);
        } else if (line.find("  compressed size:") == 0) {
            rows.back().Compressed = AfterColon(line);
        } else if (line.find("  uncompressed size:") == 0) {
            rows.back().Uncompressed = AfterColon(line);
        }
    }
    return rows;
}

std::vector<Row> FernpackRows(const std::string& archive)
{
    CliResult r = RunCli("list --tsv " + ShellQuote(archive));
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::vector<Row> rows;
    std::istringstream in(r.Out);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> f;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '\t'))
            f.push_back(field);
        if (f.size() != 7) {
            ADD_FAILURE() << "bad line " << line;
            continue;
        }
        rows.push_back(Row{f[0], f[1], f[2], f[4]});
    }
    return rows;
}

class InteropList : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string src = dir / "src";
        ASSERT_EQ(fixture::RunCommand("mkdir -p " + ShellQuote(src + "/sub/deeper") + " && cd " + ShellQuote(src) +
                                      " && seq 1 30000 > numbers.txt && head -c 50000 /dev/urandom > random.bin"
                                      " && : > empty.txt && echo deep > sub/deeper/deep.txt && echo s > sub/s.txt"),
                  0);
    }
    fixture::TempDir dir;
};

}  // namespace

TEST_F(InteropList, ArchivesMadeByZip)
{
    for (const std::string level : {"-0", "-6", "-9"}) {
        const std::string archive = dir / ("zip" + level + ".zip");
        ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(dir / "src") + " && zip -q -r " + level + " " +
                                      ShellQuote(archive) + " ."),
                  0);
        const auto expected = ZipinfoRows(archive);
        ASSERT_GE(expected.size(), 7u);
        EXPECT_EQ(FernpackRows(archive), expected) << level;
    }
}

TEST_F(InteropList, ArchivesMadeByPythonZipfile)
{
    ASSERT_EQ(fixture::RunCommand("python3 " + ShellQuote(INTEROP_SCRIPT) + " " + ShellQuote(dir.Path())), 0);
    for (const std::string name : {"py-mixed.zip", "py-many.zip"}) {
        const auto expected = ZipinfoRows(dir / name);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(FernpackRows(dir / name), expected) << name;
    }
}

TEST_F(InteropList, ZipArchiveBehindAStubListsTheSame)
{
    const std::string archive = dir / "plain.zip";
    ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(dir / "src") + " && zip -q -r " + ShellQuote(archive) + " ."), 0);
    const std::string program = dir / "program.exe";
    ASSERT_EQ(fixture::RunCommand("head -c 20000 /dev/zero | tr '\\0' 'S' > " + ShellQuote(program) + " && cat " +
                                  ShellQuote(archive) + " >> " + ShellQuote(program)),
              0);
    EXPECT_EQ(FernpackRows(program), ZipinfoRows(archive));
    CliResult r = RunCli("list --tsv " + ShellQuote(program));
    EXPECT_EQ(r.Out.rfind("#first-header-offset\t20000\n", 0), 0u) << r.Out;
}

// Archives written to a stream that cannot seek back (flag bit 3, sizes in
// data descriptors), and archives whose local headers hold their sizes in
// Zip64 fields (all ones in the 32-bit fields): the listing matches the
// central directory member by member, and test and extract handle exactly
// the members listed.
TEST_F(InteropList, StreamedAndZip64ArchivesListTestAndExtractAlike)
{
    ASSERT_EQ(fixture::RunCommand("python3 " + ShellQuote(INTEROP_SCRIPT) + " " + ShellQuote(dir.Path())), 0);
    const std::string src = ShellQuote(dir / "src");
    const std::vector<std::pair<std::string, std::string>> writers = {
        {"zip-pipe.zip", "cd " + src + " && zip -q -r - . | cat > %s"},
        {"zip-stdin64.zip", "cat " + src + "/numbers.txt | zip -q - - | cat > %s"},
        {"zip-stdin32.zip", "cat " + src + "/random.bin | zip -q -fz- - - | cat > %s"},
        {"py-streamed.zip", ""},
        // As zip writes members of 4 GiB and more, forced on small ones.
        {"zip-zip64.zip", "cd " + src + " && zip -q -r -fz %s ."},
        // As 7-Zip writes input of unknown size.
        {"7zz-stdin.zip", "cat " + src + "/numbers.txt | 7zz a -tzip -sinumbers.txt %s >/dev/null"},
    };
    for (const auto& [name, writer] : writers) {
        SCOPED_TRACE(name);
        const std::string archive = dir / name;
        if (!writer.empty()) {
            std::string command = writer;
            command.replace(command.find("%s"), 2, ShellQuote(archive));
            ASSERT_EQ(fixture::RunCommand(command), 0);
        }
        const auto expected = ZipinfoRows(archive);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(FernpackRows(archive), expected);
        const std::string n = std::to_string(expected.size());

        CliResult tested = RunCli("test " + ShellQuote(archive));
        EXPECT_EQ(tested.Status, 0) << tested.Out << tested.Err;
        EXPECT_EQ(tested.Out.rfind("OK: " + n + " file", 0), 0u) << tested.Out;

        const std::string out = dir / (name + ".out"), ref = dir / (name + ".ref");
        CliResult extracted = RunCli("extract -d " + ShellQuote(out) + " " + ShellQuote(archive));
        EXPECT_EQ(extracted.Status, 0) << extracted.Err;
        EXPECT_NE(extracted.Out.find(n + " file"), std::string::npos) << extracted.Out;
        ASSERT_EQ(fixture::RunCommand("unzip -q " + ShellQuote(archive) + " -d " + ShellQuote(ref)), 0);
        EXPECT_EQ(fixture::RunCommand("diff -r " + ShellQuote(ref) + " " + ShellQuote(out)), 0);
    }
}
