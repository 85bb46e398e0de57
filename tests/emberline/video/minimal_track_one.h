#pragma once
// A bare ISO 9660 track 1 for a planned Video CD or Super Video CD, made
// only so the tests can hand a whole disc image to the Video CD readers
// before the library's image builder carries the XA fields. It lays out the
// plan's files in two folders, with XA system use fields, in Form 1 sectors.

#include <array>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "sector/cd_sector.h"
#include "video/vcd_disc_layout.h"

namespace video_test {

class MinimalTrackOne {
 public:
  explicit MinimalTrackOne(const emberline::video::VcdDiscLayout& layout)
      : layout_(layout), sectors_(layout.trackOneSectors) {}

  /// Track 1 as raw sectors, LBA 0 first.
  std::vector<std::array<std::uint8_t, 2352>> build() {
    const bool vcd = layout_.kind == emberline::video::VideoDiscKind::VideoCd;
    const std::string infoFolder = vcd ? "VCD" : "SVCD";
    const std::string mpegFolder = vcd ? "MPEGAV" : "MPEG2";
    // Folders in path table order: root, then children by name.
    const std::string first = std::min(infoFolder, mpegFolder), second = std::max(infoFolder, mpegFolder);
    constexpr std::uint32_t kPathL = 18, kPathM = 19, kRoot = 20, kFirst = 21, kSecond = 22;

    std::vector<std::uint8_t> path;
    addPathRecord(path, "\0", kRoot, 1, false);
    addPathRecord(path, first, kFirst, 1, false);
    addPathRecord(path, second, kSecond, 1, false);
    std::vector<std::uint8_t> pathM;
    addPathRecord(pathM, "\0", kRoot, 1, true);
    addPathRecord(pathM, first, kFirst, 1, true);
    addPathRecord(pathM, second, kSecond, 1, true);

    std::vector<std::uint8_t> root;
    addRecord(root, std::string(1, '\0'), kRoot, 2048, true, 0);
    addRecord(root, std::string(1, '\1'), kRoot, 2048, true, 0);
    addRecord(root, first, kFirst, 2048, true, 0);
    addRecord(root, second, kSecond, 2048, true, 0);
    auto folder = [&](const std::string& name, std::uint32_t lba) {
      std::vector<std::uint8_t> dir;
      addRecord(dir, std::string(1, '\0'), lba, 2048, true, 0);
      addRecord(dir, std::string(1, '\1'), kRoot, 2048, true, 0);
      for (const auto& f : layout_.files) {
        if (f.path.substr(0, f.path.find('/')) != name) continue;
        addRecord(dir, f.path.substr(f.path.find('/') + 1) + ";1", f.lba, f.size, false, f.xaFileNumber, f.form2);
      }
      return dir;
    };

    std::array<std::uint8_t, 2048> pvd{};
    pvd[0] = 1;
    std::memcpy(&pvd[1], "CD001", 5);
    pvd[6] = 1;
    padded(pvd, 8, 32, "CD-RTOS CD-BRIDGE");
    padded(pvd, 40, 32, "VIDEOCD");
    bothEndian32(pvd.data() + 80, layout_.leadOutLba);
    bothEndian16(pvd.data() + 120, 1);
    bothEndian16(pvd.data() + 124, 1);
    bothEndian16(pvd.data() + 128, 2048);
    bothEndian32(pvd.data() + 132, static_cast<std::uint32_t>(path.size()));
    le32(pvd.data() + 140, kPathL);
    be32(pvd.data() + 148, kPathM);
    std::vector<std::uint8_t> rootRecord;
    addRecord(rootRecord, std::string(1, '\0'), kRoot, 2048, true, 0, false, false);
    std::memcpy(&pvd[156], rootRecord.data(), 34);
    for (std::size_t i = 190; i < 813; ++i) pvd[i] = ' ';
    for (std::size_t at : {813, 830, 847, 864}) {
      std::memset(&pvd[at], '0', 16);
      pvd[at + 16] = 0;
    }
    pvd[881] = 1;
    std::memcpy(&pvd[1024], "CD-XA001", 8);
    put(16, pvd, 0x09);
    std::array<std::uint8_t, 2048> terminator{};
    terminator[0] = 0xFF;
    std::memcpy(&terminator[1], "CD001", 5);
    terminator[6] = 1;
    put(17, terminator, 0x89);
    put(kPathL, path, 0x89);
    put(kPathM, pathM, 0x89);
    put(kRoot, root, 0x89);
    put(kFirst, folder(first, kFirst), 0x89);
    put(kSecond, folder(second, kSecond), 0x89);
    for (const auto& f : layout_.files) {
      if (f.form2) continue;
      for (std::uint32_t s = 0; s < f.sectors; ++s) {
        std::vector<std::uint8_t> part(f.contents.begin() + s * 2048,
                                       f.contents.begin() + std::min<std::size_t>(f.contents.size(), (s + 1) * 2048));
        put(f.lba + s, part, s + 1 == f.sectors ? 0x89 : 0x08);
      }
    }
    std::vector<std::array<std::uint8_t, 2352>> raw(sectors_.size());
    for (std::uint32_t lba = 0; lba < sectors_.size(); ++lba) {
      emberline::sector::encodeMode2Form1(static_cast<std::int32_t>(lba), {0, 0, submodes_[lba], 0}, sectors_[lba],
                                          raw[lba]);
    }
    return raw;
  }

