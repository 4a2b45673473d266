// A clean copy made from the real template, opened by real consumers: LibreOffice must convert
// it (a document it had to repair or could not read fails or loses text) and python-docx must
// find the values in the document's paragraphs and tables.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "sheets/generation_fixture.h"
#include "sheets/mod_ffh_bogen.h"

namespace {

struct PipeCloser {
  void operator()(FILE* f) const { pclose(f); }
};

int run(const std::string& command, std::string* output = nullptr) {
  std::unique_ptr<FILE, PipeCloser> pipe(popen((command + " 2>/dev/null").c_str(), "r"));
  if (!pipe) return -1;
  std::string out;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
    out.append(buffer.data(), n);
  const int status = pclose(pipe.release());
  if (output) *output = out;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ConsumerTest : public testsupport::GenerationFixture {};

TEST_F(ConsumerTest, CleanCopy_OpensInLibreOfficeAndPythonDocx) {
  const bool soffice = run("command -v soffice >/dev/null") == 0;
  const bool pythonDocx = run("/usr/bin/python3 -c 'import docx'") == 0;
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
  ASSERT_EQ(run("/usr/bin/python3 -c \"import docx,sys; d=docx.Document(sys.argv[1]); "
                "print('\\n'.join([p.text for p in d.paragraphs] + [c.text for t in d.tables "
                "for r in t.rows for c in r.cells] + [p.text for p in "
                "d.sections[0].header.paragraphs]))\" '" + file.string() + "'",
                &text),
            0);
  EXPECT_NE(text.find(name), std::string::npos);
  const std::string code = key.substr(0, 12);
  EXPECT_NE(text.find(code.substr(0, 3) + " " + code.substr(3, 3)), std::string::npos);

  const auto pdfDir = dir_.path() / "pdf";
  ASSERT_EQ(run("soffice --headless -env:UserInstallation=file://" + (dir_.path() / "lo").string() +
                " --convert-to pdf --outdir '" + pdfDir.string() + "' '" + file.string() + "'"),
            0);
  const auto pdf = pdfDir / (key + ".pdf");
  ASSERT_TRUE(std::filesystem::exists(pdf));
  if (run("command -v pdftotext >/dev/null") == 0) {
    std::string pdfText;
    ASSERT_EQ(run("pdftotext '" + pdf.string() + "' -", &pdfText), 0);
    EXPECT_NE(pdfText.find(name.substr(0, name.find(' '))), std::string::npos) << pdfText;
  }
}

}  // namespace
