#include "ui/main_window.h"

#include "app/contest_session.h"
#include "platform/errors.h"
#include "setup/file_naming.h"
#include "setup/station_form.h"
#include "ui/band_selector.h"
#include "ui/dialogs.h"
#include "ui/language_binding.h"
#include "ui/log_grid_delegate.h"
#include "ui/log_grid_model.h"
#include "ui/log_grid_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

namespace vu {

namespace {

const QColor kAqua(0, 255, 255);
const QColor kSilver(192, 192, 192);
const QColor kGrey(212, 208, 200);

void setBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QToolButton* toolButton(QWidget* parent, const QString& text, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// "Alt" alone, without Shift or Ctrl.
bool altAlone(const QKeyEvent* event) {
    return (event->modifiers() & (Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier)) ==
           Qt::AltModifier;
}

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

MainWindow::MainWindow(ContestSession& session, const LanguageTexts& texts,
                       const MainLabels& labels, Dialogs& dialogs, RadioSetup* radio,
                       QWidget* parent)
    : QMainWindow(parent), m_session(session), m_texts(texts), m_labels(labels), m_dialogs(dialogs),
      m_radio(radio) {
    setObjectName(QStringLiteral("TForm_main"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    auto* central = new QWidget(this);
    setBackground(central, kAqua);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    buildToolBar();
    buildEntryPanel();
    buildGrid();
    buildStatusBar();
    buildMenu();
    layout->addWidget(Panel1);
    layout->addWidget(Panel3);
    layout->addWidget(Grille_log, 1);
    layout->addWidget(Panel2);

    nameControls();
    applyTexts();

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    m_shownRealTime = m_session.clock().isRealTime();
    m_session.clock().setOnChange([this] { syncTimer(); });
    connect(SpeedButton_help, &QToolButton::clicked, this, [this] { SpeedButton_helpClick(); });
    connectCommands();
    if (m_radio != nullptr) {
        // The radio's worker thread reports; its news is taken on this window's thread.
        connect(
            &m_radio->link(), &Radio::changed, this, [this] { radioChanged(); },
            Qt::QueuedConnection);
    }

    resize(950, 600);
    render();
    syncTimer();
}

MainWindow::~MainWindow() {
    m_session.clock().setOnChange({});
}

#define VU_NAME(control) control->setObjectName(QStringLiteral(#control))

void MainWindow::nameControls() {
    VU_NAME(Panel1);
    VU_NAME(SpeedButton_help);
    VU_NAME(SpeedButton_taille_plus);
    VU_NAME(SpeedButton_Taille_moins);
    VU_NAME(SpeedButton_temps_differe);
    VU_NAME(SpeedButton_temps_reel);
    VU_NAME(Label_temps);
    VU_NAME(SpeedButton_calculatrice);
    VU_NAME(SpeedButton_mail);
    VU_NAME(SpeedButton_creation_fichiers);
    VU_NAME(SpeedButton_ouvrir);
    VU_NAME(SpeedButton_retour_info);
    VU_NAME(SpeedButton1);
    VU_NAME(BitBtn_quit);
    VU_NAME(Panel3);
    VU_NAME(Label_date);
    VU_NAME(DateTimePicker_date);
    VU_NAME(Label3);
    VU_NAME(DateTimePicker_time);
    VU_NAME(Label_bande);
    VU_NAME(Grille_band);
    VU_NAME(Label_saisie);
    VU_NAME(Edit_saisie);
    VU_NAME(Edit1);
    VU_NAME(SpeedButton_aide_saisie);
    VU_NAME(Label_prenom);
    VU_NAME(Panel_dupe);
    VU_NAME(Label_erreur);
    VU_NAME(Label_station);
    VU_NAME(Label_categorie);
    VU_NAME(Label_frequence);
    VU_NAME(Label_vitesse_cw);
    VU_NAME(Label_radio);
    VU_NAME(Grille_log);
    VU_NAME(PopupMenu1);
    VU_NAME(Effacercetteligne1);
    VU_NAME(Insrerunelignevide1);
    VU_NAME(Panel2);
    VU_NAME(Label_nomfichier);
    VU_NAME(Label2);
    VU_NAME(Label_his_continent);
    VU_NAME(Label_score);
    VU_NAME(Label_sauvegarde);
    VU_NAME(Label_signature);
    VU_NAME(Langues1);
    VU_NAME(Franais1);
    VU_NAME(Anglais1);
    VU_NAME(Espagnol);
    VU_NAME(Italien1);
    VU_NAME(Fichers1);
    VU_NAME(Ouvrir1);
    VU_NAME(Accesficheinfos1);
    VU_NAME(Radio1);
    VU_NAME(Logs1);
    VU_NAME(Creation1);
    VU_NAME(CrationADIF1);
}

#undef VU_NAME

void MainWindow::applyTexts() {
    applyLanguage(this, Form::Main, m_texts);
    // The pop-up menu is a window of its own.
    if (m_texts.isLoaded()) {
        Effacercetteligne1->setText(m_texts.caption(Form::Main, u"Effacercetteligne1"));
    }
    renderRadio();
}

void MainWindow::buildToolBar() {
    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(40);
    setBackground(Panel1, kGrey);
    SpeedButton_help = toolButton(Panel1, QStringLiteral("?"), QString());
    SpeedButton_taille_plus = toolButton(Panel1, QStringLiteral("A+"), QString());
    SpeedButton_Taille_moins = toolButton(Panel1, QStringLiteral("A-"), QString());
    auto* panel4 = new QWidget(Panel1);
    SpeedButton_temps_differe = toolButton(panel4, QStringLiteral("◀"), QString());
    SpeedButton_temps_reel = toolButton(panel4, QStringLiteral("▶"), QString());
    Label_temps = new QLabel(panel4);
    auto* panel4Layout = new QHBoxLayout(panel4);
    panel4Layout->setContentsMargins(2, 0, 2, 0);
    panel4Layout->addWidget(SpeedButton_temps_differe);
    panel4Layout->addWidget(SpeedButton_temps_reel);
    panel4Layout->addWidget(Label_temps);
    auto* panel5 = new QWidget(Panel1);
    SpeedButton_calculatrice =
        toolButton(panel5, QStringLiteral("Σ"), QStringLiteral("Recalcul complet"));
    SpeedButton_mail = toolButton(panel5, QStringLiteral("CR"),
                                  QStringLiteral("Envoi du compte rendu au correcteur"));
    SpeedButton_creation_fichiers = toolButton(panel5, QStringLiteral("CBR"),
                                               QStringLiteral("Création du fichier CR CABRILLO"));
    auto* panel5Layout = new QHBoxLayout(panel5);
    panel5Layout->setContentsMargins(2, 0, 2, 0);
    panel5Layout->addWidget(SpeedButton_calculatrice);
    panel5Layout->addWidget(SpeedButton_mail);
    panel5Layout->addWidget(SpeedButton_creation_fichiers);
    auto* panel6 = new QWidget(Panel1);
    SpeedButton_ouvrir = toolButton(panel6, QString(), QString());
    SpeedButton_ouvrir->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    SpeedButton_retour_info = toolButton(panel6, QString(), QString());
    SpeedButton_retour_info->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    SpeedButton1 = toolButton(panel6, QString(), QStringLiteral("Retour page infos"));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_FileDialogBack));
    auto* panel6Layout = new QHBoxLayout(panel6);
    panel6Layout->setContentsMargins(2, 0, 2, 0);
    panel6Layout->addWidget(SpeedButton_ouvrir);
    panel6Layout->addWidget(SpeedButton_retour_info);
    panel6Layout->addWidget(SpeedButton1);
    BitBtn_quit = new QPushButton(QStringLiteral("Quitter"), Panel1);
    BitBtn_quit->setFocusPolicy(Qt::NoFocus);

    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(SpeedButton_help);
    bar->addWidget(SpeedButton_taille_plus);
    bar->addWidget(SpeedButton_Taille_moins);
    bar->addWidget(panel4);
    bar->addWidget(panel5);
    bar->addWidget(panel6);
    bar->addStretch();
    bar->addWidget(BitBtn_quit);

    connect(SpeedButton_temps_differe, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton_temps_differeClick(); }); });
    connect(SpeedButton_temps_reel, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton_temps_reelClick(); }); });
    connect(SpeedButton_taille_plus, &QToolButton::clicked, this,
            [this] { SpeedButton_taille_plusClick(); });
    connect(SpeedButton_Taille_moins, &QToolButton::clicked, this,
            [this] { SpeedButton_Taille_moinsClick(); });
    connect(SpeedButton_calculatrice, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton_calculatriceClick(); }); });
}

