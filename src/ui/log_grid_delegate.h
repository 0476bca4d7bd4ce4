#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

namespace vu {

// The log grid's in-place editor: typing turns into capitals and is inserted at the cursor,
// every keystroke reaches the cell at once, and the grid's own keys (Space, Enter, ...) are
// handled before the editor sees them. The editor stays open while the keyboard is elsewhere
// in the program (the quick-entry field): leaving the cell closes it, not losing the focus.
class LogGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Called with every key pressed in an open editor; true when it consumed the key.
    void setKeyHandler(std::function<bool(QKeyEvent*)> handler) {
        m_keyHandler = std::move(handler);
    }
    // The editor open now, if any.
    [[nodiscard]] QWidget* openEditor() const { return m_editor; }
    // Closes the open editor, if any.
    void closeOpenEditor();

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(QKeyEvent*)> m_keyHandler;
    mutable QPointer<QWidget> m_editor;
    mutable QPersistentModelIndex m_cell; // the open editor's cell
};

} // namespace vu
