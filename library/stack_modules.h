// Plugs the protocol modules (dispatcher, NM, SDO server and client, fault monitor) into the
// stack start and stop of the OS layer, which knows none of them.
//
// Threads: call on the caller's thread before init_KLP, never while the stack runs.
#pragma once

#include "library/os_layer.h"

namespace klp {

// The hooks InstallProtocolHooks installs, for a harness that changes one of them first.
StackHooks ProtocolHooks();

// Installs the hooks. Every stack start then begins as the library does at load: system state
// 255, the power-down, conflict and SDO channel flags clear, no node id, the fault report format
// unknown.
void InstallProtocolHooks();

}  // namespace klp
