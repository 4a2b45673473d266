#include "app/settings.h"

namespace app {

std::string MemorySettings::get(const std::string& key) const {
  auto it = values_.find(key);
  return it == values_.end() ? std::string() : it->second;
}

void MemorySettings::set(const std::string& key, const std::string& value) {
  values_[key] = value;
}

OverlaySettings::OverlaySettings(std::unique_ptr<Settings> base) : base_(std::move(base)) {}

void OverlaySettings::override(const std::string& key, const std::string& value) {
  overrides_[key] = value;
}

std::string OverlaySettings::get(const std::string& key) const {
  auto it = overrides_.find(key);
  return it != overrides_.end() ? it->second : base_->get(key);
}

void OverlaySettings::set(const std::string& key, const std::string& value) {
  overrides_.erase(key);
  base_->set(key, value);
}

}  // namespace app
