#include "app/PropertiesBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Fonts.h"
#include "app/NameText.h"
#include "app/ProgramIcon.h"
#include "app/Texts.h"

namespace app {

TPropertiesBox::TPropertiesBox(const TArchiveFacts& facts, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Translated(text::PropertiesTitle));
    setWindowIcon(ProgramIcon());
    setFont(UiFont(MainFontPixels));
    auto* form = new QFormLayout;
    for (const auto& [label, value] : FactLines(facts)) {
        auto* shown = new QLabel(VisibleName(value));
        shown->setTextFormat(Qt::PlainText);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        form->addRow(QString::fromUtf8(label.c_str()), shown);
        Values.push_back(shown);
    }
    CommentEdit = new QPlainTextEdit(VisibleMessage(facts.Comment));
    CommentEdit->setReadOnly(true);
    CommentEdit->setTabChangesFocus(true);
    form->addRow(Translated(text::PropComment), CommentEdit);
    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(Translated(text::Close), QDialogButtonBox::RejectRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    ScaleFonts(*this);
    // Wide enough for a long path, never wider than the archive's path needs.
    resize(sizeHint().expandedTo(QSize(ScaledPixels(420), ScaledPixels(300))));
}

}  // namespace app
