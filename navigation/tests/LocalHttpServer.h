#pragma once
// A tiny HTTP server on 127.0.0.1 for the favicon tests: it answers every GET of one path with
// the bytes it is given (404 for any other path), counts the requests, and can hold its answers
// until the test lets them go, so a test can keep the favicon loader busy on purpose. Runs on a
// thread of its own; one connection at a time, "Connection: close".
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "platform/AtlBase.h"

#include <process.h>

#include <atomic>
#include <string>

namespace nav_test {

class CLocalHttpServer {
public:
    CLocalHttpServer(std::string path, std::string body, bool holdAnswers = false)
        : m_path(std::move(path)), m_body(std::move(body))
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        if (!holdAnswers)
            SetEvent(m_release);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(m_listener, 8) != 0)
            return;
        int length = sizeof(address);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Serve, this, 0, nullptr)));
    }
    ~CLocalHttpServer()
    {
        m_stopping = true;
        SetEvent(m_release);
        closesocket(m_listener);
        if (m_thread)
            WaitForSingleObject(m_thread, 30000);
        WSACleanup();
    }
    CLocalHttpServer(const CLocalHttpServer&) = delete;
    CLocalHttpServer& operator=(const CLocalHttpServer&) = delete;

    int Port() const { return m_port; }
    std::string Root() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }
    // Lets held answers go (and every later one).
    void Release() { SetEvent(m_release); }
    // Waits until the server has received `count` requests of its path.
    bool WaitForRequests(long count, DWORD deadline = 30000) const
    {
        const DWORD start = GetTickCount();
        while (m_requests < count) {
            if (GetTickCount() - start > deadline)
                return false;
            WaitForSingleObject(m_requestEvent, 100);
        }
        return true;
    }
    long Requests() const { return m_requests; }

private:
    static unsigned __stdcall Serve(void* parameter)
    {
        auto* self = static_cast<CLocalHttpServer*>(parameter);
        while (!self->m_stopping) {
            SOCKET client = accept(self->m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                break;
            self->Answer(client);
            shutdown(client, SD_BOTH);
            closesocket(client);
        }
        return 0;
    }

    void Answer(SOCKET client)
    {
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
            const int got = recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0)
                return;
            request.append(buffer, got);
        }
        const size_t space = request.find(' ');
        const size_t end = request.find(' ', space + 1);
        const std::string path = space == std::string::npos ? "" : request.substr(space + 1, end - space - 1);
        std::string answer;
        if (path == m_path) {
            ++m_requests;
            SetEvent(m_requestEvent);
            WaitForSingleObject(m_release, 60000);
            answer = "HTTP/1.1 200 OK\r\nContent-Type: image/x-icon\r\nCache-Control: no-cache\r\nContent-Length: " +
                     std::to_string(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body;
        } else {
            answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        }
        send(client, answer.data(), static_cast<int>(answer.size()), 0);
    }

    std::string m_path;
    std::string m_body;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<long> m_requests{0};
    CHandle m_release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    CHandle m_requestEvent{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    CHandle m_thread;
};

// A valid 16 x 16, 32-bit icon file.
inline std::string MakeIconFile(COLORREF colour)
{
    std::string file;
    auto put16 = [&](int v) { file += static_cast<char>(v & 0xFF); file += static_cast<char>((v >> 8) & 0xFF); };
    auto put32 = [&](long v) { put16(static_cast<int>(v & 0xFFFF)); put16(static_cast<int>((v >> 16) & 0xFFFF)); };
    const int pixels = 16 * 16 * 4;
    const int mask = 16 * 4;
    put16(0); put16(1); put16(1);                       // ICONDIR
    file += static_cast<char>(16); file += static_cast<char>(16); file += '\0'; file += '\0';
    put16(1); put16(32); put32(40 + pixels + mask); put32(22);  // ICONDIRENTRY
    put32(40); put32(16); put32(32); put16(1); put16(32); put32(0); put32(pixels + mask); put32(0); put32(0); put32(0); put32(0);
    for (int i = 0; i < 16 * 16; ++i) {
        file += static_cast<char>(GetBValue(colour));
        file += static_cast<char>(GetGValue(colour));
        file += static_cast<char>(GetRValue(colour));
        file += static_cast<char>(0xFF);
    }
    file.append(mask, '\0');
    return file;
}

}  // namespace nav_test
