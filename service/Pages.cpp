#include "Pages.h"

namespace {

bool IsHostNameChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' ||
         c == '_';
}

bool IsIpv6Char(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == ':' || c == '.';
}

bool AllOf(std::string_view text, bool (*accept)(char)) {
  for (const char c : text) {
    if (!accept(c)) return false;
  }
  return true;
}

bool IsPort(std::string_view text) {
  return !text.empty() && text.size() <= 5 && AllOf(text, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<std::string> AudioAddress(std::string_view hostHeader, int servicePort, std::string_view id) {
  std::string_view host = hostHeader;
  std::string_view port;
  if (host.starts_with('[')) {
    const size_t close = host.find(']');
    if (close == std::string_view::npos || close == 1 || !AllOf(host.substr(1, close - 1), IsIpv6Char)) {
      return std::nullopt;
    }
    const std::string_view rest = host.substr(close + 1);
    if (!rest.empty()) {
      if (rest[0] != ':') return std::nullopt;
      port = rest.substr(1);
      if (!IsPort(port)) return std::nullopt;
    }
  } else {
    const size_t colon = host.find(':');
    if (colon != std::string_view::npos) {
      port = host.substr(colon + 1);
      host = host.substr(0, colon);
      if (!IsPort(port)) return std::nullopt;
    }
    if (host.empty() || !AllOf(host, IsHostNameChar)) return std::nullopt;
  }
  std::string address = "http://" + std::string(hostHeader);
  if (port.empty() && servicePort != 80) address += ":" + std::to_string(servicePort);
  address += "/audio/" + std::string(id) + ".mp3";
  return address;
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string AnswerPage(std::string_view audioAddress) {
  const std::string address = EscapeHtml(audioAddress);
  return "<!DOCTYPE html>\n"
         "<html><head><meta charset=\"utf-8\"><title>Tarvinel speech</title></head>\n"
         "<body>\n"
         "<embed type='audio/mpeg' pluginspage='/Products/MediaPlayer/' src='" +
         address +
         "' width='0' height='0' autostart='true'>\n"
         "<p><a href='" +
         address + "'>" + address +
         "</a></p>\n"
         "</body></html>\n";
}

std::string ErrorPage(int status, std::string_view message) {
  const std::string code = std::to_string(status);
  return "<!DOCTYPE html>\n"
         "<html><head><meta charset=\"utf-8\"><title>" +
         code +
         " - Tarvinel speech</title></head>\n"
         "<body>\n<h1>" +
         code + "</h1>\n<p>" + EscapeHtml(message) + "</p>\n</body></html>\n";
}
