// Table-driven conversion between GB (code page 936) and BIG5 (code page
// 950) texts, driven by the mapping file "Language", with the system's
// conversion as the fallback for characters the tables do not hold; and the
// extended BIG5 mapping of a traditional-Chinese system.
//
// The mapping file is a text of lines: "[" lines and blank lines are skipped,
// lines starting "BIG5" are the BIG5 table (a BIG5 index to a GB code) and
// come first, lines starting "GB" are the GB table (a GB index to a BIG5
// code). An entry's value is the text after its first "="; its characters 2
// to 5 are four upper-case hexadecimal digits. An entry that cannot be read,
// or reads 0000, sends its character to the fallback.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The table index of a double-byte character; -1 when it has none.
int GbIndex(unsigned char lead, unsigned char trail);
int Big5Index(unsigned char lead, unsigned char trail);
bool IsGbDoubleByte(unsigned char lead, unsigned char trail);
bool IsBig5DoubleByte(unsigned char lead, unsigned char trail);

struct MappingTables {
    std::vector<uint16_t> Big5ToGb;
    std::vector<uint16_t> GbToBig5;
};

// Reads a mapping file; false when it cannot be opened.
bool LoadMappingFile(const std::string& path, MappingTables& tables);

// Table-driven conversions with the process's tables, loaded on first use
// (and again while the GB table is empty) from the client folder, else the
// program's folder; without a file the message "Can't find file Language !!"
// is shown and every character goes to the fallback.
std::string GBToBig5(std::string_view text);
std::string Big5ToGB(std::string_view text);
// The same with given tables (no file is read).
std::string GBToBig5(std::string_view text, const MappingTables& tables);
std::string Big5ToGB(std::string_view text, const MappingTables& tables);
// Forgets the process's tables, so that the next conversion reads the file again.
void ResetMappingTables();

// The extended BIG5 mapping: the four rules of the user-defined characters.
bool ExtendedBig5Decode(unsigned char lead, unsigned char trail, char32_t& out);
bool ExtendedBig5Encode(char32_t in, unsigned char& lead, unsigned char& trail);
// Installs the mapping into every BIG5 conversion of the process when the
// system code page is 950 and the setting UseKBIG5 is not "0"; answers
// whether it did.
bool InstallExtendedBig5IfConfigured();
void RemoveExtendedBig5();

} // namespace corvane
