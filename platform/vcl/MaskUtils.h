// vcl/MaskUtils.h: the class library's edit masks applied to a text.
#pragma once
#include "rtl/System.h"

namespace vcl {

// Formats Value by an edit mask "mask[;save literals[;blank]]": each input position of the mask takes
// the next character of Value (the blank character when Value has run out), literals are put in
// place (and, when the mask saves literals, a matching literal of Value is taken for them), and the
// case marks '>' and '<' convert the characters that follow ("<>" ends the conversion).
rtl::String FormatMaskText(const rtl::String& EditMask, const rtl::String& Value);

} // namespace vcl
