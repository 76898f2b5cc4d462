// Adding to and deleting from archives made by zip, 7zz and Python: their
// other members stay byte for byte as they were (data always; local headers
// too unless they relied on a data descriptor), every local header we leave
// carries sizes and CRC, and the peer tools accept the result. That holds
// for members in methods we never write (Deflate64, BZip2, LZMA) too; each
// peer checks the archives in the methods it reads.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "ZipHarness.h"

using namespace ziptest;
using fixture::RunCommand;
using fixture::TempDir;

namespace {

const char* kPythonPlain =
    "import sys,zipfile\n"
    "with zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED) as z:\n"
    "  z.write('a.txt'); z.write('b.txt'); z.write('sub/c.txt')\n";
// Written to a stream that cannot seek: members get data descriptors.
const char* kPythonStreamed =
    "import sys,zipfile\n"
    "class S:\n"
    "  def __init__(s,f): s.f=f; s.n=0\n"
    "  def write(s,b): s.f.write(b); s.n+=len(b); return len(b)\n"
    "  def tell(s): return s.n\n"
    "  def flush(s): s.f.flush()\n"
    "with open(sys.argv[1],'wb') as f:\n"
    "  with zipfile.ZipFile(S(f),'w',zipfile.ZIP_DEFLATED) as z:\n"
    "    for n in ('a.txt','b.txt','sub/c.txt'):\n"
    "      with open(n,'rb') as src, z.open(n,'w') as dst: dst.write(src.read())\n";
const char* kPythonMethods =
    "import sys,zipfile\n"
    "with zipfile.ZipFile(sys.argv[1],'w') as z:\n"
    "  z.write('a.txt',compress_type=zipfile.ZIP_BZIP2); z.write('b.txt',compress_type=zipfile.ZIP_LZMA)\n"
    "  z.write('sub/c.txt',compress_type=zipfile.ZIP_BZIP2)\n";

struct Maker {
    const char* label;
    std::string command;  // run inside the source folder; %s is the archive
    bool unzipReads = true, pythonReads = true;  // the methods it used
};

std::string Fill(std::string command, const std::string& archive)
{
    std::size_t at;
    while ((at = command.find("%s")) != std::string::npos)
        command.replace(at, 2, Quote(archive));
    return command;
}

class ForeignArchives : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_.Write("src/a.txt", TextData(3000, 21));
        dir_.Write("src/b.txt", TextData(80000, 22));
        dir_.Write("src/sub/c.txt", NoiseData(2000, 23));
        dir_.Write("new/d.txt", TextData(4000, 24));
        dir_.Write("plain.py", kPythonPlain);
        dir_.Write("streamed.py", kPythonStreamed);
        dir_.Write("methods.py", kPythonMethods);
    }

    bool Make(const Maker& maker, const std::string& archive)
    {
        return RunCommand("(cd " + Quote(dir_ / "src") + " && " + Fill(maker.command, archive) + ") >/dev/null 2>&1") ==
               0;
    }

    bool SameMembers(const std::string& before, const std::string& after, const std::string& changed = "")
    {
        std::string output;
        int rc = RunCommand("python3 " + Quote(MEMBER_BYTES_SCRIPT) + " " + Quote(before) + " " + Quote(after) +
                                (changed.empty() ? "" : " " + Quote(changed)) + " 2>&1",
                            &output);
        if (rc != 0)
            ADD_FAILURE() << output;
        return rc == 0;
    }

    TempDir dir_;
};

std::vector<Maker> Makers(const TempDir& dir)
{
    return {
        {"zip", "zip -q -r %s a.txt b.txt sub"},
        {"zip-streamed", "zip -q -r - a.txt b.txt sub | cat > %s"},
        {"zip-encrypted-streamed", "zip -q -P secret -r - a.txt b.txt sub | cat > %s"},
        // Zip64 records on small members: forced, and for input of unknown size.
        {"zip-zip64", "zip -q -fz -r %s a.txt b.txt sub"},
        {"7zz-stdin", "cat b.txt | 7zz a -tzip -sib.txt %s && 7zz a -tzip %s a.txt sub"},
        {"7zz", "7zz a -tzip %s a.txt b.txt sub"},
        {"python", "python3 " + Quote(dir / "plain.py") + " %s"},
        {"python-streamed", "python3 " + Quote(dir / "streamed.py") + " %s"},
        {"7zz-deflate64", "7zz a -tzip -mm=Deflate64 %s a.txt b.txt sub", true, false},
        {"7zz-bzip2", "7zz a -tzip -mm=BZip2 %s a.txt b.txt sub"},
        {"7zz-lzma", "7zz a -tzip -mm=LZMA %s a.txt b.txt sub", false, true},
        {"python-bzip2-lzma", "python3 " + Quote(dir / "methods.py") + " %s", false, true},
    };
}

}  // namespace