void MainWindow::buildEntryPanel() {
    Panel3 = new QWidget(this);
    Panel3->setFixedHeight(88);
    setBackground(Panel3, kSilver);

    Label_date = new QLabel(QStringLiteral("DATE"), Panel3);
    DateTimePicker_date = new QDateEdit(Panel3);
    DateTimePicker_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    Label3 = new QLabel(QStringLiteral("QTR"), Panel3);
    DateTimePicker_time = new QTimeEdit(Panel3);
    DateTimePicker_time->setDisplayFormat(QStringLiteral("HH:mm"));
    Label_bande = new QLabel(QStringLiteral("Bande"), Panel3);
    Grille_band = new BandSelector(Panel3);
    Label_saisie = new QLabel(QStringLiteral("Saisie"), Panel3);
    Edit_saisie = new QLineEdit(Panel3);
    Edit_saisie->setObjectName(QStringLiteral("Edit_saisie"));
    Edit_saisie->setToolTip(QStringLiteral("Saise du QSO"));
    Edit_saisie->setMinimumWidth(220);
    QPalette entryPalette = Edit_saisie->palette();
    entryPalette.setColor(QPalette::Base, kAqua);
    Edit_saisie->setPalette(entryPalette);
    Edit1 = new QLineEdit(QStringLiteral("<-Call espace 'O' pour QRO"), Panel3);
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(Edit1->text()) + 16);
    SpeedButton_aide_saisie = toolButton(Panel3, QStringLiteral("?"), QString());
    Label_prenom = new QLabel(Panel3);
    setTextColour(Label_prenom, Qt::blue);
    Panel_dupe = new QLabel(QStringLiteral(" DUPE"), Panel3);
    Panel_dupe->setAutoFillBackground(true);
    QPalette dupePalette = Panel_dupe->palette();
    dupePalette.setColor(QPalette::Window, Qt::red);
    dupePalette.setColor(QPalette::WindowText, Qt::white);
    Panel_dupe->setPalette(dupePalette);
    Panel_dupe->hide();
    Label_erreur = new QLabel(Panel3);
    setTextColour(Label_erreur, Qt::red);
    Label_station = new QLabel(Panel3);
    setTextColour(Label_station, Qt::blue);
    Label_categorie = new QLabel(QStringLiteral("QRP"), Panel3);
    setTextColour(Label_categorie, Qt::blue);
    Label_frequence = new QLabel(Panel3);
    Label_vitesse_cw = new QLabel(Panel3);
    setTextColour(Label_vitesse_cw, Qt::blue);
    Label_radio = new QLabel(Panel3);
    setTextColour(Label_radio, Qt::red);

    auto* top = new QHBoxLayout;
    top->addWidget(Label_date);
    top->addWidget(DateTimePicker_date);
    top->addWidget(Label3);
    top->addWidget(DateTimePicker_time);
    top->addWidget(Label_bande);
    top->addWidget(Grille_band);
    top->addSpacing(12);
    top->addWidget(Label_frequence);
    top->addWidget(Label_vitesse_cw);
    top->addWidget(Label_radio);
    top->addStretch();
    top->addWidget(Label_station);
    top->addWidget(Label_categorie);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label_saisie);
    bottom->addWidget(Edit_saisie);
    bottom->addWidget(Edit1);
    bottom->addWidget(SpeedButton_aide_saisie);
    bottom->addWidget(Panel_dupe);
    bottom->addWidget(Label_prenom, 1);
    bottom->addWidget(Label_erreur);
    auto* panelLayout = new QVBoxLayout(Panel3);
    panelLayout->setContentsMargins(6, 4, 6, 4);
    panelLayout->addLayout(top);
    panelLayout->addLayout(bottom);

    Edit_saisie->installEventFilter(this);
    for (QWidget* picker :
         {static_cast<QWidget*>(DateTimePicker_date), static_cast<QWidget*>(DateTimePicker_time)}) {
        picker->findChild<QLineEdit*>()->installEventFilter(this);
    }
    connect(Edit_saisie, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = Edit_saisie->cursorPosition();
            Edit_saisie->setText(upper);
            Edit_saisie->setCursorPosition(cursor);
        }
    });
    connect(Edit_saisie, &QLineEdit::textChanged, this,
            [this] { guarded([this] { Edit_saisieChange(); }); });
    connect(Grille_band, &BandSelector::bandClicked, this, [this](int column) {
        m_session.lines().selectBand(column);
        render();
    });
    connect(Grille_band, &BandSelector::released, this, [this] {
        Edit_saisie->setFocus();
        showGridEditor();
    });
    connect(SpeedButton_aide_saisie, &QToolButton::clicked, this, &MainWindow::examplesWanted);
    connect(DateTimePicker_date, &QDateEdit::dateChanged, this,
            [this](QDate date) { m_session.clock().setPickerDate(date); });
    connect(DateTimePicker_time, &QTimeEdit::timeChanged, this,
            [this](QTime time) { m_session.clock().setPickerTime(time); });
}

