#include "ui/controls/artwork.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "ui/controls/fonts.h"

namespace ui::art {

namespace {

// One palette for every picture: slate ink, a clear blue accent, soft greys.
const QColor kInk(38, 70, 100);
const QColor kAccentTop(46, 160, 222);
const QColor kAccentBottom(18, 110, 176);
const QColor kAccentEdge(12, 84, 140);
const QColor kSlateTop(96, 132, 164);
const QColor kSlateBottom(62, 94, 124);
const QColor kSlateEdge(42, 70, 96);
const QColor kGrooveTop(170, 192, 210);
const QColor kGrooveBottom(214, 228, 238);
const QColor kGrooveEdge(150, 174, 194);
const QColor kTick(160, 182, 200);
const QColor kThumbEdge(66, 106, 142);
const QColor kDisabledTop(238, 240, 242);
const QColor kDisabledBottom(212, 216, 220);
const QColor kDisabledEdge(164, 171, 179);

enum class Kind { kTrack, kThumb, kFace, kMarker, kInfo, kTitle };

struct Entry {
  int id;
  Kind kind;
  int width;
  int height;
  bool alt;       // sliders and thumbs: the vertical set; titles: the English picture
  int variant;    // thumbs: 0 normal, 1 focused, 2 disabled; faces and titles: which
};

constexpr int kTitleOutputBase = 100;  // title variants: 100 + c output, 200 record, 300 + t effect

constexpr Entry kEntries[] = {
    {kSliderTrack, Kind::kTrack, 131, 22, false, 0},
    {kSliderThumb, Kind::kThumb, 19, 9, false, 0},
    {kSliderThumbFocused, Kind::kThumb, 19, 9, false, 1},
    {kSliderThumbDisabled, Kind::kThumb, 19, 9, false, 2},
    {kVSliderTrack, Kind::kTrack, 22, 131, true, 0},
    {kVSliderThumb, Kind::kThumb, 9, 19, true, 0},
    {kVSliderThumbFocused, Kind::kThumb, 9, 19, true, 1},
    {kVSliderThumbDisabled, Kind::kThumb, 9, 19, true, 2},
    {kPageButton, Kind::kFace, 84, 28, false, 0},
    {kPageButtonSelected, Kind::kFace, 84, 28, false, 1},
    {kDialogButton, Kind::kFace, 76, 26, false, 2},
    {kBackButton, Kind::kFace, 104, 28, false, 3},
    {kDelayMarker, Kind::kMarker, 25, 22, false, 0},
    {kInfoPicture, Kind::kInfo, 40, 40, false, 0},
    {kOutputTitleZh + 0, Kind::kTitle, 213, 61, false, kTitleOutputBase + 0},
    {kOutputTitleEn + 0, Kind::kTitle, 213, 61, true, kTitleOutputBase + 0},
    {kOutputTitleZh + 2, Kind::kTitle, 213, 61, false, kTitleOutputBase + 1},
    {kOutputTitleEn + 2, Kind::kTitle, 213, 61, true, kTitleOutputBase + 1},
    {kOutputTitleZh + 4, Kind::kTitle, 213, 61, false, kTitleOutputBase + 2},
    {kOutputTitleEn + 4, Kind::kTitle, 213, 61, true, kTitleOutputBase + 2},
    {kOutputTitleZh + 6, Kind::kTitle, 213, 61, false, kTitleOutputBase + 3},
    {kOutputTitleEn + 6, Kind::kTitle, 213, 61, true, kTitleOutputBase + 3},
    {kOutputTitleZh + 8, Kind::kTitle, 213, 61, false, kTitleOutputBase + 4},
    {kOutputTitleEn + 8, Kind::kTitle, 213, 61, true, kTitleOutputBase + 4},
    {kOutputTitleZh + 10, Kind::kTitle, 213, 61, false, kTitleOutputBase + 5},
    {kOutputTitleEn + 10, Kind::kTitle, 213, 61, true, kTitleOutputBase + 5},
    {kOutputTitleZh + 12, Kind::kTitle, 213, 61, false, kTitleOutputBase + 6},
    {kOutputTitleEn + 12, Kind::kTitle, 213, 61, true, kTitleOutputBase + 6},
    {kOutputTitleZh + 14, Kind::kTitle, 213, 61, false, kTitleOutputBase + 7},
    {kOutputTitleEn + 14, Kind::kTitle, 213, 61, true, kTitleOutputBase + 7},
    {kRecordTitleZh, Kind::kTitle, 213, 61, false, 200},
    {kRecordTitleEn, Kind::kTitle, 213, 61, true, 200},
    {367, Kind::kTitle, 213, 61, false, 300},
    {393, Kind::kTitle, 213, 61, false, 301},
    {362, Kind::kTitle, 213, 61, false, 302},
    {391, Kind::kTitle, 213, 61, false, 303},
    {407, Kind::kTitle, 213, 61, true, 300},
    {408, Kind::kTitle, 213, 61, true, 301},
    {403, Kind::kTitle, 213, 61, true, 302},
    {404, Kind::kTitle, 213, 61, true, 303},
};

const Entry* Find(int id) {
  for (const Entry& e : kEntries) {
    if (e.id == id) return &e;
  }
  return nullptr;
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& a, const QColor& b) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, a);
  g.setColorAt(1, b);
  return g;
}

