#include "app/radio.h"

#include "contest_log/quick_entry.h"
#include "platform/rig_control.h"

#include <algorithm>
#include <array>
#include <memory>

namespace vu {

namespace {

struct BandEdges {
    double lowHz;
    double highHz;
};

// The amateur bands of the five selector columns, widest allocation of the three regions.
constexpr std::array<BandEdges, 5> kBands = {{{3'500'000, 4'000'000},
                                              {7'000'000, 7'300'000},
                                              {14'000'000, 14'350'000},
                                              {21'000'000, 21'450'000},
                                              {28'000'000, 29'700'000}}};

bool sendable(QChar c) {
    static const QString punctuation = QStringLiteral(" /?.,=+-'():\"@");
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || punctuation.contains(c);
}

QString reportSent(const QString& entryText, bool cutNumbers) {
    const QString given = parseQuickEntry(entryText).rstSent;
    const bool digits = !given.isEmpty() && std::all_of(given.begin(), given.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    QString rst = digits ? given : QStringLiteral("599");
    if (cutNumbers) {
        rst.replace(u'9', u'N').replace(u'0', u'T');
    }
    return rst;
}

} // namespace

std::optional<int> bandOfFrequency(double hz) {
    for (int column = 0; column < static_cast<int>(kBands.size()); ++column) {
        if (hz >= kBands.at(column).lowHz && hz <= kBands.at(column).highHz) {
            return column;
        }
    }
    return std::nullopt;
}

QString expandMessage(const QString& message, const MessageValues& values) {
    QString text = message;
    text.replace(QLatin1String("{MYCALL}"), values.myCall.trimmed());
    text.replace(QLatin1String("{CALL}"), values.entryText.simplified().section(u' ', 0, 0));
    text.replace(QLatin1String("{RST}"), reportSent(values.entryText, values.cutNumbers));
    QString sent;
    for (const QChar c : text.toUpper()) {
        if (c.isSpace()) {
            if (!sent.isEmpty() && !sent.endsWith(u' ')) {
                sent += u' ';
            }
        } else if (sendable(c)) {
            sent += c;
        }
    }
    return sent.trimmed();
}

std::optional<int> BandFollower::follow(std::optional<int> radioBand) {
    const bool moved = !m_seen || radioBand != m_last;
    m_seen = true;
    m_last = radioBand;
    return moved ? radioBand : std::nullopt;
}

Radio::Radio(RadioTiming timing) : m_timing(timing) {}

Radio::~Radio() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void Radio::configure(const RadioSettings& settings) {
    {
        const std::lock_guard lock(m_mutex);
        const RadioSettings& was = m_settings;
        const bool reconnect = settings.enabled != was.enabled || settings.model != was.model ||
                               settings.port != was.port || settings.serialSpeed != was.serialSpeed;
        if (reconnect) {
            m_reopen = true;
            m_jobs.clear();
        } else if (settings.wpm != was.wpm) {
            m_jobs.push_back({Job::Speed, {}, settings.wpm});
        }
        m_settings = settings;
        if (!settings.enabled && !m_worker.joinable()) {
            return; // never switched on: no thread at all
        }
        if (!m_worker.joinable()) {
            m_worker = std::thread([this] { run(); });
        }
    }
    m_wake.notify_all();
}

bool Radio::enabled() const {
    const std::lock_guard lock(m_mutex);
    return m_settings.enabled;
}

Radio::Status Radio::status() const {
    const std::lock_guard lock(m_mutex);
    return m_status;
}

void Radio::send(const QString& text) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_status.link != Link::Connected || text.isEmpty()) {
            return; // a message sent later than the operator meant it would be worse than none
        }
        m_jobs.push_back({Job::Send, text, 0});
    }
    m_wake.notify_all();
}

void Radio::stopSending() {
    {
        const std::lock_guard lock(m_mutex);
        if (m_status.link != Link::Connected) {
            return;
        }
        std::erase_if(m_jobs, [](const Job& job) { return job.kind == Job::Send; });
        m_jobs.push_front({Job::Stop, {}, 0});
    }
    m_wake.notify_all();
}

