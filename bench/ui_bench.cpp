// Paint time of the EQ curve panel: full repaints of a 1280 x 560 panel with
// 15 bands moved about and one selected, offscreen. Prints, over 200 frames,
// the median and 95th percentile of the wall time and the median processor
// time of the painting thread, for three cases: a repaint with the grid
// picture kept (what a drag repaints), a drag step (one band moved, its
// response recomputed, then the repaint), and a repaint that redraws the
// grid picture too (after a resize or a language switch); and, for
// comparison, a repaint without a selected band.
//
// The output channel page: switching from one channel to the next (every
// control reloaded, the grid rebuilt, the curve loaded, then the page
// painted), and one band drag step on a linked pair of channels (the band
// moved on the curve, both channels' band messages and store writes sent
// into a recording transport, the grid row and editor rewritten, the panel
// painted).
//
// The mic and music page's 300 ms status step on a four-input model: the six
// level meters (four mics, two music) set from a moving status record and
// the stream format shown, then everything the GUI thread does for the
// meters until the next step: the six falloff ticks of 50 ms, each
// repainting every meter.

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/session.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/eq_panel.h"
#include "ui/controls/peak_meter_ctrl.h"
#include "ui/editors/music_page.h"
#include "ui/editors/output_page.h"
#include "ui/shell/page_context.h"
#include "ui/shell/prompts.h"
#include "ui/shell/ui_language.h"

namespace {

using Clock = std::chrono::steady_clock;

// The GUI thread's own processor time, which other processes on a busy
// machine do not inflate.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Figures {
  double median;  // wall clock
  double p95;
  double cpuMedian;  // processor time of the painting thread
};

