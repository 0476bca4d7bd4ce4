// varurav-uda-cli: the program's core without a window, for scripts and other tools.
#include "app/application.h"
#include "contest_log/quick_entry.h"
#include "platform/errors.h"
#include "platform/program_folder.h"
#include "scoring/log_statistics.h"
#include "setup/file_naming.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

namespace {

constexpr int kUsageExit = 2;
// The check command's exit when it cannot run (besides a usage error).
constexpr int kCheckCannotRun = 2;

void print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
}

void printError(const QString& text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), stderr);
}

int usage() {
    printError(QStringLiteral(
        "usage: varurav-uda-cli parse TEXT\n"
        "       varurav-uda-cli score CONTEST_FILE [--program-folder DIR]\n"
        "       varurav-uda-cli cabrillo CONTEST_FILE [--program-folder DIR]\n"
        "       varurav-uda-cli adif CONTEST_FILE [--program-folder DIR]\n"
        "       varurav-uda-cli check CONTEST_FILE [--program-folder DIR]\n"
        "       varurav-uda-cli stats CONTEST_FILE [--program-folder DIR]\n"
        "       varurav-uda-cli log CONTEST_FILE LINE... [--program-folder DIR]\n"
        "       varurav-uda-cli mail CONTEST_FILE [--to ADDRESS] [--password-stdin]\n"
        "                       [--cacert FILE] [--force] [--program-folder DIR]"));
    return kUsageExit;
}

int parseCommand(const QStringList& args) {
    if (args.size() != 1) {
        return usage();
    }
    const vu::QuickEntry e = vu::parseQuickEntry(args[0]);
    print(QStringList{e.call, e.rstSent, e.rstRcvd, e.category, QString::number(e.error),
                      QString::number(e.selectionStart), QString::number(e.selectionLength)}
              .join(QLatin1Char('\t')) +
          QLatin1Char('\n'));
    return 0;
}

// Splits CONTEST_FILE [--program-folder DIR], and the quick-entry lines after the contest
// file when `lines` is given; false on a usage error.
bool contestArgs(QStringList args, QString& contestFile, QString& programFolder,
                 QStringList* lines = nullptr) {
    const qsizetype flag = args.indexOf(QStringLiteral("--program-folder"));
    if (flag >= 0) {
        if (flag + 1 >= args.size()) {
            return false;
        }
        programFolder = args[flag + 1];
        args.remove(flag, 2);
    } else {
        programFolder = vu::defaultProgramFolder();
    }
    if (args.isEmpty() || args[0].startsWith(QLatin1String("--"))) {
        return false;
    }
    contestFile = args.takeFirst();
    if (lines == nullptr) {
        return args.isEmpty();
    }
    *lines = args;
    return !lines->isEmpty();
}

// Starts the program in a program folder as the operator would: settings, station window's OK.
std::unique_ptr<vu::Application> startProgram(const QString& programFolder) {
    vu::ApplicationOptions options;
    options.programFolder = programFolder;
    options.allowNetwork = false;
    auto app = std::make_unique<vu::Application>(options);
    app->startUp();
    // What the window program shows in its first window: the tool says it before going on.
    for (const QString& error : app->startUpErrors()) {
        printError(error);
    }
    // Scores made without the country table or the roster are wrong: the tool says so.
    for (const QString& warning : app->session().referenceWarnings()) {
        printError(warning);
    }
    app->acceptStation();
    return app;
}

// Starts the program on CONTEST_FILE: the main window's load and scoring. Null on a usage
// error.
std::unique_ptr<vu::Application> loadContest(const QStringList& args) {
    QString contestFile;
    QString programFolder;
    if (!contestArgs(args, contestFile, programFolder)) {
        return nullptr;
    }
    auto app = startProgram(programFolder);
    app->setContestFile(contestFile);
    // Reading only: a report may be made while the window program logs into the file.
    app->session().contestFile().setReadOnly(true);
    app->activateMain();
    return app;
}

