// Client datasets over a provider: packets, nested lines, the change log
// crossed with apply, cancel and the delta encoding, reconcile errors,
// clones.

#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/ChangeLog.h"

#include "tests/platform/dataset/MemoryProvider.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvane::data {
namespace {

using test::IdentityLayout;
using test::MemoryProvider;

class Identities : public test::IdentityFixture {};

TEST_F(Identities, LinesFollowTheMasterRecord) {
    OpenBoth();
    EXPECT_EQ(Codes(body, "NB002"), (std::vector<std::string>{"0001", "0002"}));
    master.Next();
    EXPECT_EQ(body.RecordCount(), 1);
    master.Next();
    EXPECT_TRUE(body.IsEmpty());
    EXPECT_EQ(master.FieldByName("qryBody").NestedDataSet(), &body);
}

TEST_F(Identities, ChangingALinePutsTheMasterIntoEditAndCancelUndoesIt) {
    OpenBoth();
    body.Edit();
    EXPECT_EQ(master.State(), DataSetState::Edit);
    body.FieldByName("NB004").SetAsFloat(0.75);
    body.Post();
    body.Last();
    body.Delete();
    AddLine("01", "0003", 0.1);
    EXPECT_EQ(body.RecordCount(), 2);
    EXPECT_EQ(master.ChangeCount(), 3);
    master.Cancel();
    EXPECT_EQ(master.ChangeCount(), 0);
    EXPECT_EQ(Codes(body, "NB002"), (std::vector<std::string>{"0001", "0002"}));
    body.First();
    EXPECT_DOUBLE_EQ(body.FieldByName("NB004").AsFloat(), 0.5);
}

TEST_F(Identities, NewMasterWithLinesAndCancelledInsert) {
    OpenBoth();
    master.Append();
    master.FieldByName("NA001").SetAsString("04");
    AddLine("~~", "0001", 0.5);
    AddLine("~~", "0002", 0.5);
    EXPECT_EQ(body.RecordCount(), 2);
    master.Post();
    EXPECT_EQ(master.RecordCount(), 4);
    EXPECT_EQ(body.RecordCount(), 2);
    EXPECT_EQ(master.ChangeCount(), 3);

    master.Append();
    master.FieldByName("NA001").SetAsString("05");
    AddLine("~~", "0001", 0.5);
    master.Cancel();
    EXPECT_EQ(master.RecordCount(), 4);
    EXPECT_EQ(master.ChangeCount(), 3);
}

// ---- the change log crossed with its checks ----

struct Scenario {
    const char* Name;
    std::function<void(Identities&, ClientDataSet& master, ClientDataSet& body)> Edit;
    int Changes;
    std::string Delta; // one letter per changed row (I, M, D; U for a master whose lines changed), lines in brackets
};

std::string Summary(const std::vector<DeltaRow>& rows) {
    std::string text;
    for (const DeltaRow& row : rows) {
        text += "UMID"[static_cast<int>(row.Status)];
        for (const auto& lines : row.Lines) {
            if (!lines.empty()) {
                text += "[" + Summary(lines) + "]";
            }
        }
    }
    return text;
}

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.Name; }

const Scenario kScenarios[] = {
    {"edit a master field",
     [](Identities&, ClientDataSet& m, ClientDataSet&) {
         m.Edit();
         m.FieldByName("NA002").SetAsString("Changed");
         m.Post();
     },
     1, "M"},
    {"append a master with two lines",
     [](Identities&, ClientDataSet& m, ClientDataSet& b) {
         m.Append();
         m.FieldByName("NA001").SetAsString("04");
         for (const char* n : {"0001", "0002"}) {
             b.Append();
             b.FieldByName("NB001").SetAsString("04");
             b.FieldByName("NB002").SetAsString(n);
             b.Post();
         }
         m.Post();
     },
     3, "I[II]"},
    {"append then delete a master",
     [](Identities&, ClientDataSet& m, ClientDataSet&) {
         m.Append();
         m.FieldByName("NA001").SetAsString("04");
         m.Post();
         m.Delete();
     },
     0, ""},
    {"delete a line of a nested set",
     [](Identities&, ClientDataSet& m, ClientDataSet& b) {
         b.Last();
         b.Delete();
         m.Post();
     },
     1, "U[D]"},
    {"edit a line",
     [](Identities&, ClientDataSet& m, ClientDataSet& b) {
         b.Edit();
         b.FieldByName("NB003").SetAsString("B01");
         b.Post();
         m.Post();
     },
     1, "U[M]"},
    {"insert a line into a stored master",
     [](Identities&, ClientDataSet& m, ClientDataSet& b) {
         m.Next();
         b.Insert();
         b.FieldByName("NB001").SetAsString("02");
         b.FieldByName("NB002").SetAsString("0000");
         b.Post();
         m.Post();
     },
     1, "U[I]"},
    {"delete a master",
     [](Identities&, ClientDataSet& m, ClientDataSet&) {
         m.Last();
         m.Delete();
     },
     1, "D"},
    {"edit then edit back",
     [](Identities&, ClientDataSet& m, ClientDataSet&) {
         m.Edit();
         m.FieldByName("NA002").SetAsString("Changed");
         m.Post();
         m.Edit();
         m.FieldByName("NA002").SetAsString("Staff");
         m.Post();
     },
     1, "M"},
};

