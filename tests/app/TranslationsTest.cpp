// The windows in each language the build translates into, and in English:
// no two controls of one window (nor two items of one menu or box) share an
// accelerator; with the German translation the buttons and boxes speak
// German; with none they say today's English words byte for byte; counts
// take the language's plural forms; and names filled into a text keep their
// bytes and are never read as placeholders.
#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <map>
#include <memory>

#include "AppTestSupport.h"
#include "app/About.h"
#include "app/Addunit.h"
#include "app/OperationReport.h"
#include "app/Texts.h"
#include "app/Translations.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "app/sfxunit.h"

namespace {

using apptest::AppTest;
using Strings = std::vector<std::string>;

// The locale of each language the build translates into ("de", ...), and
// "C" for English, the source texts.
std::vector<std::string> Languages()
{
    std::vector<std::string> languages{"C"};
    for (const QString& language : QStringLiteral(FERNPACK_LANGUAGES).split(u' ', Qt::SkipEmptyParts))
        languages.push_back(language.toStdString());
    return languages;
}

std::unique_ptr<app::TTranslations> Install(const char* locale)
{
    return std::make_unique<app::TTranslations>(QLocale(QString::fromLatin1(locale)),
                                                QStringList{QStringLiteral(FERNPACK_QM_DIR)});
}

// Each accelerator of `texts` with the texts that use it; only those used
// more than once are returned.
std::map<QString, QStringList> SharedAccelerators(const QStringList& texts)
{
    std::map<QString, QStringList> users;
    for (const QString& text : texts) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty())
            users[key.toString()] << text;
    }
    std::erase_if(users, [](const auto& entry) { return entry.second.size() < 2; });
    return users;
}

std::string Describe(const std::map<QString, QStringList>& shared)
{
    std::string out;
    for (const auto& [key, texts] : shared)
        out += key.toStdString() + ": " + texts.join(QStringLiteral(" | ")).toStdString() + "\n";
    return out;
}

// Every text of a window's own controls that can carry an accelerator
// (shown now or later, like the Find bar).
QStringList ControlTexts(QWidget& window)
{
    QStringList texts;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window)
            continue;
        if (const auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        else if (const auto* group = qobject_cast<QGroupBox*>(w))
            texts << group->title();
        else if (const auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
    }
    return texts;
}

QStringList TextsOf(std::initializer_list<app::TText> texts)
{
    QStringList out;
    for (const app::TText& t : texts)
        out << app::Translated(t);
    return out;
}

class EveryLanguage : public AppTest, public ::testing::WithParamInterface<std::string> {
protected:
    EveryLanguage() : translations_(Install(GetParam().c_str())) { }
    ~EveryLanguage() override
    {
        program.reset(); // the windows go before their translation
        translations_.reset();
    }
    std::unique_ptr<app::TTranslations> translations_;
};

TEST_P(EveryLanguage, NoTwoActionsOfAWindowMenuOrBoxShareAnAccelerator)
{
    if (GetParam() != "C") {
        ASSERT_FALSE(translations_->Language().isEmpty()) << "no translation in " FERNPACK_QM_DIR;
    }
    Start({WriteArchive("keys.zip", {fixture::Stored("one.txt", "1")})});
    app::TAboutBox about(&Main());
    const std::vector<std::pair<const char*, QWidget*>> windows = {
        {"main window", &Main()},         {"messages", &program->Msgform()},       {"add", &program->AddForm()},
        {"extract", &program->Extract()}, {"self-extractor", &program->MakeSFX()}, {"about", &about}};
    for (const auto& [name, window] : windows) {
        const QStringList texts = ControlTexts(*window);
        EXPECT_FALSE(texts.isEmpty()) << name;
        EXPECT_EQ(Describe(SharedAccelerators(texts)), "") << name;
    }
    // The menu on the rows, in both of its forms.
    for (const bool several : {false, true}) {
        QStringList items{app::Translated(several ? app::text::MenuCopyNames : app::text::MenuCopyName)};
        std::unique_ptr<QMenu> menu(Main().MakeRowMenu());
        for (QAction* action : menu->actions())
            if (action != Main().CopyNamesAction)
                items << action->text();
        EXPECT_EQ(Describe(SharedAccelerators(items)), "") << "rows' menu";
    }
    namespace text = app::text;
    EXPECT_EQ(Describe(SharedAccelerators(TextsOf({text::Yes, text::No}))), "") << "confirmation";
    EXPECT_EQ(Describe(SharedAccelerators(TextsOf({text::ChoiceOpen, text::ChoiceAdd, text::ChoiceCancel}))), "")
        << "open or add";
}

