// TSortGrid's operations on the grid as a whole: inserting, deleting, moving
// and exchanging rows and columns; emptying every cell; sizing columns to
// their text; finding a cell; the delimited text file; the extended keys.
#include <QString>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "grid/SortGrid.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementFile.h"

namespace grid {

template <typename Op>
void TSortGrid::WithoutAlwaysShowEditor(Op op) {
    const bool had = Options() & goAlwaysShowEditor;
    if (had) SetOptions(Options() & ~goAlwaysShowEditor);
    try {
        op();
    } catch (...) {
        if (had) SetOptions(Options() | goAlwaysShowEditor);
        throw;
    }
    if (had) SetOptions(Options() | goAlwaysShowEditor);
}

void TSortGrid::MoveRow(int FromIndex, int ToIndex) {
    WithoutAlwaysShowEditor([&] { TStringGrid::MoveRow(FromIndex, ToIndex); });
}

void TSortGrid::MoveColumn(int FromIndex, int ToIndex) {
    WithoutAlwaysShowEditor([&] { TStringGrid::MoveColumn(FromIndex, ToIndex); });
}

void TSortGrid::SwapRows(int Index1, int Index2) {
    if (Index1 < Index2) {
        MoveRow(Index2, Index1);
        MoveRow(Index1 + 1, Index2);
    } else if (Index2 < Index1) {
        MoveRow(Index1, Index2);
        MoveRow(Index2 + 1, Index1);
    }
}

void TSortGrid::SwapColumns(int Index1, int Index2) {
    if (Index1 < Index2) {
        MoveColumn(Index2, Index1);
        MoveColumn(Index1 + 1, Index2);
    } else if (Index2 < Index1) {
        MoveColumn(Index1, Index2);
        MoveColumn(Index2 + 1, Index1);
    }
}

void TSortGrid::InsertRow(int ARow) {
    // Check first, so a bad index leaves the grid as it was.
    if (ARow < 0 || ARow > RowCount()) throw EGridIndexError();
    // The headings stay where they are: a new row goes no higher than the
    // first data row, and that row becomes current.
    ARow = std::max(ARow, FixedRows());
    SetRowCount(RowCount() + 1);
    MoveRow(RowCount() - 1, ARow);
    ClearRow(ARow);
    SetRow(ARow);
    if (OnRowInsert) OnRowInsert(this, ARow);
}

void TSortGrid::InsertColumn(int ACol) {
    if (ACol < 0 || ACol > ColCount()) throw EGridIndexError();
    ACol = std::max(ACol, FixedCols());
    SetColCount(ColCount() + 1);
    MoveColumn(ColCount() - 1, ACol);
    ClearColumn(ACol);
    SetCol(ACol);
    if (OnColumnInsert) OnColumnInsert(this, ACol);
}

void TSortGrid::DeleteRow(int ARow) {
    ClearRow(ARow);
    WithoutAlwaysShowEditor([&] { TStringGrid::DeleteRow(ARow); });
    if (OnRowDelete) OnRowDelete(this, ARow);
}

void TSortGrid::DeleteColumn(int ACol) {
    ClearColumn(ACol);
    WithoutAlwaysShowEditor([&] { TStringGrid::DeleteColumn(ACol); });
    if (OnColumnDelete) OnColumnDelete(this, ACol);
}

void TSortGrid::ClearCells() {
    for (TGridRow& row : RowStore()) row.clear();
    Modified = false;
    RefreshEditor();
    InvalidateGrid();
    // Every cell changed at once; no edit is pending any more.
    RememberCell();
}

// ---------------------------------------------------------------------------
// Sizing columns

void TSortGrid::AutoSizeColumn(int ACol) {
    if (ACol < 0 || ACol >= ColCount()) throw EGridIndexError();
    TCanvas& canvas = Canvas();
    canvas.Font.Assign(Font());
    int widest = 0;
    const TGridRect sel = Selection();
    for (int r = 0; r < RowCount(); ++r) {
        TFormatOptions format = InitialFormat();
        if (OnGetCellFormat) {
            TGridDrawState state = 0;
            if (r < FixedRows() || ACol < FixedCols()) state |= gdFixed;
            if (Focused() && ACol == Col() && r == Row()) state |= gdFocused;
            if (ACol >= sel.Left && ACol <= sel.Right && r >= sel.Top && r <= sel.Bottom) state |= gdSelected;
            OnGetCellFormat(this, ACol, r, state, format);
        }
        if (format.Font) canvas.Font.Assign(*format.Font);
        const std::string& text = Cells(ACol, r);
        if (!text.empty()) widest = std::max(widest, canvas.TextWidth(text));
    }
    SetColWidths(ACol, widest + canvas.TextWidth("x"));
}

void TSortGrid::AutoSizeColumns(bool IncludeFixed, int Extra) {
    auto size = [&](int i) {
        AutoSizeColumn(i);
        if (Extra != 0) SetColWidths(i, ColWidths(i) + Extra);
    };
    if (IncludeFixed)
        for (int i = 0; i < FixedCols(); ++i) size(i);
    for (int i = FixedCols(); i < ColCount(); ++i) size(i);
}

// ---------------------------------------------------------------------------
// Search

bool TSortGrid::FindCell(const std::string& S, int& ACol, int& ARow) {
    const QString wanted = DisplayText(S);
    for (int c = 0; c < ColCount(); ++c)
        for (int r = 0; r < RowCount(); ++r)
            if (DisplayText(Cells(c, r)).compare(wanted, Qt::CaseInsensitive) == 0) {
                ACol = c;
                ARow = r;
                return true;
            }
    return false;
}

// ---------------------------------------------------------------------------
// Delimited text file

namespace {

// Splits a text into lines at CR LF, LF or CR; a zero byte ends the text; a
// last line without a line end still counts.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t end = text.find('\0');
    if (end == std::string::npos) end = text.size();
    std::size_t start = 0, i = 0;
    while (i < end) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text, start, i - start);
            if (c == '\r' && i + 1 < end && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < end) lines.emplace_back(text, start, end - start);
    return lines;
}

