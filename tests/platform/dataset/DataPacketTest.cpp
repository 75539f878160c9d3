// The packet encoding: round trips of every field type, a table of malformed
// inputs, and a bounded random corpus of damaged packets, deltas and results.

#include "platform/dataset/DataPacket.h"

#include "tests/platform/dataset/MemoryProvider.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace corvane::data {
namespace {

std::vector<FieldDef> EveryType() {
    std::vector<FieldDef> defs;
    for (uint8_t code = 1; code < static_cast<uint8_t>(FieldType::DataSet); ++code) {
        const auto type = static_cast<FieldType>(code);
        defs.push_back({"F" + std::to_string(code), type, IsVariableType(type) ? 20 : 0, code == 1, code == 2, {}});
    }
    defs.push_back({"LINES", FieldType::DataSet, 0, false, false, {{"L1", FieldType::Integer, 0, false, false, {}}}});
    return defs;
}

Variant SampleValue(FieldType type) {
    switch (type) {
    case FieldType::WideString:
        return Variant(u"寬字");
    case FieldType::SmallInt:
        return Variant(-300);
    case FieldType::Word:
        return Variant(65000);
    case FieldType::Integer:
    case FieldType::AutoInc:
        return Variant(-2000000000);
    case FieldType::LargeInt:
        return Variant::FromInt64(1LL << 50);
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
        return Variant(-12345.625);
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return Variant::FromDate(37095.25);
    case FieldType::Boolean:
        return Variant(true);
    default:
        return Variant(std::string("bytes\x00\xff", 7));
    }
}

std::string SamplePacket() {
    const auto defs = EveryType();
    PacketWriter writer(defs);
    for (int row = 0; row < 3; ++row) {
        writer.AddRow();
        for (size_t col = 0; col + 1 < defs.size(); ++col) {
            if (row != 1) {
                writer.Set(static_cast<int>(col), SampleValue(defs[col].Type));
            }
        }
        for (int line = 0; line < row; ++line) {
            writer.Lines(static_cast<int>(defs.size()) - 1).AddRow();
            writer.Lines(static_cast<int>(defs.size()) - 1).Set(0, line * 7);
        }
    }
    return writer.Finish();
}

// The rows of a packet as text, for comparing packets by content.
std::string RowsText(std::string_view packet) {
    std::vector<Variant> rows;
    for (auto& row : PacketReader(packet).ReadAsVariants()) {
        rows.push_back(VarArrayOf(row));
    }
    return VarDebugText(VarArrayOf(rows));
}

TEST(DataPacket, EveryTypeRoundTripsThroughAStore) {
    const std::string packet = SamplePacket();
    PacketReader reader(packet);
    EXPECT_TRUE(SameLayout(reader.Defs(), EveryType()));
    EXPECT_TRUE(reader.Defs()[0].Required);
    EXPECT_TRUE(reader.Defs()[1].ReadOnly);
    RowStore store(reader.Defs());
    const auto rows = reader.ReadInto(store);
    ASSERT_EQ(rows.size(), 3u);
    // The store's own encoder writes the same rows.
    EXPECT_EQ(RowsText(EncodeStoreRows(store, rows)), RowsText(packet));

    const auto plain = PacketReader(packet).ReadAsVariants();
    const auto& defs = reader.Defs();
    for (size_t col = 0; col + 1 < defs.size(); ++col) {
        EXPECT_EQ(store.Get(rows[0], static_cast<int>(col)).ToString(), SampleValue(defs[col].Type).ToString())
            << FieldTypeName(defs[col].Type);
        EXPECT_TRUE(store.IsNull(rows[1], static_cast<int>(col)));
        EXPECT_TRUE(plain[1][col].IsNull());
    }
    EXPECT_EQ(store.Lines(rows[2], static_cast<int>(defs.size()) - 1).size(), 2u);
    EXPECT_EQ(plain[2].back().Length(), 2);
    EXPECT_EQ(plain[2].back().At(1).At(0).ToInt(), 7);
}

TEST(DataPacket, AReaderRefusesADifferentLayout) {
    PacketReader reader(SamplePacket());
    RowStore other(test::IdentityLayout());
    EXPECT_THROW(reader.ReadInto(other), EPacketError);
}

struct Malformed {
    const char* Name;
    std::string Bytes;
};

void PrintTo(const Malformed& m, std::ostream* os) { *os << m.Name; }

class MalformedPacket : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedPacket, IsAClearError) {
    try {
        PacketReader reader(GetParam().Bytes);
        reader.ReadAsVariants();
        FAIL() << "decoded";
    } catch (const EPacketError& error) {
        EXPECT_NE(std::string(error.what()).find("Malformed data packet"), std::string::npos);
    }
}

const std::string kHeader("CVDP\x01\x01", 6);