 private:
  template <class Bytes>
  void put(std::uint32_t lba, const Bytes& bytes, std::uint8_t submode) {
    if (sectors_.size() <= lba) return;
    std::memcpy(sectors_[lba].data(), bytes.data(), std::min<std::size_t>(bytes.size(), 2048));
    submodes_[lba] = submode;
  }
  static void le32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  static void be32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[3 - i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  static void bothEndian32(std::uint8_t* p, std::uint32_t v) {
    le32(p, v);
    be32(p + 4, v);
  }
  static void bothEndian16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
  }
  static void padded(std::array<std::uint8_t, 2048>& s, std::size_t at, std::size_t n, const char* text) {
    std::memset(&s[at], ' ', n);
    std::memcpy(&s[at], text, std::strlen(text));
  }
  static void addPathRecord(std::vector<std::uint8_t>& out, const std::string& name, std::uint32_t lba,
                            std::uint16_t parent, bool bigEndian) {
    const std::size_t length = name == std::string("\0", 1) || name.empty() ? 1 : name.size();
    out.push_back(static_cast<std::uint8_t>(length));
    out.push_back(0);
    std::uint8_t field[4];
    bigEndian ? be32(field, lba) : le32(field, lba);
    out.insert(out.end(), field, field + 4);
    if (bigEndian) {
      out.push_back(static_cast<std::uint8_t>(parent >> 8));
      out.push_back(static_cast<std::uint8_t>(parent));
    } else {
      out.push_back(static_cast<std::uint8_t>(parent));
      out.push_back(static_cast<std::uint8_t>(parent >> 8));
    }
    if (length == 1 && (name.empty() || name[0] == '\0')) {
      out.push_back(0);
    } else {
      out.insert(out.end(), name.begin(), name.end());
    }
    if (length % 2) out.push_back(0);
  }
  static void addRecord(std::vector<std::uint8_t>& out, const std::string& name, std::uint32_t lba, std::uint64_t size,
                        bool directory, std::uint8_t fileNumber, bool form2 = false, bool xa = true) {
    std::vector<std::uint8_t> r(33, 0);
    bothEndian32(&r[2], lba);
    bothEndian32(&r[10], static_cast<std::uint32_t>(size));
    r[18] = 126;  // 2026
    r[19] = 1;
    r[20] = 1;
    r[25] = directory ? 2 : 0;
    bothEndian16(&r[28], 1);
    r[32] = static_cast<std::uint8_t>(name.size());
    r.insert(r.end(), name.begin(), name.end());
    if (r.size() % 2) r.push_back(0);
    if (xa) {
      const std::uint16_t attributes = directory ? 0x8D55 : form2 ? 0x1555 : 0x0D55;
      const std::uint8_t use[14] = {0,
                                    0,
                                    0,
                                    0,
                                    static_cast<std::uint8_t>(attributes >> 8),
                                    static_cast<std::uint8_t>(attributes),
                                    'X',
                                    'A',
                                    fileNumber,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0};
      r.insert(r.end(), use, use + 14);
    }
    r[0] = static_cast<std::uint8_t>(r.size());
    out.insert(out.end(), r.begin(), r.end());
  }

  const emberline::video::VcdDiscLayout& layout_;
  std::vector<std::array<std::uint8_t, 2048>> sectors_;
  std::vector<std::uint8_t> submodes_ = std::vector<std::uint8_t>(sectors_.size(), 0x08);
};

}  // namespace video_test
