#pragma once

#include <QtGlobal>

/**
 * The fixed numbers by which a debug window tells its plug-in facade which
 * event to raise. Published: plug-in hosts of other builds rely on them.
 * Busy (3) and 22 are never sent by the window.
 */
namespace NotificationCode {

enum : qint32 {
    Ready = 0,
    DebugShow = 1,
    DebugPrint = 2,
    Busy = 3,
    OnTop = 4,
    Fold = 5,
    BeforeOpen = 6,
    AfterOpen = 7,
    BeforeSave = 8,
    AfterSave = 9,
    BeforeEraseAll = 10,
    AfterEraseAll = 11,
    KeyPress = 12,
    Activate = 13,
    DeActivate = 14,
    Resize = 15,
    PluginMenuClick = 16,
    BeforeQuit = 17,
    Move = 18,
    Translucency = 19,
    TopTextChange = 20,
    TopTextKeyPress = 21,
    TopTextLostFocus = 23,
    TopTextGotFocus = 24,
    LostFocus = 25,
    GotFocus = 26,
    Change = 27,
    Click = 28,
    DblClick = 29,
    MouseMove = 30,
    SelChange = 31,
};

} // namespace NotificationCode
