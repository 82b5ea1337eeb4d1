#include "WidgetFont.h"

#include <cmath>

WidgetFont::WidgetFont(QWidget *widget, QObject *parent)
    : QObject(parent)
    , m_widget(widget)
{}

template<typename Change>
void WidgetFont::change(Change change)
{
    if (!m_widget)
        return;
    QFont font = m_widget->font();
    change(font);
    m_widget->setFont(font);
}

bool WidgetFont::Bold() const
{
    return m_widget && m_widget->font().bold();
}

void WidgetFont::setBold(bool on)
{
    change([on](QFont &font) { font.setBold(on); });
}

bool WidgetFont::Italic() const
{
    return m_widget && m_widget->font().italic();
}

void WidgetFont::setItalic(bool on)
{
    change([on](QFont &font) { font.setItalic(on); });
}

QString WidgetFont::Name() const
{
    return m_widget ? m_widget->font().family() : QString();
}

void WidgetFont::setName(const QString &name)
{
    change([&name](QFont &font) { font.setFamilies({name}); });
}

qint32 WidgetFont::Size() const
{
    if (!m_widget)
        return 0;
    const QFont font = m_widget->font();
    return font.pointSizeF() > 0 ? qint32(std::lround(font.pointSizeF())) : 0;
}

void WidgetFont::setSize(qint32 points)
{
    if (points > 0)
        change([points](QFont &font) { font.setPointSize(points); });
}

bool WidgetFont::Strikethrough() const
{
    return m_widget && m_widget->font().strikeOut();
}

void WidgetFont::setStrikethrough(bool on)
{
    change([on](QFont &font) { font.setStrikeOut(on); });
}

bool WidgetFont::Underline() const
{
    return m_widget && m_widget->font().underline();
}

void WidgetFont::setUnderline(bool on)
{
    change([on](QFont &font) { font.setUnderline(on); });
}
