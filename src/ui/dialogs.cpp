#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vu {

Dialogs::Running::~Running() {
    if (--m_dialogs.m_depth > 0) {
        return;
    }
    // The outermost handler has ended: what waited for it runs now (and what that work queues
    // in turn, once it has ended).
    std::vector<std::function<void()>> work;
    work.swap(m_dialogs.m_idleWork);
    for (const auto& w : work) {
        m_dialogs.whenIdle(w);
    }
}

void Dialogs::whenIdle(std::function<void()> work) {
    if (busy()) {
        m_idleWork.push_back(std::move(work));
    } else {
        work();
    }
}

namespace {

QMessageBox::Icon boxIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Error:
        return QMessageBox::Critical;
    case Dialogs::Icon::Information:
        break;
    }
    return QMessageBox::Information;
}

void markKind(QWidget* box, BoxKind kind) {
    box->setProperty(kBoxKindProperty, static_cast<int>(kind));
}

} // namespace

QWidget* QtDialogs::boxParent() const {
    QWidget* owner = ownerWindow();
    return owner != nullptr && owner->isVisible() ? owner : m_parent;
}

void QtDialogs::message(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), QApplication::applicationName(), text, QMessageBox::Ok,
                    boxParent());
    box.button(QMessageBox::Ok)->setText(buttonTexts().ok);
    markKind(&box, BoxKind::Message);
    box.exec();
}

bool QtDialogs::ask(const QString& text, Icon icon, const QString& yesText, const QString& noText) {
    QMessageBox box(boxIcon(icon), QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, boxParent());
    box.button(QMessageBox::Yes)->setText(yesText.isEmpty() ? buttonTexts().yes : yesText);
    box.button(QMessageBox::No)->setText(noText.isEmpty() ? buttonTexts().no : noText);
    markKind(&box, BoxKind::Message);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::openFile(const QString& startFolder, const QString& filter, bool mustExist) {
    QFileDialog dialog(boxParent(), QString(), startFolder, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    markKind(&dialog, BoxKind::Other);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::chooseFolder(const QString& startFolder) {
    QFileDialog dialog(boxParent(), QString(), startFolder);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    markKind(&dialog, BoxKind::Folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::askPassword(const QString& text) {
    QInputDialog dialog(boxParent());
    dialog.setWindowTitle(QApplication::applicationName());
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(buttonTexts().ok);
    markKind(&dialog, BoxKind::Other);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

void QtDialogs::error(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    boxParent());
    box.button(QMessageBox::Ok)->setText(buttonTexts().ok);
    markKind(&box, BoxKind::Other);
    box.exec();
}

} // namespace vu
