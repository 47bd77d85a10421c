// tests/toolbars/DemoMain.h: what the demo programs for outside input share: the program's start, one
// shown form of the given class, its message loop and the end. Started(Form) runs once the form shows.
#pragma once
#include "qt/QtBackend.h"
#include "vcl/Forms.h"

template <class TDemo> int RunDemo(int argc, char** argv, void (*Started)(TDemo*) = nullptr) {
    if (!TwStartGui(&argc, argv, FALSE) || !twqt::Install()) return 2;
    TDemo* form = nullptr;
    vcl::Application->CreateForm(form);
    form->Show();
    if (Started) Started(form);
    vcl::Application->Run();
    twqt::Uninstall();
    TwStopGui();
    return 0;
}
