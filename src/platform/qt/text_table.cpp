#include "platform/qt/text_table.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

#include "platform/qt/form_widgets.h"

namespace jumblix {

int TextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.rows().size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.columns().size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != kSortRole)) return {};
  const auto& row = table_.rows()[static_cast<std::size_t>(index.row())];
  if (index.column() >= static_cast<int>(row.size())) return QString();
  const QString text = text_of(row[static_cast<std::size_t>(index.column())]);
  if (role == Qt::DisplayRole) return text;
  // "12", "1:05", "1:02:07" and "4 x 4" sort by their numbers; anything else as text.
  static const QRegularExpression numbers(QStringLiteral("^(\\d+)(?:[:x ]+(\\d+))?(?::(\\d+))?$"));
  const QRegularExpressionMatch m = numbers.match(text);
  if (!m.hasMatch()) return text.toLower();
  double value = 0;
  for (int i = 1; i <= 3; ++i)
    if (m.hasCaptured(i)) value = value * 1000 + m.captured(i).toDouble();
  if (!m.hasCaptured(2)) value *= 1e6;  // one number against "a x b" or "m:ss": same scale
  else if (!m.hasCaptured(3)) value *= 1e3;
  return value;
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= static_cast<int>(table_.columns().size())) return {};
  return text_of(table_.columns()[static_cast<std::size_t>(section)]);
}

void TextTableModel::reload() {
  beginResetModel();
  endResetModel();
}

QTableView* make_text_table(const TableBox& table, QWidget* parent, TextTableModel** model) {
  auto* view = new QTableView(parent);
  auto* source = new TextTableModel(table, view);
  auto* sorted = new QSortFilterProxyModel(view);
  sorted->setSourceModel(source);
  sorted->setSortRole(TextTableModel::kSortRole);
  view->setModel(sorted);
  view->setSortingEnabled(true);
  view->sortByColumn(0, Qt::AscendingOrder);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setTabKeyNavigation(false);  // Tab goes on to the panel's button
  view->verticalHeader()->hide();
  // Rows of one line: their height is not measured row by row.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  // The picture's name keeps room for a name of its own (the others fit their contents);
  // what does not fit scrolls sideways.
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  if (!table.columns().empty()) {
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    view->horizontalHeader()->resizeSection(0, view->fontMetrics().horizontalAdvance(QString(18, QChar('n'))));
  }
  *model = source;
  return view;
}

}  // namespace jumblix
