#pragma once
// Settings kept with QSettings in user scope: organization "Quelbrix2", group "DefaultUser"
// (~/.config/Quelbrix2.conf, or below $XDG_CONFIG_HOME). Values read are kept until the file
// changes, since a run asks for the same few settings for every document. Safe to share
// between threads.

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "app/settings.h"

namespace app {

class QSettingsStore : public Settings {
 public:
  std::string get(const std::string& key) const override;
  void set(const std::string& key, const std::string& value) override;

 private:
  mutable std::mutex mutex_;
  mutable std::map<std::string, std::string> values_;
  mutable std::filesystem::path file_;  // the settings file, found on first use
  mutable std::pair<std::filesystem::file_time_type, std::uintmax_t> stamp_{};
  mutable std::uint64_t seenInRun_ = 0;  // base::keptRun() when the file was last looked at
};

}  // namespace app
