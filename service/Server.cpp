#include "Server.h"

#include <cstdio>
#include <variant>

#include "AudioStore.h"
#include "Mp3Encoder.h"
#include "Pages.h"
#include "SpeechRequest.h"

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

void Refuse(httplib::Response& response, int status, std::string_view message) {
  response.status = status;
  response.set_content(ErrorPage(status, message), kHtml);
}

std::string_view DefaultMessage(int status) {
  switch (status) {
    case 400: return "The request could not be understood.";
    case 404: return "There is nothing at this address.";
    case 405: return "This service only answers GET.";
    case 414: return "The request is too long; the text must be shorter.";
    case 500: return "The speech could not be made; please try again.";
    default: return "The request could not be served.";
  }
}

std::string_view QueryOf(const std::string& target) {
  const size_t question = target.find('?');
  return question == std::string::npos ? std::string_view{} : std::string_view(target).substr(question + 1);
}

}  // namespace

SpeechServer::SpeechServer(const Options& options, Synthesizer& synthesizer)
    : options_(options), synthesizer_(synthesizer) {
  // The library's default adds SO_REUSEPORT, which lets a second service bind the same port and
  // silently take half the requests; REUSEADDR alone still allows a quick restart.
  http_.set_socket_options([](socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  http_.Get("/bin/makeColorPlusGuest.jsp",
            [this](const httplib::Request& request, httplib::Response& response) { AnswerSpeech(request, response); });
  http_.Get(R"(/audio/([0-9a-f]{32})\.mp3)",
            [this](const httplib::Request& request, httplib::Response& response) { AnswerAudio(request, response); });
  http_.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
    if (request.method == "GET" || request.method == "HEAD") return httplib::Server::HandlerResponse::Unhandled;
    response.set_header("Allow", "GET, HEAD");
    Refuse(response, 405, DefaultMessage(405));
    return httplib::Server::HandlerResponse::Handled;
  });
  // Every failure, ours or the HTTP layer's (unknown path, bad request line), gets a readable page.
  http_.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        response.set_content(ErrorPage(response.status, DefaultMessage(response.status)), kHtml);
        return httplib::Server::HandlerResponse::Handled;
      }));
  http_.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
    Refuse(response, 500, DefaultMessage(500));
  });
  // The path only: the text in the query is the user's and stays out of the log.
  http_.set_logger([](const httplib::Request& request, const httplib::Response& response) {
    std::fprintf(stderr, "%s %s %d\n", request.method.c_str(), request.path.c_str(), response.status);
  });
}

int SpeechServer::Bind() {
  if (options_.port == 0) {
    port_ = http_.bind_to_any_port(options_.listen);
  } else {
    port_ = http_.bind_to_port(options_.listen, options_.port) ? options_.port : -1;
  }
  return port_;
}

bool SpeechServer::Serve() {
  sweeper_ = std::make_unique<AudioSweeper>(options_.audioFolder, options_.maxAge);
  const bool served = http_.listen_after_bind();
  sweeper_.reset();
  return served;
}

void SpeechServer::Stop() { http_.stop(); }

void SpeechServer::AnswerSpeech(const httplib::Request& request, httplib::Response& response) {
  auto parsed = ParseSpeechRequest(QueryOf(request.target), options_.maxChars);
  if (const auto* error = std::get_if<RequestError>(&parsed)) return Refuse(response, 400, error->message);
  const SpeechRequest& speech = std::get<SpeechRequest>(parsed);

  const std::string id = NewAudioId();
  const auto address = AudioAddress(request.get_header_value("Host"), port_, id);
  if (!address) return Refuse(response, 400, "The request has no usable Host header.");

  const auto pcm = synthesizer_.Speak(speech.text, speech.voice, speech.wordsPerMinute);
  if (!pcm) return Refuse(response, 500, "The speech engine failed on this text.");
  if (pcm->samples.empty()) return Refuse(response, 400, "The text 'ment' has nothing to speak.");
  const auto mp3 = EncodeMp3(*pcm);
  if (!mp3 || mp3->empty()) return Refuse(response, 500, "The audio could not be encoded.");
  if (!SaveAudio(options_.audioFolder, id, *mp3)) return Refuse(response, 500, "The audio could not be stored.");

  response.set_content(AnswerPage(*address), kHtml);
}

void SpeechServer::AnswerAudio(const httplib::Request& request, httplib::Response& response) {
  auto bytes = LoadAudio(options_.audioFolder, request.matches[1].str());
  if (!bytes) return Refuse(response, 404, "This audio does not exist or has expired.");
  response.set_header("Cache-Control", "no-store");
  response.set_content(*bytes, "audio/mpeg");
}
