// TAddForm ("Add Files"), the add dialog: files and folders to add, with
// folder names, recursion and encryption. Created hidden once at program start
// and reused for the life of the program; its controls arrive with its
// command.
#pragma once

#include <QDialog>

namespace app {

class TAddForm : public QDialog {
    Q_OBJECT

public:
    explicit TAddForm(QWidget* parent = nullptr);
};

}  // namespace app
