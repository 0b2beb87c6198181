#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace bw::bench {

// A phone-sized screen, 1320 × 2868, with a background gradient whose colours follow `seed`;
// each benchmark draws what it needs over it.
inline QImage gradientScreen(int seed) {
    QImage image(1320, 2868, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient background(0, 0, 0, image.height());
    background.setColorAt(0, QColor::fromHsv(seed * 40 % 360, 60, 250));
    background.setColorAt(1, QColor::fromHsv((seed * 40 + 90) % 360, 90, 200));
    painter.fillRect(image.rect(), background);
    return image;
}

} // namespace bw::bench
