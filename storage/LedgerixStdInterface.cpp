#include "LedgerixStdInterface.h"

#include "Guard.h"
#include "LedgerixVersion.h"

LedgerixStdInterface::LedgerixStdInterface(QObject *parent)
    : QObject(parent)
{}

LedgerixStdInterface::~LedgerixStdInterface() = default;

QString LedgerixStdInterface::versionText()
{
    return QStringLiteral("2.0");
}

void LedgerixStdInterface::setPath(const QString &sPath)
{
    interfaceSetPath(sPath);
}

QString LedgerixStdInterface::Path() const
{
    return interfacePath();
}

void LedgerixStdInterface::setSection(const QString &sSection)
{
    interfaceSetSection(sSection);
}

QString LedgerixStdInterface::Section() const
{
    return interfaceSection();
}

bool LedgerixStdInterface::SetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter)
{
    return interfaceSetValue(sFieldName, vValue, sDelimiter);
}

QVariant LedgerixStdInterface::GetValue(const QString &sFieldName, const QString &sDelimiter)
{
    return interfaceGetValue(sFieldName, sDelimiter);
}

QVariant LedgerixStdInterface::Version(bool bShow)
{
    return interfaceVersion(bShow);
}

void LedgerixStdInterface::interfaceSetPath(const QString &) {}

QString LedgerixStdInterface::interfacePath() const
{
    return {};
}

void LedgerixStdInterface::interfaceSetSection(const QString &) {}

QString LedgerixStdInterface::interfaceSection() const
{
    return {};
}

bool LedgerixStdInterface::interfaceSetValue(const QString &, const QVariant &, const QString &)
{
    return false;
}

QVariant LedgerixStdInterface::interfaceGetValue(const QString &, const QString &)
{
    return {};
}

QVariant LedgerixStdInterface::interfaceVersion(bool bShow)
{
    return passOn(QStringLiteral("LedgerixStdInterface.Version (Get)"),
                  [&] { return QVariant(LedgerixVersion::report(this, bShow)); });
}
