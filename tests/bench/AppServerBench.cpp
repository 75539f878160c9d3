// Benchmarks of the application server, each against a plain SQLite baseline
// of the same run: opening pvdMain on 100,000 identity types and reading every
// field, against selecting the same rows; saving one document with 1,000
// lines, against inserting the same rows in one transaction.

#include "appserver/AppServer.h"
#include "platform/dataset/ClientDataSet.h"

#include "tests/bench/BenchMain.h"

#include <filesystem>

namespace corvane::server {
namespace {

constexpr int kTypes = 100000;
constexpr int kLines = 1000;

// A company database with 100,000 identity types, made once per run.
const std::string& LargeDatabase() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "corvane-bench-large.db").string();
        std::filesystem::remove(file);
        std::filesystem::remove(file + "-wal");
        std::filesystem::remove(file + "-shm");
        InitDemoDatabase(file);
        Database db(file);
        db.InTransaction([&] {
            db.Exec("DELETE FROM PALNB");
            db.Exec("DELETE FROM PALNA");
            Statement insert(db, "INSERT INTO PALNA (NA001, NA002, NA003, CREATOR, COMPANY, CREATE_DATE, FLAG) "
                                 "VALUES (?, ?, ?, 'DS', 'DEMO', '20260101080000000', 0)");
            for (int i = 0; i < kTypes; ++i) {
                insert.Reset();
                insert.Bind(1, std::to_string(i));
                insert.Bind(2, "Type " + std::to_string(i));
                insert.Bind(3, "remark of type " + std::to_string(i));
                insert.Step();
            }
        });
        return file;
    }();
    return path;
}

std::shared_ptr<AppServer> Connected(const std::string& path) {
    auto server = std::make_shared<AppServer>([path](const std::string&) { return path; });
    server->Connect(VarArrayOf({"ROVI18", "DS", "DEMO", "DEMO", true, false}));
    return server;
}

void BM_PlainSelectOfTheRows(benchmark::State& state) {
    Database db(LargeDatabase());
    for (auto _ : state) {
        Statement select(db, "SELECT * FROM PALNA ORDER BY NA001");
        size_t seen = 0;
        while (select.Step()) {
            for (int col = 0; col < select.ColumnCount(); ++col) {
                Variant value = select.Column(col);
                seen += value.IsNull() ? 0 : 1;
            }
        }
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_PlainSelectOfTheRows)->Unit(benchmark::kMillisecond);

void BM_OpenPvdMainAndReadEveryField(benchmark::State& state) {
    auto server = Connected(LargeDatabase());
    for (auto _ : state) {
        data::ClientDataSet master("cdsMain");
        master.SetRemoteServer(server);
        master.SetProviderName("pvdMain");
        master.DataRequest(VarArrayOf({"", ""}));
        master.Open();
        std::vector<data::Field*> fields;
        for (int i = 0; i < master.FieldCount(); ++i) {
            fields.push_back(&master.Fields(i));
        }
        size_t seen = 0;
        for (master.First(); !master.Eof(); master.Next()) {
            for (data::Field* field : fields) {
                Variant value = field->Value();
                seen += value.IsNull() ? 0 : 1;
            }
        }
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_OpenPvdMainAndReadEveryField)->Unit(benchmark::kMillisecond);

const std::string& SmallDatabase() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "corvane-bench-small.db").string();
        std::filesystem::remove(file);
        std::filesystem::remove(file + "-wal");
        std::filesystem::remove(file + "-shm");
        InitDemoDatabase(file);
        return file;
    }();
    return path;
}

void BM_RawInsertsOfTheDocument(benchmark::State& state) {
    Database db(SmallDatabase());
    int round = 0;
    for (auto _ : state) {
        const std::string key = "R" + std::to_string(round++ % 9);
        db.InTransaction([&] {
            db.Exec("DELETE FROM PALNA WHERE NA001='" + key + "'");
            Statement master(db, "INSERT INTO PALNA (NA001, NA002, FLAG) VALUES (?, 'Raw', 0)");
            master.Bind(1, key);
            master.Step();
            Statement line(db, "INSERT INTO PALNB (NB001, NB002, NB003, NB004, NB005, NB006, NB008, NB007, FLAG) "
                               "VALUES (?, ?, 0.1, 0.2, '01', '2', '0', ?, 0)");
            for (int i = 0; i < kLines; ++i) {
                line.Reset();
                line.Bind(1, key);
                line.Bind(2, std::to_string(1000 + i));
                line.Bind(3, "line " + std::to_string(i));
                line.Step();
            }
        });
    }
}
BENCHMARK(BM_RawInsertsOfTheDocument)->Unit(benchmark::kMillisecond);

void BM_ApplyOneDocumentWithItsLines(benchmark::State& state) {
    auto server = Connected(SmallDatabase());
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string key = "A" + std::to_string(round++ % 9);
        {
            Database db(SmallDatabase());
            db.Exec("DELETE FROM PALNA WHERE NA001='" + key + "'");
        }
        data::ClientDataSet master("cdsMain");
        data::ClientDataSet body("cdsBody1");
        master.SetRemoteServer(server);
        master.SetProviderName("pvdMain");
        master.DataRequest(VarArrayOf({"1=2", ""}));
        master.Open();
        body.SetDataSetField(&master.FieldByName("qryBody"));
        body.Open();
        master.Append();
        master.FieldByName("NA001").SetAsString(key);
        master.FieldByName("NA002").SetAsString("Applied");
        master.FieldByName("FLAG").SetAsFloat(0);
        for (int i = 0; i < kLines; ++i) {
            body.Append();
            body.FieldByName("NB001").SetAsString(key);
            body.FieldByName("NB002").SetAsString(std::to_string(1000 + i));
            body.FieldByName("NB003").SetAsFloat(0.1);
            body.FieldByName("NB004").SetAsFloat(0.2);
            body.FieldByName("NB005").SetAsString("01");
            body.FieldByName("NB006").SetAsString("2");
            body.FieldByName("NB008").SetAsString("0");
            body.FieldByName("NB007").SetAsString("line " + std::to_string(i));
            body.FieldByName("FLAG").SetAsFloat(0);
            body.Post();
        }
        master.Post();
        state.ResumeTiming();
        if (master.ApplyUpdates(0) != 0) {
            state.SkipWithError("the document was refused");
        }
    }
}
BENCHMARK(BM_ApplyOneDocumentWithItsLines)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane::server

int main(int argc, char** argv) {
    return corvane::bench::RunWithRatios(
        argc, argv,
        {{"BM_OpenPvdMainAndReadEveryField", "BM_PlainSelectOfTheRows", 3.0},
         {"BM_ApplyOneDocumentWithItsLines", "BM_RawInsertsOfTheDocument", 3.0}});
}
