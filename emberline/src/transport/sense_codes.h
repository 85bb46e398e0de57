#pragma once
/// @file
/// The sense keys and ASC/ASCQ triples the library answers with or acts on,
/// named after what they mean: the drive model reports them, the command
/// layers recognise them.

#include <cstdint>

#include "core/error.h"
#include "transport/scsi_transport.h"

namespace emberline::sense {

/// Sense keys.
namespace key {
inline constexpr std::uint8_t kNoSense = 0x00;
inline constexpr std::uint8_t kRecoveredError = 0x01;
inline constexpr std::uint8_t kNotReady = 0x02;
inline constexpr std::uint8_t kMediumError = 0x03;
inline constexpr std::uint8_t kIllegalRequest = 0x05;
inline constexpr std::uint8_t kUnitAttention = 0x06;
inline constexpr std::uint8_t kAbortedCommand = 0x0B;
}  // namespace key

inline constexpr SenseData kNone{key::kNoSense, 0x00, 0x00};
inline constexpr SenseData kNotReady{key::kNotReady, 0x04, 0x00};
inline constexpr SenseData kBecomingReady{key::kNotReady, 0x04, 0x01};
inline constexpr SenseData kFormatInProgress{key::kNotReady, 0x04, 0x04};
inline constexpr SenseData kOperationInProgress{key::kNotReady, 0x04, 0x07};
inline constexpr SenseData kLongWriteInProgress{key::kNotReady, 0x04, 0x08};
inline constexpr SenseData kNoMedium{key::kNotReady, 0x3A, 0x00};
inline constexpr SenseData kWriteError{key::kMediumError, 0x0C, 0x00};
inline constexpr SenseData kParameterLengthError{key::kIllegalRequest, 0x1A, 0x00};
inline constexpr SenseData kInvalidOpcode{key::kIllegalRequest, 0x20, 0x00};
inline constexpr SenseData kLbaOutOfRange{key::kIllegalRequest, 0x21, 0x00};
inline constexpr SenseData kInvalidCdbField{key::kIllegalRequest, 0x24, 0x00};
inline constexpr SenseData kInvalidParameterField{key::kIllegalRequest, 0x26, 0x00};
inline constexpr SenseData kSequenceError{key::kIllegalRequest, 0x2C, 0x00};
inline constexpr SenseData kIncompatibleMedium{key::kIllegalRequest, 0x30, 0x05};
inline constexpr SenseData kSavingNotSupported{key::kIllegalRequest, 0x39, 0x00};
inline constexpr SenseData kRemovalPrevented{key::kIllegalRequest, 0x53, 0x02};
inline constexpr SenseData kIllegalModeForTrack{key::kIllegalRequest, 0x64, 0x00};
inline constexpr SenseData kMediumChanged{key::kUnitAttention, 0x28, 0x00};
inline constexpr SenseData kReset{key::kUnitAttention, 0x29, 0x00};
inline constexpr SenseData kAborted{key::kAbortedCommand, 0x00, 0x00};

/// The ASC alone: "medium not present" comes with several keys and qualifiers.
inline constexpr std::uint8_t kNoMediumAsc = kNoMedium.asc;

/// Same key and ASC, whatever the qualifier.
constexpr bool sameCondition(const SenseData& reported, const SenseData& known) {
  return reported.key == known.key && reported.asc == known.asc;
}
constexpr bool sameCondition(const Error& error, const SenseData& known) {
  return error.senseKey == known.key && error.asc == known.asc;
}

/// The drive is busy with a write or an operation it will finish by itself.
constexpr bool isBusy(const SenseData& s) {
  return sameCondition(s, kNotReady) && (s.ascq == kOperationInProgress.ascq || s.ascq == kLongWriteInProgress.ascq);
}
constexpr bool isBusy(const Error& e) {
  return e.kind == ErrorKind::NotReady && isBusy(SenseData{e.senseKey, e.asc, e.ascq});
}

}  // namespace emberline::sense
