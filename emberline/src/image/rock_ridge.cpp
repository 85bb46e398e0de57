#include "image/rock_ridge.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "image/both_endian.h"
#include "image/directory_record.h"

namespace emberline::image {

namespace {

// Flags of the RR entry: which entries the record holds.
constexpr std::uint8_t kHasPx = 0x01;
constexpr std::uint8_t kHasSl = 0x04;
constexpr std::uint8_t kHasNm = 0x08;
constexpr std::uint8_t kHasCl = 0x10;
constexpr std::uint8_t kHasPl = 0x20;
constexpr std::uint8_t kHasRe = 0x40;
constexpr std::uint8_t kHasTf = 0x80;

// TF: modification, access and attribute change; the long form holds years the short one cannot.
constexpr std::uint8_t kTimesRecorded = 0x0E;
constexpr std::uint8_t kLongForm = 0x80;

// SL component flags.
constexpr std::uint8_t kComponentContinues = 0x01;
constexpr std::uint8_t kComponentCurrent = 0x02;
constexpr std::uint8_t kComponentParent = 0x04;
constexpr std::uint8_t kComponentRoot = 0x08;

constexpr std::size_t kLongestEntry = 255;

constexpr std::string_view kExtensionId = "RRIP_1991A";
constexpr std::string_view kExtensionDescriptor =
    "THE ROCK RIDGE INTERCHANGE PROTOCOL PROVIDES SUPPORT FOR POSIX FILE SYSTEM SEMANTICS";
constexpr std::string_view kExtensionSource =
    "PLEASE CONTACT DISC PUBLISHER FOR SPECIFICATION SOURCE.  SEE PUBLISHER IDENTIFIER IN PRIMARY VOLUME "
    "DESCRIPTOR FOR CONTACT INFORMATION.";

bool fitsShortForm(std::time_t when) {
  std::tm t{};
  gmtime_r(&when, &t);
  return t.tm_year >= 0 && t.tm_year <= 255;
}

void addTimes(SystemUseEntries& out, std::time_t modified, std::time_t accessed, std::time_t changed) {
  const bool longForm = !fitsShortForm(modified) || !fitsShortForm(accessed) || !fitsShortForm(changed);
  const std::size_t stamp = longForm ? 17 : 7;
  auto tf = out.add("TF", 5 + 3 * stamp);
  tf[4] = static_cast<std::uint8_t>(kTimesRecorded | (longForm ? kLongForm : 0));
  std::size_t at = 5;
  for (std::time_t when : {modified, accessed, changed}) {
    if (longForm)
      writeLongDate(tf.subspan(at, stamp), when);
    else
      writeRecordingDate(tf.subspan(at, stamp), when);
    at += stamp;
  }
}

/// `firstPart`: the bytes of the name the first NM entry takes at most.
void addName(SystemUseEntries& out, std::string_view name, std::size_t firstPart) {
  constexpr std::size_t kPerEntry = kLongestEntry - 5;
  std::size_t limit = std::clamp<std::size_t>(firstPart, 1, kPerEntry);
  do {
    const std::size_t part = std::min(name.size(), limit);
    limit = kPerEntry;
    auto nm = out.add("NM", 5 + part);
    nm[4] = part < name.size() ? 0x01 : 0x00;  // the name goes on in the next NM entry
    std::copy_n(name.begin(), part, nm.begin() + 5);
    name.remove_prefix(part);
  } while (!name.empty());
}

struct Component {
  std::uint8_t flags;
  std::string_view text;
};

/// A link's target as components: "/" starts with a root component, "."
/// and ".." have components of their own.
std::vector<Component> linkComponents(std::string_view target) {
  std::vector<Component> components;
  if (!target.empty() && target.front() == '/') {
    components.push_back({kComponentRoot, {}});
    while (!target.empty() && target.front() == '/') target.remove_prefix(1);
  }
  while (!target.empty()) {
    const std::size_t slash = std::min(target.find('/'), target.size());
    const std::string_view name = target.substr(0, slash);
    target.remove_prefix(slash);
    while (!target.empty() && target.front() == '/') target.remove_prefix(1);
    if (name == ".")
      components.push_back({kComponentCurrent, {}});
    else if (name == "..")
      components.push_back({kComponentParent, {}});
    else
      components.push_back({0, name});
  }
  return components;
}

/// SL entries of at most 255 bytes, the first holding at most `firstRoom`
/// bytes of component records. A name that does not fit what is left of an
/// entry goes on in the next (its piece says so); every entry but the last
/// says the link goes on.
void addLink(SystemUseEntries& out, std::string_view target, std::size_t firstRoom) {
  constexpr std::size_t kPerEntry = kLongestEntry - 5;
  std::vector<std::uint8_t> records;
  std::size_t room = std::clamp<std::size_t>(firstRoom, 3, kPerEntry);
  const auto flush = [&](bool last) {
    auto sl = out.add("SL", 5 + records.size());
    sl[4] = last ? 0x00 : 0x01;
    std::copy(records.begin(), records.end(), sl.begin() + 5);
    records.clear();
    room = kPerEntry;
  };
  for (Component component : linkComponents(target)) {
    for (;;) {
      const std::size_t left = room - records.size();
      if (2 + component.text.size() <= left) {
        records.push_back(component.flags);
        records.push_back(static_cast<std::uint8_t>(component.text.size()));
        records.insert(records.end(), component.text.begin(), component.text.end());
        break;
      }
      if (!component.text.empty() && left >= 3) {
        const std::size_t part = left - 2;
        records.push_back(static_cast<std::uint8_t>(component.flags | kComponentContinues));
        records.push_back(static_cast<std::uint8_t>(part));
        records.insert(records.end(), component.text.begin(),
                       component.text.begin() + static_cast<std::ptrdiff_t>(part));
        component.text.remove_prefix(part);
      }
      flush(false);
    }
  }
  flush(true);
}

void addLocation(SystemUseEntries& out, const char (&signature)[3], std::uint32_t lba) {
  auto entry = out.add(signature, 12);
  putBoth32(entry, 4, lba);
}

void putBothField(std::span<std::uint8_t> entry, std::size_t at, std::uint32_t value) {
  putBoth32(entry, at, value);
}

}  // namespace

std::uint32_t rationalizedMode(std::uint32_t mode) {
  const std::uint32_t type = mode & S_IFMT;
  if (type == S_IFDIR) return type | 0555;
  return type | 0444 | ((mode & 0111) != 0 ? 0111 : 0);
}

std::uint32_t RockRidgePlanner::ownSerial(const TreeNode* node, bool directory) {
  // The relocation folder and the boot catalogue have numbers of their own.
  if (node == nullptr) return attributes_.lastSerial() + (directory ? 1 : 2);
  const auto [it, added] = ownSerials_.try_emplace(node, 0);
  if (added) it->second = nextOwnSerial_++;
  return it->second;
}

RockRidgePlanner::Posix RockRidgePlanner::posixOf(const SystemUseRecord& record) {
  Posix posix{};
  const UnixAttributes* source = record.node != nullptr ? attributes_.find(*record.node) : nullptr;
  if (source != nullptr) {
    posix.mode = source->mode;
    posix.links = source->links;
    posix.uid = source->uid;
    posix.gid = source->gid;
    posix.serial = source->serial;
    if (!options_.keepOwners) {
      posix.mode = rationalizedMode(posix.mode);
      posix.uid = 0;
      posix.gid = 0;
    }
  } else {
    posix.mode = record.directory ? (S_IFDIR | 0555) : (S_IFREG | 0444);
    posix.links = 1;
    posix.serial = ownSerial(record.node, record.directory);
  }
  // A folder's links are its own name, its '.' and each subfolder's '..', as the image holds them.
  if (record.directory) posix.links = 2 + record.folders;
  return posix;
}

void RockRidgePlanner::entries(const SystemUseRecord& record, SystemUseEntries& out) {
  if (record.root) {
    auto sp = out.add("SP", 7);
    sp[4] = 0xBE;
    sp[5] = 0xEF;
    sp[6] = 0;  // no bytes to skip before each record's entries
  }
  const bool entry = record.kind == SystemUseRecord::Kind::Entry;
  std::optional<std::string_view> target;
  if (entry && record.node != nullptr && !record.directory) target = attributes_.linkTarget(*record.node);

  std::uint8_t present = kHasPx | kHasTf;
  if (entry) present |= kHasNm;
  if (target) present |= kHasSl;
  if (record.childLink) present |= kHasCl;
  if (record.parentLink) present |= kHasPl;
  if (record.relocated) present |= kHasRe;
  auto rr = out.add("RR", 5);
  rr[4] = present;

  const Posix posix = posixOf(record);
  auto px = out.add("PX", 44);
  putBothField(px, 4, posix.mode);
  putBothField(px, 12, posix.links);
  putBothField(px, 20, posix.uid);
  putBothField(px, 28, posix.gid);
  putBothField(px, 36, posix.serial);

  const UnixAttributes* source = record.node != nullptr ? attributes_.find(*record.node) : nullptr;
  addTimes(out, record.modified, source != nullptr ? source->accessed : record.modified,
           source != nullptr ? source->changed : record.modified);

  if (entry) {
    // A name that does not fit the record whole starts there all the same, in
    // what is left beside the CE entry: readers that take the record alone see its start.
    constexpr std::size_t kNameHeader = 5;
    constexpr std::size_t kContinuation = 28;
    const std::size_t used = out.bytes().size();
    std::size_t firstPart = record.name.size();
    if (used + kNameHeader + record.name.size() > record.room && record.room > used + kNameHeader + kContinuation)
      firstPart = record.room - used - kNameHeader - kContinuation;
    addName(out, record.name, firstPart);
  }
  if (target) {
    // As with the name: the link starts in the record when it does not fit there whole.
    constexpr std::size_t kLinkHeader = 5;
    constexpr std::size_t kContinuation = 28;
    const std::size_t used = out.bytes().size();
    std::size_t whole = 0;
    for (const Component& component : linkComponents(*target)) whole += 2 + component.text.size();
    std::size_t firstRoom = kLongestEntry;
    if (used + kLinkHeader + whole > record.room && record.room > used + kLinkHeader + kContinuation + 3)
      firstRoom = std::min(firstRoom, record.room - used - kLinkHeader - kContinuation);
    addLink(out, *target, firstRoom);
  }
  if (record.childLink) addLocation(out, "CL", *record.childLink);
  if (record.parentLink) addLocation(out, "PL", *record.parentLink);
  if (record.relocated) out.add("RE", 4);

  if (record.root) {
    auto er = out.add("ER", 8 + kExtensionId.size() + kExtensionDescriptor.size() + kExtensionSource.size());
    er[4] = static_cast<std::uint8_t>(kExtensionId.size());
    er[5] = static_cast<std::uint8_t>(kExtensionDescriptor.size());
    er[6] = static_cast<std::uint8_t>(kExtensionSource.size());
    er[7] = 1;  // extension version
    auto at = std::copy(kExtensionId.begin(), kExtensionId.end(), er.begin() + 8);
    at = std::copy(kExtensionDescriptor.begin(), kExtensionDescriptor.end(), at);
    std::copy(kExtensionSource.begin(), kExtensionSource.end(), at);
  }
}

}  // namespace emberline::image
