#pragma once
// Made-up information files and copies of the DVD-Video fixture folders.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/shell_command.h"

namespace dvd_test {

namespace fs = std::filesystem;

inline void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}
inline void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}

/// A title set's IFO: IFO sectors 0..ifoLast, menu from `menu` (0: none), titles from `titles`.
inline std::vector<std::uint8_t> titleSetIfo(std::uint32_t ifoLast, std::uint32_t setLast, std::uint32_t menu,
                                             std::uint32_t titles) {
  std::vector<std::uint8_t> ifo((ifoLast + 1) * 2048u, 0);
  std::copy_n("DVDVIDEO-VTS", 12, ifo.begin());
  put32(ifo, 0x0C, setLast);
  put32(ifo, 0x1C, ifoLast);
  put32(ifo, 0xC0, menu);
  put32(ifo, 0xC4, titles);
  return ifo;
}

/// VIDEO_TS.IFO with one title per set starting at `starts`, its title table in sector 1.
inline std::vector<std::uint8_t> managerIfo(std::uint32_t ifoLast, std::uint32_t setLast, std::uint32_t menu,
                                            const std::vector<std::uint32_t>& starts) {
  std::vector<std::uint8_t> ifo((ifoLast + 1) * 2048u, 0);
  std::copy_n("DVDVIDEO-VMG", 12, ifo.begin());
  put32(ifo, 0x0C, setLast);
  put32(ifo, 0x1C, ifoLast);
  put16(ifo, 0x3E, static_cast<std::uint16_t>(starts.size()));
  put32(ifo, 0xC0, menu);
  put32(ifo, 0xC4, 1);
  const std::size_t table = 2048;
  put16(ifo, table, static_cast<std::uint16_t>(starts.size()));
  put32(ifo, table + 4, static_cast<std::uint32_t>(7 + 12 * starts.size()));
  for (std::size_t i = 0; i < starts.size(); ++i) {
    ifo[table + 8 + 12 * i + 6] = static_cast<std::uint8_t>(i + 1);
    put32(ifo, table + 8 + 12 * i + 8, starts[i]);
  }
  return ifo;
}

/// Puts a cell address table at `sector` of `ifo` (which must be long enough) and points `field` at it;
/// each cell is {first, last} sector of its group of VOBs.
inline void putCellTable(std::vector<std::uint8_t>& ifo, std::size_t field, std::uint32_t sector,
                         const std::vector<std::pair<std::uint32_t, std::uint32_t>>& cells) {
  const std::size_t table = std::size_t{sector} * 2048;
  put32(ifo, field, sector);
  put16(ifo, table, 1);
  put32(ifo, table + 4, static_cast<std::uint32_t>(7 + 12 * cells.size()));
  for (std::size_t i = 0; i < cells.size(); ++i) {
    put16(ifo, table + 8 + 12 * i, 1);
    ifo[table + 8 + 12 * i + 2] = static_cast<std::uint8_t>(i + 1);
    put32(ifo, table + 8 + 12 * i + 4, cells[i].first);
    put32(ifo, table + 8 + 12 * i + 8, cells[i].second);
  }
}

/// Puts a VOBU address map at `sector` of `ifo` and points `field` at it.
inline void putVobuMap(std::vector<std::uint8_t>& ifo, std::size_t field, std::uint32_t sector,
                       const std::vector<std::uint32_t>& starts) {
  const std::size_t map = std::size_t{sector} * 2048;
  put32(ifo, field, sector);
  put32(ifo, map, static_cast<std::uint32_t>(3 + 4 * starts.size()));
  for (std::size_t i = 0; i < starts.size(); ++i) put32(ifo, map + 4 + 4 * i, starts[i]);
}

inline void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

/// Standard output of a shell command (stderr dropped).
inline std::string run(const std::string& command) {
  return test_support::commandOutput(command);
}

/// What udfinfo says on its error output about an image: empty when it finds every anchor and descriptor.
inline std::string udfWarnings(const fs::path& image) {
  return run("{ udfinfo '" + image.string() + "' 2>&1 >/dev/null; }");
}

using test_support::haveTool;

inline fs::path fixtures() {
  return ONDRELLE_DVD_FIXTURES_DIR;
}
inline bool haveFixtures() {
  return fs::exists(fixtures() / ".complete") && fs::exists(fixtures() / "one-title");
}

/// Size, modification time and contents of every file below `folder`, to show a folder was only read.
inline std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    struct stat info {};
    ::stat(entry.path().c_str(), &info);
    const auto bytes = entry.is_regular_file() ? readBytes(entry.path()) : std::vector<std::uint8_t>{};
    files[entry.path().string()] = std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
                                   std::to_string(info.st_mtim.tv_nsec) + " " + std::string(bytes.begin(), bytes.end());
  }
  return files;
}

/// File name to start sector, as isoinfo lists the VIDEO_TS folder of an image.
inline std::map<std::string, std::uint32_t> isoSectors(const fs::path& iso) {
  std::map<std::string, std::uint32_t> sectors;
  std::istringstream listing(run("isoinfo -l -i '" + iso.string() + "'"));
  const std::regex line(R"(\[\s*(\d+)\s+\d+\]\s+(V[A-Z0-9_]+\.[A-Z]{3});1)");
  std::smatch match;
  for (std::string text; std::getline(listing, text);)
    if (std::regex_search(text, match, line)) sectors[match[2]] = static_cast<std::uint32_t>(std::stoul(match[1]));
  return sectors;
}

/// The title, chapter and cell lines of lsdvd -x: everything but the disc's title.
inline std::string titles(const std::string& listing) {
  std::istringstream in(listing);
  std::string out;
  for (std::string line; std::getline(in, line);)
    if (line.starts_with("Title") || line.find("Chapter") != std::string::npos ||
        line.find("Cell") != std::string::npos)
      out += line + "\n";
  return out;
}

/// A temporary folder removed at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/emberline-dvd-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace dvd_test
