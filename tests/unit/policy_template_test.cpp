// The ADMX template that Group Policy and Intune import defines exactly the values the
// program reads, under its key, of its kinds, with every text in both languages.

#include "office/policy_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <span>
#include <string>
#include <vector>

namespace {

using office::PolicyKind;

std::string fileText(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string narrow(std::wstring_view ascii) {
    return {ascii.begin(), ascii.end()};
}

// An attribute of the first element of `tag` in `xml`; empty without one.
std::string attribute(const std::string &xml, const std::string &tag, const std::string &name) {
    std::smatch element, value;
    if (!std::regex_search(xml, element, std::regex("<" + tag + "\\b[^>]*>")))
        return "";
    const std::string opening = element.str();
    return std::regex_search(opening, value, std::regex("\\s" + name + "=\"([^\"]*)\""))
               ? value.str(1)
               : "";
}

std::vector<std::string> all(const std::string &xml, const std::string &pattern) {
    std::vector<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), expression);
         it != std::sregex_iterator(); ++it)
        found.push_back(it->str(1));
    return found;
}

bool has(const std::string &xml, const std::string &pattern) {
    return std::regex_search(xml, std::regex(pattern));
}

// Each way the template and the table differ, and each text a language lacks.
std::vector<std::string> templateProblems(std::span<const office::Policy> table,
                                          const std::string &admx,
                                          const std::map<std::string, std::string> &admls) {
    std::vector<std::string> problems;
    std::map<std::string, PolicyKind> defined; // value name -> kind
    for (const std::string &policy : all(admx, "(<policy\\b[\\s\\S]*?</policy>)")) {
        const std::string name = attribute(policy, "policy", "name");
        if (attribute(policy, "policy", "key") != narrow(office::kPolicyKey))
            problems.push_back(name + ": not under the program's key");
        if (attribute(policy, "policy", "class") != "Both")
            problems.push_back(name + ": not for machine and user both");
        const bool text = has(policy, "<text\\b");
        const std::string valueName = text ? attribute(policy, "text", "valueName")
                                           : attribute(policy, "policy", "valueName");
        if (text && attribute(policy, "text", "expandable") != "true")
            problems.push_back(name + ": a path not written as REG_EXPAND_SZ");
        if (!text &&
            !(has(policy, "<enabledValue>\\s*<decimal value=\"1\"\\s*/>\\s*</enabledValue>") &&
              has(policy, "<disabledValue>\\s*<decimal value=\"0\"\\s*/>\\s*</disabledValue>")))
            problems.push_back(name + ": a switch not written as REG_DWORD 1 and 0");
        if (!defined.emplace(valueName, text ? PolicyKind::Path : PolicyKind::Switch).second)
            problems.push_back(valueName + ": defined twice");
    }
    for (const office::Policy &policy : table) {
        const auto found = defined.find(narrow(policy.valueName));
        if (found == defined.end())
            problems.push_back(narrow(policy.valueName) +
                               ": read by the program, not in the template");
        else if (found->second != policy.kind)
            problems.push_back(narrow(policy.valueName) + ": of another kind in the template");
        if (found != defined.end())
            defined.erase(found);
    }
    for (const auto &[valueName, kind] : defined)
        problems.push_back(valueName + ": in the template, not read by the program");

    for (const auto &[language, adml] : admls) {
        for (const std::string &id : all(admx, "\\$\\(string\\.([^)]+)\\)"))
            if (!has(adml, "<string id=\"" + id + "\">"))
                problems.push_back(language + " lacks the text " + id);
        for (const std::string &id : all(admx, "\\$\\(presentation\\.([^)]+)\\)"))
            if (!has(adml, "<presentation id=\"" + id + "\">"))
                problems.push_back(language + " lacks the presentation " + id);
        for (const std::string &id : all(adml, "refId=\"([^\"]+)\""))
            if (!has(admx, "<text id=\"" + id + "\""))
                problems.push_back(language + " shows a box for no value: " + id);
    }
    return problems;
}

