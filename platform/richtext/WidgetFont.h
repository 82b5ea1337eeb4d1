#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

/**
 * A live handle on a widget's font: reading gives the widget's font as it is
 * now, writing changes it at once. Wrappers that hand a control's font to
 * plug-ins hold one of these; several handles on one widget see each other's
 * changes.
 *
 *     view->Font()->setBold(true);   // the whole view turns bold
 *
 * Once the widget is gone every member does nothing and reads as empty.
 */
class WidgetFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Bold READ Bold WRITE setBold)
    Q_PROPERTY(bool Italic READ Italic WRITE setItalic)
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(qint32 Size READ Size WRITE setSize)
    Q_PROPERTY(bool Strikethrough READ Strikethrough WRITE setStrikethrough)
    Q_PROPERTY(bool Underline READ Underline WRITE setUnderline)

public:
    explicit WidgetFont(QWidget *widget, QObject *parent = nullptr);

    QWidget *widget() const { return m_widget; }

    bool Bold() const;
    void setBold(bool on);
    bool Italic() const;
    void setItalic(bool on);
    QString Name() const;
    void setName(const QString &name);
    /// Whole points.
    qint32 Size() const;
    void setSize(qint32 points);
    bool Strikethrough() const;
    void setStrikethrough(bool on);
    bool Underline() const;
    void setUnderline(bool on);

private:
    template<typename Change>
    void change(Change change);

    QPointer<QWidget> m_widget;
};
