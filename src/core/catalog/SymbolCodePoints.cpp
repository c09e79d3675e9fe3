#include "SymbolCodePoints.h"

#include <QHash>

namespace {

// Symbol name -> code point in the Material Icons font.
const QHash<QString, char16_t> &table()
{
    static const QHash<QString, char16_t> map = {
        // Names the launcher's own views use.
        {QStringLiteral("house"), 0xe88a},                     // home
        {QStringLiteral("square.grid.2x2"), 0xe9b0},           // grid_view
        {QStringLiteral("star"), 0xe83a},                      // star_border
        {QStringLiteral("star.fill"), 0xe838},                 // star
        {QStringLiteral("arrow.down.circle"), 0xf181},         // arrow_circle_down
        {QStringLiteral("gearshape"), 0xe8b8},                 // settings
        {QStringLiteral("clock"), 0xe8b5},                     // schedule
        {QStringLiteral("tray"), 0xe156},                      // inbox
        {QStringLiteral("sparkles"), 0xe65f},                  // auto_awesome
        {QStringLiteral("checkmark.circle"), 0xe92d},          // check_circle_outline
        {QStringLiteral("checkmark.circle.fill"), 0xe86c},     // check_circle
        {QStringLiteral("checkmark.seal"), 0xef76},            // verified
        {QStringLiteral("checkmark"), 0xe5ca},                 // check
        {QStringLiteral("arrow.clockwise"), 0xe5d5},           // refresh
        {QStringLiteral("play"), 0xe037},                      // play_arrow
        {QStringLiteral("pause.circle"), 0xe036},              // pause_circle_outline
        {QStringLiteral("arrow.triangle.2.circlepath"), 0xe627},  // sync
        {QStringLiteral("lock.shield"), 0xe32a},               // security
        {QStringLiteral("magnifyingglass"), 0xe8b6},           // search
        {QStringLiteral("chevron.right"), 0xe5cc},
        {QStringLiteral("chevron.left"), 0xe5cb},
        {QStringLiteral("command"), 0xeae7},                   // keyboard_command_key
        {QStringLiteral("bubble.left.and.bubble.right"), 0xe0bf},  // forum
        {QStringLiteral("arrow.right"), 0xe5c8},               // arrow_forward
        {QStringLiteral("arrow.up.right"), 0xe89e},            // open_in_new
        {QStringLiteral("paperplane"), 0xe163},                // send
        {QStringLiteral("hourglass"), 0xe88b},                 // hourglass_empty
        {QStringLiteral("exclamationmark.triangle"), 0xe002},  // warning
        {QStringLiteral("cpu"), 0xe322},                       // memory
        {QStringLiteral("bug"), 0xe868},                       // bug_report
        {QStringLiteral("lightbulb"), 0xe0f0},
        {QStringLiteral("xmark"), 0xe5cd},                     // close
        {QStringLiteral("xmark.circle.fill"), 0xe5c9},         // cancel
        {QStringLiteral("globe"), 0xe894},                     // language
        {QStringLiteral("keyboard"), 0xe312},
        {QStringLiteral("power"), 0xe8ac},                     // power_settings_new
        {QStringLiteral("menubar.rectangle"), 0xe8ee},         // view_headline
        {QStringLiteral("shield"), 0xe9e0},
        {QStringLiteral("signature"), 0xe746},                 // draw
        {QStringLiteral("number"), 0xe9ef},                    // tag: "#", as large as its neighbours
        {QStringLiteral("info.circle"), 0xe88e},               // info
        {QStringLiteral("bell"), 0xe7f4},                      // notifications
        {QStringLiteral("megaphone"), 0xef49},                 // campaign
        {QStringLiteral("square.and.arrow.down"), 0xe2c4},     // file_download
        // Names apps commonly carry in the catalog.
        {QStringLiteral("app"), 0xe5c3},                       // apps
        {QStringLiteral("terminal"), 0xeb8e},
        {QStringLiteral("chevron.left.forwardslash.chevron.right"), 0xe86f},  // code
        {QStringLiteral("doc"), 0xe873},                       // description
        {QStringLiteral("doc.text"), 0xe873},
        {QStringLiteral("note.text"), 0xe745},                 // edit_note
        {QStringLiteral("square.and.pencil"), 0xe745},
        {QStringLiteral("pencil"), 0xe3c9},                    // edit
        {QStringLiteral("folder"), 0xe2c7},
        {QStringLiteral("photo"), 0xe410},
        {QStringLiteral("camera"), 0xe3b0},                    // camera_alt
        {QStringLiteral("music.note"), 0xe405},
        {QStringLiteral("paintpalette"), 0xe40a},              // palette
        {QStringLiteral("paintbrush"), 0xe3ae},                // brush
        {QStringLiteral("bolt"), 0xea0b},
        {QStringLiteral("timer"), 0xe425},
        {QStringLiteral("cloud"), 0xe2bd},
        {QStringLiteral("calendar"), 0xe935},                  // calendar_today
        {QStringLiteral("envelope"), 0xe158},                  // mail
        {QStringLiteral("message"), 0xe0ca},                   // chat_bubble
        {QStringLiteral("bubble.left"), 0xe0ca},
        {QStringLiteral("gauge"), 0xe9e4},                     // speed
        {QStringLiteral("speedometer"), 0xe9e4},
        {QStringLiteral("slider.horizontal.3"), 0xe429},       // tune
        {QStringLiteral("text.cursor"), 0xe262},               // text_fields
        {QStringLiteral("list.bullet"), 0xe896},               // list
        {QStringLiteral("checklist"), 0xe6b1},
        {QStringLiteral("chart.bar"), 0xe26b},                 // bar_chart
        {QStringLiteral("person"), 0xe7fd},
        {QStringLiteral("heart"), 0xe87e},                     // favorite_border
        {QStringLiteral("leaf"), 0xea35},                      // eco
        {QStringLiteral("moon"), 0xe51c},                      // dark_mode
        {QStringLiteral("sun.max"), 0xe518},                   // light_mode
        {QStringLiteral("wand.and.stars"), 0xe65f},            // auto_awesome
        {QStringLiteral("scissors"), 0xe14e},                  // content_cut
        {QStringLiteral("clipboard"), 0xe14f},                 // content_paste
        {QStringLiteral("doc.on.clipboard"), 0xe14f},
        {QStringLiteral("link"), 0xe157},
        {QStringLiteral("network"), 0xe894},
        {QStringLiteral("wifi"), 0xe63e},
        {QStringLiteral("battery.100"), 0xe1a4},               // battery_full
        {QStringLiteral("display"), 0xe30c},                   // desktop_windows
        {QStringLiteral("macwindow"), 0xe30c},
        {QStringLiteral("rectangle.stack"), 0xe53b},           // layers
        {QStringLiteral("square.stack.3d.up"), 0xe53b},
        {QStringLiteral("hammer"), 0xe869},                    // build
        {QStringLiteral("wrench"), 0xe869},
        {QStringLiteral("wrench.and.screwdriver"), 0xe869},
        {QStringLiteral("eye"), 0xe8f4},                       // visibility
        {QStringLiteral("book"), 0xe865},
        {QStringLiteral("books.vertical"), 0xe02f},            // library_books
        {QStringLiteral("tag"), 0xe892},                       // label
        {QStringLiteral("flag"), 0xe153},
        {QStringLiteral("map"), 0xe55b},
        {QStringLiteral("location"), 0xe55f},                  // place
        {QStringLiteral("cart"), 0xe8cc},                      // shopping_cart
        {QStringLiteral("waveform"), 0xe1b8},                  // graphic_eq
        {QStringLiteral("mic"), 0xe029},                 
        {QStringLiteral("video"), 0xe04b},                     // videocam
        {QStringLiteral("film"), 0xe54d},                      // local_movies
        {QStringLiteral("gamecontroller"), 0xe338},            // videogame_asset
        {QStringLiteral("cube"), 0xe9fe},                // view_in_ar
        {QStringLiteral("circle.grid.cross"), 0xe1bd},         // widgets
        {QStringLiteral("square.grid.3x3"), 0xe3ec},           // grid_on
        {QStringLiteral("keyboard.badge.ellipsis"), 0xe312},
        {QStringLiteral("questionmark"), 0xeb8b},
    };
    return map;
}

}  // namespace

namespace SymbolCodePoints {

std::optional<char16_t> codePoint(const QString &symbolName)
{
    const auto it = table().constFind(symbolName);
    return it == table().constEnd() ? std::nullopt : std::optional<char16_t>(*it);
}

}  // namespace SymbolCodePoints
