#pragma once
// The per-user settings store: five string keys, a missing key reads as "".

#include <map>
#include <memory>
#include <string>

namespace app {

// Keys of the store, section "DefaultUser" of the application "Quelbrix2".
inline constexpr const char* kShapeFilesPfad = "ShapeFilesPfad";
inline constexpr const char* kDbfFilesPfad = "DbfFilesPfad";
inline constexpr const char* kDataFilesPfad = "DataFilesPfad";
inline constexpr const char* kDataFilesPrint = "DataFilesPrint";
inline constexpr const char* kErrorReport = "ErrorReport";

class Settings {
 public:
  virtual ~Settings() = default;
  // Value stored under key, or "" when the key is absent.
  virtual std::string get(const std::string& key) const = 0;
  virtual void set(const std::string& key, const std::string& value) = 0;
};

// Settings held in memory only: for tests and for one-run overrides.
class MemorySettings : public Settings {
 public:
  std::string get(const std::string& key) const override;
  void set(const std::string& key, const std::string& value) override;

 private:
  std::map<std::string, std::string> values_;
};

// A store that answers from overrides first and falls back to a base store; writes go to the
// base. The CLI uses it for --db/--shape/--out/--log, which must not be stored.
class OverlaySettings : public Settings {
 public:
  explicit OverlaySettings(std::unique_ptr<Settings> base);
  void override(const std::string& key, const std::string& value);
  std::string get(const std::string& key) const override;
  void set(const std::string& key, const std::string& value) override;

 private:
  std::unique_ptr<Settings> base_;
  std::map<std::string, std::string> overrides_;
};

}  // namespace app
