#include "ui/file_naming_window.h"

#include "app/application.h"
#include "platform/errors.h"
#include "ui/dialogs.h"
#include "ui/language_binding.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vu {

FileNamingWindow::FileNamingWindow(Application& app, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_app(app),
      m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TForm_choix_fichier"));
    setWindowTitle(QStringLiteral("Nom et emplacement du fichier concours"));
    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    Label1 = label("Label1", QStringLiteral("Vous pouvez modifier le nom "));
    Label2 = label("Label2", QStringLiteral("ou charger un fichier existant"));
    Label3 =
        label("Label3", QStringLiteral("mais le nom doit commencer par 'ZIV_URU' obligatoirement"));
    Label_nom_fichier = label("Label_nom_fichier", QStringLiteral("Proposition de nom de fichier"));
    Edit_nom_fichier = new QLineEdit(this);
    Edit_nom_fichier->setObjectName(QStringLiteral("Edit_nom_fichier"));
    Button_nom_fichier = new QPushButton(QStringLiteral("Fichier"), this);
    Button_nom_fichier->setObjectName(QStringLiteral("Button_nom_fichier"));
    Edit_chemin = new QLineEdit(this);
    Edit_chemin->setObjectName(QStringLiteral("Edit_chemin"));
    Button_emplacement = new QPushButton(QStringLiteral("Emplacement"), this);
    Button_emplacement->setObjectName(QStringLiteral("Button_emplacement"));
    Button_emplacement->setToolTip(QStringLiteral("Modifier le répertoire de sauvegarde"));
    BitBtn_fichier_close = new QPushButton(QStringLiteral("OK"), this);
    BitBtn_fichier_close->setObjectName(QStringLiteral("BitBtn_fichier_close"));

    auto* grid = new QGridLayout;
    grid->addWidget(Label_nom_fichier, 0, 0, 1, 2);
    grid->addWidget(Edit_nom_fichier, 1, 0);
    grid->addWidget(Button_nom_fichier, 1, 1);
    grid->addWidget(Edit_chemin, 2, 0);
    grid->addWidget(Button_emplacement, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addSpacing(12);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(BitBtn_fichier_close, 0, Qt::AlignRight);
    resize(750, 535);

    FileNamingForm& form = m_app.fileNaming();
    connect(Edit_nom_fichier, &QLineEdit::textEdited, this,
            [&form](const QString& text) { form.setEditNomFichier(text); });
    connect(Edit_chemin, &QLineEdit::textEdited, this,
            [&form](const QString& text) { form.setEditChemin(text); });
    connect(Button_emplacement, &QPushButton::clicked, this, [this] { Button_emplacementClick(); });
    connect(Button_nom_fichier, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn_fichier_close, &QPushButton::clicked, this,
            [this] { BitBtn_fichier_closeClick(); });
    // OK is the window's default button, as a dialog's OK is: Enter in either field presses it.
    BitBtn_fichier_close->setDefault(true);
    for (QLineEdit* field : {Edit_nom_fichier, Edit_chemin}) {
        connect(field, &QLineEdit::returnPressed, BitBtn_fichier_close, &QPushButton::click);
    }
}

void FileNamingWindow::render() {
    const FileNamingForm& form = m_app.fileNaming();
    if (Edit_nom_fichier->text() != form.editNomFichier()) {
        Edit_nom_fichier->setText(form.editNomFichier());
    }
    if (Edit_chemin->text() != form.editChemin()) {
        Edit_chemin->setText(form.editChemin());
    }
}

void FileNamingWindow::applyTexts() {
    applyLanguage(this, Form::FileNaming, m_app.texts());
}

void FileNamingWindow::FormActivate() {
    guarded([this] { m_app.fileNaming().activate(m_app.session().clock().localNow().date()); });
    Edit_nom_fichier->setFocus();
    Edit_nom_fichier->deselect();
    Edit_nom_fichier->end(false);
    m_app.session().table().requestEditor();
}

void FileNamingWindow::Button_emplacementClick() {
    guarded([this] {
        const QString folder = m_dialogs.chooseFolder(m_app.filesFolder());
        if (!folder.isEmpty()) {
            m_app.fileNaming().chooseFolder(folder, m_app.session().clock().localNow().date());
        }
    });
}

void FileNamingWindow::BitBtn1Click() {
    guarded([this] {
        const QString path = m_dialogs.openFile(
            m_app.filesFolder(), QString::fromLatin1(FileNamingForm::kOpenFilter), true);
        if (!path.isEmpty()) {
            m_app.fileNaming().chooseExistingFile(path);
        }
    });
}

void FileNamingWindow::BitBtn_fichier_closeClick() {
    bool done = false;
    guarded([&] {
        m_app.confirmFileNaming(); // on an error the window stays open
        done = true;
    });
    if (done) {
        hide();
        Q_EMIT confirmed();
    }
}

template <typename F>
void FileNamingWindow::guarded(F&& handler) {
    runHandler(m_dialogs, std::forward<F>(handler), [this] { render(); });
}

// The window asks for a title bar without buttons; a window manager that shows them anyway
// (openbox) finds they do nothing: OK is the way on. Closed, the window left the program running
// with nothing on the screen; minimised, it was lost on a desktop without a task bar.
void FileNamingWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void FileNamingWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange &&
        (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        QTimer::singleShot(0, this, [this] { showNormal(); });
    }
}

} // namespace vu
