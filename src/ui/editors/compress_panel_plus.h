#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QString>
#include <QWidget>

namespace ui {

// The static curve of a compressor: output level over input level, both
// from -90 to +6 dB, on a cached grid. Below the lower bound the curve
// runs with the lower slope, up to the threshold at 1:1, above it with the
// inverse ratio; the knee is a red dot and the band between the curve's
// ends is shaded. "OFF" stands over it while the compressor is off.
//
// Geometry (client W x H): the plot is (W - 60) x (H - 45) with its top
// left at (40, 20); input v is at x = (v + 90) (W - 60) / 96 + 40, output v
// at y = |v - 6| (H - 45) / 96 + 20.
class CCompressPanelPlus : public QWidget {
  Q_OBJECT

 public:
  static constexpr double kAxisTop = 6.0;       // dB, right and top ends
  static constexpr double kAxisBottom = -90.0;  // dB, left and bottom ends

  explicit CCompressPanelPlus(QWidget* parent = nullptr);

  // Each setter repaints. Values that are not finite are ignored.
  void SetThreshold(float threshold);
  void SetInverseRatio(float inverseRatio);
  void SetLowerBound(float lowerBound);
  void SetLowerSlope(float slope);
  void SetOn(bool on);

  float Threshold() const { return threshold_; }
  float InverseRatio() const { return inverseRatio_; }
  float LowerBound() const { return lowerBound_; }
  float LowerSlope() const { return lowerSlope_; }
  bool On() const { return on_; }

  // What assistive technology reads as the curve's value (the page words
  // it in its language: the four values and the switch).
  void SetSummary(const QString& summary);
  QString Summary() const { return summary_; }

  // The plot's mapping for the current size.
  double XOf(double input) const;
  double YOf(double output) const;
  QPointF Knee() const;
  // The curve's right end (input +6 dB).
  QPointF RightEnd() const;
  // The curve's left end (input -90 dB).
  QPointF LeftEnd() const;
  // True while the grid is cached for the current size.
  bool GridCached() const { return !grid_.isNull(); }

  QSize sizeHint() const override { return QSize(420, 320); }
  QSize minimumSizeHint() const override { return QSize(200, 160); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  double PlotWidth() const { return width() - 60.0; }
  double PlotHeight() const { return height() - 45.0; }
  void DrawGrid();

  QColor gridColour_{0, 110, 0};
  QColor textColour_{255, 255, 0};
  float threshold_ = -15.0f;
  float lowerBound_ = -5.0f;
  float inverseRatio_ = 1.0f;
  float lowerSlope_ = 1.0f;
  bool on_ = false;
  QString summary_;
  QPixmap grid_;  // grid and labels, drawn once per size
};

}  // namespace ui
