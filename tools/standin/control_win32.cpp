// Test and demo equipment, never shipped with the hub: the stand-in's control channel.
//
// One text command per UDP datagram to 127.0.0.1:PEDALON_STANDIN_PORT; each gets one reply,
// "ok ..." or "error ...", sent back to the sender once the command has taken effect:
//   set [dev=N] KEY=VALUE ...   x y z rx ry rz s0 s1 (-1000..1000), pov0..pov3 (-1 or
//                               0..35999), buttons=1,3 or buttons=none; stops a script
//   reset                       every controller at rest, no failures, no script
//   fail poll N [lost M]        the next N polls fail with DIERR_NOTACQUIRED, and each is
//                               followed by M (default 2) DIERR_INPUTLOST from Acquire
//   fail read [N] [lost|efail]  the next N (default 1) reads fail with DIERR_INPUTLOST/E_FAIL
//   fail off                    forget pending failures
//   script demo|off|PATH        play the built-in demo or a script file in a loop, or stop
//   sync [N]                    answer once the client has read the state N more times
//                               (default 1), or "error" after 3 s
//   get [dev=N]                 what the client did and what the controller reports now
//   text ID                     the text of control ID of the client's dialog
//   press ID                    clicks button ID of the dialog
//   command ID                  sends the dialog WM_COMMAND ID (2: the close box, Escape)
//   box [ok]                    caption and text of the client's message box, or presses its
//                               OK; "error none" while there is none
//   ping

#include "tools/standin/standin.h"

#include <cstdio>
#include <cstring>

namespace {

std::string numbered(const char* name, uint64_t value) {
  return std::string(name) + "=" + std::to_string(value);
}

// Reads an optional leading "dev=N" (1-based); `first` and `last` span the addressed devices.
std::string pick_devices(const std::vector<std::string_view>& words, size_t& next, size_t& first,
                         size_t& last) {
  const size_t count = standin().devices.size();
  if (count == 0) return "no game controller is presented";
  first = 0;
  last = count - 1;
  if (next < words.size() && words[next].substr(0, 4) == "dev=") {
    int64_t n = 0;
    if (!parse_integer(words[next].substr(4), n) || n < 1 || static_cast<size_t>(n) > count)
      return "bad device number (1 to " + std::to_string(count) + ")";
    first = last = static_cast<size_t>(n - 1);
    ++next;
  }
  return {};
}

std::string command_set(const std::vector<std::string_view>& words) {
  Standin& s = standin();
  size_t next = 1, first = 0, last = 0;
  std::string error = pick_devices(words, next, first, last);
  if (!error.empty()) return "error " + error;
  // All or nothing: a bad setting leaves every controller as it was.
  std::vector<FakeDevice> changed = s.devices;
  for (size_t i = first; i <= last; ++i)
    for (size_t w = next; w < words.size(); ++w) {
      error = apply_setting(changed[i].position, words[w]);
      if (!error.empty()) return "error " + error;
    }
  s.devices = changed;
  start_script("off");
  return "ok";
}

std::string command_fail(const std::vector<std::string_view>& words) {
  Failures& f = standin().failures;
  const std::string_view what = words.size() > 1 ? words[1] : "";
  int64_t n = 0;
  if (what == "off" && words.size() == 2) {
    f = Failures{};
    return "ok";
  }
  if (what == "poll" && (words.size() == 3 || words.size() == 5)) {
    int64_t lost = 2;
    if (!parse_integer(words[2], n) || n < 0) return "error bad poll count";
    if (words.size() == 5 && (words[3] != "lost" || !parse_integer(words[4], lost) || lost < 0))
      return "error expected 'fail poll N [lost M]'";
    f.polls = n;
    f.lost_per_poll = lost;
    return "ok";
  }
  if (what == "read" && words.size() <= 4) {
    int64_t count = 1;
    HRESULT result = DIERR_INPUTLOST;
    for (size_t w = 2; w < words.size(); ++w) {
      if (words[w] == "lost")
        result = DIERR_INPUTLOST;
      else if (words[w] == "efail")
        result = E_FAIL;
      else if (!parse_integer(words[w], count) || count < 0)
        return "error expected 'fail read [N] [lost|efail]'";
    }
    f.reads = count;
    f.read_result = result;
    return "ok";
  }
  return "error expected 'fail poll N [lost M]', 'fail read [N] [lost|efail]' or 'fail off'";
}

std::string command_get(const std::vector<std::string_view>& words) {
  const Standin& s = standin();
  size_t next = 1, first = 0, last = 0;
  const std::string error = pick_devices(words, next, first, last);
  if (!error.empty()) return "error " + error;
  if (next != words.size()) return "error expected 'get [dev=N]'";
  const FakeDevice& d = s.devices[first];
  char ranges[256] = "";
  for (int i = 0; i < axis_count; ++i) {
    const size_t used = std::strlen(ranges);
    std::snprintf(ranges + used, sizeof ranges - used, "%s%ld:%ld", i ? "," : "",
                  static_cast<long>(d.range_min[i]), static_cast<long>(d.range_max[i]));
  }
  char text[512];
  std::snprintf(text, sizeof text,
                "ok dev=%zu kind=%s created=%d format=%d coop=%lu acquired=%d ranges=%s "
                "version=0x%lx enum=%lu:0x%lx ",
                first + 1, device_kind_name(d.kind), d.created, d.format_set ? 1 : 0, d.cooperation,
                d.acquired ? 1 : 0, ranges, s.version, s.enum_class, s.enum_flags);
  return text + numbered("polls", s.polls) + " " + numbered("reads", s.reads) + " " +
         numbered("acquires", s.acquires) + " " + numbered("lost", s.inputs_lost) +
         " script=" + s.script_name + " " + describe_position(current_position(d));
}

// Waits without the lock, so the client can go on reading meanwhile.
std::string command_sync(const std::vector<std::string_view>& words) {
  int64_t n = 1;
  if (words.size() > 2 || (words.size() == 2 && (!parse_integer(words[1], n) || n < 1)))
    return "error expected 'sync [N]'";
  uint64_t target = 0;
  {
    const StandinLock held;
    target = standin().reads + static_cast<uint64_t>(n);
  }
  const uint64_t deadline = GetTickCount64() + 3000;
  while (GetTickCount64() < deadline) {
    {
      const StandinLock held;
      if (standin().reads >= target) return "ok " + numbered("reads", standin().reads);
    }
    Sleep(2);
  }
  return "error the client read nothing within 3 s";
}

SOCKET open_control_socket(uint16_t port) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return INVALID_SOCKET;
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

DWORD WINAPI serve_control(void* parameter) {
  const uint16_t port = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(parameter));
  const SOCKET s = open_control_socket(port);
  if (s == INVALID_SOCKET) {
    std::fprintf(stderr, "pedalon stand-in: cannot bind the control port 127.0.0.1:%u (in use?)\n",
                 static_cast<unsigned>(port));
    return 1;
  }
  standin_log("control channel on 127.0.0.1:%u", static_cast<unsigned>(port));
  char buffer[1024];
  for (;;) {
    sockaddr_in from;
    int from_size = sizeof from;
    const int n =
        recvfrom(s, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (n == SOCKET_ERROR) {
      // A test that went away before its reply arrived resets nothing here.
      const int error = WSAGetLastError();
      if (error == WSAECONNRESET || error == WSAEMSGSIZE || error == WSAEINTR) continue;
      standin_log("control channel: receive failed (%d)", error);
      return 1;
    }
    const std::string reply = run_command(std::string_view(buffer, static_cast<size_t>(n)));
    sendto(s, reply.data(), static_cast<int>(reply.size()), 0,
           reinterpret_cast<const sockaddr*>(&from), from_size);
  }
}

} // namespace

