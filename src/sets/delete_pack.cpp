#include "core/form1.h"
#include "sets/set_commands.h"

namespace nubivista::sets {

void SetCommands::mnuDelete_Click() {}
void SetCommands::mnuReset_Click() {}

} // namespace nubivista::sets
