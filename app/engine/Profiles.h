// app/engine/Profiles.h: encoder profiles: small INI files holding the encoder panel's settings, the
// list of the profiles folder sorted by each profile's sort key, and the colours of a profile item.
#pragma once
#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

#include "app/engine/EncoderPanel.h"
#include "app/engine/Types.h"

namespace engine {

using TProfileList = std::vector<TProfileInfo>;

// Writes the panel to PresetFile (created, or replaced with its other keys kept). ProfileType and
// SortIndex are accepted for the callers and not written. File errors raise the run-time library's errors.
void SaveProfile(const TEncoderPanel& Panel, const String& PresetFile, const String& ProfileType, const String& SortIndex);
// Reads PresetFile into the panel; nothing when it does not exist. A missing key leaves its control as it is.
// The panel's controls are refreshed afterwards, also when reading fails.
void LoadProfile(TEncoderPanel& Panel, const String& PresetFile);

// Appends the profile fName to List when it is a profile of this program; false otherwise.
bool AP_AddProfile(TProfileList& List, const String& fName);
// Sorts entries 0..High by SortIndex, ascending (entries of equal keys may change places).
void SortProfiles(TProfileList& List, int High);
// The integer beside the first string equal to Str (both upper-cased with IgnoreCase), or Default; also
// Default when the arrays differ in length.
int StrArrayToInt(const String& Str, const QStringList& Strings, const std::vector<int>& Ints, int Default,
                  bool IgnoreCase);

// The profile combo: the two fixed items, then one per listed profile, in list order.
struct TProfileCombo {
    TProfileList List;
    QStringList Items;
    int ItemIndex = 0;
};
// Every profile of ProfilesDir but LastProfileFile, sorted.
TProfileCombo GetProfiles(const String& ProfilesDir, const String& LastProfileFile, const TEngineTexts& Texts);
// The combo item of the profile saved as ShortFileName (compared upper-cased), or 0 when none is.
int FindProfileItem(const TProfileCombo& Combo, const String& ShortFileName);

// What choosing combo item Index loads.
enum TProfileChoice { pcNothing, pcLastSession, pcDefaults, pcFile };
// pcFile sets FileName to the profile's path (the first profile's when Index is past the list).
TProfileChoice ProfileForItem(const TProfileCombo& Combo, int Index, const String& ProfilesDir, String& FileName);

// How one item of the profile combo is drawn.
struct TProfileItemLook {
    String Text;              // tabs and line breaks expanded
    bool Bold = false;
    bool WordWrap = false;    // the text holds a line break
    TColor Background = 0;
    TColor TextColor = 0;
    TColor GradientFrom = 0;  // the vertical gradient that fills the item, top to bottom
    TColor GradientTo = 0;
    TColor LineColor = 0;     // the line across an item of the open list
    int TextLeft = 4;
    int TextTop = 3;
};
// Index: the combo item; ItemText: its text; ListOpen: drawn in the open list (else in the closed box).
TProfileItemLook GetProfileItemLook(const TProfileCombo& Combo, int Index, const String& ItemText, bool Selected,
                                    bool ListOpen, const String& StyleName, bool DarkStyle, const TEngineTexts& Texts);

} // namespace engine
