#include "platform/dataset/DataLink.h"

#include "platform/dataset/DataSet.h"

#include <algorithm>

namespace corvane::data {

DataLink::~DataLink() {
    if (m_dataSource) {
        m_dataSource->RemoveLink(this);
    }
}

void DataLink::SetDataSource(DataSource* source) {
    if (m_dataSource == source) {
        return;
    }
    if (m_dataSource) {
        m_dataSource->RemoveLink(this);
    }
    m_dataSource = source;
    if (m_dataSource) {
        m_dataSource->AddLink(this);
    }
    UpdateWindow();
    UpdateEditing();
    ActiveChanged();
}

DataSet* DataLink::GetDataSet() const { return m_dataSource ? m_dataSource->GetDataSet() : nullptr; }

bool DataLink::Active() const {
    DataSet* dataSet = GetDataSet();
    return dataSet && dataSet->Active() && m_dataSource->Enabled();
}

void DataLink::SetBufferCount(int count) {
    m_bufferCount = std::max(1, count);
    UpdateWindow();
}

// Keeps the window of rows around the current record, moving it as little as it can.
void DataLink::UpdateWindow() {
    DataSet* dataSet = GetDataSet();
    if (!Active()) {
        m_first = 0;
        return;
    }
    const int size = static_cast<int>(dataSet->ViewSize());
    const int current = static_cast<int>(dataSet->Position());
    if (current < m_first) {
        m_first = current;
    } else if (current >= m_first + m_bufferCount) {
        m_first = current - m_bufferCount + 1;
    }
    m_first = std::clamp(m_first, 0, std::max(0, size - m_bufferCount));
}

int DataLink::ActiveRecord() const {
    DataSet* dataSet = GetDataSet();
    return Active() ? static_cast<int>(dataSet->Position()) - m_first : 0;
}

int DataLink::RecordCount() const {
    DataSet* dataSet = GetDataSet();
    if (!Active()) {
        return 0;
    }
    return std::clamp(static_cast<int>(dataSet->ViewSize()) - m_first, 0, m_bufferCount);
}

void DataLink::SetActiveRecord(int index) {
    if (DataSet* dataSet = GetDataSet(); dataSet && Active()) {
        dataSet->SetReadPosition(static_cast<uint32_t>(m_first + index) == dataSet->Position() &&
                                         dataSet->State() != DataSetState::Browse
                                     ? kNoRow
                                     : static_cast<uint32_t>(m_first + index));
    }
}

void DataLink::RestoreActiveRecord() {
    if (DataSet* dataSet = GetDataSet()) {
        dataSet->SetReadPosition(kNoRow);
    }
}

bool DataLink::Edit() {
    DataSet* dataSet = GetDataSet();
    if (!Active() || ReadOnly) {
        return false;
    }
    if (dataSet->State() == DataSetState::Browse) {
        dataSet->Edit();
    }
    return m_editing;
}

void DataLink::UpdateRecord() {
    m_updating = true;
    try {
        UpdateData();
    } catch (...) {
        m_updating = false;
        throw;
    }
    m_updating = false;
}

void DataLink::UpdateEditing() {
    DataSet* dataSet = GetDataSet();
    const bool editing = Active() && !ReadOnly &&
                         (dataSet->State() == DataSetState::Edit || dataSet->State() == DataSetState::Insert);
    if (editing != m_editing) {
        m_editing = editing;
        EditingChanged();
    }
}

void DataLink::Notify(DataEvent event, long long info) {
    switch (event) {
    case DataEvent::ActiveChange:
        UpdateWindow();
        UpdateEditing();
        ActiveChanged();
        break;
    case DataEvent::UpdateState:
        UpdateEditing();
        break;
    case DataEvent::FieldChange:
        if (!m_updating) {
            RecordChanged(reinterpret_cast<Field*>(info));
        }
        break;
    case DataEvent::RecordChange:
        RecordChanged(nullptr);
        break;
    case DataEvent::DataSetChange:
        UpdateWindow();
        DataSetChanged();
        break;
    case DataEvent::DataSetScroll:
        UpdateWindow();
        DataSetScrolled(static_cast<int>(info));
        break;
    case DataEvent::LayoutChange:
        LayoutChanged();
        break;
    case DataEvent::UpdateRecord:
        UpdateRecord();
        break;
    case DataEvent::CheckBrowseMode:
        CheckBrowseMode();
        break;
    }
}

} // namespace corvane::data
