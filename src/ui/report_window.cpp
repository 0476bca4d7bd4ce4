#include "ui/report_window.h"

#include "app/contest_session.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "setup/station_form.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vu {

namespace {

QLabel* panel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

ReportWindow::ReportWindow(ContestSession& session, const StationForm& station, Dialogs& dialogs,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_station(station), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TForm_infoCR"));
    setWindowTitle(QStringLiteral("Envoi Compte Rendu"));
    Label_titre = new QLabel(QStringLiteral("ENVOI DU COMPTE RENDU"), this);
    QFont heading = Label_titre->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 4);
    Label_titre->setFont(heading);
    Memo_verification = new QPlainTextEdit(this);
    Memo_verification->setObjectName(QStringLiteral("Memo_verification"));
    Memo_verification->setReadOnly(true);
    Memo_verification->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo_verification->setMaximumHeight(120);
    Memo_verification->hide();
    Panel_de = panel(this, "Panel_de");
    Edit_AD_Destinataire = new QLineEdit(this);
    Edit_AD_Destinataire->setObjectName(QStringLiteral("Edit_AD_Destinataire"));
    Label_erreur = new QLabel(QStringLiteral("Erreur email, corrigez"), this);
    Label_erreur->setObjectName(QStringLiteral("Label_erreur"));
    QPalette red = Label_erreur->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label_erreur->setPalette(red);
    Label_erreur->hide();
    Panel_CC = panel(this, "Panel_CC");
    Panel_objet = panel(this, "Panel_objet");
    Panel_PJ = panel(this, "Panel_PJ");
    Image1 = new QToolButton(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    Image1->setAutoRaise(true);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Button_envoi = new QPushButton(QStringLiteral("Envoi de l'email"), this);
    Button_envoi->setObjectName(QStringLiteral("Button_envoi"));
    BitBtn_annuler = new QPushButton(QStringLiteral("Annuler"), this);
    BitBtn_annuler->setObjectName(QStringLiteral("BitBtn_annuler"));

    auto* recipient = new QHBoxLayout;
    recipient->addWidget(Edit_AD_Destinataire, 1);
    recipient->addWidget(Label_erreur);
    auto* attachment = new QHBoxLayout;
    attachment->addWidget(Panel_PJ, 1);
    attachment->addWidget(Image1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("De"), Panel_de);
    form->addRow(QStringLiteral("A"), recipient);
    form->addRow(QStringLiteral("CC"), Panel_CC);
    form->addRow(QStringLiteral("Objet"), Panel_objet);
    form->addRow(QStringLiteral("Pièce jointe"), attachment);
    form->addRow(QStringLiteral("Message"), Memo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button_envoi);
    buttons->addWidget(BitBtn_annuler);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_titre, 0, Qt::AlignHCenter);
    layout->addWidget(Memo_verification);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(750, 535);

    connect(Edit_AD_Destinataire, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_session.reportMail().setRecipientText(text);
        render();
    });
    connect(Image1, &QToolButton::clicked, this, [this] { Image1Click(); });
    connect(Button_envoi, &QPushButton::clicked, this, [this] { Button_envoiClick(); });
    // During a send, Cancel ends it (the outcome then closes the window).
    connect(BitBtn_annuler, &QPushButton::clicked, this, [this] {
        if (m_session.reportMail().sending()) {
            m_session.cancelReportMail();
        } else {
            close();
        }
    });
}

void ReportWindow::FormActivate() {
    if (m_session.reportMail().sending()) {
        return; // the message being sent stays as it is
    }
    runHandler(
        m_dialogs,
        [this] {
            const QString notice = m_session.activateReportMail();
            m_cabrilloPath = m_session.cabrilloPath();
            render();
            if (!notice.isEmpty()) {
                m_dialogs.message(notice);
            }
        },
        [this] { render(); });
}

void ReportWindow::setCancelText(const QString& text) {
    BitBtn_annuler->setText(text);
}

