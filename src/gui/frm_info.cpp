#include "gui/frm_info.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/cls_debug.h"
#include "gui/logo.h"

namespace gui {

frmInfo::frmInfo(QWidget* parent) : QDialog(parent) {
  setObjectName("frmInfo");
  setWindowTitle("Information");
  setModal(true);

  auto* logo = new QLabel(this);
  logo->setObjectName("imgLogo");
  logo->setPixmap(logoPixmap(96));
  logo->setAlignment(Qt::AlignTop);

  auto label = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  QLabel* head = label("lblHead", "Quelbrix\nDatenausgabe für die Erfassung der FFH-Gebiete");
  QFont bold = head->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.25);
  head->setFont(bold);
  QLabel* rights = label("lblCopright", "© 2026 Tarnholm. Alle Rechte vorbehalten.");
  QLabel* contact = label("lblKontakt", "Kontakt: support@tarnholm.example");
  QLabel* maker = label("lblHersteller", "Hersteller: Tarnholm Software für Landschaftsdaten");
  QLabel* url = label("lblHerstellerUrl", "https://tarnholm.example");
  QLabel* version = label("lblVersion", QString("Version: ") + app::kProgramVersion);

  auto* text = new QVBoxLayout;
  text->addWidget(head);
  text->addSpacing(8);
  text->addWidget(version);
  text->addSpacing(8);
  text->addWidget(rights);
  text->addWidget(contact);
  text->addWidget(maker);
  text->addWidget(url);

  auto* top = new QHBoxLayout;
  top->addWidget(logo);
  top->addSpacing(12);
  top->addLayout(text, 1);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdExit");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
}

}  // namespace gui
