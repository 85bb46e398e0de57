#pragma once
// The write speeds the chosen device accepts for the inserted disc. The
// list is measured, not read from a data sheet: each speed of a fixed table
// is requested and the speed the device settles on is read back; one entry
// per distinct multiple of the base speed.

#include <QString>
#include <cstdint>
#include <vector>

namespace ondrelle {

struct TsbWriterState;

struct TsbDiscSpeedItem {
  std::int32_t SpeedInPoint = 1;   ///< whole multiple of the base speed, truncated
  std::int32_t SpeedInSize = 176;  ///< KB/s as the device reported it
  QString StrSpeed;
};

/// What to show instead of a list when the drive reports no write speed
/// for its disc (a reading drive, a pressed disc).
QString NoWriteSpeedsText();

class TsbDiscSpeedList {
 public:
  virtual ~TsbDiscSpeedList() = default;

  TsbDiscSpeedItem& Items(int index) { return items_.at(static_cast<std::size_t>(index)); }
  const TsbDiscSpeedItem& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }
  TsbDiscSpeedItem& Add();
  void Clear() { items_.clear(); }
  /// The first item with that multiple, or none.
  TsbDiscSpeedItem* FindBySpeedInPoint(std::int32_t point);

  /// Measures the device of `burner`. Throws TsbError when the first speed
  /// setting or query fails; the list is then empty.
  virtual void Build(TsbWriterState& burner);

  std::int32_t MaxReadSpeed = 0;
  std::int32_t MaxWriteSpeed = 0;

 private:
  std::vector<TsbDiscSpeedItem> items_;
};

}  // namespace ondrelle
