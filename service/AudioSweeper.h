#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

// Removes old audio from the folder at start and then every interval, on its own thread, until
// destroyed.
class AudioSweeper {
 public:
  AudioSweeper(std::filesystem::path folder, std::chrono::seconds maxAge);
  ~AudioSweeper();
  AudioSweeper(const AudioSweeper&) = delete;
  AudioSweeper& operator=(const AudioSweeper&) = delete;

 private:
  void Run();

  const std::filesystem::path folder_;
  const std::chrono::seconds maxAge_;
  const std::chrono::milliseconds interval_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};
