#include "app/MessageBoxes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <vector>

#include "app/Texts.h"

namespace app {

namespace {

// Parentless, so the toolkit centres it on the screen (where the windowing
// system lets programs place windows); application modal.
void Prepare(QMessageBox& box, const QString& caption, QMessageBox::Icon icon, const QString& text)
{
    box.setWindowTitle(caption);
    box.setIcon(icon);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowModality(Qt::ApplicationModal);
    // Ctrl+C copies the box's text, so a message (a path, a library's
    // words) can be pasted elsewhere.
    auto* copy = new QShortcut(QKeySequence::Copy, &box);
    QObject::connect(copy, &QShortcut::activated, &box,
                     [&box] { QGuiApplication::clipboard()->setText(box.text()); });
}

void ShowWithOk(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box;
    Prepare(box, QString::fromUtf8(text::ApplicationTitle), icon, text);
    box.setDefaultButton(box.addButton(Translated(text::Ok), QMessageBox::AcceptRole));
    box.exec();
}

}  // namespace

void ShowPlainBox(const QString& text) { ShowWithOk(QMessageBox::NoIcon, text); }

void ShowErrorBox(const QString& text) { ShowWithOk(QMessageBox::Critical, text); }

bool ShowConfirmBox(const QString& question)
{
    QMessageBox box;
    Prepare(box, Translated(text::ConfirmCaption), QMessageBox::Question, question);
    QPushButton* yes = box.addButton(Translated(text::Yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(Translated(text::No), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

int ShowChoiceBox(const QString& question, const QStringList& buttons)
{
    QMessageBox box;
    Prepare(box, Translated(text::ConfirmCaption), QMessageBox::Question, question);
    std::vector<QPushButton*> pressed;
    for (const QString& caption : buttons)
        pressed.push_back(box.addButton(caption, QMessageBox::ActionRole));
    if (!pressed.empty()) {
        box.setDefaultButton(pressed.front());
        box.setEscapeButton(pressed.back());
    }
    box.exec();
    for (std::size_t i = 0; i < pressed.size(); ++i)
        if (box.clickedButton() == pressed[i])
            return static_cast<int>(i);
    return -1;
}

}  // namespace app
