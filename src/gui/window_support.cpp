#include "gui/window_support.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QTreeView>
#include <QWidget>
#include <algorithm>

#include "app/program_objects.h"
#include "base/file_lookup.h"

namespace gui {

void setFieldEnabled(QWidget* field, bool enabled) {
  field->setEnabled(enabled);
  QPalette palette = field->palette();
  const QColor colour = enabled ? kEnabledFieldColour : kDisabledFieldColour;
  // The disabled group is the one a style paints a disabled list with; set all three so the
  // colour does not depend on focus.
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, colour);
  field->setPalette(palette);
}

QString formatElapsed(std::chrono::milliseconds elapsed) {
  const long long total = std::max<long long>(0, elapsed.count() / 1000);
  return QStringLiteral("%1:%2:%3")
      .arg(total / 3600, 2, 10, QLatin1Char('0'))
      .arg((total / 60) % 60, 2, 10, QLatin1Char('0'))
      .arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString fallbackFolder() {
  return QDir::homePath();
}

bool folderHoldsFile(const QString& folder, const QString& name) {
  return !base::findFileNoCase(ss(folder), ss(name)).empty();
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

QPushButton* namedButton(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  return b;
}

QListWidget* multiList(QWidget* parent, const char* name) {
  auto* l = new QListWidget(parent);
  l->setObjectName(name);
  l->setSelectionMode(QAbstractItemView::MultiSelection);
  return l;
}

DialogButtons dialogButtons(QWidget* parent, const QString& confirmText) {
  QPushButton* confirm = namedButton(parent, "cmdExit", confirmText);
  confirm->setDefault(true);
  QPushButton* cancel = namedButton(parent, "cmdCancel", "Abbrechen");
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(confirm);
  row->addWidget(cancel);
  return {row, confirm, cancel};
}

void fitFileChooser(QFileDialog& dialog) {
  dialog.resize(std::max(dialog.sizeHint().width(), 860),
                std::max(dialog.sizeHint().height(), 480));
  if (auto* files = dialog.findChild<QTreeView*>("treeView")) {
    QHeaderView* header = files->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
}

}  // namespace gui
