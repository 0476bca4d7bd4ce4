#pragma once

#include "app/radio.h"
#include "ui/log_grid_view.h"

#include <QMainWindow>

class QAction;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QTimeEdit;
class QTimer;
class QToolButton;

namespace vu {

class BandSelector;
class ContestSession;
class Dialogs;
class FileNamingForm;
class LanguageTexts;
class StationForm;
class LogGridDelegate;
class LogGridModel;

// The labels of the main window that other windows' models set, and the user guide.
struct MainLabels {
    const StationForm& station;
    const FileNamingForm& fileNaming;
};

// The main log window: tool bar, quick-entry panel, log grid and status bar. Each handler calls
// the contest session and renders its state again.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Without a radio (null) the radio's keys and labels stay out of the way.
    MainWindow(ContestSession& session, const LanguageTexts& texts, const MainLabels& labels,
               Dialogs& dialogs, RadioSetup* radio = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Activation: caption, reload and rescore, timer, focus, grid editor.
    void FormActivate();
    // Shows the core's state in the widgets that are not bound to a model.
    void render();
    // Takes the captions and hints of the loaded language.
    void applyTexts();
    // The one-second tick of Timer1.
    void Timer1Timer();
    // The help button: the user guide of the interface language.
    void SpeedButton_helpClick();
    // Sizes the grid's columns to the texts they hold and their titles (a grid whose widths
    // the operator never set).
    void fitColumnsToContents();

    // Tool bar
    QWidget* Panel1;
    QToolButton* SpeedButton_help;
    QToolButton* SpeedButton_taille_plus;
    QToolButton* SpeedButton_Taille_moins;
    QToolButton* SpeedButton_temps_differe;
    QToolButton* SpeedButton_temps_reel;
    QLabel* Label_temps;
    QToolButton* SpeedButton_calculatrice;
    QToolButton* SpeedButton_mail;
    QToolButton* SpeedButton_creation_fichiers;
    QToolButton* SpeedButton_ouvrir;
    QToolButton* SpeedButton_retour_info;
    QToolButton* SpeedButton1;
    QPushButton* BitBtn_quit;
    // Entry panel
    QWidget* Panel3;
    QLabel* Label_date;
    QDateEdit* DateTimePicker_date;
    QLabel* Label3;
    QTimeEdit* DateTimePicker_time;
    QLabel* Label_bande;
    BandSelector* Grille_band;
    QLabel* Label_saisie;
    QLineEdit* Edit_saisie;
    QLineEdit* Edit1;
    QToolButton* SpeedButton_aide_saisie;
    QLabel* Label_prenom;
    QLabel* Panel_dupe;
    QLabel* Label_erreur;
    QLabel* Label_station;
    QLabel* Label_categorie;
    // The radio, shown while it is on: dial frequency, Morse speed, link status
    QLabel* Label_frequence;
    QLabel* Label_vitesse_cw;
    QLabel* Label_radio;
    // Log grid
    LogGridView* Grille_log;
    QMenu* PopupMenu1;
    QAction* Effacercetteligne1;
    QAction* Insrerunelignevide1;
    // Status bar
    QWidget* Panel2;
    QLabel* Label_nomfichier;
    QLabel* Label2;
    QLabel* Label_his_continent;
    QLabel* Label_score;
    QLabel* Label_sauvegarde; // red while the rotating backups fail
    QLabel* Label_listes;     // red while the country table or the roster is missing or empty
    QLabel* Label_signature;
    // Menu
    QMenu* Langues1;
    QAction* Franais1;
    QAction* Anglais1;
    QAction* Espagnol;
    QAction* Italien1;
    QMenu* Fichers1;
    QAction* Ouvrir1;
    QAction* Accesficheinfos1;
    QAction* Radio1;
    QMenu* Logs1;
    QAction* Creation1;
    QAction* CrationADIF1;

    QTimer* Timer1;

Q_SIGNALS:
    // The examples window is asked for.
    void examplesWanted();
    // The window was closed: the program ends.
    void closed();
    // "Quitter" did its work: the program ends.
    void quitDone();
    // A language menu item: the interface language with this index (1 to 4) is wanted.
    void languageChosen(int index);
    // The station window is asked for.
    void stationWanted();
    // The report mailing window is asked for (the mail button found nothing to refuse).
    void reportMailWanted();
    // "Ouvrir" ended (a log opened, or the choice cancelled or refused).
    void logOpened();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolBar();
    void buildEntryPanel();
    void buildGrid();
    void buildStatusBar();
    void buildMenu();
    void nameControls();
    void connectCommands();

    // Runs a handler; an error that escapes it is shown by the standard error display.
    template <typename F>
    void guarded(F&& handler);

    bool Edit_saisieKeyPress(QKeyEvent* event);
    void Edit_saisieChange();
    bool Grille_logKeyPress(QKeyEvent* event);
    void Grille_logSelectCell(int col, int tableRow);
    void showGridEditor();
    void SpeedButton_temps_differeClick();
    void SpeedButton_temps_reelClick();
    void SpeedButton_taille_plusClick();
    void SpeedButton_Taille_moinsClick();
    void SpeedButton_calculatriceClick();
    void Effacercetteligne1Click();
    void Insrerunelignevide1Click();
    // A report is wanted: a correction typed but not validated is validated or dropped, as the
    // operator answers.
    void settleCorrections();
    void syncTimer();
    void Ouvrir1Click();
    void SpeedButton_retour_infoClick();
    void BitBtn_quitClick();
    void SpeedButton_mailClick();
    // The function keys, Esc and Page Up / Page Down while the radio is on; false for any other
    // key, and for every key while the radio is off.
    bool radioKeyPress(const QKeyEvent* event);
    // A new reading or status of the radio: the labels, and the band when the dial moved into
    // another contest band.
    void radioChanged();
    void renderRadio();

    ContestSession& m_session;
    const LanguageTexts& m_texts;
    MainLabels m_labels;
    Dialogs& m_dialogs;
    RadioSetup* m_radio;
    LogGridModel* m_model;
    LogGridDelegate* m_delegate;
    static constexpr int kGridFontSize = 8;
    static constexpr int kRowHeight = 18;
    void setGridFontSize(int size);
    int m_gridFontSize = kGridFontSize;
    int m_rowHeight = kRowHeight;
    bool m_shownRealTime;
    BandFollower m_bandFollower;
    bool m_radioWaits = false; // a reading waits for the running command to end
};

} // namespace vu
