#include "drive/write_mode_probe.h"

#include "drive/drive.h"

namespace emberline {

namespace {

// A refusal is an answer; anything else (the transport failing, a cancel) ends the probe.
Result<bool> offer(ScsiTransport& transport, const mmc::WriteParameters& original, ProbedMode mode) {
  Status accepted = mmc::writeWriteParameters(transport, parametersForMode(original, mode));
  if (accepted.ok()) return true;
  const ErrorKind kind = accepted.error().kind;
  if (kind == ErrorKind::CheckCondition || kind == ErrorKind::NotSupported) return false;
  return fail(std::move(accepted).error());
}

}  // namespace

mmc::WriteParameters parametersForMode(const mmc::WriteParameters& original, ProbedMode mode) {
  mmc::WriteParameters p = original;
  p.testWrite = false;
  p.trackMode = 4;
  switch (mode) {
    case ProbedMode::TrackAtOnce:
      p.writeType = mmc::WriteType::TrackAtOnce;
      p.dataBlockType = mmc::data_block::kMode1;
      break;
    case ProbedMode::SessionAtOnce:
      p.writeType = mmc::WriteType::SessionAtOnce;
      p.dataBlockType = mmc::data_block::kMode1;
      break;
    case ProbedMode::RawPq:
      p.writeType = mmc::WriteType::Raw;
      p.dataBlockType = mmc::data_block::kRawPqSubchannel;
      break;
    case ProbedMode::RawPw:
      p.writeType = mmc::WriteType::Raw;
      p.dataBlockType = mmc::data_block::kRawPwRaw;
      break;
    case ProbedMode::Incremental:
      p.writeType = mmc::WriteType::Packet;
      p.dataBlockType = mmc::data_block::kMode1;
      break;
  }
  return p;
}

Result<WriteModeSupport> Drive::probeWriteModes() {
  auto profile = currentProfile();
  const std::uint16_t current = profile.ok() ? *profile : profile::kNone;
  const MediumFamily f = familyOfProfile(current);
  WriteModeSupport support;
  if (isPressedProfile(current)) return support;
  // DVD+ and overwritable media record the way the medium dictates; page 05h has no say.
  if (f == MediumFamily::DvdPlusSequential || f == MediumFamily::RandomWritable) {
    support.trackAtOnce = true;
    return support;
  }
  auto original = mmc::readWriteParameters(transport_);
  if (!original.ok()) {
    if (original.error().kind == ErrorKind::NotSupported) return support;
    return fail(std::move(original).error());
  }
  Result<void> outcome;
  const auto tryMode = [&](ProbedMode mode, bool& into) {
    if (!outcome.ok()) return;
    auto accepted = offer(transport_, *original, mode);
    if (accepted.ok())
      into = *accepted;
    else
      outcome = fail(std::move(accepted).error());
  };
  if (f == MediumFamily::DvdSequential) {
    // Incremental recording is the DVD-R counterpart of track at once; raw modes are CD-only.
    tryMode(ProbedMode::Incremental, support.trackAtOnce);
    tryMode(ProbedMode::SessionAtOnce, support.sessionAtOnce);
  } else {
    tryMode(ProbedMode::TrackAtOnce, support.trackAtOnce);
    tryMode(ProbedMode::SessionAtOnce, support.sessionAtOnce);
    tryMode(ProbedMode::RawPq, support.rawWithPq);
    tryMode(ProbedMode::RawPw, support.rawWithPw);
  }
  // The page goes back even when a probe failed, so the next recording starts from the drive's own settings.
  Status restored = mmc::writeWriteParameters(transport_, *original);
  if (!outcome.ok()) return fail(std::move(outcome).error());
  // Some drives report a page they will not take back (a CD write type on DVD
  // media); the probe's answers stand, and the next recording sets its own page.
  if (!restored.ok() && restored.error().kind != ErrorKind::CheckCondition) return fail(std::move(restored).error());
  return support;
}

}  // namespace emberline
