// Members and archives past the 32-bit limits, end to end through the
// archive component, the real libraries, the stub and the peer tools. The
// inputs are sparse files with a few marks of data in them, so they cost
// almost no disk and the marks prove every byte landed in its place; the
// outputs are checked by size and CRC and removed at once.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <fcntl.h>
#include <unistd.h>
#include <libdeflate.h>

#include "RecordingUiServices.h"
#include "TempDir.h"
#include "ZipFixture.h"
#include "engine/ZipMstr.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

using namespace engine;

namespace {

constexpr std::uint64_t kGiB = 1ULL << 30;

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// A sparse file of `size` bytes holding `marks` at their offsets.
void MakeSparse(const std::string& path, std::uint64_t size,
                const std::vector<std::pair<std::uint64_t, std::string>>& marks)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    for (const auto& [at, bytes] : marks)
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

// CRC-32 of `length` bytes of the file from `offset` (to its end by default).
std::uint32_t FileCrc(const std::string& path, std::uint64_t offset = 0, std::uint64_t length = UINT64_MAX)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0) << path;
    std::vector<unsigned char> buffer(4 << 20);
    std::uint32_t crc = 0;
    while (length > 0) {
        const ssize_t n = ::pread(fd, buffer.data(), std::min<std::uint64_t>(buffer.size(), length),
                                  static_cast<off_t>(offset));
        if (n <= 0)
            break;
        crc = libdeflate_crc32(crc, buffer.data(), static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
        length -= static_cast<std::uint64_t>(n);
    }
    ::close(fd);
    return crc;
}

struct stat Stat(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

class LargeFiles : public ::testing::Test {
protected:
    LargeFiles() : scope(ui)
    {
        z.Unattended = true;
        z.SetDLLDirectory(FERNPACK_BIN);
        z.OnMessage = [this](TObject*, std::int32_t code, const std::string& text) {
            if (code > 0)
                errors.push_back(std::to_string(code) + " " + text);
        };
        z.OnProgress = [this](TObject*, ProgressType type, const std::string&, std::int32_t size) {
            if (type == ProgressType::FileBegin)
                sizes.push_back(size);
            else if (type == ProgressType::FileStep)
                ++steps;
        };
    }
    ~LargeFiles() override
    {
        z.UnloadZipLibrary();
        z.UnloadUnzLibrary();
        platform::SetCurrentDir(start);
    }

    void SetUp() override
    {
        // Everything is sparse; a file system without holes would need
        // the full sizes, so make sure they would fit.
        struct statvfs fs {};
        ASSERT_EQ(::statvfs(dir.Path().c_str(), &fs), 0);
        if (static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize < 12 * kGiB)
            GTEST_SKIP() << "less than 12 GiB free in " << dir.Path();
    }

    // Extracts every member into a fresh folder; ProcessedCount results.
    std::string ExtractAll()
    {
        const std::string out = dir / "out";
        std::filesystem::create_directories(out);
        z.ExtrBaseDir = out;
        z.ExtrOptions = ExtrOpts{};
        z.FSpecArgs().clear();
        z.ExtractFiles();
        return out;
    }

    void ResetCounts()
    {
        sizes.clear();
        steps = 0;
        errors.clear();
    }

    fixture::RecordingUiServices ui;
    platform::ScopedUi scope;
    fixture::TempDir dir;
    std::string start = platform::GetCurrentDir();
    TRezEdidiv z;
    std::vector<std::string> errors;
    std::vector<std::int32_t> sizes;
    std::int64_t steps = 0;
};

}  // namespace

