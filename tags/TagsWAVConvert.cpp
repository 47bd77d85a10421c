// tags/TagsWAVConvert.cpp: the front's entries from and into the INFO sub-chunks and the bext and cart
// fields of a WAV or RF64 file. The bext and cart fields travel as entries named "BEXT ..." and "CART ...".
#include "tags/TagWAV.h"
#include "tags/TagsConvert.h"

#include "rtl/SysUtils.h"

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace tags {

namespace {

struct TTextField {
    const char16_t* Name;
    String (TBEXT::*BextGet)() const;
    void (TBEXT::*BextSet)(const String&);
    String (TCART::*CartGet)() const;
    void (TCART::*CartSet)(const String&);
};

const TTextField BextTexts[] = {
    {u"BEXT Description", &TBEXT::Description, &TBEXT::SetDescription, nullptr, nullptr},
    {u"BEXT Originator", &TBEXT::Originator, &TBEXT::SetOriginator, nullptr, nullptr},
    {u"BEXT OriginatorReference", &TBEXT::OriginatorReference, &TBEXT::SetOriginatorReference, nullptr, nullptr},
    {u"BEXT OriginationDate", &TBEXT::OriginationDate, &TBEXT::SetOriginationDate, nullptr, nullptr},
    {u"BEXT OriginationTime", &TBEXT::OriginationTime, &TBEXT::SetOriginationTime, nullptr, nullptr},
};

using TBextNumber = std::pair<const char16_t*, std::pair<uint16_t (TBEXT::*)() const, void (TBEXT::*)(uint16_t)>>;
const TBextNumber BextLoudness[] = {
    {u"BEXT LoudnessValue", {&TBEXT::LoudnessValue, &TBEXT::SetLoudnessValue}},
    {u"BEXT LoudnessRange", {&TBEXT::LoudnessRange, &TBEXT::SetLoudnessRange}},
    {u"BEXT MaxTruePeakLevel", {&TBEXT::MaxTruePeakLevel, &TBEXT::SetMaxTruePeakLevel}},
    {u"BEXT MaxMomentaryLoudness", {&TBEXT::MaxMomentaryLoudness, &TBEXT::SetMaxMomentaryLoudness}},
    {u"BEXT MaxShortTermLoudness", {&TBEXT::MaxShortTermLoudness, &TBEXT::SetMaxShortTermLoudness}},
};

const TTextField CartTexts[] = {
    {u"CART Version", nullptr, nullptr, &TCART::Version, &TCART::SetVersion},
    {u"CART Title", nullptr, nullptr, &TCART::Title, &TCART::SetTitle},
    {u"CART Artist", nullptr, nullptr, &TCART::Artist, &TCART::SetArtist},
    {u"CART CutID", nullptr, nullptr, &TCART::CutID, &TCART::SetCutID},
    {u"CART ClientID", nullptr, nullptr, &TCART::ClientID, &TCART::SetClientID},
    {u"CART Category", nullptr, nullptr, &TCART::Category, &TCART::SetCategory},
    {u"CART Classification", nullptr, nullptr, &TCART::Classification, &TCART::SetClassification},
    {u"CART OutCue", nullptr, nullptr, &TCART::OutCue, &TCART::SetOutCue},
    {u"CART StartDate", nullptr, nullptr, &TCART::StartDate, &TCART::SetStartDate},
    {u"CART StartTime", nullptr, nullptr, &TCART::StartTime, &TCART::SetStartTime},
    {u"CART EndDate", nullptr, nullptr, &TCART::EndDate, &TCART::SetEndDate},
    {u"CART EndTime", nullptr, nullptr, &TCART::EndTime, &TCART::SetEndTime},
    {u"CART ProducerAppID", nullptr, nullptr, &TCART::ProducerAppID, &TCART::SetProducerAppID},
    {u"CART ProducerAppVersion", nullptr, nullptr, &TCART::ProducerAppVersion, &TCART::SetProducerAppVersion},
    {u"CART UserDef", nullptr, nullptr, &TCART::UserDef, &TCART::SetUserDef},
};
const TTextField CartTrailingTexts[] = {
    {u"CART URL", nullptr, nullptr, &TCART::URL, &TCART::SetURL},
    {u"CART Reserved", nullptr, nullptr, &TCART::Reserved, &TCART::SetReserved},
    {u"CART TagText", nullptr, nullptr, &TCART::TagText, &TCART::SetTagText},
};

// A signed 32-bit decimal number, 0 when the text is not one.
int32_t Number(const String& Text)
{
    bool ok = false;
    const int32_t v = Text.toInt(&ok, 10);
    return ok ? v : 0;
}

} // namespace

void TTags::LoadWAVTags()
{
    TWAVTag& tag = *WAVTag;
    const int count = tag.Count();
    for (int i = 0; i < count; ++i) {
        const String name = RIFFInfoToTagName(tag.Frames[size_t(i)]->Name);
        if (!name.isEmpty()) RemoveByName(name);
    }
    for (int i = 0; i < tag.Count(); ++i) {
        TWAVTagFrame& frame = *tag.Frames[size_t(i)];
        const String name = RIFFInfoToTagName(frame.Name);
        if (name.isEmpty()) continue;
        const String text = frame.GetAsText();
        if ((SameTagName(name, u"TRACKNUMBER"_s) || SameTagName(name, u"TRACK"_s)) && text.contains(u'/')) {
            SetSplitNumber(u"TRACKNUMBER"_s, u"TOTALTRACKS"_s, text);
        } else if (IsNameValueListKey(frame.Name)) {
            rtl::TStringList list;
            frame.GetAsList(list);
            Add(frame.Name)->Value = list.Text();
        } else {
            Add(name)->Value = text;
        }
    }
    if (tag.BEXT.Loaded) {
        const TBEXT& b = tag.BEXT;
        for (const auto& field : BextTexts) Add(String::fromUtf16(field.Name))->Value = (b.*field.BextGet)();
        Add(u"BEXT TimeReference"_s)->Value = String::number(b.TimeReference());
        Add(u"BEXT Version"_s)->Value = String::number(b.Version());
        Add(u"BEXT UMID"_s)->Value = b.UMID();
        for (const auto& [name, access] : BextLoudness) Add(String::fromUtf16(name))->Value = String::number((b.*access.first)());
        Add(u"BEXT CodingHistory"_s)->Value = b.CodingHistory();
    }
    if (tag.CART.Loaded) {
        const TCART& c = tag.CART;
        for (const auto& field : CartTexts) Add(String::fromUtf16(field.Name))->Value = (c.*field.CartGet)();
        Add(u"CART LevelReference"_s)->Value = String::number(c.LevelReference());
        for (int n = 0; n < 8; ++n) {
            TCART_TIMER timer;
            c.GetPostTimer(n, timer);
            Add(u"CART PostTimer"_s + String::number(n))->Value = timer.Usage + u' ' + String::number(timer.Value);
        }
        for (const auto& field : CartTrailingTexts) Add(String::fromUtf16(field.Name))->Value = (c.*field.CartGet)();
    }
    Loaded = true;
}

namespace {

// The bext or cart field an entry names; false when it names none.
bool SetWAVField(TWAVTag& Tag, const String& Name, const String& Value)
{
    auto is = [&Name](const char16_t* Field) { return rtl::SameText(Name, String::fromUtf16(Field)); };
    for (const auto& field : BextTexts)
        if (is(field.Name)) return (Tag.BEXT.*field.BextSet)(Value), true;
    for (const auto* table : {std::begin(CartTexts), std::begin(CartTrailingTexts)}) {
        const auto* end = table == std::begin(CartTexts) ? std::end(CartTexts) : std::end(CartTrailingTexts);
        for (const auto* field = table; field != end; ++field)
            if (is(field->Name)) return (Tag.CART.*field->CartSet)(Value), true;
    }
    for (const auto& [field, access] : BextLoudness)
        if (is(field)) return (Tag.BEXT.*access.second)(uint16_t(Number(Value))), true;
    if (is(u"BEXT TimeReference")) {
        bool ok = false;
        const qulonglong v = Value.toULongLong(&ok, 10);
        Tag.BEXT.SetTimeReference(ok ? v : 0);
        return true;
    }
    if (is(u"BEXT Version")) return Tag.BEXT.SetVersion(uint16_t(Number(Value))), true;
    if (is(u"BEXT UMID")) return Tag.BEXT.SetUMID(Value), true;
    if (is(u"BEXT CodingHistory")) return Tag.BEXT.SetCodingHistory(Value), true;
    if (is(u"CART LevelReference")) return Tag.CART.SetLevelReference(uint32_t(Number(Value))), true;
    for (int n = 0; n < 8; ++n) {
        if (!rtl::SameText(Name, u"CART PostTimer"_s + String::number(n))) continue;
        const qsizetype blank = Value.indexOf(u' ');
        TCART_TIMER timer;
        timer.Usage = blank >= 0 ? Value.left(blank) : String();
        timer.Value = uint32_t(Number(blank >= 0 ? Value.mid(blank + 1) : Value));
        Tag.CART.SetPostTimer(n, timer);
        return true;
    }
    return false;
}

} // namespace

int TTags::SaveWAVTag(const String& AFileName, rtl::TStream* Stream)
{
    TWAVTag& tag = *WAVTag;
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const TTag& entry = *Tags[size_t(i)];
        if (SetWAVField(tag, entry.Name, entry.Value)) continue;
        const String id = TagNameToRIFFInfo(rtl::UpperCase(entry.Name));
        if (id.isEmpty()) continue;
        if (TypeCount(entry.Name) >= 2) {
            rtl::TStringList values;
            GetMultipleList(entry.Name, values);
            QStringList joined;
            for (int v = 0; v < values.Count(); ++v) joined << values[v];
            tag.SetTextFrameText(id, joined.join(u", "_s));
        } else if (IsNameValueListKey(entry.Name)) {
            // The loaded list is replaced: a second one beside it would come back on every save.
            // Under the map's ID, so that an entry named in lower case still replaces the list and loads again.
            while (tag.DeleteFrameByName(id)) {
            }
            rtl::TStringList list;
            list.SetText(entry.Value);
            tag.AddFrame(id)->SetAsList(list);
        } else {
            tag.SetTextFrameText(id, entry.Value);
        }
    }
    if (Stream) {
        Stream->SetPosition(0);
        return tag.SaveToStream(*Stream);
    }
    return tag.SaveToFile(AFileName);
}

} // namespace tags
