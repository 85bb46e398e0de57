#pragma once
// Records onto virtual writers through the flat API and reads the results
// back from the image files the virtual writer leaves.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "emberline/api/virtual_writer_fixture.h"
#include "emberline/cdvd_writer.h"
#include "emberline/file_tree.h"
#include "emberline/writing.h"
#include "sector/cd_sector.h"
#include "support/shell_command.h"

namespace emberline::test {

/// What a shell command printed, its error output included.
inline std::string runTool(const std::string& command) {
  return test_support::commandOutput(command, test_support::ErrorOutput::Kept);
}

inline std::vector<char> readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

/// What the device callback saw.
struct CallbackLog {
  std::mutex mutex;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
  int bufferReports = 0;
  std::uint32_t lastBufferSize = 0;

  static void record(uint32_t number, void* context, void* p1, void* p2) {
    auto* log = static_cast<CallbackLog*>(context);
    std::lock_guard lock(log->mutex);
    if (number == 12) log->progress.emplace_back(*static_cast<uint64_t*>(p1), *static_cast<uint64_t*>(p2));
    if (number == 13) {
      ++log->bufferReports;
      log->lastBufferSize = *static_cast<uint32_t*>(p1);
    }
  }
};

class RecordingTest : public VirtualWriterTest {
 protected:
  /// As the base, in this process's scratch folder: runs of the suite from
  /// several build trees at once must not share image files.
  void startWith(const std::string& spec) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    directory_ =
        test_support::processScratch() / ("write-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(directory_);
    ::setenv("ONDRELLE_VIRTUAL_WRITERS", spec.c_str(), 1);
    ::setenv("ONDRELLE_VIRTUAL_DIR", directory_.c_str(), 1);
    ASSERT_EQ(Emberline_StartUp(), EMBERLINE_OK);
    started_ = true;
  }

  /// Starts with @p spec and opens CdRom16 for burning, with the callback log attached.
  EmberlineHandle burnerWith(const std::string& spec) {
    startWith(spec);
    EmberlineHandle handle = nullptr;
    CallOutputs out;
    EXPECT_EQ(Emberline_CdvdWriter_CreateEx(&handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                            &CallbackLog::record, &log_, "CdRom16", 0),
              EMBERLINE_OK)
        << out.text;
    writer_ = handle;
    return handle;
  }

  /// A folder of files whose contents are random but fixed by @p seed.
  std::filesystem::path makeSources(const std::string& name, std::vector<std::size_t> sizes, unsigned seed = 1) {
    const auto folder = scratch() / name;
    std::filesystem::create_directories(folder / "inner");
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      std::vector<char> bytes(sizes[i]);
      for (char& b : bytes) b = static_cast<char>(random());
      const auto path = (i % 2 == 0 ? folder : folder / "inner") / ("file" + std::to_string(i) + ".bin");
      std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return folder;
  }

  /// A file tree of @p folder's contents, built at @p startLba.
  EmberlineHandle treeOf(const std::filesystem::path& folder, uint32_t startLba, const char* label = "WRITE_TEST") {
    EmberlineHandle tree = nullptr;
    CallOutputs out;
    EXPECT_EQ(
        Emberline_ISO9660JolietFileTree_Create(&tree, out.text, EMBERLINE_TEXT_SIZE, &out.status, nullptr, nullptr),
        EMBERLINE_OK);
    EXPECT_EQ(Emberline_ISO9660JolietFileTree_AddFolder(tree, out.text, EMBERLINE_TEXT_SIZE, &out.status, "/",
                                                        folder.c_str()),
              EMBERLINE_OK)
        << out.text;
    EXPECT_EQ(Emberline_ISO9660JolietFileTree_BuildImage(tree, out.text, EMBERLINE_TEXT_SIZE, &out.status, startLba, 0,
                                                         1, label, "TEST", "TEST"),
              EMBERLINE_OK)
        << out.text;
    trees_.push_back(tree);
    return tree;
  }

  /// The tree's image as an ISO file, read through the flat API.
  std::filesystem::path isoOf(EmberlineHandle tree, const std::string& name) {
    uint32_t high = 0;
    const uint32_t low = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high);
    std::vector<uint8_t> bytes((std::uint64_t{high} << 32) | low);
    CallOutputs out;
    EXPECT_EQ(Emberline_ISO9660JolietFileTree_SeekToBegin(tree, out.text, EMBERLINE_TEXT_SIZE, &out.status),
              EMBERLINE_OK);
    EXPECT_EQ(Emberline_ISO9660JolietFileTree_Read(tree, out.text, EMBERLINE_TEXT_SIZE, &out.status,
                                                   static_cast<uint32_t>(bytes.size()), bytes.data()),
              EMBERLINE_OK);
    const auto path = scratch() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path scratch() {
    const auto dir = directory_.parent_path() / (directory_.filename().string() + "-sources");
    std::filesystem::create_directories(dir);
    return dir;
  }

