#include "api/call_result.h"

#include <algorithm>
#include <cstring>

namespace emberline {

std::uint8_t exceptionCodeOf(const Error& error) {
  switch (error.kind) {
    case ErrorKind::InvalidArgument:
      return EMBERLINE_E_INVALID_ARGUMENT;
    case ErrorKind::DeviceOpen:
      return EMBERLINE_E_DEVICE_OPEN;
    case ErrorKind::Transport:
      return EMBERLINE_E_TRANSPORT;
    case ErrorKind::CheckCondition:
      return EMBERLINE_E_CHECK_CONDITION;
    case ErrorKind::NotReady:
      return EMBERLINE_E_NOT_READY;
    case ErrorKind::Cancelled:
      return EMBERLINE_E_CANCELLED;
    case ErrorKind::NotSupported:
      return EMBERLINE_E_NOT_SUPPORTED;
    case ErrorKind::File:
      return EMBERLINE_E_FILE;
    case ErrorKind::Internal:
      return EMBERLINE_E_INTERNAL;
    case ErrorKind::Mismatch:
      return EMBERLINE_E_VERIFY_MISMATCH;
  }
  return EMBERLINE_E_INTERNAL;
}

std::uint32_t statusOf(const Error& error) {
  if (error.kind == ErrorKind::CheckCondition || error.kind == ErrorKind::NotReady)
    return (std::uint32_t{error.senseKey} << 16) | (std::uint32_t{error.asc} << 8) | error.ascq;
  return static_cast<std::uint32_t>(error.systemError);
}

void copyText(char* buffer, std::int32_t size, const std::string& text) {
  if (buffer == nullptr || size <= 0) return;
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size) - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

std::uint8_t report(const ErrorOutputs& out, const Error& error) {
  const std::uint8_t code = exceptionCodeOf(error);
  copyText(out.text, out.size, error.message);
  if (out.status != nullptr) *out.status = statusOf(error);
  if (out.failure != nullptr) {
    *out.failure = EmberlineFailureInfo{};
    out.failure->exceptionCode = code;
    out.failure->senseKey = error.senseKey;
    out.failure->asc = error.asc;
    out.failure->ascq = error.ascq;
    out.failure->systemError = static_cast<std::uint32_t>(error.systemError);
    out.failure->opcode = error.opcode;
  }
  return code;
}

std::uint8_t reportSuccess(const ErrorOutputs& out) {
  copyText(out.text, out.size, {});
  if (out.status != nullptr) *out.status = 0;
  if (out.failure != nullptr) *out.failure = EmberlineFailureInfo{};
  return EMBERLINE_OK;
}

}  // namespace emberline

namespace emberline {

std::uint8_t reportNotStarted(const ErrorOutputs& out) {
  copyText(out.text, out.size, "the library is not started (call Emberline_StartUp first)");
  if (out.status != nullptr) *out.status = 0;
  if (out.failure != nullptr) {
    *out.failure = EmberlineFailureInfo{};
    out.failure->exceptionCode = EMBERLINE_E_NOT_STARTED;
  }
  return EMBERLINE_E_NOT_STARTED;
}

}  // namespace emberline