QLinearGradient Horizontal(qreal left, qreal right, const QColor& a, const QColor& b) {
  QLinearGradient g(left, 0, right, 0);
  g.setColorAt(0, a);
  g.setColorAt(1, b);
  return g;
}

QPen Pen(const QColor& c, qreal width = 1.0) {
  QPen p(c, width);
  p.setJoinStyle(Qt::RoundJoin);
  p.setCapStyle(Qt::RoundCap);
  return p;
}

// A groove along the thumb's path with tick marks beside it. The thumb of the
// horizontal set travels with its centre from 16.5 to 114.5 at y 7.5 (margins
// 7, 7, 3, 2); the vertical set mirrors it.
void DrawTrack(QPainter& p, const Entry& e) {
  const int ticks = 11;
  if (!e.alt) {
    const QRectF groove(4.5, 5.5, 122, 4);
    p.setPen(Pen(kGrooveEdge));
    p.setBrush(Vertical(groove.top(), groove.bottom(), kGrooveTop, kGrooveBottom));
    p.drawRoundedRect(groove, 2, 2);
    p.setPen(Pen(kTick));
    for (int k = 0; k < ticks; ++k) {
      const qreal x = 16.5 + k * (98.0 / (ticks - 1));
      p.drawLine(QPointF(x, 14.5), QPointF(x, k % 5 == 0 ? 19.0 : 17.0));
    }
  } else {
    const QRectF groove(5.5, 4.5, 4, 122);
    p.setPen(Pen(kGrooveEdge));
    p.setBrush(Horizontal(groove.left(), groove.right(), kGrooveTop, kGrooveBottom));
    p.drawRoundedRect(groove, 2, 2);
    p.setPen(Pen(kTick));
    for (int k = 0; k < ticks; ++k) {
      const qreal y = 16.5 + k * (98.0 / (ticks - 1));
      p.drawLine(QPointF(14.5, y), QPointF(k % 5 == 0 ? 19.0 : 17.0, y));
    }
  }
}

void DrawThumb(QPainter& p, const Entry& e) {
  QColor top, bottom, edge, grip;
  switch (e.variant) {
    case 1:
      top = kAccentTop, bottom = kAccentBottom, edge = kAccentEdge, grip = Qt::white;
      break;
    case 2:
      top = kDisabledTop, bottom = kDisabledBottom, edge = kDisabledEdge, grip = kDisabledEdge;
      break;
    default:
      top = Qt::white, bottom = QColor(208, 226, 240), edge = kThumbEdge, grip = kThumbEdge;
      break;
  }
  const QRectF body(0.5, 0.5, e.width - 1.0, e.height - 1.0);
  p.setPen(Pen(edge));
  p.setBrush(Vertical(body.top(), body.bottom(), top, bottom));
  p.drawRoundedRect(body, 2.5, 2.5);
  p.setPen(Pen(grip, 1.0));
  const QPointF c = body.center();
  if (!e.alt) {
    p.drawLine(QPointF(c.x(), 2.5), QPointF(c.x(), e.height - 2.5));
  } else {
    p.drawLine(QPointF(2.5, c.y()), QPointF(e.width - 2.5, c.y()));
  }
}

