// tags/TagWMA.cpp: the WMA attributes held in memory; no metadata editor behind them yet.
#include "tags/TagWMA.h"

#include "tags/TagItems.h"

#include "rtl/Classes.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"

using namespace Qt::Literals::StringLiterals;

namespace tags {

const char16_t* const g_wszWMAuthor = u"Author";
const char16_t* const g_wszWMTitle = u"Title";
const char16_t* const g_wszWMCopyright = u"Copyright";
const char16_t* const g_wszWMDescription = u"Description";
const char16_t* const g_wszWMPicture = u"WM/Picture";

String TWMATagFrame::GetAsText() const { return FText; }

bool TWMATagFrame::SetAsText(const String& Text)
{
    Format = WMT_TYPE_STRING;
    FText = Text;
    return true;
}

bool TWMATagFrame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    return false;
}

bool TWMATagFrame::SetAsList(const rtl::TStrings&) { return false; }

TWMATag::TWMATag() = default;
TWMATag::~TWMATag() = default;

void TWMATag::Clear()
{
    Frames.clear();
    Loaded = false;
}

int TWMATag::LoadFromFile(const String& FileName)
{
    Clear();
    return rtl::FileExists(FileName) ? WMATAGLIBRARY_ERROR_WMVCORE_NOT_FOUND : WMATAGLIBRARY_ERROR_FILE_NOT_FOUND;
}

int TWMATag::SaveToFile(const String& FileName)
{
    return rtl::FileExists(FileName) ? WMATAGLIBRARY_ERROR_WMVCORE_NOT_FOUND : WMATAGLIBRARY_ERROR_FILE_NOT_FOUND;
}

int64_t TWMATag::CalculateTagSize() const { return 0; }

TWMATagFrame* TWMATag::AddFrame(const String& Name) { return AppendNamedItem(Frames, this, Name); }
bool TWMATag::DeleteFrame(int Index) { return DeleteItemAt(Frames, Index); }

bool TWMATag::SetTextFrameText(const String& Name, const String& Text)
{
    for (int i = 0; i < Count(); ++i) {
        if (!rtl::SameText(Frames[size_t(i)]->Name, Name)) continue;
        if (Text.isEmpty()) return DeleteFrame(i);
        return Frames[size_t(i)]->SetAsText(Text);
    }
    return Text.isEmpty() || AddFrame(Name)->SetAsText(Text);
}

void TWMATag::DeleteAllCoverArts()
{
    DeleteItemsWhere(Frames, [](const TWMATagFrame& f) { return f.Name == String::fromUtf16(g_wszWMPicture); });
}

int TWMATag::AddCoverArtFrame(rtl::TStream&, const String&, uint8_t, const String&) { return -1; }

bool TWMATag::GetCoverArtFromFrame(int, rtl::TStream&, String&, uint8_t&, String&) { return false; }

int64_t TWMATag::GetDuration() const { return 0; }
int64_t TWMATag::GetNumberOfFrames() const { return 0; }
int TWMATag::GetBitRate() const { return 0; }

} // namespace tags
