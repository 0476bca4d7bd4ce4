#pragma once

#include "platform/smtp_send.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace vu {

// The contest committee checker's mailbox: where the report goes unless the operator types
// another address.
inline constexpr char kCommitteeAddress[] = "correcteur@duruvero-ved-uve.org";

// What a composition reads: the station's values and the Cabrillo file just written.
struct ReportMailInputs {
    QString stationEmail;
    QString operatorCall;
    QString cabrilloPath;
    QDateTime localNow;
};

// What a send ends with: the message boxes to show, in order (on failure the first one is an
// error box). The window closes afterwards in every case.
struct SendOutcome {
    bool sent = false;
    QStringList messages;
};

struct ReportMailOptions {
    QString committeeAddress = QString::fromLatin1(kCommitteeAddress);
    int connectTimeoutMs = 15000;
    int timeoutMs = 120000;
};

// The report mailing window's model: the message to the committee, the recipient field and
// its rule, and the send.
class ReportMail {
public:
    explicit ReportMail(ReportMailOptions options = {});
    // Cancels a send in progress and waits for its worker, which ends within a second.
    ~ReportMail();
    ReportMail(const ReportMail&) = delete;
    ReportMail& operator=(const ReportMail&) = delete;
    void setOptions(ReportMailOptions options) { m_options = std::move(options); }
    // How the next sends reach the server: security, login and password, extra certificates.
    void setAccount(MailAccount account) { m_account = std::move(account); }
    [[nodiscard]] const MailAccount& account() const { return m_account; }

    // Why the mail button refuses to open the window for these station values; empty when it
    // opens it.
    [[nodiscard]] static QString refusalToOpen(const QString& stationEmail, const QString& smtp,
                                               const QString& port);

    // Rebuilds the message addressed to the committee, as each activation of the window does.
    // Returns the message box to show (the committee address rejected), empty when none.
    [[nodiscard]] QString compose(const ReportMailInputs& inputs);
    // The recipient rule: the operator changed the recipient field to `text`. An accepted
    // address becomes the only To address; a rejected one shows the error label and leaves the
    // last accepted address in place.
    void setRecipientText(const QString& text);
    // Sends the message to the server named by the station form's SMTP and port texts, within
    // the options' time-out from connecting to the last answer; `cancel` ends it early.
    [[nodiscard]] SendOutcome send(const QString& serverText, const QString& portText,
                                   const std::atomic<bool>* cancel = nullptr) const;
    // The same send on a worker thread, so that the window, the clock and the backups go on:
    // `done` is called on that thread with the outcome. Nothing starts while a send runs.
    void sendInBackground(const QString& serverText, const QString& portText,
                          std::function<void(const SendOutcome&)> done);
    // Whether a background send runs.
    [[nodiscard]] bool sending() const;
    // Ends the background send at once (its outcome says it was cancelled).
    void cancelSend();

    [[nodiscard]] const MailMessage& message() const { return m_message; }
    [[nodiscard]] const QString& recipientText() const { return m_recipientText; }
    [[nodiscard]] bool recipientRejected() const { return m_recipientRejected; }
    [[nodiscard]] const QStringList& bodyLines() const { return m_bodyLines; }
    // The attachment panel's text: eight blanks and the Cabrillo file name.
    [[nodiscard]] const QString& attachmentLabel() const { return m_attachmentLabel; }

private:
    [[nodiscard]] static SendOutcome sendMessage(const MailMessage& message,
                                                 const ReportMailOptions& options,
                                                 const MailAccount& account,
                                                 const QString& serverText, const QString& portText,
                                                 const std::atomic<bool>* cancel);

    ReportMailOptions m_options;
    MailAccount m_account;
    MailMessage m_message;
    QString m_recipientText;
    bool m_recipientRejected = false;
    QStringList m_bodyLines;
    QString m_attachmentLabel;
    // Shared with the worker, which may outlive a send's caller but never this object.
    std::shared_ptr<std::atomic<bool>> m_cancel = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> m_sending = std::make_shared<std::atomic<bool>>(false);
    std::thread m_worker;
};

} // namespace vu
