#include "app/DialogParts.h"

#include <algorithm>
#include <map>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QStyleFactory>

#include "app/FitLayout.h"
#include "app/Fonts.h"

namespace app {

namespace {

// The application's style with a narrow gap between a check or radio mark
// and its text.
class ChoiceStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing)
            return 3;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// One per application style, for the program's life: widgets do not own
// the style they are given, and the dialogs live until the end.
QStyle* Choices()
{
    static auto* const styles = new std::map<QString, QStyle*>;
    const QString name = QApplication::style()->name();
    QStyle*& style = (*styles)[name];
    if (style == nullptr)
        style = new ChoiceStyle(QStyleFactory::create(name));
    return style;
}

}  // namespace

QFrame* RaisedPanel(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QPushButton* PlacedButton(QWidget* parent, const QString& caption, int x, int y, int width, int height, bool bold)
{
    auto* button = new QPushButton(caption, parent);
    if (bold) {
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
    }
    button->setGeometry(x, y, width, height);
    return button;
}

QLabel* PlacedLabel(QWidget* parent, const QString& caption, int x, int y, int pixels, bool bold)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    if (pixels > 0)
        label->setFont(UiFont(pixels, bold));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QCheckBox* PlacedCheckBox(QWidget* parent, const QString& caption, int x, int y, int width, int height)
{
    auto* box = new QCheckBox(caption, parent);
    box->setStyle(Choices());
    box->setGeometry(x, y, width, height);
    return box;
}

namespace {
// Where the choices stand inside the frame: this far in from the left, and
// this much short of the right.
constexpr int ItemIndent = 4;
constexpr int ItemRightGap = 1;
constexpr int ItemTop = 2;
}  // namespace

TRadioGroup::TRadioGroup(QWidget* parent, const QString& caption, const QStringList& items, int x, int y, int width,
                         int height)
    : QGroupBox(caption, parent)
{
    for (const QString& text : items) {
        items_.push_back(new QRadioButton(text, this));
        items_.back()->setStyle(Choices());
    }
    setGeometry(x, y, width, height);
}

QSize TRadioGroup::NeededSize() const
{
    // The frame and caption around the choices, as the style draws them;
    // the caption keeps as much room after it as before it.
    const QSize frame = size() - contentsRect().size();
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect caption = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    int widest = 0, rowHeight = 0;
    for (const QRadioButton* item : items_) {
        const QSize needs = app::NeededSize(*item, {0, 0});
        widest = std::max(widest, needs.width());
        rowHeight = std::max(rowHeight, needs.height());
    }
    const int rows = static_cast<int>(items_.size());
    return {std::max(2 * caption.x() + caption.width(), frame.width() + ItemIndent + widest + ItemRightGap),
            frame.height() + ItemTop + rows * rowHeight + 1};
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
    const int top = area.top() + ItemTop;
    const int rows = std::max<int>(1, static_cast<int>(items_.size()));
    const int rowHeight = std::max(1, (area.bottom() - top) / rows);
    for (std::size_t i = 0; i < items_.size(); ++i)
        items_[i]->setGeometry(area.left() + ItemIndent, top + static_cast<int>(i) * rowHeight,
                               area.width() - ItemIndent - ItemRightGap,
                               std::min(rowHeight, items_[i]->sizeHint().height()));
}

}  // namespace app
