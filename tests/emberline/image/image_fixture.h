#pragma once

#include <cstring>
// Builds images through the flat calls into temporary folders and asks the
// system's ISO readers what they see.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "emberline/file_tree.h"
#include "support/shell_command.h"

namespace image_test {

namespace fs = std::filesystem;

using test_support::haveTool;

/// Standard output of a shell command (stderr dropped).
inline std::string run(const std::string& command, int* exitCode = nullptr) {
  return test_support::commandOutput(command, test_support::ErrorOutput::Dropped, exitCode);
}

inline std::string quoted(const fs::path& p) {
  return "'" + p.string() + "'";
}

inline void writeFile(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

inline std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// What the tree's callbacks reported.
struct Reports {
  std::vector<std::string> added, removed, ignored;
  std::vector<std::string> collisionNames;  // as UTF-8-ish bytes (Joliet: low bytes of the units)
  std::vector<bool> collisionJoliet;
  std::vector<std::string> firstEntries, secondEntries;
  std::vector<std::uint32_t> firstAttributes, secondAttributes;
  std::vector<std::uint8_t> entryKinds;
  std::uint8_t answer = 0;  // what to answer to collisions (0: no answer)
  std::string renameTo;     // the name written back for EMBERLINE_COLLISION_RENAME

  static void callback(uint32_t number, void* context, void* param1, void* param2) {
    auto& self = *static_cast<Reports*>(context);
    if (number == 0) self.added.emplace_back(static_cast<const char*>(param1));
    if (number == 1) self.removed.emplace_back(static_cast<const char*>(param1));
    if (number == 2)
      self.ignored.push_back(std::string(static_cast<const char*>(param1)) + " | " + static_cast<const char*>(param2));
    if (number == 3) self.collision(*static_cast<EmberlineNameCollision*>(param1));
    if (number == 4) self.settled(*static_cast<const EmberlineNameCollision*>(param1));
  }

  /// The settled collisions, as "answer name" (the name as collisionNames shows it).
  std::vector<std::string> settledNames;
  void settled(const EmberlineNameCollision& record) {
    settledNames.push_back(std::to_string(record.answer) + " " + nameOf(record));
  }

  static std::string nameOf(const EmberlineNameCollision& record) {
    std::string name;
    if (record.joliet) {
      // The name sits at an odd offset of a packed record: copy it out, never cast.
      char16_t units[EMBERLINE_COLLISION_NAME_SIZE / 2];
      std::memcpy(units, record.name, sizeof units);
      for (std::size_t i = 0; i < std::size(units) && units[i] != 0; ++i) name += static_cast<char>(units[i] & 0xFF);
    } else {
      name = reinterpret_cast<const char*>(record.name);
    }
    return name;
  }

  void collision(EmberlineNameCollision& record) {
    collisionNames.push_back(nameOf(record));
    collisionJoliet.push_back(record.joliet != 0);
    entryKinds.push_back(record.firstEntry[0]);
    firstEntries.emplace_back(reinterpret_cast<const char*>(record.firstEntry + 1));
    secondEntries.emplace_back(reinterpret_cast<const char*>(record.secondEntry + 1));
    firstAttributes.push_back(std::uint32_t{record.firstAttributes});
    secondAttributes.push_back(std::uint32_t{record.secondAttributes});
    record.answer = answer;
    if (answer == EMBERLINE_COLLISION_RENAME) {
      if (record.joliet) {
        char16_t units[EMBERLINE_COLLISION_NAME_SIZE / 2] = {};
        std::size_t i = 0;
        for (char c : renameTo) units[i++] = static_cast<unsigned char>(c);
        std::memcpy(record.name, units, sizeof units);
      } else {
        std::snprintf(reinterpret_cast<char*>(record.name), EMBERLINE_COLLISION_NAME_SIZE, "%s", renameTo.c_str());
      }
    }
  }
};

class ImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Emberline_StartUp(), EMBERLINE_OK);
    char pattern[] = "/tmp/emberline-image-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    source = dir / "src";
    fs::create_directories(source);
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_Create(&tree, text, sizeof text, &status, &Reports::callback, &reports),
              EMBERLINE_OK);
  }
  void TearDown() override {
    Emberline_ShutDown();
    std::error_code ignored;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir, ignored);
  }

  uint8_t build(uint32_t startLba = 0, uint32_t level = 0, uint32_t joliet = 1, const char* label = "TESTVOL") {
    return Emberline_ISO9660JolietFileTree_BuildImage(tree, text, sizeof text, &status, startLba, level, joliet, label,
                                                      "Emberline tests", "Image suite");
  }

  std::uint64_t imageSize() {
    uint32_t high = 0;
    const uint32_t low = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high);
    return (std::uint64_t{high} << 32) | low;
  }

  /// Streams the built image to a file in 1 MiB reads; zero blocks become holes.
  uint8_t streamTo(const fs::path& iso, std::uint64_t leadingZeroBlocks = 0) {
    FILE* out = std::fopen(iso.c_str(), "wb");
    if (out == nullptr) return 255;
    std::fseek(out, static_cast<long>(leadingZeroBlocks * 2048), SEEK_SET);
    std::vector<uint8_t> buffer(1 << 20);
    std::uint64_t left = imageSize();
    uint8_t code = EMBERLINE_OK;
    while (left > 0 && code == EMBERLINE_OK) {
      const auto count = static_cast<uint32_t>(std::min<std::uint64_t>(left, buffer.size()));
      code = Emberline_ISO9660JolietFileTree_Read(tree, text, sizeof text, &status, count, buffer.data());
      if (code != EMBERLINE_OK) break;
      if (std::all_of(buffer.begin(), buffer.begin() + count, [](uint8_t b) { return b == 0; }))
        std::fseek(out, count, SEEK_CUR);
      else
        std::fwrite(buffer.data(), 1, count, out);
      left -= count;
    }
    std::fflush(out);
    if (::ftruncate(fileno(out), static_cast<off_t>(leadingZeroBlocks * 2048 + imageSize())) != 0) code = 254;
    std::fclose(out);
    return code;
  }

  fs::path dir;
  fs::path source;
  Reports reports;
  EmberlineHandle tree = nullptr;
  char text[EMBERLINE_TEXT_SIZE] = {};
  uint32_t status = 0;
};

}  // namespace image_test
