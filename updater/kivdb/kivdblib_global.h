#pragma once

#include <QtGlobal>

#if defined(KIVDBLIB_LIBRARY)
#define KIVDBLIB_EXPORT Q_DECL_EXPORT
#else
#define KIVDBLIB_EXPORT Q_DECL_IMPORT
#endif
