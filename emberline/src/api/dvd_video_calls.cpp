// DVD-Video structures through the flat API: a checked VIDEO_TS folder laid
// out as a bridge image, and the file tree through which it is read or burned.

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "api/call_result.h"
#include "api/export.h"
#include "api/file_tree_object.h"
#include "api/library_state.h"
#include "emberline/dvd_video.h"
#include "video/dvd_bridge_image.h"

namespace emberline {

namespace {

/// A structure owns its tree: both handles live exactly as long as the structure.
struct DvdVideoObject final : EmberlineObject {
  std::shared_ptr<FileTreeObject> tree;
  EmberlineHandle treeHandle = nullptr;
  std::string videoTs;               ///< the folder the structure was made from
  std::vector<std::string> leftOut;  ///< its files that belong to no set, as named in the folder
};

std::string text(const char* value) {
  return value == nullptr ? std::string() : std::string(value);
}

/// The caller's local date and time as a moment; fails for a date that does not exist.
Result<std::time_t> localMoment(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::uint16_t hour,
                                std::uint16_t minute, std::uint16_t second) {
  if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
      second > 59)
    return fail(ErrorKind::InvalidArgument, "the date and time " + std::to_string(year) + "-" + std::to_string(month) +
                                                "-" + std::to_string(day) + " " + std::to_string(hour) + ":" +
                                                std::to_string(minute) + ":" + std::to_string(second) +
                                                " do not name a moment");
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;  // whatever the zone's rules say for that day
  const std::time_t moment = std::mktime(&local);
  if (moment == static_cast<std::time_t>(-1) || local.tm_mday != day)
    return fail(ErrorKind::InvalidArgument, "the date " + std::to_string(year) + "-" + std::to_string(month) + "-" +
                                                std::to_string(day) + " does not exist");
  return moment;
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_DVDVideo_Create(EmberlineHandle* dvdVideo, const char* sourceFolder,
                                                   uint8_t addAudioTs, char* errorText, int32_t size, uint32_t* status,
                                                   const char* volumeLabel, const char* publisher,
                                                   const char* application, uint16_t year, uint16_t month, uint16_t day,
                                                   uint16_t hour, uint16_t minute, uint16_t second,
                                                   uint16_t /*millisecond*/) {
  const ErrorOutputs out{errorText, size, status, nullptr};
  auto& library = LibraryState::instance();
  if (!library.started()) return reportNotStarted(out);
  if (dvdVideo == nullptr)
    return report(out, Error::make(ErrorKind::InvalidArgument, "no place given for the DVD-Video handle"));
  *dvdVideo = nullptr;
  if (sourceFolder == nullptr) return report(out, Error::make(ErrorKind::InvalidArgument, "no DVD-Video folder given"));

  auto created = localMoment(year, month, day, hour, minute, second);
  if (!created.ok()) return report(out, created.error());
  auto folder = video::checkDvdFolder(sourceFolder);
  if (!folder.ok()) return report(out, folder.error());

  auto tree = std::make_shared<FileTreeObject>(nullptr);
  const video::DvdVolumeText volume{text(volumeLabel), text(publisher), text(application), *created};
  auto built = video::buildDvdBridgeImage(*folder, addAudioTs != 0, volume, tree->tree);
  if (!built.ok()) return report(out, built.error());
  tree->image = std::move(built->image);
  tree->imageStartLba = 0;
  tree->fixedLayout = true;
  tree->layerBreaks = std::move(built->plan.cellStarts);

  auto structure = std::make_shared<DvdVideoObject>();
  structure->tree = tree;
  structure->treeHandle = library.objects().add(tree);
  structure->videoTs = folder->videoTs;
  structure->leftOut = std::move(folder->leftOut);
  *dvdVideo = library.objects().add(std::move(structure));
  return reportSuccess(out);
}

EMBERLINE_EXPORT uint8_t Emberline_DVDVideo_ReportLeftOut(EmberlineHandle dvdVideo, EmberlineCallBackProc callback,
                                                          void* context) {
  const auto structure = LibraryState::instance().objects().findAs<DvdVideoObject>(dvdVideo);
  if (!structure) return EMBERLINE_E_INVALID_ARGUMENT;
  if (callback == nullptr) return EMBERLINE_OK;
  for (const std::string& name : structure->leftOut) {
    std::string path = (std::filesystem::path(structure->videoTs) / name).string();
    callback(EMBERLINE_CALLBACK_FILE_LEFT_OUT, context, const_cast<char*>(name.c_str()), path.data());
  }
  return EMBERLINE_OK;
}

EMBERLINE_EXPORT uint8_t Emberline_DVDVideo_GetTreePointer(EmberlineHandle dvdVideo, EmberlineHandle* tree) {
  if (tree == nullptr) return EMBERLINE_E_INVALID_ARGUMENT;
  *tree = nullptr;
  const auto structure = LibraryState::instance().objects().findAs<DvdVideoObject>(dvdVideo);
  if (!structure) return EMBERLINE_E_INVALID_ARGUMENT;
  *tree = structure->treeHandle;
  return EMBERLINE_OK;
}

EMBERLINE_EXPORT uint8_t Emberline_DVDVideo_Destroy(EmberlineHandle dvdVideo) {
  auto& objects = LibraryState::instance().objects();
  const auto structure = objects.findAs<DvdVideoObject>(dvdVideo);
  if (!structure) return EMBERLINE_E_INVALID_ARGUMENT;
  // The tree's handle goes with the structure; a recording still reading the image keeps it alive until it ends.
  objects.remove(structure->treeHandle);
  objects.remove(dvdVideo);
  return EMBERLINE_OK;
}

}  // extern "C"
