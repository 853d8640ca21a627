#include "CnfStoreStatus.h"

#include <QSettings>
#include <QtDebug>

bool CnfStoreStatus::sync(QSettings &settings)
{
    settings.sync();
    switch (settings.status()) {
    case QSettings::NoError:
        return true;
    case QSettings::AccessError:
        qWarning().noquote() << QStringLiteral("Unable to write the settings store %1: access denied or file system "
                                               "error.")
                                    .arg(settings.fileName());
        return false;
    case QSettings::FormatError:
        qWarning().noquote() << QStringLiteral("Unable to write the settings store %1: the file is not in its format.")
                                    .arg(settings.fileName());
        return false;
    }
    return false;
}
