// Loads the windows' translation for the user's language, and Qt's own
// (the standard buttons and dialogs of the toolkit), and installs them.
//
// The language is the first of the locale's UI languages (LANGUAGE,
// LC_ALL, LC_MESSAGES, LANG) that has a fernpack_<lang>.qm; English, or the
// C locale, ends the search early, so a user who prefers English gets the
// source texts. The files are looked for beside the program (the build
// tree), in the installation's share/fernpack/translations, then in the two
// usual install folders.
//
// Does not: translate fernpack-cli (its output is read by scripts), or
// change the locale used for dates and numbers.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <memory>

class QTranslator;

namespace app {

class TTranslations {
public:
    // Installs the translations for `locale` found in `folders`; nothing is
    // installed when there is none (English).
    TTranslations(const QLocale& locale, const QStringList& folders);
    ~TTranslations();
    TTranslations(const TTranslations&) = delete;
    TTranslations& operator=(const TTranslations&) = delete;

    // The language of the translation installed ("de_DE"), or empty for
    // English.
    const QString& Language() const { return language_; }

    // Where the program's translations are looked for, in order.
    static QStringList Folders();

private:
    std::unique_ptr<QTranslator> own_;
    std::unique_ptr<QTranslator> toolkit_;
    QString language_;
};

} // namespace app
