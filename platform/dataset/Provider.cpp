#include "platform/dataset/Provider.h"

#include "platform/dataset/DataSetErrors.h"
#include "platform/sys/SysUtils.h"

namespace corvane::data {

void ProviderHost::Register(std::string_view name, std::shared_ptr<Provider> provider) {
    m_providers[UpperCase(name)] = std::move(provider);
}

Provider* ProviderHost::Find(std::string_view name) const {
    auto it = m_providers.find(UpperCase(name));
    return it == m_providers.end() ? nullptr : it->second.get();
}

Provider& ProviderHost::Get(std::string_view name) const {
    Provider* provider = Find(name);
    if (!provider) {
        throw EDatabaseError("Provider '" + std::string(name) + "' not found");
    }
    return *provider;
}

Variant ProviderHost::DataRequest(std::string_view provider, const Variant& data) { return Get(provider).DataRequest(data); }

std::string ProviderHost::GetRecords(std::string_view provider, int count, bool reset) {
    return Get(provider).GetRecords(count, reset);
}

int ProviderHost::GetRecordCount(std::string_view provider) { return Get(provider).RecordCount(); }

std::string ProviderHost::ApplyUpdates(std::string_view provider, std::string_view delta, int maxErrors) {
    Provider& target = Get(provider);
    return EncodeApplyResult(target.Apply(DecodeDelta(delta), maxErrors));
}

} // namespace corvane::data
