// What a drag of members out of the grid carries: the files' URLs
// (text/uri-list), made only when the drop target asks for them. A file
// manager asks when the user drops, so the members are extracted then, and
// a drag that is let go elsewhere, or cancelled, writes nothing. The
// extraction runs once; later requests get the same URLs.
#pragma once

#include <QList>
#include <QMimeData>
#include <QUrl>
#include <functional>

namespace app {

class TMemberMimeData : public QMimeData {
    Q_OBJECT

public:
    // `extract` extracts the members and returns their URLs (none when it
    // failed or was refused).
    explicit TMemberMimeData(std::function<QList<QUrl>()> extract);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;
    // Whether the target has asked (and the members were extracted).
    bool Extracted() const { return extracted_; }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    std::function<QList<QUrl>()> extract_;
    mutable bool extracted_ = false;
    mutable QList<QUrl> urls_;
};

}  // namespace app
