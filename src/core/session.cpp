#include "core/session.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "core/link/commands.h"
#include "core/link/plug_requests.h"

namespace core {

Session::Session(std::unique_ptr<link::HidBackend> hid)
    : hid_(hid ? std::move(hid) : link::MakeHidapiBackend()),
      usb_(link_, dispatcher_, records_, *hid_) {
  records_.ResetToStartup();
  params_.BuildDefaultImage();
  params_.DecodeImage();
  link_.SetTransport(link::LinkType::Tcp, &tcp_);
  link_.SetTransport(link::LinkType::Usb, &usb_);
  dispatcher_.SetReadAllStarter([this] {
    // The run holds the poll gate from here on: a mode load's hold is
    // handed over to it.
    sync_.StartReadAll();
    link_.Gate().Release(link::PollGate::Holder::ModeLoad);
  });
}

Session::~Session() {
  tcp_.TcpClose(false);
  usb_.UsbClose(false);
  link_.State().open = false;
  link_.StopWriter();  // also one a test started without a transport link
  sync_.JoinAll();
  dispatcher_.SetReadAllStarter(nullptr);
  link_.SetTransport(link::LinkType::Tcp, nullptr);
  link_.SetTransport(link::LinkType::Usb, nullptr);
}

void Session::SetTcpTarget(const std::string& address, std::uint16_t port) {
  tcpAddress_ = address;
  tcpPort_ = port;
}

void Session::UseNetwork(const std::string& address, std::uint16_t port) {
  SetTcpTarget(address, port);
  if (!link_.IsOpen()) link_.State().networkMode = true;
}

void Session::ForgetModeLoad() {
  // A load whose answer never came holds the poll no longer than its link.
  link_.Gate().Release(link::PollGate::Holder::ModeLoad);
}

int Session::Connect() {
  if (link_.State().networkMode.load()) return ConnectNetwork(tcpAddress_, tcpPort_);
  return ConnectUsbDevice();
}

int Session::ConnectNetwork(const std::string& address, std::uint16_t port) {
  if (link_.IsOpen() && !link_.State().networkMode.load()) usb_.UsbClose(false);
  link_.State().networkMode = true;
  SetTcpTarget(address, port);
  ForgetModeLoad();
  return tcp_.TcpConnect(address, port);
}

int Session::ConnectUsbDevice() {
  // Switching the mode under an open TCP link would send its frames the
  // USB way; UsbLink::Connect refuses an open link.
  if (link_.IsOpen()) return usb_.Connect();
  link_.State().networkMode = false;
  ForgetModeLoad();
  return usb_.Connect();
}

void Session::Disconnect(bool sendNotice) {
  if (tcp_.Running()) tcp_.TcpClose(sendNotice);
  usb_.UsbClose(sendNotice);
  ForgetModeLoad();
}

bool Session::HandleDeviceRemoved(const std::string& path) {
  if (!usb_.IsOpenDevice(path)) return false;
  return usb_.UsbCloseOnRemoval();
}

namespace {
std::uint8_t ModeNumber(int mode) { return static_cast<std::uint8_t>(std::clamp(mode, 0, 3)); }
}  // namespace

bool Session::LoadMode(int mode) {
  if (!link_.IsOpen()) return false;
  const std::uint8_t n = ModeNumber(mode);
  records_.ClearStatus();
  link_.Gate().Hold(link::PollGate::Holder::ModeLoad);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  records_.SetCurrentMode(n);
  Send({link::cmd::kLoadModeMenu, n});
  return true;
}

void Session::StoreMode(int mode) {
  const std::uint8_t n = ModeNumber(mode);
  records_.SetSettingsChanged(false);
  records_.SetCurrentMode(n);
  Send({link::cmd::kStoreMode, n});
}

void Session::NameAndStoreMode(int mode) {
  const std::uint8_t n = ModeNumber(mode);
  records_.SetCurrentMode(n);
  Send({link::cmd::kNameModeSlot, n});
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Send({link::cmd::kStoreMode, n});
}

bool Session::PollStatus() {
  if (!link_.Gate().Open() || !link_.IsOpen() || link_.State().readerEnded.load()) return false;
  Send({link::cmd::kGetStatus});
  return true;
}

void Session::FactoryReset() { Send({link::cmd::kFactoryReset, link::cmd::kFactoryResetKey}); }

void Session::RequestIdentity() {
  using namespace link::cmd;
  for (std::uint8_t c : {kGetModelName, kGetProtocol, kGetMcuVersion, kGetDspVersion, kGetMode}) {
    Send({c});
  }
}

void Session::ApplyRemoteKeys(const link::RemoteKeyTable& keys) {
  records_.SetRemoteKeys(keys);
  std::vector<std::uint8_t> body = {link::cmd::kApplyRemoteKeys};
  body.insert(body.end(), keys.begin(), keys.end());
  link_.SendCommandBytes(body);
}

bool Session::StartPlugCommand(std::uint8_t code, std::uint8_t node, std::uint8_t value) {
  using namespace link;
  if (code == kSendDataFunction) {
    return node != 0 && SendPlugRequest(link_, SetNodeValueRequest(node, value));
  }
  if (code == kAddNodeFunction) return SendPlugRequest(link_, kStartInclusionRequest);
  if (code == kRemoveNodeFunction) return SendPlugRequest(link_, kStartExclusionRequest);
  return false;
}

bool Session::StopPlugWait(std::uint8_t code) {
  const auto stop = link::PlugWaitStopRequest(code);
  return stop && link::SendPlugRequest(link_, *stop);
}

}  // namespace core
