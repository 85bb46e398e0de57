#pragma once
// Turning an internal Error into the flat API's exception code, status,
// text and failure record.

#include <cstdint>
#include <string>

#include "core/error.h"
#include "emberline/emberline.h"

namespace emberline {

/// Where a device call reports its failure; every pointer may be null.
struct ErrorOutputs {
  char* text = nullptr;
  std::int32_t size = 0;
  std::uint32_t* status = nullptr;
  EmberlineFailureInfo* failure = nullptr;
};

std::uint8_t exceptionCodeOf(const Error& error);
std::uint32_t statusOf(const Error& error);

/// Fills the outputs from `error` and returns its exception code.
std::uint8_t report(const ErrorOutputs& out, const Error& error);
/// Clears the outputs for a successful call and returns EMBERLINE_OK.
std::uint8_t reportSuccess(const ErrorOutputs& out);

/// Copies `text` into a caller's buffer of `size` bytes, always NUL-terminated.
void copyText(char* buffer, std::int32_t size, const std::string& text);

}  // namespace emberline

namespace emberline {

/// Fills the outputs for a call made before Emberline_StartUp and returns EMBERLINE_E_NOT_STARTED.
std::uint8_t reportNotStarted(const ErrorOutputs& out);

}  // namespace emberline
