#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "state/seam.h"

struct SentDatagram {
  Endpoint to;
  std::vector<uint8_t> bytes;
};

// A recording Seam for tests: keeps every datagram, text and exit status, runs on a clock the
// test sets and plays a scripted device. send_script is used front to back; once it is empty
// send_result holds.
struct FakeSeam : Seam {
  uint64_t now_ms = 0;
  bool device = true;
  int32_t poll_result = di_ok, read_result = di_ok, acquire_result = di_ok;
  int acquire_calls = 0;
  JoyState state{};
  bool send_result = true;
  std::vector<bool> send_script;

  std::vector<SentDatagram> sent;
  std::vector<std::pair<int, std::wstring>> texts;
  std::vector<int> events; // in order: a control id for a text, -port for a datagram
  std::vector<int> exits;
  std::function<void()> on_text; // runs after each set_text, as the listener thread might

  bool has_device() override { return device; }
  int32_t poll() override { return poll_result; }
  int32_t acquire() override {
    ++acquire_calls;
    return acquire_result;
  }
  int32_t read_state(JoyState& out) override {
    out = state;
    return read_result;
  }
  void set_text(int id, const wchar_t* text) override {
    texts.emplace_back(id, text);
    events.push_back(id);
    if (on_text) on_text();
  }
  bool send(const Endpoint& to, const uint8_t* bytes, size_t size) override {
    sent.push_back({to, {bytes, bytes + size}});
    events.push_back(-to.port);
    if (send_script.empty()) return send_result;
    const bool result = send_script.front();
    send_script.erase(send_script.begin());
    return result;
  }
  uint64_t tick_count_ms() override { return now_ms; }
  void exit_process(int status) override { exits.push_back(status); }

  // The last text set on this control; "<none>" when none was.
  std::wstring text(int id) const {
    for (auto it = texts.rbegin(); it != texts.rend(); ++it)
      if (it->first == id) return it->second;
    return L"<none>";
  }
  std::vector<std::vector<uint8_t>> sent_to(uint16_t port) const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& d : sent)
      if (d.to.port == port) out.push_back(d.bytes);
    return out;
  }
  void clear() {
    sent.clear();
    texts.clear();
    events.clear();
    exits.clear();
  }
};
