// The names under which libklp_lib_usb.so exports its eighteen functions.
//
// The program binds the functions by their decorated names ("@OPENKLP$QP8TINITKLP" ...). ELF
// linkers read an '@' inside a symbol name as the start of a symbol version, so no Linux linker
// can put these names into the dynamic symbol table. The library therefore exports the plain
// names on the right, and the program's binder looks every decorated name up here first.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace klp {

struct ExportName {
    int ordinal;
    std::string_view decorated;   // the name the program binds
    std::string_view linux_name;  // the symbol in libklp_lib_usb.so
};

inline constexpr std::array<ExportName, 18> kExportNames{{
    {1, "@OPENKLP$QP8TINITKLP", "OPENKLP"},
    {2, "@CLOSEKLP$QV", "CLOSEKLP"},
    {3, "@RESETKLP$QV", "RESETKLP"},
    {4, "@READYKLP$QV", "READYKLP"},
    {5, "@STOPPEDKLP$QV", "STOPPEDKLP"},
    {6, "@GETNODESTATEKLP$QV", "GETNODESTATEKLP"},
    {7, "@GETNODEIDKLP$QV", "GETNODEIDKLP"},
    {8, "@SETKLPTIMEOUT$QUL", "SETKLPTIMEOUT"},
    {9, "@READKLP$QP10TSDORECORD", "READKLP"},
    {10, "@WRITEKLP$QP10TSDORECORD", "WRITEKLP"},
    {11, "@WRITECAN$QP10TCANRECORD", "WRITECAN"},
    {12, "@WRITECANRTR$QP10TCANRECORD", "WRITECANRTR"},
    {13, "@COMMPROGKLP$QUS", "COMMPROGKLP"},
    {14, "@GETFAULTKLP$QI", "GETFAULTKLP"},
    {15, "@GETSYSTEMSTATE$QV", "GETSYSTEMSTATE"},
    {16, "@CHECKSYSTEMPOWERDOWNREQUEST$QV", "CHECKSYSTEMPOWERDOWNREQUEST"},
    {17, "@CHECKSDO5CHANNELCONFLICT$QV", "CHECKSDO5CHANNELCONFLICT"},
    {18, "@SETTRACEFLAGS$QI", "SETTRACEFLAGS"},
}};

// The ordinals number the table in order: a name left out or put twice shows here.
static_assert([] {
    for (std::size_t i = 0; i < kExportNames.size(); ++i) {
        if (kExportNames[i].ordinal != static_cast<int>(i) + 1) return false;
    }
    return true;
}());

// The exported symbol for a decorated name; empty when the name is not one of the eighteen.
constexpr std::string_view LinuxExportName(std::string_view decorated) {
    for (const ExportName& e : kExportNames) {
        if (e.decorated == decorated) return e.linux_name;
    }
    return {};
}

}  // namespace klp
