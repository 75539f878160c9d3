#include "platform/dataset/ChangeLog.h"

#include <algorithm>

namespace corvane::data::changelog {
namespace {

template <typename Visit>
void ForNested(const RowStore& store, Visit visit) {
    for (int col = 0; col < store.ColumnCount(); ++col) {
        if (store.Defs()[static_cast<size_t>(col)].Type == FieldType::DataSet) {
            visit(col);
        }
    }
}

bool IsLive(const RowStore& store, uint32_t row) { return !store.IsRemoved(row); }

void Erase(std::vector<uint32_t>& rows, uint32_t row) { rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end()); }

Snapshot::Image TakeImage(const RowStore& store, uint32_t row) {
    Snapshot::Image image;
    image.Row = row;
    image.Values = store.RowValues(row);
    image.Status = store.Status(row);
    image.OriginalImage = std::string(store.OriginalImage(row));
    ForNested(store, [&](int col) {
        image.Lines.push_back(store.Lines(row, col));
        for (uint32_t line : store.Lines(row, col)) {
            image.Children.push_back(TakeImage(*store.Nested(col), line));
        }
    });
    return image;
}

void RestoreImage(RowStore& store, const Snapshot::Image& image);

void RestoreLineLists(RowStore& store, uint32_t row, const std::vector<std::vector<uint32_t>>& lists,
                      const std::vector<Snapshot::Image>& images) {
    size_t nested = 0;
    size_t child = 0;
    ForNested(store, [&](int col) {
        RowStore& lineStore = *store.Nested(col);
        const std::vector<uint32_t>& kept = lists[nested++];
        for (uint32_t line : store.Lines(row, col)) {
            if (std::find(kept.begin(), kept.end(), line) == kept.end() && !lineStore.IsRemoved(line)) {
                lineStore.MarkRemoved(line);
            }
        }
        store.Lines(row, col) = kept;
        for (size_t i = 0; i < kept.size(); ++i) {
            RestoreImage(lineStore, images[child++]);
        }
    });
}

void RestoreImage(RowStore& store, const Snapshot::Image& image) {
    store.Unremove(image.Row);
    store.SetRowValues(image.Row, image.Values);
    store.SetStatus(image.Row, image.Status);
    store.DropOriginal(image.Row);
    if (!image.OriginalImage.empty()) {
        store.SetOriginalImage(image.Row, image.OriginalImage);
    }
    if (image.Status != UpdateStatus::Unmodified) {
        store.TouchChangeSeq(image.Row);
    }
    RestoreLineLists(store, image.Row, image.Lines, image.Children);
}

} // namespace

int CountChanges(const RowStore& store) {
    int count = 0;
    for (uint32_t row = 0; row < store.RowCount(); ++row) {
        if (IsLive(store, row) && store.Status(row) != UpdateStatus::Unmodified) {
            ++count;
        }
    }
    ForNested(store, [&](int col) { count += CountChanges(*store.Nested(col)); });
    return count;
}

bool HasChanges(const RowStore& store, uint32_t row) {
    if (store.Status(row) != UpdateStatus::Unmodified) {
        return true;
    }
    bool changed = false;
    ForNested(store, [&](int col) {
        for (uint32_t line : store.Lines(row, col)) {
            changed = changed || (IsLive(*store.Nested(col), line) && HasChanges(*store.Nested(col), line));
        }
    });
    return changed;
}

void RecordEdit(RowStore& store, uint32_t row) {
    if (store.Status(row) == UpdateStatus::Unmodified) {
        store.KeepOriginal(row);
        store.SetStatus(row, UpdateStatus::Modified);
    }
    store.TouchChangeSeq(row);
}

void RecordInsert(RowStore& store, uint32_t row) {
    store.SetStatus(row, UpdateStatus::Inserted);
    store.TouchChangeSeq(row);
}

bool RecordDelete(RowStore& store, uint32_t row) {
    if (store.Status(row) == UpdateStatus::Inserted) {
        store.MarkRemoved(row);
        return false;
    }
    store.KeepOriginal(row);
    store.SetStatus(row, UpdateStatus::Deleted);
    store.TouchChangeSeq(row);
    return true;
}

