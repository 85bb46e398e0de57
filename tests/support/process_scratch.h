#pragma once
// Every test process gets a scratch folder of its own, made on first use
// under the system's temporary folder and removed when the process ends, so
// tests run in parallel (and two runs of the suite at once) never share one.
// ctest starts each test in a process of its own: a folder per process is a
// folder per test and per run.

#include <filesystem>
#include <string>

namespace test_support {

/// This process's scratch folder (created on first call).
const std::filesystem::path& processScratch();

/// Where the virtual writers of this process record when a test names no
/// folder of its own; ONDRELLE_VIRTUAL_DIR points here from the start.
std::filesystem::path defaultVirtualDirectory();

/// A fresh, empty folder named @p name inside this process's scratch folder.
std::filesystem::path freshFolder(const std::string& name);

}  // namespace test_support
