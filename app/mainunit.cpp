// The main window itself: its controls and their places, creation and
// destruction, the busy rules and closing.
#include "app/mainunit.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "app/About.h"
#include "app/ErrorBox.h"
#include "app/FitLayout.h"
#include "app/Fonts.h"
#include "app/FormatElapsed.h"
#include "app/MemberCells.h"
#include "app/ProgramIcon.h"
#include "app/Texts.h"
#include "app/msgunit.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

namespace app {

namespace {

constexpr int FormWidth = 635;
constexpr int FormHeight = 440;
constexpr int BandHeight = 137;
constexpr int LeftPanelWidth = 124;
constexpr int RightPanelWidth = 103;
constexpr int FilesBevelX = 9;
constexpr int FilesBevelY = 84;
constexpr int RowHeight = 18;
// Room above and below a row's text: it is drawn 2 pixels below the row's top.
constexpr int RowTextRoom = 4;
// The grid rows (besides the heading) that the smallest window still shows.
constexpr int MinimumRows = 3;

QFrame* Panel(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QPushButton* Button(QWidget* parent, const QString& caption, int x, int y, int width, int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, y, width, height);
    return button;
}

QLabel* Label(QWidget* parent, const QString& caption, int x, int y)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

// A button's click runs a handler; what the handler throws goes to the
// top-level error box once the click has been handled.
template <typename Handler>
void OnClick(QPushButton* button, TMainform* form, Handler handler)
{
    QObject::connect(button, &QPushButton::clicked, form, [form, handler] {
        try {
            (form->*handler)();
        } catch (...) {
            TopLevelErrors::Instance().ReportCurrentException();
        }
    });
}

}  // namespace

TMainform::TMainform(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QString::fromUtf8(text::ApplicationTitle));
    setWindowIcon(ProgramIcon());
    setFont(UiFont(MainFontPixels));
    resize(FormWidth, FormHeight);
    CreateControls();
    FitToFonts();
    // As much larger as the font, so the grid's columns show side by side;
    // never larger than the screen.
    QSize start = QSize(ScaledPixels(FormWidth), ScaledPixels(FormHeight)).expandedTo(minimumSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        start = start.boundedTo(screen->availableGeometry().size()).expandedTo(minimumSize());
    resize(start);
    BuildGlyphs();

    // The component's stored values on this window.
    RezEdidiv1.Name = "RezEdidiv1";
    RezEdidiv1.Verbose = false;
    RezEdidiv1.Trace = false;
    RezEdidiv1.AddCompLevel = 9;
    RezEdidiv1.Unattended = false;
    RezEdidiv1.SFXOverWriteMode = engine::OvrOpts::OvrConfirm;
    RezEdidiv1.SFXCaption = "Self Extracting Archive";
    RezEdidiv1.OnDirUpdate = [this](engine::TObject* sender) { RezEdidiv1DirUpdate(sender); };
    RezEdidiv1.OnMessage = [this](engine::TObject* sender, std::int32_t code, const std::string& message) {
        RezEdidiv1Message(sender, code, message);
    };
    RezEdidiv1.OnProgress = [this](engine::TObject* sender, engine::ProgressType type, const std::string& name,
                                   std::int32_t size) { RezEdidiv1Progress(sender, type, name, size); };

    ZipOpenBut->setFocus();
}

TMainform::~TMainform()
{
    FormDestroy();
}

void TMainform::CreateControls()
{
    LeftPanel = Panel(this);
    NewZipBut = Button(LeftPanel, QTr("TMainform", "&New Zip"), 15, 8, 96, 33);
    ZipOpenBut = Button(LeftPanel, QTr("TMainform", "&Open Zip"), 15, 49, 96, 33);
    DeleteZipBut = Button(LeftPanel, QTr("TMainform", "Dest&roy Zip"), 15, 88, 96, 33);

    RightPanel = Panel(this);
    AboutFernpack = Button(RightPanel, QTr("TMainform", "A&bout"), 8, 8, 85, 27);
    CloseBut = Button(RightPanel, QTr("TMainform", "E&xit"), 9, 48, 85, 27);
    FilesBevel = new QFrame(RightPanel);
    FilesBevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    FilesBevel->setGeometry(FilesBevelX, FilesBevelY, 85, 33);
    // Inside the frame, which grows with them: at 27, 93 and 64, 93 in the panel.
    FilesLabel = Label(FilesBevel, QStringLiteral("0"), 27 - FilesBevelX, 93 - FilesBevelY);
    FilesCaption = Label(FilesBevel, QTr("TMainform", "files"), 64 - FilesBevelX, 93 - FilesBevelY);

    MiddlePanel = Panel(this);
    AddBut = Button(MiddlePanel, QTr("TMainform", "&Add  to Zip"), 10, 6, 91, 35);
    ExtractBut = Button(MiddlePanel, QTr("TMainform", "&Extract from Zip"), 109, 6, 100, 35);
    ConvertBut = Button(MiddlePanel, QTr("TMainform", "&Convert to EXE"), 220, 6, 89, 35);
    TestBut = Button(MiddlePanel, QTr("TMainform", "&Test Zip"), 12, 48, 89, 33);
    DeleteBut = Button(MiddlePanel, QTr("TMainform", "&Delete From Zip"), 108, 48, 101, 33);
    MsgBut = Button(MiddlePanel, QTr("TMainform", "&Show Msgs"), 220, 47, 90, 33);
    TimeCaption = Label(MiddlePanel, QTr("TMainform", "Time:"), 360, 10);
    TimeLabel = Label(MiddlePanel, QStringLiteral("00:00"), 358, 30);
    ZipFileCaption = Label(MiddlePanel, QTr("TMainform", "Zipfile:"), 14, 102);
    ZipFileCaption->setFont(UiFont(SmallFontPixels));
    ZipFileCaption->adjustSize();
    ZipFName = new QLabel(MiddlePanel);
    ZipFName->setTextFormat(Qt::PlainText);
    ZipFName->setFont(UiFont(SmallFontPixels, true));
    ZipFName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ZipFName->setGeometry(56, 102, 329, 19);
    ShowZipFileName(Translate(text::NoArchive));

    StringGrid1 = new grid::TSortGrid(this);
    grid::TFont gridFont;
    gridFont.Name = UiFamily().toStdString();
    gridFont.Height = ScaledPixels(MainFontPixels);
    gridFont.Color = grid::clWindowText;
    StringGrid1->SetFont(gridFont);
    StringGrid1->SetColCount(4);
    StringGrid1->SetRowCount(2);
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetFixedCols(0);
    // Rows as the design has them, higher when a larger font needs it.
    StringGrid1->SetDefaultRowHeight(std::max(RowHeight, QFontMetrics(gridFont.ToQFont()).height() + RowTextRoom));
    // The names take whatever width the other columns leave.
    StringGrid1->SetStretchCol(0);
    StringGrid1->viewport()->installEventFilter(this);
    StringGrid1->SetOptions(grid::goFixedVertLine | grid::goFixedHorzLine | grid::goVertLine | grid::goHorzLine |
                            grid::goRangeSelect | grid::goRowSelect | grid::goColSizing | grid::goThumbTracking);
    StringGrid1->SetClickSorting(true);
    StringGrid1->SetCaseSensitive(false);
    StringGrid1->SetAlignmentHorz(grid::taLeftJustify);
    StringGrid1->SetAlignmentVert(grid::taTopJustify);
    StringGrid1->SetBevelStyle(grid::cbNone);
    StringGrid1->SetProportionalScrollBars(true);
    StringGrid1->SetExtendedKeys(false);
    StringGrid1->OnClickSort = [this](grid::TSortGrid* sender, int col, int row, grid::TSortOptions& options) {
        StringGrid1ClickSort(sender, col, row, options);
    };
    StringGrid1->OnBeginSort = [](grid::TSortGrid*, int col, grid::TSortOptions& options) {
        KeepMemberDatesInTimeOrder(col, options);
    };
    StringGrid1->OnDrawCell = [this](grid::TStringGrid* sender, int col, int row, grid::TRect rect,
                                     grid::TGridDrawState state) { StringGrid1DrawCell(sender, col, row, rect, state); };
    StringGrid1->OnGetCellFormat = [this](grid::TSortGrid* sender, int col, int row, grid::TGridDrawState state,
                                          grid::TFormatOptions& format) {
        StringGrid1GetCellFormat(sender, col, row, state, format);
    };
    StringGrid1->OnFitColumn = [this](grid::TSortGrid*, int col) { FitColumn(col); };
    // A sort while Find shows a part of the listing leaves the rest in the
    // old order until Find next needs it; a sort of the whole listing while
    // Find is open gives its names new places.
    StringGrid1->OnEndSort = [this](grid::TSortGrid*, int) {
        if (listing_.Taken())
            listing_.Unsorted = true;
        else if (FindShown())
            listing_.MakeKeysAhead(*StringGrid1);
        else
            listing_.Clear();
    };

    OnClick(NewZipBut, this, &TMainform::NewZipButClick);
    OnClick(ZipOpenBut, this, &TMainform::ZipOpenButClick);
    OnClick(DeleteZipBut, this, &TMainform::DeleteZipButClick);
    OnClick(AboutFernpack, this, &TMainform::AboutFernpackClick);
    OnClick(CloseBut, this, &TMainform::CloseButClick);
    OnClick(MsgBut, this, &TMainform::MsgButClick);
    OnClick(AddBut, this, &TMainform::AddButClick);
    OnClick(ExtractBut, this, &TMainform::ExtractButClick);
    OnClick(DeleteBut, this, &TMainform::DeleteButClick);
    OnClick(TestBut, this, &TMainform::TestButClick);
    OnClick(ConvertBut, this, &TMainform::ConvertButClick);

    FindBar = new QFrame(this);
    auto* findLayout = new QHBoxLayout(FindBar);
    findLayout->setContentsMargins(4, 2, 4, 2);
    FindCaption = new QLabel(Translated(text::FindCaption), FindBar);
    FindEdit = new QLineEdit(FindBar);
    FindEdit->setClearButtonEnabled(true);
    FindCaption->setBuddy(FindEdit);
    findLayout->addWidget(FindCaption);
    findLayout->addWidget(FindEdit, 1);
    FindBar->hide();
    QObject::connect(FindEdit, &QLineEdit::textChanged, this, [this] {
        try {
            ApplyFind();
        } catch (...) {
            TopLevelErrors::Instance().ReportCurrentException();
        }
    });
    FindEdit->installEventFilter(this);
    StringGrid1->installEventFilter(this);
    setAcceptDrops(true);
    CreateActions();
    opened_.OnChanged = [this](const TOpenedMembers::Member& member) { return MemberChanged(member); };
}

void TMainform::FitToFonts()
{
    // The places as designed, at the design's font sizes.
    leftFit_ = TFitLayout({LeftPanelWidth, BandHeight});
    for (QPushButton* b : {NewZipBut, ZipOpenBut, DeleteZipBut})
        leftFit_.Add(b);
    filesFit_ = TFitLayout(FilesBevel->size());
    filesFit_.Add(FilesLabel);
    filesFit_.Add(FilesCaption);
    rightFit_ = TFitLayout({RightPanelWidth, BandHeight});
    rightFit_.Add(AboutFernpack);
    rightFit_.Add(CloseBut);
    rightFit_.Add(FilesBevel, filesFit_);
    middleFit_ = TFitLayout({FormWidth - LeftPanelWidth - RightPanelWidth, BandHeight});
    for (QWidget* w : std::initializer_list<QWidget*>{AddBut, ExtractBut, ConvertBut, TestBut, DeleteBut, MsgBut,
                                                      TimeCaption, TimeLabel, ZipFileCaption})
        middleFit_.Add(w);
    // The name keeps its width (a longer one is shortened) and grows only
    // as high as its font needs.
    middleFit_.Add(ZipFName, Grow::Height);
    ScaleFonts(*this);
    Refit();
    ShowZipFileName(zipFNameText_);
}

void TMainform::Refit()
{
    const QSize left = leftFit_.Apply();
    const QSize middle = middleFit_.Apply();
    const QSize right = rightFit_.Apply();
    bandHeight_ = std::max({left.height(), middle.height(), right.height()});
    leftWidth_ = left.width();
    rightWidth_ = right.width();
    // Every control of the band, and a heading with a few rows of the grid.
    const int gridRows = (StringGrid1->DefaultRowHeight() + grid::TStringGrid::GridLineWidth()) * (1 + MinimumRows);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, StringGrid1);
    setMinimumSize(leftWidth_ + middle.width() + rightWidth_, bandHeight_ + gridRows + scrollBar);
    PlaceBand();
}

