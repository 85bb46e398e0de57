#pragma once
/// @file
/// The Video CD and Super Video CD templates: small ISO 9660 images, made at
/// build time and kept beside the program, that hold the fixed part of
/// track 1, the disc's folder skeleton. A burn takes the folders of track 1
/// from the template; it refuses a template that is missing or damaged.
///
/// A template carries, in the application use field of its primary volume
/// descriptor, a signature, its kind and a 32-bit CRC of the whole image
/// (computed with the CRC's own four bytes as zero), so any change to it is
/// noticed.

#include <filesystem>
#include <string>
#include <vector>

#include "core/result.h"
#include "video/mpeg_stream_check.h"

namespace emberline::video {

/// "Emberline_VideoCD.iso" or "Emberline_SuperVideoCD.iso".
const char* templateFileName(VideoDiscKind kind);

/// The folders a template of @p kind holds, in the order they are made.
std::vector<std::string> templateFolders(VideoDiscKind kind);

/// Writes the template of @p kind to @p path; the file is replaced only
/// once the new one is complete.
Status writeVcdTemplate(VideoDiscKind kind, const std::filesystem::path& path);

/// Reads and checks the template at @p path and returns its folders. Fails,
/// naming the path, when it is missing, unreadable, of the other kind or
/// damaged, or lacks the folders the disc needs.
Result<std::vector<std::string>> readVcdTemplate(VideoDiscKind kind, const std::filesystem::path& path);

/// Where the running program keeps the template of @p kind: the folder of
/// the executable, links resolved.
Result<std::filesystem::path> templateBesideExecutable(VideoDiscKind kind);

}  // namespace emberline::video
