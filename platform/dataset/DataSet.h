// A dataset: a cursor over rows held in memory, with fields, the record
// states browse, edit and insert, events, data links, indexes, bookmarks,
// nested datasets, clones and a change log.
//
// Every public operation has the same shape: check, before-event, the work,
// the new state, notify the data links, after-event. The state changes in one
// place (SetState). Notifications go to the data sources in the order they
// were joined; while controls are disabled (a counter) none is sent, and the
// last EnableControls sends one refresh.
//
// Rows live in a RowStore shared with clones. A nested dataset is bound to a
// nested-dataset field of its master and shows the lines of the master's
// current record; changing a line puts a browsing master into edit, and
// cancelling the master's edit undoes the line changes made since. Changes of
// rows and lines are kept in the change log of the top-level rows (status
// and original values per row) until they are merged or cancelled.
#pragma once

#include "platform/dataset/DataSetErrors.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/DataView.h"
#include "platform/dataset/Field.h"
#include "platform/dataset/RowStore.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::data {

using DataSetNotify = std::function<void(DataSet& dataSet)>;

enum LocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };

// A saved cursor position: the id of a row.
struct Bookmark {
    uint32_t Row = kNoRow;
    bool IsValid() const { return Row != kNoRow; }
};

// The rows a dataset shares with its clones and its nested datasets.
struct SharedRows {
    std::unique_ptr<RowStore> Store;
    std::vector<uint32_t> TopRows;
    // Incremented on every change of which rows exist or where they stand, so
    // that cursors sharing the rows rebuild their views.
    uint64_t Version = 0;
};

class DataSet {
public:
    explicit DataSet(std::string name = {});
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    // ---- fields ----
    // A persistent field, declared before the dataset opens. A dataset with
    // persistent fields shows only those; otherwise it makes one per column.
    Field& AddField(std::string name, FieldType type, int size = 0, FieldKind kind = FieldKind::Data);
    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    Field& Fields(int index) const;
    Field* FindField(std::string_view name) const;
    // Throws EDatabaseError naming the field when it is missing.
    Field& FieldByName(std::string_view name) const;

    // ---- opening and closing ----
    void Open();
    void Close();
    bool Active() const { return m_state != DataSetState::Inactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    // An empty dataset from the persistent data fields (no provider).
    void CreateDataSet();
    // Opens on the rows of an encoded data packet.
    void SetData(std::string_view packet);
    // The current rows (with their lines) as an encoded data packet.
    std::string Data() const;

    // Binds this dataset to a nested-dataset field of its master.
    void SetDataSetField(Field* field);
    Field* DataSetField() const { return m_masterField; }

    DataSetState State() const { return m_state; }
    bool Modified() const { return m_modified; }

    // ---- navigation ----
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    // 1-based; 0 when empty, -1 for a record being inserted.
    int RecNo() const;
    void SetRecNo(int recNo);
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0 && m_state != DataSetState::Insert; }

    // ---- editing ----
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Posts a pending edit or insert.
    void CheckBrowseMode();
    // Asks the controls to write pending input (edit and insert only).
    void UpdateRecord();

    // ---- finding ----
    // Fields are ";"-separated; several values come as an array.
    bool Locate(std::string_view keyFields, const Variant& keyValues, unsigned options = 0);
    Variant Lookup(std::string_view keyFields, const Variant& keyValues, std::string_view resultFields);
    Bookmark GetBookmark() const;
    void GotoBookmark(const Bookmark& bookmark);
    bool BookmarkValid(const Bookmark& bookmark) const;

    // ---- order ----
    const std::string& IndexFieldNames() const { return m_indexFieldNames; }
    void SetIndexFieldNames(std::string names);
    const std::string& IndexName() const { return m_indexName; }
    void SetIndexName(std::string name);
    std::vector<IndexDef>& IndexDefs() { return m_indexDefs; }
    const IndexDef* FindIndexDef(std::string_view name) const;
    // Adds or replaces an index definition.
    void AddIndex(IndexDef def);

