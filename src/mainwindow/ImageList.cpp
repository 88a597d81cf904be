#include "mainwindow/ImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

constexpr int kSize = 16;

QIcon Draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p);
    }
    return QIcon(pixmap);
}

void Cross(QPainter& p, const QColor& color, qreal inset, qreal width) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(inset, inset), QPointF(kSize - inset, kSize - inset));
    p.drawLine(QPointF(kSize - inset, inset), QPointF(inset, kSize - inset));
}

void Ring(QPainter& p, const QColor& color) {
    p.setPen(QPen(color, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, kSize - 2, kSize - 2));
}

void Question(QPainter& p, const QColor& color, int pixelSize) {
    QFont font;
    font.setBold(true);
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("?"));
}

}  // namespace

ImageList MakeIncludeFilesImages() {
    const QColor green(0, 140, 0), red(200, 0, 0), blue(0, 70, 180);
    ImageList list;
    list.Add(QStringLiteral("Check"), Draw([&](QPainter& p) {
                 p.setPen(QPen(green, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                 QPainterPath tick;
                 tick.moveTo(3, 8.5);
                 tick.lineTo(6.5, 12);
                 tick.lineTo(13, 4);
                 p.drawPath(tick);
             }));
    list.Add(QStringLiteral("X"), Draw([&](QPainter& p) { Cross(p, red, 3.5, 2.5); }));
    list.Add(QStringLiteral("CircleX"), Draw([&](QPainter& p) {
                 Ring(p, red);
                 Cross(p, red, 5, 2);
             }));
    list.Add(QStringLiteral("QuestMark"), Draw([&](QPainter& p) { Question(p, blue, 15); }));
    list.Add(QStringLiteral("CircleQ"), Draw([&](QPainter& p) {
                 Ring(p, blue);
                 Question(p, blue, 11);
             }));
    list.Add(QStringLiteral("Folder"), Draw([](QPainter& p) {
                 const QColor edge(150, 110, 20), fill(240, 200, 80);
                 p.setPen(QPen(edge, 1));
                 p.setBrush(fill.darker(110));
                 p.drawRect(QRectF(1.5, 3.5, 6, 3));  // the tab
                 p.setBrush(fill);
                 p.drawRect(QRectF(1.5, 5.5, 13, 8.5));
             }));
    return list;
}
