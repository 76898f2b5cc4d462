// Fitting placed controls to their texts. The windows place their controls
// at fixed pixel places, measured for their fonts at the default size and
// for the default style. With another style or a larger font a text may need
// more room than its place gives. TFitLayout keeps every place of the design
// and grows a control only where its text needs more (font metrics and the
// style's own margins); a control that grew takes the room between it and
// its neighbours, down to a few pixels, and then moves the controls to its
// right (in its row) and below it (in its column) along, so that no two come
// to overlap; the container is reported as large as its controls now need.
//
// Promises: at the design's fonts and style, when every text fits its
// place, nothing moves and the container needs exactly its designed size.
// Controls only grow, never shrink below their designed size. Apply may run
// again at any time (after a text changed): it starts from the design each
// time.
//
// Does not: place the container itself (its window does, from Apply's
// answer), or wrap or shorten texts.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace app {

enum class Grow {
    Text,      // wide and high enough for its text (labels, buttons, choices)
    Height,    // only as high as its text needs (edits, pickers, shortened labels)
    Leftward,  // like Text, but keeps its right edge: a label that ends at what it names
    None,      // keeps its size; only moves (bars, pictures)
};

// The size a control needs for its text, at least `designed` in each
// direction that `grow` lets grow.
QSize NeededSize(const QWidget& control, QSize designed, Grow grow = Grow::Text);

class TFitLayout {
public:
    // `designed`: the container's size in the design.
    explicit TFitLayout(QSize designed = {});

    // Takes the control's present geometry as its designed place.
    void Add(QWidget* control, Grow grow = Grow::Text);
    // A container inside this one (a frame around some controls): its size
    // is whatever its own layout needs.
    void Add(QWidget* container, TFitLayout& inner);

    // Places every control; returns the size the container needs.
    QSize Apply();
    QSize Designed() const { return designed_; }

private:
    struct Item {
        QWidget* widget;
        QRect designed;
        Grow grow;
        TFitLayout* inner;
        QRect placed;
    };
    // Moves the controls after the grown ones along the x axis (true) or y.
    void Push(bool x);

    QSize designed_;
    std::vector<Item> items_;
};

}  // namespace app
