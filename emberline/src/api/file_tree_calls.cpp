// ISO 9660 / Joliet file trees through the flat API: filling, laying out and
// streaming an image.

#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "api/call_result.h"
#include "api/export.h"
#include "api/file_tree_object.h"
#include "api/library_state.h"
#include "api/tree_image_lease.h"
#include "emberline/file_tree.h"
#include "image/image_builder.h"

namespace emberline {

namespace {

// Entry kind bytes of a collision record.
constexpr std::uint8_t kEntryFile = 0;
constexpr std::uint8_t kEntryFolder = 1;
constexpr std::size_t kNameUnits = EMBERLINE_COLLISION_NAME_SIZE / 2;

std::vector<std::uint8_t> collisionEntry(const std::string& source, bool folder) {
  std::vector<std::uint8_t> entry;
  entry.reserve(source.size() + 2);
  entry.push_back(folder ? kEntryFolder : kEntryFile);
  entry.insert(entry.end(), source.begin(), source.end());
  entry.push_back(0);
  return entry;
}

/// Passes the tree's reports on to the caller's callback.
class CallbackObserver final : public image::TreeObserver {
 public:
  CallbackObserver(EmberlineCallBackProc callback, void* context) : callback_(callback), context_(context) {}

  void added(const std::string& treePath, const std::string& source) override {
    call(EMBERLINE_CALLBACK_NAME_ADDED, treePath.c_str(), source.c_str());
  }
  void removed(const std::string& treePath, const std::string& source) override {
    call(EMBERLINE_CALLBACK_NAME_REMOVED, treePath.c_str(), source.c_str());
  }
  void ignored(const std::string& treePath, const std::string& reason) override {
    call(EMBERLINE_CALLBACK_NAME_IGNORED, treePath.c_str(), reason.c_str());
  }

  std::optional<image::CollisionDecision> collision(const image::NameCollision& c) override {
    if (callback_ == nullptr) return std::nullopt;
    EmberlineNameCollision record{};
    const std::vector<std::uint8_t> first = collisionEntry(c.firstSource, c.firstFolder);
    const std::vector<std::uint8_t> second = collisionEntry(c.secondSource, c.secondFolder);
    fill(record, c, c.isoName, c.jolietName, first, second);
    callback_(EMBERLINE_CALLBACK_NAME_COLLISION, context_, &record, nullptr);

    image::CollisionDecision decision;
    switch (record.answer) {
      case EMBERLINE_COLLISION_KEEP_FIRST:
        decision.answer = image::CollisionAnswer::KeepFirst;
        break;
      case EMBERLINE_COLLISION_RENAME:
        decision.answer = image::CollisionAnswer::Rename;
        break;
      case EMBERLINE_COLLISION_MERGE:
        decision.answer = image::CollisionAnswer::Merge;
        break;
      default:
        return std::nullopt;
    }
    // The callee may leave the name without a terminator: never read past the record.
    if (c.joliet) {
      char16_t units[kNameUnits];
      std::memcpy(units, record.name, sizeof units);
      std::size_t length = 0;
      while (length < kNameUnits && units[length] != 0) ++length;
      decision.jolietName.assign(units, length);
    } else {
      const auto* bytes = reinterpret_cast<const char*>(record.name);
      decision.isoName.assign(bytes, strnlen(bytes, sizeof record.name));
    }
    return decision;
  }

  void settled(const image::NameCollision& c, const image::CollisionDecision& outcome) override {
    if (callback_ == nullptr) return;
    EmberlineNameCollision record{};
    const std::vector<std::uint8_t> first = collisionEntry(c.firstSource, c.firstFolder);
    const std::vector<std::uint8_t> second = collisionEntry(c.secondSource, c.secondFolder);
    // A rename reports the name as the image records it; otherwise the shared name stays.
    const bool rename = outcome.answer == image::CollisionAnswer::Rename;
    fill(record, c, rename ? outcome.isoName : c.isoName, rename ? outcome.jolietName : c.jolietName, first, second);
    switch (outcome.answer) {
      case image::CollisionAnswer::KeepFirst:
        record.answer = EMBERLINE_COLLISION_KEEP_FIRST;
        break;
      case image::CollisionAnswer::Rename:
        record.answer = EMBERLINE_COLLISION_RENAME;
        break;
      case image::CollisionAnswer::Merge:
        record.answer = EMBERLINE_COLLISION_MERGE;
        break;
    }
    callback_(EMBERLINE_CALLBACK_NAME_COLLISION_SETTLED, context_, &record, nullptr);
  }

