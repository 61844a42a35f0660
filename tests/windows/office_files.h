#pragma once

// What an office sets up for the window under test: its designer list, beside this
// test program or anywhere, and its policies, in a key of the tests' own.

#include "office/policies.h"
#include "process_windows.h"
#include "win32/owners.h"

#include <windows.h>

#include <string>

namespace test {

// A designer list, by default Konstrukteure.txt beside this test program, where the window
// looks for it; gone again after the test. A folder of that name, when asked for.
class DesignerFile {
public:
    explicit DesignerFile(const std::string &bytes, bool folder = false,
                          std::wstring path = unquoted(L"Konstrukteure.txt"))
        : path_(std::move(path)) {
        if (folder) {
            CreateDirectoryW(path_.c_str(), nullptr);
            return;
        }
        const win32::UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    ~DesignerFile() {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    DesignerFile(const DesignerFile &) = delete;
    DesignerFile &operator=(const DesignerFile &) = delete;

    const std::wstring &path() const { return path_; }
    static std::wstring unquoted(const wchar_t *besideThisProgram) {
        const std::wstring quoted = test::besideThisProgram(besideThisProgram);
        return quoted.substr(1, quoted.size() - 2);
    }

private:
    std::wstring path_;
};

// Policies for the window under test. They live under HKEY_CURRENT_USER in a key of the
// tests' own, which the window is told to read as the machine's and the user's policy keys:
// a test never changes a machine's policies, under Wine or on a real Windows desk. Empty at
// the start of each test, gone after it.
class TestPolicies {
public:
    TestPolicies() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    ~TestPolicies() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    TestPolicies(const TestPolicies &) = delete;
    TestPolicies &operator=(const TestPolicies &) = delete;

    enum class Place { Machine, User };

    office::PolicyPlaces places() const { return {place(Place::Machine), place(Place::User)}; }
    static office::PolicyPlace place(Place where) {
        const std::wstring key =
            std::wstring(kKey) + (where == Place::Machine ? L"\\machine" : L"\\user");
        return {HKEY_CURRENT_USER, key, L"HKEY_CURRENT_USER\\" + key};
    }

    void set(Place where, const wchar_t *name, DWORD type, const void *data, DWORD size) const {
        RegSetKeyValueW(HKEY_CURRENT_USER, place(where).key.c_str(), name, type, data, size);
    }
    void setText(Place where, const wchar_t *name, const std::wstring &text,
                 DWORD type = REG_SZ) const {
        set(where, name, type, text.c_str(),
            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void setNumber(Place where, const wchar_t *name, DWORD number) const {
        set(where, name, REG_DWORD, &number, sizeof(number));
    }

private:
    static constexpr wchar_t kKey[] = L"Software\\blattkopf-tests\\Policies";
};

} // namespace test
