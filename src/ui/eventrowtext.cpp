#include "eventrowtext.h"

#include "eventtext.h"
#include "texttable.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace loopwren::rowtext {

QString title(const MacroEvent& event, const QString& language)
{
    if (event.type == EventType::wait) {
        return TextTable::localized(QStringLiteral("Wait "), language) +
               QString::asprintf("%.2fs", event.delaySincePrevious);
    }
    return QString::fromStdString(eventDescription(event));
}

QString detail(const MacroEvent& event, const QString& language)
{
    if (event.type == EventType::wait)
        return TextTable::localized(QStringLiteral("Pause execution flow"), language);
    if (event.location) {
        return TextTable::localized(QStringLiteral("Screen Coordinate: X:"), language) +
               wholeNumber(event.location->x) + QStringLiteral(" Y:") + wholeNumber(event.location->y);
    }
    if (!event.scrollDeltaX || !event.scrollDeltaY)
        return TextTable::localized(QStringLiteral("Native Key Sequence Event"), language);
    return TextTable::localized(QStringLiteral("Scroll Delta: dx:"), language) +
           QString::number(*event.scrollDeltaX) + QStringLiteral(" dy:") +
           QString::number(*event.scrollDeltaY);
}

QString delayBadge(double delay) { return QString::asprintf("+%.2fs", delay); }

QString wholeNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    const double whole = std::trunc(value);
    // -0.5 truncates to -0, which must read as 0.
    if (whole == 0.0)
        return QStringLiteral("0");
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (whole >= -limit && whole < limit)
        return QString::number(static_cast<qint64>(whole));
    return QString::number(whole, 'f', 0);
}

QString symbolName(EventType type)
{
    switch (type) {
    case EventType::mouseDown:
        return QStringLiteral("hand.pointer.fill");
    case EventType::mouseUp:
        return QStringLiteral("hand.pointer");
    case EventType::mouseMoved:
        return QStringLiteral("location.fill");
    case EventType::keyDown:
        return QStringLiteral("keyboard.fill");
    case EventType::keyUp:
        return QStringLiteral("keyboard");
    case EventType::scroll:
        return QStringLiteral("arrow.up.and.down");
    case EventType::wait:
        return QStringLiteral("hourglass");
    }
    return {};
}

QString symbolTone(EventType type)
{
    switch (type) {
    case EventType::mouseDown:
    case EventType::mouseUp:
    case EventType::mouseMoved:
        return QStringLiteral("purple");
    case EventType::keyDown:
    case EventType::keyUp:
        return QStringLiteral("blue");
    case EventType::scroll:
        return QStringLiteral("orange");
    case EventType::wait:
        return QStringLiteral("yellow");
    }
    return {};
}

QString editorTypeName(EventType type)
{
    // Unlike the row's detail of the same words, the editor's type name is not translated.
    if (type == EventType::wait)
        return QStringLiteral("Pause execution flow");
    const QString raw =
        QString::fromUtf8(rawValue(type).data(), static_cast<qsizetype>(rawValue(type).size()));
    return raw.left(1).toUpper() + raw.mid(1).toLower();
}

QString emptyHint(const QString& language, bool isRecording, const Hotkey& recordHotkey)
{
    const QString key =
        isRecording
            ? QStringLiteral("Interact with other applications. Press %1 to complete recording.")
            : QStringLiteral("Click Record above or press %1 to start capturing keyboard and mouse actions.");
    return TextTable::localized(key, language).arg(QString::fromStdString(displayText(recordHotkey)));
}

QString eventCount(qsizetype count, const QString& language)
{
    return QString::number(count) + QLatin1Char(' ') +
           TextTable::localized(QStringLiteral("Events"), language);
}

QString delayField(double value)
{
    QString text = QString::number(value, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

std::optional<double> parseDelayField(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString wholeField(double value)
{
    if (!std::isfinite(value))
        return wholeNumber(value);
    const double rounded = std::round(value);
    return rounded == 0.0 ? QStringLiteral("0") : QString::number(rounded, 'f', 0);
}

std::optional<qint64> parseWholeField(const QString& text)
{
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]{1,15}$"));
    const QString trimmed = text.trimmed();
    if (!whole.match(trimmed).hasMatch())
        return std::nullopt;
    return trimmed.toLongLong();
}

} // namespace loopwren::rowtext