// The file a path finally names: links followed. A path that is no link,
// or a link that leads nowhere, names itself.
std::string LinkTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved.string();
}

}  // namespace

void TSortGrid::LoadFromFile(const std::string& FileName, char Delimiter) {
    // The whole file is read before any cell changes, so a file that cannot
    // be opened or read leaves the grid as it was.
    std::string text;
    {
        platform::FileStream in;
        if (!in.Open(FileName, platform::OpenMode::ReadDenyWrite))
            throw EFileError("Cannot open file \"" + FileName + "\"");
        char buffer[65536];
        for (;;) {
            const std::int64_t got = in.Read(buffer, sizeof buffer);
            if (got < 0) throw EFileError("Error reading file \"" + FileName + "\"");
            if (got == 0) break;
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    const std::vector<std::string> lines = SplitLines(text);
    text.clear();
    ClearCells();
    SetRowCount(static_cast<int>(lines.size()));
    SetColCount(FixedCols() + 1);
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        fields.clear();
        const std::string& line = lines[i];
        std::size_t start = 0;
        for (;;) {
            const std::size_t at = line.find(Delimiter, start);
            if (at == std::string::npos) {
                fields.emplace_back(line, start);
                break;
            }
            fields.emplace_back(line, start, at - start);
            start = at + 1;
        }
        if (static_cast<int>(fields.size()) > ColCount()) SetColCount(static_cast<int>(fields.size()));
        for (std::size_t j = 0; j < fields.size(); ++j) {
            SetCells(static_cast<int>(j), static_cast<int>(i), fields[j]);
            SetObjects(static_cast<int>(j), static_cast<int>(i), nullptr);
        }
    }
    RememberCell();
}

void TSortGrid::SaveToFile(const std::string& FileName, char Delimiter) {
    std::string text;
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < ColCount(); ++c) {
            if (c > 0) text += Delimiter;
            text += Cells(c, r);
        }
        text += "\r\n";
    }
    // The new contents go to a temporary file beside the old one and take
    // its place only once complete: a failure part way (a full disk, a size
    // limit) leaves the old file whole. A link is followed, so the file it
    // names is the one replaced and the link stays.
    const std::string target = LinkTarget(FileName);
    // Held while the old file is replaced: a file that could not be opened
    // for writing, or that someone else has locked, is refused as before.
    platform::FileStream old;
    if (platform::DirectoryExists(target) ||
        (platform::FileExists(target) && !old.Open(target, platform::OpenMode::ReadWriteExclusive)))
        throw EFileError("Cannot create file \"" + FileName + "\"");
    platform::ReplacementFile out(target);
    if (!out.Open()) throw EFileError("Cannot create file \"" + FileName + "\"");
    auto fail = [&](const std::string& message) {
        out.Discard();
        throw EFileError(message + " \"" + FileName + "\"");
    };
    const int fd = out.File().Descriptor();
    if (out.File().Write(text.data(), static_cast<std::int64_t>(text.size())) != static_cast<std::int64_t>(text.size()) ||
        ::fsync(fd) != 0)
        fail("Error writing file");
    if (old.IsOpen()) {
        std::error_code ignored;
        ::fchmod(fd, static_cast<mode_t>(std::filesystem::status(target, ignored).permissions()));
    }
    if (!out.Commit(false)) fail("Cannot create file");
}

// ---------------------------------------------------------------------------
// Extended keys

void TSortGrid::KeyDown(int& Key, TShiftState Shift) {
    TStringGrid::KeyDown(Key, Shift);
    if (!FExtendedKeys || EditorMode()) return;
    const TShiftState mods = Shift & (ssShift | ssAlt | ssCtrl);
    if (mods == ssCtrl) {
        if (Key == VK_INSERT) InsertRow(Row());
        else if (Key == VK_DELETE && FixedRows() + 1 < RowCount()) DeleteRow(Row());
    } else if (mods == (ssCtrl | ssShift)) {
        if (Key == VK_INSERT) InsertColumn(Col());
        else if (Key == VK_DELETE && FixedCols() + 1 < ColCount()) DeleteColumn(Col());
    }
}

}  // namespace grid
