#include "ServiceProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& flags, int stdoutFd) {
  std::vector<std::string> args{SPEECHD_BINARY};
  args.insert(args.end(), flags.begin(), flags.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    if (std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// The first line the service prints, e.g. "tarvinel-speechd listening on 127.0.0.1 port 41234, ...".
int ReadPort(int fd) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    char chunk[256];
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got <= 0) break;
    line.append(chunk, static_cast<size_t>(got));
  }
  const size_t at = line.find(" port ");
  return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 6);
}

bool WholeAnswer(const std::string& answer) {
  const size_t headEnd = answer.find("\r\n\r\n");
  if (headEnd == std::string::npos) return false;
  const size_t length = answer.find("Content-Length: ");
  if (length == std::string::npos || length > headEnd) return false;
  return answer.size() - headEnd - 4 >= std::stoul(answer.substr(length + 16));
}

}  // namespace

ServiceProcess::ServiceProcess(std::vector<std::string> extraFlags, std::filesystem::path audioFolder)
    : folder_(std::move(audioFolder)) {
  if (folder_.empty()) {
    folder_ = std::filesystem::temp_directory_path() / ("speechd-test-" + std::to_string(getpid()) + "-" +
                                                        std::to_string(std::random_device{}()));
    ownFolder_ = true;
  }
  std::vector<std::string> flags{"--listen", "127.0.0.1", "--port", "0", "--audio-dir", folder_.string()};
  flags.insert(flags.end(), extraFlags.begin(), extraFlags.end());
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  pid_ = Spawn(flags, out[1]);
  close(out[1]);
  if (pid_ > 0) port_ = ReadPort(out[0]);
  close(out[0]);  // the service prints nothing more
}

ServiceProcess::~ServiceProcess() {
  if (pid_ > 0) StopWith(SIGTERM);
  if (ownFolder_) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

int ServiceProcess::StopWith(int signalNumber) {
  if (pid_ <= 0) return -1;
  kill(pid_, signalNumber);
  int status = WaitFor(pid_, std::chrono::seconds(10));
  if (status == -1) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
  return status;
}

int RunServiceToEnd(const std::vector<std::string>& flags) {
  const pid_t pid = Spawn(flags, -1);
  if (pid <= 0) return -1;
  const int status = WaitFor(pid, std::chrono::seconds(10));
  if (status == -1) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  return status;
}

std::string ExchangeRaw(int port, const std::string& request) {
  const int sock = socket(AF_INET, SOCK_STREAM, 0);
  if (sock < 0) return "";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      send(sock, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
    timeval timeout{5, 0};
    setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    // Until the peer closes or one whole answer is in: the service may keep the connection open.
    char chunk[4096];
    ssize_t got;
    while (!WholeAnswer(answer) && (got = recv(sock, chunk, sizeof chunk, 0)) > 0) {
      answer.append(chunk, static_cast<size_t>(got));
    }
  }
  close(sock);
  return answer;
}
