#include "app/QtAppServices.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>

#include "app/FileFilter.h"
#include "app/MessageBoxes.h"
#include "app/NameText.h"

namespace app {

std::optional<std::string> QtAppServices::ChooseFile(const FileRequest& request)
{
    QFileDialog dialog;
    dialog.setWindowTitle(QString::fromUtf8(request.Title.c_str()));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setNameFilters(ToolkitFilters(request.Filter));
    // The patterns are there to match any case; users read the description.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (request.Mode == FileRequest::Kind::Existing) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The command asks its own question about an existing file and
        // decides the extension itself.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!request.Preset.empty())
        dialog.selectFile(PathText(request.Preset));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return PathBytes(dialog.selectedFiles().constFirst());
}

bool QtAppServices::Confirm(const std::string& question) { return ShowConfirmBox(VisibleMessage(question)); }

void QtAppServices::ErrorBox(const std::string& text) { ShowErrorBox(VisibleMessage(text)); }

std::optional<std::string> QtAppServices::AskPassword(const std::string& title, const std::string& prompt)
{
    QInputDialog dialog;
    dialog.setWindowTitle(VisibleName(title));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setLabelText(VisibleMessage(prompt));
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

}  // namespace app