INSTANTIATE_TEST_SUITE_P(Translations, EveryLanguage, ::testing::ValuesIn(Languages()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param == "C" ? std::string("English") : info.param;
                         });

TEST_F(AppTest, GermanWindowsAndBoxesSpeakGermanAndNoTranslationKeepsTheEnglishWords)
{
    struct Case {
        const char* locale;
        const char* language;
        Strings buttons;
        std::string message;
    };
    const Case cases[] = {
        {"de_DE",
         "de_DE",
         {"Zum Zip &hinzufügen", "&Entpacken aus Zip", "Aus Zip &löschen", "Zip &testen"},
         "Fehler - öffnen Sie zuerst eine ZIP-Datei"},
        {"C",
         "",
         {"&Add  to Zip", "&Extract from Zip", "&Delete From Zip", "&Test Zip"},
         "Error - open a zip file first"},
        // English asked for first: the source texts, even with others there.
        {"en_GB",
         "",
         {"&Add  to Zip", "&Extract from Zip", "&Delete From Zip", "&Test Zip"},
         "Error - open a zip file first"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        auto translations = Install(c.locale);
        EXPECT_EQ(translations->Language().toStdString(), c.language);
        Start();
        Strings buttons;
        for (QPushButton* b : {Main().AddBut, Main().ExtractBut, Main().DeleteBut, Main().TestBut})
            buttons.push_back(b->text().toStdString());
        EXPECT_EQ(buttons, c.buttons);
        ui.Messages.clear();
        Main().AddButClick();
        EXPECT_EQ(ui.Messages, Strings{c.message});
        program.reset();
    }
}

TEST(TranslatedTexts, CountsTakeThePluralFormsOfTheLanguage)
{
    struct Case {
        const char* locale;
        int n;
        std::string said;
    };
    const Case cases[] = {
        {"C", 0, "0 files were extracted"},          {"C", 1, "1 file was extracted"},
        {"C", 2, "2 files were extracted"},          {"de_DE", 1, "1 Datei wurde entpackt"},
        {"de_DE", 0, "0 Dateien wurden entpackt"},   {"fr_FR", 0, "0 fichier a été extrait"},
        {"fr_FR", 2, "2 fichiers ont été extraits"}, {"es_ES", 1, "Se extrajo 1 fichero"},
        {"es_ES", 3, "Se extrajeron 3 ficheros"},
    };
    for (const Case& c : cases) {
        auto translations = Install(c.locale);
        EXPECT_EQ(app::ExtractResult(c.n, {}, true), c.said) << c.locale << " " << c.n;
    }
    // English's own words for one, beside the plural ones.
    auto english = Install("C");
    app::TOperationTally tally;
    tally.Skipped = 1;
    tally.Replaced = 1;
    EXPECT_EQ(app::ExtractResult(3, tally, false),
              "3 files were extracted\n1 of them replaced a member of the same name: choose Expand ZIP Dirs to keep "
              "folders\n1 file was skipped: it already exists (choose OverWrite Existing to replace it)");
    EXPECT_EQ(app::CancelledResult(app::TStoppedOperation::Test, 1), "Cancelled: 1 file was tested before the stop");
    EXPECT_EQ(app::Translate(app::text::AllTestedOk, 1), "All 1 files tested OK");
}

TEST(TranslatedTexts, FilledInNamesKeepTheirBytesAndAreNotReadAsPlaceholders)
{
    auto english = Install("C");
    const std::string odd = "caf\xe9 %2 100%.zip"; // not UTF-8, with a placeholder of its own
    EXPECT_EQ(app::Translate(app::text::OpenOrAdd, {odd, "b.zip"}), "Open " + odd + ", or add it to b.zip?");
    EXPECT_EQ(app::Translate(app::text::ChangedUpdate, {"%1", "%1"}), "%1 was changed. Update it in %1?");
    EXPECT_EQ(
        app::FillPlaceholders(QStringLiteral("%2 then %1, %3 stays, 50%"), {QStringLiteral("a"), QStringLiteral("b")}),
        QStringLiteral("b then a, %3 stays, 50%"));
    // German orders the parts its own way.
    auto german = Install("de_DE");
    EXPECT_EQ(app::Translate(app::text::OpenOrAdd, {odd, "b.zip"}), odd + " öffnen oder zu b.zip hinzufügen?");
}

} // namespace
