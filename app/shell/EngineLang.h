// app/shell/EngineLang.h: the engine sits below the language strings, so its window, its run and its
// builders take their texts as data; these copy them out of the chosen language.
#pragma once
#include "app/engine/Conversion.h"
#include "app/engine/EncoderPanel.h"
#include "app/engine/FormProgress.h"
#include "app/shell/AppStrings.h"

namespace shell {

// The progress window's texts (section Progress, and Close of section MAIN), applied.
void SetLang(engine::TFormProgress& Form, const TAppStrings& Strings);
engine::TRunTexts GetRunTexts(const TAppStrings& Strings);
engine::TEngineTexts GetEngineTexts(const TAppStrings& Strings);

} // namespace shell
