#include "gui/window_printing.h"

#include "app/program_objects.h"
#include "word/cls_word_doc.h"

namespace gui {

WindowPrinting::WindowPrinting(std::function<bool()> cancelled) : cancelled_(std::move(cancelled)) {
  if (app::settings().get(app::kDataFilesPrint) != "1") return;
  start();
  showWarnings();
  if (printing_->printing()) {
    word::clsWordDoc::setPrinter(printing_->printHook());
    hookInstalled_ = true;
  }
}

void WindowPrinting::start() {
  print::PrintWaitRules rules;
  rules.cancelled = cancelled_;
  printing_.emplace(false, nullptr, std::move(rules));
}

void WindowPrinting::showWarnings() const {
  std::string text;
  for (const auto& warning : printing_->warnings()) text += (text.empty() ? "" : "\n") + warning;
  if (!text.empty()) app::ui().message(app::MessageIcon::Warning, text);
}

print::DossierWriter& WindowPrinting::dossiers() {
  if (!printing_) start();
  const std::size_t warned = printing_->warnings().size();
  print::DossierWriter& writer = printing_->dossiers();
  if (printing_->warnings().size() > warned) showWarnings();
  return writer;
}

WindowPrinting::~WindowPrinting() {
  if (hookInstalled_) word::clsWordDoc::setPrinter({});
}

}  // namespace gui
