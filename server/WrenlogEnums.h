#pragma once

#include <QtGlobal>

/**
 * The enumerations of the server's public type library. Plug-ins and clients
 * pass these as plain 32-bit numbers, so the values never change.
 */

/// The four named styles of a printed piece; any other negative code prints black.
enum DetailTypeEnum : qint32 {
    wlogTitle = -1,
    wlogNormal = -2,
    wlogNote = -3,
    wlogFail = -4,
};

enum RTBFileTypeEnum : qint32 {
    wlog_RTF = 0,
    wlog_Text = 1,
};

enum RTBScrollBarsEnum : qint32 {
    wlog_None = 0,
    wlog_Horizontal = 1,
    wlog_Vertical = 2,
    wlog_Both = 3,
};

enum RTBSelAllignmentEnum : qint32 {
    wlog_Left = 0,
    wlog_Right = 1,
    wlog_Centre = 2,
};
