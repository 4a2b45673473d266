#pragma once
// The folder chooser "Änderung der Pfadeinstellungen". Instead of drives it offers two roots,
// "/" and the home folder, each shown as a folder tree. Calling order: SetPath, setHeadline,
// exec, GetPath. GetPath answers the folder last shown, or the start folder after "Abbrechen".

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace gui {

class frmDataPath : public QDialog {
 public:
  explicit frmDataPath(QWidget* parent = nullptr);

  // Shows path when it is a folder; otherwise logs a warning and shows the program's folder.
  // The folder shown becomes the start folder.
  void SetPath(const QString& path);
  void setHeadline(const QString& text);
  QString GetPath() const { return result_; }

  // The folder the tree shows as current.
  QString shownFolder() const;
  // Lets the tree show root (one of the roots in the drive list) as a user's pick does; a root
  // that cannot be read is refused with a warning and the list returns to the loaded root.
  void pickDrive(const QString& root);

  void reject() override;  // "Abbrechen", Escape and the window's close button

 private:
  bool showRoot(const QString& root);
  void showFolder(const QString& folder);
  QTreeWidgetItem* addFolderItem(QTreeWidgetItem* parent, const QString& path, const QString& name);
  bool fillChildren(QTreeWidgetItem* item);
  QString rootFor(const QString& folder) const;

  QLabel* lblHeadline_;
  QComboBox* Drive1_;
  QTreeWidget* Dir1_;
  QString loadedDrive_;
  QString folderBeforeDriveChange_;
  QString startFolder_;
  QString result_;
};

}  // namespace gui