void TMainform::PlaceBand()
{
    const int w = width();
    LeftPanel->setGeometry(0, 0, leftWidth_, bandHeight_);
    RightPanel->setGeometry(w - rightWidth_, 0, rightWidth_, bandHeight_);
    MiddlePanel->setGeometry(leftWidth_, 0, std::max(0, w - leftWidth_ - rightWidth_), bandHeight_);
    int gridTop = bandHeight_;
    if (FindBar->isVisibleTo(this)) {
        const int findHeight = FindBar->sizeHint().height();
        FindBar->setGeometry(0, gridTop, w, findHeight);
        gridTop += findHeight;
    }
    StringGrid1->setGeometry(0, gridTop, w, std::max(0, height() - gridTop));
}

void TMainform::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceBand();
}

void TMainform::BuildGlyphs() { ImageList1.Build(StringGrid1->palette(), StringGrid1->devicePixelRatioF()); }

void TMainform::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (StringGrid1 != nullptr && (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)) {
        BuildGlyphs();
        StringGrid1->viewport()->update();
    }
}

void TMainform::FormCreate(const std::vector<std::string>& arguments)
{
    StringGrid1->SetRowCount(2);
    const std::string headings[] = {Tr("TMainform", "File Name"), Tr("TMainform", "Compr Size"),
                                    Tr("TMainform", "Uncmpr Size"), Tr("TMainform", "Date/Time")};
    const int widths[] = {316, 84, 94, 120};
    // Widths as designed, as much wider as the font is larger.
    for (int col = 0; col < 4; ++col) {
        StringGrid1->SetCells(col, 0, headings[col]);
        StringGrid1->SetColWidths(col, ScaledPixels(widths[col]));
    }
    RezEdidiv1.LoadZipLibrary();
    RezEdidiv1.LoadUnzLibrary();
    // Made absolute: an extract changes the current folder, and the archive
    // must stay the same file afterwards.
    if (!arguments.empty())
        OpenArchive(arguments[0].empty() ? arguments[0] : platform::AbsolutePath(arguments[0]));
    SortOptions.SortStyle = grid::ssAutomatic;
    SortOptions.SortDirection = grid::sdAscending;
    SortOptions.SortCaseSensitive = false;
}

