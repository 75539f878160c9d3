// A dataset that gets its rows from a provider and sends its changes back.
//
// Opening sends no request of its own: a custom data request (DataRequest)
// sent before tells the provider what to select. The first packet comes with
// the field layout; PacketSize rows come per packet (-1 all, 0 the layout
// only). With FetchOnDemand the next packet is fetched when the cursor runs
// past the last row; GetNextPacket fetches one explicitly. ApplyUpdates sends
// the delta of the master rows with their lines in one call; every refused
// row raises the reconcile-error event of the dataset of its level and stays
// in the change log, and the rows that were applied are merged.
#pragma once

#include "platform/dataset/DataSet.h"
#include "platform/dataset/Provider.h"

#include <functional>
#include <memory>
#include <string>

namespace corvane::data {

using ReconcileErrorEvent =
    std::function<void(DataSet& dataSet, const EReconcileError& error, UpdateKind kind, ReconcileAction& action)>;

class ClientDataSet : public DataSet {
public:
    using DataSet::DataSet;

    void SetRemoteServer(std::shared_ptr<IProviderConnection> connection) { m_connection = std::move(connection); }
    const std::shared_ptr<IProviderConnection>& RemoteServer() const { return m_connection; }
    void SetProviderName(std::string name) { m_providerName = std::move(name); }
    const std::string& ProviderName() const { return m_providerName; }

    int PacketSize = -1;
    bool FetchOnDemand = true;

    // Sends a custom data request to the provider at once; answers its reply.
    Variant DataRequest(const Variant& data);
    // Fetches the next packet; answers the number of rows it brought.
    int GetNextPacket();
    // True when the provider has sent its last row.
    bool AllFetched() const { return m_allFetched; }
    // The provider's record count for the current request.
    int ProviderRecordCount();

    // Sends the changes; answers the number of refused rows.
    int ApplyUpdates(int maxErrors);
    ReconcileErrorEvent OnReconcileError;

protected:
    void OpenData() override;
    bool FetchOnDemandRows(bool all) override;

private:
    IProviderConnection& Connection() const;
    DataSet* LevelDataSet(const std::string& path);
    void Reconcile(const ApplyError& error, ReconcileAction& action);

    std::shared_ptr<IProviderConnection> m_connection;
    std::string m_providerName;
    bool m_allFetched = true;
};

} // namespace corvane::data
