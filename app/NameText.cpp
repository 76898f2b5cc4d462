#include "app/NameText.h"

#include <QFile>

#include "zipformat/NameText.h"

namespace app {

QString DecodeName(const std::string& bytes, bool utf8)
{
    return QString::fromStdString(fernpack::zip::NameText(bytes, utf8));
}

QString VisibleName(const std::string& bytes, bool utf8)
{
    if (fernpack::zip::IsPlainText(bytes))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromStdString(fernpack::zip::VisibleName(bytes, utf8));
}

QString VisibleMessage(const std::string& bytes)
{
    if (fernpack::zip::IsPlainText(bytes, true))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromStdString(VisibleMessageUtf8(bytes));
}

std::string VisibleMessageUtf8(std::string_view bytes)
{
    return fernpack::zip::VisibleText(fernpack::zip::NameText(bytes), true);
}

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PathText(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace app
