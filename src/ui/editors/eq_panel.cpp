#include "ui/editors/eq_panel.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "ui/controls/cardinal_spline.h"
#include "ui/controls/fonts.h"

namespace ui {

namespace cp = core::params;

namespace {

constexpr float kMinHz = cp::kEqAxisMinHz;
constexpr float kMaxHz = cp::kEqAxisMaxHz;
constexpr float kMaxDb = 15.0f;
constexpr float kMinDb = -15.0f;
constexpr float kSpanDb = kMaxDb - kMinDb;
constexpr int kPoints = cp::kEqResponsePoints;

const float kDecades = std::log10(kMaxHz / kMinHz);

constexpr QRgb kBandColours[] = {
    qRgb(250, 100, 180), qRgb(255, 80, 255),  qRgb(80, 80, 255),  qRgb(80, 255, 100),
    qRgb(255, 255, 100), qRgb(255, 100, 100), qRgb(255, 180, 20), qRgb(255, 100, 180),
    qRgb(180, 100, 255), qRgb(140, 180, 255), qRgb(20, 180, 255), qRgb(80, 255, 255),
    qRgb(40, 255, 160),  qRgb(20, 90, 250),   qRgb(80, 255, 255),
};

const QColor kBackground(20, 20, 20);
const QColor kGridPen(64, 64, 64);
const QColor kAxisText(128, 128, 128);
const QColor kTitleColour(255, 255, 0);
const QColor kCurveColour(0x00, 0xC8, 0xFF);
const QColor kLabelGrey(180, 180, 180);
const QColor kLabelGreen(16, 255, 16);
const QColor kStatusGreen(0x00, 0xFF, 0x00);
const QColor kStatusYellow(0xFF, 0xFF, 0x00);
const QColor kStatusRed(0xFF, 0x00, 0x00);

constexpr float kDbLines[] = {-15, -12, -9, -6, -3, -0.0f, 3, 6, 9, 12, 15};
constexpr float kFrequencyLines[] = {18,   20,   30,   40,   50,   60,   70,   80,    90,    100,
                                     200,  300,  400,  500,  600,  700,  800,  900,   1000,  2000,
                                     3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000, 23000};
struct FrequencyLabel {
  float hz;
  const char* text;
};
constexpr FrequencyLabel kFrequencyLabels[] = {
    {20, "20Hz"},   {50, "50Hz"},   {100, "100Hz"}, {200, "200Hz"},   {500, "500Hz"},
    {1000, "1kHz"}, {2000, "2kHz"}, {5000, "5kHz"}, {10000, "10kHz"}, {20000, "20kHz"},
};

struct KindTitle {
  const char* zh;
  const char* en;
};
constexpr KindTitle kTitles[] = {
    {"话筒A均衡", "Mic A EQ"},  {"话筒B均衡", "Mic B EQ"},    {"回声A均衡", "Echo A EQ"},
    {"回声B均衡", "Echo B EQ"}, {"混响A均衡", "Reverb A EQ"}, {"混响B均衡", "Reverb B EQ"},
    {"音乐均衡", "Music EQ"},
};

struct MenuText {
  int command;
  const char* zh;
  const char* en;
};
constexpr MenuText kTypeItems[] = {
    {2025, "参量(PEQ)", "PEQ"}, {2026, "低通(LP)", "LP"}, {2027, "高通(HP)", "HP"},
    {2028, "低架(LS)", "LS"},   {2029, "高架(HS)", "HS"},
};
constexpr MenuText kEqItems[] = {{3025, "复制均衡", "Copy EQ"}, {3026, "粘贴均衡", "Paste EQ"}};

// The texts use C formatting exactly (QString::asprintf drops the sign of a
// negative zero, which the 0 dB label carries).
template <typename... Args>
QString Format(const char* format, Args... args) {
  char text[160];
  std::snprintf(text, sizeof text, format, args...);
  return QString::fromUtf8(text);
}

// Low-pass and high-pass codes: their filled area closes below the plot.
bool IsPassType(int type) {
  return type == 2 || type == 3 || (type >= 6 && type <= 21);
}

QColor WithAlpha(const QColor& c, int alpha) {
  QColor out = c;
  out.setAlpha(alpha);
  return out;
}

}  // namespace

CEqPanel::CEqPanel(QWidget* parent)
    : QWidget(parent),
      typeMenu_(new QMenu(this)),
      eqMenu_(new QMenu(this)),
      axisFont_(MakePointFont(QStringLiteral("Arial"), 8.4)),
      numberFont_(MakePointFont(QStringLiteral("Arial"), 8)),
      statusFont_(MakePointFont(QStringLiteral("宋体"), 9)),
      bypassFont_(MakeFont(QStringLiteral("黑体"), 72)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  setMouseTracking(true);
  setFont(MakeFont(QStringLiteral("宋体"), 13, 400));
  for (const MenuText& item : kTypeItems) {
    QAction* a = typeMenu_->addAction(QString());
    a->setData(item.command);
    connect(a, &QAction::triggered, this, [this, c = item.command] { OnTypeCommand(c); });
  }
  for (const MenuText& item : kEqItems) {
    QAction* a = eqMenu_->addAction(QString());
    a->setData(item.command);
    connect(a, &QAction::triggered, this,
            [this, c = item.command] { emit CopyPasteChosen(c - kCmdCopyEq, Kind()); });
  }
  RetextMenus();
}

CEqPanel::~CEqPanel() = default;

QColor CEqPanel::BandColour(int index) {
  constexpr int n = static_cast<int>(std::size(kBandColours));
  return QColor(kBandColours[((index % n) + n) % n]);
}

QString CEqPanel::AxisLabel(float db) {
  return Format("%+-.0fdB", static_cast<double>(db));
}

QRect CEqPanel::PlotRect() const {
  return QRect(kLeft, kTop, PlotWidth(), PlotHeight());
}

QString CEqPanel::Title() const {
  const int kind = Kind();
  const bool en = language_ == 1;
  if (kind >= 0 && kind <= 6) {
    return QString::fromUtf8(en ? kTitles[kind].en : kTitles[kind].zh);
  }
  if (kind >= 7 && kind <= 14) {
    return en ? QStringLiteral("CH%1 EQ").arg(kind - 6)
              : QStringLiteral("通道%1均衡").arg(kind - 6);
  }
  if (kind == 15) return en ? QStringLiteral("Record EQ") : QStringLiteral("录音均衡");
  return QString();
}

// --- operations -------------------------------------------------------------

void CEqPanel::SetEqKind(int kind) {
  bands_.SetEqKind(kind);
  if (selected_ >= bands_.BandCount()) selected_ = -1;
  if (hover_ >= bands_.BandCount()) hover_ = -1;
  Repaint();
}

void CEqPanel::SetSevenBands() {
  bands_.SetSevenBands();
  if (selected_ >= bands_.BandCount()) selected_ = -1;
  if (hover_ >= bands_.BandCount()) hover_ = -1;
  Repaint();
}

void CEqPanel::SetBandType(int index, int type) {
  bands_.SetBandType(index, type);
  Repaint();
}

void CEqPanel::SetBandGain(float gain, int index) {
  bands_.SetBandGain(gain, index);
  Repaint();
}

void CEqPanel::SetBandQ(float q, int index) {
  bands_.SetBandQ(q, index);
  Repaint();
}

void CEqPanel::SetBandFrequency(int index, float frequency) {
  bands_.SetBandFrequency(index, frequency);
  Repaint();
}

void CEqPanel::RecomputeBand(int index) {
  bands_.RecomputeBand(index);
  Repaint();
}

void CEqPanel::SetCompositeType(int index, int menuType) {
  bands_.SetCompositeType(index, menuType);
  Repaint();
}

void CEqPanel::SetCrossoverSlope(int index, int slope) {
  bands_.SetCrossoverSlope(index, slope);
  Repaint();
}

void CEqPanel::LoadBands(std::span<const std::uint8_t> store) {
  bands_.LoadBands(store);
  Repaint();
}

void CEqPanel::SetSelectedBand(int index) {
  selected_ = index >= 0 && index < bands_.BandCount() ? index : -1;
  Repaint();
}

void CEqPanel::SetLanguage(int language) {
  language_ = language == 1 ? 1 : 0;
  RetextMenus();
  Repaint();
}

void CEqPanel::SetBypassed(int bypassed) {
  bypassed_ = bypassed;
  Repaint();
}

void CEqPanel::RetextMenus() {
  const bool en = language_ == 1;
  const QList<QAction*> types = typeMenu_->actions();
  for (int i = 0; i < types.size(); ++i) {
    types[i]->setText(QString::fromUtf8(en ? kTypeItems[i].en : kTypeItems[i].zh));
  }
  const QList<QAction*> eq = eqMenu_->actions();
  for (int i = 0; i < eq.size(); ++i) {
    eq[i]->setText(QString::fromUtf8(en ? kEqItems[i].en : kEqItems[i].zh));
  }
}

void CEqPanel::OnTypeCommand(int command) {
  if (selected_ < 0) return;
  bands_.SetCompositeType(selected_, command - (kCmdTypeFirst - 1));
  Repaint();
  emit BandChanged(selected_);
  emit EditEnded();
}

void CEqPanel::Repaint() {
  update();
  // What the panel tells assistive technology follows what it draws; the
  // texts are only built while a screen reader or the like listens.
  if (!QAccessible::isActive()) return;
  const QString title = Title();
  if (title != announcedTitle_) {
    announcedTitle_ = title;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
  const QString status = StatusLine();
  if (status != announcedStatus_) {
    announcedStatus_ = status;
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void CEqPanel::Changed(int index) {
  Repaint();
  emit BandChanged(index);
}

bool CEqPanel::Shaped(int index) const {
  const int type = bands_.Band(index).type;
  return type == 1 || type == 4 || type == 5;
}

QPointF CEqPanel::HandlePos(int index) const {
  const cp::EqBand& b = bands_.Band(index);
  const float w = static_cast<float>(PlotWidth());
  const float h = static_cast<float>(PlotHeight());
  const float x = w * std::log10(b.frequency / kMinHz) / kDecades;
  const float y = (kMaxDb - b.gain) * h / kSpanDb;
  return QPointF(x, y);
}

QPoint CEqPanel::ToPlot(QPointF widgetPoint) const {
  const QPoint p = widgetPoint.toPoint();
  return QPoint(p.x() - kLeft, p.y() - kTop);
}

// --- input ------------------------------------------------------------------

void CEqPanel::PopUp(QMenu* menu, QPoint global) {
  menu->popup(global);
}

void CEqPanel::mousePressEvent(QMouseEvent* event) {
  const QPoint at = ToPlot(event->position());
  if (event->button() == Qt::LeftButton) {
    if (rightDrag_) return;
    setFocus(Qt::MouseFocusReason);
    leftDrag_ = true;
    moved_ = false;
    selected_ = -1;
    press_ = at;
    for (int i = 0; i < bands_.PickableBandCount(); ++i) {
      if (bands_.Band(i).type == 0) continue;
      const QPointF h = HandlePos(i);
      if (std::fabs(at.x() - h.x()) < 10 && std::fabs(at.y() - h.y()) < 10) {
        selected_ = i;
        dragOffset_ = QPoint(static_cast<int>(at.x() - h.x()), static_cast<int>(at.y() - h.y()));
        Repaint();
        emit BandPressed(i);
        return;
      }
    }
    Repaint();
    return;
  }
  if (event->button() == Qt::RightButton) {
    if (leftDrag_) return;
    rightDrag_ = true;
    moved_ = false;
    selected_ = -1;
    press_ = at;
    for (int i = 0; i < bands_.PickableBandCount(); ++i) {
      const QPointF h = HandlePos(i);
      if (std::fabs(at.x() - h.x()) < 16 && std::fabs(at.y() - h.y()) < 16) {
        selected_ = i;
        dragOffset_ = QPoint(at.x(), 0);
        Repaint();
        emit BandChanged(i);
        return;
      }
    }
    Repaint();
    return;
  }
  event->ignore();
}

void CEqPanel::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = ToPlot(event->position());
  const int hovered = hover_;
  hover_ = -1;
  if (!leftDrag_ && !rightDrag_) {
    // Hidden sections have no handle of their own to hover.
    for (int i = 0; i < bands_.BandCount(); ++i) {
      const cp::EqBand& b = bands_.Band(i);
      if (b.type == 0 || !b.visible) continue;
      const QPointF h = HandlePos(i);
      if (std::fabs(at.x() - h.x()) < 16 && std::fabs(at.y() - h.y()) < 16) hover_ = i;
    }
    // Only the hovered band's labels depend on the mouse here.
    if (hover_ != hovered) Repaint();
    return;
  }
  if (selected_ >= 0 && (std::abs(at.x() - press_.x()) > 1 || std::abs(at.y() - press_.y()) > 1)) {
    moved_ = true;
  }
  if (selected_ >= 0 && moved_) {
    const cp::EqBand& b = bands_.Band(selected_);
    if (leftDrag_) {
      // The handle keeps the offset it was grabbed at, in x as in y.
      const float w = static_cast<float>(PlotWidth());
      const float h = static_cast<float>(PlotHeight());
      const float x = static_cast<float>(at.x() - dragOffset_.x());
      const float frequency = kMinHz * std::pow(10.0f, kDecades * x / w);
      float gain = 0.0f;
      if (Shaped(selected_)) {
        gain = kMaxDb - static_cast<float>(at.y() - dragOffset_.y()) / h * kSpanDb;
        gain = std::round(gain * 10.0f) / 10.0f;
      }
      gain = std::clamp(gain, b.minGain, b.maxGain);
      bands_.SetBandGain(gain, selected_);
      bands_.SetBandFrequency(selected_, frequency);
      emit BandChanged(selected_);
    } else if (rightDrag_) {
      const bool shape = b.type >= 2 && b.type <= 5;
      const float rate = shape ? 80.0f : 12.0f;
      const float ceiling = shape ? 2.0f : 30.0f;
      const float q =
          std::clamp(b.q + static_cast<float>(at.x() - dragOffset_.x()) / rate, 0.1f, ceiling);
      dragOffset_.setX(at.x());
      bands_.SetBandQ(q, selected_);
      emit BandChanged(selected_);
    }
  }
  Repaint();
}

void CEqPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (leftDrag_) {
      leftDrag_ = false;
      if (selected_ < 0) {
        emit EmptyClicked();
      } else if (moved_) {
        emit BandChanged(selected_);
      }
      emit EditEnded();
    }
    return;
  }
  if (event->button() == Qt::RightButton) {
    if (!rightDrag_) return;
    rightDrag_ = false;
    const QPoint global = event->globalPosition().toPoint();
    if (selected_ < 0) {
      PopUp(eqMenu_, global);
    } else {
      emit BandChanged(selected_);
      emit EditEnded();
      if (!moved_) PopUp(typeMenu_, global);
    }
    return;
  }
  event->ignore();
}

void CEqPanel::wheelEvent(QWheelEvent* event) {
  if (selected_ < 0 || !Shaped(selected_) || event->angleDelta().y() == 0) {
    event->ignore();
    return;
  }
  const cp::EqBand& b = bands_.Band(selected_);
  const float step = event->angleDelta().y() > 0 ? 0.1f : -0.1f;
  bands_.SetBandGain(std::clamp(b.gain + step, b.minGain, b.maxGain), selected_);
  event->accept();
  Changed(selected_);
  emit EditEnded();
}

void CEqPanel::keyPressEvent(QKeyEvent* event) {
  // Every key is the panel's while it has the focus; the page never sees it.
  event->accept();
  if (selected_ < 0) return;
  const cp::EqBand& b = bands_.Band(selected_);
  // Qt reports Ctrl without telling the left key from the right one; either
  // gives the fine steps.
  const bool fine = event->modifiers() & Qt::ControlModifier;
  float frequency = b.frequency;
  float gain = b.gain;
  float q = b.q;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const float sign = event->key() == Qt::Key_Right ? 1.0f : -1.0f;
      const float step = frequency > 10000 ? 100 : frequency > 1000 ? 10 : frequency > 100 ? 5 : 2;
      frequency += sign * (step + (fine ? 1.0f : 0.0f));
      break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (Shaped(selected_)) {
        gain += (event->key() == Qt::Key_Up ? 1.0f : -1.0f) * (fine ? 0.1f : 0.2f);
      }
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      q += fine ? 0.01f : 0.1f;
      break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      q -= fine ? 0.01f : 0.1f;
      break;
    default:
      return;
  }
  const bool shape = b.type >= 2 && b.type <= 5;
  gain = std::clamp(gain, b.minGain, b.maxGain);
  q = std::clamp(q, 0.1f, shape ? 2.0f : 30.0f);
  const int index = selected_;
  bands_.SetBandGain(gain, index);
  bands_.SetBandQ(q, index);
  bands_.SetBandFrequency(index, frequency);
  Changed(index);
  emit EditEnded();
}

