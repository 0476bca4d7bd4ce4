#pragma once

#include "reports/report_mail.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace vu {

class ContestSession;
class StationForm;
class Dialogs;

// The report mailing window: the message to the contest committee, composed afresh at every
// activation, and its send.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    ReportWindow(ContestSession& session, const StationForm& station, Dialogs& dialogs,
                 QWidget* parent = nullptr);

    // Activation: writes the Cabrillo file and composes the message.
    void FormActivate();
    void render();

    QLabel* Label_titre;
    // The findings of the check of the Cabrillo file, above the message; hidden when none.
    QPlainTextEdit* Memo_verification;
    QLabel* Panel_de;
    QLineEdit* Edit_AD_Destinataire;
    QLabel* Label_erreur;
    QLabel* Panel_CC;
    QLabel* Panel_objet;
    QLabel* Panel_PJ;
    QToolButton* Image1;
    QPlainTextEdit* Memo1;
    QPushButton* Button_envoi;
    QPushButton* BitBtn_annuler;

    // The standard Cancel button's text in the interface language.
    void setCancelText(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Button_envoiClick();
    // The boxes of a finished send, then the window closes.
    void showSendOutcome(const SendOutcome& outcome);
    void Image1Click();

    ContestSession& m_session;
    const StationForm& m_station;
    Dialogs& m_dialogs;
    QString m_cabrilloPath;
    QPlainTextEdit* m_preview = nullptr;
    // The password typed for this login, kept for the run (never written anywhere); forgotten
    // when the server refuses it.
    QString m_passwordLogin;
    QString m_password;
};

} // namespace vu
