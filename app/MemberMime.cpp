#include "app/MemberMime.h"

namespace app {

namespace {
const QString UriList = QStringLiteral("text/uri-list");
}  // namespace

TMemberMimeData::TMemberMimeData(std::function<QList<QUrl>()> extract) : extract_(std::move(extract)) {}

QStringList TMemberMimeData::formats() const { return {UriList}; }

bool TMemberMimeData::hasFormat(const QString& mimeType) const { return mimeType == UriList; }

QVariant TMemberMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType != UriList)
        return QMimeData::retrieveData(mimeType, type);
    if (!extracted_) {
        extracted_ = true;
        urls_ = extract_();
    }
    if (type.id() == QMetaType::QByteArray) {
        QByteArray lines;
        for (const QUrl& url : urls_)
            lines += url.toEncoded() + "\r\n";
        return lines;
    }
    QList<QVariant> list;
    for (const QUrl& url : urls_)
        list.append(url);
    return list;
}

}  // namespace app
