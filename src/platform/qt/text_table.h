#pragma once
// A TableBox in the window: a model over the form's rows and a sorted view, so that any
// number of rows shows at once (only the rows in sight are drawn).
#include <QAbstractTableModel>
#include <QTableView>

#include "platform/form.h"

namespace jumblix {

class TextTableModel : public QAbstractTableModel {
 public:
  TextTableModel(const TableBox& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // The form's rows changed: the view reads them again.
  void reload();

  // What a column sorts by: numbers and times by their value, other text as text.
  static constexpr int kSortRole = Qt::UserRole;

 private:
  const TableBox& table_;
};

// The view, with its model behind a sorting proxy; the first column sorted at first.
QTableView* make_text_table(const TableBox& table, QWidget* parent, TextTableModel** model);

}  // namespace jumblix
