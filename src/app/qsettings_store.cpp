#include "app/qsettings_store.h"

#include <QSettings>
#include <QString>

namespace app {
namespace {

// QSettings without an application name keeps one file per organization.
QSettings openStore() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quelbrix2"); }

QString qualified(const std::string& key) {
  return QStringLiteral("DefaultUser/") + QString::fromStdString(key);
}

}  // namespace

std::string QSettingsStore::get(const std::string& key) const {
  QSettings store = openStore();
  return store.value(qualified(key), QString()).toString().toStdString();
}

void QSettingsStore::set(const std::string& key, const std::string& value) {
  QSettings store = openStore();
  store.setValue(qualified(key), QString::fromStdString(value));
  store.sync();
}

}  // namespace app
