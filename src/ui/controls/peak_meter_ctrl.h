#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

#include <array>
#include <span>
#include <vector>

namespace ui {

// The LED level meter: rows (bands) of LEDs in three zones, each band with a
// value, a held peak and a hold counter. A periodic falloff step lowers the
// values and, once their hold has run out, the peaks. The step runs from a
// timer on the GUI thread, so the bands need no lock.
class CPeakMeterCtrl : public QWidget {
  Q_OBJECT

 public:
  struct Band {
    int value = 0;
    int peak = 0;
    int hold = 0;
  };
  enum Zone { kLow = 0, kMedium = 1, kHigh = 2 };

  explicit CPeakMeterCtrl(QWidget* parent = nullptr);
  ~CPeakMeterCtrl() override;

  // Band and LED counts take effect at the next reset.
  void SetBandCount(int count);
  void SetLedCount(int count);
  int BandCount() const { return bandCount_; }
  int LedCount() const { return ledCount_; }
  // Zone limits; the high range is also the largest value.
  void SetRanges(int low, int medium, int high);
  int HighRange() const { return high_; }
  void SetLitColour(Zone zone, const QColor& colour);
  void SetUnlitColour(Zone zone, const QColor& colour);
  // Fill behind the LEDs; by default the palette's button colour.
  void SetBackground(const QColor& colour);
  void SetHorizontal(bool horizontal);
  bool IsHorizontal() const { return horizontal_; }
  // The LED standing for a band's held peak stays lit above the value.
  void SetShowPeak(bool show);
  void SetHoldTicks(int ticks);
  void SetFalloffPeriod(int ms);
  int FalloffPeriod() const { return periodMs_; }

  // Sizes the bands to the band count and sets every value and peak to the
  // high range and every hold counter to the hold ticks: a meter starts full
  // and falls.
  void ResetMeter();
  // Starts the periodic falloff. The timer stops itself once every band is
  // at rest and starts again with the next value.
  void StartFalloff();
  void StopFalloff();
  bool FalloffRunning() const { return timer_.isActive(); }

  // One band's value, clamped to 0..high range; a value above the held peak
  // becomes the new peak for the hold ticks.
  void SetValue(int band, int value);
  // values[i] for every band i the span covers.
  void SetValues(std::span<const int> values);

  // The falloff step the timer runs.
  void FalloffStep();

  const Band& BandAt(int band) const { return bands_.at(band); }
  // The level the meter shows: the highest value of its bands, 0 before
  // the first reset.
  int Level() const;
  // LEDs per band as painted, lit LEDs of a band, and the colour of one LED.
  int PaintedLeds() const;
  int LitLeds(int band) const;
  QColor LedColour(int band, int led) const;

  // The page's meters: one band of 15 LEDs on the page colour, falling every
  // 50 ms, without the peak LED.
  void UseLevelStyle();

  QSize sizeHint() const override { return horizontal_ ? QSize(150, 12) : QSize(12, 150); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Zone ZoneOf(int led, int leds) const;
  int PeakLed(int band, int leds) const;
  void ArmTimer();

  bool horizontal_ = false;
  QColor background_;  // invalid: the palette's button colour
  std::array<QColor, 3> lit_{QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 0)};
  std::array<QColor, 3> unlit_{QColor(2, 60, 2), QColor(60, 60, 2), QColor(60, 2, 2)};
  int low_ = 40, medium_ = 50, high_ = 60;
  int bandCount_ = 8;
  int ledCount_ = 8;
  int holdTicks_ = 10;
  int periodMs_ = 10;
  bool showPeak_ = true;
  bool armed_ = false;  // the falloff was started; a value restarts it
  QTimer timer_;
  std::vector<Band> bands_;
};

}  // namespace ui
