#include "gui/frm_error_report.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/program_objects.h"
#include "gui/window_support.h"

namespace gui {
namespace {

// "ErrorReport" holds a number; a text that is none counts as "off".
bool numberIsZero(const std::string& value) {
  char* end = nullptr;
  const double number = std::strtod(value.c_str(), &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  return end != value.c_str() && end && *end == '\0' && number == 0.0;
}

}  // namespace

frmErrorReport::frmErrorReport(QWidget* parent) : QDialog(parent) {
  setObjectName("frmErrorReport");
  setWindowTitle("Fehlerprotokoll");
  setModal(true);

  auto* headline = new QLabel("Aktivierung / Deaktivierung der Fehleranalyse", this);
  headline->setObjectName("lblHeadline");
  QFont bold = headline->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  headline->setFont(bold);

  auto* frame = new QGroupBox("Aktivierung der Fehleranalyse", this);
  frame->setObjectName("fraErrorFile");
  chkErrorReport_ = new QCheckBox("Fehlerprotokoll erzeugen", frame);
  chkErrorReport_->setObjectName("chkErrorReport");
  lblReportFile_ = new QLabel("Keine Fehleranalyse aktiviert", frame);
  lblReportFile_->setObjectName("lblReportFile");
  lblReportFile_->setWordWrap(true);
  lblReportFile_->setMinimumWidth(360);
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->addWidget(chkErrorReport_);
  frameLayout->addWidget(lblReportFile_);

  const DialogButtons dialog = dialogButtons(this, "OK");
  QPushButton* ok = dialog.confirm;
  QPushButton* cancel = dialog.cancel;
  QHBoxLayout* buttons = dialog.row;

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headline);
  layout->addWidget(frame);
  layout->addLayout(buttons);

  connect(chkErrorReport_, &QCheckBox::toggled, this,
          [this](bool ticked) { chkErrorReportChanged(ticked); });
  connect(ok, &QPushButton::clicked, this, [this] { cmdExitClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  // Loading ticks the box exactly as a click does, so a stored "on" starts the log here too.
  const std::string stored = app::settings().get(app::kErrorReport);
  if (!stored.empty() && !app::settings().get(app::kDataFilesPfad).empty())
    chkErrorReport_->setChecked(numberIsZero(stored));
}

void frmErrorReport::chkErrorReportChanged(bool ticked) {
  if (!ticked) {
    enabled_ = false;
    lblReportFile_->setText("Keine Fehleranalyse aktiviert");
    return;
  }
  const std::string folder = app::settings().get(app::kDataFilesPfad);
  if (folder.empty()) {
    app::ui().message(app::MessageIcon::Information,
                      "Sie müssen erst die Pfade korrekt eingestellt haben, bevor Sie die "
                      "Fehleranalyse aktivieren können.");
    chkErrorReport_->setChecked(false);
  } else {
    enabled_ = true;
    lblReportFile_->setText(qs(folder + "/" + app::kLogFileName));
  }
  if (!app::g_Debug().Init())
    app::ui().message(app::MessageIcon::None,
                      "Die Fehleranalyse konnte nicht gestartet werden. Bitte überprüfen Sie die "
                      "Einstellung der Pfade.");
}

void frmErrorReport::cmdExitClick() {
  app::settings().set(app::kErrorReport, enabled_ ? "0" : "1");
  accept();
}

}  // namespace gui
