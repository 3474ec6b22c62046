// The effect EQ page and the input source dialogs against a session on a
// recording USB transport (the frames each gesture sends, undo), and
// against the simulator through the application (the page switched in
// place, the dialog the view opens for a board and model).
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>

#include "app_test_support.h"
#include "core/link/recording_transport.h"
#include "core/session.h"
#include "ui/app/ribbon_bar.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/accessible_editors.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/effects_page.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/music_input_dlg.h"
#include "ui/editors/music_input_set_dlg.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"
#include "ui/shell/ui_language.h"

namespace {

using apptest::AppRig;
using apptest::FakePrompts;
using Bytes = std::vector<std::uint8_t>;
namespace src = ui::ids::source;

// A one-word parameter frame's body: 09 00, module, parameter, 01, word.
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

void Settle() {
  QTest::qWait(0);
  QCoreApplication::processEvents();
}

// A session on a recording USB link, with a page context and nothing else.
struct Rig {
  explicit Rig(int language = 0) {
    session.Link().SetTransport(core::link::LinkType::Usb, &usb);
    session.Link().State().open = true;
    session.SetSynchronousSends(true);
    usb.SetOnWrite([this](const auto&) { session.Link().ReplyReceived(); });
    lang.SetLanguage(language);
    lang.LoadFile();
  }
  ui::CDialogEfx& Open(int type) {
    page = std::make_unique<ui::CDialogEfx>(context, nullptr, type);
    page->resize(1100, 600);
    page->show();
    usb.Clear();
    return *page;
  }
  // Parameter and band frames (09 ..) since the last Clear.
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
  template <typename T = QWidget>
  T* Ctrl(QWidget* root, int id) {
    return qobject_cast<T*>(ui::FindCtrl(root, id));
  }

  core::Session session;
  core::link::RecordingTransport usb{core::link::LinkType::Usb};
  ui::UiLanguage lang;
  FakePrompts prompts;
  ui::PageState state;
  std::vector<std::pair<int, int>> pagesShown;
  ui::PageContext context{session, lang, prompts, state, {}, {}, [this](int dialog, int sub) {
                            pagesShown.emplace_back(dialog, sub);
                          }};
  std::unique_ptr<ui::CDialogEfx> page;
};

std::vector<std::pair<int, int>> BandTargets(int module, int first) {
  std::vector<std::pair<int, int>> t;
  for (int b = 0; b < 7; ++b) t.emplace_back(module, first + b);
  return t;
}

}  // namespace

class EffectsSourcesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::InstallAccessibleEditors(); }
  void bypassAndResetReachTheTypesEq_data();
  void bypassAndResetReachTheTypesEq();
  void retargetShowsTheNewTypeInTheSameWindow();
  void typedFrequencyIsClampedAndUndone();
  void backGoesToTheRememberedTab();
  void sourceRadioAndSliderSendAndUndo();
  void templatesKeepTheirRows();
  void inputSetLaysOutFromTheDescriptor();
  void viewOpensTheDialogOfTheBoardAndModel();
  void everyControlIsNamed();
};

void EffectsSourcesTest::bypassAndResetReachTheTypesEq_data() {
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("module");
  QTest::addColumn<int>("bypass");
  QTest::addColumn<int>("firstBand");
  QTest::newRow("reverb A") << 0 << 3 << 7 << 0;
  QTest::newRow("reverb B") << 1 << 3 << 19 << 12;
  QTest::newRow("echo A") << 2 << 2 << 7 << 0;
  QTest::newRow("echo B") << 3 << 2 << 21 << 14;
}

