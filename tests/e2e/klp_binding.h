// The interface library loaded by name and bound by its decorated export names, as the program
// binds it. Unloaded when the binding goes.
#pragma once

#include <memory>
#include <string>

#include "library/export_names.h"
#include "library/exports.h"
#include "platform/kernel/module.h"

namespace e2e {

class KlpBinding {
public:
    KlpBinding() {
        module_ = kernel::Module::Load("klp_lib_usb");
        if (!module_) {
            error_ = "cannot load klp_lib_usb: " + kernel::LastModuleError();
            return;
        }
        Bind("@OPENKLP$QP8TINITKLP", OPENKLP);
        Bind("@CLOSEKLP$QV", CLOSEKLP);
        Bind("@RESETKLP$QV", RESETKLP);
        Bind("@READYKLP$QV", READYKLP);
        Bind("@STOPPEDKLP$QV", STOPPEDKLP);
        Bind("@GETNODESTATEKLP$QV", GETNODESTATEKLP);
        Bind("@GETNODEIDKLP$QV", GETNODEIDKLP);
        Bind("@SETKLPTIMEOUT$QUL", SETKLPTIMEOUT);
        Bind("@READKLP$QP10TSDORECORD", READKLP);
        Bind("@WRITEKLP$QP10TSDORECORD", WRITEKLP);
        Bind("@WRITECAN$QP10TCANRECORD", WRITECAN);
        Bind("@WRITECANRTR$QP10TCANRECORD", WRITECANRTR);
        Bind("@COMMPROGKLP$QUS", COMMPROGKLP);
        Bind("@GETFAULTKLP$QI", GETFAULTKLP);
        Bind("@GETSYSTEMSTATE$QV", GETSYSTEMSTATE);
        Bind("@CHECKSYSTEMPOWERDOWNREQUEST$QV", CHECKSYSTEMPOWERDOWNREQUEST);
        Bind("@CHECKSDO5CHANNELCONFLICT$QV", CHECKSDO5CHANNELCONFLICT);
        Bind("@SETTRACEFLAGS$QI", SETTRACEFLAGS);
    }
    KlpBinding(const KlpBinding&) = delete;
    KlpBinding& operator=(const KlpBinding&) = delete;

    // Empty when every export was bound.
    const std::string& error() const { return error_; }

    decltype(&::OPENKLP) OPENKLP = nullptr;
    decltype(&::CLOSEKLP) CLOSEKLP = nullptr;
    decltype(&::RESETKLP) RESETKLP = nullptr;
    decltype(&::READYKLP) READYKLP = nullptr;
    decltype(&::STOPPEDKLP) STOPPEDKLP = nullptr;
    decltype(&::GETNODESTATEKLP) GETNODESTATEKLP = nullptr;
    decltype(&::GETNODEIDKLP) GETNODEIDKLP = nullptr;
    decltype(&::SETKLPTIMEOUT) SETKLPTIMEOUT = nullptr;
    decltype(&::READKLP) READKLP = nullptr;
    decltype(&::WRITEKLP) WRITEKLP = nullptr;
    decltype(&::WRITECAN) WRITECAN = nullptr;
    decltype(&::WRITECANRTR) WRITECANRTR = nullptr;
    decltype(&::COMMPROGKLP) COMMPROGKLP = nullptr;
    decltype(&::GETFAULTKLP) GETFAULTKLP = nullptr;
    decltype(&::GETSYSTEMSTATE) GETSYSTEMSTATE = nullptr;
    decltype(&::CHECKSYSTEMPOWERDOWNREQUEST) CHECKSYSTEMPOWERDOWNREQUEST = nullptr;
    decltype(&::CHECKSDO5CHANNELCONFLICT) CHECKSDO5CHANNELCONFLICT = nullptr;
    decltype(&::SETTRACEFLAGS) SETTRACEFLAGS = nullptr;

private:
    template <typename Fn>
    void Bind(std::string_view decorated, Fn& fn) {
        const std::string_view name = klp::LinuxExportName(decorated);
        void* symbol = name.empty() ? nullptr : module_->Symbol(std::string(name));
        if (symbol == nullptr) {
            if (error_.empty()) error_ = "export missing: " + std::string(decorated);
            return;
        }
        fn = reinterpret_cast<Fn>(symbol);
    }

    std::unique_ptr<kernel::Module> module_;
    std::string error_;
};

}  // namespace e2e
