// dsptuner: the tuning application.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "core/session.h"
#include "ui/editors/editor_pages.h"
#include "ui/app/app_settings.h"
#include "ui/app/demo_processor.h"
#include "ui/shell/page_registry.h"
#include "ui/shell/prompts.h"
#include "ui/app/rv4470v13_app.h"
#include "ui/app/single_instance.h"
#include "ui/editors/accessible_editors.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Tunes karaoke and home-theatre audio processors."));
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption demo(QStringLiteral("demo"),
                          QStringLiteral("Run a simulated processor in-process and connect to it."));
  QCommandLineOption connectTo(QStringLiteral("connect"),
                               QStringLiteral("Connect to a network processor at start-up."),
                               QStringLiteral("HOST[:PORT]"));
  parser.addOption(demo);
  parser.addOption(connectTo);
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A mode file to open."),
                               QStringLiteral("[FILE.mode]"));
  // Parsed before the GUI exists, so that --help and --version work
  // without a display.
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "dsptuner: %s\n", qPrintable(parser.errorText()));
    return 2;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    QString help = parser.helpText();
    help.replace(QStringLiteral("<executable_name>"), QStringLiteral("dsptuner"));
    std::fputs(qPrintable(help), stdout);
    return 0;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    std::printf("dsptuner 1.4.3\n");
    return 0;
  }

  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("dsptuner"));
  QApplication::setApplicationVersion(QStringLiteral("1.4.3"));
  QApplication::setOrganizationName(QStringLiteral("NR620 V1.0"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(ui::CRV4470v13App::kAppId));
  // Before the first window, so that screen readers see every painted
  // control with its role and value.
  ui::InstallAccessibleEditors();

  ui::SingleInstance instance;
  const auto claim = instance.Claim();
  if (claim != ui::SingleInstance::Result::Primary) {
    const QString message = ui::SingleInstance::Message(claim);
    if (!message.isEmpty()) QMessageBox::information(nullptr, QString(), message);
    return claim == ui::SingleInstance::Result::Activated ? 0 : 1;
  }

  core::Session session;
  ui::AppSettings settings;
  ui::Prompts prompts;
  ui::PageRegistry pages;
  ui::RegisterEditorPages(pages);
  ui::RegisterEditorDialogs(pages);
  ui::DemoProcessor demoProcessor;

  if (parser.isSet(demo)) {
    std::string error;
    if (!demoProcessor.Start(error)) {
      std::fprintf(stderr, "dsptuner: the demo processor did not start: %s\n", error.c_str());
      return 1;
    }
    session.UseNetwork("127.0.0.1", demoProcessor.Port());
  } else if (parser.isSet(connectTo)) {
    const QString target = parser.value(connectTo);
    const int colon = target.lastIndexOf(QLatin1Char(':'));
    QString host = target;
    int port = ui::AppSettings::kDefaultPort;
    if (colon > 0) {
      bool ok = false;
      port = target.mid(colon + 1).toInt(&ok);
      host = target.left(colon);
      if (!ok || port < 1 || port > 65535) {
        std::fprintf(stderr, "dsptuner: bad port in --connect %s\n", qPrintable(target));
        return 2;
      }
    }
    session.UseNetwork(host.toStdString(), static_cast<std::uint16_t>(port));
  }

  ui::CRV4470v13App app(session, settings, prompts, pages, {});
  instance.SetActivate([&app] { return app.Activate(); });
  // The process ends with the main window, whatever else is still open.
  QObject::connect(&app, &ui::CRV4470v13App::MainWindowClosed, &qapp, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  app.Start();
  const QStringList files = parser.positionalArguments();
  if (!files.isEmpty()) {
    // A missing file is reported at once; a mode file waits for the link.
    if (!QFileInfo::exists(files.first())) {
      app.OpenDocumentFile(files.first());
    } else {
      app.OpenAfterFirstSync(files.first());
    }
  }
  return qapp.exec();
}
