#pragma once

#include <QLatin1StringView>

#include <array>
#include <cstddef>

namespace Brellow {

// Every key Brellow reads, in one place. The keys are written in agents' and
// sites' files, so they never change.
enum class Setting
{
    LoginUsername,
    MainWindowGeometry,
    Server,
    LeanEngine,
    Resume,
    Language,
    Accessibility
};

class SettingsTable
{
public:
    // The agent's own file, or the site's read-only system-wide file.
    enum class Scope
    {
        User,
        Site
    };

    enum class Type
    {
        String,
        ByteArray,
        Address,
        Bool,
        Minutes,
        LanguageTag
    };

    struct Entry
    {
        Setting setting;
        QLatin1StringView key;
        Scope scope;
        Type type;
        // What an absent key means, as the admin guide writes it.
        QLatin1StringView defaultText;
        QLatin1StringView description;
    };

    static constexpr std::size_t Count = 7;
    static const std::array<Entry, Count> &entries();
    static const Entry &entry(Setting setting);
    static QLatin1StringView key(Setting setting) { return entry(setting).key; }

    // The admin guide's words for a scope and a type.
    static QLatin1StringView scopeName(Scope scope);
    static QLatin1StringView typeName(Type type);
};

} // namespace Brellow
