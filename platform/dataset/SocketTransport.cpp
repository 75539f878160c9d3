#include "platform/dataset/SocketTransport.h"

#include "platform/dataset/ValueCodec.h"
#include "platform/sys/SysUtils.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvane::data {
namespace {

using codec::ByteReader;
using codec::PutSigned;
using codec::PutText;
using codec::PutVarint;

constexpr uint32_t kMaxFrame = 256u << 20;
constexpr int kMaxDepth = 32;

enum class Op : uint8_t {
    Create = 1,
    Invoke = 2,
    GetProperty = 3,
    PutProperty = 4,
    HasMember = 5,
    DataRequest = 6,
    GetRecords = 7,
    GetRecordCount = 8,
    ApplyUpdates = 9,
};

enum Tag : uint8_t { tEmpty, tNull, tBool, tInt, tInt64, tDouble, tDate, tString, tWide, tArray };

bool SendAll(int socket, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t sent = send(socket, data, size, MSG_NOSIGNAL);
        if (sent <= 0) {
            if (sent < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool ReceiveAll(int socket, char* data, size_t size) {
    while (size > 0) {
        const ssize_t got = recv(socket, data, size, 0);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool SendFrame(int socket, const std::string& payload) {
    const uint32_t size = static_cast<uint32_t>(payload.size());
    const char header[4] = {static_cast<char>(size & 0xFF), static_cast<char>((size >> 8) & 0xFF),
                            static_cast<char>((size >> 16) & 0xFF), static_cast<char>(size >> 24)};
    return SendAll(socket, header, 4) && SendAll(socket, payload.data(), payload.size());
}

// Reads a frame; false when the peer closed or the frame is too big.
bool ReceiveFrame(int socket, std::string& payload) {
    unsigned char header[4];
    if (!ReceiveAll(socket, reinterpret_cast<char*>(header), 4)) {
        return false;
    }
    const uint32_t size = header[0] | header[1] << 8 | header[2] << 16 | static_cast<uint32_t>(header[3]) << 24;
    if (size > kMaxFrame) {
        return false;
    }
    payload.resize(size);
    return ReceiveAll(socket, payload.data(), size);
}

void PutVariantAt(std::string& out, const Variant& value, int depth) {
    if (depth > kMaxDepth) {
        throw EOleError("A value nests arrays too deeply to be sent");
    }
    switch (value.Type()) {
    case VarType::Empty:
        out.push_back(static_cast<char>(tEmpty));
        return;
    case VarType::Null:
        out.push_back(static_cast<char>(tNull));
        return;
    case VarType::Boolean:
        out.push_back(static_cast<char>(tBool));
        out.push_back(value.ToBool() ? 1 : 0);
        return;
    case VarType::Integer:
        out.push_back(static_cast<char>(tInt));
        PutSigned(out, value.ToInt());
        return;
    case VarType::Int64:
        out.push_back(static_cast<char>(tInt64));
        PutSigned(out, value.ToInt64());
        return;
    case VarType::Double:
    case VarType::Date: {
        out.push_back(static_cast<char>(value.Type() == VarType::Double ? tDouble : tDate));
        const double d = value.ToDouble();
        char bytes[8];
        std::memcpy(bytes, &d, 8);
        out.append(bytes, 8);
        return;
    }
    case VarType::String:
        out.push_back(static_cast<char>(tString));
        PutText(out, value.ToString());
        return;
    case VarType::WideString: {
        out.push_back(static_cast<char>(tWide));
        const std::u16string text = value.ToWideString();
        PutText(out, std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * 2));
        return;
    }
    case VarType::Array: {
        const VarArray& array = value.Array();
        out.push_back(static_cast<char>(tArray));
        out.push_back(static_cast<char>(array.DimCount()));
        for (const auto& bound : array.Bounds()) {
            PutSigned(out, bound.Low);
            PutVarint(out, static_cast<uint64_t>(bound.Count));
        }
        for (const Variant& element : array.Elements()) {
            PutVariantAt(out, element, depth + 1);
        }
        return;
    }
    case VarType::Dispatch:
        throw EOleError("An automation object cannot be sent over the network");
    }
}

Variant ReadVariantAt(ByteReader& in, int depth) {
    if (depth > kMaxDepth) {
        in.Fail("a value nests arrays too deeply");
    }
    switch (in.Byte()) {
    case tEmpty:
        return Variant();
    case tNull:
        return Variant::Null();
    case tBool:
        return Variant(in.Byte() != 0);
    case tInt:
        return Variant(static_cast<long long>(in.Signed()));
    case tInt64:
        return Variant::FromInt64(in.Signed());
    case tDouble:
        return Variant(in.Double());
    case tDate:
        return Variant::FromDate(in.Double());
    case tString:
        return Variant(std::string(in.Text()));
    case tWide: {
        const std::string_view bytes = in.Text();
        if (bytes.size() % 2) {
            in.Fail("a wide text has an odd number of bytes");
        }
        std::u16string text(bytes.size() / 2, u'\0');
        std::memcpy(text.data(), bytes.data(), bytes.size());
        return Variant(std::move(text));
    }
    case tArray: {
        const uint8_t dims = in.Byte();
        if (dims != 1 && dims != 2) {
            in.Fail("an array has " + std::to_string(dims) + " dimensions");
        }
        int64_t low[2] = {0, 0};
        uint64_t count[2] = {0, 0};
        for (uint8_t d = 0; d < dims; ++d) {
            low[d] = in.Signed();
            count[d] = in.Count(1, "array element");
            if (low[d] < INT32_MIN / 2 || low[d] > INT32_MAX / 2 || count[d] > INT32_MAX / 2) {
                in.Fail("array bounds out of range");
            }
        }
        const uint64_t total = dims == 1 ? count[0] : count[0] * count[1];
        if (total > in.Left()) {
            in.Fail("the array holds more elements than the frame");
        }
        VarArray array = dims == 1 ? VarArray(static_cast<int>(low[0]), static_cast<int>(low[0] + count[0]) - 1)
                                   : VarArray(static_cast<int>(low[0]), static_cast<int>(low[0] + count[0]) - 1,
                                              static_cast<int>(low[1]), static_cast<int>(low[1] + count[1]) - 1);
        for (Variant& element : array.Elements()) {
            element = ReadVariantAt(in, depth + 1);
        }
        return Variant(std::move(array));
    }
    default:
        in.Fail("unknown value tag");
    }
}

std::string ErrorReply(const std::exception& error) {
    std::string reply(1, '\x01');
    PutText(reply, ExceptionClassName(error));
    PutText(reply, error.what());
    return reply;
}

} // namespace

void PutVariantTree(std::string& out, const Variant& value) { PutVariantAt(out, value, 0); }

Variant ReadVariantTree(std::string_view bytes, size_t& pos) {
    ByteReader in(bytes);
    in.Seek(pos);
    Variant value = ReadVariantAt(in, 0);
    pos = in.Pos();
    return value;
}

// ---- server ----

SocketServer::SocketServer(const std::string& address, int port) {
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0) {
        throw EOSError("Cannot make a socket: " + std::string(std::strerror(errno)), errno);
    }
    const int on = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
        close(m_listen);
        throw EOSError("Not an IPv4 address: " + address, EINVAL);
    }
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || listen(m_listen, 16) != 0) {
        const int error = errno;
        close(m_listen);
        throw EOSError("Cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(error), error);
    }
    socklen_t length = sizeof where;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&where), &length);
    m_port = ntohs(where.sin_port);
}

