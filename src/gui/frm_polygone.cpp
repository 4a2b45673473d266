#include "gui/frm_polygone.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/frm_ausgabe.h"
#include "gui/window_support.h"

namespace gui {

frmPolygone::frmPolygone(frmAusgabe& owner) : QDialog(&owner), owner_(owner) {
  setObjectName("frmPolygone");
  setWindowTitle("Ausgewählte Geländebögen");
  setModal(true);
  owner_.setConfirmed(false);

  auto* headline = new QLabel("Ausgewählte Geländebögen", this);
  headline->setObjectName("lblHeadline");
  QFont bold = headline->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  headline->setFont(bold);
  lblAnzahl_ = new QLabel(this);
  lblAnzahl_->setObjectName("lblAnzahl");
  lslPolygone_ = new QListWidget(this);
  lslPolygone_->setObjectName("lslPolygone");
  lslPolygone_->setMinimumSize(300, 260);
  chkCreateDeckblatt_ = new QCheckBox("Jeden Bogen mit Deckblatt erzeugen", this);
  chkCreateDeckblatt_->setObjectName("chkCreateDeckblatt");

  auto* generate = new QPushButton("Generieren", this);
  generate->setObjectName("cmdGenerate");
  generate->setDefault(true);
  auto* cancel = new QPushButton("Abbrechen", this);
  cancel->setObjectName("cmdCancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(generate);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headline);
  layout->addWidget(lblAnzahl_);
  layout->addWidget(lslPolygone_, 1);
  layout->addWidget(chkCreateDeckblatt_);
  layout->addLayout(buttons);

  connect(generate, &QPushButton::clicked, this, [this] {
    owner_.setCreateDecklatt(chkCreateDeckblatt_->isChecked());
    owner_.setConfirmed(true);
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    owner_.setConfirmed(false);
    reject();
  });
}

int16_t frmPolygone::FillListViewBoegen(const sheets::Selection& selection) {
  lblAnzahl_->setText(qs(sheets::selectionHeadline(selection)));
  lslPolygone_->clear();
  for (const auto& [key, item] : selection.keys)
    lslPolygone_->addItem(qs(sheets::selectionEntry(key)));
  return 100;
}

}  // namespace gui
