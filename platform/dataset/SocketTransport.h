// The network transport of the server objects: calls of a dispatch object's
// members and of its providers travel over TCP as length-prefixed frames, the
// packets and deltas in their one binary encoding and other values as encoded
// variants.
//
// SocketServer accepts connections; each connection gets a server object of
// the class the client names, made by the object registry, and its calls are
// answered in that connection's own thread. RemoteServer is the client side:
// a dispatch object and a provider connection whose every call is sent to the
// server object of one connection. A failure on the server comes back as an
// EOleError carrying the server's message; a broken or malformed frame
// closes the connection with a clear error.
#pragma once

#include "platform/dataset/Provider.h"
#include "platform/variant/Dispatch.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace corvane::data {

// Writes and reads one variant (arrays nested); dispatch objects cannot be sent.
void PutVariantTree(std::string& out, const Variant& value);
Variant ReadVariantTree(std::string_view bytes, size_t& pos);

class SocketServer {
public:
    // Listens on `address` ("127.0.0.1", "0.0.0.0") and `port` (0 picks a free one).
    SocketServer(const std::string& address, int port);
    ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    int Port() const { return m_port; }
    // Serves until Stop; connections are answered in threads of their own.
    void Start();
    void Stop();

private:
    void AcceptLoop();
    void Serve(int socket);
    // Joins the threads of connections that have ended (called with m_lock held).
    void ReapFinished();

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptor;
    std::mutex m_lock;
    std::vector<std::thread> m_connections;
    std::vector<int> m_sockets;
    std::vector<std::thread::id> m_finished;
};

class RemoteServer : public Dispatch, public IProviderConnection {
public:
    // Connects and asks the server for an object of `className`; throws EOleError when it cannot.
    static std::shared_ptr<RemoteServer> Connect(const std::string& address, int port, const std::string& className,
                                                 std::chrono::seconds timeout = std::chrono::seconds(60));
    ~RemoteServer() override;

    Variant GetProperty(std::string_view name) override;
    void PutProperty(std::string_view name, const Variant& value) override;
    Variant Invoke(std::string_view name, std::vector<Variant>& args) override;
    bool HasMember(std::string_view name) const override;

    Variant DataRequest(std::string_view provider, const Variant& data) override;
    std::string GetRecords(std::string_view provider, int count, bool reset) override;
    int GetRecordCount(std::string_view provider) override;
    std::string ApplyUpdates(std::string_view provider, std::string_view delta, int maxErrors) override;

private:
    explicit RemoteServer(int socket) : m_socket(socket) {}
    // Sends a request and answers the reply's body (after the status byte).
    std::string Call(const std::string& request) const;

    int m_socket;
    mutable std::mutex m_lock;
};

} // namespace corvane::data
