#pragma once

#include <QGroupBox>

class QLabel;

/**
 * The product block that the properties dialog and the splash window share:
 * the logo, the company, the product name and a line about it, in a frame.
 * Positions are in twips, as the two windows lay out their controls.
 */
class ProductFrame : public QGroupBox
{
    Q_OBJECT

public:
    /// descriptionName: the object name of the line about the product
    /// (the two windows call it differently).
    ProductFrame(const QString &descriptionName, QWidget *parent = nullptr);

    /// The 100 x 100 pixel logo.
    static QPixmap logo();
};

/// Places a control at left, top with width and height, all in twips.
void placeInTwips(QWidget *control, int left, int top, int width, int height);
/// The Tahoma font of the two windows, at a size in points.
QFont tahoma(double points, bool bold = false);
