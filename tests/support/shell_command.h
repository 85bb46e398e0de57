#pragma once
// Runs the outside tools a test reads its results with (image readers,
// disc listers): what a command printed, and whether a tool is installed.

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace test_support {

/// Where a command's error output goes.
enum class ErrorOutput {
  Dropped,  ///< discarded: the result is the standard output alone
  Kept,     ///< mixed into the result, as a terminal shows it
};

/// What the shell command printed; `exitCode`, when given, receives its exit status.
inline std::string commandOutput(const std::string& command, ErrorOutput errors = ErrorOutput::Dropped,
                                 int* exitCode = nullptr) {
  std::string out;
  FILE* pipe = ::popen((command + (errors == ErrorOutput::Kept ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  const int status = ::pclose(pipe);
  if (exitCode != nullptr) *exitCode = WEXITSTATUS(status);
  return out;
}

/// Whether `tool` is a command the shell finds.
inline bool haveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace test_support
