#include "ui/log_grid_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace vu {

namespace {

const QColor kAqua(0, 255, 255);
const QColor kCream(255, 251, 240);
const QColor kSilver(192, 192, 192);
const QColor kMoneyGreen(192, 220, 192);

// Row colours of the log: even lines aqua, odd lines cream with silver score columns, the
// duplicate note always money green.
QColor backgroundOf(int col, int tableRow) {
    if (col == static_cast<int>(Col::Dupe)) {
        return kMoneyGreen;
    }
    if (tableRow % 2 == 0) {
        return kAqua;
    }
    if (col == static_cast<int>(Col::Points) || col == static_cast<int>(Col::Mult)) {
        return kSilver;
    }
    return kCream;
}

} // namespace

LogGridModel::LogGridModel(LogTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_rows(table.rowCount() - 1),
      m_columns(table.columnCount()) {
    m_table.setListener(this);
}

LogGridModel::~LogGridModel() {
    m_table.setListener(nullptr);
}

int LogGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int LogGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant LogGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = tableRow(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_table.cell(index.column(), row);
    case Qt::BackgroundRole:
        return QBrush(backgroundOf(index.column(), row));
    case Qt::ForegroundRole:
        return QBrush(Qt::black);
    case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant LogGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_table.cell(section, 0).trimmed();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignTop);
    }
    return {};
}

Qt::ItemFlags LogGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != static_cast<int>(Col::Time)) {
        f |= Qt::ItemIsEditable; // the time is set through deferred-time mode only
    }
    return f;
}

bool LogGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() == static_cast<int>(Col::Time)) {
        return false;
    }
    m_table.setCell(index.column(), tableRow(index), value.toString().toUpper());
    return true;
}

void LogGridModel::rowsChanged(int first, int last) {
    if (first == 0) {
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
    }
    const int from = std::max(first - 1, 0);
    const int to = std::min(last - 1, m_rows - 1);
    if (from <= to) {
        Q_EMIT dataChanged(index(from, 0), index(to, m_columns - 1));
    }
}

void LogGridModel::rowCountChanged(int oldCount, int newCount) {
    if (m_table.columnCount() != m_columns) {
        beginResetModel();
        m_rows = newCount - 1;
        m_columns = m_table.columnCount();
        endResetModel();
        return;
    }
    if (newCount > oldCount) {
        beginInsertRows({}, oldCount - 1, newCount - 2);
        m_rows = newCount - 1;
        endInsertRows();
    } else if (newCount < oldCount) {
        beginRemoveRows({}, newCount - 1, oldCount - 2);
        m_rows = newCount - 1;
        endRemoveRows();
    }
    if (m_rows > 0) {
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1));
    }
}

void LogGridModel::currentCellChanged(int col, int row) {
    Q_EMIT currentCellMoved(col, row);
}

void LogGridModel::editorRequested() {
    Q_EMIT editorWanted();
}

} // namespace vu
