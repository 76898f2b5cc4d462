#include "app/NameText.h"

#include <QFile>

#include "zipformat/NameText.h"

namespace app {

namespace {

// Characters that would act rather than show: C0 and C1 controls, DEL, the
// bidirectional marks, embeddings, overrides and isolates, and the Unicode
// line and paragraph separators.
bool Acts(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

QString Visible(QString text, bool keepLineBreaks)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (keepLineBreaks && (c == u'\r' || c == u'\n')) {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += QLatin1Char('\n');
        } else {
            out += Acts(c) ? QChar(QChar::ReplacementCharacter) : QChar(c);
        }
    }
    return out;
}

}  // namespace

QString DecodeName(const std::string& bytes, bool utf8)
{
    return QString::fromStdString(fernpack::zip::NameText(bytes, utf8));
}

QString VisibleName(const std::string& bytes, bool utf8) { return Visible(DecodeName(bytes, utf8), false); }

QString VisibleMessage(const std::string& bytes) { return Visible(DecodeName(bytes), true); }

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PathText(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace app
