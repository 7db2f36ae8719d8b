#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <variant>

#include "Options.h"
#include "Server.h"
#include "SpeechRequest.h"
#include "Synthesizer.h"

int main(int argc, char** argv) {
  const auto parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* error = std::get_if<OptionsError>(&parsed)) {
    std::fprintf(stderr, "tarvinel-speechd: %s\n%s", error->message.c_str(), kUsage);
    return 2;
  }
  const Options& options = std::get<Options>(parsed);
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }

  // Termination signals are taken by sigwait below, never by a handler, so stopping runs as plain
  // code. The mask must be set before any thread starts so that every thread inherits it.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);  // a client that hangs up must not end the service

  std::error_code folderError;
  std::filesystem::create_directories(options.audioFolder, folderError);
  if (folderError || !std::filesystem::is_directory(options.audioFolder)) {
    std::fprintf(stderr, "tarvinel-speechd: cannot use audio folder %s\n", options.audioFolder.c_str());
    return 1;
  }

  std::string engineError;
  const auto synthesizer = Synthesizer::Open(engineError);
  if (!synthesizer) {
    std::fprintf(stderr, "tarvinel-speechd: %s\n", engineError.c_str());
    return 1;
  }
  for (const std::string_view voice : KnownVoices()) {
    if (!synthesizer->HasVoice(voice)) {
      std::fprintf(stderr, "tarvinel-speechd: espeak-ng has no voice %.*s\n", static_cast<int>(voice.size()),
                   voice.data());
      return 1;
    }
  }

  SpeechServer server(options, *synthesizer);
  const int port = server.Bind();
  if (port < 0) {
    std::fprintf(stderr, "tarvinel-speechd: cannot listen on %s port %d\n", options.listen.c_str(), options.port);
    return 1;
  }
  std::printf("tarvinel-speechd listening on %s port %d, audio in %s\n", options.listen.c_str(), port,
              options.audioFolder.c_str());
  std::fflush(stdout);

  std::atomic<bool> served{true};
  std::atomic<bool> finished{false};
  std::thread serving([&] {
    served = server.Serve();
    finished = true;
    kill(getpid(), SIGTERM);  // wakes the wait below if serving ended on its own
  });
  int signalNumber = 0;
  sigwait(&stopSignals, &signalNumber);
  // A stop that comes before the serving thread has begun to accept is lost: repeat it.
  while (!finished) {
    server.Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  serving.join();
  if (!served) {
    std::fprintf(stderr, "tarvinel-speechd: serving failed\n");
    return 1;
  }
  std::fprintf(stderr, "tarvinel-speechd: stopped\n");
  return 0;
}
