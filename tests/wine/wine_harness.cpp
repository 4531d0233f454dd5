#include "wine_harness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Wine must not offer to download Mono or Gecko, nor write desktop menus.
constexpr const char* base_dll_overrides = "mscoree,mshtml=;winemenubuilder.exe=d";
constexpr auto poll_step = 20ms;

std::vector<std::string> session_environment(const WineSession& session,
                                             const EnvList& extra = {}) {
  std::string overrides = base_dll_overrides;
  EnvList set = {{"WINEPREFIX", session.prefix}, {"WINEDEBUG", "-all"}, {"WINEARCH", "win64"}};
  for (const auto& [name, value] : extra) {
    if (name == "WINEDLLOVERRIDES")
      overrides += ";" + value;
    else if (name == "WINEDEBUG")
      set[1].second = value;
    else
      set.emplace_back(name, value);
  }
  set.emplace_back("WINEDLLOVERRIDES", overrides);

  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = name == "WAYLAND_DISPLAY" || name == "WINELOADER" || name == "WINESERVER";
    for (const auto& kv : set)
      replaced = replaced || kv.first == name;
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [name, value] : set)
    env.push_back(name + "=" + value);
  return env;
}

// Starts a child that dies with this process. `out` and `err` become its stdout and stderr
// (-1: /dev/null).
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, int out,
            int err) {
  std::vector<char*> av;
  for (const auto& a : argv)
    av.push_back(const_cast<char*>(a.c_str()));
  av.push_back(nullptr);
  std::vector<char*> ev;
  for (const auto& e : env)
    ev.push_back(const_cast<char*>(e.c_str()));
  ev.push_back(nullptr);
  const int null_fd = open("/dev/null", O_RDWR | O_CLOEXEC);

  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(null_fd, 0);
    dup2(out >= 0 ? out : null_fd, 1);
    dup2(err >= 0 ? err : null_fd, 2);
    execvpe(av[0], av.data(), ev.data());
    _exit(127);
  }
  if (null_fd >= 0) close(null_fd);
  return pid;
}

int status_of(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

std::optional<int> reap(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int wait_status = 0;
    const pid_t r = waitpid(pid, &wait_status, WNOHANG);
    if (r == pid) return status_of(wait_status);
    if (r < 0) return -1;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(poll_step);
  }
}

void end_child(pid_t& pid, int signal, std::chrono::milliseconds grace) {
  if (pid <= 0) return;
  kill(pid, signal);
  if (!reap(pid, grace)) {
    kill(pid, SIGKILL);
    reap(pid, 5s);
  }
  pid = -1;
}