    // ---- controls and constraints ----
    void DisableControls() { ++m_disableCount; }
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }
    void DisableConstraints() { ++m_constraintsOff; }
    void EnableConstraints();
    bool ConstraintsDisabled() const { return m_constraintsOff > 0; }

    // ---- change log (kept by the top-level dataset for every level) ----
    int ChangeCount() const;
    UpdateStatus GetUpdateStatus() const;
    // Undoes every change since the rows were read or last merged.
    void CancelUpdates();
    // Undoes the changes of the current record (and its lines); false when it had none.
    bool RevertRecord();
    // Accepts every change as read (as after a successful apply).
    void MergeChangeLog();

    // A cursor of its own on the rows of `source`: a new row of either is seen by
    // the other at once. With keepSettings the order is copied too.
    void CloneCursor(DataSet& source, bool keepSettings = false);

    // ---- events ----
    DataSetNotify BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    DataSetNotify BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost;
    DataSetNotify BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    DataSetNotify OnNewRecord, OnCalcFields;

    // ---- for fields, data links and the client dataset ----
    void DataEvent(DataEvent event, long long info = 0);
    uint32_t CurrentRow() const;
    RowStore* Store() const;
    std::shared_ptr<SharedRows> Shared() const { return m_shared; }
    uint32_t ViewSize() const;
    // Data links read another row of the view by position (kNoRow: the current one).
    void SetReadPosition(uint32_t position);
    uint32_t Position() const { return m_pos; }

protected:
    // Fills the shared rows when the dataset opens; the base class needs rows
    // given by CreateDataSet or SetData.
    virtual void OpenData();
    // Asked when the cursor runs past the last row (all: for Last); answers
    // whether rows were added. The client dataset fetches packets here.
    virtual bool FetchOnDemandRows(bool /*all*/) { return false; }
    // Attaches shared rows and makes the fields.
    void AttachRows(std::shared_ptr<SharedRows> shared);
    // Rows appended to the top level (a fetched packet).
    void RowsAppended(const std::vector<uint32_t>& rows);
    DataSet* TopLevel();
    const DataSet* TopLevel() const;
    // Tells every cursor on the rows that they changed.
    void BumpVersion();
    // Shows the rows again after they changed underneath, staying on the current row where it remains.
    void Resync();
    void CheckActive() const;

private:
    friend class Field;
    friend class DataSource;

    // State machine and notification.
    void SetState(DataSetState state);
    void CheckEditing(const char* what) const;
    void Fire(const DataSetNotify& event);
    void ScrollTo(uint32_t position, bool bof, bool eof, bool events);

    // Fields.
    void BindFields();
    void RemoveDynamicFields();
    Variant ReadValue(const Field& field) const;
    void WriteValue(Field& field, const Variant& value);
    void CalculateFields(uint32_t row) const;
    void ClearBuffers();

    // Rows and views.
    const std::vector<uint32_t>& BaseRows() const;
    std::vector<uint32_t>* MutableBaseRows();
    const RowComparator& Order() const;
    void RebuildOrder();
    void ChangeOrder(std::string fieldNames, std::string indexName);
    void SyncView() const;
    void RebuildView(bool keepRow) const;
    uint32_t RowForRead() const;
    void MasterChanged();
    void CheckParentState();
    void NotifyNested();
    bool RowMatches(uint32_t row, const std::vector<int>& columns, const std::vector<Variant>& values,
                    unsigned options) const;

    std::string m_name;
    std::vector<std::unique_ptr<Field>> m_fields;
    bool m_hasPersistentFields = false;
    std::vector<DataSource*> m_sources;

    DataSetState m_state = DataSetState::Inactive;
    bool m_modified = false;
    bool m_bof = true;
    bool m_eof = true;
    int m_disableCount = 0;
    bool m_stateChangedWhileDisabled = false;
    int m_constraintsOff = 0;

    std::shared_ptr<SharedRows> m_shared;
    Field* m_masterField = nullptr;
    std::vector<DataSet*> m_nestedSets;
    bool m_isClone = false;

    // The view, rebuilt lazily when the shared rows' version moves on.
    mutable DataView m_view;
    mutable uint64_t m_viewVersion = ~0ULL;
    mutable uint32_t m_viewMasterRow = kNoRow;
    mutable uint32_t m_pos = 0;
    uint32_t m_readPos = kNoRow;

    std::string m_indexFieldNames;
    std::string m_indexName;
    std::vector<IndexDef> m_indexDefs;
    RowComparator m_order;

    // Edit and insert.
    std::vector<Variant> m_buffer;
    uint32_t m_editRow = kNoRow;
    bool m_appending = false;
    bool m_appendPending = false;
    struct LineSnapshot;
    std::unique_ptr<LineSnapshot> m_lineSnapshot;

    // Calculated fields of the row last read.
    mutable std::vector<Variant> m_calcValues;
    mutable uint32_t m_calcRow = kNoRow;
    mutable bool m_calcValid = false;
    mutable bool m_calculating = false;
};

} // namespace corvane::data
