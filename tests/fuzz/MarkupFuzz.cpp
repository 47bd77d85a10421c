// tests/fuzz/MarkupFuzz.cpp: mark-up text of arbitrary bytes, tokenized and then laid out offscreen as the
// label does. The first byte picks the area's width and whether it grows with the text; a text that
// starts with "~" stands for the rest repeated to about 100 KB (the seed repeats long words, as each word
// is measured on its own). Every text piece must come out with
// ordered edges and a line group the layout made.
// fuzz-libs: components vcl
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "components/HTMLText2.h"

// The system's font configuration keeps its caches until the process ends; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Measuring text reaches Qt's fonts, which want an application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication App(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    const uint8_t choice = Data[0];
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(Data + 1), qsizetype(Size - 1));
    if (text.size() > 1 && text.startsWith(u'~')) {
        const QString unit = text.mid(1);
        text.clear();
        while (text.size() < 100000) text += unit;
    }

    components::TListToken tokens;
    components::Tokenize(text, tokens);

    static std::unique_ptr<vcl::TBitmap> paper = [] {
        auto b = std::make_unique<vcl::TBitmap>();
        b->SetSize(8, 8);
        return b;
    }();
    components::THqHLayoutSettings lb;
    lb.Font->SetName(QStringLiteral("DejaVu Sans"));
    lb.Font->SetSize(9);
    lb.Width = 40 + (choice & 0x3F) * 10;
    lb.AutoWidth = (choice & 0x40) != 0;
    lb.MaxWidth = (choice & 0x80) ? lb.Width : 0;
    lb.InternalMargins.Enabled = (choice & 0x01) != 0;
    lb.Text = text;
    components::THqHLayout out;
    components::RebuildLayout(lb, paper->Canvas(), out);

    for (const auto& w : out.LWords) {
        if (w->Group < 0) std::abort();
        if (w->TagID == components::tagText && (w->Rect.Left > w->Rect.Right || w->Rect.Top > w->Rect.Bottom))
            std::abort();
    }
    if (out.TextHeight < 0 || out.Lines < 0) std::abort();
    return 0;
}
