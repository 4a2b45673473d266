#pragma once
// Binding positions (0-based) of the columns of "GBogen", the table of the sheets: the sheet
// head and the report head read these columns by position and write each under the name the
// column has in the database at hand. A test holds every position against the column list.

namespace data::schema::gbogen {

inline constexpr int kCode = 0;           // GBCODE
inline constexpr int kType = 1;           // GBBOGEN
inline constexpr int kPolygon = 2;        // GBPOLYGON
inline constexpr int kBiotope = 3;        // GBBIOTOP, the main biotope type
inline constexpr int kBiotope2 = 4;       // GBBIOTOP2 .. GBBIOTOP6: the secondary types
inline constexpr int kBiotope6 = 8;       //
inline constexpr int kFirstChoice = 10;   // GBSTRUKT .. GBALTER: one-of-several crosses
inline constexpr int kLastChoice = 16;    //   (bookmark: column name + value)
inline constexpr int kShare = 17;         // GBANTEIL, share of the polygon's area in percent
inline constexpr int kHabitat1 = 18;      // GBFFH1
inline constexpr int kHabitat2 = 19;      // GBFFH2
inline constexpr int kCondition = 20;     // GBEHZ, a cross
inline constexpr int kRating = 21;        // GBWERT, a cross
inline constexpr int kProtected = 22;     // GBGESETZ, yes/no
inline constexpr int kHabitatArea = 23;   // GBLRTFL, yes/no
inline constexpr int kSurveyor = 24;      // GBKARTIER
inline constexpr int kDate = 25;          // GBDATUM
inline constexpr int kLocation = 26;      // GBLAGE, text with umlauts
inline constexpr int kCopy = 27;          // GBKOPIE, copy status
inline constexpr int kSize = 29;          // GBGROESSE, shown when the share is 0
inline constexpr int kComplexMark1 = 34;  // GBKOMPL1 .. GBKOMPL3: crosses of sheets of type K
inline constexpr int kComplexMark3 = 36;  //
inline constexpr int kCopySource = 40;    // GBKOPVON, the sheet a copy was taken from
inline constexpr int kImpairment1 = 46;   // GBBEEIN1 .. GBBEEIN4: codes shown without their
inline constexpr int kImpairment4 = 49;   //   first character

}  // namespace data::schema::gbogen