void CEqPanel::resizeEvent(QResizeEvent* event) {
  bands_.SetPlotWidth(std::max(0, PlotWidth()));
  QWidget::resizeEvent(event);
}

// --- status line ----------------------------------------------------------------

QString CEqPanel::StatusText() const {
  if (selected_ < 0) return QString();
  const cp::EqBand& b = bands_.Band(selected_);
  if (language_ == 1) {
    return Format("Index=%d     Frequency=%.0fHz    Q=%.2f     Gain=", selected_ + 1,
                  static_cast<double>(b.frequency), static_cast<double>(b.q));
  }
  return Format("EQ号=%d    频率=%.0fHz    Q值=%.2f     增益=", selected_ + 1,
                static_cast<double>(b.frequency), static_cast<double>(b.q));
}

QString CEqPanel::StatusGainText() const {
  if (selected_ < 0) return QString();
  return Format("%+-.1fdB ", static_cast<double>(bands_.Band(selected_).gain));
}

QString CEqPanel::StatusLine() const {
  if (selected_ >= 0) return (StatusText() + StatusGainText()).simplified();
  // The bands the user sees: an output EQ's hidden sections are not counted.
  const int count = bands_.PickableBandCount();
  return language_ == 1 ? QStringLiteral("%1 bands").arg(count)
                        : QStringLiteral("共%1个频段").arg(count);
}

