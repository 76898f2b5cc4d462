// Every window under every look (the default style, a dark style, a
// desktop font 1.5 times the default, and the default style in each
// translated language, whose texts are longer): no text of a label, check box, radio
// button, button or group caption is wider or higher than the room its
// control gives it, every control lies inside its window, and no two
// overlap; at the default look the windows keep the design's sizes. The main
// window has a minimum size that shows every control; its names take the
// grid's spare width and a cut name shows whole as a hint.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include "AppTestSupport.h"
#include "app/About.h"
#include "app/Addunit.h"
#include "app/Texts.h"
#include "app/Translations.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "app/sfxunit.h"

namespace {

using apptest::AppTest;
using fixture::Stored;

enum class Look { Default, Dark, LargeFont, German, French, Spanish };

std::string LookName(const ::testing::TestParamInfo<Look>& info)
{
    switch (info.param) {
    case Look::Dark: return "DarkStyle";
    case Look::LargeFont: return "LargeFont";
    case Look::German: return "German";
    case Look::French: return "French";
    case Look::Spanish: return "Spanish";
    default: return "DefaultStyle";
    }
}

// The application's style, palette and font for one test; put back after.
class LookScope {
public:
    explicit LookScope(Look look)
        : style_(QApplication::style()->name()), palette_(QApplication::palette()), font_(QApplication::font())
    {
        if (look == Look::Dark) {
            // Adwaita-Dark where it is installed, else Fusion in dark colours.
            if (QStyle* dark = QStyleFactory::create(QStringLiteral("Adwaita-Dark"))) {
                QApplication::setStyle(dark);
            } else {
                QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
                QPalette p;
                p.setColor(QPalette::Window, QColor(53, 53, 53));
                p.setColor(QPalette::WindowText, Qt::white);
                p.setColor(QPalette::Base, QColor(35, 35, 35));
                p.setColor(QPalette::Text, Qt::white);
                p.setColor(QPalette::Button, QColor(53, 53, 53));
                p.setColor(QPalette::ButtonText, Qt::white);
                QApplication::setPalette(p);
            }
        } else if (look == Look::LargeFont) {
            QFont large = font_;
            large.setPointSizeF(font_.pointSizeF() * 1.5);
            QApplication::setFont(large);
        } else if (look != Look::Default) {
            const char* locale = look == Look::German ? "de_DE" : look == Look::French ? "fr_FR" : "es_ES";
            translations_ = std::make_unique<app::TTranslations>(QLocale(QString::fromLatin1(locale)),
                                                                 QStringList{QStringLiteral(FERNPACK_QM_DIR)});
        }
    }
    ~LookScope()
    {
        QApplication::setStyle(QStyleFactory::create(style_));
        QApplication::setPalette(palette_);
        QApplication::setFont(font_);
    }

private:
    QString style_;
    QPalette palette_;
    QFont font_;
    std::unique_ptr<app::TTranslations> translations_;
};

QString Drawn(QString text) { return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1")); }

// Where the style draws a control's text, and the text; empty for controls
// without one.
struct TextPlace {
    QRect area;
    QString text;
};

TextPlace TextOf(const QWidget& w)
{
    if (const auto* label = qobject_cast<const QLabel*>(&w)) {
        if (!label->pixmap().isNull())
            return {};
        return {label->contentsRect().marginsRemoved(QMargins(1, 1, 1, 1) * label->margin()), label->text()};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(button))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(button))
            element = QStyle::SE_RadioButtonContents;
        return {button->style()->subElementRect(element, &option, button), Drawn(button->text())};
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&w)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.textAlignment = group->alignment();
        return {group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group),
                group->title()};
    }
    return {};
}

bool IsControl(const QWidget& w)
{
    return qobject_cast<const QLabel*>(&w) || qobject_cast<const QAbstractButton*>(&w) ||
           qobject_cast<const QGroupBox*>(&w) || qobject_cast<const QLineEdit*>(&w) ||
           qobject_cast<const QComboBox*>(&w) || qobject_cast<const QProgressBar*>(&w);
}

