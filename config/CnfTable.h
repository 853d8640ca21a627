#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <type_traits>
#include <variant>
#include <vector>

// The stored keys of one configuration section, one row per key: its name
// below the section's group, the member of the section that holds its value,
// and the default taken when the key is missing. Loading, saving and setting
// the defaults walk the rows in their order, so that a key is written down
// once. A section builds its table in a static function of its own, where
// its private members can be named.
//
// Members are strings, booleans and 32-bit integers, signed or not. A value
// read is converted to the member's type as QVariant converts (what does not
// convert gives 0, false or an empty string), and a save writes the member as
// it is, so that an integer goes out as the same 32-bit type it came in as.
enum class CnfStorage
{
    LoadAndSave,
    // Read by a load, never written by a save (another program owns it).
    LoadOnly
};

template <typename Section> class CnfTable
{
public:
    class Row
    {
    public:
        // The default's type is the member's, so that a literal 0 or a text
        // is taken as the member's value, not as something else.
        template <typename T>
        Row(const char *pszKey,
            T Section::*pMember,
            const std::common_type_t<T> &defaultValue,
            CnfStorage storage = CnfStorage::LoadAndSave)
            : m_szKey(QString::fromLatin1(pszKey)), m_member(pMember), m_defaultValue(defaultValue), m_storage(storage)
        {
        }
        // A default that depends on the environment, worked out each time a
        // load finds the key missing or the defaults are set.
        Row(const char *pszKey,
            QString Section::*pMember,
            QString (*pfnDefault)(),
            CnfStorage storage = CnfStorage::LoadAndSave)
            : m_szKey(QString::fromLatin1(pszKey)), m_member(pMember), m_pfnDefault(pfnDefault), m_storage(storage)
        {
        }

    private:
        friend class CnfTable;

        QVariant defaultValue() const { return m_pfnDefault ? QVariant(m_pfnDefault()) : m_defaultValue; }

        QString m_szKey;
        std::variant<QString Section::*, bool Section::*, qint32 Section::*, quint32 Section::*> m_member;
        QVariant m_defaultValue;
        QString (*m_pfnDefault)() = nullptr;
        CnfStorage m_storage;
    };

    CnfTable(std::initializer_list<Row> rows) : m_rows(rows) {}

    void resetToDefaults(Section &section) const
    {
        for (const Row &row : m_rows)
            assign(section, row, row.defaultValue());
    }

    // Reads every key of the table; true, as the settings framework reports
    // no errors on reading.
    bool load(const QSettings &settings, Section &section) const
    {
        for (const Row &row : m_rows) {
            // A computed default is worked out only when it is used.
            const bool bMissing = row.m_pfnDefault && !settings.contains(row.m_szKey);
            assign(section, row, bMissing ? row.defaultValue() : settings.value(row.m_szKey, row.m_defaultValue));
        }
        return true;
    }

    // Writes every key that is not LoadOnly, changed or not; true, as a
    // failed write shows only when the settings are synced.
    bool save(QSettings &settings, const Section &section) const
    {
        for (const Row &row : m_rows) {
            if (row.m_storage == CnfStorage::LoadOnly)
                continue;
            std::visit([&](auto pMember) { settings.setValue(row.m_szKey, section.*pMember); }, row.m_member);
        }
        return true;
    }

private:
    static void convert(const QVariant &value, QString &szMember) { szMember = value.toString(); }
    static void convert(const QVariant &value, bool &bMember) { bMember = value.toBool(); }
    static void convert(const QVariant &value, qint32 &nMember) { nMember = value.toInt(); }
    static void convert(const QVariant &value, quint32 &nMember) { nMember = value.toUInt(); }

    static void assign(Section &section, const Row &row, const QVariant &value)
    {
        std::visit([&](auto pMember) { convert(value, section.*pMember); }, row.m_member);
    }

    std::vector<Row> m_rows;
};
