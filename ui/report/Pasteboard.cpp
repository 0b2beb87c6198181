#include "ui/report/Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace bw::report {

Pasteboard::Pasteboard()
    : Pasteboard([](const QString& text) { QGuiApplication::clipboard()->setText(text); },
                 [] { return QGuiApplication::clipboard()->text(); }) {}

Pasteboard::Pasteboard(Writer writer, Reader reader)
    : writer_(std::move(writer)), reader_(std::move(reader)) {}

bool Pasteboard::copy(const QString& text) const {
    writer_(text);
    return reader_() == text;
}

} // namespace bw::report
