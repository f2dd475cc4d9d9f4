#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tambrel::platform {

// Why an operation failed, in words the user can read (Chinese, like the rest of the program).
struct Failure {
  std::u16string reason;
};

// The value of an operation that can fail, or the reason it failed. The commands at the edge
// turn a failure into a message box; nothing in between swallows it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Failure failure) : state_(std::move(failure)) {}

  bool ok() const { return std::holds_alternative<T>(state_); }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return std::get<T>(state_); }
  T& value() & { return std::get<T>(state_); }
  T&& value() && { return std::get<T>(std::move(state_)); }
  const Failure& failure() const { return std::get<Failure>(state_); }

 private:
  std::variant<T, Failure> state_;
};

// An operation that yields nothing but can fail.
struct Done {};
using Status = Result<Done>;

}  // namespace tambrel::platform
