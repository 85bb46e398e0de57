#include "video/dvd_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "video/dvd_ifo.h"

namespace emberline::video {

namespace {

namespace fs = std::filesystem;

/// Information files are small; anything larger is not one, and is not read into memory.
constexpr std::uint64_t kMaxIfoBytes = 16u << 20;
constexpr unsigned kMaxTitleVobs = 9;
/// Room the information files may leave between one file and the next. Authoring tools leave a little
/// (dvdauthor gives a manager without menus 32 sectors, most of them empty); more than half a mebibyte is
/// room the folder does not hold, which the disc would carry as zeros: one damaged sector address can
/// ask for gigabytes of it.
constexpr std::uint32_t kMaxPaddingSectors = 256;

/// A byte count with its thousands separated, as people read it.
std::string grouped(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

Unexpected refuse(std::string text) {
  return fail(ErrorKind::InvalidArgument, std::move(text));
}

std::string setFileName(unsigned set, unsigned part, const char* extension) {
  char name[16];
  std::snprintf(name, sizeof name, "VTS_%02u_%u.%s", set, part, extension);
  return name;
}

/// The regular files of a folder by upper-case name.
class FolderEntries {
 public:
  static Result<FolderEntries> list(const fs::path& folder) {
    FolderEntries entries;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return fail(ErrorKind::File, "cannot list " + folder.string() + ": " + error.message());
    for (; it != fs::directory_iterator(); it.increment(error)) {
      const fs::directory_entry& entry = *it;
      const std::string name = entry.path().filename().string();
      std::error_code typeError;
      const bool folderEntry = entry.is_directory(typeError);
      Entry found{name, folderEntry, folderEntry ? 0 : entry.file_size(typeError)};
      if (typeError) return fail(ErrorKind::File, "cannot read " + entry.path().string() + ": " + typeError.message());
      auto [at, added] = entries.byName_.emplace(upper(name), found);
      if (!added)
        return refuse(folder.string() + " holds both " + at->second.name + " and " + name +
                      ", which are the same name on the disc");
    }
    if (error) return fail(ErrorKind::File, "cannot list " + folder.string() + ": " + error.message());
    return entries;
  }

  struct Entry {
    std::string name;
    bool folder = false;
    std::uint64_t bytes = 0;
  };

  const Entry* file(const std::string& upperName) const {
    auto found = byName_.find(upperName);
    return found == byName_.end() || found->second.folder ? nullptr : &found->second;
  }
  const Entry* folder(const std::string& upperName) const {
    auto found = byName_.find(upperName);
    return found == byName_.end() || !found->second.folder ? nullptr : &found->second;
  }
  bool empty() const { return byName_.empty(); }
  const std::map<std::string, Entry>& all() const { return byName_; }

 private:
  std::map<std::string, Entry> byName_;
};

Result<std::vector<std::uint8_t>> readInformationFile(const fs::path& path, std::uint64_t bytes) {
  if (bytes > kMaxIfoBytes)
    return refuse(path.filename().string() + " is " + std::to_string(bytes) +
                  " bytes long, too large for a DVD-Video information file");
  std::vector<std::uint8_t> contents(bytes);
  std::ifstream in(path, std::ios::binary);
  if (in) in.read(reinterpret_cast<char*>(contents.data()), static_cast<std::streamsize>(bytes));
  if (!in || in.gcount() != static_cast<std::streamsize>(bytes))
    return fail(ErrorKind::File, "cannot read " + path.string());
  return contents;
}

/// Builds the file list of one folder, set by set.
class FolderCheck {
 public:
  FolderCheck(fs::path videoTs, FolderEntries entries) : videoTs_(std::move(videoTs)), entries_(std::move(entries)) {}

  Result<DvdFolder> run() {
    const auto* ifo = entries_.file("VIDEO_TS.IFO");
    if (ifo == nullptr) return refuse("VIDEO_TS.IFO is missing from " + videoTs_.string());
    auto ifoBytes = readInformationFile(videoTs_ / ifo->name, ifo->bytes);
    if (!ifoBytes.ok()) return fail(std::move(ifoBytes).error());
    auto manager = readManagerInfo(*ifoBytes, "VIDEO_TS.IFO");
    if (!manager.ok()) return fail(std::move(manager).error());

    EMBERLINE_TRY(addSet(0, manager->layout, "VIDEO_TS.IFO", "VIDEO_TS.VOB", "VIDEO_TS.BUP", 0));
    const auto& starts = manager->titleSetStarts;
    for (unsigned set = 1; set <= starts.size(); ++set) {
      if (starts[set - 1] < folder_.sectors)
        return refuse("title set " + std::to_string(set) + " starts at sector " + std::to_string(starts[set - 1]) +
                      " by VIDEO_TS.IFO, inside the set before it, which ends at sector " +
                      std::to_string(folder_.sectors - 1));
      const std::string ifoName = setFileName(set, 0, "IFO");
      EMBERLINE_TRY(checkPadding("VIDEO_TS.IFO", ifoName, starts[set - 1], folder_.sectors));
      const auto* setIfo = entries_.file(ifoName);
      if (setIfo == nullptr)
        return refuse("title set " + std::to_string(set) + " is incomplete: " + ifoName + " is missing");
      auto setBytes = readInformationFile(videoTs_ / setIfo->name, setIfo->bytes);
      if (!setBytes.ok()) return fail(std::move(setBytes).error());
      auto layout = readTitleSetInfo(*setBytes, ifoName);
      if (!layout.ok()) return fail(std::move(layout).error());
      EMBERLINE_TRY(
          addSet(set, *layout, ifoName, setFileName(set, 0, "VOB"), setFileName(set, 0, "BUP"), starts[set - 1]));
    }
    EMBERLINE_TRY(checkNoStraySets(static_cast<unsigned>(starts.size())));
    for (const auto& [name, entry] : entries_.all())
      if (!used_.contains(name)) folder_.leftOut.push_back(entry.name);
    folder_.videoTs = videoTs_.string();
    return std::move(folder_);
  }

 private:
  Status addSet(unsigned set, const DvdSetLayout& layout, const std::string& ifoName, const std::string& menuName,
                const std::string& bupName, std::uint32_t start) {
    const std::string what = set == 0 ? std::string("the video manager") : "title set " + std::to_string(set);
    if (std::uint64_t{start} + layout.setSectors() > 0xFFFFFFFFu)
      return refuse(what + " would end past the last sector a disc can address");
    const auto* ifo = entries_.file(ifoName);
    const auto* bup = entries_.file(bupName);
    if (bup == nullptr)
      return refuse(what + " is incomplete: " + bupName + ", the backup of " + ifoName + ", is missing");
    if (bup->bytes != ifo->bytes)
      return refuse(bupName + " is " + std::to_string(bup->bytes) + " bytes long but " + ifoName + " is " +
                    std::to_string(ifo->bytes) + ": the backup must be a copy");
    add(ifoName, *ifo, start, true);
    // Where the files placed so far end, counted from the set's IFO.
    std::uint64_t filesEnd = layout.ifoSectors();

    // The menu VOB runs up to the title VOBs (title sets) or the backup (the manager).
    const std::uint32_t menuEnd = set == 0 ? layout.bupStart() : layout.titleVobStart;
    const auto* menu = entries_.file(menuName);
    if (layout.menuVobStart != 0) {
      if (menu == nullptr)
        return refuse(what + " is incomplete: " + menuName + " is missing, though " + ifoName + " declares a menu");
      EMBERLINE_TRY(checkPadding(ifoName, menuName, layout.menuVobStart, filesEnd));
      EMBERLINE_TRY(addVob(menuName, *menu, start, layout.menuVobStart, menuEnd, ifoName));
      EMBERLINE_TRY(checkReach(menuName, menu->bytes / kDvdSectorBytes, layout.menuReach, ifoName));
      filesEnd = layout.menuVobStart + menu->bytes / kDvdSectorBytes;
    } else if (menu != nullptr && menu->bytes != 0) {
      return refuse(menuName + " holds data, but " + ifoName + " declares no menu");
    } else if (menu != nullptr) {
      add(menuName, *menu, start + layout.ifoSectors(), false);  // empty: it takes no room
    }

    if (set != 0) {
      std::uint32_t at = layout.titleVobStart;
      unsigned count = 0;
      for (unsigned part = 1; part <= kMaxTitleVobs; ++part)
        if (entries_.file(setFileName(set, part, "VOB")) != nullptr) count = part;
      if (count == 0) return refuse(what + " is incomplete: " + setFileName(set, 1, "VOB") + " is missing");
      EMBERLINE_TRY(checkPadding(ifoName, setFileName(set, 1, "VOB"), layout.titleVobStart, filesEnd));
      for (unsigned part = 1; part <= count; ++part) {
        const std::string name = setFileName(set, part, "VOB");
        const auto* vob = entries_.file(name);
        if (vob == nullptr)
          return refuse(what + " is incomplete: " + name + " is missing, though " + setFileName(set, count, "VOB") +
                        " is present");
        EMBERLINE_TRY(addVob(name, *vob, start, at, layout.bupStart(), ifoName));
        at += static_cast<std::uint32_t>(vob->bytes / kDvdSectorBytes);
      }
      const std::uint32_t present = at - layout.titleVobStart;
      const std::string last = setFileName(set, count, "VOB");
      EMBERLINE_TRY(checkReach(last, present, layout.titleReach, ifoName));
      if (present == 0) return refuse(last + " is empty: " + what + " holds no title video");
      filesEnd = at;
    }
    EMBERLINE_TRY(checkPadding(ifoName, bupName, layout.bupStart(), filesEnd));
    for (std::uint32_t cell : layout.titleCellStarts) folder_.cellStarts.push_back(start + cell);
    add(bupName, *bup, start + layout.bupStart(), true);
    folder_.sectors = static_cast<std::uint32_t>(start + layout.setSectors());
    return {};
  }

  /// The information file puts `next` at `declared`, counted as `filesEnd` is: what lies between is padding.
  static Status checkPadding(const std::string& ifoName, const std::string& next, std::uint64_t declared,
                             std::uint64_t filesEnd) {
    if (declared <= filesEnd + kMaxPaddingSectors) return {};
    return refuse(ifoName + " puts " + next + " " + grouped((declared - filesEnd) * kDvdSectorBytes) +
                  " bytes past the end of the files before it, room the folder does not hold");
  }

  /// The VOBs of one group hold `present` sectors; every cell and VOBU the information file lists in
  /// them must lie inside those, or a player would read what is not there.
  static Status checkReach(const std::string& lastVob, std::uint64_t present, const DvdVobReach& reach,
                           const std::string& ifoName) {
    const bool cells = reach.cellEnd >= reach.vobuEnd;
    if (reach.end() <= present) return {};
    return refuse(lastVob + " is cut short: it ends " + grouped((reach.end() - present) * kDvdSectorBytes) +
                  " bytes before the last " + (cells ? "cell" : "VOBU") + " that " + ifoName + " points to");
  }

  /// A VOB starts at `at` and must end by `end`, both counted from the set's IFO.
  Status addVob(const std::string& name, const FolderEntries::Entry& vob, std::uint32_t setStart, std::uint32_t at,
                std::uint32_t end, const std::string& ifoName) {
    if (vob.bytes > kMaxVobBytes)
      return refuse(name + " is " + std::to_string(vob.bytes) + " bytes long, more than the 1 GiB a VOB file may hold");
    if (vob.bytes % kDvdSectorBytes != 0)
      return refuse(name + " is " + std::to_string(vob.bytes) + " bytes long, not a whole number of sectors");
    const std::uint64_t sectors = vob.bytes / kDvdSectorBytes;
    if (at + sectors > end)
      return refuse(name + " is " + std::to_string(sectors) + " sectors long, but " + ifoName + " leaves room for " +
                    std::to_string(end > at ? end - at : 0) + " from sector " + std::to_string(at));
    add(name, vob, setStart + at, false);
    return {};
  }

  void add(const std::string& name, const FolderEntries::Entry& entry, std::uint32_t sector, bool information) {
    folder_.files.push_back(DvdFile{name, (videoTs_ / entry.name).string(), entry.bytes, sector, information});
    folder_.bytes += entry.bytes;
    used_.insert(name);
  }

  /// Files of title sets that VIDEO_TS.IFO does not declare mean the folder is not what it claims.
  Status checkNoStraySets(unsigned sets) const {
    for (const auto& [name, entry] : entries_.all()) {
      unsigned set = 0, part = 0;
      char extension[4] = {};
      if (std::sscanf(name.c_str(), "VTS_%2u_%1u.%3[A-Z]", &set, &part, extension) == 3 && set > sets &&
          (std::string(extension) == "IFO" || std::string(extension) == "BUP" || std::string(extension) == "VOB"))
        return refuse(entry.name + " belongs to title set " + std::to_string(set) + ", but VIDEO_TS.IFO declares " +
                      std::to_string(sets));
    }
    return {};
  }

  fs::path videoTs_;
  FolderEntries entries_;
  DvdFolder folder_;
  std::set<std::string> used_;
};

}  // namespace

Result<DvdFolder> checkDvdFolder(const std::string& path) {
  const fs::path given(path);
  std::error_code error;
  const fs::file_status status = fs::status(given, error);
  if (path.empty() || status.type() == fs::file_type::not_found)
    return refuse("The DVD-Video folder " + path + " does not exist");
  if (error) return fail(ErrorKind::File, "cannot read " + path + ": " + error.message());
  if (status.type() != fs::file_type::directory)
    return refuse(path + " is not a folder: give the VIDEO_TS folder or the folder that holds it");

  auto entries = FolderEntries::list(given);
  if (!entries.ok()) return fail(std::move(entries).error());
  fs::path videoTs = given;
  std::string name = given.filename().string();
  if (name.empty()) name = given.parent_path().filename().string();  // a path ending in '/'
  if (upper(name) != "VIDEO_TS" && entries->file("VIDEO_TS.IFO") == nullptr) {
    const auto* inner = entries->folder("VIDEO_TS");
    if (inner == nullptr)
      return refuse(entries->empty()
                        ? "The folder " + path + " is empty: it holds no VIDEO_TS folder"
                        : "The folder " + path + " is not a DVD-Video folder: it holds no VIDEO_TS folder");
    videoTs = given / inner->name;
    entries = FolderEntries::list(videoTs);
    if (!entries.ok()) return fail(std::move(entries).error());
  }
  if (entries->empty()) return refuse("The VIDEO_TS folder " + videoTs.string() + " is empty");
  return FolderCheck(videoTs, std::move(*entries)).run();
}

}  // namespace emberline::video