void ReportWindow::Image1Click() {
    // The Cabrillo file is plain text: shown as such, whatever the desktop would open a ".CBR"
    // file with.
    runHandler(m_dialogs, [this] {
        if (m_cabrilloPath.isEmpty()) {
            return;
        }
        const QByteArray bytes = readWholeFile(m_cabrilloPath, kContestFileLimit);
        if (m_preview == nullptr) {
            m_preview = new QPlainTextEdit(this);
            m_preview->setWindowFlag(Qt::Window);
            m_preview->setObjectName(QStringLiteral("Cabrillo_preview"));
            m_preview->setReadOnly(true);
            m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
            m_preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
            m_preview->resize(760, 480);
        }
        m_preview->setWindowTitle(QFileInfo(m_cabrilloPath).fileName());
        m_preview->setPlainText(fromCp1252(bytes));
        m_preview->show();
        m_preview->raise();
        m_preview->activateWindow();
    });
}

void ReportWindow::render() {
    const ReportMail& mail = m_session.reportMail();
    Panel_de->setText(mail.message().from);
    if (Edit_AD_Destinataire->text() != mail.recipientText()) {
        Edit_AD_Destinataire->setText(mail.recipientText());
    }
    Label_erreur->setVisible(mail.recipientRejected());
    Panel_CC->setText(mail.message().cc);
    Panel_objet->setText(mail.message().subject);
    Panel_PJ->setText(mail.attachmentLabel());
    const QString body = mail.bodyLines().join(u'\n');
    if (Memo1->toPlainText() != body) {
        Memo1->setPlainText(body);
    }
    const CabrilloCheck& check = m_session.reportCheck();
    const QString findings = check.lines().join(u'\n');
    if (Memo_verification->toPlainText() != findings) {
        Memo_verification->setPlainText(findings);
    }
    QPalette palette = Memo_verification->palette();
    palette.setColor(QPalette::Text, check.hasErrors()
                                         ? QColor(Qt::red)
                                         : QApplication::palette(this).color(QPalette::Text));
    Memo_verification->setPalette(palette);
    Memo_verification->setVisible(!check.empty());
}

void ReportWindow::Button_envoiClick() {
    // The send runs on a worker: the window, the clock and the backups go on, and Cancel ends it.
    runHandler(m_dialogs, [this] {
        // A report the committee's robot would refuse goes only when the operator says so.
        if (m_session.reportCheck().hasErrors() &&
            !m_dialogs.ask(sendDespiteErrorsQuestion(), Dialogs::Icon::Warning)) {
            return;
        }
        MailAccount account{m_station.smtpSecurity(), m_station.editLogin(), {}, {}};
        if (!account.login.isEmpty()) {
            if (m_passwordLogin != account.login) {
                const std::optional<QString> typed =
                    m_dialogs.askPassword(QStringLiteral("Mot de passe de %1 sur %2")
                                              .arg(account.login, m_station.editSmtp()));
                if (!typed) {
                    return; // nothing sent
                }
                m_passwordLogin = account.login;
                m_password = *typed;
            }
            account.password = m_password;
        }
        m_session.reportMail().setAccount(account);
        Button_envoi->setEnabled(false);
        QApplication::setOverrideCursor(Qt::BusyCursor);
        const QPointer<ReportWindow> self(this);
        m_session.startReportMail(m_station.editSmtp(), m_station.editPort(),
                                  [self](const SendOutcome& outcome) {
                                      QMetaObject::invokeMethod(
                                          qApp,
                                          [self, outcome] {
                                              if (self) {
                                                  self->showSendOutcome(outcome);
                                              }
                                          },
                                          Qt::QueuedConnection);
                                  });
    });
}

void ReportWindow::showSendOutcome(const SendOutcome& outcome) {
    QApplication::restoreOverrideCursor();
    Button_envoi->setEnabled(true);
    if (!outcome.sent && !outcome.messages.isEmpty() &&
        outcome.messages.front().startsWith(QStringLiteral("Authentification refusée"))) {
        m_passwordLogin.clear(); // asked again at the next send
        m_password.clear();
    }
    runHandler(m_dialogs, [this, &outcome] {
        for (qsizetype i = 0; i < outcome.messages.size(); ++i) {
            if (i == 0 && !outcome.sent) {
                m_dialogs.error(outcome.messages[i]);
            } else {
                m_dialogs.message(outcome.messages[i]);
            }
        }
        close();
    });
}

void ReportWindow::closeEvent(QCloseEvent* event) {
    m_session.cancelReportMail(); // a send in progress ends; its outcome is still shown
    QWidget::closeEvent(event);
}

} // namespace vu
