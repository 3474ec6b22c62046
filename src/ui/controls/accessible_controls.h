#pragma once

#include <QString>

class QWidget;

namespace ui {

// Makes the painted controls of this folder known to assistive technology
// (screen readers and GUI automation through AT-SPI), which sees them
// through QAccessible:
//  - CXBmpSlider: role Slider with a value interface (setting a value is a
//    drag to it and its release) and the increase/decrease actions (an
//    arrow key each);
//  - CGdipButton: role Button, checkable in toggle mode with the alternate
//    face as "checked", greyed reported as unavailable, press/toggle doing
//    what a click does;
//  - CPeakMeterCtrl: role ProgressBar with a read-only value (its level).
// Call it once the QApplication exists and before the first window is
// made; calling it again does nothing (Qt keeps each factory once).
void InstallAccessibleControls();

// The name assistive technology reads for `control`, from the text of the
// label that stands beside it: mnemonic marks removed, a trailing colon and
// surrounding spaces cut, inner runs of spaces made one. Pages call it
// (again after a language switch) for every control whose label is a
// separate widget. A QLabel made the control's buddy (setBuddy, the label
// and the control under the same parent) names it without this call, with
// the label's text as it stands. Controls with a caption of their own (a
// button's text) need neither.
void SetAccessibleLabel(QWidget* control, const QString& label);
// The cleaning SetAccessibleLabel applies; a mnemonic in brackets ("打开(&O)")
// goes with its brackets.
QString AccessibleLabel(const QString& label);

}  // namespace ui
