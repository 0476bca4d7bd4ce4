#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vu {

class Application;
class Dialogs;

// The file naming window: which contest file holds the contest. Left only through its OK button.
class FileNamingWindow : public QWidget {
    Q_OBJECT
public:
    FileNamingWindow(Application& app, Dialogs& dialogs, QWidget* parent = nullptr);

    void render();
    void applyTexts();
    // Activation: the proposal, the name without extension, focus at its end.
    void FormActivate();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label_nom_fichier;
    QLineEdit* Edit_nom_fichier;
    QPushButton* Button_nom_fichier;
    QLineEdit* Edit_chemin;
    QPushButton* Button_emplacement;
    QPushButton* BitBtn_fichier_close;

Q_SIGNALS:
    // OK created or chose the contest file: the main window comes next.
    void confirmed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Runs a handler; an error that escapes it is shown by the standard error display.
    template <typename F>
    void guarded(F&& handler);

    void Button_emplacementClick();
    void BitBtn1Click();
    void BitBtn_fichier_closeClick();

    Application& m_app;
    Dialogs& m_dialogs;
};

} // namespace vu
