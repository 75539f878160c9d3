// A provider over rows held in memory, for the dataset tests: it serves
// packets of a layout with nested lines, keeps the data request it was sent,
// records every delta it is asked to apply and refuses the rows a test names.
#pragma once

#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/Provider.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace corvane::data::test {

// The identity-type layout: master PALNA with its lines PALNB nested as qryBody.
std::vector<FieldDef> IdentityLayout();

class MemoryProvider : public Provider {
public:
    explicit MemoryProvider(std::vector<FieldDef> defs) : m_defs(std::move(defs)) {}

    // A master row; lines are rows of the first nested column's layout.
    void AddRow(std::vector<Variant> values, std::vector<std::vector<Variant>> lines = {});

    Variant DataRequest(const Variant& data) override;
    std::string GetRecords(int count, bool reset) override;
    int RecordCount() override { return static_cast<int>(m_rows.size()); }
    ApplyResult Apply(const Delta& delta, int maxErrors) override;

    // Refuses every delta row for which this answers a message (empty: accept).
    std::function<std::string(const std::string& path, const DeltaRow& row)> Refuse;

    Variant LastRequest;
    std::vector<Delta> Applied;
    int PacketsSent = 0;

private:
    struct Row {
        std::vector<Variant> Values;
        std::vector<std::vector<Variant>> Lines;
    };
    void Check(const std::string& path, const std::vector<DeltaRow>& rows, const std::vector<FieldDef>& defs,
               ApplyResult& result);

    std::vector<FieldDef> m_defs;
    std::vector<Row> m_rows;
    size_t m_next = 0;
};

// Three identity types with two, one and no lines, served by a memory
// provider to a master and a line dataset.
class IdentityFixture : public testing::Test {
protected:
    IdentityFixture();
    // Opens the master and its lines.
    void OpenBoth();
    // The texts of a field over every row of a dataset; the cursor returns where it was.
    std::vector<std::string> Codes(DataSet& ds, const char* field);
    void AddLine(const char* key, const char* number, double share);

    std::shared_ptr<ProviderHost> host = std::make_shared<ProviderHost>();
    std::shared_ptr<MemoryProvider> provider = std::make_shared<MemoryProvider>(IdentityLayout());
    ClientDataSet master{"cdsMain"};
    ClientDataSet body{"cdsBody1"};
};

} // namespace corvane::data::test
