#pragma once

#include <QtGlobal>

/// Direction of KSStorageString::Find and KSStorageString::Replace.
enum SearchDirectionEnum : qint32 {
    ledgerix_SearchUp = 0,
    ledgerix_SearchDown = 1,
};

/// Which property of a bound object a storage string mirrors.
enum BindModeEnum : qint32 {
    ledgerix_BindModeNone = 0,
    ledgerix_BindModeTag = 1,
    ledgerix_BindModeDefaultProperty = 2,
    ledgerix_BindModeValue = 3,
    ledgerix_BindModeCaption = 4,
    ledgerix_BindModeText = 5,
};
