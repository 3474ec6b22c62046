#include "ui/app/app_icon.h"
#include "ui/app/about_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui/shell/command_ids.h"
#include "ui/controls/ctrl_id.h"
#include "ui/app/dialog_style.h"

namespace ui {

namespace {
QString Pick(const char* const* names, int count, int index) {
  if (index < 0 || index >= count || names[index] == nullptr) return QString::fromUtf8("未知");
  return QString::fromUtf8(names[index]);
}
}  // namespace

QString CAboutDlg::MicChip(int index) {
  static const char* const names[] = {"未知", "AK5358", "PCM4202", "AK5720", "CS5381"};
  return Pick(names, 5, index);
}
QString CAboutDlg::MusicChip(int index) {
  static const char* const names[] = {"未知", "NONE", "PCM4202", "AK5720"};
  return Pick(names, 4, index);
}
QString CAboutDlg::OutputChip(int index) {
  static const char* const names[] = {"未知", "AK4396", "CS4398", "耳放板", "PCM1794"};
  return Pick(names, 5, index);
}

std::array<int, 6> CAboutDlg::ChipsFromStatus(const core::link::DeviceStatus& s) {
  return {s[16], s[22], s[20], s[19], s[18], s[17]};
}

CAboutDlg::CAboutDlg(const UiLanguage& language, bool connected, const core::link::DeviceIdentity& identity,
                     const std::array<int, 6>& chips, core::link::PollGate& pollGate,
                     QWidget* parent)
    : QDialog(parent), pollGate_(pollGate), module_(new QLabel(this)), peak_(new QCheckBox(this)) {
  SetDialogBackground(this);
  SetCtrlId(this, ids::kAboutDialog);
  setWindowTitle(QString::fromUtf8("关于 调音软件"));

  auto* icon = new QLabel(this);
  icon->setPixmap(AppIconPixmap(48));
  auto* name = new QLabel(QString::fromUtf8("调音软件_V20_1.4.3_20180731"), this);
  auto* copyright = new QLabel(QStringLiteral("dsptuner 1.4.3"), this);
  auto* dsp = new QLabel(this);
  SetCtrlId(dsp, ids::about::kDsp);
  auto* mcu = new QLabel(this);
  SetCtrlId(mcu, ids::about::kMcu);
  SetCtrlId(module_, ids::about::kModule);
  auto* chipsText = new QLabel(this);
  SetCtrlId(chipsText, ids::about::kChips);
  SetCtrlId(peak_, ids::about::kPeak);
  peak_->setText(QStringLiteral("Peak"));
  auto* ok = new QPushButton(language.Pick("确定", "OK"), this);
  SetCtrlId(ok, ids::about::kOk);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  module_->hide();
  dsp->hide();
  mcu->hide();
  peak_->hide();
  if (connected) {
    module_->setText(QStringLiteral("Module:%1").arg(QString::fromLatin1(identity.ModelName())));
    mcu->setText(QStringLiteral("MCU Ver:%1 CMD Ver:%2")
                     .arg(QString::fromLatin1(identity.McuVersion()))
                     .arg(identity.ProtocolVersion() == core::link::kProtocolVersion ? 1 : 0, 2, 10,
                          QLatin1Char('0')));
    dsp->setText(QStringLiteral("DSP Ver:%1").arg(QString::fromLatin1(identity.DspVersion())));
    mcu->show();
    dsp->show();
    chipsText->setText(QStringLiteral("MIC:%1\nMusic:%2\nCH12:%3\nCH34:%4\nCH56:%5\nCH78:%6 ")
                           .arg(MicChip(chips[0]), MusicChip(chips[1]), OutputChip(chips[2]),
                                OutputChip(chips[3]), OutputChip(chips[4]), OutputChip(chips[5])));
  }
  peak_->setChecked(pollGate_.UserEnabled());
  connect(peak_, &QCheckBox::toggled, this, [this](bool on) { pollGate_.SetUserEnabled(on); });

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(18, 16, 18, 14);
  grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(name, 0, 1);
  grid->addWidget(copyright, 1, 1);
  grid->addWidget(module_, 2, 1);
  grid->addWidget(mcu, 3, 1);
  grid->addWidget(dsp, 4, 1);
  grid->addWidget(chipsText, 5, 1);
  grid->addWidget(peak_, 6, 1);
  grid->addWidget(ok, 7, 1, Qt::AlignRight);
  grid->setColumnStretch(1, 1);
  setMinimumWidth(360);
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F11) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CAboutDlg::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F11) {
    const auto mods = event->modifiers();
    if ((mods & Qt::ControlModifier) && (mods & Qt::ShiftModifier)) {
      module_->show();
      peak_->show();
    }
    event->accept();
    return;
  }
  QDialog::keyReleaseEvent(event);
}

}  // namespace ui
