#pragma once

#include <QImage>
#include <QPainterPath>
#include <QString>
#include <optional>

// The application's mark as the window's sidebar draws it when there is no logo picture: a rounded
// square in the brand gradient, purple to red from left to right, with the white "click" symbol of the
// icon font in its middle. One description serves both the scalable icon and its pixel sizes, so the
// two never drift apart.
class GradientMark
{
public:
    // The symbol's outline taken from the icon font file; nothing when the font or glyph is missing.
    static std::optional<GradientMark> fromIconFont(const QString& fontPath);

    QImage render(int size) const;
    QString svg() const;

private:
    explicit GradientMark(QPainterPath symbol) : m_symbol(std::move(symbol)) {}

    // In canvas units (see the .cpp), placed and sized as in the sidebar.
    QPainterPath m_symbol;
};
