#pragma once

#include <httplib.h>

#include <memory>
#include <string>

#include "AudioSweeper.h"
#include "Options.h"
#include "Synthesizer.h"

class SpeechServer {
 public:
  SpeechServer(const Options& options, Synthesizer& synthesizer);
  SpeechServer(const SpeechServer&) = delete;
  SpeechServer& operator=(const SpeechServer&) = delete;

  // Binds the listening socket; returns the port bound, or -1.
  int Bind();
  // Serves until Stop(); false if serving could not start.
  bool Serve();
  void Stop();

 private:
  void AnswerSpeech(const httplib::Request& request, httplib::Response& response);
  void AnswerAudio(const httplib::Request& request, httplib::Response& response);

  const Options options_;
  Synthesizer& synthesizer_;
  int port_ = -1;
  httplib::Server http_;
  std::unique_ptr<AudioSweeper> sweeper_;
};
