#include "ui/log_grid_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace vu {

namespace {
// Set on an editor once it has shown its cell's text the first time.
constexpr char kFilled[] = "vu_filled";
// The cell's text when the editor opened, which Escape puts back.
constexpr char kOriginal[] = "vu_original";
} // namespace

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
    m_editor = editor;
    m_cell = cell;
    return editor;
}

void LogGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (!line->property(kFilled).toBool()) {
        // A freshly opened editor shows its cell's text selected, ready to be typed over.
        line->setProperty(kFilled, true);
        line->setProperty(kOriginal, text);
        line->setText(text);
        line->selectAll();
    } else if (line->text() != text) {
        // The program wrote into the cell while it was being edited ("O" gives "QRO"): show it,
        // cursor at the end. A change elsewhere in the row leaves the editor as it is.
        line->setText(text);
    }
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

void LogGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor == m_editor) {
        m_editor = nullptr; // closed by the view
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void LogGridDelegate::closeOpenEditor() {
    if (m_editor != nullptr) {
        Q_EMIT closeEditor(m_editor, QAbstractItemDelegate::NoHint);
    }
}

bool LogGridDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_keyHandler &&
        m_keyHandler(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && watched == m_editor &&
        m_cell.isValid()) {
        // Every keystroke reached the cell already: Escape writes back what it held when the
        // editor opened, then the editor closes.
        const QVariant original = m_editor->property(kOriginal);
        if (original.isValid()) {
            const_cast<QAbstractItemModel*>(m_cell.model())
                ->setData(m_cell, original, Qt::EditRole);
        }
    }
    if (event->type() == QEvent::FocusOut) {
        // The editor closes when its cell is left, which the view does itself. The keyboard
        // going to the quick-entry field or to another program keeps it open.
        auto* editor = qobject_cast<QWidget*>(watched);
        auto* view = editor != nullptr && editor->parentWidget() != nullptr
                         ? qobject_cast<QAbstractItemView*>(editor->parentWidget()->parentWidget())
                         : nullptr;
        const QWidget* focus = QApplication::focusWidget();
        if (view != nullptr &&
            (focus == nullptr || (focus != view && !view->isAncestorOf(focus)))) {
            return false;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace vu
