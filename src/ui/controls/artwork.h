#pragma once

#include <QPixmap>
#include <QSize>

namespace ui::art {

// Image resource ids the pages use. The pictures are drawn in code, at any
// device pixel ratio, so they stay sharp on HiDPI screens.

// Horizontal slider (levels, compressor, settings): track 131 x 22, thumbs 19 x 9.
inline constexpr int kSliderTrack = 324;
inline constexpr int kSliderThumb = 320;
inline constexpr int kSliderThumbFocused = 369;
inline constexpr int kSliderThumbDisabled = 325;
// Vertical slider (band editor gain, frequency, Q): track 22 x 131, thumbs 9 x 19.
inline constexpr int kVSliderTrack = 448;
inline constexpr int kVSliderThumb = 449;
inline constexpr int kVSliderThumbFocused = 447;
inline constexpr int kVSliderThumbDisabled = 450;

// Button faces. They take the size of the button they are drawn for.
inline constexpr int kPageButton = 414;          // page bar and tab row, normal
inline constexpr int kPageButtonSelected = 395;  // the current page, tab or mode
inline constexpr int kDialogButton = 413;        // dialog buttons (Apply, Cancel, modes)
inline constexpr int kBackButton = 397;          // back to the mic and music page

// Delay chart marker, 25 x 22, and the information dialog's picture.
inline constexpr int kDelayMarker = 342;
inline constexpr int kInfoPicture = 345;

// Page titles, 213 x 61. Output channel c (0..7): kOutputTitleZh + 2c in
// Chinese, kOutputTitleEn + 2c in English.
inline constexpr int kOutputTitleZh = 457;
inline constexpr int kOutputTitleEn = 458;
inline constexpr int kRecordTitleZh = 526;
inline constexpr int kRecordTitleEn = 525;
// Effect pages in the order reverb A, reverb B, echo A, echo B.
inline constexpr int kEffectTitleZh[4] = {367, 393, 362, 391};
inline constexpr int kEffectTitleEn[4] = {407, 408, 403, 404};

// The page background every picture is drawn to sit on: RGB 240, 250, 255.
QColor PageBackground();

// True when the id names a picture of this set.
bool HasArtwork(int id);

// The size of the picture in logical pixels (the size a page lays out with);
// an empty size for an unknown id.
QSize ArtworkSize(int id);

// True for faces that are drawn at whatever size they are asked for.
bool IsResizable(int id);

// The picture at `devicePixelRatio`, its devicePixelRatio set so it paints at
// its logical size. `size` overrides the logical size of resizable faces and
// is ignored for the others. A null pixmap for an unknown id.
QPixmap LoadArtwork(int id, qreal devicePixelRatio = 1.0, QSize size = QSize());

}  // namespace ui::art
