#!/usr/bin/env python3
# Writes the program's ten skin texts (main, Auric, Carbon, Charcoal, Cobalt, Iceberg, Luna, Silver,
# Slate, TabletDark) beside this script, each from the colours of the visual style it goes with
# (data/styles/*.vsf); "main" takes the classic light colours. Run it again after a style's colours
# change:  skins/texts/make-skin-texts.py
import os
import re

here = os.path.dirname(os.path.abspath(__file__))
styles = os.path.join(here, "..", "..", "data", "styles")

# skin name, file stem, style file (None: the classic colours)
SKINS = [
    ("main", "main", None),
    ("Auric", "auric", "Auric.vsf"),
    ("Carbon", "carbon", "Carbon.vsf"),
    ("Charcoal", "charcoal", "CharcoalDarkSlate.vsf"),
    ("Cobalt", "cobalt", "CobaltXEMedia.vsf"),
    ("Iceberg", "iceberg", "IcebergClassico.vsf"),
    ("Luna", "luna", "Luna.vsf"),
    ("Silver", "silver", "Silver.vsf"),
    ("Slate", "slate", "SlateClassico.vsf"),
    ("TabletDark", "tabletdark", "TabletDark.vsf"),
]

CLASSIC = {
    "dark": False, "clWindow": "#FFFFFF", "clBtnFace": "#F0F0F0", "clBtnText": "#000000",
    "clMenu": "#F0F0F0", "clMenuText": "#000000", "clHighlight": "#3399FF", "clHighlightText": "#FFFFFF",
    "clGrayText": "#6D6D6D", "clBtnShadow": "#A0A0A0", "clActiveCaption": "#99B4D1",
    "clCaptionText": "#000000", "clGradientActiveCaption": "#B9D1EA", "scButtonHot": "#E5F1FB",
    "scButtonPressed": "#CCE4F7", "scBorder": "#ADADAD",
}


def palette(style):
    if style is None:
        return dict(CLASSIC)
    p = {"dark": False}
    with open(os.path.join(styles, style), encoding="utf-8") as f:
        for line in f:
            m = re.match(r"(system|color)\s+(\w+)\s+(#[0-9A-Fa-f]{6})", line)
            if m:
                p[m.group(2)] = m.group(3).upper()
            elif re.match(r"dark\s+yes", line):
                p["dark"] = True
    return p


def rgb(html):
    return int(html[1:3], 16), int(html[3:5], 16), int(html[5:7], 16)


def skin_colour(r, g, b):
    # The skin text's colour form: "$" and the 0x00BBGGRR value in 8 hex digits.
    clamp = lambda v: max(0, min(255, v))
    return "$00%02X%02X%02X" % (clamp(b), clamp(g), clamp(r))


def col(p, name, lighten=0):
    r, g, b = rgb(p[name])
    return skin_colour(r + lighten, g + lighten, b + lighten)


def mix(p, a, b, percent_a):
    ra, ga, ba = rgb(p[a])
    rb, gb, bb = rgb(p[b])
    f = lambda x, y: (percent_a * x + (100 - percent_a) * y + 50) // 100
    return skin_colour(f(ra, rb), f(ga, gb), f(ba, bb))


NONE = "clNone"


def entry(kind, *colours):
    colours = list(colours) + [NONE] * (4 - len(colours))
    return "%d, %s" % (kind, ", ".join(colours))


EMPTY = entry(0)