void MainWindow::buildGrid() {
    Grille_log = new LogGridView(this);
    Grille_log->setObjectName(QStringLiteral("Grille_log"));
    m_model = new LogGridModel(m_session.table(), this);
    Grille_log->setModel(m_model);
    m_delegate = new LogGridDelegate(Grille_log);
    m_delegate->setKeyHandler([this](QKeyEvent* event) { return Grille_logKeyPress(event); });
    Grille_log->setItemDelegate(m_delegate);
    Grille_log->verticalHeader()->hide();
    Grille_log->verticalHeader()->setDefaultSectionSize(m_rowHeight);
    Grille_log->horizontalHeader()->setDefaultSectionSize(80);
    Grille_log->setSelectionMode(QAbstractItemView::SingleSelection);
    Grille_log->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed);
    QFont gridFont = Grille_log->font();
    gridFont.setPointSize(m_gridFontSize);
    gridFont.setBold(true);
    Grille_log->setFont(gridFont);
    QPalette palette = Grille_log->palette();
    palette.setColor(QPalette::Base, QColor(255, 251, 240));
    Grille_log->setPalette(palette);
    Grille_log->installEventFilter(this);
    Grille_log->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    Effacercetteligne1 = PopupMenu1->addAction(QStringLiteral("Effacer cette ligne"));
    PopupMenu1->addSeparator();
    Insrerunelignevide1 = PopupMenu1->addAction(QStringLiteral("Insérer une ligne vide"));
    connect(Grille_log, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(Grille_log->viewport()->mapToGlobal(at));
    });
    connect(Effacercetteligne1, &QAction::triggered, this,
            [this] { guarded([this] { Effacercetteligne1Click(); }); });
    connect(Insrerunelignevide1, &QAction::triggered, this,
            [this] { guarded([this] { Insrerunelignevide1Click(); }); });

    connect(m_model, &LogGridModel::currentCellMoved, this, [this](int col, int tableRow) {
        const QModelIndex index = m_model->indexOf(col, tableRow);
        if (index.isValid() && index != Grille_log->currentIndex()) {
            Grille_log->setCurrentIndex(index);
            Grille_log->scrollTo(index);
        }
    });
    connect(m_model, &LogGridModel::editorWanted, this,
            [this] { QTimer::singleShot(0, this, [this] { showGridEditor(); }); });
    connect(Grille_log->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    Grille_logSelectCell(current.column(), LogGridModel::tableRow(current));
                }
            });
}

