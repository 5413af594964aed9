#ifndef VARNEL_UI_KIT_ARCHIVER_MESSAGE_H_
#define VARNEL_UI_KIT_ARCHIVER_MESSAGE_H_

#include <QString>

namespace varnel {

// The message the zip window shows when the archiver is missing, in the language applied last; empty until
// a language has been applied.
const QString& Message7zAbsent();
// Replaces that message; the caption table calls it each time it applies a language.
void SetMessage7zAbsent(QString message);

// The message in English: "7z not found in "<program_folder>" folder nor on PATH: install the p7zip-full
// package."; on Windows "7z.exe not found in "<program_folder>" folder", the only place looked at there.
QString EnglishMessage7zAbsent(const QString& program_folder);
// The message in French: "7z non présent dans le répertoire "<program_folder>" ni dans le PATH : installez le
// paquet p7zip-full."; on Windows "7z.exe non présent dans le répertoire "<program_folder>"".
QString FrenchMessage7zAbsent(const QString& program_folder);

// The title of that message's box: the current caption of the main menu (the top-level window named
// "MainForm") when it is loaded, else the program's title.
QString Message7zAbsentTitle();

}  // namespace varnel

#endif  // VARNEL_UI_KIT_ARCHIVER_MESSAGE_H_
