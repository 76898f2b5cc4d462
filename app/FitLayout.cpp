#include "app/FitLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <numeric>

#include "app/DialogParts.h"

namespace app {

namespace {

// A trial rectangle for asking the style where a control's text goes; the
// style's margins do not depend on its size.
constexpr int TrialWidth = 1000;
constexpr int TrialHeight = 100;
// Room between a button's text and the edge of its text area, each side.
constexpr int ButtonTextPad = 2;
// Room an edit's line needs beyond the font's height: the edit keeps a pixel
// above and below it, and letters like g and y reach a pixel or two below
// the font's descent (with less, styles with a thick frame cut them off).
constexpr int EditTextRoom = 4;
// A control that grows takes the room between it and its neighbours (and the
// container's edge) down to this, and only then moves them.
constexpr int KeptGap = 6;

// The text as drawn: a single "&" marks the accelerator and is not drawn.
QString Drawn(const QString& text)
{
    QString shown;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

// What the style leaves around a button's text area.
QSize ButtonFrame(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.rect = QRect(0, 0, TrialWidth, TrialHeight);
    option.text = button.text();
    if (button.isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    const QRect area = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return {TrialWidth - area.width(), TrialHeight - area.height()};
}

int LineEditFrameHeight(const QLineEdit& edit)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = QRect(0, 0, TrialWidth, TrialHeight);
    option.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    option.state |= QStyle::State_Sunken;
    const QRect area = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    const QMargins text = edit.textMargins();
    return TrialHeight - area.height() + text.top() + text.bottom() + EditTextRoom;
}

int ComboFrameHeight(const QComboBox& combo)
{
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.rect = QRect(0, 0, TrialWidth, TrialHeight);
    option.editable = combo.isEditable();
    option.frame = combo.hasFrame();
    const QRect area =
        combo.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
    return TrialHeight - area.height();
}

// A check box's or radio button's needs: its mark, the gap and the text
// side by side, as high as the taller of mark and text.
QSize ChoiceNeeds(const QAbstractButton& choice, QStyle::SubElement textArea, QStyle::PixelMetric markHeight)
{
    QStyleOptionButton option;
    option.initFrom(&choice);
    option.rect = QRect(0, 0, TrialWidth, TrialHeight);
    option.text = choice.text();
    const QRect area = choice.style()->subElementRect(textArea, &option, &choice);
    const QFontMetrics metrics(choice.font());
    return {TrialWidth - area.width() + metrics.horizontalAdvance(Drawn(choice.text())),
            std::max(metrics.height(), choice.style()->pixelMetric(markHeight, &option, &choice))};
}

QSize TextNeeds(const QWidget& control)
{
    const QFontMetrics metrics(control.font());
    if (const auto* group = qobject_cast<const TRadioGroup*>(&control))
        return group->NeededSize();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        const QRect inner = label->contentsRect();
        const int margin = 2 * label->margin();
        return {metrics.horizontalAdvance(label->text()) + label->width() - inner.width() + margin,
                metrics.height() + label->height() - inner.height() + margin};
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(&control))
        return ChoiceNeeds(*box, QStyle::SE_CheckBoxContents, QStyle::PM_IndicatorHeight);
    if (const auto* radio = qobject_cast<const QRadioButton*>(&control))
        return ChoiceNeeds(*radio, QStyle::SE_RadioButtonContents, QStyle::PM_ExclusiveIndicatorHeight);
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        const QSize frame = ButtonFrame(*button);
        return {metrics.horizontalAdvance(Drawn(button->text())) + frame.width() + 2 * ButtonTextPad,
                metrics.height() + frame.height()};
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control))
        return {0, metrics.height() + LineEditFrameHeight(*edit)};
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return {0, metrics.height() + ComboFrameHeight(*combo)};
    return control.sizeHint();
}

bool Overlap(int a, int aLength, int b, int bLength) { return a < b + bLength && b < a + aLength; }

// A rectangle's start and length along the x axis (true) or the y axis.
int Start(const QRect& r, bool x) { return x ? r.x() : r.y(); }
int Length(const QRect& r, bool x) { return x ? r.width() : r.height(); }

}  // namespace

QSize NeededSize(const QWidget& control, QSize designed, Grow grow)
{
    if (grow == Grow::None)
        return designed;
    const QSize needs = TextNeeds(control);
    const int height = std::max(designed.height(), needs.height());
    if (grow == Grow::Height)
        return {designed.width(), height};
    return {std::max(designed.width(), needs.width()), height};
}

TFitLayout::TFitLayout(QSize designed) : designed_(designed) {}

void TFitLayout::Add(QWidget* control, Grow grow) { items_.push_back({control, control->geometry(), grow, nullptr, {}}); }

void TFitLayout::Add(QWidget* container, TFitLayout& inner)
{
    items_.push_back({container, container->geometry(), Grow::Text, &inner, {}});
}

void TFitLayout::Push(bool x)
{
    // Along each row (x) or down each column: a control moves as far as the
    // end of every control that stood before it in the design, plus the
    // design's gap (or KeptGap, the smaller). Rows are the design's; columns
    // are where the controls stand once the rows are done.
    std::vector<std::size_t> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this, x](std::size_t a, std::size_t b) {
        return Start(items_[a].designed, x) < Start(items_[b].designed, x);
    });
    for (std::size_t i = 0; i < order.size(); ++i) {
        Item& b = items_[order[i]];
        const QRect& bAcross = x ? b.designed : b.placed;
        int shift = 0;
        for (std::size_t j = 0; j < i; ++j) {
            const Item& a = items_[order[j]];
            const QRect& aAcross = x ? a.designed : a.placed;
            const int aEnd = Start(a.designed, x) + Length(a.designed, x);
            if (aEnd > Start(b.designed, x) ||
                !Overlap(Start(aAcross, !x), Length(aAcross, !x), Start(bAcross, !x), Length(bAcross, !x)))
                continue;
            const int gap = std::min(KeptGap, Start(b.designed, x) - aEnd);
            shift = std::max(shift, Start(a.placed, x) + Length(a.placed, x) + gap - Start(b.designed, x));
        }
        b.placed.translate(x ? shift : 0, x ? 0 : shift);
    }
}

QSize TFitLayout::Apply()
{
    for (Item& item : items_) {
        QSize size = item.inner ? item.inner->Apply().expandedTo(item.designed.size())
                                : NeededSize(*item.widget, item.designed.size(), item.grow);
        item.placed = QRect(item.designed.topLeft(), size);
        if (item.grow == Grow::Leftward)
            item.placed.moveLeft(item.designed.x() + item.designed.width() - size.width());
    }

    Push(true);
    Push(false);

    // The container keeps a margin to its right and bottom edges.
    QSize needed = designed_;
    for (Item& item : items_) {
        item.widget->setGeometry(item.placed);
        const int right = std::clamp(designed_.width() - item.designed.x() - item.designed.width(), 0, KeptGap);
        const int bottom = std::clamp(designed_.height() - item.designed.y() - item.designed.height(), 0, KeptGap);
        needed = needed.expandedTo(
            {item.placed.x() + item.placed.width() + right, item.placed.y() + item.placed.height() + bottom});
    }
    return needed;
}

}  // namespace app