void MainWindow::buildStatusBar() {
    Panel2 = new QWidget(this);
    Panel2->setFixedHeight(41);
    setBackground(Panel2, kSilver);
    Label_nomfichier = new QLabel(Panel2);
    setTextColour(Label_nomfichier, Qt::blue);
    Label2 = new QLabel(QStringLiteral("Continent = "), Panel2);
    Label_his_continent = new QLabel(Panel2);
    setTextColour(Label_his_continent, Qt::red);
    Label_score = new QLabel(QStringLiteral("Score = "), Panel2);
    setTextColour(Label_score, Qt::blue);
    Label_sauvegarde = new QLabel(Panel2);
    setTextColour(Label_sauvegarde, Qt::red);
    Label_sauvegarde->hide();
    Label_listes = new QLabel(Panel2);
    Label_listes->setObjectName(QStringLiteral("Label_listes"));
    setTextColour(Label_listes, Qt::red);
    Label_listes->hide();
    Label_signature = new QLabel(QStringLiteral("D4ERI"), Panel2);
    auto* bar = new QHBoxLayout(Panel2);
    bar->setContentsMargins(6, 2, 6, 2);
    bar->addWidget(Label_nomfichier);
    bar->addSpacing(30);
    bar->addWidget(Label2);
    bar->addWidget(Label_his_continent);
    bar->addSpacing(30);
    bar->addWidget(Label_score);
    bar->addSpacing(30);
    bar->addWidget(Label_sauvegarde);
    bar->addWidget(Label_listes);
    bar->addStretch();
    bar->addWidget(Label_signature);
}

void MainWindow::buildMenu() {
    Langues1 = menuBar()->addMenu(QStringLiteral("Langues"));
    Franais1 = Langues1->addAction(QStringLiteral("Français"));
    Anglais1 = Langues1->addAction(QStringLiteral("Anglais"));
    Espagnol = Langues1->addAction(QStringLiteral("Espagnol"));
    Italien1 = Langues1->addAction(QStringLiteral("Italien"));
    Fichers1 = menuBar()->addMenu(QStringLiteral("Fichiers"));
    Ouvrir1 = Fichers1->addAction(QStringLiteral("Ouvrir"));
    Fichers1->addSeparator();
    Accesficheinfos1 = Fichers1->addAction(QStringLiteral("Acces fiche infos"));
    Fichers1->addSeparator();
    Radio1 = Fichers1->addAction(QStringLiteral("Radio"));
    Logs1 = menuBar()->addMenu(QStringLiteral("Logs"));
    Creation1 = Logs1->addAction(QStringLiteral("Creation Cabrillo"));
    Logs1->addSeparator();
    CrationADIF1 = Logs1->addAction(QStringLiteral("Création ADIF"));
}

template <typename F>
void MainWindow::guarded(F&& handler) {
    runHandler(m_dialogs, std::forward<F>(handler), [this] { render(); });
}

void MainWindow::FormActivate() {
    guarded([this] {
        setWindowTitle(m_session.mainCaption());
        m_session.loadLog();
    });
    Edit_saisie->setFocus();
    // The reload took the band of the log's last line; with the radio on, the dial's band holds.
    m_bandFollower.reset();
    radioChanged();
}

