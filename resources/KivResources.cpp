#include "KivResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares each list's registration function in the enclosing
// namespace, so it is used here, outside any namespace.
void initKivResources()
{
    Q_INIT_RESOURCE(kivimages);
    Q_INIT_RESOURCE(qdarkstyle);
}
