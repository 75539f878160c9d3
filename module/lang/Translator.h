// The binding of the conversion library: conversion of 8-bit texts between
// simplified Chinese in code page 936 (GB) and traditional Chinese in code
// page 950 (BIG5), entry points "GBtoBIG5" and "BIG5toGB".
//
// The library stand-in converts through Unicode: iconv decodes the source
// code page, OpenCC maps the characters (s2t, t2s), iconv encodes the target
// code page. A character without a counterpart in the target code page
// becomes "?"; nothing is cut. The Unicode forms serve widget texts, which
// are Unicode already.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr std::string_view kConversionLibrary = "Dodadizeve.dll";

class TTranslator {
public:
    // Binds the library; throws Exception "Load Library Dodadizeve.dll Error!"
    // when the character tables cannot be loaded.
    TTranslator();
    ~TTranslator();
    TTranslator(const TTranslator&) = delete;
    TTranslator& operator=(const TTranslator&) = delete;

    std::string GBtoBIG5(std::string_view text) const;
    std::string BIG5toGB(std::string_view text) const;
    // The same on UTF-8 text.
    std::string SimplifiedToTraditional(std::string_view utf8) const;
    std::string TraditionalToSimplified(std::string_view utf8) const;

private:
    struct Library;
    std::shared_ptr<Library> m_library;
};

} // namespace corvane
