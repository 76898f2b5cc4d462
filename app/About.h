// TAboutBox: the program's icon, its name with the trade mark sign and its
// version, and an OK button. Created for each showing and destroyed after.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace app {

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QPushButton* OKButton;
};

}  // namespace app
