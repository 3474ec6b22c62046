#pragma once

// The numeric ids of the shell's commands and dialogs. The ids of a dialog's
// controls belong to that dialog and live in its own namespace below: the
// same number names different controls in different dialogs (1040 is the
// connect dialog's port label and the output page's EQ panel). Control ids
// also key the language files ("IDD<dialog>_<control>").
namespace ui::ids {

// Dialog templates.
inline constexpr int kAboutDialog = 100;
inline constexpr int kMusicPage = 313;
inline constexpr int kDelayPage = 333;
inline constexpr int kSoundFieldPage = 334;
inline constexpr int kMachineSettingsDialog = 335;
inline constexpr int kInfoDialog = 344;
inline constexpr int kCompressorPage = 346;
inline constexpr int kOutputPage = 385;
inline constexpr int kEffectsPage = 421;
inline constexpr int kConnectDialog = 521;
inline constexpr int kRecordPage = 522;
inline constexpr int kDeviceRemoteDialog = 373;
inline constexpr int kAutoSubDialog = 410;
inline constexpr int kSmartPlugDialog = 479;
inline constexpr int kInputSourceDialog = 512;
inline constexpr int kLoudnessDialog = 515;
inline constexpr int kInputSourceSettingsDialog = 542;
inline constexpr int kSyncDialog = 1217;  // no template of its own: keyed by its bar

// Application menu.
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kAppExit = 57665;
inline constexpr int kAppAbout = 57664;
inline constexpr int kRecentFirst = 57616;

// Tab row.
inline constexpr int kConnectIp = 32938;
inline constexpr int kFeatures = 32887;
inline constexpr int kInputSource = 32922;
inline constexpr int kMachineReset = 32811;
inline constexpr int kRemoteLearning = 32812;
inline constexpr int kLanguageSwitch = 32805;
inline constexpr int kAutoSub = 32883;
inline constexpr int kSmartPlugs = 32771;
// Undo and redo of the pages' edits (tab row; Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y).
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;

// Load and save panels (input category / output category).
inline constexpr int kLoadModeIn = 32815, kLoadModeOut = 32900;
inline constexpr int kLoadFileIn = 32827, kLoadFileOut = 32881;
inline constexpr int kSaveModeIn = 32819, kSaveModeOut = 32904;
inline constexpr int kSaveFileIn = 32828, kSaveFileOut = 32882;
inline constexpr int kLoadModeFirst = 32910;   // M1..M4: 32910..32913
inline constexpr int kStoreModeFirst = 32914;  // M1..M4: 32914..32917
// The machine settings dialog's factory modes M1..M4: 32823..32826.
inline constexpr int kRestoreModeFirst = 32823;

// Status bar.
inline constexpr int kPaneConnection = 120;
inline constexpr int kPaneMode = 121;
inline constexpr int kEqBypass = 1121;
inline constexpr int kEqReset = 1122;

}  // namespace ui::ids

// The notice window (344).
namespace ui::ids::notice {
inline constexpr int kText = 1223;
inline constexpr int kClose = 2;
}  // namespace ui::ids::notice

// The synchronisation and the wait dialog (keyed by their bar, 1217).
namespace ui::ids::progress {
inline constexpr int kBar = 1217;
inline constexpr int kText = 1218;
inline constexpr int kCancel = 3;  // the wait dialog's
}  // namespace ui::ids::progress

// The connect dialog (521).
namespace ui::ids::connect {
inline constexpr int kAddressLabel = 1005;
inline constexpr int kAddress = 1038;
inline constexpr int kPort = 1039;
inline constexpr int kPortLabel = 1040;
inline constexpr int kError = 1006;
inline constexpr int kConnect = 1;
}  // namespace ui::ids::connect

// The about dialog (100).
namespace ui::ids::about {
inline constexpr int kModule = 1005;
inline constexpr int kDsp = 1006;
inline constexpr int kMcu = 1007;
inline constexpr int kChips = 1283;
inline constexpr int kPeak = 1045;
inline constexpr int kOk = 1;
}  // namespace ui::ids::about