# Components in the skin text's order, with their valid states.
COMPONENTS = [
    ("Dock", ["Normal"]), ("DockablePanel", ["Normal"]), ("DockablePanelTitleBar", ["Normal"]),
    ("Gutter", ["Normal"]), ("MenuBar", ["Normal"]), ("OpenToolbarItem", ["Normal"]), ("Panel", ["Normal"]),
    ("Popup", ["Normal"]), ("Separator", ["Normal"]), ("Splitter", ["Normal"]), ("StatusBar", ["Normal"]),
    ("StatusBarGrip", ["Normal"]), ("TabBackground", ["Normal"]), ("TabToolbar", ["Normal"]),
    ("Toolbar", ["Normal"]), ("ToolbarGrip", ["Normal"]), ("Window", ["Normal"]), ("WindowTitleBar", ["Normal"]),
]
ALL = ["Normal", "Disabled", "HotTrack", "Pushed", "Checked", "CheckedAndHotTrack"]
COMPONENTS += [(c, ALL) for c in ("MenuBarItem", "MenuItem", "ToolbarItem", "Button", "CheckBox", "EditButton")]
COMPONENTS += [("EditFrame", ALL[:3]), ("Header", ALL[:4]), ("Label", ALL[:2]), ("ListItem", ALL),
               ("ProgressBar", ["Normal", "HotTrack"]), ("RadioButton", ALL), ("Tab", ALL),
               ("TrackBar", ["Normal", "HotTrack"]), ("TrackBarButton", ["Normal", "Pushed"])]


