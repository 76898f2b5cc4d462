#include "cli/Listing.h"

#include <cstdio>

#include "cli/Console.h"
#include "cli/Format.h"
#include "zipformat/DosDateTime.h"
#include "zipformat/Flags.h"
#include "zipformat/NameText.h"

namespace cli {

namespace zip = fernpack::zip;

namespace {

constexpr std::size_t RowBufferBytes = 1 << 16;

// `value` in decimal, right-aligned in `width` columns (wider when it needs more).
void AppendRightAligned(std::string& out, std::uint64_t value, std::size_t width)
{
    char digits[20];
    std::size_t n = 0;
    do {
        digits[sizeof digits - ++n] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (n < width)
        out.append(width - n, ' ');
    out.append(digits + sizeof digits - n, n);
}

}  // namespace

std::string EscapeTsv(const std::string& name, bool utf8Flag)
{
    std::string out;
    out.reserve(name.size());
    // The characters of a name read as UTF-8 (zipformat/NameText.h); the
    // bytes of one read in code page 437 are characters of their own.
    const bool utf8 = utf8Flag || zip::IsUtf8(name);
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = utf8 ? zip::Utf8Length(p + i, name.size() - i) : 0;
        const char32_t c = n > 0 ? zip::Utf8Char(p + i, n) : p[i];
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (zip::IsHiddenCharacter(c) && (n > 0 || c < 0x80))
                zip::AppendEscape(out, c);
            else
                out.append(name, i, n > 0 ? n : 1);
        }
        i += n > 0 ? n : 1;
    }
    return out;
}

void PrintTsv(std::ostream& out, const ListingInput& input)
{
    out << "#first-header-offset\t" << input.FirstHeaderOffset << '\n';
    for (const engine::ZipDirEntry* e : input.Members) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", e->Crc32);
        out << EscapeTsv(e->FullName(), zip::HasUtf8Name(e->GeneralFlags)) << '\t' << e->RealCompressedSize() << '\t'
            << e->RealUncompressedSize() << '\t'
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
    // The rows are put together in one buffer and written in large pieces:
    // a listing of many members spends its time here, not in the archive.
    std::string rows;
    for (const engine::ZipDirEntry* e : input.Members) {
        const bool encrypted = e->NeedsPassword();
        anyEncrypted = anyEncrypted || encrypted;
        AppendRightAligned(rows, e->RealCompressedSize(), 12);
        rows += ' ';
        AppendRightAligned(rows, e->RealUncompressedSize(), 12);
        rows += "  ";
        const std::size_t date = rows.size();
        rows += zip::DateTimeText(e->LastModDateTime);
        rows.append(date + 19 > rows.size() ? date + 19 - rows.size() : 0, ' ');
        rows += ' ';
        rows += encrypted ? '*' : ' ';
        rows += Printable(zip::NameText(e->FileName, zip::HasUtf8Name(e->GeneralFlags)));
        rows += '\n';
        if (rows.size() >= RowBufferBytes) {
            out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
            rows.clear();
        }
        packed = AddSaturated(packed, e->RealCompressedSize());
        size = AddSaturated(size, e->RealUncompressedSize());
    }
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    std::string totals = Count(input.Members.size(), "member");
    if (input.Chosen)
        totals = std::to_string(input.Members.size()) + " of " + Count(input.AllMembers, "member");
    if (size > 0 && size != Saturated && packed != Saturated)
        totals += ", ratio " + std::to_string(Percent(packed, size)) + "%";
    if (anyEncrypted)
        totals += " (* encrypted)";
    std::snprintf(line, sizeof line, "%12s %12s  %-19s  ", TotalText(packed).c_str(), TotalText(size).c_str(), "");
    out << line << totals << '\n';
}

}  // namespace cli
