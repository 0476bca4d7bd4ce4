#include "platform/http_download.h"
#include "support/https_server.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

class HttpDownload : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_server.start()) << m_server.error().toStdString();
        m_target = m_dir.filePath("cty_wt.dat");
    }

    QTemporaryDir m_dir;
    test::LocalHttpsServer m_server;
    QString m_target;
};

TEST_F(HttpDownload, SuccessReplacesTheTargetWithTheServedFile) {
    m_server.serve("/cty/cty_wt.dat", "new content\r\n");
    test::writeFile(m_target, "old content\r\n");

    const DownloadResult r =
        downloadToFile(m_server.url() + "/cty/cty_wt.dat", m_target, m_server.clientOptions());
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(test::readFile(m_target), "new content\r\n");
    EXPECT_FALSE(QFileInfo::exists(m_target + ".download~"));
}

TEST_F(HttpDownload, AFailedDownloadLeavesThePreviousFileAsItWas) {
    m_server.serve("/empty.csv", "");
    HttpOptions untrusting = m_server.clientOptions();
    untrusting.caBundle.clear(); // the system's store knows nothing of the test certificate
    QString plainHttp = m_server.url();
    plainHttp.replace("https://", "http://");
    struct Case {
        const char* what;
        QString url;
        HttpOptions options;
    };
    const HttpOptions options = m_server.clientOptions();
    const Case cases[] = {
        {"not found", m_server.url() + "/missing.csv", options},
        {"connection refused", test::refusingUrl() + "/cty/cty_wt.dat", options},
        {"cut short", m_server.url() + "/truncated", options},
        {"empty body", m_server.url() + "/empty.csv", options},
        {"untrusted certificate", m_server.url() + "/empty.csv", untrusting},
        {"not HTTPS", plainHttp + "/empty.csv", options},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool hadFile : {true, false}) {
            if (hadFile) {
                test::writeFile(m_target, "previous\r\n");
            } else {
                QFile::remove(m_target);
            }
            const DownloadResult r = downloadToFile(c.url, m_target, c.options);
            EXPECT_FALSE(r.ok);
            EXPECT_FALSE(r.error.isEmpty());
            if (hadFile) {
                EXPECT_EQ(test::readFile(m_target), "previous\r\n");
            } else {
                EXPECT_FALSE(QFileInfo::exists(m_target));
            }
            EXPECT_FALSE(QFileInfo::exists(m_target + ".download~"));
        }
    }
}

// Half a file that merely stops when the connection closes looks whole to the transfer; only
// a body whose end was announced counts as complete.
TEST_F(HttpDownload, OnlyABodyWhoseEndWasAnnouncedReplacesTheTarget) {
    const QByteArray file = test::readFile(test::fixture("roster_sample.csv"));
    m_server.serve("/Concours/roster.csv", file);
    struct Case {
        const char* path;
        bool complete;
    };
    const Case cases[] = {
        {"/Concours/roster.csv", true},          // Content-Length
        {"/chunked/Concours/roster.csv", true},  // the last chunk came
        {"/cut/Concours/roster.csv", false},     // neither: cut when the connection closed
        {"/chunkcut/Concours/roster.csv", false} // chunks without the last one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        test::writeFile(m_target, "previous\r\n");
        const DownloadResult r =
            downloadToFile(m_server.url() + c.path, m_target, m_server.clientOptions());
        EXPECT_EQ(r.ok, c.complete) << r.error.toStdString();
        if (QByteArray(c.path).startsWith("/cut/")) {
            // The transfer itself saw nothing wrong: only the missing announcement tells.
            EXPECT_TRUE(r.error.contains("may be incomplete")) << r.error.toStdString();
        }
        EXPECT_EQ(test::readFile(m_target), c.complete ? file : QByteArray("previous\r\n"));
        EXPECT_FALSE(QFileInfo::exists(m_target + ".download~"));
    }
}

TEST_F(HttpDownload, ABodyTheCheckRefusesLeavesThePreviousFileAndSaysWhy) {
    m_server.serve("/page.html", "<!DOCTYPE html><html><body>Not found</body></html>\r\n");
    test::writeFile(m_target, "previous\r\n");
    QByteArray seen;
    const DownloadResult r = downloadToFile(m_server.url() + "/page.html", m_target,
                                            m_server.clientOptions(), [&seen](const QByteArray& b) {
                                                seen = b;
                                                return QStringLiteral("not what was asked for");
                                            });
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.wrongContent);
    EXPECT_EQ(r.error, "not what was asked for");
    EXPECT_TRUE(seen.startsWith("<!DOCTYPE html>"));
    EXPECT_EQ(test::readFile(m_target), "previous\r\n");
    EXPECT_FALSE(QFileInfo::exists(m_target + ".download~"));
}

TEST_F(HttpDownload, AStallingServerIsGivenUpAfterTheOverallTimeOut) {
    test::writeFile(m_target, "previous\r\n");
    const HttpOptions options = m_server.clientOptions();
    QElapsedTimer timer;
    timer.start();
    const DownloadResult r = downloadToFile(m_server.url() + "/stall", m_target, options);
    EXPECT_FALSE(r.ok);
    EXPECT_GE(timer.elapsed(), options.totalTimeoutMs - 100);
    EXPECT_LT(timer.elapsed(), options.totalTimeoutMs + 5000);
    EXPECT_EQ(test::readFile(m_target), "previous\r\n");
}

TEST_F(HttpDownload, ReachableOnlyWhenAServerAnswers) {
    EXPECT_TRUE(urlReachable(m_server.url() + "/", m_server.clientOptions()));
    EXPECT_TRUE(urlReachable(m_server.url() + "/missing.csv", m_server.clientOptions()));
    EXPECT_FALSE(urlReachable(test::refusingUrl() + "/", m_server.clientOptions()));
}

} // namespace
} // namespace vu
