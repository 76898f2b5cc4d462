#include "cli/Listing.h"

#include <cstdio>

#include "cli/Console.h"
#include "cli/Format.h"
#include "zipformat/DosDateTime.h"
#include "zipformat/Flags.h"
#include "zipformat/NameText.h"

namespace cli {

namespace zip = fernpack::zip;

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

void PrintTsv(std::ostream& out, const ListingInput& input)
{
    out << "#first-header-offset\t" << input.FirstHeaderOffset << '\n';
    for (const engine::ZipDirEntry* e : input.Members) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", e->Crc32);
        out << EscapeTsv(e->FileName) << '\t' << e->RealCompressedSize() << '\t' << e->RealUncompressedSize() << '\t'
            << zip::DateTimeText(e->LastModDateTime) << '\t' << crc << '\t' << e->CompressionMethod << '\t'
            << e->GeneralFlags << '\n';
    }
    out << "#count\t" << input.Members.size() << '\n';
}

void PrintTable(std::ostream& out, const ListingInput& input)
{
    if (!input.Comment.empty())
        out << Printable(input.Comment, true) << "\n\n";
    char line[128];
    std::snprintf(line, sizeof line, "%12s %12s  %-19s  %s", "Packed", "Size", "Modified", "Name");
    out << line << '\n';
    std::uint64_t packed = 0, size = 0;
    bool anyEncrypted = false;
    for (const engine::ZipDirEntry* e : input.Members) {
        const bool encrypted = e->NeedsPassword();
        anyEncrypted = anyEncrypted || encrypted;
        std::snprintf(line, sizeof line, "%12llu %12llu  %-19s %c",
                      static_cast<unsigned long long>(e->RealCompressedSize()),
                      static_cast<unsigned long long>(e->RealUncompressedSize()),
                      zip::DateTimeText(e->LastModDateTime).c_str(), encrypted ? '*' : ' ');
        out << line << Printable(zip::NameText(e->FileName, zip::HasUtf8Name(e->GeneralFlags))) << '\n';
        packed += e->RealCompressedSize();
        size += e->RealUncompressedSize();
    }
    std::string totals = Count(input.Members.size(), "member");
    if (input.Chosen)
        totals = std::to_string(input.Members.size()) + " of " + Count(input.AllMembers, "member");
    if (size > 0)
        totals += ", ratio " + std::to_string(Percent(packed, size)) + "%";
    if (anyEncrypted)
        totals += " (* encrypted)";
    std::snprintf(line, sizeof line, "%12llu %12llu  %-19s  ", static_cast<unsigned long long>(packed),
                  static_cast<unsigned long long>(size), "");
    out << line << totals << '\n';
}

}  // namespace cli
