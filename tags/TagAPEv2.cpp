// tags/TagAPEv2.cpp: the APEv2 tag held in memory; no file format behind it yet.
#include "tags/TagAPEv2.h"

#include "tags/TagItems.h"

#include "rtl/Classes.h"
#include "rtl/SysUtils.h"

using namespace Qt::Literals::StringLiterals;

namespace tags {

String TAPEv2Frame::GetAsText() const { return Format == ffText ? FText : String(); }

bool TAPEv2Frame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    if (Format != ffText) return false;
    List.SetText(FText);
    return List.Count() > 0;
}

bool TAPEv2Frame::SetAsText(const String& Text)
{
    Format = ffText;
    FText = Text;
    return true;
}

void TAPEv2Frame::SetAsList(const rtl::TStrings& List)
{
    Format = ffText;
    FText.clear();
    for (int i = 0; i < List.Count(); ++i) FText += List.Names(i) + u"\r\n"_s + List.ValueFromIndex(i) + u"\r\n"_s;
}

bool TAPEv2Frame::IsCoverArt() const { return Format == ffBinary && rtl::SameText(Name, u"Cover Art (Front)"_s); }

TAPEv2Tag::TAPEv2Tag() = default;
TAPEv2Tag::~TAPEv2Tag() = default;

void TAPEv2Tag::Clear()
{
    Frames.clear();
    Loaded = false;
    Size = 0;
}

int TAPEv2Tag::LoadFromFile(const String& FileName)
{
    Clear();
    return FileName.isEmpty() ? APEV2LIBRARY_ERROR_OPENING_FILE : APEV2LIBRARY_ERROR_NO_TAG_FOUND;
}

int64_t TAPEv2Tag::CalculateTagSize() const { return 0; }

TAPEv2Frame* TAPEv2Tag::AddFrame(const String& Name) { return AppendNamedItem(Frames, this, Name); }
bool TAPEv2Tag::DeleteFrame(int FrameIndex) { return DeleteItemAt(Frames, FrameIndex); }
void TAPEv2Tag::DeleteAllCoverArts() { DeleteItemsWhere(Frames, [](const TAPEv2Frame& f) { return f.IsCoverArt(); }); }

int TAPEv2Tag::AddCoverArtFrame(const String&, rtl::TStream&, const String&) { return -1; }

bool TAPEv2Tag::GetCoverArtFromFrame(int, rtl::TStream&, TAPEv2PictureFormat& PictureFormat, String& Description)
{
    PictureFormat = pfUnknown;
    Description.clear();
    return false;
}

int TAPEv2Tag::SaveToStream(rtl::TStream&) { return APEV2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }
int TAPEv2Tag::SaveToFile(const String&) { return APEV2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

int StripAPEv2FromFile(const String&) { return APEV2LIBRARY_ERROR_NOT_SUPPORTED_FORMAT; }

} // namespace tags
