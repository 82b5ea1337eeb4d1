#pragma once

#include <QObject>

/**
 * The library's global class: switches, and later the saving and restoring of
 * window positions.
 *
 *     LedgerixLibrary library;
 *     library.setLedgerixRaiseErrors(false); // silences library errors process-wide
 */
class LedgerixLibrary : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE explicit LedgerixLibrary(QObject *parent = nullptr);
    ~LedgerixLibrary() override;

    /// Write-only: turns the library's own errors on or off for the whole process.
    void setLedgerixRaiseErrors(bool bRaise);
};
