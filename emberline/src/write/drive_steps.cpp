#include "write/drive_steps.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "mmc/wait_until_ready.h"
#include "transport/sense_codes.h"

namespace emberline::write {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kBusyPause{10};

}  // namespace

Status DriveSteps::waitReady(bool honourCancel) {
  mmc::WaitOptions options;
  options.limit = context_.readyLimit;
  options.interval = std::chrono::milliseconds(50);
  if (honourCancel) options.cancelled = context_.cancelled;
  return mmc::waitUntilReady(transport(), options);
}

Status DriveSteps::write(std::int32_t lba, std::uint16_t blocks, std::span<const std::uint8_t> data) {
  const auto deadline = Clock::now() + context_.readyLimit;
  for (;;) {
    Status written = mmc::write10(transport(), lba, blocks, data);
    if (written.ok() || !sense::isBusy(written.error()) || Clock::now() >= deadline) return written;
    if (context_.cancelled && context_.cancelled()) return written;
    std::this_thread::sleep_for(kBusyPause);
  }
}

Status DriveSteps::writeZeros(std::int32_t lba, std::uint32_t blocks, std::size_t blockSize) {
  constexpr std::uint32_t kGapChunk = 32;
  const std::vector<std::uint8_t> zeros(std::size_t{kGapChunk} * blockSize, 0);
  while (blocks > 0) {
    const std::uint32_t count = std::min(blocks, kGapChunk);
    EMBERLINE_TRY(write(lba, static_cast<std::uint16_t>(count),
                        std::span<const std::uint8_t>(zeros.data(), std::size_t{count} * blockSize)));
    lba += static_cast<std::int32_t>(count);
    blocks -= count;
  }
  return {};
}

Status DriveSteps::flushCache() {
  EMBERLINE_TRY(mmc::synchronizeCache(transport(), true));
  return waitReady(false);
}

Status DriveSteps::close(mmc::CloseFunction function, std::uint16_t track) {
  EMBERLINE_TRY(mmc::closeTrackSession(transport(), function, track, true));
  return waitReady(false);
}

Status DriveSteps::closeIfOpen(mmc::CloseFunction function, std::uint16_t track) {
  Status closed = close(function, track);
  if (!closed.ok() && sense::sameCondition(closed.error(), sense::kSequenceError)) return {};
  return closed;
}

Status DriveSteps::selectParameters(const std::function<void(mmc::WriteParameters&)>& shape, bool underrunProtection) {
  auto page = mmc::readWriteParameters(transport());
  if (!page.ok()) return fail(std::move(page).error());
  mmc::WriteParameters parameters = *page;
  shape(parameters);
  parameters.bufferUnderrunFree = underrunProtection;
  Status selected = mmc::writeWriteParameters(transport(), parameters);
  if (selected.ok() || !underrunProtection) return selected;
  // Not every drive has the protection; the recording goes on without it.
  parameters.bufferUnderrunFree = false;
  return mmc::writeWriteParameters(transport(), parameters);
}

Status DriveSteps::leaveTestMode() {
  auto page = mmc::readWriteParameters(transport());
  if (!page.ok()) return fail(std::move(page).error());
  if (!page->testWrite) return {};
  mmc::WriteParameters parameters = *page;
  parameters.testWrite = false;
  return mmc::writeWriteParameters(transport(), parameters);
}

void DriveSteps::abandonCdAtOnce(std::uint16_t firstTrack, bool started, bool testMode) {
  (void)flushCache();
  if (started && !testMode) {
    (void)closeIfOpen(mmc::CloseFunction::Track, firstTrack);
    (void)closeIfOpen(mmc::CloseFunction::Session, 0);
  }
  if (testMode) (void)leaveTestMode();
}

}  // namespace emberline::write
