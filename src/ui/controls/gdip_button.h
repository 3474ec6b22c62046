#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QTimer>

namespace ui {

// The image push button of the page bars, tab rows and dialogs: a standard
// and an alternate face, each with pressed and hover variants, a greyscale
// variant, and a caption drawn over the face.
class CGdipButton : public QAbstractButton {
  Q_OBJECT

 public:
  enum class Face {
    kNone,  // no standard image: the button draws nothing
    kStandard,
    kStandardPressed,
    kStandardHover,
    kGrey,
    kAlternate,
    kAlternatePressed,
    kAlternateHover,
  };

  explicit CGdipButton(QWidget* parent = nullptr);

  // Faces by artwork id; false (and no face) for an unknown id.
  bool LoadStdImage(int id);
  bool LoadAltImage(int id);
  bool HasAltImage() const { return altId_ >= 0; }

  // The alternate face is the current one (the pages set it on the button of
  // the current page, tab or mode).
  void SetAltImage(bool shown);
  bool IsAltShown() const { return altShown_; }
  // Toggle mode: every click flips the alternate-shown flag.
  void SetToggle(bool toggle);
  bool IsToggle() const { return toggle_; }
  void SetGreyed(bool greyed);
  bool IsGreyed() const { return greyed_; }

  void SetCaptionFont(const QFont& font);
  const QFont& CaptionFont() const { return font_; }
  void SetTextColor(const QColor& colour);
  QColor TextColor() const { return textColour_; }
  // Shown 2 s after the mouse comes over the button; empty: no tooltip.
  void SetTooltipText(const QString& text);
  QString TooltipText() const { return tooltip_; }
  // The owner's pixels under the button, drawn beneath every face. Without
  // one the parent shows through the face's transparent parts.
  void SetBackgroundSnapshot(const QPixmap& snapshot);

  bool IsHovering() const { return hover_; }
  // The face the button shows in its current state.
  Face CurrentFace() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void nextCheckState() override;
  void changeEvent(QEvent* event) override;

 private:
  void Invalidate();
  void BuildVariants();

  int stdId_ = -1;
  int altId_ = -1;
  bool altShown_ = false;
  bool toggle_ = false;
  bool greyed_ = false;
  bool hover_ = false;
  QFont font_;
  QColor textColour_{Qt::black};
  QString tooltip_;
  QTimer tooltipTimer_;
  QPixmap snapshot_;

  // The variants for the size and pixel ratio they were built for.
  QSize variantsSize_;
  qreal variantsRatio_ = 0;
  QPixmap standard_, standardHover_, grey_, alternate_, alternatePressed_, alternateHover_;
};

}  // namespace ui
