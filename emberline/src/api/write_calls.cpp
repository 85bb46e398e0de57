// The recording calls of the flat API: turn the caller's arguments into a
// disc plan and run it on the device object.

#include <algorithm>
#include <chrono>
#include <ctime>

#include "api/device_call.h"
#include "api/export.h"
#include "api/file_tree_object.h"
#include "api/tree_block_source.h"
#include "api/write_records.h"
#include "core/clock.h"
#include "emberline/writing.h"
#include "mmc/disc_information.h"
#include "video/mpeg_stream_check.h"
#include "video/vcd_disc_plan.h"
#include "video/vcd_template.h"
#include "write/medium_state.h"
#include "write/recorder.h"

namespace emberline {

namespace {

constexpr std::size_t kUserBlock = 2048;
constexpr std::size_t kRawBlock = 2352;

struct PlanOptions {
  write::RecordingMode mode = write::RecordingMode::TrackAtOnce;
  bool closeTrack = true;
  bool testMode = false;
  bool multiSession = false;
  bool useBup = true;
  std::uint32_t readyMinutes = 5;
};

PlanOptions options(write::RecordingMode mode, std::uint8_t closeTrack, std::uint8_t testMode,
                    std::uint8_t multiSession, std::uint8_t useBup, std::uint32_t readyMinutes) {
  return PlanOptions{mode, closeTrack != 0, testMode != 0, multiSession != 0, useBup != 0, readyMinutes};
}

write::DiscPlan emptyPlan(const PlanOptions& o) {
  write::DiscPlan plan;
  plan.mode = o.mode;
  plan.closeTrack = o.closeTrack;
  plan.testMode = o.testMode;
  plan.multiSession = o.multiSession;
  plan.useBufferUnderrunProtection = o.useBup;
  plan.readyMinutes = o.readyMinutes;
  return plan;
}

Error numbered(Error e, std::size_t track) {
  e.message = "track " + std::to_string(track + 1) + ": " + e.message;
  return e;
}

Status addTree(write::DiscPlan& plan, WriteRecipe& recipe, EmberlineHandle tree) {
  auto track = treeImageTrack(tree);
  if (!track.ok()) return fail(std::move(track).error());
  // A DVD-Video structure's tree: players read it only from a closed disc,
  // whatever the caller asked for.
  if (const auto object = findFileTree(tree); object && object->fixedLayout) plan.multiSession = false;
  recipe.tracks.push_back(treeTrackRecipe(tree, *track));
  plan.tracks.push_back(std::move(*track));
  return {};
}

Status addFile(write::DiscPlan& plan, WriteRecipe& recipe, const char* name, std::size_t blockSize) {
  if (name == nullptr || *name == '\0') return fail(ErrorKind::InvalidArgument, "no image file named");
  auto source = write::openImageFile(name, blockSize);
  if (!source.ok()) return fail(std::move(source).error());
  write::PlannedTrack track;
  track.source = std::move(*source);
  recipe.tracks.push_back(fileTrackRecipe(name, blockSize));
  plan.tracks.push_back(std::move(track));
  return {};
}

Status addTrackList(write::DiscPlan& plan, WriteRecipe& recipe, const std::uint8_t* trackList, std::uint8_t audio,
                    std::uint8_t rawInput) {
  if (audio != 0)
    return fail(ErrorKind::NotSupported, "audio tracks are not supported by disc at once from files; pass audio 0");
  auto names = parseTrackList(trackList);
  if (!names.ok()) return fail(std::move(names).error());
  for (std::size_t k = 0; k < names->size(); ++k) {
    Status added = addFile(plan, recipe, (*names)[k].c_str(), rawInput != 0 ? kRawBlock : kUserBlock);
    if (!added.ok()) return fail(numbered(std::move(added).error(), k));
  }
  return {};
}

Status addSessionRecord(write::DiscPlan& plan, WriteRecipe& recipe, const std::uint8_t* record, bool fromTree) {
  auto entries = parseSessionRecord(record, fromTree);
  if (!entries.ok()) return fail(std::move(entries).error());
  for (std::size_t k = 0; k < entries->size(); ++k) {
    const SessionEntry& entry = (*entries)[k];
    // A track holds its tree's lock for the whole recording: a tree named twice would wait on itself.
    for (std::size_t earlier = 0; fromTree && earlier < k; ++earlier)
      if ((*entries)[earlier].tree == entry.tree)
        return fail(
            ErrorKind::InvalidArgument,
            "track " + std::to_string(k + 1) + " names the same file tree as track " + std::to_string(earlier + 1));
    Status added =
        fromTree ? addTree(plan, recipe, entry.tree) : addFile(plan, recipe, entry.fileName.c_str(), kUserBlock);
    if (!added.ok()) return fail(numbered(std::move(added).error(), k));
  }
  return {};
}

/// Places the tracks whose address only the recording chose: they are the
/// last recorded tracks of the disc, in order. Track information answers for
/// a session still open, where the TOC does not list it yet.
void placeTracks(DeviceObject& device, WriteRecipe& recipe) {
  const bool placed = std::all_of(recipe.tracks.begin(), recipe.tracks.end(),
                                  [](const TrackRecipe& t) { return t.startLba.has_value(); });
  if (placed) return;
  auto disc = mmc::readDiscInformation(device.transport());
  if (!disc.ok()) return;            // left unplaced: a verify says so
  std::vector<std::int32_t> starts;  // from the last track back
  for (std::uint32_t track = disc->lastTrackInLastSession; track >= 1 && starts.size() < recipe.tracks.size();
       --track) {
    auto info = mmc::readTrackInformation(device.transport(), track);
    if (!info.ok()) return;
    if (!info->blank) starts.push_back(info->startAddress);
  }
  if (starts.size() < recipe.tracks.size()) return;
  for (std::size_t k = 0; k < recipe.tracks.size(); ++k)
    if (!recipe.tracks[k].startLba) recipe.tracks[k].startLba = starts[recipe.tracks.size() - 1 - k];
}

/// The tracks of the last recording when a track at once recording goes on
/// in the session it left open: the disc then holds them all, and a verify
/// reads every one. Nothing when that session has been closed since, or the
/// disc is another.
std::vector<TrackRecipe> openSessionTracks(DeviceObject& device, write::RecordingMode mode) {
  if (mode != write::RecordingMode::TrackAtOnce || !device.lastWrite || device.lastWrite->tracks.empty()) return {};
  const std::vector<TrackRecipe>& earlier = device.lastWrite->tracks;
  auto disc = mmc::readDiscInformation(device.transport());
  if (!disc.ok() || disc->lastSessionState != mmc::SessionState::Incomplete) return {};
  auto first = mmc::readTrackInformation(device.transport(), disc->firstTrackInLastSession);
  if (!first.ok()) return {};
  const bool inSession = std::all_of(earlier.begin(), earlier.end(), [&](const TrackRecipe& t) {
    return t.startLba && *t.startLba >= first->startAddress;
  });
  return inSession ? earlier : std::vector<TrackRecipe>{};
}

Status run(DeviceObject& device, write::DiscPlan& plan, WriteRecipe recipe) {
  std::vector<TrackRecipe> earlier = openSessionTracks(device, plan.mode);
  device.lastWrite.reset();
  write::RecordingContext context{device.drive(),
                                  device.transport(),
                                  cancelPredicate(device),
                                  {},
                                  {},
                                  std::chrono::minutes(plan.readyMinutes == 0 ? 1 : plan.readyMinutes)};
  context.progress = [&device](std::uint64_t total, std::uint64_t done) {
    device.notify(EMBERLINE_CALLBACK_PROGRESS, &total, &done);
  };
  context.bufferState = [&device](std::uint32_t size, std::uint32_t free) {
    device.notify(EMBERLINE_CALLBACK_BUFFER, &size, &free);
  };
  EMBERLINE_TRY(write::record(context, plan));
  // A test recording leaves nothing to read back.
  if (!plan.testMode) {
    placeTracks(device, recipe);
    if (!earlier.empty()) recipe.tracks.insert(recipe.tracks.begin(), earlier.begin(), earlier.end());
    device.lastWrite = std::move(recipe);
  }
  return {};
}

/// Runs a recording call. The plan is built inside the device call, so
/// sources are opened (and trees leased) only once the device is ours.
template <class Fill>
std::uint8_t recordingCall(EmberlineHandle writer, const ErrorOutputs& out, const PlanOptions& o, Fill&& fill) {
  if (!LibraryState::instance().started()) return reportNotStarted(out);
  return runDeviceCall(writer, out, [&](DeviceObject& device) -> Status {
    write::DiscPlan plan = emptyPlan(o);
    WriteRecipe recipe;
    Status filled = fill(plan, recipe);
    if (!filled.ok()) {
      device.lastWrite.reset();
      return filled;
    }
    return run(device, plan, std::move(recipe));
  });
}

/// Checks the source and the medium for a Video CD or Super Video CD and
/// fills @p plan with its two tracks; nothing is written before it succeeds.
Status addVideoDisc(DeviceObject& device, write::DiscPlan& plan, WriteRecipe& recipe, video::VideoDiscKind kind,
                    const char* sourceFile, const char* albumId, std::uint16_t volumeCount,
                    std::uint16_t volumeNumber) {
  const char* disc = kind == video::VideoDiscKind::VideoCd ? "a Video CD" : "a Super Video CD";
  if (sourceFile == nullptr || *sourceFile == '\0') return fail(ErrorKind::InvalidArgument, "no MPEG file named");
  if (albumId == nullptr) return fail(ErrorKind::InvalidArgument, "no album id given");
  auto facts = video::checkMpegStream(sourceFile, kind);
  if (!facts) return fail(std::move(facts).error());
  auto layout = video::planVcdDisc(*facts, albumId, volumeCount, volumeNumber);
  if (!layout) return fail(std::move(layout).error());
  // Track 1's folders come from the template beside the program.
  auto templatePath = video::templateBesideExecutable(kind);
  if (!templatePath) return fail(std::move(templatePath).error());
  auto folders = video::readVcdTemplate(kind, *templatePath);
  if (!folders) return fail(std::move(folders).error());
  layout->folders = std::move(*folders);

  auto medium = write::inspectMedium(device.drive());
  if (!medium) return fail(std::move(medium).error());
  if (!medium->cd())
    return fail(ErrorKind::NotSupported,
                std::string(disc) + " is recorded onto a blank CD-R or CD-RW; the disc in the drive is a DVD");
  if (!medium->blank())
    return fail(ErrorKind::NotSupported,
                std::string(disc) + " is recorded onto a blank CD-R or CD-RW; the disc in the drive is not blank");
  if (layout->leadOutLba > medium->freeBlocks)
    return fail(ErrorKind::NotSupported, std::string(disc) + " of " + sourceFile + " needs " +
                                             std::to_string(layout->leadOutLba) + " sectors but the disc has " +
                                             std::to_string(medium->freeBlocks) + " free");

  // One moment for the recording and any read-back of it.
  layout->created = recordingTime();
  auto video = video::vcdDiscPlan(*layout, sourceFile);
  if (!video) return fail(std::move(video).error());
  plan.sessionFormat = video->sessionFormat;
  plan.tracks = std::move(video->tracks);
  recipe.tracks = videoDiscRecipes(*layout, sourceFile);
  return {};
}

std::uint8_t videoDiscCall(EmberlineHandle writer, const ErrorOutputs& out, video::VideoDiscKind kind,
                           const char* sourceFile, const char* albumId, std::uint16_t volumeCount,
                           std::uint16_t volumeNumber, std::uint8_t testMode, std::uint8_t useBup,
                           std::uint32_t readyMinutes) {
  if (!LibraryState::instance().started()) return reportNotStarted(out);
  return runDeviceCall(writer, out, [&](DeviceObject& device) -> Status {
    write::DiscPlan plan =
        emptyPlan(options(write::RecordingMode::SessionAtOnce, 1, testMode, 0, useBup, readyMinutes));
    device.lastWrite.reset();
    WriteRecipe recipe;
    EMBERLINE_TRY(addVideoDisc(device, plan, recipe, kind, sourceFile, albumId, volumeCount, volumeNumber));
    return run(device, plan, std::move(recipe));
  });
}

}  // namespace

}  // namespace emberline

