#pragma once

#include <QtGlobal>

// Key of the light cipher for encrypted log files. Every writer and reader of
// encrypted log files (the program, the credentials-store library and the log
// reader) uses this one value: changing it makes older files unreadable.
constexpr quint64 kLogCipherKey = Q_UINT64_C(0x4B1C93E57A20D68F);
