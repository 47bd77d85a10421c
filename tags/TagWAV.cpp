// tags/TagWAV.cpp: the RIFF tag held in memory; no file format behind it yet.
#include "tags/TagWAV.h"

#include "tags/TagItems.h"

#include "rtl/Classes.h"

namespace tags {

String TWAVTagFrame::GetAsText() const { return Format == wtffText ? FText : String(); }

bool TWAVTagFrame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    return false;
}

bool TWAVTagFrame::SetAsList(const rtl::TStrings&) { return false; }

bool TCART::GetPostTimer(int Index, TCART_TIMER& Timer) const
{
    if (Index < 0 || Index > 7) return false;
    Timer = FPostTimers[size_t(Index)];
    return true;
}

bool TCART::SetPostTimer(int Index, const TCART_TIMER& Timer)
{
    if (Index < 0 || Index > 7) return false;
    FPostTimers[size_t(Index)] = Timer;
    return true;
}

void TCART::ClearPostTimer(int Index)
{
    if (Index >= 0 && Index <= 7) FPostTimers[size_t(Index)] = TCART_TIMER();
}

TWAVTag::TWAVTag() = default;
TWAVTag::~TWAVTag() = default;

void TWAVTag::Clear()
{
    Frames.clear();
    BEXT.Clear();
    CART.Clear();
    Loaded = false;
    Size = 0;
    Attributes = TWAVAttributes();
    PlayTime = 0;
    SampleCount = 0;
    BitRate = 0;
}

int TWAVTag::LoadFromFile(const String& FileName)
{
    Clear();
    return FileName.isEmpty() ? WAVTAGLIBRARY_ERROR_OPENING_FILE : WAVTAGLIBRARY_ERROR_NO_TAG_FOUND;
}

TWAVTagFrame* TWAVTag::AddFrame(const String& Name) { return AppendNamedItem(Frames, this, Name); }

void TWAVTag::DeleteFrameByName(const String& Name)
{
    DeleteItemsWhere(Frames, [&Name](const TWAVTagFrame& f) { return f.Name == Name; });
}

bool TWAVTag::SetTextFrameText(const String& Name, const String& Text)
{
    TWAVTagFrame* frame = nullptr;
    for (const auto& f : Frames)
        if (f->Name == Name) { frame = f.get(); break; }
    if (!frame) frame = AddFrame(Name);
    frame->Format = wtffText;
    frame->FText = Text;
    return true;
}

int TWAVTag::SaveToStream(rtl::TStream&) { return WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }
int TWAVTag::SaveToFile(const String&) { return WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

int StripWAVTagsFromFile(const String&) { return WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

} // namespace tags
