#include "video/dvd_ifo.h"

#include <algorithm>
#include <map>
#include <string>

namespace emberline::video {

namespace {

// Offsets in the first sector of an information file.
constexpr std::size_t kIdentifier = 0x00;
constexpr std::size_t kSetLastSector = 0x0C;
constexpr std::size_t kIfoLastSector = 0x1C;
constexpr std::size_t kTitleSetCount = 0x3E;
constexpr std::size_t kMenuVobStart = 0xC0;
constexpr std::size_t kTitleVobStart = 0xC4;   // title sets
constexpr std::size_t kTitleTable = 0xC4;      // manager: sector of the title search pointer table
constexpr std::size_t kMenuCellTable = 0xD8;   // both: sector of the menu cells' address table
constexpr std::size_t kMenuVobuMap = 0xDC;     // both: sector of the menu VOBUs' address map
constexpr std::size_t kTitleCellTable = 0xE0;  // title sets: sector of the title cells' address table
constexpr std::size_t kTitleVobuMap = 0xE4;    // title sets: sector of the title VOBUs' address map
constexpr std::size_t kCellEntryBytes = 12;
constexpr std::size_t kTitleEntryBytes = 12;
constexpr unsigned kMaxTitleSets = 99;

/// Big-endian reads that fail, instead of reading past the end, on a short file.
class FieldReader {
 public:
  FieldReader(std::span<const std::uint8_t> bytes, std::string_view name) : bytes_(bytes), name_(name) {}

