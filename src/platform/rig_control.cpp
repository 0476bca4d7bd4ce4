#include "platform/rig_control.h"

#include <hamlib/rig.h>

#include <QByteArray>
#include <algorithm>
#include <mutex>

namespace vu {

namespace {

// Hamlib's global state (debug level, backend list) is set once for the process.
void initHamlib() {
    static std::once_flag once;
    std::call_once(once, [] {
        rig_set_debug(RIG_DEBUG_NONE);
        rig_load_all_backends();
    });
}

QString errorText(const char* what, int code) {
    return QStringLiteral("%1 : %2").arg(QLatin1String(what), QString::fromUtf8(rigerror(code)));
}

void check(const char* what, int code) {
    if (code != RIG_OK) {
        throw RigError(errorText(what, code));
    }
}

int collectModel(const rig_caps* caps, rig_ptr_t data) {
    auto* models = static_cast<std::vector<RigModel>*>(data);
    models->push_back({static_cast<int>(caps->rig_model), QString::fromUtf8(caps->mfg_name),
                       QString::fromUtf8(caps->model_name)});
    return 1; // go on
}

} // namespace

const std::vector<RigModel>& rigModels() {
    static const std::vector<RigModel> models = [] {
        initHamlib();
        std::vector<RigModel> list;
        rig_list_foreach(collectModel, &list);
        std::sort(list.begin(), list.end(), [](const RigModel& a, const RigModel& b) {
            const int maker = QString::compare(a.maker, b.maker, Qt::CaseInsensitive);
            if (maker != 0) {
                return maker < 0;
            }
            const int name = QString::compare(a.name, b.name, Qt::CaseInsensitive);
            return name != 0 ? name < 0 : a.id < b.id;
        });
        return list;
    }();
    return models;
}

RigControl::RigControl(int model, const QString& port, int serialSpeed, int timeoutMs) {
    initHamlib();
    m_rig = rig_init(static_cast<rig_model_t>(model));
    if (m_rig == nullptr) {
        throw RigError(QStringLiteral("Hamlib : modèle %1 inconnu").arg(model));
    }
    if (!port.isEmpty()) {
        setConf("rig_pathname", port);
    }
    if (serialSpeed > 0) {
        setConf("serial_speed", QString::number(serialSpeed));
    }
    setConf("timeout", QString::number(timeoutMs));
    setConf("retry", QStringLiteral("0"));
}

RigControl::~RigControl() {
    close();
    rig_cleanup(m_rig);
}

void RigControl::setConf(const char* name, const QString& value) {
    const token_t token = rig_token_lookup(m_rig, name);
    if (token == RIG_CONF_END) {
        return; // a setting this model does not have
    }
    const QByteArray bytes = value.toUtf8();
    check(name, rig_set_conf(m_rig, token, bytes.constData()));
}

void RigControl::open() {
    if (!m_open) {
        check("rig_open", rig_open(m_rig));
        m_open = true;
    }
}

void RigControl::close() {
    if (m_open) {
        rig_close(m_rig);
        m_open = false;
    }
}

double RigControl::frequency() {
    freq_t hz = 0;
    check("get_freq", rig_get_freq(m_rig, RIG_VFO_CURR, &hz));
    return hz;
}

void RigControl::sendMorse(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    check("send_morse", rig_send_morse(m_rig, RIG_VFO_CURR, bytes.constData()));
}

void RigControl::stopMorse() {
    check("stop_morse", rig_stop_morse(m_rig, RIG_VFO_CURR));
}

void RigControl::setKeyerSpeed(int wpm) {
    value_t value{};
    value.i = wpm;
    check("set_level KEYSPD", rig_set_level(m_rig, RIG_VFO_CURR, RIG_LEVEL_KEYSPD, value));
}

} // namespace vu
