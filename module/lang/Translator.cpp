#include "module/lang/Translator.h"

#include "platform/sys/CodePage.h"
#include "platform/sys/Exceptions.h"

#include <opencc/opencc.h>

#include <mutex>

namespace corvane {
namespace {

// One OpenCC configuration, opened once per process and shared by every translator.
class OpenCC {
public:
    explicit OpenCC(const char* config) : m_handle(opencc_open(config)) {}
    ~OpenCC() {
        if (IsOpen()) {
            opencc_close(m_handle);
        }
    }
    OpenCC(const OpenCC&) = delete;
    OpenCC& operator=(const OpenCC&) = delete;

    bool IsOpen() const { return m_handle != reinterpret_cast<opencc_t>(-1); }

    std::string Convert(std::string_view utf8) const {
        if (utf8.empty()) {
            return {};
        }
        std::lock_guard guard(m_lock);
        char* converted = opencc_convert_utf8(m_handle, utf8.data(), utf8.size());
        if (!converted) {
            return std::string(utf8);
        }
        std::string result(converted);
        opencc_convert_utf8_free(converted);
        return result;
    }

private:
    opencc_t m_handle;
    mutable std::mutex m_lock;
};

} // namespace

struct TTranslator::Library {
    OpenCC ToTraditional{"s2t.json"};
    OpenCC ToSimplified{"t2s.json"};
};

TTranslator::TTranslator() {
    static std::weak_ptr<Library> shared;
    static std::mutex lock;
    std::lock_guard guard(lock);
    m_library = shared.lock();
    if (!m_library) {
        auto library = std::make_shared<Library>();
        if (!library->ToTraditional.IsOpen() || !library->ToSimplified.IsOpen()) {
            throw Exception("Load Library " + std::string(kConversionLibrary) + " Error!");
        }
        m_library = library;
        shared = library;
    }
}

TTranslator::~TTranslator() = default;

std::string TTranslator::SimplifiedToTraditional(std::string_view utf8) const {
    return m_library->ToTraditional.Convert(utf8);
}

std::string TTranslator::TraditionalToSimplified(std::string_view utf8) const {
    return m_library->ToSimplified.Convert(utf8);
}

std::string TTranslator::GBtoBIG5(std::string_view text) const {
    if (text.empty()) {
        return {};
    }
    return codepage::FromUtf8(SimplifiedToTraditional(codepage::ToUtf8(text, "936")), "950");
}

std::string TTranslator::BIG5toGB(std::string_view text) const {
    if (text.empty()) {
        return {};
    }
    return codepage::FromUtf8(TraditionalToSimplified(codepage::ToUtf8(text, "950")), "936");
}

} // namespace corvane
