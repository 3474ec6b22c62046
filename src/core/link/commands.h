#pragma once

#include <cstdint>
#include <string_view>

// Command codes of the processor's command set, both directions.
namespace core::link::cmd {

// Sent by the application.
inline constexpr std::uint8_t kNameModeSlot = 0x03;      // 03 n: slot named by a loaded mode file
inline constexpr std::uint8_t kStoreMode = 0x04;         // 04 n: save into mode slot n
inline constexpr std::uint8_t kLoadModeMenu = 0x05;      // 05 n: load mode slot n (mode menu)
inline constexpr std::uint8_t kLoadModeButton = 0x06;    // 06 n: load mode slot n (M1..M4)
inline constexpr std::uint8_t kGetMode = 0x07;           // ask for the current mode number
inline constexpr std::uint8_t kParam = 0x09;             // parameter frame
inline constexpr std::uint8_t kGetStatus = 0x0E;         // ask for the status record
inline constexpr std::uint8_t kPlugFrame = 0x12;         // smart-plug serial frame (USB)
inline constexpr std::uint8_t kPlugStoreWrite = 0x13;    // block write of the plug memory
inline constexpr std::uint8_t kPlugStoreRead = 0x14;     // 14 hi lo n
inline constexpr std::uint8_t kImageRead = 0x30;         // 30 hi lo n
inline constexpr std::uint8_t kImageWrite = 0x31;        // block write of the image
inline constexpr std::uint8_t kImageWriteEnd = 0x32;     // end of a write-all run
inline constexpr std::uint8_t kLearnKey = 0x60;          // 60 k: learn remote key k
inline constexpr std::uint8_t kEndLearn = 0x61;          // end remote learning
inline constexpr std::uint8_t kGetRemoteKeys = 0x62;     // ask for the remote-key table
inline constexpr std::uint8_t kApplyRemoteKeys = 0x63;   // 63 and the 30 table bytes
inline constexpr std::uint8_t kFactoryReset = 0x68;      // 68 AA
inline constexpr std::uint8_t kFactoryResetKey = 0xAA;
inline constexpr std::uint8_t kGetDspVersion = 0x7E;
inline constexpr std::uint8_t kGetProtocol = 0x7F;       // protocol version and board info
inline constexpr std::uint8_t kGetModelName = 0x80;
inline constexpr std::uint8_t kGetMcuVersion = 0x81;
inline constexpr std::uint8_t kStoreWrite = 0x85;        // block write of the equaliser store
inline constexpr std::uint8_t kDisconnect = 0x8A;        // sent before closing on request
inline constexpr std::uint8_t kWriteMachineSettings = 0x91;
inline constexpr std::uint8_t kGetMachineSettings = 0x92;

// Received only.
inline constexpr std::uint8_t kSettingsChanged = 0x09;   // the processor's settings changed
inline constexpr std::uint8_t kError = 0x0A;             // a command was rejected
inline constexpr std::uint8_t kStoreBlock = 0x86;        // equaliser-store block

}  // namespace core::link::cmd

namespace core::link {

inline constexpr std::uint8_t kTcpPrefix = 0x81;       // before every body on TCP
inline constexpr std::uint8_t kTcpPlugPrefix = 0x80;   // smart-plug pass-through on TCP
inline constexpr std::uint8_t kUsbReportId = 0x02;
inline constexpr std::uint8_t kEnvelopeStart = 0x55;   // 'U'

// Raw texts on TCP, between envelopes: the heartbeat either end sends (and
// the host echoes), and what a processor serving another host answers.
inline constexpr std::string_view kHeartbeatText = "$HB$";
inline constexpr std::string_view kBusyText = "ISCONNECTED";

}  // namespace core::link
