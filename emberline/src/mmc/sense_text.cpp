#include "mmc/sense_text.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace emberline::mmc {

namespace {

struct SenseEntry {
  std::uint8_t asc;
  std::uint8_t ascq;
  std::string_view text;
};

constexpr std::array kExact{
    SenseEntry{0x00, 0x00, "no additional sense information"},
    SenseEntry{0x02, 0x00, "no seek complete"},
    SenseEntry{0x04, 0x00, "logical unit not ready, cause not reportable"},
    SenseEntry{0x04, 0x01, "logical unit is in process of becoming ready"},
    SenseEntry{0x04, 0x02, "logical unit not ready, initializing command required"},
    SenseEntry{0x04, 0x03, "logical unit not ready, manual intervention required"},
    SenseEntry{0x04, 0x04, "logical unit not ready, format in progress"},
    SenseEntry{0x04, 0x07, "logical unit not ready, operation in progress"},
    SenseEntry{0x04, 0x08, "long write in progress"},
    SenseEntry{0x05, 0x00, "logical unit does not respond to selection"},
    SenseEntry{0x06, 0x00, "no reference position found"},
    SenseEntry{0x08, 0x00, "logical unit communication failure"},
    SenseEntry{0x09, 0x00, "track following error"},
    SenseEntry{0x0C, 0x00, "write error"},
    SenseEntry{0x0C, 0x07, "write error - recovery needed"},
    SenseEntry{0x0C, 0x09, "write error - loss of streaming"},
    SenseEntry{0x0C, 0x0A, "write error - padding blocks added"},
    SenseEntry{0x11, 0x00, "unrecovered read error"},
    SenseEntry{0x11, 0x05, "L-EC uncorrectable error"},
    SenseEntry{0x11, 0x06, "CIRC unrecovered error"},
    SenseEntry{0x15, 0x00, "random positioning error"},
    SenseEntry{0x1A, 0x00, "parameter list length error"},
    SenseEntry{0x20, 0x00, "invalid command operation code"},
    SenseEntry{0x21, 0x00, "logical block address out of range"},
    SenseEntry{0x21, 0x02, "invalid address for write"},
    SenseEntry{0x24, 0x00, "invalid field in CDB"},
    SenseEntry{0x25, 0x00, "logical unit not supported"},
    SenseEntry{0x26, 0x00, "invalid field in parameter list"},
    SenseEntry{0x26, 0x01, "parameter not supported"},
    SenseEntry{0x26, 0x02, "parameter value invalid"},
    SenseEntry{0x27, 0x00, "write protected"},
    SenseEntry{0x28, 0x00, "medium may have changed"},
    SenseEntry{0x29, 0x00, "power on, reset, or bus device reset occurred"},
    SenseEntry{0x2A, 0x00, "parameters changed"},
    SenseEntry{0x2C, 0x00, "command sequence error"},
    SenseEntry{0x30, 0x00, "incompatible medium installed"},
    SenseEntry{0x30, 0x01, "cannot read medium - unknown format"},
    SenseEntry{0x30, 0x02, "cannot read medium - incompatible format"},
    SenseEntry{0x30, 0x05, "cannot write medium - incompatible format"},
    SenseEntry{0x30, 0x06, "cannot format medium - incompatible medium"},
    SenseEntry{0x31, 0x00, "medium format corrupted"},
    SenseEntry{0x3A, 0x00, "medium not present"},
    SenseEntry{0x3A, 0x01, "medium not present - tray closed"},
    SenseEntry{0x3A, 0x02, "medium not present - tray open"},
    SenseEntry{0x3E, 0x00, "logical unit has not self-configured yet"},
    SenseEntry{0x44, 0x00, "internal target failure"},
    SenseEntry{0x51, 0x00, "erase failure"},
    SenseEntry{0x53, 0x00, "media load or eject failed"},
    SenseEntry{0x53, 0x02, "medium removal prevented"},
    SenseEntry{0x57, 0x00, "unable to recover table-of-contents"},
    SenseEntry{0x5D, 0x00, "failure prediction threshold exceeded"},
    SenseEntry{0x63, 0x00, "end of user area encountered on this track"},
    SenseEntry{0x64, 0x00, "illegal mode for this track"},
    SenseEntry{0x64, 0x01, "invalid packet size"},
    SenseEntry{0x72, 0x00, "session fixation error"},
    SenseEntry{0x72, 0x03, "session fixation error - incomplete track in session"},
    SenseEntry{0x72, 0x04, "empty or partially written reserved track"},
    SenseEntry{0x72, 0x05, "no more track reservations allowed"},
    SenseEntry{0x73, 0x00, "CD control error"},
    SenseEntry{0x73, 0x01, "power calibration area almost full"},
    SenseEntry{0x73, 0x02, "power calibration area is full"},
    SenseEntry{0x73, 0x03, "power calibration area error"},
    SenseEntry{0x73, 0x04, "program memory area update failure"},
    SenseEntry{0x73, 0x05, "program memory area is full"},
};

// When only the ASC is known the family still tells the user what went wrong.
constexpr std::array kFamilies{
    SenseEntry{0x04, 0, "logical unit not ready"},
    SenseEntry{0x0C, 0, "write error"},
    SenseEntry{0x11, 0, "unrecovered read error"},
    SenseEntry{0x29, 0, "power on, reset, or bus device reset occurred"},
    SenseEntry{0x30, 0, "incompatible medium installed"},
    SenseEntry{0x3A, 0, "medium not present"},
    SenseEntry{0x72, 0, "session fixation error"},
    SenseEntry{0x73, 0, "CD control error"},
};

constexpr std::array<std::string_view, 16> kKeyNames{
    "no sense",         "recovered error", "not ready",   "medium error",     "hardware error", "illegal request",
    "unit attention",   "data protect",    "blank check", "vendor specific",  "copy aborted",   "aborted command",
    "obsolete key 0Ch", "volume overflow", "miscompare",  "reserved key 0Fh",
};

}  // namespace

std::string senseKeyName(std::uint8_t key) {
  return std::string(kKeyNames[key & 0x0F]);
}

std::string senseText(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
  for (const auto& e : kExact)
    if (e.asc == asc && e.ascq == ascq) return std::string(e.text);
  for (const auto& e : kFamilies)
    if (e.asc == asc) return std::string(e.text);
  char codes[40];
  std::snprintf(codes, sizeof codes, " (ASC %02Xh, ASCQ %02Xh)", asc, ascq);
  return senseKeyName(key) + codes;
}

}  // namespace emberline::mmc
