// TMakeSFX ("Make Self Extracting Archive"), the self-extractor dialog: the
// settings a self-extracting program is made with. Created hidden once at
// program start and reused for the life of the program; its controls arrive
// with its command.
#pragma once

#include <QDialog>

namespace app {

class TMakeSFX : public QDialog {
    Q_OBJECT

public:
    explicit TMakeSFX(QWidget* parent = nullptr);
};

}  // namespace app
