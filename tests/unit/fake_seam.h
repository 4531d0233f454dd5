#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "input/joy_state.h"
#include "input/seam.h"
#include "net/endpoint.h"

// A recording Seam for tests: keeps every send (endpoint and bytes), every set_text call and
// every exit status, runs on a clock the test sets, and plays a scripted device.
struct SentDatagram {
  Endpoint to;
  std::vector<uint8_t> bytes;
};

struct TextCall {
  int control_id;
  std::wstring text;
};

struct FakeSeam : Seam {
  // Clock.
  uint64_t now_ms = 0;

  // Device script. read_state copies `state` and returns `read_result`; poll and acquire
  // return their results, and acquire pops `acquire_results` front to back while any remain.
  bool device = true;
  int32_t poll_result = di_ok;
  int32_t acquire_result = di_ok;
  std::vector<int32_t> acquire_results;
  int32_t read_result = di_ok;
  JoyState state{};
  int poll_calls = 0;
  int acquire_calls = 0;
  int read_calls = 0;

  // Network: `send_results` is popped front to back while any remain, then `send_result`.
  bool send_result = true;
  std::vector<bool> send_results;
  std::vector<SentDatagram> sent;

  std::vector<TextCall> texts;
  std::vector<int> exits;

  // Runs after each set_text: lets a test act as the other thread at that moment.
  std::function<void(int control_id)> on_text;

  bool has_device() override { return device; }
  int32_t poll() override {
    ++poll_calls;
    return poll_result;
  }
  int32_t acquire() override {
    ++acquire_calls;
    if (!acquire_results.empty()) {
      const int32_t result = acquire_results.front();
      acquire_results.erase(acquire_results.begin());
      return result;
    }
    return acquire_result;
  }
  int32_t read_state(JoyState& out) override {
    ++read_calls;
    out = state;
    return read_result;
  }
  void set_text(int control_id, const wchar_t* text) override {
    texts.push_back({control_id, text ? std::wstring(text) : std::wstring()});
    if (on_text) on_text(control_id);
  }
  bool send(const Endpoint& to, const uint8_t* bytes, size_t size) override {
    sent.push_back({to, std::vector<uint8_t>(bytes, bytes + size)});
    if (!send_results.empty()) {
      const bool result = send_results.front();
      send_results.erase(send_results.begin());
      return result;
    }
    return send_result;
  }
  uint64_t tick_count_ms() override { return now_ms; }
  void exit_process(int status) override { exits.push_back(status); }

  // The last text written to this control, or nullptr when none was.
  const std::wstring* last_text(int control_id) const {
    for (auto it = texts.rbegin(); it != texts.rend(); ++it)
      if (it->control_id == control_id) return &it->text;
    return nullptr;
  }

  // The datagrams sent to this port, in order.
  std::vector<std::vector<uint8_t>> sent_to(uint16_t port) const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& d : sent)
      if (d.to.port == port) out.push_back(d.bytes);
    return out;
  }

  void clear_records() {
    sent.clear();
    texts.clear();
    exits.clear();
  }
};
