// Blocks of zeros appended to the new archive become holes, not writes:
// what reads back must still be exactly what was written, around patches,
// cuts and a file that ends in zeros.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "libs/zipwriter/OutputFile.h"

TEST(SparseOutput, ReadsBackExactlyWhatWasWritten)
{
    fixture::TempDir dir;
    const std::string path = dir / "out.bin";
    const int fd = ::open(path.c_str(), O_CREAT | O_RDWR, 0644);
    ASSERT_GE(fd, 0);
    std::string expected;
    {
        zipwriter::OutputFile out(fd, nullptr);
        auto write = [&](const std::string& bytes) {
            ASSERT_TRUE(out.Write(bytes.data(), bytes.size()));
            expected += bytes;
        };
        write("header");
        write(std::string(3 << 20, '\0'));  // past the buffer: written directly
        write("middle");
        write(std::string(300000, '\0'));
        ASSERT_TRUE(out.Flush());
        ASSERT_TRUE(out.Patch(2, "AD", 2));
        expected.replace(2, 2, "AD");
        ASSERT_TRUE(out.TruncateTo(expected.size() - 1000));
        expected.resize(expected.size() - 1000);
        write(std::string(200000, '\0'));  // the file ends in a hole
        ASSERT_TRUE(out.Flush());
        EXPECT_EQ(out.Position(), expected.size());
    }
    struct stat st {};
    ASSERT_EQ(::fstat(fd, &st), 0);
    ::close(fd);
    EXPECT_EQ(static_cast<std::size_t>(st.st_size), expected.size());
    EXPECT_LT(static_cast<std::size_t>(st.st_blocks) * 512, expected.size() / 2);
    EXPECT_TRUE(fixture::ReadFile(path) == expected);
}