  bool has(std::size_t at, std::size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
  Result<std::uint32_t> u32(std::size_t at) const { return number(at, 4); }
  Result<std::uint32_t> u16(std::size_t at) const { return number(at, 2); }
  Result<std::uint32_t> u8(std::size_t at) const { return number(at, 1); }
  bool textAt(std::size_t at, std::string_view text) const {
    return has(at, text.size()) && std::equal(text.begin(), text.end(), bytes_.begin() + static_cast<long>(at));
  }
  Unexpected refuse(const std::string& why) const {
    return fail(ErrorKind::InvalidArgument, std::string(name_) + " is not a usable DVD-Video information file: " + why);
  }

 private:
  Result<std::uint32_t> number(std::size_t at, std::size_t count) const {
    if (!has(at, count)) return refuse("it ends before byte " + std::to_string(at + count));
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = (value << 8) | bytes_[at + i];
    return value;
  }

  std::span<const std::uint8_t> bytes_;
  std::string_view name_;
};

#define EMBERLINE_FIELD(var, expr)                                  \
  auto var##_read = (expr);                                         \
  if (!var##_read.ok()) return fail(std::move(var##_read).error()); \
  const std::uint32_t var = *var##_read

/// The fields both kinds of information file share, checked against each other and the file size.
Result<DvdSetLayout> readSetLayout(const FieldReader& in, std::span<const std::uint8_t> bytes, std::string_view id) {
  if (bytes.size() < kDvdSectorBytes)
    return in.refuse("it is " + std::to_string(bytes.size()) + " bytes long, shorter than one sector");
  if (!in.textAt(kIdentifier, id)) return in.refuse("it does not start with " + std::string(id));
  EMBERLINE_FIELD(setLast, in.u32(kSetLastSector));
  EMBERLINE_FIELD(ifoLast, in.u32(kIfoLastSector));
  EMBERLINE_FIELD(menuStart, in.u32(kMenuVobStart));
  DvdSetLayout layout;
  layout.ifoLastSector = ifoLast;
  layout.setLastSector = setLast;
  layout.menuVobStart = menuStart;
  if (bytes.size() % kDvdSectorBytes != 0 || bytes.size() / kDvdSectorBytes != std::uint64_t{ifoLast} + 1)
    return in.refuse("it is " + std::to_string(bytes.size()) + " bytes long but declares " +
                     std::to_string(std::uint64_t{ifoLast} + 1) + " sectors");
  // The set holds the IFO, at least as much again for the BUP, and nothing may overlap.
  if (setLast < ifoLast || setLast - ifoLast <= ifoLast)
    return in.refuse("its last sector " + std::to_string(setLast) + " leaves no room for the backup copy");
  if (menuStart != 0 && (menuStart <= ifoLast || menuStart >= layout.bupStart()))
    return in.refuse("its menu VOB start " + std::to_string(menuStart) + " lies outside the set");
  return layout;
}

/// Where one of the file's tables lies: from the start of its sector to the end address it declares.
struct TableSpan {
  std::size_t start = 0;
  std::size_t bytes = 0;
};

/// The table whose sector `pointerField` gives, or an empty span when the field is 0 (no such table).
/// `endField` is where, in the table, its last byte's address (from the table's start) is kept.
Result<TableSpan> tableAt(const FieldReader& in, const DvdSetLayout& layout, std::size_t pointerField,
                          std::size_t endField, std::size_t headerBytes, const char* what) {
  EMBERLINE_FIELD(sector, in.u32(pointerField));
  if (sector == 0) return TableSpan{};
  if (sector > layout.ifoLastSector)
    return in.refuse("its " + std::string(what) + " sector " + std::to_string(sector) + " lies outside the file");
  const std::size_t start = std::size_t{sector} * kDvdSectorBytes;
  EMBERLINE_FIELD(last, in.u32(start + endField));
  if (last + std::size_t{1} < headerBytes || !in.has(start, std::size_t{last} + 1))
    return in.refuse("its " + std::string(what) + " runs past the end of the file");
  return TableSpan{start, std::size_t{last} + 1};
}

/// Reads a cell address table of a group of VOBs `room` sectors long: every cell must lie in that
/// room, and the reach and (when asked) the cells' first sectors are noted.
Status readCells(const FieldReader& in, const DvdSetLayout& layout, std::size_t pointerField, std::uint32_t room,
                 const char* what, DvdVobReach& reach, std::vector<std::uint32_t>* starts) {
  auto span = tableAt(in, layout, pointerField, 4, 8, what);
  if (!span.ok()) return fail(std::move(span).error());
  for (std::size_t entry = span->start + 8; entry + kCellEntryBytes <= span->start + span->bytes;
       entry += kCellEntryBytes) {
    EMBERLINE_FIELD(first, in.u32(entry + 4));
    EMBERLINE_FIELD(last, in.u32(entry + 8));
    if (first > last || last >= room)
      return in.refuse("a cell from sector " + std::to_string(first) + " to " + std::to_string(last) + " of its " +
                       what + " lies outside the " + std::to_string(room) + " sectors it gives those VOBs");
    reach.cellEnd = std::max(reach.cellEnd, last + 1);
    if (starts != nullptr) starts->push_back(first);
  }
  return {};
}

/// Reads a VOBU address map of a group of VOBs `room` sectors long.
Status readVobus(const FieldReader& in, const DvdSetLayout& layout, std::size_t pointerField, std::uint32_t room,
                 const char* what, DvdVobReach& reach) {
  auto span = tableAt(in, layout, pointerField, 0, 4, what);
  if (!span.ok()) return fail(std::move(span).error());
  for (std::size_t entry = span->start + 4; entry + 4 <= span->start + span->bytes; entry += 4) {
    EMBERLINE_FIELD(first, in.u32(entry));
    if (first >= room)
      return in.refuse("a VOBU at sector " + std::to_string(first) + " of its " + what + " lies outside the " +
                       std::to_string(room) + " sectors it gives those VOBs");
    reach.vobuEnd = std::max(reach.vobuEnd, first + 1);
  }
  return {};
}

/// The menu's cells and VOBUs, when the set declares a menu VOB running up to `menuEnd`.
Status readMenuReach(const FieldReader& in, DvdSetLayout& layout, std::uint32_t menuEnd) {
  if (layout.menuVobStart == 0) return {};
  const std::uint32_t room = menuEnd - layout.menuVobStart;
  EMBERLINE_TRY(readCells(in, layout, kMenuCellTable, room, "menu cell address table", layout.menuReach, nullptr));
  return readVobus(in, layout, kMenuVobuMap, room, "menu VOBU address map", layout.menuReach);
}

}  // namespace

Result<DvdManagerInfo> readManagerInfo(std::span<const std::uint8_t> ifo, std::string_view name) {
  const FieldReader in(ifo, name);
  auto layout = readSetLayout(in, ifo, "DVDVIDEO-VMG");
  if (!layout.ok()) return fail(std::move(layout).error());
  DvdManagerInfo info;
  info.layout = *layout;
  EMBERLINE_TRY(readMenuReach(in, info.layout, info.layout.bupStart()));

  EMBERLINE_FIELD(titleSets, in.u16(kTitleSetCount));
  if (titleSets == 0 || titleSets > kMaxTitleSets)
    return in.refuse("it declares " + std::to_string(titleSets) + " title sets");
  EMBERLINE_FIELD(tableSector, in.u32(kTitleTable));
  if (tableSector == 0 || tableSector > info.layout.ifoLastSector)
    return in.refuse("its title table sector " + std::to_string(tableSector) + " lies outside the file");
  const std::size_t table = std::size_t{tableSector} * kDvdSectorBytes;
  EMBERLINE_FIELD(titles, in.u16(table));
  EMBERLINE_FIELD(tableEnd, in.u32(table + 4));
  if (titles == 0 || titles > 99) return in.refuse("its title table lists " + std::to_string(titles) + " titles");
  if (std::uint64_t{tableEnd} + 1 < 8 + std::uint64_t{titles} * kTitleEntryBytes)
    return in.refuse("its title table is shorter than its " + std::to_string(titles) + " titles");

  // Every title names its title set and where that set starts; titles of one set must agree.
  std::map<std::uint32_t, std::uint32_t> starts;
  for (std::uint32_t t = 0; t < titles; ++t) {
    const std::size_t entry = table + 8 + t * kTitleEntryBytes;
    EMBERLINE_FIELD(set, in.u8(entry + 6));
    EMBERLINE_FIELD(start, in.u32(entry + 8));
    if (set == 0 || set > titleSets)
      return in.refuse("title " + std::to_string(t + 1) + " names title set " + std::to_string(set) + " of " +
                       std::to_string(titleSets));
    auto [at, added] = starts.emplace(set, start);
    if (!added && at->second != start)
      return in.refuse("its titles give title set " + std::to_string(set) + " two start sectors");
  }
  std::uint64_t earliest = info.layout.setSectors();
  for (std::uint32_t set = 1; set <= titleSets; ++set) {
    auto found = starts.find(set);
    if (found == starts.end()) return in.refuse("no title gives the start of title set " + std::to_string(set));
    if (found->second < earliest)
      return in.refuse("title set " + std::to_string(set) + " starts at sector " + std::to_string(found->second) +
                       ", inside what comes before it");
    info.titleSetStarts.push_back(found->second);
    earliest = std::uint64_t{found->second} + 1;
  }
  return info;
}

Result<DvdSetLayout> readTitleSetInfo(std::span<const std::uint8_t> ifo, std::string_view name) {
  const FieldReader in(ifo, name);
  auto layout = readSetLayout(in, ifo, "DVDVIDEO-VTS");
  if (!layout.ok()) return fail(std::move(layout).error());
  EMBERLINE_FIELD(titleStart, in.u32(kTitleVobStart));
  if (titleStart <= layout->ifoLastSector || titleStart >= layout->bupStart())
    return in.refuse("its title VOB start " + std::to_string(titleStart) + " lies outside the set");
  if (layout->menuVobStart != 0 && layout->menuVobStart >= titleStart)
    return in.refuse("its menu VOB start " + std::to_string(layout->menuVobStart) + " is not before its title VOBs");
  layout->titleVobStart = titleStart;

  EMBERLINE_TRY(readMenuReach(in, *layout, titleStart));

  // Cells are where a player may start reading; a layer break must fall on one.
  const std::uint32_t titleSectors = layout->bupStart() - titleStart;
  std::vector<std::uint32_t> starts;
  EMBERLINE_TRY(
      readCells(in, *layout, kTitleCellTable, titleSectors, "title cell address table", layout->titleReach, &starts));
  EMBERLINE_TRY(readVobus(in, *layout, kTitleVobuMap, titleSectors, "title VOBU address map", layout->titleReach));
  for (std::uint32_t first : starts) layout->titleCellStarts.push_back(titleStart + first);
  std::sort(layout->titleCellStarts.begin(), layout->titleCellStarts.end());
  layout->titleCellStarts.erase(std::unique(layout->titleCellStarts.begin(), layout->titleCellStarts.end()),
                                layout->titleCellStarts.end());
  return layout;
}

#undef EMBERLINE_FIELD

}  // namespace emberline::video
