#include "cli/EndRecord.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "zipformat/LittleEndian.h"
#include "zipformat/ZipRecords.h"

namespace cli {

std::optional<EndRecord> ReadEndRecord(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return std::nullopt;
    const long size = std::ftell(file.get());
    if (size < static_cast<long>(fernpack::zip::EndRecordSize))
        return std::nullopt;
    const long span = std::min<long>(size, fernpack::zip::EndRecordSize + fernpack::zip::MaxCommentSize);
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(span));
    if (std::fseek(file.get(), size - span, SEEK_SET) != 0 || std::fread(tail.data(), 1, tail.size(), file.get()) != tail.size())
        return std::nullopt;
    // The last signature whose record and comment end exactly at the end.
    for (std::size_t at = tail.size() - fernpack::zip::EndRecordSize + 1; at-- > 0;) {
        const std::uint8_t* p = tail.data() + at;
        if (fernpack::Le32(p) != fernpack::zip::EndRecordSignature)
            continue;
        const std::size_t commentSize = fernpack::Le16(p + 20);
        if (at + fernpack::zip::EndRecordSize + commentSize != tail.size())
            continue;
        EndRecord record;
        record.Entries = fernpack::Le16(p + 10);
        record.DirectorySize = fernpack::Le32(p + 12);
        record.Comment.assign(reinterpret_cast<const char*>(p + fernpack::zip::EndRecordSize), commentSize);
        return record;
    }
    return std::nullopt;
}

bool IsEmptyArchive(const std::string& path)
{
    const auto record = ReadEndRecord(path);
    return record && record->Entries == 0 && record->DirectorySize == 0;
}

}  // namespace cli
