// The pieces the command dialogs are built from, placed at fixed pixel
// places as the dialogs lay them out: raised panels, buttons, labels, check
// boxes and radio groups (a framed caption over a column of choices, one of
// them chosen, read and set by index). Each is placed where the design puts
// it; TFitLayout lets it grow where its text needs more room.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace app {

QFrame* RaisedPanel(QWidget* parent);
QPushButton* PlacedButton(QWidget* parent, const QString& caption, int x, int y, int width, int height,
                          bool bold = false);
// A label at x, y, as wide as its text; `pixels` and `bold` set its font
// (0 keeps the dialog's).
QLabel* PlacedLabel(QWidget* parent, const QString& caption, int x, int y, int pixels = 0, bool bold = false);
// Check boxes and radio buttons leave a narrow gap between the mark and the
// text, as the places were measured with.
QCheckBox* PlacedCheckBox(QWidget* parent, const QString& caption, int x, int y, int width, int height);

class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(QWidget* parent, const QString& caption, const QStringList& items, int x, int y, int width, int height);

    // The size the caption and the choices need, one choice a row.
    QSize NeededSize() const;
    // The chosen item, or -1.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const { return items_[static_cast<std::size_t>(index)]; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<QRadioButton*> items_;
};

}  // namespace app
