// The Qt boxes themselves: captions, icons, buttons, and plain text only,
// so a name full of markup and control characters shows as typed.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/ErrorBox.h"
#include "app/FileFilter.h"
#include "app/QtAppServices.h"
#include "app/QtUiServices.h"

namespace {

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
};

const std::string Hostile = "<b>x</b>\xE2\x80\xAE\x1b";
const QString HostileShown = QString::fromUtf8("<b>x</b>\\u202e\\x1b");

TEST(BoxesTest, PlainConfirmationAndErrorBoxesShowPlainText)
{
    auto seen = std::make_shared<SeenBox>();
    auto read = [seen](const QString& press) {
        QTimer::singleShot(0, [seen, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            *seen = {box->windowTitle(), box->text(), box->icon(), box->textFormat(), {}};
            QAbstractButton* pressed = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                seen->buttons << b->text();
                if (b->text() == press)
                    pressed = b;
            }
            if (pressed)
                pressed->click();
        });
    };

    app::QtUiServices ui;
    read("OK");
    ui.ShowMessage("Zip file not found: " + Hostile);
    EXPECT_EQ(seen->title, "Fernpack");
    EXPECT_EQ(seen->icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen->format, Qt::PlainText);
    EXPECT_EQ(seen->text, "Zip file not found: " + HostileShown);
    EXPECT_EQ(seen->buttons, QStringList{"OK"});

    app::QtAppServices dialogs;
    read("&No");
    EXPECT_FALSE(dialogs.Confirm("Are you sure you want to delete: " + Hostile + "?"));
    EXPECT_EQ(seen->title, "Confirm");
    EXPECT_EQ(seen->icon, QMessageBox::Question);
    EXPECT_EQ(seen->format, Qt::PlainText);
    EXPECT_EQ(seen->buttons, (QStringList{"&Yes", "&No"}));
    read("&Yes");
    EXPECT_TRUE(dialogs.Confirm("Overwrite?"));

    read("OK");
    dialogs.ErrorBox(app::ErrorBoxText("Cannot open file " + Hostile));
    EXPECT_EQ(seen->title, "Fernpack");
    EXPECT_EQ(seen->icon, QMessageBox::Critical);
    EXPECT_EQ(seen->text, "Cannot open file " + HostileShown);  // ESC sorts before '.': no full stop
}

TEST(BoxesTest, TheErrorTextGetsAFullStopOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(app::ErrorBoxText("Error 3 reading Zip file"), "Error 3 reading Zip file.");
    EXPECT_EQ(app::ErrorBoxText("Done."), "Done.");
    EXPECT_EQ(app::ErrorBoxText("Why?"), "Why?.");
    EXPECT_EQ(app::ErrorBoxText("a-"), "a-");
    EXPECT_EQ(app::ErrorBoxText(""), "");
}

TEST(BoxesTest, FiltersMatchAnyLetterCase)
{
    EXPECT_EQ(app::ToolkitFilters("ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe"),
              QStringList{"ZIP Files (*.ZIP, *.EXE) (*.[zZ][iI][pP] *.[eE][xX][eE])"});
    EXPECT_EQ(app::ToolkitFilters("A|*.a|B|*.b1"), (QStringList{"A (*.[aA])", "B (*.[bB]1)"}));
}

}  // namespace
