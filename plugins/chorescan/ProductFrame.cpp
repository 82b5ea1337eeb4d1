#include "ProductFrame.h"

#include "Twips.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

void placeInTwips(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width),
                         Twips::toPixelsY(height));
}

QFont tahoma(double points, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

ProductFrame::ProductFrame(const QString &descriptionName, QWidget *parent)
    : QGroupBox(parent)
{
    setObjectName(QStringLiteral("Frame1"));
    setFont(tahoma(8.25));

    const auto addLabel = [this](const QString &name, const QString &text, const QFont &font) {
        auto *label = new QLabel(text, this);
        label->setObjectName(name);
        label->setFont(font);
        return label;
    };
    placeInTwips(
        addLabel(QStringLiteral("lblCompanyProduct"), QStringLiteral("Kestrane Software"), tahoma(11.25, true)), 720,
        360, 2160, 270);
    placeInTwips(addLabel(QStringLiteral("lblProductName"), QStringLiteral("Chorescan"), tahoma(15.75, true)), 1080,
                 600, 1980, 375);
    placeInTwips(addLabel(descriptionName, QStringLiteral("A quick plugin to find To Do's"), tahoma(8.25)), 1200, 960,
                 2175, 255);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("imgLogo"));
    image->setPixmap(logo());
    image->setScaledContents(true);
    placeInTwips(image, 120, 240, 1215, 1185);
}

QPixmap ProductFrame::logo()
{
    // Drawn rather than shipped: a note pad with three ticked lines.
    QPixmap pixmap(100, 100);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 96, 0), 3));
    painter.setBrush(QColor(192, 255, 192));
    painter.drawRoundedRect(QRectF(14, 8, 72, 86), 8, 8);
    for (int row = 0; row < 3; ++row) {
        const qreal y = 32 + row * 22;
        QPainterPath tick;
        tick.moveTo(24, y);
        tick.lineTo(30, y + 6);
        tick.lineTo(40, y - 6);
        painter.setPen(QPen(QColor(0, 128, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
        painter.setPen(QPen(QColor(64, 64, 64), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(48, y), QPointF(76, y));
    }
    return pixmap;
}
