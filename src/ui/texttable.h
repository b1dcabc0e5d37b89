#pragma once

#include <QString>
#include <QStringList>

namespace loopwren {

// The interface texts in both languages, looked up by key. For a language value that is neither
// "English" nor "Indonesia" the key itself shows, which is why a text that must then read in English
// has its English text as its key.
class TextTable
{
public:
    static inline const QString english = QStringLiteral("English");
    static inline const QString indonesian = QStringLiteral("Indonesia");

    // The text stored under the exact language name, else the key unchanged.
    static QString localized(const QString& key, const QString& language);
    static QStringList keys();

};

} // namespace loopwren
