#include "ui/design/DesktopSettings.h"

// GLib before any Qt header: Qt's `signals` keyword would clash with GLib's field names.
#include <gio/gio.h>

namespace bw::design {

namespace {

struct Watch {
    std::function<void(bool, bool)> onChange;
    GSettings* interface = nullptr;     // org.gnome.desktop.interface
    GSettings* accessibility = nullptr; // org.gnome.desktop.a11y.interface
};

// GSettings aborts on a schema or key it does not know, so both are looked up first.
GSettings* settingsWithKey(const char* schemaId, const char* key) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) {
        return nullptr;
    }
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema) {
        return nullptr;
    }
    const bool hasKey = g_settings_schema_has_key(schema, key);
    g_settings_schema_unref(schema);
    return hasKey ? g_settings_new(schemaId) : nullptr;
}

void report(Watch& watch) {
    const bool animations =
        !watch.interface || g_settings_get_boolean(watch.interface, "enable-animations");
    // The desktop has no transparency switch of its own; high contrast asks for solid surfaces.
    const bool highContrast =
        watch.accessibility && g_settings_get_boolean(watch.accessibility, "high-contrast");
    watch.onChange(!animations, highContrast);
}

void changed(GSettings*, gchar*, gpointer data) {
    report(*static_cast<Watch*>(data));
}

} // namespace

void watchDesktopSettings(std::function<void(bool, bool)> onChange) {
    static Watch watch;
    watch.onChange = std::move(onChange);
    if (!watch.interface && !watch.accessibility) {
        watch.interface = settingsWithKey("org.gnome.desktop.interface", "enable-animations");
        watch.accessibility = settingsWithKey("org.gnome.desktop.a11y.interface", "high-contrast");
        for (GSettings* settings : {watch.interface, watch.accessibility}) {
            if (settings) {
                g_signal_connect(settings, "changed", G_CALLBACK(changed), &watch);
            }
        }
    }
    report(watch);
}

} // namespace bw::design
