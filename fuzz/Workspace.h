#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace strikora::fuzz {

// A folder of its own for one fuzzing process, in memory where the system offers it (files are
// written and synced for every input), removed when the process ends normally.
class Workspace {
 public:
  Workspace() {
    std::string base = "/tmp";
    if (const char* t = std::getenv("TMPDIR"); t != nullptr && *t != '\0') {
      base = t;
    } else if (access("/dev/shm", W_OK) == 0) {
      base = "/dev/shm";
    }
    std::string pattern = base + "/strikora-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("strikora fuzz workspace");
      std::abort();
    }
    root_ = pattern;
  }
  ~Workspace() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  [[nodiscard]] const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_;
};

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", file.c_str());
    std::abort();
  }
}

// A broken promise of the code under test: report it as a crash, with the input saved.
#define STRIKORA_FUZZ_CHECK(condition)                                                   \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

}  // namespace strikora::fuzz
