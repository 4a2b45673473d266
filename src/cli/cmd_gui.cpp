#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <ostream>

#include "base/system_error_text.h"
#include "cli/commands.h"
#include "cli/exit_code.h"

namespace fs = std::filesystem;

namespace cli {

fs::path guiExecutable() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return (ec ? fs::path() : self.parent_path()) / "quelbrix-gui";
}

namespace {

// The desktop program replaces this process; it reads the stored settings itself, so the
// one-run overrides (--db, --shape, --out, --log) do not reach it.
int startGui(Context& ctx) {
  const fs::path program = guiExecutable();
  std::error_code ec;
  if (!fs::is_regular_file(program, ec)) {
    ctx.err << "Die Fensteroberfläche wurde nicht gefunden: " << program.string() << "\n";
    return kNotAllDone;
  }
  ctx.out.flush();
  ctx.err.flush();
  const std::string name = program.string();
  char* const args[] = {const_cast<char*>(name.c_str()), nullptr};
  execv(name.c_str(), args);
  ctx.err << "Die Fensteroberfläche konnte nicht gestartet werden: " << base::systemErrorText(errno)
          << "\n";
  return kNotAllDone;
}

}  // namespace

void addGuiCommand(CLI::App& app, Context& ctx, Action& action) {
  auto* cmd = app.add_subcommand("gui", "Die Fensteroberfläche (quelbrix-gui) starten");
  cmd->callback([&ctx, &action] {
    // The desktop program starts its own log; one started here would never be closed.
    ctx.log = LogUse::Never;
    action = [&ctx] { return startGui(ctx); };
  });
}

}  // namespace cli
