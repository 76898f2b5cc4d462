#include "ZipFixture.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace fixture {

void PutLe16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void PutLe32(std::string& out, std::uint32_t v)
{
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

std::string Zip64Field(std::initializer_list<std::uint64_t> values)
{
    std::string out;
    PutLe16(out, 1);
    PutLe16(out, static_cast<std::uint32_t>(8 * values.size()));
    for (std::uint64_t v : values) {
        PutLe32(out, static_cast<std::uint32_t>(v));
        PutLe32(out, static_cast<std::uint32_t>(v >> 32));
    }
    return out;
}

std::uint32_t Crc32(const std::string& data)
{
    return static_cast<std::uint32_t>(
        ::crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    const std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
    const std::uint32_t time = static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return (date << 16) | time;
}

std::string LocalHeader(const Member& m)
{
    std::string out = std::string("PK\x03\x04", 4);
    PutLe16(out, m.VersionNeeded);
    PutLe16(out, m.Flags);
    PutLe16(out, m.Method);
    PutLe32(out, m.DateTime);
    PutLe32(out, m.Crc.value_or(m.PlainCrc.value_or(Crc32(m.Data))));
    PutLe32(out, static_cast<std::uint32_t>(m.CompressedSize.value_or(static_cast<std::int32_t>(m.Data.size()))));
    PutLe32(out, static_cast<std::uint32_t>(
                     m.UncompressedSize.value_or(m.PlainSize.value_or(static_cast<std::int32_t>(m.Data.size())))));
    PutLe16(out, m.NameLength.value_or(static_cast<std::uint16_t>(m.Name.size())));
    PutLe16(out, static_cast<std::uint16_t>(m.Extra.size()));
    out += m.Name;
    out += m.Extra;
    return out;
}

ZipBuilder& ZipBuilder::Raw(const std::string& bytes)
{
    bytes_ += bytes;
    return *this;
}

ZipBuilder& ZipBuilder::Add(const Member& m)
{
    offsets_.push_back(static_cast<std::int64_t>(bytes_.size()));
    members_.push_back(m);
    bytes_ += LocalHeader(m);
    bytes_ += m.Data;
    if (m.Descriptor) {
        if (m.DescriptorSignature)
            bytes_ += std::string("PK\x07\x08", 4);
        PutLe32(bytes_, Crc32(m.Data));
        for (int size = 0; size < 2; ++size) {
            PutLe32(bytes_, static_cast<std::uint32_t>(m.Data.size()));
            if (m.Descriptor64)
                PutLe32(bytes_, 0);
        }
    }
    return *this;
}

ZipBuilder& ZipBuilder::Alias(std::size_t index, const std::string& name)
{
    aliases_.emplace_back(index, name);
    return *this;
}

ZipBuilder& ZipBuilder::Zip64End()
{
    zip64End_ = true;
    return *this;
}

ZipBuilder& ZipBuilder::StatedCount(std::uint16_t count)
{
    statedCount_ = count;
    return *this;
}

ZipBuilder& ZipBuilder::Finish(const std::string& comment)
{
    const std::size_t centralStart = bytes_.size();
    std::vector<std::pair<std::size_t, std::string>> records;
    for (std::size_t i = 0; i < members_.size(); ++i)
        records.emplace_back(i, members_[i].CentralName.value_or(members_[i].Name));
    records.insert(records.end(), aliases_.begin(), aliases_.end());
    for (const auto& [i, name] : records) {
        const Member& m = members_[i];
        std::string c = std::string("PK\x01\x02", 4);
        PutLe16(c, 20);  // made by
        PutLe16(c, m.VersionNeeded);
        PutLe16(c, m.Flags);
        PutLe16(c, m.Method);
        PutLe32(c, m.DateTime);
        PutLe32(c, m.PlainCrc.value_or(Crc32(m.Data)));
        PutLe32(c, m.CentralCompressedSize.value_or(static_cast<std::uint32_t>(m.Data.size())));
        PutLe32(c, m.CentralUncompressedSize.value_or(
                       static_cast<std::uint32_t>(m.PlainSize.value_or(static_cast<std::int32_t>(m.Data.size())))));
        PutLe16(c, static_cast<std::uint32_t>(name.size()));
        PutLe16(c, static_cast<std::uint32_t>(m.CentralExtra.size()));
        PutLe16(c, 0);  // comment
        PutLe16(c, 0);  // disk
        PutLe16(c, 0);  // internal attributes
        PutLe32(c, 0);  // external attributes
        PutLe32(c, m.CentralOffset.value_or(static_cast<std::uint32_t>(offsets_[i])));
        c += name;
        c += m.CentralExtra;
        bytes_ += c;
    }
    const std::size_t centralSize = bytes_.size() - centralStart;
    if (zip64End_) {
        const std::size_t recordAt = bytes_.size();
        bytes_ += std::string("PK\x06\x06", 4);
        PutLe32(bytes_, 44);  // size of the rest of the record
        PutLe32(bytes_, 0);   // 64-bit size follows
        PutLe16(bytes_, 45);  // made by
        PutLe16(bytes_, 45);  // needed
        PutLe32(bytes_, 0);   // this disk
        PutLe32(bytes_, 0);   // directory's disk
        for (int twice = 0; twice < 2; ++twice) {
            PutLe32(bytes_, static_cast<std::uint32_t>(records.size()));
            PutLe32(bytes_, 0);
        }
        PutLe32(bytes_, static_cast<std::uint32_t>(centralSize));
        PutLe32(bytes_, 0);
        PutLe32(bytes_, static_cast<std::uint32_t>(centralStart));
        PutLe32(bytes_, 0);
        bytes_ += std::string("PK\x06\x07", 4);
        PutLe32(bytes_, 0);
        PutLe32(bytes_, static_cast<std::uint32_t>(recordAt));
        PutLe32(bytes_, 0);
        PutLe32(bytes_, 1);  // disks in all
    }
    const std::uint32_t count = statedCount_.value_or(static_cast<std::uint16_t>(records.size()));
    bytes_ += std::string("PK\x05\x06", 4);
    PutLe16(bytes_, 0);
    PutLe16(bytes_, 0);
    PutLe16(bytes_, count);
    PutLe16(bytes_, count);
    PutLe32(bytes_, static_cast<std::uint32_t>(centralSize));
    PutLe32(bytes_, static_cast<std::uint32_t>(centralStart));
    PutLe16(bytes_, static_cast<std::uint32_t>(comment.size()));
    bytes_ += comment;
    return *this;
}

bool WriteSparseStoredMember(const std::string& path, const std::string& name, std::uint32_t size)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_RDWR, 0644);
    if (fd < 0)
        return false;
    Member m;
    m.Name = name;
    m.CompressedSize = m.UncompressedSize = static_cast<std::int32_t>(size);
    const std::string header = LocalHeader(m);
    const std::string end = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    const bool ok = ::pwrite(fd, header.data(), header.size(), 0) == static_cast<ssize_t>(header.size()) &&
                    ::pwrite(fd, end.data(), end.size(), static_cast<off_t>(header.size() + size)) ==
                        static_cast<ssize_t>(end.size());
    return ::close(fd) == 0 && ok;
}

std::string SharedDataBomb(int copies, std::size_t size)
{
    ZipBuilder bomb;
    bomb.Add(Stored("data.bin", std::string(size, 'b')));
    for (int i = 1; i < copies; ++i)
        bomb.Alias(0, "copy" + std::to_string(i) + ".bin");
    return bomb.Finish().Bytes();
}

}  // namespace fixture
