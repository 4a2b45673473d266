#include "gui/window_printing.h"

#include "app/program_objects.h"
#include "word/cls_word_doc.h"

namespace gui {

WindowPrinting::WindowPrinting(std::function<bool()> cancelled) {
  if (app::settings().get(app::kDataFilesPrint) != "1") return;
  print::PrintWaitRules rules;
  rules.cancelled = std::move(cancelled);
  printing_.emplace(false, nullptr, std::move(rules));
  std::string text;
  for (const auto& warning : printing_->warnings()) text += (text.empty() ? "" : "\n") + warning;
  if (!text.empty()) app::ui().message(app::MessageIcon::Warning, text);
  if (printing_->printing()) {
    word::clsWordDoc::setPrinter(printing_->printHook());
    hookInstalled_ = true;
  }
}

WindowPrinting::~WindowPrinting() {
  if (hookInstalled_) word::clsWordDoc::setPrinter({});
}

}  // namespace gui
