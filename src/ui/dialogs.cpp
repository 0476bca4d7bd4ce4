#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vu {

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

} // namespace

void QtDialogs::message(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), QApplication::applicationName(), text, QMessageBox::Ok,
                    m_parent);
    box.exec();
}

bool QtDialogs::ask(const QString& text, Icon icon, const QString& yesText, const QString& noText) {
    QMessageBox box(boxIcon(icon), QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    if (!yesText.isEmpty()) {
        box.button(QMessageBox::Yes)->setText(yesText);
    }
    if (!noText.isEmpty()) {
        box.button(QMessageBox::No)->setText(noText);
    }
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::openFile(const QString& startFolder, const QString& filter, bool mustExist) {
    QFileDialog dialog(m_parent, QString(), startFolder, filter);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::chooseFolder(const QString& startFolder) {
    return QFileDialog::getExistingDirectory(m_parent, QString(), startFolder);
}

void QtDialogs::error(const QString& text) {
    QMessageBox::critical(m_parent, QApplication::applicationName(), text);
}

} // namespace vu
