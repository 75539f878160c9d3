#include "platform/dataset/DataSet.h"

#include "platform/dataset/ChangeLog.h"
#include "platform/dataset/DataLink.h"
#include "platform/dataset/DataPacket.h"
#include "platform/sys/SysUtils.h"

#include <algorithm>
#include <utility>

namespace corvane::data {
namespace {

// Marks the calculated values of the record being edited.
constexpr uint32_t kEditBufferRow = kNoRow - 1;

bool IsEditing(DataSetState state) { return state == DataSetState::Edit || state == DataSetState::Insert; }

} // namespace

struct DataSet::LineSnapshot {
    changelog::Snapshot Lines;
};

DataSet::DataSet(std::string name) : m_name(std::move(name)) {}

DataSet::~DataSet() {
    for (DataSource* source : m_sources) {
        source->m_dataSet = nullptr;
    }
    if (m_masterField) {
        auto& siblings = m_masterField->DataSet().m_nestedSets;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (m_masterField->m_nested == this) {
            m_masterField->m_nested = siblings.empty() ? nullptr : siblings.front();
        }
    }
    for (DataSet* nested : m_nestedSets) {
        nested->m_masterField = nullptr;
        nested->m_state = DataSetState::Inactive;
    }
}

// ---- fields ----

Field& DataSet::AddField(std::string name, FieldType type, int size, FieldKind kind) {
    if (Active()) {
        throw EDatabaseError("Cannot add field '" + name + "' to the open dataset " + m_name);
    }
    if (FindField(name)) {
        throw EDatabaseError("Dataset " + m_name + " has a field '" + name + "' already");
    }
    m_fields.push_back(std::make_unique<Field>(*this, std::move(name), type, size, kind));
    m_hasPersistentFields = true;
    return *m_fields.back();
}

Field& DataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount()) {
        throw EDatabaseError("Field index " + std::to_string(index) + " out of range in " + m_name);
    }
    return *m_fields[static_cast<size_t>(index)];
}

Field* DataSet::FindField(std::string_view name) const {
    for (const auto& field : m_fields) {
        if (SameText(field->FieldName(), name)) {
            return field.get();
        }
    }
    return nullptr;
}

Field& DataSet::FieldByName(std::string_view name) const {
    Field* field = FindField(name);
    if (!field) {
        throw EDatabaseError("Field '" + std::string(name) + "' not found" + (m_name.empty() ? "" : " in " + m_name));
    }
    return *field;
}

void DataSet::RemoveDynamicFields() {
    if (!m_hasPersistentFields) {
        m_fields.clear();
    }
}

// Binds every field to its column, making the fields from the columns when
// there are no persistent ones.
void DataSet::BindFields() {
    const RowStore& store = *Store();
    if (!m_hasPersistentFields) {
        m_fields.clear();
        for (const FieldDef& def : store.Defs()) {
            auto field = std::make_unique<Field>(*this, def.Name, def.Type, def.Size, FieldKind::Data);
            field->m_required = def.Required;
            field->m_readOnly = def.ReadOnly;
            m_fields.push_back(std::move(field));
        }
    }
    int calcSlots = 0;
    for (auto& field : m_fields) {
        if (field->IsDataField()) {
            field->m_slot = store.ColumnOf(field->FieldName());
            if (field->m_slot < 0) {
                throw EDatabaseError("Field '" + field->FieldName() + "' not found in the data of " + m_name);
            }
            const FieldDef& def = store.Defs()[static_cast<size_t>(field->m_slot)];
            if ((def.Type == FieldType::DataSet) != (field->DataType() == FieldType::DataSet)) {
                throw EDatabaseError("Field '" + field->FieldName() + "' of " + m_name + " is of type " +
                                     std::string(FieldTypeName(field->DataType())) + ", the data holds " +
                                     std::string(FieldTypeName(def.Type)));
            }
            if (m_hasPersistentFields && def.Required) {
                field->m_required = true;
            }
        } else {
            field->m_slot = calcSlots++;
        }
    }
    m_calcValues.assign(static_cast<size_t>(calcSlots), Variant::Null());
    m_calcValid = false;
}

// ---- opening and closing ----

RowStore* DataSet::Store() const {
    if (m_masterField) {
        RowStore* masterStore = m_masterField->DataSet().Store();
        return masterStore ? masterStore->Nested(m_masterField->m_slot) : nullptr;
    }
    return m_shared ? m_shared->Store.get() : nullptr;
}

void DataSet::OpenData() {
    if (!m_shared) {
        throw EDatabaseError("Dataset " + m_name + " has no data: give it a provider, a packet or fields to create");
    }
    AttachRows(m_shared);
}