 private:
  static void fill(EmberlineNameCollision& record, const image::NameCollision& c, const std::string& isoName,
                   const std::u16string& jolietName, const std::vector<std::uint8_t>& first,
                   const std::vector<std::uint8_t>& second) {
    record.joliet = c.joliet ? 1 : 0;
    if (c.joliet) {
      std::vector<char16_t> units(jolietName.begin(), jolietName.end());
      units.resize(std::min(units.size(), kNameUnits - 1));
      units.push_back(0);
      std::memcpy(record.name, units.data(), units.size() * sizeof(char16_t));
    } else {
      std::memcpy(record.name, isoName.data(), std::min(isoName.size(), sizeof record.name - 1));
    }
    record.firstEntry = first.data();
    record.firstAttributes = c.firstFolder ? EMBERLINE_ATTRIBUTE_FOLDER : 0;
    record.secondEntry = second.data();
    record.secondAttributes = c.secondFolder ? EMBERLINE_ATTRIBUTE_FOLDER : 0;
  }

  void call(std::uint32_t number, const char* first, const char* second) {
    if (callback_ != nullptr) callback_(number, context_, const_cast<char*>(first), const_cast<char*>(second));
  }

  EmberlineCallBackProc callback_;
  void* context_;
};

std::shared_ptr<FileTreeObject> findTree(EmberlineHandle handle) {
  return findFileTree(handle);
}

Error notATree() {
  return Error::make(ErrorKind::InvalidArgument, "the handle is not a file tree");
}

template <class Body>
std::uint8_t runTreeCall(EmberlineHandle handle, const ErrorOutputs& out, Body&& body) {
  const std::shared_ptr<FileTreeObject> tree = findTree(handle);
  if (!tree) return report(out, notATree());
  std::lock_guard lock(tree->mutex);
  Status status = std::forward<Body>(body)(*tree);
  if (!status.ok()) return report(out, status.error());
  return reportSuccess(out);
}

std::string text(const char* value) {
  return value == nullptr ? std::string() : std::string(value);
}

Status needsImage(const FileTreeObject& tree) {
  if (!tree.image) return fail(ErrorKind::InvalidArgument, "no image built: call BuildImage after filling the tree");
  return {};
}

/// A DVD-Video structure's tree keeps the layout its IFOs demand: no call may change it or lay it out anew.
Status changeable(const FileTreeObject& tree) {
  if (tree.fixedLayout)
    return fail(ErrorKind::InvalidArgument,
                "the tree belongs to a DVD-Video structure, whose layout is fixed: it cannot be changed");
  return {};
}

}  // namespace

std::shared_ptr<FileTreeObject> findFileTree(EmberlineHandle handle) {
  return LibraryState::instance().objects().findAs<FileTreeObject>(handle);
}

Result<TreeImageLease> leaseTreeImage(EmberlineHandle handle) {
  std::shared_ptr<FileTreeObject> tree = findTree(handle);
  if (!tree) return fail(notATree());
  std::unique_lock lock(tree->mutex);
  EMBERLINE_TRY(needsImage(*tree));
  TreeImageLease lease;
  lease.image = tree->image.get();
  lease.startLba = tree->imageStartLba;
  lease.layerBreakCandidates = tree->layerBreakCandidates();
  lease.lock = std::move(lock);
  lease.owner = std::move(tree);
  return lease;
}

}  // namespace emberline

