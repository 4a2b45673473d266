#include "gui/findings_model.h"

#include <QColor>

#include "gui/window_support.h"

namespace gui {
namespace {

enum Column { kSeverity, kCheck, kTable, kRecord, kKey, kMessage, kColumns };

}  // namespace

void FindingsModel::setFindings(std::vector<check::Finding> findings) {
  beginResetModel();
  findings_ = std::move(findings);
  endResetModel();
}

int FindingsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(findings_.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != kSortRole &&
                           role != Qt::ToolTipRole && role != Qt::ForegroundRole))
    return {};
  const check::Finding& f = finding(index.row());
  if (role == Qt::ForegroundRole)
    return index.column() == kSeverity && f.severity == check::Severity::Fehler
               ? QVariant(QColor(170, 0, 0))
               : QVariant();
  switch (index.column()) {
    case kSeverity:
      return role == kSortRole ? QVariant(static_cast<int>(f.severity))
                               : QVariant(QString(check::severityText(f.severity)));
    case kCheck:
      return role == kSortRole ? QVariant(static_cast<int>(f.check))
                               : QVariant(QString(check::checkName(f.check)));
    case kTable:
      return qs(f.table);
    case kRecord:
      if (role == kSortRole) return QVariant(f.record);
      return f.record ? QVariant(QString::number(f.record)) : QVariant(QString());
    case kKey:
      return qs(f.key);
    case kMessage:
      return qs(f.message);
    default:
      return {};
  }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kHeads[kColumns] = {"Schwere",   "Prüfung",   "Tabelle",
                                               "Datensatz", "Schlüssel", "Meldung"};
  return section >= 0 && section < kColumns ? QVariant(QString(kHeads[section])) : QVariant();
}

FindingsFilter::FindingsFilter(QObject* parent) : QSortFilterProxyModel(parent) {
  setSortRole(FindingsModel::kSortRole);
}

void FindingsFilter::setSeverity(std::optional<check::Severity> severity) {
  severity_ = severity;
  invalidateRowsFilter();
}

void FindingsFilter::setCheck(std::optional<check::CheckId> check) {
  check_ = check;
  invalidateRowsFilter();
}

void FindingsFilter::setKeyPart(const QString& text) {
  keyPart_ = text.trimmed();
  invalidateRowsFilter();
}

bool FindingsFilter::filterAcceptsRow(int row, const QModelIndex&) const {
  const auto* model = static_cast<const FindingsModel*>(sourceModel());
  const check::Finding& f = model->finding(row);
  if (severity_ && f.severity != *severity_) return false;
  if (check_ && f.check != *check_) return false;
  return keyPart_.isEmpty() || qs(f.key).contains(keyPart_, Qt::CaseInsensitive);
}

}  // namespace gui
