#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace loopwren {

// Symbols are drawn from the Material Icons font: each symbol name the interface uses maps to the
// one glyph that stands in its place. Exposed to QML as the singleton Symbols.
class SymbolTable : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(Symbols)
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

public:
    explicit SymbolTable(QObject* parent = nullptr) : QObject(parent) {}

    // The glyph for a symbol name; empty for a name the table does not know.
    Q_INVOKABLE QString glyph(const QString& name) const { return glyphFor(name); }
    static QString glyphFor(const QString& name);

    // Registers the font compiled into the resources (once) and returns its family.
    static QString fontFamily();
};

} // namespace loopwren
