#include "standin_check.h"

#include "standin/registration.h"
#include "standin/standin_identity.h"
#include "standin_server_path.h"

#include <windows.h>

namespace test {
namespace {

// The build names its stand-in as CMake writes paths; a cross build's is a Linux path,
// which Wine serves on drive Z:.
std::wstring expectedProgram() {
    std::wstring path = kStandinServerPath;
    for (wchar_t &c : path)
        if (c == L'/')
            c = L'\\';
    return path.starts_with(L'\\') ? L"Z:" + path : path;
}

} // namespace

std::wstring standinProblem() {
    return standin::leadsElsewhere(standin::kProgId, standin::kClsid, expectedProgram());
}

} // namespace test
