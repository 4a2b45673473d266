#include "word/docx/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "base/regular_file.h"
#include "word/docx/docx_error.h"

namespace docx {
namespace {

// Drops the first `count` characters (not bytes) of a UTF-8 name.
std::string dropCharacters(const std::string& name, int count) {
  std::size_t i = 0;
  for (int k = 0; k < count && i < name.size(); ++k) {
    ++i;
    while (i < name.size() && (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80) ++i;
  }
  return name.substr(i);
}

// Targets the user must mend: like a file open elsewhere, not a fault of the engine.
bool isPermissionError(int e) {
  return e == EACCES || e == EPERM || e == EROFS || e == ETXTBSY || e == base::kNotRegularFile;
}

[[noreturn]] void fail(int e, const std::filesystem::path& target, const char* what) {
  const std::string text = target.string() + " kann nicht geschrieben werden (" + what + ": " +
                           base::fileErrorText(e) + ")";
  throw DocxError(isPermissionError(e) ? ErrorCode::kFileOpen : ErrorCode::kWriteFailed, text);
}

}  // namespace

// Whether another process holds a lock on the file (LibreOffice locks the files it edits
// when file locking is on). Only a regular file is opened: a pipe would block for good.
bool lockedByOtherProcess(const std::filesystem::path& target) {
  int error = 0;
  const int fd = base::openRegularFile(target, O_RDONLY, 0, error);
  if (fd < 0) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  const bool locked = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  close(fd);
  return locked;
}

void checkNotOpenElsewhere(const std::filesystem::path& target) {
  // A link or a pipe planted at the name is neither followed nor replaced.
  if (base::regularOrAbsent(target) == base::kNotRegularFile)
    fail(base::kNotRegularFile, target, "Prüfung");
  const std::filesystem::path folder = target.parent_path();
  const std::string name = target.filename().string();
  // Built piece by piece: GCC 12 warns falsely on chained concatenation of short literals.
  std::vector<std::string> locks;
  for (const std::string& tail : {name, dropCharacters(name, 1), dropCharacters(name, 2)}) {
    std::string word("~$");
    word += tail;
    locks.push_back(std::move(word));
  }
  std::string office(".~lock.");
  office += name;
  office += '#';
  locks.push_back(std::move(office));
  for (const std::string& lock : locks) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder / lock, ec))) {
      throw DocxError(ErrorCode::kFileOpen,
                      target.string() + " ist in einem anderen Programm geöffnet (" + lock + ")");
    }
  }
  if (lockedByOtherProcess(target)) {
    throw DocxError(ErrorCode::kFileOpen,
                    target.string() + " ist von einem anderen Programm gesperrt");
  }
}

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         Durability durability, LockProbe probe) {
  if (target.filename().empty()) {
    throw DocxError(ErrorCode::kInvalidArgument, "kein Dateiname in " + target.string());
  }
  if (probe == LockProbe::kProbe) checkNotOpenElsewhere(target);
  // An existing document keeps its access rights; a new one gets those of a new file.
  std::optional<mode_t> mode;
  struct stat st {};
  if (lstat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode))
      throw DocxError(ErrorCode::kFileOpen, target.string() + " ist ein Ordner");
    if (access(target.c_str(), W_OK) != 0) fail(errno, target, "kein Schreibzugriff");
    mode = st.st_mode & 0777;
  }
  if (const auto failure = base::replaceFile(target, bytes, mode, durability))
    fail(failure.error, target, failure.step);
}

}  // namespace docx
