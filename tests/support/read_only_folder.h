#pragma once
// A folder the calling thread cannot write into, also as the superuser: the thread's capability
// to override file permissions is dropped meanwhile. binding() is false when that fails.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>

namespace testsupport {

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    using std::filesystem::perms;
    std::filesystem::permissions(folder_, perms::owner_read | perms::owner_exec);
    if (geteuid() == 0) binding_ = dropped_ = setOverrides(false);
  }
  ~ReadOnlyFolder() {
    if (dropped_) setOverrides(true);
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
  }
  bool binding() const { return binding_; }

 private:
  static bool setOverrides(bool on) {
    constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    data[0].effective =
        on ? data[0].effective | (data[0].permitted & kOverrides) : data[0].effective & ~kOverrides;
    return syscall(SYS_capset, &header, data) == 0;
  }

  std::filesystem::path folder_;
  bool binding_ = true, dropped_ = false;
};

}  // namespace testsupport
