#include "app/document_manifest.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using app::DocumentManifest;

DocumentManifest::Entry entry(unsigned char seed, std::uint64_t size) {
  DocumentManifest::Entry e;
  e.inputs.fill(seed);
  e.file = {size, 1796643764, 275249020, 11059249};
  return e;
}

// The list read back is the list written; the file is never followed through a link.
TEST(DocumentManifest, WriteRead_RoundTripAndNoLink) {
  testsupport::TempDir dir;
  EXPECT_EQ(DocumentManifest::read(dir.path()).state(), DocumentManifest::State::kMissing);
  DocumentManifest list = DocumentManifest::read(dir.path());
  list.set("GN/123001000011GN.docx", entry(1, 16111));
  list.set("Report/12300100001Deckblatt.docx", entry(2, 9000));
  list.set("Report/12300100001Dossier.pdf", entry(3, 1));
  list.erase("Report/12300100001Dossier.pdf");
  ASSERT_EQ(list.write(dir.path()), "");
  const DocumentManifest again = DocumentManifest::read(dir.path());
  EXPECT_EQ(again.state(), DocumentManifest::State::kRead);
  EXPECT_EQ(again.size(), 2u);
  ASSERT_NE(again.find("GN/123001000011GN.docx"), nullptr);
  EXPECT_EQ(*again.find("GN/123001000011GN.docx"), entry(1, 16111));
  EXPECT_EQ(again.find("Report/12300100001Dossier.pdf"), nullptr);

  const auto file = dir.path() / app::kManifestFileName;
  std::filesystem::rename(file, dir.path() / "elsewhere");
  std::filesystem::create_symlink(dir.path() / "elsewhere", file);
  EXPECT_EQ(DocumentManifest::read(dir.path()).state(), DocumentManifest::State::kDamaged);
  EXPECT_NE(list.write(dir.path()), "");
  EXPECT_TRUE(std::filesystem::is_symlink(file));
}

// Whatever is wrong with the text, it is damaged as a whole: no half list is taken for a whole.
TEST(DocumentManifest, Parse_DamageOfAnyKindIsRefused) {
  DocumentManifest list;
  list.set("GN/123001000011GN.docx", entry(1, 16111));
  const std::string sound = list.text();
  ASSERT_TRUE(DocumentManifest::parse(sound));
  const std::size_t body = sound.find('\n') + 1;
  const std::string line = sound.substr(body, sound.find('\n', body) + 1 - body);
  std::string flipped = sound;
  flipped[body] = flipped[body] == '0' ? '1' : '0';
  const std::string cases[] = {
      "",
      sound.substr(0, sound.size() - 10),                           // cut off
      sound.substr(0, body) + line + sound.substr(body),            // a line twice
      flipped,                                                      // a digit changed
      "Quelbrix-Dokumentliste 2" + sound.substr(sound.find('\n')),  // another version
  };
  for (const auto& text : cases) EXPECT_FALSE(DocumentManifest::parse(text)) << text;
  // A line that names a place outside the folder is refused even with a right digest.
  for (const char* path : {"../x.docx", "/tmp/x.docx", "GN/../../x.docx", "GN//x.docx"}) {
    DocumentManifest bad;
    bad.set(path, entry(1, 1));
    EXPECT_FALSE(DocumentManifest::parse(bad.text())) << path;
  }
}

}  // namespace
