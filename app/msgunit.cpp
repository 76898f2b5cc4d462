#include "app/msgunit.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/ElidedLabel.h"
#include "app/Fonts.h"
#include "app/NameText.h"
#include "app/ProgramIcon.h"
#include "app/WindowPlacement.h"
#include "app/Translate.h"
#include "zipformat/NameText.h"

namespace app {

namespace {

constexpr int FormWidth = 580;
constexpr int FormHeight = 440;
constexpr int TopPanelHeight = 53;
constexpr int BottomPanelHeight = 34;
// Where the file label's room begins: its designed place reaches back to here.
constexpr int FileLabelLeft = 8;
// The memo's least height in the smallest window.
constexpr int MinimumMemoHeight = 60;

QProgressBar* Bar(QWidget* parent, int x, int y)
{
    auto* bar = new QProgressBar(parent);
    bar->setGeometry(x, y, 177, 13);
    bar->setTextVisible(false);
    return bar;
}

}  // namespace

TMsgform::TMsgform(engine::TRezEdidiv& component, QWidget* parent) : QWidget(parent, Qt::Window), component_(component)
{
    setWindowTitle(QTr("TMsgform", "Zip Messages"));
    setWindowIcon(ProgramIcon());
    setFont(UiFont(SmallFontPixels));
    // Closing this window must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(FormWidth, FormHeight);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // Right-aligned against the file bar, as designed at 252, 10, 105 by 13,
    // and reaching back over the panel's empty left part: a name longer
    // than that is shortened in the middle.
    FileBeingZipped = new QLabel(Panel1);
    FileBeingZipped->setTextFormat(Qt::PlainText);
    FileBeingZipped->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FileBeingZipped->setGeometry(FileLabelLeft, 10, 252 + 105 - FileLabelLeft, 13);
    ProgressBar1 = Bar(Panel1, 364, 10);
    Label1 = new QLabel(QTr("TMsgform", "Progress of All Files"), Panel1);
    Label1->setTextFormat(Qt::PlainText);
    Label1->move(264, 32);
    Label1->adjustSize();
    ProgressBar2 = Bar(Panel1, 364, 32);

    Memo1 = new TMemoLines(this);

    Panel2 = new QFrame(this);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    CancelBut = new QPushButton(QTr("TMsgform", "&Cancel Operation"), Panel2);
    CancelBut->setGeometry(121, 7, 104, 20);
    DismissBut = new QPushButton(QTr("TMsgform", "&Dismiss this Window"), Panel2);
    DismissBut->setGeometry(293, 7, 118, 20);
    connect(CancelBut, &QPushButton::clicked, this, &TMsgform::CancelButClick);
    connect(DismissBut, &QPushButton::clicked, this, &TMsgform::DismissButClick);

    // The places as designed; then the fonts at the user's size.
    topFit_ = TFitLayout({FormWidth, TopPanelHeight});
    topFit_.Add(FileBeingZipped, Grow::Height);
    topFit_.Add(ProgressBar1, Grow::None);
    // The caption ends where its bar begins, however long it gets.
    topFit_.Add(Label1, Grow::Leftward);
    topFit_.Add(ProgressBar2, Grow::None);
    bottomFit_ = TFitLayout({FormWidth, BottomPanelHeight});
    bottomFit_.Add(CancelBut);
    bottomFit_.Add(DismissBut);
    ScaleFonts(*this);
    const QSize top = topFit_.Apply(), bottom = bottomFit_.Apply();
    topHeight_ = top.height();
    bottomHeight_ = bottom.height();
    setMinimumSize(std::max(top.width(), bottom.width()), topHeight_ + bottomHeight_ + MinimumMemoHeight);
    resize(size().expandedTo(minimumSize()));
    ShowElided(*FileBeingZipped, QTr("TMsgform", "File being manipulated"));

    ShowBars();
}

void TMsgform::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Centred the first time; afterwards wherever the user left it.
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(*this);
    }
}

void TMsgform::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width(), h = height();
    Panel1->setGeometry(0, 0, w, topHeight_);
    Panel2->setGeometry(0, h - bottomHeight_, w, bottomHeight_);
    Memo1->setGeometry(0, topHeight_, w, std::max(0, h - topHeight_ - bottomHeight_));
}

void TMsgform::Open(const std::string& openingLine)
{
    ShowPending();
    Memo1->Clear();
    MemoFull = false;
    ShowAndRaise();
    HandleZipMessage(this, 0, openingLine, true);
}

void TMsgform::ShowAndRaise()
{
    show();
    raise();
    activateWindow();
}

void TMsgform::CancelButClick()
{
    if (component_.ZipLibBusy || component_.UnzLibBusy)
        component_.CancelRequested = true;
    else
        DismissButClick();
}

void TMsgform::DismissButClick() { hide(); }

void TMsgform::keyPressEvent(QKeyEvent* event)
{
    // Esc puts the window away, as Dismiss does; a running operation goes on.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        DismissButClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TMsgform::AppendLine(const std::string& line)
{
    // The memo refuses a line once it holds its capacity. While the lines
    // shown and waiting cannot make that many, the line may wait; near the
    // limit the waiting lines go in first and the memo itself is counted.
    if (Memo1->LineCount() + pendingLines_ >= MemoCapacity) {
        ShowPendingLines();
        if (Memo1->LineCount() > 0 && Memo1->LineCount() >= MemoCapacity)
            return false;
    }
    // Most messages are plain ASCII and go in as they are.
    std::string visible;
    std::string_view text = line;
    if (!fernpack::zip::IsPlainText(line, true)) {
        visible = VisibleMessageUtf8(line);
        text = visible;
    }
    // An empty memo takes its first line alone, as the one empty line a
    // cleared memo shows: an empty text leaves it as it is.
    if (Memo1->LineCount() == 0 && !pending_) {
        if (!text.empty())
            Memo1->Append(text);
        return true;
    }
    // A line feed between two texts makes the lines each makes alone.
    if (pending_)
        pendingText_ += '\n';
    pendingText_ += text;
    pending_ = true;
    pendingLines_ += TMemoLines::LinesIn(text);
    return true;
}

void TMsgform::ShowPendingLines()
{
    if (!pending_)
        return;
    Memo1->Append(std::string_view(pendingText_));
    pendingText_.clear();
    pending_ = false;
    pendingLines_ = 0;
}

QStringList TMsgform::Lines()
{
    ShowPendingLines();
    // An empty memo shows one empty line.
    if (Memo1->LineCount() == 0)
        return {QString()};
    return Memo1->Lines();
}

void TMsgform::ClearProgress()
{
    ShowPendingLines();
    fileName_.clear();
    fileNameChanged_ = false;
    ShowElided(*FileBeingZipped, QString());
    FileBar = TStepBar{};
    AllFilesBar = TStepBar{};
    FileBar.Reset();
    AllFilesBar.Reset();
    ShowBars();
}

void TMsgform::SetFileName(const std::string& name)
{
    fileName_ = name;
    fileNameChanged_ = true;
}

void TMsgform::ShowPending()
{
    ShowPendingLines();
    if (fileNameChanged_) {
        fileNameChanged_ = false;
        ShowElided(*FileBeingZipped, VisibleName(fileName_));
    }
    ShowBars();
}

void TMsgform::ShowBars()
{
    FileBar.Show(*ProgressBar1);
    AllFilesBar.Show(*ProgressBar2);
}

}  // namespace app
