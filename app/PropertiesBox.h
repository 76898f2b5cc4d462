// The Archive Properties box (Alt+Return, or Properties on the rows' menu):
// the facts of the open archive, line by line, and its comment, read only.
// Every text can be selected and copied; Esc, Enter and "Close" close it.
#pragma once

#include <QDialog>

#include "app/ArchiveFacts.h"

class QLabel;
class QPlainTextEdit;

namespace app {

class TPropertiesBox : public QDialog {
    Q_OBJECT

public:
    explicit TPropertiesBox(const TArchiveFacts& facts, QWidget* parent = nullptr);

    // The value labels, in the order of FactLines.
    std::vector<QLabel*> Values;
    QPlainTextEdit* CommentEdit;
};

}  // namespace app