using namespace emberline;
using write::RecordingMode;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_TrackAtOnceFromTree(EmberlineHandle writer, char* text, int32_t size,
                                                                  uint32_t* status, EmberlineFailureInfo* failure,
                                                                  EmberlineHandle tree, uint8_t closeTrack,
                                                                  uint8_t testMode, uint8_t multiSession,
                                                                  uint8_t useBup, uint32_t readyMinutes) {
  return recordingCall(writer, {text, size, status, failure},
                       options(RecordingMode::TrackAtOnce, closeTrack, testMode, multiSession, useBup, readyMinutes),
                       [&](write::DiscPlan& plan, WriteRecipe& recipe) { return addTree(plan, recipe, tree); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_TrackAtOnceFromFile(EmberlineHandle writer, char* text, int32_t size,
                                                                  uint32_t* status, EmberlineFailureInfo* failure,
                                                                  const char* fileName, uint8_t closeTrack,
                                                                  uint8_t testMode, uint8_t multiSession,
                                                                  uint8_t useBup, uint32_t readyMinutes) {
  return recordingCall(
      writer, {text, size, status, failure},
      options(RecordingMode::TrackAtOnce, closeTrack, testMode, multiSession, useBup, readyMinutes),
      [&](write::DiscPlan& plan, WriteRecipe& recipe) { return addFile(plan, recipe, fileName, kUserBlock); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_SessionAtOnce(EmberlineHandle writer, char* text, int32_t size,
                                                            uint32_t* status, EmberlineFailureInfo* failure,
                                                            const uint8_t* sessionRecord, uint8_t fromTree,
                                                            uint8_t testMode, uint8_t closeSession, uint8_t useBup,
                                                            uint32_t readyMinutes) {
  const uint8_t multiSession = closeSession == 0 ? 1 : 0;
  return recordingCall(writer, {text, size, status, failure},
                       options(RecordingMode::SessionAtOnce, 1, testMode, multiSession, useBup, readyMinutes),
                       [&](write::DiscPlan& plan, WriteRecipe& recipe) {
                         return addSessionRecord(plan, recipe, sessionRecord, fromTree != 0);
                       });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_DiscAtOncePQFromTree(EmberlineHandle writer, char* text, int32_t size,
                                                                   uint32_t* status, EmberlineFailureInfo* failure,
                                                                   EmberlineHandle tree, uint8_t closeTrack,
                                                                   uint8_t testMode, uint8_t multiSession,
                                                                   uint8_t useBup, uint32_t readyMinutes) {
  return recordingCall(writer, {text, size, status, failure},
                       options(RecordingMode::RawPq, closeTrack, testMode, multiSession, useBup, readyMinutes),
                       [&](write::DiscPlan& plan, WriteRecipe& recipe) { return addTree(plan, recipe, tree); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_DiscAtOnceRawPWFromTree(EmberlineHandle writer, char* text, int32_t size,
                                                                      uint32_t* status, EmberlineFailureInfo* failure,
                                                                      EmberlineHandle tree, uint8_t closeTrack,
                                                                      uint8_t testMode, uint8_t multiSession,
                                                                      uint8_t useBup, uint32_t readyMinutes) {
  return recordingCall(writer, {text, size, status, failure},
                       options(RecordingMode::RawPw, closeTrack, testMode, multiSession, useBup, readyMinutes),
                       [&](write::DiscPlan& plan, WriteRecipe& recipe) { return addTree(plan, recipe, tree); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_DiscAtOncePQFromFile(EmberlineHandle writer, char* text, int32_t size,
                                                                   uint32_t* status, EmberlineFailureInfo* failure,
                                                                   const uint8_t* trackList, uint8_t audio,
                                                                   uint8_t testMode, uint8_t multiSession,
                                                                   uint8_t rawInput, uint8_t useBup,
                                                                   uint32_t readyMinutes) {
  return recordingCall(writer, {text, size, status, failure},
                       options(RecordingMode::RawPq, 0, testMode, multiSession, useBup, readyMinutes),
                       [&](write::DiscPlan& plan, WriteRecipe& recipe) {
                         return addTrackList(plan, recipe, trackList, audio, rawInput);
                       });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_DiscAtOnceRawPWFromFile(EmberlineHandle writer, char* text, int32_t size,
                                                                      uint32_t* status, EmberlineFailureInfo* failure,
                                                                      const uint8_t* trackList, uint8_t audio,
                                                                      uint8_t testMode, uint8_t multiSession,
                                                                      uint8_t rawInput, uint8_t useBup,
                                                                      uint32_t readyMinutes) {
  return recordingCall(writer, {text, size, status, failure},
                       options(RecordingMode::RawPw, 0, testMode, multiSession, useBup, readyMinutes),
                       [&](write::DiscPlan& plan, WriteRecipe& recipe) {
                         return addTrackList(plan, recipe, trackList, audio, rawInput);
                       });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_VideoCD(EmberlineHandle writer, char* text, int32_t size,
                                                      uint32_t* status, EmberlineFailureInfo* failure,
                                                      const char* sourceFile, const char* albumId, uint16_t volumeCount,
                                                      uint16_t volumeNumber, uint8_t testMode, uint8_t useBup,
                                                      uint32_t readyMinutes) {
  return videoDiscCall(writer, {text, size, status, failure}, video::VideoDiscKind::VideoCd, sourceFile, albumId,
                       volumeCount, volumeNumber, testMode, useBup, readyMinutes);
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_SuperVideoCD(EmberlineHandle writer, char* text, int32_t size,
                                                           uint32_t* status, EmberlineFailureInfo* failure,
                                                           const char* sourceFile, const char* albumId,
                                                           uint16_t volumeCount, uint16_t volumeNumber,
                                                           uint8_t testMode, uint8_t useBup, uint32_t readyMinutes) {
  return videoDiscCall(writer, {text, size, status, failure}, video::VideoDiscKind::SuperVideoCd, sourceFile, albumId,
                       volumeCount, volumeNumber, testMode, useBup, readyMinutes);
}

}  // extern "C"
