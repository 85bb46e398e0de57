#include "virtual/virtual_writer_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "virtual/virtual_transport.h"

namespace emberline::virt {

VirtualWriterRegistry& VirtualWriterRegistry::instance() {
  static VirtualWriterRegistry registry;
  return registry;
}

Status VirtualWriterRegistry::start(std::string_view spec, const std::filesystem::path& directory) {
  auto configs = parseWriterConfigs(spec);
  if (!configs) return fail(std::move(configs).error());
  // Without writers nothing is ever recorded: their folder is neither needed nor made.
  if (!configs->empty()) {
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec) return fail(Error::fromErrno(ErrorKind::File, "cannot create " + directory.string(), ec.value()));
  }
  std::vector<std::shared_ptr<VirtualDrive>> drives;
  for (std::size_t i = 0; i < configs->size(); ++i)
    drives.push_back(std::make_shared<VirtualDrive>((*configs)[i], static_cast<int>(i), directory));
  std::lock_guard lock(mutex_);
  for (auto& d : drives_) d->shutDown();
  drives_ = std::move(drives);
  directory_ = directory;
  return {};
}

Status VirtualWriterRegistry::startFromEnvironment() {
  const char* spec = std::getenv("ONDRELLE_VIRTUAL_WRITERS");
  return start(spec ? spec : "", virtualDirectory(std::getenv("ONDRELLE_VIRTUAL_DIR"), std::getenv("HOME")));
}

void VirtualWriterRegistry::shutDown() {
  std::lock_guard lock(mutex_);
  for (auto& d : drives_) d->shutDown();
  drives_.clear();
}

std::vector<std::string> VirtualWriterRegistry::names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (const auto& d : drives_) out.push_back(d->name());
  return out;
}

std::shared_ptr<VirtualDrive> VirtualWriterRegistry::findByName(std::string_view name) const {
  std::lock_guard lock(mutex_);
  for (const auto& d : drives_)
    if (d->name() == name) return d;
  return nullptr;
}

std::shared_ptr<VirtualDrive> VirtualWriterRegistry::findByAddress(std::uint8_t host, std::uint8_t channel,
                                                                   std::uint8_t target, std::uint8_t lun) const {
  if (host != kVirtualHost || channel != 0 || lun != 0) return nullptr;
  std::lock_guard lock(mutex_);
  for (const auto& d : drives_)
    if (d->index() == target) return d;
  return nullptr;
}

Result<std::unique_ptr<ScsiTransport>> VirtualWriterRegistry::open(std::string_view name, OpenMode mode) const {
  auto drive = findByName(name);
  if (!drive) return fail(ErrorKind::DeviceOpen, "no virtual writer named " + std::string(name));
  FileHandle claim;
  if (mode == OpenMode::Exclusive) {
    std::filesystem::path lockPath;
    {
      std::lock_guard lock(mutex_);
      lockPath = directory_ / (std::string(name) + ".lock");
    }
    claim = FileHandle(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!claim.valid())
      return fail(Error::fromErrno(ErrorKind::DeviceOpen, "cannot create the lock file " + lockPath.string(), errno));
    // The lock goes with the descriptor: a crashed burn never leaves the writer claimed.
    if (::flock(claim.get(), LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      if (err == EWOULDBLOCK)
        return fail(Error::fromErrno(ErrorKind::DeviceOpen,
                                     "device busy: virtual writer " + std::string(name) + " is burning another disc",
                                     err));
      return fail(Error::fromErrno(ErrorKind::DeviceOpen, "cannot lock " + lockPath.string(), err));
    }
  }
  return std::unique_ptr<ScsiTransport>(std::make_unique<VirtualTransport>(std::move(drive), std::move(claim)));
}

std::vector<std::string> VirtualWriterRegistry::finishedImages() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (const auto& d : drives_) {
    auto f = d->finishedImages();
    out.insert(out.end(), f.begin(), f.end());
  }
  return out;
}

}  // namespace emberline::virt