using emberline::ErrorKind;
using emberline::ErrorOutputs;
using emberline::FileTreeObject;
using emberline::Status;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_Create(EmberlineHandle* tree, char* text, int32_t size,
                                                                uint32_t* status, EmberlineCallBackProc callback,
                                                                void* context) {
  const ErrorOutputs out{text, size, status, nullptr};
  auto& library = emberline::LibraryState::instance();
  if (!library.started()) return emberline::reportNotStarted(out);
  if (tree == nullptr)
    return emberline::report(out,
                             emberline::Error::make(ErrorKind::InvalidArgument, "no place given for the tree handle"));
  *tree = library.objects().add(
      std::make_shared<FileTreeObject>(std::make_unique<emberline::CallbackObserver>(callback, context)));
  return emberline::reportSuccess(out);
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_AddFolder(EmberlineHandle tree, char* text, int32_t size,
                                                                   uint32_t* status, const char* treeFolder,
                                                                   const char* sourceFolder) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::changeable(t));
    if (sourceFolder == nullptr) return emberline::fail(ErrorKind::InvalidArgument, "no source folder given");
    t.image.reset();
    return t.tree.addFolder(emberline::text(treeFolder), sourceFolder);
  });
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_AddFile(EmberlineHandle tree, char* text, int32_t size,
                                                                 uint32_t* status, const char* treeFolder,
                                                                 const char* sourceFile, const char* name) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::changeable(t));
    if (sourceFile == nullptr) return emberline::fail(ErrorKind::InvalidArgument, "no source file given");
    t.image.reset();
    return t.tree.addFile(emberline::text(treeFolder), sourceFile, emberline::text(name));
  });
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_Remove(EmberlineHandle tree, char* text, int32_t size,
                                                                uint32_t* status, const char* treePath) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::changeable(t));
    if (treePath == nullptr) return emberline::fail(ErrorKind::InvalidArgument, "no tree path given");
    t.image.reset();
    return t.tree.remove(treePath);
  });
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_SetBootImage(EmberlineHandle tree, const char* path,
                                                                      uint8_t loadSectors, uint8_t mediaType,
                                                                      uint8_t bootable, uint8_t platform, char* text,
                                                                      int32_t size, uint32_t* status) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::changeable(t));
    t.image.reset();
    if (path == nullptr || *path == '\0') {
      t.boot.reset();
      return {};
    }
    emberline::image::BootOptions boot;
    boot.path = path;
    boot.loadSectors = loadSectors;
    boot.media = static_cast<emberline::image::BootMedia>(mediaType);
    boot.bootable = bootable != 0;
    boot.platform = platform;
    auto checked = emberline::image::checkBootImage(boot);
    if (!checked.ok()) return emberline::fail(std::move(checked).error());
    t.boot = std::move(boot);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_BuildImage(EmberlineHandle tree, char* text, int32_t size,
                                                                    uint32_t* status, uint32_t startLba, uint32_t level,
                                                                    uint32_t joliet, const char* volumeLabel,
                                                                    const char* applicationId, const char* preparerId) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::changeable(t));
    t.image.reset();
    emberline::image::BuildOptions options;
    options.startLba = startLba;
    options.level = level;
    options.joliet = joliet != 0;
    options.volumeLabel = emberline::text(volumeLabel);
    options.applicationId = emberline::text(applicationId);
    options.preparerId = emberline::text(preparerId);
    options.boot = t.boot;
    options.rockRidge = t.rockRidge;
    options.keepOwners = t.keepOwners;
    options.created = t.created;
    auto built = emberline::image::buildImage(t.tree, options);
    if (!built.ok()) return emberline::fail(std::move(built).error());
    t.image = std::move(*built);
    t.imageStartLba = startLba;
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_SetCreationTime(EmberlineHandle tree, char* text, int32_t size,
                                                                         uint32_t* status, int64_t created) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::changeable(t));
    if (created < 0 || created > std::numeric_limits<std::time_t>::max())
      return emberline::fail(emberline::ErrorKind::InvalidArgument,
                             "a creation time before 1970 cannot be recorded: " + std::to_string(created));
    t.created = static_cast<std::time_t>(created);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_SetRockRidge(EmberlineHandle tree, char* text, int32_t size,
                                                                      uint32_t* status, uint32_t flags) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::changeable(t));
    constexpr std::uint32_t known =
        EMBERLINE_ROCK_RIDGE | EMBERLINE_ROCK_RIDGE_KEEP_OWNERS | EMBERLINE_ROCK_RIDGE_FOLLOW_LINKS;
    if ((flags & ~known) != 0)
      return emberline::fail(ErrorKind::InvalidArgument, "unknown Rock Ridge flags " + std::to_string(flags & ~known));
    const bool on = (flags & EMBERLINE_ROCK_RIDGE) != 0;
    EMBERLINE_TRY(t.tree.setCapture({on, on && (flags & EMBERLINE_ROCK_RIDGE_FOLLOW_LINKS) == 0}));
    t.image.reset();
    t.rockRidge = on;
    t.keepOwners = on && (flags & EMBERLINE_ROCK_RIDGE_KEEP_OWNERS) != 0;
    return {};
  });
}

EMBERLINE_EXPORT uint32_t Emberline_ISO9660JolietFileTree_GetSizeInBytes(EmberlineHandle tree, uint32_t* high) {
  std::uint64_t bytes = 0;
  if (auto t = emberline::findTree(tree)) {
    std::lock_guard lock(t->mutex);
    if (t->image) bytes = t->image->size();
  }
  if (high != nullptr) *high = static_cast<uint32_t>(bytes >> 32);
  return static_cast<uint32_t>(bytes);
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_Read(EmberlineHandle tree, char* text, int32_t size,
                                                              uint32_t* status, uint32_t count, uint8_t* buffer) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::needsImage(t));
    if (buffer == nullptr && count > 0) return emberline::fail(ErrorKind::InvalidArgument, "no buffer given");
    return t.image->read(std::span<std::uint8_t>(buffer, count));
  });
}

EMBERLINE_EXPORT uint8_t Emberline_ISO9660JolietFileTree_SeekToBegin(EmberlineHandle tree, char* text, int32_t size,
                                                                     uint32_t* status) {
  return emberline::runTreeCall(tree, {text, size, status, nullptr}, [&](FileTreeObject& t) -> Status {
    EMBERLINE_TRY(emberline::needsImage(t));
    t.image->seekToBegin();
    return {};
  });
}

}  // extern "C"