void TMainform::FormDestroy()
{
    RezEdidiv1.UnloadZipLibrary();
    RezEdidiv1.UnloadUnzLibrary();
}

void TMainform::CloseButClick() { close(); }

void TMainform::SetCommandDialogs(TExtract* extract, TAddForm* add, TMakeSFX* makeSfx)
{
    Extract = extract;
    AddForm = add;
    MakeSFX = makeSfx;
}

void TMainform::ShowModal(QDialog& dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
}

void TMainform::AboutFernpackClick()
{
    TAboutBox box(this);
    box.exec();
}

void TMainform::MsgButClick()
{
    if (Msgform)
        Msgform->ShowAndRaise();
}

void TMainform::ShowElapsed(std::uint32_t start, std::uint32_t finish)
{
    TimeLabel->setText(QString::fromStdString(FormatElapsed(start, finish)));
    Refit();
}

void TMainform::RezEdidiv1Message(engine::TObject*, std::int32_t ErrCode, const std::string& Message)
{
    // One box per operation: a library that fails on every member of a
    // large archive would otherwise hold the user in a box per member, with
    // Cancel out of reach between them. The rest go to the memo.
    const bool boxes = !closeRequested_;
    tally_.Message(ErrCode);
    if (HandleZipMessage(Msgform, ErrCode, Message, boxes, !(busy_ && dllBoxShown_)) && busy_)
        dllBoxShown_ = true;
}