TEST_F(LargeFiles, FiveGiBFileAddedAtLevelOneTestsListsAndExtracts)
{
    const std::uint64_t size = 5 * kGiB;
    const std::string source = dir / "src/huge.img";
    MakeSparse(source, size, {{0, "start"}, {4 * kGiB + 12345, "past 4 GiB"}, {size - 3, "end"}});
    const std::uint32_t crc = FileCrc(source);

    const std::string archive = dir / "huge.zip";
    z.SetZipFilename(archive);
    z.AddCompLevel = 1;
    z.FSpecArgs() = {source};
    std::int64_t counted = 0;
    EXPECT_EQ(z.CountAddFiles64(counted), static_cast<std::int64_t>(size));
    EXPECT_EQ(counted, 163840);
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(sizes, std::vector<std::int32_t>{INT32_MAX});
    EXPECT_EQ(steps, counted);  // the bars end where the count said

    ASSERT_EQ(z.EntryCount(), 1);
    const ZipDirEntry& e = *z.Entries[0];
    EXPECT_EQ(e.FileName, "huge.img");
    EXPECT_EQ(e.UncompressedSize, -1);  // all ones: see the Zip64 field
    EXPECT_EQ(e.RealUncompressedSize(), size);
    EXPECT_LT(e.RealCompressedSize(), 64u << 20);
    EXPECT_EQ(e.Crc32, crc);

    std::string output;
    EXPECT_EQ(fixture::RunCommand("unzip -tqq " + Quote(archive) + " 2>&1", &output), 0) << output;
    EXPECT_EQ(fixture::RunCommand("7zz t " + Quote(archive) + " 2>&1", &output), 0) << output;
    EXPECT_EQ(fixture::RunCommand(std::string(FERNPACK_CLI) + " list --tsv " + Quote(archive), &output), 0);
    EXPECT_NE(output.find("huge.img\t" + std::to_string(e.RealCompressedSize()) + "\t5368709120\t"),
              std::string::npos)
        << output;

    ResetCounts();
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrTest};
    z.FSpecArgs() = {"*.*"};
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_EQ(steps, counted);

    const std::string out = ExtractAll();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_TRUE(errors.empty()) << errors[0];
    const std::string extracted = out + "/huge.img";
    EXPECT_EQ(static_cast<std::uint64_t>(Stat(extracted).st_size), size);
    EXPECT_LT(static_cast<std::uint64_t>(Stat(extracted).st_blocks) * 512, kGiB);  // its holes stayed holes
    EXPECT_EQ(FileCrc(extracted), crc);
    std::filesystem::remove_all(out);
}

TEST_F(LargeFiles, StoredMemberOf2_6GBWithoutZip64ListsAndExtracts)
{
    // Built byte by byte: one stored member whose 32-bit sizes read as
    // negative numbers when taken as signed.
    const std::uint32_t size = 2600000000u;
    const std::string name = "disk.img";
    fixture::Member m = fixture::Stored(name, "");
    m.CompressedSize = m.UncompressedSize = static_cast<std::int32_t>(size);
    const std::uint64_t data = 30 + name.size();
    const std::string archive = dir / "disk.zip";
    MakeSparse(archive, data + size, {{data, "first"}, {data + size - 4, "last"}});
    m.Crc = FileCrc(archive, data, size);
    std::string tail;
    fixture::PutLe32(tail, 0x02014B50);
    for (std::uint32_t v : {20u, 20u, 0u, 0u})
        fixture::PutLe16(tail, v);
    fixture::PutLe32(tail, m.DateTime);
    fixture::PutLe32(tail, *m.Crc);
    fixture::PutLe32(tail, size);
    fixture::PutLe32(tail, size);
    for (std::uint32_t v : {static_cast<std::uint32_t>(name.size()), 0u, 0u, 0u, 0u})
        fixture::PutLe16(tail, v);
    fixture::PutLe32(tail, 0);  // attributes
    fixture::PutLe32(tail, 0);  // offset
    tail += name;
    const std::uint32_t directorySize = static_cast<std::uint32_t>(tail.size());
    fixture::PutLe32(tail, 0x06054B50);
    for (std::uint32_t v : {0u, 0u, 1u, 1u})
        fixture::PutLe16(tail, v);
    fixture::PutLe32(tail, directorySize);
    fixture::PutLe32(tail, static_cast<std::uint32_t>(data + size));
    fixture::PutLe16(tail, 0);
    {
        const int fd = ::open(archive.c_str(), O_WRONLY);
        const std::string header = fixture::LocalHeader(m);
        ASSERT_EQ(::pwrite(fd, header.data(), header.size(), 0), static_cast<ssize_t>(header.size()));
        ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(data + size)),
                  static_cast<ssize_t>(tail.size()));
        ::close(fd);
    }
    std::string output;
    ASSERT_EQ(fixture::RunCommand("unzip -tqq " + Quote(archive) + " 2>&1", &output), 0) << output;

    z.SetZipFilename(archive);
    ASSERT_EQ(z.EntryCount(), 1);
    EXPECT_LT(z.Entries[0]->CompressedSize, 0);
    EXPECT_EQ(z.Entries[0]->RealCompressedSize(), size);
    EXPECT_EQ(fixture::RunCommand(std::string(FERNPACK_CLI) + " list " + Quote(archive), &output), 0);
    EXPECT_NE(output.find("  2600000000   2600000000  "), std::string::npos) << output;

    const std::string out = ExtractAll();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(sizes, std::vector<std::int32_t>{INT32_MAX});
    EXPECT_EQ(steps, size / 32768);
    EXPECT_EQ(static_cast<std::uint64_t>(Stat(out + "/" + name).st_size), size);
    EXPECT_EQ(FileCrc(out + "/" + name), *m.Crc);
    std::filesystem::remove_all(out);
}

