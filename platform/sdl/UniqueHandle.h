#pragma once

#include <utility>

namespace strikora::sdl {

// Owns one C handle of the libraries under the platform (OpenAL, SDL, libsndfile): move-only,
// released exactly once. An empty handle is the type's zero value.
template <typename Handle, void (*Release)(Handle)>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Handle{});
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  void reset() noexcept {
    if (handle_ != Handle{}) Release(std::exchange(handle_, Handle{}));
  }
  [[nodiscard]] Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }

 private:
  Handle handle_{};
};

}  // namespace strikora::sdl
