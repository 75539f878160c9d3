#include "platform/dataset/DataSource.h"

#include "platform/dataset/DataLink.h"
#include "platform/dataset/DataSet.h"

#include <algorithm>

namespace corvane::data {

DataSource::~DataSource() {
    SetDataSet(nullptr);
    for (DataLink* link : m_links) {
        link->m_dataSource = nullptr;
    }
}

void DataSource::SetDataSet(DataSet* dataSet) {
    if (m_dataSet == dataSet) {
        return;
    }
    if (m_dataSet) {
        auto& sources = m_dataSet->m_sources;
        sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    }
    m_dataSet = dataSet;
    if (m_dataSet) {
        m_dataSet->m_sources.push_back(this);
    }
    Notify(DataEvent::ActiveChange, 0);
}

void DataSource::SetEnabled(bool enabled) {
    if (m_enabled != enabled) {
        m_enabled = enabled;
        Notify(DataEvent::ActiveChange, 0);
    }
}

void DataSource::AddLink(DataLink* link) { m_links.push_back(link); }

void DataSource::RemoveLink(DataLink* link) { m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end()); }

void DataSource::Notify(DataEvent event, long long info) {
    if (!m_enabled && event != DataEvent::ActiveChange) {
        return;
    }
    switch (event) {
    case DataEvent::UpdateState:
        if (OnStateChange) {
            OnStateChange();
        }
        break;
    case DataEvent::FieldChange:
        if (OnDataChange) {
            OnDataChange(reinterpret_cast<Field*>(info));
        }
        break;
    case DataEvent::RecordChange:
    case DataEvent::DataSetChange:
    case DataEvent::DataSetScroll:
    case DataEvent::LayoutChange:
        if (OnDataChange) {
            OnDataChange(nullptr);
        }
        break;
    case DataEvent::UpdateRecord:
        if (OnUpdateData) {
            OnUpdateData();
        }
        break;
    default:
        break;
    }
    const std::vector<DataLink*> links = m_links;
    for (DataLink* link : links) {
        link->Notify(event, info);
    }
}

} // namespace corvane::data
