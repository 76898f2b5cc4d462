#include "app/msgunit.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "app/Fonts.h"
#include "app/NameText.h"
#include "app/ProgramIcon.h"
#include "app/WindowPlacement.h"

namespace app {

namespace {

constexpr int FormWidth = 580;
constexpr int FormHeight = 440;
constexpr int TopPanelHeight = 53;
constexpr int BottomPanelHeight = 34;

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
    setWindowTitle(QStringLiteral("Zip Messages"));
    setWindowIcon(ProgramIcon());
    setFont(UiFont(SmallFontPixels));
    // Closing this window must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(FormWidth, FormHeight);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FileBeingZipped = new QLabel(QStringLiteral("File being manipulated"), Panel1);
    FileBeingZipped->setTextFormat(Qt::PlainText);
    FileBeingZipped->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FileBeingZipped->setGeometry(252, 10, 105, 13);
    ProgressBar1 = Bar(Panel1, 364, 10);
    Label1 = new QLabel(QStringLiteral("Progress of All Files"), Panel1);
    Label1->setTextFormat(Qt::PlainText);
    Label1->move(264, 32);
    Label1->adjustSize();
    ProgressBar2 = Bar(Panel1, 364, 32);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    Panel2 = new QFrame(this);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    CancelBut = new QPushButton(QStringLiteral("&Cancel Operation"), Panel2);
    CancelBut->setGeometry(121, 7, 104, 20);
    DismissBut = new QPushButton(QStringLiteral("&Dismiss this Window"), Panel2);
    DismissBut->setGeometry(293, 7, 118, 20);
    connect(CancelBut, &QPushButton::clicked, this, &TMsgform::CancelButClick);
    connect(DismissBut, &QPushButton::clicked, this, &TMsgform::DismissButClick);

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
    Panel1->setGeometry(0, 0, w, TopPanelHeight);
    Panel2->setGeometry(0, h - BottomPanelHeight, w, BottomPanelHeight);
    Memo1->setGeometry(0, TopPanelHeight, w, std::max(0, h - TopPanelHeight - BottomPanelHeight));
}

void TMsgform::Open(const std::string& openingLine)
{
    Memo1->clear();
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

bool TMsgform::AppendLine(const std::string& line)
{
    QTextDocument* document = Memo1->document();
    if (!document->isEmpty() && document->blockCount() >= MemoCapacity)
        return false;
    Memo1->appendPlainText(VisibleMessage(line));
    return true;
}

QStringList TMsgform::Lines() const
{
    QStringList lines;
    for (QTextBlock b = Memo1->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

void TMsgform::ShowBars()
{
    FileBar.Show(*ProgressBar1);
    AllFilesBar.Show(*ProgressBar2);
}

}  // namespace app
