#pragma once
// Qt's own dialogs (file chooser, question boxes) in German like every window of the program:
// Qt's German translations and, where the user's locale is not a German one, German formats.

class QCoreApplication;

namespace gui {

// Loads Qt's German translations (qtbase_de from Qt's translations folder) into app and makes
// German the default locale for Qt unless the user's locale is German already. Answers false
// when the translations are not installed; the program then goes on with Qt's English texts.
bool installGermanTranslations(QCoreApplication& app);

}  // namespace gui
