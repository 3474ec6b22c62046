// Renders every painted control, in its states and in both languages, and
// the application's windows (main window and dialogs, both languages) to
// PNG files in the folder given on the command line, so their look can be
// checked by eye. Usage: ui_snapshots OUTDIR [SCALE]; SCALE 2 renders at a
// device pixel ratio of 2 and adds "@2x" to the file names.

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>

#include <array>
#include <functional>
#include <vector>

#include "app_snapshots.h"
#include "ui/controls/artwork.h"
#include "ui/controls/fonts.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/peak_meter_ctrl.h"
#include "ui/controls/report_ctrl.h"
#include "ui/controls/tab_wnd.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/small_eq_panel.h"

namespace {

using namespace ui;

enum Lang { kZh = 0, kEn = 1 };

QString Pick(Lang lang, const char* zh, const char* en) {
  return QString::fromUtf8(lang == kEn ? en : zh);
}

// A page in the page colour on which controls are laid out in rows, each
// with a small caption above it.
class Sheet {
 public:
  explicit Sheet(int width) : width_(width) {
    page_.setAutoFillBackground(true);
    QPalette pal = page_.palette();
    pal.setColor(QPalette::Window, art::PageBackground());
    page_.setPalette(pal);
    page_.setFont(MakeFont(QStringLiteral("宋体"), 12));
  }

  QWidget* Page() { return &page_; }

  // Places `w` at the cursor with `caption` above it; wraps to a new row.
  template <typename W>
  W* Add(W* w, const QString& caption, QSize size = QSize()) {
    const QSize s = size.isValid() ? size : w->sizeHint();
    const int cell = std::max(s.width(), 90);
    if (x_ + cell > width_ - kGap && x_ > kGap) NewRow();
    auto* label = new QLabel(caption, &page_);
    label->setFont(MakeFont(QStringLiteral("Tahoma"), 11));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(90, 110, 130));
    label->setPalette(pal);
    label->setGeometry(x_, y_, cell, 14);
    w->setParent(&page_);
    w->setGeometry(x_, y_ + 16, s.width(), s.height());
    rowHeight_ = std::max(rowHeight_, 16 + s.height());
    x_ += cell + kGap;
    return w;
  }

  void NewRow() {
    x_ = kGap;
    y_ += rowHeight_ + kGap;
    rowHeight_ = 0;
  }

  void Heading(const QString& text) {
    if (x_ > kGap) NewRow();
    auto* label = new QLabel(text, &page_);
    label->setFont(MakeFont(QStringLiteral("Tahoma"), 13, 700));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(38, 70, 100));
    label->setPalette(pal);
    label->setGeometry(kGap, y_, width_ - 2 * kGap, 18);
    y_ += 24;
  }

  bool Save(const QString& path) {
    if (x_ > kGap) NewRow();
    page_.resize(width_, y_);
    return page_.grab().save(path);
  }

 private:
  static constexpr int kGap = 12;
  QWidget page_;
  int width_;
  int x_ = kGap;
  int y_ = kGap;
  int rowHeight_ = 0;
};

