// The mic and music page against a session on a recording USB transport:
// the frames of the routing radios, the effect list and its slider, the
// band editor; the tabs, the inputs a model has, the meters and the
// previews; undo of a slider gesture; accessible names.
#include "ui/editors/music_page.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>

#include "app_test_support.h"
#include "core/link/recording_transport.h"
#include "core/params/device_image.h"
#include "core/session.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/peak_meter_ctrl.h"
#include "ui/controls/report_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/accessible_editors.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/small_eq_panel.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"
#include "ui/shell/ui_language.h"

namespace {

using apptest::FakePrompts;
using Bytes = std::vector<std::uint8_t>;
namespace mu = ui::ids::music;

// A parameter frame's body: 09 00, module, parameter, one word.
Bytes Param(int module, int param, std::uint32_t word) {
  return {0x09,
          0x00,
          static_cast<std::uint8_t>(module),
          static_cast<std::uint8_t>(param),
          0x01,
          static_cast<std::uint8_t>(word >> 24),
          static_cast<std::uint8_t>(word >> 16),
          static_cast<std::uint8_t>(word >> 8),
          static_cast<std::uint8_t>(word)};
}

struct PageRig {
  explicit PageRig(int language = 0) {
    session.Link().SetTransport(core::link::LinkType::Usb, &usb);
    session.Link().State().open = true;
    session.SetSynchronousSends(true);
    usb.SetOnWrite([this](const auto&) { session.Link().ReplyReceived(); });
    lang.SetLanguage(language);
    lang.LoadFile();
  }
  ui::CDialogMusic& Open(int tab) {
    page = std::make_unique<ui::CDialogMusic>(context, nullptr, tab);
    page->resize(1180, 620);
    page->show();
    usb.Clear();
    return *page;
  }
  template <typename T = QWidget>
  T* Ctrl(int id) {
    return qobject_cast<T*>(ui::FindCtrl(page.get(), id));
  }
  std::vector<Bytes> ParamFrames() const {
    std::vector<Bytes> frames;
    for (const Bytes& b : usb.Bodies()) {
      if (!b.empty() && b[0] == 0x09) frames.push_back(b);
    }
    return frames;
  }
  std::vector<std::pair<int, int>> Targets() const {
    std::vector<std::pair<int, int>> t;
    for (const Bytes& b : ParamFrames()) t.emplace_back(b[2], b[3]);
    return t;
  }
  void SetModel(const char* name) {
    core::link::DeviceIdentity id = session.Records().Identity();
    id.SetModelName(name);
    session.Records().SetIdentity(id);
  }

  core::Session session;
  core::link::RecordingTransport usb{core::link::LinkType::Usb};
  ui::UiLanguage lang;
  FakePrompts prompts;
  ui::PageState state;
  std::vector<std::pair<int, int>> pagesShown;
  ui::PageContext context{session,
                          lang,
                          prompts,
                          state,
                          [](const QString&, int) {},
                          [](const ui::LinkOptions&) { return true; },
                          [this](int dialog, int sub) { pagesShown.emplace_back(dialog, sub); }};
  std::unique_ptr<ui::CDialogMusic> page;
};

// The slider posts its notices: let them arrive.
void Settle() {
  QTest::qWait(0);
  QCoreApplication::processEvents();
}

void DragTo(ui::CXBmpSlider* slider, int position) {
  slider->DragTo(position);
  Settle();
}

}  // namespace

class MusicPageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::InstallAccessibleEditors(); }
  void channelBForMic2SendsBothWords();
  void tabsRowsAndDisabledEffects();
  void modelZr07ShowsFourInputs();
  void reverbTimeRowShowsMsSendsPosition();
  void frequencyShiftPositions();
  void typedFrequencyIsClamped();
  void sliderGestureIsOneUndoStep();
  void metersAndStreamFormat();
  void previewsOpenTheEffectPage();
  void everyControlIsNamed();
};

