#pragma once

#include <QtCore/qglobal.h>

// HALVEXLIB_LIBRARY is defined while the library itself is built: the class
// interface is exported then and imported by every user of the library.
// On Linux both expand to default visibility, which the hidden-by-default
// build needs for the classes, their virtual tables and type information.
#if defined(HALVEXLIB_LIBRARY)
#define HALVEXLIB_EXPORT Q_DECL_EXPORT
#else
#define HALVEXLIB_EXPORT Q_DECL_IMPORT
#endif
