// The Windows tests' side of scripted_server.py: scripts its answers and takes back the requests it
// received, over plain sockets so that nothing of the code under test is involved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Script {
public:
    Script& Send(std::string_view bytes);
    Script& Fill(uint64_t count, uint8_t byte);
    Script& Sleep(int ms);
    // Holds the answer until a request for path has arrived, at most ms.
    Script& Wait(std::string_view path, int ms);
    Script& Close();
    const std::string& Steps() const { return steps_; }

private:
    std::string steps_;
};

// "HTTP/1.1 200 OK", the given header lines (each ended by CR LF), a Content-Length line when
// length is not negative, and the blank line.
std::string AnswerHead(std::string_view lines, long long length);

class ScriptedServer {
public:
    // The server named by TARVINEL_TEST_SERVER (its port on 127.0.0.1); Port() is 0 without one.
    ScriptedServer();
    int Port() const { return port_; }
    // "127.0.0.1:<port>"
    std::string HostAndPort() const;
    bool Answer(std::string_view path, const Script& script) const;
    // The requests received since the last call, oldest first, byte for byte.
    std::vector<std::string> Take() const;

private:
    std::string Exchange(std::string_view command) const;
    int port_ = 0;
};

// A loopback port nothing listens on.
int UnusedPort();
