#include "app/FileFilter.h"

namespace app {

QString AnyCasePattern(const QString& pattern)
{
    QString out;
    for (QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

QStringList ToolkitFilters(const std::string& filter)
{
    const QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << AnyCasePattern(p.trimmed());
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + QLatin1Char(')');
    }
    return filters;
}

}  // namespace app
