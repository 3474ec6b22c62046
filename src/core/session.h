#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "core/link/device_records.h"
#include "core/link/dispatcher.h"
#include "core/link/hid_backend.h"
#include "core/link/link.h"
#include "core/link/link_events.h"
#include "core/link/sync_runs.h"
#include "core/link/tcp_link.h"
#include "core/link/usb_link.h"
#include "core/params/edit_history.h"
#include "core/params/eq_bank.h"
#include "core/params/mic_channels.h"
#include "core/params/output_channels.h"
#include "core/params/param_model.h"
#include "core/params/sound_field_control.h"

namespace core {

// Everything that mirrors one processor: the link with its transports, the
// dispatcher, the synchronisation runs, the device records, the parameter
// model with its equaliser bank, sound-field control and output channels,
// and the history of the user's edits.
// The application creates exactly one; tests and the command-line tool
// create their own.
//
// The user interface and the command-line tool talk to the processor only
// through the operations below and the model's (Params(), Eq(),
// SoundField(), Outputs(), Mics(), History(), Sync(), Records()); they never build frames or
// command bytes and never touch the link's state or its transports.
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

  link::DeviceRecords& Records() { return records_; }
  const link::DeviceRecords& Records() const { return records_; }
  params::ParamModel& Params() { return params_; }
  const params::ParamModel& Params() const { return params_; }
  params::EqBank& Eq() { return eq_; }
  params::SoundFieldControl& SoundField() { return soundField_; }
  params::OutputChannels& Outputs() { return outputs_; }
  params::MicChannels& Mics() { return mics_; }
  // Undo and redo of the user's edits (UI thread only).
  params::EditHistory& History() { return history_; }
  link::SyncRuns& Sync() { return sync_; }
  link::HidBackend& Hid() { return *hid_; }

  // For tests and the session only: the link's insides. (The application
  // still reaches some of them; it moves to the operations below.)
  link::Link& Link() { return link_; }
  link::Dispatcher& Dispatcher() { return dispatcher_; }
  link::TcpLink& Tcp() { return tcp_; }
  link::UsbLink& Usb() { return usb_; }

  // Whether the status poll may run: a synchronisation run and a mode load
  // hold it on their own; the smart-plug and remote-learning dialogs hold
  // it while open (PollGate::Holder), the user's switch closes it.
  link::PollGate& PollGate() { return link_.Gate(); }

  // Who hears about link events (not owned); nobody when null.
  void SetEvents(link::LinkEvents* events) { link_.SetEvents(events); }

  // ---- Connection

  // Network mode, then the TCP link to `address`:`port` (kept as the
  // target of Connect); an open USB link is closed first, without the
  // notice. 1 connected; 0 no socket could be made; otherwise the errno of
  // the failed connect (as TcpConnect).
  int ConnectNetwork(const std::string& address, std::uint16_t port);
  // USB mode, then the USB link: 1 connected, 0 not (LastUsbOpenResult
  // says why). While a link of either kind is open nothing changes: 0,
  // AlreadyOpen.
  int ConnectUsbDevice();
  // Where the TCP link connects to; `UseNetwork` also chooses the network
  // link for the next Connect (the mode stays while a link is open).
  void SetTcpTarget(const std::string& address, std::uint16_t port);
  void UseNetwork(const std::string& address, std::uint16_t port);
  // In network mode the TCP link (1, 0 or the connect error), else the USB
  // link (1 or 0; LastUsbOpenResult says why).
  int Connect();
  bool IsOpen() const { return link_.IsOpen(); }
  bool NetworkMode() const { return link_.State().networkMode.load(); }
  link::UsbOpenResult LastUsbOpenResult() const { return usb_.LastOpenResult(); }
  // Closes whichever link is open; with `sendNotice` the processor is told.
  // A mode load still waiting for its answer stops holding the poll gate
  // (as on every connect).
  void Disconnect(bool sendNotice);
  // A device node went away: closes the USB link when it is the open
  // device. True when it was.
  bool HandleDeviceRemoved(const std::string& path);

  // ---- Device modes 0..3 (clamped)

  // Load: the status record is cleared, the mode load holds the poll gate,
  // and after 50 ms the mode becomes the current one and 05 n goes out.
  // The processor answers 05 and the dispatcher starts the read-all, which
  // takes the hold over until it ends. False, doing nothing, while no link
  // is open.
  bool LoadMode(int mode);
  // Store: the processor keeps its current settings in the mode (04 n);
  // they count as saved. Name and store: the slot is named first (03 n)
  // and given 20 ms, as after a mode file written for that slot. Both make
  // it the current mode.
  void StoreMode(int mode);
  void NameAndStoreMode(int mode);

  // ---- Requests

  // Asks for the status record (0E) when the poll gate is open and the
  // link open and alive (its reader has not given up); true when it asked.
  bool PollStatus();
  // The processor's factory reset (68 AA).
  void FactoryReset();
  // Asks for the model name, the protocol version and board, the MCU and
  // DSP version texts and the current mode (80, 7F, 81, 7E, 07).
  void RequestIdentity();
  // Keeps `keys` as the remote-key table and applies them to the processor
  // (63 and the 30 bytes).
  void ApplyRemoteKeys(const link::RemoteKeyTable& keys);

  // ---- Smart-plug waits

  // Issues the request of a plug command: code 0x13 with a node other than
  // 0 sets the node's value; 0x4A starts inclusion, 0x4B exclusion; any
  // other code issues nothing. True when a request went out.
  bool StartPlugCommand(std::uint8_t code, std::uint8_t node, std::uint8_t value);
  // Asks the controller to stop the operation a plug wait waits for
  // (code, 05, 00) for the codes 0x13, 0x4A and 0x4B; nothing for others.
  // True when the request went out.
  bool StopPlugWait(std::uint8_t code);

  // ---- Synchronous conversation (the command-line tool)

  // On: every send waits on the calling thread for the answer to the one
  // before, and nothing is queued or coalesced. Off (the start): edits are
  // queued and the caller never waits.
  void SetSynchronousSends(bool on) { link_.SetSynchronousSends(on); }
  // Waits until the queue has drained and the last message is answered;
  // false after the timeout.
  bool AwaitLastAnswer(std::chrono::milliseconds timeout) {
    return link_.AwaitLastAnswer(timeout);
  }
  // Synchronous sends in a row that found no answer to the one before.
  int ConsecutiveReplyTimeouts() const { return link_.ConsecutiveReplyTimeouts(); }

 private:
  void Send(std::initializer_list<std::uint8_t> bytes) { link_.SendCommandBytes(bytes); }
  void ForgetModeLoad();

  link::Link link_;
  link::DeviceRecords records_;
  params::ParamModel params_{link_};
  params::EqBank eq_{link_, params_};
  params::SoundFieldControl soundField_{link_, params_};
  params::OutputChannels outputs_{params_, eq_};
  params::MicChannels mics_{params_};
  params::EditHistory history_{params_, eq_};
  link::SyncRuns sync_{link_, params_, records_};
  link::Dispatcher dispatcher_{link_, params_, records_};
  std::unique_ptr<link::HidBackend> hid_;
  link::TcpLink tcp_{link_, dispatcher_, records_};
  link::UsbLink usb_;
  std::string tcpAddress_ = "127.0.0.1";
  std::uint16_t tcpPort_ = link::kDefaultTcpPort;
};

}  // namespace core
