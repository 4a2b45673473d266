#include "app/qsettings_store.h"

#include <QSettings>
#include <QString>

#include "base/run_files.h"

namespace app {
namespace {

// QSettings without an application name keeps one file per organization.
QSettings openStore() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quelbrix2");
}

QString qualified(const std::string& key) {
  return QStringLiteral("DefaultUser/") + QString::fromStdString(key);
}

// When the file was last written and its size (a write within the clock's tick mostly changes
// the size), or nothing when it does not exist yet.
std::pair<std::filesystem::file_time_type, std::uintmax_t> stampOf(
    const std::filesystem::path& file) {
  std::error_code ec1, ec2;
  const auto time = std::filesystem::last_write_time(file, ec1);
  const auto size = std::filesystem::file_size(file, ec2);
  if (ec1 || ec2) return {};
  return {time, size};
}

}  // namespace

std::string QSettingsStore::get(const std::string& key) const {
  std::lock_guard lock(mutex_);
  // Another program (the command line beside the windows) may have changed the file; a run
  // works with the settings it started with.
  if (!base::keptSince(seenInRun_)) {
    if (file_.empty()) file_ = openStore().fileName().toStdString();
    if (const auto stamp = stampOf(file_); stamp != stamp_) {
      values_.clear();
      stamp_ = stamp;
    }
    seenInRun_ = base::keptRun();
  }
  if (auto found = values_.find(key); found != values_.end()) return found->second;
  QSettings store = openStore();
  std::string value = store.value(qualified(key), QString()).toString().toStdString();
  values_[key] = value;
  return value;
}

void QSettingsStore::set(const std::string& key, const std::string& value) {
  std::lock_guard lock(mutex_);
  QSettings store = openStore();
  store.setValue(qualified(key), QString::fromStdString(value));
  store.sync();
  values_.clear();
  if (file_.empty()) file_ = store.fileName().toStdString();
  stamp_ = stampOf(file_);
}

}  // namespace app