void EffectsSourcesTest::bypassAndResetReachTheTypesEq() {
  QFETCH(int, type);
  QFETCH(int, module);
  QFETCH(int, bypass);
  QFETCH(int, firstBand);
  Rig rig;
  ui::CDialogEfx& page = rig.Open(type);
  QVERIFY(!page.EqBypassed());
  page.ToggleEqBypass();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(module, bypass, 1)});
  QVERIFY(page.EqBypassed());
  QCOMPARE(page.Bands().Panel()->Bypassed(), 1);
  // A selected band is let go; the seven bands of this EQ alone go out flat.
  page.Bands().Select(3);
  rig.usb.Clear();
  page.ResetShownEq();
  QCOMPARE(rig.Targets(), BandTargets(module, firstBand));
  QCOMPARE(page.Bands().Selected(), -1);
  QVERIFY(page.Bands().Grid()->isVisibleTo(&page));
  // Each is one step: undoing the reset, then the bypass, on this page.
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{2});
  rig.session.History().Undo();
  rig.usb.Clear();
  const auto origin = rig.session.History().Undo();
  QVERIFY(origin.has_value());
  QCOMPARE(origin->dialog, ui::ids::kEffectsPage);
  QCOMPARE(origin->sub, type);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(module, bypass, 0)});
  QVERIFY(!page.EqBypassed());
  QCOMPARE(page.Bands().Panel()->Bypassed(), 0);
}

void EffectsSourcesTest::retargetShowsTheNewTypeInTheSameWindow() {
  Rig rig(1);
  // Band 2 of echo B at 1000 Hz, +6 dB, Q 2; of reverb A at 250 Hz.
  rig.session.Eq().SendEqBand(3, 1, 1, 1000, 6.0f, 2.0f);
  rig.session.Eq().SendEqBand(4, 1, 1, 250, 0.0f, 1.0f);
  ui::CDialogEfx& page = rig.Open(0);
  auto* grid = rig.Ctrl<ui::CGridListCtrl>(&page, ui::BandEditor::kGrid);
  QCOMPARE(grid->GetItemText(1, 3), QStringLiteral("250Hz"));
  page.Bands().Select(1);
  page.Reselect(3);
  QCOMPARE(page.EffectType(), 3);
  QCOMPARE(page.Sub(), 3);
  QCOMPARE(page.Bands().Selected(), -1);
  QVERIFY(grid->isVisibleTo(&page));
  QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("PEQ"));
  QCOMPARE(grid->GetItemText(1, 2), QStringLiteral("+6.0dB"));
  QCOMPARE(grid->GetItemText(1, 3), QStringLiteral("1000Hz"));
  QCOMPARE(grid->GetItemText(1, 4), QStringLiteral("2.00"));
  QCOMPARE(page.Bands().Panel()->Bands().BandCount(), 7);
  QCOMPARE(rig.Ctrl<QLabel>(&page, ui::ids::effects::kTitle)->accessibleName(),
           QStringLiteral("Echo B"));
  // A band edited now goes to echo B, band parameter 14 + 1.
  page.Bands().Select(1);
  auto* gain = rig.Ctrl<QLineEdit>(&page, ui::BandEditor::kGainEdit);
  gain->setText(QStringLiteral("-3dB"));
  QTest::keyClick(gain, Qt::Key_Return);
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{2, 15}}));
}

void EffectsSourcesTest::typedFrequencyIsClampedAndUndone() {
  Rig rig;
  ui::CDialogEfx& page = rig.Open(1);
  const float before = page.Bands().Panel()->Band(0).frequency;
  QVERIFY(before > 20.0f && before < 20000.0f);
  page.Bands().Select(0);
  auto* freq = rig.Ctrl<QLineEdit>(&page, ui::BandEditor::kFrequencyEdit);
  freq->setText(QStringLiteral("25000"));
  QTest::keyClick(freq, Qt::Key_Return);
  QCOMPARE(page.Bands().Panel()->Band(0).frequency, 20000.0f);
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{3, 12}}));
  freq->setText(QStringLiteral("5"));
  QTest::keyClick(freq, Qt::Key_Return);
  QCOMPARE(page.Bands().Panel()->Band(0).frequency, 20.0f);
  // Two steps; undoing both brings reverb B's first band back.
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{2});
  rig.session.History().Undo();
  rig.session.History().Undo();
  page.Reload();
  QCOMPARE(page.Bands().Panel()->Band(0).frequency, before);
}

