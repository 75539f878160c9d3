// The provider side of the dataset engine: what a client dataset asks of an
// application server, and a host that answers it from named providers.
//
// Packets, deltas and apply results cross as encoded bytes, so the same calls
// work in process and over a network.
#pragma once

#include "platform/dataset/DataPacket.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace corvane::data {

// The calls of a connection to an application server's providers.
class IProviderConnection {
public:
    virtual ~IProviderConnection() = default;

    // The custom data request sent before a dataset opens (the windows send
    // [condition, order]); answers what the provider answers.
    virtual Variant DataRequest(std::string_view provider, const Variant& data) = 0;
    // An encoded data packet of up to `count` records: -1 every record, 0 the
    // field layout only. With `reset` the provider starts again from the first
    // record; otherwise it continues after the rows it sent last.
    virtual std::string GetRecords(std::string_view provider, int count, bool reset) = 0;
    // The number of records the provider's current request selects.
    virtual int GetRecordCount(std::string_view provider) = 0;
    // Applies an encoded delta; answers an encoded ApplyResult. `maxErrors` is
    // how many refused rows are borne before everything is rolled back (-1: any).
    virtual std::string ApplyUpdates(std::string_view provider, std::string_view delta, int maxErrors) = 0;
};

// One provider of a server.
class Provider {
public:
    virtual ~Provider() = default;
    virtual Variant DataRequest(const Variant& data) = 0;
    virtual std::string GetRecords(int count, bool reset) = 0;
    virtual int RecordCount() = 0;
    virtual ApplyResult Apply(const Delta& delta, int maxErrors) = 0;
};

// Answers a connection's calls from providers registered by name (names
// compare without regard to case).
class ProviderHost : public IProviderConnection {
public:
    void Register(std::string_view name, std::shared_ptr<Provider> provider);
    Provider* Find(std::string_view name) const;

    Variant DataRequest(std::string_view provider, const Variant& data) override;
    std::string GetRecords(std::string_view provider, int count, bool reset) override;
    int GetRecordCount(std::string_view provider) override;
    std::string ApplyUpdates(std::string_view provider, std::string_view delta, int maxErrors) override;

private:
    Provider& Get(std::string_view name) const;
    std::map<std::string, std::shared_ptr<Provider>> m_providers;
};

} // namespace corvane::data
