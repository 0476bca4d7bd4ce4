#include "contest_log/log_table.h"
#include "platform/cp1252.h"
#include "platform/ini_file.h"
#include "setup/languages.h"
#include "support/test_support.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

// The shipped language files, in the source tree.
QString shippedLanguageFile(int index) {
    return test::fixture(QStringLiteral("../../lang/")) + languageFileName(index);
}

class LanguagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        table.setColumnCount(15);
        table.setCell(13, 0, "Col13 title");
    }

    QTemporaryDir m_dir;
    LogTable table;
    LanguageTexts texts;
};

TEST_F(LanguagesTest, AMissingFileGivesQuestionMarksAndTheDocumentedDefaults) {
    int changes = 0;
    texts.setOnChange([&] { ++changes; });
    EXPECT_FALSE(texts.isLoaded());
    texts.load(m_dir.filePath("Lng/F_EN_ZUZUDER.ini"), table);
    EXPECT_TRUE(texts.isLoaded());
    EXPECT_EQ(changes, 1);

    EXPECT_EQ(texts.caption(Form::Main, u"Anglais1"), QStringLiteral("??"));
    EXPECT_EQ(texts.hint(Form::Main, u"SpeedButton_temps_reel"), QStringLiteral("??"));
    EXPECT_EQ(texts.caption(Form::Station, u"Label_op"), QStringLiteral("??"));
    EXPECT_EQ(texts.windowTitle(Form::FileNaming), QStringLiteral("??"));
    EXPECT_EQ(texts.caption(Form::Main, u"Label_temps"), QStringLiteral("??"));
    for (int c = 0; c < kLogColumns; ++c) {
        EXPECT_EQ(table.cell(c, 0), QStringLiteral("??"));
    }
    EXPECT_EQ(table.cell(13, 0), QStringLiteral("Col13 title"));

    const QStringList examples = {"   Saisie", "", "   Call", "   RSTS", "   RSTR", " Catégorie"};
    for (int c = 0; c < examples.size(); ++c) {
        EXPECT_EQ(texts.examplesTitle(c), examples[c]) << c;
    }
    EXPECT_EQ(texts.caption(Form::Examples, u"Label_comment_saisie"), QStringLiteral("   ??"));
    EXPECT_EQ(texts.windowTitle(Form::Examples), QStringLiteral("Saisie rapide, exemples"));
    EXPECT_EQ(texts.message(MessageText::FichierSauve), QStringLiteral("créé"));
    EXPECT_EQ(texts.message(MessageText::InfoManquante),
              QStringLiteral("             Infos manquantes"));
    EXPECT_EQ(texts.message(MessageText::Qtr), QStringLiteral("??"));
}

