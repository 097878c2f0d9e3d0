#pragma once
#include <QString>

// Numeric locale identifiers (LCIDs), the language gate's and the settings' unit.
inline constexpr quint32 LcidRussian = 0x0419;
inline constexpr quint32 LcidEnglishUS = 0x0409;
// The identifier of a locale that has none of its own.
inline constexpr quint32 LcidCustomUnspecified = 0x1000;

// The identifier of a POSIX or BCP 47 locale name ("ru_RU.UTF-8", "en-GB",
// "de"). A known language with an unknown country gets that language's
// default identifier; an unknown language gets LcidCustomUnspecified; the
// plain "C"/"POSIX" locale (and an empty name) counts as US English.
quint32 LcidFromLocaleName(const QString& name);

// The locale the process's messages are in: LC_ALL, else LC_MESSAGES, else
// LANG (the first that is set and not empty), else Qt's system locale.
QString SystemLocaleName();

// The identifier of the locale the process runs under (SystemLocaleName()).
quint32 GetSystemDefaultLCID();