// Prints every grid row (13 tab-separated cells), then the score line.
void printTable(vu::Application& app) {
    const vu::LogTable& table = app.session().table();
    QString out;
    for (int row = 1; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < vu::kLogColumns; ++col) {
            cells << table.cell(col, row);
        }
        out += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    out += app.session().scoreLabel() + QLatin1Char('\n');
    print(out);
}

int scoreCommand(const QStringList& args) {
    const std::unique_ptr<vu::Application> app = loadContest(args);
    if (!app) {
        return usage();
    }
    printTable(*app);
    return 0;
}

// Prints the figures of the log as the full scoring gives them: totals, bands, hours, time.
int statsCommand(const QStringList& args) {
    const std::unique_ptr<vu::Application> app = loadContest(args);
    if (!app) {
        return usage();
    }
    const vu::LogStatistics figures =
        vu::logStatistics(app->session().table(), app->session().scoreBoard());
    print(vu::statisticsLines(figures).join(QLatin1Char('\n')) + QLatin1Char('\n'));
    return 0;
}

// After a failed log command: which of the lines were stored before it stopped.
void printStored(const QStringList& stored, qsizetype given) {
    QString text = QStringLiteral("Lignes enregistrées : %1 sur %2").arg(stored.size()).arg(given);
    if (!stored.isEmpty()) {
        text += QStringLiteral(" (") + stored.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    printError(text);
}

// Logs each quick-entry line into CONTEST_FILE (created when missing, as the file naming
// window's OK does) as Enter in the main window does, at the present UTC time; then prints the
// log like the score command. A blank line is skipped. A refused line or a failed store stops
// there, with the entry error code or the error's text, and the lines stored before it.
int logCommand(const QStringList& args) {
    QString contestFile;
    QString programFolder;
    QStringList lines;
    if (!contestArgs(args, contestFile, programFolder, &lines)) {
        return usage();
    }
    const std::unique_ptr<vu::Application> app = startProgram(programFolder);
    const QFileInfo info(contestFile);
    app->fileNaming().activate(app->session().clock().localNow().date());
    app->fileNaming().setEditChemin(info.absolutePath());
    app->fileNaming().setEditNomFichier(info.fileName());
    app->confirmFileNaming();
    QStringList stored;
    for (const QString& line : lines) {
        const vu::QuickEntry entry = vu::parseQuickEntry(line);
        if (entry.call.isEmpty() && entry.error == vu::EntryOk) {
            continue; // nothing typed
        }
        app->session().clock().tick(app->session().table());
        app->session().entryPanel().setEntryText(line);
        vu::EntryPanel::EnterOutcome outcome{};
        try {
            outcome = app->session().entryPanel().pressEnter();
        } catch (const vu::AppError& e) {
            printError(line + QStringLiteral(": ") + e.message());
            printStored(stored, lines.size());
            return 1;
        }
        if (outcome != vu::EntryPanel::EnterOutcome::Stored) {
            printError(line + QStringLiteral(": ") +
                       vu::EntryPanel::errorText(app->session().entryPanel().entryError()));
            printStored(stored, lines.size());
            return 1;
        }
        stored << line;
    }
    printTable(*app);
    return 0;
}

// Writes a report of the contest file with `write` and prints the report's path.
int reportCommand(const QStringList& args, QString (vu::ContestSession::*write)()) {
    const std::unique_ptr<vu::Application> app = loadContest(args);
    if (!app) {
        return usage();
    }
    // A contest file named like a report would be replaced by it.
    vu::FileNamingForm::checkContestFileExtension(app->session().contestFile().path());
    print(((app->session()).*write)() + QLatin1Char('\n'));
    return 0;
}

// Checks the Cabrillo report of the contest file as the report mail does, without writing it,
// and prints the findings, one per line. Exit 0 without an error, 1 with one, 2 when the
// check cannot run (a file that does not read, a usage error).
int checkCommand(const QStringList& args) {
    try {
        const std::unique_ptr<vu::Application> app = loadContest(args);
        if (!app) {
            return usage();
        }
        const vu::CabrilloCheck check = app->session().checkReport();
        for (const QString& line : check.lines()) {
            print(line + QLatin1Char('\n'));
        }
        return check.hasErrors() ? 1 : 0;
    } catch (const vu::AppError& e) {
        printError(e.message());
        return kCheckCannotRun;
    }
}

// Takes "--name VALUE" out of the arguments; false when the value is missing.
bool takeOption(QStringList& args, const char* name, QString& value) {
    const qsizetype at = args.indexOf(QLatin1String(name));
    if (at < 0) {
        return true;
    }
    if (at + 1 >= args.size()) {
        return false;
    }
    value = args[at + 1];
    args.remove(at, 2);
    return true;
}

// Writes and checks the Cabrillo report of the contest file as the report mailing window does,
// then mails it to the committee (or to --to) with the station's server, port, security and
// login; the password is read from the standard input with --password-stdin. A report with a
// check error goes only with --force. Exit 0 when the server accepted the message, 1 when it
// was not sent (or may not have arrived), 2 on a usage error.
int mailCommand(QStringList args) {
    QString to;
    QString caFile;
    if (!takeOption(args, "--to", to) || !takeOption(args, "--cacert", caFile)) {
        return usage();
    }
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    const bool passwordStdin = args.removeAll(QStringLiteral("--password-stdin")) > 0;
    const std::unique_ptr<vu::Application> app = loadContest(args);
    if (!app) {
        return usage();
    }
    vu::ContestSession& session = app->session();
    const vu::StationForm& station = app->stationForm();
    if (const QString refusal = session.mailButtonRefusal(); !refusal.isEmpty()) {
        printError(refusal.simplified());
        return 1;
    }
    vu::FileNamingForm::checkContestFileExtension(session.contestFile().path());
    if (const QString box = session.activateReportMail(); !box.isEmpty()) {
        printError(box.trimmed());
        return 1;
    }
    for (const QString& line : session.reportCheck().lines()) {
        print(line + QLatin1Char('\n'));
    }
    if (session.reportCheck().hasErrors() && !force) {
        printError(QStringLiteral("Le compte rendu contient des erreurs : il n'a pas été envoyé "
                                  "(--force pour l'envoyer quand même)"));
        return 1;
    }
    if (!to.isEmpty()) {
        session.reportMail().setRecipientText(to);
        if (session.reportMail().recipientRejected()) {
            printError(QStringLiteral("Adresse du destinataire incorrecte : ") + to);
            return kUsageExit;
        }
    }
    vu::MailAccount account{station.smtpSecurity(), station.editLogin(), {}, caFile};
    if (!account.login.isEmpty()) {
        if (!passwordStdin) {
            printError(QStringLiteral("Le serveur est utilisé avec l'identifiant %1 : donnez le "
                                      "mot de passe avec --password-stdin")
                           .arg(account.login));
            return kUsageExit;
        }
        QTextStream in(stdin);
        account.password = in.readLine();
    }
    session.reportMail().setAccount(account);
    const vu::SendOutcome outcome = session.sendReportMail(station.editSmtp(), station.editPort());
    for (const QString& message : outcome.messages) {
        if (outcome.sent) {
            print(message.trimmed() + QLatin1Char('\n'));
        } else {
            printError(message.trimmed());
        }
    }
    return outcome.sent ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VARURAV_UDA"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        return usage();
    }
    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("parse")) {
            return parseCommand(args);
        }
        if (command == QLatin1String("score")) {
            return scoreCommand(args);
        }
        if (command == QLatin1String("stats")) {
            return statsCommand(args);
        }
        if (command == QLatin1String("log")) {
            return logCommand(args);
        }
        if (command == QLatin1String("cabrillo")) {
            return reportCommand(args, &vu::ContestSession::writeCabrillo);
        }
        if (command == QLatin1String("adif")) {
            return reportCommand(args, &vu::ContestSession::writeAdif);
        }
        if (command == QLatin1String("check")) {
            return checkCommand(args);
        }
        if (command == QLatin1String("mail")) {
            return mailCommand(args);
        }
    } catch (const vu::AppError& e) {
        printError(e.message());
        return 1;
    } catch (const std::bad_alloc&) {
        printError(vu::IoError::textFor(ENOMEM));
        return 1;
    }
    return usage();
}
