#include "gui/german_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace gui {

bool installGermanTranslations(QCoreApplication& app) {
  if (QLocale::system().language() != QLocale::German)
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(QLocale::German), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator.get()))
    return false;
  // The application owns it from now on, so that it lives as long as the texts it translates.
  translator.release()->setParent(&app);
  return true;
}

}  // namespace gui
