#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <optional>
#include <vector>

#include "core/params/value_codec.h"
#include "core/session.h"
#include "sim/processor_sim.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_tcp_server.h"
#include "ui/editors/editor_pages.h"
#include "ui/app/app_settings.h"
#include "ui/app/connection_controller.h"
#include "ui/app/master_controls_handler.h"
#include "ui/app/mode_commands.h"
#include "ui/app/plug_wait.h"
#include "ui/app/tray_notice.h"
#include "ui/app/main_frame.h"
#include "ui/app/main_view.h"
#include "ui/shell/page_registry.h"
#include "ui/shell/prompts.h"
#include "ui/app/info_dlg.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/app/rv4470v13_app.h"

namespace apptest {

// Records every box and answers from a script.
class FakePrompts final : public ui::Prompts {
 public:
  struct Shown {
    QString caption, text;
  };
  bool Question(QWidget*, const QString& caption, const QString& text) override {
    questions.push_back({caption, text});
    return yes;
  }
  Answer QuestionCancel(QWidget*, const QString& caption, const QString& text) override {
    questions.push_back({caption, text});
    return closeAnswer;
  }
  void Message(QWidget*, const QString& caption, const QString& text, Icon) override {
    messages.push_back({caption, text});
  }
  QString OpenFile(QWidget*, const QString&) override { return openPath; }
  QString SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return savePath; }

  bool yes = true;
  Answer closeAnswer = Answer::No;
  QString openPath, savePath;
  std::vector<Shown> questions, messages;
};

// The application against a simulated processor on loopback, with its own
// settings file and no USB attempt.
struct AppRig {
  explicit AppRig(sim::ProcessorOptions options = {}, sim::ServerOptions serverOptions = {},
                  bool usb = false)
      : processor(options),
        server(processor, serverOptions),
        hid(usb ? new sim::SimHidBackend(processor) : nullptr),
        session(std::unique_ptr<core::link::HidBackend>(hid)) {
    std::string error;
    started = server.Start(error);
    settings = std::make_unique<ui::AppSettings>(dir.filePath(QStringLiteral("settings.ini")));
    ui::RegisterEditorPages(pages);
    ui::RegisterEditorDialogs(pages);
  }
  ~AppRig() {
    app.reset();
    server.Stop();
  }

  void Start(int language = 0, bool startUsbAttempt = false) {
    settings->SetLanguage(language);
    app = std::make_unique<ui::CRV4470v13App>(session, *settings, prompts, pages,
                                              ui::CRV4470v13App::Options{startUsbAttempt, false});
    app->Start();
  }
  ui::CMainFrame& Frame() { return *app->Frame(); }
  ui::CRV4470v13View& View() { return app->Frame()->View(); }

  // Connects through the connect dialog's path and waits for the end of
  // the read-all.
  bool ConnectAndSync() {
    if (View().Connection().ConnectNetwork(QStringLiteral("127.0.0.1"), server.Port()) != 1) return false;
    return WaitSynced();
  }
  bool WaitSynced(int timeoutMs = 10000) {
    // The sync dialog opens from a queued call and closes on MsgSyncDone.
    QTest::qWait(50);
    return QTest::qWaitFor([&] { return app->SyncDialog() == nullptr && RemoteKeysAsked(); },
                           timeoutMs);
  }
  bool RemoteKeysAsked() const {
    for (const auto& r : processor.Requests()) {
      if (!r.empty() && r[0] == 0x62) return true;
    }
    return false;
  }
  // The last word of a parameter frame (module, param) the processor got.
  std::optional<std::uint32_t> LastParamWord(int module, int param) const {
    std::optional<std::uint32_t> word;
    for (const auto& r : processor.Requests()) {
      if (r.size() >= 9 && r[0] == 0x09 && r[2] == module && r[3] == param) {
        word = (std::uint32_t{r[5]} << 24) | (std::uint32_t{r[6]} << 16) | (std::uint32_t{r[7]} << 8) | r[8];
      }
    }
    return word;
  }
  bool Got(std::initializer_list<std::uint8_t> body) const {
    const sim::Bytes want(body);
    for (const auto& r : processor.Requests()) {
      if (r == want) return true;
    }
    return false;
  }
  // Index of the first request equal to `body` at or after `from`, or -1.
  int IndexOf(std::initializer_list<std::uint8_t> body, int from = 0) const {
    const sim::Bytes want(body);
    const auto requests = processor.Requests();
    for (int i = from; i < static_cast<int>(requests.size()); ++i) {
      if (requests[static_cast<std::size_t>(i)] == want) return i;
    }
    return -1;
  }

