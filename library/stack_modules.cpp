#include "library/stack_modules.h"

#include "library/can_disp.h"
#include "library/fault_monitor.h"
#include "library/nm.h"
#include "library/os_layer.h"
#include "library/sdo_client.h"
#include "library/sdo_server.h"

#include <utility>

namespace klp {

StackHooks ProtocolHooks() {
    StackHooks hooks;
    hooks.dispatcher_task = CAND_Task;
    hooks.fault_task = FAULT_Task;
    hooks.start_nm = [] {
        // A process may open the stack again after closing it; nothing of the last run carries over.
        CAN_ResetFlags();
        FAULT_Reset();
        NM_Reset();
        NM_Start(true);
    };
    hooks.start_sdo_server = SDOS_Start;
    hooks.start_sdo_client = SDOC_Start;
    hooks.clear_conflict = CAN_ClearConflictFlag;
    hooks.free_fault_list = FAULT_FreeList;
    hooks.close_sdo_client = SDOC_Close;
    return hooks;
}

void InstallProtocolHooks() { OS_SetStackHooks(ProtocolHooks()); }

}  // namespace klp