void DataSet::AttachRows(std::shared_ptr<SharedRows> shared) {
    m_shared = std::move(shared);
    BindFields();
    RebuildOrder();
    m_viewVersion = ~0ULL;
}

void DataSet::Open() {
    if (Active()) {
        return;
    }
    Fire(BeforeOpen);
    if (m_masterField) {
        DataSet& master = m_masterField->DataSet();
        if (!master.Active()) {
            throw EDatabaseError("Cannot open " + m_name + ": its master " + master.Name() + " is closed");
        }
        m_shared = master.m_shared;
        BindFields();
        RebuildOrder();
    } else {
        OpenData();
    }
    RebuildView(false);
    m_pos = 0;
    m_bof = true;
    m_eof = m_view.Size() == 0;
    SetState(DataSetState::Browse);
    DataEvent(DataEvent::ActiveChange);
    NotifyNested();
    Fire(AfterOpen);
}

void DataSet::Close() {
    if (!Active()) {
        return;
    }
    Fire(BeforeClose);
    for (DataSet* nested : m_nestedSets) {
        nested->Close();
    }
    ClearBuffers();
    SetState(DataSetState::Inactive);
    m_view.Clear();
    m_viewVersion = ~0ULL;
    if (!m_masterField && !m_isClone && !m_hasPersistentFields) {
        RemoveDynamicFields();
    }
    if (!m_isClone) {
        m_shared.reset();
    }
    DataEvent(DataEvent::ActiveChange);
    Fire(AfterClose);
}

void DataSet::CreateDataSet() {
    if (Active()) {
        throw EDatabaseError("Cannot create " + m_name + " while it is open");
    }
    std::vector<FieldDef> defs;
    for (const auto& field : m_fields) {
        if (field->IsDataField()) {
            FieldDef def;
            def.Name = field->FieldName();
            def.Type = field->DataType();
            def.Size = field->Size();
            def.Required = field->Required();
            defs.push_back(def);
        }
    }
    if (defs.empty()) {
        throw EDatabaseError("Cannot create " + m_name + " without data fields");
    }
    auto shared = std::make_shared<SharedRows>();
    shared->Store = std::make_unique<RowStore>(std::move(defs));
    m_shared = std::move(shared);
    Open();
}

void DataSet::SetData(std::string_view packet) {
    if (Active()) {
        Close();
    }
    PacketReader reader(packet);
    auto shared = std::make_shared<SharedRows>();
    shared->Store = std::make_unique<RowStore>(reader.Defs());
    shared->TopRows = reader.ReadInto(*shared->Store);
    shared->Store->ShrinkToFit();
    m_shared = std::move(shared);
    Open();
}

std::string DataSet::Data() const {
    CheckActive();
    const RowStore& store = *Store();
    std::vector<uint32_t> rows;
    for (uint32_t row : BaseRows()) {
        if (!store.IsRemoved(row) && store.Status(row) != UpdateStatus::Deleted) {
            rows.push_back(row);
        }
    }
    return EncodeStoreRows(store, rows);
}