void TMainform::RezEdidiv1Progress(engine::TObject*, engine::ProgressType ProgrType, const std::string& Filename,
                                   std::int32_t FileSize)
{
    if (ProgrType == engine::ProgressType::FileBegin)
        tally_.FileBegun(Filename);
    HandleZipProgress(Msgform, ProgrType, Filename, FileSize);
}

// ---------------------------------------------------------------------------
// Busy rules

void TMainform::SetCommandsEnabled(bool enabled)
{
    for (QPushButton* b : {NewZipBut, ZipOpenBut, DeleteZipBut, AddBut, ExtractBut, ConvertBut, TestBut, DeleteBut,
                           CloseBut})
        b->setEnabled(enabled);
    // The keys and menu items of the same commands, and those that would
    // start another operation.
    for (QAction* a : {OpenMemberAction, ExtractAction, DeleteAction, TestAction, PropertiesAction, OpenZipAction,
                       NewZipAction, RelistAction})
        a->setEnabled(enabled);
}

bool TMainform::RunOperation(const std::function<void()>& operation)
{
    if (busy_)
        return false;
    busy_ = true;
    dllBoxShown_ = false;
    SetCommandsEnabled(false);
    struct End {
        TMainform* form;
        ~End()
        {
            // Every line the operation logged is in the memo before its result box.
            if (form->Msgform != nullptr)
                form->Msgform->ShowPending();
            form->busy_ = false;
            form->SetCommandsEnabled(true);
            // The close asked for during the call happens now that it has returned.
            if (form->closeRequested_)
                QMetaObject::invokeMethod(form, &QWidget::close, Qt::QueuedConnection);
        }
    };
    try {
        End end{this};
        operation();
    } catch (...) {
        if (closeRequested_)
            return false;  // nobody is left to read about it
        throw;
    }
    return !closeRequested_;
}

void TMainform::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        // The call must return before anything goes: ask the library to
        // stop (a conversion cannot be stopped; the close waits for it), and
        // from now on show nothing more.
        event->ignore();
        closeRequested_ = true;
        if (RezEdidiv1.ZipLibBusy || RezEdidiv1.UnzLibBusy)
            RezEdidiv1.CancelRequested = true;
        RezEdidiv1.Unattended = true;
        TopLevelErrors::Instance().SetSilenced(true);
        return;
    }
    event->accept();
    emit Closed();
}

bool TMainform::RunGuardedOperation(const std::function<void()>& operation, const std::string& fatal)
{
    try {
        return RunOperation(operation);
    } catch (...) {
        platform::Ui().ShowMessage(fatal);
        return true;
    }
}

}  // namespace app
