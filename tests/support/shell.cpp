#include "support/shell.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>

namespace testsupport {
namespace {

struct PipeCloser {
  void operator()(FILE* f) const { pclose(f); }
};

}  // namespace

int runCommand(const std::string& command, std::string* output) {
  std::unique_ptr<FILE, PipeCloser> pipe(popen((command + " 2>/dev/null").c_str(), "r"));
  if (!pipe) return -1;
  std::string out;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
    out.append(buffer.data(), n);
  const int status = pclose(pipe.release());
  if (output) *output = out;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
