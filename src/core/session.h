#pragma once

#include <memory>
#include <string>

#include "core/link/device_records.h"
#include "core/link/dispatcher.h"
#include "core/link/hid_backend.h"
#include "core/link/link.h"
#include "core/link/sync_runs.h"
#include "core/link/tcp_link.h"
#include "core/link/usb_link.h"
#include "core/params/eq_bank.h"
#include "core/params/param_model.h"
#include "core/params/sound_field_control.h"

namespace core {

// Everything that mirrors one processor: the link with its transports, the
// dispatcher, the synchronisation runs, the device records, the parameter
// model with its equaliser bank and sound-field control. The application
// creates exactly one; tests and the command-line tool create their own.
class Session {
 public:
  // Starts as the application does before any processor answers: placeholder
  // identity, cleared settings, the default image decoded. USB devices are
  // reached through `hid` (hidapi when none is given).
  explicit Session(std::unique_ptr<link::HidBackend> hid = nullptr);
  // Closes the link and waits for every thread of it and of the runs.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  link::Link& Link() { return link_; }
  link::DeviceRecords& Records() { return records_; }
  const link::DeviceRecords& Records() const { return records_; }
  params::ParamModel& Params() { return params_; }
  const params::ParamModel& Params() const { return params_; }
  params::EqBank& Eq() { return eq_; }
  params::SoundFieldControl& SoundField() { return soundField_; }
  link::Dispatcher& Dispatcher() { return dispatcher_; }
  link::SyncRuns& Sync() { return sync_; }
  link::TcpLink& Tcp() { return tcp_; }
  link::UsbLink& Usb() { return usb_; }
  link::HidBackend& Hid() { return *hid_; }

  // Where the TCP link connects to.
  void SetTcpTarget(const std::string& address, std::uint16_t port);
  // In network mode the TCP link (1, 0 or the connect error), else the USB
  // link (1 or 0; Usb().LastOpenResult() says why).
  int Connect();
  // Closes whichever link is open; with `sendNotice` the processor is told.
  void Disconnect(bool sendNotice);
  // A device node went away: closes the USB link when it is the open
  // device. True when it was.
  bool HandleDeviceRemoved(const std::string& path);

  // Device modes 0..3 (clamped). Store: the processor keeps its current
  // settings in the mode (04 n); they count as saved. Name and store: the
  // slot is named first (03 n) and given 20 ms, as after a mode file
  // written for that slot. Both make it the current mode.
  void StoreMode(int mode);
  void NameAndStoreMode(int mode);

 private:
  link::Link link_;
  link::DeviceRecords records_;
  params::ParamModel params_{link_};
  params::EqBank eq_{link_, params_};
  params::SoundFieldControl soundField_{link_, params_};
  link::SyncRuns sync_{link_, params_, records_};
  link::Dispatcher dispatcher_{link_, params_, records_};
  std::unique_ptr<link::HidBackend> hid_;
  link::TcpLink tcp_{link_, dispatcher_, records_};
  link::UsbLink usb_;
  std::string tcpAddress_ = "127.0.0.1";
  std::uint16_t tcpPort_ = link::kDefaultTcpPort;
};

}  // namespace core
