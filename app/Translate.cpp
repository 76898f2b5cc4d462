#include "app/Translate.h"

#include <QCoreApplication>
#include <vector>

namespace app {

namespace {

int Code(QChar c) { return c.unicode(); }
int Code(char c) { return static_cast<unsigned char>(c); }

// One pass over `format`; Text is QString or std::string (whose arguments
// keep their bytes, names that are no valid UTF-8 included).
template <typename Text, typename Args> Text Fill(const Text& format, const Args& args)
{
    std::vector<const Text*> values;
    for (const Text& arg : args)
        values.push_back(&arg);
    Text result;
    result.reserve(format.size());
    for (std::size_t i = 0; i < static_cast<std::size_t>(format.size()); ++i) {
        const auto c = format[static_cast<qsizetype>(i)];
        if (Code(c) == '%' && i + 1 < static_cast<std::size_t>(format.size())) {
            const int digit = Code(format[static_cast<qsizetype>(i + 1)]) - '0';
            if (digit >= 1 && digit <= 9 && static_cast<std::size_t>(digit) <= values.size()) {
                result += *values[static_cast<std::size_t>(digit - 1)];
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

} // namespace

QString FillPlaceholders(const QString& format, std::initializer_list<QString> args) { return Fill(format, args); }

QString QTr(const char* context, const char* source) { return QCoreApplication::translate(context, source); }

std::string Tr(const char* context, const char* source) { return QTr(context, source).toStdString(); }

QString Translated(const TText& text) { return QCoreApplication::translate(text.Context, text.Source); }

std::string Translate(const TText& text) { return Translated(text).toStdString(); }

std::string Translate(const TText& text, std::initializer_list<std::string> args)
{
    return Fill(Translate(text), args);
}

std::string Translate(const TPluralText& text, int n, std::initializer_list<std::string> args)
{
    QString words = QCoreApplication::translate(text.Context, text.Source, nullptr, n);
    // Without a translation Qt hands back the source (the English plural)
    // with %n filled in; English says a count of 1 in words of its own.
    const QString count = QString::number(n);
    if (n == 1 && words == QString::fromUtf8(text.Source).replace(QStringLiteral("%n"), count))
        words = QString::fromUtf8(text.One).replace(QStringLiteral("%n"), count);
    return Fill(words.toStdString(), args);
}

} // namespace app