double Median(std::vector<double>& v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

Figures Measure(int frames, const std::function<void()>& frame) {
  std::vector<double> wall, cpu;
  wall.reserve(static_cast<std::size_t>(frames));
  cpu.reserve(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    const auto t0 = Clock::now();
    const double c0 = ThreadCpuMs();
    frame();
    cpu.push_back(ThreadCpuMs() - c0);
    wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  const double median = Median(wall);
  return {median, wall[wall.size() * 95 / 100], Median(cpu)};
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  constexpr int kFrames = 200;

  ui::CEqPanel panel;
  panel.resize(1280, 560);
  panel.SetEqKind(0);  // 15 bands
  const float gains[] = {6, -3, 4.5f, -9, 2, 0, 11, -6, 3, -1.5f, 7, -12, 5, -4, 8};
  for (int i = 0; i < panel.Bands().BandCount(); ++i) {
    panel.SetBandGain(gains[i], i);
    panel.SetBandQ(0.8f + 0.15f * static_cast<float>(i), i);
  }
  panel.SetBandType(0, 3);   // a high-pass at the bottom
  panel.SetBandType(14, 2);  // a low-pass at the top
  panel.SetBandType(4, 4);   // a low shelf
  panel.SetSelectedBand(6);

  QImage target(panel.size(), QImage::Format_ARGB32_Premultiplied);
  const auto repaint = [&] { panel.render(&target); };
  repaint();  // draws the grid picture once

  const Figures kept = Measure(kFrames, repaint);
  int step = 0;
  const Figures drag = Measure(kFrames, [&] {
    panel.SetBandFrequency(6, 1000.0f + 10.0f * static_cast<float>(step++ % 100));
    repaint();
  });
  int language = 0;
  const Figures grid = Measure(kFrames, [&] {
    panel.SetLanguage(language ^= 1);  // a new title: the grid picture is drawn again
    repaint();
  });

  panel.SetSelectedBand(-1);
  const Figures unselected = Measure(kFrames, repaint);
  std::printf("EQ panel 1280 x 560, 15 bands, band 7 selected, %d frames each:\n", kFrames);
  const auto line = [](const char* name, const Figures& f) {
    std::printf("  %-18s median %.2f ms (p95 %.2f ms) wall, median %.2f ms processor time\n",
                name, f.median, f.p95, f.cpuMedian);
  };
  line("repaint:", kept);
  line("drag step:", drag);
  line("repaint with grid:", grid);
  line("no selection:", unselected);

  // ---- The output page
  core::Session session;
  core::link::RecordingTransport usb(core::link::LinkType::Usb);
  session.Link().SetTransport(core::link::LinkType::Usb, &usb);
  session.Link().State().open = true;
  session.SetSynchronousSends(true);
  usb.SetOnWrite([&session](const auto&) { session.Link().ReplyReceived(); });
  for (int c = 0; c < 8; ++c) session.Params().SetParam(5 + c, 16, c);  // CH1/CH2 the front pair
  ui::UiLanguage lang;
  lang.LoadFile();
  ui::Prompts prompts;
  ui::PageState state;  // every pair linked
  ui::PageContext context{session, lang, prompts, state, {}, {}, {}};
  ui::CDialogOutput page(context, nullptr, 0);
  page.resize(1180, 600);
  QImage pageImage(page.size(), QImage::Format_ARGB32_Premultiplied);
  page.render(&pageImage);
  int channel = 0;
  const Figures switching = Measure(kFrames, [&] {
    page.SwitchChannel(++channel % 8);
    page.render(&pageImage);
  });
  page.SwitchChannel(0);
  ui::CEqPanel& eq = *page.Bands().Panel();
  QImage eqImage(eq.size(), QImage::Format_ARGB32_Premultiplied);
  page.Bands().Select(4);
  usb.Clear();
  int dragStep = 0;
  const Figures linkedDrag = Measure(kFrames, [&] {
    eq.SetBandFrequency(4, 800.0f + 5.0f * static_cast<float>(dragStep++ % 100));
    emit eq.BandChanged(4);
    eq.render(&eqImage);
  });
  emit eq.EditEnded();
  std::printf("Output page 1180 x 600, %d frames each (goals: switch < 16 ms, drag step < 4 ms):\n",
              kFrames);
  line("channel switch:", switching);
  line("linked drag step:", linkedDrag);
  std::printf("  %zu frames sent for %d drag steps on the linked pair\n", usb.Count(), kFrames);

  // ---- The mic and music page's status step
  core::link::DeviceIdentity identity = session.Records().Identity();
  identity.SetModelName("ZR07");
  session.Records().SetIdentity(identity);
  ui::CDialogMusic music(context, nullptr, 0);
  music.resize(1180, 600);
  QImage musicImage(music.size(), QImage::Format_ARGB32_Premultiplied);
  music.render(&musicImage);
  constexpr int kMeters = 6;
  std::vector<QImage> meterImages;
  for (int m = 0; m < kMeters; ++m) {
    ui::CPeakMeterCtrl* meter = music.Meter(m);
    meter->StopFalloff();  // the bench runs the ticks itself
    meterImages.emplace_back(meter->size(), QImage::Format_ARGB32_Premultiplied);
  }
  int tick = 0;
  const Figures status = Measure(kFrames, [&] {
    core::link::DeviceStatus record{};
    for (int m = 0; m < kMeters; ++m) {
      record[static_cast<std::size_t>(m)] = static_cast<std::uint8_t>((tick * 7 + m * 11) % 64);
    }
    record[7] = static_cast<std::uint8_t>(tick % 9);
    ++tick;
    session.Records().SetStatus(record);
    music.UpdateStatus();
    for (int m = 0; m < kMeters; ++m) {
      music.Meter(m)->StopFalloff();
      music.Meter(m)->render(&meterImages[static_cast<std::size_t>(m)]);
    }
    for (int falloff = 0; falloff < 6; ++falloff) {
      for (int m = 0; m < kMeters; ++m) {
        music.Meter(m)->FalloffStep();
        music.Meter(m)->render(&meterImages[static_cast<std::size_t>(m)]);
      }
    }
  });
  std::printf("Mic and music page, %d status steps of 300 ms with %d moving meters (goal < 2 ms):\n",
              kFrames, kMeters);
  line("status step:", status);
  return 0;
}
