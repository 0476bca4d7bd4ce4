#pragma once

#include "contest_log/log_table.h"

#include <QAbstractTableModel>

namespace vu {

// Shows the core's log table in a QTableView: table row 0 is the horizontal header, table rows
// 1.. are the view's rows 0... Follows every change of the table.
class LogGridModel : public QAbstractTableModel, public LogTableListener {
    Q_OBJECT
public:
    explicit LogGridModel(LogTable& table, QObject* parent = nullptr);
    ~LogGridModel() override;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Table row of a view index and back.
    [[nodiscard]] static int tableRow(const QModelIndex& index) { return index.row() + 1; }
    [[nodiscard]] QModelIndex indexOf(int col, int tableRow) const {
        return index(tableRow - 1, col);
    }

    // LogTableListener
    void rowsChanged(int first, int last) override;
    void rowCountChanged(int oldCount, int newCount) override;
    void currentCellChanged(int col, int row) override;
    void editorRequested() override;

Q_SIGNALS:
    // The core moved the current cell (table coordinates).
    void currentCellMoved(int col, int tableRow);
    // The core asks for the in-place editor on the current cell.
    void editorWanted();

private:
    LogTable& m_table;
    int m_rows;
    int m_columns;
};

} // namespace vu
