#pragma once
// Settings kept with QSettings in user scope: organization "Quelbrix2", group "DefaultUser"
// (~/.config/Quelbrix2.conf, or below $XDG_CONFIG_HOME).

#include "app/settings.h"

namespace app {

class QSettingsStore : public Settings {
 public:
  std::string get(const std::string& key) const override;
  void set(const std::string& key, const std::string& value) override;
};

}  // namespace app
