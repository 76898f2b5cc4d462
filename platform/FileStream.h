// A file opened for one operation: reading, writing, positioning and size
// with signed 64-bit positions. Sharing rules are advisory flock locks: a
// file opened "denying writers" holds a shared lock, one opened exclusively
// holds an exclusive lock, and an open that cannot get its lock fails just
// like an open of a missing file. Errors are return values, never exceptions.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class OpenMode {
    ReadDenyWrite,   // read only; others may read, none may write
    ReadWriteExclusive,  // read and write an existing file; nobody else
    CreateExclusive,     // create or truncate, read and write; nobody else
};

enum class SeekOrigin { Begin, Current, End };

class FileStream {
public:
    FileStream() = default;
    ~FileStream();
    FileStream(FileStream&& other) noexcept;
    FileStream& operator=(FileStream&& other) noexcept;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Takes over an open descriptor (closing whatever was open before).
    void Adopt(int fd);

    // Opens `path`; false when it cannot be opened or locked, or is not a
    // regular file (a link to one counts as the file). Never waits.
    bool Open(const std::string& path, OpenMode mode);
    // Opens `path` like Open, but while another process holds a lock that
    // keeps ours out, tries again in short pauses for up to `maxWaitMs`
    // milliseconds; after such a wait it opens whatever file then has the
    // name (a writer replaces a file by putting a new one in its place).
    // When it fails because the lock was still held at the end, *lockHeld
    // (if given) is set, so the caller can say so (platform/LockWait.h).
    bool OpenWaiting(const std::string& path, OpenMode mode, int maxWaitMs, bool* lockHeld = nullptr);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // Reads up to `count` bytes; returns the number read (0 at end of file),
    // or -1 on a read error. Retries interrupted and short reads.
    std::int64_t Read(void* buffer, std::int64_t count);
    // Reads up to `count` bytes at `offset` without moving the position;
    // returns the number read (0 at or past the end), or -1 on error.
    std::int64_t ReadAt(std::int64_t offset, void* buffer, std::int64_t count) const;
    // Writes `count` bytes; returns the number written, or -1 on error.
    std::int64_t Write(const void* buffer, std::int64_t count);
    // Moves the position; returns the new position, or -1 when the platform
    // refuses (a position before the start, a file that cannot seek).
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin);
    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
    // Size in bytes, or -1.
    std::int64_t Size() const;
    // Cuts or extends (with zeros) the file to `size` bytes; false on error.
    bool SetSize(std::int64_t size);

    int Descriptor() const { return fd_; }

private:
    int fd_ = -1;
};

// Test seam: while set, Read asks `fails(descriptor)` before each read and
// fails with EIO when it answers true, as a disk that cannot be read would.
// Reset with nullptr. Not for use outside tests.
using ReadFault = bool (*)(int fd);
void SetReadFaultForTesting(ReadFault fails);

}  // namespace platform
