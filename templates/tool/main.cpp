// quelbrix_make_templates FORMS PACKAGE OUT: builds the 21 document templates from the form
// sources in FORMS and the shared package parts in PACKAGE into the folder OUT.

#include <filesystem>
#include <iostream>

#include "form_error.h"
#include "template_set.h"
#include "zip_package.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: quelbrix_make_templates FORMS PACKAGE OUT\n";
    return 2;
  }
  const std::filesystem::path forms = argv[1];
  const std::filesystem::path package = argv[2];
  const std::filesystem::path out = argv[3];
  try {
    std::filesystem::create_directories(out);
    const auto specs = forms::templateSpecs();
    for (const auto& spec : specs)
      forms::writeZipPackage(out / spec.fileName, forms::buildTemplate(spec, forms, package));
    std::cout << "quelbrix_make_templates: " << specs.size() << " templates in " << out.string()
              << "\n";
  } catch (const std::exception& e) {
    std::cerr << "quelbrix_make_templates: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
