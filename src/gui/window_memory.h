#pragma once
// What the windows remember from one session to the next, kept with QSettings in a file of its
// own beside the settings (~/.config/Quelbrix2/Fenster.conf, below $XDG_CONFIG_HOME when set):
// each window's size and place, the last choices of the generation windows and the last five
// survey folders. Nothing of it is needed: a missing or damaged file only means nothing is
// remembered.

#include <QStringList>
#include <QVariant>
#include <vector>

class QWidget;

namespace gui {

// Size and place of a window, under its object name.
void rememberGeometry(const QWidget& window);
// Puts a remembered size and place back; false when there is none (or it no longer fits any
// screen, which Qt corrects).
bool recallGeometry(QWidget& window);

// A choice of a window (the texts of the rows chosen in a list, a box's state), under the
// window's object name and key.
void rememberChoice(const QWidget& window, const QString& key, const QVariant& value);
QVariant rememberedChoice(const QWidget& window, const QString& key, const QVariant& fallback = {});

// A survey the user worked with: its folder and its shapefile.
struct Survey {
  QString folder;
  QString shapefile;
  bool operator==(const Survey&) const = default;
};
// The last five, the latest first; adding one again moves it to the front.
std::vector<Survey> recentSurveys();
void addRecentSurvey(const Survey& survey);

// Forgets everything (for a fresh start, and for tests).
void forgetWindowMemory();

}  // namespace gui
