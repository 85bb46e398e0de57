#pragma once
// Where the generated MPEG sources are, and small helpers to run the
// readers the tests compare against.

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/process_scratch.h"

namespace video_test {

inline std::string fixture(const std::string& name) {
  std::string path = ONDRELLE_VIDEO_FIXTURES;
  path += '/';
  path += name;
  return path;
}

/// Runs a shell command and returns what it printed on standard output.
inline std::string runCommand(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 4096> buffer{};
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) out.append(buffer.data(), n);
  return out;
}

inline std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

/// A fresh scratch folder of this test's own.
inline std::filesystem::path scratch(const std::string& name) {
  return test_support::freshFolder("video/" + name);
}

}  // namespace video_test