TEST_F(LargeFiles, SelfExtractingProgramOfAnArchiveOver4GiBRoundTrips)
{
    // Stored, so the archive itself passes 4 GiB: the second member's
    // offset and the directory's need Zip64 too.
    const std::uint64_t size = 4 * kGiB + 300 * (1ULL << 20);
    const std::string big = dir / "src/big.img";
    MakeSparse(big, size, {{7, "near the start"}, {size - 100, "near the end"}});
    const std::string small = dir.Write("src/after.txt", "after the big one\n");
    const std::string archive = dir / "big.zip";
    z.SetZipFilename(archive);
    z.AddCompLevel = 0;
    z.FSpecArgs() = {big, small};
    z.AddFiles();
    ASSERT_EQ(z.ProcessedCount, 2) << (errors.empty() ? "" : errors[0]);
    const std::uint64_t archiveSize = static_cast<std::uint64_t>(Stat(archive).st_size);
    EXPECT_GT(archiveSize, size);
    EXPECT_LT(static_cast<std::uint64_t>(Stat(archive).st_blocks) * 512, kGiB);  // stored holes stayed holes
    const std::uint32_t archiveCrc = FileCrc(archive);
    std::string output;
    EXPECT_EQ(fixture::RunCommand("unzip -tqq " + Quote(archive) + " 2>&1", &output), 0) << output;

    z.SFXPath = std::string(FERNPACK_BIN) + "/ZIPSFX.BIN";
    ASSERT_EQ(z.ConvertSFX(), 0);
    const std::string program = dir / "big.exe";
    EXPECT_EQ(z.ZipFilename(), program);
    EXPECT_EQ(z.FirstHeaderOffset, Stat(z.SFXPath).st_size + 256);
    EXPECT_LT(static_cast<std::uint64_t>(Stat(program).st_blocks) * 512, kGiB);  // the copy kept the holes
    ASSERT_EQ(z.EntryCount(), 2);
    EXPECT_EQ(z.Entries[0]->RealUncompressedSize(), size);
    EXPECT_EQ(z.Entries[1]->FileName, "after.txt");
    EXPECT_EQ(fixture::RunCommand(Quote(program) + " --test 2>&1", &output), 0) << output;
    EXPECT_NE(output.find("after.txt"), std::string::npos) << output;

    ASSERT_EQ(z.ConvertZip(), 0);
    EXPECT_EQ(z.ZipFilename(), archive);
    EXPECT_EQ(static_cast<std::uint64_t>(Stat(archive).st_size), archiveSize);
    EXPECT_EQ(FileCrc(archive), archiveCrc);
    EXPECT_EQ(z.EntryCount(), 2);
}
