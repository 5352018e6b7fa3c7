#pragma once

#include <QString>

class Dialogs;
class RandomSource;

// What every window of the program is handed: where the program's files lie, how to ask the user,
// where random numbers come from, and the program-wide flags that outlive a window.
struct AppContext {
    QString programFolder; // ends with "/"
    Dialogs* dialogs = nullptr;
    RandomSource* random = nullptr;

    // First-start flag: 1 while the first start after installation is still pending.
    qint16 intFirstStart = 0;

    // A file of the program: the program folder followed directly by a relative name.
    QString path(const QString& relative) const { return programFolder + relative; }
    QString languageDatabase() const { return path(QStringLiteral("Data/language.crf")); }
};
