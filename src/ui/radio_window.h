#pragma once

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vu {

class Dialogs;
class LanguageTexts;
class RadioSetup;
struct RadioSettings;

// The radio window: which transceiver, how it is reached, and the function keys' messages. OK
// keeps them in the settings file and hands them to the radio; Cancel forgets what was typed.
class RadioWindow : public QWidget {
    Q_OBJECT
public:
    RadioWindow(RadioSetup& radio, const LanguageTexts& texts, Dialogs& dialogs,
                QWidget* parent = nullptr);

    // Shows the settings in force.
    void render();
    void applyTexts();

    QLabel* Label_recherche;
    QLineEdit* Edit_recherche;
    QLabel* Label_modele;
    QComboBox* ComboBox_modele;
    QLabel* Label_port;
    QLineEdit* Edit_port;
    QLabel* Label_vitesse_port;
    QComboBox* ComboBox_vitesse_port;
    QCheckBox* CheckBox_radio;
    QLabel* Label_wpm;
    QSpinBox* SpinBox_wpm;
    QCheckBox* CheckBox_chiffres_courts;
    QLabel* Label_messages;
    std::array<QLineEdit*, 8> Edit_messages; // Edit_F1 ... Edit_F8
    QPushButton* Button_ok;
    QPushButton* Button_annuler;

Q_SIGNALS:
    // OK took the settings, or Cancel closed the window.
    void closedByButton();

private:
    // Lists the models whose maker or name holds the search text, keeping `model` chosen.
    void listModels(int model);
    [[nodiscard]] RadioSettings typedSettings() const;
    void Button_okClick();

    RadioSetup& m_radio;
    const LanguageTexts& m_texts;
    Dialogs& m_dialogs;
};

} // namespace vu
