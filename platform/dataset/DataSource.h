// A data source joins a dataset to the controls that show it: the dataset
// sends every change through its data sources, in the order they were joined,
// and each data source passes it on to its data links in the order they were
// joined.
#pragma once

#include <functional>
#include <vector>

namespace corvane::data {

class DataLink;
class DataSet;
class Field;

// The notifications a dataset sends to its data sources.
enum class DataEvent {
    FieldChange,      // a field of the current record changed (info: the field)
    RecordChange,     // the current record changed as a whole
    DataSetChange,    // the rows or their order changed: show everything again
    DataSetScroll,    // the cursor moved (info: the distance)
    LayoutChange,     // fields were added, moved, shown or hidden
    UpdateRecord,     // controls: write your pending input into the record
    UpdateState,      // the dataset's state changed
    CheckBrowseMode,  // the dataset is about to leave edit or insert
    ActiveChange,     // the dataset opened or closed
};

class DataSource {
public:
    DataSource() = default;
    explicit DataSource(DataSet* dataSet) { SetDataSet(dataSet); }
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    DataSet* GetDataSet() const { return m_dataSet; }
    void SetDataSet(DataSet* dataSet);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // Called with the changed field, or null when the record or the rows changed.
    std::function<void(Field* field)> OnDataChange;
    std::function<void()> OnStateChange;
    std::function<void()> OnUpdateData;

    // Sent by the dataset.
    void Notify(DataEvent event, long long info);

private:
    friend class DataLink;
    friend class DataSet;
    void AddLink(DataLink* link);
    void RemoveLink(DataLink* link);

    DataSet* m_dataSet = nullptr;
    bool m_enabled = true;
    std::vector<DataLink*> m_links;
};

} // namespace corvane::data
