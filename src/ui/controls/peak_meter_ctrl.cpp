#include "ui/controls/peak_meter_ctrl.h"

#include <QPainter>
#include <QPaintEvent>

#include <algorithm>

#include "ui/controls/artwork.h"

namespace ui {

CPeakMeterCtrl::CPeakMeterCtrl(QWidget* parent) : QWidget(parent) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &CPeakMeterCtrl::FalloffStep);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CPeakMeterCtrl::~CPeakMeterCtrl() { timer_.stop(); }

void CPeakMeterCtrl::SetBandCount(int count) { bandCount_ = std::max(1, count); }
void CPeakMeterCtrl::SetLedCount(int count) { ledCount_ = std::max(0, count); }

void CPeakMeterCtrl::SetRanges(int low, int medium, int high) {
  high_ = std::max(1, high);
  low_ = std::clamp(low, 0, high_);
  medium_ = std::clamp(medium, low_, high_);
  for (Band& b : bands_) {
    b.value = std::min(b.value, high_);
    b.peak = std::min(b.peak, high_);
  }
  update();
}

void CPeakMeterCtrl::SetLitColour(Zone zone, const QColor& colour) {
  lit_[zone] = colour;
  update();
}

void CPeakMeterCtrl::SetUnlitColour(Zone zone, const QColor& colour) {
  unlit_[zone] = colour;
  update();
}

void CPeakMeterCtrl::SetBackground(const QColor& colour) {
  background_ = colour;
  update();
}

void CPeakMeterCtrl::SetHorizontal(bool horizontal) {
  horizontal_ = horizontal;
  updateGeometry();
  update();
}

void CPeakMeterCtrl::SetShowPeak(bool show) {
  showPeak_ = show;
  update();
}

void CPeakMeterCtrl::SetHoldTicks(int ticks) { holdTicks_ = std::max(0, ticks); }

void CPeakMeterCtrl::SetFalloffPeriod(int ms) {
  periodMs_ = std::max(1, ms);
  if (timer_.isActive()) timer_.setInterval(periodMs_);
}

void CPeakMeterCtrl::ResetMeter() {
  bands_.assign(static_cast<std::size_t>(bandCount_), Band{high_, high_, holdTicks_});
  if (armed_) ArmTimer();
  update();
}

void CPeakMeterCtrl::StartFalloff() {
  armed_ = true;
  ArmTimer();
}

void CPeakMeterCtrl::StopFalloff() {
  armed_ = false;
  timer_.stop();
}

void CPeakMeterCtrl::ArmTimer() {
  if (!timer_.isActive()) timer_.start(periodMs_);
}

void CPeakMeterCtrl::SetValue(int band, int value) {
  if (band < 0 || band >= static_cast<int>(bands_.size())) return;
  Band& b = bands_[static_cast<std::size_t>(band)];
  const int v = std::clamp(value, 0, high_);
  if (b.peak < v) {
    b.peak = v;
    b.hold = holdTicks_;
  }
  b.value = v;
  // A running timer keeps its rhythm; a meter at rest starts falling again.
  if (armed_) ArmTimer();
  update();
}

void CPeakMeterCtrl::SetValues(std::span<const int> values) {
  const std::size_t n = std::min(values.size(), bands_.size());
  for (std::size_t i = 0; i < n; ++i) SetValue(static_cast<int>(i), values[i]);
}

void CPeakMeterCtrl::FalloffStep() {
  update();
  const bool atRest = std::all_of(bands_.begin(), bands_.end(), [](const Band& b) {
    return b.value == 0 && b.hold == 0 && b.peak == 0;
  });
  if (atRest) {
    timer_.stop();
    return;
  }
  const bool fewLeds = ledCount_ < 2;
  const int step = fewLeds ? high_ * 10 / 100 : high_ / ledCount_;
  const int peakStep = fewLeds ? 5 : step / 2;
  for (Band& b : bands_) {
    if (b.value > 0) b.value = std::max(0, b.value - step);
    if (b.hold <= 1 && b.peak > 0) b.peak = std::max(0, b.peak - peakStep);
    if (b.hold > 0) --b.hold;
  }
}

int CPeakMeterCtrl::Level() const {
  int level = 0;
  for (const Band& b : bands_) level = std::max(level, b.value);
  return level;
}

int CPeakMeterCtrl::PaintedLeds() const { return ledCount_ > 1 ? ledCount_ : high_ * 10 / 100; }

CPeakMeterCtrl::Zone CPeakMeterCtrl::ZoneOf(int led, int leds) const {
  const int a = leds * low_ / high_;
  const int b = leds * medium_ / high_;
  return led < a ? kLow : led < b ? kMedium : kHigh;
}

int CPeakMeterCtrl::LitLeds(int band) const {
  if (band < 0 || band >= static_cast<int>(bands_.size())) return 0;
  return PaintedLeds() * bands_[static_cast<std::size_t>(band)].value / high_;
}

int CPeakMeterCtrl::PeakLed(int band, int leds) const {
  if (!showPeak_) return -1;
  const int peak = bands_[static_cast<std::size_t>(band)].peak;
  return peak > 0 ? leds * peak / high_ - 1 : -1;
}

QColor CPeakMeterCtrl::LedColour(int band, int led) const {
  const int leds = PaintedLeds();
  if (band < 0 || band >= static_cast<int>(bands_.size()) || led < 0 || led >= leds) {
    return QColor();
  }
  const Zone zone = ZoneOf(led, leds);
  const bool lit = led < LitLeds(band) || led == PeakLed(band, leds);
  return lit ? lit_[zone] : unlit_[zone];
}

void CPeakMeterCtrl::UseLevelStyle() {
  SetBandCount(1);
  SetLedCount(15);
  ResetMeter();
  SetFalloffPeriod(50);
  if (!timer_.isActive()) StartFalloff();
  SetHorizontal(true);
  SetBackground(art::PageBackground());
  SetShowPeak(false);
}

void CPeakMeterCtrl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), background_.isValid() ? background_ : palette().color(QPalette::Button));
  const int leds = PaintedLeds();
  const int bands = static_cast<int>(bands_.size());
  if (leds <= 0 || bands <= 0) return;
  const int w = width(), h = height();
  if (horizontal_) {
    const int ledW = w / leds;
    const int bandH = h / bands;
    const int top0 = h % bands;
    for (int j = 0; j < bands; ++j) {
      const int y = top0 + j * bandH;
      for (int i = 0; i < leds; ++i) {
        QRect r(i * ledW, y, ledW, bandH);
        if (leds > 1) r.setLeft(r.left() + 1);
        if (bands > 1) r.adjust(0, 1, 0, -1);
        p.fillRect(r, LedColour(j, i));
      }
    }
  } else {
    // Vertical: LEDs from the bottom up, bands side by side.
    const int ledH = h / leds;
    const int bandW = w / bands;
    const int left0 = w % bands;
    for (int j = 0; j < bands; ++j) {
      const int x = left0 + j * bandW;
      for (int i = 0; i < leds; ++i) {
        QRect r(x, h - (i + 1) * ledH, bandW, ledH);
        if (leds > 1) r.setBottom(r.bottom() - 1);
        if (bands > 1) r.adjust(1, 0, -1, 0);
        p.fillRect(r, LedColour(j, i));
      }
    }
  }
}

}  // namespace ui
