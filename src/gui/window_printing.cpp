#include "gui/window_printing.h"

#include "app/program_objects.h"
#include "print/printer_jobs_instance.h"
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

void WindowPrinting::startRun() {
  if (!printing()) return;
  handedBefore_ = printing_->handedToPrinter();
  leftBefore_ = printing_->leftQueue();
}

std::string WindowPrinting::runSummary() const {
  if (!printing()) return {};
  const int handed = printing_->handedToPrinter() - handedBefore_;
  const int left = printing_->leftQueue() - leftBefore_;
  if (handed <= 0) return {};
  const std::string count = std::to_string(handed) + " Dokument(e) ";
  const std::string device = printing_->deviceName();
  if (left == handed) return count + "auf " + device + " gedruckt.";
  return count + "an den Drucker " + device + " übergeben: " + std::to_string(left) +
         " gedruckt, " + std::to_string(handed - left) + " noch in der Warteschlange.";
}

std::string WindowPrinting::printerState() const {
  print::CPrinterJobs* jobs = print::g_PrinterJobs();
  if (!printing() || !jobs) return {};
  const print::PrinterState state = jobs->printerState();
  const std::string device = "Der Drucker " + jobs->DeviceName();
  if (!state.stopped) return device + " ist bereit.";
  return device + " ist angehalten" + (state.reasons.empty() ? "" : " (" + state.reasons + ")") +
         ".";
}

WindowPrinting::~WindowPrinting() {
  if (hookInstalled_) word::clsWordDoc::setPrinter({});
}

}  // namespace gui