int open_log(const WineSession& session) {
  return open(session.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

// Runs a command to its end with the session's environment; its output goes to the log.
std::optional<int> run(const WineSession& session, const std::vector<std::string>& argv,
                       std::chrono::milliseconds timeout) {
  const int log = open_log(session);
  pid_t pid = spawn(argv, session_environment(session), log, log);
  if (log >= 0) close(log);
  if (pid < 0) return std::nullopt;
  std::optional<int> status = reap(pid, timeout);
  if (!status) end_child(pid, SIGKILL, 1s);
  return status;
}

} // namespace

bool start_wine_session(WineSession& session, const std::string& windows_build,
                        std::string& error) {
  session.windows_build = windows_build;
  for (const char* exe : {"pedalon-hub.exe", "standin/dinput8.dll"}) {
    if (!std::filesystem::exists(session.windows_build + "/" + exe)) {
      error = session.windows_build + "/" + exe + " is missing: build the windows preset first";
      return false;
    }
  }
  if (std::getenv("DISPLAY") == nullptr) {
    error = "no DISPLAY: run the Wine tests under xvfb-run -a (ctest does)";
    return false;
  }
  char root[] = "/tmp/pedalon-wine-XXXXXX";
  if (mkdtemp(root) == nullptr) {
    error = "cannot make a temporary folder";
    return false;
  }
  session.root = root;
  session.prefix = session.root + "/prefix";
  session.log = session.root + "/wine.log";
  std::filesystem::create_directory(session.prefix);

  // A wineserver that outlives each program by 30 s makes later starts quick and still ends
  // should this process die; it returns once its socket is ready.
  const bool started = run(session, {"wineserver", "-p30"}, 20s) == 0;
  if (!started) error = "wineserver did not start (is the wine package installed?)";
  // The first start makes the prefix; later ones then start quickly.
  const std::optional<int> boot =
      started ? run(session, {"wine", "wineboot", "--init"}, 240s) : std::nullopt;
  if (started && (!boot || *boot != 0)) error = "wineboot --init failed or hung";
  if (!started || !boot || *boot != 0) {
    error += "\n" + wine_log(session);
    stop_wine_session(session);
    return false;
  }
  // Wine finds the stand-in only beside the program, so the hub runs from a folder of the
  // prefix's own that holds both; the build never puts them side by side.
  const std::string rig = session.prefix + "/drive_c/pedalon-rig";
  std::filesystem::create_directories(rig);
  const auto overwrite = std::filesystem::copy_options::overwrite_existing;
  std::filesystem::copy_file(session.windows_build + "/pedalon-hub.exe", rig + "/pedalon-hub.exe",
                             overwrite);
  std::filesystem::copy_file(session.windows_build + "/standin/dinput8.dll", rig + "/dinput8.dll",
                             overwrite);
  return true;
}

void stop_wine_session(WineSession& session) {
  if (!session.prefix.empty()) run(session, {"wineserver", "-k"}, 30s);
  if (!session.root.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(session.root, ignored);
    session.root.clear();
  }
}

std::string wine_log(const WineSession& session) {
  std::ifstream in(session.log);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string hub_exe(const WineSession& session) {
  return session.prefix + "/drive_c/pedalon-rig/pedalon-hub.exe";
}

WineProgram start_windows_program(const WineSession& session, const std::string& exe,
                                  const std::vector<std::string>& args, const EnvList& extra_env) {
  std::vector<std::string> argv = {"wine", exe};
  argv.insert(argv.end(), args.begin(), args.end());
  const int log = open_log(session);
  WineProgram program;
  program.pid = spawn(argv, session_environment(session, extra_env), log, log);
  if (log >= 0) close(log);
  return program;
}

std::optional<int> wait_exit(WineProgram& program, std::chrono::milliseconds timeout) {
  if (!program.status && program.pid > 0) program.status = reap(program.pid, timeout);
  return program.status;
}

void kill_program(WineProgram& program) {
  if (program.status || program.pid <= 0) return;
  kill(program.pid, SIGKILL);
  program.status = reap(program.pid, 10s);
}

std::optional<UdpProbe> open_udp_probe(uint16_t port, std::chrono::milliseconds timeout) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const auto deadline = Clock::now() + timeout;
  while (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    if (errno != EADDRINUSE || Clock::now() >= deadline) {
      close(fd);
      return std::nullopt;
    }
    std::this_thread::sleep_for(100ms);
  }
  return UdpProbe{fd, port};
}

void close_udp_probe(UdpProbe& probe) {
  if (probe.fd >= 0) close(probe.fd);
  probe.fd = -1;
}

std::optional<ProbeDatagram> receive_datagram(const UdpProbe& probe,
                                              std::chrono::milliseconds timeout) {
  pollfd p{probe.fd, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return std::nullopt;
  uint8_t buffer[2048];
  iovec io{buffer, sizeof buffer};
  sockaddr_in from{};
  alignas(cmsghdr) char control[128];
  msghdr m{};
  m.msg_name = &from;
  m.msg_namelen = sizeof from;
  m.msg_iov = &io;
  m.msg_iovlen = 1;
  m.msg_control = control;
  m.msg_controllen = sizeof control;
  const ssize_t n = recvmsg(probe.fd, &m, 0);
  if (n < 0) return std::nullopt;
  ProbeDatagram d;
  d.bytes.assign(buffer, buffer + n);
  d.from_port = ntohs(from.sin_port);
  for (cmsghdr* c = CMSG_FIRSTHDR(&m); c != nullptr; c = CMSG_NXTHDR(&m, c)) {
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
      timespec ts;
      std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
      d.arrival_ns = static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
  }
  return d;
}

bool wait_port_free(uint16_t port, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free = bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    if (free) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(100ms);
  }
}