void MusicPageTest::channelBForMic2SendsBothWords() {
  PageRig rig;
  rig.Open(0);
  QRadioButton* chB = rig.Ctrl<QRadioButton>(mu::kChannelBFirst + 2);  // 1193: mic 2 "CH B"
  QVERIFY(chB != nullptr);
  QCOMPARE(chB->text(), QStringLiteral("通道B"));
  QTest::mouseClick(chB, Qt::LeftButton);
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(1, 35, 0x00000000), Param(1, 62, 0x3F800001)}));
  QVERIFY(!rig.session.Mics().RoutedToA(1));
  rig.page->Reload();
  QVERIFY(chB->isChecked());
  QVERIFY(!rig.Ctrl<QRadioButton>(mu::kChannelAFirst + 2)->isChecked());
}

void MusicPageTest::tabsRowsAndDisabledEffects() {
  PageRig rig;
  rig.Open(2);
  ui::CGridListCtrl* grid = rig.Ctrl<ui::CGridListCtrl>(ui::BandEditor::kGrid);
  QCOMPARE(grid->RowCount(), 10);
  QVERIFY(!rig.page->EchoTypeRadio(0)->isEnabled());
  QVERIFY(!rig.page->EchoTypeRadio(1)->isEnabled());
  QVERIFY(!rig.page->EffectList()->isEnabled());
  QVERIFY(!rig.page->EffectSlider()->isEnabled());
  QCOMPARE(rig.page->Bands().Panel()->Kind(), 6);
  QCOMPARE(rig.page->Bands().RowTextColour(), QColor(255, 200, 0));
  QVERIFY(rig.page->TabButton(2)->IsAltShown());

  // The mic B tab button: fifteen rows, effects enabled, remembered.
  QTest::mouseClick(rig.page->TabButton(1), Qt::LeftButton);
  QCOMPARE(rig.page->Tab(), 1);
  QCOMPARE(rig.state.micTab, 1);
  QCOMPARE(grid->RowCount(), 15);
  QVERIFY(rig.page->EchoTypeRadio(1)->isEnabled());
  QVERIFY(rig.page->EffectList()->isEnabled());
  QCOMPARE(rig.page->Bands().Panel()->Kind(), 1);
  QVERIFY(!rig.page->TabButton(2)->IsAltShown());

  // Echo "Stereo" on tab 1 sends (2, 22) = 1; tab 0 sends (2, 8).
  rig.usb.Clear();
  QTest::mouseClick(rig.page->EchoTypeRadio(1), Qt::LeftButton);
  rig.page->Reselect(0);
  QTest::mouseClick(rig.page->EchoTypeRadio(1), Qt::LeftButton);
  QCOMPARE(rig.ParamFrames(), (std::vector<Bytes>{Param(2, 22, 1), Param(2, 8, 1)}));
}

void MusicPageTest::modelZr07ShowsFourInputs() {
  PageRig rig;
  rig.Open(0);
  QVERIFY(rig.Ctrl(mu::kNoiseGateFirst + 1)->isVisibleTo(rig.page.get()));
  QVERIFY(!rig.Ctrl(mu::kNoiseGateFirst + 2)->isVisibleTo(rig.page.get()));
  QVERIFY(!rig.Ctrl(mu::kMicMeterFirst + 3)->isVisibleTo(rig.page.get()));
  rig.SetModel("ZR07");
  rig.page->Reload();
  for (int id : {mu::kNoiseGateFirst + 3, mu::kVolumeFirst + 3, mu::kMicMeterFirst + 3,
                 mu::kChannelAFirst + 6, mu::kMicNameFirst + 2}) {
    QVERIFY2(rig.Ctrl(id)->isVisibleTo(rig.page.get()), qPrintable(QString::number(id)));
  }
  // Four inputs still fit the smallest page area (1024 x 520).
  const QSize least = rig.page->minimumSizeHint();
  QVERIFY2(least.width() <= 1024 && least.height() <= 520,
           qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
  // The noise gate of mic 4 sends its own parameter, in ten-thousandths.
  rig.usb.Clear();
  DragTo(rig.Ctrl<ui::CXBmpSlider>(mu::kNoiseGateFirst + 3), 50);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(1, 11, 0x3BA3D70A)});  // 0.005f
  QCOMPARE(rig.Ctrl<QLabel>(1158)->text(), QStringLiteral("50"));
}

