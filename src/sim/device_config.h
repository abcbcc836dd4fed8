#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "link/bytes.h"

namespace qv82::sim {

// Values of the analogue front end the device reports (vendor request 04).
struct AnalogueReadings {
  std::uint16_t regulator1_duty = 0x0200;
  std::uint16_t regulator2_duty = 0x0300;
  std::uint8_t am1 = 100;
  std::uint8_t ph1 = 120;
  std::uint8_t am2 = 110;
  std::uint8_t ph2 = 130;
  std::uint8_t pi3 = 90;
  std::uint8_t vcc = 75;  // 0.16 V per step: 12 V
  std::uint8_t temperature = 25;
  // Each one-byte value moves by up to this many steps per reading.
  std::uint8_t noise = 0;
};

// Input lines, DIP switches and optical sensors as read by the host.
struct InputState {
  std::uint8_t sw1 = 0x05;  // bits 0-5
  std::uint8_t sw2 = 0x00;
  bool input1 = false;
  bool input2 = false;
  std::uint8_t opto = 0x00;
};

// Everything that makes one simulated coin selector what it is. The
// defaults describe a healthy, supported device at address 2.
struct DeviceConfig {
  std::uint8_t address = 2;
  std::string manufacturer = "Corvanti";
  std::string device_type = "QV82";
  std::string product_code = "QV82";
  std::uint32_t serial_number = 1234567;
  std::string build_code = "B01";
  std::string software_revision = "QV82HS-1.02";
  std::uint16_t creation_date = 0x0E69;      // 2007/3/9 with base year 2000
  std::uint16_t modification_date = 0x14CF;  // 2010/6/15
  std::string base_year = "2000";

  Bytes factory_password = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
  Bytes pin = {0x12, 0x34, 0x56, 0x78};
  // Factory read, factory write, PIN read, PIN write, put into the
  // factory memory image at 0x07EB.
  std::array<std::uint8_t, 4> masks = {0xFF, 0xFF, 0xFF, 0xFF};

  int baud_rate = 9600;
  std::uint64_t latency_us = 2000;
  // The monitor answers only at these rates.
  std::set<int> monitor_rates = {9600};
  std::string monitor_id = "QV82HS-BL";
  // Time the monitor takes to erase the flash before answering the header.
  std::uint64_t monitor_erase_us = 50'000;
  bool start_in_monitor = false;

  std::uint64_t seed = 1;
  // Start from an all-FF memory (the masks still laid over it) instead of
  // the factory image.
  bool erased = false;
  // The bench's coins are first those the factory image programs (kinds
  // 0..7, the euro coins of channels 1..8), then this many foreign kinds that
  // no factory channel accepts.
  std::size_t foreign_kinds = 2;

  AnalogueReadings analogue;
  InputState inputs;

  // Keep every accepted request for inspection (tests). Long real-time
  // sessions turn it off so that memory does not grow without end.
  bool keep_requests = true;
};

// Requests (header and data) answered NAK: those beginning with prefix
// (every request when it is empty; only prefix itself when exact), all but
// the first `after` of them, `times` times (-1: without end).
struct NakRule {
  Bytes prefix{};
  int after = 0;
  int times = -1;
  bool exact = false;
};

// The next request, whatever it is.
inline NakRule nak_next_request() { return {.times = 1}; }
// The store request, a memory write (FF 03) without address and data:
// writes reach the working memory, nothing reaches the stored image.
inline NakRule nak_store() { return {.prefix = {0xFF, 0x03}, .exact = true}; }

// Run-time faults of the device's answers.
struct DeviceFaults {
  bool drop_next_reply_byte = false;  // the first byte of the next reply is lost
  bool extra_byte_after_next_reply = false;
  bool wrong_checksum_next_reply = false;
  bool refuse_next_store = false;  // the next store request is refused; RAM is not kept
  // Requests answered NAK instead of their answer.
  std::vector<NakRule> nak;
  // Every memory write is acknowledged but its first byte is kept with its
  // lowest bit inverted (a failing memory cell, a corrupted frame the
  // device took as whole).
  bool flip_written_bit = false;
  std::uint64_t extra_latency_us = 0;  // every reply, while set
  int stuck_output = 0;                // 1..7: input 1 reads active while that output is latched
};

}  // namespace qv82::sim