std::string run_command(std::string_view text) {
  const std::vector<std::string_view> words = split_words(text);
  if (words.empty()) return "error empty command";
  const std::string_view verb = words[0];
  if (verb == "sync") return command_sync(words);
  if (verb == "text" || verb == "press" || verb == "command" || verb == "box") {
    const std::string reply = run_window_command(words);
    standin_log("control: %.*s -> %s", static_cast<int>(text.size()), text.data(), reply.c_str());
    return reply;
  }
  const StandinLock held;
  std::string reply;
  if (verb == "ping" && words.size() == 1)
    reply = "ok";
  else if (verb == "set")
    reply = command_set(words);
  else if (verb == "fail")
    reply = command_fail(words);
  else if (verb == "get")
    reply = command_get(words);
  else if (verb == "reset" && words.size() == 1) {
    for (FakeDevice& d : standin().devices)
      d.position = Position{};
    standin().failures = Failures{};
    start_script("off");
    reply = "ok";
  } else if (verb == "script" && words.size() >= 2) {
    // A path may hold blanks: it is the rest of the line.
    std::string_view name = text.substr(static_cast<size_t>(words[1].data() - text.data()));
    name = name.substr(
        0, static_cast<size_t>(words.back().data() + words.back().size() - name.data()));
    const std::string error = start_script(name);
    reply = error.empty() ? "ok" : "error " + error;
  } else {
    reply = "error unknown command '" + std::string(text.substr(0, 40)) +
            "' (set, reset, fail, script, sync, get, text, press, command, box, ping)";
  }
  standin_log("control: %.*s -> %s", static_cast<int>(text.size()), text.data(), reply.c_str());
  return reply;
}

void start_control_channel(uint16_t port) {
  const HANDLE thread = CreateThread(
      nullptr, 0, serve_control, reinterpret_cast<void*>(static_cast<uintptr_t>(port)), 0, nullptr);
  if (thread) CloseHandle(thread);
}
