#pragma once
// The findings of a data check as a table for a view (columns Schwere, Prüfung, Tabelle,
// Datensatz, Schlüssel, Meldung), and the filter in front of it: by severity, by check and by a
// part of the key. Sorting goes by what a column means (severity order, record as a number).

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <optional>
#include <vector>

#include "check/finding.h"

namespace gui {

class FindingsModel : public QAbstractTableModel {
 public:
  // The role a column sorts by.
  static constexpr int kSortRole = Qt::UserRole;

  using QAbstractTableModel::QAbstractTableModel;
  void setFindings(std::vector<check::Finding> findings);
  const std::vector<check::Finding>& findings() const { return findings_; }
  const check::Finding& finding(int row) const { return findings_[static_cast<std::size_t>(row)]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<check::Finding> findings_;
};

class FindingsFilter : public QSortFilterProxyModel {
 public:
  explicit FindingsFilter(QObject* parent);
  // nullopt: every severity, every check.
  void setSeverity(std::optional<check::Severity> severity);
  void setCheck(std::optional<check::CheckId> check);
  // Rows whose key contains text (any case); "" for all.
  void setKeyPart(const QString& text);

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

 private:
  std::optional<check::Severity> severity_;
  std::optional<check::CheckId> check_;
  QString keyPart_;
};

}  // namespace gui
