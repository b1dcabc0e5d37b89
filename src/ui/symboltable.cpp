#include "symboltable.h"

#include <QFontDatabase>
#include <QHash>

namespace loopwren {
namespace {

// Symbol name -> Material Icons code point (the glyph's ligature name in the comment).
const QHash<QString, char16_t>& glyphs()
{
    static const QHash<QString, char16_t> table = {
        {QStringLiteral("cursorarrow.click.2"), 0xe762},    // ads_click
        {QStringLiteral("clock.fill"), 0xefd6},             // access_time_filled
        {QStringLiteral("slider.horizontal.3"), 0xe429},    // tune
        {QStringLiteral("play.fill"), 0xe037},              // play_arrow
        {QStringLiteral("trash.fill"), 0xe872},             // delete
        {QStringLiteral("trash"), 0xe92e},                  // delete_outline
        {QStringLiteral("hourglass.badge.plus"), 0xea5d},   // more_time
        {QStringLiteral("square.and.arrow.down"), 0xf090},  // download
        {QStringLiteral("square.and.arrow.up"), 0xf09b},    // upload
        {QStringLiteral("hand.pointer.fill"), 0xe913},      // touch_app
        {QStringLiteral("hand.pointer"), 0xebb9},           // pan_tool_alt
        {QStringLiteral("location.fill"), 0xe569},          // near_me
        {QStringLiteral("keyboard.fill"), 0xe312},          // keyboard
        {QStringLiteral("keyboard"), 0xf028},               // keyboard_alt
        {QStringLiteral("arrow.up.and.down"), 0xea16},      // height
        {QStringLiteral("hourglass"), 0xe88b},              // hourglass_empty
        {QStringLiteral("waveform"), 0xe1b8},               // graphic_eq
        {QStringLiteral("video.badge.plus"), 0xe070},       // video_call
        {QStringLiteral("xmark.circle.fill"), 0xe5c9},      // cancel
        {QStringLiteral("plus.square.on.square"), 0xe02e},  // library_add
        {QStringLiteral("chevron.up"), 0xe5ce},             // expand_less
        {QStringLiteral("chevron.down"), 0xe5cf},           // expand_more
        {QStringLiteral("plus"), 0xe145},                   // add
        {QStringLiteral("minus"), 0xe15b},                  // remove
        {QStringLiteral("globe"), 0xe894},                  // language
        {QStringLiteral("paintpalette"), 0xe40a},           // palette
        {QStringLiteral("macwindow.badge.plus"), 0xe05c},   // add_to_queue
        {QStringLiteral("play.circle"), 0xe039},            // play_circle_outline
        {QStringLiteral("arrow.down.circle"), 0xf181},      // arrow_circle_down
        {QStringLiteral("arrow.down.circle.fill"), 0xf181}, // arrow_circle_down
        {QStringLiteral("arrow.counterclockwise"), 0xf053}, // restart_alt
        {QStringLiteral("arrow.clockwise"), 0xe5d5},        // refresh
        {QStringLiteral("checkmark"), 0xe5ca},              // check
        {QStringLiteral("books.vertical"), 0xe02f},         // library_books
        {QStringLiteral("calendar"), 0xe878},               // event
        {QStringLiteral("clock.arrow.circlepath"), 0xe889}, // history
        {QStringLiteral("pencil"), 0xe3c9},                 // edit
        {QStringLiteral("doc.on.doc"), 0xe14d},             // content_copy
        {QStringLiteral("folder"), 0xe2c8},                 // folder_open
        {QStringLiteral("magnifyingglass"), 0xe8b6},        // search
        {QStringLiteral("stop.fill"), 0xe047},              // stop
    };
    return table;
}

} // namespace

QString SymbolTable::glyphFor(const QString& name)
{
    const auto it = glyphs().constFind(name);
    return it == glyphs().constEnd() ? QString() : QString(QChar(*it));
}

QString SymbolTable::fontFamily()
{
    static const QString family = [] {
        const int id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/loopwren/fonts/MaterialIcons-Regular.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Material Icons") : families.first();
    }();
    return family;
}

} // namespace loopwren
