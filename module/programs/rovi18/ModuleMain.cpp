// The main block of the ROVI18C plug-in. Loading the module runs the
// registrations of its units: the controller unit makes TDLLMTCtrller the
// controller class (DLLControllerClass). The identity-type window becomes
// the window class (frmRadicalClass) once the window chain exists; until
// then CreateForm reports that no window class is assigned.
//
// On a traditional-Chinese system the extended BIG5 mapping is installed for
// the whole process while the module is loaded.

#include "module/boundary/DLLMTCtrller.h"
#include "module/lang/CodeTables.h"

namespace {

class ExtendedBig5WhileLoaded {
public:
    ExtendedBig5WhileLoaded() : m_installed(corvane::InstallExtendedBig5IfConfigured()) {}
    ~ExtendedBig5WhileLoaded() {
        if (m_installed) {
            corvane::RemoveExtendedBig5();
        }
    }
    ExtendedBig5WhileLoaded(const ExtendedBig5WhileLoaded&) = delete;
    ExtendedBig5WhileLoaded& operator=(const ExtendedBig5WhileLoaded&) = delete;

private:
    bool m_installed;
};

const ExtendedBig5WhileLoaded kExtendedBig5;

} // namespace
