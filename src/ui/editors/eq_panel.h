#pragma once

#include <QFont>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QWidget>

#include "core/params/eq_band_set.h"

class QMenu;

namespace ui {

// The graphic equaliser of every EQ page: the bands of one equaliser drawn
// as filter curves over a logarithmic grid, moved, reshaped and retyped with
// the mouse, the wheel and the keys. The panel never talks to the processor;
// each change is reported to the owning page, which sends the band.
class CEqPanel : public QWidget {
  Q_OBJECT

 public:
  // Notification numbers, kept for pages that route by number.
  static constexpr int kMsgBandChanged = 0x1421;  // changed or picked: (band)
  static constexpr int kMsgEmptyClick = 0x1422;   // a left click hit no band
  static constexpr int kMsgCopyPaste = 0x1423;    // (0 copy / 1 paste, kind)
  static constexpr int kMsgBandPressed = 0x1424;  // a left press hit (band)

  // Type menu and EQ menu commands.
  static constexpr int kCmdTypeFirst = 2025;  // 2025..2029: PEQ, LP, HP, LS, HS
  static constexpr int kCmdCopyEq = 3025;
  static constexpr int kCmdPasteEq = 3026;

  // The plot: the client area less these margins.
  static constexpr int kLeft = 36, kTop = 18, kRight = 6, kBottom = 20;

  explicit CEqPanel(QWidget* parent = nullptr);
  ~CEqPanel() override;

  // The bands. The operations below change them and repaint.
  const core::params::EqBandSet& Bands() const { return bands_; }
  const core::params::EqBand& Band(int index) const { return bands_.Band(index); }
  void SetEqKind(int kind);
  void SetSevenBands();
  void SetBandType(int index, int type);
  void SetBandGain(float gain, int index);
  void SetBandQ(float q, int index);
  // Frequency within the band's limits, then the response.
  void SetBandFrequency(int index, float frequency);
  void RecomputeBand(int index);
  void SetCompositeType(int index, int menuType);
  void SetCrossoverSlope(int index, int slope);
  // The bands of the current kind from the equaliser store.
  void LoadBands(std::span<const std::uint8_t> store);

  int Kind() const { return bands_.Kind(); }
  int SelectedBand() const { return selected_; }
  // The page clears (-1) or sets the selection itself.
  void SetSelectedBand(int index);
  int HoverBand() const { return hover_; }
  // 0 Chinese, 1 English: the title, the status line and the menus.
  void SetLanguage(int language);
  int Language() const { return language_; }
  // Non-zero: "BYPASS" over the curve.
  void SetBypassed(int bypassed);
  int Bypassed() const { return bypassed_; }

  QRect PlotRect() const;
  // A band's handle relative to the plot's top left, where it is drawn.
  QPointF HandlePos(int index) const;
  // The kind's title in the current language ("" for an unknown kind).
  QString Title() const;
  // The status line of the selected band: the text before the gain, the
  // gain text and its colour. Empty without a selection.
  QString StatusText() const;
  QString StatusGainText() const;
  QColor StatusGainColour() const;
  // The status line as one text for assistive technology: the selected
  // band's (status text and gain, runs of spaces made one), or without a
  // selection the number of bands ("7 bands" / "共7个频段").
  QString StatusLine() const;

  QMenu* TypeMenu() const { return typeMenu_; }
  QMenu* EqMenu() const { return eqMenu_; }

  // The label of a dB line ("-0dB" for the negative zero).
  static QString AxisLabel(float db);
  // The colour of a band by its index.
  static QColor BandColour(int index);

  QSize sizeHint() const override { return QSize(760, 320); }
  QSize minimumSizeHint() const override { return QSize(240, 120); }

 signals:
  void BandChanged(int index);
  void EmptyClicked();
  void CopyPasteChosen(int action, int kind);
  void BandPressed(int index);
  // The end of one gesture that changed bands: a drag's release, a wheel
  // notch, a key, a type chosen from the menu. The page closes its edit
  // step here.
  void EditEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int PlotWidth() const { return width() - kLeft - kRight; }
  int PlotHeight() const { return height() - kTop - kBottom; }
  QPoint ToPlot(QPointF widgetPoint) const;
  bool Shaped(int index) const;  // a type whose gain the mouse and keys move
  void Changed(int index);
  // Repaints, and tells assistive technology when the title or the status
  // line changed.
  void Repaint();
  void RetextMenus();
  void OnTypeCommand(int command);
  void PopUp(QMenu* menu, QPoint global);
  // Painting.
  const QPixmap& Background();
  void PaintSelectedArea(QPainter& p);
  void PaintCurve(QPainter& p);
  void PaintHandle(QPainter& p, int index);
  void PaintLabels(QPainter& p, int index);
  void PaintStatus(QPainter& p);

  core::params::EqBandSet bands_;
  int selected_ = -1;
  int hover_ = -1;
  bool leftDrag_ = false;
  bool rightDrag_ = false;
  bool moved_ = false;
  QPoint press_;       // plot-relative point of the last press
  QPoint dragOffset_;  // left drag: press less handle; right drag: x of the last mouse move
  int language_ = 0;
  int bypassed_ = 0;
  QMenu* typeMenu_;
  QMenu* eqMenu_;
  QFont axisFont_;    // 8.4-point "Arial": axis and F/G/Q labels
  QFont numberFont_;  // 8-point "Arial": band numbers
  QFont statusFont_;  // 9-point "宋体": the status line
  QFont bypassFont_;  // "黑体" of height 72

  // The background, grid and labels for the size, ratio, kind and language
  // they were drawn for.
  QPixmap background_;
  int backgroundKind_ = -1;
  int backgroundLanguage_ = -1;
  // The title and status line assistive technology was last told of.
  QString announcedTitle_;
  QString announcedStatus_;
};

}  // namespace ui
