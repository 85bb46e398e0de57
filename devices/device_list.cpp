#include "devices/device_list.h"

#include <stdexcept>

namespace ondrelle {

TsbMediaFormats TsbMediaFormats::FromLibraryOutputs(const std::uint8_t (&outputs)[10]) {
  TsbMediaFormats formats;
  formats.CDRRead = outputs[0] != 0;
  formats.CDRWRead = outputs[1] != 0;
  formats.DVDROMRead = outputs[2] != 0;
  formats.DVDRRead = outputs[3] != 0;
  formats.DVDRAMRead = outputs[4] != 0;
  formats.TestWrite = outputs[5] != 0;
  formats.CDRWrite = outputs[6] != 0;
  formats.CDRWWrite = outputs[7] != 0;
  formats.DVDRWrite = outputs[8] != 0;
  formats.DVDRAMWrite = outputs[9] != 0;
  return formats;
}

TsbDeviceItem& TsbDeviceList::Add() {
  items_.push_back(std::make_unique<TsbDeviceItem>());
  return *items_.back();
}

void TsbDeviceList::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("device list index out of range");
  items_.erase(items_.begin() + index);
}

}  // namespace ondrelle