TEST_F(LanguagesTest, EveryKeyReachesItsTarget) {
    // A file giving every key a text of its own: "<section>/<key>".
    QStringList lines;
    QString section;
    for (const LanguageKey& k : languageKeys()) {
        if (section != QLatin1String(k.section)) {
            section = QLatin1String(k.section);
            lines << "[" + section.toLower() + "]"; // names ignore case
        }
        lines << QString::fromLatin1(k.key).toUpper() + " = " + section + "/" + k.key;
    }
    test::writeFile(m_dir.filePath("all.ini"), cp1252Lines(lines));
    texts.load(m_dir.filePath("all.ini"), table);

    struct Case {
        QString actual;
        QString expected;
    };
    const Case cases[] = {
        {texts.caption(Form::Main, u"Franais1"), "Menu/Francais.caption"},
        {texts.caption(Form::Main, u"Creation1"), "Menu/Creation1.caption"},
        {texts.hint(Form::Main, u"SpeedButton_temps_reel"), "Panel1/SpeedButton_Temps_Reel.hint"},
        {texts.hint(Form::Main, u"SpeedButton_help"), "Panel1/SpeedButton_help.hint"},
        {texts.caption(Form::Main, u"Label_temps"), "Panel1/msg_tps_reel"},
        {texts.message(MessageText::TpsReel), "Panel1/msg_tps_reel"},
        {texts.message(MessageText::TpsDiffere), "Panel1/msg_tps_differe"},
        {texts.message(MessageText::Qtr), "Panel1/msg_QTR"},
        {texts.hint(Form::Main, u"Edit_saisie"), "Panel3/Edit_saisie.hint"},
        {texts.caption(Form::Main, u"Label_bande"), "Panel3/Label_bande.caption"},
        {texts.caption(Form::Station, u"Label_station"), "Form_Info/Label_station.caption"},
        {texts.caption(Form::Station, u"Label_ad3"), "Form_Info/Label_ad3.caption"},
        {texts.windowTitle(Form::FileNaming), "Form_choix_fichier/caption"},
        {texts.caption(Form::FileNaming, u"Button_emplacement"),
         "Form_choix_fichier/Button_emplacement.caption"},
        {table.cell(0, 0), "Grille_LOG/Cells_0"},
        {table.cell(12, 0), "Grille_LOG/Cells_12"},
        {table.cell(13, 0), "Col13 title"},
        {texts.caption(Form::Main, u"Effacercetteligne1"), "Grille_LOG/Effacercetteligne1.caption"},
        {texts.caption(Form::Examples, u"Label_comment_saisie"), "Grille_infos/Comment"},
        {texts.examplesTitle(0), "Grille_infos/Cells_0_0"},
        {texts.examplesTitle(1), ""},
        {texts.examplesTitle(5), "Grille_infos/Cells_5_0"},
        {texts.windowTitle(Form::Examples), "Grille_infos/Form_Infos.Caption"},
        {texts.message(MessageText::FichierSauve), "MSG/Msg_fichier_sauve"},
        {texts.message(MessageText::InfoManquante), "MSG/MSg_info_manquante"},
        // The main window's own station label is not a key of the station section.
        {texts.caption(Form::Main, u"Label_station"), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST_F(LanguagesTest, AMissingKeyFallsBackAloneAndQuotesKeepLeadingBlanks) {
    test::writeFile(m_dir.filePath("part.ini"), "[Grille_infos]\r\n"
                                                "Cells_0_0=\"  Entr\xE9\x65 \"\r\n"
                                                "[MSG]\r\n"
                                                "Msg_fichier_sauve=  created  \r\n");
    texts.load(m_dir.filePath("part.ini"), table);
    EXPECT_EQ(texts.examplesTitle(0), QStringLiteral("  Entrée "));
    EXPECT_EQ(texts.examplesTitle(2), QStringLiteral("   Call"));
    EXPECT_EQ(texts.message(MessageText::FichierSauve), QStringLiteral("created"));
    EXPECT_EQ(texts.message(MessageText::InfoManquante),
              QStringLiteral("             Infos manquantes"));
}

TEST(LanguageFiles, NamesFollowTheIndexAndUnknownIndexesFallBackToFrench) {
    const std::pair<int, const char*> cases[] = {
        {1, "F_F_ZUZUDER.ini"}, {2, "F_EN_ZUZUDER.ini"}, {3, "F_SP_ZUZUDER.ini"},
        {4, "F_I_ZUZUDER.ini"}, {0, "F_F_ZUZUDER.ini"},  {5, "F_F_ZUZUDER.ini"},
    };
    for (const auto& [index, name] : cases) {
        EXPECT_EQ(languageFileName(index), QString::fromLatin1(name)) << index;
    }
    EXPECT_EQ(languageFilePath("/opt/vu", 2), QStringLiteral("/opt/vu/Lng/F_EN_ZUZUDER.ini"));
}

TEST(LanguageFiles, TheShippedFilesTranslateEveryKeyInWindows1252WithCrLf) {
    QSet<QString> callTitles;
    for (int index = 1; index <= kLanguageCount; ++index) {
        const QString path = shippedLanguageFile(index);
        const QByteArray bytes = test::readFile(path);
        ASSERT_FALSE(bytes.isEmpty()) << path.toStdString();
        EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')) << path.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_FALSE(bytes.contains("\xC3")) << "UTF-8 in " << path.toStdString();

        const IniFile ini(path);
        for (const LanguageKey& k : languageKeys()) {
            const QString text = ini.readString(k.section, k.key, "<missing>");
            EXPECT_NE(text, QStringLiteral("<missing>")) << path.toStdString() << " " << k.key;
            EXPECT_FALSE(text.trimmed().isEmpty() || text.contains(QLatin1String("??")))
                << path.toStdString() << " " << k.key;
        }

        LogTable table;
        LanguageTexts texts;
        texts.load(path, table);
        // The examples titles keep their blanks, as the grid shows them.
        EXPECT_TRUE(texts.examplesTitle(0).startsWith(QLatin1String("   "))) << index;
        EXPECT_TRUE(texts.message(MessageText::InfoManquante).startsWith(QString(13, u' ')));
        if (index == 1) {
            EXPECT_EQ(texts.message(MessageText::FichierSauve), QStringLiteral("créé"));
            EXPECT_EQ(texts.caption(Form::Main, u"Franais1"), QStringLiteral("Français"));
            EXPECT_EQ(texts.examplesTitle(5), QStringLiteral(" Catégorie"));
        }
        callTitles.insert(table.cell(Col::Call, 0));
    }
    EXPECT_EQ(callTitles.size(), kLanguageCount) << "a language file left its titles French";
}

} // namespace
} // namespace vu
