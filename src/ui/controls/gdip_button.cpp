#include "ui/controls/gdip_button.h"

#include <QAccessible>
#include <QCursor>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QToolTip>

#include "ui/controls/artwork.h"
#include "ui/controls/color_matrix.h"
#include "ui/controls/fonts.h"

namespace ui {

namespace {

constexpr int kTooltipDelayMs = 2000;

// A face over the snapshot, at the button's size.
QPixmap Compose(const QPixmap& snapshot, const QImage& face, QSize size, qreal ratio,
                QPoint offset = QPoint()) {
  QImage out(size * ratio, QImage::Format_ARGB32_Premultiplied);
  out.setDevicePixelRatio(ratio);
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!snapshot.isNull()) p.drawPixmap(QRect(QPoint(), size), snapshot);
  // A face moved by `offset` is drawn that much smaller, so it stays whole.
  p.drawImage(QRect(offset, size - QSize(offset.x(), offset.y())), face);
  p.end();
  return QPixmap::fromImage(out);
}

}  // namespace

CGdipButton::CGdipButton(QWidget* parent)
    : QAbstractButton(parent), font_(MakeFont(QStringLiteral("宋体"), 12)) {
  setAttribute(Qt::WA_Hover, true);
  tooltipTimer_.setSingleShot(true);
  tooltipTimer_.setInterval(kTooltipDelayMs);
  connect(&tooltipTimer_, &QTimer::timeout, this, [this] {
    if (hover_ && !tooltip_.isEmpty()) QToolTip::showText(QCursor::pos(), tooltip_, this);
  });
}

bool CGdipButton::LoadStdImage(int id) {
  stdId_ = art::HasArtwork(id) ? id : -1;
  Invalidate();
  return stdId_ >= 0;
}

bool CGdipButton::LoadAltImage(int id) {
  altId_ = art::HasArtwork(id) ? id : -1;
  Invalidate();
  return altId_ >= 0;
}

void CGdipButton::SetAltImage(bool shown) {
  altShown_ = shown;
  if (toggle_) setChecked(shown);
  update();
}

void CGdipButton::SetToggle(bool toggle) {
  toggle_ = toggle;
  setCheckable(toggle);
  if (toggle) setChecked(altShown_);
  update();
}

void CGdipButton::SetGreyed(bool greyed) {
  const bool changed = greyed != greyed_;
  greyed_ = greyed;
  update();
  if (changed) {
    // Assistive technology reports a greyed button as unavailable.
    QAccessible::State state;
    state.disabled = true;
    QAccessibleStateChangeEvent event(this, state);
    QAccessible::updateAccessibility(&event);
  }
}

void CGdipButton::SetCaptionFont(const QFont& font) {
  font_ = font;
  update();
}

void CGdipButton::SetTextColor(const QColor& colour) {
  textColour_ = colour;
  update();
}

void CGdipButton::SetTooltipText(const QString& text) {
  tooltip_ = text;
  if (text.isEmpty()) tooltipTimer_.stop();
}

void CGdipButton::SetBackgroundSnapshot(const QPixmap& snapshot) {
  snapshot_ = snapshot;
  Invalidate();
}

void CGdipButton::Invalidate() {
  variantsSize_ = QSize();
  update();
}

void CGdipButton::nextCheckState() {
  // A completed click flips the face once, in toggle mode only.
  if (!toggle_) return;
  altShown_ = !altShown_;
  QAbstractButton::nextCheckState();
}

CGdipButton::Face CGdipButton::CurrentFace() const {
  if (stdId_ < 0) return Face::kNone;
  if (greyed_ || !isEnabled()) return Face::kGrey;
  const bool hasAlt = altId_ >= 0;
  if (isDown()) {
    // While held in toggle mode the button already shows the face the click
    // will leave it with.
    const bool alt = toggle_ ? !altShown_ : altShown_;
    return alt && hasAlt ? Face::kAlternatePressed : Face::kStandardPressed;
  }
  const bool alt = altShown_ && hasAlt;
  if (hover_) return alt ? Face::kAlternateHover : Face::kStandardHover;
  return alt ? Face::kAlternate : Face::kStandard;
}

void CGdipButton::BuildVariants() {
  const qreal ratio = devicePixelRatioF();
  if (variantsSize_ == size() && variantsRatio_ == ratio) return;
  variantsSize_ = size();
  variantsRatio_ = ratio;
  standard_ = standardHover_ = grey_ = QPixmap();
  alternate_ = alternatePressed_ = alternateHover_ = QPixmap();
  if (stdId_ < 0 || size().isEmpty()) return;
  const QImage face = art::LoadArtwork(stdId_, ratio, size()).toImage();
  standard_ = Compose(snapshot_, face, size(), ratio);
  standardHover_ = Compose(snapshot_, ApplyColorMatrix(face, ColorMatrix::Hover()), size(), ratio);
  grey_ = Compose(snapshot_, ApplyColorMatrix(face, ColorMatrix::Grey()), size(), ratio);
  if (altId_ >= 0) {
    const QImage alt = art::LoadArtwork(altId_, ratio, size()).toImage();
    alternate_ = Compose(snapshot_, alt, size(), ratio);
    const QImage smaller = art::LoadArtwork(altId_, ratio, size() - QSize(1, 1)).toImage();
    alternatePressed_ = Compose(snapshot_, smaller, size(), ratio, QPoint(1, 1));
    alternateHover_ = Compose(snapshot_, ApplyColorMatrix(alt, ColorMatrix::Hover()), size(), ratio);
  }
}

void CGdipButton::paintEvent(QPaintEvent*) {
  const Face face = CurrentFace();
  if (face == Face::kNone) return;
  BuildVariants();
  const QPixmap* picture = nullptr;
  switch (face) {
    case Face::kNone:
      return;
    case Face::kStandard:
    case Face::kStandardPressed:  // the standard face does not move when pressed
      picture = &standard_;
      break;
    case Face::kStandardHover:
      picture = &standardHover_;
      break;
    case Face::kGrey:
      picture = &grey_;
      break;
    case Face::kAlternate:
      picture = &alternate_;
      break;
    case Face::kAlternatePressed:
      picture = &alternatePressed_;
      break;
    case Face::kAlternateHover:
      picture = &alternateHover_;
      break;
  }
  QPainter p(this);
  if (picture != nullptr && !picture->isNull()) p.drawPixmap(0, 0, *picture);
  const QString caption = text();
  if (caption.isEmpty()) return;
  p.setFont(font_);
  p.setPen(textColour_);
  const QFontMetrics fm(font_);
  const int x = static_cast<int>((width() - fm.horizontalAdvance(caption)) * 0.5) + 1;
  const int y = static_cast<int>((height() - fm.height()) * 0.5);
  p.drawText(QPoint(x, y + fm.ascent()), caption);
}

void CGdipButton::enterEvent(QEnterEvent* event) {
  hover_ = true;
  if (!tooltip_.isEmpty()) tooltipTimer_.start();
  update();
  QAbstractButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event) {
  hover_ = false;
  tooltipTimer_.stop();
  QToolTip::hideText();
  update();
  QAbstractButton::leaveEvent(event);
}

void CGdipButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) update();
  QAbstractButton::changeEvent(event);
}

QSize CGdipButton::sizeHint() const {
  const QSize s = art::ArtworkSize(stdId_);
  return s.isValid() ? s : QSize(84, 28);
}

}  // namespace ui
