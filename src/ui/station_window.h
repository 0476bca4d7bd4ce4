#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vu {

class Application;
class Dialogs;

// The station window: who operates, what is on the air, the address, the e-mail and the backup
// volume. The program's first window; closing it ends the program.
class StationWindow : public QWidget {
    Q_OBJECT
public:
    StationWindow(Application& app, Dialogs& dialogs, QWidget* parent = nullptr);
    ~StationWindow() override;

    // Shows the form model's texts in the controls.
    void render();
    // Takes the captions of the loaded language.
    void applyTexts();
    // Activation: the prompt for a missing callsign, the category.
    void FormActivate();

    QLineEdit* Edit_op;
    QLineEdit* Edit_NZRB;
    QLineEdit* Edit_station;
    QComboBox* ComboBox_DXCC;
    QCheckBox* CheckBox_QRP;
    QPushButton* Button_quit;
    QLineEdit* Edit_nom;
    QLineEdit* Edit_AD1;
    QLineEdit* Edit_CITY;
    QLineEdit* Edit_ZIPCODE;
    QComboBox* combobox_save;
    QPushButton* BitBtn1;
    QLineEdit* Edit_email;
    QLineEdit* Edit_smtp;
    QLineEdit* Edit_port;
    QComboBox* ComboBox_securite;
    QLineEdit* Edit_login;
    QLabel* Label_op;
    QLabel* Label_nr_zir;
    QLabel* Label_station;
    QLabel* Label1;
    QLabel* Label4;
    QLabel* Label_declar1;
    QLabel* Label_declar2;
    QLabel* Label_nom;
    QLabel* Label_ad1;
    QLabel* Label_ad2;
    QLabel* Label_ad3;
    QLabel* Label3;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label_securite;
    QLabel* Label_login;
    QLabel* Label_BD_ZIR;
    QLabel* Label_Date_BD;
    QLabel* Label_info_Internet;
    QLabel* Label2;

Q_SIGNALS:
    // OK accepted the station: the file naming window comes next.
    void accepted();
    // Cancel, or the window was closed, at the first start: the program ends.
    void cancelled();
    // Cancel, or the window was closed, with a contest open: its changes were discarded and the
    // main window comes back.
    void returned();
    // The main window's station or category label changed.
    void stationChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename F>
    void guarded(F&& handler);
    void Button_quitClick();
    void BitBtn1Click();
    void combobox_saveChange(int index);

    Application& m_app;
    Dialogs& m_dialogs;
    bool m_rendering = false;
};

} // namespace vu
