#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>

/**
 * A font of one of the debug window's controls, as a plug-in sees it.
 *
 * The wrapper holds the control, not a copy of its font: every read and write
 * goes to the control's live font at once, so two wrappers of the same control
 * change the same font. A wrapper without a control (made by a plug-in itself,
 * or whose control has gone) fails with run-time error 91.
 */
class PluginWindowFont : public QObject
{
    Q_OBJECT

public:
    explicit PluginWindowFont(QObject *parent = nullptr);

    bool Bold() const;
    void setBold(bool value);
    bool Italic() const;
    void setItalic(bool value);
    QString Name() const;
    void setName(const QString &value);
    /// Whole points.
    qint32 Size() const;
    void setSize(qint32 value);
    bool Strikethrough() const;
    void setStrikethrough(bool value);
    bool Underline() const;
    void setUnderline(bool value);

    /// Host side: the control whose "font" property this wrapper stands for.
    void attach(QObject *control);

private:
    QFont font() const;
    void setFont(const QFont &font);

    QPointer<QObject> m_control;
};