SocketServer::~SocketServer() { Stop(); }

void SocketServer::Start() { m_acceptor = std::thread([this] { AcceptLoop(); }); }

void SocketServer::Stop() {
    if (m_stopping.exchange(true)) {
        return;
    }
    if (m_listen >= 0) {
        shutdown(m_listen, SHUT_RDWR);
    }
    if (m_acceptor.joinable()) {
        m_acceptor.join();
    }
    {
        std::lock_guard guard(m_lock);
        for (int socket : m_sockets) {
            shutdown(socket, SHUT_RDWR);
        }
    }
    for (std::thread& connection : m_connections) {
        if (connection.joinable()) {
            connection.join();
        }
    }
    if (m_listen >= 0) {
        close(m_listen);
        m_listen = -1;
    }
}

void SocketServer::AcceptLoop() {
    while (!m_stopping) {
        pollfd waiting{m_listen, POLLIN, 0};
        if (poll(&waiting, 1, 200) <= 0) {
            continue;
        }
        const int client = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            continue;
        }
        const int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::lock_guard guard(m_lock);
        ReapFinished();
        m_sockets.push_back(client);
        m_connections.emplace_back([this, client] { Serve(client); });
    }
}

void SocketServer::Serve(int socket) {
    DispatchPtr object;
    IProviderConnection* providers = nullptr;
    std::string request;
    while (!m_stopping && ReceiveFrame(socket, request)) {
        std::string reply(1, '\x00');
        try {
            ByteReader in(request);
            const auto op = static_cast<Op>(in.Byte());
            if (op == Op::Create) {
                object = CreateOleObject(std::string(in.Text()));
                providers = dynamic_cast<IProviderConnection*>(object.get());
            } else if (!object) {
                throw EOleError("Ask for a server object first");
            } else {
                switch (op) {
                case Op::Invoke: {
                    const std::string member(in.Text());
                    const uint64_t count = in.Count(1, "argument");
                    std::vector<Variant> args;
                    for (uint64_t i = 0; i < count; ++i) {
                        size_t pos = in.Pos();
                        args.push_back(ReadVariantTree(request, pos));
                        in.Seek(pos);
                    }
                    const Variant result = object->Invoke(member, args);
                    PutVariantTree(reply, result);
                    PutVarint(reply, args.size());
                    for (const Variant& arg : args) {
                        PutVariantTree(reply, arg);
                    }
                    break;
                }
                case Op::GetProperty:
                    PutVariantTree(reply, object->GetProperty(std::string(in.Text())));
                    break;
                case Op::PutProperty: {
                    const std::string member(in.Text());
                    size_t pos = in.Pos();
                    object->PutProperty(member, ReadVariantTree(request, pos));
                    break;
                }
                case Op::HasMember:
                    reply.push_back(object->HasMember(std::string(in.Text())) ? 1 : 0);
                    break;
                default: {
                    if (!providers) {
                        throw EOleError("The server object has no providers");
                    }
                    const std::string provider(in.Text());
                    if (op == Op::DataRequest) {
                        size_t pos = in.Pos();
                        PutVariantTree(reply, providers->DataRequest(provider, ReadVariantTree(request, pos)));
                    } else if (op == Op::GetRecords) {
                        const int count = static_cast<int>(in.Signed());
                        const bool reset = in.Byte() != 0;
                        PutText(reply, providers->GetRecords(provider, count, reset));
                    } else if (op == Op::GetRecordCount) {
                        PutSigned(reply, providers->GetRecordCount(provider));
                    } else if (op == Op::ApplyUpdates) {
                        const std::string delta(in.Text());
                        const int maxErrors = static_cast<int>(in.Signed());
                        PutText(reply, providers->ApplyUpdates(provider, delta, maxErrors));
                    } else {
                        throw EOleError("Unknown request " + std::to_string(static_cast<int>(op)));
                    }
                    break;
                }
                }
            }
        } catch (const std::exception& error) {
            reply = ErrorReply(error);
        }
        if (!SendFrame(socket, reply)) {
            break;
        }
    }
    shutdown(socket, SHUT_RDWR);
    std::lock_guard guard(m_lock);
    close(socket);
    m_sockets.erase(std::remove(m_sockets.begin(), m_sockets.end(), socket), m_sockets.end());
    m_finished.push_back(std::this_thread::get_id());
}

