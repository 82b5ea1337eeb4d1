#pragma once

#include "GlobalLibrary.h"

#include <QDBusContext>

/// The GlobalLibrary exported at /GlobalLibrary: the same functions, with the
/// bus context its adaptor answers through.
class BusGlobalLibrary : public GlobalLibrary, public QDBusContext
{
    Q_OBJECT
public:
    using GlobalLibrary::GlobalLibrary;
};