void EffectsSourcesTest::backGoesToTheRememberedTab() {
  Rig rig;
  rig.state.micTab = 1;
  ui::CDialogEfx& page = rig.Open(2);
  QTest::mouseClick(&page.BackButton(), Qt::LeftButton);
  QCOMPARE(rig.pagesShown, (std::vector<std::pair<int, int>>{{ui::ids::kMusicPage, 1}}));
  QCOMPARE(page.BackButton().text(), QStringLiteral("返回"));
}

void EffectsSourcesTest::sourceRadioAndSliderSendAndUndo() {
  Rig rig;
  rig.session.Params().SetParam(4, 23, 11);
  rig.session.Params().SetParam(4, 30, 50);  // source 6 at 50 %
  ui::CDialogMusicInput dialog(rig.context, 512);
  dialog.Refresh();
  dialog.show();
  rig.usb.Clear();
  QVERIFY(dialog.Radio(11)->isChecked());
  QCOMPARE(dialog.Slider(6)->GetPos(), 50);
  QCOMPARE(dialog.Text(6)->text(), QStringLiteral("50%"));
  QCOMPARE(ui::CtrlId(dialog.Slider(6)), 1262);
  QCOMPARE(ui::CtrlId(dialog.Slider(11)), 1052);

  QTest::mouseClick(dialog.Radio(6), Qt::LeftButton);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(4, 23, 6)});
  rig.usb.Clear();
  QTest::keyClick(dialog.Slider(6), Qt::Key_Right);
  Settle();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(4, 30, 0x3F028F5E)});  // 0.51
  QCOMPARE(dialog.Text(6)->text(), QStringLiteral("51%"));

  // The wheel over another row turns the focused slider: one notch, one step.
  rig.usb.Clear();
  dialog.Slider(6)->setFocus();
  QWheelEvent notch(QPointF(5, 5), dialog.Radio(0)->mapToGlobal(QPointF(5, 5)), QPoint(),
                    QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(dialog.Radio(0), &notch);
  Settle();
  QCOMPARE(dialog.Slider(6)->GetPos(), 52);
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{4, 30}}));
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{3});
  rig.session.History().Undo();

  // Undo: the level, then the source, each as one step made in 512.
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{2});
  rig.usb.Clear();
  const auto level = rig.session.History().Undo();
  QVERIFY(level.has_value());
  QCOMPARE(level->dialog, 512);
  QCOMPARE(level->control, 1262);
  const auto source = rig.session.History().Undo();
  QVERIFY(source.has_value());
  QCOMPARE(source->control, src::kRadioFirst + 6);
  QCOMPARE(rig.ParamFrames(), (std::vector<Bytes>{Param(4, 30, 0x3F000002), Param(4, 23, 11)}));
  dialog.Refresh();
  QVERIFY(dialog.Radio(11)->isChecked());
  QCOMPARE(dialog.Slider(6)->GetPos(), 50);
}