const std::string kAdmx = fileText(BLATTKOPF_POLICIES "/blattkopf.admx");
const std::map<std::string, std::string> kAdmls = {
    {"de-DE", fileText(BLATTKOPF_POLICIES "/de-DE/blattkopf.adml")},
    {"en-US", fileText(BLATTKOPF_POLICIES "/en-US/blattkopf.adml")},
};

TEST(PolicyTemplate, DefinesExactlyTheValuesTheProgramReadsInBothLanguages) {
    ASSERT_FALSE(kAdmx.empty());
    EXPECT_EQ(templateProblems(office::kPolicies, kAdmx, kAdmls), std::vector<std::string>{});
}

// The check sees each fault it is there for, planted in a copy.
TEST(PolicyTemplate, CheckFindsEachPlantedFault) {
    const auto planted = [](std::string text, const std::string &old, const std::string &now) {
        const std::size_t at = text.find(old);
        EXPECT_NE(at, std::string::npos) << old;
        return at == std::string::npos ? text : text.replace(at, old.size(), now);
    };
    const struct {
        std::string admx;
        std::string problem;
    } cases[] = {
        {planted(kAdmx, "valueName=\"AttributeErzeugen\"", "valueName=\"AttributErzeugen\""),
         "AttributeErzeugen: read by the program, not in the template"},
        {planted(kAdmx, "valueName=\"AttributeErzeugen\"", "valueName=\"AttributErzeugen\""),
         "AttributErzeugen: in the template, not read by the program"},
        {planted(kAdmx, "key=\"SOFTWARE\\Policies\\blattkopf\">", "key=\"SOFTWARE\\blattkopf\">"),
         "Konstrukteure: not under the program's key"},
        {planted(kAdmx, "class=\"Both\"", "class=\"User\""),
         "Konstrukteure: not for machine and user both"},
        {planted(kAdmx, " expandable=\"true\"", ""),
         "Konstrukteure: a path not written as REG_EXPAND_SZ"},
        {planted(kAdmx, "<decimal value=\"1\" />", "<decimal value=\"2\" />"),
         "AttributeErzeugen: a switch not written as REG_DWORD 1 and 0"},
        {planted(kAdmx, "$(string.AutomatischesRebuild_Explain)", "$(string.Rebuild_Explain)"),
         "de-DE lacks the text Rebuild_Explain"},
    };
    for (const auto &[admx, problem] : cases) {
        const std::vector<std::string> problems = templateProblems(office::kPolicies, admx, kAdmls);
        EXPECT_NE(std::ranges::find(problems, problem), problems.end()) << problem;
    }
    // A value the program reads of another kind, and one the template leaves out.
    const office::Policy table[] = {
        {office::PolicyId::DesignerList, L"Konstrukteure", PolicyKind::Switch, L""},
        {office::PolicyId::GenProp, L"AttributeErzeugen", PolicyKind::Switch, L""},
        {office::PolicyId::Rebuild, L"AutomatischesRebuild", PolicyKind::Switch, L""},
        {office::PolicyId::Rebuild, L"Neu", PolicyKind::Switch, L""},
    };
    const std::vector<std::string> problems = templateProblems(table, kAdmx, kAdmls);
    EXPECT_NE(std::ranges::find(problems, "Konstrukteure: of another kind in the template"),
              problems.end());
    EXPECT_NE(std::ranges::find(problems, "Neu: read by the program, not in the template"),
              problems.end());
    // A language without a text.
    auto admls = kAdmls;
    admls["en-US"] = planted(admls["en-US"], "<string id=\"Konstrukteure\">", "<string id=\"K\">");
    EXPECT_EQ(templateProblems(office::kPolicies, kAdmx, admls),
              std::vector<std::string>{"en-US lacks the text Konstrukteure"});
}

} // namespace