void DrawFace(QPainter& p, const Entry& e, QSizeF size) {
  const bool selected = e.variant == 1;
  const QColor top = selected ? kAccentTop : kSlateTop;
  const QColor bottom = selected ? kAccentBottom : kSlateBottom;
  const QColor edge = selected ? kAccentEdge : kSlateEdge;
  const QRectF body(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
  const qreal radius = std::min<qreal>(4.0, body.height() / 4);
  p.setPen(Pen(edge));
  p.setBrush(Vertical(body.top(), body.bottom(), top, bottom));
  p.drawRoundedRect(body, radius, radius);
  // A soft highlight along the top edge gives the face a little depth.
  p.setPen(Pen(QColor(255, 255, 255, 70)));
  p.drawLine(QPointF(body.left() + radius, 1.5), QPointF(body.right() - radius, 1.5));
  if (e.variant == 3) {
    // Back: a chevron pointing left, clear of a centred caption.
    const qreal cy = size.height() / 2;
    const qreal h = std::min<qreal>(5.0, size.height() / 4);
    QPainterPath chevron;
    chevron.moveTo(13.5, cy - h);
    chevron.lineTo(8.5, cy);
    chevron.lineTo(13.5, cy + h);
    p.setPen(Pen(Qt::white, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
  }
}

void DrawMarker(QPainter& p, const Entry& e) {
  // An arrow pointing down at the value it marks.
  QPainterPath arrow;
  const qreal w = e.width, h = e.height;
  arrow.moveTo(w / 2, h - 1.5);
  arrow.lineTo(2.5, h * 0.45);
  arrow.lineTo(w * 0.32, h * 0.45);
  arrow.lineTo(w * 0.32, 1.5);
  arrow.lineTo(w * 0.68, 1.5);
  arrow.lineTo(w * 0.68, h * 0.45);
  arrow.lineTo(w - 2.5, h * 0.45);
  arrow.closeSubpath();
  p.setPen(Pen(kAccentEdge));
  p.setBrush(Vertical(0, h, kAccentTop, kAccentBottom));
  p.drawPath(arrow);
}

void DrawInfo(QPainter& p, const Entry& e) {
  const QRectF circle(1.5, 1.5, e.width - 3.0, e.height - 3.0);
  p.setPen(Pen(kAccentEdge, 1.5));
  p.setBrush(Vertical(circle.top(), circle.bottom(), kAccentTop, kAccentBottom));
  p.drawEllipse(circle);
  const qreal cx = circle.center().x();
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(cx, e.height * 0.28), e.width * 0.06, e.width * 0.06);
  p.drawRoundedRect(QRectF(cx - e.width * 0.055, e.height * 0.40, e.width * 0.11, e.height * 0.38),
                    1.5, 1.5);
}

QString TitleText(const Entry& e) {
  const bool en = e.alt;
  if (e.variant >= kTitleOutputBase && e.variant < kTitleOutputBase + 8) {
    const int c = e.variant - kTitleOutputBase + 1;
    return en ? QStringLiteral("OUTPUT CH%1").arg(c) : QStringLiteral("输出通道%1").arg(c);
  }
  if (e.variant == 200) return en ? QStringLiteral("RECORD") : QStringLiteral("录音输出");
  static constexpr const char* kEffectZh[4] = {"混响A效果", "混响B效果", "回声A效果", "回声B效果"};
  static constexpr const char* kEffectEn[4] = {"REVERB A", "REVERB B", "ECHO A", "ECHO B"};
  const int t = std::clamp(e.variant - 300, 0, 3);
  return QString::fromUtf8(en ? kEffectEn[t] : kEffectZh[t]);
}

// The emblem inside the title's circle: a record symbol, a loudspeaker, or
// sound waves for the effects.
void DrawEmblem(QPainter& p, const Entry& e, const QRectF& circle) {
  const QPointF c = circle.center();
  const qreal r = circle.width() / 2;
  p.setBrush(Qt::NoBrush);
  if (e.variant == 200) {
    p.setPen(Pen(Qt::white, 2.0));
    p.drawEllipse(c, r * 0.58, r * 0.58);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 96, 96));
    p.drawEllipse(c, r * 0.30, r * 0.30);
    return;
  }
  if (e.variant >= 300) {
    p.setPen(Pen(Qt::white, 2.0));
    for (int k = 0; k < 3; ++k) {
      const qreal rr = r * (0.25 + 0.2 * k);
      p.drawArc(QRectF(c.x() - rr - r * 0.3, c.y() - rr, 2 * rr, 2 * rr), -50 * 16, 100 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(c.x() - r * 0.3, c.y()), r * 0.1, r * 0.1);
    return;
  }
  // Loudspeaker: a box and a cone, then two waves.
  QPainterPath cone;
  cone.moveTo(c.x() - r * 0.50, c.y() - r * 0.18);
  cone.lineTo(c.x() - r * 0.30, c.y() - r * 0.18);
  cone.lineTo(c.x() - r * 0.02, c.y() - r * 0.42);
  cone.lineTo(c.x() - r * 0.02, c.y() + r * 0.42);
  cone.lineTo(c.x() - r * 0.30, c.y() + r * 0.18);
  cone.lineTo(c.x() - r * 0.50, c.y() + r * 0.18);
  cone.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(cone);
  p.setPen(Pen(Qt::white, 1.8));
  p.setBrush(Qt::NoBrush);
  for (int k = 1; k <= 2; ++k) {
    const qreal rr = r * 0.22 * k;
    p.drawArc(QRectF(c.x() + r * 0.02 - rr, c.y() - rr, 2 * rr, 2 * rr), -45 * 16, 90 * 16);
  }
}

void DrawTitle(QPainter& p, const Entry& e) {
  const QRectF body(0.5, 0.5, e.width - 1.0, e.height - 1.0);
  p.setPen(Pen(QColor(168, 198, 222)));
  p.setBrush(Vertical(body.top(), body.bottom(), QColor(255, 255, 255), QColor(222, 238, 250)));
  p.drawRoundedRect(body, 8, 8);
  const QRectF circle(9.5, 8.5, 44, 44);
  p.setPen(Pen(kAccentEdge));
  p.setBrush(Vertical(circle.top(), circle.bottom(), kAccentTop, kAccentBottom));
  p.drawEllipse(circle);
  DrawEmblem(p, e, circle);

  const QString text = TitleText(e);
  const QRectF textBox(62, 4, e.width - 62 - 10, e.height - 8);
  const bool en = e.alt;
  // One size for every title of a language: the one the longest title fits.
  const QString longest = en ? QStringLiteral("OUTPUT CH8") : QStringLiteral("输出通道8");
  int px = en ? 24 : 26;
  QFont font = MakeFont(en ? QStringLiteral("Arial") : QStringLiteral("黑体"), px, 700);
  while (px > 10 && QFontMetricsF(font).horizontalAdvance(longest) > textBox.width()) {
    font.setPixelSize(--px);
  }
  p.setFont(font);
  p.setPen(kInk);
  p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, text);
}

}  // namespace

