#pragma once

#include <string_view>

// What an office sets for every desk by Group Policy: values under one key, read from
// HKEY_LOCAL_MACHINE and then HKEY_CURRENT_USER, the machine's winning value by value.
// The ADMX template in docs/policies defines exactly these; a unit test holds them together.
namespace office {

inline constexpr std::wstring_view kPolicyKey = L"SOFTWARE\\Policies\\blattkopf";

enum class PolicyKind {
    Path,   // REG_SZ or REG_EXPAND_SZ, variables expanded: a file, on a share as well
    Switch, // REG_DWORD 0 or 1
};

enum class PolicyId { DesignerList, GenProp, Rebuild, StartCad };

struct Policy {
    PolicyId id;
    std::wstring_view valueName;
    PolicyKind kind;
    std::wstring_view unused; // what stands instead of a value that cannot be used, for the user
};

inline constexpr Policy kPolicies[] = {
    {PolicyId::DesignerList, L"Konstrukteure", PolicyKind::Path,
     L"Die Auswahlliste \u201EKonstrukteur\u201C bleibt leer."},
    {PolicyId::GenProp, L"AttributeErzeugen", PolicyKind::Switch,
     L"Das Kästchen \u201EAttribute erzeugen\u201C ist beim Start angehakt."},
    {PolicyId::Rebuild, L"AutomatischesRebuild", PolicyKind::Switch,
     L"Das Kästchen \u201Eautomatisches Rebuild\u201C ist beim Start angehakt."},
    {PolicyId::StartCad, L"CADProgrammStarten", PolicyKind::Switch,
     L"blattkopf startet das CAD-Programm, wenn es nicht läuft."},
};

} // namespace office
