// tests/toolbars/AccOracleTest.cpp: the standard accessibility objects of a plain window and of its two
// buttons (one disabled), asked as tests/platform/oleacc/oracle/probe.c asks a real implementation of
// the platform, against the table it recorded (scripts/make-oleacc-oracle.sh). The toolbars' own
// objects answer through these for hosted controls and for the windows they sit in.
#include "tests/support/windows/FormHarness.h"

#include "win/oleacc/oleacc.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::map<std::string, std::string> Recorded() {
    std::map<std::string, std::string> table;
    QFile f(QStringLiteral(TW_TOOLBARS_TEST_DIR "/../platform/oleacc/oracle/tables/standard-objects.txt"));
    if (!f.open(QIODevice::ReadOnly)) return table;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab > 0) table[line.left(tab).toStdString()] = line.mid(tab + 1).toStdString();
    }
    return table;
}

std::string Hex(unsigned long v, int width) {
    char s[16];
    std::snprintf(s, sizeof s, "%0*lx", width, v);
    return s;
}

// The probe's questions and its way of writing the answers.
void Ask(std::map<std::string, std::string>& Out, const std::string& Who, HWND Wnd, LONG Id) {
    const std::string key = Who + (Id == OBJID_WINDOW ? " window " : " client ");
    void* object = nullptr;
    HRESULT hr = AccessibleObjectFromWindow(Wnd, DWORD(Id), IID_IDispatch, &object);
    IAccessible* acc = nullptr;
    if (SUCCEEDED(hr) && object) {
        hr = static_cast<IDispatch*>(object)->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&acc));
        static_cast<IDispatch*>(object)->Release();
    }
    Out[key + "object"] = "hr " + Hex(unsigned(hr), 8);
    if (!acc) return;
    const auto failed = [](HRESULT h) { return "hr " + Hex(unsigned(h), 8); };
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT v;
    hr = acc->get_accRole(self, &v);
    Out[key + "role"] = SUCCEEDED(hr) && v.vt == VT_I4 ? std::to_string(v.lVal) : failed(hr);
    BSTR name = nullptr;
    hr = acc->get_accName(self, &name);
    Out[key + "name"] = hr == S_OK && name ? QString::fromUtf16(name, int(SysStringLen(name))).toStdString()
                        : SUCCEEDED(hr)    ? "-"
                                           : failed(hr);
    if (name) SysFreeString(name);
    hr = acc->get_accState(self, &v);
    Out[key + "state"] = SUCCEEDED(hr) && v.vt == VT_I4 ? Hex(unsigned(v.lVal), 8) : failed(hr);
    LONG x = 0, y = 0, w = 0, h = 0, n = 0;
    hr = acc->accLocation(&x, &y, &w, &h, self);
    Out[key + "location"] = SUCCEEDED(hr) ? std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) +
                                                " " + std::to_string(h)
                                          : failed(hr);
    hr = acc->get_accChildCount(&n);
    Out[key + "children"] = SUCCEEDED(hr) ? std::to_string(n) : failed(hr);
    acc->Release();
}

TEST(AccOracle, StandardObjectsAnswerAsTheRecordedOnes) {
    const std::map<std::string, std::string> recorded = Recorded();
    ASSERT_FALSE(recorded.empty()) << "no recorded table";
    testing_support::FormHarness harness;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"ProbeForm";
    RegisterClassW(&wc);
    const HWND form = CreateWindowExW(0, u"ProbeForm", u"Form", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                      nullptr, nullptr, nullptr);
    const HWND button = CreateWindowExW(0, u"BUTTON", u"&Run", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10,
                                        10, 80, 24, form, nullptr, nullptr, nullptr);
    const HWND disabled = CreateWindowExW(0, u"BUTTON", u"Stop", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON,
                                          100, 10, 80, 24, form, nullptr, nullptr, nullptr);
    SetForegroundWindow(form);
    SetFocus(button);
    harness.Pump();
    std::map<std::string, std::string> ours;
    Ask(ours, "form", form, OBJID_WINDOW);
    Ask(ours, "form", form, OBJID_CLIENT);
    Ask(ours, "button", button, OBJID_WINDOW);
    Ask(ours, "button", button, OBJID_CLIENT);
    Ask(ours, "disabled", disabled, OBJID_CLIENT);
    ours["form client wm_getobject"] = std::to_string(DefWindowProcW(form, WM_GETOBJECT, 0, LPARAM(OBJID_CLIENT)));
    ours["form window wm_getobject"] = std::to_string(DefWindowProcW(form, WM_GETOBJECT, 0, LPARAM(OBJID_WINDOW)));
    for (const auto& [question, answer] : recorded) {
        // The recording's window objects leave every question unimplemented (E_NOTIMPL); ours answer
        // (role window, the window's text, state and rectangle, one child: the client area).
        if (answer == "hr 80004001") continue;
        const auto it = ours.find(question);
        ASSERT_NE(it, ours.end()) << question;
        EXPECT_EQ(it->second, answer) << question;
    }
    DestroyWindow(form);
}

} // namespace
