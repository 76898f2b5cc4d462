// Buffered sequential writing of the new archive into its temporary file,
// with the two ways back a writer needs: patching bytes already written (a
// local header whose sizes are known only after the data) and cutting the
// file back to an earlier length (a member given up half way). The first
// failure sticks: every later call fails too, so one check at the end is
// enough. A fault hook lets tests make any write fail as a full disk would.
// Appended blocks of zeros (a stored disk image's empty parts) become holes
// rather than writes, so such an archive stays sparse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zipwriter {

// Called before each write, buffered or to the file, with its position and
// length; true makes that write fail with "No space left on device".
using WriteFaultHook = std::function<bool(std::uint64_t position, std::size_t length)>;

class OutputFile {
public:
    OutputFile(int fd, WriteFaultHook hook);
    bool Write(const void* data, std::size_t len);
    // Appends `len` bytes of the file `fd` from `offset`, copied inside the
    // kernel where the file system allows.
    bool CopyFrom(int fd, std::uint64_t offset, std::uint64_t len);
    bool Patch(std::uint64_t position, const void* data, std::size_t len);
    bool TruncateTo(std::uint64_t position);
    bool Flush();
    std::uint64_t Position() const { return flushed_ + buffer_.size(); }
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }

private:
    bool WriteAt(std::uint64_t position, const std::uint8_t* data, std::size_t len);
    bool Append(const std::uint8_t* data, std::size_t len);
    void StartWriteback();
    int fd_;
    WriteFaultHook hook_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t flushed_ = 0;
    std::uint64_t syncStarted_ = 0;  // writeback has been started up to here
    std::string error_;
    static constexpr std::size_t kBufferSize = std::size_t(1) << 20;
    static constexpr std::size_t kHoleBlock = 64 * 1024;
};

}  // namespace zipwriter
