#include "app/About.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/FitLayout.h"
#include "app/Fonts.h"
#include "app/ProgramIcon.h"
#include "app/Texts.h"
#include "app/WindowPlacement.h"

namespace app {

namespace {
constexpr int IconSize = 48;
constexpr int Width = 298;
constexpr int Height = 182;
}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QTr("TAboutBox", "About"));
    setFont(UiFont(MainFontPixels));
    resize(Width, Height);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 282, 126);

    ProgramIcon = new QLabel(panel);
    ProgramIcon->setGeometry(16, 16, IconSize, IconSize);
    ProgramIcon->setPixmap(app::ProgramPicture(IconSize, devicePixelRatioF()));

    ProductName = new QLabel(QString::fromUtf8(text::ProductName), panel);
    ProductName->setTextFormat(Qt::PlainText);
    ProductName->setFont(UiFont(18, true));
    ProductName->move(84, 20);
    ProductName->adjustSize();

    Version = new QLabel(QString::fromUtf8(text::Version), panel);
    Version->setTextFormat(Qt::PlainText);
    Version->move(84, 50);
    Version->adjustSize();

    OKButton = new QPushButton(QTr("TAboutBox", "OK"), this);
    OKButton->setGeometry(111, 145, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    // As designed; larger where the user's font needs it.
    TFitLayout panelFit(panel->size());
    panelFit.Add(ProgramIcon, Grow::None);
    panelFit.Add(ProductName);
    panelFit.Add(Version);
    TFitLayout boxFit(size());
    boxFit.Add(panel, panelFit);
    boxFit.Add(OKButton);
    ScaleFonts(*this);
    setFixedSize(boxFit.Apply());

    CentreOnScreen(*this);
}

}  // namespace app
