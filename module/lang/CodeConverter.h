// The code-page converter every program window carries as KtConverter: it
// converts texts and variant arrays between simplified and traditional
// Chinese as the interface and database code pages require, converts a whole
// window once (captions, hints, fonts, item lists, lines, texts, panels, list
// and tree views, tab sets, string grids), and shows messages in the
// window's caption and font.
//
// Modes: 1 converts traditional to simplified, 2 simplified to traditional;
// 0, 3 and 4 convert nothing (4 only selects fonts). Texts are 8-bit in the
// module; widget texts are converted on their Unicode form.
#pragma once

#include "module/lang/Translator.h"
#include "platform/ui/MessageDialog.h"
#include "platform/variant/Variant.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class QFont;
class QWidget;

namespace corvane {

enum class TDesignType { dtClient, dtServer };

class TCodeConverter : public QObject {
public:
    // Reads the code pages and modes of the client (or server) configuration;
    // binds the conversion library when the interface converts, and fails
    // when it cannot be bound.
    explicit TCodeConverter(QObject* parent = nullptr, TDesignType designType = TDesignType::dtClient);
    ~TCodeConverter() override;

    TDesignType DesignType = TDesignType::dtClient;
    std::string SystemCodePage = "936";
    std::string UICodePage = "936";
    std::string DBCodePage = "936";
    int UIConvertMode = 0;
    int DBConvertMode = 0;
    std::vector<std::string> ExclusionList;
    std::string JoinBuffer;

    // Sets the modes as a configuration would and binds or drops the library to suit.
    void SetModes(int uiMode, int dbMode);
    bool HasTranslator() const { return m_translator != nullptr; }

    Variant ConvertText(int mode, const Variant& value) const;
    std::string ConvertString(int mode, std::string_view text) const;
    QString ConvertWidgetText(int mode, const QString& text) const;
    Variant ToDisplay(const Variant& value) const { return ConvertText(UIConvertMode, value); }
    std::string ToDisplayText(std::string_view text) const { return ConvertString(UIConvertMode, text); }
    Variant ToStorage(const Variant& value) const;
    std::string ToStorageText(std::string_view text) const;
    Variant DBToDisplay(const Variant& value) const { return ConvertText(DBConvertMode, value); }
    Variant DisplayToDB(const Variant& value) const;
    std::string Big5ToGBText(std::string_view text) const;
    std::string GBToBig5Text(std::string_view text) const;

    // Modes 0, 1 and 4 take SimSun for GB2312, modes 2 and 3 SimSun for BIG5.
    static void SetModeFont(int mode, QFont& font);
    // The font's character set for a mode: 134 (GB2312) or 136 (BIG5).
    static int ModeCharset(int mode);

    void ConvertCaption(QWidget* form) const;
    void ConvertForm(QWidget* form, bool useExclusions, bool deep);
    void ConvertFormWithData(QWidget* form, const Variant& data, bool deep);
    // A message in the window's caption and mode font; answers the modal result.
    int ShowConvertedDialog(QWidget* form, std::string_view text, ui::MsgDlgType kind,
                            const std::vector<ui::MsgDlgBtn>& buttons) const;

private:
    const TTranslator& Library() const;
    void ConvertComponent(QObject* component, const std::string* exclusion);
    void ConvertSpecial(QObject* component, bool deep);

    std::unique_ptr<TTranslator> m_translator;
    mutable std::unique_ptr<TTranslator> m_directTranslator;
};

} // namespace corvane
