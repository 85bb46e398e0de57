#pragma once
// English texts for the sense codes drives commonly report while reading and burning.

#include <cstdint>
#include <string>

namespace emberline::mmc {

/// Text for an ASC/ASCQ pair ("medium not present"). Pairs not in the table
/// fall back to the ASC alone, then to the sense key's name with the codes in hex.
std::string senseText(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq);

/// Name of a sense key ("not ready", "illegal request").
std::string senseKeyName(std::uint8_t key);

}  // namespace emberline::mmc
