#include "image/udf/udf_volume.h"

#include <cstdio>

#include "image/udf/udf_fields.h"

namespace emberline::image::udf {

namespace {

constexpr std::size_t kDescriptorBytes = 512;

Sector blank() {
  return Sector{};
}

Sector recognition(const char* id) {
  Sector sector = blank();
  sector[0] = 0;
  std::copy(id, id + 5, sector.begin() + 1);
  sector[6] = 1;
  return sector;
}

/// Finishes a descriptor of `length` bytes at the start of `sector`.
void finish(Sector& sector, std::size_t length, Tag id, std::uint32_t location) {
  finishTag(Bytes(sector.data(), length), id, location);
}

void putExtent(Bytes b, std::size_t at, std::uint32_t bytes, std::uint32_t location) {
  put32(b, at, bytes);
  put32(b, at + 4, location);
}

void primaryVolume(Sector& s, const VolumeFacts& f) {
  put32(s, 20, 0);  // primary volume descriptor number
  putDString(Bytes(s).subspan(24, 32), f.volumeId);
  put16(s, 56, 1);  // volume sequence number
  put16(s, 58, 1);  // of one volume
  put16(s, 60, 2);  // interchange level: single volume
  put16(s, 62, 2);
  put32(s, 64, 1);  // character set list: CS0
  put32(s, 68, 1);
  // The volume set identifier starts with 16 characters unique to this volume.
  char unique[17];
  std::snprintf(
      unique, sizeof unique, "%08X%08X", static_cast<unsigned>(f.created),
      static_cast<unsigned>(crcItu({reinterpret_cast<const std::uint8_t*>(f.volumeId.data()), f.volumeId.size()})));
  putDString(Bytes(s).subspan(72, 128), std::string(unique) + " " + f.volumeId);
  putCharSpec(s, 200);
  putCharSpec(s, 264);
  putEntity(s, 344, f.applicationId, EntityKind::Plain);
  putTimestamp(s, 376, f.created);
  putEntity(s, 388, kImplementation, EntityKind::Implementation);
}

void implementationUse(Sector& s, const VolumeFacts& f) {
  putEntity(s, 20, "*UDF LV Info", EntityKind::UdfDefined);
  putCharSpec(s, 52);
  putDString(Bytes(s).subspan(116, 128), f.volumeId);
  putDString(Bytes(s).subspan(244, 36), f.publisher);
  putDString(Bytes(s).subspan(280, 36), f.applicationId);
  putEntity(s, 352, kImplementation, EntityKind::Implementation);
}

void partition(Sector& s, const VolumeFacts& f) {
  put16(s, 20, 1);  // allocated
  put16(s, 22, 0);  // partition number
  putEntity(s, 24, "+NSR02", EntityKind::Plain);
  put32(s, 184, 1);  // read-only
  put32(s, 188, f.partitionStart);
  put32(s, 192, f.partitionBlocks);
  putEntity(s, 196, kImplementation, EntityKind::Implementation);
}

void logicalVolume(Sector& s, const VolumeFacts& f) {
  putCharSpec(s, 20);
  putDString(Bytes(s).subspan(84, 128), f.volumeId);
  put32(s, 212, 2048);
  putEntity(s, 216, kDomain, EntityKind::Domain);
  put32(s, 248, 2048);  // where the file set descriptor is: a long allocation descriptor
  put32(s, 252, f.fileSetBlock);
  put16(s, 256, 0);
  put32(s, 264, 6);  // one type 1 partition map
  put32(s, 268, 1);
  putEntity(s, 272, kImplementation, EntityKind::Implementation);
  putExtent(s, 432, 2 * 2048, f.integrityBlock);
  s[440] = 1;
  s[441] = 6;
  put16(s, 442, 1);  // volume sequence number
  put16(s, 444, 0);  // partition number
}

void unallocatedSpace(Sector& s, const VolumeFacts& /*f*/) {
  put32(s, 20, 0);  // no allocation descriptors: the volume has no free space
}

/// One descriptor of the volume descriptor sequence: which it is, how many
/// of its bytes the tag's checksum covers, and what fills its body.
struct SequenceDescriptor {
  Tag id;
  std::size_t length;
  void (*fill)(Sector&, const VolumeFacts&);
};

/// In the order they are recorded; each one's sequence number is its place.
constexpr SequenceDescriptor kSequence[] = {
    {Tag::PrimaryVolume, kDescriptorBytes, primaryVolume},
    {Tag::ImplementationUseVolume, kDescriptorBytes, implementationUse},
    {Tag::Partition, kDescriptorBytes, partition},
    {Tag::LogicalVolume, 446, logicalVolume},
    {Tag::UnallocatedSpace, 24, unallocatedSpace},
};

Sector terminator(std::uint32_t location) {
  Sector s = blank();
  finish(s, kDescriptorBytes, Tag::Terminating, location);
  return s;
}

}  // namespace

std::vector<Sector> recognitionSequence() {
  return {recognition("BEA01"), recognition("NSR02"), recognition("TEA01")};
}

Sector anchorPointer(std::uint32_t location, std::uint32_t mainVds, std::uint32_t reserveVds, std::uint32_t vdsBlocks) {
  Sector s = blank();
  putExtent(s, 16, vdsBlocks * 2048, mainVds);
  putExtent(s, 24, vdsBlocks * 2048, reserveVds);
  finish(s, kDescriptorBytes, Tag::AnchorPointer, location);
  return s;
}

std::vector<Sector> volumeDescriptorSequence(const VolumeFacts& facts, std::uint32_t location, std::uint32_t blocks) {
  std::vector<Sector> out;
  for (const SequenceDescriptor& descriptor : kSequence) {
    const auto place = static_cast<std::uint32_t>(out.size());
    Sector& s = out.emplace_back(blank());
    put32(s, 16, place);  // volume descriptor sequence number
    descriptor.fill(s, facts);
    finish(s, descriptor.length, descriptor.id, location + place);
  }
  out.push_back(terminator(location + static_cast<std::uint32_t>(out.size())));
  out.resize(blocks, blank());
  return out;
}

std::vector<Sector> integritySequence(const VolumeFacts& facts, const VolumeCounts& counts) {
  Sector s = blank();
  putTimestamp(s, 16, facts.created);
  put32(s, 28, 1);  // closed
  put64(s, 40, counts.nextUniqueId);
  put32(s, 72, 1);   // one partition
  put32(s, 76, 46);  // implementation use length
  put32(s, 80, 0);   // free space: none, the volume is written once
  put32(s, 84, facts.partitionBlocks);
  putEntity(s, 88, kImplementation, EntityKind::Implementation);
  put32(s, 120, counts.files);
  put32(s, 124, counts.directories);
  put16(s, 128, kUdfRevision);  // minimum read revision
  put16(s, 130, kUdfRevision);  // minimum write revision
  put16(s, 132, kUdfRevision);  // maximum write revision
  finish(s, 134, Tag::LogicalVolumeIntegrity, facts.integrityBlock);
  return {s, terminator(facts.integrityBlock + 1)};
}

}  // namespace emberline::image::udf
