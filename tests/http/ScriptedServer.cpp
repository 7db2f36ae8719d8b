#include "ScriptedServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

namespace {

void StartSockets() {
    static bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

}  // namespace

Script& Script::Send(std::string_view bytes) {
    steps_ += "send " + std::to_string(bytes.size()) + "\n";
    steps_ += bytes;
    return *this;
}
Script& Script::Fill(uint64_t count, uint8_t byte) {
    steps_ += "fill " + std::to_string(count) + " " + std::to_string(byte) + "\n";
    return *this;
}
Script& Script::Sleep(int ms) {
    steps_ += "sleep " + std::to_string(ms) + "\n";
    return *this;
}
Script& Script::Wait(std::string_view path, int ms) {
    steps_ += "wait " + std::string(path) + " " + std::to_string(ms) + "\n";
    return *this;
}
Script& Script::Close() {
    steps_ += "close\n";
    return *this;
}

std::string AnswerHead(std::string_view lines, long long length) {
    std::string head = "HTTP/1.1 200 OK\r\n";
    head += lines;
    if (length >= 0) head += "Content-Length: " + std::to_string(length) + "\r\n";
    return head + "\r\n";
}

ScriptedServer::ScriptedServer() {
    StartSockets();
    const char* port = getenv("TARVINEL_TEST_SERVER");
    port_ = port ? atoi(port) : 0;
}

std::string ScriptedServer::HostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::string ScriptedServer::Exchange(std::string_view command) const {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return {};
    sockaddr_in a = Loopback(port_);
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        size_t sent = 0;
        while (sent < command.size()) {
            int n = send(s, command.data() + sent, static_cast<int>(command.size() - sent), 0);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        shutdown(s, SD_SEND);
        char buf[65536];
        int n;
        while ((n = recv(s, buf, sizeof buf, 0)) > 0) answer.append(buf, static_cast<size_t>(n));
    }
    closesocket(s);
    return answer;
}

bool ScriptedServer::Answer(std::string_view path, const Script& script) const {
    std::string command = "CTL ANSWER " + std::string(path) + " " + std::to_string(script.Steps().size()) + "\n";
    return Exchange(command + script.Steps()) == "OK\n";
}

std::vector<std::string> ScriptedServer::Take() const {
    std::string all = Exchange("CTL TAKE\n");
    std::vector<std::string> requests;
    size_t p = 0;
    while (p < all.size()) {
        size_t nl = all.find('\n', p);
        if (nl == std::string::npos) break;
        size_t n = std::stoul(all.substr(p, nl - p));
        requests.push_back(all.substr(nl + 1, n));
        p = nl + 1 + n;
    }
    return requests;
}

int UnusedPort() {
    StartSockets();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(0);
    int port = 0;
    int size = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
        port = ntohs(a.sin_port);
    }
    closesocket(s);
    return port;
}
