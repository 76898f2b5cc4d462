#include "app/NameText.h"

#include <QFile>

#include "zipformat/NameText.h"

namespace app {

namespace {

// Printable ASCII (and, in a message, line feeds) reads the same in every
// code page and has nothing to escape: most names and messages are such,
// and a long operation shows one of each per member.
bool Plain(const std::string& bytes, bool lineFeeds)
{
    for (const unsigned char c : bytes)
        if ((c < 0x20 || c > 0x7e) && !(lineFeeds && c == '\n'))
            return false;
    return true;
}

}  // namespace

QString DecodeName(const std::string& bytes, bool utf8)
{
    return QString::fromStdString(fernpack::zip::NameText(bytes, utf8));
}

QString VisibleName(const std::string& bytes, bool utf8)
{
    if (Plain(bytes, false))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromStdString(fernpack::zip::VisibleName(bytes, utf8));
}

QString VisibleMessage(const std::string& bytes)
{
    if (Plain(bytes, true))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromStdString(fernpack::zip::VisibleText(fernpack::zip::NameText(bytes), true));
}

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PathText(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace app