void Hover(QWidget* w) {
  QEnterEvent e(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
  QCoreApplication::sendEvent(w, &e);
}

void Focus(QWidget* w) {
  QFocusEvent e(QEvent::FocusIn, Qt::OtherFocusReason);
  QCoreApplication::sendEvent(w, &e);
}

// --- sliders ---------------------------------------------------------------

bool Sliders(const QString& path) {
  Sheet sheet(720);
  sheet.Heading(QStringLiteral("CXBmpSlider, horizontal (324 / 320, 369, 325)"));
  struct State {
    const char* caption;
    int position;
    bool focused;
    bool enabled;
  };
  const State states[] = {{"0", 0, false, true},        {"50", 50, false, true},
                          {"100", 100, false, true},    {"focused 30", 30, true, true},
                          {"disabled 70", 70, false, false}};
  for (const State& s : states) {
    auto* slider = new CXBmpSlider;
    slider->UseHorizontalStyle();
    slider->SetRange(100, 0);
    slider->SetPos(s.position);
    slider->SetEnabled(s.enabled);
    sheet.Add(slider, QString::fromLatin1(s.caption));
    if (s.focused) Focus(slider);
  }
  sheet.Heading(QStringLiteral("CXBmpSlider, vertical (448 / 449, 447, 450)"));
  for (const State& s : states) {
    auto* slider = new CXBmpSlider;
    slider->UseVerticalStyle();
    slider->SetRange(100, 0);
    slider->SetPos(s.position);
    slider->SetEnabled(s.enabled);
    sheet.Add(slider, QString::fromLatin1(s.caption));
    if (s.focused) Focus(slider);
  }
  return sheet.Save(path);
}

// --- buttons ---------------------------------------------------------------

bool Buttons(const QString& path, Lang lang) {
  Sheet sheet(760);
  sheet.Heading(Pick(lang, "CGdipButton 页面按钮 (414 / 395)", "CGdipButton page bar (414 / 395)"));
  struct Look {
    const char* caption;
    bool alt;
    bool hover;
    bool pressed;
    bool greyed;
  };
  const Look looks[] = {{"standard", false, false, false, false},
                        {"hover", false, true, false, false},
                        {"pressed", false, false, true, false},
                        {"alternate", true, false, false, false},
                        {"alt hover", true, true, false, false},
                        {"alt pressed", true, false, true, false},
                        {"greyed", false, false, false, true}};
  const QString channel = Pick(lang, "通道1", "CH 1");
  for (const Look& l : looks) {
    auto* b = new CGdipButton;
    b->LoadStdImage(art::kPageButton);
    b->LoadAltImage(art::kPageButtonSelected);
    b->SetAltImage(l.alt);
    b->SetGreyed(l.greyed);
    b->SetTextColor(Qt::white);
    b->setText(channel);
    sheet.Add(b, QString::fromLatin1(l.caption), QSize(84, 28));
    if (l.hover) Hover(b);
    if (l.pressed) b->setDown(true);
  }
  sheet.Heading(Pick(lang, "页面条", "page bar"));
  const char* zh[] = {"通道1", "通道2", "通道3", "通道4", "声场定位", "录音输出", "输出压限"};
  const char* en[] = {"CH 1", "CH 2", "CH 3", "CH 4", "Location", "Record", "Comp"};
  for (int i = 0; i < 7; ++i) {
    auto* b = new CGdipButton;
    b->LoadStdImage(art::kPageButton);
    b->LoadAltImage(art::kPageButtonSelected);
    b->SetAltImage(i == 1);
    b->SetTextColor(Qt::white);
    b->setText(Pick(lang, zh[i], en[i]));
    sheet.Add(b, i == 1 ? QStringLiteral("current") : QString(), QSize(84, 28));
  }
  sheet.Heading(Pick(lang, "对话框按钮 (413, 395) 与返回 (397)", "dialog buttons (413, 395) and back (397)"));
  const char* dzh[] = {"应用", "取消", "M1", "M2"};
  const char* den[] = {"Apply", "Cancel", "M1", "M2"};
  for (int i = 0; i < 4; ++i) {
    auto* b = new CGdipButton;
    b->LoadStdImage(art::kDialogButton);
    b->LoadAltImage(art::kPageButtonSelected);
    b->SetAltImage(i == 3);
    b->SetTextColor(Qt::white);
    b->setText(Pick(lang, dzh[i], den[i]));
    sheet.Add(b, i == 3 ? QStringLiteral("current mode") : QString(), QSize(76, 26));
  }
  auto* back = new CGdipButton;
  back->LoadStdImage(art::kBackButton);
  back->SetTextColor(Qt::white);
  back->setText(Pick(lang, "返回", "Back"));
  sheet.Add(back, QStringLiteral("back"), QSize(104, 28));
  return sheet.Save(path);
}

// --- meters ----------------------------------------------------------------

bool Meters(const QString& path) {
  Sheet sheet(720);
  sheet.Heading(QStringLiteral("CPeakMeterCtrl, page style: 15 LEDs, range 60"));
  for (const int level : {0, 12, 35, 44, 50, 56, 60}) {
    auto* m = new CPeakMeterCtrl;
    m->UseLevelStyle();
    m->StopFalloff();
    for (int i = 0; i < 40; ++i) m->FalloffStep();
    m->SetValue(0, level);
    sheet.Add(m, QStringLiteral("level %1").arg(level), QSize(150, 12));
  }
  sheet.Heading(QStringLiteral("defaults: 8 bands x 8 LEDs, vertical, held peaks"));
  const int values[] = {60, 52, 45, 38, 30, 22, 12, 4};
  for (const int falls : {0, 6}) {
    auto* m = new CPeakMeterCtrl;
    m->ResetMeter();
    for (int i = 0; i < 40; ++i) m->FalloffStep();
    m->SetValues(values);
    for (int i = 0; i < falls; ++i) m->FalloffStep();
    sheet.Add(m, falls == 0 ? QStringLiteral("levels") : QStringLiteral("falling, peaks held"),
              QSize(96, 120));
  }
  return sheet.Save(path);
}

// --- lists -----------------------------------------------------------------

bool Lists(const QString& path, Lang lang) {
  Sheet sheet(720);
  sheet.Heading(Pick(lang, "CReportCtrl 效果参数", "CReportCtrl effect parameters"));
  auto* report = new CReportCtrl;
  report->SetSortable(false);
  report->InsertColumn(0, Pick(lang, "参数", "Parameter"), 150);
  report->InsertColumn(1, Pick(lang, "数值", "Value"), 90, Qt::AlignCenter);
  const char* zh[] = {"混响时间", "预延时", "混响音量", "高频阻尼", "低频切除", "直达声"};
  const char* en[] = {"Reverb time", "Pre-delay", "Reverb level", "HF damping", "Low cut",
                      "Direct"};
  const char* values[] = {"1500ms", "20ms", "60", "45", "120Hz", "100"};
  for (int r = 0; r < 6; ++r) {
    report->InsertItem(r, Pick(lang, zh[r], en[r]));
    report->SetItemText(r, 1, QString::fromLatin1(values[r]));
  }
  report->SetItemColours(4, -1, QColor(200, 40, 40), QColor(255, 240, 230));
  report->SelectRow(2);
  sheet.Add(report, QStringLiteral("row 3 selected, row 5 coloured"), QSize(260, 190));

  auto* sortable = new CReportCtrl;
  sortable->InsertColumn(0, Pick(lang, "名称", "Name"), 120);
  sortable->InsertColumn(1, Pick(lang, "序号", "No."), 60, Qt::AlignRight | Qt::AlignVCenter);
  for (int r = 0; r < 4; ++r) {
    sortable->InsertItem(r, Pick(lang, zh[r], en[r]));
    sortable->SetItemText(r, 1, QString::number(r + 1));
  }
  sortable->sortItems(0);
  sheet.Add(sortable, QStringLiteral("sortable, sorted by name"), QSize(200, 140));

  sheet.Heading(Pick(lang, "均衡段表格", "band grid"));
  auto* grid = new CGridListCtrl;
  grid->SetDefaultColours(QColor(0, 200, 255), QColor(20, 20, 20));
  const QStringList types = lang == kEn
                                ? QStringList{"OFF", "PEQ", "LP", "HP", "LS", "HS"}
                                : QStringList{"关闭", "参量", "低通", "高通", "低架", "高架"};
  grid->InsertColumn(0, QString(), 30);
  grid->InsertColumn(1, Pick(lang, "类型", "Type"), 60, Qt::AlignCenter, GridEditor::kChoice, types);
  grid->InsertColumn(2, Pick(lang, "增益", "Gain"), 60, Qt::AlignCenter, GridEditor::kText);
  grid->InsertColumn(3, Pick(lang, "频率", "Freq"), 60, Qt::AlignCenter, GridEditor::kText);
  grid->InsertColumn(4, Pick(lang, "Q值", "Q"), 50, Qt::AlignCenter, GridEditor::kText);
  const int freqs[] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
  const double gains[] = {0, 3.5, 0, -6, 0, 0, 2, 0, 0, -1.5};
  for (int r = 0; r < 10; ++r) {
    grid->InsertRow(r, QString::number(r + 1));
    grid->SetItemText(r, 1, types[r == 9 ? 2 : 1]);
    grid->SetItemText(r, 2, QString::asprintf("%+.1fdB", gains[r]));
    grid->SetItemText(r, 3, QStringLiteral("%1Hz").arg(freqs[r]));
    grid->SetItemText(r, 4, r == 9 ? QStringLiteral("0.70") : QStringLiteral("1.41"));
  }
  grid->SetCellMargin(2);
  sheet.Add(grid, QStringLiteral("ten bands"), QSize(264, 226));
  return sheet.Save(path);
}

// --- tab window ------------------------------------------------------------

bool Tabs(const QString& path, Lang lang) {
  Sheet sheet(560);
  sheet.Heading(Pick(lang, "CTabWnd 与标签按钮", "CTabWnd with its tab row"));
  auto* holder = new QWidget;
  const char* zh[] = {"插座列表", "情景编辑", "遥控学习"};
  const char* en[] = {"Plug list", "Scene list", "Learn"};
  auto* tabs = new CTabWnd(holder);
  tabs->setGeometry(0, 34, 420, 150);
  for (int i = 0; i < 3; ++i) {
    auto* b = new CGdipButton(holder);
    b->LoadStdImage(art::kPageButton);
    b->LoadAltImage(art::kPageButtonSelected);
    b->SetAltImage(i == 1);
    b->SetTextColor(Qt::white);
    b->setText(Pick(lang, zh[i], en[i]));
    b->setGeometry(i * 90, 0, 84, 28);
    auto* page = new QLabel(Pick(lang, zh[i], en[i]));
    page->setAlignment(Qt::AlignCenter);
    page->setAutoFillBackground(true);
    QPalette pal = page->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 255));
    page->setPalette(pal);
    page->setFrameStyle(QFrame::Box);
    tabs->AddPage(page);
  }
  tabs->Arrange();
  tabs->Select(1);
  sheet.Add(holder, QStringLiteral("page 2 of 3 selected"), QSize(420, 184));
  return sheet.Save(path);
}

