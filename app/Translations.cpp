#include "app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

namespace {

// A UI language as the files are named: "de-DE" -> "de_DE". A name not
// found is shortened at its last '_' by QTranslator ("de_DE", then "de").
QString FileLanguage(QString uiLanguage) { return uiLanguage.replace(u'-', u'_'); }

bool IsEnglish(const QString& uiLanguage)
{
    return uiLanguage == QLatin1String("C") || uiLanguage == QLatin1String("en") ||
        uiLanguage.startsWith(QLatin1String("en-")) || uiLanguage.startsWith(QLatin1String("en_"));
}

} // namespace

TTranslations::TTranslations(const QLocale& locale, const QStringList& folders)
{
    QStringList languages = locale.uiLanguages();
    if (locale.language() == QLocale::C)
        languages = {QStringLiteral("C")};
    for (const QString& uiLanguage : languages) {
        if (IsEnglish(uiLanguage))
            return;
        const QString name = FileLanguage(uiLanguage);
        for (const QString& folder : folders) {
            auto own = std::make_unique<QTranslator>();
            if (!own->load(QStringLiteral("fernpack_") + name, folder))
                continue;
            own_ = std::move(own);
            language_ = own_->language();
            QCoreApplication::installTranslator(own_.get());
            // The toolkit's words (file dialogs, the password box's buttons)
            // in the same language, when Qt has them.
            auto toolkit = std::make_unique<QTranslator>();
            if (toolkit->load(QStringLiteral("qtbase_") + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
                toolkit_ = std::move(toolkit);
                QCoreApplication::installTranslator(toolkit_.get());
            }
            return;
        }
    }
}

TTranslations::~TTranslations()
{
    if (toolkit_)
        QCoreApplication::removeTranslator(toolkit_.get());
    if (own_)
        QCoreApplication::removeTranslator(own_.get());
}

QStringList TTranslations::Folders()
{
    const QString program = QCoreApplication::applicationDirPath();
    return {program + QStringLiteral("/translations"),
            QDir::cleanPath(program + QStringLiteral("/../share/fernpack/translations")),
            QStringLiteral("/usr/local/share/fernpack/translations"),
            QStringLiteral("/usr/share/fernpack/translations")};
}

} // namespace app