std::vector<DeltaRow> BuildDeltaRows(const RowStore& store, const std::vector<uint32_t>& rows) {
    std::vector<uint32_t> changed;
    for (uint32_t row : rows) {
        if (IsLive(store, row) && HasChanges(store, row)) {
            changed.push_back(row);
        }
    }
    std::stable_sort(changed.begin(), changed.end(), [&](uint32_t a, uint32_t b) {
        const uint64_t x = store.ChangeSeq(a) ? store.ChangeSeq(a) : UINT64_MAX;
        const uint64_t y = store.ChangeSeq(b) ? store.ChangeSeq(b) : UINT64_MAX;
        return x < y;
    });
    std::vector<DeltaRow> delta;
    delta.reserve(changed.size());
    for (uint32_t row : changed) {
        DeltaRow entry;
        entry.Status = store.Status(row);
        entry.RowId = row;
        std::vector<Variant> current = store.RowValues(row);
        if (entry.Status != UpdateStatus::Inserted) {
            entry.Original = store.OriginalValues(row);
        }
        if (entry.Status == UpdateStatus::Modified) {
            entry.Changed.resize(current.size());
            for (size_t col = 0; col < current.size(); ++col) {
                entry.Changed[col] = !(current[col] == entry.Original[col]);
            }
        }
        if (entry.Status != UpdateStatus::Deleted) {
            entry.Current = std::move(current);
        }
        ForNested(store, [&](int col) { entry.Lines.push_back(BuildDeltaRows(*store.Nested(col), store.Lines(row, col))); });
        delta.push_back(std::move(entry));
    }
    return delta;
}

void Merge(RowStore& store, std::vector<uint32_t>& rows, const RowKeys& refused, const std::string& path) {
    std::vector<uint32_t> gone;
    for (uint32_t row : rows) {
        if (!IsLive(store, row)) {
            continue;
        }
        ForNested(store, [&](int col) {
            const std::string linePath = (path.empty() ? "" : path + ".") + store.Defs()[static_cast<size_t>(col)].Name;
            Merge(*store.Nested(col), store.Lines(row, col), refused, linePath);
        });
        if (store.Status(row) == UpdateStatus::Unmodified || refused.count({path, row})) {
            continue;
        }
        if (store.Status(row) == UpdateStatus::Deleted) {
            store.MarkRemoved(row);
            gone.push_back(row);
        } else {
            store.SetStatus(row, UpdateStatus::Unmodified);
            store.DropOriginal(row);
        }
    }
    for (uint32_t row : gone) {
        Erase(rows, row);
    }
}

void CancelRows(RowStore& store, std::vector<uint32_t>& rows) {
    const std::vector<uint32_t> copy = rows;
    for (uint32_t row : copy) {
        if (IsLive(store, row)) {
            RevertRow(store, rows, row);
        }
    }
}

bool RevertRow(RowStore& store, std::vector<uint32_t>& rows, uint32_t row) {
    if (!HasChanges(store, row)) {
        return false;
    }
    if (store.Status(row) == UpdateStatus::Inserted) {
        store.MarkRemoved(row);
        Erase(rows, row);
        return true;
    }
    ForNested(store, [&](int col) { CancelRows(*store.Nested(col), store.Lines(row, col)); });
    if (store.HasOriginal(row)) {
        store.SetRowValues(row, store.OriginalValues(row));
    }
    store.SetStatus(row, UpdateStatus::Unmodified);
    store.DropOriginal(row);
    return true;
}

Snapshot TakeLines(const RowStore& store, uint32_t row) {
    Snapshot snapshot;
    ForNested(store, [&](int col) {
        snapshot.Lines.push_back(store.Lines(row, col));
        for (uint32_t line : store.Lines(row, col)) {
            snapshot.Images.push_back(TakeImage(*store.Nested(col), line));
        }
    });
    return snapshot;
}

void RestoreLines(RowStore& store, uint32_t row, const Snapshot& snapshot) {
    RestoreLineLists(store, row, snapshot.Lines, snapshot.Images);
}

} // namespace corvane::data::changelog