void Radio::setKeyerSpeed(int wpm) {
    {
        const std::lock_guard lock(m_mutex);
        m_settings.wpm = wpm;
        if (m_status.link != Link::Connected) {
            return; // set when the rig is opened
        }
        m_jobs.push_back({Job::Speed, {}, wpm});
    }
    m_wake.notify_all();
}

void Radio::setStatus(const Status& status) {
    bool moved = false;
    {
        const std::lock_guard lock(m_mutex);
        moved = status != m_status;
        m_status = status;
    }
    if (moved) {
        Q_EMIT changed();
    }
}

void Radio::runJobs(RigControl& rig, std::deque<Job> jobs) {
    // A command the rig refuses (a model without a keyer stop, say) leaves the link as it is; a
    // rig that went away is found by the next reading.
    for (const Job& job : jobs) {
        try {
            switch (job.kind) {
            case Job::Send:
                rig.sendMorse(job.text);
                break;
            case Job::Stop:
                rig.stopMorse();
                break;
            case Job::Speed:
                rig.setKeyerSpeed(job.wpm);
                break;
            }
        } catch (const RigError&) {
        }
    }
}

void Radio::run() {
    using Clock = std::chrono::steady_clock;
    std::unique_ptr<RigControl> rig;
    Clock::time_point nextPoll = Clock::now();
    const auto lose = [&](const QString& error) {
        rig.reset();
        setStatus({Link::Lost, std::nullopt, error});
    };

    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_reopen) {
            m_reopen = false;
            lock.unlock();
            rig.reset();
            setStatus({});
            lock.lock();
            continue;
        }
        if (!m_settings.enabled) {
            m_wake.wait(lock, [this] { return m_quit || m_reopen; });
            continue;
        }
        if (!rig) {
            const RadioSettings settings = m_settings;
            const bool first = m_status.link == Link::Off;
            lock.unlock();
            if (first) {
                setStatus({Link::Connecting, std::nullopt, {}});
            }
            QString error;
            try {
                auto opened = std::make_unique<RigControl>(
                    settings.model, settings.port, settings.serialSpeed, m_timing.rigTimeoutMs);
                opened->open();
                runJobs(*opened, {{Job::Speed, {}, settings.wpm}});
                rig = std::move(opened);
            } catch (const AppError& e) {
                error = e.message();
            }
            if (rig) {
                setStatus({Link::Connected, std::nullopt, {}});
                nextPoll = Clock::now();
            } else {
                setStatus({Link::Lost, std::nullopt, error});
            }
            lock.lock();
            if (!rig) {
                m_jobs.clear();
                m_wake.wait_for(lock, m_timing.retry, [this] { return m_quit || m_reopen; });
            }
            continue;
        }
        if (!m_jobs.empty()) {
            std::deque<Job> jobs;
            jobs.swap(m_jobs);
            lock.unlock();
            runJobs(*rig, std::move(jobs));
            lock.lock();
            continue;
        }
        if (Clock::now() >= nextPoll) {
            lock.unlock();
            try {
                const double hz = rig->frequency();
                setStatus({Link::Connected, hz, {}});
            } catch (const AppError& e) {
                lose(e.message());
            }
            nextPoll = Clock::now() + m_timing.poll;
            lock.lock();
            continue;
        }
        m_wake.wait_until(lock, nextPoll, [this] { return m_quit || m_reopen || !m_jobs.empty(); });
    }
    lock.unlock();
    rig.reset();
}

RadioSetup::RadioSetup(const StationSettings& station, QString settingsPath)
    : m_station(station), m_settingsPath(std::move(settingsPath)) {}

void RadioSetup::load() {
    m_settings = readRadioSettings(m_settingsPath);
}

void RadioSetup::start() {
    m_link.configure(m_settings);
}

void RadioSetup::apply(const RadioSettings& settings) {
    m_settings = settings;
    m_link.configure(settings);
    writeRadioSettings(m_settingsPath, settings);
}

MessageValues RadioSetup::messageValues(const QString& entryText) const {
    // The callsign on the air: the station's, else the operator's own.
    const QString call =
        m_station.stationCall.isEmpty() ? m_station.operatorCall : m_station.stationCall;
    return {call, entryText, m_settings.cutNumbers};
}

} // namespace vu
