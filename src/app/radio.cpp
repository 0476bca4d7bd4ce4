#include "app/radio.h"

#include "contest_log/quick_entry.h"
#include "platform/rig_control.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

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

// What the window thread and the worker share. The worker holds it too, so that a worker left
// behind by the destructor still has it.
struct Radio::Worker {
    struct Job {
        enum Kind { Send, Stop, Speed } kind;
        QString text;
        int wpm = 0;
    };

    explicit Worker(RadioTiming t) : timing(t) {}

    void run();
    void setStatus(const Status& next);
    static void runJobs(RigControl& rig, const std::deque<Job>& jobs);

    const RadioTiming timing;
    std::mutex mutex; // guards what follows, up to `notify`
    std::condition_variable wake;
    RadioSettings settings;
    bool reopen = false;
    bool quit = false;
    bool finished = false;
    std::deque<Job> jobs;
    Status status;
    std::mutex notifyMutex; // held while `notify` runs, so that the destructor can clear it
    std::function<void()> notify;
};

Radio::Radio(RadioTiming timing) : m_worker(std::make_shared<Worker>(timing)) {
    m_worker->notify = [this] { Q_EMIT changed(); };
}

Radio::~Radio() {
    Worker& w = *m_worker;
    {
        const std::lock_guard lock(w.notifyMutex);
        w.notify = nullptr;
    }
    if (!m_thread.joinable()) {
        return;
    }
    bool finished = false;
    {
        std::unique_lock lock(w.mutex);
        w.quit = true;
        w.wake.notify_all();
        finished = w.wake.wait_for(lock, std::chrono::seconds(2), [&w] { return w.finished; });
    }
    // A worker blocked in a connection attempt ends by itself later; the program does not wait
    // for it.
    finished ? m_thread.join() : m_thread.detach();
}

void Radio::configure(const RadioSettings& settings) {
    Worker& w = *m_worker;
    {
        const std::lock_guard lock(w.mutex);
        const RadioSettings& was = w.settings;
        const bool reconnect = settings.enabled != was.enabled || settings.model != was.model ||
                               settings.port != was.port || settings.serialSpeed != was.serialSpeed;
        if (reconnect) {
            w.reopen = true;
            w.jobs.clear();
        } else if (settings.wpm != was.wpm) {
            w.jobs.push_back({Worker::Job::Speed, {}, settings.wpm});
        }
        w.settings = settings;
        if (!settings.enabled && !m_thread.joinable()) {
            return; // never switched on: no thread at all
        }
        if (!m_thread.joinable()) {
            m_thread = std::thread([worker = m_worker] { worker->run(); });
        }
    }
    w.wake.notify_all();
}

bool Radio::enabled() const {
    const std::lock_guard lock(m_worker->mutex);
    return m_worker->settings.enabled;
}

Radio::Status Radio::status() const {
    const std::lock_guard lock(m_worker->mutex);
    return m_worker->status;
}

void Radio::send(const QString& text) {
    Worker& w = *m_worker;
    {
        const std::lock_guard lock(w.mutex);
        if (w.status.link != Link::Connected || text.isEmpty()) {
            return; // a message sent later than the operator meant it would be worse than none
        }
        w.jobs.push_back({Worker::Job::Send, text, 0});
    }
    w.wake.notify_all();
}

void Radio::stopSending() {
    Worker& w = *m_worker;
    {
        const std::lock_guard lock(w.mutex);
        if (w.status.link != Link::Connected) {
            return;
        }
        std::erase_if(w.jobs, [](const Worker::Job& job) { return job.kind == Worker::Job::Send; });
        w.jobs.push_front({Worker::Job::Stop, {}, 0});
    }
    w.wake.notify_all();
}

void Radio::setKeyerSpeed(int wpm) {
    Worker& w = *m_worker;
    {
        const std::lock_guard lock(w.mutex);
        w.settings.wpm = wpm;
        if (w.status.link != Link::Connected) {
            return; // set when the rig is opened
        }
        w.jobs.push_back({Worker::Job::Speed, {}, wpm});
    }
    w.wake.notify_all();
}

void Radio::Worker::setStatus(const Status& next) {
    bool moved = false;
    {
        const std::lock_guard lock(mutex);
        moved = next != status;
        status = next;
    }
    if (moved) {
        const std::lock_guard lock(notifyMutex);
        if (notify) {
            notify();
        }
    }
}

void Radio::Worker::runJobs(RigControl& rig, const std::deque<Job>& jobs) {
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

void Radio::Worker::run() {
    using Clock = std::chrono::steady_clock;
    std::unique_ptr<RigControl> rig;
    Clock::time_point nextPoll = Clock::now();

    std::unique_lock lock(mutex);
    while (!quit) {
        if (reopen) {
            reopen = false;
            lock.unlock();
            rig.reset();
            setStatus({});
            lock.lock();
            continue;
        }
        if (!settings.enabled) {
            wake.wait(lock, [this] { return quit || reopen; });
            continue;
        }
        if (!rig) {
            const RadioSettings wanted = settings;
            const bool first = status.link == Link::Off;
            lock.unlock();
            if (first) {
                setStatus({Link::Connecting, std::nullopt, {}});
            }
            QString error;
            try {
                auto opened = std::make_unique<RigControl>(wanted.model, wanted.port,
                                                           wanted.serialSpeed, timing.rigTimeoutMs);
                opened->open();
                runJobs(*opened, {{Job::Speed, {}, wanted.wpm}});
                rig = std::move(opened);
            } catch (const AppError& e) {
                error = e.message();
            }
            setStatus(rig ? Status{Link::Connected, std::nullopt, {}}
                          : Status{Link::Lost, std::nullopt, error});
            nextPoll = Clock::now();
            lock.lock();
            if (!rig) {
                jobs.clear();
                wake.wait_for(lock, timing.retry, [this] { return quit || reopen; });
            }
            continue;
        }
        if (!jobs.empty()) {
            std::deque<Job> taken;
            taken.swap(jobs);
            lock.unlock();
            runJobs(*rig, taken);
            lock.lock();
            continue;
        }
        if (Clock::now() >= nextPoll) {
            lock.unlock();
            try {
                const double hz = rig->frequency();
                setStatus({Link::Connected, hz, {}});
            } catch (const AppError& e) {
                rig.reset();
                setStatus({Link::Lost, std::nullopt, e.message()});
            }
            nextPoll = Clock::now() + timing.poll;
            lock.lock();
            continue;
        }
        wake.wait_until(lock, nextPoll, [this] { return quit || reopen || !jobs.empty(); });
    }
    lock.unlock();
    rig.reset();
    lock.lock();
    finished = true;
    wake.notify_all();
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
