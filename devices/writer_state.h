#pragma once
// The open writer and the outcome of the last library call made on it: what
// the device layer's calls read and fill in. The burner session is one.

#include <QString>
#include <array>
#include <cstdint>

#include "emberline/cdvd_writer.h"

namespace ondrelle {

struct TsbWriterState {
  QString LastMessage;
  DISC_TYPE DiscType = DISC_TYPE_UNKNOWN;
  EmberlineHandle Writer = nullptr;
  std::uint8_t ExceptionCode = 0;
  std::uint32_t SystemStatus = 0;
  std::array<char, EMBERLINE_TEXT_SIZE> ExceptionText{};
  EmberlineFailureInfo FailureInfo{};
};

}  // namespace ondrelle
