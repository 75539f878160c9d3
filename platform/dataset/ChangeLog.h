// The walks over the change log of a store: count, build the delta, merge
// the applied rows, cancel or revert changes, and the snapshot that undoes
// the line changes of a master edit that is cancelled. Each walk goes down
// into the lines of every row it visits.
#pragma once

#include "platform/dataset/DataPacket.h"
#include "platform/dataset/RowStore.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace corvane::data::changelog {

// Changed rows and lines (not counting removed ones).
int CountChanges(const RowStore& store);
// True when the row or one of its lines (at any depth) has changed.
bool HasChanges(const RowStore& store, uint32_t row);
// Called before a stored row takes new values.
void RecordEdit(RowStore& store, uint32_t row);
void RecordInsert(RowStore& store, uint32_t row);
// Marks a row deleted; an inserted row is removed outright. Answers true when
// the row stays (as deleted) in the list.
bool RecordDelete(RowStore& store, uint32_t row);

// The changed rows of a list (and below them their changed lines), in the
// order they were first changed.
std::vector<DeltaRow> BuildDeltaRows(const RowStore& store, const std::vector<uint32_t>& rows);

// Refused rows, as (path, row id).
using RowKeys = std::set<std::pair<std::string, uint32_t>>;

// Accepts the changes of every row of the list except the refused ones; merged
// deletes leave the list.
void Merge(RowStore& store, std::vector<uint32_t>& rows, const RowKeys& refused, const std::string& path);
// Undoes every change of the rows of a list (inserted rows leave it).
void CancelRows(RowStore& store, std::vector<uint32_t>& rows);
// Undoes the changes of one row and its lines; false when it had none.
bool RevertRow(RowStore& store, std::vector<uint32_t>& rows, uint32_t row);

// The lines of a row as they are now, to be put back by Restore.
struct Snapshot {
    struct Image {
        uint32_t Row = 0;
        std::vector<Variant> Values;
        UpdateStatus Status = UpdateStatus::Unmodified;
        std::string OriginalImage; // empty when the row kept none
        std::vector<std::vector<uint32_t>> Lines; // per nested column
        std::vector<Image> Children;
    };
    std::vector<std::vector<uint32_t>> Lines; // per nested column of the master row
    std::vector<Image> Images;
};

Snapshot TakeLines(const RowStore& store, uint32_t row);
void RestoreLines(RowStore& store, uint32_t row, const Snapshot& snapshot);

} // namespace corvane::data::changelog
