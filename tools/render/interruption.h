// Ctrl-C during a render stops it cleanly, so that no partial file remains.
#pragma once

namespace render {

// Makes SIGINT and SIGTERM set a flag instead of ending the program.
void catchInterruptions();
bool interrupted();

}  // namespace render
