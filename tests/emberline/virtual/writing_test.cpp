#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "cdb.h"
#include "support/shell_command.h"

using namespace vtest;
using emberline::be::get16;
using emberline::be::get32;

namespace {

using test_support::haveTool;

std::string runTool(const std::string& command) {
  return test_support::commandOutput(command, test_support::ErrorOutput::Kept);
}

/// A small ISO 9660 image made by a standard tool, read back as bytes.
Bytes makeIso(const std::filesystem::path& dir, const std::string& volumeId) {
  std::filesystem::create_directories(dir / "src");
  std::ofstream(dir / "src" / "hello.txt") << "hello from the virtual writer\n";
  auto iso = dir / "in.iso";
  runTool("genisoimage -quiet -V " + volumeId + " -o " + iso.string() + " " + (dir / "src").string());
  std::ifstream in(iso, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint16_t currentWriteSpeed(DriveHarness& h) {
  auto b = h.fetch(emberline::ScsiCommand(cdb({0x5A, 0, 0x2A, 0, 0, 0, 0, 0x01, 0, 0})));
  return get16(b, 8 + 28);
}

}  // namespace

TEST(Speeds, SetCdSpeedSettlesOnTheLargestTableEntryNotAbove) {
  DriveHarness h("cd-r,speeds=176/353/706/1400");
  h.run(cdb({0xBB, 0, 0xFF, 0xFF, 0x05, 0xDC, 0, 0, 0, 0, 0, 0}));  // 1500
  EXPECT_EQ(currentWriteSpeed(h), 1400);
  h.run(cdb({0xBB, 0, 0xFF, 0xFF, 0x00, 0x64, 0, 0, 0, 0, 0, 0}));  // 100: below the table
  EXPECT_EQ(currentWriteSpeed(h), 176);
  h.run(cdb({0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(currentWriteSpeed(h), 1400);
  auto perf = h.fetch(cdb({0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0x03, 0}));
  ASSERT_EQ(perf.size(), 8u + 4 * 16);
  EXPECT_EQ(get32(perf, 8 + 12), 1400u);
}

TEST(Speeds, FixedSpeedIgnoresRequests) {
  DriveHarness h("dvd+r,fixed-speed=5540");
  Bytes d(28, 0);
  emberline::be::put32(d, 12, 22160), emberline::be::put32(d, 16, 1000);
  emberline::be::put32(d, 20, 3324), emberline::be::put32(d, 24, 1000);
  EXPECT_TRUE(h.send(cdb({0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 0}), d).good());
  EXPECT_EQ(currentWriteSpeed(h), 5540);
}

TEST(WriteModeProbing, ModeSelectRefusesWhatTheMediumCannotDo) {
  DriveHarness cd("cd-r,bup=0");
  EXPECT_TRUE(cd.selectWriteParameters(0x01).good());                    // TAO
  EXPECT_TRUE(cd.selectWriteParameters(0x12).good());                    // SAO + test write
  EXPECT_TRUE(cd.selectWriteParameters(0x03, 0).good());                 // raw 2352
  EXPECT_TRUE(hasSense(cd.selectWriteParameters(0x41), 5, 0x26, 0));     // BUFE without BUP
  EXPECT_TRUE(hasSense(cd.selectWriteParameters(0x01, 5), 5, 0x26, 0));  // no such block type
  DriveHarness plus("dvd+r");
  EXPECT_TRUE(hasSense(plus.selectWriteParameters(0x10), 5, 0x26, 0));  // DVD+R never test-writes
  EXPECT_TRUE(plus.selectWriteParameters(0x41).good());
  DriveHarness minus("dvd-r");
  EXPECT_TRUE(minus.selectWriteParameters(0x12).good());
  EXPECT_TRUE(hasSense(minus.selectWriteParameters(0x01), 5, 0x26, 0));  // no TAO on DVD-R
}

TEST(WriteModeProbing, TestWriteAdvancesButRecordsNothing) {
  DriveHarness h("cd-r");
  ASSERT_TRUE(h.selectWriteParameters(0x11).good());
  Bytes data(2048 * 10, 0x5A);
  ASSERT_TRUE(h.send(write10(0, 10), data).good());
  EXPECT_EQ(h.nwa(), 10u);
  ASSERT_TRUE(h.closeSession().good());
  EXPECT_EQ(h.discInfo()[2] & 0x03, 0);  // still blank
  ASSERT_TRUE(h.eject().good());
  EXPECT_TRUE(h.drive->finishedImages().empty());
}

TEST(Writing, WritesGoOnlyToTheNextWritableAddress) {
  DriveHarness h("dvd+r");
  Bytes data(2048 * 4, 1);
  EXPECT_TRUE(hasSense(h.send(write10(16, 4), data), 5, 0x21, 0));
  ASSERT_TRUE(h.send(write10(0, 4), data).good());
  EXPECT_TRUE(hasSense(h.send(write10(0, 4), data), 5, 0x2C, 0));
  EXPECT_EQ(h.nwa(), 4u);
  EXPECT_EQ(h.freeBlocks(), 2295104u - 4);
}

TEST(Writing, LockRefusesEjectUntilReleased) {
  DriveHarness h("cd-r");
  ASSERT_TRUE(h.run(cdb({0x1E, 0, 0, 0, 1, 0})).good());
  EXPECT_TRUE(hasSense(h.eject(), 5, 0x53, 0x02));
  ASSERT_TRUE(h.run(cdb({0x1E, 0, 0, 0, 0, 0})).good());
  EXPECT_TRUE(h.eject().good());
}

TEST(Writing, EjectAfterTaoWriteLeavesABinCueStandardReadersAccept) {
  if (!haveTool("genisoimage") || !haveTool("cd-info")) GTEST_SKIP() << "genisoimage / cd-info missing";
  DriveHarness h("cd-r");
  Bytes iso = makeIso(h.dir / "work", "TAO_TEST");
  ASSERT_FALSE(iso.empty());
  auto blocks = static_cast<std::uint16_t>(iso.size() / 2048);
  ASSERT_TRUE(h.selectWriteParameters(0x41).good());
  ASSERT_TRUE(h.send(write10(0, blocks), iso).good());
  Bytes back = h.fetch(read10(0, blocks), iso.size());
  EXPECT_EQ(back, iso);
  ASSERT_TRUE(h.run(cdb({0x5B, 0, 0x01, 0, 0, 1, 0, 0, 0, 0})).good());
  ASSERT_TRUE(h.closeSession().good());
  EXPECT_EQ(h.discInfo()[2] & 0x03, 2);
  ASSERT_TRUE(h.eject().good());
  auto images = h.drive->finishedImages();
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(std::filesystem::file_size(images[0]), std::uintmax_t{blocks} * 2352);
  // iso-info reads only 2048-byte images; cd-info follows the .cue into the raw sectors.
  std::string report = runTool("cd-info --no-header --no-device-info --cue-file " + images[1]);
  EXPECT_NE(report.find("label `TAO_TEST"), std::string::npos) << report;
  EXPECT_NE(report.find("CD-ROM with ISO 9660 filesystem"), std::string::npos);
  // The fresh blank announces itself before it is ready.
  EXPECT_TRUE(hasSense(h.run(cdb({0, 0, 0, 0, 0, 0})), 2, 0x04, 0x01));
  h.waitReady();
  EXPECT_EQ(h.discInfo()[2] & 0x03, 0);
}

TEST(Writing, DvdEjectLeavesAnIsoWithTheVolumeId) {
  if (!haveTool("genisoimage") || !haveTool("isoinfo")) GTEST_SKIP() << "genisoimage / isoinfo missing";
  DriveHarness h("dvd+r");
  Bytes iso = makeIso(h.dir / "work", "DVD_TEST");
  auto blocks = static_cast<std::uint16_t>(iso.size() / 2048);
  ASSERT_TRUE(h.send(write10(0, blocks), iso).good());
  ASSERT_TRUE(h.closeSession().good());
  EXPECT_EQ(h.discInfo()[2] & 0x03, 1);  // DVD+R session close stays appendable
  ASSERT_TRUE(h.eject().good());
  auto images = h.drive->finishedImages();
  ASSERT_EQ(images.size(), 1u);
  EXPECT_NE(runTool("isoinfo -d -i " + images[0]).find("Volume id: DVD_TEST"), std::string::npos);
}

TEST(Faults, NotReadyForever) {
  DriveHarness h("cd-r,fault=not-ready");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(hasSense(h.run(cdb({0, 0, 0, 0, 0, 0})), 2, 0x04, 0x00));
  EXPECT_TRUE(hasSense(h.run(cdb({0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0})), 2, 0x04, 0x00));
}

TEST(Faults, WriteErrorStopsRecordingAtItsBlock) {
  DriveHarness h("dvd-r,fault=write-error@5");
  Bytes data(2048 * 8, 7);
  EXPECT_TRUE(hasSense(h.send(write10(0, 8), data), 3, 0x0C, 0x00));
  EXPECT_EQ(h.nwa(), 5u);
  EXPECT_TRUE(hasSense(h.send(write10(5, 1), Bytes(2048, 0)), 3, 0x0C, 0x00));
}

TEST(Faults, RemovalAtABlockFinishesTheImageAndLeavesNoMedium) {
  DriveHarness h("cd-r,fault=removed@3");
  Bytes data(2048 * 4, 7);
  EXPECT_TRUE(hasSense(h.send(write10(0, 4), data), 2, 0x3A, 0x00));
  EXPECT_TRUE(hasSense(h.run(cdb({0, 0, 0, 0, 0, 0})), 2, 0x3A, 0x00));
  auto images = h.drive->finishedImages();
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(std::filesystem::file_size(images[0]), 3u * 2352);
}

TEST(LongOperations, ImmediateSyncCacheReportsLongWriteUntilDone) {
  DriveHarness h("cd-r");
  ASSERT_TRUE(h.send(write10(0, 1), Bytes(2048, 0)).good());
  ASSERT_TRUE(h.run(cdb({0x35, 0x02, 0, 0, 0, 0, 0, 0, 0, 0})).good());
  EXPECT_TRUE(hasSense(h.run(cdb({0, 0, 0, 0, 0, 0})), 2, 0x04, 0x08));
  int polls = 1;
  while (!h.run(cdb({0, 0, 0, 0, 0, 0})).good() && polls < 20) ++polls;
  EXPECT_LT(polls, 20);
}

TEST(LongOperations, InterruptEndsARealtimeWriteFromAnotherThread) {
  DriveHarness h("cd-r,realtime=1,speeds=176");
  Bytes data(2048 * 750, 0);  // ten seconds at 1x
  std::atomic<bool> done{false};
  ScsiReply reply;
  auto started = std::chrono::steady_clock::now();
  std::thread writer([&] {
    reply = h.send(write10(0, 750), data);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(h.run(cdb({0, 0, 0, 0, 0, 0})).good());  // the drive still answers while writing
  h.transport->interrupt();
  writer.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
  EXPECT_TRUE(hasSense(reply, 0x0B, 0x00, 0x00));
  EXPECT_EQ(h.nwa(), 0u);
}

TEST(Writing, SessionAtOnceFollowsTheCueSheetFromThePregap) {
  DriveHarness h("cd-r");
  Bytes cue = {0x41, 0x00, 0x00, 0x14, 0, 0, 0, 0,   // lead-in
               0x41, 0x01, 0x00, 0x10, 0, 0, 0, 0,   // track 1 pregap at 00:00:00
               0x41, 0x01, 0x01, 0x10, 0, 0, 2, 0,   // track 1 at 00:02:00
               0x41, 0xAA, 0x01, 0x14, 0, 0, 6, 0};  // lead-out after 300 blocks
  auto sendCue = cdb({0x5D, 0, 0, 0, 0, 0, 0, 0, 32, 0});
  EXPECT_TRUE(hasSense(h.send(sendCue, cue), 5, 0x2C, 0));  // not in SAO mode yet
  ASSERT_TRUE(h.selectWriteParameters(0x02).good());
  ASSERT_TRUE(h.send(sendCue, cue).good());
  Bytes pregap(2048 * 150, 0), body(2048 * 300, 0x33);
  EXPECT_TRUE(hasSense(h.send(write10(0, 300), body), 5, 0x2C, 0));  // must start at the pregap
  ASSERT_TRUE(h.send(write10(-150, 150), pregap).good());
  ASSERT_TRUE(h.send(write10(0, 300), body).good());
  EXPECT_EQ(h.discInfo()[2] & 0x03, 2);
  auto toc = h.fetch(cdb({0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}));
  ASSERT_EQ(toc.size(), 20u);
  EXPECT_EQ(get32(toc, 16), 300u);
  EXPECT_EQ(h.fetch(read10(299, 1)), Bytes(2048, 0x33));
}

TEST(Writing, ACommandAcrossTheEndOfThePregapStoresOnlyTheTrackAtItsPlace) {
  DriveHarness h("cd-r");
  Bytes cue = {0x41, 0x00, 0x00, 0x14, 0, 0, 0, 0,   // lead-in
               0x41, 0x01, 0x00, 0x10, 0, 0, 0, 0,   // track 1 pregap at 00:00:00
               0x41, 0x01, 0x01, 0x10, 0, 0, 2, 0,   // track 1 at 00:02:00
               0x41, 0xAA, 0x01, 0x14, 0, 0, 6, 0};  // lead-out after 300 blocks
  ASSERT_TRUE(h.selectWriteParameters(0x02).good());
  ASSERT_TRUE(h.send(cdb({0x5D, 0, 0, 0, 0, 0, 0, 0, 32, 0}), cue).good());
  // One command carries the last 140 pregap blocks and the first 10 of the track.
  Bytes first(2048 * 150, 0);
  for (std::size_t i = 0; i < 10; ++i) std::fill_n(first.begin() + (140 + i) * 2048, 2048, std::uint8_t(i + 1));
  ASSERT_TRUE(h.send(write10(-150, 10), Bytes(2048 * 10, 0)).good());
  ASSERT_TRUE(h.send(write10(-140, 150), first).good());
  ASSERT_TRUE(h.send(write10(10, 290), Bytes(2048 * 290, 0x33)).good());
  for (std::uint8_t i = 0; i < 10; ++i) EXPECT_EQ(h.fetch(read10(i, 1)), Bytes(2048, i + 1)) << int{i};
  EXPECT_EQ(h.fetch(read10(10, 1)), Bytes(2048, 0x33));
  ASSERT_TRUE(h.eject().good());
  auto images = h.drive->finishedImages();
  ASSERT_FALSE(images.empty());
  EXPECT_EQ(std::filesystem::file_size(images[0]), 300u * 2352);
  std::ifstream bin(images[0], std::ios::binary);
  Bytes sector0(2352);
  bin.read(reinterpret_cast<char*>(sector0.data()), 2352);
  EXPECT_EQ(sector0[15], 1);        // Mode 1
  EXPECT_EQ(sector0[14], 0);        // 00:02:00, LBA 0
  EXPECT_EQ(sector0[16 + 100], 1);  // the track's first block
}

TEST(Writing, Mode2Form1TrackFromTheWriterIsReadAsAnXaFileSystem) {
  if (!haveTool("genisoimage") || !haveTool("cd-info")) GTEST_SKIP() << "genisoimage / cd-info missing";
  DriveHarness h("cd-r");
  Bytes iso = makeIso(h.dir / "work", "XA_TEST");
  ASSERT_FALSE(iso.empty());
  auto blocks = static_cast<std::uint16_t>(iso.size() / 2048);
  ASSERT_TRUE(h.selectWriteParameters(0x41, 10, 0x05).good());  // TAO, Mode 2 Form 1 blocks
  ASSERT_TRUE(h.send(write10(0, blocks), iso).good());
  ASSERT_TRUE(h.run(cdb({0x5B, 0, 0x01, 0, 0, 1, 0, 0, 0, 0})).good());
  ASSERT_TRUE(h.closeSession().good());
  ASSERT_TRUE(h.eject().good());
  auto images = h.drive->finishedImages();
  ASSERT_EQ(images.size(), 2u);
  std::string report = runTool("cd-info --no-header --no-device-info --cue-file " + images[1]);
  EXPECT_NE(report.find("XA"), std::string::npos) << report;
  EXPECT_NE(report.find("label `XA_TEST"), std::string::npos) << report;
}
