#pragma once
// The wait window's clock: a strip of frames played in a loop while the
// window is shown ("MYCLOCK", frames 0 to the stop frame 4).

#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <vector>

namespace ondrelle {

class TClockAnimation : public QLabel {
  Q_OBJECT

 public:
  explicit TClockAnimation(QWidget* parent = nullptr);

  /// Loads the frames of the named clip; "MYCLOCK" is the only one.
  bool Open(const QString& clip, int stopFrame);
  void Play();
  void Stop();
  bool Active() const { return timer_.isActive(); }
  int CurrentFrame() const { return frame_; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }

 private:
  void NextFrame();

  std::vector<QPixmap> frames_;
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace ondrelle
