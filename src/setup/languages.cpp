#include "setup/languages.h"

#include "contest_log/log_table.h"
#include "platform/ini_file.h"

namespace vu {

namespace {

using T = TextTarget;

constexpr const char* kUnknown = "??";

constexpr LanguageKey kKeys[] = {
    {"Menu", "Langues1.caption", kUnknown, T::Caption, Form::Main, "Langues1", 0},
    {"Menu", "Francais.caption", kUnknown, T::Caption, Form::Main, "Franais1", 0},
    {"Menu", "Anglais.caption", kUnknown, T::Caption, Form::Main, "Anglais1", 0},
    {"Menu", "Espagnol.caption", kUnknown, T::Caption, Form::Main, "Espagnol", 0},
    {"Menu", "Italien.caption", kUnknown, T::Caption, Form::Main, "Italien1", 0},
    {"Menu", "Fichers1.caption", kUnknown, T::Caption, Form::Main, "Fichers1", 0},
    {"Menu", "Ouvrir1.caption", kUnknown, T::Caption, Form::Main, "Ouvrir1", 0},
    {"Menu", "Accesficheinfos1.caption", kUnknown, T::Caption, Form::Main, "Accesficheinfos1", 0},
    {"Menu", "Logs1.caption", kUnknown, T::Caption, Form::Main, "Logs1", 0},
    {"Menu", "Creation1.caption", kUnknown, T::Caption, Form::Main, "Creation1", 0},

    {"Panel1", "SpeedButton_retour_info.hint", kUnknown, T::Hint, Form::Main,
     "SpeedButton_retour_info", 0},
    {"Panel1", "SpeedButton_ouvrir.hint", kUnknown, T::Hint, Form::Main, "SpeedButton_ouvrir", 0},
    {"Panel1", "SpeedButton_temps_differe.hint", kUnknown, T::Hint, Form::Main,
     "SpeedButton_temps_differe", 0},
    {"Panel1", "SpeedButton_Temps_Reel.hint", kUnknown, T::Hint, Form::Main,
     "SpeedButton_temps_reel", 0},
    {"Panel1", "msg_tps_reel", kUnknown, T::Message, Form::Main, "",
     static_cast<int>(MessageText::TpsReel)},
    {"Panel1", "msg_tps_differe", kUnknown, T::Message, Form::Main, "",
     static_cast<int>(MessageText::TpsDiffere)},
    {"Panel1", "msg_QTR", kUnknown, T::Message, Form::Main, "", static_cast<int>(MessageText::Qtr)},
    {"Panel1", "SpeedButton_calculatrice.hint", kUnknown, T::Hint, Form::Main,
     "SpeedButton_calculatrice", 0},
    {"Panel1", "SpeedButton_creation_fichiers.hint", kUnknown, T::Hint, Form::Main,
     "SpeedButton_creation_fichiers", 0},
    {"Panel1", "SpeedButton_mail.hint", kUnknown, T::Hint, Form::Main, "SpeedButton_mail", 0},
    {"Panel1", "SpeedButton_help.hint", kUnknown, T::Hint, Form::Main, "SpeedButton_help", 0},

    {"Panel3", "SpeedButton_aide_saisie.hint", kUnknown, T::Hint, Form::Main,
     "SpeedButton_aide_saisie", 0},
    {"Panel3", "Edit_saisie.hint", kUnknown, T::Hint, Form::Main, "Edit_saisie", 0},
    {"Panel3", "Label_date.caption", kUnknown, T::Caption, Form::Main, "Label_date", 0},
    {"Panel3", "Label_saisie.caption", kUnknown, T::Caption, Form::Main, "Label_saisie", 0},
    {"Panel3", "Label_bande.caption", kUnknown, T::Caption, Form::Main, "Label_bande", 0},

    {"Form_Info", "Label_op.caption", kUnknown, T::Caption, Form::Station, "Label_op", 0},
    {"Form_Info", "Label_nr_zir.caption", kUnknown, T::Caption, Form::Station, "Label_nr_zir", 0},
    {"Form_Info", "Label_station.caption", kUnknown, T::Caption, Form::Station, "Label_station", 0},
    {"Form_Info", "Label_declar1.caption", kUnknown, T::Caption, Form::Station, "Label_declar1", 0},
    {"Form_Info", "Label_declar2.caption", kUnknown, T::Caption, Form::Station, "Label_declar2", 0},
    {"Form_Info", "Label_nom.caption", kUnknown, T::Caption, Form::Station, "Label_nom", 0},
    {"Form_Info", "Label_ad1.caption", kUnknown, T::Caption, Form::Station, "Label_ad1", 0},
    {"Form_Info", "Label_ad2.caption", kUnknown, T::Caption, Form::Station, "Label_ad2", 0},
    {"Form_Info", "Label_ad3.caption", kUnknown, T::Caption, Form::Station, "Label_ad3", 0},

    {"Form_choix_fichier", "caption", kUnknown, T::WindowTitle, Form::FileNaming, "", 0},
    {"Form_choix_fichier", "Label_nom_fichier.caption", kUnknown, T::Caption, Form::FileNaming,
     "Label_nom_fichier", 0},
    {"Form_choix_fichier", "Button_nom_fichier.caption", kUnknown, T::Caption, Form::FileNaming,
     "Button_nom_fichier", 0},
    {"Form_choix_fichier", "Button_emplacement.caption", kUnknown, T::Caption, Form::FileNaming,
     "Button_emplacement", 0},

    {"Grille_LOG", "Cells_0", kUnknown, T::GridTitle, Form::Main, "", 0},
    {"Grille_LOG", "Cells_1", kUnknown, T::GridTitle, Form::Main, "", 1},
    {"Grille_LOG", "Cells_2", kUnknown, T::GridTitle, Form::Main, "", 2},
    {"Grille_LOG", "Cells_3", kUnknown, T::GridTitle, Form::Main, "", 3},
    {"Grille_LOG", "Cells_4", kUnknown, T::GridTitle, Form::Main, "", 4},
    {"Grille_LOG", "Cells_5", kUnknown, T::GridTitle, Form::Main, "", 5},
    {"Grille_LOG", "Cells_6", kUnknown, T::GridTitle, Form::Main, "", 6},
    {"Grille_LOG", "Cells_7", kUnknown, T::GridTitle, Form::Main, "", 7},
    {"Grille_LOG", "Cells_8", kUnknown, T::GridTitle, Form::Main, "", 8},
    {"Grille_LOG", "Cells_9", kUnknown, T::GridTitle, Form::Main, "", 9},
    {"Grille_LOG", "Cells_10", kUnknown, T::GridTitle, Form::Main, "", 10},
    {"Grille_LOG", "Cells_11", kUnknown, T::GridTitle, Form::Main, "", 11},
    {"Grille_LOG", "Cells_12", kUnknown, T::GridTitle, Form::Main, "", 12},
    {"Grille_LOG", "Effacercetteligne1.caption", kUnknown, T::Caption, Form::Main,
     "Effacercetteligne1", 0},

    {"Grille_infos", "Comment", "   ??", T::Caption, Form::Examples, "Label_comment_saisie", 0},
    {"Grille_infos", "Cells_0_0", "   Saisie", T::ExamplesTitle, Form::Examples, "", 0},
    {"Grille_infos", "Cells_2_0", "   Call", T::ExamplesTitle, Form::Examples, "", 2},
    {"Grille_infos", "Cells_3_0", "   RSTS", T::ExamplesTitle, Form::Examples, "", 3},
    {"Grille_infos", "Cells_4_0", "   RSTR", T::ExamplesTitle, Form::Examples, "", 4},
    {"Grille_infos", "Cells_5_0", " Catégorie", T::ExamplesTitle, Form::Examples, "", 5},
    {"Grille_infos", "Form_Infos.Caption", "Saisie rapide, exemples", T::WindowTitle,
     Form::Examples, "", 0},

    {"MSG", "Msg_fichier_sauve", "créé", T::Message, Form::Main, "",
     static_cast<int>(MessageText::FichierSauve)},
    {"MSG", "MSg_info_manquante", "             Infos manquantes", T::Message, Form::Station, "",
     static_cast<int>(MessageText::InfoManquante)},
    {"VARURAV", "Msg_sauvegarde_echec", "Sauvegarde impossible", T::Message, Form::Main, "",
     static_cast<int>(MessageText::BackupFailed)},
    {"VARURAV", "Msg_aide_absente", "Aucun programme ne peut ouvrir le guide :", T::Message,
     Form::Main, "", static_cast<int>(MessageText::NoHelpViewer)},
    {"VARURAV", "Bouton_OK", "OK", T::Message, Form::Main, "",
     static_cast<int>(MessageText::ButtonOk)},
    {"VARURAV", "Bouton_Oui", "&Oui", T::Message, Form::Main, "",
     static_cast<int>(MessageText::ButtonYes)},
    {"VARURAV", "Bouton_Non", "&Non", T::Message, Form::Main, "",
     static_cast<int>(MessageText::ButtonNo)},
    {"VARURAV", "Bouton_Annuler", "Annuler", T::Message, Form::Main, "",
     static_cast<int>(MessageText::ButtonCancel)},

    {"VARURAV_RADIO", "caption", "Radio", T::WindowTitle, Form::Radio, "", 0},
    {"VARURAV_RADIO", "Label_recherche.caption", "Chercher", T::Caption, Form::Radio,
     "Label_recherche", 0},
    {"VARURAV_RADIO", "Label_modele.caption", "Modèle", T::Caption, Form::Radio, "Label_modele", 0},
    {"VARURAV_RADIO", "Label_port.caption", "Port (série, ou hôte:port de rigctld)", T::Caption,
     Form::Radio, "Label_port", 0},
    {"VARURAV_RADIO", "Label_vitesse_port.caption", "Vitesse du port", T::Caption, Form::Radio,
     "Label_vitesse_port", 0},
    {"VARURAV_RADIO", "CheckBox_radio.caption", "Radio en service", T::Caption, Form::Radio,
     "CheckBox_radio", 0},
    {"VARURAV_RADIO", "Label_wpm.caption", "Vitesse Morse (mots/min)", T::Caption, Form::Radio,
     "Label_wpm", 0},
    {"VARURAV_RADIO", "CheckBox_chiffres_courts.caption", "Report en chiffres courts (5NN)",
     T::Caption, Form::Radio, "CheckBox_chiffres_courts", 0},
    {"VARURAV_RADIO", "Label_messages.caption",
     "Messages des touches F1 à F8 ({MYCALL}, {CALL}, {RST})", T::Caption, Form::Radio,
     "Label_messages", 0},
    {"VARURAV_RADIO", "Button_ok.caption", "OK", T::Caption, Form::Radio, "Button_ok", 0},
    {"VARURAV_RADIO", "Button_annuler.caption", "Annuler", T::Caption, Form::Radio,
     "Button_annuler", 0},
    {"VARURAV_RADIO", "Radio1.caption", "Radio", T::Caption, Form::Main, "Radio1", 0},
    {"VARURAV_RADIO", "Msg_radio_connexion", "Radio : connexion", T::Message, Form::Main, "",
     static_cast<int>(MessageText::RadioConnecting)},
    {"VARURAV_RADIO", "Msg_radio_perdue", "Radio : pas de réponse", T::Message, Form::Main, "",
     static_cast<int>(MessageText::RadioLost)},
};

const QString& emptyText() {
    static const QString empty;
    return empty;
}

} // namespace

std::span<const LanguageKey> languageKeys() {
    return kKeys;
}

QString languageFileName(int index) {
    switch (index) {
    case 2:
        return QStringLiteral("F_EN_ZUZUDER.ini");
    case 3:
        return QStringLiteral("F_SP_ZUZUDER.ini");
    case 4:
        return QStringLiteral("F_I_ZUZUDER.ini");
    default:
        return QStringLiteral("F_F_ZUZUDER.ini");
    }
}

QString languageFilePath(const QString& programFolder, int index) {
    return programFolder + QStringLiteral("/Lng/") + languageFileName(index);
}

LanguageTexts::LanguageTexts() {
    // Messages can be asked for before any file is read: they start as the keys' defaults.
    for (const LanguageKey& k : kKeys) {
        if (k.target == TextTarget::Message) {
            m_messages.at(k.index) = QString::fromUtf8(k.defaultText);
        }
    }
}

QString LanguageTexts::targetKey(Form form, TextTarget target, QStringView control) {
    return QString::number(static_cast<int>(form)) + QLatin1Char('/') +
           QString::number(static_cast<int>(target)) + QLatin1Char('/') + control.toString();
}

void LanguageTexts::load(const QString& path, LogTable& table) {
    const IniFile file(path);
    LogTable::Batch batch(table);
    for (const LanguageKey& k : kKeys) {
        const QString text =
            file.readString(QString::fromLatin1(k.section), QString::fromLatin1(k.key),
                            QString::fromUtf8(k.defaultText));
        switch (k.target) {
        case TextTarget::Caption:
        case TextTarget::Hint:
        case TextTarget::WindowTitle:
            m_texts.insert(targetKey(k.form, k.target, QString::fromLatin1(k.control)), text);
            break;
        case TextTarget::Message:
            m_messages.at(k.index) = text;
            if (k.index == static_cast<int>(MessageText::TpsReel)) {
                // The time-mode label shows the real-time text after every load, whatever the mode.
                m_texts.insert(targetKey(Form::Main, TextTarget::Caption, u"Label_temps"), text);
            }
            break;
        case TextTarget::GridTitle:
            table.setCell(k.index, 0, text);
            break;
        case TextTarget::ExamplesTitle:
            m_examplesTitles.at(k.index) = text;
            break;
        }
    }
    m_loaded = true;
    if (m_onChange) {
        m_onChange();
    }
    file.raiseReadError(); // the texts are the defaults then
}

QString LanguageTexts::caption(Form form, QStringView control) const {
    return m_texts.value(targetKey(form, TextTarget::Caption, control));
}

QString LanguageTexts::hint(Form form, QStringView control) const {
    return m_texts.value(targetKey(form, TextTarget::Hint, control));
}

QString LanguageTexts::windowTitle(Form form) const {
    return m_texts.value(targetKey(form, TextTarget::WindowTitle, u""));
}

const QString& LanguageTexts::examplesTitle(int column) const {
    if (column < 0 || column >= static_cast<int>(m_examplesTitles.size())) {
        return emptyText();
    }
    return m_examplesTitles.at(column);
}

const QString& LanguageTexts::message(MessageText which) const {
    return m_messages.at(static_cast<int>(which));
}

} // namespace vu