QColor CEqPanel::StatusGainColour() const {
  if (selected_ < 0) return QColor();
  const float g = bands_.Band(selected_).gain;
  if (g >= -6.0f && g <= 6.0f) return kStatusGreen;
  if ((g > -10.1f && g < -6.0f) || (g > 6.0f && g < 10.1f)) return kStatusYellow;
  return kStatusRed;
}

// --- painting -------------------------------------------------------------------

const QPixmap& CEqPanel::Background() {
  const qreal ratio = devicePixelRatioF();
  if (background_.size() == size() * ratio && background_.devicePixelRatio() == ratio &&
      backgroundKind_ == Kind() && backgroundLanguage_ == language_) {
    return background_;
  }
  backgroundKind_ = Kind();
  backgroundLanguage_ = language_;
  background_ = QPixmap(size() * ratio);
  background_.setDevicePixelRatio(ratio);
  QPainter p(&background_);
  p.fillRect(rect(), kBackground);
  const QRect plot = PlotRect();
  const int w = plot.width(), h = plot.height();

  p.setFont(font());
  p.setPen(kTitleColour);
  p.drawText(QRect(0, 0, plot.right() + 1 - 2, plot.top() - 1), Qt::AlignRight | Qt::AlignBottom,
             Title());

  p.setFont(axisFont_);
  for (const float v : kDbLines) {
    const int y = static_cast<int>((kMaxDb - v) * (static_cast<float>(h) / kSpanDb) +
                                   static_cast<float>(plot.top()));
    p.setPen(kGridPen);
    p.drawLine(plot.left(), y, plot.left() + w, y);
    p.setPen(kAxisText);
    p.drawText(QRect(0, y - 10, plot.left() - 3, 20), Qt::AlignRight | Qt::AlignVCenter,
               AxisLabel(v));
  }
  const auto xOf = [&](float hz) {
    return plot.left() +
           static_cast<int>(static_cast<float>(w) * std::log10(hz / kMinHz) / kDecades);
  };
  p.setPen(kGridPen);
  for (const float hz : kFrequencyLines) {
    const int x = xOf(hz);
    p.drawLine(x, plot.top() + 1, x, plot.top() + h);
  }
  p.setPen(kAxisText);
  for (const FrequencyLabel& l : kFrequencyLabels) {
    const int x = xOf(l.hz);
    p.drawText(QRect(x - 30, plot.top() + h + 4, 60, kBottom), Qt::AlignHCenter | Qt::AlignTop,
               QString::fromLatin1(l.text));
  }
  return background_;
}

