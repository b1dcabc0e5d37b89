#include "libraryindex.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

namespace loopwren::libraryindex {
namespace {

constexpr int kVersion = 1;
constexpr auto kTimeFormat = "HH:mm";
constexpr auto kDateTimeFormat = "yyyy-MM-ddTHH:mm";

const char* kindName(MacroSchedule::Kind kind)
{
    switch (kind) {
    case MacroSchedule::Kind::once:
        return "once";
    case MacroSchedule::Kind::daily:
        return "daily";
    case MacroSchedule::Kind::interval:
        return "interval";
    case MacroSchedule::Kind::none:
        break;
    }
    return "none";
}

QJsonObject scheduleObject(const MacroSchedule& schedule)
{
    QJsonObject object{{"kind", kindName(schedule.kind)}};
    switch (schedule.kind) {
    case MacroSchedule::Kind::once:
        object["at"] = schedule.at.toString(kDateTimeFormat);
        break;
    case MacroSchedule::Kind::daily:
        object["time"] = schedule.time.toString(kTimeFormat);
        object["weekdays"] = schedule.weekdays;
        break;
    case MacroSchedule::Kind::interval:
        object["everyMinutes"] = schedule.everyMinutes;
        break;
    case MacroSchedule::Kind::none:
        break;
    }
    return object;
}

// A schedule that does not make sense is no schedule: a macro that runs by itself at a time nobody
// chose is worse than one that waits to be played.
std::optional<MacroSchedule> readSchedule(const QJsonObject& object)
{
    MacroSchedule schedule;
    const QString kind = object["kind"].toString();
    if (kind == QLatin1String("none"))
        return schedule;
    if (kind == QLatin1String("once")) {
        schedule.kind = MacroSchedule::Kind::once;
        schedule.at = QDateTime::fromString(object["at"].toString(), kDateTimeFormat);
        return schedule.at.isValid() ? std::optional(schedule) : std::nullopt;
    }
    if (kind == QLatin1String("daily")) {
        schedule.kind = MacroSchedule::Kind::daily;
        schedule.time = QTime::fromString(object["time"].toString(), kTimeFormat);
        const int weekdays = object["weekdays"].toInt(-1);
        if (!schedule.time.isValid() || weekdays <= 0 || weekdays > 0x7F)
            return std::nullopt;
        schedule.weekdays = static_cast<std::uint8_t>(weekdays);
        return schedule;
    }
    if (kind == QLatin1String("interval")) {
        schedule.kind = MacroSchedule::Kind::interval;
        schedule.everyMinutes = object["everyMinutes"].toInt(0);
        return schedule.everyMinutes > 0 ? std::optional(schedule) : std::nullopt;
    }
    return std::nullopt;
}

// A value that is present must be a finite number inside its range; absent means "the global setting".
bool readOptional(const QJsonObject& object, const char* key, double low, double high, std::optional<double>& out)
{
    const QJsonValue value = object[key];
    if (value.isUndefined() || value.isNull())
        return true;
    const double number = value.toDouble(NAN);
    if (!value.isDouble() || !(number >= low && number <= high))
        return false;
    out = number;
    return true;
}

std::optional<LibraryEntry> readEntry(const QJsonObject& object, QString* problem)
{
    LibraryEntry entry;
    entry.file = object["file"].toString();
    entry.name = object["name"].toString().trimmed();
    if (entry.file.isEmpty() || entry.file.contains(QLatin1Char('/')) || entry.file.startsWith(QLatin1Char('.'))) {
        *problem = QStringLiteral("a macro without a valid file name");
        return std::nullopt;
    }
    const auto fail = [&](const char* what) {
        *problem = QStringLiteral("%1: %2").arg(entry.file, QLatin1String(what));
        return std::nullopt;
    };
    if (object.contains("hotkey")) {
        const QJsonObject hotkey = object["hotkey"].toObject();
        const auto decoded = decodeHotkey(QJsonDocument(hotkey).toJson(QJsonDocument::Compact).toStdString());
        if (!decoded)
            return fail("the hotkey cannot be read");
        entry.hotkey = *decoded;
    }
    entry.loopCount = object["loops"].toInt(1);
    entry.infiniteLoop = object["infinite"].toBool(false);
    entry.playbackSpeed = object["speed"].toDouble(100.0);
    if (entry.loopCount < 1 || entry.loopCount > 9999)
        return fail("loops out of range");
    if (!(entry.playbackSpeed >= 10.0 && entry.playbackSpeed <= 1000.0))
        return fail("speed out of range");
    if (!readOptional(object, "delayVariation", 0, 100, entry.delayVariation)
        || !readOptional(object, "passPauseMin", 0, 86400, entry.passPauseMin)
        || !readOptional(object, "passPauseMax", 0, 86400, entry.passPauseMax)
        || !readOptional(object, "clickSpread", 0, 50, entry.clickSpread))
        return fail("a timing value out of range");
    if (object.contains("schedule")) {
        const auto schedule = readSchedule(object["schedule"].toObject());
        if (!schedule)
            return fail("the schedule cannot be read");
        entry.schedule = *schedule;
    }
    return entry;
}

} // namespace

ReadResult read(const QByteArray& document)
{
    ReadResult result;
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError) {
        result.damage = QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset);
        return result;
    }
    const QJsonObject root = json.object();
    if (!json.isObject() || root["version"].toInt() != kVersion || !root["macros"].isArray()) {
        result.damage = QStringLiteral("not a library index of version %1").arg(kVersion);
        return result;
    }
    QSet<QString> files;
    QSet<QString> names;
    for (const QJsonValue& value : root["macros"].toArray()) {
        QString problem;
        std::optional<LibraryEntry> entry = readEntry(value.toObject(), &problem);
        if (entry && (files.contains(entry->file) || names.contains(entry->name.toCaseFolded())))
            problem = QStringLiteral("%1: listed twice").arg(entry->file), entry.reset();
        if (!entry) {
            if (result.damage.isEmpty())
                result.damage = problem;
            continue;
        }
        files.insert(entry->file);
        if (!entry->name.isEmpty())
            names.insert(entry->name.toCaseFolded());
        result.entries.push_back(std::move(*entry));
    }
    return result;
}

QByteArray write(const std::vector<LibraryEntry>& entries)
{
    QJsonArray macros;
    for (const LibraryEntry& entry : entries) {
        QJsonObject object{{"file", entry.file},
                           {"name", entry.name},
                           {"loops", entry.loopCount},
                           {"infinite", entry.infiniteLoop},
                           {"speed", entry.playbackSpeed}};
        if (entry.hotkey != Hotkey::unset())
            object["hotkey"] = QJsonDocument::fromJson(QByteArray::fromStdString(encodeHotkey(entry.hotkey))).object();
        const auto put = [&](const char* key, const std::optional<double>& value) {
            if (value)
                object[key] = *value;
        };
        put("delayVariation", entry.delayVariation);
        put("passPauseMin", entry.passPauseMin);
        put("passPauseMax", entry.passPauseMax);
        put("clickSpread", entry.clickSpread);
        if (entry.schedule.kind != MacroSchedule::Kind::none)
            object["schedule"] = scheduleObject(entry.schedule);
        macros.append(object);
    }
    return QJsonDocument(QJsonObject{{"version", kVersion}, {"macros", macros}}).toJson(QJsonDocument::Indented);
}

} // namespace loopwren::libraryindex
