// The progress line on a terminal: it fits the terminal's width whatever it shows, and its
// count of finished items never goes back while workers announce items in any order.

#include "cli/progress_display.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace {

using cli::ProgressDisplay;

std::size_t columnsOf(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

TEST(ProgressDisplay, line_fitsEveryWidthAndDropsTheBarBeforeTheItem) {
  for (std::size_t columns : {1u, 8u, 20u, 40u, 60u, 80u, 132u}) {
    SCOPED_TRACE(columns);
    const std::string line =
        ProgressDisplay::line(371, 3103, "Geländebogen", "059001000011GN", "00:01:23", columns);
    EXPECT_LE(columnsOf(line), columns > 1 ? columns - 1 : 0) << line;
    const bool whole =
        line.find("371/3103 Geländebogen 059001000011GN 00:01:23") != std::string::npos;
    EXPECT_EQ(whole, columns >= 60) << line;
    EXPECT_EQ(line.find('[') != std::string::npos, columns >= 60) << line;
  }
  EXPECT_EQ(ProgressDisplay::line(3, 3, "Polygon", "05900100003", "00:00:01", 80),
            "[" + std::string(30, '#') + "] 3/3 Polygon 05900100003 00:00:01");
}

TEST(ProgressDisplay, started_countsFinishedItemsOnlyForwardsOnStderr) {
  std::ostringstream err;
  ProgressDisplay progress(err, ProgressDisplay::Mode::Line, "Geländebogen", 2, 80);
  // Two workers announce their items out of order, as their positions arrive.
  for (const char* key : {"05", "01", "06", "02", "07", "03", "08", "04"}) progress.started(8, key);
  progress.finish();
  std::vector<int> counts;
  const std::string text = err.str();
  const std::regex count(R"(\] (\d+)/8 )");
  for (std::sregex_iterator it(text.begin(), text.end(), count), end; it != end; ++it)
    counts.push_back(std::stoi((*it)[1]));
  EXPECT_EQ(counts, (std::vector<int>{0, 0, 1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(text.ends_with("\r\x1b[K"));  // the line is cleared for the summary
  std::ostringstream quiet;
  ProgressDisplay off(quiet, ProgressDisplay::modeFor(cli::Verbosity::Normal, false), "x", 1, 80);
  off.started(1, "01");
  off.finish();
  EXPECT_EQ(quiet.str(), "");
}

}  // namespace