void CEqPanel::PaintSelectedArea(QPainter& p) {
  if (selected_ < 0) return;
  const cp::EqBand& b = bands_.Band(selected_);
  if (b.type == 0) return;
  const QRect plot = PlotRect();
  const float w = static_cast<float>(plot.width());
  const float h = static_cast<float>(plot.height());
  const cp::EqResponse area = bands_.BandAreaResponse(selected_);
  std::array<QPointF, kPoints + 2> pts;
  const float step = w / static_cast<float>(kPoints);
  for (int j = 1; j <= kPoints; ++j) {
    const int x = static_cast<int>(step * static_cast<float>(j) + static_cast<float>(plot.left()));
    const float y = static_cast<float>(plot.top()) +
                    (kMaxDb - area[static_cast<std::size_t>(j - 1)]) * h / kSpanDb;
    pts[static_cast<std::size_t>(j)] = QPointF(x, y);
  }
  if (IsPassType(b.type)) {
    const qreal below = plot.top() + plot.height() + 20;
    pts[0] = QPointF(pts[1].x(), below);
    pts[kPoints + 1] = QPointF(pts[kPoints].x(), below);
  } else {
    const qreal zero = plot.top() + kMaxDb * h / kSpanDb;
    pts[0] = QPointF(plot.left(), zero);
    pts[kPoints + 1] = QPointF(plot.left() + plot.width(), zero);
  }
  p.save();
  p.setClipRect(plot);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(WithAlpha(BandColour(selected_), 0x20));
  // The curve through every point, closed by a straight edge along the 0 dB
  // line or below the plot: a curved closing segment would bend back into
  // the plot from the far-away points of a steep filter.
  QPainterPath outline = CardinalSpline(pts, 0.5);
  outline.closeSubpath();
  outline.setFillRule(Qt::WindingFill);
  p.drawPath(outline);
  p.restore();
}

