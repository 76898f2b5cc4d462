// The listing in the main window: filling the grid from the component's
// entries, the remembered sort and the user's place, the header click, the
// drawing of the sort glyph and of member names, fitting a column, the hint
// on a cut name, and the archive's name label.
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <algorithm>
#include <array>

#include "app/ElidedLabel.h"
#include "app/ErrorBox.h"
#include "app/ListingPlace.h"
#include "app/MemberCells.h"
#include "app/NameText.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "engine/PathText.h"
#include "platform/FileSystem.h"
#include "platform/FormatSettings.h"
#include "zipformat/DosDateTime.h"
#include "zipformat/Flags.h"

namespace app {

namespace {

constexpr int GlyphInset = 18;  // the glyph stands this far left of the heading's right edge
constexpr int TextOffset = 2;   // where the grid puts a left- and top-aligned text
constexpr int DateColumn = 3;
const char Utf8Tag = 0;

// Member dates in time order, the text of a value that is no date before
// every date.
std::int32_t CompareMemberDates(const std::string& a, const std::string& b)
{
    platform::TDateTime x = 0, y = 0;
    const bool dateA = platform::TryStrToDateTime(a, x), dateB = platform::TryStrToDateTime(b, y);
    if (dateA != dateB)
        return dateA ? 1 : -1;
    return !dateA || x == y ? 0 : x < y ? -1 : 1;
}

}  // namespace

std::string MemberDateText(std::uint32_t lastModDateTime)
{
    const fernpack::zip::DosDateTime d = fernpack::zip::DosDateTime::Decode(lastModDateTime);
    if (!d.Valid)
        return fernpack::zip::InvalidDateText;
    return platform::FormatDateTime("ddddd  t", platform::EncodeDate(d.Year, d.Month, d.Day) +
                                                    platform::EncodeTime(d.Hour, d.Minute, d.Second, 0));
}

void KeepMemberDatesInTimeOrder(int Col, grid::TSortOptions& Options)
{
    // Only a date column with such a text fails to convert as a whole.
    if (Col == DateColumn && Options.SortStyle == grid::ssAlphabetic) {
        Options.SortStyle = grid::ssCustom;
        Options.SortCompare = CompareMemberDates;
    }
}

void* Utf8NameTag() { return const_cast<char*>(&Utf8Tag); }

// Place + 1, so an empty slot (null) carries none.
void* MemberTag(std::size_t index) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index) + 1); }

std::ptrdiff_t MemberIndex(const void* tag)
{
    return static_cast<std::ptrdiff_t>(reinterpret_cast<std::uintptr_t>(tag)) - 1;
}

namespace {

// Members made together share their times: each time is put into words
// once while it repeats, not once per row (the words follow the locale's
// formats, which take longer than a look-up).
class MemberDateTexts {
public:
    const std::string& Text(std::uint32_t value)
    {
        Slot& slot = slots_[(value ^ (value >> 16)) % slots_.size()];
        if (!slot.filled || slot.value != value) {
            slot.value = value;
            slot.text = MemberDateText(value);
            slot.filled = true;
        }
        return slot.text;
    }

private:
    struct Slot {
        std::uint32_t value = 0;
        bool filled = false;
        std::string text;
    };
    std::array<Slot, 256> slots_;
};

}  // namespace

void TMainform::FillGrid()
{
    // The rows of the last listing lend their cells' storage to the new one,
    // so refilling a long listing allocates next to nothing.
    std::vector<grid::TGridRow> rows = StringGrid1->TakeDataRows();
    StringGrid1->SetRowCount(2);
    StringGrid1->ClearRow(1);
    const std::int32_t count = RezEdidiv1.EntryCount();
    if (count == 0)
        return;
    rows.resize(static_cast<std::size_t>(count));
    const std::size_t columns = static_cast<std::size_t>(StringGrid1->ColCount());
    MemberDateTexts dates;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const engine::ZipDirEntry& entry = *RezEdidiv1.Entries[i];
        grid::TGridRow& row = rows[i];
        row.resize(columns);
        for (grid::TGridCell& cell : row) {
            cell.Text.clear();
            cell.Object = nullptr;
        }
        row[0].Text = entry.FileName;
        row[0].Object = fernpack::zip::HasUtf8Name(entry.GeneralFlags) ? Utf8NameTag() : nullptr;
        row[1].Text = std::to_string(entry.RealCompressedSize());
        row[MemberTagColumn].Object = MemberTag(i);
        row[2].Text = std::to_string(entry.RealUncompressedSize());
        row[DateColumn].Text = dates.Text(entry.LastModDateTime);
    }
    StringGrid1->SetDataRows(std::move(rows));
    StringGrid1->SortByColumn(SortColumn, SortOptions);
}

void TMainform::OpenArchive(const std::string& name)
{
    freshListing_ = true;
    struct Reset {
        bool& fresh;
        ~Reset() { fresh = false; }
    } reset{freshListing_};
    RezEdidiv1.SetZipFilename(name);
}

