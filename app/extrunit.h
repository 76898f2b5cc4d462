// TExtract ("Select Extract Directory"), the extract dialog: the target
// folder, folder names, overwriting, all or selected members. Created hidden
// once at program start and reused for the life of the program; its controls
// arrive with its command.
#pragma once

#include <QDialog>

namespace app {

class TExtract : public QDialog {
    Q_OBJECT

public:
    explicit TExtract(QWidget* parent = nullptr);
};

}  // namespace app