void CEqPanel::PaintCurve(QPainter& p) {
  const QRect plot = PlotRect();
  const float w = static_cast<float>(plot.width());
  const float h = static_cast<float>(plot.height());
  const cp::EqResponse sum = bands_.SummedResponse();
  std::array<QPointF, kPoints> pts;
  for (int i = 0; i < kPoints; ++i) {
    const int x = static_cast<int>(static_cast<float>(i) * w / static_cast<float>(kPoints) +
                                   static_cast<float>(plot.left()));
    const int y = static_cast<int>(static_cast<float>(plot.top()) +
                                   (kMaxDb - sum[static_cast<std::size_t>(i)]) * h / kSpanDb);
    pts[static_cast<std::size_t>(i)] = QPointF(x, y);
  }
  p.save();
  p.setClipRect(plot);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(kCurveColour, 2.0);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(CardinalSpline(pts, 0.1));
  p.restore();
}

void CEqPanel::PaintHandle(QPainter& p, int index) {
  const QPointF rel = HandlePos(index);
  const qreal x = rel.x() + kLeft;
  const qreal y = rel.y() + kTop;
  const QColor colour = BandColour(index);
  const bool selected = index == selected_;
  const QRectF box(static_cast<int>(x - 9) + 2, static_cast<int>(y - 9) + 2, 14, 14);
  const int fillAlpha = selected ? 0x50 : 0x25;
  p.setRenderHint(QPainter::Antialiasing);
  if (bands_.Band(index).type == 1) {
    QPen ring(WithAlpha(colour, 0x7F), 2.0);
    ring.setCapStyle(Qt::FlatCap);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    const QRectF ellipse(static_cast<int>(x) - 9, static_cast<int>(y) - 9, 18, 18);
    // Clockwise on screen from 15 and from 195 degrees, 150 degrees each.
    p.drawArc(ellipse, -15 * 16, -150 * 16);
    p.drawArc(ellipse, -195 * 16, -150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(colour, fillAlpha));
    p.drawEllipse(box);
  } else {
    QPen dashed(WithAlpha(colour, 0x7F), 1.5, Qt::DashLine);
    p.setPen(dashed);
    p.setBrush(WithAlpha(colour, fillAlpha));
    p.drawRect(box);
    if (selected) {
      const QRect plot = PlotRect();
      QPen red(QColor(0xFF, 0x00, 0x00), 1.5, Qt::DashLine);
      p.setPen(red);
      const int lx = static_cast<int>(x);
      p.drawLine(QPointF(lx, plot.top()), QPointF(lx, plot.top() + plot.height()));
    }
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(numberFont_);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter | Qt::TextDontClip, QString::number(index + 1));
  if (selected && hover_ < 0) PaintLabels(p, index);
}

