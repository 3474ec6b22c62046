#pragma once

#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <array>

namespace ui {

// The delay chart of the delay page: one row per output channel, each
// with a marker that the user drags along a millisecond axis (0..106 ms).
// Dragging a marker reports the channel's new delay (DelayDragged, the
// chart's message 0x10F9), clamped to the channel's limits 1.5..100 ms;
// the page answers with SetDelay, which puts the marker on the value's
// place. The background (grid, channel names, axis) is drawn once per size.
class CDelayPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kChannelCount = 8;
  static constexpr int kMsgDelayDragged = 0x10F9;
  static constexpr float kAxisMin = 0.0f;
  static constexpr float kAxisMax = 106.0f;
  static constexpr float kLowerLimit = 1.5f;
  static constexpr float kUpperLimit = 100.0f;
  // The plot: from x 78 to width - 18, from y 5 to height - 20.
  static constexpr int kPlotLeft = 78;
  static constexpr int kPlotRightMargin = 18;
  static constexpr int kPlotTop = 5;
  static constexpr int kPlotBottomMargin = 20;
  // A press picks a marker whose centre is nearer than this in x and y.
  static constexpr int kPickDistance = 15;

  explicit CDelayPanel(QWidget* parent = nullptr);

  // The delay of `channel` clamped to its limits (when they differ); the
  // marker moves to its place. Nothing for a channel outside 0..7.
  void SetDelay(int channel, float ms);
  // The delay a channel holds, shown as it is (only kept on the axis): a
  // processor's value may lie outside the limits the chart's own edits keep.
  void ShowDelay(int channel, float ms);
  float Delay(int channel) const;
  void SetLimits(int channel, float lower, float upper);

  // Geometry, for the page and for tests.
  int MarkerX(int channel) const;
  int RowY(int channel) const;
  QPoint MarkerCentre(int channel) const;
  int MarkerXFor(float ms) const;
  float DelayAtMarkerX(int markerX) const;
  QSize MarkerSize() const { return markerSize_; }
  int DraggedChannel() const { return dragged_; }
  bool Dragging() const { return dragging_; }
  // The channel whose marker a press at `point` picks, -1 for none.
  int ChannelAt(QPoint point) const;

  // Texts for assistive technology ("CH1 1.5ms, CH2 ...").
  void SetEnglish(bool english);
  QString DelaysText() const;

  static QColor ChannelColour(int channel);  // markers and lines
  static QColor LabelColour(int channel);    // the names on the left

  QSize minimumSizeHint() const override { return {260, 200}; }
  QSize sizeHint() const override { return {480, 420}; }

 signals:
  // 0x10F9: a marker was dragged to `ms` (clamped to the channel's limits).
  void DelayDragged(int channel, float ms);
  // A press picked the marker of `channel`; the drag ends with DragEnded.
  void DragStarted(int channel);
  void DragEnded(int channel);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct Channel {
    int index = 0;
    int markerX = kPlotLeft;
    int rowY = kPlotTop;
    float delay = 0.0f;
    float lower = kLowerLimit;
    float upper = kUpperLimit;
  };
  double RowHeight() const;
  void Recompute();
  void DrawBackground();
  void EndDrag();
  void Repaint();

  std::array<Channel, kChannelCount> channels_{};
  QPixmap marker_;
  QSize markerSize_{25, 22};
  QFont font_;
  QPixmap background_;  // the grid, names and axis for the current size
  int dragged_ = -1;
  bool dragging_ = false;
  bool english_ = false;
  QString announced_;  // the delays last told to assistive technology
};

}  // namespace ui
