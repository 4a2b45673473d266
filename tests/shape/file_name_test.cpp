#include <gtest/gtest.h>

#include "shape/c_file_name.h"
#include "shape_test_support.h"

using shape::CFileName;
using shapetest::raised;

TEST(CFileName, setFileSpec_valid_splitsAndSwitchesParts) {
  CFileName f;
  f.SetFileSpec("/Daten/Polygone.shp");
  EXPECT_EQ(f.GetFileSpec(), "/Daten/Polygone.shp");
  EXPECT_EQ(f.GetBaseName(), "Polygone");
  EXPECT_EQ(f.GetExtension(), "shp");
  f.SetExtension("shx");
  EXPECT_EQ(f.GetFileSpec(), "/Daten/Polygone.shx");
  f.SetBaseName("x");
  EXPECT_EQ(f.GetFileSpec(), "/Daten/x.shx");
  f.SetFileSpec("/a.b");
  EXPECT_EQ(f.GetBaseName(), "a");
}

TEST(CFileName, setFileSpec_invalid_refusedAndPreviousKept) {
  CFileName f;
  f.SetFileSpec("/Daten/Polygone.shp");
  for (const char* bad :
       {"", "Polygone.shp", "Daten/Polygone.shp", "//server/share/a.shp", "/Daten/Polygone",
        "/a..b.shp", "/Daten//a.shp", "/a/b*.shp", "/a/b?.shp", "/a/b\".shp", "/a/b|c.shp",
        "/a/b>c.shp", "/a/b<c.shp", "/a:b.shp", "C:/a.shp", "1/a.shp", "/Daten/../x.shp"}) {
    auto e = raised([&] { f.SetFileSpec(bad); });
    EXPECT_EQ(e.number(), 0x80040203u) << bad;
    EXPECT_EQ(e.source(), "C_FileName::SetFileSpec") << bad;
    EXPECT_EQ(e.description(), "The FileSpec is invalid") << bad;
    EXPECT_EQ(f.GetFileSpec(), "/Daten/Polygone.shp") << bad;
  }
}

TEST(CFileName, setParts_badCharacters_refused) {
  CFileName f;
  f.SetFileSpec("/Daten/Polygone.shp");
  auto e = raised([&] { f.SetExtension(""); });
  EXPECT_EQ(e.number(), 0x80040203u);
  EXPECT_EQ(e.source(), "C_FileName::SetExtension");
  e = raised([&] { f.SetBaseName("a:b"); });
  EXPECT_EQ(e.source(), "C_FileName::SetBaseName");
  EXPECT_EQ(raised([&] { f.SetBaseName(""); }).number(), 0x80040203u);
  EXPECT_EQ(raised([&] { f.SetBaseName("a/b"); }).number(), 0x80040203u);
  EXPECT_EQ(raised([&] { f.SetExtension("s*"); }).number(), 0x80040203u);
  EXPECT_EQ(f.GetFileSpec(), "/Daten/Polygone.shp");
}

TEST(CFileName, parts_withoutExtensionOrSpec_answeredSoundly) {
  CFileName empty;
  EXPECT_EQ(empty.GetExtension(), "");
  EXPECT_EQ(empty.GetBaseName(), "");
  EXPECT_EQ(raised([&] { empty.SetBaseName("x"); }).source(), "C_FileName::SetBaseName");
  empty.SetExtension("shx");
  EXPECT_EQ(empty.GetFileSpec(), "shx");

  // A dotted folder above a name without extension: the extension is that of the file name.
  CFileName dotted;
  dotted.SetFileSpec("/my.data/Polygone");
  EXPECT_EQ(dotted.GetBaseName(), "Polygone");
  EXPECT_EQ(dotted.GetExtension(), "");
  dotted.SetExtension("shx");
  EXPECT_EQ(dotted.GetFileSpec(), "/my.data/Polygone.shx");
  dotted.SetBaseName("x");
  EXPECT_EQ(dotted.GetFileSpec(), "/my.data/x.shx");
}
