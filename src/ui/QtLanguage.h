// Qt's own texts and formats (standard buttons, file and folder pickers, the
// calendar of the date pickers) in the language of the program's messages.
#pragma once

namespace tv {

// Installs Qt's translation of the selected language, makes its locale the
// default and hands it to every window. Nothing changes when the language is
// the one applied last.
void ApplyLanguageToQt();

}  // namespace tv