  uint8_t eject() {
    CallOutputs out;
    return Emberline_CdvdWriter_Eject(writer_, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure);
  }

  uint8_t closeSession() {
    CallOutputs out;
    const uint8_t code =
        Emberline_CdvdWriter_CloseSession(writer_, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure);
    EXPECT_EQ(code, EMBERLINE_OK) << out.text;
    return code;
  }

  /// Disc information record (see cdvd_writer.h).
  std::vector<uint8_t> discInformation() {
    std::vector<uint8_t> info(EMBERLINE_DISC_INFORMATION_SIZE);
    CallOutputs out;
    EXPECT_EQ(Emberline_CdvdWriter_GetDiscInformation(writer_, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                                      info.data()),
              EMBERLINE_OK)
        << out.text;
    return info;
  }
  bool discBlank() { return discInformation()[1] == 0; }

  uint32_t nextWritableAddress() {
    std::vector<uint8_t> info(EMBERLINE_TRACK_INFORMATION_SIZE);
    CallOutputs out;
    EXPECT_EQ(Emberline_CdvdWriter_GetTrackInformation(writer_, out.text, EMBERLINE_TEXT_SIZE, &out.status,
                                                       &out.failure, EMBERLINE_TRACK_NUMBER_INVISIBLE, info.data()),
              EMBERLINE_OK);
    uint32_t nwa = 0;
    std::memcpy(&nwa, info.data() + 16, 4);
    return nwa;
  }

  /// The finished images with extension @p ext in the virtual writer's folder.
  std::vector<std::filesystem::path> images(const std::string& ext) {
    std::vector<std::filesystem::path> found;
    if (!std::filesystem::exists(directory_)) return found;
    for (const auto& entry : std::filesystem::directory_iterator(directory_))
      if (entry.path().extension() == ext) found.push_back(entry.path());
    return found;
  }

  /// The user data of a .bin of raw sectors as an ISO file; sectors that are
  /// not valid Mode 1 (gaps between sessions) become zeros.
  std::filesystem::path isoFromBin(const std::filesystem::path& bin, int* invalid = nullptr) {
    const std::vector<char> raw = readAll(bin);
    const auto iso = scratch() / (bin.stem().string() + ".iso");
    std::ofstream out(iso, std::ios::binary);
    std::array<uint8_t, sector::kUserDataSize> user{};
    for (std::size_t at = 0; at + sector::kRawSectorSize <= raw.size(); at += sector::kRawSectorSize) {
      std::span<const uint8_t, sector::kRawSectorSize> sectorBytes(reinterpret_cast<const uint8_t*>(raw.data() + at),
                                                                   sector::kRawSectorSize);
      if (!sector::decodeMode1(sectorBytes, user)) {
        user.fill(0);
        if (invalid) ++*invalid;
      }
      out.write(reinterpret_cast<const char*>(user.data()), user.size());
    }
    return iso;
  }

  /// Extracts every file of the ISO's session at @p sessionLba into a fresh folder.
  std::filesystem::path extract(const std::filesystem::path& iso, uint32_t sessionLba = 0) {
    const auto out = scratch() / (iso.stem().string() + "-x" + std::to_string(sessionLba));
    std::filesystem::remove_all(out);
    runTool("xorriso -osirrox on -indev " + iso.string() + " -load sbsector " + std::to_string(sessionLba) +
            " -extract / " + out.string());
    return out;
  }

  /// Whether every file below @p source is found byte for byte in the folder
  /// of the same name below @p extracted (trees hold the added folder itself).
  static ::testing::AssertionResult sameFiles(const std::filesystem::path& source,
                                              const std::filesystem::path& extracted) {
    const auto copy = extracted / source.filename();
    int compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(source)) {
      if (!entry.is_regular_file()) continue;
      const auto relative = std::filesystem::relative(entry.path(), source);
      if (readAll(entry.path()) != readAll(copy / relative)) {
        std::string found;
        if (std::filesystem::exists(copy))
          for (const auto& e : std::filesystem::recursive_directory_iterator(copy)) found += " " + e.path().string();
        return ::testing::AssertionFailure() << relative << " differs or is missing; extracted:" << found;
      }
      ++compared;
    }
    if (compared == 0) return ::testing::AssertionFailure() << "no files under " << source;
    return ::testing::AssertionSuccess();
  }

  void TearDown() override {
    for (EmberlineHandle& tree : trees_) Emberline_Destroy(&tree);
    if (writer_ != nullptr) Emberline_Destroy(&writer_);
    VirtualWriterTest::TearDown();
    std::error_code ec;
    std::filesystem::remove_all(directory_.parent_path() / (directory_.filename().string() + "-sources"), ec);
  }

  CallbackLog log_;
  EmberlineHandle writer_ = nullptr;
  std::vector<EmberlineHandle> trees_;
  CallOutputs out_;
};

}  // namespace emberline::test