void SocketServer::ReapFinished() {
    for (const std::thread::id finished : m_finished) {
        const auto ended = std::find_if(m_connections.begin(), m_connections.end(),
                                        [finished](const std::thread& thread) { return thread.get_id() == finished; });
        if (ended != m_connections.end()) {
            ended->join();
            m_connections.erase(ended);
        }
    }
    m_finished.clear();
}

// ---- client ----

std::shared_ptr<RemoteServer> RemoteServer::Connect(const std::string& address, int port, const std::string& className,
                                                    std::chrono::seconds timeout) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        throw EOleError("Cannot make a socket: " + std::string(std::strerror(errno)));
    }
    timeval wait{static_cast<time_t>(timeout.count()), 0};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1 ||
        connect(socket, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
        const std::string reason = std::strerror(errno);
        close(socket);
        throw EOleError("Cannot reach the application server at " + address + ":" + std::to_string(port) + ": " + reason);
    }
    std::shared_ptr<RemoteServer> server(new RemoteServer(socket));
    std::string request(1, static_cast<char>(Op::Create));
    PutText(request, className);
    server->Call(request);
    return server;
}

RemoteServer::~RemoteServer() { close(m_socket); }

std::string RemoteServer::Call(const std::string& request) const {
    std::lock_guard guard(m_lock);
    std::string reply;
    if (!SendFrame(m_socket, request) || !ReceiveFrame(m_socket, reply) || reply.empty()) {
        throw EOleError("The connection to the application server was lost");
    }
    if (reply[0] == 0) {
        return reply.substr(1);
    }
    ByteReader in(reply);
    in.Seek(1);
    const std::string kind(in.Text());
    throw EOleError(std::string(in.Text()) + (kind.empty() ? "" : " (" + kind + " on the server)"));
}