void MusicPageTest::reverbTimeRowShowsMsSendsPosition() {
  PageRig rig;
  rig.session.Params().SetParam(3, 10, 0);
  rig.Open(0);
  ui::CReportCtrl* list = rig.page->EffectList();
  QCOMPARE(list->ItemCount(), 9);
  QCOMPARE(list->GetItemText(2, 1), QStringLiteral("混响时长"));
  QCOMPARE(list->GetItemText(2, 2), QStringLiteral("40ms"));
  rig.page->SelectEffectRow(2);
  QCOMPARE(rig.Ctrl<QLabel>(mu::kEffectName)->text(), QStringLiteral("混响时长"));
  QCOMPARE(rig.page->EffectSlider()->Maximum(), 100);
  QCOMPARE(rig.page->EffectSlider()->GetPos(), 0);
  QCOMPARE(rig.Ctrl<QLineEdit>(mu::kEffectValue)->text(), QStringLiteral("40ms"));
  DragTo(rig.page->EffectSlider(), 100);
  QCOMPARE(list->GetItemText(2, 2), QStringLiteral("5000ms"));
  QCOMPARE(rig.Ctrl<QLineEdit>(mu::kEffectValue)->text(), QStringLiteral("5000ms"));
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(3, 10, 0x3F800001), Param(3, 11, 0x3F800001)}));
  // On the mic B tab the same row edits set B, one arrow key at a time.
  rig.page->SwitchTab(1);
  rig.page->SelectEffectRow(2);
  rig.usb.Clear();
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  Settle();
  const int b = rig.session.Params().Mirror(3, 22).AsInt();
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{3, 22}, {3, 23}}));
  QCOMPARE(rig.page->EffectSlider()->GetPos(), b);
  QCOMPARE(list->SelectedRow(), 2);  // the key stepped the slider, not the selection
  // A wheel notch up over the list (the list focused) steps it back up.
  rig.usb.Clear();
  const QPoint over = list->viewport()->rect().center();
  QWheelEvent wheel(over, list->viewport()->mapToGlobal(over), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(list->viewport(), &wheel);
  Settle();
  QCOMPARE(rig.page->EffectSlider()->GetPos(), b + 1);
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{3, 22}, {3, 23}}));
}

void MusicPageTest::frequencyShiftPositions() {
  PageRig rig;
  rig.Open(0);
  rig.page->SelectEffectRow(8);
  QCOMPARE(rig.page->EffectSlider()->Minimum(), 1);
  QCOMPARE(rig.page->EffectSlider()->Maximum(), 8);
  DragTo(rig.page->EffectSlider(), 1);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(1, 40, 0x00000001)});
  QCOMPARE(rig.page->EffectList()->GetItemText(8, 2), QStringLiteral("关闭"));
  rig.usb.Clear();
  DragTo(rig.page->EffectSlider(), 2);
  // Switch on; phase step 2pi x 2 / 48000; delay 4800 samples.
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(1, 40, 0x00000000), Param(1, 38, 0x3989421E),
                               Param(1, 39, 0x000012C0)}));
  QCOMPARE(rig.page->EffectList()->GetItemText(8, 2), QStringLiteral("2Hz"));
}

void MusicPageTest::typedFrequencyIsClamped() {
  PageRig rig;
  rig.Open(0);
  rig.page->Bands().Select(3);
  auto* edit = rig.Ctrl<QLineEdit>(ui::BandEditor::kFrequencyEdit);
  edit->setText(QStringLiteral("25000"));
  QTest::keyClick(edit, Qt::Key_Return);
  // Band 4 of mic A is parameter (1, 21); its record holds 20000 Hz.
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{1, 21}}));
  const auto store = rig.session.Params().Store();
  const auto at = static_cast<std::size_t>(core::params::EqBandOffset(0, 3));
  QCOMPARE(store[at + 2], std::uint8_t{0x4E});
  QCOMPARE(store[at + 3], std::uint8_t{0x20});
  QCOMPARE(edit->text(), QStringLiteral("20000Hz"));
}