def categories(p):
    """(component, state) -> (body, borders, text colour)."""
    dark = p["dark"]
    top = 6 if dark else 8             # how much lighter a bar's gradient starts
    bar = entry(1, col(p, "clBtnFace", top), col(p, "clBtnFace"))
    text, gray = col(p, "clBtnText"), col(p, "clGrayText")
    menu_text = col(p, "clMenuText")
    hi = col(p, "clHighlight")
    hot = entry(1, col(p, "scButtonHot", 10), col(p, "scButtonHot"))
    pushed = entry(1, col(p, "scButtonPressed"), col(p, "scButtonPressed", 10))
    checked = entry(0, mix(p, "clHighlight", "clBtnFace", 30))
    checked_hot = entry(0, mix(p, "clHighlight", "clBtnFace", 45))
    frame = entry(1, hi, hi)
    border = col(p, "scBorder")
    c = {}

    for name in ("Dock", "MenuBar", "StatusBar", "TabToolbar", "Toolbar", "DockablePanel", "Panel"):
        c[name, "Normal"] = (bar, EMPTY, text)
    c["Gutter", "Normal"] = (entry(0, col(p, "clBtnFace")), EMPTY, NONE)
    c["Popup", "Normal"] = (entry(0, col(p, "clMenu")), entry(0, border, border), menu_text)
    c["Separator", "Normal"] = (entry(0, col(p, "clBtnShadow")), EMPTY, NONE)
    c["Splitter", "Normal"] = (entry(0, col(p, "clBtnFace")), EMPTY, NONE)
    for grip in ("StatusBarGrip", "ToolbarGrip"):
        c[grip, "Normal"] = (entry(0, gray), EMPTY, NONE)
    c["TabBackground", "Normal"] = (entry(0, col(p, "clBtnFace")), EMPTY, NONE)
    c["Window", "Normal"] = (entry(0, col(p, "clBtnFace")),
                             entry(0, border, border, col(p, "clBtnFace"), col(p, "clBtnFace")), text)
    title = (entry(1, col(p, "clActiveCaption"), col(p, "clGradientActiveCaption")), EMPTY, col(p, "clCaptionText"))
    c["WindowTitleBar", "Normal"] = title
    c["DockablePanelTitleBar", "Normal"] = title
    c["OpenToolbarItem", "Normal"] = (EMPTY, EMPTY, NONE)   # no office-style popups

    item = {"Normal": (EMPTY, EMPTY, menu_text), "Disabled": (EMPTY, EMPTY, gray),
            "HotTrack": (hot, frame, menu_text), "Pushed": (pushed, frame, menu_text),
            "Checked": (checked, frame, menu_text), "CheckedAndHotTrack": (checked_hot, frame, menu_text)}
    for name in ("ToolbarItem", "MenuBarItem", "MenuItem"):
        for state, v in item.items():
            c[name, state] = v

    button_frame = entry(1, border, border)
    button = {"Normal": (bar, button_frame, text), "Disabled": (entry(0, col(p, "clBtnFace")), entry(1, gray, gray), gray),
              "HotTrack": (hot, frame, text), "Pushed": (pushed, frame, text),
              "Checked": (checked, frame, text), "CheckedAndHotTrack": (checked_hot, frame, text)}
    for name in ("Button", "CheckBox", "RadioButton", "EditButton"):
        for state, v in button.items():
            c[name, state] = v

    c["EditFrame", "Normal"] = (EMPTY, entry(0, border, border), NONE)
    c["EditFrame", "Disabled"] = (EMPTY, entry(0, gray, gray), NONE)
    c["EditFrame", "HotTrack"] = (EMPTY, entry(0, hi, hi), NONE)
    c["Header", "Normal"] = (bar, entry(0, NONE, border), text)
    c["Header", "Disabled"] = (bar, entry(0, NONE, border), gray)
    c["Header", "HotTrack"] = (hot, entry(0, NONE, border), text)
    c["Header", "Pushed"] = (pushed, entry(0, NONE, border), text)
    c["Label", "Normal"] = (EMPTY, EMPTY, text)
    c["Label", "Disabled"] = (EMPTY, EMPTY, gray)

    # List items from the hot item: lighter when hot, darker when checked and hot.
    c["ListItem", "Normal"] = (EMPTY, EMPTY, col(p, "clWindowText" if "clWindowText" in p else "clBtnText"))
    c["ListItem", "Disabled"] = (EMPTY, EMPTY, gray)
    c["ListItem", "HotTrack"] = (entry(1, col(p, "scButtonHot", 20), col(p, "scButtonHot", 10)), frame, text)
    c["ListItem", "Pushed"] = (pushed, frame, text)
    c["ListItem", "Checked"] = (checked, frame, text)
    c["ListItem", "CheckedAndHotTrack"] = (entry(0, mix(p, "clHighlight", "clBtnFace", 55)), frame, text)

    for name in ("ProgressBar", "TrackBar"):
        c[name, "Normal"] = (entry(0, col(p, "clWindow")), entry(0, border, border), NONE)
        c[name, "HotTrack"] = (entry(1, col(p, "clHighlight", 24), hi), EMPTY, NONE)
    c["TrackBarButton", "Normal"] = (bar, button_frame, NONE)
    c["TrackBarButton", "Pushed"] = (pushed, frame, NONE)

    tab_frame = entry(1, border, border)
    c["Tab", "Normal"] = (bar, tab_frame, text)
    c["Tab", "Disabled"] = (bar, tab_frame, gray)
    c["Tab", "HotTrack"] = (hot, tab_frame, text)
    c["Tab", "Pushed"] = (entry(0, col(p, "clWindow")), tab_frame, text)
    c["Tab", "Checked"] = (entry(0, col(p, "clWindow")), tab_frame, text)
    c["Tab", "CheckedAndHotTrack"] = (entry(0, col(p, "clWindow")), frame, text)
    return c


def skin_text(name, p):
    out = ["[Skin]", "Name=" + name, "Author=Tunewright", "ColorBtnFace=" + col(p, "clBtnFace"),
           "FloatingWindowBorderSize=4", "OfficeIcons=0", "OfficeMenu=1", "OfficeStatusBar=0", ""]
    c = categories(p)
    for component, states in COMPONENTS:
        out.append("[%s]" % component)
        for state in states:
            body, borders, text = c[component, state]
            out += ["%s.Body=%s" % (state, body), "%s.Borders=%s" % (state, borders), "%s.TextColor=%s" % (state, text)]
        out.append("")
    return "\r\n".join(out)


for name, stem, style in SKINS:
    with open(os.path.join(here, stem + ".skin"), "w", encoding="utf-8", newline="") as f:
        f.write(skin_text(name, palette(style)))
