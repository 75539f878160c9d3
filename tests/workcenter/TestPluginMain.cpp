// The main block of the test plug-in TEST01C.so: the module boundary with the
// test window as its window class.

#include "module/boundary/DLLMTCtrller.h"

#include "tests/module/boundary/TestWindow.h"

namespace {

const bool kWindowClass = [] {
    frmRadicalClass = &corvane::test::NewTestWindow;
    return true;
}();

} // namespace
