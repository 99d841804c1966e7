// The main-window pictures: each is a few strokes and fills on a square canvas of 48 units,
// scaled to the size asked.
#include "ui/app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tvx::ui {

namespace {

const QColor kInk(0x1f, 0x3a, 0x5f);
const QColor kAccent(0x2f, 0x6f, 0xbf);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kWarm(0xd9, 0x8c, 0x1f);

// A sheet of paper with text lines, the outline of every document picture.
void Sheet(QPainter& p, QRectF r) {
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(kPaper);
    p.drawRoundedRect(r, 2, 2);
    p.setPen(QPen(kInk.lighter(160), 2));
    for (qreal y = r.top() + 8; y < r.bottom() - 6; y += 6)
        p.drawLine(QPointF(r.left() + 5, y), QPointF(r.right() - 5, y));
}

// An arrow from `from` to `to` with its head at `to`.
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(QPen(colour, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * 7 + n * 6);
    p.drawLine(to, to - d * 7 - n * 6);
}

void Draw(QPainter& p, core::MainCommand command) {
    using C = core::MainCommand;
    switch (command) {
        case C::IncomingInvoices:
            Sheet(p, {16, 4, 28, 38});
            Arrow(p, {2, 30}, {22, 30}, kAccent);
            break;
        case C::OutgoingInvoices:
            Sheet(p, {4, 4, 28, 38});
            Arrow(p, {24, 30}, {45, 30}, kWarm);
            break;
        case C::ReceivedNotes:
            Sheet(p, {8, 6, 32, 38});
            p.setPen(QPen(kAccent, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({{14, 30}, {21, 37}, {36, 20}}));
            p.setPen(QPen(kInk, 2.5));
            p.setBrush(kInk);
            p.drawRoundedRect(QRectF(17, 2, 14, 7), 2, 2);
            break;
        case C::ProductCard: {
            p.setPen(QPen(kInk, 2.5));
            p.setBrush(kWarm.lighter(150));
            p.drawRect(QRectF(6, 18, 36, 26));
            p.drawPolygon(QPolygonF({{6, 18}, {14, 6}, {34, 6}, {42, 18}}));
            p.drawLine(QPointF(24, 18), QPointF(24, 30));
            break;
        }
        case C::PreOrders: {
            p.setPen(QPen(kInk, 2.5));
            p.setBrush(kAccent.lighter(160));
            QPainterPath car;
            car.moveTo(4, 34);
            car.lineTo(4, 24);
            car.lineTo(12, 22);
            car.lineTo(18, 12);
            car.lineTo(32, 12);
            car.lineTo(38, 22);
            car.lineTo(44, 24);
            car.lineTo(44, 34);
            car.closeSubpath();
            p.drawPath(car);
            p.setBrush(kInk);
            p.drawEllipse(QPointF(13, 35), 5, 5);
            p.drawEllipse(QPointF(35, 35), 5, 5);
            break;
        }
        case C::CashBook:
            p.setPen(QPen(kInk, 2.5));
            p.setBrush(kWarm.lighter(140));
            for (int i = 0; i < 4; ++i) p.drawEllipse(QRectF(8, 30 - i * 7, 32, 12));
            p.setPen(QPen(kInk, 2.5));
            p.drawText(QRectF(8, 9, 32, 12), Qt::AlignCenter, QStringLiteral("LEI"));
            break;
        case C::Reports:
            p.setPen(QPen(kInk, 2.5));
            p.drawLine(QPointF(6, 42), QPointF(44, 42));
            p.drawLine(QPointF(6, 42), QPointF(6, 4));
            p.setBrush(kAccent);
            p.drawRect(QRectF(11, 26, 8, 16));
            p.setBrush(kWarm);
            p.drawRect(QRectF(22, 14, 8, 28));
            p.setBrush(kAccent.lighter(140));
            p.drawRect(QRectF(33, 20, 8, 22));
            break;
        case C::Administration: {
            p.setPen(QPen(kInk, 2.5));
            p.setBrush(kAccent.lighter(150));
            QPainterPath gear;
            for (int i = 0; i < 8; ++i) {
                QTransform t;
                t.translate(24, 24);
                t.rotate(i * 45);
                gear.addPolygon(t.map(QPolygonF({{-4, -20}, {4, -20}, {5, -14}, {-5, -14}})));
            }
            gear.addEllipse(QPointF(24, 24), 14, 14);
            p.drawPath(gear.simplified());
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(24, 24), 5, 5);
            break;
        }
        case C::Backup:
            p.setPen(QPen(kInk, 2.5));
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(6, 6, 36, 36), 3, 3);
            p.setBrush(kPaper);
            p.drawRect(QRectF(13, 6, 22, 13));
            p.setBrush(kInk);
            p.drawRect(QRectF(27, 9, 5, 7));
            p.setBrush(kPaper);
            p.drawRect(QRectF(12, 26, 24, 16));
            break;
        case C::LogOut:
            p.setPen(QPen(kInk, 2.5));
            p.setBrush(kWarm.lighter(160));
            p.drawRect(QRectF(6, 4, 22, 40));
            p.setBrush(kInk);
            p.drawEllipse(QPointF(23, 25), 2, 2);
            Arrow(p, {24, 14}, {45, 14}, kAccent);
            break;
    }
}

}  // namespace

QIcon MainButtonIcon(core::MainCommand command, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 48.0, size / 48.0);
    Draw(painter, command);
    painter.end();
    return QIcon(pixmap);
}

}  // namespace tvx::ui
