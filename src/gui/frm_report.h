#pragma once
// The report window "Datenreport": FFH area, sub-area and polygon lists (parts of a polygon
// folded into one row), the map of the polygon clicked last as its cover sheet will show it,
// and the data-report run, polygon by polygon. It borrows the database object from the main
// window for as long as it is open.

#include "gui/generation_window.h"
#include "report/report_run.h"

namespace gui {

class PolygonPreview;

class frmReport : public GenerationWindow {
 public:
  explicit frmReport(QWidget* parent = nullptr);

  // Keeps db (which must outlive the window) and fills the area list from its sheets.
  void setDBFData(data::clsDBFData& db);
  void SetBogenNumbers(const data::TextSet& sheets, const data::AreaRoots& roots);

  // The summary of the last run.
  const report::ReportSummary& lastRun() const { return lastRun_; }
  // The polygon codes the lists stand for: area × sub-area × polygon, in list order.
  std::vector<std::string> selectedPolygonCodes() const { return areas_.selectedPolygonCodes(); }
  // The polygon whose map the window shows, empty for none.
  const std::string& previewedPolygon() const { return previewed_; }

 private:
  void generate() override;
  void runModeChanged(bool running) override;
  void areaClicked(int level) override;
  bool generateAllowed() const override { return polygonClicked_; }
  void rememberChoices() override;
  void recallChoices() override;
  // Shows the map of the polygon row clicked last, in the first chosen area and sub-area that
  // have it.
  void showPreview();

  QCheckBox* chkDossier_;  // "Je Polygon eine PDF-Mappe"
  QLabel* lblKarte_;
  PolygonPreview* picKarte_;
  std::string previewed_;
  data::TextSet sheets_;
  // The generate button waits for a click in the polygon list.
  bool polygonClicked_ = false;
  report::ReportSummary lastRun_;
};

}  // namespace gui
