// Benchmarks of the dataset engine, each against a baseline of the same run:
// opening a packet of 100,000 rows by 20 columns and reading every field
// against decoding it into plain rows; the memory of the open dataset against
// the raw bytes of its values; building and encoding the delta of 10,000
// changed rows against encoding a packet of the same rows.

#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/DataPacket.h"

#include "tests/bench/BenchMain.h"

#include <random>

namespace corvane::data {
namespace {

constexpr int kRows = 100000;

std::vector<FieldDef> WideLayout() {
    std::vector<FieldDef> defs;
    const std::pair<FieldType, int> columns[] = {
        {FieldType::String, 10},  {FieldType::String, 20}, {FieldType::String, 40},  {FieldType::String, 2},
        {FieldType::String, 4},   {FieldType::String, 6},  {FieldType::String, 17},  {FieldType::String, 17},
        {FieldType::Float, 0},    {FieldType::Float, 0},   {FieldType::Float, 0},    {FieldType::Float, 0},
        {FieldType::Float, 0},    {FieldType::Float, 0},   {FieldType::Integer, 0},  {FieldType::Integer, 0},
        {FieldType::Integer, 0},  {FieldType::SmallInt, 0}, {FieldType::Date, 0},    {FieldType::Boolean, 0},
    };
    int i = 0;
    for (const auto& [type, size] : columns) {
        defs.push_back({"C" + std::to_string(i++), type, size, false, false, {}});
    }
    return defs;
}

Variant Value(const FieldDef& def, int row, std::mt19937& random) {
    switch (def.Type) {
    case FieldType::String: {
        const int length = std::max(1, std::min(def.Size, 2 + static_cast<int>(random() % static_cast<unsigned>(def.Size))));
        std::string text(static_cast<size_t>(length), 'a');
        for (char& c : text) {
            c = static_cast<char>('A' + random() % 26);
        }
        return Variant(std::move(text));
    }
    case FieldType::Float:
        return Variant(static_cast<double>(random() % 100000) / 100.0);
    case FieldType::Integer:
        return Variant(row * 7 + static_cast<int>(random() % 1000));
    case FieldType::SmallInt:
        return Variant(static_cast<int>(random() % 1000));
    case FieldType::Date:
        return Variant::FromDate(36000.0 + random() % 9000);
    default:
        return Variant((random() & 1) != 0);
    }
}

const std::string& WidePacket() {
    static const std::string packet = [] {
        const auto defs = WideLayout();
        PacketWriter writer(defs);
        std::mt19937 random(7);
        for (int row = 0; row < kRows; ++row) {
            writer.AddRow();
            for (size_t col = 0; col < defs.size(); ++col) {
                writer.Set(static_cast<int>(col), Value(defs[col], row, random));
            }
        }
        return writer.Finish();
    }();
    return packet;
}

void BM_DecodeIntoPlainRows(benchmark::State& state) {
    const std::string& packet = WidePacket();
    for (auto _ : state) {
        PacketReader reader(packet);
        auto rows = reader.ReadAsVariants();
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_DecodeIntoPlainRows)->Unit(benchmark::kMillisecond);

void BM_OpenDataSetAndReadEveryField(benchmark::State& state) {
    const std::string& packet = WidePacket();
    for (auto _ : state) {
        DataSet ds("wide");
        ds.SetData(packet);
        std::vector<Field*> fields;
        for (int i = 0; i < ds.FieldCount(); ++i) {
            fields.push_back(&ds.Fields(i));
        }
        size_t seen = 0;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            for (Field* field : fields) {
                Variant value = field->Value();
                seen += value.IsNull() ? 0 : 1;
            }
        }
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_OpenDataSetAndReadEveryField)->Unit(benchmark::kMillisecond);

void BM_MemoryOfOpenDataSet(benchmark::State& state) {
    const std::string& packet = WidePacket();
    double ratio = 0;
    for (auto _ : state) {
        DataSet ds("wide");
        ds.SetData(packet);
        const RowStore& store = *ds.Store();
        size_t raw = 0;
        for (uint32_t row = 0; row < store.RowCount(); ++row) {
            for (int col = 0; col < store.ColumnCount(); ++col) {
                if (store.IsNull(row, col)) {
                    continue;
                }
                const FieldType type = store.Defs()[static_cast<size_t>(col)].Type;
                raw += FixedWidth(type) ? static_cast<size_t>(FixedWidth(type)) : store.GetBytes(row, col).size();
            }
        }
        const size_t held = store.AllocatedBytes() + ds.Shared()->TopRows.capacity() * sizeof(uint32_t) +
                            ds.ViewSize() * sizeof(uint32_t);
        ratio = static_cast<double>(held) / static_cast<double>(raw);
    }
    state.counters["memory_ratio"] = ratio;
    static bool reported = false;
    if (!reported) {
        reported = true;
        bench::ReportFigure("memory of the open dataset / raw bytes of its values", ratio, 1.5);
    }
}
BENCHMARK(BM_MemoryOfOpenDataSet)->Unit(benchmark::kMillisecond)->Iterations(1);

constexpr int kChanged = 10000;

// A dataset of 10,000 rows, every one of them edited.
DataSet& ChangedDataSet() {
    static DataSet ds("changed");
    if (!ds.Active()) {
        const auto defs = WideLayout();
        PacketWriter writer(defs);
        std::mt19937 random(11);
        for (int row = 0; row < kChanged; ++row) {
            writer.AddRow();
            for (size_t col = 0; col < defs.size(); ++col) {
                writer.Set(static_cast<int>(col), Value(defs[col], row, random));
            }
        }
        ds.SetData(writer.Finish());
        for (ds.First(); !ds.Eof(); ds.Next()) {
            ds.Edit();
            ds.FieldByName("C1").SetAsString("changed");
            ds.FieldByName("C8").SetAsFloat(1.5);
            ds.Post();
        }
    }
    return ds;
}

void BM_EncodePacketOfTheRows(benchmark::State& state) {
    DataSet& ds = ChangedDataSet();
    for (auto _ : state) {
        std::string packet = EncodeStoreRows(*ds.Store(), ds.Shared()->TopRows);
        benchmark::DoNotOptimize(packet.data());
    }
}
BENCHMARK(BM_EncodePacketOfTheRows)->Unit(benchmark::kMillisecond);

void BM_BuildAndEncodeDelta(benchmark::State& state) {
    DataSet& ds = ChangedDataSet();
    for (auto _ : state) {
        std::string bytes = EncodeStoreDelta(*ds.Store(), ds.Shared()->TopRows);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_BuildAndEncodeDelta)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane::data

int main(int argc, char** argv) {
    return corvane::bench::RunWithRatios(argc, argv,
                                         {{"BM_OpenDataSetAndReadEveryField", "BM_DecodeIntoPlainRows", 2.0},
                                          {"BM_BuildAndEncodeDelta", "BM_EncodePacketOfTheRows", 2.0}});
}
