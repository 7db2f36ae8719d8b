#pragma once

#include <optional>
#include <string>
#include <string_view>

// The address of stored audio as the caller can reach it: the Host it used (with the port it
// named, or else ours unless it is 80). nullopt for a missing or malformed Host, which must not
// reach the page.
std::optional<std::string> AudioAddress(std::string_view hostHeader, int servicePort, std::string_view id);

// The client cuts the address out of the page between "Products/MediaPlayer/' src='" and
// "' width='0' height='0' autostart", so both must frame exactly the address.
std::string AnswerPage(std::string_view audioAddress);
std::string ErrorPage(int status, std::string_view message);

std::string EscapeHtml(std::string_view text);
