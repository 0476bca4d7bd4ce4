#include "ui/station_window.h"

#include "app/application.h"
#include "platform/errors.h"
#include "ui/dialogs.h"
#include "ui/language_binding.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vu {

namespace {

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// Sets a line edit's text without running its change handlers again.
void showText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) {
        const int cursor = edit->cursorPosition();
        edit->setText(text);
        edit->setCursorPosition(std::min<int>(cursor, static_cast<int>(text.size())));
    }
}

} // namespace

StationWindow::StationWindow(Application& app, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_app(app), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TForm_info"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(212, 208, 200));
    setPalette(grey);

    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    Edit_op = edit("Edit_op");
    Edit_NZRB = edit("Edit_NZRB");
    Edit_station = edit("Edit_station");
    Edit_station->setToolTip(QStringLiteral("Ex: D4ERI/P ,  DL/D4ERI etc..."));
    ComboBox_DXCC = new QComboBox(this);
    ComboBox_DXCC->setObjectName(QStringLiteral("ComboBox_DXCC"));
    ComboBox_DXCC->setEditable(true);
    ComboBox_DXCC->setInsertPolicy(QComboBox::NoInsert);
    CheckBox_QRP = new QCheckBox(QStringLiteral("QRP <=5W"), this);
    CheckBox_QRP->setObjectName(QStringLiteral("CheckBox_QRP"));
    Button_quit = new QPushButton(QStringLiteral("&OK"), this);
    Button_quit->setDefault(true);
    Button_quit->setObjectName(QStringLiteral("Button_quit"));
    Edit_nom = edit("Edit_nom");
    Edit_AD1 = edit("Edit_AD1");
    Edit_CITY = edit("Edit_CITY");
    Edit_ZIPCODE = edit("Edit_ZIPCODE");
    combobox_save = new QComboBox(this);
    combobox_save->setObjectName(QStringLiteral("combobox_save"));
    BitBtn1 = new QPushButton(QStringLiteral("&Annuler"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    Edit_email = edit("Edit_email");
    Edit_smtp = edit("Edit_smtp");
    Edit_port = edit("Edit_port");
    ComboBox_securite = new QComboBox(this);
    ComboBox_securite->setObjectName(QStringLiteral("ComboBox_securite"));
    ComboBox_securite->addItems(StationForm::securityItems());
    Edit_login = edit("Edit_login");
    Edit_login->setToolTip(QStringLiteral("Vide : le serveur est utilisé sans authentification"));

    Label_op = label("Label_op", QStringLiteral("-"));
    Label_nr_zir = label("Label_nr_zir", QStringLiteral("N° ZIR"));
    Label_station = label("Label_station", QStringLiteral("Station sur l'air"));
    Label1 = label("Label1", QStringLiteral("(Ex= /P, /M, /MM)"));
    Label4 = label("Label4", QStringLiteral("DXCC"));
    Label_declar1 = label("Label_declar1", QStringLiteral("Vous déclarez que votre puissance "));
    Label_declar2 = label("Label_declar2", QStringLiteral(" de sortie est de 5W maxi"));
    setTextColour(Label_declar1, Qt::red);
    setTextColour(Label_declar2, Qt::red);
    Label_declar1->hide();
    Label_declar2->hide();
    Label_nom = label("Label_nom", QStringLiteral("Nom"));
    Label_ad1 = label("Label_ad1", QStringLiteral("Adresse"));
    Label_ad2 = label("Label_ad2", QStringLiteral("Ville"));
    Label_ad3 = label("Label_ad3", QStringLiteral("ZIP Code"));
    Label3 = label("Label3", QStringLiteral("Sauvegarde auto sur:"));
    Label5 = label("Label5", QStringLiteral("Email"));
    Label6 = label("Label6", QStringLiteral("SMTP"));
    Label7 = label("Label7", QStringLiteral("Port"));
    Label_securite = label("Label_securite", QStringLiteral("Sécurité"));
    Label_login = label("Label_login", QStringLiteral("Identifiant"));
    Label_BD_ZIR = label("Label_BD_ZIR", QStringLiteral("BD ZIR : "));
    Label_Date_BD = label("Label_Date_BD", QStringLiteral("Date BD"));
    Label_info_Internet = label("Label_info_Internet", QStringLiteral("Internet"));
    for (QLabel* status : {Label_BD_ZIR, Label_Date_BD, Label_info_Internet}) {
        setTextColour(status, Qt::blue);
    }
    Label2 = label("Label2", QStringLiteral("ZIR"));

    auto* grid = new QGridLayout;
    int row = 0;
    const auto addRow = [&](QLabel* l, QWidget* w, QWidget* extra = nullptr) {
        grid->addWidget(l, row, 0);
        grid->addWidget(w, row, 1);
        if (extra != nullptr) {
            grid->addWidget(extra, row, 2);
        }
        ++row;
    };
    addRow(Label_op, Edit_op);
    addRow(Label_nr_zir, Edit_NZRB);
    addRow(Label_station, Edit_station, Label1);
    addRow(Label4, ComboBox_DXCC);
    auto* declaration = new QWidget(this);
    auto* declarationLayout = new QVBoxLayout(declaration);
    declarationLayout->setContentsMargins(0, 0, 0, 0);
    declarationLayout->addWidget(Label_declar1);
    declarationLayout->addWidget(Label_declar2);
    grid->addWidget(CheckBox_QRP, row, 1);
    grid->addWidget(declaration, row++, 2);
    addRow(Label_nom, Edit_nom);
    addRow(Label_ad1, Edit_AD1);
    addRow(Label_ad2, Edit_CITY);
    addRow(Label_ad3, Edit_ZIPCODE);
    addRow(Label5, Edit_email);
    addRow(Label6, Edit_smtp);
    addRow(Label7, Edit_port);
    addRow(Label_securite, ComboBox_securite);
    addRow(Label_login, Edit_login);
    auto* backupFrame = new QGroupBox(this);
    auto* backupLayout = new QHBoxLayout(backupFrame);
    backupLayout->addWidget(Label3);
    backupLayout->addWidget(combobox_save, 1);
    grid->addWidget(backupFrame, row++, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button_quit);
    buttons->addWidget(BitBtn1);
    auto* status = new QHBoxLayout;
    status->addWidget(Label_BD_ZIR);
    status->addWidget(Label_Date_BD);
    status->addWidget(Label_info_Internet);
    status->addStretch();
    status->addWidget(Label2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addStretch();
    layout->addLayout(status);
    resize(685, 467);

    // Tab order: the order of the design's table, with "Annuler" right after OK.
    QWidget* order[] = {Edit_op,           Edit_NZRB,     Edit_station, ComboBox_DXCC, CheckBox_QRP,
                        Button_quit,       BitBtn1,       Edit_nom,     Edit_AD1,      Edit_CITY,
                        Edit_ZIPCODE,      combobox_save, Edit_email,   Edit_smtp,     Edit_port,
                        ComboBox_securite, Edit_login};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    StationForm& form = m_app.stationForm();
    const auto onEdit = [this](QLineEdit* e, auto setter) {
        connect(e, &QLineEdit::textChanged, this, [this, setter](const QString& text) {
            if (!m_rendering) {
                guarded([&] { setter(text); });
            }
        });
    };
    onEdit(Edit_op, [&form](const QString& t) { form.setEditOp(t); });
    onEdit(Edit_NZRB, [&form](const QString& t) { form.setEditNZRB(t); });
    onEdit(Edit_station, [&form](const QString& t) { form.setEditStation(t); });
    onEdit(Edit_nom, [&form](const QString& t) { form.setEditNom(t); });
    onEdit(Edit_AD1, [&form](const QString& t) { form.setEditAD1(t); });
    onEdit(Edit_CITY, [&form](const QString& t) { form.setEditCity(t); });
    onEdit(Edit_ZIPCODE, [&form](const QString& t) { form.setEditZipCode(t); });
    onEdit(Edit_email, [&form](const QString& t) { form.setEditEmail(t); });
    onEdit(Edit_smtp, [&form](const QString& t) { form.setEditSmtp(t); });
    onEdit(Edit_port, [&form](const QString& t) { form.setEditPort(t); });
    onEdit(Edit_login, [&form](const QString& t) { form.setEditLogin(t); });
    connect(ComboBox_securite, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_rendering && index >= 0) {
            guarded([&] { m_app.stationForm().setSmtpSecurity(static_cast<SmtpSecurity>(index)); });
        }
    });
    connect(Edit_op, &QLineEdit::editingFinished, this,
            [this] { guarded([this] { m_app.stationForm().editOpExit(); }); });
    connect(Edit_station, &QLineEdit::editingFinished, this,
            [this] { guarded([this] { m_app.stationForm().editStationExit(); }); });
    connect(ComboBox_DXCC, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_rendering) {
            guarded([&] { m_app.stationForm().selectDxcc(index); });
        }
    });
    connect(ComboBox_DXCC, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!m_rendering) {
            guarded([&] { m_app.stationForm().setDxccText(text.toUpper()); });
        }
    });
    connect(CheckBox_QRP, &QCheckBox::clicked, this,
            [this](bool checked) { guarded([&] { m_app.stationForm().setQrpChecked(checked); }); });
    connect(combobox_save, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_rendering) {
            guarded([this, index] { combobox_saveChange(index); });
        }
    });
    ComboBox_DXCC->installEventFilter(this);
    combobox_save->installEventFilter(this);
    connect(Button_quit, &QPushButton::clicked, this,
            [this] { guarded([this] { Button_quitClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    render();
}

StationWindow::~StationWindow() {
    // A field that has the keyboard loses it while the window is taken down, which would run its
    // exit rule on a window half gone.
    for (QWidget* field : findChildren<QWidget*>()) {
        QObject::disconnect(field, nullptr, this, nullptr);
    }
}

template <typename F>
void StationWindow::guarded(F&& handler) {
    runHandler(m_dialogs, std::forward<F>(handler), [this] { render(); });
    Q_EMIT stationChanged();
}

void StationWindow::render() {
    m_rendering = true;
    const StationForm& form = m_app.stationForm();
    setWindowTitle(form.caption());
    showText(Edit_op, form.editOp());
    showText(Edit_NZRB, form.editNZRB());
    showText(Edit_station, form.editStation());
    if (ComboBox_DXCC->count() != form.dxccItems().size()) {
        ComboBox_DXCC->clear();
        ComboBox_DXCC->addItems(form.dxccItems());
    }
    ComboBox_DXCC->setCurrentIndex(form.dxccIndex());
    if (ComboBox_DXCC->currentText() != form.dxccText()) {
        ComboBox_DXCC->setEditText(form.dxccText());
    }
    CheckBox_QRP->setChecked(form.qrpChecked());
    Label_declar1->setVisible(form.declarationVisible());
    Label_declar2->setVisible(form.declarationVisible());
    showText(Edit_nom, form.editNom());
    showText(Edit_AD1, form.editAD1());
    showText(Edit_CITY, form.editCity());
    showText(Edit_ZIPCODE, form.editZipCode());
    showText(Edit_email, form.editEmail());
    showText(Edit_smtp, form.editSmtp());
    showText(Edit_port, form.editPort());
    ComboBox_securite->setCurrentIndex(static_cast<int>(form.smtpSecurity()));
    if (Edit_login->text() != form.editLogin() && !Edit_login->hasFocus()) {
        Edit_login->setText(form.editLogin());
    }
    const QStringList backups = form.backupItems();
    QStringList shown;
    for (int i = 0; i < combobox_save->count(); ++i) {
        shown << combobox_save->itemText(i);
    }
    if (shown != backups) {
        combobox_save->clear();
        combobox_save->addItems(backups);
        combobox_save->setEditable(false);
    }
    combobox_save->setCurrentIndex(form.backupIndex());
    if (form.backupIndex() < 0 && !backups.isEmpty()) {
        combobox_save->setPlaceholderText(backups.first());
    }
    Label_BD_ZIR->setText(form.labelBdZir());
    Label_Date_BD->setText(form.labelDateBd());
    Label_info_Internet->setText(form.labelInfoInternet());
    Label_info_Internet->setVisible(form.infoInternetVisible());
    m_rendering = false;
}

void StationWindow::applyTexts() {
    applyLanguage(this, Form::Station, m_app.texts());
    render();
}

void StationWindow::FormActivate() {
    guarded([this] {
        const QString prompt = m_app.activateStation();
        if (!prompt.isEmpty()) {
            m_dialogs.message(prompt);
        }
    });
}

void StationWindow::combobox_saveChange(int index) {
    StationForm& form = m_app.stationForm();
    if (form.isChooseFolderItem(index)) {
        // "Choisir un dossier…": a folder of the operator's, kept as a volume is; cancelled, the
        // choice stays as it was.
        const QString folder = m_dialogs.chooseFolder(
            form.backupFolder().isEmpty() ? QDir::homePath() : form.backupFolder());
        form.setBackupFolder(folder);
    } else {
        form.selectBackup(index);
    }
    m_app.session().setBackupVolume(form.backupRoot());
}

void StationWindow::Button_quitClick() {
    const StationOk ok = m_app.stationForm().accept();
    if (!ok.accepted) {
        m_dialogs.message(ok.message);
        return;
    }
    hide();
    Q_EMIT accepted();
}

void StationWindow::BitBtn1Click() {
    bool back = false;
    guarded([this, &back] { back = m_app.cancelStation(); });
    if (back) {
        hide();
        Q_EMIT returned();
    } else {
        Q_EMIT cancelled();
    }
}

namespace {

bool isEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

void StationWindow::keyPressEvent(QKeyEvent* event) {
    // OK is the window's default button: Enter in any field presses it, as in a dialog; on a
    // button it presses that button. (The fields let Enter through once their own rule ran.)
    if (isEnterKey(event)) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        (button != nullptr ? button : Button_quit)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool StationWindow::eventFilter(QObject* watched, QEvent* event) {
    // The lists keep Enter for themselves while they are open; closed, Enter presses OK.
    auto* box = qobject_cast<QComboBox*>(watched);
    if (box != nullptr && isEnterKey(event) && !box->view()->isVisible()) {
        Button_quit->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void StationWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    BitBtn1Click();
}

} // namespace vu
