#include "tests/http/TestHttpServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>

namespace kivo_test {

namespace {

constexpr size_t kMaxRequestHead = 64 * 1024;
constexpr DWORD kReceiveTimeoutMs = 10000;

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

bool SendAll(SOCKET socket, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const int chunk = static_cast<int>(std::min<size_t>(data.size() - sent, 1 << 20));
        const int result = send(socket, data.data() + sent, chunk, 0);
        if (result <= 0)
            return false;
        sent += static_cast<size_t>(result);
    }
    return true;
}

}  // namespace

CTestHttpServer::~CTestHttpServer()
{
    Stop();
}

void CTestHttpServer::Serve(const std::string& path, CHttpResponse response)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_responses[path] = std::move(response);
}

CHttpResponse CTestHttpServer::Find(const std::string& path) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    const auto found = m_responses.find(path);
    if (found != m_responses.end())
        return found->second;
    CHttpResponse missing;
    missing.status = 404;
    missing.contentType = "text/plain";
    missing.body = "not found";
    return missing;
}

bool CTestHttpServer::Start()
{
    if (m_thread.joinable())
        return false;
    WSADATA data = {};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        WSACleanup();
        return false;
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof(address);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener, SOMAXCONN) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        WSACleanup();
        return false;
    }
    m_port = ntohs(address.sin_port);
    m_listener = listener;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CTestHttpServer::Stop()
{
    if (!m_thread.joinable())
        return;
    // Closing the listening socket makes the thread's accept fail, which ends the thread.
    closesocket(static_cast<SOCKET>(m_listener));
    m_thread.join();
    m_listener = ~0ull;
    WSACleanup();
}

std::string CTestHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

int CTestHttpServer::RequestCount(const std::string& path) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    const auto found = m_counts.find(path);
    return found == m_counts.end() ? 0 : found->second;
}

int CTestHttpServer::TotalRequests() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_total;
}

void CTestHttpServer::Run()
{
    for (;;) {
        const SOCKET connection = accept(static_cast<SOCKET>(m_listener), nullptr, nullptr);
        if (connection == INVALID_SOCKET)
            return;
        Answer(connection);
        shutdown(connection, SD_BOTH);
        closesocket(connection);
    }
}

void CTestHttpServer::Answer(unsigned long long connectionValue)
{
    const SOCKET connection = static_cast<SOCKET>(connectionValue);
    const DWORD timeout = kReceiveTimeoutMs;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (head.size() > kMaxRequestHead)
            return;
        const int received = recv(connection, buffer, sizeof(buffer), 0);
        if (received <= 0)
            return;
        head.append(buffer, static_cast<size_t>(received));
    }
    // "GET /path HTTP/1.1"
    const size_t methodEnd = head.find(' ');
    const size_t targetEnd = methodEnd == std::string::npos ? std::string::npos : head.find(' ', methodEnd + 1);
    if (targetEnd == std::string::npos)
        return;
    const std::string method = head.substr(0, methodEnd);
    const std::string path = head.substr(methodEnd + 1, targetEnd - methodEnd - 1);
    CHttpResponse response;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        ++m_counts[path];
        ++m_total;
    }
    response = Find(path);
    std::string answer = "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
    answer += "Content-Type: " + response.contentType + "\r\n";
    answer += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    answer += "Cache-Control: no-store\r\nConnection: close\r\n";
    for (const auto& [name, value] : response.headers)
        answer += name + ": " + value + "\r\n";
    answer += "\r\n";
    if (method != "HEAD")
        answer += response.body;
    SendAll(connection, answer);
}

}  // namespace kivo_test
