#pragma once
// The sample survey for a first try from the windows: the sample database of `quelbrix
// sample-data` (28 tables, umlaut table, polygon shapefile) written into a folder of the user's,
// with a folder beside it for the documents, and the three paths set to them.

#include <QString>

namespace gui {

// Where the sample goes: "Quelbrix-Beispiel" in the home folder.
QString sampleFolder();

// Writes the sample into folder/Erfassung (the shapefile into Erfassung/shape), creates
// folder/Dokumente and stores the three paths. Answers why it failed in German, empty on
// success; nothing is stored then.
QString useSampleSurvey(const QString& folder);

}  // namespace gui