// The checks for one shown window.
void ExpectEverythingFits(QWidget& window)
{
    SCOPED_TRACE(window.windowTitle().toStdString());
    ASSERT_TRUE(window.isVisible());
    int controls = 0;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window || !w->isVisibleTo(&window) || !IsControl(*w))
            continue;
        if (qobject_cast<QAbstractScrollArea*>(w->parentWidget()) || w->inherits("QAbstractScrollArea"))
            continue;
        ++controls;
        const TextPlace place = TextOf(*w);
        const std::string what = (w->metaObject()->className() + std::string(" ") + place.text.toStdString());
        if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            // The line, a pixel above and below it, and the pixel or two that
            // letters like g and y reach below the font's descent.
            QStyleOptionFrame option;
            option.initFrom(edit);
            option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
            const QRect area = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
            EXPECT_GE(area.height(), QFontMetrics(edit->font()).height() + 4) << what;
        }
        if (!place.text.isEmpty()) {
            const QFontMetrics metrics(w->font());
            EXPECT_LE(metrics.horizontalAdvance(place.text), place.area.width()) << what;
            EXPECT_LE(place.area.right(), w->rect().right()) << what;
            EXPECT_LE(metrics.height(), w->height()) << what;
        }
        // Inside every frame around it, up to the window.
        for (QWidget* p = w; p != &window; p = p->parentWidget())
            EXPECT_TRUE(p->parentWidget()->rect().contains(p->geometry())) << what << " in " << p->metaObject()->className();
        // Clear of its neighbours.
        for (QWidget* other : w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != w && other->isVisibleTo(&window) && IsControl(*other) && other < w) {
                EXPECT_FALSE(other->geometry().intersects(w->geometry()))
                    << what << " and " << TextOf(*other).text.toStdString();
            }
        }
    }
    EXPECT_GT(controls, 2);
}

void Show(QWidget& w)
{
    w.show();
    QApplication::processEvents();
}

class Fit : public AppTest, public ::testing::WithParamInterface<Look> {
protected:
    Fit() : look_(GetParam()) {}
    LookScope look_;
};

TEST_P(Fit, NoTextIsCutInAnyWindow)
{
    Start({WriteArchive("fit.zip", {Stored("one.txt", "1")})});
    app::TMainform& main = Main();
    program->ShowMainWindow();
    QApplication::processEvents();
    ExpectEverythingFits(main);
    // The longest texts the band shows: a count of 2,147,483,647 members,
    // 100 minutes, the other caption of Convert.
    main.FilesLabel->setText(QStringLiteral("2147483647"));
    main.ShowElapsed(0, 6000000);
    main.ConvertBut->setText(app::Translated(app::text::ConvertToZip));
    main.Refit();
    QApplication::processEvents();
    ExpectEverythingFits(main);
    // The smallest window still shows every control.
    main.resize(420, 300);
    QApplication::processEvents();
    EXPECT_GE(main.width(), main.minimumWidth());
    ExpectEverythingFits(main);
    const QFontMetrics grid(main.StringGrid1->Font().ToQFont());
    EXPECT_GE(main.StringGrid1->DefaultRowHeight(), grid.height() + 2);
    for (int col = 0; col < main.StringGrid1->ColCount(); ++col)
        EXPECT_LE(grid.horizontalAdvance(QString::fromStdString(main.StringGrid1->Cells(col, 0))) + 2 + 18,
                  main.StringGrid1->ColWidths(col))
            << "heading " << col << " leaves room for the sort glyph";

    app::TMsgform& messages = program->Msgform();
    Show(messages);
    ExpectEverythingFits(messages);
    // A long member name is shortened in the middle, whole in the hint.
    const std::string name = "a/very/long/folder/name/inside/the/archive/" + std::string(80, 'n') + "/last.txt";
    app::HandleZipProgress(&messages, engine::ProgressType::FileBegin, name, 10);
    QLabel& file = *messages.FileBeingZipped;
    EXPECT_TRUE(file.text().startsWith("a/very")) << file.text().toStdString();
    EXPECT_TRUE(file.text().endsWith("last.txt"));
    EXPECT_TRUE(file.toolTip().contains(QString::fromStdString(name)));
    ExpectEverythingFits(messages);
    messages.hide();

    for (QWidget* dialog : std::initializer_list<QWidget*>{&program->AddForm(), &program->Extract(), &program->MakeSFX()}) {
        Show(*dialog);
        ExpectEverythingFits(*dialog);
        dialog->hide();
    }
    app::TAboutBox about(&main);
    Show(about);
    ExpectEverythingFits(about);
}

