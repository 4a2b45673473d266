#include "base/system_error_text.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "base/atomic_write.h"

namespace {

// The causes a user can mend read in German; a save words them for its target; anything else
// keeps its number for a support request.
TEST(SystemErrorText, text_forErrno_isGermanOrNumbered) {
  struct Case {
    int error;
    const char* system;
    const char* save;
  };
  for (const Case& c : {Case{ENOENT, "nicht vorhanden", "der Ordner existiert nicht"},
                        Case{EACCES, "keine Berechtigung", "keine Schreibberechtigung"},
                        Case{ENOSPC, "der Datenträger ist voll", "der Datenträger ist voll"},
                        Case{EISDIR, "ist ein Ordner", "ist ein Ordner"}}) {
    EXPECT_EQ(base::systemErrorText(c.error), c.system) << c.error;
    EXPECT_EQ(base::fileErrorText(c.error), c.save) << c.error;
  }
  EXPECT_EQ(base::systemErrorText(EBADF).substr(0, 16), "Systemfehler 9 (");
}

}  // namespace
