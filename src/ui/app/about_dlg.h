#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "core/link/device_records.h"
#include "core/link/poll_gate.h"
#include "ui/shell/ui_language.h"

class QCheckBox;
class QLabel;

namespace ui {

// The information dialog (template 100): what the connected processor
// reported, and the "Peak" status-polling switch revealed by Ctrl+Shift+F11.
class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  // `identity` and `chips` only count when `connected`. `chips`: the chip
  // indexes of MIC, Music, CH12, CH34, CH56, CH78.
  CAboutDlg(const UiLanguage& language, bool connected, const core::link::DeviceIdentity& identity,
            const std::array<int, 6>& chips, core::link::PollGate& pollGate,
            QWidget* parent = nullptr);

  // The chip names of the information text; "未知" outside the table.
  static QString MicChip(int index);
  static QString MusicChip(int index);
  static QString OutputChip(int index);
  static std::array<int, 6> ChipsFromStatus(const core::link::DeviceStatus& status);

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  core::link::PollGate& pollGate_;
  QLabel* module_;
  QCheckBox* peak_;
};

}  // namespace ui
