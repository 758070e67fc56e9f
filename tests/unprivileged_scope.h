// Lets a test meet a folder or file it may not write even when the suite runs as the superuser
// (as CI does), who may write anywhere: while the scope lives, the process acts as the
// unprivileged user "nobody", and the given paths are handed to that user first so that the test
// can still change their permissions.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <vector>

namespace vellora::testsupport {

class UnprivilegedScope {
 public:
  static constexpr uid_t kNobody = 65534;

  explicit UnprivilegedScope(std::initializer_list<std::filesystem::path> owned)
      : UnprivilegedScope(std::vector<std::filesystem::path>(owned)) {}
  explicit UnprivilegedScope(const std::vector<std::filesystem::path>& owned) {
    if (::geteuid() != 0) return;
    for (const auto& path : owned) {
      if (::chown(path.c_str(), kNobody, kNobody) != 0) return;
    }
    active_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
  }
  ~UnprivilegedScope() {
    if (!active_) return;
    // Back to the superuser: the same calls in the reverse order.
    [[maybe_unused]] const int user = ::seteuid(0);
    [[maybe_unused]] const int group = ::setegid(0);
  }
  UnprivilegedScope(const UnprivilegedScope&) = delete;
  UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

  // False when the suite runs as the superuser and could not give up its rights.
  bool Effective() const { return ::geteuid() != 0; }

 private:
  bool active_ = false;
};

}  // namespace vellora::testsupport