INSTANTIATE_TEST_SUITE_P(Looks, Fit,
                         ::testing::Values(Look::Default, Look::Dark, Look::LargeFont, Look::German, Look::French,
                                           Look::Spanish),
                         LookName);

TEST_F(AppTest, TheDefaultLookKeepsTheDesignedSizes)
{
    Start();
    EXPECT_EQ(Main().size(), QSize(635, 440));
    EXPECT_EQ(Main().minimumWidth(), 635);
    EXPECT_EQ(Main().StringGrid1->DefaultRowHeight(), 18);
    EXPECT_EQ(program->Msgform().size(), QSize(580, 440));
    EXPECT_EQ(program->Extract().size(), QSize(488, 418));
    EXPECT_EQ(program->MakeSFX().size(), QSize(590, 407));
    EXPECT_EQ(program->AddForm().size(), QSize(620, 440));
    EXPECT_EQ(app::TAboutBox(&Main()).size(), QSize(298, 182));
    EXPECT_EQ(Main().AddBut->geometry(), QRect(10, 6, 91, 35));
    EXPECT_EQ(Main().FilesCaption->mapTo(Main().RightPanel, QPoint(0, 0)), QPoint(64, 93));
}

TEST_F(AppTest, TheNamesTakeTheSpareWidthFitOnADoubleClickAndShowWholeWhenCut)
{
    const std::string longName = "folder/" + std::string(90, 'w') + ".txt";
    Start({WriteArchive("names.zip", {Stored("a.txt", "1"), Stored(longName, "2")})});
    program->ShowMainWindow();
    app::TMainform& main = Main();
    grid::TSortGrid& g = *main.StringGrid1;
    main.resize(900, 440);
    QApplication::processEvents();
    int others = 0;
    for (int col = 1; col < 4; ++col)
        others += g.ColWidths(col) + 1;
    EXPECT_EQ(g.ColWidths(0) + others + 1, g.viewport()->width()) << "no gap at the right";

    // The long name is cut: its hint shows it whole; the short one has none.
    const grid::TRect cut = g.CellRect(0, 2), whole = g.CellRect(0, 1);
    EXPECT_EQ(main.NameHintAt({cut.Left + 5, cut.Top + 5}), QString::fromStdString(longName));
    EXPECT_EQ(main.NameHintAt({whole.Left + 5, whole.Top + 5}), QString());
    EXPECT_EQ(main.NameHintAt({g.CellRect(1, 2).Left + 5, cut.Top + 5}), QString());

    // Fitted, the column shows the long name whole, and no hint is needed.
    main.FitColumn(0);
    EXPECT_EQ(main.NameHintAt({cut.Left + 5, cut.Top + 5}), QString());
    EXPECT_GT(g.ColWidths(0), g.viewport()->width() - others - 1);
    // A narrow column fits its heading and the glyph beside it.
    main.FitColumn(1);
    const QFontMetrics metrics(g.Font().ToQFont());
    EXPECT_EQ(g.ColWidths(1), 2 + metrics.horizontalAdvance("Compr Size") + 18 + 2);
}

}  // namespace
