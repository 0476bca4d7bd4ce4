#include "app/radio.h"
#include "platform/rig_control.h"
#include "support/rigctld.h"
#include "support/test_support.h"

#include <future>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vu {
namespace {

TEST(RadioBands, FrequenciesMapToTheSelectorsColumnsInsideTheBandsOnly) {
    struct Case {
        double hz;
        std::optional<int> column;
    };
    const Case cases[] = {
        {3'499'999, std::nullopt},
        {3'500'000, 0},
        {3'560'000, 0},
        {4'000'000, 0},
        {5'357'000, std::nullopt},
        {7'000'000, 1},
        {7'030'000, 1},
        {7'300'001, std::nullopt},
        {10'116'000, std::nullopt},
        {14'060'000, 2},
        {14'350'000, 2},
        {18'086'000, std::nullopt},
        {21'060'000, 3},
        {28'060'000, 4},
        {29'700'000, 4},
        {29'700'001, std::nullopt},
        {0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bandOfFrequency(c.hz), c.column) << c.hz;
    }
}

TEST(RadioMessages, MacrosTakeTheStationTheTypedCallAndTheReportSent) {
    struct Case {
        const char* message;
        const char* entry;
        bool cut;
        const char* sent;
    };
    const Case cases[] = {
        {"CQ VUZ {MYCALL} {MYCALL} TEST", "", false, "CQ VUZ D4ERI D4ERI TEST"},
        {"{CALL} {RST}", "f5abc", false, "F5ABC 599"},
        {"{CALL} {RST}", "F5ABC 579 559", false, "F5ABC 579"},
        {"{CALL} {RST}", "F5ABC 5", false, "F5ABC 559"}, // one digit: the entry's own report
        {"{CALL} {RST}", "F5ABC 599", true, "F5ABC 5NN"},
        {"{CALL} {RST}", "F5ABC 509", true, "F5ABC 5TN"},
        {"{CALL} {RST}", "  F5ABC  ", false, "F5ABC 599"},
        {"{CALL} {RST}", "", false, "599"},              // nothing typed yet
        {"{CALL} {RST}", "F5ABC X", false, "F5ABC 599"}, // a refused report: the default
        {"TU {MYCALL}", "F5ABC", false, "TU D4ERI"},
        {"qrl?", "", false, "QRL?"},
        {"{CALL}", "F5ABC\nQ\r\\stop", false, "F5ABC"}, // a line break ends nothing
        {"A\tB{CALL}\x01", "", false, "A B"},
        {"{UNKNOWN} AGN", "", false, "UNKNOWN AGN"},
        {"", "F5ABC", false, ""},
    };
    for (const Case& c : cases) {
        const MessageValues values{QStringLiteral("D4ERI"), QString::fromLatin1(c.entry), c.cut};
        EXPECT_EQ(expandMessage(QString::fromLatin1(c.message), values), QLatin1String(c.sent))
            << c.message << " / " << c.entry;
    }
}

TEST(RadioBandFollower, ABandIsSelectedWhenTheDialEntersItNotAtEveryReading) {
    BandFollower follower;
    EXPECT_EQ(follower.follow(1), 1);            // the first reading
    EXPECT_EQ(follower.follow(1), std::nullopt); // the operator may pick another band by hand
    EXPECT_EQ(follower.follow(std::nullopt), std::nullopt); // out of the bands: nothing
    EXPECT_EQ(follower.follow(1), 1);                       // back into the band
    EXPECT_EQ(follower.follow(2), 2);
    follower.reset();
    EXPECT_EQ(follower.follow(2), 2); // found again after a loss
}

TEST(RigModels, HamlibsListHoldsTheNetworkClientAndTheDummy) {
    const std::vector<RigModel>& models = rigModels();
    const auto has = [&](int id) {
        return std::any_of(models.begin(), models.end(),
                           [id](const RigModel& m) { return m.id == id; });
    };
    EXPECT_GT(models.size(), 100u);
    EXPECT_TRUE(has(kRigModelDummy));
    EXPECT_TRUE(has(kRigModelNetRigctl));
}

RadioSettings networkRig(const QString& address, int wpm = 24) {
    RadioSettings s;
    s.enabled = true;
    s.model = kRigModelNetRigctl;
    s.port = address;
    s.wpm = wpm;
    return s;
}

const RadioTiming kQuick{std::chrono::milliseconds(100), std::chrono::milliseconds(300), 500};

bool hzIs(const Radio& radio, double hz) {
    const Radio::Status status = radio.status();
    return status.link == Radio::Link::Connected && status.hz == hz;
}

TEST(RadioWithRigctld, TheFrequencyFollowsTheDialAndALostRigIsFoundAgain) {
    test::Rigctld rigctld;
    ASSERT_TRUE(rigctld.setFrequency(7'025'000));
    Radio radio; // the program's own timing: a reading every half second
    radio.configure(networkRig(rigctld.address()));
    EXPECT_TRUE(test::waitFor([&] { return hzIs(radio, 7'025'000); }, 10000));
    ASSERT_TRUE(rigctld.setFrequency(14'030'000));
    EXPECT_TRUE(test::waitFor([&] { return hzIs(radio, 14'030'000); }, 5000));

    rigctld.stop();
    EXPECT_TRUE(test::waitFor([&] { return radio.status().link == Radio::Link::Lost; }, 10000));
    EXPECT_FALSE(radio.status().error.isEmpty());
    EXPECT_FALSE(radio.status().hz);

    rigctld.start();
    ASSERT_TRUE(rigctld.setFrequency(21'040'000));
    EXPECT_TRUE(test::waitFor([&] { return hzIs(radio, 21'040'000); }, 10000));
}

TEST(RadioWithRigctld, NobodyListeningIsLostAndTurningTheRadioOffStopsTrying) {
    Radio radio(kQuick);
    radio.configure(networkRig(QStringLiteral("127.0.0.1:%1").arg(test::freeLoopbackPort())));
    EXPECT_TRUE(test::waitFor([&] { return radio.status().link == Radio::Link::Lost; }, 10000));
    RadioSettings off;
    radio.configure(off);
    EXPECT_TRUE(test::waitFor([&] { return radio.status().link == Radio::Link::Off; }, 10000));
    EXPECT_FALSE(radio.enabled());
}

TEST(RadioWithRigctld, TheRecorderHearsTheTextsTheStopAndTheSpeeds) {
    test::Rigctld rigctld;
    test::RigRecorder recorder(rigctld.port());
    Radio radio(kQuick);
    radio.configure(networkRig(recorder.address(), 28));
    ASSERT_TRUE(test::waitFor([&] { return radio.status().hz.has_value(); }, 10000));
    radio.send(QStringLiteral("CQ VUZ D4ERI D4ERI TEST"));
    radio.send(QStringLiteral("F5ABC 5NN"));
    EXPECT_TRUE(test::waitFor([&] { return recorder.morse().size() == 2; }, 10000));
    EXPECT_EQ(recorder.morse(), QStringList({QStringLiteral("CQ VUZ D4ERI D4ERI TEST"),
                                             QStringLiteral("F5ABC 5NN")}));
    radio.stopSending();
    EXPECT_TRUE(test::waitFor([&] { return recorder.stops() == 1; }, 10000));
    radio.setKeyerSpeed(30);
    EXPECT_TRUE(test::waitFor([&] { return recorder.speeds().size() == 2; }, 10000));
    EXPECT_EQ(recorder.speeds(), (std::vector<int>{28, 30})) // at opening, then the new one
        << recorder.lines().join(u'|').toStdString();
}

TEST(RadioWithRigctld, NothingIsQueuedWhileTheRigIsAway) {
    Radio radio(kQuick);
    radio.send(QStringLiteral("CQ")); // off
    radio.stopSending();
    radio.configure(networkRig(QStringLiteral("127.0.0.1:%1").arg(test::freeLoopbackPort())));
    ASSERT_TRUE(test::waitFor([&] { return radio.status().link == Radio::Link::Lost; }, 10000));
    radio.send(QStringLiteral("CQ")); // lost: dropped, never sent late
    test::Rigctld rigctld;
    test::RigRecorder recorder(rigctld.port());
    radio.configure(networkRig(recorder.address()));
    ASSERT_TRUE(test::waitFor([&] { return radio.status().hz.has_value(); }, 10000));
    radio.send(QStringLiteral("TU"));
    EXPECT_TRUE(test::waitFor([&] { return !recorder.morse().isEmpty(); }, 10000));
    EXPECT_EQ(recorder.morse(), QStringList{QStringLiteral("TU")});
}

TEST(RadioWithRigctld, QuittingDoesNotWaitForARigThatNeverAnswers) {
    // A listener that takes connections and never says a word: opening the rig waits for its
    // whole time-out, here a minute.
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(silent, 4), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &size), 0);

    auto radio = std::make_unique<Radio>(
        RadioTiming{std::chrono::milliseconds(500), std::chrono::milliseconds(2000), 60000});
    radio->configure(networkRig(QStringLiteral("127.0.0.1:%1").arg(ntohs(address.sin_port))));
    ASSERT_TRUE(
        test::waitFor([&] { return radio->status().link == Radio::Link::Connecting; }, 10000));
    auto quitting = std::async(std::launch::async, [&radio] { radio.reset(); });
    EXPECT_EQ(quitting.wait_for(std::chrono::seconds(20)), std::future_status::ready)
        << "the program waited for the rig";
    quitting.wait();
    ::close(silent);
}

} // namespace
} // namespace vu