void DataSet::SetDataSetField(Field* field) {
    if (Active()) {
        throw EDatabaseError("Cannot bind the open dataset " + m_name + " to a nested field");
    }
    if (m_masterField) {
        auto& siblings = m_masterField->DataSet().m_nestedSets;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    m_masterField = field;
    if (field) {
        if (field->DataType() != FieldType::DataSet) {
            throw EDatabaseError("Field '" + field->FieldName() + "' holds no nested dataset");
        }
        field->DataSet().m_nestedSets.push_back(this);
        if (!field->m_nested) {
            field->m_nested = this;
        }
    }
}

DataSet* DataSet::TopLevel() { return m_masterField ? m_masterField->DataSet().TopLevel() : this; }

const DataSet* DataSet::TopLevel() const { return m_masterField ? m_masterField->DataSet().TopLevel() : this; }

// ---- state and notification ----

void DataSet::SetState(DataSetState state) {
    if (m_state == state) {
        return;
    }
    m_state = state;
    m_modified = false;
    if (state == DataSetState::CalcFields) {
        return;
    }
    DataEvent(DataEvent::UpdateState);
}

void DataSet::CheckActive() const {
    if (!Active()) {
        throw EDatabaseError("Cannot perform this operation on a closed dataset" + (m_name.empty() ? "" : " (" + m_name + ")"));
    }
}

void DataSet::CheckEditing(const char* what) const {
    if (!IsEditing(m_state)) {
        throw EDatabaseError(std::string(what) + ": dataset " + m_name + " is not in edit or insert mode");
    }
}

void DataSet::Fire(const DataSetNotify& event) {
    if (event) {
        event(*this);
    }
}

void DataSet::DataEvent(data::DataEvent event, long long info) {
    if (ControlsDisabled()) {
        if (event == DataEvent::UpdateState || event == DataEvent::ActiveChange) {
            m_stateChangedWhileDisabled = true;
        }
        return;
    }
    const std::vector<DataSource*> sources = m_sources;
    for (DataSource* source : sources) {
        source->Notify(event, info);
    }
}

void DataSet::EnableControls() {
    if (m_disableCount == 0) {
        return;
    }
    if (--m_disableCount == 0) {
        if (m_stateChangedWhileDisabled) {
            m_stateChangedWhileDisabled = false;
            DataEvent(DataEvent::UpdateState);
        }
        DataEvent(DataEvent::DataSetChange);
    }
}

void DataSet::EnableConstraints() {
    if (m_constraintsOff > 0) {
        --m_constraintsOff;
    }
}

// ---- rows and views ----

const std::vector<uint32_t>& DataSet::BaseRows() const {
    static const std::vector<uint32_t> kNone;
    if (m_masterField) {
        const DataSet& master = m_masterField->DataSet();
        const uint32_t masterRow = master.Active() ? master.CurrentRow() : kNoRow;
        if (masterRow == kNoRow) {
            return kNone;
        }
        return master.Store()->Lines(masterRow, m_masterField->m_slot);
    }
    return m_shared ? m_shared->TopRows : kNone;
}

std::vector<uint32_t>* DataSet::MutableBaseRows() {
    if (m_masterField) {
        DataSet& master = m_masterField->DataSet();
        const uint32_t masterRow = master.CurrentRow();
        if (masterRow == kNoRow) {
            throw EDatabaseError("Cannot add lines to " + m_name + ": its master " + master.Name() + " has no record");
        }
        return &master.Store()->Lines(masterRow, m_masterField->m_slot);
    }
    return &m_shared->TopRows;
}

const RowComparator& DataSet::Order() const { return m_order; }

void DataSet::RebuildOrder() {
    const RowStore* store = Store();
    if (!store) {
        m_order = RowComparator();
        return;
    }
    if (!m_indexName.empty()) {
        const IndexDef* def = FindIndexDef(m_indexName);
        if (!def) {
            throw EDatabaseError("Index '" + m_indexName + "' not found in " + m_name);
        }
        m_order = RowComparator::ForIndex(*store, def->Fields, def->DescFields, def->CaseInsFields, def->Options);
    } else {
        m_order = RowComparator::ForIndex(*store, m_indexFieldNames, "", "", 0);
    }
}

void DataSet::SyncView() const {
    if (!Active() || !Store()) {
        return;
    }
    uint32_t masterRow = kNoRow;
    if (m_masterField) {
        masterRow = m_masterField->DataSet().CurrentRow();
    }
    if (m_viewVersion != m_shared->Version || m_viewMasterRow != masterRow) {
        RebuildView(m_viewMasterRow == masterRow);
    }
}

void DataSet::RebuildView(bool keepRow) const {
    const uint32_t oldRow = keepRow && m_pos < m_view.Size() ? m_view.RowAt(m_pos) : kNoRow;
    const uint32_t oldPos = m_pos;
    m_view.Build(*Store(), BaseRows(), m_order);
    m_viewVersion = m_shared->Version;
    m_viewMasterRow = m_masterField ? m_masterField->DataSet().CurrentRow() : kNoRow;
    const int found = oldRow == kNoRow ? -1 : m_view.PositionOf(oldRow);
    if (found >= 0) {
        m_pos = static_cast<uint32_t>(found);
    } else {
        m_pos = keepRow ? std::min(oldPos, m_view.Size() ? m_view.Size() - 1 : 0) : 0;
    }
    m_calcValid = false;
}

void DataSet::Resync() {
    BumpVersion();
    RebuildView(true);
    m_bof = m_view.Size() == 0 || m_bof;
    m_eof = m_view.Size() == 0 || (m_eof && m_pos + 1 >= m_view.Size());
    DataEvent(DataEvent::DataSetChange);
    NotifyNested();
}

void DataSet::BumpVersion() {
    if (m_shared) {
        ++m_shared->Version;
    }
}

uint32_t DataSet::ViewSize() const {
    SyncView();
    return m_view.Size();
}

uint32_t DataSet::CurrentRow() const {
    if (!Active()) {
        return kNoRow;
    }
    if (IsEditing(m_state) || (m_state == DataSetState::CalcFields && m_editRow != kNoRow)) {
        return m_editRow;
    }
    SyncView();
    return m_pos < m_view.Size() ? m_view.RowAt(m_pos) : kNoRow;
}

uint32_t DataSet::RowForRead() const {
    if (m_readPos != kNoRow) {
        SyncView();
        return m_readPos < m_view.Size() ? m_view.RowAt(m_readPos) : kNoRow;
    }
    return CurrentRow();
}

void DataSet::SetReadPosition(uint32_t position) {
    m_readPos = position;
    m_calcValid = false;
}

void DataSet::MasterChanged() {
    if (!Active()) {
        return;
    }
    if (IsEditing(m_state)) {
        Cancel();
    }
    RebuildView(false);
    m_pos = 0;
    m_bof = true;
    m_eof = m_view.Size() == 0;
    DataEvent(DataEvent::DataSetChange);
    NotifyNested();
}

void DataSet::NotifyNested() {
    const std::vector<DataSet*> nested = m_nestedSets;
    for (DataSet* set : nested) {
        set->MasterChanged();
    }
}

// A line changes only while its master is open for change.
void DataSet::CheckParentState() {
    if (m_masterField) {
        DataSet& master = m_masterField->DataSet();
        if (!IsEditing(master.m_state)) {
            master.Edit();
        }
    }
}

// ---- values ----

Variant DataSet::ReadValue(const Field& field) const {
    if (!Active()) {
        return Variant::Null();
    }
    if (field.IsDataField()) {
        if (field.DataType() == FieldType::DataSet || field.m_slot < 0) {
            return Variant();
        }
        const bool fromBuffer = (m_calculating && m_calcRow == kEditBufferRow) ||
                                (!m_calculating && m_readPos == kNoRow && IsEditing(m_state));
        if (fromBuffer) {
            return m_buffer[static_cast<size_t>(field.m_slot)];
        }
        const uint32_t row = m_calculating ? m_calcRow : RowForRead();
        return row == kNoRow ? Variant::Null() : Store()->Get(row, field.m_slot);
    }
    if (!m_calculating) {
        const uint32_t key = m_readPos == kNoRow && IsEditing(m_state) ? kEditBufferRow : RowForRead();
        if (!m_calcValid || m_calcRow != key) {
            CalculateFields(key);
        }
    }
    return m_calcValues[static_cast<size_t>(field.m_slot)];
}

void DataSet::CalculateFields(uint32_t row) const {
    auto* self = const_cast<DataSet*>(this);
    std::fill(m_calcValues.begin(), m_calcValues.end(), Variant::Null());
    m_calcRow = row;
    m_calcValid = true;
    if (m_calcValues.empty() || row == kNoRow) {
        return;
    }
    const DataSetState saved = m_state;
    m_calculating = true;
    self->m_state = DataSetState::CalcFields;
    try {
        for (const auto& field : m_fields) {
            if (field->Kind() == FieldKind::Lookup && field->LookupDataSet && field->LookupDataSet->Active()) {
                Variant keys;
                const auto names = SplitFieldNames(field->KeyFields);
                if (names.size() == 1) {
                    keys = FieldByName(names[0]).Value();
                } else {
                    std::vector<Variant> values;
                    for (const auto& name : names) {
                        values.push_back(FieldByName(name).Value());
                    }
                    keys = VarArrayOf(values);
                }
                m_calcValues[static_cast<size_t>(field->m_slot)] =
                    field->LookupDataSet->Lookup(field->LookupKeyFields, keys, field->LookupResultField);
            }
        }
        if (OnCalcFields) {
            OnCalcFields(*self);
        }
    } catch (...) {
        self->m_state = saved;
        m_calculating = false;
        throw;
    }
    self->m_state = saved;
    m_calculating = false;
}

void DataSet::WriteValue(Field& field, const Variant& value) {
    if (m_state == DataSetState::CalcFields && !field.IsDataField()) {
        m_calcValues[static_cast<size_t>(field.m_slot)] = value;
        return;
    }
    m_buffer[static_cast<size_t>(field.m_slot)] = value;
    m_modified = true;
    m_calcValid = false;
}

void DataSet::ClearBuffers() {
    m_buffer.clear();
    m_editRow = kNoRow;
    m_lineSnapshot.reset();
    m_calcValid = false;
}

// ---- navigation ----

void DataSet::ScrollTo(uint32_t position, bool bof, bool eof, bool events) {
    const auto distance = static_cast<long long>(position) - static_cast<long long>(m_pos);
    const bool moved = position != m_pos;
    m_pos = position;
    m_bof = bof;
    m_eof = eof;
    m_calcValid = false;
    if (moved || events) {
        DataEvent(DataEvent::DataSetScroll, distance);
        NotifyNested();
    }
    if (events) {
        Fire(AfterScroll);
    }
}

void DataSet::First() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    SyncView();
    ScrollTo(0, true, m_view.Size() == 0, true);
}

void DataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    FetchOnDemandRows(true);
    SyncView();
    ScrollTo(m_view.Size() ? m_view.Size() - 1 : 0, m_view.Size() == 0, true, true);
}

void DataSet::Next() {
    CheckActive();
    if (!m_eof) {
        MoveBy(1);
    }
}

void DataSet::Prior() {
    CheckActive();
    if (!m_bof) {
        MoveBy(-1);
    }
}

int DataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    SyncView();
    if (distance == 0 || (distance > 0 && m_eof) || (distance < 0 && m_bof)) {
        return 0;
    }
    long long target = static_cast<long long>(m_pos) + distance;
    while (distance > 0 && target >= static_cast<long long>(m_view.Size()) && FetchOnDemandRows(false)) {
        SyncView();
    }
    const long long size = m_view.Size();
    bool bof = false;
    bool eof = false;
    if (target >= size) {
        target = size - 1;
        eof = true;
    }
    if (target < 0) {
        target = 0;
        bof = true;
    }
    const int moved = static_cast<int>(target - static_cast<long long>(m_pos));
    ScrollTo(static_cast<uint32_t>(std::max(0LL, target)), bof || size == 0, eof || size == 0, true);
    return moved;
}

int DataSet::RecNo() const {
    if (!Active()) {
        return 0;
    }
    if (m_state == DataSetState::Insert) {
        return -1;
    }
    SyncView();
    return m_view.Size() == 0 ? 0 : static_cast<int>(m_pos) + 1;
}