// --- EQ panels -------------------------------------------------------------

void MouseMove(QWidget* w, QPoint at) {
  QMouseEvent e(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

QPoint HandlePoint(const CEqPanel& panel, int band) {
  const QPointF h = panel.HandlePos(band);
  return QPoint(static_cast<int>(h.x()) + CEqPanel::kLeft, static_cast<int>(h.y()) + CEqPanel::kTop);
}

// One panel per kind of page, a few bands moved, one band selected or
// hovered, so every drawing rule shows somewhere.
bool EqPanels(const QString& path, Lang lang) {
  Sheet sheet(800);
  const QSize size(760, 300);
  struct Band {
    int index;
    int type;
    float frequency;
    float gain;
    float q;
  };
  struct Look {
    const char* caption;
    int kind;
    std::vector<Band> bands;
    int selected;
    int hover;
    int bypassed;
    int crossover;  // slope index for band 10 of a channel, -1 none
  };
  const std::vector<Look> looks = {
      {"mic A: 15 bands, band 7 selected (PEQ)", 0,
       {{2, 1, 63, 4.5f, 1.41f}, {4, 1, 160, -6, 2.5f}, {6, 1, 400, 8, 1.2f},
        {9, 1, 1600, -3, 0.8f}, {11, 4, 4000, 0, 0.7f}, {13, 5, 10000, -7.5f, 0.7f}},
       6, -1, 0, -1},
      {"CH1: band 10 a Butterworth 24 dB low-pass, selected", 7,
       {{0, 3, 45, 0, 0.7f}, {3, 1, 250, 5, 1.41f}, {5, 1, 1000, -4, 3}, {9, 2, 3200, 0, 0.7f}},
       9, -1, 0, 9},
      {"echo A: 7 bands, band 3 hovered", 2,
       {{0, 1, 50, -9, 1}, {2, 1, 200, 6, 1.41f}, {4, 1, 800, 3, 4}, {6, 5, 3200, -6, 0.7f}},
       -1, 2, 0, -1},
      {"music: a band below 0 dB selected, bypassed", 6,
       {{1, 4, 62, 6, 0.7f}, {4, 1, 500, -12, 2}, {7, 1, 4000, 2.5f, 1.41f}, {9, 2, 16000, 0, 0.7f}},
       4, -1, 1, -1},
      {"record: 5 bands, a high shelf selected (yellow gain)", 15,
       {{0, 3, 80, 0, 0.7f}, {2, 1, 200, -2, 1.41f}, {4, 5, 800, 8.5f, 0.7f}},
       4, -1, 0, -1},
  };
  for (const Look& look : looks) {
    auto* panel = new CEqPanel;
    panel->resize(size);
    panel->SetLanguage(lang);
    panel->SetEqKind(look.kind);
    for (const Band& b : look.bands) {
      panel->SetBandType(b.index, b.type);
      panel->SetBandFrequency(b.index, b.frequency);
      panel->SetBandGain(b.gain, b.index);
      panel->SetBandQ(b.q, b.index);
    }
    if (look.crossover >= 0) {
      panel->SetBandType(9, 2);
      panel->SetCrossoverSlope(9, look.crossover);
    }
    panel->SetSelectedBand(look.selected);
    panel->SetBypassed(look.bypassed);
    sheet.Add(panel, QString::fromLatin1(look.caption), size);
    if (look.hover >= 0) MouseMove(panel, HandlePoint(*panel, look.hover));
  }
  return sheet.Save(path);
}

bool SmallEqPanels(const QString& path) {
  Sheet sheet(640);
  sheet.Heading(QStringLiteral("CSmallEqPanel, 180 x 90"));
  struct Look {
    const char* caption;
    std::vector<std::array<float, 4>> bands;  // index, type, gain, q
    QColor colour;
    int bypassed;
    bool hover;
  };
  const std::vector<Look> looks = {
      {"flat", {}, QColor(0x00, 0xC8, 0xFF), 0, false},
      {"+6 dB at 1 kHz", {{5, 1, 6, 1.414f}}, QColor(0x00, 0xC8, 0xFF), 0, false},
      {"several bands", {{0, 1, -9, 1}, {2, 1, 5, 2}, {4, 1, -4, 3}, {6, 5, 6, 0.7f}},
       QColor(255, 180, 20), 0, false},
      {"low-pass, hovered", {{6, 2, 0, 0.7f}, {1, 1, 4, 1.414f}}, QColor(120, 255, 120), 0, true},
      {"bypassed", {{3, 1, 8, 1.414f}, {5, 1, -6, 2}}, QColor(0x00, 0xC8, 0xFF), 1, false},
  };
  for (const Look& look : looks) {
    auto* panel = new CSmallEqPanel;
    panel->resize(180, 90);
    for (const auto& b : look.bands) {
      const int i = static_cast<int>(b[0]);
      panel->SetBandType(i, static_cast<int>(b[1]));
      panel->SetBandQ(i, b[3]);
      panel->SetBandGain(i, b[2]);
    }
    panel->SetCurveColour(look.colour);
    panel->SetBypassed(look.bypassed);
    sheet.Add(panel, QString::fromLatin1(look.caption), QSize(180, 90));
    if (look.hover) Hover(panel);
  }
  return sheet.Save(path);
}

// --- artwork ---------------------------------------------------------------

bool Artwork(const QString& path, Lang lang) {
  Sheet sheet(760);
  sheet.Heading(QStringLiteral("artwork by resource id"));
  const int ids[] = {324, 320, 369, 325, 448, 449, 447, 450, 414, 395, 413, 397, 342, 345};
  for (const int id : ids) {
    auto* l = new QLabel;
    l->setPixmap(art::LoadArtwork(id, qApp->devicePixelRatio()));
    const QSize s = art::ArtworkSize(id);
    sheet.Add(l, QStringLiteral("%1  %2x%3").arg(id).arg(s.width()).arg(s.height()), s);
  }
  sheet.Heading(Pick(lang, "页面标题", "page titles"));
  std::vector<int> titles;
  for (int c = 0; c < 8; ++c) titles.push_back((lang == kEn ? art::kOutputTitleEn : art::kOutputTitleZh) + 2 * c);
  titles.push_back(lang == kEn ? art::kRecordTitleEn : art::kRecordTitleZh);
  for (int t = 0; t < 4; ++t) titles.push_back(lang == kEn ? art::kEffectTitleEn[t] : art::kEffectTitleZh[t]);
  for (const int id : titles) {
    auto* l = new QLabel;
    l->setPixmap(art::LoadArtwork(id, qApp->devicePixelRatio()));
    sheet.Add(l, QString::number(id), art::ArtworkSize(id));
  }
  return sheet.Save(path);
}

}  // namespace

int main(int argc, char** argv) {
  double scale = 1.0;
  if (argc >= 3) scale = QString::fromLocal8Bit(argv[2]).toDouble();
  if (scale > 0 && scale != 1.0) qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    QTextStream(stderr) << "usage: ui_snapshots OUTDIR [SCALE]\n";
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(dir)) {
    QTextStream(stderr) << "cannot create " << dir << "\n";
    return 1;
  }
  const QString suffix = scale == 2.0 ? QStringLiteral("@2x") : QString();
  const auto file = [&](const QString& name) { return dir + "/" + name + suffix + ".png"; };

  struct Job {
    QString name;
    std::function<bool(const QString&)> render;
  };
  std::vector<Job> jobs = {
      {"sliders", Sliders},
      {"meters", Meters},
      {"small_eq", SmallEqPanels},
  };
  for (const Lang lang : {kZh, kEn}) {
    const QString tag = lang == kEn ? QStringLiteral("_en") : QStringLiteral("_zh");
    jobs.push_back({"buttons" + tag, [lang](const QString& p) { return Buttons(p, lang); }});
    jobs.push_back({"lists" + tag, [lang](const QString& p) { return Lists(p, lang); }});
    jobs.push_back({"tabs" + tag, [lang](const QString& p) { return Tabs(p, lang); }});
    jobs.push_back({"artwork" + tag, [lang](const QString& p) { return Artwork(p, lang); }});
    jobs.push_back({"eq_panels" + tag, [lang](const QString& p) { return EqPanels(p, lang); }});
  }
  int failed = 0;
  for (const Job& job : jobs) {
    const QString path = file(job.name);
    if (job.render(path)) {
      QTextStream(stdout) << path << "\n";
    } else {
      QTextStream(stderr) << "failed: " << path << "\n";
      ++failed;
    }
  }
  // The application's windows, connected to the simulator.
  const int shell = apptest::RenderAppSnapshots(dir, suffix);
  if (shell < 0) {
    QTextStream(stderr) << "failed: the application's windows\n";
    ++failed;
  } else {
    QTextStream(stdout) << shell << " windows of the application in " << dir << "\n";
  }
  return failed == 0 ? 0 : 1;
}