void CEqPanel::PaintLabels(QPainter& p, int index) {
  const cp::EqBand& b = bands_.Band(index);
  const QPointF rel = HandlePos(index);
  const double x = rel.x() + kLeft;
  const double y = rel.y() + kTop;
  const int m = static_cast<int>(std::lround(index + 1 >= 10 ? x - 7 : x - 4));
  const int n = static_cast<int>(std::lround(y - 4));
  const QString values[3] = {Format("%.0fHz", static_cast<double>(b.frequency)),
                             Format("%+-.1fdB", static_cast<double>(b.gain)),
                             Format("%.2f", static_cast<double>(b.q))};
  static const QString kNames[3] = {QStringLiteral("F:"), QStringLiteral("G:"),
                                    QStringLiteral("Q:")};
  const bool above = b.gain < -0.01f;
  const int rows[3] = {above ? n - 42 : n + 18, above ? n - 33 : n + 27, above ? n - 24 : n + 36};
  p.setFont(axisFont_);
  for (int line = 0; line < 3; ++line) {
    const int l = 3 * (static_cast<int>(values[line].size()) + 2);
    p.setPen(kLabelGrey);
    p.drawText(QRect(m - l + 1, rows[line], 40, 14),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, kNames[line]);
    p.setPen(kLabelGreen);
    p.drawText(QRect(m - l + 13, rows[line], 80, 14),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, values[line]);
  }
}

void CEqPanel::PaintStatus(QPainter& p) {
  if (selected_ < 0) return;
  p.setFont(statusFont_);
  const QString text = StatusText();
  const QFontMetricsF fm(statusFont_);
  p.setPen(kStatusGreen);
  p.drawText(QPointF(kLeft, 3 + fm.ascent()), text);
  p.setPen(StatusGainColour());
  p.drawText(QPointF(kLeft + fm.horizontalAdvance(text), 3 + fm.ascent()), StatusGainText());
}

void CEqPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, Background());
  if (PlotWidth() <= 0 || PlotHeight() <= 0) return;
  PaintSelectedArea(p);
  PaintCurve(p);
  for (int i = 0; i < bands_.BandCount(); ++i) {
    const cp::EqBand& b = bands_.Band(i);
    if (b.type != 0 && b.visible) PaintHandle(p, i);
  }
  if (hover_ >= 0 && bands_.Band(hover_).type != 0) PaintLabels(p, hover_);
  PaintStatus(p);
  if (bypassed_ != 0) {
    p.setFont(bypassFont_);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("BYPASS"));
  }
}

}  // namespace ui
