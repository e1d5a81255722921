#include <app/settingstable.h>

namespace Brellow {

namespace {

using namespace Qt::StringLiterals;
using Scope = SettingsTable::Scope;
using Type = SettingsTable::Type;

// In the order of the enum, so that entry() can index it.
constexpr std::array<SettingsTable::Entry, SettingsTable::Count> table{{
    {Setting::LoginUsername, "loginUsername"_L1, Scope::User, Type::String, "empty"_L1,
     "the user name of the last login, offered at the next"_L1},
    {Setting::MainWindowGeometry, "mainWindowGeometry"_L1, Scope::User, Type::ByteArray, "none"_L1,
     "the window's place and size at the last exit; without it, the default place"_L1},
    {Setting::Server, "server"_L1, Scope::Site, Type::Address, "built in"_L1,
     "the statistics server, after --server and $BRELLOW_SERVER"_L1},
    {Setting::LeanEngine, "leanEngine"_L1, Scope::Site, Type::Bool, "true"_L1,
     "the web engine's defaults for machines without a GPU; false keeps Qt's"_L1},
    {Setting::Resume, "resume"_L1, Scope::Site, Type::Minutes, "60"_L1,
     "how long a session the server ended is resumed; 0 turns it off"_L1},
    {Setting::Language, "language"_L1, Scope::Site, Type::LanguageTag, "the desktop's"_L1,
     "the language of the window and its boxes (de, pt_BR, ...); en for English"_L1},
    {Setting::Accessibility, "accessibility"_L1, Scope::Site, Type::Bool, "false"_L1,
     "true shows the page to screen readers always; otherwise only when the desktop's accessibility is on"_L1},
}};

constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (std::size_t(table[i].setting) != i)
            return false;
    }
    return true;
}
static_assert(inEnumOrder(), "the settings table must follow the order of enum Setting");

} // namespace

const std::array<SettingsTable::Entry, SettingsTable::Count> &SettingsTable::entries()
{
    return table;
}

const SettingsTable::Entry &SettingsTable::entry(Setting setting)
{
    return table[std::size_t(setting)];
}

QLatin1StringView SettingsTable::scopeName(Scope scope)
{
    switch (scope) {
    case Scope::User:
        return "user"_L1;
    case Scope::Site:
        return "site"_L1;
    }
    return {};
}

QLatin1StringView SettingsTable::typeName(Type type)
{
    switch (type) {
    case Type::String:
        return "string"_L1;
    case Type::ByteArray:
        return "bytes"_L1;
    case Type::Address:
        return "HOST[:PORT]"_L1;
    case Type::Bool:
        return "bool"_L1;
    case Type::Minutes:
        return "minutes"_L1;
    case Type::LanguageTag:
        return "language"_L1;
    }
    return {};
}

} // namespace Brellow
