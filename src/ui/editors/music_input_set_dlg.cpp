#include "ui/editors/music_input_set_dlg.h"

#include <QRadioButton>

#include "core/session.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"

namespace ui {

CDialogMusicInputSet::CDialogMusicInputSet(PageContext& context, QWidget* parent)
    : CDialogMusicInput(context, ids::kInputSourceSettingsDialog, parent) {
  setObjectName(QStringLiteral("CDialogMusicInputSet"));
}

CDialogMusicInputSet::Descriptor CDialogMusicInputSet::CurrentDescriptor() const {
  const core::link::BoardInfo board = Context().session.Records().Board();
  Descriptor d{};
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = board[i];
  return d;
}

std::uint16_t CDialogMusicInputSet::RowsOf(const Descriptor& d) {
  // Byte 1: rows 0..7; byte 2, bits 0..5: rows 8..13.
  return static_cast<std::uint16_t>(d[1] | ((d[2] & 0x3F) << 8));
}

QString CDialogMusicInputSet::NameOf(const Descriptor& d, int row, const QString& text) {
  QString name = text;
  if (row < 8 && (d[3] >> row) & 1) name = QStringLiteral("Android");
  if ((d[3] & 0x01) && row >= 1 && row <= 4) name = QStringLiteral("HDMI%1").arg(row);
  if (row >= 8 && row <= 13 && (d[4] >> (row - 8)) & 1) name = QStringLiteral("Bluetooth");
  if (row == 11 && !(d[4] & 0x20)) name = QStringLiteral("AUX");
  if (row == 5 && (d[3] & 0xC0) != 0xC0) name = QStringLiteral("SPDIF");
  return name;
}

std::uint16_t CDialogMusicInputSet::KeptRows() const {
  return RowsOf(CurrentDescriptor());
}

void CDialogMusicInputSet::RenameRows() {
  const Descriptor d = CurrentDescriptor();
  for (int k = 0; k < ids::source::kRowCount; ++k) {
    Radio(k)->setText(NameOf(d, k, Radio(k)->text()));
  }
}

}  // namespace ui
