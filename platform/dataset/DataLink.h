// A data link is how a control follows a dataset through a data source.
//
// A control derives from DataLink and overrides the hooks it needs. A grid
// sets BufferCount to the rows it shows; the link keeps a window of that many
// rows around the current record and ActiveRecord is the current record's
// place in it. SetActiveRecord lets a control read the fields of another row
// of the window without moving the cursor.
#pragma once

#include "platform/dataset/DataSource.h"

namespace corvane::data {

class DataLink {
public:
    DataLink() = default;
    virtual ~DataLink();
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    DataSource* GetDataSource() const { return m_dataSource; }
    void SetDataSource(DataSource* source);
    DataSet* GetDataSet() const;
    // Linked to an open dataset through an enabled data source.
    bool Active() const;
    bool Editing() const { return m_editing; }
    bool ReadOnly = false;

    int BufferCount() const { return m_bufferCount; }
    void SetBufferCount(int count);
    // The current record's place in the window, and the rows the window holds.
    int ActiveRecord() const;
    int RecordCount() const;
    // Reads fields of row `index` of the window until RestoreActiveRecord.
    void SetActiveRecord(int index);
    void RestoreActiveRecord();

    // Puts the dataset into edit when it browses; false when it cannot.
    bool Edit();
    // Asks the dataset to collect pending input from its controls.
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void RecordChanged(Field* /*field*/) {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void UpdateData() {}
    virtual void CheckBrowseMode() {}

private:
    friend class DataSource;
    void Notify(DataEvent event, long long info);
    void UpdateWindow();
    void UpdateEditing();

    DataSource* m_dataSource = nullptr;
    bool m_editing = false;
    bool m_updating = false;
    int m_bufferCount = 1;
    int m_first = 0;
};

} // namespace corvane::data