void DataSet::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    SyncView();
    if (recNo < 1 || recNo > static_cast<int>(m_view.Size())) {
        throw EDatabaseError("Record number " + std::to_string(recNo) + " out of range in " + m_name);
    }
    Fire(BeforeScroll);
    const auto position = static_cast<uint32_t>(recNo - 1);
    ScrollTo(position, false, false, true);
}

int DataSet::RecordCount() const {
    if (!Active()) {
        return 0;
    }
    SyncView();
    return static_cast<int>(m_view.Size());
}

// ---- editing ----

void DataSet::Append() {
    m_appending = true;
    try {
        Insert();
    } catch (...) {
        m_appending = false;
        throw;
    }
}

void DataSet::Insert() {
    CheckActive();
    CheckBrowseMode();
    const bool appending = m_appending;
    m_appending = false;
    Fire(BeforeInsert);
    CheckParentState();
    Fire(BeforeScroll);
    SyncView();
    RowStore& store = *Store();
    uint32_t parent = kNoRow;
    if (m_masterField) {
        parent = m_masterField->DataSet().CurrentRow();
        if (parent == kNoRow) {
            throw EDatabaseError("Cannot add lines to " + m_name + ": its master has no record");
        }
    }
    if (appending) {
        m_pos = m_view.Size();
    }
    m_editRow = store.NewRow(parent);
    m_buffer.assign(static_cast<size_t>(store.ColumnCount()), Variant::Null());
    m_appendPending = appending;
    m_calcValid = false;
    SetState(DataSetState::Insert);
    NotifyNested();
    try {
        Fire(OnNewRecord);
    } catch (...) {
        if (m_state == DataSetState::Insert) {
            store.MarkRemoved(m_editRow);
            ClearBuffers();
            SetState(DataSetState::Browse);
            RebuildView(true);
            NotifyNested();
        }
        throw;
    }
    if (m_state != DataSetState::Insert) {
        // The new-record handler cancelled the insert.
        return;
    }
    m_modified = false;
    DataEvent(DataEvent::DataSetChange);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void DataSet::Edit() {
    CheckActive();
    if (IsEditing(m_state)) {
        return;
    }
    if (RecordCount() == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    Fire(BeforeEdit);
    CheckParentState();
    const uint32_t row = CurrentRow();
    RowStore& store = *Store();
    m_buffer = store.RowValues(row);
    m_lineSnapshot = std::make_unique<LineSnapshot>();
    m_lineSnapshot->Lines = changelog::TakeLines(store, row);
    m_editRow = row;
    SetState(DataSetState::Edit);
    DataEvent(DataEvent::RecordChange);
    Fire(AfterEdit);
}

void DataSet::UpdateRecord() {
    CheckEditing("UpdateRecord");
    DataEvent(DataEvent::UpdateRecord);
}

void DataSet::Post() {
    CheckActive();
    if (!IsEditing(m_state)) {
        return;
    }
    UpdateRecord();
    DataEvent(DataEvent::CheckBrowseMode);
    Fire(BeforePost);
    if (!IsEditing(m_state)) {
        return;
    }
    for (DataSet* nested : m_nestedSets) {
        nested->CheckBrowseMode();
    }
    if (!ConstraintsDisabled()) {
        for (const auto& field : m_fields) {
            if (field->IsDataField() && field->Required() && field->DataType() != FieldType::DataSet &&
                m_buffer[static_cast<size_t>(field->m_slot)].IsEmptyOrNull()) {
                throw EDatabaseError("Field '" + field->DisplayLabel() + "' must have a value");
            }
        }
    }
    RowStore& store = *Store();
    const uint32_t row = m_editRow;
    if (m_state == DataSetState::Insert) {
        store.SetRowValues(row, m_buffer);
        changelog::RecordInsert(store, row);
        std::vector<uint32_t>& base = *MutableBaseRows();
        SyncView();
        // The new row stands before the current one, or at the end when appended.
        if (m_appendPending || m_pos >= m_view.Size()) {
            base.push_back(row);
        } else {
            const uint32_t before = m_view.RowAt(m_pos);
            auto it = std::find(base.begin(), base.end(), before);
            base.insert(it, row);
        }
        const uint32_t placed = m_view.Place(store, row, m_appendPending ? m_view.Size() : m_pos, m_order);
        m_pos = placed;
    } else {
        std::vector<int> changed;
        for (int col = 0; col < store.ColumnCount(); ++col) {
            if (!(store.Get(row, col) == m_buffer[static_cast<size_t>(col)])) {
                changed.push_back(col);
            }
        }
        if (!changed.empty()) {
            changelog::RecordEdit(store, row);
            for (int col : changed) {
                store.Set(row, col, m_buffer[static_cast<size_t>(col)]);
            }
            if (!m_order.Empty()) {
                m_view.Remove(m_pos);
                m_pos = m_view.Place(store, row, m_pos, m_order);
            }
        }
    }
    ++m_shared->Version;
    m_viewVersion = m_shared->Version;
    m_appendPending = false;
    ClearBuffers();
    m_bof = false;
    m_eof = false;
    SetState(DataSetState::Browse);
    if (m_masterField) {
        // The master's record now holds changed lines.
        m_masterField->DataSet().m_modified = true;
    }
    DataEvent(DataEvent::DataSetChange);
    Fire(AfterPost);
}

void DataSet::Cancel() {
    CheckActive();
    if (!IsEditing(m_state)) {
        return;
    }
    DataEvent(DataEvent::CheckBrowseMode);
    Fire(BeforeCancel);
    for (DataSet* nested : m_nestedSets) {
        if (IsEditing(nested->m_state)) {
            nested->Cancel();
        }
    }
    RowStore& store = *Store();
    if (m_state == DataSetState::Insert) {
        store.MarkRemoved(m_editRow);
    } else if (m_lineSnapshot) {
        changelog::RestoreLines(store, m_editRow, m_lineSnapshot->Lines);
        ++m_shared->Version;
    }
    m_appendPending = false;
    ClearBuffers();
    SetState(DataSetState::Browse);
    RebuildView(true);
    m_eof = m_eof && m_view.Size() == 0;
    DataEvent(DataEvent::DataSetChange);
    NotifyNested();
    Fire(AfterCancel);
}

void DataSet::Delete() {
    CheckActive();
    if (m_state == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (RecordCount() == 0) {
        throw EDatabaseError("Cannot perform this operation on an empty dataset" +
                             (m_name.empty() ? "" : " (" + m_name + ")"));
    }
    DataEvent(DataEvent::CheckBrowseMode);
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    CheckParentState();
    if (m_state == DataSetState::Edit) {
        for (DataSet* nested : m_nestedSets) {
            nested->Cancel();
        }
        ClearBuffers();
        SetState(DataSetState::Browse);
    }
    SyncView();
    const uint32_t row = m_view.RowAt(m_pos);
    RowStore& store = *Store();
    if (!changelog::RecordDelete(store, row)) {
        std::vector<uint32_t>& base = *MutableBaseRows();
        base.erase(std::remove(base.begin(), base.end(), row), base.end());
    }
    m_view.Remove(m_pos);
    ++m_shared->Version;
    m_viewVersion = m_shared->Version;
    if (m_pos >= m_view.Size()) {
        m_pos = m_view.Size() ? m_view.Size() - 1 : 0;
        m_eof = true;
    }
    m_bof = m_view.Size() == 0 || m_bof;
    m_eof = m_view.Size() == 0 || m_eof;
    m_calcValid = false;
    if (m_masterField) {
        m_masterField->DataSet().m_modified = true;
    }
    DataEvent(DataEvent::DataSetChange);
    NotifyNested();
    Fire(AfterDelete);
    Fire(AfterScroll);
}

void DataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(DataEvent::CheckBrowseMode);
    if (IsEditing(m_state)) {
        if (m_modified) {
            Post();
        } else {
            Cancel();
        }
    }
}

// ---- finding ----

bool DataSet::RowMatches(uint32_t row, const std::vector<int>& columns, const std::vector<Variant>& values,
                         unsigned options) const {
    const RowStore& store = *Store();
    for (size_t i = 0; i < columns.size(); ++i) {
        const Variant value = store.Get(row, columns[i]);
        const Variant& wanted = values[i];
        if (wanted.IsEmptyOrNull() || value.IsNull()) {
            if (wanted.IsEmptyOrNull() != value.IsNull()) {
                return false;
            }
            continue;
        }
        const bool caseInsensitive = options & loCaseInsensitive;
        if (value.IsString()) {
            std::string have = value.ToString();
            std::string want = wanted.ToString();
            if (options & loPartialKey) {
                have = have.substr(0, want.size());
            }
            if (caseInsensitive ? !SameText(have, want) : have != want) {
                return false;
            }
        } else if (CompareValues(value, wanted, caseInsensitive) != 0) {
            return false;
        }
    }
    return true;
}

bool DataSet::Locate(std::string_view keyFields, const Variant& keyValues, unsigned options) {
    CheckActive();
    CheckBrowseMode();
    const auto names = SplitFieldNames(keyFields);
    std::vector<int> columns;
    for (const auto& name : names) {
        Field& field = FieldByName(name);
        if (!field.IsDataField()) {
            throw EDatabaseError("Locate needs data fields; '" + name + "' is calculated");
        }
        columns.push_back(field.m_slot);
    }
    std::vector<Variant> values;
    if (names.size() == 1 && !keyValues.IsArray()) {
        values.push_back(keyValues);
    } else {
        if (!keyValues.IsArray() || keyValues.Length() != static_cast<int>(names.size())) {
            throw EDatabaseError("Locate needs one value for each of the fields " + std::string(keyFields));
        }
        for (int i = keyValues.LowBound(); i <= keyValues.HighBound(); ++i) {
            values.push_back(keyValues.At(i));
        }
    }
    SyncView();
    for (uint32_t position = 0; position < m_view.Size(); ++position) {
        if (RowMatches(m_view.RowAt(position), columns, values, options)) {
            Fire(BeforeScroll);
            ScrollTo(position, false, false, true);
            return true;
        }
    }
    return false;
}

Variant DataSet::Lookup(std::string_view keyFields, const Variant& keyValues, std::string_view resultFields) {
    CheckActive();
    const auto names = SplitFieldNames(keyFields);
    std::vector<int> columns;
    for (const auto& name : names) {
        columns.push_back(FieldByName(name).m_slot);
    }
    std::vector<Variant> values;
    if (names.size() == 1 && !keyValues.IsArray()) {
        values.push_back(keyValues);
    } else if (keyValues.IsArray() && keyValues.Length() == static_cast<int>(names.size())) {
        for (int i = keyValues.LowBound(); i <= keyValues.HighBound(); ++i) {
            values.push_back(keyValues.At(i));
        }
    } else {
        return Variant::Null();
    }
    SyncView();
    const auto results = SplitFieldNames(resultFields);
    for (uint32_t position = 0; position < m_view.Size(); ++position) {
        const uint32_t row = m_view.RowAt(position);
        if (RowMatches(row, columns, values, 0)) {
            if (results.size() == 1) {
                return Store()->Get(row, FieldByName(results[0]).m_slot);
            }
            std::vector<Variant> found;
            for (const auto& name : results) {
                found.push_back(Store()->Get(row, FieldByName(name).m_slot));
            }
            return VarArrayOf(found);
        }
    }
    return Variant::Null();
}

Bookmark DataSet::GetBookmark() const {
    if (!Active() || m_state == DataSetState::Insert) {
        return {};
    }
    return {CurrentRow()};
}

bool DataSet::BookmarkValid(const Bookmark& bookmark) const {
    if (!Active() || !bookmark.IsValid()) {
        return false;
    }
    SyncView();
    return m_view.PositionOf(bookmark.Row) >= 0;
}

void DataSet::GotoBookmark(const Bookmark& bookmark) {
    CheckActive();
    CheckBrowseMode();
    SyncView();
    const int position = bookmark.IsValid() ? m_view.PositionOf(bookmark.Row) : -1;
    if (position < 0) {
        throw EDatabaseError("Record not found in " + m_name);
    }
    Fire(BeforeScroll);
    ScrollTo(static_cast<uint32_t>(position), false, false, true);
}

// ---- order ----

void DataSet::SetIndexFieldNames(std::string names) { ChangeOrder(std::move(names), {}); }

void DataSet::SetIndexName(std::string name) { ChangeOrder({}, std::move(name)); }

// One order is active: field names or a named index. An order that cannot be
// built leaves the previous one in place.
void DataSet::ChangeOrder(std::string fieldNames, std::string indexName) {
    std::string oldNames = std::exchange(m_indexFieldNames, std::move(fieldNames));
    std::string oldIndex = std::exchange(m_indexName, std::move(indexName));
    if (!Active()) {
        return;
    }
    CheckBrowseMode();
    try {
        RebuildOrder();
    } catch (...) {
        m_indexFieldNames = std::move(oldNames);
        m_indexName = std::move(oldIndex);
        RebuildOrder();
        throw;
    }
    RebuildView(true);
    DataEvent(DataEvent::DataSetChange);
}

const IndexDef* DataSet::FindIndexDef(std::string_view name) const {
    for (const IndexDef& def : m_indexDefs) {
        if (SameText(def.Name, name)) {
            return &def;
        }
    }
    return nullptr;
}

void DataSet::AddIndex(IndexDef def) {
    for (IndexDef& existing : m_indexDefs) {
        if (SameText(existing.Name, def.Name)) {
            existing = std::move(def);
            if (Active() && SameText(existing.Name, m_indexName)) {
                RebuildOrder();
                RebuildView(true);
                DataEvent(DataEvent::DataSetChange);
            }
            return;
        }
    }
    m_indexDefs.push_back(std::move(def));
}

// ---- change log ----

int DataSet::ChangeCount() const {
    const DataSet* top = TopLevel();
    return top->Active() && top->Store() ? changelog::CountChanges(*top->Store()) : 0;
}

UpdateStatus DataSet::GetUpdateStatus() const {
    if (m_state == DataSetState::Insert) {
        return UpdateStatus::Inserted;
    }
    const uint32_t row = CurrentRow();
    return row == kNoRow ? UpdateStatus::Unmodified : Store()->Status(row);
}

void DataSet::CancelUpdates() {
    DataSet* top = TopLevel();
    top->CheckActive();
    if (IsEditing(top->m_state)) {
        top->Cancel();
    }
    changelog::CancelRows(*top->Store(), top->m_shared->TopRows);
    ++top->m_shared->Version;
    top->RebuildView(true);
    top->DataEvent(DataEvent::DataSetChange);
    top->NotifyNested();
}

bool DataSet::RevertRecord() {
    CheckActive();
    if (IsEditing(m_state)) {
        Cancel();
    }
    const uint32_t row = CurrentRow();
    if (row == kNoRow) {
        return false;
    }
    std::vector<uint32_t>* base = MutableBaseRows();
    if (!changelog::RevertRow(*Store(), *base, row)) {
        return false;
    }
    ++m_shared->Version;
    RebuildView(true);
    DataEvent(DataEvent::DataSetChange);
    NotifyNested();
    return true;
}

void DataSet::MergeChangeLog() {
    DataSet* top = TopLevel();
    top->CheckActive();
    top->CheckBrowseMode();
    changelog::Merge(*top->Store(), top->m_shared->TopRows, {}, "");
    ++top->m_shared->Version;
    top->RebuildView(true);
    top->NotifyNested();
}

void DataSet::RowsAppended(const std::vector<uint32_t>& rows) {
    auto& base = m_shared->TopRows;
    base.insert(base.end(), rows.begin(), rows.end());
    ++m_shared->Version;
    if (!rows.empty() && m_eof) {
        m_eof = false;
    }
}

// ---- clones ----

void DataSet::CloneCursor(DataSet& source, bool keepSettings) {
    source.CheckActive();
    if (Active()) {
        Close();
    }
    if (m_masterField) {
        SetDataSetField(nullptr);
    }
    m_isClone = true;
    m_fields.clear();
    m_hasPersistentFields = false;
    if (keepSettings) {
        m_indexDefs = source.m_indexDefs;
        m_indexFieldNames = source.m_indexFieldNames;
        m_indexName = source.m_indexName;
    } else {
        m_indexFieldNames.clear();
        m_indexName.clear();
    }
    if (source.m_masterField) {
        SetDataSetField(source.m_masterField);
        m_shared = source.m_shared;
        Open();
    } else {
        m_shared = source.m_shared;
        Open();
    }
}

} // namespace corvane::data
