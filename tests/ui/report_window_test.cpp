#include "app/application.h"
#include "support/scripted_dialogs.h"
#include "support/smtp_sink.h"
#include "support/test_support.h"
#include "ui/report_window.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vu {
namespace {

// A server that takes the whole report and never answers its end: the window stays alive
// (its timers run), Cancel ends the send at once, and without Cancel the send ends within its
// one limit saying the report may have arrived.
class ReportWindowSend : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_GT(sink.port(), 0);
        test::layProgramFolder(m_dir.path(), {"[VGlobales]", "OPERATOR=D4ERI", "[OP]", "NAME=Jean",
                                              "email=d4eri@orange.fr"});
        test::layReferenceData(m_dir.path());
        app.startUp();
        app.acceptStation();
        app.setContestFile(m_dir.filePath("Files/LOG.QRP"));
        app.session().contestFile().createNew(app.session().clock().localNow());
        app.activateMain();
        app.session().setReportMailOptions({QString::fromLatin1(kCommitteeAddress), 2000, 3000});
        app.stationForm().setEditSmtp("127.0.0.1");
        app.stationForm().setEditPort(QString::number(sink.port()));
        window = std::make_unique<ReportWindow>(app.session(), app.stationForm(), dialogs);
        window->show();
        window->FormActivate();
    }

    QTemporaryDir m_dir;
    test::FixedTime time{QDateTime(QDate(2024, 1, 15), QTime(10, 0), Qt::UTC)};
    Application app{{m_dir.path(), &time, false, {}}};
    test::ScriptedDialogs dialogs;
    test::SmtpSink sink{{"--stall-data"}};
    std::unique_ptr<ReportWindow> window;
};

TEST_F(ReportWindowSend, TheWindowGoesOnDuringASendAndCancelEndsIt) {
    QTest::mouseClick(window->Button_envoi, Qt::LeftButton);
    ASSERT_TRUE(app.session().reportMail().sending());
    EXPECT_FALSE(sink.message(1).isEmpty()); // the server has the whole message
    // The window thread is free: a timer of its own fires while the send waits.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(50);
    EXPECT_TRUE(test::waitFor([&] { return ticks >= 3; }, 1000));
    EXPECT_TRUE(app.session().reportMail().sending());
    EXPECT_TRUE(app.session().clock().tickEnabled()); // the clock and the backups go on

    QElapsedTimer cancelled;
    cancelled.start();
    QTest::mouseClick(window->BitBtn_annuler, Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return !window->isVisible(); }, 2500));
    EXPECT_LT(cancelled.elapsed(), 2500);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("Envoi annulé"));
}

TEST_F(ReportWindowSend, AnUnansweredEndOfMessageEndsWithinTheLimitAndMayHaveArrived) {
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(window->Button_envoi, Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return !window->isVisible(); }, 10000));
    // The one limit (3 s here) bounds the whole exchange, the wait for the answer included.
    EXPECT_LT(timer.elapsed(), 3000 + 1500);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("il est peut-être arrivé")))
        << dialogs.errors[0].toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty()); // no "not sent" after it
}

// With a login the send asks for the password, once for the run; a cancelled prompt sends
// nothing. (The server here offers no authentication, so the message goes all the same.)
TEST(ReportWindowPassword, ThePasswordIsAskedOnceAndACancelSendsNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::SmtpSink sink;
    ASSERT_GT(sink.port(), 0);
    test::layProgramFolder(dir.path(), {"[VGlobales]", "OPERATOR=D4ERI", "[OP]", "NAME=Jean",
                                        "email=d4eri@orange.fr"});
    test::layReferenceData(dir.path());
    test::FixedTime time{QDateTime(QDate(2024, 1, 15), QTime(10, 0), Qt::UTC)};
    Application app{{dir.path(), &time, false, {}}};
    app.startUp();
    app.acceptStation();
    app.setContestFile(dir.filePath("Files/LOG.QRP"));
    app.session().contestFile().createNew(app.session().clock().localNow());
    app.activateMain();
    app.session().setReportMailOptions({QString::fromLatin1(kCommitteeAddress), 2000, 10000});
    app.stationForm().setEditSmtp("127.0.0.1");
    app.stationForm().setEditPort(QString::number(sink.port()));
    app.stationForm().setEditLogin("d4eri");
    test::ScriptedDialogs dialogs;
    ReportWindow window(app.session(), app.stationForm(), dialogs);
    const auto send = [&] {
        window.show();
        window.FormActivate();
        QTest::mouseClick(window.Button_envoi, Qt::LeftButton);
    };

    send(); // no password given: nothing goes
    EXPECT_EQ(dialogs.passwordPrompts, QStringList{"Mot de passe de d4eri sur 127.0.0.1"});
    EXPECT_FALSE(app.session().reportMail().sending());
    EXPECT_TRUE(window.isVisible());

    dialogs.passwords = {QStringLiteral("s3cret")};
    send();
    ASSERT_TRUE(test::waitFor([&] { return !window.isVisible(); }, 10000));
    EXPECT_EQ(app.session().reportMail().account().password, QStringLiteral("s3cret"));
    send(); // kept for the run
    ASSERT_TRUE(test::waitFor([&] { return !window.isVisible(); }, 10000));
    EXPECT_EQ(dialogs.passwordPrompts.size(), 2);
    EXPECT_FALSE(sink.message(2).isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}

} // namespace
} // namespace vu
