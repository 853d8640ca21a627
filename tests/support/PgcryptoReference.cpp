#include "PgcryptoReference.h"

namespace {

QString quotedName(const QString &szName)
{
    return QLatin1Char('"') + QString(szName).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// pgcrypto's raw decryption of the base64 part, first block included.
QString rawDecryptExpression(const QString &szStored, const QString &szKey)
{
    return QStringLiteral("decrypt(decode(substr(%1, 7), 'base64'), digest(%2, 'sha256'), 'aes-cbc/pad:pkcs')")
        .arg(szStored, szKey);
}

} // namespace

QString
PgcryptoReference::encryptExpression(const QString &szValue, const QString &szKey, const QString &szNonce, int nColumn)
{
    // encode() breaks base64 lines every 76 characters; the stored form has
    // none.
    return QStringLiteral("CASE WHEN %1 IS NULL OR starts_with(%1, '$kiv1$') THEN %1 "
                          "ELSE '$kiv1$' || replace(encode(encrypt(%3 || decode('%4', 'hex') || convert_to(%1, "
                          "'UTF8'), digest(%2, 'sha256'), 'aes-cbc/pad:pkcs'), 'base64'), E'\\n', '') END")
        .arg(szValue, szKey, szNonce)
        .arg(nColumn, 2, 16, QLatin1Char('0'));
}

QString PgcryptoReference::decryptExpression(const QString &szStored, const QString &szKey)
{
    return QStringLiteral("convert_from(substring(%1 FROM 17), 'UTF8')").arg(rawDecryptExpression(szStored, szKey));
}

QString PgcryptoReference::firstBlockExpression(const QString &szStored, const QString &szKey)
{
    return QStringLiteral("substring(%1 FROM 1 FOR 16)").arg(rawDecryptExpression(szStored, szKey));
}

QString PgcryptoReference::encryptAllRowsSql(const QStringList &lstColumns)
{
    // A multi-column sub-select per row: its nonce is drawn once per row and
    // serves all the columns of that row.
    QStringList lstNames;
    QStringList lstParts;
    for (int i = 0; i < lstColumns.size(); ++i) {
        lstNames << quotedName(lstColumns.at(i));
        lstParts << encryptExpression(
            QStringLiteral("p.") + quotedName(lstColumns.at(i)), QStringLiteral("v.k"), QStringLiteral("v.n"), i);
    }
    return QStringLiteral("UPDATE \"PERSONALDATA\" AS p SET (%1) = (SELECT %2 FROM (SELECT kv.k, gen_random_bytes(15) "
                          "AS n) AS v) FROM (SELECT ?::text AS k) AS kv")
        .arg(lstNames.join(", "), lstParts.join(", "));
}

QString PgcryptoReference::literal(const QString &szText)
{
    if (szText.isNull())
        return QStringLiteral("NULL");
    return QLatin1Char('\'') + QString(szText).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}