void MainWindow::render() {
    const EntryPanel& panel = m_session.entryPanel();
    if (Edit_saisie->text() != panel.entryText()) {
        const QSignalBlocker block(Edit_saisie);
        Edit_saisie->setText(panel.entryText());
    }
    Label_prenom->setText(panel.memberLabel());
    Label_erreur->setText(panel.errorLabel());
    Panel_dupe->setVisible(panel.dupeVisible());
    Label_score->setText(m_session.scoreLabel());
    Label_his_continent->setText(m_session.hisContinent());
    Label_station->setText(m_labels.station.mainStationLabel());
    Label_categorie->setText(m_labels.station.mainCategoryLabel());
    Label_nomfichier->setText(m_labels.fileNaming.mainFileLabel());
    Label_sauvegarde->setText(m_texts.message(MessageText::BackupFailed));
    Label_sauvegarde->setVisible(m_session.backups().failing());
    // Scores made without the country table or the roster are wrong: said while it lasts.
    const QString missing = m_session.referenceWarnings().join(QStringLiteral(" - "));
    Label_listes->setText(missing);
    Label_listes->setVisible(!missing.isEmpty());
    Grille_band->setSelected(m_session.lines().bandIndex());
    syncTimer();
}

void MainWindow::syncTimer() {
    const ContestClock& clock = m_session.clock();
    if (clock.tickEnabled() != Timer1->isActive()) {
        clock.tickEnabled() ? Timer1->start() : Timer1->stop();
    }
    {
        const QSignalBlocker dateBlock(DateTimePicker_date);
        const QSignalBlocker timeBlock(DateTimePicker_time);
        // Set only when it differs: setting a picker puts its text and cursor back, which would
        // undo the section the operator is typing into.
        if (DateTimePicker_date->date() != clock.pickerDate()) {
            DateTimePicker_date->setDate(clock.pickerDate());
        }
        if (DateTimePicker_time->time() != clock.pickerTime()) {
            DateTimePicker_time->setTime(clock.pickerTime());
        }
    }
    DateTimePicker_date->setEnabled(!clock.isRealTime());
    DateTimePicker_time->setEnabled(!clock.isRealTime());
    if (clock.isRealTime() != m_shownRealTime) {
        // Whoever switched the mode (the mode buttons, the file naming window's OK), the label
        // names the mode the clock is in.
        m_shownRealTime = clock.isRealTime();
        Label_temps->setText(
            m_texts.message(m_shownRealTime ? MessageText::TpsReel : MessageText::TpsDiffere));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the main window by any means ends the program at once, without the work of
    // "Quitter".
    event->accept();
    Q_EMIT closed();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        // One click selects the part of the date or time under the mouse, so the digits typed
        // replace it (the editors' own click only places the cursor). The click lands on the
        // editor's line.
        for (QDateTimeEdit* picker : {static_cast<QDateTimeEdit*>(DateTimePicker_date),
                                      static_cast<QDateTimeEdit*>(DateTimePicker_time)}) {
            if (watched == picker || watched->parent() == picker) {
                QTimer::singleShot(
                    0, picker, [picker] { picker->setSelectedSection(picker->currentSection()); });
            }
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == Edit_saisie) {
        return Edit_saisieKeyPress(key);
    }
    if (watched == Grille_log) {
        return Grille_logKeyPress(key);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::Edit_saisieKeyPress(QKeyEvent* event) {
    if (radioKeyPress(event)) {
        return true;
    }
    EntryPanel& panel = m_session.entryPanel();
    if (isEnter(event)) {
        guarded([&] {
            if (panel.pressEnter() == EntryPanel::EnterOutcome::Refused) {
                // Code 22 selects token 2; any other refusal leaves no selection behind.
                if (panel.selectionLength() > 0) {
                    Edit_saisie->setSelection(panel.selectionStart(), panel.selectionLength());
                } else {
                    Edit_saisie->deselect();
                }
            }
        });
        Edit_saisie->setFocus();
        return true;
    }
    if (altAlone(event)) {
        switch (event->key()) {
        case Qt::Key_W:
            panel.clearEntry();
            render();
            return true;
        case Qt::Key_F1:
            panel.bandLeft();
            render();
            return true;
        case Qt::Key_F2:
            panel.bandRight();
            render();
            return true;
        default:
            return false;
        }
    }
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        panel.arrow(event->key() == Qt::Key_Up ? +1 : -1);
        render();
        return true;
    }
    return false;
}

bool MainWindow::radioKeyPress(const QKeyEvent* event) {
    const auto modifiers =
        Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier;
    if (m_radio == nullptr || !m_radio->link().enabled() || (event->modifiers() & modifiers) != 0) {
        return false;
    }
    Radio& radio = m_radio->link();
    const int key = event->key();
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + RadioSettings::kMessages) {
        const QString& message = m_radio->settings().messages.at(key - Qt::Key_F1);
        radio.send(expandMessage(message, m_radio->messageValues(Edit_saisie->text())));
        return true;
    }
    switch (key) {
    case Qt::Key_Escape:
        radio.stopSending();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        RadioSettings settings = m_radio->settings();
        settings.wpm = settings.stepWpm(key == Qt::Key_PageUp ? +1 : -1);
        guarded([&] { m_radio->apply(settings); });
        renderRadio();
        return true;
    }
    default:
        return false;
    }
}

