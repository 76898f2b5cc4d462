// An archive file mapped read-only into memory for one operation, opened
// denying writers (a shared flock, the same rule the engine's listing
// follows), so a library that is rewriting the archive cannot change it
// under the reader. Empty files map to an empty span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zipcore {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { Close(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // False with a reason when the file cannot be opened, locked or mapped.
    bool Open(const std::string& path, std::string* error);
    void Close();
    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    int fd_ = -1;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

// Drops the whole pages within [begin, end) of a MappedFile's bytes from
// this process's memory; they are read from the file again if touched
// again. Only for bytes of a MappedFile: other memory would lose its data.
void ReleaseMappedPages(const std::uint8_t* begin, const std::uint8_t* end);

// A walk over a file mapping in file order (its local headers, its
// members) that drops the pages it has passed, so a large archive is never
// held whole: every 8 MiB, as a call per member would cost more than it
// saves. Only for the bytes of a read-only file mapping, as ReleaseMappedPages.
class PassedPages {
public:
    // The walk has reached `at`: whatever lies before is done with.
    void At(const std::uint8_t* at);

private:
    const std::uint8_t* from_ = nullptr;
};

}  // namespace zipcore
