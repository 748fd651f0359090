// Start-up pieces shared by the window and the command-line tool.
#pragma once

#include "session.h"

namespace skedra {

// Creates the quoted-printable coder by its identifier and configures it
// (escape "=", mode "1"); leaves it null when it cannot be created.
void createHexCoder(SessionState &state);

} // namespace skedra
