#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "support/temp_dir.h"
#include "test_package.h"
#include "word/docx/document.h"
#include "word/docx/protection.h"
#include "word/docx/settings_editor.h"
#include "word/docx/xml_util.h"

using ::testing::HasSubstr;

namespace docx {
namespace {

using test::buildTemplate;
using test::para;
using test::partText;
using test::partXml;

// The ISO/IEC 29500 password hash, written out independently of the engine: SHA-512 over salt
// and UTF-16LE password, then rounds over hash and little-endian round number.
std::vector<unsigned char> referenceHash(const std::string& asciiPassword,
                                         const std::vector<std::uint8_t>& salt, unsigned spins) {
  std::vector<unsigned char> data(salt.begin(), salt.end());
  for (char c : asciiPassword) {
    data.push_back(static_cast<unsigned char>(c));
    data.push_back(0);
  }
  std::vector<unsigned char> h(64);
  unsigned len = 0;
  EVP_Digest(data.data(), data.size(), h.data(), &len, EVP_sha512(), nullptr);
  for (unsigned i = 0; i < spins; ++i) {
    std::vector<unsigned char> in(h);
    for (int k = 0; k < 4; ++k) in.push_back(static_cast<unsigned char>((i >> (8 * k)) & 0xFF));
    EVP_Digest(in.data(), in.size(), h.data(), &len, EVP_sha512(), nullptr);
  }
  return h;
}

TEST(protection_forms, stores_only_a_verifiable_salted_hash) {
  Document doc = test::openBody(para("x"));
  EXPECT_EQ(doc.protectionType(), -1);
  EXPECT_THROW(doc.protectForms(""), DocxError);
  EXPECT_EQ(doc.protectionType(), -1);
  EXPECT_NE(randomPassword(16), randomPassword(16));
  const std::string password = doc.protectFormsWithRandomPassword(1000);
  EXPECT_EQ(password.size(), 16u);
  EXPECT_EQ(doc.protectionType(), 2);
  const std::string bytes = doc.toBytes();
  const std::string settingsText = partText(bytes, "word/settings.xml");
  EXPECT_EQ(settingsText.find(password), std::string::npos);
  auto xml = partXml(bytes, "word/settings.xml");
  pugi::xml_node p = xml->document_element().child("w:documentProtection");
  ASSERT_TRUE(p);
  EXPECT_STREQ(p.attribute("w:edit").value(), "forms");
  EXPECT_STREQ(p.attribute("w:enforcement").value(), "1");
  EXPECT_STREQ(p.attribute("w:algorithmName").value(), "SHA-512");
  EXPECT_EQ(p.attribute("w:spinCount").as_uint(), 1000u);
  const auto salt = base64Decode(p.attribute("w:saltValue").value());
  EXPECT_EQ(salt.size(), 16u);
  const auto stored = base64Decode(p.attribute("w:hashValue").value());
  EXPECT_EQ(std::vector<unsigned char>(stored.begin(), stored.end()),
            referenceHash(password, salt, 1000));
  EXPECT_NE(std::vector<unsigned char>(stored.begin(), stored.end()),
            referenceHash(password + "x", salt, 1000));
  // Schema order: behind zoom, in front of the default tab stop.
  EXPECT_TRUE(is(p.previous_sibling(), "w:zoom"));
  EXPECT_TRUE(is(p.next_sibling(), "w:defaultTabStop"));
  // Read back after reopening.
  EXPECT_EQ(Document::fromBytes(bytes, "again.docx").protectionType(), 2);
}

TEST(protection_forms, creates_missing_settings_part) {
  Document doc =
      Document::fromBytes(buildTemplate({para("x"), "", "", false, false, ""}), "p.dotx");
  doc.protectForms("12345678", 10);
  doc.setPrintLayoutView();
  doc.setLanguageGerman();
  const std::string bytes = doc.toBytes();
  Document again = Document::fromBytes(bytes, "again.docx");
  EXPECT_EQ(again.protectionType(), 2);
  EXPECT_THAT(partText(bytes, "[Content_Types].xml"), HasSubstr("/word/settings.xml"));
  EXPECT_THAT(partText(bytes, "word/_rels/document.xml.rels"), HasSubstr("Target=\"styles.xml\""));
}

// Documents from one cached template share its parts' bytes; what is learnt about them for
// one document must hold for the next, whether the template needed changing or not.
TEST(document_settings, german_language_and_print_view_for_every_document_of_a_template) {
  testsupport::TempDir dir;
  // The body's language, and whether the styles are German already.
  for (const auto& [lang, germanStyles] :
       {std::pair{"en-GB", false}, std::pair{"de-DE", false}, std::pair{"de-DE", true}}) {
    const std::string body = std::string("<w:p><w:r><w:rPr><w:lang w:val=\"") + lang +
                             "\"/></w:rPr><w:t>x</w:t></w:r></w:p>";
    std::string package = buildTemplate(body);
    if (germanStyles) {
      package = test::withPart(package, "word/styles.xml", [](std::string xml) {
        return xml.replace(xml.find("en-US"), 5, "de-DE");
      });
    }
    const std::string name = std::string(lang) + (germanStyles ? "-de" : "") + ".dotx";
    const auto file = test::writeFile(dir.path() / name, package);
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(name + " round " + std::to_string(round));
      Document doc = Document::open(file);
      doc.setLanguageGerman();
      doc.setPrintLayoutView();
      const std::string bytes = doc.toBytes();
      auto document = partXml(bytes, "word/document.xml");
      pugi::xml_node l = document->find_node([](pugi::xml_node n) { return is(n, "w:lang"); });
      EXPECT_STREQ(l.attribute("w:val").value(), "de-DE");
      auto styles = partXml(bytes, "word/styles.xml");
      const char* defaultLang = "/w:styles/w:docDefaults/w:rPrDefault/w:rPr/w:lang/@w:val";
      EXPECT_STREQ(styles->select_node(defaultLang).attribute().value(), "de-DE");
      // Styles that need no change are stored as the template holds them.
      if (germanStyles) {
        EXPECT_EQ(partText(bytes, "word/styles.xml"), partText(package, "word/styles.xml"));
      }
      auto settings = partXml(bytes, "word/settings.xml");
      pugi::xml_node view = settings->document_element().first_child();
      EXPECT_TRUE(is(view, "w:view"));  // first in schema order
      EXPECT_STREQ(view.attribute("w:val").value(), "print");
    }
  }
}

}  // namespace
}  // namespace docx
