#include "gui/window_memory.h"

#include <QSettings>
#include <QWidget>

namespace gui {
namespace {

constexpr int kRecentSurveys = 5;

// Opened for each use: the file is read afresh and written at once.
QSettings store() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quelbrix2", "Fenster");
}

QString keyOf(const QWidget& window, const QString& key) {
  return window.objectName() + "/" + key;
}

}  // namespace

void rememberGeometry(const QWidget& window) {
  store().setValue(keyOf(window, "Geometrie"), window.saveGeometry());
}

bool recallGeometry(QWidget& window) {
  const QByteArray geometry = store().value(keyOf(window, "Geometrie")).toByteArray();
  return !geometry.isEmpty() && window.restoreGeometry(geometry);
}

void rememberChoice(const QWidget& window, const QString& key, const QVariant& value) {
  store().setValue(keyOf(window, "Auswahl/" + key), value);
}

QVariant rememberedChoice(const QWidget& window, const QString& key, const QVariant& fallback) {
  return store().value(keyOf(window, "Auswahl/" + key), fallback);
}

std::vector<Survey> recentSurveys() {
  QSettings s = store();
  std::vector<Survey> surveys;
  const int n = s.beginReadArray("Erfassungen");
  for (int i = 0; i < n && static_cast<int>(surveys.size()) < kRecentSurveys; ++i) {
    s.setArrayIndex(i);
    Survey survey{s.value("Ordner").toString(), s.value("Shapefile").toString()};
    if (!survey.folder.isEmpty()) surveys.push_back(survey);
  }
  s.endArray();
  return surveys;
}

void addRecentSurvey(const Survey& survey) {
  std::vector<Survey> surveys = recentSurveys();
  std::erase_if(surveys, [&](const Survey& s) { return s.folder == survey.folder; });
  surveys.insert(surveys.begin(), survey);
  if (surveys.size() > kRecentSurveys) surveys.resize(kRecentSurveys);
  QSettings s = store();
  s.remove("Erfassungen");
  s.beginWriteArray("Erfassungen", static_cast<int>(surveys.size()));
  for (int i = 0; i < static_cast<int>(surveys.size()); ++i) {
    s.setArrayIndex(i);
    s.setValue("Ordner", surveys[static_cast<std::size_t>(i)].folder);
    s.setValue("Shapefile", surveys[static_cast<std::size_t>(i)].shapefile);
  }
  s.endArray();
}

void forgetWindowMemory() {
  store().clear();
}

}  // namespace gui
