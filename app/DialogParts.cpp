#include "app/DialogParts.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/Fonts.h"

namespace app {

QFrame* RaisedPanel(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QPushButton* PlacedButton(QWidget* parent, const char* caption, int x, int y, int width, int height, bool bold)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    if (bold) {
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
    }
    button->setGeometry(x, y, width, height);
    return button;
}

QLabel* PlacedLabel(QWidget* parent, const char* caption, int x, int y, int pixels, bool bold)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setTextFormat(Qt::PlainText);
    if (pixels > 0)
        label->setFont(UiFont(pixels, bold));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QCheckBox* PlacedCheckBox(QWidget* parent, const char* caption, int x, int y, int width, int height)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setGeometry(x, y, width, height);
    return box;
}

TRadioGroup::TRadioGroup(QWidget* parent, const char* caption, const QStringList& items, int x, int y, int width,
                         int height)
    : QGroupBox(QString::fromUtf8(caption), parent)
{
    for (const QString& text : items)
        items_.push_back(new QRadioButton(text, this));
    setGeometry(x, y, width, height);
}

int TRadioGroup::ItemIndex() const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        items_[i]->setChecked(static_cast<int>(i) == index);
}

void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    // The choices share the space below the caption evenly, one per row.
    const QRect area = contentsRect();
    const int top = area.top() + 2;
    const int rows = std::max<int>(1, static_cast<int>(items_.size()));
    const int rowHeight = std::max(1, (area.bottom() - top) / rows);
    for (std::size_t i = 0; i < items_.size(); ++i)
        items_[i]->setGeometry(area.left() + 6, top + static_cast<int>(i) * rowHeight, area.width() - 8,
                               std::min(rowHeight, items_[i]->sizeHint().height()));
}

}  // namespace app
