#include "CnfDataBase.h"

#include "Vesper.h"

namespace {

QString credential(eCreType type)
{
    Vesper vesper;
    return vesper.getCredentials(type);
}

} // namespace

QString CnfDataBase::userName() const
{
    return credential(CreDbUser);
}

QString CnfDataBase::password() const
{
    return credential(CreDbPassword);
}

QString CnfDataBase::retryPassword() const
{
    return credential(CreDbPassword);
}
