#include "pages/clock_animation.h"

#include "frame/pictures.h"

namespace ondrelle {

namespace {
constexpr int kFrameMilliseconds = 150;
}

TClockAnimation::TClockAnimation(QWidget* parent) : QLabel(parent) {
  timer_.setInterval(kFrameMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &TClockAnimation::NextFrame);
}

bool TClockAnimation::Open(const QString& clip, int stopFrame) {
  frames_.clear();
  if (clip != QLatin1String("MYCLOCK")) return false;
  for (int frame = 0; frame <= stopFrame; ++frame) {
    QPixmap picture(pictures::ClockFrame(frame));
    if (picture.isNull()) break;
    frames_.push_back(picture);
  }
  frame_ = 0;
  if (!frames_.empty()) setPixmap(frames_.front());
  return !frames_.empty();
}

void TClockAnimation::Play() {
  if (!frames_.empty()) timer_.start();
}

void TClockAnimation::Stop() {
  timer_.stop();
}

void TClockAnimation::NextFrame() {
  if (frames_.empty()) return;
  frame_ = (frame_ + 1) % FrameCount();
  setPixmap(frames_[static_cast<std::size_t>(frame_)]);
}

}  // namespace ondrelle
