#include "gui/frm_data_path.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/program_objects.h"
#include "gui/window_support.h"

namespace gui {
namespace {

constexpr int kPathRole = Qt::UserRole;

QString clean(const QString& path) {
  return QDir::cleanPath(QDir(path).absolutePath());
}

}  // namespace

frmDataPath::frmDataPath(QWidget* parent) : QDialog(parent) {
  setObjectName("frmDataPath");
  setWindowTitle("Änderung der Pfadeinstellungen");
  setModal(true);

  lblHeadline_ = new QLabel("Bestimmung des Ordners für die zu speichernden Daten", this);
  lblHeadline_->setObjectName("lblHeadline");
  QFont bold = lblHeadline_->font();
  bold.setBold(true);
  lblHeadline_->setFont(bold);

  Drive1_ = new QComboBox(this);
  Drive1_->setObjectName("Drive1");
  Drive1_->addItem("/", QStringLiteral("/"));
  const QString home = clean(QDir::homePath());
  if (home != "/") Drive1_->addItem(home, home);

  Dir1_ = new QTreeWidget(this);
  Dir1_->setObjectName("Dir1");
  Dir1_->setHeaderHidden(true);
  Dir1_->setColumnCount(1);
  Dir1_->setMinimumSize(380, 300);
  Dir1_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  const DialogButtons dialog = dialogButtons(this, "Übernehmen");
  QPushButton* take = dialog.confirm;
  QPushButton* cancel = dialog.cancel;
  QHBoxLayout* buttons = dialog.row;

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblHeadline_);
  layout->addWidget(Drive1_);
  layout->addWidget(Dir1_, 1);
  layout->addLayout(buttons);

  connect(take, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &frmDataPath::reject);
  connect(Drive1_, &QComboBox::activated, this,
          [this](int index) { pickDrive(Drive1_->itemData(index).toString()); });
  connect(Dir1_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (item->childCount() == 0) fillChildren(item);
  });
  // Every change of the shown folder, the one SetPath causes included, becomes the result.
  connect(Dir1_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
            if (current) result_ = current->data(0, kPathRole).toString();
          });

  // On load the tree shows the home folder; that root is the one a failed pick returns to.
  showFolder(clean(fallbackFolder()));
  loadedDrive_ = Drive1_->currentData().toString();
  result_.clear();
}

QString frmDataPath::rootFor(const QString& folder) const {
  // The deepest root the folder lies in: the home folder wins over "/".
  QString best = "/";
  for (int i = 0; i < Drive1_->count(); ++i) {
    const QString root = Drive1_->itemData(i).toString();
    if (root != "/" && (folder == root || folder.startsWith(root + "/"))) best = root;
  }
  return best;
}

QTreeWidgetItem* frmDataPath::addFolderItem(QTreeWidgetItem* parent, const QString& path,
                                            const QString& name) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Dir1_);
  item->setText(0, name);
  item->setData(0, kPathRole, path);
  item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return item;
}

bool frmDataPath::fillChildren(QTreeWidgetItem* item) {
  const QString path = item->data(0, kPathRole).toString();
  QDir dir(path);
  if (!dir.exists() || !dir.isReadable()) {
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    return false;
  }
  const QStringList names =
      dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& name : names) addFolderItem(item, dir.filePath(name), name);
  if (names.isEmpty()) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
  return true;
}

bool frmDataPath::showRoot(const QString& root) {
  QDir dir(root);
  if (!dir.exists() || !dir.isReadable()) return false;
  Dir1_->blockSignals(true);
  Dir1_->clear();
  Dir1_->blockSignals(false);
  QTreeWidgetItem* top = addFolderItem(nullptr, root, root);
  fillChildren(top);
  top->setExpanded(true);
  Drive1_->setCurrentIndex(Drive1_->findData(root));
  Dir1_->setCurrentItem(top);
  return true;
}

void frmDataPath::showFolder(const QString& folder) {
  const QString root = rootFor(folder);
  if (!showRoot(root)) return;
  QTreeWidgetItem* item = Dir1_->topLevelItem(0);
  const QString rest = folder.mid(root == "/" ? 1 : root.size() + 1);
  QString path = root;
  for (const QString& name : rest.split('/', Qt::SkipEmptyParts)) {
    path = path.endsWith('/') ? path + name : path + "/" + name;
    if (item->childCount() == 0) fillChildren(item);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < item->childCount() && !next; ++i)
      if (item->child(i)->text(0) == name) next = item->child(i);
    // Hidden folders are not listed, but one the user asked for is shown all the same.
    if (!next) next = addFolderItem(item, path, name);
    item->setExpanded(true);
    item = next;
  }
  Dir1_->setCurrentItem(item);
  Dir1_->scrollToItem(item);
}

void frmDataPath::SetPath(const QString& path) {
  const QFileInfo info(path);
  if (!path.isEmpty() && info.isDir()) {
    showFolder(clean(path));
  } else {
    app::g_Debug().Ausgabe(
        3, "frmDataPath.SetPath: Warnung! Der Pfad " + ss(path) + " existiert nicht.");
    showFolder(clean(fallbackFolder()));
  }
  startFolder_ = shownFolder();
  result_ = startFolder_;
}

void frmDataPath::setHeadline(const QString& text) {
  lblHeadline_->setText(text);
}

QString frmDataPath::shownFolder() const {
  const QTreeWidgetItem* item = Dir1_->currentItem();
  return item ? item->data(0, kPathRole).toString() : QString();
}

void frmDataPath::pickDrive(const QString& root) {
  folderBeforeDriveChange_ = shownFolder();
  if (showRoot(root)) return;
  app::g_Debug().Ausgabe(
      2, "Fehler! Auf die Partition " + ss(root) + " konnte nicht zugegriffen werden.");
  app::ui().message(app::MessageIcon::Warning,
                    "Auf die Partition " + ss(root) + " konnte nicht zugegriffen werden.");
  Drive1_->setCurrentIndex(Drive1_->findData(loadedDrive_));
}

void frmDataPath::reject() {
  result_ = startFolder_;
  QDialog::reject();
}

}  // namespace gui
