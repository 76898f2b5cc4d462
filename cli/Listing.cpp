#include "cli/Listing.h"

#include <cstdio>

#include "engine/DosDateTime.h"
#include "engine/ZipMstr.h"

namespace cli {

std::string FormatDosDateTime(std::uint32_t packed)
{
    const engine::DosDateTime d = engine::DosDateTime::Decode(packed);
    if (!d.Valid)
        return "0000-00-00 00:00:00";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.Year, d.Month, d.Day, d.Hour, d.Minute,
                  d.Second);
    return text;
}

std::string EscapeTsv(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

void PrintListing(std::ostream& out, const engine::TRezEdidiv& archive, bool tsv)
{
    if (tsv) {
        out << "#first-header-offset\t" << archive.FirstHeaderOffset << '\n';
        for (const auto& e : archive.Entries) {
            char crc[9];
            std::snprintf(crc, sizeof crc, "%08x", e->Crc32);
            out << EscapeTsv(e->FileName) << '\t' << e->CompressedSize << '\t' << e->UncompressedSize << '\t'
                << FormatDosDateTime(e->LastModDateTime) << '\t' << crc << '\t' << e->CompressionMethod << '\t'
                << e->GeneralFlags << '\n';
        }
        out << "#count\t" << archive.EntryCount() << '\n';
        return;
    }
    char line[96];
    std::snprintf(line, sizeof line, "%12s %12s  %-19s  %s", "Packed", "Size", "Modified", "Name");
    out << line << '\n';
    for (const auto& e : archive.Entries) {
        std::snprintf(line, sizeof line, "%12d %12d  %-19s  ", e->CompressedSize, e->UncompressedSize,
                      FormatDosDateTime(e->LastModDateTime).c_str());
        out << line << e->FileName << '\n';
    }
    const std::int32_t count = archive.EntryCount();
    out << count << (count == 1 ? " member" : " members") << '\n';
}

}  // namespace cli
