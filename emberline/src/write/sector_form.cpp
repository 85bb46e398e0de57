#include "write/sector_form.h"

#include "mmc/write_parameters_page.h"

namespace emberline::write {

bool isXa(SectorForm form) {
  return form != SectorForm::Mode1;
}

std::uint8_t dataBlockType(SectorForm form) {
  switch (form) {
    case SectorForm::Mode1:
      return mmc::data_block::kMode1;
    case SectorForm::Mode2Form1:
      return mmc::data_block::kMode2Form1;
    case SectorForm::Mode2Form2:
      return mmc::data_block::kMode2Form2;
    case SectorForm::Mode2Mixed:
      return mmc::data_block::kMode2Mixed;
    case SectorForm::Mode2Raw:
      // Only session at once carries whole XA sectors, and there the cue sheet
      // gives each track's form: the page names the XA form, as raw block
      // types belong to raw recording.
      return mmc::data_block::kMode2Form1;
  }
  return mmc::data_block::kMode1;
}

std::size_t pageBlockSize(SectorForm form) {
  switch (form) {
    case SectorForm::Mode1:
    case SectorForm::Mode2Form1:
      return 2048;
    case SectorForm::Mode2Form2:
      return 2324;
    case SectorForm::Mode2Mixed:
      return 2332;
    case SectorForm::Mode2Raw:
      return 2352;
  }
  return 2048;
}

sector::TrackMode cueTrackMode(SectorForm form) {
  if (form == SectorForm::Mode2Raw) return sector::TrackMode::Mode2XaRaw;
  return isXa(form) ? sector::TrackMode::Mode2Xa : sector::TrackMode::Mode1;
}

std::size_t cueBlockSize(SectorForm form) {
  return sector::hostBlockSize(sector::hostDataForm(cueTrackMode(form)));
}

SessionFormat sessionFormatFor(SectorForm form) {
  return isXa(form) ? SessionFormat::CdRomXa : SessionFormat::CdDaOrCdRom;
}

}  // namespace emberline::write
