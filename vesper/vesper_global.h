#pragma once

#include <QtGlobal>

#if defined(VESPER_LIBRARY)
#define VESPER_EXPORT Q_DECL_EXPORT
#else
#define VESPER_EXPORT Q_DECL_IMPORT
#endif
