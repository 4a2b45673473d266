#pragma once
// Small pieces every window shares: the grey of disabled lists and fields, the elapsed-time
// text of the run windows, text conversion and the program's folder.

#include <QColor>
#include <QString>
#include <chrono>
#include <string>

class QFileDialog;
class QLabel;
class QHBoxLayout;
class QListWidget;
class QPushButton;
class QWidget;

namespace gui {

// Lists and text fields that cannot be used are this grey; usable ones are white.
inline const QColor kDisabledFieldColour(209, 209, 207);
inline const QColor kEnabledFieldColour(255, 255, 255);

// Enables or disables a list or text field and paints its background accordingly.
void setFieldEnabled(QWidget* field, bool enabled);

// "hh:mm:ss"; hours keep counting past 24 (a run across midnight shows its true length).
QString formatElapsed(std::chrono::milliseconds elapsed);

inline QString qs(const std::string& text) {
  return QString::fromStdString(text);
}
inline std::string ss(const QString& text) {
  return text.toStdString();
}

// Where a chooser starts when it has no existing folder to show: the user's home folder (the
// program's own folder is no place for survey data or documents).
QString fallbackFolder();

// True when folder holds a file of that name, compared without regard to case (the files the
// program itself names are found that way).
bool folderHoldsFile(const QString& folder, const QString& name);

// Widgets named after their controls, owned by parent as Qt widgets are.
QLabel* namedLabel(QWidget* parent, const char* name, const QString& text);
QPushButton* namedButton(QWidget* parent, const char* name, const QString& text);
// A list in which a click toggles a row (simple multiple selection).
QListWidget* multiList(QWidget* parent, const char* name);

// The right-aligned button row of a dialog: the default button `cmdExit` with confirmText and
// `cmdCancel` "Abbrechen". The buttons are answered through confirm and cancel.
struct DialogButtons {
  QHBoxLayout* row;
  QPushButton* confirm;
  QPushButton* cancel;
};
DialogButtons dialogButtons(QWidget* parent, const QString& confirmText);

// Qt's own file chooser large enough, and its columns (size, type, date) as wide as their
// contents, so that nothing in it is cut; the name takes the room that is left.
void fitFileChooser(QFileDialog& dialog);

}  // namespace gui
