#pragma once

#include <QString>
#include <QStringList>

namespace tb::app {

// The file name of the Russian resource library.
inline constexpr char kRussianLibrary[] = "libtb_russian.so";

// The folders searched for the Russian library, in order: the program's own folder, then the
// installed library folder next to it.
QStringList russian_library_folders();

// Loads the Russian library from the first of `folders` that holds it and installs its
// translations (the program's and Qt's own) into the application. The library stays loaded for
// the rest of the run. Returns false, and leaves the English texts in place, when no folder holds
// a library with the program's translation.
bool load_russian(const QStringList& folders);

// Picks the language of the run from the "Language" setting (1: Russian) and sets the C locale
// to match. Without the Russian library the program runs in English; the user is not told.
void choose_language(int language);

}  // namespace tb::app
