#include "platform/dataset/ClientDataSet.h"

#include "platform/dataset/ChangeLog.h"
#include "platform/sys/SysUtils.h"

namespace corvane::data {
namespace {

// The store of a level and the column of each nested step, from a path like "qryBody".
RowStore* StoreOfPath(RowStore* top, const std::string& path, std::vector<int>* columns) {
    RowStore* store = top;
    size_t start = 0;
    while (store && start < path.size()) {
        size_t dot = path.find('.', start);
        if (dot == std::string::npos) {
            dot = path.size();
        }
        const int col = store->ColumnOf(path.substr(start, dot - start));
        if (col < 0 || store->Defs()[static_cast<size_t>(col)].Type != FieldType::DataSet) {
            return nullptr;
        }
        if (columns) {
            columns->push_back(col);
        }
        store = store->Nested(col);
        start = dot + 1;
    }
    return store;
}

} // namespace

IProviderConnection& ClientDataSet::Connection() const {
    if (!m_connection || m_providerName.empty()) {
        throw EDatabaseError("Dataset " + Name() + " has no provider to ask");
    }
    return *m_connection;
}

Variant ClientDataSet::DataRequest(const Variant& data) { return Connection().DataRequest(m_providerName, data); }

void ClientDataSet::OpenData() {
    if (!m_connection) {
        DataSet::OpenData();
        return;
    }
    const std::string packet = Connection().GetRecords(m_providerName, PacketSize, true);
    PacketReader reader(packet);
    auto shared = std::make_shared<SharedRows>();
    shared->Store = std::make_unique<RowStore>(reader.Defs());
    shared->TopRows = reader.ReadInto(*shared->Store);
    shared->Store->ShrinkToFit();
    m_allFetched = PacketSize < 0 || static_cast<int>(shared->TopRows.size()) < PacketSize || PacketSize == 0;
    AttachRows(std::move(shared));
}

int ClientDataSet::GetNextPacket() {
    CheckBrowseMode();
    if (m_allFetched || PacketSize == 0) {
        return 0;
    }
    const std::string packet = Connection().GetRecords(m_providerName, PacketSize, false);
    PacketReader reader(packet);
    const std::vector<uint32_t> rows = reader.ReadInto(*Store());
    m_allFetched = PacketSize < 0 || static_cast<int>(rows.size()) < PacketSize;
    RowsAppended(rows);
    if (!rows.empty()) {
        DataEvent(DataEvent::DataSetChange);
    }
    return static_cast<int>(rows.size());
}

bool ClientDataSet::FetchOnDemandRows(bool all) {
    if (!FetchOnDemand || m_allFetched || !m_connection) {
        return false;
    }
    int fetched = 0;
    do {
        fetched += GetNextPacket();
    } while (all && !m_allFetched);
    return fetched > 0;
}

int ClientDataSet::ProviderRecordCount() { return Connection().GetRecordCount(m_providerName); }

DataSet* ClientDataSet::LevelDataSet(const std::string& path) {
    DataSet* level = this;
    size_t start = 0;
    while (level && start < path.size()) {
        size_t dot = path.find('.', start);
        if (dot == std::string::npos) {
            dot = path.size();
        }
        Field* field = level->FindField(path.substr(start, dot - start));
        level = field ? field->NestedDataSet() : nullptr;
        start = dot + 1;
    }
    return level;
}

void ClientDataSet::Reconcile(const ApplyError& error, ReconcileAction& action) {
    std::vector<int> columns;
    RowStore* store = StoreOfPath(Store(), error.Path, &columns);
    if (!store || error.RowId >= store->RowCount()) {
        return;
    }
    const UpdateStatus status = store->Status(error.RowId);
    const UpdateKind kind = status == UpdateStatus::Inserted  ? UpdateKind::Insert
                            : status == UpdateStatus::Deleted ? UpdateKind::Delete
                                                              : UpdateKind::Modify;
    DataSet* level = LevelDataSet(error.Path);
    if (!level) {
        level = this;
    }
    // Show the refused row where it can be shown: its master first, then the row.
    try {
        if (error.Path.empty()) {
            if (BookmarkValid({error.RowId})) {
                GotoBookmark({error.RowId});
            }
        } else if (level != this && store->Parent(error.RowId) != kNoRow && columns.size() == 1) {
            if (BookmarkValid({store->Parent(error.RowId)})) {
                GotoBookmark({store->Parent(error.RowId)});
                if (level->BookmarkValid({error.RowId})) {
                    level->GotoBookmark({error.RowId});
                }
            }
        }
    } catch (const std::exception&) {
        // Positioning is a courtesy to the handler; the error is reported all the same.
    }
    const EReconcileError reconcile(error.Message, error.Context, error.ErrorCode, error.PreviousError);
    auto* client = dynamic_cast<ClientDataSet*>(level);
    const ReconcileErrorEvent& handler = client && client->OnReconcileError ? client->OnReconcileError : OnReconcileError;
    if (handler) {
        handler(*level, reconcile, kind, action);
    }
}

int ClientDataSet::ApplyUpdates(int maxErrors) {
    CheckActive();
    CheckBrowseMode();
    if (ChangeCount() == 0) {
        return 0;
    }
    const std::string delta = EncodeStoreDelta(*Store(), Shared()->TopRows);
    const ApplyResult result = DecodeApplyResult(Connection().ApplyUpdates(m_providerName, delta, maxErrors));

    changelog::RowKeys keep;
    bool aborted = false;
    for (const ApplyError& error : result.Errors) {
        ReconcileAction action = ReconcileAction::Skip;
        if (!aborted) {
            Reconcile(error, action);
        }
        switch (action) {
        case ReconcileAction::Abort:
            aborted = true;
            keep.insert({error.Path, error.RowId});
            break;
        case ReconcileAction::Merge:
        case ReconcileAction::Correct:
            break;
        case ReconcileAction::Cancel: {
            std::vector<int> columns;
            RowStore* store = StoreOfPath(Store(), error.Path, &columns);
            if (store && error.RowId < store->RowCount() && !store->IsRemoved(error.RowId)) {
                const uint32_t parent = store->Parent(error.RowId);
                if (parent == kNoRow) {
                    changelog::RevertRow(*store, Shared()->TopRows, error.RowId);
                } else {
                    RowStore* parentStore = StoreOfPath(Store(), error.Path.substr(0, error.Path.rfind('.') == std::string::npos ? 0 : error.Path.rfind('.')), nullptr);
                    if (parentStore) {
                        changelog::RevertRow(*store, parentStore->Lines(parent, columns.back()), error.RowId);
                    }
                }
            }
            break;
        }
        default:
            keep.insert({error.Path, error.RowId});
            break;
        }
    }
    if (!result.RolledBack) {
        changelog::Merge(*Store(), Shared()->TopRows, keep, "");
    }
    Resync();
    return static_cast<int>(result.Errors.size());
}

} // namespace corvane::data
