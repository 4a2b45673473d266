#include "cli/progress_display.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "base/visible_text.h"

namespace cli {
namespace {

// Terminal columns a UTF-8 text takes: one per character (the program writes no wide ones).
std::size_t widthOf(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The first `columns` characters of text, the last of them "…" when text was longer.
std::string cutTo(const std::string& text, std::size_t columns) {
  if (widthOf(text) <= columns) return text;
  if (columns == 0) return {};
  std::size_t kept = 0, bytes = 0;
  while (bytes < text.size()) {
    std::size_t next = bytes + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    if (kept + 1 == columns) break;
    ++kept;
    bytes = next;
  }
  return text.substr(0, bytes) + "…";
}

}  // namespace

std::size_t terminalColumns(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    std::size_t value = 0;
    const char* end = columns + std::char_traits<char>::length(columns);
    if (const auto [stop, problem] = std::from_chars(columns, end, value);
        problem == std::errc() && stop == end && value > 0)
      return value;
  }
  return 80;
}

ProgressDisplay::Mode ProgressDisplay::modeFor(Verbosity verbosity, bool terminal) {
  if (verbosity == Verbosity::Quiet) return Mode::Off;
  if (verbosity == Verbosity::Verbose) return Mode::Lines;
  return terminal ? Mode::Line : Mode::Off;
}

ProgressDisplay::ProgressDisplay(std::ostream& err, Mode mode, std::string label, unsigned workers,
                                 std::size_t columns, std::string verb)
    : err_(err),
      verb_(std::move(verb)),
      mode_(mode),
      label_(std::move(label)),
      workers_(std::max(1u, workers)),
      columns_(columns),
      start_(std::chrono::steady_clock::now()) {}

std::string ProgressDisplay::elapsed() const {
  const auto s =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_)
          .count();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  return buf;
}

std::string ProgressDisplay::line(std::size_t done, std::size_t count, const std::string& label,
                                  const std::string& item, const std::string& time,
                                  std::size_t columns) {
  const std::size_t room = columns > 1 ? columns - 1 : 0;
  const std::string counter = std::to_string(done) + "/" + std::to_string(count);
  if (widthOf(counter) >= room) return cutTo(counter, room);
  std::size_t used = widthOf(counter);
  const bool withTime = used + 1 + widthOf(time) <= room;
  if (withTime) used += 1 + widthOf(time);
  std::size_t left = room - used;

  // The bar takes what the text leaves, 10 to 30 cells, and only when 10 fit beside it.
  const std::string text = label + " " + item;
  std::string bar;
  if (left >= 10 + 3 + 1 + widthOf(text)) {
    const std::size_t wanted = left > widthOf(text) + 4 ? left - widthOf(text) - 4 : 0;
    const std::size_t cells = std::clamp<std::size_t>(wanted, 10, 30);
    const std::size_t filled = count ? std::min(done, count) * cells / count : cells;
    bar = "[" + std::string(filled, '#') + std::string(cells - filled, '.') + "]";
    left -= cells + 3;
  }
  std::string shown;
  if (left >= 5) shown = cutTo(text, left - 1);

  std::string out = bar.empty() ? counter : bar + " " + counter;
  if (!shown.empty()) out += " " + shown;
  if (withTime) out += " " + time;
  return out;
}

void ProgressDisplay::started(std::size_t count, const std::string& tableItem) {
  // The item is a sheet key, whose type comes from the table as stored.
  const std::string item = base::visibleText(tableItem);
  ++started_;
  if (mode_ == Mode::Lines) {
    err_ << verb_ << " " << (label_.empty() ? "" : label_ + " ") << item << "\n" << std::flush;
  } else if (mode_ == Mode::Line) {
    // Each worker has one item in hand; the items before that are done.
    const std::size_t done = started_ > workers_ ? started_ - workers_ : 0;
    err_ << "\r" << line(done, count, label_, item, elapsed(), columns_) << "\x1b[K" << std::flush;
    open_ = true;
  }
}

void ProgressDisplay::finish() {
  if (open_) err_ << "\r\x1b[K" << std::flush;
  open_ = false;
}

}  // namespace cli