void EffectsSourcesTest::templatesKeepTheirRows() {
  Rig rig(1);
  struct Case {
    int templateId;
    std::vector<int> rows;
    std::vector<const char*> names;
  };
  const Case cases[] = {
      {512,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
       {"HDMI1", "HDMI2", "HDMI3", "HDMI4", "HDMI5", "SPDIF1", "SPDIF2", "SPDIF3", "COAX1", "COAX2",
        "COAX3", "AUX1", "AUX2", "AUX3"}},
      {528, {5, 8, 11}, {"SPDIF", "COAX", "AUX"}},
      {541, {5, 11, 12, 13}, {"SPDIF", "AUX", "Android", "Bluetooth"}},
      {527, {0, 1, 2, 3}, {"HDMI1", "HDMI2", "HDMI3", "HDMI4"}},
  };
  for (const Case& c : cases) {
    ui::CDialogMusicInput dialog(rig.context, c.templateId);
    dialog.Refresh();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Source setting"));
    std::vector<int> kept;
    std::vector<QString> names;
    for (int k = 0; k < src::kRowCount; ++k) {
      if (!dialog.RowKept(k)) {
        QVERIFY(dialog.Radio(k)->isHidden() && dialog.Slider(k)->isHidden());
        continue;
      }
      kept.push_back(k);
      names.push_back(dialog.Radio(k)->text());
    }
    QCOMPARE(kept, c.rows);
    std::vector<QString> expected;
    for (const char* n : c.names) expected.push_back(QString::fromLatin1(n));
    QCOMPARE(names, expected);
  }
  // The NR1.5 speaking protocol 20 also has source 5.
  core::link::DeviceIdentity id = rig.session.Records().Identity();
  id.SetModelName("NR1.5");
  id.SetProtocolVersion(20);
  rig.session.Records().SetIdentity(id);
  ui::CDialogMusicInput nr15(rig.context, 527);
  nr15.Refresh();
  QVERIFY(nr15.RowKept(5));
  QCOMPARE(nr15.Radio(5)->text(), QStringLiteral("SPDIF"));
}

void EffectsSourcesTest::inputSetLaysOutFromTheDescriptor() {
  Rig rig(1);
  // Rows 0, 1, 5 (byte 1) and 8, 11 (byte 2); row 0 Android with rows 1..4
  // named HDMI (byte 3 bit 0); row 8 Bluetooth (byte 4 bit 0).
  rig.session.Records().SetBoard({0x55, 0x23, 0x09, 0x01, 0x01, 0x00});
  ui::CDialogMusicInputSet dialog(rig.context);
  dialog.Refresh();
  std::vector<int> kept;
  for (int k = 0; k < src::kRowCount; ++k) {
    if (dialog.RowKept(k)) kept.push_back(k);
    QCOMPARE(dialog.Radio(k)->isHidden(), !dialog.RowKept(k));
    QCOMPARE(dialog.Text(k)->isHidden(), !dialog.RowKept(k));
  }
  QCOMPARE(kept, (std::vector<int>{0, 1, 5, 8, 11}));
  QCOMPARE(dialog.Radio(0)->text(), QStringLiteral("Android"));
  QCOMPARE(dialog.Radio(1)->text(), QStringLiteral("HDMI1"));
  QCOMPARE(dialog.Radio(5)->text(), QStringLiteral("SPDIF"));
  QCOMPARE(dialog.Radio(8)->text(), QStringLiteral("Bluetooth"));
  QCOMPARE(dialog.Radio(11)->text(), QStringLiteral("AUX"));
  // Stacked 35 pixels apart; the window ends 60 below the last row.
  int y = dialog.Radio(0)->y();
  for (int k : {1, 5, 8, 11}) {
    QCOMPARE(dialog.Radio(k)->y(), y + 35);
    y = dialog.Radio(k)->y();
  }
  QCOMPARE(dialog.height(), dialog.Radio(11)->geometry().bottom() + 1 + 60);

  // Both of bits 6 and 7 of byte 3 keep row 5's name; bit 5 of byte 4
  // keeps row 11's.
  rig.session.Records().SetBoard({0x55, 0x20, 0x08, 0xC0, 0x20, 0x00});
  dialog.Refresh();
  QCOMPARE(dialog.Radio(5)->text(), QStringLiteral("SPDIF1"));
  QCOMPARE(dialog.Radio(11)->text(), QStringLiteral("AUX1"));
  QCOMPARE(dialog.height(), dialog.Radio(11)->geometry().bottom() + 1 + 60);
}

