#pragma once
// A small HTTP server on 127.0.0.1 for the update-check tests: it answers GET requests from a table
// of paths and bodies (404 for the rest) on a thread of its own until it is destroyed.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

class CTinyHttpServer {
public:
    explicit CTinyHttpServer(std::map<std::string, std::string> files) : m_files(std::move(files))
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        int length = sizeof(address);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        listen(m_listener, 8);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CTinyHttpServer()
    {
        m_stopping = true;
        closesocket(m_listener);
        m_thread.join();
        WSACleanup();
    }
    CTinyHttpServer(const CTinyHttpServer&) = delete;
    CTinyHttpServer& operator=(const CTinyHttpServer&) = delete;

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    int Requests() const { return m_requests; }

private:
    void Serve()
    {
        while (!m_stopping) {
            SOCKET client = accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            std::string request;
            char buffer[2048];
            while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
                const int got = recv(client, buffer, sizeof(buffer), 0);
                if (got <= 0)
                    break;
                request.append(buffer, static_cast<size_t>(got));
            }
            ++m_requests;
            const size_t start = request.find(' ');
            const size_t end = start == std::string::npos ? start : request.find(' ', start + 1);
            const std::string path = end == std::string::npos ? "" : request.substr(start + 1, end - start - 1);
            const auto found = m_files.find(path);
            std::string response;
            if (found == m_files.end())
                response = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            else
                response = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nCache-Control: no-cache\r\nContent-Length: " +
                           std::to_string(found->second.size()) + "\r\nConnection: close\r\n\r\n" + found->second;
            send(client, response.data(), static_cast<int>(response.size()), 0);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    std::map<std::string, std::string> m_files;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};
