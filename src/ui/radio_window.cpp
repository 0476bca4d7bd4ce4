#include "ui/radio_window.h"

#include "app/radio.h"
#include "platform/rig_control.h"
#include "ui/dialogs.h"
#include "ui/language_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vu {

namespace {

constexpr int kSerialSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

} // namespace

RadioWindow::RadioWindow(RadioSetup& radio, const LanguageTexts& texts, Dialogs& dialogs,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), m_radio(radio), m_texts(texts), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TForm_radio"));
    setWindowTitle(QStringLiteral("Radio"));
    Label_recherche = new QLabel(QStringLiteral("Chercher"), this);
    Edit_recherche = new QLineEdit(this);
    Label_modele = new QLabel(QStringLiteral("Modèle"), this);
    ComboBox_modele = new QComboBox(this);
    ComboBox_modele->setMinimumContentsLength(36);
    Label_port = new QLabel(QStringLiteral("Port (série, ou hôte:port de rigctld)"), this);
    Edit_port = new QLineEdit(this);
    Label_vitesse_port = new QLabel(QStringLiteral("Vitesse du port"), this);
    ComboBox_vitesse_port = new QComboBox(this);
    ComboBox_vitesse_port->addItem(QStringLiteral("-"), 0);
    for (const int speed : kSerialSpeeds) {
        ComboBox_vitesse_port->addItem(QString::number(speed), speed);
    }
    CheckBox_radio = new QCheckBox(QStringLiteral("Radio en service"), this);
    Label_wpm = new QLabel(QStringLiteral("Vitesse Morse (mots/min)"), this);
    SpinBox_wpm = new QSpinBox(this);
    SpinBox_wpm->setRange(RadioSettings::kMinWpm, RadioSettings::kMaxWpm);
    CheckBox_chiffres_courts =
        new QCheckBox(QStringLiteral("Report en chiffres courts (5NN)"), this);
    Label_messages = new QLabel(this);
    Button_ok = new QPushButton(QStringLiteral("OK"), this);
    Button_annuler = new QPushButton(QStringLiteral("Annuler"), this);

    auto* form = new QFormLayout;
    form->addRow(Label_recherche, Edit_recherche);
    form->addRow(Label_modele, ComboBox_modele);
    form->addRow(Label_port, Edit_port);
    form->addRow(Label_vitesse_port, ComboBox_vitesse_port);
    form->addRow(QString(), CheckBox_radio);
    form->addRow(Label_wpm, SpinBox_wpm);
    form->addRow(QString(), CheckBox_chiffres_courts);
    auto* keys = new QGridLayout;
    for (int i = 0; i < RadioSettings::kMessages; ++i) {
        Edit_messages.at(i) = new QLineEdit(this);
        Edit_messages.at(i)->setObjectName(QStringLiteral("Edit_F%1").arg(i + 1));
        Edit_messages.at(i)->setMaxLength(120);
        keys->addWidget(new QLabel(QStringLiteral("F%1").arg(i + 1), this), i, 0);
        keys->addWidget(Edit_messages.at(i), i, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button_ok);
    buttons->addWidget(Button_annuler);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Label_messages);
    layout->addLayout(keys);
    layout->addLayout(buttons);

#define VU_NAME(control) control->setObjectName(QStringLiteral(#control))
    VU_NAME(Label_recherche);
    VU_NAME(Edit_recherche);
    VU_NAME(Label_modele);
    VU_NAME(ComboBox_modele);
    VU_NAME(Label_port);
    VU_NAME(Edit_port);
    VU_NAME(Label_vitesse_port);
    VU_NAME(ComboBox_vitesse_port);
    VU_NAME(CheckBox_radio);
    VU_NAME(Label_wpm);
    VU_NAME(SpinBox_wpm);
    VU_NAME(CheckBox_chiffres_courts);
    VU_NAME(Label_messages);
    VU_NAME(Button_ok);
    VU_NAME(Button_annuler);
#undef VU_NAME

    connect(Edit_recherche, &QLineEdit::textChanged, this,
            [this] { listModels(ComboBox_modele->currentData().toInt()); });
    connect(Button_ok, &QPushButton::clicked, this,
            [this] { runHandler(m_dialogs, [this] { Button_okClick(); }); });
    connect(Button_annuler, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT closedByButton();
    });
    render();
}

void RadioWindow::applyTexts() {
    applyLanguage(this, Form::Radio, m_texts);
}

void RadioWindow::listModels(int model) {
    const QString search = Edit_recherche->text().trimmed();
    const QSignalBlocker block(ComboBox_modele);
    ComboBox_modele->clear();
    for (const RigModel& m : rigModels()) {
        const QString text = QStringLiteral("%1 %2 (%3)").arg(m.maker, m.name).arg(m.id);
        if (m.id == model || search.isEmpty() || text.contains(search, Qt::CaseInsensitive)) {
            ComboBox_modele->addItem(text, m.id);
        }
    }
    ComboBox_modele->setCurrentIndex(std::max(0, ComboBox_modele->findData(model)));
}

void RadioWindow::render() {
    const RadioSettings& s = m_radio.settings();
    Edit_recherche->clear();
    listModels(s.model);
    Edit_port->setText(s.port);
    const int speed = ComboBox_vitesse_port->findData(s.serialSpeed);
    if (speed < 0) {
        ComboBox_vitesse_port->addItem(QString::number(s.serialSpeed), s.serialSpeed);
    }
    ComboBox_vitesse_port->setCurrentIndex(ComboBox_vitesse_port->findData(s.serialSpeed));
    CheckBox_radio->setChecked(s.enabled);
    SpinBox_wpm->setValue(s.wpm);
    CheckBox_chiffres_courts->setChecked(s.cutNumbers);
    for (int i = 0; i < RadioSettings::kMessages; ++i) {
        Edit_messages.at(i)->setText(s.messages.at(i));
    }
}

RadioSettings RadioWindow::typedSettings() const {
    RadioSettings s = m_radio.settings();
    s.enabled = CheckBox_radio->isChecked();
    if (ComboBox_modele->currentIndex() >= 0) {
        s.model = ComboBox_modele->currentData().toInt();
    }
    s.port = Edit_port->text().trimmed();
    s.serialSpeed = ComboBox_vitesse_port->currentData().toInt();
    s.wpm = SpinBox_wpm->value();
    s.cutNumbers = CheckBox_chiffres_courts->isChecked();
    for (int i = 0; i < RadioSettings::kMessages; ++i) {
        s.messages.at(i) = Edit_messages.at(i)->text();
    }
    return s;
}

void RadioWindow::Button_okClick() {
    m_radio.apply(typedSettings());
    hide();
    Q_EMIT closedByButton();
}

} // namespace vu
