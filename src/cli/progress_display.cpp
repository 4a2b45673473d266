#include "cli/progress_display.h"

#include <cstdio>
#include <ostream>

#include "base/visible_text.h"

namespace cli {

ProgressDisplay::ProgressDisplay(std::ostream& out, bool terminal, std::string label)
    : out_(out),
      terminal_(terminal),
      label_(std::move(label)),
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

void ProgressDisplay::show(std::size_t position, std::size_t count, const std::string& tableItem) {
  // The item is a sheet key, whose type comes from the table as stored.
  const std::string item = base::visibleText(tableItem);
  if (!terminal_) {
    out_ << label_ << item << "\n";
    return;
  }
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = count ? position * kWidth / count : kWidth;
  out_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] " << position
       << "/" << count << "  " << label_ << item << "  " << elapsed() << "\x1b[K" << std::flush;
  open_ = true;
}

void ProgressDisplay::finish() {
  if (open_) out_ << "\n";
  open_ = false;
}

}  // namespace cli
