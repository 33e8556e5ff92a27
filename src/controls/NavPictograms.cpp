#include "controls/NavPictograms.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <functional>

namespace controls {
namespace {

constexpr int side = 16;
using Drawing = std::function<void(QPainter&, const QColor&)>;

void triangle(QPainter& p, double x, bool right, const QColor& c) {
    QPolygonF shape;
    if (right)
        shape << QPointF(x, 3) << QPointF(x + 5, 8) << QPointF(x, 13);
    else
        shape << QPointF(x + 5, 3) << QPointF(x, 8) << QPointF(x + 5, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(shape);
}

void bar(QPainter& p, double x, const QColor& c) {
    p.fillRect(QRectF(x, 3, 2, 10), c);
}

void magnifier(QPainter& p, const QColor& c, double x, double y) {
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(x, y, 7, 7));
    p.setPen(QPen(c, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x + 6.5, y + 6.5), QPointF(x + 10, y + 10));
}

Drawing drawingFor(NavButtonStyle style) {
    switch (style) {
    case NavButtonStyle::First:
        return [](QPainter& p, const QColor& c) {
            bar(p, 4, c);
            triangle(p, 7, false, c);
        };
    case NavButtonStyle::PriorPage:
        return [](QPainter& p, const QColor& c) {
            triangle(p, 3, false, c);
            triangle(p, 8, false, c);
        };
    case NavButtonStyle::Prior:
        return [](QPainter& p, const QColor& c) { triangle(p, 5, false, c); };
    case NavButtonStyle::Next:
        return [](QPainter& p, const QColor& c) { triangle(p, 6, true, c); };
    case NavButtonStyle::NextPage:
        return [](QPainter& p, const QColor& c) {
            triangle(p, 3, true, c);
            triangle(p, 8, true, c);
        };
    case NavButtonStyle::Last:
        return [](QPainter& p, const QColor& c) {
            triangle(p, 4, true, c);
            bar(p, 10, c);
        };
    case NavButtonStyle::Insert:
        return [](QPainter& p, const QColor& c) {
            p.fillRect(QRectF(7, 3, 2, 10), c);
            p.fillRect(QRectF(3, 7, 10, 2), c);
        };
    case NavButtonStyle::Delete:
        return [](QPainter& p, const QColor& c) { p.fillRect(QRectF(3, 7, 10, 2), c); };
    case NavButtonStyle::Edit:
        return [](QPainter& p, const QColor& c) {
            // A pencil.
            p.setPen(QPen(c, 1.2));
            p.setBrush(Qt::NoBrush);
            QPolygonF pencil;
            pencil << QPointF(3, 13) << QPointF(4, 10) << QPointF(11, 3) << QPointF(13, 5)
                   << QPointF(6, 12);
            p.drawPolygon(pencil);
            p.drawLine(QPointF(4, 10), QPointF(6, 12));
        };
    case NavButtonStyle::Post:
        return [](QPainter& p, const QColor& c) {
            p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF() << QPointF(3, 8) << QPointF(6.5, 12) << QPointF(13, 4));
        };
    case NavButtonStyle::Cancel:
        return [](QPainter& p, const QColor& c) {
            p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
        };
    case NavButtonStyle::Refresh:
        return [](QPainter& p, const QColor& c) {
            p.setPen(QPen(c, 1.8));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
            triangle(p, 9, true, c);
        };
    case NavButtonStyle::SaveBookmark:
        return [](QPainter& p, const QColor& c) {
            QPolygonF flag;
            flag << QPointF(4, 2) << QPointF(12, 2) << QPointF(12, 14) << QPointF(8, 10)
                 << QPointF(4, 14);
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawPolygon(flag);
        };
    case NavButtonStyle::RestoreBookmark:
        return [](QPainter& p, const QColor& c) {
            QPolygonF flag;
            flag << QPointF(7, 2) << QPointF(13, 2) << QPointF(13, 14) << QPointF(10, 11)
                 << QPointF(7, 14);
            p.setPen(QPen(c, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(flag);
            triangle(p, 1, false, c);
        };
    case NavButtonStyle::FilterDialog:
        return [](QPainter& p, const QColor& c) {
            QPolygonF funnel;
            funnel << QPointF(2, 3) << QPointF(14, 3) << QPointF(9, 8) << QPointF(9, 14)
                   << QPointF(7, 12) << QPointF(7, 8);
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawPolygon(funnel);
        };
    case NavButtonStyle::RecordViewDialog:
        return [](QPainter& p, const QColor& c) {
            p.setPen(QPen(c, 1));
            p.setBrush(Qt::NoBrush);
            for (int y : {3, 7, 11}) {
                p.fillRect(QRectF(2, y, 4, 2), c);
                p.drawRect(QRectF(7.5, y - 0.5, 6, 3));
            }
        };
    case NavButtonStyle::LocateDialog:
        return [](QPainter& p, const QColor& c) { magnifier(p, c, 2, 2); };
    case NavButtonStyle::SearchDialog:
        return [](QPainter& p, const QColor& c) {
            p.fillRect(QRectF(1, 12, 6, 1.5), c);
            p.fillRect(QRectF(1, 9, 4, 1.5), c);
            magnifier(p, c, 5, 1);
        };
    }
    return [](QPainter&, const QColor&) {};
}

QPixmap paint(const Drawing& draw, const QColor& colour, const QColor& shadow = {}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (shadow.isValid()) {
        // The classic greyed form: a light copy one pixel down and right under a grey one.
        p.save();
        p.translate(1, 1);
        draw(p, shadow);
        p.restore();
    }
    draw(p, colour);
    return pixmap;
}

QIcon iconFor(const Drawing& draw, const QColor& colour) {
    QIcon icon;
    icon.addPixmap(paint(draw, colour), QIcon::Normal);
    icon.addPixmap(paint(draw, QColor(128, 128, 128), Qt::white), QIcon::Disabled);
    return icon;
}

} // namespace

QIcon navButtonIcon(NavButtonStyle style) {
    QColor colour(0, 0, 0);
    if (style == NavButtonStyle::Delete || style == NavButtonStyle::Cancel)
        colour = QColor(160, 0, 0);
    if (style == NavButtonStyle::Post) colour = QColor(0, 128, 0);
    return iconFor(drawingFor(style), colour);
}

QIcon indicatorIcon(IndicatorMark mark) {
    switch (mark) {
    case IndicatorMark::Current:
        return iconFor([](QPainter& p, const QColor& c) { triangle(p, 5, true, c); }, Qt::black);
    case IndicatorMark::Edit:
        return iconFor(
            [](QPainter& p, const QColor& c) {
                // An I-beam: the record is being typed into.
                p.fillRect(QRectF(7, 3, 2, 10), c);
                p.fillRect(QRectF(5, 3, 6, 1.5), c);
                p.fillRect(QRectF(5, 11.5, 6, 1.5), c);
            },
            Qt::black);
    case IndicatorMark::Insert:
        return iconFor(
            [](QPainter& p, const QColor& c) {
                p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(8, 3), QPointF(8, 13));
                p.drawLine(QPointF(3.5, 5.5), QPointF(12.5, 10.5));
                p.drawLine(QPointF(3.5, 10.5), QPointF(12.5, 5.5));
            },
            Qt::black);
    }
    return {};
}

} // namespace controls
