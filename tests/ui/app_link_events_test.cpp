// The Qt adapter of the link events: every event reaches the handler on the
// GUI thread, and no link thread ever waits for the GUI thread.
#include <QTest>
#include <QThread>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "ui/app/link_event_handler.h"
#include "ui/app/qt_link_events.h"

namespace {

struct Recorder final : ui::LinkEventHandler {
  void Note(const char* what) {
    events.push_back(what);
    onGui = onGui && QThread::currentThread() == qApp->thread();
  }
  void OnRemoteKey(std::uint8_t code) override {
    Note("key");
    lastCode = code;
  }
  void OnSyncDone(int afterWrite) override {
    Note("sync");
    lastSync = afterWrite;
  }
  void OnLinkLost() override { Note("lost"); }
  void OnHostBusy() override { Note("busy"); }
  void OnDeviceError(std::uint8_t, std::uint8_t, std::uint8_t) override { Note("error"); }
  void OnDeviceArrived(const std::string& path) override {
    Note("arrived");
    lastPath = path;
  }
  void OnDeviceRemoved(const std::string&) override { Note("removed"); }
  void OnPlugProgress(int, int, long) override { Note("plug"); }

  std::vector<std::string> events;
  bool onGui = true;
  int lastCode = -1, lastSync = -1;
  std::string lastPath;
};

}  // namespace

class AppLinkEventsTest : public QObject {
  Q_OBJECT
 private slots:
  void queuedFromLinkThreads_data() {
    QTest::addColumn<QString>("event");
    for (const char* e : {"key", "error", "sync", "lost", "busy", "arrived", "removed", "plug"}) {
      QTest::newRow(e) << QString::fromLatin1(e);
    }
  }
  void queuedFromLinkThreads() {
    QFETCH(QString, event);
    Recorder recorder;
    ui::QtLinkEvents events(recorder);
    core::link::LinkEvents& link = events;
    std::atomic<bool> returned{false};
    std::atomic<std::size_t> seenWhenReturned{99};
    std::thread t([&] {
      const std::string e = event.toStdString();
      if (e == "key") link.RemoteKeyLearnt(0x21);
      if (e == "error") link.DeviceError(1, 2, 3);
      if (e == "sync") link.SyncDone(1);
      if (e == "lost") link.LinkLost();
      if (e == "busy") link.HostBusy();
      if (e == "arrived") link.DeviceArrived("/dev/hidraw3");
      if (e == "removed") link.DeviceRemoved("/dev/hidraw3");
      if (e == "plug") link.PlugProgress(3024, 1, 2);
      seenWhenReturned = recorder.events.size();
      returned = true;
    });
    // Posted: the thread returns while the GUI thread runs no events.
    for (int i = 0; i < 300 && !returned.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool returnedAlone = returned.load();
    // Running events lets even a blocking call finish, so the join below
    // cannot hang and the checks report.
    const bool handled = QTest::qWaitFor([&] { return returned.load() && recorder.events.size() == 1; }, 3000);
    t.join();
    QVERIFY(returnedAlone);
    QCOMPARE(seenWhenReturned.load(), std::size_t{0});
    QVERIFY(handled);
    QCOMPARE(QString::fromStdString(recorder.events[0]), event);
    QVERIFY(recorder.onGui);
    if (event == "key") QCOMPARE(recorder.lastCode, 0x21);
    if (event == "sync") QCOMPARE(recorder.lastSync, 1);
    if (event == "arrived") QCOMPARE(recorder.lastPath, std::string("/dev/hidraw3"));
  }
  void directOnGuiThread() {
    Recorder recorder;
    ui::QtLinkEvents events(recorder);
    events.RemoteKeyLearnt(5);  // would deadlock if it blocked on its own thread
    events.LinkLost();
    QCOMPARE(recorder.events.size(), std::size_t{2});
  }
};

QTEST_MAIN(AppLinkEventsTest)
#include "app_link_events_test.moc"
