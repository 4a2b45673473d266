#include "print/office_bridge.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "print/sleep.h"

namespace print {
namespace fs = std::filesystem;

namespace {

// The helper. It answers "ready" once connected, then per request line "SOURCE TARGET" (file
// URLs) "ok", "error TEXT" (the office lives on) or "dead TEXT" (the office is gone; the helper
// ends). "no-uno" when the module is missing. Documents are opened hidden, read-only, without
// running macros or updating links, and closed again whatever happens. At the end of its input
// it ends the office, which then removes its pipes.
constexpr const char* kHelper = R"PY(
import sys, time
def answer(text):
    sys.stdout.write(" ".join(str(text).split()) + "\n")
    sys.stdout.flush()
try:
    import uno
    from com.sun.star.beans import PropertyValue
except ImportError:
    answer("no-uno")
    sys.exit(2)
def props(**values):
    result = []
    for name, value in values.items():
        p = PropertyValue()
        p.Name, p.Value = name, value
        result.append(p)
    return tuple(result)
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext(
    "com.sun.star.bridge.UnoUrlResolver", local)
while True:
    try:
        office = resolver.resolve(
            "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % sys.argv[1])
        break
    except Exception:
        time.sleep(0.05)
desktop = office.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", office)
answer("ready")
for line in sys.stdin:
    request = line.split()
    if len(request) != 2:
        continue
    try:
        doc = desktop.loadComponentFromURL(request[0], "_blank", 0, props(
            Hidden=True, ReadOnly=True, MacroExecutionMode=0, UpdateDocMode=0))
        if doc is None:
            raise RuntimeError("the document could not be loaded")
        try:
            doc.storeToURL(request[1], props(FilterName="writer_pdf_Export"))
        finally:
            try:
                doc.close(True)
            except Exception:
                doc.dispose()
        answer("ok")
    except Exception as e:
        try:
            desktop.getComponents()
        except Exception:
            answer("dead %s" % e)
            sys.exit(3)
        answer("error %s" % e)
try:
    desktop.terminate()
except Exception:
    pass
)PY";

constexpr std::chrono::milliseconds kLook(25);

}  // namespace

fs::path pythonProgram() {
  if (access("/usr/bin/python3", X_OK) == 0) return "/usr/bin/python3";
  return findProgram({"python3"});
}

OfficeBridge::~OfficeBridge() {
  stop();
}

std::string OfficeBridge::acceptArgument(const std::string& pipe) {
  return "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext";
}

void OfficeBridge::stop(bool endOffice) {
  if (talk_ >= 0) {
    // Without its input the helper ends the office and leaves; the group is ended in any case.
    ::shutdown(talk_, SHUT_RDWR);
    close(talk_);
    talk_ = -1;
    if (endOffice) helper_.wait(std::chrono::seconds(5), serveEvents);
  }
  helper_.terminate(std::chrono::seconds(2));
  helper_ = ChildProcess();
  pending_.clear();
}

bool OfficeBridge::readLine(std::chrono::milliseconds timeout,
                            const std::function<bool()>& keepWaiting, std::string& line,
                            bool& timedOut) {
  timedOut = false;
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (const auto at = pending_.find('\n'); at != std::string::npos) {
      line = pending_.substr(0, at);
      pending_.erase(0, at + 1);
      return true;
    }
    pollfd fd{talk_, POLLIN, 0};
    const int ready = poll(&fd, 1, static_cast<int>(kLook.count()));
    if (ready < 0 && errno != EINTR) return false;
    if (ready > 0) {
      char buffer[4096];
      const ssize_t n = recv(talk_, buffer, sizeof buffer, 0);
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return false;
      if (n > 0) pending_.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    serveEvents();
    if (keepWaiting && !keepWaiting()) return false;
    if (std::chrono::steady_clock::now() >= end) {
      timedOut = true;
      return false;
    }
  }
}

OfficeBridge::Answer OfficeBridge::connect(const std::string& pipe, const fs::path& log,
                                           std::chrono::milliseconds timeout,
                                           const std::function<bool()>& officeAlive) {
  stop();
  const fs::path python = pythonProgram();
  if (python.empty()) return Answer::kNoBridge;
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return Answer::kBroken;
  std::string reason;
  helper_ = whileServingEvents([&] {
    return ChildProcess::start({python.string(), "-c", kHelper, pipe}, log, reason, true, pair[1]);
  });
  close(pair[1]);
  talk_ = pair[0];
  if (!helper_.started()) {
    stop();
    return Answer::kNoBridge;
  }
  std::string line;
  bool timedOut = false;
  const bool answered = readLine(
      timeout, [&] { return helper_.running() && (!officeAlive || officeAlive()); }, line,
      timedOut);
  if (answered && line == "ready") return Answer::kDone;
  // A helper that ended by itself while the office lives cannot be used (a broken Python).
  const bool noBridge =
      (answered && line == "no-uno") ||
      (!answered && !timedOut && !helper_.running() && (!officeAlive || officeAlive()));
  stop();
  return noBridge ? Answer::kNoBridge : Answer::kBroken;
}

OfficeBridge::Answer OfficeBridge::convert(const std::string& sourceUrl,
                                           const std::string& targetUrl,
                                           std::chrono::milliseconds timeout,
                                           const std::function<bool()>& officeAlive, bool& timedOut,
                                           std::string& detail) {
  timedOut = false;
  if (talk_ < 0) return Answer::kBroken;
  const std::string request = sourceUrl + " " + targetUrl + "\n";
  for (std::size_t sent = 0; sent < request.size();) {
    const ssize_t n = send(talk_, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      stop();
      return Answer::kBroken;
    }
    sent += static_cast<std::size_t>(n);
  }
  std::string line;
  if (!readLine(
          timeout, [&] { return helper_.running() && (!officeAlive || officeAlive()); }, line,
          timedOut)) {
    stop();
    return Answer::kBroken;
  }
  if (line == "ok") return Answer::kDone;
  if (line.rfind("error", 0) == 0) {
    detail = line.size() > 6 ? line.substr(6) : "";
    return Answer::kFailed;
  }
  detail = line.size() > 5 ? line.substr(5) : "";
  stop();
  return Answer::kBroken;
}

}  // namespace print
