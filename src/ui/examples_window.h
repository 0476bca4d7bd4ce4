#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace vu {

// The quick-entry examples window: a reference card of eight worked examples.
class ExamplesWindow : public QWidget {
    Q_OBJECT
public:
    explicit ExamplesWindow(QWidget* parent = nullptr);

    // Texts of the language: the comment, the titles of columns 0 and 2 to 5, the window title.
    void setTexts(const QString& comment, const QStringList& titles, const QString& caption);

    QLabel* Label_comment_saisie;
    QPushButton* BitBtn_OK;
    QTableWidget* Grille_infos;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vu
