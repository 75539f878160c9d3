// mklanguage: writes the mapping file "Language" of the table-driven GB and
// BIG5 conversion. Every BIG5 character is mapped to the GB character of its
// simplified form, every GB character to the BIG5 character of its
// traditional form, through iconv and OpenCC; a character without a
// counterpart gets 0000, which sends it to the system conversion.
//
// Usage: mklanguage <output file>

#include "module/lang/CodeTables.h"
#include "module/lang/Translator.h"
#include "platform/sys/CodePage.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Entry {
    uint16_t Source = 0;
    uint16_t Target = 0;
};

uint16_t PairCode(const std::string& bytes) {
    if (bytes.size() != 2 || static_cast<unsigned char>(bytes[0]) < 0x80) {
        return 0;
    }
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]));
}

// One character of `from` converted to `to` through Unicode and `map`; 0 when it has no counterpart.
template <typename Map>
uint16_t Counterpart(unsigned char lead, unsigned char trail, const char* from, const char* to, Map map) {
    const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
    const std::string utf8 = corvane::codepage::ToUtf8(pair, from);
    if (utf8.empty() || utf8 == "?" || utf8.find('?') != std::string::npos) {
        return 0;
    }
    return PairCode(corvane::codepage::FromUtf8(map(utf8), to));
}

void Write(std::ofstream& out, const char* prefix, const std::vector<Entry>& table) {
    char line[32];
    for (const Entry& entry : table) {
        std::snprintf(line, sizeof line, "%s%04X=$%04X\n", prefix, entry.Source, entry.Target);
        out << line;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mklanguage <output file>\n");
        return 2;
    }
    try {
        const corvane::TTranslator translator;
        std::vector<Entry> big5;
        std::vector<Entry> gb;
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const auto a = static_cast<unsigned char>(lead);
                const auto t = static_cast<unsigned char>(trail);
                const int gbIndex = corvane::IsGbDoubleByte(a, t) ? corvane::GbIndex(a, t) : -1;
                if (gbIndex >= 0) {
                    if (gb.size() <= static_cast<size_t>(gbIndex)) {
                        gb.resize(static_cast<size_t>(gbIndex) + 1);
                    }
                    gb[static_cast<size_t>(gbIndex)] = {static_cast<uint16_t>(lead << 8 | trail),
                                                        Counterpart(a, t, "936", "950", [&](const std::string& s) {
                                                            return translator.SimplifiedToTraditional(s);
                                                        })};
                }
                const int big5Index = corvane::IsBig5DoubleByte(a, t) ? corvane::Big5Index(a, t) : -1;
                if (big5Index >= 0) {
                    if (big5.size() <= static_cast<size_t>(big5Index)) {
                        big5.resize(static_cast<size_t>(big5Index) + 1);
                    }
                    big5[static_cast<size_t>(big5Index)] = {static_cast<uint16_t>(lead << 8 | trail),
                                                            Counterpart(a, t, "950", "936", [&](const std::string& s) {
                                                                return translator.TraditionalToSimplified(s);
                                                            })};
                }
            }
        }
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out << "[BIG5]\n";
        Write(out, "BIG5", big5);
        out << "[GB]\n";
        Write(out, "GB", gb);
        if (!out) {
            std::fprintf(stderr, "mklanguage: cannot write %s\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mklanguage: %s\n", error.what());
        return 1;
    }
    return 0;
}
