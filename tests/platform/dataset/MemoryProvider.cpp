#include "tests/platform/dataset/MemoryProvider.h"

#include <algorithm>

namespace corvane::data::test {

std::vector<FieldDef> IdentityLayout() {
    FieldDef body{"qryBody", FieldType::DataSet, 0, false, false,
                  {{"NB001", FieldType::String, 2, true, false, {}},
                   {"NB002", FieldType::String, 4, true, false, {}},
                   {"NB003", FieldType::String, 6, false, false, {}},
                   {"NB004", FieldType::Float, 0, false, false, {}},
                   {"FLAG", FieldType::Float, 0, false, false, {}}}};
    return {{"NA001", FieldType::String, 2, true, false, {}},
            {"NA002", FieldType::String, 20, false, false, {}},
            {"NA003", FieldType::String, 40, false, false, {}},
            {"FLAG", FieldType::Float, 0, false, false, {}},
            body};
}

void MemoryProvider::AddRow(std::vector<Variant> values, std::vector<std::vector<Variant>> lines) {
    m_rows.push_back({std::move(values), std::move(lines)});
}

Variant MemoryProvider::DataRequest(const Variant& data) {
    LastRequest = data;
    return Variant(static_cast<int>(m_rows.size()));
}

std::string MemoryProvider::GetRecords(int count, bool reset) {
    ++PacketsSent;
    if (reset) {
        m_next = 0;
    }
    PacketWriter writer(m_defs);
    const size_t end = count < 0 ? m_rows.size() : std::min(m_rows.size(), m_next + static_cast<size_t>(count));
    int nested = -1;
    for (size_t col = 0; col < m_defs.size(); ++col) {
        if (m_defs[col].Type == FieldType::DataSet && nested < 0) {
            nested = static_cast<int>(col);
        }
    }
    for (; m_next < end; ++m_next) {
        const Row& row = m_rows[m_next];
        writer.AddRow();
        for (size_t col = 0; col < row.Values.size() && col < m_defs.size(); ++col) {
            if (m_defs[col].Type != FieldType::DataSet) {
                writer.Set(static_cast<int>(col), row.Values[col]);
            }
        }
        if (nested >= 0) {
            PacketWriter& lines = writer.Lines(nested);
            for (const auto& line : row.Lines) {
                lines.AddRow();
                for (size_t col = 0; col < line.size(); ++col) {
                    lines.Set(static_cast<int>(col), line[col]);
                }
            }
        }
    }
    return writer.Finish();
}

void MemoryProvider::Check(const std::string& path, const std::vector<DeltaRow>& rows,
                           const std::vector<FieldDef>& defs, ApplyResult& result) {
    for (const DeltaRow& row : rows) {
        if (Refuse && row.Status != UpdateStatus::Unmodified) {
            const std::string message = Refuse(path, row);
            if (!message.empty()) {
                result.Errors.push_back({path, row.RowId, 19, 0, message, "context of " + message});
            }
        }
        size_t nested = 0;
        for (const FieldDef& def : defs) {
            if (def.Type == FieldType::DataSet) {
                Check(path.empty() ? def.Name : path + "." + def.Name, row.Lines[nested++], def.Nested, result);
            }
        }
    }
}

ApplyResult MemoryProvider::Apply(const Delta& delta, int maxErrors) {
    Applied.push_back(delta);
    ApplyResult result;
    Check("", delta.Rows, delta.Defs, result);
    result.RolledBack = maxErrors >= 0 && static_cast<int>(result.Errors.size()) > maxErrors;
    return result;
}

IdentityFixture::IdentityFixture() {
    provider->AddRow({"01", "Staff", "", 0.0}, {{"01", "0001", "A01", 0.5, 0.0}, {"01", "0002", "A02", 0.25, 0.0}});
    provider->AddRow({"02", "Worker", "", 3.0}, {{"02", "0001", "A01", 1.0, 0.0}});
    provider->AddRow({"03", "Manager", "", 0.0});
    host->Register("pvdMain", provider);
    master.SetRemoteServer(host);
    master.SetProviderName("pvdMain");
}

void IdentityFixture::OpenBoth() {
    master.Open();
    body.SetDataSetField(&master.FieldByName("qryBody"));
    body.Open();
}

std::vector<std::string> IdentityFixture::Codes(DataSet& ds, const char* field) {
    std::vector<std::string> codes;
    const Bookmark mark = ds.GetBookmark();
    for (ds.First(); !ds.Eof(); ds.Next()) {
        codes.push_back(ds.FieldByName(field).AsString());
    }
    if (ds.BookmarkValid(mark)) {
        ds.GotoBookmark(mark);
    }
    return codes;
}

void IdentityFixture::AddLine(const char* key, const char* number, double share) {
    body.Append();
    body.FieldByName("NB001").SetAsString(key);
    body.FieldByName("NB002").SetAsString(number);
    body.FieldByName("NB004").SetAsFloat(share);
    body.Post();
}

} // namespace corvane::data::test
