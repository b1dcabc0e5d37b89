#pragma once

#include <QString>
#include <QStringList>

namespace loopwren {

// The interface texts in both languages. Two ways to pick a text exist and they differ on purpose for a
// language value that is neither "English" nor "Indonesia": the keyed lookup then shows the key itself,
// the direct choice shows English.
class TextTable
{
public:
    static inline const QString english = QStringLiteral("English");
    static inline const QString indonesian = QStringLiteral("Indonesia");

    // The text stored under the exact language name, else the key unchanged.
    static QString localized(const QString& key, const QString& language);
    static QStringList keys();

    // The direct two-way choice: Indonesian exactly for "Indonesia", English for anything else.
    static bool isIndonesian(const QString& language) { return language == indonesian; }
    static QString choose(const QString& language, const QString& englishText, const QString& indonesianText)
    {
        return isIndonesian(language) ? indonesianText : englishText;
    }
};

} // namespace loopwren
