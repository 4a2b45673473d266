#pragma once
// What happens before any run: the path check, the table check and the connection, with the
// same messages the main window shows.

#include "data/cls_dbf_data.h"

namespace cli {

enum class Purpose { CleanCopies, Report };

// True when db is connected; otherwise the user has been told why. Provider errors while
// connecting reach the caller.
bool openSurvey(data::clsDBFData& db, Purpose purpose);

// For commands that only read the survey tables (list): the survey folder's part of the path
// check, with the same messages, then the table check and the connection. A folder that does
// not exist is refused here as one without "Polygone.dbf", before the connection would fail.
bool openSurveyTables(data::clsDBFData& db);

}  // namespace cli
