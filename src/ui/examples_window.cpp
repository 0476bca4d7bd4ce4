#include "ui/examples_window.h"

#include "contest_log/quick_entry_examples.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vu {

namespace {

constexpr int kDesignedWidths[6] = {200, 35, 80, 50, 50, 80};

// Bold texts 2 pixels from the left, column 0 red, rows 2, 4, 6 and 8 banded aqua unless
// selected.
class ExamplesDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        // The base draws the cell without its text (see initStyleOption); the text is drawn
        // once, below, in the cell's own way.
        QStyledItemDelegate::paint(painter, option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        const bool selected = option.state & QStyle::State_Selected;
        const int row = index.row() + 1; // the view's row 0 is the first example
        if (row % 2 == 0 && !selected) {
            painter->fillRect(option.rect, QColor(0, 255, 255));
        }
        QFont bold = option.font;
        bold.setBold(true);
        painter->save();
        painter->setFont(bold);
        if (index.column() == 0) {
            painter->setPen(QColor(255, 0, 0));
        } else {
            painter->setPen(selected ? option.palette.highlightedText().color()
                                     : option.palette.text().color());
        }
        const QFontMetrics metrics(bold);
        const int top = option.rect.top() + (option.rect.height() - metrics.height()) / 2;
        painter->drawText(QPoint(option.rect.left() + 2, top + metrics.ascent()), text);
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text.clear();
    }
};

} // namespace

ExamplesWindow::ExamplesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TForm_infos_saisie"));
    auto* top = new QWidget(this);
    top->setFixedHeight(41);
    Label_comment_saisie = new QLabel(top);
    BitBtn_OK = new QPushButton(QStringLiteral("OK"), top);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->addWidget(Label_comment_saisie);
    topLayout->addStretch();
    topLayout->addWidget(BitBtn_OK);

    Grille_infos = new QTableWidget(8, 6, this);
    Grille_infos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grille_infos->verticalHeader()->hide();
    Grille_infos->verticalHeader()->setDefaultSectionSize(18);
    Grille_infos->setItemDelegate(new ExamplesDelegate(Grille_infos));
    int row = 0;
    for (const QuickEntryExample& e : quickEntryExamples()) {
        const QString cells[6] = {e.typed,   QStringLiteral("--->"), e.call, e.rstSent, e.rstRcvd,
                                  e.category};
        for (int c = 0; c < 6; ++c) {
            Grille_infos->setItem(row, c, new QTableWidgetItem(cells[c]));
        }
        ++row;
    }
    setTexts(QStringLiteral("   ??"),
             {QStringLiteral("   Saisie"), QStringLiteral("   Call"), QStringLiteral("   RSTS"),
              QStringLiteral("   RSTR"), QStringLiteral(" Catégorie")},
             QStringLiteral("Saisie rapide, exemples"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(top);
    layout->addWidget(Grille_infos);
    resize(750, 535);
    connect(BitBtn_OK, &QPushButton::clicked, this, &QWidget::hide);
}

void ExamplesWindow::keyPressEvent(QKeyEvent* event) {
    // Closed from the keyboard as a box is: Escape or Enter (the card's grid lets both through).
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        hide();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ExamplesWindow::setTexts(const QString& comment, const QStringList& titles,
                              const QString& caption) {
    Label_comment_saisie->setText(comment);
    const int columns[5] = {0, 2, 3, 4, 5};
    Grille_infos->setHorizontalHeaderItem(1, new QTableWidgetItem(QString()));
    for (int i = 0; i < 5 && i < titles.size(); ++i) {
        Grille_infos->setHorizontalHeaderItem(columns[i], new QTableWidgetItem(titles[i]));
    }
    // Designed widths, widened where a language's title would be cut.
    const QFontMetrics metrics(Grille_infos->horizontalHeader()->font());
    for (int c = 0; c < Grille_infos->columnCount(); ++c) {
        const QTableWidgetItem* title = Grille_infos->horizontalHeaderItem(c);
        const int needed =
            title == nullptr ? 0 : metrics.horizontalAdvance(title->text().trimmed()) + 16;
        Grille_infos->setColumnWidth(c, std::max(kDesignedWidths[c], needed));
    }
    setWindowTitle(caption);
}

} // namespace vu
