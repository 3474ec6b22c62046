// The painted controls, the editor panels and the ribbon's master controls
// as assistive technology sees them (QAccessible, which AT-SPI serves to
// screen readers and GUI automation). Offscreen.
#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "app_test_support.h"
#include "ui/controls/accessible_controls.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/peak_meter_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/accessible_editors.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/small_eq_panel.h"

using ui::CGdipButton;
using ui::CXBmpSlider;

namespace {

constexpr int kId = 1041;

void Flush() { QCoreApplication::processEvents(); }

QAccessibleInterface* Iface(QObject* object) {
  return QAccessible::queryAccessibleInterface(object);
}
QString Name(QObject* object) { return Iface(object)->text(QAccessible::Name); }

// A level-style slider on a shown page, 0..100 at 50 unless told.
struct SliderFixture {
  QWidget page;
  CXBmpSlider* slider;
  explicit SliderFixture(bool vertical, int position = 50) {
    page.resize(200, 200);
    slider = new CXBmpSlider(&page);
    ui::SetCtrlId(slider, kId);
    if (vertical) {
      slider->UseVerticalStyle();
    } else {
      slider->UseHorizontalStyle();
    }
    slider->SetRange(100, 0);
    slider->SetPos(position);
    slider->move(10, 10);
    slider->resize(slider->sizeHint());
    page.show();
    page.activateWindow();
    (void)QTest::qWaitForWindowActive(&page);
  }
};

// The slider's move and release notifications in the order the page gets them.
struct SliderLog {
  QObject context;
  QStringList entries;
  explicit SliderLog(CXBmpSlider* slider) {
    QObject::connect(slider, &CXBmpSlider::SliderMoved, &context, [this](int id, int pos) {
      entries << QStringLiteral("moved %1 %2").arg(id).arg(pos);
    });
    QObject::connect(slider, &CXBmpSlider::SliderReleased, &context, [this](int id, int pos) {
      entries << QStringLiteral("released %1 %2").arg(id).arg(pos);
    });
  }
};

QStringList MovedReleased(int position) {
  return {QStringLiteral("moved %1 %2").arg(kId).arg(position),
          QStringLiteral("released %1 %2").arg(kId).arg(position)};
}

// The button's signals in order, as the page's connections see them.
struct ButtonLog {
  QObject context;
  QStringList entries;
  explicit ButtonLog(CGdipButton* b) {
    QObject::connect(b, &QAbstractButton::pressed, &context, [this] { entries << "pressed"; });
    QObject::connect(b, &QAbstractButton::released, &context, [this] { entries << "released"; });
    QObject::connect(b, &QAbstractButton::toggled, &context,
                     [this](bool on) { entries << QStringLiteral("toggled %1").arg(on); });
    QObject::connect(b, &QAbstractButton::clicked, &context,
                     [this](bool on) { entries << QStringLiteral("clicked %1").arg(on); });
  }
};

struct ButtonFixture {
  QWidget page;
  CGdipButton* button;
  ButtonFixture() {
    page.resize(200, 100);
    button = new CGdipButton(&page);
    button->LoadStdImage(ui::art::kPageButton);
    button->LoadAltImage(ui::art::kPageButtonSelected);
    button->setGeometry(10, 10, 84, 28);
    page.show();
  }
};

}  // namespace

class AccessibleControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    ui::InstallAccessibleEditors();
    ui::InstallAccessibleEditors();  // a second call changes nothing
  }

  // ---- CXBmpSlider ----------------------------------------------------------

  void sliderNameRoleAndValue() {
    SliderFixture f(false, 37);
    QAccessibleInterface* iface = Iface(f.slider);
    QVERIFY(iface != nullptr);
    QCOMPARE(iface->role(), QAccessible::Slider);
    QVERIFY(Name(f.slider).isEmpty());
    // A label made the slider's buddy names it, as the label reads.
    auto* label = new QLabel(QString::fromUtf8("增益:"), &f.page);
    label->setBuddy(f.slider);
    QCOMPARE(Name(f.slider), QString::fromUtf8("增益:"));
    // The page's name wins.
    ui::SetAccessibleLabel(f.slider, QStringLiteral("&Gain:"));
    QCOMPARE(Name(f.slider), QStringLiteral("Gain"));
    QAccessibleValueInterface* value = iface->valueInterface();
    QVERIFY(value != nullptr);
    QCOMPARE(value->currentValue().toInt(), 37);
    QCOMPARE(value->minimumValue().toInt(), 0);
    QCOMPARE(value->maximumValue().toInt(), 100);
    QCOMPARE(value->minimumStepSize().toInt(), 1);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("37"));
    f.slider->SetEnabled(false);
    QVERIFY(iface->state().disabled);
  }

  void accessibleLabel_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::newRow("spaces and colon") << "Mic    Vol: " << "Mic Vol";
    QTest::newRow("colon and trailing spaces") << QString::fromUtf8("混响音量:  ")
                                               << QString::fromUtf8("混响音量");
    QTest::newRow("full-width colon") << QString::fromUtf8("频率：") << QString::fromUtf8("频率");
    QTest::newRow("bracketed mnemonic") << QString::fromUtf8("打开(&O)") << QString::fromUtf8("打开");
    QTest::newRow("inline mnemonic") << "&Gain" << "Gain";
    QTest::newRow("escaped ampersand") << "R&&B" << "R&B";
    QTest::newRow("plain") << QString::fromUtf8("Q值") << QString::fromUtf8("Q值");
  }
  void accessibleLabel() {
    QFETCH(QString, label);
    QFETCH(QString, name);
    QCOMPARE(ui::AccessibleLabel(label), name);
  }

  // Setting the value is a drag to it and its release: the same
  // notifications as the mouse's, after the press's report of the old
  // position, posted as the mouse's are.
  void setValueIsADragAndRelease_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QPoint>("dragTo");
    QTest::addColumn<int>("value");
    // Level style, 0..100: 98 usable pixels, x' = x - 9, v = (x' - 7) / 0.98.
    QTest::newRow("horizontal up to 80") << false << QPoint(95, 8) << 80;
    QTest::newRow("horizontal down to 20") << false << QPoint(36, 8) << 20;
    // Vertical: y' = y - 9, v = 100 - (y' - 7) / 0.98.
    QTest::newRow("vertical up to 75") << true << QPoint(8, 41) << 75;
  }
  void setValueIsADragAndRelease() {
    QFETCH(bool, vertical);
    QFETCH(QPoint, dragTo);
    QFETCH(int, value);

    SliderFixture dragged(vertical);
    SliderLog dragLog(dragged.slider);
    QTest::mousePress(dragged.slider, Qt::LeftButton, Qt::NoModifier,
                      dragged.slider->ThumbRect().center());
    QTest::mouseMove(dragged.slider, dragTo);
    QTest::mouseRelease(dragged.slider, Qt::LeftButton, Qt::NoModifier, dragTo);
    Flush();
    QCOMPARE(dragged.slider->GetPos(), value);

    SliderFixture set(vertical);
    SliderLog setLog(set.slider);
    Iface(set.slider)->valueInterface()->setCurrentValue(value);
    QCOMPARE(set.slider->GetPos(), value);
    QVERIFY(setLog.entries.isEmpty());  // posted, never called from inside
    Flush();

    QCOMPARE(dragLog.entries.first(), QStringLiteral("moved %1 50").arg(kId));
    QCOMPARE(setLog.entries, dragLog.entries.mid(1));
    QCOMPARE(setLog.entries, MovedReleased(value));
    QCOMPARE(Iface(set.slider)->valueInterface()->currentValue().toInt(), value);
  }

  void setValueClampsAndIgnores_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("start");
    QTest::addColumn<QVariant>("set");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("posted");
    QTest::newRow("above the maximum") << true << 50 << QVariant(250) << 100 << MovedReleased(100);
    QTest::newRow("below the minimum") << true << 50 << QVariant(-7) << 0 << MovedReleased(0);
    QTest::newRow("huge value") << true << 50 << QVariant(1e12) << 100 << MovedReleased(100);
    QTest::newRow("fraction rounds") << true << 50 << QVariant(33.6) << 34 << MovedReleased(34);
    QTest::newRow("text of a number") << true << 50 << QVariant(QStringLiteral("61")) << 61
                                      << MovedReleased(61);
    QTest::newRow("same position") << true << 50 << QVariant(50) << 50 << QStringList{};
    QTest::newRow("clamped onto the position") << true << 100 << QVariant(150) << 100
                                               << QStringList{};
    QTest::newRow("disabled") << false << 50 << QVariant(80) << 50 << QStringList{};
    QTest::newRow("not a number") << true << 50 << QVariant(QStringLiteral("loud")) << 50
                                  << QStringList{};
  }
  void setValueClampsAndIgnores() {
    QFETCH(bool, enabled);
    QFETCH(int, start);
    QFETCH(QVariant, set);
    QFETCH(int, position);
    QFETCH(QStringList, posted);
    SliderFixture f(false, start);
    f.slider->SetEnabled(enabled);
    SliderLog log(f.slider);
    Iface(f.slider)->valueInterface()->setCurrentValue(set);
    Flush();
    QCOMPARE(f.slider->GetPos(), position);
    QCOMPARE(log.entries, posted);
    QCOMPARE(Iface(f.slider)->valueInterface()->currentValue().toInt(), position);
  }

  // Increase and decrease are the arrow keys: same position, same
  // notifications (also at an end), nothing when disabled.
  void actionsAreArrowKeys_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("increase");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("posted");
    QTest::newRow("increase") << true << 50 << true << 51 << MovedReleased(51);
    QTest::newRow("decrease") << true << 50 << false << 49 << MovedReleased(49);
    QTest::newRow("decrease at the minimum") << true << 0 << false << 0 << MovedReleased(0);
    QTest::newRow("disabled") << false << 50 << true << 50 << QStringList{};
  }
  void actionsAreArrowKeys() {
    QFETCH(bool, enabled);
    QFETCH(int, start);
    QFETCH(bool, increase);
    QFETCH(int, position);
    QFETCH(QStringList, posted);
    SliderFixture keyed(false, start);
    keyed.slider->SetEnabled(enabled);
    SliderLog keyLog(keyed.slider);
    keyed.slider->setFocus();
    QTest::keyClick(keyed.slider, increase ? Qt::Key_Right : Qt::Key_Left);
    Flush();

    SliderFixture acted(false, start);
    acted.slider->SetEnabled(enabled);
    SliderLog actLog(acted.slider);
    QAccessibleActionInterface* actions = Iface(acted.slider)->actionInterface();
    QVERIFY(actions != nullptr);
    const QString action = increase ? QAccessibleActionInterface::increaseAction()
                                    : QAccessibleActionInterface::decreaseAction();
    QVERIFY(actions->actionNames().contains(action));
    actions->doAction(action);
    Flush();

    QCOMPARE(acted.slider->GetPos(), position);
    QCOMPARE(keyed.slider->GetPos(), position);
    QCOMPARE(actLog.entries, posted);
    QCOMPARE(keyLog.entries, posted);
  }

  // ---- CGdipButton ----------------------------------------------------------

  void buttonName_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("caption") << "CH 1" << "" << "" << "CH 1" << "";
    QTest::newRow("caption with mnemonic") << "&Load" << "" << "" << "Load" << "";
    QTest::newRow("picture with a tooltip") << "" << QString::fromUtf8("复制") << ""
                                            << QString::fromUtf8("复制") << "";
    QTest::newRow("caption and tooltip") << "CH 1" << "Output channel 1" << ""
                                         << "CH 1" << "Output channel 1";
    QTest::newRow("the page's name") << "CH 1" << "" << QString::fromUtf8("输出通道1")
                                     << QString::fromUtf8("输出通道1") << "";
  }
  void buttonName() {
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);
    QFETCH(QString, accessibleName);
    QFETCH(QString, name);
    QFETCH(QString, description);
    ButtonFixture f;
    f.button->setText(caption);
    f.button->SetTooltipText(tooltip);
    f.button->setAccessibleName(accessibleName);
    QCOMPARE(Iface(f.button)->role(), QAccessible::Button);
    QCOMPARE(Name(f.button), name);
    QCOMPARE(Iface(f.button)->text(QAccessible::Description), description);
  }

  // The toggle action is a click: the same signals in the same order, the
  // face flipped; "checked" is the alternate face.
  void toggleActionIsAClick() {
    ButtonFixture clicked;
    clicked.button->SetToggle(true);
    ButtonLog clickLog(clicked.button);
    QTest::mouseClick(clicked.button, Qt::LeftButton);

    ButtonFixture toggled;
    toggled.button->SetToggle(true);
    ButtonLog toggleLog(toggled.button);
    QAccessibleInterface* iface = Iface(toggled.button);
    QVERIFY(iface->state().checkable);
    QVERIFY(!iface->state().checked);
    QVERIFY(iface->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());

    const QStringList expected{"pressed", "toggled 1", "released", "clicked 1"};
    QCOMPARE(clickLog.entries, expected);
    QCOMPARE(toggleLog.entries, expected);
    QVERIFY(toggled.button->IsAltShown());
    QCOMPARE(toggled.button->CurrentFace(), CGdipButton::Face::kAlternate);
    QVERIFY(iface->state().checked);

    // The owner setting the face moves "checked" with it, without a click.
    toggleLog.entries.clear();
    toggled.button->SetAltImage(false);
    QVERIFY(!iface->state().checked);
    toggled.button->SetAltImage(true);
    QVERIFY(iface->state().checked);
    QVERIFY(!toggleLog.entries.contains("clicked 1"));
    QVERIFY(!toggleLog.entries.contains("clicked 0"));
    // Pressed again it goes back, as a second click does.
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(!toggled.button->IsAltShown());
    QVERIFY(!iface->state().checked);
  }

  void pressActionFollowsTheMouse_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("greyed");
    QTest::addColumn<bool>("unavailable");  // the state assistive technology reads
    QTest::addColumn<QStringList>("expected");
    const QStringList click{"pressed", "released", "clicked 0"};
    QTest::newRow("plain") << true << false << false << click;
    // Greyed is a look: the mouse still clicks it, so does the action.
    QTest::newRow("greyed") << true << true << true << click;
    QTest::newRow("disabled") << false << false << true << QStringList{};
  }
  void pressActionFollowsTheMouse() {
    QFETCH(bool, enabled);
    QFETCH(bool, greyed);
    QFETCH(bool, unavailable);
    QFETCH(QStringList, expected);
    ButtonFixture mouse;
    mouse.button->setEnabled(enabled);
    mouse.button->SetGreyed(greyed);
    ButtonLog mouseLog(mouse.button);
    QTest::mouseClick(mouse.button, Qt::LeftButton);

    ButtonFixture acted;
    acted.button->setEnabled(enabled);
    acted.button->SetGreyed(greyed);
    ButtonLog actLog(acted.button);
    QAccessibleInterface* iface = Iface(acted.button);
    QCOMPARE(iface->state().disabled, unavailable);
    QVERIFY(!iface->state().checkable);
    QVERIFY(!iface->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());

    QCOMPARE(mouseLog.entries, expected);
    QCOMPARE(actLog.entries, expected);
    // Not a toggle: the face stays the owner's, and is no "checked".
    QVERIFY(!acted.button->IsAltShown());
    acted.button->SetAltImage(true);
    QVERIFY(!iface->state().checked);
  }

  // ---- CPeakMeterCtrl ---------------------------------------------------------

  void meterShowsItsLevel() {
    QWidget page;
    auto* meter = new ui::CPeakMeterCtrl(&page);
    QAccessibleInterface* iface = Iface(meter);
    QCOMPARE(iface->role(), QAccessible::ProgressBar);
    QCOMPARE(iface->valueInterface()->currentValue().toInt(), 0);  // no bands yet
    meter->UseLevelStyle();
    meter->StopFalloff();
    meter->SetValue(0, 35);
    meter->setAccessibleName(QString::fromUtf8("话筒1电平"));
    QCOMPARE(Name(meter), QString::fromUtf8("话筒1电平"));
    QVERIFY(iface->state().readOnly);
    QAccessibleValueInterface* value = iface->valueInterface();
    QCOMPARE(value->currentValue().toInt(), 35);
    QCOMPARE(value->minimumValue().toInt(), 0);
    QCOMPARE(value->maximumValue().toInt(), 60);
    value->setCurrentValue(10);  // the processor's level, never the user's
    QCOMPARE(value->currentValue().toInt(), 35);
    meter->SetValue(0, 99);
    QCOMPARE(value->currentValue().toInt(), 60);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("60"));
  }

  // ---- CEqPanel and CSmallEqPanel --------------------------------------------------

  void eqPanelNamesItsBand_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("band");  // -1: none selected
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("mic A, no band, zh") << 0 << 0 << -1 << QString::fromUtf8("话筒A均衡")
                                        << QString::fromUtf8("共15个频段");
    QTest::newRow("mic A, no band, en") << 0 << 1 << -1 << "Mic A EQ" << "15 bands";
    QTest::newRow("mic A, band 9, zh")
        << 0 << 0 << 8 << QString::fromUtf8("话筒A均衡")
        << QString::fromUtf8("EQ号=9 频率=1000Hz Q值=1.41 增益=-3.5dB");
    QTest::newRow("CH1, band 6, en") << 7 << 1 << 5 << "CH1 EQ"
                                     << "Index=6 Frequency=1000Hz Q=1.41 Gain=-3.5dB";
    // The output EQ's three hidden sections are not bands to the user.
    QTest::newRow("CH1, no band, zh") << 7 << 0 << -1 << QString::fromUtf8("通道1均衡")
                                      << QString::fromUtf8("共10个频段");
  }
  void eqPanelNamesItsBand() {
    QFETCH(int, kind);
    QFETCH(int, language);
    QFETCH(int, band);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QWidget page;
    auto* panel = new ui::CEqPanel(&page);
    panel->resize(760, 320);
    panel->SetEqKind(kind);
    panel->SetLanguage(language);
    if (band >= 0) {
      panel->SetBandQ(1.41f, band);
      panel->SetBandGain(-3.5f, band);
      panel->SetSelectedBand(band);
    }
    QAccessibleInterface* iface = Iface(panel);
    QCOMPARE(iface->role(), QAccessible::Chart);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Description), description);
    QCOMPARE(iface->text(QAccessible::Value), description);
    panel->setAccessibleName(QStringLiteral("EQ"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("EQ"));
  }

  // The texts are read when asked: they follow the panel's edits.
  void eqPanelTextFollowsEdits() {
    QWidget page;
    auto* panel = new ui::CEqPanel(&page);
    panel->resize(760, 320);
    panel->SetEqKind(0);
    panel->SetBandQ(1.41f, 8);
    QAccessibleInterface* iface = Iface(panel);
    QCOMPARE(iface->text(QAccessible::Description), QString::fromUtf8("共15个频段"));
    panel->SetSelectedBand(8);
    panel->SetBandGain(2.0f, 8);
    QCOMPARE(iface->text(QAccessible::Description),
             QString::fromUtf8("EQ号=9 频率=1000Hz Q值=1.41 增益=+2.0dB"));
    panel->SetLanguage(1);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Mic A EQ"));
    QCOMPARE(iface->text(QAccessible::Description),
             QStringLiteral("Index=9 Frequency=1000Hz Q=1.41 Gain=+2.0dB"));
    panel->SetEqKind(6);  // music
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Music EQ"));
    panel->SetSelectedBand(-1);
    QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("10 bands"));
  }

  void smallEqPanelIsAButton() {
    QWidget page;
    auto* preview = new ui::CSmallEqPanel(&page);
    preview->setAccessibleName(QString::fromUtf8("混响均衡"));
    QSignalSpy clicked(preview, &ui::CSmallEqPanel::Clicked);
    QAccessibleInterface* iface = Iface(preview);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(Name(preview), QString::fromUtf8("混响均衡"));
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicked.count(), 1);
    preview->setEnabled(false);  // a disabled panel gets no mouse either
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicked.count(), 1);
  }

  // ---- The ribbon -------------------------------------------------------------------

  void ribbonMasterControlsAreNamed() {
    struct Master {
      int sliders[2];
      int mutes[2];  // -1: none
      int labels[2];
      const char* zh;
      const char* en;
    };
    const Master masters[] = {
        {{32829, 32858}, {32847, 32859}, {32832, 32857}, "话筒音量", "Mic Vol"},
        {{32830, 32861}, {32939, 32940}, {32833, 32860}, "效果总音量", "Effect Vol"},
        {{32918, 32919}, {32848, 32862}, {32920, 32921}, "混响音量", "Reverb Vol"},
        {{32806, 32864}, {32849, 32865}, {32837, 32863}, "回声音量", "Echo Vol"},
        {{32831, 32867}, {32850, 32868}, {32834, 32866}, "音乐音量", "Music Vol"},
        {{32846, 32879}, {-1, -1}, {32842, 32878}, "音乐噪声门", "Noisegate"},
        {{32841, 32880}, {-1, -1}, {-1, -1}, "音乐变调", "Music Pitch"},
    };
    apptest::AppRig rig;
    rig.Start(0);
    ui::RibbonBar& ribbon = rig.Frame().Ribbon();
    for (int language : {0, 1, 0}) {
      if (rig.settings->Language() != language) rig.View().OnCommand(32805);
      QCOMPARE(rig.settings->Language(), language);
      const bool en = language == 1;
      const QString mute = en ? QStringLiteral("Mute") : QString::fromUtf8("静音");
      for (const Master& m : masters) {
        const QString name = QString::fromUtf8(en ? m.en : m.zh);
        for (int i = 0; i < 2; ++i) {
          QWidget* slider = ribbon.Element(m.sliders[i]);
          QVERIFY(slider != nullptr);
          QCOMPARE(Iface(slider)->role(), QAccessible::Slider);
          QCOMPARE(Name(slider), name);
          if (m.mutes[i] >= 0) {
            QWidget* box = ribbon.Element(m.mutes[i]);
            QCOMPARE(Iface(box)->role(), QAccessible::CheckBox);
            QCOMPARE(Name(box), name + QLatin1Char(' ') + mute);
          }
          if (m.labels[i] >= 0) {
            // The label button reads as it shows: the name and the value.
            QWidget* label = ribbon.Element(m.labels[i]);
            QCOMPARE(Name(label), apptest::LabelText(rig, m.labels[i]));
            QVERIFY2(Name(label).simplified().startsWith(name), qPrintable(Name(label)));
          }
        }
      }
      QCOMPARE(Name(ribbon.AppButton()), en ? QStringLiteral("File") : QString::fromUtf8("文件"));
      QCOMPARE(Name(ribbon.Element(57664)), en ? QStringLiteral("About") : QString::fromUtf8("关于"));
      // Nothing in the ribbon with an id is anonymous.
      for (QWidget* w : ribbon.findChildren<QWidget*>()) {
        if (ui::CtrlId(w) < 0) continue;
        QVERIFY2(!Name(w).trimmed().isEmpty(), qPrintable(QString::number(ui::CtrlId(w))));
      }
    }
  }

  // Qt's own slider interface sets a ribbon slider as a drag does: both
  // copies, the label and the parameter follow.
  void ribbonSliderSetThroughAccessibility() {
    apptest::AppRig rig;
    rig.Start(0);
    rig.Frame().Ribbon().SetActiveCategory(0);
    Iface(apptest::Slider(rig, 32829))->valueInterface()->setCurrentValue(42);
    QCOMPARE(apptest::Slider(rig, 32829)->Pos(), 42);
    QCOMPARE(apptest::Slider(rig, 32858)->Pos(), 42);
    QCOMPARE(apptest::LabelText(rig, 32832), QString::fromUtf8("话筒音量: 42"));
    QCOMPARE(rig.session.Params().Mirror(1, 14).AsInt(), 42);
  }
};

QTEST_MAIN(AccessibleControlsTest)
#include "accessible_controls_test.moc"
