#include "gui/frm_info.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/cls_debug.h"
#include "gui/logo.h"

#ifndef QUELBRIX_DOC_DIR
#define QUELBRIX_DOC_DIR "/usr/local/share/doc/quelbrix"
#endif
#ifndef QUELBRIX_SOURCE_DIR
#define QUELBRIX_SOURCE_DIR ""
#endif
#ifndef QUELBRIX_BUILD_DATE
#define QUELBRIX_BUILD_DATE ""
#endif

namespace gui {

QString documentationFolder() {
  const QString installed = QStringLiteral(QUELBRIX_DOC_DIR);
  const QString candidates[] = {QCoreApplication::applicationDirPath() + "/../share/doc/quelbrix",
                                installed, QStringLiteral(QUELBRIX_SOURCE_DIR)};
  for (const QString& folder : candidates)
    if (!folder.isEmpty() && QFileInfo::exists(folder + "/README.md"))
      return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  return installed;
}

QString buildDate() {
  // Set from the configure step, which a user's build runs on the day it builds.
  const QDate date = QDate::fromString(QStringLiteral(QUELBRIX_BUILD_DATE), Qt::ISODate);
  return date.isValid() ? date.toString("dd.MM.yyyy") : QStringLiteral("unbekannt");
}

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
  QLabel* version = label("lblVersion", QString("Version: ") + app::kProgramVersion);
  QLabel* built = label("lblBuildDate", "Erstellt am " + buildDate());
  // Help is where the documentation lies; the box names no address that nobody answers.
  QLabel* docs = label("lblKontakt", "Dokumentation:\n" + documentationFolder());
  docs->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QLabel* rights = label("lblCopright", "© 2026 Tarnholm. Alle Rechte vorbehalten.");

  auto* text = new QVBoxLayout;
  text->addWidget(head);
  text->addSpacing(8);
  text->addWidget(version);
  text->addWidget(built);
  text->addSpacing(8);
  text->addWidget(docs);
  text->addSpacing(8);
  text->addWidget(rights);

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
