#include "ui/log_grid_delegate.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace vu {

QWidget* LogGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                       const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, editor, [editor, cell](const QString& text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = editor->cursorPosition();
            editor->setText(upper);
            editor->setCursorPosition(cursor);
        }
        if (cell.isValid()) {
            const_cast<QAbstractItemModel*>(cell.model())->setData(cell, upper, Qt::EditRole);
        }
        editor->setModified(false);
    });
    return editor;
}

void LogGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    line->setText(index.data(Qt::EditRole).toString());
    line->selectAll();
    line->setModified(false);
}

void LogGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    // Keystrokes already reached the cell; writing the editor's text again when it closes would
    // undo what the program wrote into the cell since.
    auto* line = static_cast<QLineEdit*>(editor);
    if (line->isModified()) {
        model->setData(index, line->text().toUpper(), Qt::EditRole);
        line->setModified(false);
    }
}

bool LogGridDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_keyHandler &&
        m_keyHandler(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace vu
