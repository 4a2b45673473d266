#include "app/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSettings>
#include <cstdlib>

#include "app/qsettings_store.h"
#include "support/temp_dir.h"

using ::testing::HasSubstr;

namespace {

TEST(Settings, QSettingsStore_StoresUnderOrganizationAndGroup) {
  testsupport::TempDir dir;
  setenv("XDG_CONFIG_HOME", dir.str().c_str(), 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     QString::fromStdString(dir.str()));
  app::QSettingsStore store;
  EXPECT_EQ(store.get(app::kDbfFilesPfad), "");
  store.set(app::kDbfFilesPfad, "/daten/ffh");
  store.set(app::kErrorReport, "0");
  EXPECT_EQ(app::QSettingsStore().get(app::kDbfFilesPfad), "/daten/ffh");
  // Another program changes the file: the store reads it again.
  QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quelbrix2")
      .setValue("DefaultUser/DbfFilesPfad", "/daten/ffh-2026");
  EXPECT_EQ(store.get(app::kDbfFilesPfad), "/daten/ffh-2026");
  std::string ini = testsupport::readFile(dir.path() / "Quelbrix2.conf");
  EXPECT_THAT(ini, HasSubstr("[DefaultUser]"));
  EXPECT_THAT(ini, HasSubstr("DbfFilesPfad=/daten/ffh-2026"));
}

TEST(Settings, Overlay_OverridesReadFirstAndWritesGoToBase) {
  auto base = std::make_unique<app::MemorySettings>();
  base->set(app::kDataFilesPfad, "/gespeichert");
  app::MemorySettings* raw = base.get();
  app::OverlaySettings overlay(std::move(base));
  overlay.override(app::kDataFilesPfad, "/nur-dieser-lauf");
  EXPECT_EQ(overlay.get(app::kDataFilesPfad), "/nur-dieser-lauf");
  EXPECT_EQ(raw->get(app::kDataFilesPfad), "/gespeichert");
  overlay.set(app::kDataFilesPfad, "/neu");
  EXPECT_EQ(overlay.get(app::kDataFilesPfad), "/neu");
  EXPECT_EQ(raw->get(app::kDataFilesPfad), "/neu");
}

}  // namespace
