#pragma once

#include <QString>
#include <QStringList>

namespace zot {

// The languages the window is translated into, as the .qm files name them.
const QStringList& shippedLanguages();

// The translation to use for a user's languages, most wanted first (as
// QLocale::uiLanguages gives them): the first one shipped, any Portuguese
// as Brazilian Portuguese, Simplified Chinese only; empty for English.
QString chooseLanguage(const QStringList& uiLanguages);

// Installs the program's translation from folder and Qt's own for the chosen
// language, and lays the window out right to left where it reads so.
// Returns the language chosen (empty: English, nothing installed).
QString installTranslations(const QString& folder, const QStringList& uiLanguages);

// Where the program's translations lie: beside the program, in the build
// tree as installed.
QString translationsFolder(const QString& programFolder);

} // namespace zot
