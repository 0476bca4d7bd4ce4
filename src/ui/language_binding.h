#pragma once

#include "setup/languages.h"

class QWidget;

namespace vu {

// Gives the controls of a window (found by their object names) the captions and hints that the
// loaded language sets for that window. Before the first load the designed texts stay.
void applyLanguage(QWidget* window, Form form, const LanguageTexts& texts);

} // namespace vu
