#include "app/QtAppServices.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>

#include "app/FileFilter.h"
#include "app/MessageBoxes.h"
#include "app/NameText.h"
#include "app/Texts.h"

namespace app {

namespace {

// A "Recent:" line under the file dialog's own: choosing an archive there
// opens its folder and puts its name in the name field. Only the toolkit's
// own dialog has room for it (a desktop's native one has none).
void OfferRecent(QFileDialog& dialog, const std::vector<std::string>& recent)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr)
        return;
    auto* label = new QLabel(Translated(text::RecentCaption), &dialog);
    auto* list = new QComboBox(&dialog);
    list->setObjectName(QStringLiteral("RecentArchives"));
    list->addItem(QString());
    for (const std::string& path : recent)
        list->addItem(VisibleName(path), PathText(path));
    label->setBuddy(list);
    QObject::connect(list, &QComboBox::activated, &dialog, [&dialog, list](int index) {
        const QString path = list->itemData(index).toString();
        if (!path.isEmpty())
            dialog.selectFile(path);
    });
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(list, row, 1, 1, grid->columnCount() - 1);
}

}  // namespace

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
    else if (!request.Folder.empty())
        dialog.setDirectory(PathText(request.Folder));
    if (!request.Recent.empty())
        OfferRecent(dialog, request.Recent);
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

int QtAppServices::Choose(const std::string& question, const std::vector<std::string>& buttons)
{
    QStringList captions;
    for (const std::string& b : buttons)
        captions << QString::fromUtf8(b.c_str());
    return ShowChoiceBox(VisibleMessage(question), captions);
}

bool QtAppServices::OpenDocument(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(path)));
}

}  // namespace app
