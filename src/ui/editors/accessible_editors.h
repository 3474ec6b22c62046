#pragma once

namespace ui {

// Makes the editor panels known to assistive technology, and the painted
// controls with them (InstallAccessibleControls):
//  - CEqPanel: role Chart, named by the page's accessible name or else its
//    title; its description and value text are the status line (the
//    selected band's index, frequency, Q and gain, or the band count);
//  - CCompressPanelPlus: role Chart, named by the page; its description
//    and value text are the page's summary of the compressor;
//  - CDelayPanel: role Chart, named by the page; its value and description
//    list the eight channels' delays;
//  - CSmallEqPanel: role Button (it opens the effect EQ), named by the
//    page, its press action a click.
// Call it once the QApplication exists and before the first window is
// made; calling it again does nothing.
void InstallAccessibleEditors();

}  // namespace ui
