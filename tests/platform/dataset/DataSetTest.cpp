// The dataset's state machine, events, fields, navigation, finding, indexes,
// data links and the disabling of controls.

#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/DataLink.h"

#include "tests/platform/dataset/MemoryProvider.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvane::data {
namespace {

using test::IdentityLayout;
using test::MemoryProvider;

// Three identity types with two, one and no lines, served in one packet.
class IdentityData : public test::IdentityFixture {};

// Records the events of a dataset by name.
struct EventLog {
    std::vector<std::string> Names;
    void Attach(DataSet& ds) {
        const auto add = [this](const char* name) { return [this, name](DataSet&) { Names.push_back(name); }; };
        ds.BeforeOpen = add("BeforeOpen");
        ds.AfterOpen = add("AfterOpen");
        ds.BeforeClose = add("BeforeClose");
        ds.AfterClose = add("AfterClose");
        ds.BeforeInsert = add("BeforeInsert");
        ds.AfterInsert = add("AfterInsert");
        ds.BeforeEdit = add("BeforeEdit");
        ds.AfterEdit = add("AfterEdit");
        ds.BeforePost = add("BeforePost");
        ds.AfterPost = add("AfterPost");
        ds.BeforeCancel = add("BeforeCancel");
        ds.AfterCancel = add("AfterCancel");
        ds.BeforeDelete = add("BeforeDelete");
        ds.AfterDelete = add("AfterDelete");
        ds.BeforeScroll = add("BeforeScroll");
        ds.AfterScroll = add("AfterScroll");
        ds.OnNewRecord = add("OnNewRecord");
    }
};

struct EventCase {
    const char* Name;
    std::function<void(DataSet&)> Action;
    std::vector<std::string> Events;
    DataSetState After;
};

void PrintTo(const EventCase& c, std::ostream* os) { *os << c.Name; }

class StateTransitions : public IdentityData, public testing::WithParamInterface<EventCase> {};

TEST_P(StateTransitions, FireTheirEventsInOrder) {
    const EventCase& c = GetParam();
    EventLog log;
    log.Attach(master);
    if (master.State() == DataSetState::Inactive && std::string(c.Name) != "open") {
        master.Open();
        log.Names.clear();
    }
    c.Action(master);
    EXPECT_EQ(log.Names, c.Events);
    EXPECT_EQ(master.State(), c.After);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, StateTransitions,
    testing::Values(
        EventCase{"open", [](DataSet& d) { d.Open(); }, {"BeforeOpen", "AfterOpen"}, DataSetState::Browse},
        EventCase{"close", [](DataSet& d) { d.Close(); }, {"BeforeClose", "AfterClose"}, DataSetState::Inactive},
        EventCase{"next", [](DataSet& d) { d.Next(); }, {"BeforeScroll", "AfterScroll"}, DataSetState::Browse},
        EventCase{"append",
                  [](DataSet& d) { d.Append(); },
                  {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"},
                  DataSetState::Insert},
        EventCase{"append and post",
                  [](DataSet& d) {
                      d.Append();
                      d.FieldByName("NA001").SetAsString("09");
                      d.Post();
                  },
                  {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll", "BeforePost",
                   "AfterPost"},
                  DataSetState::Browse},
        EventCase{"edit", [](DataSet& d) { d.Edit(); }, {"BeforeEdit", "AfterEdit"}, DataSetState::Edit},
        EventCase{"edit and cancel",
                  [](DataSet& d) {
                      d.Edit();
                      d.Cancel();
                  },
                  {"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel"},
                  DataSetState::Browse},
        EventCase{"delete",
                  [](DataSet& d) { d.Delete(); },
                  {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"},
                  DataSetState::Browse},
        EventCase{"edit then scroll posts",
                  [](DataSet& d) {
                      d.Edit();
                      d.FieldByName("NA002").SetAsString("Changed");
                      d.Next();
                  },
                  {"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"},
                  DataSetState::Browse},
        EventCase{"unchanged insert then scroll is cancelled",
                  [](DataSet& d) {
                      d.Insert();
                      d.First();
                  },
                  {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll", "BeforeCancel",
                   "AfterCancel", "BeforeScroll", "AfterScroll"},
                  DataSetState::Browse}),
    [](const testing::TestParamInfo<EventCase>& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(IdentityData, OpenEventsAndNavigation) {
    EventLog log;
    log.Attach(master);
    master.Open();
    EXPECT_EQ(log.Names, (std::vector<std::string>{"BeforeOpen", "AfterOpen"}));
    EXPECT_EQ(master.RecordCount(), 3);
    EXPECT_TRUE(master.Bof());
    EXPECT_FALSE(master.Eof());
    EXPECT_EQ(master.RecNo(), 1);
    master.Last();
    EXPECT_TRUE(master.Eof());
    EXPECT_EQ(master.FieldByName("NA001").AsString(), "03");
    master.Next();
    EXPECT_EQ(master.RecNo(), 3);
    EXPECT_EQ(master.MoveBy(-5), -2);
    EXPECT_TRUE(master.Bof());
    master.SetRecNo(2);
    EXPECT_EQ(master.FieldByName("na002").AsString(), "Worker");
    EXPECT_THROW(master.SetRecNo(9), EDatabaseError);
    EXPECT_THROW(master.FieldByName("Missing"), EDatabaseError);
}

TEST_F(IdentityData, ValidateRefusingAValueKeepsTheOldOne) {
    master.Open();
    Field& name = master.FieldByName("NA002");
    std::string seenDuringValidate;
    name.OnValidate = [&](Field& field) {
        seenDuringValidate = field.AsString();
        if (field.AsString() == "bad") {
            throw EDatabaseError("refused");
        }
    };
    int changes = 0;
    name.OnChange = [&](Field&) { ++changes; };
    master.Edit();
    EXPECT_THROW(name.SetAsString("bad"), EDatabaseError);
    EXPECT_EQ(seenDuringValidate, "bad");
    EXPECT_EQ(name.AsString(), "Staff");
    EXPECT_EQ(changes, 0);
    name.SetAsString("good");
    EXPECT_EQ(name.AsString(), "good");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(master.Modified());
}

TEST_F(IdentityData, FieldAssignmentErrors) {
    master.Open();
    Field& code = master.FieldByName("NA001");
    // Outside edit and insert.
    EXPECT_THROW(code.SetAsString("05"), EDatabaseError);
    master.Edit();
    // Longer than the field's two bytes.
    EXPECT_THROW(code.SetAsString("123"), EDatabaseError);
    EXPECT_EQ(code.AsString(), "01");
    // Not a number.
    EXPECT_THROW(master.FieldByName("FLAG").SetAsString("x1"), EConvertError);
    code.SetReadOnly(true);
    EXPECT_THROW(code.SetAsString("05"), EDatabaseError);
    code.SetReadOnly(false);
    master.Cancel();

    // Required fields come from the packet's layout.
    master.Append();
    EXPECT_TRUE(code.Required());
    EXPECT_THROW(master.Post(), EDatabaseError);
    EXPECT_EQ(master.State(), DataSetState::Insert);
    master.DisableConstraints();
    EXPECT_NO_THROW(master.Post());
    master.EnableConstraints();
}

TEST_F(IdentityData, TextsOfFields) {
    master.Open();
    Field& flag = master.FieldByName("FLAG");
    master.Next();
    EXPECT_EQ(flag.AsString(), "3");
    flag.SetDisplayFormat("#,##0.00");
    EXPECT_EQ(flag.DisplayText(), "3.00");
    EXPECT_EQ(flag.Text(), "3");
    flag.OnGetText = [](Field& f, std::string& text, bool display) { text = (display ? "D" : "E") + f.AsString(); };
    EXPECT_EQ(flag.DisplayText(), "D3");
    EXPECT_EQ(flag.Text(), "E3");
    Field& code = master.FieldByName("NA001");
    code.OnSetText = [](Field& f, const std::string& text) { f.SetAsString(text.substr(0, 2)); };
    master.Edit();
    code.SetText("07xyz");
    EXPECT_EQ(code.AsString(), "07");
    EXPECT_EQ(code.DataSize(), 3);
}

TEST_F(IdentityData, LocateLookupAndBookmarks) {
    master.Open();
    EXPECT_TRUE(master.Locate("NA002", "worker", loCaseInsensitive));
    EXPECT_EQ(master.RecNo(), 2);
    const Bookmark mark = master.GetBookmark();
    EXPECT_TRUE(master.Locate("NA002", "Man", loPartialKey));
    EXPECT_EQ(master.FieldByName("NA001").AsString(), "03");
    EXPECT_FALSE(master.Locate("NA002", "Nobody"));
    EXPECT_EQ(master.RecNo(), 3);
    EXPECT_TRUE(master.Locate("NA001;FLAG", VarArrayOf({"02", 3}), 0));
    master.GotoBookmark(mark);
    EXPECT_EQ(master.RecNo(), 2);
    EXPECT_EQ(master.Lookup("NA001", "03", "NA002").ToString(), "Manager");
    EXPECT_TRUE(master.Lookup("NA001", "99", "NA002").IsNull());
    EXPECT_EQ(master.RecNo(), 2);
    EXPECT_THROW(master.Locate("NA001;FLAG", "02"), EDatabaseError);

    master.Delete();
    EXPECT_FALSE(master.BookmarkValid(mark));
    EXPECT_THROW(master.GotoBookmark(mark), EDatabaseError);
}

TEST_F(IdentityData, IndexesByFieldNamesAndByNameDescending) {
    master.Open();
    master.AddIndex({"ByNameDesc", "NA002", "", "", ixDescending});
    master.SetIndexName("ByNameDesc");
    std::vector<std::string> names;
    for (master.First(); !master.Eof(); master.Next()) {
        names.push_back(master.FieldByName("NA002").AsString());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Worker", "Staff", "Manager"}));

    // A new row takes its sorted place.
    master.Append();
    master.FieldByName("NA001").SetAsString("04");
    master.FieldByName("NA002").SetAsString("Trainee");
    master.Post();
    EXPECT_EQ(master.RecNo(), 2);

    master.SetIndexFieldNames("NA001");
    EXPECT_EQ(master.IndexName(), "");
    master.First();
    EXPECT_EQ(master.FieldByName("NA001").AsString(), "01");
    master.Last();
    EXPECT_EQ(master.FieldByName("NA001").AsString(), "04");
    EXPECT_THROW(master.SetIndexName("Missing"), EDatabaseError);
    EXPECT_EQ(master.IndexFieldNames(), "NA001");
    EXPECT_THROW(master.SetIndexFieldNames("NoSuchField"), EDatabaseError);
}

// Counts what a control is told.
class CountingLink : public DataLink {
public:
    int Changes = 0;
    int Scrolls = 0;
    int Records = 0;
    int EditingCount = 0;

protected:
    void DataSetChanged() override { ++Changes; }
    void DataSetScrolled(int) override { ++Scrolls; }
    void RecordChanged(Field*) override { ++Records; }
    void EditingChanged() override { ++EditingCount; }
};

TEST_F(IdentityData, DisabledControlsHearNothingUntilTheLastEnable) {
    master.Open();
    DataSource source(&master);
    CountingLink link;
    link.SetDataSource(&source);
    int stateChanges = 0;
    source.OnStateChange = [&] { ++stateChanges; };

    master.DisableControls();
    master.DisableControls();
    master.Next();
    master.Edit();
    master.FieldByName("NA002").SetAsString("x");
    master.Post();
    master.EnableControls();
    EXPECT_EQ(link.Changes + link.Scrolls + link.Records + link.EditingCount, 0);
    EXPECT_EQ(stateChanges, 0);
    master.EnableControls();
    EXPECT_EQ(link.Changes, 1);
    EXPECT_EQ(stateChanges, 1);
    EXPECT_FALSE(master.ControlsDisabled());
    master.Next();
    EXPECT_EQ(link.Scrolls, 1);
    master.Edit();
    EXPECT_TRUE(link.EditingCount > 0 && link.Editing());
}

TEST_F(IdentityData, DataLinksKeepAWindowOfRows) {
    for (int i = 4; i <= 20; ++i) {
        provider->AddRow({std::string(i < 10 ? "0" : "") + std::to_string(i), "Type " + std::to_string(i), "", 0.0});
    }
    master.Open();
    DataSource source(&master);
    CountingLink grid;
    grid.SetDataSource(&source);
    grid.SetBufferCount(5);
    EXPECT_EQ(grid.RecordCount(), 5);
    EXPECT_EQ(grid.ActiveRecord(), 0);
    master.MoveBy(7);
    EXPECT_EQ(grid.ActiveRecord(), 4);
    // Read the first row of the window without moving the cursor.
    grid.SetActiveRecord(0);
    EXPECT_EQ(master.FieldByName("NA001").AsString(), "04");
    grid.RestoreActiveRecord();
    EXPECT_EQ(master.FieldByName("NA001").AsString(), "08");
    master.Last();
    EXPECT_EQ(grid.ActiveRecord(), 4);
    EXPECT_EQ(grid.RecordCount(), 5);
}

TEST_F(IdentityData, CalculatedAndLookupFields) {
    ClientDataSet items("cdsItems");
    items.AddField("CODE", FieldType::String, 3);
    items.AddField("NAME", FieldType::String, 20);
    items.CreateDataSet();
    items.Append();
    items.FieldByName("CODE").SetAsString("A01");
    items.FieldByName("NAME").SetAsString("Meal allowance");
    items.Post();

    master.Open();
    body.SetDataSetField(&master.FieldByName("qryBody"));
    for (const auto* name : {"NB001", "NB002", "NB003", "NB004", "FLAG"}) {
        body.AddField(name, std::string(name) == "NB004" || std::string(name) == "FLAG" ? FieldType::Float
                                                                                      : FieldType::String,
                      std::string(name) == "NB001" ? 2 : std::string(name) == "NB002" ? 4 : 6);
    }
    Field& itemName = body.AddField("ItemName", FieldType::String, 20, FieldKind::Lookup);
    itemName.LookupDataSet = &items;
    itemName.LookupKeyFields = "CODE";
    itemName.LookupResultField = "NAME";
    itemName.KeyFields = "NB003";
    Field& percent = body.AddField("Percent", FieldType::Float, 0, FieldKind::Calculated);
    body.OnCalcFields = [](DataSet& d) { d.FieldByName("Percent").SetAsFloat(d.FieldByName("NB004").AsFloat() * 100); };
    body.Open();
    EXPECT_EQ(itemName.AsString(), "Meal allowance");
    EXPECT_DOUBLE_EQ(percent.AsFloat(), 50);
    body.Next();
    EXPECT_DOUBLE_EQ(percent.AsFloat(), 25);
    EXPECT_TRUE(itemName.IsNull());
    body.Edit();
    body.FieldByName("NB004").SetAsFloat(0.125);
    EXPECT_DOUBLE_EQ(percent.AsFloat(), 12.5);
    EXPECT_THROW(percent.SetAsFloat(1), EDatabaseError);
}

} // namespace
} // namespace corvane::data
