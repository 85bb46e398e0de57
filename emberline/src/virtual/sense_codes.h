#pragma once
/// @file
/// The sense triples the virtual drive answers with, named after what they mean.

#include "transport/scsi_transport.h"

namespace emberline::virt::sense {

inline constexpr SenseData kNone{0x00, 0x00, 0x00};
inline constexpr SenseData kNotReady{0x02, 0x04, 0x00};
inline constexpr SenseData kBecomingReady{0x02, 0x04, 0x01};
inline constexpr SenseData kLongWriteInProgress{0x02, 0x04, 0x08};
inline constexpr SenseData kOperationInProgress{0x02, 0x04, 0x07};
inline constexpr SenseData kNoMedium{0x02, 0x3A, 0x00};
inline constexpr SenseData kWriteError{0x03, 0x0C, 0x00};
inline constexpr SenseData kInvalidOpcode{0x05, 0x20, 0x00};
inline constexpr SenseData kLbaOutOfRange{0x05, 0x21, 0x00};
inline constexpr SenseData kInvalidCdbField{0x05, 0x24, 0x00};
inline constexpr SenseData kParameterLengthError{0x05, 0x1A, 0x00};
inline constexpr SenseData kInvalidParameterField{0x05, 0x26, 0x00};
inline constexpr SenseData kSequenceError{0x05, 0x2C, 0x00};
inline constexpr SenseData kIncompatibleMedium{0x05, 0x30, 0x05};
inline constexpr SenseData kSavingNotSupported{0x05, 0x39, 0x00};
inline constexpr SenseData kRemovalPrevented{0x05, 0x53, 0x02};
inline constexpr SenseData kIllegalModeForTrack{0x05, 0x64, 0x00};
inline constexpr SenseData kMediumChanged{0x06, 0x28, 0x00};
inline constexpr SenseData kAborted{0x0B, 0x00, 0x00};

}  // namespace emberline::virt::sense
