#include "LedgerixLibrary.h"

#include "Guard.h"
#include "LedgerixErrors.h"

LedgerixLibrary::LedgerixLibrary(QObject *parent)
    : QObject(parent)
{
}

LedgerixLibrary::~LedgerixLibrary() = default;

void LedgerixLibrary::setLedgerixRaiseErrors(bool bRaise)
{
    passOn(QStringLiteral("LedgerixLibrary.RaiseKSErrors (Let)"), [&] { LedgerixErrors::SetRaiseErrors(bRaise); });
}