Variant RemoteServer::GetProperty(std::string_view name) {
    std::string request(1, static_cast<char>(Op::GetProperty));
    PutText(request, name);
    const std::string reply = Call(request);
    size_t pos = 0;
    return ReadVariantTree(reply, pos);
}

void RemoteServer::PutProperty(std::string_view name, const Variant& value) {
    std::string request(1, static_cast<char>(Op::PutProperty));
    PutText(request, name);
    PutVariantTree(request, value);
    Call(request);
}

Variant RemoteServer::Invoke(std::string_view name, std::vector<Variant>& args) {
    std::string request(1, static_cast<char>(Op::Invoke));
    PutText(request, name);
    PutVarint(request, args.size());
    for (const Variant& arg : args) {
        PutVariantTree(request, arg);
    }
    const std::string reply = Call(request);
    size_t pos = 0;
    Variant result = ReadVariantTree(reply, pos);
    ByteReader in(reply);
    in.Seek(pos);
    const uint64_t count = in.Count(1, "argument");
    pos = in.Pos();
    for (uint64_t i = 0; i < count; ++i) {
        Variant value = ReadVariantTree(reply, pos);
        if (i < args.size()) {
            args[static_cast<size_t>(i)] = std::move(value);
        }
    }
    return result;
}

bool RemoteServer::HasMember(std::string_view name) const {
    std::string request(1, static_cast<char>(Op::HasMember));
    PutText(request, name);
    const std::string reply = Call(request);
    return !reply.empty() && reply[0] != 0;
}

Variant RemoteServer::DataRequest(std::string_view provider, const Variant& data) {
    std::string request(1, static_cast<char>(Op::DataRequest));
    PutText(request, provider);
    PutVariantTree(request, data);
    const std::string reply = Call(request);
    size_t pos = 0;
    return ReadVariantTree(reply, pos);
}

std::string RemoteServer::GetRecords(std::string_view provider, int count, bool reset) {
    std::string request(1, static_cast<char>(Op::GetRecords));
    PutText(request, provider);
    PutSigned(request, count);
    request.push_back(reset ? 1 : 0);
    const std::string reply = Call(request);
    ByteReader in(reply);
    return std::string(in.Text());
}

int RemoteServer::GetRecordCount(std::string_view provider) {
    std::string request(1, static_cast<char>(Op::GetRecordCount));
    PutText(request, provider);
    const std::string reply = Call(request);
    ByteReader in(reply);
    return static_cast<int>(in.Signed());
}

std::string RemoteServer::ApplyUpdates(std::string_view provider, std::string_view delta, int maxErrors) {
    std::string request(1, static_cast<char>(Op::ApplyUpdates));
    PutText(request, provider);
    PutText(request, delta);
    PutSigned(request, maxErrors);
    const std::string reply = Call(request);
    ByteReader in(reply);
    return std::string(in.Text());
}

} // namespace corvane::data
