// The main block of the ROVI18C plug-in. Loading the module runs the
// registrations of its units: the controller unit makes TDLLMTCtrller the
// controller class (DLLControllerClass). The identity-type window becomes
// the window class (frmRadicalClass) once the window chain exists; until
// then CreateForm reports that no window class is assigned.

#include "module/boundary/DLLMTCtrller.h"
