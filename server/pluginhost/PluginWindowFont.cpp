#include "PluginWindowFont.h"

#include "Guard.h"
#include "LateBinding.h"

#include <QFont>

#include <cmath>

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PluginWindowFont") + QLatin1String(procedure);
}

} // namespace

PluginWindowFont::PluginWindowFont(QObject *parent)
    : QObject(parent)
{}

void PluginWindowFont::attach(QObject *control)
{
    m_control = control;
}

QFont PluginWindowFont::font() const
{
    return LateBinding::get(m_control.data(), "font").value<QFont>();
}

void PluginWindowFont::setFont(const QFont &font)
{
    LateBinding::set(m_control.data(), "font", font);
}

bool PluginWindowFont::Bold() const
{
    return passOn(label(".Bold (Get)"), [&] { return font().bold(); });
}

void PluginWindowFont::setBold(bool value)
{
    passOn(label(".Bold (Let)"), [&] {
        QFont f = font();
        f.setBold(value);
        setFont(f);
    });
}

bool PluginWindowFont::Italic() const
{
    return passOn(label(".Italic (Get)"), [&] { return font().italic(); });
}

void PluginWindowFont::setItalic(bool value)
{
    passOn(label(".Italic (Let)"), [&] {
        QFont f = font();
        f.setItalic(value);
        setFont(f);
    });
}

QString PluginWindowFont::Name() const
{
    return passOn(label(".Name (Get)"), [&] { return font().family(); });
}

void PluginWindowFont::setName(const QString &value)
{
    passOn(label(".Name (Let)"), [&] {
        QFont f = font();
        f.setFamily(value);
        setFont(f);
    });
}

qint32 PluginWindowFont::Size() const
{
    return passOn(label(".Size (Get)"), [&] { return qint32(std::lround(font().pointSizeF())); });
}

void PluginWindowFont::setSize(qint32 value)
{
    passOn(label(".Size (Let)"), [&] {
        QFont f = font();
        f.setPointSize(qMax(1, value));
        setFont(f);
    });
}

bool PluginWindowFont::Strikethrough() const
{
    return passOn(label(".Strikethrough (Get)"), [&] { return font().strikeOut(); });
}

void PluginWindowFont::setStrikethrough(bool value)
{
    passOn(label(".Strikethrough (Let)"), [&] {
        QFont f = font();
        f.setStrikeOut(value);
        setFont(f);
    });
}

bool PluginWindowFont::Underline() const
{
    return passOn(label(".Underline (Get)"), [&] { return font().underline(); });
}

void PluginWindowFont::setUnderline(bool value)
{
    passOn(label(".Underline (Let)"), [&] {
        QFont f = font();
        f.setUnderline(value);
        setFont(f);
    });
}
