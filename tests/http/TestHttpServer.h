#pragma once
// CTestHttpServer: an HTTP/1.1 server for tests. It listens on 127.0.0.1 on a port the system picks,
// answers each request from a table of path -> response (404 for a path not in the table), counts the
// requests per path, and closes every connection after its answer ("Connection: close"), so a client
// that keeps connections open cannot hold up the next one. One thread of the test process accepts and
// answers; Stop (and the destructor) close the listening socket and wait for that thread.
//
// The path of a request is the request target as sent, query included ("/a.gif?x=1").
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kivo_test {

struct CHttpResponse {
    int status = 200;
    std::string contentType = "application/octet-stream";
    std::vector<std::pair<std::string, std::string>> headers;  // further header lines
    std::string body;
};

class CTestHttpServer {
public:
    CTestHttpServer() = default;
    ~CTestHttpServer();
    CTestHttpServer(const CTestHttpServer&) = delete;
    CTestHttpServer& operator=(const CTestHttpServer&) = delete;

    // Adds or replaces the answer for a path; may be called while the server runs.
    void Serve(const std::string& path, CHttpResponse response);
    // The answer served for a path (a 404 answer when there is none).
    CHttpResponse Find(const std::string& path) const;
    // Binds to 127.0.0.1 on an ephemeral port and starts the serving thread; false when that fails.
    bool Start();
    void Stop();

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;
    int RequestCount(const std::string& path) const;
    int TotalRequests() const;

private:
    void Run();
    void Answer(unsigned long long connection);

    mutable std::mutex m_lock;
    std::map<std::string, CHttpResponse> m_responses;  // guarded by m_lock
    std::map<std::string, int> m_counts;               // guarded by m_lock
    int m_total = 0;                                   // guarded by m_lock
    unsigned long long m_listener = ~0ull;             // SOCKET; INVALID_SOCKET when not listening
    int m_port = 0;
    std::thread m_thread;
};

}  // namespace kivo_test
