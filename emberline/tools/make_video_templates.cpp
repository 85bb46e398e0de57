// Build-time tool: writes the Video CD and Super Video CD templates into the
// folder given as its argument.

#include <cstdio>
#include <filesystem>

#include "video/vcd_template.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  using emberline::video::VideoDiscKind;
  for (VideoDiscKind kind : {VideoDiscKind::VideoCd, VideoDiscKind::SuperVideoCd}) {
    const std::filesystem::path path = folder / emberline::video::templateFileName(kind);
    const auto written = emberline::video::writeVcdTemplate(kind, path);
    if (!written.ok()) {
      std::fprintf(stderr, "%s: %s\n", argv[0], written.error().message.c_str());
      return 1;
    }
  }
  return 0;
}
