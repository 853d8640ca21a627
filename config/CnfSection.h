#pragma once

#include "CnfTable.h"

#include <QSettings>

// A configuration section whose stored keys are all in its table: load, save
// and resetToDefaults walk the table. A section with keys outside the table,
// or with a load of its own, declares its own load and save, which hide
// these.
//
// The keys themselves are declared once, in a list the section passes to
// KIV_CNF_KEYS, one row X(type, name, key, default[, storage]) per key:
//
//     X(bool, enabled, "group/enabled", false)
//     X(int, port, "group/port", 50000, CnfStorage::LoadOnly)
//
// Each row gives the value's type (QString, bool, int or quint32), the name
// of its getter, the stored key, the default (a value, or a function that
// works it out) and, optionally, its storage. KIV_CNF_KEYS(Section, LIST)
// makes of it, inside the class: a public getter name() for each row, the
// section's table, and a private member m_name for each row. What follows
// the macro in the class is private until an access specifier says
// otherwise.
template <typename Section> class CnfSection
{
public:
    virtual ~CnfSection() = default;

    bool load(QSettings &settings) { return Section::table().load(settings, self()); }
    bool save(QSettings &settings) const { return Section::table().save(settings, self()); }
    void resetToDefaults() { Section::table().resetToDefaults(self()); }

protected:
    // The members of the section do not exist yet while this runs: each
    // section's own constructor calls resetToDefaults() when it wants them.
    CnfSection() = default;

private:
    Section &self() { return static_cast<Section &>(*this); }
    const Section &self() const { return static_cast<const Section &>(*this); }
};

#define KIV_CNF_GETTER(type, name, ...)                                                                                \
    type name() const                                                                                                  \
    {                                                                                                                  \
        return m_##name;                                                                                               \
    }
#define KIV_CNF_ROW(type, name, key, ...) {key, &CnfKeysOwner::m_##name, __VA_ARGS__},
#define KIV_CNF_MEMBER(type, name, ...) type m_##name;

#define KIV_CNF_KEYS(Section, KEYS)                                                                                    \
public:                                                                                                                \
    KEYS(KIV_CNF_GETTER)                                                                                               \
                                                                                                                       \
private:                                                                                                               \
    friend class CnfSection<Section>;                                                                                  \
    using CnfKeysOwner = Section;                                                                                      \
    static const CnfTable<Section> &table()                                                                            \
    {                                                                                                                  \
        static const CnfTable<Section> s_table{KEYS(KIV_CNF_ROW)};                                                     \
        return s_table;                                                                                                \
    }                                                                                                                  \
    KEYS(KIV_CNF_MEMBER)