class ChangeLogScenario : public Identities, public testing::WithParamInterface<Scenario> {
protected:
    void SetUp() override {
        OpenBoth();
        original = master.Data();
        GetParam().Edit(*this, master, body);
        master.CheckBrowseMode();
    }
    std::string original;
};

TEST_P(ChangeLogScenario, ApplySendsTheDeltaAndMerges) {
    EXPECT_EQ(master.ChangeCount(), GetParam().Changes);
    EXPECT_EQ(master.ApplyUpdates(-1), 0);
    if (GetParam().Delta.empty()) {
        EXPECT_TRUE(provider->Applied.empty());
    } else {
        ASSERT_EQ(provider->Applied.size(), 1u);
        EXPECT_EQ(Summary(provider->Applied[0].Rows), GetParam().Delta);
    }
    EXPECT_EQ(master.ChangeCount(), 0);
    // Merged: there is nothing left to cancel.
    const std::string applied = master.Data();
    master.CancelUpdates();
    EXPECT_EQ(master.Data(), applied);
}

TEST_P(ChangeLogScenario, CancelRestoresTheRowsAsRead) {
    master.CancelUpdates();
    EXPECT_EQ(master.ChangeCount(), 0);
    EXPECT_EQ(master.Data(), original);
}

TEST_P(ChangeLogScenario, DeltaSurvivesEncoding) {
    Delta delta{master.Store()->Defs(), changelog::BuildDeltaRows(*master.Store(), master.Shared()->TopRows)};
    EXPECT_EQ(Summary(delta.Rows), GetParam().Delta);
    // The store's own encoder writes the same bytes as the encoder of delta rows.
    EXPECT_EQ(EncodeStoreDelta(*master.Store(), master.Shared()->TopRows), EncodeDelta(delta));
    const Delta decoded = DecodeDelta(EncodeDelta(delta));
    ASSERT_EQ(decoded.Rows.size(), delta.Rows.size());
    EXPECT_EQ(EncodeDelta(decoded), EncodeDelta(delta));
    for (size_t i = 0; i < delta.Rows.size(); ++i) {
        EXPECT_EQ(decoded.Rows[i].RowId, delta.Rows[i].RowId);
        EXPECT_EQ(decoded.Rows[i].Original, delta.Rows[i].Original);
        if (delta.Rows[i].Status != UpdateStatus::Deleted) {
            EXPECT_EQ(decoded.Rows[i].Current, delta.Rows[i].Current);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, ChangeLogScenario, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& info) {
                             std::string name = info.param.Name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST_F(Identities, RefusedRowRaisesItsEventAndStaysInTheLog) {
    OpenBoth();
    master.Edit();
    master.FieldByName("NA002").SetAsString("Staff members");
    body.Edit();
    body.FieldByName("NB004").SetAsFloat(0.6);
    body.Post();
    body.Last();
    body.Delete();
    master.Post();
    ASSERT_EQ(master.ChangeCount(), 3);

    provider->Refuse = [](const std::string& path, const DeltaRow& row) {
        return path == "qryBody" && row.Status == UpdateStatus::Modified ? std::string("line refused") : std::string();
    };
    std::vector<std::string> events;
    body.OnReconcileError = [&](DataSet& ds, const EReconcileError& error, UpdateKind kind, ReconcileAction& action) {
        events.push_back(ds.Name() + ":" + error.what() + ":" + error.Context + ":" + std::to_string(error.ErrorCode));
        EXPECT_EQ(kind, UpdateKind::Modify);
        EXPECT_EQ(action, ReconcileAction::Skip);
        EXPECT_DOUBLE_EQ(ds.FieldByName("NB004").AsFloat(), 0.6);
    };
    EXPECT_EQ(master.ApplyUpdates(-1), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"cdsBody1:line refused:context of line refused:19"}));
    ASSERT_EQ(provider->Applied.size(), 1u);
    EXPECT_EQ(Summary(provider->Applied[0].Rows), "M[MD]");
    // The master and the deleted line were applied; the refused line waits.
    EXPECT_EQ(master.ChangeCount(), 1);
    master.First();
    EXPECT_EQ(master.GetUpdateStatus(), UpdateStatus::Unmodified);
    EXPECT_EQ(body.RecordCount(), 1);
    EXPECT_EQ(body.GetUpdateStatus(), UpdateStatus::Modified);
    EXPECT_DOUBLE_EQ(body.FieldByName("NB004").OldValue().ToDouble(), 0.5);

    // Sent again, it goes through.
    provider->Refuse = nullptr;
    EXPECT_EQ(master.ApplyUpdates(-1), 0);
    EXPECT_EQ(Summary(provider->Applied[1].Rows), "U[M]");
    EXPECT_EQ(master.ChangeCount(), 0);
}

TEST_F(Identities, RolledBackApplyKeepsEveryChangeAndCancelActionReverts) {
    OpenBoth();
    master.Edit();
    master.FieldByName("NA002").SetAsString("A");
    master.Post();
    master.Next();
    master.Edit();
    master.FieldByName("NA002").SetAsString("B");
    master.Post();
    provider->Refuse = [](const std::string&, const DeltaRow& row) {
        return row.Current[1].ToString() == "B" ? std::string("no B") : std::string();
    };
    int events = 0;
    master.OnReconcileError = [&](DataSet&, const EReconcileError&, UpdateKind, ReconcileAction&) { ++events; };
    EXPECT_EQ(master.ApplyUpdates(0), 1);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(master.ChangeCount(), 2);

    master.OnReconcileError = [&](DataSet&, const EReconcileError&, UpdateKind, ReconcileAction& action) {
        action = ReconcileAction::Cancel;
    };
    EXPECT_EQ(master.ApplyUpdates(-1), 1);
    EXPECT_EQ(master.ChangeCount(), 0);
    EXPECT_TRUE(master.Locate("NA001", "02"));
    EXPECT_EQ(master.FieldByName("NA002").AsString(), "Worker");
}

TEST_F(Identities, ApplyKeepsTheCurrentRecord) {
    OpenBoth();
    master.Next();
    master.Edit();
    master.FieldByName("NA002").SetAsString("Changed");
    master.Post();
    EXPECT_EQ(master.ApplyUpdates(-1), 0);
    EXPECT_EQ(master.RecNo(), 2);
    EXPECT_EQ(master.FieldByName("NA002").AsString(), "Changed");
    EXPECT_EQ(body.RecordCount(), 1);
}

TEST_F(Identities, RevertRecordUndoesOneRecordAndItsLines) {
    OpenBoth();
    body.Edit();
    body.FieldByName("NB003").SetAsString("Z");
    body.Post();
    master.FieldByName("NA002").SetAsString("X");
    master.Post();
    master.Next();
    master.Edit();
    master.FieldByName("NA002").SetAsString("Y");
    master.Post();
    EXPECT_EQ(master.ChangeCount(), 3);
    master.First();
    EXPECT_TRUE(master.RevertRecord());
    EXPECT_EQ(master.ChangeCount(), 1);
    EXPECT_EQ(master.FieldByName("NA002").AsString(), "Staff");
    EXPECT_EQ(body.FieldByName("NB003").AsString(), "A01");
    EXPECT_FALSE(master.RevertRecord());
    // Merging accepts what is left as read.
    master.MergeChangeLog();
    EXPECT_EQ(master.ChangeCount(), 0);
    master.Next();
    EXPECT_EQ(master.FieldByName("NA002").AsString(), "Y");
    EXPECT_EQ(master.FieldByName("NA002").OldValue().ToString(), "Y");
}

TEST_F(Identities, DataRequestReachesTheProviderBeforeOpen) {
    const Variant answer = master.DataRequest(VarArrayOf({Variant(u"NA001 >= '02'"), "NA001"}));
    EXPECT_EQ(answer.ToInt(), 3);
    EXPECT_EQ(provider->LastRequest.At(1).ToString(), "NA001");
    EXPECT_EQ(provider->LastRequest.At(0).ToWideString(), u"NA001 >= '02'");
    master.Open();
    EXPECT_EQ(master.ProviderRecordCount(), 3);
}

TEST(ClientDataSetPackets, FetchesPacketsOfFortyUntilTheEnd) {
    auto host = std::make_shared<ProviderHost>();
    auto provider = std::make_shared<MemoryProvider>(IdentityLayout());
    for (int i = 0; i < 100; ++i) {
        provider->AddRow({std::to_string(i % 100), "Type", "", 0.0});
    }
    host->Register("pvdMain", provider);
    ClientDataSet ds("cdsMain");
    ds.SetRemoteServer(host);
    ds.SetProviderName("pvdMain");
    ds.PacketSize = 40;
    ds.FetchOnDemand = false;
    ds.Open();
    std::vector<int> counts{ds.RecordCount()};
    while (int fetched = ds.GetNextPacket()) {
        counts.push_back(fetched);
    }
    EXPECT_EQ(counts, (std::vector<int>{40, 40, 20}));
    EXPECT_TRUE(ds.AllFetched());
    EXPECT_EQ(ds.RecordCount(), 100);

    // Fetching on demand: running past the last row brings the next packet.
    ClientDataSet lazy("lazy");
    lazy.SetRemoteServer(host);
    lazy.SetProviderName("pvdMain");
    lazy.PacketSize = 40;
    lazy.Open();
    EXPECT_EQ(lazy.RecordCount(), 40);
    lazy.MoveBy(45);
    EXPECT_EQ(lazy.RecordCount(), 80);
    EXPECT_EQ(lazy.RecNo(), 46);
    lazy.Last();
    EXPECT_EQ(lazy.RecordCount(), 100);

    // Packet size 0 gives the layout only.
    ClientDataSet layout("layout");
    layout.SetRemoteServer(host);
    layout.SetProviderName("pvdMain");
    layout.PacketSize = 0;
    layout.Open();
    EXPECT_EQ(layout.RecordCount(), 0);
    EXPECT_EQ(layout.FieldCount(), 5);
}

// A connection that answers a broken packet.
class BrokenConnection : public IProviderConnection {
public:
    Variant DataRequest(std::string_view, const Variant&) override { return {}; }
    std::string GetRecords(std::string_view, int, bool) override { return "CVDP\x01\x01\x05"; }
    int GetRecordCount(std::string_view) override { return 0; }
    std::string ApplyUpdates(std::string_view, std::string_view, int) override { return {}; }
};

TEST(ClientDataSetPackets, MalformedPacketLeavesTheDatasetClosed) {
    ClientDataSet ds("cdsMain");
    ds.SetRemoteServer(std::make_shared<BrokenConnection>());
    ds.SetProviderName("pvdMain");
    EXPECT_THROW(ds.Open(), EPacketError);
    EXPECT_FALSE(ds.Active());
    ClientDataSet none("none");
    EXPECT_THROW(none.Open(), EDatabaseError);
    ClientDataSet unnamed("unnamed");
    unnamed.SetRemoteServer(std::make_shared<BrokenConnection>());
    EXPECT_THROW(unnamed.Open(), EDatabaseError);
}

TEST_F(Identities, CloneSeesNewLinesAtOnceAndKeepsItsOwnOrder) {
    OpenBoth();
    ClientDataSet clone("BodyClone");
    clone.CloneCursor(body);
    clone.AddIndex({"ByNumberDesc", "NB002", "NB002", "", 0});
    clone.SetIndexName("ByNumberDesc");
    EXPECT_EQ(Codes(clone, "NB002"), (std::vector<std::string>{"0002", "0001"}));
    AddLine("01", "0003", 0.1);
    EXPECT_EQ(Codes(clone, "NB002"), (std::vector<std::string>{"0003", "0002", "0001"}));
    EXPECT_EQ(Codes(body, "NB002"), (std::vector<std::string>{"0001", "0002", "0003"}));
    // The clone follows the master too.
    master.Next();
    EXPECT_EQ(Codes(clone, "NB002"), (std::vector<std::string>{"0001"}));
    // A clone of the master shares the rows and the change log.
    ClientDataSet masterClone("masterClone");
    masterClone.CloneCursor(master, true);
    masterClone.Last();
    masterClone.Delete();
    EXPECT_EQ(master.RecordCount(), 2);
    EXPECT_EQ(master.ChangeCount(), masterClone.ChangeCount());
}

} // namespace
} // namespace corvane::data
