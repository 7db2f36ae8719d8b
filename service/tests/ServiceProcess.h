#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// The real tarvinel-speechd on a free loopback port with its own audio folder, stopped and cleaned
// up when the owner goes.
class ServiceProcess {
 public:
  explicit ServiceProcess(std::vector<std::string> extraFlags = {},
                          std::filesystem::path audioFolder = {});
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  bool Started() const { return port_ > 0; }
  int Port() const { return port_; }
  const std::filesystem::path& AudioFolder() const { return folder_; }

  // Sends the signal and waits; the wait status, or -1 if it did not end within the time.
  int StopWith(int signalNumber);

 private:
  pid_t pid_ = -1;
  int port_ = -1;
  std::filesystem::path folder_;
  bool ownFolder_ = false;
};

// Runs the service binary with these flags to its end; the exit status, or -1.
int RunServiceToEnd(const std::vector<std::string>& flags);

// Sends raw bytes to the port and returns all the answer.
std::string ExchangeRaw(int port, const std::string& request);
