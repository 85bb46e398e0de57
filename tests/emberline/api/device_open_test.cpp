// Opening devices by name and address, listing them, and handle safety.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "virtual_writer_fixture.h"

namespace emberline::test {
namespace {

void collectAddress(uint32_t number, void* context, void* param1, void*) {
  if (number != 10) return;
  static_cast<std::vector<TsbDeviceAddress>*>(context)->push_back(*static_cast<TsbDeviceAddress*>(param1));
}

using DeviceOpen = VirtualWriterTest;

TEST_F(DeviceOpen, FindDeviceReportsTheTwoDefaultVirtualWriters) {
  startWith("");
  std::vector<TsbDeviceAddress> found;
  ASSERT_EQ(Emberline_FindDevice(5, 0, collectAddress, &found), EMBERLINE_OK);
  std::vector<TsbDeviceAddress> virtualOnes;
  for (const auto& a : found)
    if (a.PortID == 255) virtualOnes.push_back(a);
  ASSERT_EQ(virtualOnes.size(), 2u);
  for (uint8_t k = 0; k < 2; ++k) {
    EXPECT_EQ(virtualOnes[k].Present, 1);
    EXPECT_EQ(virtualOnes[k].BusID, 0);
    EXPECT_EQ(virtualOnes[k].TargetID, k);
    EXPECT_EQ(virtualOnes[k].LUN, 0);
  }
}

TEST_F(DeviceOpen, FindDeviceListsNoVirtualWriterForOtherPeripheralTypes) {
  startWith("");
  std::vector<TsbDeviceAddress> found;
  ASSERT_EQ(Emberline_FindDevice(0, 0, collectAddress, &found), EMBERLINE_OK);
  for (const auto& a : found) EXPECT_NE(a.PortID, 255);
}

TEST_F(DeviceOpen, AddressOfAVirtualWriterOpensAndIsNamed) {
  startWith("cd-r;dvd+r");
  char name[EMBERLINE_TEXT_SIZE];
  ASSERT_EQ(Emberline_GetDeviceNameByDeviceAddress(255, 0, 1, 0, name), EMBERLINE_OK);
  EXPECT_STREQ(name, "dev:CdRom17");
  EmberlineHandle handle = nullptr;
  CallOutputs out;
  ASSERT_EQ(Emberline_CdvdWriter_Create(&handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, nullptr,
                                        nullptr, 255, 0, 1, 0, 1),
            EMBERLINE_OK)
      << out.text;
  EXPECT_EQ(Emberline_CdvdWriter_GetInsertedDiscType(handle), DISC_TYPE_DVDPLUSR);
  EXPECT_EQ(Emberline_Destroy(&handle), EMBERLINE_OK);
  EXPECT_EQ(handle, nullptr);
}

TEST_F(DeviceOpen, MissingDeviceNodeIsADeviceOpenFailureNamingTheDevice) {
  startWith("none");
  EmberlineHandle handle = nullptr;
  CallOutputs out;
  EXPECT_EQ(Emberline_CdvdWriter_CreateEx(&handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, nullptr,
                                          nullptr, "CdRom99", 1),
            EMBERLINE_E_DEVICE_OPEN);
  EXPECT_EQ(handle, nullptr);
  EXPECT_NE(std::string(out.text).find("/dev/sr99"), std::string::npos) << out.text;
  EXPECT_EQ(out.failure.exceptionCode, EMBERLINE_E_DEVICE_OPEN);
  EXPECT_NE(out.status, 0u) << "the errno of the failed open";
}

TEST_F(DeviceOpen, MalformedNameIsRefusedWithItsSpelling) {
  startWith("none");
  for (const char* bad : {"CdRom", "cdrom0", "CdRom007", "CdRom256", "/dev/sr0"}) {
    EmberlineHandle handle = nullptr;
    CallOutputs out;
    EXPECT_EQ(Emberline_CdvdWriter_CreateEx(&handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, nullptr,
                                            nullptr, bad, 1),
              EMBERLINE_E_INVALID_ARGUMENT)
        << bad;
    EXPECT_NE(std::string(out.text).find(bad), std::string::npos) << out.text;
  }
}

TEST_F(DeviceOpen, UnknownAddressIsADeviceOpenFailure) {
  startWith("none");
  EmberlineHandle handle = nullptr;
  CallOutputs out;
  EXPECT_EQ(Emberline_CdvdWriter_Create(&handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, nullptr,
                                        nullptr, 255, 0, 7, 0, 1),
            EMBERLINE_E_DEVICE_OPEN);
  EXPECT_NE(std::string(out.text).find("255:0:7:0"), std::string::npos) << out.text;
  char name[EMBERLINE_TEXT_SIZE] = "x";
  EXPECT_EQ(Emberline_GetDeviceNameByDeviceAddress(255, 0, 7, 0, name), EMBERLINE_E_DEVICE_OPEN);
  EXPECT_STREQ(name, "");
}

TEST_F(DeviceOpen, StaleNullAndForeignHandlesAreRefusedWithoutACrash) {
  EmberlineHandle handle = openWith("cd-r");
  EmberlineHandle stale = handle;
  ASSERT_EQ(Emberline_Destroy(&handle), EMBERLINE_OK);
  int local = 0;
  EmberlineHandle foreign = reinterpret_cast<EmberlineHandle>(&local);
  for (EmberlineHandle h : {stale, EmberlineHandle{nullptr}, foreign}) {
    CallOutputs out;
    EXPECT_EQ(Emberline_CdvdWriter_TestUnitReady(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
              EMBERLINE_E_INVALID_ARGUMENT);
    EXPECT_EQ(out.failure.exceptionCode, EMBERLINE_E_INVALID_ARGUMENT);
    EXPECT_EQ(Emberline_CdvdWriter_GetInsertedDiscType(h), DISC_TYPE_UNKNOWN);
    EXPECT_EQ(Emberline_CdvdWriter_Cancel(h), EMBERLINE_E_INVALID_ARGUMENT);
  }
  EXPECT_EQ(Emberline_Destroy(&stale), EMBERLINE_E_INVALID_ARGUMENT);
}

TEST_F(DeviceOpen, ANewObjectNeverRevivesAnOldHandle) {
  EmberlineHandle first = openWith("cd-r");
  EmberlineHandle stale = first;
  ASSERT_EQ(Emberline_Destroy(&first), EMBERLINE_OK);
  EmberlineHandle second = open();
  EXPECT_NE(second, stale);
  EXPECT_EQ(Emberline_CdvdWriter_Cancel(stale), EMBERLINE_E_INVALID_ARGUMENT);
}

TEST_F(DeviceOpen, ShutDownInvalidatesOpenHandles) {
  EmberlineHandle handle = openWith("cd-r");
  Emberline_ShutDown();
  started_ = false;
  CallOutputs out;
  EXPECT_EQ(Emberline_CdvdWriter_TestUnitReady(handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
            EMBERLINE_E_INVALID_ARGUMENT);
  EmberlineHandle again = nullptr;
  EXPECT_EQ(Emberline_CdvdWriter_CreateEx(&again, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, nullptr,
                                          nullptr, "CdRom16", 1),
            EMBERLINE_E_NOT_STARTED);
}

TEST_F(DeviceOpen, BadConfigurationMakesStartUpFail) {
  ::setenv("ONDRELLE_VIRTUAL_WRITERS", "floppy", 1);
  directory_ = test_support::processScratch() / "bad-config";
  ::setenv("ONDRELLE_VIRTUAL_DIR", directory_.c_str(), 1);
  EXPECT_NE(Emberline_StartUp(), EMBERLINE_OK);
  EmberlineHandle handle = nullptr;
  CallOutputs out;
  EXPECT_EQ(Emberline_CdvdWriter_CreateEx(&handle, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, nullptr,
                                          nullptr, "CdRom16", 1),
            EMBERLINE_E_NOT_STARTED);
}

}  // namespace
}  // namespace emberline::test
