#include <gtest/gtest.h>

#include "shape/c_file_name.h"
#include "shape_test_support.h"

using shape::CFileName;
using shapetest::raised;

// Linux folder names hold what Windows names may not: network shares mounted by the desktop
// carry ":", "=" and ",", and "..", "//", "*" or "?" are ordinary characters.
TEST(CFileName, setFileSpec_anyAbsoluteLinuxPath_splitsAndSwitchesParts) {
  struct Case {
    std::string spec, base, folder;
  };
  for (const Case& c :
       {Case{"/Daten/Polygone.shp", "Polygone", "/Daten/"}, Case{"/a.b", "a", "/"},
        Case{"/run/user/1000/gvfs/smb-share:server=nas,share=gis/ffh.shp", "ffh",
             "/run/user/1000/gvfs/smb-share:server=nas,share=gis/"},
        Case{"/Daten/../x.shp", "x", "/Daten/../"},
        Case{"//server/share/a.shp", "a", "//server/share/"},
        Case{"/a/b*?|<>\"c.shp", "b*?|<>\"c", "/a/"}, Case{"/a..b.shp", "a..b", "/"},
        Case{"/my.data/C:Polygone.v2.shp", "C:Polygone.v2", "/my.data/"}}) {
    CFileName f;
    f.SetFileSpec(c.spec);
    EXPECT_EQ(f.GetFileSpec(), c.spec);
    EXPECT_EQ(f.GetBaseName(), c.base) << c.spec;
    f.SetExtension("shx");
    EXPECT_EQ(f.GetExtension(), "shx");
    EXPECT_EQ(f.GetFileSpec(), c.folder + c.base + ".shx");
    f.SetBaseName("x");
    EXPECT_EQ(f.GetFileSpec(), c.folder + "x.shx");
  }
}

TEST(CFileName, setFileSpec_invalid_refusedAndPreviousKept) {
  CFileName f;
  f.SetFileSpec("/Daten/Polygone.shp");
  for (const std::string& bad :
       {std::string(), std::string("Polygone.shp"), std::string("Daten/Polygone.shp"),
        std::string("C:/a.shp"), std::string("/Daten/Polygone"), std::string("/my.data/Polygone"),
        std::string("/Daten/.shp"), std::string("/Daten/a."), std::string("/a\0b.shp", 8)}) {
    auto e = raised([&] { f.SetFileSpec(bad); });
    EXPECT_EQ(e.number(), 0x80040203u) << bad;
    EXPECT_EQ(e.source(), "C_FileName::SetFileSpec") << bad;
    EXPECT_EQ(e.description(), "The FileSpec is invalid") << bad;
    EXPECT_EQ(f.GetFileSpec(), "/Daten/Polygone.shp") << bad;
  }
}

TEST(CFileName, setParts_emptySlashOrNulOrNoSpec_refused) {
  CFileName f;
  f.SetFileSpec("/Daten/Polygone.shp");
  auto e = raised([&] { f.SetExtension(""); });
  EXPECT_EQ(e.number(), 0x80040203u);
  EXPECT_EQ(e.source(), "C_FileName::SetExtension");
  e = raised([&] { f.SetBaseName("a/b"); });
  EXPECT_EQ(e.source(), "C_FileName::SetBaseName");
  EXPECT_EQ(raised([&] { f.SetBaseName(""); }).number(), 0x80040203u);
  EXPECT_EQ(raised([&] { f.SetExtension(std::string("s\0x", 3)); }).number(), 0x80040203u);
  EXPECT_EQ(f.GetFileSpec(), "/Daten/Polygone.shp");
  f.SetBaseName("a:b");
  EXPECT_EQ(f.GetFileSpec(), "/Daten/a:b.shp");
  CFileName empty;  // parts of an empty specification
  EXPECT_EQ(empty.GetExtension() + empty.GetBaseName(), "");
  EXPECT_EQ(raised([&] { empty.SetBaseName("x"); }).source(), "C_FileName::SetBaseName");
  empty.SetExtension("shx");
  EXPECT_EQ(empty.GetFileSpec(), "shx");
}