  QTemporaryDir dir;
  sim::ProcessorSim processor;
  sim::SimTcpServer server;
  bool started = false;
  sim::SimHidBackend* hid;  // owned by the session; null: hidapi
  core::Session session;
  std::unique_ptr<ui::AppSettings> settings;
  FakePrompts prompts;
  ui::PageRegistry pages;
  std::unique_ptr<ui::CRV4470v13App> app;
};



inline ui::CMFCRibbonStepSlider* Slider(AppRig& rig, int id) {
  return qobject_cast<ui::CMFCRibbonStepSlider*>(rig.Frame().Ribbon().Element(id));
}
inline QString LabelText(AppRig& rig, int id) {
  auto* b = qobject_cast<QToolButton*>(rig.Frame().Ribbon().Element(id));
  return b != nullptr ? b->text() : QString();
}
inline QCheckBox* Box(AppRig& rig, int id) { return qobject_cast<QCheckBox*>(rig.Frame().Ribbon().Element(id)); }
inline std::uint32_t PercentWord(int v) { return *core::params::EncodeValue(core::params::ValueKind::Percent, v); }
inline std::uint32_t GateWord(int v) { return *core::params::EncodeValue(core::params::ValueKind::TenThousandths, v); }
inline QString NoticeText(AppRig& rig) { return rig.app->Notice() ? rig.app->Notice()->Text() : QString(); }

// Modeless dialogs that say what is done to them.
struct FakeDialogs {
  struct Kind {
    ui::ModelessDialog which;
    const char* name;
  };
  static constexpr Kind kKinds[] = {
      {ui::ModelessDialog::MachineSettings, "settings"}, {ui::ModelessDialog::AutoSub, "autosub"},
      {ui::ModelessDialog::InputSource, "input"},        {ui::ModelessDialog::InputSourceSettings, "inputset"},
      {ui::ModelessDialog::DeviceRemote, "remote"},      {ui::ModelessDialog::SmartPlug, "plug"},
      {ui::ModelessDialog::Loudness, "loudness"},
  };
  void RegisterAll(ui::PageRegistry& registry) {
    for (const Kind& k : kKinds) {
      const QString name = QString::fromLatin1(k.name);
      ui::ModelessFactory f;
      f.create = [this, name](ui::PageContext&, int templateId) -> QWidget* {
        log << QStringLiteral("create %1 %2").arg(name).arg(templateId);
        auto* d = new QDialog;
        d->setObjectName(name);
        return d;
      };
      f.retext = [this, name](QWidget*) { log << QStringLiteral("retext ") + name; };
      f.refresh = [this, name](QWidget*) { log << QStringLiteral("refresh ") + name; };
      f.close = [this, name](QWidget* d) {
        log << QStringLiteral("close ") + name;
        d->close();
      };
      f.command = [this, name](QWidget*, int id) { log << QStringLiteral("command %1 %2").arg(name).arg(id); };
      f.remoteKey = [this, name](QWidget*, std::uint8_t code) {
        log << QStringLiteral("key %1 %2").arg(name).arg(code);
      };
      f.plugMessage = [this, name](QWidget*, int m, int w, long l) {
        log << QStringLiteral("plug %1 %2 %3 %4").arg(name).arg(m).arg(w).arg(l);
      };
      registry.RegisterDialog(k.which, std::move(f));
    }
  }
  // The entries starting with `what`, in order, and the log emptied.
  QStringList Take(const QString& what = QString()) {
    QStringList out;
    for (const QString& e : log) {
      if (e.startsWith(what)) out << e;
    }
    log.clear();
    return out;
  }
  QStringList log;
};

}  // namespace apptest
