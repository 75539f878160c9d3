// Text, path and process facilities the module asks of the operating system.
//
// Texts are 8-bit; case folding touches ASCII letters only, so double-byte
// Chinese characters are never altered. Paths in settings may be written with
// "\" separators; NativePath turns them into "/" paths.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Case-insensitive comparison of ASCII letters; other bytes compare as they are.
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// Removes spaces and control characters (bytes up to 32) from both ends.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Integer parse in the manner of the suite's settings: optional sign, decimal
// or "$"/"0x" hexadecimal digits, surrounding blanks allowed. False on anything else.
bool TryParseInt(std::string_view text, long long& value);

// Settings write paths with "\" separators; on this platform they are "/".
std::string NativePath(std::string_view path);
// Adds a "/" unless the path is empty or already ends in one.
std::string IncludeTrailingPathDelimiter(std::string_view path);
// The folder part of a path, with its trailing "/" (empty when there is none).
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);

bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);
// Creates the folder and every missing parent; false when it cannot.
bool ForceDirectories(std::string_view path);

// The name of the user running the process (empty when it cannot be found).
std::string UserName();
// The full path of the running program, and its folder with a trailing "/".
std::string ProgramFileName();
std::string ProgramFolder();
// The full path of the executable or shared library that holds `address`.
std::string ModuleFileName(const void* address);
// The system's temporary folder with a trailing "/": $TMPDIR, else /tmp/.
std::string TempFolder();

} // namespace corvane