void MainWindow::radioChanged() {
    renderRadio();
    if (m_radio == nullptr) {
        return;
    }
    const Radio::Status status = m_radio->link().status();
    if (status.link != Radio::Link::Connected) {
        m_bandFollower.reset(); // once found again, the dial's band is taken
        return;
    }
    if (!status.hz) {
        return;
    }
    if (m_dialogs.busy()) {
        // Never inside a command or under a box: the band is taken once it has ended.
        if (!m_radioWaits) {
            m_radioWaits = true;
            m_dialogs.whenIdle([window = QPointer<MainWindow>(this)] {
                if (window) {
                    window->m_radioWaits = false;
                    window->radioChanged();
                }
            });
        }
        return;
    }
    const std::optional<int> column = m_bandFollower.follow(bandOfFrequency(*status.hz));
    // As a click on the band selector does.
    if (column && *column != m_session.lines().bandIndex()) {
        guarded([&] { m_session.lines().selectBand(*column); });
        render();
    }
}

void MainWindow::renderRadio() {
    const bool on = m_radio != nullptr && m_radio->link().enabled();
    Label_frequence->setVisible(on);
    Label_vitesse_cw->setVisible(on);
    Label_radio->setVisible(on);
    if (!on) {
        return;
    }
    const Radio::Status status = m_radio->link().status();
    const bool connected = status.link == Radio::Link::Connected;
    if (connected && status.hz) {
        Label_frequence->setText(QString::number(*status.hz / 1000.0, 'f', 1) +
                                 QStringLiteral(" kHz"));
        setTextColour(Label_frequence, bandOfFrequency(*status.hz) ? Qt::blue : Qt::red);
    } else {
        Label_frequence->clear();
    }
    Label_vitesse_cw->setText(QStringLiteral("%1 wpm").arg(m_radio->settings().wpm));
    switch (status.link) {
    case Radio::Link::Connecting:
        Label_radio->setText(m_texts.message(MessageText::RadioConnecting));
        break;
    case Radio::Link::Lost:
        Label_radio->setText(m_texts.message(MessageText::RadioLost));
        Label_radio->setToolTip(status.error);
        break;
    default:
        Label_radio->clear();
        Label_radio->setToolTip({});
        break;
    }
}

void MainWindow::Edit_saisieChange() {
    // The field's text as it is now: a change signal can arrive after the text was turned into
    // capitals.
    const QString text = Edit_saisie->text();
    if (text != m_session.entryPanel().entryText()) {
        m_session.entryPanel().setEntryText(text);
    }
}

bool MainWindow::Grille_logKeyPress(QKeyEvent* event) {
    GridEditing& editing = m_session.gridEditing();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        guarded([&] { editing.space(); });
        return true;
    }
    if (isEnter(event)) {
        bool stored = false;
        guarded([&] { stored = editing.enter(); });
        if (stored) {
            // The next call typed goes to the entry line, not over the next logged line; the
            // grid's editor opens without the keyboard.
            Edit_saisie->setFocus();
        }
        return true;
    }
    if (altAlone(event) && event->key() == Qt::Key_W) {
        guarded([this] { Effacercetteligne1Click(); });
        return true;
    }
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const bool consumed = editing.arrow(event->key() == Qt::Key_Up ? +1 : -1);
        render();
        return consumed;
    }
    const QString text = event->text();
    if (text.size() == 1 && editing.categoryKey(text[0])) {
        render();
        return true;
    }
    return false;
}

void MainWindow::Grille_logSelectCell(int col, int tableRow) {
    // The message is for a time cell the operator chose (a click, an arrow key), never for one
    // the program made current (a reload, a renumbering). It shows once his input is handled.
    if (m_session.gridEditing().cellEntered(col, tableRow) && Grille_log->operatorMoving()) {
        QTimer::singleShot(0, this, [this] {
            guarded([this] { m_dialogs.message(GridEditing::timeColumnMessage()); });
        });
    }
}

void MainWindow::showGridEditor() {
    const QModelIndex index = Grille_log->currentIndex();
    if (!index.isValid() || !(m_model->flags(index) & Qt::ItemIsEditable)) {
        return;
    }
    QWidget* focus = focusWidget(); // also known while another window has the keyboard
    QWidget* open = m_delegate->openEditor();
    const bool openHere =
        open != nullptr && Grille_log->indexAt(open->geometry().center()) == index;
    if (open != nullptr && !openHere) {
        m_delegate->closeOpenEditor(); // an editor left open on another cell
    }
    if (!openHere) {
        Grille_log->edit(index);
    }
    if (focus != nullptr && focus != Grille_log && !Grille_log->isAncestorOf(focus)) {
        focus->setFocus(); // the editor opens, the keyboard stays where it was
    }
}

