#pragma once
/// @file
/// The moment the library dates what it makes (volume creation, folders it
/// adds, a Video CD's information files). SOURCE_DATE_EPOCH in the
/// environment, whole seconds since 1970 UTC, fixes it so that the same
/// sources give the same bytes; otherwise it is the present.

#include <ctime>

namespace emberline {

std::time_t recordingTime();

}  // namespace emberline
