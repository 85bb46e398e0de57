#pragma once
// Runs the flat API against virtual writers configured per test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "emberline/cdvd_writer.h"
#include "support/process_scratch.h"

namespace emberline::test {

/// The text / status / failure triple every device call fills.
struct CallOutputs {
  char text[EMBERLINE_TEXT_SIZE] = {};
  uint32_t status = 0;
  EmberlineFailureInfo failure{};
};

class VirtualWriterTest : public ::testing::Test {
 protected:
  /// Starts the library with @p spec as the virtual writer configuration.
  void startWith(const std::string& spec) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    directory_ = test_support::processScratch() / ("api-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(directory_);
    ::setenv("ONDRELLE_VIRTUAL_WRITERS", spec.c_str(), 1);
    ::setenv("ONDRELLE_VIRTUAL_DIR", directory_.c_str(), 1);
    ASSERT_EQ(Emberline_StartUp(), EMBERLINE_OK);
    started_ = true;
  }

  /// Opens the first virtual writer (CdRom16) for queries.
  EmberlineHandle open(const char* name = "CdRom16", uint32_t probe = 1) {
    EmberlineHandle handle = nullptr;
    CallOutputs out;
    EXPECT_EQ(Emberline_CdvdWriter_CreateEx(&handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, nullptr,
                                            nullptr, name, probe),
              EMBERLINE_OK)
        << out.text;
    return handle;
  }

  /// Starts with @p spec and opens CdRom16.
  EmberlineHandle openWith(const std::string& spec) {
    startWith(spec);
    return open();
  }

  void TearDown() override {
    if (started_) Emberline_ShutDown();
    std::error_code ec;
    std::filesystem::remove_all(directory_, ec);
    ::unsetenv("ONDRELLE_VIRTUAL_WRITERS");
    ::setenv("ONDRELLE_VIRTUAL_DIR", test_support::defaultVirtualDirectory().c_str(), 1);
  }

  std::filesystem::path directory_;
  bool started_ = false;
};

}  // namespace emberline::test
