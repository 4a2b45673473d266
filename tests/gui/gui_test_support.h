#pragma once
// What the window tests share: the application object on the offscreen platform, a sample
// survey database written once per process, a recording user interface that still lets Qt
// events run, and helpers that act on the modal dialog a window opens.

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/program_objects.h"
#include "data/cls_dbf_data.h"

class QListWidget;
class QTreeWidget;

namespace guitest {

// Creates the QApplication (offscreen, Fusion style, a scratch XDG_CONFIG_HOME so that no
// dialog writes into the real configuration) once; safe to call repeatedly.
void ensureApplication();

// Records every box like app::RecordingUserInterface, and processes Qt events where the core
// lets pending events run, so timers and the cancel button stay live as in the program. Boxes
// with buttons of their own (gui::choose) are recorded as boxes too, with their buttons, and
// answered with the button named in `press` (none: closed without one); what the windows open
// on the desktop is recorded instead.
class PumpingRecorder : public app::RecordingUserInterface {
 public:
  void message(app::MessageIcon icon, const std::string& text) override;
  void processEvents() override;
  // Called as each box appears, to look at the windows behind it.
  std::function<void()> atMessage;

  std::vector<std::string> buttons;  // of the last box with buttons of its own
  std::string press;
  std::vector<std::string> opened;  // paths handed to the desktop
};
// Routes gui::choose and gui::openOnDesktop to the installed PumpingRecorder.
void recordDesktop();

// The sample survey: tables, shapefile and a resource folder with the built templates.
struct SampleSurvey {
  std::filesystem::path db;
  std::filesystem::path shape;
  std::filesystem::path resources;
};
// Written on first use below QUELBRIX_TEST_TMP (30 polygons, seed 1).
const SampleSurvey& sampleSurvey();
// Writes that survey with its tables into db, its shapefile into db/shape (as `quelbrix
// sample-data` lays it out) and the resource folder into resources.
SampleSurvey writeSampleSurvey(const std::filesystem::path& db,
                               const std::filesystem::path& resources);

// Runs action on the next modal dialog that becomes active (other than notThis); exec() of
// that dialog blocks the caller, so the action runs from a timer inside its event loop.
void whenModal(std::function<void(QWidget*)> action, QWidget* notThis = nullptr);

// Picks folder in a folder tree as a user does: opens each level and selects the last.
void pickFolder(QTreeWidget* tree, const std::filesystem::path& folder);

// What a file dialog showed: the folder it started in and the texts of its labels and buttons.
struct FileDialogSeen {
  QString folder;
  QStringList texts;
};
// In the settings dialog: presses cmdShpChange and picks file in the file dialog, or cancels
// it when file is empty.
FileDialogSeen chooseShapefile(QWidget* dialog, const std::filesystem::path& file);
// In the settings dialog: presses a folder button and picks folder in the folder chooser
// ("Übernehmen"), or cancels.
void chooseFolder(QWidget* dialog, const char* button, const std::filesystem::path& folder,
                  bool take = true);

// Clicks the row with that text, or the row at that position, as a user does.
void clickRow(QListWidget* list, const std::string& text);
void clickRow(QTreeWidget* view, int row, Qt::KeyboardModifiers modifiers = {});
// The texts of a list's rows.
std::vector<std::string> rows(const QListWidget* list);

template <typename T>
T* child(QWidget* window, const char* name) {
  T* found = window->findChild<T*>(QString::fromLatin1(name));
  if (!found) throw std::runtime_error(std::string("no control ") + name);
  return found;
}

// A row of GBogen: what the window's filters choose by.
struct Sheet {
  std::string code, type, biotope, habitat, copy;
};
// The sheet keys of GBogen (code followed by type) that satisfy keep, in table order.
std::vector<std::string> sheetKeys(data::clsDBFData& db,
                                   const std::function<bool(const Sheet&)>& keep);

// The ".docx" files below folder (relative paths, sorted).
std::vector<std::string> documents(const std::filesystem::path& folder);

}  // namespace guitest