QColor PageBackground() { return QColor(240, 250, 255); }

bool HasArtwork(int id) { return Find(id) != nullptr; }

QSize ArtworkSize(int id) {
  const Entry* e = Find(id);
  return e != nullptr ? QSize(e->width, e->height) : QSize();
}

bool IsResizable(int id) {
  const Entry* e = Find(id);
  return e != nullptr && e->kind == Kind::kFace;
}

QPixmap LoadArtwork(int id, qreal devicePixelRatio, QSize size) {
  const Entry* e = Find(id);
  if (e == nullptr) return QPixmap();
  const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  QSize logical(e->width, e->height);
  if (e->kind == Kind::kFace && size.width() > 0 && size.height() > 0) logical = size;
  QImage image(QSize(static_cast<int>(std::ceil(logical.width() * dpr)),
                     static_cast<int>(std::ceil(logical.height() * dpr))),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDevicePixelRatio(dpr);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (e->kind) {
      case Kind::kTrack:
        DrawTrack(p, *e);
        break;
      case Kind::kThumb:
        DrawThumb(p, *e);
        break;
      case Kind::kFace:
        DrawFace(p, *e, logical);
        break;
      case Kind::kMarker:
        DrawMarker(p, *e);
        break;
      case Kind::kInfo:
        DrawInfo(p, *e);
        break;
      case Kind::kTitle:
        DrawTitle(p, *e);
        break;
    }
  }
  return QPixmap::fromImage(image);
}

}  // namespace ui::art