INSTANTIATE_TEST_SUITE_P(
    Inputs, MalformedPacket,
    testing::Values(Malformed{"empty", ""}, Malformed{"wrong mark", "XXXX\x01\x01"},
                    Malformed{"future version", std::string("CVDP\x09\x01", 6)},
                    Malformed{"a delta where a packet is due", std::string("CVDP\x01\x02", 6)},
                    Malformed{"no fields", kHeader + std::string("\x00", 1)},
                    Malformed{"field count beyond the bytes", kHeader + "\x7f"},
                    Malformed{"unknown field type", kHeader + "\x01\x01" "A" "\x63\x00\x00"},
                    Malformed{"name longer than the packet", kHeader + "\x01\x7f" "A"},
                    Malformed{"row count beyond the bytes", kHeader + "\x01\x01" "A" "\x06\x00\x00" "\x7f"},
                    Malformed{"truncated value", kHeader + "\x01\x01" "A" "\x01\x05\x00" "\x01\x00\x05" "ab"},
                    Malformed{"overlong number",
                              kHeader + "\x01\x01" "A" "\x06\x00\x00" "\x01\x00" + std::string(11, '\xff') + "\x01"},
                    Malformed{"trailing bytes", kHeader + "\x01\x01" "A" "\x06\x00\x00" + std::string("\x00", 1) + "zz"},
                    Malformed{"nesting too deep", [] {
                                  std::string bytes = kHeader;
                                  for (int i = 0; i < 12; ++i) {
                                      bytes += std::string("\x01\x01", 2) + "N" + "\x13\x00\x00";
                                  }
                                  return bytes;
                              }()}),
    [](const testing::TestParamInfo<Malformed>& info) {
        std::string name = info.param.Name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(DataPacket, DeltaAndResultDecodersRefuseDamage) {
    EXPECT_THROW(DecodeDelta(SamplePacket()), EPacketError);
    EXPECT_THROW(DecodeApplyResult(std::string("CVDP\x01\x03\x02\x00", 8)), EPacketError);
    ApplyResult result{true, {{"qryBody", 7, -3, 5, "refused", "ctx"}}};
    const ApplyResult back = DecodeApplyResult(EncodeApplyResult(result));
    EXPECT_TRUE(back.RolledBack);
    ASSERT_EQ(back.Errors.size(), 1u);
    EXPECT_EQ(back.Errors[0].Path, "qryBody");
    EXPECT_EQ(back.Errors[0].RowId, 7u);
    EXPECT_EQ(back.Errors[0].ErrorCode, -3);
    EXPECT_EQ(back.Errors[0].Context, "ctx");
}

// Damaged copies of valid encodings: flipped bits, cut ends, spliced bytes and
// random garbage. Each must decode or raise EPacketError; nothing else.
TEST(DataPacketFuzz, DamagedInputsNeverCrashOrHang) {
    Delta delta;
    delta.Defs = test::IdentityLayout();
    DeltaRow row;
    row.Status = UpdateStatus::Modified;
    row.RowId = 3;
    row.Original = {"01", "Staff", "", 0.0, Variant()};
    row.Current = {"01", "Staff2", "", -1.0, Variant()};
    row.Changed = {false, true, false, true, false};
    DeltaRow line;
    line.Status = UpdateStatus::Inserted;
    line.RowId = 9;
    line.Current = {"01", "0003", "A03", 0.5, 0.0};
    row.Lines = {{line}};
    delta.Rows = {row};
    const std::vector<std::string> seeds = {SamplePacket(), EncodeDelta(delta),
                                            EncodeApplyResult({false, {{"", 1, 2, 3, "m", "c"}}})};

    std::mt19937 random(20261211);
    const auto started = std::chrono::steady_clock::now();
    int decoded = 0;
    int refused = 0;
    for (int i = 0; i < 30000; ++i) {
        std::string bytes = seeds[static_cast<size_t>(i) % seeds.size()];
        switch (random() % 5) {
        case 0:
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
                bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
            }
            break;
        case 1:
            bytes.resize(random() % bytes.size());
            break;
        case 2:
            bytes[6 + random() % (bytes.size() - 6)] = static_cast<char>(random());
            break;
        case 3:
            bytes.insert(6 + random() % (bytes.size() - 6), 1 + random() % 8, static_cast<char>(random()));
            break;
        default:
            bytes = bytes.substr(0, 6);
            for (int n = static_cast<int>(random() % 64); n > 0; --n) {
                bytes += static_cast<char>(random());
            }
            break;
        }
        try {
            switch (static_cast<uint8_t>(bytes.size() > 5 ? bytes[5] : 0)) {
            case 2:
                DecodeDelta(bytes);
                break;
            case 3:
                DecodeApplyResult(bytes);
                break;
            default: {
                PacketReader reader(bytes);
                RowStore store(reader.Defs());
                reader.ReadInto(store);
                break;
            }
            }
            ++decoded;
        } catch (const EPacketError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_EQ(decoded + refused, 30000);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

} // namespace
} // namespace corvane::data
