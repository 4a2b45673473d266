#include "cli/german_cli.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <vector>

namespace cli {
namespace {

// The parts of CLI11's texts of the form "NAME: detail" (empty without the separator).
std::string before(const std::string& text, const std::string& separator) {
  const auto at = text.find(separator);
  return at == std::string::npos ? std::string() : text.substr(0, at);
}
std::string after(const std::string& text, const std::string& separator) {
  const auto at = text.find(separator);
  return at == std::string::npos ? std::string() : text.substr(at + separator.size());
}

// By type: CLI11 names some errors after the command they occur in rather than their kind.
template <typename Kind>
bool is(const CLI::Error& error) {
  return dynamic_cast<const Kind*>(&error) != nullptr;
}

std::string commandNames(const CLI::App& app) {
  std::string names;
  for (const CLI::App* command :
       app.get_subcommands([](const CLI::App* c) { return !c->get_group().empty(); }))
    names += (names.empty() ? "" : ", ") + command->get_name();
  return names;
}

// Edits (insert, delete, replace, swap two neighbours) that turn a into b.
std::size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

// "Unbekannter Befehl: shets. Meinten Sie sheets?" when one command is near enough (two edits,
// one for short words), else the list of commands.
std::string unknownCommand(const CLI::App& app, const std::string& word) {
  std::string best;
  std::size_t bestDistance = word.size() < 5 ? 2 : 3;
  for (const CLI::App* command :
       app.get_subcommands([](const CLI::App* c) { return !c->get_group().empty(); })) {
    const std::size_t distance = editDistance(word, command->get_name());
    if (distance < bestDistance) {
      best = command->get_name();
      bestDistance = distance;
    }
  }
  if (!best.empty()) return "Unbekannter Befehl: " + word + ". Meinten Sie " + best + "?";
  return "Unbekannter Befehl: " + word + ". Befehle: " + commandNames(app) + ".";
}

// The reason itself; CLI11's English is kept where it words a case this program never meets.
std::string reason(const CLI::App& app, const CLI::Error& error) {
  const std::string text = error.what();
  if (is<CLI::RequiredError>(error) && text == "A subcommand is required") {
    // A word where the command belongs that is none.
    const std::vector<std::string> rest = app.remaining();
    if (!rest.empty() && !rest.front().starts_with("-")) return unknownCommand(app, rest.front());
    return "Es fehlt der Befehl (" + commandNames(app) + ").";
  }
  if (is<CLI::RequiredError>(error) && text.ends_with(" is required"))
    return "Es fehlt die Angabe " + text.substr(0, text.size() - 12) + ".";
  if (is<CLI::ExtrasError>(error)) return "Unerwartet: " + after(text, ": ") + ".";
  if (is<CLI::ArgumentMismatch>(error) && text.ends_with(" missing"))
    return "Bei " + before(text, ": ") + " fehlt der Wert.";
  if (is<CLI::RequiresError>(error) && !after(text, " requires ").empty())
    return before(text, " requires ") + " gilt nur mit " + after(text, " requires ") + ".";
  if (is<CLI::ValidationError>(error))
    return "Ungültiger Wert für " + before(text, ": ") + ": " + after(text, ": ") + ".";
  if (is<CLI::ConversionError>(error) && text.starts_with("The value "))
    return "Ungültiger Wert für " + after(text, " is not an allowed value for ") + ": " +
           before(text.substr(10), " is not an allowed value") + ".";
  return "Falscher Aufruf: " + text;
}

// CLI11 lines the descriptions up by bytes; a name with an umlaut ("SCHLÜSSEL") would push its
// description one column to the left of the others.
class GermanFormatter : public CLI::Formatter {
 public:
  std::string make_option(const CLI::Option* opt, bool positional) const override {
    const std::string name = make_option_name(opt, positional) + make_option_opts(opt);
    const auto extra = static_cast<std::size_t>(std::count_if(name.begin(), name.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    }));
    std::stringstream out;
    CLI::detail::format_help(out, name, make_option_desc(opt), get_column_width() + extra);
    return out.str();
  }
};

}  // namespace

void speakGerman(CLI::App& app) {
  app.formatter(std::make_shared<GermanFormatter>());
  auto formatter = app.get_formatter();
  formatter->label("Usage", "Aufruf");
  formatter->label("OPTIONS", "OPTIONEN");
  formatter->label("SUBCOMMAND", "BEFEHL");
  formatter->label("Positionals", "Argumente");
  formatter->label("REQUIRED", "(Pflicht)");
  formatter->label("Needs", "nur mit");
  formatter->label("UINT", "ZAHL");
  formatter->label("INT", "ZAHL");
  app.option_defaults()->group("Optionen");
  app.set_help_flag("-h,--help", "diese Hilfe anzeigen und beenden");
  app.failure_message(
      [](const CLI::App* top, const CLI::Error& error) { return wrongCallText(*top, error); });
}

void headCommands(CLI::App& app) {
  for (CLI::App* command :
       app.get_subcommands([](CLI::App* c) { return c->get_group() == "Subcommands"; })) {
    command->group("Befehle");
    // A command's help flag is made before the command takes over the option heading.
    if (CLI::Option* help = command->get_help_ptr()) help->group("Optionen");
  }
}

std::string wrongCallText(const CLI::App& app, const CLI::Error& error) {
  std::string help = app.get_name();
  for (const CLI::App* command : app.get_subcommands()) help += " " + command->get_name();
  return reason(app, error) + "\nHilfe: " + help + " --help\n";
}

CLI::Validator wholeNumber(unsigned min, unsigned max) {
  const bool open = max == std::numeric_limits<unsigned>::max();
  const std::string range =
      open ? "ab " + std::to_string(min) : std::to_string(min) + " bis " + std::to_string(max);
  return CLI::Validator(
      [min, max, range = open ? range : "von " + range](std::string& input) -> std::string {
        unsigned value = 0;
        const char* end = input.data() + input.size();
        const auto [stop, problem] = std::from_chars(input.data(), end, value);
        if (problem != std::errc() || stop != end || value < min || value > max)
          return input + " ist keine ganze Zahl " + range;
        return {};
      },
      range);
}

}  // namespace cli
