// The windows' words in the user's language. Every text a window shows goes
// through here: a context (the window's class name, e.g. "TMainform"), the
// English source text, and the translation Qt's installed translators find
// for it, or the English text when none does.
//
// Promises: with no translation installed every text is the English source
// byte for byte, placeholders filled in. Placeholders %1..%9 are filled in one
// pass, so a '%' inside a filled-in name is never read as another one. Plural
// texts use %n and Qt's numerus forms; their English singular lives beside
// the source, so English needs no translation file.
//
// Does not: translate the libraries' messages (ZIPDLL.DLL, UNZDLL.DLL and
// the engine's codes speak their own words), or load translation files
// (Translations.h does that).
#pragma once

#include <QString>
#include <QtGlobal>
#include <initializer_list>
#include <string>

namespace app {

// A text of a window: the context it is translated in and its English words.
// Write the source as QT_TRANSLATE_NOOP(context, "...") so lupdate finds it.
struct TText {
    const char* Context;
    const char* Source;
};

// A text with a count: the source is the English plural form written with
// QT_TRANSLATE_N_NOOP; One is the English words for a count of 1.
struct TPluralText {
    const char* Context;
    const char* Source;
    const char* One;
};

// A literal text of a window; lupdate reads these calls like
// QCoreApplication::translate (see the -tr-function-alias in CMake).
QString QTr(const char* context, const char* source);
std::string Tr(const char* context, const char* source);

QString Translated(const TText& text);
std::string Translate(const TText& text);
// The text with %1, %2, ... replaced by `args` in order.
std::string Translate(const TText& text, std::initializer_list<std::string> args);
// The text for the count `n`, %n replaced by it, then %1... by `args`.
std::string Translate(const TPluralText& text, int n, std::initializer_list<std::string> args = {});

// %1..%9 in `format` replaced by args[0]..args[8] in one pass; a missing
// argument leaves its placeholder as written.
QString FillPlaceholders(const QString& format, std::initializer_list<QString> args);

} // namespace app