void MusicPageTest::sliderGestureIsOneUndoStep() {
  PageRig rig;
  rig.session.Params().SetParam(3, 20, 30);
  rig.Open(1);
  rig.page->SelectEffectRow(0);
  ui::CXBmpSlider& slider = *rig.page->EffectSlider();
  QCOMPARE(slider.GetPos(), 30);
  QTest::mousePress(&slider, Qt::LeftButton, {}, slider.ThumbRect().center());
  QTest::mouseMove(&slider, slider.ThumbRect().center() - QPoint(0, 30));
  QTest::mouseMove(&slider, slider.ThumbRect().center() - QPoint(0, 30));
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, slider.ThumbRect().center());
  Settle();
  QVERIFY(slider.GetPos() > 30);
  QVERIFY(rig.ParamFrames().size() >= 2);
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});
  rig.usb.Clear();
  const auto origin = rig.session.History().Undo();
  QVERIFY(origin.has_value());
  QCOMPARE(origin->dialog, ui::ids::kMusicPage);
  QCOMPARE(origin->sub, 1);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(3, 20, 0x3E99999D)});  // 30 %
  rig.page->Reload();
  QCOMPARE(rig.page->EffectList()->GetItemText(0, 2), QStringLiteral("30%"));
  QCOMPARE(slider.GetPos(), 30);
}

void MusicPageTest::metersAndStreamFormat() {
  PageRig rig;
  rig.Open(0);
  core::link::DeviceStatus status{};
  status[0] = 35;
  status[1] = 200;  // above the range: full
  status[4] = 50;
  status[7] = 0x32;  // DTS in the low bits
  rig.session.Records().SetStatus(status);
  rig.page->UpdateStatus();
  QCOMPARE(rig.page->Meter(0)->BandAt(0).value, 35);
  QCOMPARE(rig.page->Meter(0)->LitLeds(0), 8);
  QCOMPARE(rig.page->Meter(1)->LitLeds(0), 15);
  QCOMPARE(rig.page->Meter(4)->LitLeds(0), 12);
  QCOMPARE(rig.Ctrl<QLabel>(mu::kStreamFormat)->text(), QStringLiteral("DTS"));
  status[7] = 0x09;  // unknown: the text stays
  rig.session.Records().SetStatus(status);
  rig.page->UpdateStatus();
  QCOMPARE(rig.Ctrl<QLabel>(mu::kStreamFormat)->text(), QStringLiteral("DTS"));
}

void MusicPageTest::previewsOpenTheEffectPage() {
  PageRig rig;
  rig.session.Params().SetParam(3, 19, 1);  // reverb B bypassed
  rig.Open(1);
  QCOMPARE(rig.page->ReverbPreview()->Bypassed(), 1);
  QCOMPARE(rig.page->EchoPreview()->Bypassed(), 0);
  QCOMPARE(rig.page->ReverbPreview()->CurveColour(), QColor(0x00, 0xDC, 0x00));
  QTest::mouseClick(rig.page->ReverbPreview(), Qt::LeftButton);
  rig.page->SwitchTab(0);
  QTest::mouseClick(rig.page->EchoPreview(), Qt::LeftButton);
  rig.page->SwitchTab(2);
  QCOMPARE(rig.page->ReverbPreview()->Bypassed(), 0);
  QCOMPARE(rig.page->ReverbPreview()->Band(3).frequency, 100.0f);
  QTest::mouseClick(rig.page->EchoPreview(), Qt::LeftButton);
  QCOMPARE(rig.pagesShown, (std::vector<std::pair<int, int>>{{ui::ids::kEffectsPage, 1},
                                                             {ui::ids::kEffectsPage, 2}}));
}

void MusicPageTest::everyControlIsNamed() {
  for (int language : {0, 1}) {
    PageRig rig(language);
    rig.SetModel("ZR07");
    rig.Open(0);
    rig.page->Retext();
    const auto widgets = rig.page->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
      const int id = ui::CtrlId(w);
      if (id < 0 || qobject_cast<QLabel*>(w) != nullptr || qobject_cast<QGroupBox*>(w) != nullptr ||
          w->isHidden()) {
        continue;
      }
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      QVERIFY(a != nullptr);
      QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(),
               qPrintable(QStringLiteral("%1 %2").arg(id).arg(w->metaObject()->className())));
    }
  }
}

QTEST_MAIN(MusicPageTest)
#include "music_page_test.moc"
