#include "ui/design/Symbols.h"

#include "ui/design/BundledFonts.h"
#include "ui/design/Leading.h"

#include <QPainter>
#include <array>

namespace bw::design {

namespace {

struct SymbolGlyph {
    QStringView name;
    char32_t codePoint;
};

// Symbol names of the screens, each with the Material Icons glyph that stands for it.
constexpr std::array symbolGlyphs{
    SymbolGlyph{u"airplane.departure", 0xE905},          // flight_takeoff
    SymbolGlyph{u"app.fill", 0xE5C3},                    // apps
    SymbolGlyph{u"appletv", 0xE333},                     // tv
    SymbolGlyph{u"applewatch", 0xE334},                  // watch
    SymbolGlyph{u"archivebox", 0xE149},                  // archive
    SymbolGlyph{u"arrow.clockwise", 0xE5D5},             // refresh
    SymbolGlyph{u"arrow.down.circle", 0xF181},           // arrow_circle_down
    SymbolGlyph{u"arrow.down.circle.fill", 0xF000},      // download_for_offline
    SymbolGlyph{u"arrow.triangle.2.circlepath", 0xE627}, // sync
    SymbolGlyph{u"arrow.up.right", 0xF1E1},              // north_east
    SymbolGlyph{u"book.pages", 0xEA19},                  // menu_book
    SymbolGlyph{u"checkmark", 0xE5CA},                   // check
    SymbolGlyph{u"checkmark.circle.fill", 0xE86C},       // check_circle
    SymbolGlyph{u"checkmark.seal", 0xEF76},              // verified
    SymbolGlyph{u"checkmark.shield", 0xE8E8},            // verified_user
    SymbolGlyph{u"chevron.down", 0xE5CF},                // expand_more
    SymbolGlyph{u"chevron.left", 0xE5CB},                // chevron_left
    SymbolGlyph{u"chevron.right", 0xE5CC},               // chevron_right
    SymbolGlyph{u"clock", 0xE8B5},                       // schedule
    SymbolGlyph{u"cpu", 0xE322},                         // memory
    SymbolGlyph{u"creditcard", 0xE870},                  // credit_card
    SymbolGlyph{u"doc.on.doc", 0xE14D},                  // content_copy
    SymbolGlyph{u"doc.text", 0xE873},                    // description
    SymbolGlyph{u"doc.text.magnifyingglass", 0xE880},    // find_in_page
    SymbolGlyph{u"ellipsis", 0xE5D3},                    // more_horiz
    SymbolGlyph{u"exclamationmark", 0xE645},             // priority_high
    SymbolGlyph{u"exclamationmark.circle.fill", 0xE000}, // error
    SymbolGlyph{u"externaldrive", 0xE1DB},               // storage
    SymbolGlyph{u"eye", 0xE8F4},                         // visibility
    SymbolGlyph{u"folder", 0xE2C8},                      // folder_open
    SymbolGlyph{u"gearshape", 0xE8B8},                   // settings
    SymbolGlyph{u"hand.raised", 0xE764},                 // back_hand
    SymbolGlyph{u"hourglass", 0xE88B},                   // hourglass_empty
    SymbolGlyph{u"info.circle", 0xE88F},                 // info_outline
    SymbolGlyph{u"ipad", 0xE331},                        // tablet_mac
    SymbolGlyph{u"iphone", 0xE325},                      // phone_iphone
    SymbolGlyph{u"key", 0xE73C},                         // key
    SymbolGlyph{u"key.horizontal", 0xE0DA},              // vpn_key
    SymbolGlyph{u"laptopcomputer", 0xE31E},              // laptop
    SymbolGlyph{u"macbook", 0xE320},                     // laptop_mac
    SymbolGlyph{u"magnifyingglass", 0xE8B6},             // search
    SymbolGlyph{u"number", 0xE9EF},                      // tag
    SymbolGlyph{u"person.crop.circle", 0xE853},          // account_circle
    SymbolGlyph{u"photo.on.rectangle", 0xE413},          // photo_library
    SymbolGlyph{u"photo.on.rectangle.angled", 0xE3B6},   // collections
    SymbolGlyph{u"plus", 0xE145},                        // add
    SymbolGlyph{u"plus.circle.fill", 0xE147},            // add_circle
    SymbolGlyph{u"questionmark.circle", 0xE8FD},         // help_outline
    SymbolGlyph{u"rectangle.stack", 0xE53B},             // layers
    SymbolGlyph{u"shield.fill", 0xE9E0},                 // shield
    SymbolGlyph{u"shield.slash", 0xE9D4},                // remove_moderator
    SymbolGlyph{u"shippingbox", 0xE1A1},                 // inventory_2
    SymbolGlyph{u"shippingbox.fill", 0xE1A1},            // inventory_2
    SymbolGlyph{u"sidebar.left", 0xF114},                // view_sidebar
    SymbolGlyph{u"signature", 0xE746},                   // draw
    SymbolGlyph{u"square.and.arrow.up", 0xE6B8},         // ios_share
    SymbolGlyph{u"text.document", 0xEF42},               // article
    SymbolGlyph{u"trash", 0xE92E},                       // delete_outline
    SymbolGlyph{u"tray", 0xE156},                        // inbox
    SymbolGlyph{u"visionpro", 0xE9FE},                   // view_in_ar
    SymbolGlyph{u"xmark.circle.fill", 0xE5C9},           // cancel
};

// Material glyphs sit on a 24-unit grid with 2 units of margin; this makes their ink as tall as
// the text of the size the screens give a symbol.
constexpr qreal glyphBoxPerPoint = 1.2;

} // namespace

std::optional<char32_t> symbolCodePoint(QStringView name) {
    for (const SymbolGlyph& glyph : symbolGlyphs) {
        if (glyph.name == name) {
            return glyph.codePoint;
        }
    }
    return std::nullopt;
}

QSizeF symbolSize(qreal pointSize) {
    const qreal side = qRound(pointSize * glyphBoxPerPoint);
    return {side, side};
}

QSizeF symbolSize(TextStyle role) {
    return symbolSize(textStyleMetrics(role).pixelSize);
}

QFont symbolFont(qreal pointSize, QFont::Weight weight) {
    QFont font(symbolFamily());
    font.setPixelSize(qMax(1, qRound(pointSize * glyphBoxPerPoint)));
    font.setWeight(weight);
    return font;
}

void paintSymbol(QPainter& painter, const QRectF& rect, QStringView name, qreal pointSize,
                 QFont::Weight weight, const QColor& color) {
    const std::optional<char32_t> codePoint = symbolCodePoint(name);
    if (!codePoint) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(symbolFont(pointSize, weight));
    painter.setPen(color);
    design::drawText(painter, rect, Qt::AlignCenter, QString::fromUcs4(&*codePoint, 1));
    painter.restore();
}

void paintSymbol(QPainter& painter, const QRectF& rect, QStringView name, TextStyle role,
                 const QColor& color) {
    const TextMetrics metrics = textStyleMetrics(role);
    paintSymbol(painter, rect, name, metrics.pixelSize, metrics.weight, color);
}

} // namespace bw::design
