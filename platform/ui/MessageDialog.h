// The modal message dialog of the platform: a kind (icon), a set of buttons
// named "Yes" … "Help", a default button, a caption, a font and optional
// captions per button. The answer is the modal result of the button pressed.
//
// Tests and headless runs answer dialogs without a screen through the
// responder (Responder.h): the dialog is then built but not shown.
#pragma once

#include <QFont>
#include <QString>

#include <map>
#include <optional>
#include <string_view>
#include <vector>

class QWidget;

namespace corvane::ui {

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// The button names in their fixed order; a button's index is its identifier.
enum MsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
inline constexpr std::string_view kButtonNames[] = {"Yes",   "No",     "OK",  "Cancel",   "Abort", "Retry",
                                                    "Ignore", "All", "NoToAll", "YesToAll", "Help"};

// Modal results, one per button that closes the dialog.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
    mrHelp = 11,
};

int ModalResultOf(MsgDlgBtn button);

struct MessageDialogRequest {
    QString Text;
    MsgDlgType Type = MsgDlgType::Custom;
    std::vector<MsgDlgBtn> Buttons;
    // The default button; none when the dialog has no button of that name.
    std::optional<MsgDlgBtn> DefaultButton;
    QString Caption;
    // Captions that replace the platform's own, by button.
    std::map<MsgDlgBtn, QString> ButtonCaptions;
    QFont Font;
    // The character set the font is meant for ("GB2312", "BIG5"), for the record.
    QString FontCharset;
    QWidget* Parent = nullptr;
};

// Shows the dialog (or asks the responder) and answers the modal result.
int ShowMessageDialog(MessageDialogRequest request);

} // namespace corvane::ui