void EffectsSourcesTest::viewOpensTheDialogOfTheBoardAndModel() {
  // A "U" board opens the input-set dialog whatever the model.
  sim::ProcessorOptions options;
  options.modelName = "ZR07";
  options.board = {0x55, 0x21, 0x08, 0x00, 0x00, 0x00};
  AppRig rig(options);
  QVERIFY(rig.started);
  rig.Start(1);
  QWidget* button = rig.Frame().Ribbon().Element(ui::ids::kInputSource);
  QVERIFY(button != nullptr);
  QVERIFY(!button->isEnabled());  // no processor yet
  QVERIFY(rig.ConnectAndSync());
  rig.View().UpdateStatus();
  QVERIFY(button->isEnabled());
  rig.View().OnCommand(ui::ids::kInputSource);
  auto* set = qobject_cast<ui::CDialogMusicInputSet*>(
      rig.app->Dialog(ui::ModelessDialog::InputSourceSettings));
  QVERIFY(set != nullptr);
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::InputSource) == nullptr);
  QVERIFY(set->isVisible());
  QVERIFY(set->RowKept(0) && set->RowKept(5) && set->RowKept(11));
  QVERIFY(!set->RowKept(12));
  // A choice reaches the processor; undone from the main window, the page
  // stays and the dialog shows the source again.
  QWidget* pageBefore = rig.View().CurrentPage();
  const int sourceBefore = rig.session.Params().Mirror(4, 23).AsInt();
  QVERIFY(sourceBefore != 5 && set->Radio(sourceBefore)->isChecked());
  // On the radio's mark: its short name leaves the middle of the row empty.
  QTest::mouseClick(set->Radio(5), Qt::LeftButton, {}, QPoint(8, set->Radio(5)->height() / 2));
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(4, 23) == 5u; }, 3000));
  rig.View().OnCommand(ui::ids::kEditUndo);
  QCOMPARE(rig.View().CurrentPage(), pageBefore);
  QVERIFY(QTest::qWaitFor(
      [&] { return rig.LastParamWord(4, 23) == static_cast<std::uint32_t>(sourceBefore); }, 3000));
  QVERIFY(set->Radio(sourceBefore)->isChecked());

  // The effect page is switched in place by the view.
  rig.View().ShowPage(ui::ids::kEffectsPage, 0);
  QWidget* effects = rig.View().CurrentPage();
  QVERIFY(qobject_cast<ui::CDialogEfx*>(effects) != nullptr);
  rig.View().ShowPage(ui::ids::kEffectsPage, 3);
  QCOMPARE(rig.View().CurrentPage(), effects);
  QCOMPARE(qobject_cast<ui::CDialogEfx*>(effects)->EffectType(), 3);
}

void EffectsSourcesTest::everyControlIsNamed() {
  for (int language : {0, 1}) {
    Rig rig(language);
    rig.Open(0);
    ui::CDialogMusicInput dialog(rig.context, 512);
    dialog.Refresh();
    dialog.show();
    for (QWidget* root : {static_cast<QWidget*>(rig.page.get()), static_cast<QWidget*>(&dialog)}) {
      int named = 0;
      for (QWidget* w : root->findChildren<QWidget*>()) {
        if (ui::CtrlId(w) < 0) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a != nullptr);
        auto* label = qobject_cast<QLabel*>(w);
        if (label != nullptr && label->pixmap().isNull() && label->text().isEmpty()) continue;
        QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(),
                 qPrintable(QStringLiteral("control %1 (%2) has no name")
                                .arg(ui::CtrlId(w))
                                .arg(QString::fromLatin1(w->metaObject()->className()))));
        ++named;
      }
      QVERIFY(named > 15);
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(dialog.Slider(0))->text(QAccessible::Name),
             language == 0 ? QStringLiteral("HDMI1 电平") : QStringLiteral("HDMI1 level"));
  }
}

QTEST_MAIN(EffectsSourcesTest)
#include "effects_sources_test.moc"
