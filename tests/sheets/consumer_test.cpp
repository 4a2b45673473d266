// A clean copy made from the real template, opened by real consumers: LibreOffice must convert
// it (a document it had to repair or could not read fails or loses text) and python-docx must
// find the values in the document's paragraphs and tables.

#include <gtest/gtest.h>


#include "sheets/generation_fixture.h"
#include "sheets/mod_ffh_bogen.h"
#include "support/shell.h"

namespace {

using testsupport::runCommand;

class ConsumerTest : public testsupport::GenerationFixture {};

TEST_F(ConsumerTest, CleanCopy_OpensInLibreOfficeAndPythonDocx) {
  const bool soffice = runCommand("command -v soffice >/dev/null") == 0;
  const bool pythonDocx = runCommand("/usr/bin/python3 -c 'import docx'") == 0;
  if (!soffice || !pythonDocx)
    GTEST_SKIP() << "LibreOffice (soffice) or python-docx for /usr/bin/python3 is not installed; "
                    "scripts/install-deps.sh test installs both";

  const std::string key = keyOf("K");
  std::vector<std::string> messages;
  ASSERT_EQ(sheets::FfhBogenGenerateBoegen(key, database_, messages), 100);
  const auto file = documentOf(key);
  docx::Document doc = docx::Document::open(file);
  const std::string name = testsupport::markText(doc, "NAME");
  ASSERT_FALSE(name.empty());

  std::string text;
  ASSERT_EQ(runCommand("/usr/bin/python3 -c \"import docx,sys; d=docx.Document(sys.argv[1]); "
                "print('\\n'.join([p.text for p in d.paragraphs] + [c.text for t in d.tables "
                "for r in t.rows for c in r.cells] + [p.text for p in "
                "d.sections[0].header.paragraphs]))\" '" + file.string() + "'",
                &text),
            0);
  EXPECT_NE(text.find(name), std::string::npos);
  const std::string code = key.substr(0, 12);
  EXPECT_NE(text.find(code.substr(0, 3) + " " + code.substr(3, 3)), std::string::npos);

  const auto pdfDir = dir_.path() / "pdf";
  ASSERT_EQ(runCommand("soffice --headless -env:UserInstallation=file://" + (dir_.path() / "lo").string() +
                " --convert-to pdf --outdir '" + pdfDir.string() + "' '" + file.string() + "'"),
            0);
  const auto pdf = pdfDir / (key + ".pdf");
  ASSERT_TRUE(std::filesystem::exists(pdf));
  if (runCommand("command -v pdftotext >/dev/null") == 0) {
    std::string pdfText;
    ASSERT_EQ(runCommand("pdftotext '" + pdf.string() + "' -", &pdfText), 0);
    EXPECT_NE(pdfText.find(name.substr(0, name.find(' '))), std::string::npos) << pdfText;
  }
}

}  // namespace