void MainWindow::Timer1Timer() {
    if (m_dialogs.busy()) {
        return; // never inside a command; a later tick does the work
    }
    Timer1->stop();
    guarded([this] {
        const QString error = m_session.tick();
        if (!error.isEmpty()) {
            m_dialogs.error(error);
        }
    });
    syncTimer();
}

void MainWindow::SpeedButton_helpClick() {
    const QString path = m_labels.station.helpFilePath();
    // Opened by the desktop's viewer for its type; with none there the operator learns where the
    // guide lies.
    auto* opener = new QProcess(this);
    const QString noViewer =
        m_texts.message(MessageText::NoHelpViewer) + QStringLiteral("\n") + path;
    const auto fail = [this, opener, noViewer] {
        opener->deleteLater();
        guarded([&] { m_dialogs.message(noViewer, Dialogs::Icon::Warning); });
    };
    connect(opener, &QProcess::errorOccurred, this, [opener, fail](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            fail();
        }
    });
    connect(opener, &QProcess::finished, this, [opener, fail](int code, QProcess::ExitStatus) {
        if (code != 0) {
            fail();
        } else {
            opener->deleteLater();
        }
    });
    opener->start(QStringLiteral("xdg-open"), {QUrl::fromLocalFile(path).toString()});
}

void MainWindow::SpeedButton_temps_differeClick() {
    m_session.clock().setDeferredTime();
    render();
    m_dialogs.message(m_texts.message(MessageText::Qtr));
    Edit_saisie->setFocus(); // the buttons take no focus: the keyboard goes back to the entry
}

void MainWindow::SpeedButton_temps_reelClick() {
    m_session.clock().setRealTime();
    Label_temps->setText(m_texts.message(MessageText::TpsReel));
    render();
    Edit_saisie->setFocus();
}

void MainWindow::SpeedButton_taille_plusClick() {
    setGridFontSize(m_gridFontSize + 1);
}

void MainWindow::SpeedButton_Taille_moinsClick() {
    setGridFontSize(kGridFontSize);
}

void MainWindow::setGridFontSize(int size) {
    // Columns and rows grow and shrink with the font, so no date or name is cut.
    const double ratio = double(size) / m_gridFontSize;
    m_gridFontSize = size;
    QFont gridFont = Grille_log->font();
    gridFont.setPointSize(m_gridFontSize);
    Grille_log->setFont(gridFont);
    // One pixel a step as designed, more when the font needs it.
    m_rowHeight =
        std::max(kRowHeight + (size - kGridFontSize), QFontMetrics(gridFont).height() + 4);
    Grille_log->verticalHeader()->setDefaultSectionSize(m_rowHeight);
    QHeaderView* header = Grille_log->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        header->resizeSection(c, static_cast<int>(std::lround(header->sectionSize(c) * ratio)));
    }
    // The entry row stays in view.
    Grille_log->scrollTo(
        m_model->indexOf(static_cast<int>(Col::Call), m_session.table().entryRow()));
}

void MainWindow::fitColumnsToContents() {
    // The widest text each column usually holds, and its title.
    static const char* const kSamples[] = {"9999",
                                           "80",
                                           "28/12/2026",
                                           "23:59",
                                           "DL/D4ERI/P",
                                           "599",
                                           "599",
                                           "1234",
                                           "QRP",
                                           "Jean-Pierre",
                                           "10",
                                           "- - - M -",
                                           "DUPE = F1ISA->12:00"};
    const QFontMetrics metrics(Grille_log->font());
    const QFontMetrics titles(Grille_log->horizontalHeader()->font());
    QHeaderView* header = Grille_log->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        const QString sample =
            c < int(std::size(kSamples)) ? QString::fromLatin1(kSamples[c]) : QString();
        const QString title = m_session.table().cell(c, 0).trimmed();
        header->resizeSection(
            c, std::max(metrics.horizontalAdvance(sample), titles.horizontalAdvance(title)) + 10);
    }
}

void MainWindow::SpeedButton_calculatriceClick() {
    m_session.lines().rescoreAll();
}

void MainWindow::Effacercetteligne1Click() {
    GridEditing& editing = m_session.gridEditing();
    if (m_dialogs.ask(editing.deleteQuestion(), Dialogs::Icon::Information)) {
        editing.deleteLine(m_session.clock().localNow());
    }
}

void MainWindow::Insrerunelignevide1Click() {
    GridEditing& editing = m_session.gridEditing();
    if (m_dialogs.ask(editing.insertQuestion(), Dialogs::Icon::Question)) {
        editing.insertBlankLine(m_session.clock().localNow());
    }
}

void MainWindow::settleCorrections() {
    if (m_session.hasPendingCorrections()) {
        m_session.settleCorrections(
            m_dialogs.ask(ContestSession::pendingCorrectionQuestion(), Dialogs::Icon::Question));
    }
}