void TMainform::RezEdidiv1DirUpdate(engine::TObject*)
{
    // Members taken out of another archive go with it.
    if (!opened_.Archive().empty() && opened_.Archive() != RezEdidiv1.ZipFilename())
        opened_.Clear();
    const bool fresh = freshListing_;
    TListingPlace place;
    if (!fresh)
        place = TListingPlace::Take(*StringGrid1);
    listing_.Clear();
    FillGrid();
    // Find goes on over the new listing.
    const TMemberFilter filter(FindEdit->text());
    if (!filter.Empty()) {
        listing_.Take(RezEdidiv1.EntryCount() > 0 ? StringGrid1->TakeDataRows() : std::vector<grid::TGridRow>());
        StringGrid1->SetDataRows(listing_.Lend(filter));
    }
    if (fresh) {
        StringGrid1->MoveToCell(StringGrid1->FixedCols(), StringGrid1->FixedRows());
        StringGrid1->SetTopRow(StringGrid1->FixedRows());
    } else {
        place.Restore(*StringGrid1);
    }
    ShowZipFileName(RezEdidiv1.ZipFilename());
    const bool program = engine::UpperCase(engine::ExtractFileExt(RezEdidiv1.ZipFilename())) == ".EXE";
    ConvertBut->setText(Translated(program ? text::ConvertToZip : text::ConvertToExe));
    if (platform::FileExists(RezEdidiv1.ZipFilename()))
        recent_.Remember(RezEdidiv1.ZipFilename());
    ShowCount();
}

void TMainform::ShowZipFileName(const std::string& S)
{
    zipFNameText_ = S;
    // The label has room for one line: a longer path shows its beginning and
    // its file name, the hint shows all of it.
    zipFNameHintOn_ = ShowElided(*ZipFName, VisibleName(S));
}

void TMainform::FitColumn(int col)
{
    grid::TSortGrid& g = *StringGrid1;
    if (col < 0 || col >= g.ColCount())
        return;
    const QFontMetrics metrics(g.Font().ToQFont());
    // The heading leaves room for the sort glyph at its right.
    int widest = TextOffset + metrics.horizontalAdvance(grid::DisplayText(g.Cells(col, 0))) + GlyphInset + TextOffset;
    for (int row = g.FixedRows(); row < g.RowCount(); ++row) {
        const std::string& cell = g.Cells(col, row);
        if (cell.empty())
            continue;
        const QString shown = col == 0 ? VisibleName(cell, g.Objects(col, row) == Utf8NameTag()) : grid::DisplayText(cell);
        widest = std::max(widest, 2 * TextOffset + metrics.horizontalAdvance(shown));
    }
    g.SetColWidths(col, widest);
}

QString TMainform::NameHintAt(QPoint pos) const
{
    const grid::TSortGrid& g = *StringGrid1;
    const grid::TGridCoord cell = g.MouseCoord(pos.x(), pos.y());
    if (cell.X != 0 || cell.Y < g.FixedRows())
        return {};
    const std::string& name = g.Cells(0, cell.Y);
    const QString shown = VisibleName(name, g.Objects(0, cell.Y) == Utf8NameTag());
    const int room = g.ColWidths(0) - TextOffset;
    return QFontMetrics(g.Font().ToQFont()).horizontalAdvance(shown) > room ? shown : QString();
}

bool TMainform::eventFilter(QObject* watched, QEvent* event)
{
    if (StringGrid1 != nullptr && watched == StringGrid1->viewport()) {
        if (event->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(event);
            const QString name = NameHintAt(help->pos());
            if (name.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), PlainHint(name), StringGrid1->viewport());
            return true;
        }
        if (event->type() == QEvent::ContextMenu) {
            ShowRowMenu(static_cast<QContextMenuEvent*>(event)->pos());
            return true;
        }
        if (GridMouse(event))
            return true;
    }
    if ((watched == StringGrid1 || watched == FindEdit) && GridKey(watched, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TMainform::StringGrid1ClickSort(grid::TSortGrid*, int Col, int, grid::TSortOptions& Options)
{
    SortOptions.SortDirection = SortOptions.SortDirection == grid::sdAscending ? grid::sdDescending : grid::sdAscending;
    SortColumn = Col;
    Options = SortOptions;
}

void TMainform::StringGrid1GetCellFormat(grid::TSortGrid* Sender, int Col, int Row, grid::TGridDrawState,
                                         grid::TFormatOptions& Format)
{
    // Names are drawn by the draw-cell handler, decoded.
    if (Col == 0 && Row >= Sender->FixedRows())
        Format.HideText = true;
}

void TMainform::StringGrid1DrawCell(grid::TStringGrid* Sender, int ACol, int ARow, grid::TRect Rect,
                                   grid::TGridDrawState)
{
    // Inside a paint nothing may escape: a failure is shown once the paint is over.
    try {
        grid::TCanvas& canvas = Sender->Canvas();
        if (ARow == 0 && ACol == SortColumn) {
            const int image =
                SortOptions.SortDirection == grid::sdDescending ? TSortGlyphs::Descending : TSortGlyphs::Ascending;
            canvas.Draw(Rect.Right - GlyphInset, 0, ImageList1.Image(image));
        } else if (ACol == 0 && ARow >= Sender->FixedRows()) {
            const bool utf8 = Sender->Objects(ACol, ARow) == Utf8NameTag();
            const QString shown = VisibleName(Sender->Cells(ACol, ARow), utf8);
            canvas.TextRect(Rect, Rect.Left + TextOffset, Rect.Top + TextOffset, shown.toStdString());
        }
    } catch (...) {
        TopLevelErrors::Instance().ReportCurrentException();
    }
}

}  // namespace app