TEST_F(ForeignArchives, AddKeepsTheirMembers)
{
    for (const auto& maker : Makers(dir_)) {
        SCOPED_TRACE(maker.label);
        std::string archive = dir_ / (std::string(maker.label) + ".zip");
        std::string before = archive + ".orig";
        ASSERT_TRUE(Make(maker, archive));
        std::filesystem::copy_file(archive, before);
        ZipCall call{archive, {dir_ / "new/d.txt"}};
        call.dirNames = false;
        CallLog log;
        EXPECT_EQ(RunZip(call, &log), 1) << (log.Messages(true).empty() ? "" : log.Messages(true)[0]);
        EXPECT_TRUE(SameMembers(before, archive));
        bool encrypted = std::string(maker.label).find("encrypted") != std::string::npos;
        EXPECT_TRUE(!maker.pythonReads || PythonTestOk(archive, "secret"));
        EXPECT_TRUE(SevenZipTestOk(archive, encrypted ? "secret" : ""));
        std::string output;
        if (maker.unzipReads) {
            EXPECT_EQ(RunCommand("unzip -tqq -P secret " + Quote(archive) + " 2>&1", &output), 0) << output;
        }
#ifdef FERNPACK_CLI
        // The program's own listing walks the local headers: every one must
        // carry its sizes.
        std::string listing;
        EXPECT_EQ(RunCommand(std::string(FERNPACK_CLI) + " list --tsv " + Quote(archive), &listing), 0);
        EXPECT_NE(listing.find("#count\t" + std::to_string(PythonNames(archive).size())), std::string::npos)
            << listing;
#endif
    }
}

TEST_F(ForeignArchives, DeleteKeepsTheRest)
{
    for (const auto& maker : Makers(dir_)) {
        SCOPED_TRACE(maker.label);
        std::string archive = dir_ / (std::string(maker.label) + "-d.zip");
        std::string before = archive + ".orig";
        ASSERT_TRUE(Make(maker, archive));
        std::filesystem::copy_file(archive, before);
        ZipCall call{archive, {"b.txt"}};
        call.remove = true;
        CallLog log;
        EXPECT_EQ(RunZip(call, &log), 1);
        EXPECT_EQ(log.Count(ZCB_FILE_BEGIN), 1);
        EXPECT_EQ(log.Count(ZCB_BATCH_END), 1);
        EXPECT_TRUE(SameMembers(before, archive));
        auto names = PythonNames(archive);
        EXPECT_EQ(std::count(names.begin(), names.end(), "b.txt"), 0);
        EXPECT_TRUE(names.size() >= 2);
        std::string output;
        if (maker.unzipReads) {
            EXPECT_EQ(RunCommand("unzip -tqq -P secret " + Quote(archive) + " 2>&1", &output), 0) << output;
        }
        EXPECT_TRUE(!maker.pythonReads || PythonTestOk(archive, "secret"));
        bool encrypted = std::string(maker.label).find("encrypted") != std::string::npos;
        EXPECT_TRUE(SevenZipTestOk(archive, encrypted ? "secret" : ""));
    }
}

TEST_F(ForeignArchives, ArchiveCommentSurvivesChanges)
{
    std::string archive = dir_ / "comment.zip";
    dir_.Write("comment.py",
               "import sys,zipfile\n"
               "with zipfile.ZipFile(sys.argv[1],'w') as z:\n"
               "  z.writestr('keep.txt','k'); z.writestr('drop.txt','d'); z.comment=b'made for the test'\n");
    ASSERT_EQ(RunCommand("python3 " + Quote(dir_ / "comment.py") + " " + Quote(archive)), 0);
    ZipCall remove{archive, {"drop.txt"}};
    remove.remove = true;
    EXPECT_EQ(RunZip(remove), 1);
    ZipCall add{archive, {dir_ / "new/d.txt"}};
    add.dirNames = false;
    EXPECT_EQ(RunZip(add), 1);
    std::string output;
    RunCommand("python3 -c 'import sys,zipfile; print(zipfile.ZipFile(sys.argv[1]).comment.decode())' " +
                   Quote(archive),
               &output);
    EXPECT_EQ(output, "made for the test\n");
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"keep.txt", "d.txt"}));
}
