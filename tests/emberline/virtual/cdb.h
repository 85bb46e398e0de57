#pragma once
// Raw command blocks and a small harness that runs them on a virtual drive.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/big_endian.h"
#include "virtual/virtual_transport.h"

namespace vtest {

using emberline::ScsiCommand;
using emberline::ScsiReply;
using Bytes = std::vector<std::uint8_t>;

inline ScsiCommand cdb(std::initializer_list<std::uint8_t> bytes) {
  ScsiCommand c;
  std::size_t i = 0;
  for (auto b : bytes) c.cdb[i++] = b;
  c.cdbLength = static_cast<std::uint8_t>(i);
  return c;
}

inline ScsiCommand write10(std::int32_t lba, std::uint16_t blocks) {
  auto c = cdb({0x2A, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  emberline::be::put32(c.cdb, 2, static_cast<std::uint32_t>(lba));
  emberline::be::put16(c.cdb, 7, blocks);
  return c;
}

inline ScsiCommand read10(std::int32_t lba, std::uint16_t blocks) {
  auto c = write10(lba, blocks);
  c.cdb[0] = 0x28;
  return c;
}

/// A drive in its own temporary folder, driven through its transport.
class DriveHarness {
 public:
  explicit DriveHarness(const std::string& spec) {
    dir = std::filesystem::temp_directory_path() /
          ("vw-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    auto configs = emberline::virt::parseWriterConfigs(spec);
    EXPECT_TRUE(configs.ok()) << (configs.ok() ? "" : configs.error().message);
    drive = std::make_shared<emberline::virt::VirtualDrive>(configs->front(), 0, dir);
    transport = std::make_unique<emberline::virt::VirtualTransport>(drive);
  }
  ~DriveHarness() {
    transport.reset();
    drive.reset();
    std::filesystem::remove_all(dir);
  }

  ScsiReply run(ScsiCommand c, Bytes* in = nullptr, const Bytes* out = nullptr) {
    if (in) {
      c.direction = emberline::DataDirection::FromDevice;
      c.data = *in;
    } else if (out) {
      c.direction = emberline::DataDirection::ToDevice;
      c.data = std::span<std::uint8_t>(const_cast<std::uint8_t*>(out->data()), out->size());
    }
    auto r = transport->execute(c);
    EXPECT_TRUE(r.ok());
    return *r;
  }
  /// Runs a data-in command and returns its reply bytes (empty on CHECK CONDITION).
  Bytes fetch(ScsiCommand c, std::size_t length = 4096) {
    Bytes b(length, 0);
    auto r = run(c, &b);
    if (!r.good()) return {};
    b.resize(r.transferred);
    return b;
  }
  ScsiReply send(ScsiCommand c, const Bytes& data) { return run(c, nullptr, &data); }

  Bytes discInfo() { return fetch(cdb({0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0})); }
  Bytes trackInfo(std::uint32_t track) {
    auto c = cdb({0x52, 1, 0, 0, 0, 0, 0, 0, 48, 0});
    emberline::be::put32(c.cdb, 2, track);
    return fetch(c);
  }
  std::uint16_t profile() { return emberline::be::get16(fetch(cdb({0x46, 0, 0, 0, 0, 0, 0, 0x10, 0, 0})), 6); }
  std::uint32_t freeBlocks() { return emberline::be::get32(trackInfo(0xFF), 16); }
  std::uint32_t nwa() { return emberline::be::get32(trackInfo(0xFF), 12); }
  /// MODE SELECT of page 05h with the given byte 2 (write type, test, BUFE) and block type.
  ScsiReply selectWriteParameters(std::uint8_t byte2, std::uint8_t blockType = 8, std::uint8_t byte3 = 0x04) {
    Bytes page(8 + 0x34, 0);
    page[8] = 0x05;
    page[9] = 0x32;
    page[10] = byte2;
    page[11] = byte3;
    page[12] = blockType;
    auto c = cdb({0x55, 0x10, 0, 0, 0, 0, 0, 0, 0, 0});
    emberline::be::put16(c.cdb, 7, static_cast<std::uint16_t>(page.size()));
    return send(c, page);
  }
  ScsiReply closeSession() { return run(cdb({0x5B, 0, 0x02, 0, 0, 0, 0, 0, 0, 0})); }
  ScsiReply eject() { return run(cdb({0x1B, 0, 0, 0, 0x02, 0})); }
  /// Polls TUR past the becoming-ready and medium-changed answers of a fresh disc.
  void waitReady() {
    for (int i = 0; i < 10 && !run(cdb({0, 0, 0, 0, 0, 0})).good(); ++i) {
    }
  }

  std::filesystem::path dir;
  std::shared_ptr<emberline::virt::VirtualDrive> drive;
  std::unique_ptr<emberline::virt::VirtualTransport> transport;
};

inline ::testing::AssertionResult hasSense(const ScsiReply& r, std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
  if (r.checkCondition() && r.sense.key == key && r.sense.asc == asc && r.sense.ascq == ascq)
    return ::testing::AssertionSuccess();
  char buf[96];
  std::snprintf(buf, sizeof buf, "status %02X sense %X/%02X/%02X", r.status, r.sense.key, r.sense.asc, r.sense.ascq);
  return ::testing::AssertionFailure() << buf;
}

}  // namespace vtest
