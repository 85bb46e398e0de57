#pragma once
// A small stand-in for std::expected (C++23): either a value or an Error.

#include <type_traits>
#include <utility>
#include <variant>

#include "core/error.h"

namespace emberline {

struct Unexpected {
  Error error;
};
inline Unexpected fail(Error e) {
  return Unexpected{std::move(e)};
}
inline Unexpected fail(ErrorKind kind, std::string message) {
  return Unexpected{Error::make(kind, std::move(message))};
}

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Unexpected u) : state_(std::in_place_index<1>, std::move(u.error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const& { return std::get<1>(state_); }
  Error&& error() && { return std::get<1>(std::move(state_)); }

 private:
  std::variant<T, Error> state_;
};

/// Result of an operation that yields nothing but success or an Error.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Unexpected u) : error_(std::move(u.error)), failed_(true) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const& { return error_; }
  Error&& error() && { return std::move(error_); }

 private:
  Error error_;
  bool failed_ = false;
};

using Status = Result<void>;

}  // namespace emberline

/// Propagates the error of a Result-returning expression.
#define EMBERLINE_TRY(expr)                                                                         \
  do {                                                                                              \
    auto&& emberline_try_result_ = (expr);                                                          \
    if (!emberline_try_result_.ok()) return ::emberline::Unexpected{emberline_try_result_.error()}; \
  } while (0)