void MainWindow::connectCommands() {
    const QAction* languages[] = {Franais1, Anglais1, Espagnol, Italien1};
    for (int i = 0; i < 4; ++i) {
        connect(languages[i], &QAction::triggered, this,
                [this, i] { Q_EMIT languageChosen(i + 1); });
    }
    connect(SpeedButton_ouvrir, &QToolButton::clicked, this, [this] { Ouvrir1Click(); });
    connect(Ouvrir1, &QAction::triggered, this, [this] { Ouvrir1Click(); });
    connect(SpeedButton_retour_info, &QToolButton::clicked, this,
            [this] { SpeedButton_retour_infoClick(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        hide();
        Q_EMIT stationWanted();
    });
    connect(Accesficheinfos1, &QAction::triggered, this, &MainWindow::stationWanted);
    connect(BitBtn_quit, &QPushButton::clicked, this, [this] { BitBtn_quitClick(); });
    // The reports are written from the log as the contest file holds it.
    const auto reports = [this] {
        guarded([this] {
            settleCorrections();
            m_dialogs.message(m_session.writeReports());
            // What the committee's robot would refuse or query in the Cabrillo file just written.
            if (const CabrilloCheck& check = m_session.reportCheck(); !check.empty()) {
                m_dialogs.message(check.lines().join(u'\n'), check.hasErrors()
                                                                 ? Dialogs::Icon::Warning
                                                                 : Dialogs::Icon::Information);
            }
        });
    };
    connect(Creation1, &QAction::triggered, this, reports);
    connect(SpeedButton_creation_fichiers, &QToolButton::clicked, this, reports);
    connect(CrationADIF1, &QAction::triggered, this, [this] {
        guarded([this] {
            settleCorrections();
            m_session.writeAdif();
        });
    });
    connect(SpeedButton_mail, &QToolButton::clicked, this, [this] { SpeedButton_mailClick(); });

    // Every button by keyboard: Alt and a letter, as the guide's key table lists them (Alt+W,
    // Alt+F1 and Alt+F2 keep their meaning).
    const std::pair<QKeySequence, QAbstractButton*> keys[] = {
        {QKeySequence(Qt::ALT | Qt::Key_Q), BitBtn_quit},
        {QKeySequence(Qt::ALT | Qt::Key_H), SpeedButton_help},
        {QKeySequence(Qt::ALT | Qt::Key_Plus), SpeedButton_taille_plus},
        {QKeySequence(Qt::ALT | Qt::Key_Equal), SpeedButton_taille_plus},
        {QKeySequence(Qt::ALT | Qt::Key_Minus), SpeedButton_Taille_moins},
        {QKeySequence(Qt::ALT | Qt::Key_D), SpeedButton_temps_differe},
        {QKeySequence(Qt::ALT | Qt::Key_T), SpeedButton_temps_reel},
        {QKeySequence(Qt::ALT | Qt::Key_R), SpeedButton_calculatrice},
        {QKeySequence(Qt::ALT | Qt::Key_M), SpeedButton_mail},
        {QKeySequence(Qt::ALT | Qt::Key_C), SpeedButton_creation_fichiers},
        {QKeySequence(Qt::ALT | Qt::Key_O), SpeedButton_ouvrir},
        {QKeySequence(Qt::ALT | Qt::Key_N), SpeedButton_retour_info},
        {QKeySequence(Qt::ALT | Qt::Key_I), SpeedButton1},
        {QKeySequence(Qt::ALT | Qt::Key_E), SpeedButton_aide_saisie},
    };
    for (const auto& [key, button] : keys) {
        connect(new QShortcut(key, this), &QShortcut::activated, button, &QAbstractButton::click);
    }
}

void MainWindow::Ouvrir1Click() {
    guarded([this] {
        const QString path = m_dialogs.openFile(m_session.filesFolder(),
                                                QStringLiteral("Fichier QEP (*.QRP)"), true);
        if (!path.isEmpty()) {
            m_session.openLog(path);
        }
    });
    Q_EMIT logOpened();
    Edit_saisie->setFocus();
}

void MainWindow::SpeedButton_retour_infoClick() {
    guarded([this] {
        m_session.clock().setTickEnabled(false);
        if (m_session.hasLogLines() && m_dialogs.ask(QStringLiteral("Effacer les QSO actuels ?"),
                                                     Dialogs::Icon::Information)) {
            m_session.clearLog();
        }
    });
    Q_EMIT stationWanted();
    m_session.clock().setTickEnabled(true);
    render();
}

void MainWindow::BitBtn_quitClick() {
    bool quit = false;
    guarded([this, &quit] {
        m_session.quit(); // on an error the program keeps running
        quit = true;
    });
    if (quit) {
        Q_EMIT quitDone();
    }
}

void MainWindow::SpeedButton_mailClick() {
    m_session.clock().setTickEnabled(false);
    const QString refusal = m_session.mailButtonRefusal();
    if (refusal.isEmpty()) {
        guarded([this] { settleCorrections(); });
        Q_EMIT reportMailWanted();
    } else {
        guarded([this, &refusal] { m_dialogs.message(refusal); });
    }
    m_session.clock().setTickEnabled(true);
}

} // namespace vu
